#pragma once

// Command numbers; they are also the control ids of the main window's layout.
enum CommandId : int {
    CMD_OK = 1,      // Enter in a dialog
    CMD_CANCEL = 2,  // Esc or the close box in a dialog
    CMD_NEW_SAMPLE = 110,
    CMD_ZOOM_IN = 112,
    CMD_ZOOM_OUT = 113,
    CMD_MEMORY_TRIGGER = 115,
    CMD_BREAK = 116,
    CMD_OPEN = 120,
    CMD_SAVE = 130,
    CMD_SAVE_AS = 140,
    CMD_EXIT = 150,
    CMD_PORT_TRIGGER_FIRST = 1015,  // channels 1..5: 1015..1019
    CMD_PORT_TRIGGER_LAST = 1019,
    CMD_MEMORY_TRIGGER_FIRST = 2000,  // channels 1..5: 2000..2004
    CMD_MEMORY_TRIGGER_LAST = 2004,
    CMD_SIZE_5000 = 40004,
    CMD_SIZE_30000 = 40005,
    CMD_SIZE_500000 = 40006,
    CMD_SPEED_FASTEST = 40007,
    CMD_SPEED_FAST = 40008,
    CMD_SPEED_SLOW = 40009,
    CMD_HELP = 40010,
    CMD_CONNECTIONS = 40011,
    CMD_ABOUT = 40013,
    CMD_CUT_BEFORE = 40014,
    CMD_CUT_AFTER = 40015,
    CMD_PORT_LPT1 = 40019,
    CMD_PORT_LPT2 = 40020,
    CMD_PORT_LPT3 = 40021,
    CMD_ZOOM_FIT = 40030,
    CMD_SHOW_OVERVIEW = 40031,  // the View menu's bands, in ViewBand order
    CMD_SHOW_RULER = 40032,
    CMD_SHOW_LABELS = 40033,
    CMD_SHOW_STATUS = 40034,
    CMD_TIME_AXIS = 40035,
    CMD_EXPORT = 40040,
    CMD_ADD_DECODER = 40041,
    CMD_REMOVE_DECODERS = 40042,
    CMD_TRIGGER_SETTINGS = 40043,
    CMD_VIEW_ZOOM_IN = 40044,  // the whole ladder, as Ctrl+wheel
    CMD_VIEW_ZOOM_OUT = 40045,
    CMD_MEASURE_FROM_TRIGGER = 40046,
    CMD_TRIGGER_POINT = 40047,  // the marker and the view to the trigger point, as `t`
    CMD_DECODED_DATA = 40060,   // shows or hides the decoded-data panel
    CMD_CHANNELS = 40061,
    CMD_EXPORT_ANNOTATIONS = 40062,
    CMD_GO_TO = 40063,
    CMD_RECORD_TO_FILE = 40064,
};

// Other control ids: the main window's, and those of the small dialogs' controls.
enum ControlId : int {
    IDC_TRACE_VIEW = 220,
    IDC_SCROLL_BAR = 240,
    IDC_CONNECTIONS_OK = 1012,
    IDC_HOW_TO_USE_OK = 1013,
    IDC_SPEED_SLIDER = 1039,
    IDC_SPEED_FASTEST = 1040,
};

// Numbered templates: the main window, the small dialogs, the menu, the icons.
enum TemplateId : int {
    IDD_MAIN_WINDOW = 1000,
    IDD_HOW_TO_USE = 105,
    IDD_CONNECTIONS = 106,
    IDD_ABOUT = 108,
    IDD_TOO_SLOW = 109,
    IDD_SORRY = 111,
    IDD_SAMPLE_SPEED = 112,
    IDD_ADD_DECODER = 113,   // built by the window system over the decoding's form, no template
    IDD_TRIGGER = 114,       // built by the window system over the trigger settings, no template
    IDD_CHANNELS = 115,      // built by the window system over the channels' looks, no template
    IDD_DECODED_DATA = 116,  // the decoded-data panel: not modal, shown or hidden each time
    IDR_MAIN_MENU = 3000,
    IDI_PROGRAM = 1000,
    IDI_CONNECTOR = 104,
};
