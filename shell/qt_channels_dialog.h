#pragma once

class QWidget;

// View > Channels…: a name, a trace colour and Shown for each channel, and Defaults for the
// classic ones. OK gives the session the channels as set; true then.
bool runChannelsDialog(QWidget& owner);
