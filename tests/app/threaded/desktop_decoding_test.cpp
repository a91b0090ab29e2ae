#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/decoding/decoder_rows.h"
#include "app/decoding/desktop_decoding.h"
#include "app/window/main_window_proc.h"
#include "core/scope_session.h"
#include "decode/sigrok_library.h"
#include "resources/command_ids.h"
#include "tests/support/protocol_signals.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"

namespace {

using Clock = std::chrono::steady_clock;
// How long a decode may take on a slow, busy machine before the test gives up on it.
constexpr double kWaitSeconds = 60.0;

std::vector<uint8_t> bytesOf(const std::string& samples) {
    return std::vector<uint8_t>(samples.begin(), samples.end());
}

// `text` again and again, for a decode that takes a while.
std::vector<uint8_t> longRecording(const std::string& text) {
    std::string samples;
    while (samples.size() < 3'000'000) {
        samples += uartRecording(text, 100, 2);
    }
    return bytesOf(samples);
}

class DesktopDecodingTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        resetDesktopDecoding();
        ws.handler = [this](const WindowMessage& m) { return mainWindowProc(ws, m).answer; };
    }
    void TearDown() override {
        resetDesktopDecoding();
        resetScopeSession();
    }

    void command(int id) { ws.sendMessage(commandMessage(id)); }

    // Pumps the posted messages until `done` holds; false after a generous while.
    bool pumpUntil(const std::function<bool()>& done) {
        const auto end = Clock::now() + std::chrono::duration<double>(kWaitSeconds);
        while (!done()) {
            if (Clock::now() > end) {
                return false;
            }
            ws.waitAndPump(1.0);
        }
        return true;
    }
    bool decoded() {
        return pumpUntil([] { return desktopDecoding.state != DecodeState::Running; }) &&
               desktopDecoding.state == DecodeState::Done;
    }

    // Decode > Add Decoder with the dialog's first proposal for UART, changed by `adjust`.
    void addUart(const std::function<void(DecoderForm&)>& adjust = {}) {
        ws.onDialog = [&adjust](int id) {
            ASSERT_EQ(id, IDD_ADD_DECODER);
            DecoderForm& form = desktopDecoding.form;
            ASSERT_TRUE(form.choose("uart"));
            if (adjust) {
                adjust(form);
            }
            EXPECT_TRUE(form.accept()) << form.error;
        };
        const size_t before = ws.dialogs.size();
        command(CMD_ADD_DECODER);
        ASSERT_TRUE(pumpUntil([&] { return ws.dialogs.size() > before; }));
        ws.onDialog = nullptr;
    }

    // The RX data the rows show, in order.
    static std::string rxText() {
        std::string text;
        for (const DecoderRow& row : desktopDecoding.rows) {
            for (const uint32_t index : row.annotations) {
                const AnnotationRef a = desktopDecoding.result.annotations[index];
                if (row.title == "UART: RX" && a.annotationClass == 0) {
                    text += a.texts.front();
                }
            }
        }
        return text;
    }
    // Where the first RX data `text` starts.
    static std::optional<uint32_t> firstRx(const std::string& text) {
        for (const AnnotationRef a : desktopDecoding.result.annotations) {
            if (a.annotationClass == 0 && a.texts.front() == text) {
                return a.start;
            }
        }
        return std::nullopt;
    }

    RecordingWindowSystem ws;
};

// A scope file keeps no time: the dialog asks for the period, and proposes UART on Select at
// the simulated probe's 10000 baud.
TEST_F(DesktopDecodingTest, TheDecodersAreListedOffTheGuiThreadThenTheDialogDecodes) {
    loadSessionSamples(bytesOf(uartRecording("Pinprobe", 100, 2)));
    ws.onDialog = [](int) {
        const DecoderForm& form = desktopDecoding.form;
        EXPECT_TRUE(form.asksPeriod);
        EXPECT_EQ(form.periodText, "1.000 \u00b5s");
        ASSERT_TRUE(form.chosen.has_value());
        EXPECT_EQ(form.decoders[*form.chosen].id, "uart");
        EXPECT_EQ(form.channels[0].ours, 1);
        EXPECT_EQ(form.options[0].text, "10000");
        desktopDecoding.form.accept();
    };
    command(CMD_ADD_DECODER);
    EXPECT_TRUE(ws.dialogs.empty());  // not before the list is there
    ASSERT_TRUE(pumpUntil([&] { return !ws.dialogs.empty(); }));
    EXPECT_EQ(desktopDecoding.stacks.size(), 1u);
    ASSERT_TRUE(decoded()) << desktopDecoding.problem;
    EXPECT_EQ(rxText(), "Pinprobe");
    EXPECT_GT(ws.rowRefreshCount, 0);
}

