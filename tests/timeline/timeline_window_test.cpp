// The timeline as the operator meets it: its pixels, what the mouse grips at each zoom, how far
// a drag can go and where it snaps, how it zooms and scrolls after the marker, the ruler's
// labels, and the Delete key, on a fake main view.
#include "timeline/timeline_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <memory>
#include <vector>

#include "support/caption_list_check.h"
#include "timeline/timeline_ruler.h"

namespace vantrel {
namespace {
using enum PlayState;

// The main view as the timeline sees it: seeking moves the marker straight away.
struct FakeView : TimelineHost {
    int32_t CurrentFrame() const override { return frame; }
    PlayState CurrentPlayState() const override { return playState; }
    CaptionProject& Project() override { return project; }
    EditHistory& History() override { return history; }
    void SeekToFrame(int32_t f) override {
        seeks.push_back(f);
        frame = f;
        timeline->SetCurrentFrame(f);
    }
    void ForgetShownCaption() override { ++forgotten; }
    void ResetAndShowFrame(int32_t f) override { shown.push_back(f); }

    CaptionProject project;
    EditHistory history{project};
    int32_t frame = 0;
    PlayState playState = PlayState::Paused;
    TimelineWindow* timeline = nullptr;
    std::vector<int32_t> seeks, shown;
    int forgotten = 0;
};

constexpr int kWidth = 640;

class Timeline : public ::testing::Test {
  protected:
    void SetUp() override {
        view_.timeline = &timeline_;
        timeline_.resize(kWidth + 4, 100);
        timeline_.show();
        timeline_.SetTotalFrames(200000000);
        vh_ = timeline_.ViewHeight();
        const TimelineWindow::Lanes lanes = timeline_.BlockLanes();
        top_ = lanes.top;
        mid_ = lanes.mid;
        bottom_ = lanes.bottom;
        above_ = TimelineWindow::kRulerHeight + 1;
    }

    Caption* Add(int32_t start, int32_t end, int8_t mode = Manual, int32_t load = 8) {
        auto c = std::make_unique<Caption>();
        c->startFrame = start;
        c->endFrame = end;
        c->timingMode = mode;
        c->loadFrames = load;
        return view_.project.captions.Insert(std::move(c));
    }

    // The mouse at (x, y) of the drawing area, inside the 2-pixel sunken edge.
    void Press(int x, int y) { QTest::mousePress(&timeline_, Qt::LeftButton, {}, {x + 2, y + 2}); }
    void Move(int x, int y) { QTest::mouseMove(&timeline_, {x + 2, y + 2}); }
    void Release(int x, int y) {
        QTest::mouseRelease(&timeline_, Qt::LeftButton, {}, {x + 2, y + 2});
    }

    QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x + 2, y + 2) & 0xFFFFFF; }

    FakeView view_;
    TimelineWindow timeline_{view_};
    int vh_ = 0, top_ = 0, mid_ = 0, bottom_ = 0, above_ = 0;  // above_: over the blocks
};

constexpr QRgb kWhite = 0xFFFFFF, kGrid = 0xE0E0E0, kBlack = 0, kLoading = 0xD0D0D0,
               kMarkedLoading = 0xA0A0E0, kDisplay = 0x808080, kMarkedDisplay = 0x202080,
               kRed = 0xFF0000;

