#pragma once

#include <cstdint>

class WindowSystem;

// Gives a command id its effect; ids the program does not know are ignored.
void dispatchCommand(WindowSystem& mainWindow, int commandId);

// Clears the marks of the three entries of `commandId`'s group in id order, then checks it.
void checkGroupItem(WindowSystem& mainWindow, int commandId);

// Flips one channel bit of a trigger mask.
void toggleMemoryTriggerBit(uint8_t bit);

// Runs a small dialog modally; every button, Enter, Esc and the close box close it.
void showInfoDialog(WindowSystem& mainWindow, int templateId);
