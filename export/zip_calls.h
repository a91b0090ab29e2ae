#pragma once

#include <zip.h>

#include <string>

#include "core/shared_library.h"

// The file that holds libzip, which only the sigrok session files need.
inline constexpr const char* kZipLibraryFile = "libzip.so.4";

// The entry points of libzip that a sigrok session file is made and read with. Neither program
// links the library (nor so its crypto and compression libraries): it is opened when a session file
// is first written. Each is called as declared in the library's header.
// clang-format off
#define PINPROBE_ZIP_ENTRY_POINTS(X)                                                              \
    X(zip_error_init) X(zip_error_fini) X(zip_error_strerror) X(zip_get_error)                    \
    X(zip_source_buffer_create) X(zip_source_buffer) X(zip_source_keep) X(zip_source_free)        \
    X(zip_source_stat) X(zip_source_open) X(zip_source_read) X(zip_source_close)                  \
    X(zip_open_from_source) X(zip_file_add) X(zip_close) X(zip_discard)                          \
    X(zip_open) X(zip_error_init_with_code) X(zip_get_num_entries) X(zip_stat_index)              \
    X(zip_name_locate) X(zip_fopen_index) X(zip_fread) X(zip_fclose)
// clang-format on

struct ZipCalls {
    PINPROBE_ZIP_ENTRY_POINTS(PINPROBE_ENTRY_POINT)
};

// Opens the library `file` and looks up every entry point. False when the file or one of them
// is missing, with `error` naming what session files need and what the loader said; nothing is
// left open then.
bool openZipCalls(const char* file, ZipCalls& calls, std::string& error);

// libzip's entry points, opened on the first call, from any thread; null with `error` when
// the library cannot be opened.
const ZipCalls* zipCalls(std::string& error);
