#include "cli/break_notice.h"

#include <chrono>
#include <cstdio>

#include "capture/sampler.h"
#include "cli/console_output.h"
#include "cli/interrupt_break.h"
#include "core/scope_session.h"

namespace {

// How often the watch looks at Ctrl+C: soon enough to feel at once.
constexpr std::chrono::milliseconds kLook{50};

// How far the capture has come: the sample of its latest mark and the time to it.
bool progress(uint32_t& sample, uint64_t& nanoseconds) {
    const TimeBase& timeBase = scopeSession.timeBase;
    const size_t count = timeBase.markCount();
    const TimeMark* marks = timeBase.marks();
    if (count < 2 || marks == nullptr) {
        return false;
    }
    sample = marks[count - 1].sample;
    nanoseconds = marks[count - 1].nanoseconds;
    return sample > 0;
}

}  // namespace

std::string fastestBreakText() {
    const uint32_t length = scopeSession.sampleLength;
    std::string text = "Break does not stop the fastest capture; ";
    uint32_t sample = 0;
    uint64_t nanoseconds = 0;
    char detail[200];
    if (progress(sample, nanoseconds)) {
        const double left = static_cast<double>(nanoseconds) / sample * (length - sample) * 1e-9;
        std::snprintf(detail, sizeof detail, "%u of %u samples taken, about %.1f s to go", sample,
                      length, left);
    } else if (triggerSet(scopeSession)) {
        std::snprintf(detail, sizeof detail,
                      "it waits for its trigger, %u reads at most, then takes %u samples",
                      kInlineTriggerPolls, length);
    } else {
        std::snprintf(detail, sizeof detail, "it ends once its %u samples are taken", length);
    }
    return text + detail + " (a second Ctrl+C ends the program without them)";
}

BreakNotice::BreakNotice(ConsoleOutput& console, const BreakOnInterrupt& interrupts)
    : console_(console), interrupts_(interrupts), watch_(kLook, kLook, [this] { return look(); }) {}

bool BreakNotice::stop() {
    watch_.stop();
    return given_;
}

bool BreakNotice::look() {
    if (interrupts_.count() == 0) {
        return true;
    }
    console_.message(fastestBreakText());
    given_ = true;
    return false;
}
