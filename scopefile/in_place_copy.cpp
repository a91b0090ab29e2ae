#include "scopefile/in_place_copy.h"

#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "scopefile/file_calls.h"

namespace {

constexpr size_t kPiece = 64 * 1024;

// Writes all of `count` bytes at `offset`.
int writeAllAt(int fd, const char* bytes, size_t count, uint64_t offset) {
    while (count > 0) {
        const ssize_t written = fileCalls().writeAt(fd, bytes, count, static_cast<off_t>(offset));
        if (written == -EINTR) {
            continue;
        }
        if (written <= 0) {
            return written < 0 ? static_cast<int>(written) : -EIO;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
        offset += static_cast<uint64_t>(written);
    }
    return 0;
}

// Copies bytes `begin` to `end` of `from` to the same place in `to`.
int copyRange(int from, int to, uint64_t begin, uint64_t end) {
    std::vector<char> piece(kPiece);
    for (uint64_t offset = begin; offset < end;) {
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(kPiece, end - offset));
        const ssize_t read =
            fileCalls().readAt(from, piece.data(), wanted, static_cast<off_t>(offset));
        if (read == -EINTR) {
            continue;
        }
        if (read <= 0) {
            return read < 0 ? static_cast<int>(read) : -EIO;  // the staging file was cut short
        }
        if (const int written = writeAllAt(to, piece.data(), static_cast<size_t>(read), offset);
            written < 0) {
            return written;
        }
        offset += static_cast<uint64_t>(read);
    }
    return 0;
}

// Room for `size` bytes, the old content untouched; cut back to `oldSize` when there is none.
int makeRoom(int staging, int target, uint64_t size, uint64_t oldSize) {
    int made = fileCalls().allocate(target, static_cast<off_t>(size));
    // A file system that cannot allocate ahead still takes the new tail, which needs the room.
    if (made == -EOPNOTSUPP) {
        made = 0;
    }
    if (made == 0 && size > oldSize) {
        made = copyRange(staging, target, oldSize, size);
    }
    if (made < 0) {
        (void)fileCalls().truncate(target, static_cast<off_t>(oldSize));
    }
    return made;
}

}  // namespace

int rewriteInPlace(int staging, int target, uint64_t size, uint64_t oldSize) {
    if (const int room = makeRoom(staging, target, size, oldSize); room < 0) {
        return room;
    }
    if (const int copied = copyRange(staging, target, 0, std::min(size, oldSize)); copied < 0) {
        return copied;
    }
    if (const int cut = fileCalls().truncate(target, static_cast<off_t>(size)); cut < 0) {
        return cut;
    }
    return fileCalls().sync(target);
}
