#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <latch>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "capture/hardware_port_access.h"
#include "tests/support/fake_port_syscalls.h"

namespace {

constexpr int kThreads = 4;
constexpr int kReads = 200;

// Runs `body` on kThreads threads released together.
template <typename Body>
void onThreads(Body body) {
    std::latch start(kThreads);
    std::vector<std::thread> threads;
    for (int index = 0; index < kThreads; ++index) {
        threads.emplace_back([&] {
            start.arrive_and_wait();
            body();
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

TEST(PortAccessThreads, ThreadsRacingForAPortOpenItOnceAndReadIt) {
    for (const int grantError : {EPERM, 0}) {
        FakePortSyscalls fake;
        fake.grantError = grantError;
        fake.ioPorts[0x379] = 0x3C;
        fake.addParport(0, 0x378, {0, 0, 0, 0, 0x3C});
        HardwarePortAccess access(fake);
        std::atomic<StatusPort*> seen{nullptr};
        std::atomic<int> wrong{0};
        onThreads([&] {
            StatusPort* port = &access.port(1);
            StatusPort* expected = nullptr;
            wrong += !seen.compare_exchange_strong(expected, port) && expected != port ? 1 : 0;
            for (int read = 0; read < kReads; ++read) {
                wrong += port->read() != 0x3C ? 1 : 0;
            }
        });
        EXPECT_EQ(wrong, 0) << grantError;
        EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "grant 0x378+3"),
                  grantError == 0 ? kThreads : 1);
        EXPECT_EQ(fake.misuses, 0);
        EXPECT_TRUE(access.takeReports().empty());
    }
}

TEST(PortAccessThreads, AFailingPortIsReportedOnceWhateverTheThreads) {
    FakePortSyscalls fake;
    fake.listError = ENOENT;
    HardwarePortAccess access(fake);
    std::mutex mutex;
    std::vector<std::string> reports;
    onThreads([&] {
        for (int read = 0; read < kReads; ++read) {
            EXPECT_EQ(access.port(2).read(), 0xFF);
            const std::vector<std::string> taken = access.takeReports();
            std::lock_guard lock(mutex);
            reports.insert(reports.end(), taken.begin(), taken.end());
        }
    });
    EXPECT_EQ(reports.size(), 1u);
}

}  // namespace