TEST_F(Timeline, DrawsBlocksGridAndMarkerToThePixel) {
    Add(100, 160);
    Add(200, 260);
    view_.SeekToFrame(230);  // under the marker: the second caption
    ASSERT_GT(vh_ - TimelineWindow::kRulerHeight, 30);
    struct Probe {
        int x, y;
        QRgb colour;
    };
    // clang-format off
    const Probe probes[] = {
        // Loading block x 92-101 in the upper half, right edge on the start frame.
        {91, mid_ - 1, kWhite}, {92, mid_ - 1, kBlack}, {96, top_ - 1, kWhite}, {96, top_, kBlack},
        {96, top_ + 1, kLoading}, {100, top_ + 1, kBlack}, {101, top_ + 1, kWhite},
        {96, mid_, kBlack}, {96, mid_ + 1, kWhite},
        // Display block x 100-160 in the lower half.
        {100, mid_ + 1, kBlack}, {130, mid_ + 1, kDisplay}, {159, mid_ + 1, kBlack},
        {160, mid_ + 1, kWhite}, {130, bottom_, kBlack}, {130, bottom_ + 1, kWhite},
        // The caption under the marker, and the marker itself.
        {196, top_ + 1, kMarkedLoading}, {220, mid_ + 1, kMarkedDisplay}, {230, 1, kRed},
        {230, bottom_ + 2, kRed}, {229, above_, kWhite},
        // Grid at every 30th frame.
        {29, above_, kWhite}, {30, above_, kGrid}, {31, above_, kWhite}, {60, above_, kGrid},
        {90, above_, kGrid}, {0, above_, kWhite}};
    // clang-format on
    QImage image = timeline_.grab().toImage();
    for (const auto& p : probes) EXPECT_EQ(Pixel(image, p.x, p.y), p.colour) << p.x << "," << p.y;

    // From frame 45 with the marker there: grid at 15, 45, 75 and no marker at x 0.
    timeline_.ScrollBar().setValue(45);
    view_.SeekToFrame(45);
    image = timeline_.grab().toImage();
    for (const Probe& p :
         {Probe{0, above_, kWhite}, Probe{14, above_, kWhite}, Probe{15, above_, kGrid},
          Probe{45, above_, kGrid}, Probe{75, above_, kGrid}, Probe{47, mid_ - 1, kBlack},
          Probe{60, mid_ + 1, kDisplay}})
        EXPECT_EQ(Pixel(image, p.x, p.y), p.colour) << p.x << "," << p.y;
}

// The end grips four pixels either side of its edge, short of the next caption's block; the
// cursor shows what a press would take.
TEST_F(Timeline, HitTestsAtTheEdgesOfEveryPart) {
    Caption* a = Add(100, 160);
    Caption* b = Add(200, 260);
    Caption* c3 = Add(300, 330);
    Caption* d = Add(330, 360);
    const int low = mid_ + 5;
    // clang-format off
    const struct { int x, y, part; Caption* caption; } cases[] = {
        {91, mid_ - 1, 0, nullptr}, {92, mid_ - 1, 1, a}, {100, mid_ - 1, 1, a},
        {101, mid_ - 1, 0, nullptr}, {100, mid_, 1, a}, {101, mid_, 2, a}, {155, low, 2, a},
        {156, low, 3, a}, {158, low, 3, a}, {163, low, 3, a}, {164, low, 0, nullptr},
        {130, top_ - 1, 0, nullptr}, {96, top_, 1, a}, {130, bottom_, 2, a},
        {130, bottom_ + 1, 0, nullptr}, {192, top_, 1, b}, {191, top_, 0, nullptr},
        {263, low, 3, b}, {264, low, 0, nullptr}, {324, low, 2, c3}, {325, low, 3, c3}, {329, low, 3, c3},
        {330, low, 2, d}, {363, low, 3, d}};
    // clang-format on
    const Qt::CursorShape cursors[] = {Qt::ArrowCursor, Qt::SizeAllCursor, Qt::SizeAllCursor,
                                       Qt::SizeHorCursor};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "x " << c.x << " y " << c.y);
        const TimelineWindow::Hit hit = timeline_.HitTest(c.x, c.y);
        EXPECT_EQ(hit.part, c.part);
        EXPECT_EQ(hit.caption, c.caption);
        Move(c.x, c.y);
        EXPECT_EQ(timeline_.cursor().shape(), cursors[c.part]);
    }
}