TEST_F(DesktopDecodingTest, ThePeriodGivenIsTheOneDecodedAt) {
    loadSessionSamples(bytesOf(uartRecording("period", 100, 2)));
    addUart([](DecoderForm& form) {
        form.options[0].text = "5000";
        form.periodText = "2 us";
    });
    ASSERT_TRUE(decoded());
    EXPECT_EQ(rxText(), "period");
    EXPECT_DOUBLE_EQ(desktopDecoding.periodSeconds, 2e-6);
}

TEST_F(DesktopDecodingTest, CutBeforeDecodesAgainWithTheAnnotationsOnTheirSamples) {
    loadSessionSamples(bytesOf(uartRecording("Pinprobe", 100, 2)));
    addUart();
    ASSERT_TRUE(decoded());
    ASSERT_TRUE(firstRx("n").has_value());
    const uint32_t before = *firstRx("n");
    scopeSession.view.viewStart = 2300;  // in the stop bits of 'i'
    command(CMD_CUT_BEFORE);
    EXPECT_FALSE(desktopDecoding.resultCurrent);
    ASSERT_TRUE(decoded());
    EXPECT_EQ(rxText(), "nprobe");
    ASSERT_TRUE(firstRx("n").has_value());
    EXPECT_EQ(*firstRx("n"), before - 2300);
}

// The decode's result is ready, its news not yet taken, when the decoders are removed.
TEST_F(DesktopDecodingTest, RemoveDecodersTakesTheirRowsAndALateResultChangesNothing) {
    loadSessionSamples(bytesOf(uartRecording("Pinprobe", 100, 2)));
    addUart();
    ASSERT_TRUE(ws.waitForMessage(kWaitSeconds));  // done, not yet taken
    command(CMD_REMOVE_DECODERS);
    EXPECT_TRUE(desktopDecoding.stacks.empty());
    EXPECT_TRUE(desktopDecoding.rows.empty());
    EXPECT_GT(ws.pumpMessages(), 0);
    EXPECT_TRUE(desktopDecoding.rows.empty());
    EXPECT_TRUE(desktopDecoding.result.annotations.empty());
    EXPECT_EQ(desktopDecoding.state, DecodeState::Idle);
}

// A row's menu acts on its own stack: Edit opens the dialog on that stack's decoder as it is set
// up and puts the choice in its place; Remove takes that stack alone; a stack since gone is left
// alone.
TEST_F(DesktopDecodingTest, ARowsMenuEditsAndRemovesItsOwnStack) {
    loadSessionSamples(bytesOf(uartRecording("Pinprobe", 100, 2)));
    addUart([](DecoderForm& form) { form.options[0].text = "5000"; });
    addUart([](DecoderForm& form) { form.options[0].text = "10000"; });
    ASSERT_TRUE(decoded());
    const auto act = [&](StackAction action, int32_t stack) {
        ws.sendMessage(WindowMessage{DECODER_STACK, static_cast<uint32_t>(action), stack});
    };
    std::string seenBaud;
    ws.onDialog = [&seenBaud](int) {
        DecoderForm& form = desktopDecoding.form;
        seenBaud = form.options[0].text;
        form.options[0].text = "20000";
        EXPECT_TRUE(form.accept()) << form.error;
    };
    act(StackAction::Edit, 0);
    ASSERT_TRUE(pumpUntil([&] { return !seenBaud.empty(); }));
    EXPECT_EQ(seenBaud, "5000");  // the first stack's, not the last chosen
    ASSERT_EQ(desktopDecoding.stacks.size(), 2u);
    EXPECT_EQ(desktopDecoding.stacks[0].size(), 1u);
    EXPECT_EQ(std::get<int64_t>(desktopDecoding.stacks[0][0].options.at("baudrate")), 20000);
    EXPECT_EQ(std::get<int64_t>(desktopDecoding.stacks[1][0].options.at("baudrate")), 10000);
    ASSERT_TRUE(decoded());

    act(StackAction::Remove, 0);
    ASSERT_EQ(desktopDecoding.stacks.size(), 1u);
    EXPECT_EQ(std::get<int64_t>(desktopDecoding.stacks[0][0].options.at("baudrate")), 10000);
    ASSERT_TRUE(decoded());
    EXPECT_EQ(rxText(), "Pinprobe");
    for (const DecoderRow& row : desktopDecoding.rows) {
        EXPECT_EQ(row.stack, 0u) << row.title;
    }
    act(StackAction::Remove, 3);
    EXPECT_EQ(desktopDecoding.stacks.size(), 1u);
    act(StackAction::Remove, 0);
    EXPECT_TRUE(desktopDecoding.stacks.empty());
    EXPECT_TRUE(desktopDecoding.rows.empty());
}

// The decoders kept by the last run come back with their channels and options once listed; those
// that no longer read back or hold together stay out.
TEST_F(DesktopDecodingTest, KeptDecodersComeBack) {
    loadSessionSamples(bytesOf(uartRecording("Pinprobe", 100, 2)));
    restoreDecoders(ws, {"uart:rx=select:baudrate=10000:format=ascii", "nosuch:rx=1",
                         "spi:mosi=ack", "eeprom24xx", "pwm:data=ack"});
    ASSERT_TRUE(pumpUntil([] { return desktopDecoding.stacks.size() == 2; }));
    ASSERT_TRUE(decoded()) << desktopDecoding.problem;
    EXPECT_EQ(rxText(), "Pinprobe");
    EXPECT_EQ(keptDecoders(), (std::vector<std::string>{
                                  "uart:rx=select:baudrate=10000:format=ascii", "pwm:data=ack"}));
    EXPECT_TRUE(ws.dialogs.empty());
}

