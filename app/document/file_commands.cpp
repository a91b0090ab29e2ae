#include "app/document/file_commands.h"

#include <filesystem>
#include <functional>
#include <system_error>
#include <vector>

#include "app/document/capture_cycle.h"
#include "app/document/desktop_recording.h"
#include "app/view/navigation.h"
#include "core/message_box.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "export/recording_file.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"
#include "scopefile/recording_times.h"
#include "scopefile/scope_file.h"

namespace {

// The question must fit the classic 80-character text, terminator included.
constexpr size_t kQuestionCharacters = 79;
const char* const kEllipsis = "...";

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Indexes (in bytes) of the starts of each UTF-8 character of `text`.
std::vector<size_t> characterStarts(const std::string& text) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!isContinuationByte(text[i])) {
            starts.push_back(i);
        }
    }
    return starts;
}

// Keeps the head and the tail (where the extension is) of a title longer than `limit`.
std::string shortenTitle(const std::string& title, size_t limit) {
    const std::vector<size_t> starts = characterStarts(title);
    if (starts.size() <= limit) {
        return title;
    }
    const size_t kept = limit - 3;
    const size_t head = kept / 2;
    const size_t tail = kept - head;
    return title.substr(0, starts[head]) + kEllipsis + title.substr(starts[starts.size() - tail]);
}

// The steps of Open after a file was chosen: the session takes the file's samples, or none.
void openChosenDocument(WindowSystem& mainWindow) {
    ScopeSession& session = scopeSession;
    endRecordingNow();
    endRunningCapture();
    releaseSampleData();
    resetRecordingDetails();
    session.view.viewStart = 0;
    OpenedRecording opened;
    if (readRecordingFile(showMessagesOn(mainWindow), session.documentPath, session.sampleData,
                          session.sampleLength, opened)) {
        takeRecordingTimes(session, opened.times);
    } else {
        session.sampleLength = 0;
    }
    session.view.scale = ViewScale{};
    showTraceRange(mainWindow);
    for (const std::string& note :
         {opened.problem, opened.note,
          opened.times.ignored.empty() ? "" : ignoredTimesNote(opened.times.ignored)}) {
        if (!note.empty()) {
            showWarning(mainWindow, note);
        }
    }
}

}  // namespace

// The system's texts are left to pinprobe-cli.
std::function<void(int)> showSaveMessagesOn(WindowSystem& owner) {
    return [&owner](int stringId) {
        std::string text = loadString(stringId);
        if (fileErrorReasonIsOwn()) {
            text += "\n" + fileErrorReason() + ".";
        }
        showWarning(owner, text);
    };
}

std::string saveChangesQuestion(const std::string& title) {
    const std::string format = loadString(IDS_SAVE_CHANGES);
    const size_t marker = format.find("%s");
    const size_t room = kQuestionCharacters - (format.size() - 2);
    return format.substr(0, marker) + shortenTitle(title, room) + format.substr(marker + 2);
}

bool chooseScopeFile(WindowSystem& owner, bool forOpen, std::string& path, std::string& title) {
    path.clear();
    FileChooserRequest request;
    request.forOpen = forOpen;
    request.filters = {{"Scope Files (*.SCO)", " *.SCO", ""}, {", All Files(*.*)", "    *.* ", ""}};
    request.defaultExtension = "SCO";
    return owner.chooseFile(request, path, title);
}

void openDocument(WindowSystem& mainWindow) {
    if (chooseScopeFile(mainWindow, true, scopeSession.documentPath, scopeSession.documentTitle)) {
        openChosenDocument(mainWindow);
    }
}

// The chooser gives a full path; a relative one is completed so Save finds the same file.
void openDocumentFile(WindowSystem& mainWindow, const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    scopeSession.documentPath = error ? path : full.string();
    scopeSession.documentTitle = std::filesystem::path(path).filename().string();
    openChosenDocument(mainWindow);
}

bool recordingCanBeWritten(WindowSystem& mainWindow) {
    if (scopeSession.sampleData == nullptr) {
        return false;
    }
    if (scopeSession.workerCapturing) {
        showMessage(mainWindow, IDS_CAPTURE_RUNNING);
        return false;
    }
    return true;
}

void saveDocument(WindowSystem& mainWindow, bool saveAs) {
    ScopeSession& session = scopeSession;
    if (!recordingCanBeWritten(mainWindow)) {
        return;
    }
    if (saveAs || session.documentPath.empty()) {
        if (!chooseScopeFile(mainWindow, false, session.documentPath, session.documentTitle)) {
            return;
        }
    } else if (mainWindow.messageBox(loadString(IDS_OVERWRITE_FILE), loadString(IDS_PROGRAM_NAME),
                                     MessageButtons::YesNo,
                                     MessageIcon::Question) != MessageAnswer::Yes) {
        return;
    }
    const RecordingTimes times = recordingTimesOf(session);
    writeScopeFile(showSaveMessagesOn(mainWindow), session.documentPath, session.sampleData,
                   session.sampleLength, &times);
}

bool confirmSessionEnd(WindowSystem& mainWindow) {
    const MessageAnswer answer = mainWindow.messageBox(
        saveChangesQuestion(scopeSession.documentTitle), loadString(IDS_PROGRAM_NAME),
        MessageButtons::YesNoCancel, MessageIcon::Question);
    if (answer == MessageAnswer::Yes) {
        mainWindow.sendMessage(commandMessage(CMD_SAVE));
    }
    return answer != MessageAnswer::Cancel;
}
