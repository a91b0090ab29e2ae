#pragma once

#include <libsigrokdecode/libsigrokdecode.h>

#include <string>

#include "core/shared_library.h"

// The file and the package that hold libsigrokdecode.
inline constexpr const char* kSigrokLibraryFile = "libsigrokdecode.so.4";

// The entry points of libsigrokdecode, and of the glib it brings along, that decoding uses. Neither
// program links the library: it is opened when decoding first needs it, so that a start that
// never decodes does not pay for loading it, its Python and glib. Each is called as declared in
// the library's own headers.
// clang-format off
#define PINPROBE_SIGROK_ENTRY_POINTS(X)                                                           \
    X(srd_init) X(srd_strerror) X(srd_log_callback_set) X(srd_log_loglevel_set)                   \
    X(srd_decoder_load) X(srd_decoder_load_all) X(srd_decoder_list) X(srd_decoder_get_by_id)      \
    X(srd_decoder_doc_get) X(srd_session_new) X(srd_session_metadata_set) X(srd_session_start)    \
    X(srd_session_send) X(srd_session_terminate_reset) X(srd_session_destroy)                     \
    X(srd_pd_output_callback_add) X(srd_inst_new) X(srd_inst_channel_set_all) X(srd_inst_stack)   \
    X(g_free) X(g_hash_table_new_full) X(g_hash_table_insert) X(g_hash_table_destroy)             \
    X(g_str_hash) X(g_str_equal) X(g_variant_ref_sink) X(g_variant_unref)                         \
    X(g_variant_is_of_type) X(g_variant_get_int64) X(g_variant_get_double)                        \
    X(g_variant_get_string) X(g_variant_new_int32) X(g_variant_new_int64)                         \
    X(g_variant_new_uint64) X(g_variant_new_double) X(g_variant_new_string)
// clang-format on

struct SigrokCalls {
    PINPROBE_SIGROK_ENTRY_POINTS(PINPROBE_ENTRY_POINT)
};

// Opens the library `file` and looks up every entry point. False when the file or one of them
// is missing, with `error` naming what decoding needs and what the loader said; nothing is left
// open then.
bool openSigrokCalls(const char* file, SigrokCalls& calls, std::string& error);
