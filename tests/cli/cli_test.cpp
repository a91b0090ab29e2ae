#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <filesystem>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "capture/hardware_port_access.h"
#include "resources/string_table.h"
#include "tests/support/cli_runner.h"
#include "tests/support/failing_file_calls.h"
#include "tests/support/fake_port_syscalls.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/scripted_port.h"

namespace {

struct UsageCase {
    std::vector<std::string> arguments;
    const char* problem;  // part of the message
};

TEST(CliUsage, WrongArgumentsExitWithStatusTwoAndSayWhatIsWrong) {
    const std::vector<UsageCase> cases = {
        {{}, "no command given"},
        {{"scope"}, "unknown command 'scope'"},
        {{"capture"}, "no output given: -o FILE, --vcd FILE, --csv FILE, --sr FILE or -P"},
        {{"capture", "-o", ""}, "-o was given an empty file name"},
        {{"capture", "-o", "-", "--csv", "/dev/stdout"}, "must name different files"},
        {{"capture", "-o", "a", "--sr", "a"}, "must name different files"},
        {{"capture", "-o", "-", "-P", "uart"},
         "is standard output, where the decoders' annotations go"},
        {{"capture", "-o", "a", "-A", "uart"}, "-A and --samplenum go with -P DECODER"},
        {{"capture", "-o", "a", "--samplenum"}, "-A and --samplenum go with -P DECODER"},
        {{"capture", "-o", "x.sco", "extra"}, "unexpected argument 'extra'"},
        {{"capture", "-o"}, "option '-o' needs a value"},
        {{"capture", "-o", "x.sco", "--size", "0"}, "--size takes"},
        {{"capture", "-o", "x.sco", "--size", "12ab"}, "--size takes"},
        {{"capture", "-o", "x.sco", "--size", "-5"}, "--size takes"},
        {{"capture", "-o", "x.sco", "--size=3000000000"}, "--size takes"},
        {{"capture", "-o", "x.sco", "--speed", "warp"}, "--speed takes"},
        {{"capture", "-o", "x.sco", "--port", "lpt3"}, "--port takes"},
        {{"capture", "-o", "x.sco", "--port", "/dev/lp0"}, "--port takes lpt1, lpt2, a device"},
        {{"capture", "-o", "x.sco", "--port", "378"}, "--port takes"},
        {{"capture", "-o", "x.sco", "--trigger", "6"}, "--trigger takes"},
        {{"capture", "-o", "x.sco", "--trigger", "0"}, "--trigger takes"},
        {{"capture", "-o", "x.sco", "--trigger", "1,,2"}, "--trigger takes"},
        {{"capture", "-o", "x.sco", "--trigger", ""}, "--trigger takes"},
        {{"capture", "-o", "x.sco", "--simulate=yes"}, "takes no value"},
        {{"capture", "-o", "a.sco", "-o", "b.sco"}, "given twice"},
        {{"capture", "-o", "x.sco", "--vcd"}, "option '--vcd' needs a value"},
        {{"capture", "-o", "x.sco", "--port", "/dev/parport00"}, "--port takes"},
        {{"capture", "-o", "x.sco", "--wait-for-reader=yes"}, "takes no value"},
        {{"capture", "-o", "a", "--csv", "b", "--vcd", "a"}, "must name different files"},
        {{"capture", "--period", "1e-6", "-o", "a"}, "unknown option '--period'"},
        {{"info"}, "no file given"},
        {{"info", "a.sco", "b.sco"}, "one file at a time"},
        {{"export", "a.sco", "--vcd"}, "no output given"},
        {{"export", "a.sco", "--vcd", "-o", ""}, "-o was given an empty file name"},
        {{"--version", "extra"}, "--version takes no argument: 'extra'"},
        {{"export", "a.sco", "-o", "-"}, "choose one format"},
        {{"export", "a.sco", "-o", "-", "--vcd", "--csv"}, "choose one format"},
        {{"export", "a.sco", "-o", "-", "--vcd", "--format", "vcd"}, "choose one format"},
        {{"export", "a.sco", "-o", "-", "--format", "wav"}, "--format takes vcd, csv or sr"},
        {{"export", "a.sco", "-o", "-", "--format", "sr", "--period", "2"},
         "--period is too long for a sigrok session"},
        {{"decode"}, "no file given"},
        {{"decode", "a.sco"}, "no decoder given: -P DECODER"},
        {{"decode", "a.sco", "b.sco", "-P", "uart"}, "one file at a time"},
        {{"decode", "a.sco", "-P", "uart", "--period", "0"}, "--period takes"},
        {{"decode", "a.sco", "-P", "uart", "--period", "2"}, "--period takes"},
        {{"decode", "a.sco", "-P", "uart", "--samplenum", "--samplenum"}, "given twice"},
        {{"decoders", "uart", "i2c"}, "one decoder at a time"},
        {{"decoders", "nosuch"}, "unknown decoder 'nosuch'"},
        {{"export", "a.sco", "-o", "-", "--csv", "--period", "0"}, "--period takes"},
        {{"export", "a.sco", "-o", "-", "--csv", "--period", "-1e-6"}, "--period takes"},
        {{"export", "a.sco", "-o", "-", "--csv", "--period", "1 us"}, "--period takes"},
        {{"export", "a.sco", "-o", "-", "--csv", "--period", "nan"}, "--period takes"},
        {{"export", "a.sco", "-o", "-", "--csv", "--period", "1001"}, "--period takes"},
    };
    for (const UsageCase& c : cases) {
        const CliRun run = runCliLine(c.arguments);
        const std::string line = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(run.status, 2) << line;
        EXPECT_NE(run.err.find(c.problem), std::string::npos) << line << "\n" << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << line;
        EXPECT_EQ(run.out, "") << line;
    }
}

TEST(CliUsage, HelpAndVersionGoToStandardOutput) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--help"}, "Usage: pinprobe-cli COMMAND"},
        {{"capture", "--help"}, "Usage: pinprobe-cli capture"},
        {{"info", "-h"}, "Usage: pinprobe-cli info"},
        {{"export", "a.sco", "--help"}, "Usage: pinprobe-cli export"},
        {{"--version"}, "pinprobe-cli 1."},
    };
    for (const auto& [arguments, start] : cases) {
        const CliRun run = runCliLine(arguments);
        EXPECT_EQ(run.status, 0) << start;
        EXPECT_EQ(run.out.rfind(start, 0), 0u) << run.out;
        EXPECT_EQ(run.err, "");
    }
}