// A block wide enough shows its caption's first words, in white from its left edge; a narrow one
// or one with no text shows none.
TEST_F(Timeline, DisplayBlocksShowTheirFirstWords) {
    const auto words = [this](int32_t start, int32_t end, const char* text) {
        Caption* c = Add(start, end);
        for (int k = 0; text[k]; ++k) c->cells[14][k] = {static_cast<uint8_t>(text[k]), 0};
    };
    words(100, 300, "HELLO THERE, A LONG CAPTION THAT WILL NOT FIT");
    words(400, 405, "HI");
    Add(500, 600);
    const QImage image = timeline_.grab().toImage();
    const auto whiteColumns = [&](int x1, int x2) {
        std::vector<int> found;
        for (int x = x1; x < x2; ++x) {
            for (int y = mid_ + 2; y < bottom_; ++y) {
                if (qGray(Pixel(image, x, y)) > 200) {  // the words, smoothed, on grey
                    found.push_back(x);
                    break;
                }
            }
        }
        return found;
    };
    const std::vector<int> wide = whiteColumns(101, 299);
    ASSERT_FALSE(wide.empty());
    EXPECT_LE(wide.front(), 106);
    EXPECT_LE(wide.back(), 297);
    EXPECT_GT(wide.back(), 250);  // elided to the block's width, not cut at a word
    EXPECT_TRUE(whiteColumns(401, 404).empty());
    EXPECT_TRUE(whiteColumns(501, 599).empty());
}

// A drag is held to its bounds however far the mouse goes; back where it began it puts the
// caption back, and releasing there counts as a click on the block; undo takes it back whole.
TEST_F(Timeline, DragsStopAtTheirBounds) {
    // The dragged caption is the second; `end`: its end edge, else its display block; the
    // lowest and highest frames are reached with the mouse a billion pixels away.
    // clang-format off
    struct Neighbour { int32_t start, end; int8_t mode; int32_t load; };
    struct Case { const char* what; std::vector<Neighbour> captions; bool end; int32_t low, high; };
    const Case cases[] = {
        {"previous starts at 200",
         {{200, 220, Normal, 8}, {300, 330, Manual, 8}}, false, 209, TimelineWindow::kLastStartFrame},
        {"previous is Manual",
         {{200, 250, Manual, 8}, {300, 330, Manual, 8}}, false, 251, TimelineWindow::kLastStartFrame},
        {"next needs room to load",
         {{0, 5, Manual, 2}, {100, 130, Persistent, 8}, {300, 330, Manual, 10}}, false, 9, 289},
        {"next leaves 3 frames",
         {{0, 5, Manual, 2}, {100, 130, Persistent, 8}, {300, 330, Manual, 1}}, false, 9, 297},
        {"Manual keeps its length",
         {{0, 5, Manual, 2}, {100, 150, Manual, 8}, {300, 330, Manual, 8}}, false, 9, 249},
        {"end before the next",
         {{0, 5, Manual, 2}, {100, 160, Manual, 8}, {200, 230, Manual, 8}}, true, 101, 199},
        {"end of the last", {{0, 5, Manual, 2}, {100, 160, Normal, 8}}, true, 101,
         TimelineWindow::kLastEndFrame}};
    // clang-format on
    timeline_.SetSnapping(false);  // the bounds alone
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        view_.history.Clear(true);
        view_.project.captions.Clear();
        timeline_.ForgetCurrentCaption();
        view_.seeks.clear();
        for (const Neighbour& n : c.captions) Add(n.start, n.end, n.mode, n.load);
        Caption* dragged = view_.project.captions.Head()->next;
        const auto frame = [&] { return c.end ? dragged->endFrame : dragged->startFrame; };
        const int32_t original = frame();
        const int x = c.end ? original : original + 2;
        // The list's listener (the caption list on screen) hears of each move as it happens.
        std::vector<CaptionRange> heard;
        view_.project.captions.SetObserver([&](CaptionRange range) { heard.push_back(range); });
        Press(x, mid_ + 5);
        std::vector<int32_t> seen;
        for (int to : {-1000000000, 1000000000, x}) {
            heard.clear();
            Move(to, mid_ + 5);
            seen.push_back(frame());
            ASSERT_EQ(heard.size(), 1u) << "move to " << to;
            EXPECT_LE(heard[0].firstFrame, dragged->startFrame);
            EXPECT_GE(heard[0].lastFrame, dragged->startFrame);
        }
        Release(x, mid_ + 5);
        view_.project.captions.SetObserver(nullptr);
        EXPECT_EQ(seen, (std::vector<int32_t>{c.low, c.high, original}));
        EXPECT_EQ(view_.seeks, std::vector<int32_t>{dragged->startFrame});
        EXPECT_EQ(dragged->timingMode, c.end ? int8_t{Manual} : c.captions[1].mode);
        // A drag is one step, which puts back the timing mode a drag of the end changed.
        EXPECT_LE(view_.history.StepCount(), 1u);
        view_.history.Undo();
        EXPECT_EQ(dragged->timingMode, c.captions[1].mode);
        EXPECT_EQ(frame(), original);
        EXPECT_FALSE(view_.project.modified);
    }
}

