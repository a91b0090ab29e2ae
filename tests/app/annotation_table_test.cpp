#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/decoding/annotation_table.h"
#include "app/decoding/desktop_decoding.h"
#include "app/document/annotation_csv.h"
#include "app/window/main_window_proc.h"
#include "core/scope_session.h"
#include "core/time_base.h"
#include "resources/command_ids.h"
#include "tests/support/annotation_stores.h"
#include "tests/support/failing_file_calls.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"

namespace {

Annotation startingAt(uint32_t start, const std::string& text) {
    Annotation a;
    a.start = start;
    a.end = start + 4;
    a.decoder = "uart";
    a.texts = {text};
    return a;
}

DecoderRow rowOf(const std::string& title, std::vector<uint32_t> annotations,
                 const std::string& message = "") {
    DecoderRow row;
    row.title = title;
    row.annotations = std::move(annotations);
    row.message = message;
    return row;
}

// Three rows: RX and TX interleaved, two annotations starting together, and a failed stack's.
struct Decoded {
    AnnotationStore annotations =
        storeOf({startingAt(10, "41"), startingAt(30, "42"), startingAt(5, "61"),
                 startingAt(30, "62"), startingAt(40, "63")});
    std::vector<DecoderRow> rows{rowOf("UART: RX", {0, 1}), rowOf("UART: TX", {2, 3, 4}),
                                 rowOf("SPI", {}, "Decoding failed: ChannelError")};
};

std::vector<std::string> textsOf(const std::vector<TableEntry>& entries, const Decoded& d) {
    std::vector<std::string> texts;
    for (const TableEntry& entry : entries) {
        texts.push_back(d.rows[entry.row].title.substr(6) + " " +
                        d.annotations[entry.annotation].texts.front());
    }
    return texts;
}

TEST(AnnotationTable, TheChosenRowsMergedByFirstSample) {
    const Decoded d;
    const struct {
        std::set<std::string> leftOut;
        std::vector<size_t> chosen;
        std::vector<std::string> lines;
    } cases[] = {
        {{}, {0, 1}, {"TX 61", "RX 41", "RX 42", "TX 62", "TX 63"}},  // ties keep the rows' order
        {{"UART: TX"}, {0}, {"RX 41", "RX 42"}},
        {{"UART: RX"}, {1}, {"TX 61", "TX 62", "TX 63"}},
        {{"UART: RX", "UART: TX"}, {}, {}},
        {{"no such row"}, {0, 1}, {"TX 61", "RX 41", "RX 42", "TX 62", "TX 63"}},
    };
    for (const auto& c : cases) {
        const std::vector<size_t> chosen = chosenRows(d.rows, TableChoice{c.leftOut});
        EXPECT_EQ(chosen, c.chosen);
        EXPECT_EQ(textsOf(tableEntries(d.rows, chosen, d.annotations), d), c.lines);
    }
}

TEST(AnnotationCsv, FieldsQuotedWhereTheyMustBe) {
    TimeBase time;
    makeTimeBase(time, 2000, 1000);  // a sample every microsecond
    const struct {
        std::string text;
        uint32_t origin;
        const TimeBase* time;
        std::string line;
    } cases[] = {
        {"41", 0, nullptr, "10,14,,uart,UART: RX,41\n"},
        {"41", 100, nullptr, "110,114,,uart,UART: RX,41\n"},
        {"41", 0, &time, "10,14,0.000010000,uart,UART: RX,41\n"},
        {"a,b", 0, nullptr, "10,14,,uart,UART: RX,\"a,b\"\n"},
        {"say \"hi\"", 0, nullptr, "10,14,,uart,UART: RX,\"say \"\"hi\"\"\"\n"},
        {"two\nlines", 0, nullptr, "10,14,,uart,UART: RX,\"two\nlines\"\n"},
        {" 41", 0, nullptr, "10,14,,uart,UART: RX,\" 41\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(annotationCsvLine(startingAt(10, c.text), "UART: RX", c.origin, c.time), c.line);
    }
}

class ExportAnnotationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        resetDesktopDecoding();
        tableChoice = {};
        ws.handler = [this](const WindowMessage& m) { return mainWindowProc(ws, m).answer; };
        loadSessionSamples(std::vector<uint8_t>(64, 0x08));
        Decoded d;
        desktopDecoding.result.annotations = std::move(d.annotations);
        desktopDecoding.rows = d.rows;
    }
    void TearDown() override {
        tableChoice = {};
        resetDesktopDecoding();
        resetScopeSession();
    }
    void exportTo(const std::string& name) {
        ws.chooserAnswers.push_back(RecordingWindowSystem::ChooserAnswer{dir.path(name), name, 0});
        ws.sendMessage(commandMessage(CMD_EXPORT_ANNOTATIONS));
    }

    RecordingWindowSystem ws;
    TempDir dir;
};

TEST_F(ExportAnnotationsTest, TheTablesLinesUnderTheirHeader) {
    tableChoice.leftOut = {"UART: TX"};
    exportTo("a.csv");
    EXPECT_EQ(readFileBytes(dir.path("a.csv")),
              "start sample,end sample,start time,decoder,row,text\n"
              "10,14,,uart,UART: RX,41\n30,34,,uart,UART: RX,42\n");
    ASSERT_EQ(ws.choosers.size(), 1u);
    EXPECT_EQ(ws.choosers[0].defaultExtension, "csv");
    EXPECT_TRUE(ws.messages.empty());
}

TEST_F(ExportAnnotationsTest, AFailedWriteLeavesTheOldFileAndSaysSo) {
    exportTo("a.csv");
    const std::string before = readFileBytes(dir.path("a.csv"));
    {
        FailingFileCalls calls;
        calls.failingKind = "write";
        exportTo("a.csv");
    }
    EXPECT_EQ(readFileBytes(dir.path("a.csv")), before);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_NE(ws.messages[0].find("Cannot write"), std::string::npos) << ws.messages[0];
}

TEST_F(ExportAnnotationsTest, NothingToExportIsToldAndAsksForNoFile) {
    tableChoice.leftOut = {"UART: RX", "UART: TX"};
    exportTo("a.csv");
    EXPECT_TRUE(ws.choosers.empty());
    EXPECT_EQ(ws.messages.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir.path("a.csv")));
}

}  // namespace