// Every file the reader refuses, through both commands that read: the desktop program's text,
// then the id.
TEST(CliFileErrors, ReaderRefusalsGiveTextAndIdWithStatusOne) {
    TempDir dir;
    std::vector<SeedFile> files = seedFiles();
    files.push_back({"missing.sco", "", IDS_CANNOT_OPEN_FILE});
    for (const SeedFile& file : files) {
        if (file.errorId == 0) {
            continue;
        }
        const std::string path =
            file.name == "missing.sco" ? dir.path(file.name) : dir.write(file.name, file.bytes);
        const std::string reason =
            file.errorId == IDS_CANNOT_OPEN_FILE ? "No such file or directory" : "";
        const std::string expected =
            fileErrorLine(path, loadString(file.errorId), file.errorId, reason);
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"info", path},
              std::vector<std::string>{"export", path, "-o", "-", "--vcd"}}) {
            const CliRun run = runCliLine(arguments);
            EXPECT_EQ(run.status, 1) << file.name;
            EXPECT_EQ(run.err, expected) << file.name;
            EXPECT_EQ(run.out, "") << file.name;
        }
    }
}

// A stream that takes nothing, as standard output on a full disk; counts what was tried.
class RefusingBuffer : public std::streambuf {
public:
    int writes = 0;

protected:
    int_type overflow(int_type) override {
        ++writes;
        return traits_type::eof();
    }
    std::streamsize xsputn(const char*, std::streamsize) override {
        ++writes;
        return 0;
    }
};

