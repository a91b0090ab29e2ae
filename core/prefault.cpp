#include "core/prefault.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace {

// Below this many pages the call costs more than the faults it saves.
constexpr size_t kWorthwhilePages = 16;

}  // namespace

void prefaultForWriting(void* begin, size_t bytes) {
    static const auto kPageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    if (bytes < kWorthwhilePages * kPageSize) {
        return;
    }
    // The whole pages the range touches: the first and the last hold part of it, so they are
    // part of the same mapping.
    const uintptr_t first = reinterpret_cast<uintptr_t>(begin) & ~(kPageSize - 1);
    const uintptr_t end = reinterpret_cast<uintptr_t>(begin) + bytes;
    madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
}