// Empty space seeks in any play state, and a drag over it follows the mouse; blocks take
// presses only when stopped or paused, and a dragged caption the marker is left outside takes
// the marker to its start, so that it stays the one shown.
TEST_F(Timeline, PressesSeekOrGripByPlayState) {
    // `start`: of the caption at 100-160 afterwards.
    const struct {
        PlayState state;
        int press, release;
        std::vector<int32_t> seeks;
        int32_t start;
    } cases[] = {{Paused, 50, 50, {50}, 100},     {Playing, 50, 70, {50, 70}, 100},
                 {Scanning, 50, 50, {50}, 100},   {Paused, 130, 130, {100}, 100},
                 {Stopped, 130, 140, {110}, 110}, {Playing, 130, 140, {}, 100},
                 {Scanning, 159, 170, {}, 100},   {Paused, 130, 125, {}, 95}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "state " << int(c.state) << " press " << c.press);
        view_.history.Clear(true);
        view_.project.captions.Clear();
        timeline_.ForgetCurrentCaption();
        Caption* caption = Add(100, 160);
        view_.seeks.clear();
        view_.playState = c.state;
        Press(c.press, mid_ + 5);
        if (c.release != c.press) Move(c.release, mid_ + 5);
        Release(c.release, mid_ + 5);
        EXPECT_EQ(view_.seeks, c.seeks);
        EXPECT_EQ(caption->startFrame, c.start);
        EXPECT_EQ(caption->endFrame, 160 + c.start - 100);
        EXPECT_EQ(view_.history.UndoName(), c.start != 100 ? kMoveCaptionStep : "");
        EXPECT_EQ(view_.shown.back(), view_.frame);
    }
}

// Moving the first caption drawn past the view's left edge stretches a Seamless caption before it
// into the view: drawing must then start from that one.
TEST_F(Timeline, AMovedCaptionRedrawsTheOneBeforeIt) {
    Add(100, 170, Seamless);
    Add(170, 260);
    timeline_.ScrollBar().setValue(180);
    EXPECT_EQ(Pixel(timeline_.grab().toImage(), 20, mid_ + 3), kDisplay);  // the moved one
    Press(40, mid_ + 5);
    Move(90, mid_ + 5);
    EXPECT_EQ(view_.project.captions.Head()->endFrame, 220);
    const QImage image = timeline_.grab().toImage();
    EXPECT_EQ(Pixel(image, 20, mid_ + 3), kDisplay);  // now the one before it
    EXPECT_EQ(Pixel(image, 40, mid_ - 1), kBlack);    // the moved one's loading block
}