// The system's reason comes with the message. A capture reads no port when its file cannot be
// written, and an export says what failed rather than guess at a full disk.
TEST(CliFileErrors, WriterFailuresGiveTextReasonAndIdWithStatusOne) {
    TempDir dir;
    const std::string recording = dir.write("rec.sco", scopeFileBytes("\x08\x10\x18"));
    const std::string noFolder = dir.path("no/such/folder/out");
    ScriptedPortAccess ports;
    ports.lpt1.play({0x08, 0x10});
    CliEnvironment environment;
    environment.ports = &ports;
    const std::string noSuchFolder = "No such file or directory";
    const std::string diskFull = "No space left on device";
    struct WriteCase {
        std::vector<std::string> arguments;
        std::string err;
        bool sampled;
    };
    const std::vector<WriteCase> cases = {
        {{"capture", "-o", noFolder},
         fileErrorLine(noFolder, loadString(IDS_CANNOT_OPEN_FILE), IDS_CANNOT_OPEN_FILE,
                       noSuchFolder),
         false},
        {{"capture", "-o", "/dev/full", "--size", "100000"},
         fileErrorLine("/dev/full", loadString(IDS_CANNOT_WRITE_DATA), IDS_CANNOT_WRITE_DATA,
                       diskFull),
         true},
        {{"capture", "-o", "/dev/full", "--size", "3"},
         fileErrorLine("/dev/full", loadString(IDS_CANNOT_WRITE_DATA), IDS_CANNOT_WRITE_DATA,
                       diskFull),
         true},
        {{"export", recording, "-o", noFolder, "--vcd"},
         fileErrorLine(noFolder, loadString(IDS_CANNOT_OPEN_FILE), IDS_CANNOT_OPEN_FILE,
                       noSuchFolder),
         false},
        {{"export", recording, "-o", "/dev/full", "--csv"},
         "pinprobe-cli: /dev/full: Cannot write the export: " + diskFull + "\n",
         false},
    };
    for (const WriteCase& c : cases) {
        const uint64_t readsBefore = ports.lpt1.reads();
        const CliRun run = runCliLine(c.arguments, environment);
        EXPECT_EQ(run.status, 1) << c.arguments[2];
        EXPECT_EQ(run.err, c.err) << c.arguments[2];
        EXPECT_EQ(run.out, "") << "no summary for a capture that was not saved";
        EXPECT_EQ(ports.lpt1.reads() > readsBefore, c.sampled) << c.arguments[2];
    }

    const std::string longer = dir.write("long.sco", scopeFileBytes(std::string(100000, '\x08')));
    RefusingBuffer refusing;
    std::ostream out(&refusing);
    std::ostringstream err;
    EXPECT_EQ(runCli({"export", longer, "-o", "-", "--csv"}, out, err), 1);
    EXPECT_EQ(err.str(), "pinprobe-cli: standard output: Cannot write the export.\n");
    EXPECT_EQ(refusing.writes, 1) << "the export goes on after a write failed";
}

// An export replaces its file as a save does: one that fails on the way leaves the old one.
TEST(CliFileErrors, AnExportThatFailsLeavesTheOldFile) {
    TempDir dir;
    const std::string recording = dir.write("rec.sco", scopeFileBytes("\x08\x10\x18"));
    const std::string old = dir.write("out.csv", "the old export");
    FailingFileCalls calls;
    calls.failingKind = "write";
    calls.error = ENOSPC;
    const CliRun run = runCliLine({"export", recording, "-o", old, "--csv"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "pinprobe-cli: " + old + ": Cannot write the export: No space left on device\n");
    EXPECT_EQ(readFileBytes(old), "the old export");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path("")),
                            std::filesystem::directory_iterator()),
              2);
}

