#include "app/window/commands.h"

#include <array>

#include "app/decoding/desktop_decoding.h"
#include "app/document/capture_cycle.h"
#include "app/document/desktop_recording.h"
#include "app/document/export_annotations.h"
#include "app/document/export_document.h"
#include "app/document/file_commands.h"
#include "app/document/record_to_file.h"
#include "app/view/edge_search.h"
#include "app/view/go_to.h"
#include "app/view/marker.h"
#include "app/view/navigation.h"
#include "app/view/trace_input.h"
#include "app/view/zoom_levels.h"
#include "app/window/trigger_settings.h"
#include "app/window/view_bands.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "resources/command_ids.h"

namespace {

constexpr std::array<std::array<int, 3>, 3> kCheckGroups{{
    {CMD_SIZE_5000, CMD_SIZE_30000, CMD_SIZE_500000},
    {CMD_SPEED_FASTEST, CMD_SPEED_FAST, CMD_SPEED_SLOW},
    {CMD_PORT_LPT1, CMD_PORT_LPT2, CMD_PORT_LPT3},
}};

uint8_t channelBit(int commandId, int firstId) {
    return static_cast<uint8_t>(0x08 << (commandId - firstId));
}

// The settings commands: the mark moves first, then (after the dialog, if any) the field.
struct SettingCommand {
    int commandId;
    int dialogId;  // 0: none
    void (*apply)(ScopeSession& session);
};

constexpr SettingCommand kSettingCommands[] = {
    {CMD_SIZE_5000, 0, [](ScopeSession& s) { s.captureSize = 5000; }},
    {CMD_SIZE_30000, 0, [](ScopeSession& s) { s.captureSize = 30000; }},
    {CMD_SIZE_500000, 0, [](ScopeSession& s) { s.captureSize = 500000; }},
    {CMD_SPEED_FASTEST, 0, [](ScopeSession& s) { s.delayUnits = 0; }},
    {CMD_SPEED_FAST, 0, [](ScopeSession& s) { s.delayUnits = 5; }},
    {CMD_SPEED_SLOW, IDD_SAMPLE_SPEED, [](ScopeSession& s) { s.delayUnits = s.slowDelayUnits; }},
    {CMD_PORT_LPT1, 0, [](ScopeSession& s) { s.portNumber = 1; }},
    {CMD_PORT_LPT2, 0, [](ScopeSession& s) { s.portNumber = 2; }},
    // Not implemented: the mark moves, the port stays.
    {CMD_PORT_LPT3, IDD_SORRY, [](ScopeSession&) {}},
};

bool dispatchSetting(WindowSystem& mainWindow, int commandId) {
    for (const SettingCommand& setting : kSettingCommands) {
        if (setting.commandId != commandId) {
            continue;
        }
        checkGroupItem(mainWindow, commandId);
        if (setting.dialogId != 0) {
            showInfoDialog(mainWindow, setting.dialogId);
        }
        setting.apply(scopeSession);
        return true;
    }
    return false;
}

bool dispatchTriggerBox(int commandId) {
    if (commandId >= CMD_PORT_TRIGGER_FIRST && commandId <= CMD_PORT_TRIGGER_LAST) {
        togglePortTriggerBox(commandId - CMD_PORT_TRIGGER_FIRST);
        return true;
    }
    if (commandId >= CMD_MEMORY_TRIGGER_FIRST && commandId <= CMD_MEMORY_TRIGGER_LAST) {
        toggleMemoryTriggerBit(channelBit(commandId, CMD_MEMORY_TRIGGER_FIRST));
        return true;
    }
    return false;
}

}  // namespace

void dispatchCommand(WindowSystem& mainWindow, int commandId) {
    switch (commandId) {
        case CMD_NEW_SAMPLE:
            endRecordingNow();
            resetDocument(mainWindow);
            startCapture(mainWindow);
            return;
        case CMD_ZOOM_IN:
            zoomView(mainWindow, true);
            return;
        case CMD_ZOOM_OUT:
            zoomView(mainWindow, false);
            return;
        case CMD_MEMORY_TRIGGER:
            findMemoryTrigger(mainWindow);
            return;
        case CMD_BREAK:
            if (recordingRuns()) {
                breakRecording(mainWindow);
                return;
            }
            scopeSession.breakRequested = 1;
            return;
        case CMD_OPEN:
            openDocument(mainWindow);
            return;
        case CMD_RECORD_TO_FILE:
            recordToFile(mainWindow);
            return;
        case CMD_SAVE:
            saveDocument(mainWindow, false);
            return;
        case CMD_SAVE_AS:
            saveDocument(mainWindow, true);
            return;
        case CMD_EXIT:
            mainWindow.postMessage(WindowMessage{MSG_CLOSE, 0, 0});
            return;
        case CMD_HELP:
            showInfoDialog(mainWindow, IDD_HOW_TO_USE);
            return;
        case CMD_CONNECTIONS:
            showInfoDialog(mainWindow, IDD_CONNECTIONS);
            return;
        case CMD_ABOUT:
            showInfoDialog(mainWindow, IDD_ABOUT);
            return;
        case CMD_CUT_BEFORE:
            cutBefore(mainWindow);
            return;
        case CMD_CUT_AFTER:
            cutAfter(mainWindow);
            return;
        case CMD_CANCEL:  // Esc in the main window
            clearMarker(mainWindow);
            return;
        case CMD_ZOOM_FIT:
            zoomToFit(mainWindow);
            return;
        case CMD_TIME_AXIS:
            toggleTimeAxis(mainWindow);
            return;
        case CMD_MEASURE_FROM_TRIGGER:
            toggleMeasureFromTrigger(mainWindow);
            return;
        case CMD_TRIGGER_POINT:
            jumpToTrigger(mainWindow);
            return;
        case CMD_VIEW_ZOOM_IN:
        case CMD_VIEW_ZOOM_OUT:
            zoomAtMiddle(mainWindow, commandId == CMD_VIEW_ZOOM_IN);
            return;
        case CMD_GO_TO:
            goTo(mainWindow);
            return;
        case CMD_EXPORT:
            exportDocument(mainWindow);
            return;
        case CMD_ADD_DECODER:
            addDecoder(mainWindow);
            return;
        case CMD_REMOVE_DECODERS:
            removeDecoders(mainWindow);
            return;
        case CMD_TRIGGER_SETTINGS:
            mainWindow.runDialog(IDD_TRIGGER);
            return;
        case CMD_DECODED_DATA:
            mainWindow.runDialog(IDD_DECODED_DATA);
            return;
        case CMD_CHANNELS:
            mainWindow.runDialog(IDD_CHANNELS);
            return;
        case CMD_EXPORT_ANNOTATIONS:
            exportAnnotations(mainWindow);
            return;
        default:
            if (const std::optional<ViewBand> band = commandBand(commandId)) {
                toggleViewBand(mainWindow, *band);
            } else if (!dispatchSetting(mainWindow, commandId)) {
                dispatchTriggerBox(commandId);
            }
            return;
    }
}

void checkGroupItem(WindowSystem& mainWindow, int commandId) {
    for (const auto& group : kCheckGroups) {
        for (int member : group) {
            if (member != commandId) {
                continue;
            }
            for (int entry : group) {
                mainWindow.checkMenuItem(entry, false);
            }
            mainWindow.checkMenuItem(commandId, true);
            return;
        }
    }
}

void toggleMemoryTriggerBit(uint8_t bit) {
    scopeSession.memoryTriggerMask ^= bit;
}

void showInfoDialog(WindowSystem& mainWindow, int templateId) {
    mainWindow.runDialog(templateId);
}
