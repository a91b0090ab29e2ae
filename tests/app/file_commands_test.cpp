#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "app/document/file_commands.h"
#include "app/window/main_window_proc.h"
#include "core/scope_session.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"

namespace {

namespace fs = std::filesystem;

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        dir_ = fs::temp_directory_path() /
               ("pinprobe_file_commands_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        ws.handler = [this](const WindowMessage& m) { return mainWindowProc(ws, m).answer; };
    }
    void TearDown() override {
        resetScopeSession();
        fs::remove_all(dir_);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static std::vector<uint8_t> fileBytes(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void chooseNext(const std::string& name) {
        ws.chooserAnswers.push_back(RecordingWindowSystem::ChooserAnswer{path(name), name});
    }
    void cancelNextChooser() { ws.chooserAnswers.push_back(std::nullopt); }

    RecordingWindowSystem ws;
    fs::path dir_;
};

TEST_F(FileCommandsTest, ChooserOffersScopeFilesWithTheirExtension) {
    loadSessionSamples({1, 2, 3});
    cancelNextChooser();
    saveDocument(ws, false);
    ASSERT_EQ(ws.choosers.size(), 1u);
    const FileChooserRequest& request = ws.choosers[0];
    EXPECT_FALSE(request.forOpen);
    EXPECT_EQ(request.defaultExtension, "SCO");
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].description, "Scope Files (*.SCO)");
    EXPECT_EQ(request.filters[0].pattern, " *.SCO");
    EXPECT_EQ(request.filters[1].description, ", All Files(*.*)");
    EXPECT_EQ(request.filters[1].pattern, "    *.* ");
}

TEST_F(FileCommandsTest, SaveAsksOverwriteOnceTheNameIsKnown) {
    loadSessionSamples({1, 2, 3});
    chooseNext("run1.SCO");
    saveDocument(ws, false);
    EXPECT_EQ(ws.log, std::vector<std::string>{"chooser save"});
    EXPECT_EQ(fileBytes(path("run1.SCO")).size(), 24u);

    fs::remove(path("run1.SCO"));
    ws.clearLog();
    ws.answers.push_back(MessageAnswer::No);
    saveDocument(ws, false);
    EXPECT_EQ(ws.messages, std::vector<std::string>{"Overwrite file?"});
    EXPECT_FALSE(fs::exists(path("run1.SCO")));

    ws.answers.push_back(MessageAnswer::Yes);
    saveDocument(ws, false);
    EXPECT_EQ(fileBytes(path("run1.SCO")).size(), 24u);
    EXPECT_TRUE(ws.choosers.empty());
}

TEST_F(FileCommandsTest, SaveAsAlwaysShowsTheChooser) {
    loadSessionSamples({1, 2, 3, 4});
    scopeSession.documentPath = path("known.SCO");
    chooseNext("other.SCO");
    saveDocument(ws, true);
    EXPECT_EQ(ws.log, std::vector<std::string>{"chooser save"});
    EXPECT_TRUE(fs::exists(path("other.SCO")));
    EXPECT_EQ(scopeSession.documentTitle, "other.SCO");
}

TEST_F(FileCommandsTest, SaveWithoutDataDoesNothing) {
    scopeSession.documentPath = path("known.SCO");
    saveDocument(ws, false);
    saveDocument(ws, true);
    EXPECT_TRUE(ws.log.empty());
}

TEST_F(FileCommandsTest, SaveDuringAWorkerCaptureIsRefusedWithAMessage) {
    loadSessionSamples({1, 2, 3});
    scopeSession.workerCapturing = true;
    saveDocument(ws, true);
    scopeSession.workerCapturing = false;
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_NE(ws.messages[0].find("capture is running"), std::string::npos);
    EXPECT_TRUE(ws.choosers.empty());
}

// A FIFO that nothing reads would hold the window forever: Save says so at once instead. The
// system's reasons stay out of the desktop program's messages.
TEST_F(FileCommandsTest, SaveToAFifoThatNothingReadsSaysSoAtOnce) {
    loadSessionSamples({1, 2, 3});
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
    chooseNext("fifo");
    chooseNext("missing/x.sco");
    saveDocument(ws, true);
    saveDocument(ws, true);
    EXPECT_EQ(ws.messages, (std::vector<std::string>{
                               loadString(IDS_CANNOT_OPEN_FILE) + "\nNothing reads this FIFO.",
                               loadString(IDS_CANNOT_OPEN_FILE)}));
}

