#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "capture/simulated_probe.h"
#include "tests/support/cli_runner.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/scripted_port.h"

namespace {

std::vector<std::vector<std::string>> csvRows(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(file, line);) {
        std::vector<std::string> cells;
        std::stringstream cellStream(line);
        for (std::string cell; std::getline(cellStream, cell, ',');) {
            cells.push_back(cell);
        }
        rows.push_back(cells);
    }
    return rows;
}

// On virtual time: the wait is armed once half the capture is read, so the rising edge of Out Of
// Paper it fires on is sample 15000 exactly, time 0 there in the CSV and negative before it, and
// the summary names it.
TEST(CliTrigger, SimulatedRisingEdgeIsTheTriggerPoint) {
    VirtualProbeClock clock;
    SimulatedProbe probe(clock);
    CliEnvironment environment;
    environment.ports = &probe;
    TempDir dir;
    const std::string csv = dir.path("x.csv");
    const CliRun run = runCliLine(
        {"capture", "--size", "30000", "--trigger", "3=r", "--pre-trigger", "50%", "--csv", csv},
        environment);
    ASSERT_EQ(run.status, 0) << run.err;
    const uint32_t trigger = 15000;
    EXPECT_NE(run.out.find("trigger: sample " + std::to_string(trigger) + ", "), std::string::npos)
        << run.out;
    const auto rows = csvRows(csv);
    ASSERT_EQ(rows.size(), 30001u);
    ASSERT_EQ(rows[0][4], "Out Of Paper");
    const auto& atTrigger = rows[trigger + 1];
    EXPECT_EQ(atTrigger[4], "1");
    EXPECT_EQ(rows[trigger][4], "0");
    EXPECT_EQ(std::stod(atTrigger[1]), 0.0);
    EXPECT_LT(std::stod(rows[1][1]), 0.0);
    EXPECT_NEAR(std::stod(rows[1][1]), -1e-6 * trigger, 1e-9);
    EXPECT_NEAR(std::stod(rows[30000][1]), 1e-6 * (29999 - trigger), 1e-9);
}

// The conditions reach the capture: the first sample is the read after the one that met them.
TEST(CliTrigger, ConditionsChooseTheReadTheCaptureStartsAfter) {
    const uint8_t low = 0x07, ch1 = 0x08, ch2 = 0x10, both = 0x18;
    struct Case {
        const char* name;
        std::vector<std::string> options;
        std::vector<uint8_t> script;  // then the bytes 0xA0, 0xA1 as the capture
    };
    const std::vector<Case> cases = {
        {"falling edge", {"--trigger", "1=f"}, {low, ch1, ch1, low}},
        {"rising edge while another is high", {"--trigger", "1=r,2=1"}, {low, ch1, low, ch2, both}},
        {"a level already true", {"--trigger", "2=0"}, {low}},
        {"either edge in letters", {"--trigger", "2=e"}, {ch1, low, ch2}},
        {"a channel alone", {"--trigger", "1"}, {low, low, ch1}},
        {"the Port boxes' option", {"--port-trigger", "1,2"}, {low, ch2}},
        {"low on one while a box changes",
         {"--port-trigger", "1", "--trigger", "2=0"},
         {ch2, ch1 | ch2, ch2, ch1}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPortAccess ports;
        std::vector<uint8_t> script = c.script;
        script.push_back(0xA0);
        script.push_back(0xA1);
        ports.lpt1.play(script);
        CliEnvironment environment;
        environment.ports = &ports;
        std::vector<std::string> arguments{"capture", "-o", dir.path("t.sco"), "--size", "2"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const CliRun run = runCliLine(arguments, environment);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(samplesPart(readFileBytes(dir.path("t.sco"))), scopeFileBytes("\xA0\xA1"));
        EXPECT_NE(run.out.find("trigger: sample 0"), std::string::npos) << run.out;
    }
}

TEST(CliTrigger, BadTriggerOptionsAreOneLineAndExitTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"--trigger", "2=x"},      {"--trigger", "6=r"},     {"--trigger", "0=1"},
        {"--trigger", "1=r,1=f"},  {"--trigger", "1=r,"},    {"--trigger", "r=1"},
        {"--port-trigger", "6"},   {"--pre-trigger", "33%"}, {"--pre-trigger", "50%%"},
        {"--pre-trigger", "100%"}, {"--pre-trigger", "-10"},
    };
    for (const auto& options : cases) {
        SCOPED_TRACE(options[0] + " " + options[1]);
        std::vector<std::string> arguments{"capture", "-o", "x.sco"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const CliRun run = runCliLine(arguments);
        EXPECT_EQ(run.status, 2);
        // The problem on one line, then where to find help.
        EXPECT_TRUE(run.err.starts_with("pinprobe-cli: " + options[0] + " takes")) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
    }
}

// A wait that gives up records no trigger point and says so.
TEST(CliTrigger, AWaitThatGivesUpSaysThereIsNoTriggerPoint) {
    ScriptedPortAccess ports;
    ports.lpt1.play({0x00});
    CliEnvironment environment;
    environment.ports = &ports;
    TempDir dir;
    const CliRun run = runCliLine(
        {"capture", "-o", dir.path("n.sco"), "--size", "4", "--trigger", "5=r"}, environment);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("trigger: none"), std::string::npos) << run.out;
}

}  // namespace
