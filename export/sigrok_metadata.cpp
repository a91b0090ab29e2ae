#include "export/sigrok_metadata.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace {

// sigrok numbers probes from 1; a logic sample has room for 64 at most.
constexpr uint32_t kMostProbes = 64;

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    const size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// "probe3=Busy" names bit 2.
bool takeProbe(const std::string& key, const std::string& value, SigrokMetadata& metadata) {
    const std::string number = key.substr(5);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos ||
        number.size() > 2 || std::stoul(number) == 0 || std::stoul(number) > kMostProbes) {
        return false;
    }
    const size_t bit = std::stoul(number) - 1;
    if (metadata.channels.size() <= bit) {
        metadata.channels.resize(bit + 1);
    }
    metadata.channels[bit] = value;
    return true;
}

bool takeValue(const std::string& key, const std::string& value, SigrokMetadata& metadata) {
    if (key == "capturefile") {
        metadata.captureFile = value;
    } else if (key == "samplerate") {
        metadata.hertz = parseSigrokRate(value);
        return metadata.hertz != 0;
    } else if (key == "unitsize") {
        metadata.unitSize = value == "1" ? 1 : 0;  // more than 8 channels: not ours to read
        return metadata.unitSize != 0;
    } else if (key == "trigger sample") {
        // Not sigrok's own key: a value that is not a number is passed over as sigrok does.
        uint64_t sample = 0;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), sample);
        if (error == std::errc{} && end == value.data() + value.size()) {
            metadata.triggerSample = sample;
        }
    } else if (key.rfind("probe", 0) == 0) {
        return takeProbe(key, value, metadata);
    }
    return true;
}

}  // namespace

uint64_t parseSigrokRate(const std::string& text) {
    std::istringstream in(text);
    double number = 0;
    std::string unit;
    if (!(in >> number) || !std::isfinite(number) || number <= 0) {
        return 0;
    }
    in >> unit;
    const double factor = unit.empty() || unit == "Hz" ? 1
                          : unit == "kHz"              ? 1e3
                          : unit == "MHz"              ? 1e6
                          : unit == "GHz"              ? 1e9
                                                       : 0;
    const double hertz = std::round(number * factor);
    return hertz >= 1 && hertz < 1e12 ? static_cast<uint64_t>(hertz) : 0;
}

bool parseSigrokMetadata(const std::string& text, SigrokMetadata& metadata, std::string& problem) {
    std::istringstream lines(text);
    std::string line;
    int devices = 0;  // device sections begun; the first is the one read
    bool inDevice = false;
    while (std::getline(lines, line) && devices < 2) {
        line = trimmed(line);
        if (line.starts_with("[")) {
            inDevice = line.starts_with("[device ");
            devices += inDevice ? 1 : 0;
            continue;
        }
        const size_t equals = line.find('=');
        if (!inDevice || devices != 1 || equals == std::string::npos) {
            continue;
        }
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = trimmed(line.substr(equals + 1));
        if (!takeValue(key, value, metadata)) {
            problem =
                "its metadata has " + key + "=" + value + ", which this program does not take";
            return false;
        }
    }
    if (metadata.captureFile.empty() || metadata.channels.empty()) {
        problem = "it holds no logic channels";
        return false;
    }
    return true;
}