TEST_F(FileCommandsTest, CancelledOpenKeepsTheViewAndForgetsThePath) {
    loadSessionSamples(std::vector<uint8_t>(2000, 0x08));
    scopeSession.view.viewStart = 700;
    scopeSession.view.scale = ViewScale::pixelsPerSample(4);
    scopeSession.documentPath = path("old.SCO");
    scopeSession.documentTitle = "old.SCO";
    cancelNextChooser();
    openDocument(ws);
    EXPECT_NE(scopeSession.sampleData, nullptr);
    EXPECT_EQ(scopeSession.sampleLength, 2000u);
    EXPECT_EQ(scopeSession.view.viewStart, 700u);
    EXPECT_EQ(scopeSession.view.zoomStep(), 4);
    EXPECT_TRUE(scopeSession.documentPath.empty());
    EXPECT_EQ(scopeSession.documentTitle, "old.SCO");
}

TEST_F(FileCommandsTest, RefusedFileLeavesAnEmptyViewAndNothingToSave) {
    loadSessionSamples(std::vector<uint8_t>(2000, 0x08));
    scopeSession.view.scale = ViewScale::pixelsPerSample(8);
    scopeSession.view.viewStart = 300;
    std::ofstream(path("tone.wav"), std::ios::binary) << "RIFF\x04\0\0\0WAVE";
    chooseNext("tone.wav");
    openDocument(ws);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(scopeSession.sampleData, nullptr);
    EXPECT_EQ(scopeSession.sampleLength, 0u);
    EXPECT_EQ(scopeSession.view.zoomStep(), 1);
    EXPECT_EQ(scopeSession.view.viewStart, 0u);
    EXPECT_EQ(ws.position, 0);
    EXPECT_EQ(scopeSession.documentPath, path("tone.wav"));

    ws.clearLog();
    saveDocument(ws, false);
    saveDocument(ws, true);
    EXPECT_TRUE(ws.log.empty());
}

TEST_F(FileCommandsTest, GoodFileShowsItsFirstSampleAtZoomOne) {
    std::vector<uint8_t> saved(3001);
    for (size_t i = 0; i < saved.size(); ++i) {
        saved[i] = static_cast<uint8_t>(i * 7);
    }
    loadSessionSamples(saved);
    chooseNext("good.SCO");
    saveDocument(ws, false);

    loadSessionSamples(std::vector<uint8_t>(9000, 0));
    scopeSession.view.scale = ViewScale::pixelsPerSample(16);
    scopeSession.view.viewStart = 4500;
    scopeSession.view.scrollPosition = 4500;
    giveSessionEvenTimes(9000, 1e-6);  // a file has none of the capture's numbers
    scopeSession.sampleOrigin = 300;
    chooseNext("good.SCO");
    openDocument(ws);
    EXPECT_FALSE(scopeSession.timeBase.known());
    EXPECT_EQ(scopeSession.sampleOrigin, 0u);
    ASSERT_EQ(scopeSession.sampleLength, saved.size());
    EXPECT_TRUE(std::equal(saved.begin(), saved.end(), scopeSession.sampleData));
    EXPECT_EQ(scopeSession.view.zoomStep(), 1);
    EXPECT_EQ(scopeSession.view.viewStart, 0u);
    EXPECT_EQ(scopeSession.view.scrollPosition, 0);
    EXPECT_EQ(ws.range.high, static_cast<int32_t>(saved.size()) - scopeSession.view.viewWidth);
}

