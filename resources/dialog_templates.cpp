#include "resources/dialog_templates.h"

#include <array>

#include "resources/command_ids.h"
#include "resources/program_version.h"

namespace {

using K = ControlKind;
constexpr int kNone = kNoControlId;
constexpr bool kTab = true;
constexpr bool kNoTab = false;

constexpr std::string_view kVoltageWarning = "Connect only Digital 0 to 5 Volt Signals !";

constexpr std::array kMainWindowControls = {
    ControlTemplate{K::HorizontalScrollBar, IDC_SCROLL_BAR, 54, 190, 259, 9, "", kTab},
    ControlTemplate{K::PushButton, CMD_NEW_SAMPLE, 8, 206, 59, 15, "&New Sample", kTab},
    ControlTemplate{K::AutoCheckBox, CMD_MEMORY_TRIGGER_FIRST + 1, 34, 65, 8, 8, "", kTab},
    ControlTemplate{K::AutoCheckBox, CMD_MEMORY_TRIGGER_FIRST + 3, 34, 133, 8, 8, "", kTab},
    ControlTemplate{K::AutoCheckBox, CMD_MEMORY_TRIGGER_FIRST + 2, 34, 99, 8, 8, "", kTab},
    ControlTemplate{K::AutoCheckBox, CMD_MEMORY_TRIGGER_FIRST, 34, 31, 8, 8, "", kTab},
    ControlTemplate{K::PushButton, CMD_MEMORY_TRIGGER, 78, 206, 44, 15, "&MemTrig", kNoTab},
    ControlTemplate{K::PushButton, CMD_ZOOM_IN, 276, 206, 37, 15, "Zoom &In", kTab},
    ControlTemplate{K::PushButton, CMD_ZOOM_OUT, 231, 206, 37, 15, "Zoom &Out", kTab},
    ControlTemplate{K::AutoCheckBox, CMD_PORT_TRIGGER_FIRST, 8, 31, 8, 8, "", kTab},
    ControlTemplate{K::AutoCheckBox, CMD_PORT_TRIGGER_FIRST + 1, 8, 65, 8, 8, "", kTab},
    ControlTemplate{K::AutoCheckBox, CMD_PORT_TRIGGER_FIRST + 2, 8, 99, 8, 8, "", kTab},
    ControlTemplate{K::AutoCheckBox, CMD_PORT_TRIGGER_FIRST + 3, 8, 133, 8, 8, "", kTab},
    ControlTemplate{K::TraceView, IDC_TRACE_VIEW, 54, 6, 259, 176, "", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 8, 19, 34, 9, "Port   Mem", kNoTab},
    ControlTemplate{K::PushButton, CMD_BREAK, 132, 206, 44, 15, "&Break", kNoTab},
    ControlTemplate{K::AutoCheckBox, CMD_MEMORY_TRIGGER_LAST, 34, 167, 8, 8, "", kTab},
    ControlTemplate{K::AutoCheckBox, CMD_PORT_TRIGGER_LAST, 8, 167, 8, 8, "", kTab},
    ControlTemplate{K::TextLeft, kNone, 8, 6, 34, 9, "   Trigger", kNoTab},
};

constexpr std::array kHowToUseControls = {
    ControlTemplate{K::PushButton, IDC_HOW_TO_USE_OK, 49, 90, 88, 19, "OK", kTab},
    ControlTemplate{K::TextLeft, kNone, 27, 13, 135, 49,
                    "Ditigal Scope using parallel port as input .   Connect probe to port and "
                    "select speed   and buffer size. Sample data and then look at it offline. "
                    "Trigger works only offline.  Great for analyzing cellular phones, garage "
                    "door openers, beepers and so on. ",
                    kNoTab, kTextWordWrap},
    ControlTemplate{K::Icon, kNone, 7, 89, 20, 20, "", kNoTab, 0, IDI_PROGRAM},
    ControlTemplate{K::Icon, kNone, 158, 89, 20, 20, "", kNoTab, 0, IDI_CONNECTOR},
    ControlTemplate{K::TextLeft, kNone, 31, 70, 128, 11, kVoltageWarning, kNoTab},
};

constexpr std::array kConnectionsControls = {
    ControlTemplate{K::Icon, kNone, 163, 113, 20, 20, "", kNoTab, 0, IDI_CONNECTOR},
    ControlTemplate{K::TextLeft, kNone, 22, 13, 115, 8, "Name                  Port Pin    Channel",
                    kNoTab},
    ControlTemplate{K::PushButton, IDC_CONNECTIONS_OK, 162, 33, 17, 70, "OK", kTab},
    ControlTemplate{K::Frame, kNone, 18, 23, 124, 84, "", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 17, 112, 128, 11, kVoltageWarning, kNoTab},
    ControlTemplate{K::Icon, kNone, 163, 7, 20, 20, "", kNoTab, 0, IDI_PROGRAM},
    // The table inside the frame: name, port pin and channel of each line.
    ControlTemplate{K::TextLeft, kNone, 30, 33, 16, 8, "Error", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 89, 33, 9, 8, "15", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 113, 33, 9, 8, "1", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 30, 45, 21, 8, "Select", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 89, 44, 9, 8, "13", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 113, 44, 9, 8, "2", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 30, 57, 42, 8, "Out Of Paper", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 89, 56, 9, 8, "12", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 113, 57, 9, 8, "3", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 31, 68, 44, 8, "Acknowledge", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 89, 68, 9, 8, "10", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 113, 68, 9, 8, "4", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 31, 80, 24, 8, "Busy", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 89, 80, 9, 8, "11", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 113, 80, 19, 8, "5", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 31, 92, 24, 8, "Ground", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 89, 91, 9, 8, "25", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 113, 91, 19, 8, "All", kNoTab},
};

constexpr std::array kAboutControls = {
    ControlTemplate{K::Icon, kNone, 26, 31, 20, 20, "", kNoTab, 0, IDI_PROGRAM},
    ControlTemplate{K::DefaultPushButton, CMD_OK, 7, 98, 158, 22, "OK", kTab},
    ControlTemplate{K::TextCentred, kNone, 13, 79, 145, 10, "for the PC printer port", kNoTab},
    ControlTemplate{K::TextCentred, kNone, 13, 67, 145, 10, "Five-channel logic recorder", kNoTab},
    ControlTemplate{K::TextCentred, kNone, 53, 40, 105, 10, kAboutVersionLine, kNoTab},
    ControlTemplate{K::TextCentred, kNone, 53, 30, 105, 10, "Pinprobe", kNoTab},
    ControlTemplate{K::BlackBar, kNone, 19, 59, 135, 1, "", kNoTab},
};

constexpr std::array kTooSlowControls = {
    ControlTemplate{K::DefaultPushButton, CMD_OK, 111, 7, 31, 26, "OK", kTab},
    ControlTemplate{K::TextCentred, kNone, 7, 7, 93, 26, "Set Speed Faster !", kNoTab,
                    kTextSunken | kTextCentreVertically},
};

constexpr std::array kSorryControls = {
    ControlTemplate{K::DefaultPushButton, CMD_OK, 7, 7, 75, 16, "Not Implemented", kTab},
};

constexpr std::array kSampleSpeedControls = {
    ControlTemplate{K::DefaultPushButton, CMD_OK, 127, 7, 50, 14, "Done", kTab},
    ControlTemplate{K::Slider, IDC_SPEED_SLIDER, 7, 38, 170, 27, "", kTab},
    ControlTemplate{K::TextLeft, kNone, 7, 65, 22, 8, "Slower", kNoTab},
    ControlTemplate{K::TextLeft, kNone, 157, 65, 20, 8, "Faster", kNoTab},
    ControlTemplate{K::AutoRadioButton, IDC_SPEED_FASTEST, 13, 14, 41, 10, "Fastest", kTab},
};

constexpr std::string_view kMsSansSerif = "MS Sans Serif";

constexpr DialogTemplate kMainWindow{
    IDD_MAIN_WINDOW, "Pinprobe",         "Helv", 8, 50, 100, 318, 225, FrameStyle::SizingMinMax,
    IDR_MAIN_MENU,   kMainWindowControls};
constexpr DialogTemplate kHowToUse{
    IDD_HOW_TO_USE,   "How To Use", kMsSansSerif, 8, 0, 0, 186, 118, FrameStyle::Fixed, 0,
    kHowToUseControls};
constexpr DialogTemplate kConnections{IDD_CONNECTIONS,
                                      "Printer Port Connectios",
                                      kMsSansSerif,
                                      8,
                                      60,
                                      30,
                                      186,
                                      141,
                                      FrameStyle::Sizing,
                                      0,
                                      kConnectionsControls};
constexpr DialogTemplate kAbout{
    IDD_ABOUT, "About Pinprobe", kMsSansSerif, 8, 0, 0, 172, 127, FrameStyle::Fixed,
    0,         kAboutControls};
constexpr DialogTemplate kTooSlow{
    IDD_TOO_SLOW,      "Too Slow", "Swis721 Hv BT", 12, 40, 30, 146, 39,
    FrameStyle::Fixed, 0,          kTooSlowControls};
constexpr DialogTemplate kSorry{IDD_SORRY,         "Sorry", kMsSansSerif,  12, 0, 0, 89, 30,
                                FrameStyle::Fixed, 0,       kSorryControls};
constexpr DialogTemplate kSampleSpeed{
    IDD_SAMPLE_SPEED,    "Set Sample Speed", kMsSansSerif, 8, 0, 0, 184, 87, FrameStyle::Fixed, 0,
    kSampleSpeedControls};

constexpr std::array<const DialogTemplate*, 7> kTemplates = {
    &kMainWindow, &kHowToUse, &kConnections, &kAbout, &kTooSlow, &kSorry, &kSampleSpeed};

}  // namespace

const DialogTemplate* findDialogTemplate(int id) {
    for (const DialogTemplate* dialog : kTemplates) {
        if (dialog->id == id) {
            return dialog;
        }
    }
    return nullptr;
}

std::span<const DialogTemplate* const> allDialogTemplates() {
    return kTemplates;
}
