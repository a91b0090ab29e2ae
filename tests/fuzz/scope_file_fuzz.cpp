// libFuzzer target: any bytes handed to the scope file reader end in a load or a refusal, never
// in a crash, a leak or a read outside the input; times it keeps work for its samples.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/scope_session.h"
#include "scopefile/recording_times.h"
#include "scopefile/scope_file.h"

namespace {

// A declared size near 4 GiB must not make every run allocate it: larger blocks are refused, which
// the reader takes as memory running out.
constexpr size_t kMemoryLimit = size_t{1} << 20;
void* obtainLimited(size_t bytes) {
    return bytes <= kMemoryLimit ? std::malloc(bytes) : nullptr;
}
const SampleMemory kLimitedMemory{&obtainLimited, &std::free};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    setSampleMemory(&kLimitedMemory);
    // Opened for reading only: the input is never written.
    std::FILE* stream = fmemopen(const_cast<uint8_t*>(bytes), size, "rb");
    uint8_t* samples = nullptr;
    std::atomic<uint32_t> length{0};
    RecordingTimes times;
    if (readScopeStream([](int) {}, stream, samples, length, &times)) {
        // Every sample must lie inside the buffer handed over.
        volatile uint8_t sum = 0;
        for (uint32_t i = 0; i < length; ++i) {
            sum = sum ^ samples[i];
        }
        giveBackSampleBuffer(samples);
        // Times that were taken must be usable for every sample they belong to.
        TimeBase timeBase;
        timeBase.restore(std::move(times.timeBase));
        volatile double seconds = 0;
        for (uint32_t i = 0; i < length && timeBase.known(); i += 1 + length / 64) {
            seconds = seconds + timeBase.sampleAt(timeBase.secondsAt(times.origin + i));
            sum = sum ^ static_cast<uint8_t>(timeBase.stoodStillNear(times.origin + i, i));
        }
    }
    return 0;
}
