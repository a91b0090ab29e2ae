#pragma once

class QWidget;

// Settings > Trigger…: a condition per channel and the pre-trigger share, with what the capture
// will wait for in words; OK applies them and the Port boxes show them.
void runTriggerDialog(QWidget& owner);

// The Port boxes of `window` as the session's trigger stands: ticked for either edge, partly
// ticked for a condition of the channel's own (the tooltip says which).
void showPortTriggerBoxes(QWidget& window);
