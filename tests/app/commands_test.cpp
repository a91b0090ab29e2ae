#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/window/commands.h"
#include "app/window/info_dialog.h"
#include "app/window/main_window_proc.h"
#include "core/scope_session.h"
#include "resources/command_ids.h"
#include "tests/support/recording_window_system.h"

namespace {

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override { resetScopeSession(); }
    void TearDown() override { resetScopeSession(); }

    RecordingWindowSystem ws;
};

struct SettingCase {
    int commandId;
    int32_t captureSize;
    int8_t delayUnits;
    uint8_t portNumber;
    int dialog;  // 0: none
};

TEST_F(CommandsTest, SettingsMoveTheMarkThenSetTheField) {
    const std::vector<SettingCase> cases = {
        {CMD_SIZE_5000, 5000, 0, 1, 0},         {CMD_SIZE_30000, 30000, 0, 1, 0},
        {CMD_SIZE_500000, 500000, 0, 1, 0},     {CMD_SPEED_FASTEST, 5000, 0, 1, 0},
        {CMD_SPEED_FAST, 5000, 5, 1, 0},        {CMD_SPEED_SLOW, 5000, 50, 1, IDD_SAMPLE_SPEED},
        {CMD_PORT_LPT1, 5000, 0, 1, 0},         {CMD_PORT_LPT2, 5000, 0, 2, 0},
        {CMD_PORT_LPT3, 5000, 0, 1, IDD_SORRY},
    };
    for (const SettingCase& c : cases) {
        SCOPED_TRACE(c.commandId);
        resetScopeSession();
        ws.clearLog();
        dispatchCommand(ws, c.commandId);
        EXPECT_EQ(scopeSession.captureSize, c.captureSize);
        EXPECT_EQ(scopeSession.delayUnits, c.delayUnits);
        EXPECT_EQ(scopeSession.portNumber, c.portNumber);
        EXPECT_EQ(ws.dialogs, c.dialog == 0 ? std::vector<int>{} : std::vector<int>{c.dialog});
        EXPECT_TRUE(ws.menuChecks[c.commandId]);
    }
}

TEST_F(CommandsTest, CheckGroupClearsMarksInIdOrderThenChecks) {
    const std::vector<std::pair<int, std::vector<std::string>>> groups = {
        {CMD_SIZE_30000,
         {"check 40004 off", "check 40005 off", "check 40006 off", "check 40005 on"}},
        {CMD_SPEED_SLOW,
         {"check 40007 off", "check 40008 off", "check 40009 off", "check 40009 on"}},
        {CMD_PORT_LPT1,
         {"check 40019 off", "check 40020 off", "check 40021 off", "check 40019 on"}},
    };
    for (const auto& [commandId, expected] : groups) {
        ws.clearLog();
        checkGroupItem(ws, commandId);
        EXPECT_EQ(ws.log, expected);
    }
}

TEST_F(CommandsTest, SlowDialogComesBetweenMarkAndField) {
    ws.onDialog = [](int) { EXPECT_EQ(scopeSession.delayUnits, 0); };
    dispatchCommand(ws, CMD_SPEED_SLOW);
    EXPECT_EQ(ws.log.back(), "dialog 112");
    EXPECT_EQ(scopeSession.delayUnits, 50);
}

TEST_F(CommandsTest, Lpt3KeepsThePortChosenBefore) {
    dispatchCommand(ws, CMD_PORT_LPT2);
    dispatchCommand(ws, CMD_PORT_LPT3);
    EXPECT_EQ(scopeSession.portNumber, 2);
    EXPECT_TRUE(ws.menuChecks[CMD_PORT_LPT3]);
    EXPECT_FALSE(ws.menuChecks[CMD_PORT_LPT2]);
    EXPECT_EQ(ws.dialogs, std::vector<int>{IDD_SORRY});
}

TEST_F(CommandsTest, EachTriggerBoxFlipsExactlyOneBit) {
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const uint8_t bit = kChannelBits[channel];
        resetScopeSession();
        dispatchCommand(ws, CMD_PORT_TRIGGER_FIRST + channel);
        EXPECT_EQ(scopeSession.portTriggerMask, bit);
        EXPECT_EQ(scopeSession.memoryTriggerMask, 0);
        dispatchCommand(ws, CMD_MEMORY_TRIGGER_FIRST + channel);
        EXPECT_EQ(scopeSession.memoryTriggerMask, bit);
        dispatchCommand(ws, CMD_PORT_TRIGGER_FIRST + channel);
        dispatchCommand(ws, CMD_MEMORY_TRIGGER_FIRST + channel);
        EXPECT_EQ(scopeSession.portTriggerMask, 0);
        EXPECT_EQ(scopeSession.memoryTriggerMask, 0);
    }
}

