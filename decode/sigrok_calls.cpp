#include "decode/sigrok_calls.h"

#include "core/shared_library.h"

bool openSigrokCalls(const char* file, SigrokCalls& calls, std::string& error) {
    return openEntryPoints(file, "protocol decoding needs libsigrokdecode4", calls, error,
                           [](void* library, SigrokCalls& found, std::string& missing) {
#define PINPROBE_SIGROK_LOOK_UP(name) &&lookUpEntryPoint(library, #name, found.name, missing)
                               return true PINPROBE_SIGROK_ENTRY_POINTS(PINPROBE_SIGROK_LOOK_UP);
#undef PINPROBE_SIGROK_LOOK_UP
                           });
}