// One file, one output: two outputs that are one file, however named, are refused before the
// port is read, and an old file stays as it was.
TEST(CliCapture, TwoOutputsOfOneFileAreRefusedBeforeThePortIsRead) {
    TempDir dir;
    const std::string old = dir.write("x.sco", "an earlier recording");
    std::filesystem::create_symlink(old, dir.path("link.sco"));
    std::filesystem::create_hard_link(old, dir.path("hard.sco"));
    std::filesystem::create_directory(dir.path("sub"));
    const std::vector<std::vector<std::string>> cases = {
        {"-o", old, "--csv", dir.path("./x.sco")},
        {"-o", old, "--vcd", dir.path("sub/../x.sco")},
        {"-o", old, "--csv", dir.path("link.sco")},
        {"-o", old, "--vcd", dir.path("hard.sco")},
        {"-o", dir.path("new.sco"), "--csv", dir.path("sub/../new.sco")},
    };
    for (const std::vector<std::string>& outputs : cases) {
        ScriptedPortAccess ports;
        ports.lpt1.play({0x08, 0x10});
        CliEnvironment environment;
        environment.ports = &ports;
        std::vector<std::string> arguments{"capture", "--size", "2"};
        arguments.insert(arguments.end(), outputs.begin(), outputs.end());
        const CliRun run = runCliLine(arguments, environment);
        EXPECT_EQ(run.status, 2) << outputs[3];
        EXPECT_NE(run.err.find(outputs[0] + " and " + outputs[2] + " name the same file ("),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(ports.lpt1.reads(), 0u) << outputs[3];
    }
    EXPECT_EQ(readFileBytes(old), "an earlier recording");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path("")), {}), 4);
}

// A path the shell can make is a path the capture writes, near the kernel's limit too.
TEST(CliCapture, WritesAPathNearTheLimit) {
    TempDir dir;
    std::string path = dir.path("");
    while (path.size() + 256 < PATH_MAX - 1) {
        path += std::string(250, 'd') + "/";
    }
    std::filesystem::create_directories(path);
    path += std::string(PATH_MAX - 11 - path.size(), 'f');
    ScriptedPortAccess ports;
    ports.lpt1.play({0x08, 0x10});
    CliEnvironment environment;
    environment.ports = &ports;
    const CliRun run = runCliLine({"capture", "--size", "2", "-o", path}, environment);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(samplesPart(readFileBytes(path)), scopeFileBytes("\x08\x10"));
}

// What the options select reaches the capture: the port, the trigger channels, the size.
TEST(CliCapture, OptionsChoosePortTriggerAndSize) {
    const uint8_t a = 0x07, b = 0x0F, c = 0x1F, d = 0x9F, e = 0x97;
    struct CaptureCase {
        const char* name;
        std::vector<std::string> options;
        int port;
        std::vector<uint8_t> script;
        std::string kept;
    };
    const std::vector<CaptureCase> cases = {
        {"defaults: LPT1, no trigger",
         {"--size", "3"},
         1,
         {a, b, c, d},
         {char(a), char(b), char(c)}},
        {"LPT2", {"--port", "LPT2", "--size", "2"}, 2, {c, a, b}, {char(c), char(a)}},
        // Channel 1 is bit 0x08: the change a -> b starts it, b itself is dropped.
        {"trigger on channel 1",
         {"--trigger", "1", "--size", "2"},
         1,
         {a, a, b, c, d},
         {char(c), char(d)}},
        // Channels 2 and 5 (0x10, 0x80): the change of channel 1 alone (a -> b) is no trigger.
        {"trigger on channels 2 and 5",
         {"--trigger=5,2", "--size", "2"},
         1,
         {a, b, b, c, e, d},
         {char(e), char(d)}},
        {"trigger on channel 5 only",
         {"--trigger", "5", "--size", "1"},
         1,
         {b, c, c, d, a},
         {char(a)}},
    };
    TempDir dir;
    for (const CaptureCase& test : cases) {
        ScriptedPortAccess ports;
        (test.port == 2 ? ports.lpt2 : ports.lpt1).play(test.script);
        CliEnvironment environment;
        environment.ports = &ports;
        const std::string path = dir.path("capture.sco");
        std::vector<std::string> arguments{"capture", "-o", path};
        arguments.insert(arguments.end(), test.options.begin(), test.options.end());
        const CliRun run = runCliLine(arguments, environment);
        ASSERT_EQ(run.status, 0) << test.name << run.err;
        EXPECT_EQ(ports.portsAsked().front(), test.port) << test.name;
        EXPECT_EQ(samplesPart(readFileBytes(path)), scopeFileBytes(test.kept)) << test.name;
        const std::regex summary("samples: " + std::to_string(test.kept.size()) +
                                 "\nelapsed: [0-9]+\\.[0-9]{6} s( \\(trigger wait included\\))?"
                                 "\nrate: [0-9]+ samples/s\nperiod: [0-9.e+-]+ s \\(median "
                                 "[0-9.e+-]+ s, 1st percentile [0-9.e+-]+ s, 99th percentile "
                                 "[0-9.e+-]+ s\\)\ngaps: [0-9]+[^\n]*\nport: LPT" +
                                 std::to_string(test.port) + "\n(trigger: sample 0, [^\n]*\n)?");
        EXPECT_TRUE(std::regex_match(run.out, summary)) << test.name << "\n" << run.out;
    }
}

