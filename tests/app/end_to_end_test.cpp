// The whole window on the bundled demo, as a captioner uses it: play and pause, click into the
// caption screen and type with an accent into a coloured row, commit, move the caption on the
// timeline, save, export .scc from the menu, reopen, and compare with what was typed. Set
// VANTREL_SCREENSHOTS to a folder to keep pictures of three of the steps.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "app/main_window.h"
#include "caption_window/caption_render.h"
#include "files/caption_import.h"
#include "files/project_file.h"
#include "scripted_dialogs.h"
#include "test_media.h"

namespace vantrel {
namespace {

std::string Text(const Caption& c) {
    char text[256];
    return std::string(text, c.GetRunningText(text, false, sizeof text));
}

// Texts and frames of every caption, one line each; with `all` the end frame and timing too.
std::string Listing(const CaptionList& list, bool all = true) {
    std::string out;
    for (const Caption* c = list.Head(); c; c = c->next) {
        out += std::to_string(c->startFrame) + " " + Text(*c) + "\n";
        if (all) out += std::to_string(c->endFrame) + " " + std::to_string(c->timingMode) + "\n";
    }
    return out;
}

void Screenshot(QWidget& window, const char* name) {
    const QByteArray folder = qgetenv("VANTREL_SCREENSHOTS");
    if (!folder.isEmpty()) window.grab().save(QDir(folder).filePath(name));
}

QAction* MenuAction(QWidget& window, const char* text) {
    for (QAction* a : window.findChildren<QAction*>()) {
        if (a->text() == text) return a;
    }
    return nullptr;
}

TEST(EndToEnd, EditTheDemoMoveItSaveExportAndReopen) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is needed to make the demo video";
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string project = folder + "/demo.ccp";
    std::filesystem::copy_file(VANTREL_SOURCE_DIR "/resources/demo/demo.ccp", project);
    ASSERT_EQ(std::system(
                  ("'" VANTREL_SOURCE_DIR "/scripts/make-demo-video.sh' '" + folder + "'").c_str()),
              0);

    test::ScriptedDialogs dialogs;
    MainWindow window(&dialogs, test::QuietPlayer());
    MainView& view = window.View();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    view.Files().OpenProjectFile(project);
    ASSERT_TRUE(view.HasVideo()) << "the video is found beside the project";
    ASSERT_EQ(view.project.captions.Count(), 5);

    view.OnPlay();
    QTest::qWait(600);
    view.OnPause();
    EXPECT_GT(view.currentFrame, 0);
    Screenshot(window, "demo-playing.png");

    // The second caption: "until the next caption." in cyan on row 14, from column 4.
    view.SeekToFrame(200);
    Caption* second = view.project.captions.Head()->next;
    CaptionWindow& screen = view.Captions();
    const QPoint endOfRow(kTextLeft + kCellPitchX * 27 + 8, kTextTop + kCellPitchY * 13 + 9);
    QTest::mouseClick(&screen, Qt::LeftButton, Qt::NoModifier, endOfRow);
    ASSERT_TRUE(screen.IsEditing());
    QTest::keyClicks(&screen, " Ol");
    QTest::keyClick(&screen, Qt::Key_Apostrophe, Qt::ControlModifier);
    QTest::keyClicks(&screen, "e");
    Screenshot(window, "demo-editing.png");
    view.Timeline().setFocus();  // the edit is committed when the screen loses the focus
    QTest::qWait(50);
    ASSERT_FALSE(screen.IsEditing());
    second = view.project.captions.Head()->next;
    EXPECT_EQ(Text(*second), "Green text, held on screen until the next caption. Ol\xE9");
    EXPECT_EQ(Foreground(second->cells[13][30].attribute), 3) << "typed in the row's cyan";

    // Drag its display block 30 frames later.
    TimelineWindow& timeline = view.Timeline();
    // The display blocks lie in the lower half of the drawing above the scroll bar.
    const int drawing = timeline.contentsRect().height() -
                        timeline.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int y = timeline.contentsRect().top() + drawing * 2 / 3;
    const int x = timeline.contentsRect().left() +
                  static_cast<int>(second->startFrame + 10 - timeline.Base());
    for (const auto& [type, dx] : {std::pair{QEvent::MouseButtonPress, 0},
                                   {QEvent::MouseMove, 15},
                                   {QEvent::MouseMove, 30},
                                   {QEvent::MouseButtonRelease, 30}}) {
        const QPointF at(x + dx, y);
        QMouseEvent event(type, at, timeline.mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&timeline, &event);
    }
    EXPECT_EQ(second->startFrame, 180);
    Screenshot(window, "demo-moved.png");

    const std::string edited = Listing(view.project.captions);
    ASSERT_TRUE(view.Files().Save());
    dialogs.filesToSave = {folder + "/demo.scc"};
    QAction* exportAction = MenuAction(window, "&Export Captions...");
    ASSERT_NE(exportAction, nullptr);
    exportAction->trigger();
    EXPECT_TRUE(dialogs.informed.empty()) << dialogs.informed[0];

    view.Files().OpenProjectFile(project);
    EXPECT_EQ(Listing(view.project.captions), edited);
    EXPECT_FALSE(view.project.modified);

    // The exported file holds the same texts at the same start frames.
    CaptionProject exported;
    ASSERT_EQ(ImportCaptionFile(exported, folder + "/demo.scc", "scc"), ImportResult::Imported);
    EXPECT_EQ(Listing(exported.captions, false), Listing(view.project.captions, false));
}

}  // namespace
}  // namespace vantrel
