#pragma once

#include "core/window_system.h"

// A window system that shows nothing and answers OK, for programs that only need an owner for
// message boxes (fuzzing, benchmarks).
class SilentWindowSystem : public WindowSystem {
public:
    ScrollRange scrollRange() const override { return {}; }
    void setScrollRange(int32_t, int32_t, bool) override {}
    void setScrollPosition(int32_t, bool) override {}
    void refreshTraceView() override {}
    void checkMenuItem(int, bool) override {}
    void showBand(ViewBand, bool) override {}
    void runDialog(int) override {}
    MessageAnswer messageBox(std::string_view, std::string_view, MessageButtons,
                             MessageIcon) override {
        return MessageAnswer::Ok;
    }
    bool chooseFile(const FileChooserRequest&, std::string&, std::string&) override {
        return false;
    }
    bool askText(std::string_view, std::string_view, std::string&) override { return false; }
    void refreshDecoderRows() override {}
    void beep() override {}
    void postMessage(const WindowMessage&) override {}
    intptr_t sendMessage(const WindowMessage&) override { return 0; }
};
