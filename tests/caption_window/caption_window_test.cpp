// What the caption window shows as the frame moves, and the edit lifecycle driven by the mouse
// and the focus.
#include <gtest/gtest.h>

#include "caption_window_fixture.h"

namespace vantrel {
namespace {

using test::FakeMainView;

const QRegion kWhole(0, 0, 480, 360);

TEST(CaptionWindowShow, RendersOnlyWhenTheShownCaptionChanges) {
    FakeMainView view;
    view.AddCaption(100, 1200, 0, 0, "A");
    view.AddCaption(1300, 1400, 1, 0, "B");
    view.window.SetTransportState(2);
    for (int32_t frame = 100; frame < 1100; ++frame) view.window.ShowFrame(frame);
    EXPECT_EQ(view.panelFills, 1);
    EXPECT_EQ(view.video.mask(), kWhole - QRegion(36, 38, 36, 19));
    // Off the air: cleared once, however often the frame moves.
    for (int32_t frame = 1200; frame < 1300; ++frame) view.window.ShowFrame(frame);
    EXPECT_EQ(view.panelClears, 1);
    EXPECT_EQ(view.video.mask(), kWhole);
    view.window.ShowFrame(1300);
    EXPECT_EQ(view.panelFills, 2);
    EXPECT_EQ(view.panelStart, 1300);
    EXPECT_EQ(view.video.mask(), kWhole - QRegion(36, 57, 36, 19));
    // Going back finds the earlier caption again.
    view.window.ShowFrame(150);
    EXPECT_EQ(view.panelStart, 100);
}

TEST(CaptionWindowShow, FollowsTheTransport) {
    FakeMainView view;
    view.AddCaption(10, 50, 0, 0, "A");
    view.frame = 20;
    view.window.SetTransportState(1);
    EXPECT_EQ(view.panelStart, 10);
    view.window.SetTransportState(3);  // scanning clears
    EXPECT_EQ(view.video.mask(), kWhole);
    view.frame = 60;
    view.window.SetTransportState(0);
    EXPECT_FALSE(view.panelStart.has_value());
    view.frame = 49;
    view.window.ResetAndShowFrame(-1);
    EXPECT_EQ(view.panelStart, 10);
}

struct ClickCase {
    QPoint at;
    int row;
    int column;
};

TEST(CaptionWindowMouse, ClicksPickTheNearestCaretPosition) {
    const ClickCase cases[] = {
        {{53, 40}, 0, 0}, {{54, 40}, 0, 1},     {{60, 56}, 0, 1},     {{60, 57}, 1, 1},
        {{1, 1}, 0, 0},   {{479, 359}, 14, 32}, {{437, 300}, 13, 32}, {{425, 300}, 13, 31},
    };
    for (const ClickCase& c : cases) {
        FakeMainView view;
        view.frame = 7;
        QTest::mouseClick(&view.window, Qt::LeftButton, Qt::NoModifier, c.at);
        ASSERT_TRUE(view.window.IsEditing());
        EXPECT_EQ(view.window.Editing().caretRow, c.row) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(view.window.Editing().caretColumn, c.column) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(view.window.cursor().shape(), Qt::IBeamCursor);
        EXPECT_FALSE(view.project.modified);  // a click is not a change
    }
}

TEST(CaptionWindowMouse, AClickWhilePlayingOrScanningChangesNothing) {
    for (int state : {2, 3}) {
        FakeMainView view;
        view.AddCaption(0, 100, 0, 0, "A");
        view.playState = state;
        view.ClickCell(0, 0);
        EXPECT_FALSE(view.window.IsEditing());
        EXPECT_EQ(view.window.cursor().shape(), Qt::ArrowCursor);
        EXPECT_FALSE(view.project.modified);
    }
}

TEST(CaptionWindowEdit, EditingAnExistingCaptionReplacesItAndAppliesItsTiming) {
    FakeMainView view;
    view.ShowActive();
    Caption* source = view.AddCaption(100, 101, 0, 0, "A");
    source->timingMode = Normal;
    view.frame = 100;
    view.ClickCell(0, 1);
    QTest::keyClicks(&view.window, "BC");
    EXPECT_EQ(source->cells[0][1].character, 0);  // the list keeps the old text meanwhile
    EXPECT_TRUE(view.project.modified);
    view.Commit();
    EXPECT_FALSE(view.window.IsEditing());
    ASSERT_EQ(view.project.captions.Count(), 1);
    EXPECT_EQ(view.project.captions.Head(), source);
    EXPECT_EQ(source->cells[0][1].character, 'B');
    EXPECT_EQ(source->cells[0][2].character, 'C');
    EXPECT_GT(source->endFrame, 101);  // Normal timing for one line, not the frame it had
    EXPECT_EQ(view.timelineForgets, 1);
}

TEST(CaptionWindowEdit, ANewCaptionEntersTheListAtTheClickFrameUnlessItIsLeftEmpty) {
    FakeMainView view;
    view.ShowActive();
    view.AddCaption(10, 20, 0, 0, "A");
    view.frame = 300;
    view.ClickCell(3, 4);
    QTest::keyClicks(&view.window, "Hi");
    ASSERT_EQ(view.project.captions.Count(), 1);
    view.Commit();
    ASSERT_EQ(view.project.captions.Count(), 2);
    const Caption* added = view.project.captions.Head()->next;
    EXPECT_EQ(added->startFrame, 300);
    EXPECT_GT(added->endFrame, 301);
    EXPECT_EQ(added->cells[3][4].character, 'H');

    view.frame = 900;
    view.ClickCell(3, 4);
    QTest::keyClicks(&view.window, "x");
    QTest::keyClick(&view.window, Qt::Key_Backspace);
    view.Commit();
    EXPECT_FALSE(view.window.IsEditing());
    EXPECT_EQ(view.project.captions.Count(), 2);
}

TEST(CaptionWindowEdit, TheCaretIsABarOrTheSlantedBitmapAndTheVideoLeavesItOpen) {
    FakeMainView view;
    view.ClickCell(2, 5);
    // The boxes either side of the caret are open in the picture.
    EXPECT_EQ(view.video.mask(), kWhole - QRegion(96, 76, 24, 19));
    auto lit = [&](int x, int y) {
        return view.window.grab().toImage().pixel(x, y) == qRgb(255, 255, 255);
    };
    // Caret at x 12c + 47, y 19r + 40, 14 rows high.
    const int x = 12 * 5 + 47, y = 19 * 2 + 40;
    EXPECT_TRUE(lit(x, y) && lit(x + 1, y + 13) && !lit(x + 2, y) && !lit(x, y + 14));
    QTest::keyClick(&view.window, Qt::Key_I, Qt::ControlModifier);
    // Slanted: top rows two pixels further right than the bottom rows, one pixel further left.
    const int s = x - 1;
    EXPECT_TRUE(lit(s + 2, y) && lit(s + 3, y) && !lit(s, y) && lit(s, y + 13) &&
                !lit(s + 3, y + 13));
    QTest::keyClicks(&view.window, "a");  // after the italics code that opens the run
    EXPECT_EQ(view.window.Editing().editCopy->cells[2][6].attribute & 0x40, 0x40);
}

}  // namespace
}  // namespace vantrel