// The marker never leaves the view: off the right edge it comes back 60 frames from the left,
// off the left edge 60 frames from the right. The scroll bar steps 65 frames, or a view's width.
TEST_F(Timeline, ScrollsAfterTheMarkerAndByTheBar) {
    for (int32_t i = 0; i < 400; ++i) Add(i * 30, i * 30 + 20);
    using A = QAbstractSlider::SliderAction;
    // clang-format off
    const struct { int32_t marker; int action; int32_t base; } steps[] = {  // marker -1: the bar's
        {639, 0, 0}, {700, 0, 640}, {1279, 0, 640}, {1280, 0, 1220}, {100, 0, 0},
        {-1, A::SliderSingleStepAdd, 65}, {-1, A::SliderPageStepAdd, 705},
        {-1, A::SliderSingleStepSub, 640}, {-1, A::SliderPageStepSub, 0},
        {-1, A::SliderSingleStepSub, 0}, {-1, A::SliderToMaximum, 200000000 - kWidth + 1},
        {-1, A::SliderToMinimum, 0}};
    // clang-format on
    for (const auto& s : steps) {
        if (s.marker >= 0) {
            timeline_.SetCurrentFrame(s.marker);
        } else {
            timeline_.ScrollBar().triggerAction(static_cast<A>(s.action));
        }
        EXPECT_EQ(timeline_.Base(), s.base) << "marker " << s.marker << " action " << s.action;
        // Drawing starts again from the view's own first caption.
        const QImage image = timeline_.grab().toImage();
        const int x = 30 - s.base % 30 + 10;  // inside a display block, whatever the base
        if (s.base < 12000) {
            EXPECT_NE(Pixel(image, x, mid_ + 3), kWhite) << "base " << s.base;
        }
    }

    // At four frames a pixel the bar steps 65 and 640 pixels; the wheel scrolls 65 a notch.
    timeline_.SetFramesPerPixel(4, 0);
    timeline_.ScrollBar().triggerAction(A::SliderSingleStepAdd);
    EXPECT_EQ(timeline_.Base(), 260);
    timeline_.ScrollBar().triggerAction(A::SliderPageStepAdd);
    EXPECT_EQ(timeline_.Base(), 2820);
    QWheelEvent wheel({10, 10}, timeline_.mapToGlobal(QPoint(10, 10)), {}, {0, -240}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&timeline_, &wheel);
    EXPECT_EQ(timeline_.Base(), 3340);
    // While playing, the view pages before the marker reaches the edge.
    view_.playState = Playing;
    timeline_.SetCurrentFrame(3340 + 4 * 615);
    EXPECT_EQ(timeline_.Base(), 3340 + 4 * 615 - 4 * 60);
    // Without a video the whole programme is the captions'.
    timeline_.SetTotalFrames(0);
    timeline_.ZoomToWholeProgramme();
    EXPECT_NEAR(timeline_.FrameAt(kWidth - 1), 399 * 30 + 20, 1);
}

// Zooming in and out, by keys, the wheel with Ctrl and the window's calls, keeps the frame under
// the mouse where it is, from the whole programme down to eight pixels a frame.
TEST_F(Timeline, ZoomKeepsTheFrameUnderTheMouse) {
    for (int x : {0, 1, 100, 333, kWidth - 1}) {
        SCOPED_TRACE(x);
        timeline_.ZoomToWholeProgramme();
        EXPECT_EQ(timeline_.Base(), 0);
        const int64_t frame = timeline_.FrameAt(x);
        const auto zoom = [&](int way, int step) {
            if (step % 3 == 0) {
                way > 0 ? timeline_.ZoomIn(x) : timeline_.ZoomOut(x);
            } else {
                const QPoint at(x + 2, 30);
                QWheelEvent wheel(at, timeline_.mapToGlobal(at), {}, {0, 120 * way}, Qt::NoButton,
                                  Qt::ControlModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(&timeline_, &wheel);
            }
        };
        int steps = 0;
        for (double before = 1e300; timeline_.FramesPerPixel() < before; ++steps) {
            before = timeline_.FramesPerPixel();
            zoom(1, steps);
            EXPECT_EQ(timeline_.FrameAt(x), frame) << "in, step " << steps;
        }
        EXPECT_EQ(timeline_.FramesPerPixel(), TimelineWindow::kClosestFramesPerPixel);
        EXPECT_GE(steps, 20);
        for (; timeline_.FramesPerPixel() < timeline_.WholeProgrammeFramesPerPixel(); ++steps) {
            zoom(-1, steps);
            EXPECT_EQ(timeline_.FrameAt(x), frame) << "out, step " << steps;
        }
        EXPECT_EQ(timeline_.Base(), 0);
    }
    // With no column given, the caption under the marker comes back into view from afar.
    Add(1000, 1100);
    timeline_.SetFramesPerPixel(4, 0);
    timeline_.SetCurrentFrame(1050);
    timeline_.ScrollTo(3000);
    timeline_.ZoomIn();
    EXPECT_EQ(timeline_.FramesPerPixel(), 2);
    EXPECT_EQ(timeline_.Base(), 1000 - 60 * 2);
}

// What a press grips, and where a press on empty space seeks, at 1/8, 1 and 8 pixels a frame.
TEST_F(Timeline, HitTestsFollowTheZoom) {
    Caption* a = Add(100, 160);  // loads from 92
    // clang-format off
    const struct { double fpp; int64_t base; int x, upper, part; int32_t seek; } cases[] = {
        {.125, 96, -1, 1, 1, 0}, {.125, 96, 32, 1, 1, 0}, {.125, 96, 34, 1, 0, 100},
        {.125, 96, 33, 0, 2, 0}, {.125, 96, 507, 0, 2, 0}, {.125, 96, 508, 0, 3, 0},
        {.125, 96, 515, 0, 3, 0}, {.125, 96, 516, 0, 0, 160}, {.125, 96, 31, 0, 0, 99},
        {1, 0, 92, 1, 1, 0}, {1, 0, 91, 1, 0, 91}, {1, 0, 155, 0, 2, 0}, {1, 0, 157, 0, 3, 0},
        {1, 0, 163, 0, 3, 0}, {1, 0, 164, 0, 0, 164}, {8, 0, 11, 1, 1, 0}, {8, 0, 10, 1, 0, 80},
        {8, 0, 13, 1, 0, 104}, {8, 0, 15, 0, 2, 0}, {8, 0, 16, 0, 3, 0}, {8, 0, 23, 0, 3, 0},
        {8, 0, 24, 0, 0, 192}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.fpp << " frames a pixel, x " << c.x);
        timeline_.SetFramesPerPixel(c.fpp, 0);
        timeline_.ScrollTo(c.base);
        const int y = c.upper ? mid_ - 1 : mid_ + 5;
        const TimelineWindow::Hit hit = timeline_.HitTest(c.x, y);
        EXPECT_EQ(hit.part, c.part);
        EXPECT_EQ(hit.caption, c.part ? a : nullptr);
        if (c.part != 0) continue;
        view_.seeks.clear();
        Press(c.x, y);
        Release(c.x, y);
        EXPECT_EQ(view_.seeks, std::vector<int32_t>{c.seek});
    }
}

