#include "cli/capture_summary.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/scope_session.h"

namespace {

struct Mark {
    uint32_t sample;
    uint64_t nanoseconds;
};

void giveSessionMarks(const std::vector<Mark>& marks) {
    TimeBase& times = scopeSession.timeBase;
    times.prepare(marks.back().sample, 1, 4);
    for (const Mark& mark : marks) {
        times.mark(mark.sample, mark.nanoseconds);
    }
    times.finish();
}

struct SummaryCase {
    const char* name;
    std::vector<Mark> marks;  // 1 us a sample, but where a line says otherwise
    std::string lines;        // from "gaps:" to before "port:"
};

// Planned pauses are counted apart from the gaps: the loop took them on purpose.
TEST(CaptureSummary, CountsPlannedPausesApartFromTheGaps) {
    const std::vector<SummaryCase> cases = {
        {"no gap", {{0, 0}, {10, 10'000}, {20, 20'000}}, "gaps: 0\n"},
        {"a pause",
         {{0, 0}, {10, 10'000}, {10, 60'000}, {20, 70'000}},
         "gaps: 0\npauses: 1 planned, 5e-05 s in all\n"},
        {"a stall and two pauses",
         {{0, 0},
          {10, 10'000},
          {10, 60'000},
          {20, 70'000},
          {30, 580'000},  // a stall of 500 us
          {30, 600'000},
          {40, 610'000}},
         "gaps: 1, the longest 0.0005 s before sample 25\npauses: 2 planned, 7e-05 s in all\n"},
    };
    for (const SummaryCase& c : cases) {
        SCOPED_TRACE(c.name);
        resetScopeSession();
        giveSessionMarks(c.marks);
        std::ostringstream out;
        printCaptureSummary(out, "LPT1", c.marks.back().sample, 0.5);
        const std::string text = out.str();
        const size_t from = text.find("gaps:");
        const size_t to = text.find("port:");
        ASSERT_NE(from, std::string::npos) << text;
        EXPECT_EQ(text.substr(from, to - from), c.lines);
    }
    resetScopeSession();
}

// The priority line says what the loop ran at and why; a loop that asked for none says nothing.
TEST(CaptureSummary, SaysThePriorityTheLoopRanAt) {
    for (const std::string priority : {"real-time (RealtimeKit)", ""}) {
        SCOPED_TRACE(priority);
        resetScopeSession();
        giveSessionMarks({{0, 0}, {10, 10'000}});
        scopeSession.samplingPriority = priority;
        std::ostringstream out;
        printCaptureSummary(out, "the simulated probe", 10, 0.5);
        const std::string tail = out.str().substr(out.str().find("gaps:"));
        EXPECT_EQ(tail, "gaps: 0\n" + (priority.empty() ? "" : "priority: " + priority + "\n") +
                            "port: the simulated probe\n");
    }
    resetScopeSession();
}

}  // namespace
