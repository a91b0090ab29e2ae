#include "export/zip_calls.h"

bool openZipCalls(const char* file, ZipCalls& calls, std::string& error) {
    return openEntryPoints(file, "sigrok session files need libzip4", calls, error,
                           [](void* library, ZipCalls& table, std::string& missing) {
                               return true PINPROBE_ZIP_ENTRY_POINTS(PINPROBE_LOOK_UP);
                           });
}

const ZipCalls* zipCalls(std::string& error) {
    return openedOnce(kZipLibraryFile, openZipCalls, error);
}
