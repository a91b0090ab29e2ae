#include "decode/decode_input.h"

#include "core/scope_session.h"

DecodeInput makeDecodeInput(const uint8_t* samples, uint32_t count, const UniformGrid& grid) {
    DecodeInput input;
    input.dataCount = count;
    input.sampleRate = rateForPeriod(grid.periodSeconds);
    input.source = grid.source;
    if (input.source.empty()) {
        input.levels.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            input.levels[i] = pinLevels(samples[i]);
        }
        return input;
    }
    input.levels.resize(input.source.size());
    for (size_t k = 0; k < input.source.size(); ++k) {
        input.levels[k] = pinLevels(samples[input.source[k]]);
    }
    return input;
}

bool sessionDecodeInput(const ScopeSession& session, DecodeInput& input, std::string& error) {
    UniformGrid grid;
    if (!sessionGrid(session, grid)) {
        error = "the sampling stood still too long to put the recording on one time grid";
        return false;
    }
    input = makeDecodeInput(session.sampleData, session.sampleLength, grid);
    input.origin = session.sampleOrigin;
    input.gaps = session.timeBase.gaps();
    return true;
}
