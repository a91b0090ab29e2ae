#pragma once

#include <functional>
#include <string>

class WindowSystem;

// File > Open: asks for a scope file and shows it from its first sample at zoom 1.
void openDocument(WindowSystem& mainWindow);

// Opens the scope file at `path` as File > Open opens a chosen one, with the same messages; for a
// file named on the command line.
void openDocumentFile(WindowSystem& mainWindow, const std::string& path);

// Whether the recording may be written to a file now: there is one and no capture is filling
// it (then the user is told so).
bool recordingCanBeWritten(WindowSystem& mainWindow);

// File > Save (saveAs false) and Save As (true).
void saveDocument(WindowSystem& mainWindow, bool saveAs);

// The open or save chooser, writing straight into `path` and `title`; true when confirmed.
bool chooseScopeFile(WindowSystem& owner, bool forOpen, std::string& path, std::string& title);

// The save-changes question when the user's session ends; false only for Cancel.
bool confirmSessionEnd(WindowSystem& mainWindow);

// The question "Save changes to %s?" for `title`, the title shortened so the text always fits.
std::string saveChangesQuestion(const std::string& title);

// Shows a file error as Save does: the string table's text, and under it this program's own
// finding where it has one, such as "Nothing reads this FIFO.".
std::function<void(int)> showSaveMessagesOn(WindowSystem& owner);
