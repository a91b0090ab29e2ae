#pragma once

class WindowSystem;

// File > Export Annotations…: the annotations of the rows the decoded-data table shows, in its
// order, to a CSV file (start and end sample, start time, decoder, row, text). Written as Save
// writes a file: a failed write leaves an existing file as it was, and says why.
void exportAnnotations(WindowSystem& mainWindow);