// Text written from more than one thread, as standard error is by the capture's watch.
class SharedText : public std::streambuf {
public:
    bool contains(const std::string& part) const {
        std::lock_guard lock(mutex_);
        return text_.find(part) != std::string::npos;
    }
    std::string text() const {
        std::lock_guard lock(mutex_);
        return text_;
    }

protected:
    int_type overflow(int_type c) override {
        std::lock_guard lock(mutex_);
        text_.push_back(traits_type::to_char_type(c));
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        std::lock_guard lock(mutex_);
        text_.append(s, static_cast<size_t>(n));
        return n;
    }

private:
    mutable std::mutex mutex_;
    std::string text_;
};

// Ctrl+C during the fastest capture is answered while it runs: it cannot be broken, and how long
// it still takes, from the time its samples took so far (1 us each on the virtual clock; held at
// read 150000 of 200000 until the answer has come: some 50000 samples, 0.05 s, to go).
TEST(CliCapture, CtrlCDuringTheFastestCaptureIsAnsweredAtOnce) {
    VirtualProbeClock clock;
    ScriptedPortAccess ports;
    ports.timing = &clock;
    ports.lpt1.play({0x08});
    ports.lpt1.paceWith(clock, 1000);
    ports.lpt1.onRead(50000, [] { std::raise(SIGINT); });
    SharedText errText;
    ports.lpt1.holdAt(150000, [&] { return errText.contains("to go"); });
    CliEnvironment environment;
    environment.ports = &ports;
    TempDir dir;
    std::ostringstream out;
    std::ostream err(&errText);
    EXPECT_EQ(
        runCli({"capture", "-o", dir.path("a.sco"), "--size", "200000"}, out, err, environment), 0);
    EXPECT_FALSE(ports.lpt1.holdExpired()) << "no answer while the capture ran";
    const std::regex answer(
        "pinprobe-cli: Break does not stop the fastest capture; [0-9]+ of 200000 samples taken, "
        "about 0\\.[01] s to go \\(a second Ctrl\\+C ends the program without them\\)\n");
    EXPECT_TRUE(std::regex_match(errText.text(), answer)) << errText.text();
}

// The fastest capture cannot be broken: Ctrl+C during it changes nothing, all samples are saved.
TEST(CliCapture, CtrlCDuringTheFastestCaptureKeepsEverySample) {
    ScriptedPortAccess ports;
    ports.lpt1.play({0x08, 0x08, 0x08, 0x10, 0x10});
    ports.lpt1.onRead(1, [] { std::raise(SIGINT); });
    CliEnvironment environment;
    environment.ports = &ports;
    TempDir dir;
    const CliRun run = runCliLine({"capture", "-o", dir.path("a.sco"), "--size", "5"}, environment);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(samplesPart(readFileBytes(dir.path("a.sco"))),
              scopeFileBytes("\x08\x08\x08\x10\x10"));
    EXPECT_TRUE(run.err.starts_with("pinprobe-cli: Break does not stop the fastest capture"))
        << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
}

TEST(CliCapture, TooSlowDataIsReportedAndStillSaved) {
    // On virtual time, so that no preemption on a busy machine stands beside the short run.
    VirtualProbeClock clock;
    ScriptedPortAccess ports;
    ports.timing = &clock;
    ports.lpt1.play({0x08, 0x08, 0x08, 0x10, 0x18, 0x18, 0x18});
    CliEnvironment environment;
    environment.ports = &ports;
    TempDir dir;
    const CliRun run = runCliLine({"capture", "-o", dir.path("a.sco"), "--size", "7"}, environment);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "pinprobe-cli: Too Slow: Set Speed Faster !\n");
    EXPECT_EQ(samplesPart(readFileBytes(dir.path("a.sco"))).size(), 20u + 7u + 1u);
}

