#pragma once

#include <string>

// String ids the program loads.
enum StringId : int {
    IDS_PROGRAM_NAME = 1099,
    IDS_CANNOT_OPEN_FILE = 1100,
    IDS_NOT_A_SCOPE_FILE = 1110,
    IDS_NO_DATA_CHUNK = 1120,
    IDS_EMPTY_DATA = 1150,
    IDS_OUT_OF_MEMORY = 1160,
    IDS_TRUNCATED_DATA = 1170,
    IDS_CANNOT_WRITE_FORM = 1180,
    IDS_CANNOT_WRITE_DATA = 1200,
    IDS_NEW_DOCUMENT_TITLE = 1220,
    IDS_SAVE_CHANGES = 1230,
    IDS_OVERWRITE_FILE = 1240,
    IDS_CAPTURE_RUNNING = 1300,
    IDS_CANNOT_WRITE_EXPORT = 1310,
    IDS_NO_TRIGGER_POINT = 1320,
};

// The text of a string-table entry; empty for an id the table does not hold.
std::string loadString(int id);
