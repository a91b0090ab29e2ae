#include "decode/sigrok_calls.h"

#include <dlfcn.h>

namespace {

std::string missing(const char* what) {
    return std::string("protocol decoding needs libsigrokdecode4: ") +
           (what != nullptr ? what : "the library could not be loaded");
}

template <typename Function>
bool lookUp(void* library, const char* name, Function& entry, std::string& error) {
    dlerror();
    entry = reinterpret_cast<Function>(dlsym(library, name));
    if (entry == nullptr) {
        error = missing(dlerror());
        return false;
    }
    return true;
}

}  // namespace

bool openSigrokCalls(const char* file, SigrokCalls& calls, std::string& error) {
    // Global, as if linked: the decoders' Python modules that are shared objects resolve the
    // interpreter's symbols through the program.
    void* library = dlopen(file, RTLD_NOW | RTLD_GLOBAL);
    if (library == nullptr) {
        error = missing(dlerror());
        return false;
    }
#define PINPROBE_SIGROK_LOOK_UP(name) lookUp(library, #name, calls.name, error)&&
    const bool found = PINPROBE_SIGROK_ENTRY_POINTS(PINPROBE_SIGROK_LOOK_UP) true;
#undef PINPROBE_SIGROK_LOOK_UP
    if (!found) {
        calls = SigrokCalls{};
        dlclose(library);
    }
    return found;
}
