#pragma once

#include <span>
#include <string_view>

// A control without an id.
inline constexpr int kNoControlId = -1;

enum class ControlKind {
    PushButton,
    DefaultPushButton,
    AutoCheckBox,     // toggles its own mark when clicked
    AutoRadioButton,  // selects itself when clicked
    TextLeft,
    TextCentred,
    Icon,                 // `iconId` unscaled, at the control's top-left corner
    BlackBar,             // a filled black rectangle, used as a separator line
    Frame,                // a frame without caption around other controls
    HorizontalScrollBar,  // the main window's scroll bar
    TraceView,            // the trace view widget
    Slider,               // horizontal, tick marks on both sides
};

// Extra looks of a static text.
enum TextFlag : unsigned {
    kTextSunken = 1u << 0,
    kTextCentreVertically = 1u << 1,
    kTextWordWrap = 1u << 2,
};

// One control of a template. Positions and sizes are in dialog units.
struct ControlTemplate {
    ControlKind kind;
    int id;
    int x;
    int y;
    int width;
    int height;
    std::string_view text;
    bool tabStop;
    unsigned textFlags = 0;
    int iconId = 0;
};

enum class FrameStyle {
    Fixed,         // fixed border, title bar and system menu
    Sizing,        // sizing border, title bar and system menu
    SizingMinMax,  // sizing border plus minimise and maximise buttons
};

// A window laid out in dialog units from its font. x, y place the client area: on the screen for
// a top-level window, from the owner's client area for a small dialog.
struct DialogTemplate {
    int id;
    std::string_view caption;
    std::string_view fontName;
    int pointSize;
    int x;
    int y;
    int width;
    int height;
    FrameStyle frame;
    int menuId;                                 // 0: none
    std::span<const ControlTemplate> controls;  // creation order, which is also the tab order
};

// The template numbered `id`, or nullptr.
const DialogTemplate* findDialogTemplate(int id);

// All templates, for checks over the whole set.
std::span<const DialogTemplate* const> allDialogTemplates();
