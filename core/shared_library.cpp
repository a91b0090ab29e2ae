#include "core/shared_library.h"

#include <dlfcn.h>

namespace {

std::string loaderError() {
    const char* reason = dlerror();
    return reason != nullptr ? reason : "the loader gave no reason";
}

}  // namespace

void* openSharedLibrary(const char* file, std::string& error) {
    void* library = dlopen(file, RTLD_NOW | RTLD_GLOBAL);
    if (library == nullptr) {
        error = loaderError();
    }
    return library;
}

void closeSharedLibrary(void* library) {
    dlclose(library);
}

void* sharedLibrarySymbol(void* library, const char* name, std::string& error) {
    dlerror();
    void* address = dlsym(library, name);
    if (address == nullptr) {
        error = loaderError();
    }
    return address;
}