// A drag lets go on a shot change, a speech onset (a move) or end (an end), or two frames after
// an erase, within six pixels; the View menu's toggles turn that off.
TEST_F(Timeline, DragsSnapUnlessTurnedOff) {
    Add(0, 100);  // Manual: the broadcast gap (one frame) a target at 101
    Caption* c = Add(200, 260);
    timeline_.SetShotChanges({150, 300});
    timeline_.SetSpeech({{175, 180}, {240, 280}});
    // clang-format off
    const struct { double fpp; bool snap, speech, end; int move; int32_t frame; } cases[] = {
        {1, true, false, false, -45, 150}, {1, true, false, false, -93, 101},
        {1, false, false, false, -93, 107}, {1, true, false, false, -80, 120},
        {4, true, false, false, -12, 150}, {4, true, false, false, -24, 101},
        {1, true, false, true, 35, 300}, {1, false, false, true, 35, 295},
        {2, true, false, true, 16, 300}, {1, false, true, false, -23, 175},
        {1, true, false, false, -23, 177}, {1, false, true, true, 22, 280},
        {1, false, true, true, 35, 295}, {1, true, true, true, 16, 280}};
    // clang-format on
    for (const auto& k : cases) {
        SCOPED_TRACE(::testing::Message() << k.fpp << " " << k.snap << k.speech << " " << k.move);
        timeline_.SetSnapping(k.snap);
        timeline_.SetSpeechSnapping(k.speech);
        timeline_.SetFramesPerPixel(k.fpp, 0);
        timeline_.ScrollTo(0);
        const int x = static_cast<int>(timeline_.XOf(k.end ? c->endFrame : c->startFrame + 1));
        Press(x, mid_ + 5);
        Move(x + k.move, mid_ + 5);
        EXPECT_EQ(k.end ? c->endFrame : c->startFrame, k.frame);
        Release(x + k.move, mid_ + 5);
        view_.history.Undo();
    }
}