// A recording replaced while its decode runs: the old decode ends, its result never shows.
TEST_F(DesktopDecodingTest, ANewRecordingDuringADecodeReplacesIt) {
    loadSessionSamples(longRecording("old"));
    addUart();
    EXPECT_EQ(desktopDecoding.state, DecodeState::Running);
    loadSessionSamples(bytesOf(uartRecording("new", 100, 2)));
    samplesChanged(scopeSession);
    keepDecodingCurrent(ws);
    ASSERT_TRUE(decoded());
    EXPECT_EQ(rxText(), "new");
}

// A decode that ended before its recording was replaced, but whose news comes after: its result
// is of the old recording and is dropped; the rows wait for the new one.
TEST_F(DesktopDecodingTest, TheResultOfARecordingSinceReplacedIsDropped) {
    loadSessionSamples(bytesOf(uartRecording("old", 100, 2)));
    addUart();
    ASSERT_TRUE(ws.waitForMessage(kWaitSeconds));  // done, not yet taken
    loadSessionSamples(longRecording("new"));
    samplesChanged(scopeSession);
    keepDecodingCurrent(ws);
    ws.pumpMessages();
    EXPECT_FALSE(desktopDecoding.resultCurrent);
    ASSERT_TRUE(decoded());
    EXPECT_EQ(rxText().substr(0, 6), "newnew");
}

TEST_F(DesktopDecodingTest, AWorkerCaptureIsDecodedOnceHandedOver) {
    loadSessionSamples(bytesOf(uartRecording("capture", 100, 2)));
    scopeSession.workerCapturing = true;
    addUart();
    EXPECT_EQ(desktopDecoding.state, DecodeState::WaitingForCapture);
    ASSERT_EQ(desktopDecoding.rows.size(), 1u);
    EXPECT_EQ(desktopDecoding.rows[0].message, "Decoded when the capture ends");
    EXPECT_FALSE(desktopDecoding.worker->takeDecoded().has_value());
    scopeSession.workerCapturing = false;
    keepDecodingCurrent(ws);
    ASSERT_TRUE(decoded());
    EXPECT_EQ(rxText(), "capture");
}

// An uneven capture is decoded on its grid; an annotation across a gap says so.
TEST_F(DesktopDecodingTest, ACaptureIsDecodedOnItsTimeAndAGapShowsInTheTooltip) {
    const std::string samples = uartRecording("gap", 100, 2);
    setStalledCapture(samples, 1150, 300'000);  // in the stop bits of 'g'
    addUart([](DecoderForm& form) { EXPECT_FALSE(form.asksPeriod); });
    ASSERT_TRUE(decoded());
    int warned = 0;
    for (const DecoderRow& row : desktopDecoding.rows) {
        for (const uint32_t index : row.annotations) {
            const AnnotationRef a = desktopDecoding.result.annotations[index];
            const bool warns = annotationTooltip(row, a).find("stood still") != std::string::npos;
            EXPECT_EQ(a.spansGap, warns);
            warned += warns ? 1 : 0;
        }
    }
    EXPECT_GT(warned, 0);
    EXPECT_EQ(rxText(), "gap");
}

// Without the decoder library (in a process of its own where it was never opened), Add Decoder
// says what decoding needs, once, and opens no dialog.
using DesktopDecodingDeathTest = DesktopDecodingTest;
TEST_F(DesktopDecodingDeathTest, WithoutTheLibraryAddDecoderSaysWhatDecodingNeeds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            useSigrokLibraryFile("libpinprobe-missing.so.4");
            command(CMD_ADD_DECODER);
            pumpUntil([this] { return !ws.messages.empty(); });
            for (const std::string& text : ws.messages) {
                std::fprintf(stderr, "%s|", text.c_str());
            }
            std::exit(ws.dialogs.empty() ? 3 : 0);
        },
        ::testing::ExitedWithCode(3),
        "^The decoders cannot be listed: protocol decoding needs libsigrokdecode4: "
        "libpinprobe-missing\\.so\\.4: cannot open shared object file: No such file or "
        "directory\\|$");
}

// Closing the window ends a long decode and its thread; nothing arrives afterwards.
TEST_F(DesktopDecodingTest, StoppingEndsADecodeUnderWay) {
    loadSessionSamples(longRecording("long"));
    addUart();
    stopDecoding();
    EXPECT_EQ(desktopDecoding.worker, nullptr);
    ws.pumpMessages();
    EXPECT_FALSE(desktopDecoding.resultCurrent);
}

}  // namespace
