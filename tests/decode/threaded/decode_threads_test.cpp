#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "decode/decoder_run.h"
#include "tests/support/protocol_signals.h"

namespace {

std::vector<DecoderStack> uartOn(const std::string& channel) {
    std::vector<DecoderStack> stacks(1);
    std::string error;
    EXPECT_EQ(parseDecoderStack("uart:baudrate=10000:rx=" + channel, stacks[0], error),
              SetupStatus::Ok)
        << error;
    return stacks;
}

DecodeInput inputOf(const std::string& samples) {
    return makeDecodeInput(reinterpret_cast<const uint8_t*>(samples.data()),
                           static_cast<uint32_t>(samples.size()), UniformGrid{1e-6, {}});
}

std::vector<std::string> texts(const DecodeResult& result) {
    std::vector<std::string> all;
    for (const AnnotationRef annotation : result.annotations) {
        all.push_back(std::to_string(annotation.start) + " " + annotation.texts.at(0));
    }
    return all;
}

// The desktop program decodes off its GUI thread while the user may start another decode: runs
// from several threads at once each get their own annotations, the same as alone.
TEST(DecodeThreads, RunsFromSeveralThreadsGiveWhatEachGivesAlone) {
    const DecodeInput select = inputOf(uartRecording("Pinprobe", 100, 2));
    const DecodeInput ack = inputOf(uartRecording("threads", 100, 4));
    const std::vector<std::string> selectAlone = texts(runDecoders(uartOn("select"), select));
    const std::vector<std::string> ackAlone = texts(runDecoders(uartOn("ack"), ack));
    ASSERT_FALSE(selectAlone.empty());
    ASSERT_NE(selectAlone, ackAlone);

    std::vector<std::vector<std::string>> found(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < found.size(); ++t) {
        threads.emplace_back([&, t] {
            found[t] = t % 2 == 0 ? texts(runDecoders(uartOn("select"), select))
                                  : texts(runDecoders(uartOn("ack"), ack));
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (size_t t = 0; t < found.size(); ++t) {
        EXPECT_EQ(found[t], t % 2 == 0 ? selectAlone : ackAlone) << t;
    }
}

// Data that changed under a running decode: another thread ends it between two chunks.
TEST(DecodeThreads, ACancelFromAnotherThreadEndsALongRun) {
    std::string samples;
    while (samples.size() < 4'000'000) {
        samples += uartRecording("Pinprobe", 100, 2);
    }
    const DecodeInput input = inputOf(samples);
    std::atomic<bool> cancel{false};
    DecodeResult result;
    std::thread decoding([&] { result = runDecoders(uartOn("select"), input, &cancel); });
    cancel = true;
    decoding.join();
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.ok);
    for (const AnnotationRef annotation : result.annotations) {
        EXPECT_LE(annotation.end, input.dataCount);
    }
}

}  // namespace