TEST_F(CommandsTest, UnknownIdsAreIgnored) {
    for (int id : {0, 1, 2, 111, 114, 117, 1014, 1020, 1999, 2005, 40003, 40012, 40016, 40022}) {
        dispatchCommand(ws, id);
    }
    EXPECT_TRUE(ws.log.empty());
    EXPECT_FALSE(ws.hasPendingMessages());
    EXPECT_EQ(scopeSession.captureSize, 5000);
    EXPECT_EQ(scopeSession.portTriggerMask, 0);
}

TEST_F(CommandsTest, HelpDialogsRunTheirTemplates) {
    dispatchCommand(ws, CMD_HELP);
    dispatchCommand(ws, CMD_CONNECTIONS);
    dispatchCommand(ws, CMD_ABOUT);
    EXPECT_EQ(ws.dialogs, (std::vector<int>{IDD_HOW_TO_USE, IDD_CONNECTIONS, IDD_ABOUT}));
}

// The commands whose work lives elsewhere reach it: each leaves its own mark on the session or
// on the window system.
TEST_F(CommandsTest, WorkCommandsReachTheirHandlers) {
    scopeSession.sampleData = obtainSampleBuffer(2000);
    std::fill_n(scopeSession.sampleData, 2000, 0);
    scopeSession.sampleLength = 2000;
    scopeSession.view.viewStart = 100;

    dispatchCommand(ws, CMD_ZOOM_IN);
    EXPECT_EQ(scopeSession.view.zoomStep(), 2);
    dispatchCommand(ws, CMD_ZOOM_OUT);
    EXPECT_EQ(scopeSession.view.zoomStep(), 1);
    ws.clearLog();
    dispatchCommand(ws, CMD_MEMORY_TRIGGER);
    EXPECT_EQ(ws.log, (std::vector<std::string>{"position 100 redraw", "refresh"}));
    dispatchCommand(ws, CMD_CUT_AFTER);
    EXPECT_EQ(scopeSession.sampleLength, 400u);
    dispatchCommand(ws, CMD_CUT_BEFORE);
    EXPECT_EQ(scopeSession.sampleLength, 300u);

    ws.clearLog();
    dispatchCommand(ws, CMD_SAVE);
    dispatchCommand(ws, CMD_SAVE_AS);
    dispatchCommand(ws, CMD_OPEN);
    EXPECT_EQ(ws.log, (std::vector<std::string>{"chooser save", "chooser save", "chooser open"}));
}

TEST_F(CommandsTest, BreakOnlySetsTheFlag) {
    dispatchCommand(ws, CMD_BREAK);
    EXPECT_EQ(scopeSession.breakRequested, 1);
    EXPECT_TRUE(ws.log.empty());
}

TEST_F(CommandsTest, ExitPostsCloseWithoutAQuestion) {
    dispatchCommand(ws, CMD_EXIT);
    const std::vector<WindowMessage> posted = ws.takePendingMessages();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].id, MSG_CLOSE);
    EXPECT_TRUE(ws.messages.empty());
}

TEST_F(CommandsTest, WindowProcLeavesCloseToTheDefaultHandling) {
    EXPECT_FALSE(mainWindowProc(ws, WindowMessage{MSG_CLOSE, 0, 0}).handled);
    EXPECT_TRUE(mainWindowProc(ws, commandMessage(1)).handled);
    EXPECT_TRUE(ws.log.empty());
}

TEST(InfoDialogProc, AnyCommandEndsTheDialog) {
    const DialogReply init = infoDialogProc(MSG_INITDIALOG, 0);
    EXPECT_TRUE(init.answer);
    EXPECT_FALSE(init.endDialog);
    for (uint32_t id : {1u, 2u, 1012u, 1013u, 1040u}) {
        const DialogReply reply = infoDialogProc(MSG_COMMAND, id);
        EXPECT_TRUE(reply.endDialog);
        EXPECT_EQ(reply.result, 0);
    }
    EXPECT_FALSE(infoDialogProc(MSG_HSCROLL, 0).endDialog);
    EXPECT_FALSE(infoDialogProc(MSG_HSCROLL, 0).answer);
}

}  // namespace
