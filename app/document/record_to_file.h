#pragma once

class WindowSystem;

// File > Record to File…: asks for the file (a sigrok session or a scope file) and how long to
// record, then records into it from the window. Nothing while a recording runs.
void recordToFile(WindowSystem& mainWindow);
