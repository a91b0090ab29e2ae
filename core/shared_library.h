#pragma once

#include <string>

// Libraries opened when first needed rather than linked, so that a start that never needs one
// does not pay for loading it.

// Opens `file` for good, its symbols visible to what it loads in turn (a library that embeds
// Python loads modules that resolve against the interpreter). Null with the loader's reason in
// `error` when it cannot.
void* openSharedLibrary(const char* file, std::string& error);
void closeSharedLibrary(void* library);

// The address of `name` in `library`; null with the loader's reason in `error`.
void* sharedLibrarySymbol(void* library, const char* name, std::string& error);

// Looks `name` up into the function pointer `entry`, declared as the library's header declares
// the function; false with `error` when it is missing.
template <typename Function>
bool lookUpEntryPoint(void* library, const char* name, Function& entry, std::string& error) {
    entry = reinterpret_cast<Function>(sharedLibrarySymbol(library, name, error));
    return entry != nullptr;
}

// Opens `file` and fills the table `calls` with `lookUpAll(library, calls, error)`. False when
// the file or an entry point is missing, with `error` saying what `needs` it ("protocol decoding
// needs libsigrokdecode4") and what the loader said; the table is empty and nothing left open.
template <typename Calls, typename LookUpAll>
bool openEntryPoints(const char* file, const char* needs, Calls& calls, std::string& error,
                     LookUpAll lookUpAll) {
    void* library = openSharedLibrary(file, error);
    if (library != nullptr && lookUpAll(library, calls, error)) {
        return true;
    }
    error = std::string(needs) + ": " + error;
    calls = Calls{};
    if (library != nullptr) {
        closeSharedLibrary(library);
    }
    return false;
}

// A table of entry points is a struct with a member for each, declared with
// PINPROBE_ENTRY_POINT(name): typed as the library's header declares the function. A lookUpAll
// for openEntryPoints, [](void* library, Table& table, std::string& missing), returns
// `true PINPROBE_LOOK_UP(name) ...` for every member.
#define PINPROBE_ENTRY_POINT(name) decltype(&::name) name = nullptr;
#define PINPROBE_LOOK_UP(name) &&lookUpEntryPoint(library, #name, table.name, missing)

// The table that `open(file, calls, error)` fills, opened once for the process on the first call
// for its type, from any thread; null with `error` when it could not be.
template <typename Calls>
const Calls* openedOnce(const char* file, bool (*open)(const char*, Calls&, std::string&),
                        std::string& error) {
    struct Opened {
        Calls calls;
        bool ok = false;
        std::string error;
    };
    static const Opened opened = [file, open] {
        Opened result;
        result.ok = open(file, result.calls, result.error);
        return result;
    }();
    if (!opened.ok) {
        error = opened.error;
        return nullptr;
    }
    return &opened.calls;
}