// The audio's peaks are drawn behind the blocks as they arrive, with no call but a repaint; the
// cuts are lines, the speech a band along the bottom.
TEST_F(Timeline, DrawsPeaksAsTheyArriveAndCuts) {
    constexpr QRgb kPeaks = 0x46AA64, kCut = 0x008CDC;
    auto peaks = std::make_shared<AudioPeaks>();
    const std::vector<PeakPair> second(AudioPeaks::kPairsPerSecond, PeakPair{-100, 100});
    peaks->Append(second);
    timeline_.SetAudioPeaks(peaks, 1.0 / 30);  // a second is 30 pixels
    timeline_.SetShotChanges({45});
    timeline_.SetSpeech({{60, 90}});
    const auto row = [&](int y) {
        const QImage image = timeline_.grab().toImage();
        return std::vector<QRgb>{Pixel(image, 10, y), Pixel(image, 40, y), Pixel(image, 45, y),
                                 Pixel(image, 70, y)};
    };
    EXPECT_EQ(row(mid_ + 2), (std::vector<QRgb>{kPeaks, kWhite, kCut, kWhite}));
    peaks->Append(second);
    EXPECT_EQ(row(mid_ + 2), (std::vector<QRgb>{kPeaks, kPeaks, kCut, kWhite}));
    // The speech band, under the waveform.
    EXPECT_EQ(row(vh_ - 2), (std::vector<QRgb>{kWhite, kWhite, kCut, 0xE6781E}));
}

// Drop-frame labels: the ruler's round times name the frames the timecodes name.
TEST(TimelineRuler, DropFrameLabelsNameTheirFrames) {
    using enum TimecodeStyle;
    for (int64_t frame = 0; frame < 40000; frame += 7) {
        EXPECT_EQ(FrameOfLabel(LabelPosition(frame, DropFrame), DropFrame), frame);
        EXPECT_EQ(LabelPosition(frame, NonDropFrame), frame);
    }
    // Round seconds: ";00", or ";02" at the minutes drop-frame skips.
    const struct {
        int64_t position;
        std::string label;
    } cases[] = {{30, "00:00:01;00"},    {1800, "00:01:00;02"},  {1830, "00:01:01;00"},
                 {18000, "00:10:00;00"}, {19800, "00:11:00;02"}, {108000, "01:00:00;00"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatTimecode(FrameOfLabel(c.position, DropFrame), DropFrame), c.label);
    // Labels far enough apart for their text at every zoom.
    for (double fpp : {0.125, 1.0, 7.0, 400.0, 5e5}) {
        const RulerSpacing s = ChooseRulerSpacing(fpp, 70);
        EXPECT_GE(s.major / fpp, 70) << fpp;
        EXPECT_EQ(s.major % s.minor, 0) << fpp;
    }
}

// Delete asks nothing: it is a step, and undo brings the caption back.
TEST_F(Timeline, DeleteRemovesOnlyTheCaptionAtTheMarkerAsOneStep) {
    std::vector<Caption*> captions;
    for (int32_t i = 0; i < 250; ++i) captions.push_back(Add(i * 30, i * 30 + 20));
    const struct {
        int32_t frame;
        PlayState state;
        bool removed;
    } cases[] = {{25, Paused, false}, {30, Playing, false}, {30, Scanning, false},
                 {49, Stopped, true}, {3030, Paused, true}, {7470, Paused, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        view_.frame = c.frame;
        view_.playState = c.state;
        const int forgotten = view_.forgotten;
        const size_t steps = view_.history.StepCount();
        Caption* target = view_.project.captions.CaptionAt(c.frame);
        timeline_.grab();  // so that the timeline holds a cached caption
        QTest::keyClick(&timeline_, Qt::Key_Delete);
        EXPECT_EQ(view_.history.StepCount(), steps + (c.removed ? 1 : 0));
        EXPECT_EQ(view_.forgotten, forgotten + (c.removed ? 1 : 0));
        if (c.removed) {
            std::erase(captions, target);
            EXPECT_EQ(view_.shown.back(), c.frame);
        }
        ASSERT_NO_FATAL_FAILURE(testing::CheckList(view_.project.captions, captions));
        timeline_.grab();
    }
    timeline_.ReleaseCaptions();
    while (view_.history.CanUndo()) view_.history.Undo();
    EXPECT_EQ(view_.project.captions.Count(), 250);
}

}  // namespace
}  // namespace vantrel
