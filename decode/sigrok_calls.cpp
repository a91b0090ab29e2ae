#include "decode/sigrok_calls.h"

bool openSigrokCalls(const char* file, SigrokCalls& calls, std::string& error) {
    return openEntryPoints(file, "protocol decoding needs libsigrokdecode4", calls, error,
                           [](void* library, SigrokCalls& table, std::string& missing) {
                               return true PINPROBE_SIGROK_ENTRY_POINTS(PINPROBE_LOOK_UP);
                           });
}
