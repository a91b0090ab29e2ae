#include "export/streamed_sigrok_session.h"

#include "export/sigrok_session.h"

bool SigrokSessionStream::start(uint64_t hertz) {
    return zip_.start("version", "2", "metadata", sigrokMetadata(hertz, names_));
}

bool SigrokSessionStream::append(const uint8_t* samples, uint32_t count, uint64_t hertz,
                                 std::optional<uint64_t> trigger) {
    const std::string name = "logic-1-" + std::to_string(blocks_ + 1);
    const std::string metadata =
        sigrokMetadata(hertz, names_) + (trigger ? sigrokTriggerKeys(*trigger, hertz) : "");
    if (!zip_.append(name, sigrokLogicBytes(samples, count, UniformGrid{}), metadata)) {
        return false;
    }
    ++blocks_;
    samples_ += count;
    return true;
}
