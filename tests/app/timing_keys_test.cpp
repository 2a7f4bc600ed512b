// The window's keys: Space plays and pauses, the steps and F9/F10 time captions through the
// core while the caption screen is not editing, and type (or do nothing) while it is; the speed
// keys; a transcript imported from the File menu at the playhead; the list of every menu key.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QTest>
#include <fstream>

#include "app/main_window.h"
#include "app/shortcuts_dialog.h"
#include "test_media.h"

namespace vantrel {
namespace {

using Frames = std::vector<std::pair<int32_t, int32_t>>;

Frames FramesOf(const CaptionList& list) {
    Frames out;
    for (const Caption* c = list.Head(); c; c = c->next)
        out.emplace_back(c->startFrame, c->endFrame);
    return out;
}

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
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(&window, k, m);
        test::WaitIdle(view.Player());
    };

    key(Qt::Key_Space);
    EXPECT_EQ(view.CurrentPlayState(), PlayState::Playing);
    key(Qt::Key_F8);  // 2x: the ticks come twice as often
    EXPECT_EQ(view.Player().Speed(), 2.0);
    EXPECT_EQ(view.Ticks().PeriodMs(), 9);
    key(Qt::Key_F6);
    key(Qt::Key_Space);
    EXPECT_EQ(view.CurrentPlayState(), PlayState::Paused);
    EXPECT_EQ(view.Player().Speed(), 1.0);

    // A transcript of two blocks, placed from the playhead.
    view.SeekToFrame(30);
    const std::string transcript = test::NumberedVideo("m2v") + ".txt";
    std::ofstream(transcript) << "First line\n\nSecond line\n";
    dialogs.filesToOpen.push_back(transcript);
    for (QAction* a : window.findChildren<QAction*>()) {
        if (a->text() == "Import Transcript...") a->trigger();
    }
    EXPECT_EQ(FramesOf(view.Project().captions), (Frames{{30, 89}, {90, 150}}));

    // Paused on 30: F9 starts the first caption there, F10 ends it a second on; two frames
    // later F9 starts the second; F10 at its start has nothing to end (a beep).
    key(Qt::Key_F9);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_F10);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    key(Qt::Key_F9);
    key(Qt::Key_F10);
    EXPECT_EQ(view.CurrentFrame(), 62);
    EXPECT_EQ(FramesOf(view.Project().captions), (Frames{{30, 60}, {62, 122}}));
    EXPECT_EQ(window.UndoAction().text(), "&Undo Start at Playhead");
    EXPECT_EQ(dialogs.beeps, 1);

    // While editing the keys type: Space is a space, F9 and Left do nothing else.
    QTest::mouseClick(&view.Captions(), Qt::LeftButton, Qt::NoModifier, QPoint(48, 40));
    ASSERT_TRUE(view.Captions().IsEditing());
    for (Qt::Key k : {Qt::Key_A, Qt::Key_Space, Qt::Key_B, Qt::Key_F9, Qt::Key_Left}) {
        QTest::keyClick(&view.Captions(), k);
    }
    EXPECT_EQ(view.CurrentPlayState(), PlayState::Paused);
    EXPECT_EQ(view.CurrentFrame(), 62);
    char text[256];
    view.Captions().Editing().editCopy->GetRunningText(text, false, sizeof text - 1);
    EXPECT_NE(std::string(text).find("a b"), std::string::npos) << text;
    EXPECT_EQ(dialogs.beeps, 1);

    // Help > Keyboard Shortcuts lists each key of the menus once.
    const ShortcutsDialog shortcuts(*window.menuBar());
    QStringList listed;
    const QTreeWidgetItem* menus = shortcuts.Keys().topLevelItem(0);
    for (int k = 0; k < menus->childCount(); ++k) listed << menus->child(k)->text(0);
    for (const char* expected :
         {"Space", "Left", "Shift+Right", "F9", "F10", "F11", "F4", "F8", "Ctrl+Z", "Alt+1"}) {
        EXPECT_EQ(listed.count(expected), 1) << expected;
    }
}

}  // namespace
}  // namespace vantrel
