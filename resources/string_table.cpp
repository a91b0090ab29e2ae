#include "resources/string_table.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<int, const char*>, 15> kStrings{{
    {IDS_PROGRAM_NAME, "Pinprobe"},
    {IDS_CANNOT_OPEN_FILE, "Cannot open file."},
    {IDS_NOT_A_SCOPE_FILE, "This is not a scope file: it holds no RIFF form of type SCOP."},
    {IDS_NO_DATA_CHUNK, "The scope file is damaged: it holds no 'data' chunk."},
    {IDS_EMPTY_DATA, "The scope file holds no samples: its 'data' chunk is empty."},
    {IDS_OUT_OF_MEMORY, "Out of Memory."},
    {IDS_TRUNCATED_DATA, "The scope file is cut short: it holds fewer samples than it declares."},
    {IDS_CANNOT_WRITE_FORM, "Cannot write the scope file. Is the disk full or write-protected?"},
    {IDS_CANNOT_WRITE_DATA, "Cannot write the samples to the file. Is the disk full?"},
    {IDS_NEW_DOCUMENT_TITLE, "Untitled"},
    {IDS_SAVE_CHANGES, "Save changes to %s?"},
    {IDS_OVERWRITE_FILE, "Overwrite file?"},
    {IDS_CAPTURE_RUNNING, "A capture is running. Press Break to end it first."},
    {IDS_CANNOT_WRITE_EXPORT, "Cannot write the export. Is the disk full?"},
    {IDS_NO_TRIGGER_POINT, "This recording has no trigger point: it did not start on a trigger."},
}};

}  // namespace

std::string loadString(int id) {
    for (const auto& [key, text] : kStrings) {
        if (key == id) {
            return text;
        }
    }
    return {};
}
