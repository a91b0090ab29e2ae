#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "capture/simulated_probe.h"
#include "cli/console_output.h"
#include "cli/decoding.h"
#include "cli/headless_window_system.h"
#include "core/scope_session.h"
#include "decode/sigrok_library.h"
#include "tests/support/cli_runner.h"
#include "tests/support/protocol_signals.h"
#include "tests/support/scope_file_maker.h"

namespace {

class CliDecodeTest : public ::testing::Test {
protected:
    CliRun decode(const std::vector<std::string>& options, const std::string& samples) {
        std::vector<std::string> arguments{"decode", dir.write("rec.sco", scopeFileBytes(samples))};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return runCliLine(arguments);
    }

    TempDir dir;
};

ParsedArguments runArguments(const std::vector<std::string>& arguments) {
    const std::array kOptions{OptionSpec{"-P", "STACK", "", true},
                              OptionSpec{"-A", "SELECTION", "", true}};
    ParsedArguments parsed;
    std::string error;
    EXPECT_TRUE(parseArguments(arguments, kOptions, parsed, error)) << error;
    return parsed;
}

int lineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(CliDecodeTest, PrintsAnnotationsAsSigrokCliDoes) {
    const std::string uart = uartRecording("Pi", 100, 2);
    const CliRun data = decode(
        {"-P", "uart:rx=select:baudrate=10000", "-A", "uart=rx-data", "--period", "1e-6"}, uart);
    EXPECT_EQ(data.status, 0) << data.err;
    EXPECT_EQ(data.out, "uart-1: 50\nuart-1: 69\n");
    EXPECT_EQ(data.err, "");

    const CliRun numbered = decode({"-P", "uart:rx=pin13:baudrate=10000", "-A", "uart=rx-data",
                                    "--samplenum", "--period=1e-6"},
                                   uart);
    EXPECT_EQ(numbered.out, "300-1100 uart-1: 50\n1400-2200 uart-1: 69\n");

    // Without -A, every annotation: bits, start and stop bits, the byte.
    const CliRun all = decode({"-P", "uart:rx=2:baudrate=10000", "--period", "1e-6"}, uart);
    EXPECT_TRUE(all.out.starts_with("uart-1: Start bit\nuart-1: 0\nuart-1: 0\nuart-1: 0\n"));
    EXPECT_EQ(lineCount(all.out), 22);
}

TEST_F(CliDecodeTest, EachMinusPIsAStack) {
    const std::string both = uartRecording("P", 100, 2);
    const CliRun run = decode(
        {"-P", "uart:rx=select:baudrate=10000", "-P", "uart:rx=select:baudrate=10000:format=ascii",
         "-A", "uart=rx-data", "--period", "1e-6"},
        both);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines;
    std::istringstream out(run.out);
    for (std::string line; std::getline(out, line);) {
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"uart-1: 50", "uart-2: P"}));
}

