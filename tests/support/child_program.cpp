#include "tests/support/child_program.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "tests/support/scripted_port.h"

namespace {

// In the child, between fork and exec.
[[noreturn]] void becomeProgram(const std::string& program, std::vector<char*>& argv,
                                const std::string& folder, const std::string& out,
                                const std::vector<int>& ignored) {
    for (int signal = 1; signal < NSIG; ++signal) {
        const bool ignore = std::find(ignored.begin(), ignored.end(), signal) != ignored.end();
        std::signal(signal, ignore ? SIG_IGN : SIG_DFL);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    const int nowhere = open("/dev/null", O_WRONLY);
    const int output = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (chdir(folder.c_str()) == 0 && dup2(output, 1) == 1 && dup2(nowhere, 2) == 2) {
        execv(program.c_str(), argv.data());
    }
    _exit(99);
}

}  // namespace

pid_t startChild(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& folder, const std::string& out,
                 const std::vector<int>& ignored) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        becomeProgram(program, argv, folder, out, ignored);
    }
    return child;
}

bool waitUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kTestWaitLimit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

int temporariesIn(const std::string& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        count += entry.path().filename().string().ends_with(".tmp") ? 1 : 0;
    }
    return count;
}
