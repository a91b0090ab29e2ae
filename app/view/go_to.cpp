#include "app/view/go_to.h"

#include <charconv>
#include <cmath>
#include <string>

#include "app/view/edge_search.h"
#include "core/measure_text.h"
#include "core/scope_session.h"
#include "core/time_base.h"
#include "core/window_system.h"
#include "display/trace_geometry.h"

namespace {

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::optional<GoToTarget> parseGoTo(std::string_view text) {
    text = trimmed(text);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || !std::isfinite(value) || value < 0) {
        return std::nullopt;
    }
    const std::string_view unit = trimmed(text.substr(static_cast<size_t>(end - text.data())));
    if (unit.empty()) {
        // A sample number is whole.
        return value == std::floor(value) ? std::optional(GoToTarget{false, value}) : std::nullopt;
    }
    const double unitSeconds = secondsPerUnit(unit);
    if (unitSeconds == 0) {
        return std::nullopt;
    }
    return GoToTarget{true, value * unitSeconds};
}

std::optional<uint32_t> goToIndex(const GoToTarget& target, const TimeBase* timeBase,
                                  uint32_t origin, uint32_t length) {
    if (target.time && timeBase == nullptr) {
        return std::nullopt;
    }
    const double number =
        target.time ? std::floor(timeBase->sampleAt(target.value) + 0.5) : target.value;
    const double index = number - origin;
    if (index < 0 || index >= length) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(index);
}

void goTo(WindowSystem& mainWindow) {
    const ScopeSession& s = scopeSession;
    if (!hasSampleData(s)) {
        mainWindow.beep();
        return;
    }
    std::string text;
    if (!mainWindow.askText("Sample number, or time with its unit (3.5 ms):", "Go To", text)) {
        return;
    }
    const std::optional<GoToTarget> target = parseGoTo(text);
    markSample(mainWindow, target ? goToIndex(*target, hasTimeAxis(s) ? &s.timeBase : nullptr,
                                              s.sampleOrigin, s.sampleLength)
                                  : std::nullopt);
}
