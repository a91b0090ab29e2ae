#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/cli_program.h"
#include "tests/support/cli_runner.h"
#include "tests/support/protocol_signals.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/scripted_port.h"
#include "tests/support/test_decoder.h"

namespace {

struct OptionCase {
    std::string stack;
    std::string says;  // the one line on standard error
};

// Options the decoder would divide by, count down from or read noise with are refused before
// anything is decoded, in one line, exit status 2.
TEST(CliDecoderOptions, RefusedBeforeDecodingInOneLine) {
    TempDir dir;
    const std::string recording = dir.write("rec.sco", scopeFileBytes(uartRecording("Pi", 100, 2)));
    const std::string half =
        " is more than half the sample rate of 1000000 Hz, so the samples "
        "cannot tell its bits apart\n";
    const std::vector<OptionCase> cases = {
        {"uart:rx=select:baudrate=0",
         "uart option baudrate takes a whole number above 0, not '0'\n"},
        {"uart:rx=select:baudrate=-9600",
         "uart option baudrate takes a whole number above 0, not '-9600'\n"},
        {"uart:rx=select:baudrate=9223372036854775807",
         "uart option baudrate 9223372036854775807" + half},
        {"uart:rx=select:baudrate=600000", "uart option baudrate 600000" + half},
        {"spi:clk=1:mosi=2:wordsize=0",
         "spi option wordsize takes a whole number above 0, not '0'\n"},
        {"spi:clk=1:mosi=2:wordsize=-8",
         "spi option wordsize takes a whole number above 0, not '-8'\n"},
        {"uart:rx=select:rx=error", "uart: rx is given twice\n"},
        {"uart:rx=select:baudrate=9600:baudrate=10000", "uart: baudrate is given twice\n"},
    };
    for (const OptionCase& c : cases) {
        const CliRun run = runCliLine({"decode", recording, "--period", "1e-6", "-P", c.stack});
        EXPECT_EQ(run.status, 2) << c.stack;
        EXPECT_EQ(run.err, "pinprobe-cli: " + c.says) << c.stack;
        EXPECT_EQ(run.out, "") << c.stack;
    }
    const CliRun good = runCliLine(
        {"decode", recording, "--period", "1e-6", "-P", "uart:rx=select:baudrate=10000"});
    EXPECT_EQ(good.status, 0) << good.err;
}

// A capture's rate is known once it is taken: its files are written, then the decoders refused.
TEST(CliDecoderOptions, ACaptureTooSlowForTheBaudRateIsKeptButNotDecoded) {
    VirtualProbeClock clock;
    ScriptedPortAccess ports;
    ports.timing = &clock;
    ports.lpt1.play(std::vector<uint8_t>(100, 0x10));
    ports.lpt1.paceWith(clock, 1000);
    CliEnvironment environment;
    environment.ports = &ports;
    TempDir dir;
    const CliRun run = runCliLine({"capture", "--size", "100", "-o", dir.path("c.sco"), "-P",
                                   "uart:rx=select:baudrate=600000"},
                                  environment);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(
        run.err.ends_with("pinprobe-cli: uart option baudrate 600000 is more than half the "
                          "sample rate of 1000000 Hz, so the samples cannot tell its bits "
                          "apart\n"))
        << run.err;
    EXPECT_TRUE(run.out.starts_with("samples: 100\n")) << run.out;
    EXPECT_EQ(samplesPart(readFileBytes(dir.path("c.sco"))).size(), 20u + 100u);
}

// A decoder that raises all the same: one line naming it and its exception, the traceback only
// with --verbose; exit status 1.
TEST(CliDecoderOptions, ADecoderThatRaisesIsOneLine) {
    TempDir dir;
    // It raises on the first edge, as a decoder with a fault would.
    writeTestDecoder(dir.path("decoders"), "raiser",
                     "        self.wait({0: 'e'})\n"
                     "        raise ZeroDivisionError('float division by zero')\n");
    dir.write("rec.sco", scopeFileBytes(uartRecording("Pi", 100, 1)));
    for (const bool verbose : {false, true}) {
        const ProcessOutput run =
            runScript(cliProgramPath(), dir.path(""),
                      "SIGROKDECODE_DIR=$PWD/decoders $cli decode rec.sco -P raiser:data=1" +
                          std::string(verbose ? " --verbose" : "") + " 2>&1; echo \"status $?\"");
        const std::string brief =
            "pinprobe-cli: decoding failed: raiser-1: ZeroDivisionError: float division by zero\n";
        if (verbose) {
            EXPECT_NE(run.out.find("Traceback (most recent call last):"), std::string::npos)
                << run.out;
            EXPECT_TRUE(run.out.ends_with("ZeroDivisionError: float division by zero\nstatus 1\n"))
                << run.out;
        } else {
            EXPECT_EQ(run.out, brief + "status 1\n");
        }
    }
}

}  // namespace