TEST_F(CliDecodeTest, MistakesInTheDecodersAreOneLineAndStatusTwo) {
    const std::string samples = uartRecording("P", 100, 2);
    struct Case {
        std::vector<std::string> options;
        const char* error;
    };
    const std::vector<Case> cases = {
        {{"-P", "nosuch"}, "unknown decoder 'nosuch' (pinprobe-cli decoders lists them)"},
        {{"-P", "uart:speed=9600"}, "uart has no option or channel 'speed'"},
        {{"-P", "uart:clk=select"}, "uart has no option or channel 'clk'"},
        {{"-P", "uart:rx=paper"},
         "'paper' is not a channel: use error, select, paperout, ack, "
         "busy; pin15, pin13, pin12, pin10, pin11; or 1 to 5"},
        {{"-P", "uart", "-A", "i2c"}, "-A names 'i2c', which no -P decodes with"},
        {{"-P", "uart", "-A", "uart=bytes"}, "uart has no annotation class or row 'bytes'"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> options = c.options;
        options.insert(options.end(), {"--period", "1e-6"});
        const CliRun run = decode(options, samples);
        EXPECT_EQ(run.status, 2) << c.error;
        EXPECT_EQ(run.err, std::string("pinprobe-cli: ") + c.error + "\n");
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(CliDecodeTest, ADecoderThatNeedsTheRateAsksForPeriod) {
    const CliRun run = decode({"-P", "uart:rx=select:baudrate=10000"}, uartRecording("P", 100, 2));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("the decoder needs the sample rate, which a scope file does not keep: "
                           "give --period SECONDS"),
              std::string::npos)
        << run.err;
    // One that does not, decodes.
    const CliRun spi = decode({"-P", "spi:clk=1:mosi=2:miso=3:cs=4", "-A", "spi=mosi-data"},
                              spiRecording(0, {0xA5}, {0x5A}, 5));
    EXPECT_EQ(spi.status, 0) << spi.err;
    EXPECT_EQ(spi.out, "spi-1: A5\n");
}

TEST_F(CliDecodeTest, AFileThatCannotBeReadIsStatusOne) {
    const CliRun run = runCliLine({"decode", dir.path("none.sco"), "-P", "uart"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Cannot open file."), std::string::npos) << run.err;
}

// A fresh capture is decoded on its time grid; an annotation the sampling stood still in is
// named on standard error, after the annotations.
TEST(CliDecodeGaps, AnAnnotationTheSamplingStoodStillInIsNamed) {
    setStalledCapture(uartRecording("PP", 100, 2), 1150, 500'000);
    std::ostringstream out;
    std::ostringstream err;
    ConsoleOutput console(err);
    HeadlessWindowSystem windows(console);
    const CliEnvironment environment;
    CliContext context{out, console, windows, environment};
    DecodeRequest request;
    ASSERT_EQ(readDecodeRequest(runArguments({"-P", "uart:rx=select:baudrate=10000"}), "capture",
                                request, context),
              kExitSuccess);
    DecodeInput input;
    std::string error;
    ASSERT_TRUE(sessionDecodeInput(scopeSession, input, error)) << error;
    resetScopeSession();
    EXPECT_EQ(decodeAndPrint(request, input, context), DecodeEnd::Done);
    EXPECT_EQ(lineCount(out.str()), 2 * 11);  // start, 8 bits, the byte, stop; twice
    // The stall, somewhere in the block of samples 1100 to 1149, is put halfway into it: the
    // stop bit's grid samples in it all show sample 1124.
    EXPECT_EQ(err.str(),
              "pinprobe-cli: warning: 1100-1124 uart-1: Stop bit spans a gap in the sampling\n");
}

TEST(CliDecoders, ListsEveryDecoderAndShowsOne) {
    const CliRun list = runCliLine({"decoders"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find("uart: Universal Asynchronous Receiver/Transmitter\n"
                            "  channels: [rx] [tx]\n"
                            "  options: baudrate=115200 data_bits=8 parity=none"),
              std::string::npos);
    EXPECT_NE(list.out.find("i2c: Inter-Integrated Circuit\n  channels: scl sda\n"),
              std::string::npos);
    EXPECT_NE(list.out.find("eeprom24xx: 24xx I²C EEPROM\n  channels: none, stacks on i2c\n"),
              std::string::npos);

    const CliRun one = runCliLine({"decoders", "uart"});
    EXPECT_EQ(one.status, 0);
    EXPECT_TRUE(one.out.starts_with("ID: uart\nName: UART\nLong name: Universal Asynch"));
    for (const char* part : {"Optional channels:\n  rx (RX): UART receive line\n",
                             "  parity: Parity (default none; one of none, odd, even, zero, one, "
                             "ignore)\n",
                             "Annotation classes (for -A):\n  rx-data: RX data\n"}) {
        EXPECT_NE(one.out.find(part), std::string::npos) << part;
    }
}

// Without the decoder library, each command that decodes, in a process of its own where the
// library was never opened, fails with one line that says what is missing; nothing crashes.
TEST(CliDecodersDeathTest, WithoutTheLibraryEachCommandSaysWhatDecodingNeeds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDir dir;
    const std::string recording = dir.write("rec.sco", scopeFileBytes(uartRecording("P", 100, 2)));
    const std::vector<std::vector<std::string>> commands = {
        {"decoders"},
        {"decoders", "uart"},
        {"decode", recording, "-P", "uart", "--period", "1e-6"},
        {"capture", "--simulate", "--size", "5000", "-P", "uart", "-o", dir.path("new.sco")},
    };
    for (const std::vector<std::string>& command : commands) {
        SCOPED_TRACE(command[0] + (command.size() > 1 ? " " + command[1] : ""));
        EXPECT_EXIT(
            {
                useSigrokLibraryFile("libpinprobe-missing.so.4");
                const CliRun run = runCliLine(command);
                std::fputs(run.err.c_str(), stderr);
                std::exit(run.status == 0 ? 0 : 3);
            },
            ::testing::ExitedWithCode(3),
            "^pinprobe-cli: protocol decoding needs libsigrokdecode4: "
            "libpinprobe-missing\\.so\\.4: "
            "cannot open shared object file: No such file or directory\n$");
    }
}

// The text of the UART's data annotations in the output of `run`.
std::string uartText(const CliRun& run) {
    std::string text;
    std::istringstream out(run.out);
    for (std::string line; std::getline(out, line);) {
        if (line.rfind("uart-1: ", 0) == 0) {
            text += line.substr(8);
        }
    }
    return text;
}

// The simulated probe sends "Pinprobe" as 10000-baud serial on Select every 10 ms: a capture
// of 30000 samples holds it three times. On virtual time every read takes exactly its
// microsecond, so the capture and what it decodes to do not depend on the machine's load.
TEST(CliCaptureDecode, SimulatedCaptureSpellsPinprobe) {
    VirtualProbeClock clock;
    SimulatedProbe probe(clock);
    CliEnvironment environment;
    environment.ports = &probe;
    TempDir dir;
    const CliRun run =
        runCliLine({"capture", "--size", "30000", "-o", dir.path("c.sco"), "-P",
                    "uart:rx=select:baudrate=10000:format=ascii", "-A", "uart=rx-data"},
                   environment);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("gaps: 0\n"), std::string::npos) << run.out;
    const std::string text = uartText(run);
    size_t messages = 0;
    for (size_t at = text.find("Pinprobe"); at != std::string::npos;
         at = text.find("Pinprobe", at + 1)) {
        ++messages;
    }
    EXPECT_EQ(messages, 3u) << text;
}

TEST(CliCaptureDecode, MistakesFailBeforeTheCapture) {
    TempDir dir;
    const CliRun run =
        runCliLine({"capture", "--simulate", "-o", dir.path("x.sco"), "-P", "uart:rx=nowhere"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(readFileBytes(dir.path("x.sco")), "");
    EXPECT_EQ(run.out, "");
}

}  // namespace
