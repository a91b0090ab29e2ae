#pragma once

// Without a display Qt ends the program with advice to reinstall it. These say what is wrong
// instead, and exit with status 1.

// Before the application is made, with main()'s arguments: false (after saying so) when Qt would
// pick a desktop platform (none chosen by QT_QPA_PLATFORM or -platform) and no display is named
// (no DISPLAY or WAYLAND_DISPLAY). Otherwise, until displayOpened(), a
// platform that fails to start (a display named but not reached, a platform chosen with
// QT_QPA_PLATFORM that cannot start) ends the program with the same message.
bool expectDisplay(int argc, char** argv);
void displayOpened();
