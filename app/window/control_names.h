#pragma once

#include <string>

// What a control of the main window is called where its picture does not say it, as a screen
// reader reads it: "Port trigger on channel 5, Busy", "Position in the recording". Empty for a
// control whose own text names it.
std::string controlName(int controlId);
