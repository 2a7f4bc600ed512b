// The main window as the window tests drive it: shown and active, with scripted dialogs that can
// also watch the moment a file is chosen, and the ways the tests reach into it.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <functional>
#include <optional>
#include <string>

#include "app/main_window.h"
#include "scripted_dialogs.h"
#include "test_media.h"

namespace vantrel::test {

struct WatchedDialogs : ScriptedDialogs {
    std::function<void()> choosing;  // runs as a file to open is chosen
    std::optional<std::string> ChooseFileToOpen(const FileRequest& request) override {
        if (choosing) choosing();
        return ScriptedDialogs::ChooseFileToOpen(request);
    }
};

// The running text of a caption, "" for none.
inline std::string Text(const Caption* c) {
    if (c == nullptr) return "";
    char text[256];
    return std::string(text, c->GetRunningText(text, false, sizeof text));
}

// Triggers every action of `window` with the menu text `text`; the count of them.
inline int TriggerMenu(QWidget& window, const char* text) {
    int found = 0;
    for (QAction* a : window.findChildren<QAction*>()) {
        if (a->text() == text) a->trigger(), ++found;
    }
    return found;
}

class WindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        window_.show();
        window_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    }

    void Open(const std::string& path) {
        ASSERT_FALSE(path.empty());
        view_.OpenVideo(path);
        ASSERT_TRUE(view_.HasVideo());
        ASSERT_TRUE(WaitIdle(view_.Player()));
    }

    QAction* MenuAction(const char* text) {
        for (QAction* a : window_.findChildren<QAction*>()) {
            if (a->text() == text) return a;
        }
        return nullptr;
    }
    // Chooses `file` in the dialog of the menu command `text`.
    void Menu(std::optional<std::string> file, const char* text) {
        dialogs_.filesToOpen = {std::move(file)};
        ASSERT_EQ(TriggerMenu(window_, text), 1) << text;
    }

    // A Manual caption (its frames stay as given) with `letter` on `row` and a known loading
    // time.
    Caption* Add(int32_t start, int32_t end, int32_t load = 5, int row = 14, uint8_t letter = 'A') {
        auto c = std::make_unique<Caption>();
        c->startFrame = start;
        c->endFrame = end;
        c->timingMode = Manual;
        c->cells[row][0] = {letter, kDefaultAttribute};
        c->loadFrames = load;
        return view_.Project().captions.Insert(std::move(c));
    }

    // Starts typing a new caption at the top left of the caption screen.
    void BeginTyping(const char* text) {
        QTest::mouseClick(&view_.Captions(), Qt::LeftButton, Qt::NoModifier,
                          OnScreen(view_.Captions(), QPoint(48, 40)));
        ASSERT_TRUE(view_.Captions().IsEditing());
        QTest::keyClicks(&view_.Captions(), text);
    }

    WatchedDialogs dialogs_;
    MainWindow window_{&dialogs_, QuietPlayer()};
    MainView& view_ = window_.View();
};

}  // namespace vantrel::test
