#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/decoding/desktop_decoding.h"
#include "app/document/export_document.h"
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

constexpr const char* kPeriodQuestion = "ask A scope file keeps no time. Time between two samples:";

class ExportDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        resetDesktopDecoding();
        ws.handler = [this](const WindowMessage& m) { return mainWindowProc(ws, m).answer; };
        loadSessionSamples({0x08, 0x18, 0x10, 0x00});
    }
    void TearDown() override {
        resetDesktopDecoding();
        resetScopeSession();
    }

    std::string path(const std::string& name) const { return dir_.path(name); }
    std::string text(const std::string& name) const { return readFileBytes(path(name)); }
    void chooseNext(const std::string& name, int filter = 0) {
        ws.chooserAnswers.push_back(RecordingWindowSystem::ChooserAnswer{path(name), name, filter});
    }
    void exportNow() { ws.sendMessage(commandMessage(CMD_EXPORT)); }

    RecordingWindowSystem ws;
    TempDir dir_;
};

TEST_F(ExportDocumentTest, TheChooserOffersTheThreeFormatsEachWithItsExtension) {
    ws.chooserAnswers.push_back(std::nullopt);
    exportNow();
    ASSERT_EQ(ws.choosers.size(), 1u);
    const FileChooserRequest& request = ws.choosers[0];
    EXPECT_FALSE(request.forOpen);
    EXPECT_NE(request.chosenFilter, nullptr);
    ASSERT_EQ(request.filters.size(), 3u);
    EXPECT_EQ(request.filters[0].description, "Value Change Dump (*.vcd)");
    EXPECT_EQ(request.filters[1].extension, "csv");
    EXPECT_EQ(request.filters[2].pattern, "*.sr");
    EXPECT_EQ(request.caption, "Export");
    EXPECT_EQ(ws.log, std::vector<std::string>{"chooser save"});
}

TEST_F(ExportDocumentTest, TheExtensionChoosesTheFormatElseTheFilter) {
    const struct {
        const char* path;
        int filter;
        ExportFormat format;
    } cases[] = {
        {"a.vcd", 2, ExportFormat::Vcd},   {"a.CSV", 0, ExportFormat::Csv},
        {"a.sr", 1, ExportFormat::Sigrok}, {"a.txt", 1, ExportFormat::Csv},
        {"a", 2, ExportFormat::Sigrok},    {"a.vcd.bak", 0, ExportFormat::Vcd},
        {"a.", 1, ExportFormat::Csv},      {"a", 7, ExportFormat::Sigrok},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(exportFormatFor(c.path, c.filter), c.format) << c.path << " " << c.filter;
    }
}

// A scope file keeps no time: the period is asked for until it is one the export can use.
TEST_F(ExportDocumentTest, AFileIsExportedAtThePeriodGiven) {
    chooseNext("run.vcd");
    ws.textAnswers = {"soon", "2 us"};
    exportNow();
    EXPECT_EQ(ws.log, (std::vector<std::string>{
                          "chooser save", kPeriodQuestion,
                          "message Give the time between two samples, such as 1 us, 2.5 ms or "
                          "100 ns.",
                          kPeriodQuestion}));
    const std::string vcd = text("run.vcd");
    EXPECT_NE(vcd.find("$timescale 1 us $end"), std::string::npos) << vcd;
    EXPECT_NE(vcd.find("#6\n"), std::string::npos) << vcd;  // the end, 3 samples of 2 us on
    EXPECT_DOUBLE_EQ(desktopDecoding.periodSeconds, 2e-6);
}

TEST_F(ExportDocumentTest, CancellingThePeriodWritesNothing) {
    chooseNext("run.csv", 1);
    exportNow();
    EXPECT_FALSE(fs::exists(path("run.csv")));
    EXPECT_TRUE(ws.messages.empty());
}

TEST_F(ExportDocumentTest, ACaptureIsTimedByItsTimeBaseWithoutAQuestion) {
    giveSessionEvenTimes(4, 1e-6);
    chooseNext("run.csv", 1);
    exportNow();
    EXPECT_EQ(ws.log, std::vector<std::string>{"chooser save"});
    const std::string csv = text("run.csv");
    EXPECT_NE(csv.find("3,0.000003"), std::string::npos) << csv;
}

TEST_F(ExportDocumentTest, ASigrokSessionIsAZip) {
    giveSessionEvenTimes(4, 1e-6);
    chooseNext("run.sr");
    exportNow();
    EXPECT_EQ(text("run.sr").substr(0, 2), "PK");
}

TEST_F(ExportDocumentTest, AFileThatCannotBeWrittenIsShownAsSaveShowsIt) {
    fs::create_directories(path("folder.vcd"));
    chooseNext("folder.vcd");
    ws.textAnswers = {"1 us"};
    exportNow();
    EXPECT_EQ(ws.messages, std::vector<std::string>{loadString(IDS_CANNOT_OPEN_FILE)});

    ASSERT_EQ(mkfifo(path("fifo.vcd").c_str(), 0600), 0);
    chooseNext("fifo.vcd");
    ws.textAnswers = {"1 us"};
    ws.clearLog();
    exportNow();
    EXPECT_EQ(ws.messages, std::vector<std::string>{loadString(IDS_CANNOT_OPEN_FILE) +
                                                    "\nNothing reads this FIFO."});
}

TEST_F(ExportDocumentTest, NothingDuringAWorkerCaptureOrWithoutData) {
    scopeSession.workerCapturing = true;
    exportNow();
    EXPECT_EQ(ws.messages, std::vector<std::string>{loadString(IDS_CAPTURE_RUNNING)});
    scopeSession.workerCapturing = false;
    releaseSampleData();
    ws.clearLog();
    exportNow();
    EXPECT_TRUE(ws.log.empty());
}

}  // namespace