// A capture saved and opened again has its times back, those of the samples it kept after a cut.
TEST_F(FileCommandsTest, ASavedCaptureOpensWithItsTimes) {
    loadSessionSamples(std::vector<uint8_t>(2000, 0x10));
    makeTimeBase(scopeSession.timeBase, 2300, 1000, {{1500, 400'000}}, 16);
    scopeSession.sampleOrigin = 300;  // cut before
    TimeBase whole;
    makeTimeBase(whole, 2300, 1000, {{1500, 400'000}}, 16);
    chooseNext("timed.SCO");
    saveDocument(ws, false);

    loadSessionSamples(std::vector<uint8_t>(10, 0));
    chooseNext("timed.SCO");
    openDocument(ws);
    ASSERT_EQ(scopeSession.sampleLength, 2000u);
    EXPECT_EQ(scopeSession.sampleOrigin, 300u);
    ASSERT_TRUE(scopeSession.timeBase.known());
    for (uint32_t sample : {300u, 1499u, 1500u, 2299u}) {
        EXPECT_DOUBLE_EQ(scopeSession.timeBase.secondsAt(sample), whole.secondsAt(sample));
    }
    EXPECT_EQ(scopeSession.timeBase.gaps().size(), 1u);
    EXPECT_EQ(std::count(ws.log.begin(), ws.log.end(), "message"), 0);
}

TEST_F(FileCommandsTest, TimesThatCannotBeReadAreShownAsANoteAndTheSamplesOpen) {
    const std::string file =
        riffForm("SCOP", chunk("data", "abc") + chunk("tbas", le32(1) + "too short"));
    std::ofstream(path("odd.sco"), std::ios::binary) << file;
    chooseNext("odd.sco");
    openDocument(ws);
    EXPECT_EQ(scopeSession.sampleLength, 3u);
    EXPECT_FALSE(scopeSession.timeBase.known());
    EXPECT_EQ(
        std::count(ws.log.begin(), ws.log.end(),
                   "message Loaded with sample numbers only: the file's time base is damaged."),
        1);
}

// What the user sees of an Open and what the session holds after it.
struct OpenOutcome {
    std::vector<std::string> log;
    std::vector<uint8_t> samples;
    std::string path;
    std::string title;
    int zoom;
    uint32_t viewStart;

    bool operator==(const OpenOutcome&) const = default;
};

TEST_F(FileCommandsTest, FileNamedAtStartOpensAsFileOpenWould) {
    std::vector<SeedFile> files = seedFiles();
    files.push_back({"missing.sco", "", IDS_CANNOT_OPEN_FILE});
    const fs::path oldDirectory = fs::current_path();
    fs::current_path(dir_);
    const auto openOnce = [this](const std::function<void()>& open) {
        loadSessionSamples(std::vector<uint8_t>(900, 0x10));
        scopeSession.view.scale = ViewScale::pixelsPerSample(4);
        scopeSession.view.viewStart = 200;
        ws.clearLog();
        open();
        const uint8_t* data = scopeSession.sampleData;
        return OpenOutcome{ws.log,
                           data ? std::vector<uint8_t>(data, data + scopeSession.sampleLength)
                                : std::vector<uint8_t>{},
                           scopeSession.documentPath,
                           scopeSession.documentTitle,
                           scopeSession.view.zoomStep(),
                           scopeSession.view.viewStart};
    };
    for (const SeedFile& file : files) {
        SCOPED_TRACE(file.name);
        if (file.name != "missing.sco") {
            std::ofstream(path(file.name), std::ios::binary) << file.bytes;
        }
        OpenOutcome chosen = openOnce([&] {
            chooseNext(file.name);
            openDocument(ws);
        });
        ASSERT_EQ(chosen.log.front(), "chooser open");
        chosen.log.erase(chosen.log.begin());
        // A name relative to the working directory, as a shell gives it.
        const OpenOutcome named = openOnce([&] { openDocumentFile(ws, file.name); });
        EXPECT_EQ(named.log, chosen.log);
        EXPECT_EQ(named.path, chosen.path);
        EXPECT_TRUE(named == chosen);
        EXPECT_EQ(named.samples.empty(), file.errorId != 0);
    }
    fs::current_path(oldDirectory);
}

struct SessionEndCase {
    MessageAnswer answer;
    bool mayEnd;
    bool saves;
};

TEST_F(FileCommandsTest, SessionEndQuestionAnswers) {
    const std::vector<SessionEndCase> cases = {
        {MessageAnswer::Cancel, false, false},
        {MessageAnswer::No, true, false},
        {MessageAnswer::Yes, true, true},
    };
    for (const SessionEndCase& c : cases) {
        loadSessionSamples({1, 2, 3, 4});
        scopeSession.documentTitle = "run1.SCO";
        scopeSession.documentPath.clear();
        ws.clearLog();
        ws.answers = {c.answer};
        cancelNextChooser();
        const intptr_t answer = mainWindowProc(ws, WindowMessage{MSG_QUERYENDSESSION, 0, 0}).answer;
        EXPECT_EQ(answer != 0, c.mayEnd);
        EXPECT_EQ(ws.messages[0], "Save changes to run1.SCO?");
        EXPECT_EQ(ws.choosers.size(), c.saves ? 1u : 0u);
        ws.chooserAnswers.clear();
    }
}

TEST_F(FileCommandsTest, YesAllowsTheEndEvenWhenSaveDidNothing) {
    ws.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(confirmSessionEnd(ws));
    EXPECT_EQ(ws.messages.size(), 1u);
}

TEST(SaveChangesQuestion, LongTitlesAreShortenedToFit) {
    EXPECT_EQ(saveChangesQuestion("run1.SCO"), "Save changes to run1.SCO?");
    const std::string fits(62, 'a');
    EXPECT_EQ(saveChangesQuestion(fits), "Save changes to " + fits + "?");
    const std::string longTitle = std::string(100, 'b') + "_end.SCO";
    const std::string question = saveChangesQuestion(longTitle);
    EXPECT_EQ(question.size(), 79u);
    EXPECT_NE(question.find("..."), std::string::npos);
    EXPECT_NE(question.find("_end.SCO?"), std::string::npos);
    // Multi-byte characters are never cut in half.
    std::string accented;
    for (int i = 0; i < 80; ++i) {
        accented += "\xC3\xA9";
    }
    const std::string shortened = saveChangesQuestion(accented);
    EXPECT_EQ(shortened.find("\xC3..."), std::string::npos);
    EXPECT_EQ(shortened.find("...\xA9"), std::string::npos);
}

}  // namespace
