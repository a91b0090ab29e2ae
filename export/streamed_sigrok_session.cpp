#include "export/streamed_sigrok_session.h"

#include <string>

#include "export/sigrok_session.h"

bool SigrokSessionStream::start(uint64_t hertz) {
    return zip_.start("version", "2", "metadata", sigrokMetadata(hertz));
}

bool SigrokSessionStream::append(const uint8_t* samples, uint32_t count, uint64_t hertz) {
    const std::string name = "logic-1-" + std::to_string(blocks_ + 1);
    if (!zip_.append(name, sigrokLogicBytes(samples, count, UniformGrid{}),
                     sigrokMetadata(hertz))) {
        return false;
    }
    ++blocks_;
    samples_ += count;
    return true;
}
