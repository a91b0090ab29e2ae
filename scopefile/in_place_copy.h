#pragma once

#include <cstdint>

// Rewrites the file `target` (now `oldSize` bytes long) in place with the first `size` bytes of
// `staging`, so that every name of it shows the new content. The room is made sure of before
// the old content is touched: the blocks are allocated and what lies beyond the old end is
// written first, so that a full disk leaves the old content as it was (cut back to its length).
// 0, or minus the errno value of the call that failed.
int rewriteInPlace(int staging, int target, uint64_t size, uint64_t oldSize);
