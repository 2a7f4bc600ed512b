// The window's keys: Space plays and pauses, the speed keys, a transcript imported at the
// playhead, the steps and F9/F10 timing it through the core while the caption screen is not
// editing and typing (or nothing) while it is; the list of every menu key.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <fstream>

#include "app/main_window.h"
#include "app/shortcuts_dialog.h"
#include "test_media.h"

namespace vantrel {
namespace {

TEST(TimingKeys, SpaceStepsAndTimingKeysWhenNotEditing) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    test::ScriptedDialogs dialogs;
    MainWindow window(&dialogs, test::QuietPlayer());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    MainView& view = window.View();
    view.OpenVideo(test::NumberedVideo("m2v"));
    ASSERT_TRUE(test::WaitIdle(view.Player()));
    const auto keys = [&](std::initializer_list<QKeyCombination> combinations) {
        for (QKeyCombination k : combinations)
            QTest::keyClick(&window, k.key(), k.keyboardModifiers());
        test::WaitIdle(view.Player());
    };
    keys({Qt::Key_Space, Qt::Key_F8});  // playing at 2x: the ticks come twice as often
    EXPECT_EQ(view.Player().Speed(), 2.0);
    EXPECT_EQ(view.Ticks().PeriodMs(), 9);
    keys({Qt::Key_F6, Qt::Key_Space});
    EXPECT_EQ(view.CurrentPlayState(), PlayState::Paused);

    // A transcript of two blocks placed at 30; F9 there starts the first, F10 a second on ends
    // it, F9 two frames later starts the second; F10 at its start has nothing to end (a beep).
    view.SeekToFrame(30);
    const std::string transcript = test::NumberedVideo("m2v") + ".txt";
    std::ofstream(transcript) << "First line\n\nSecond line\n";
    dialogs.filesToOpen.push_back(transcript);
    view.Files().ImportTranscript();
    const Caption* first = view.Project().captions.Head();
    ASSERT_TRUE(first != nullptr && first->next != nullptr && first->next->startFrame == 90);
    keys({Qt::Key_F9, Qt::SHIFT | Qt::Key_Right, Qt::Key_F10, Qt::Key_Right, Qt::Key_Right,
          Qt::Key_F9, Qt::Key_F10});
    EXPECT_EQ(view.CurrentFrame(), 62);
    EXPECT_EQ(std::vector<int32_t>({first->startFrame, first->endFrame, first->next->startFrame,
                                    first->next->endFrame}),
              std::vector<int32_t>({30, 60, 62, 122}));
    EXPECT_EQ(window.UndoAction().text(), "&Undo Start at Playhead");
    EXPECT_TRUE(window.statusBar()->currentMessage().startsWith("Not timed"));

    // While editing the keys type: Space is a space, F9 and Left do nothing else.
    QTest::mouseClick(&view.Captions(), Qt::LeftButton, Qt::NoModifier, QPoint(48, 40));
    QTest::keyClicks(&view.Captions(), "a b");
    for (Qt::Key k : {Qt::Key_F9, Qt::Key_Left}) QTest::keyClick(&view.Captions(), k);
    EXPECT_EQ(view.CurrentPlayState(), PlayState::Paused);
    char text[256];
    view.Captions().Editing().editCopy->GetRunningText(text, false, sizeof text - 1);
    EXPECT_NE(std::string(text).find("a b"), std::string::npos) << text;
    EXPECT_EQ(dialogs.beeps, 1);  // F10 at 62 alone

    // Help > Keyboard Shortcuts lists each key of the menus once.
    const ShortcutsDialog shortcuts(*window.menuBar());
    for (const char* key : {"Space", "Shift+Right", "F9", "F11", "F4", "F8", "Ctrl+Z", "Alt+1"}) {
        EXPECT_EQ(shortcuts.Keys().findItems(key, Qt::MatchExactly | Qt::MatchRecursive).size(), 1);
    }
}

}  // namespace
}  // namespace vantrel