// Without a port nothing is captured: the report, exit status 3, and no file, an old one kept.
TEST(CliCapture, NoPortExitsThreeAndWritesNoFile) {
    struct Case {
        const char* name;
        int grantError;
        const char* report;
    };
    const std::vector<Case> cases = {
        {"no drivers, no direct I/O", EPERM, "LPT1 (0x378) could not be opened"},
        {"direct I/O where nothing is", 0, "LPT1 (0x378) reads 0xFF and the kernel lists no"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePortSyscalls fake;
        fake.grantError = c.grantError;
        fake.listError = ENOENT;
        TempDir dir;
        const std::string old = dir.write("old.sco", "an earlier recording");
        for (const std::string& path : {old, dir.path("new.sco")}) {
            HardwarePortAccess ports(fake);
            CliEnvironment environment;
            environment.ports = &ports;
            const CliRun run = runCliLine({"capture", "-o", path}, environment);
            EXPECT_EQ(run.status, 3);
            EXPECT_EQ(run.out, "");
            EXPECT_NE(run.err.find(c.report), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("sudo modprobe parport_pc"), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("pinprobe-cli: " + path + ": not written: no port"),
                      std::string::npos)
                << run.err;
        }
        EXPECT_EQ(readFileBytes(old), "an earlier recording");
        EXPECT_FALSE(std::filesystem::exists(dir.path("new.sco")));
    }
}

// A script must be able to tell a capture that started on its trigger from one that did not.
TEST(CliCapture, TheFastestCaptureSaysWhenItsTriggerGaveUp) {
    for (const bool changes : {true, false}) {
        ScriptedPortAccess ports;
        ports.lpt1.play({0x00, 0x00},
                        [changes](uint64_t i) { return changes && i > 1000 ? 0x08 : 0x00; });
        CliEnvironment environment;
        environment.ports = &ports;
        TempDir dir;
        const CliRun run = runCliLine(
            {"capture", "-o", dir.path("a.sco"), "--trigger", "1", "--size", "4"}, environment);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, changes ? ""
                                   : "pinprobe-cli: the trigger did not come within 3000000 "
                                     "reads; captured without it\n");
        EXPECT_EQ(samplesPart(readFileBytes(dir.path("a.sco"))).size(), 20u + 4u);
    }
}

// The VCD and CSV of a capture carry the times of its time base, at either speed: reads 1 µs
// apart on the virtual clock, the fourth read stalled 7 ms. The unit is the one its steady period
// gives (1 us: the stall is no sample's period); the stamps jump by the stall at the change after
// it.
// Any of the files that cannot be made stops the capture before the port is read, as the scope
// file alone does.
TEST(CliCapture, VcdAndCsvCarryTheTimesOfTheTimeBase) {
    const std::string script = {'\x08', '\x08', '\x10', '\x18', '\x18', '\x80', '\x80'};
    const std::string rows[] = {"0,0.000000,1,0,0,0,0\n", "1,0.000001,1,0,0,0,0\n",
                                "2,0.000002,0,1,0,0,0\n", "3,0.000003,1,1,0,0,0\n",
                                "4,0.007004,1,1,0,0,0\n", "5,0.007005,0,0,0,0,1\n",
                                "6,0.007006,0,0,0,0,1\n"};
    for (const auto& [speed, kept] : {std::pair<std::string, size_t>{"fastest", 7}, {"fast", 6}}) {
        SCOPED_TRACE(speed);
        VirtualProbeClock clock;
        ScriptedPortAccess ports;
        ports.timing = &clock;
        ports.lpt1.play(std::vector<uint8_t>(script.begin(), script.end()));
        ports.lpt1.paceWith(clock, 1000);
        ports.lpt1.stallAt(3, 7'000'000);
        CliEnvironment environment;
        environment.ports = &ports;
        TempDir dir;
        const std::string vcd = dir.path("a.vcd"), csv = dir.path("a.csv");
        const CliRun run = runCliLine(
            {"capture", "--vcd", vcd, "--csv", csv, "--size", "7", "--speed", speed}, environment);
        ASSERT_EQ(run.status, 0) << run.err;
        std::string table = "sample,seconds,Error,Select,Out Of Paper,Acknowledge,Busy\n";
        for (size_t i = 0; i < kept; ++i) {
            table += rows[i];
        }
        EXPECT_EQ(readFileBytes(csv), table);
        const std::string dump = readFileBytes(vcd);
        EXPECT_NE(dump.find("$timescale 1 us $end"), std::string::npos) << dump;
        const std::string changes = "$end\n#2\n0!\n1\"\n#3\n1!\n#7005\n0!\n0\"\n1%\n";
        EXPECT_TRUE(dump.ends_with(changes + (kept == 7 ? "#7007\n" : "#7006\n"))) << dump;
        // Rate and mean period agree; the spread leaves the gap out.
        EXPECT_NE(run.out.find("rate: 999 samples/s\nperiod: 0.001001 s (median 1e-06 s, 1st "
                               "percentile 1e-06 s, 99th percentile 1e-06 s)\ngaps: 1, the "
                               "longest 0.007 s before sample 4\n"),
                  std::string::npos)
            << run.out;
    }
    ScriptedPortAccess ports;
    ports.lpt1.play({0x08, 0x10});
    CliEnvironment environment;
    environment.ports = &ports;
    TempDir dir;
    const CliRun run = runCliLine({"capture", "--size", "2", "-o", dir.path("kept.sco"), "--csv",
                                   dir.path("no/such/folder.csv")},
                                  environment);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(dir.path("no/such/folder.csv") + ": Cannot open file."),
              std::string::npos)
        << run.err;
    EXPECT_EQ(ports.lpt1.reads(), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.path("kept.sco")));
}

