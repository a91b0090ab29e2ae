#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "cli/recording.h"
#include "core/time_base.h"
#include "export/export_formats.h"
#include "resources/program_version.h"
#include "tests/support/cli_program.h"
#include "tests/support/cli_runner.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/time_base_maker.h"

namespace {

// Channel 1 falls at 3 and rises at 5, channel 5 pulses at 2..3 and rises again at 5, channels
// 2 to 4 rise together at 5; the last sample differs in bit 0 only, which is not a channel.
const std::string kSamples = {'\x0f', '\x0f', '\x8f', '\x87', '\x07', '\xf8', '\xf9'};

class CliExportTest : public ::testing::Test {
protected:
    CliRun exportRecording(const std::vector<std::string>& options,
                           const std::string& samples = kSamples) {
        std::vector<std::string> arguments{"export", dir.write("rec.sco", scopeFileBytes(samples))};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return runCliLine(arguments);
    }

    TempDir dir;
};

TEST_F(CliExportTest, VcdHasAWirePerChannelInitialValuesChangesAndTheEnd) {
    const std::string expected = "$version pinprobe-cli " + std::string(kProgramVersion) +
                                 " $end\n"
                                 "$timescale 1 us $end\n"
                                 "$scope module pinprobe $end\n"
                                 "$var wire 1 ! Error $end\n"
                                 "$var wire 1 \" Select $end\n"
                                 "$var wire 1 # Out_Of_Paper $end\n"
                                 "$var wire 1 $ Acknowledge $end\n"
                                 "$var wire 1 % Busy $end\n"
                                 "$upscope $end\n"
                                 "$enddefinitions $end\n"
                                 "#0\n$dumpvars\n1!\n0\"\n0#\n0$\n0%\n$end\n"
                                 "#2\n1%\n"
                                 "#3\n0!\n"
                                 "#4\n0%\n"
                                 "#5\n1!\n1\"\n1#\n1$\n1%\n"
                                 "#7\n";
    const CliRun toStandardOutput = exportRecording({"-o", "-", "--vcd"});
    EXPECT_EQ(toStandardOutput.status, 0) << toStandardOutput.err;
    EXPECT_EQ(toStandardOutput.out, expected);
    EXPECT_EQ(toStandardOutput.err, "");

    const CliRun toFile = exportRecording({"--vcd", "-o", dir.path("out.vcd")});
    EXPECT_EQ(toFile.status, 0);
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(readFileBytes(dir.path("out.vcd")), expected);
}

// The writers over a capture's time base (2 us per sample, a 3 ms stall before sample 4, the
// data cut to start at sample 1): times count from the first sample written, the stamps jump by
// the stall where it is, and the end stamp is where the last sample's period ends.
TEST(ExportTimes, VcdAndCsvAcrossAGap) {
    TimeBase timeBase;
    makeTimeBase(timeBase, 8, 2000, {{4, 3'000'000}});
    SampleTiming timing;
    ASSERT_TRUE(timingForTimeBase(timeBase, 1, 6, timing));
    const auto written = [&](bool vcd) {
        std::string text;
        TextOutput out([&text](std::string_view piece) {
            text.append(piece);
            return true;
        });
        const auto* samples = reinterpret_cast<const uint8_t*>(kSamples.data()) + 1;
        (vcd ? writeVcd : writeCsv)(samples, 6, timing, out, defaultChannelNames());
        EXPECT_TRUE(out.finish());
        return text;
    };
    EXPECT_TRUE(
        written(true).ends_with("$end\n#2\n1%\n#4\n0!\n#3006\n0%\n"
                                "#3008\n1!\n1\"\n1#\n1$\n1%\n#3012\n"))
        << written(true);
    EXPECT_TRUE(
        written(false).ends_with("\n2,0.000004,0,0,0,0,1\n3,0.003006,0,0,0,0,0\n"
                                 "4,0.003008,1,1,1,1,1\n5,0.003010,1,1,1,1,1\n"))
        << written(false);
}

// Where a time base rounds two changes to one unit, the later one still gets a later stamp.
TEST(ExportTimes, StampsOnlyRise) {
    TimeBase timeBase;
    makeTimeBase(timeBase, 7, 3);  // 3 ns per sample
    SampleTiming timing;
    ASSERT_TRUE(timingForTimeBase(timeBase, 0, 7, timing));
    timing.unitExponent = 7;  // 10 ns, coarser than a sample
    std::string text;
    TextOutput out([&text](std::string_view piece) {
        text.append(piece);
        return true;
    });
    writeVcd(reinterpret_cast<const uint8_t*>(kSamples.data()), 7, timing, out);
    EXPECT_TRUE(out.finish());
    EXPECT_TRUE(text.ends_with("$end\n#1\n1%\n#2\n0!\n#3\n0%\n#4\n1!\n1\"\n1#\n1$\n1%\n#5\n"))
        << text;
}

TEST(ExportTimes, NoTimeBaseNoTiming) {
    TimeBase timeBase;
    SampleTiming timing;
    EXPECT_FALSE(timingForTimeBase(timeBase, 0, 7, timing));
    EXPECT_EQ(timing.timeBase, nullptr);
}

TEST_F(CliExportTest, CsvHasAHeaderAndARowPerSample) {
    const CliRun run = exportRecording({"--csv", "-o", "-"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "sample,seconds,Error,Select,Out Of Paper,Acknowledge,Busy\n"
              "0,0.000000,1,0,0,0,0\n"
              "1,0.000001,1,0,0,0,0\n"
              "2,0.000002,1,0,0,0,1\n"
              "3,0.000003,0,0,0,0,1\n"
              "4,0.000004,0,0,0,0,0\n"
              "5,0.000005,1,1,1,1,1\n"
              "6,0.000006,1,1,1,1,1\n");
}

// The period sets the CSV's seconds exactly, and the VCD's unit and time stamps: its own unit
// up to 10 units a sample, else the unit a sample is at most 10 of, the stamps rounded.
TEST_F(CliExportTest, PeriodSetsTimescaleTimeStampsAndSeconds) {
    struct PeriodCase {
        const char* period;
        const char* timescale;
        const char* lastStamp;     // the end of the 7 samples
        const char* secondsOfTwo;  // the CSV's time of sample 2
    };
    const std::vector<PeriodCase> cases = {
        {"1e-6", "1 us", "#7", "0.000002"},
        {"2.5e-6", "1 us", "#18", "0.0000050"},
        {"1.163912e-6", "1 us", "#8", "0.000002327824"},
        {"0.5", "100 ms", "#35", "1.0"},
        {"2", "1 s", "#14", "4"},
        {"100", "100 s", "#7", "200"},
        {"1e-15", "1 fs", "#7", "0.000000000000002"},
        {"0.000000003", "1 ns", "#21", "0.000000006"},
    };
    for (const PeriodCase& c : cases) {
        const CliRun vcd = exportRecording({"-o", "-", "--vcd", "--period", c.period});
        EXPECT_NE(vcd.out.find(std::string("$timescale ") + c.timescale + " $end\n"),
                  std::string::npos)
            << c.period;
        EXPECT_TRUE(vcd.out.ends_with(std::string("\n") + c.lastStamp + "\n")) << c.period;
        const CliRun csv =
            exportRecording({"-o", "-", "--csv", "--period=" + std::string(c.period)});
        EXPECT_NE(csv.out.find(std::string("\n2,") + c.secondsOfTwo + ","), std::string::npos)
            << c.period << "\n"
            << csv.out;
    }
}

TEST(ExportTiming, CoarsestUnitThatCountsThePeriodExactly) {
    struct TimingCase {
        double period;
        uint32_t count;
        bool valid;
        const char* timescale;
        uint64_t unitsPerSample;
    };
    const std::vector<TimingCase> cases = {
        {2e-6, 500000, true, "1 us", 2},
        {2.5e-6, 500000, true, "100 ns", 25},
        {1e-7, 5000, true, "100 ns", 1},
        {10, 5000, true, "10 s", 1},
        {1000, 5000, true, "100 s", 10},
        {1.0 / 3, 5000, true, "1 fs", 333333333333333},
        // 2^32 - 1 samples of a third of a second, counted in femtoseconds, pass 64 bits.
        {1.0 / 3, 4294967295u, false, "", 0},
        {4e-16, 5000, false, "", 0},
        {1001, 5000, false, "", 0},
        {0, 5000, false, "", 0},
    };
    for (const TimingCase& c : cases) {
        SampleTiming timing;
        ASSERT_EQ(timingForPeriod(c.period, c.count, timing), c.valid) << c.period;
        if (c.valid) {
            EXPECT_EQ(timescaleText(timing), c.timescale) << c.period;
            EXPECT_EQ(timing.unitsPerSample, c.unitsPerSample) << c.period;
        }
    }
}

TEST(ExportTiming, VcdUnitKeepsASampleAtMostTenUnitsLong) {
    struct UnitCase {
        SampleTiming timing;
        const char* unit;
    };
    const std::vector<UnitCase> cases = {
        {{9, 1}, "1 us"},       {{9, 10}, "1 us"},
        {{8, 11}, "1 us"},      {{8, 25}, "1 us"},
        {{3, 1163912}, "1 us"}, {{8, 100}, "1 us"},
        {{8, 101}, "10 us"},    {{0, 333333333333333}, "100 ms"},
        {{16, 1000}, "100 s"},  // no unit above 100 s
    };
    for (const UnitCase& c : cases) {
        EXPECT_EQ(timescaleText({vcdUnitExponent(c.timing), 0}), c.unit)
            << c.timing.unitsPerSample << " at 1e" << c.timing.unitExponent;
    }
}

// A third of a second is 333333333333333 fs: 55340 samples of it reach the end of 64 bits.
TEST_F(CliExportTest, PeriodTooFineForTheLengthIsAUsageError) {
    const std::string third = "0.3333333333333333";
    const CliRun fits =
        exportRecording({"-o", "-", "--vcd", "--period", third}, std::string(55000, '\x08'));
    EXPECT_EQ(fits.status, 0) << fits.err;
    // In the VCD's unit of 100 ms: 55000 thirds of a second.
    EXPECT_TRUE(fits.out.ends_with("\n#183333\n"));
    const CliRun tooLong =
        exportRecording({"-o", "-", "--vcd", "--period", third}, std::string(56000, '\x08'));
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_NE(tooLong.err.find("--period is too fine"), std::string::npos) << tooLong.err;
    EXPECT_EQ(tooLong.out, "");
}

TEST(ChannelSummary, FirstLevelChangesAndShortestCompleteRun) {
    struct SummaryCase {
        const char* name;
        std::vector<uint8_t> samples;
        uint8_t bit;
        ChannelSummary expected;
    };
    const std::vector<SummaryCase> cases = {
        {"one sample", {0x08}, 0x08, {true, 0, 0}},
        {"no change", {0x00, 0x00, 0x00}, 0x08, {false, 0, 0}},
        {"one change has no complete run", {0x00, 0x08, 0x08}, 0x08, {false, 1, 0}},
        {"alternating", {0x08, 0x00, 0x08, 0x00}, 0x08, {true, 3, 1}},
        {"shortest of the middle runs", {0, 0, 8, 8, 8, 0, 0, 8}, 0x08, {false, 3, 2}},
        {"the first and last runs are cut off", {8, 0, 0, 0, 8}, 0x08, {true, 2, 3}},
        {"other bits do not count", {0x80, 0x7F, 0x80}, 0x80, {true, 2, 1}},
        {"the same samples on bit 3", {0x80, 0x7F, 0x80}, 0x08, {false, 2, 1}},
    };
    for (const SummaryCase& c : cases) {
        const ChannelSummary s =
            summarizeChannel(c.samples.data(), static_cast<uint32_t>(c.samples.size()), c.bit);
        EXPECT_EQ(s.firstLevel, c.expected.firstLevel) << c.name;
        EXPECT_EQ(s.changes, c.expected.changes) << c.name;
        EXPECT_EQ(s.shortestRun, c.expected.shortestRun) << c.name;
    }
}

}  // namespace

namespace {

struct PeriodCase {
    std::vector<std::string> arguments;  // after the recording
    int status;
    std::string says;
};

// A period whose rate is not whole hertz is refused where it would be kept as whole hertz, with
// the nearest that is; the formats that keep it as it is take it.
TEST(CliPeriods, WholeHertzWhereTheFormatKeepsHertz) {
    TempDir dir;
    const std::string recording =
        dir.write("rec.sco", scopeFileBytes(std::string(1000, '\x08') + std::string(1000, '\x10')));
    const std::vector<PeriodCase> cases = {
        {{"export", "--format", "sr", "--period", "0.7", "-o", "-"},
         2,
         "--period is not a whole number of hertz (1.42857 Hz), which a sigrok session keeps: "
         "the nearest period that is, is 0.5 s"},
        {{"decode", "--period", "0.7", "-P", "timing:data=1"},
         2,
         "--period is not a whole number of hertz (1.42857 Hz), which the decoders take: the "
         "nearest period that is, is 0.5 s"},
        {{"export", "--format", "sr", "--period", "1.047e-6", "-o", "x.sr"}, 0, ""},
        {{"export", "--format", "csv", "--period", "0.7", "-o", "x.csv"}, 0, ""},
        {{"export", "--format", "vcd", "--period", "0.7", "-o", "x.vcd"}, 0, ""},
        {{"decode", "--period", "0.5", "-P", "timing:data=1"}, 0, ""},
    };
    for (const PeriodCase& c : cases) {
        std::vector<std::string> arguments{c.arguments[0], recording};
        arguments.insert(arguments.end(), c.arguments.begin() + 1, c.arguments.end());
        for (std::string& argument : arguments) {
            argument = argument.starts_with("x.") ? dir.path(argument) : argument;
        }
        const CliRun run = runCliLine(arguments);
        const std::string line = ::testing::PrintToString(arguments);
        EXPECT_EQ(run.status, c.status) << line << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << line << run.err;
    }
}

}  // namespace

namespace {

// An export never writes over the recording it reads, however the output names it; it is
// refused before anything is written (exit status 2) and the recording stays as it was.
TEST(CliExportItself, AnOutputThatIsItsInputIsRefused) {
    const std::string bytes = scopeFileBytes("\x08\x10\x18\x90");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"self.sco", ""},
        {"./sub/../self.sco", "mkdir -p sub"},
        {"hard.sco", "ln self.sco hard.sco"},
        {"link.sco", "ln -s self.sco link.sco"},
        {"/dev/stdout", "exec >> self.sco"},
        {"-", "exec >> self.sco"},
        {"/proc/self/fd/1", "exec 1<> self.sco"},
    };
    for (const auto& [output, setup] : cases) {
        SCOPED_TRACE(output);
        TempDir run;
        run.write("self.sco", bytes);
        const ProcessOutput process =
            runScript(cliProgramPath(), run.path(""),
                      "exec 3>&1; " + setup + "\n$cli export self.sco --vcd -o '" + output +
                          "' 2>err.txt; echo \"$?\" >&3; ls -A | grep -c tmp >&3");
        EXPECT_EQ(process.out, "2\n0\n");
        EXPECT_EQ(readFileBytes(run.path("self.sco")), bytes);
        EXPECT_NE(readFileBytes(run.path("err.txt"))
                      .find("is the recording being exported (self.sco), which the export would "
                            "write over"),
                  std::string::npos)
            << readFileBytes(run.path("err.txt"));
    }
}

}  // namespace