// The real simulated probe on the steady clock: what is captured is what info finds in the file.
TEST(CliCapture, SimulatedCaptureThenInfo) {
    TempDir dir;
    const std::string path = dir.path("sim.sco");
    const CliRun capture = runCliLine({"capture", "--simulate", "-o", path});
    ASSERT_EQ(capture.status, 0) << capture.err;
    EXPECT_EQ(capture.out.rfind("samples: 5000\n", 0), 0u);
    EXPECT_EQ(samplesPart(readFileBytes(path)).size(), 20u + 5000u);

    const CliRun info = runCliLine({"info", path});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out.rfind("samples: 5000\n", 0), 0u);
    // The samples, the table of five channels and the verdict; the capture's times besides.
    size_t timing = 0;
    for (const char* line : {"\nrate: ", "\nperiod: ", "\ngaps: ", "\npauses: "}) {
        timing += info.out.find(line) != std::string::npos ? 1 : 0;
    }
    EXPECT_GE(timing, 3u) << info.out;
    EXPECT_EQ(static_cast<size_t>(std::count(info.out.begin(), info.out.end(), '\n')), 8 + timing);
    EXPECT_NE(info.out.find("\ntoo slow: "), std::string::npos);
    // The 10 kHz clock on channel 1 changes every 50 us: 5000 reads of about 1 us or more see it.
    EXPECT_EQ(info.out.find("1        Error         0      0 "), std::string::npos);
    EXPECT_EQ(info.out.find("1        Error         1      0 "), std::string::npos);
}

TEST(CliInfo, DescribesEachChannelAndTheTooSlowVerdict) {
    TempDir dir;
    // Channel 1 changes at 2 and 5 (run of 3); channel 2 once; channel 5 at 1, 2 and 6 (runs of
    // 1 and 4), which is also too slow.
    const std::string samples = {'\x08', '\x88', '\x00', '\x00', '\x00', '\x18', '\x98'};
    const CliRun run = runCliLine({"info", dir.write("known.sco", scopeFileBytes(samples))});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "samples: 7\n"
              "channel  name          first  changes  shortest run\n"
              "1        Error         1      2        3\n"
              "2        Select        0      1        none\n"
              "3        Out Of Paper  0      0        none\n"
              "4        Acknowledge   0      0        none\n"
              "5        Busy          0      3        1\n"
              "too slow: yes\n");
    const CliRun steady =
        runCliLine({"info", dir.write("steady.sco", scopeFileBytes("\x08\x08\x08\x0f"))});
    EXPECT_NE(steady.out.find("too slow: no\n"), std::string::npos);
}

}  // namespace
