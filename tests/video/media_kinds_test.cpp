// Sound without picture, files that are not media, choosing and closing videos.
#include <gtest/gtest.h>

#include <algorithm>

#include "test_media.h"
#include "video/media_units.h"

namespace vantrel {
namespace {

using MediaKinds = test::ViewFixture;

constexpr QPoint kAround[] = {{-4, -4}, {4, 4}, {-4, 4}, {4, -4}};

// A 16:9 pattern, of square pixels or of 4:3 ones, shows at 16:9 in the middle of the window,
// touching its sides or its top and bottom, black bars elsewhere; it is rendered at the size
// shown, and where the pattern is flat it has the colours of ffmpeg's frame scaled to that size.
TEST_F(MediaKinds, AWidePictureShowsAtItsShapeBetweenBarsAsFfmpegScalesIt) {
    // A window taller than the picture's shape, then a wider one.
    for (auto [anamorphic, size] : {std::pair{false, QSize(900, 800)}, {true, QSize(1600, 560)}}) {
        SCOPED_TRACE(anamorphic);
        const std::string path = test::PatternVideo(anamorphic);
        ASSERT_FALSE(path.empty());
        view_.resize(size);
        view_.show();
        view_.OpenVideo(path);
        ASSERT_TRUE(test::WaitIdle(view_.Player()));
        test::Pump(300);  // the resizing settles, and the picture is rendered at its size
        const QImage shown = view_.Video().grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect picture = view_.Video().PictureRect();
        EXPECT_LE(std::abs(picture.width() * 9 - picture.height() * 16), 16);
        EXPECT_TRUE(picture.width() == shown.width() || picture.height() == shown.height());
        EXPECT_LE((picture.center() - shown.rect().center()).manhattanLength(), 2);
        EXPECT_EQ(view_.Player().Picture().size(), picture.size());
        const QImage reference = test::FfmpegFrame(path, picture.size());
        int bars = 0, probes = 0;
        for (int y = 3; y < shown.height(); y += 9) {
            for (int x = 3; x < shown.width(); x += 9) {
                const QRgb got = shown.pixel(x, y);
                if (!picture.adjusted(-1, -1, 1, 1).contains(x, y)) {
                    EXPECT_EQ(got, qRgb(0, 0, 0)) << x << "," << y;
                    ++bars;
                }
                // Inside, only where the pattern is flat: its edges are scaled by other filters.
                const QPoint p = QPoint(x, y) - picture.topLeft();
                const QRgb want = reference.rect().contains(p) ? reference.pixel(p) : 0;
                if (!std::ranges::all_of(kAround, [&](QPoint d) {
                        return reference.rect().contains(p + d) && reference.pixel(p + d) == want;
                    })) {
                    continue;
                }
                ++probes;
                EXPECT_LE(std::abs(qRed(want) - qRed(got)) + std::abs(qGreen(want) - qGreen(got)) +
                              std::abs(qBlue(want) - qBlue(got)),
                          30)
                    << x << "," << y << std::hex << " want " << want << " got " << got;
            }
        }
        EXPECT_GT(bars, 100) << "a window of another shape has bars";
        EXPECT_GT(probes, 60);
    }
}

// Sound counts frames as video does: in 100 ns units its 430 s would overflow the slider's step
// after 214.7 s and wrap to 0 (a division by zero) at 429.5 s.
TEST_F(MediaKinds, SoundPlaysAndSeeksInVideoFramesButIsNotRememberedAndShowsNoPicture) {
    std::string tone = test::ToneAudio(430);
    ASSERT_FALSE(tone.empty());
    view_.Project().secondPath = "second";
    view_.OpenVideo(tone);
    ASSERT_TRUE(view_.HasVideo());
    EXPECT_FALSE(view_.Player().HasPicture());
    EXPECT_TRUE(view_.Project().videoPath.empty());
    EXPECT_EQ(view_.ToMedia(1), kVideoFrameDuration);
    EXPECT_EQ(view_.FrameLabel().text(), "Frame 0/12887");
    EXPECT_EQ(view_.Slider().maximum(), 12887 / 2);
    view_.RefreshViews(true);
    EXPECT_TRUE(ShowsGrey());

    for (int32_t frame : {12000, 6443, 12886}) {
        view_.SeekToFrame(frame);
        ASSERT_TRUE(test::WaitIdle(view_.Player()));
        EXPECT_EQ(view_.CurrentFrame(), frame);
        EXPECT_EQ(view_.Slider().value(), frame / 2);
        view_.StepOne(-1);
        EXPECT_EQ(view_.CurrentFrame(), frame - 1);
    }
    view_.SeekToFrame(12000);
    ASSERT_TRUE(test::WaitIdle(view_.Player()));
    view_.Play();
    // The sound plays on: the frame moves past the seek (given time, under a loaded machine).
    EXPECT_TRUE(test::WaitFor([&] { return view_.CurrentFrame() > 12005; }))
        << "still at frame " << view_.CurrentFrame();
    view_.TogglePause();
    EXPECT_EQ(view_.CurrentPlayState(), PlayState::Paused);
    EXPECT_TRUE(ShowsGrey());
}

// A file that is not media, and a view whose player cannot start (an option libmpv rejects
// leaves the player without libmpv, as a failed start would), leave nothing open and the
// transport nothing to act on.
TEST_F(MediaKinds, AFileThatIsNotMediaOrAPlayerThatCannotStartLeavesNothingOpen) {
    MainView broken(dialogs_, nullptr, {{"ao", "null"}, {"hr-seek-demuxer-offset", "late"}});
    ASSERT_FALSE(broken.Player().IsAvailable());
    for (auto [view, path] : {std::pair{&view_, test::NotMediaFile()},
                              std::pair{&broken, test::NumberedVideo("mp4")}}) {
        SCOPED_TRACE(path);
        view->Project().videoPath = "old.m2v";
        view->Project().secondPath = "old.bin";
        view->OpenVideo(path);
        EXPECT_FALSE(view->HasVideo());
        EXPECT_TRUE(view->Project().videoPath.empty());
        EXPECT_TRUE(view->Project().secondPath.empty());
        view->Play();
        view->StepFrames(5);
        view->SeekToFrame(10);
        EXPECT_EQ(view->CurrentPlayState(), PlayState::Stopped);
        EXPECT_EQ(view->CurrentFrame(), 0);
        EXPECT_FALSE(view->Project().modified);
        view->CloseVideo();
        EXPECT_TRUE(test::IsUniform(test::ShownPicture(view->Video()), kNoVideoColor.rgb()));
    }
    view_.OpenVideo("/nonexistent/video.mpg");
    EXPECT_FALSE(view_.HasVideo());
    EXPECT_TRUE(dialogs_.informed.empty());
}

TEST_F(MediaKinds, ChoosingASecondVideoClosesTheFirstAndAClosedVideoLeavesGrey) {
    EXPECT_TRUE(ShowsGrey());
    std::string first = test::NumberedVideo("ts");
    std::string second = test::NumberedVideo("avi");
    dialogs_.filesToOpen = {first, second, std::nullopt};

    view_.ChooseVideoStream();
    EXPECT_EQ(view_.Project().videoPath, first);
    view_.SeekToFrame(50);
    view_.Play();
    test::Pump(100);
    ASSERT_EQ(view_.CurrentPlayState(), PlayState::Playing);

    view_.ChooseVideoStream();
    EXPECT_EQ(view_.Project().videoPath, second);
    EXPECT_EQ(view_.CurrentPlayState(), PlayState::Stopped);
    EXPECT_FALSE(view_.Ticks().Running());
    ASSERT_TRUE(test::WaitIdle(view_.Player()));
    EXPECT_EQ(view_.CurrentFrame(), 0);
    EXPECT_EQ(view_.Player().Position(), 0);
    EXPECT_EQ(view_.DurationFrames(), test::kTestFrames);
    EXPECT_EQ(Shown(), 0);

    // Cancelling the dialog leaves the open video alone.
    view_.SeekToFrame(33);
    view_.ChooseVideoStream();
    EXPECT_EQ(view_.Project().videoPath, second);
    ASSERT_TRUE(test::WaitIdle(view_.Player()));
    EXPECT_EQ(view_.CurrentFrame(), 33);
    EXPECT_EQ(Shown(), 33);

    view_.CloseVideo();
    EXPECT_FALSE(view_.HasVideo());
    EXPECT_TRUE(view_.Project().videoPath.empty());
    EXPECT_EQ(view_.CurrentFrame(), 0);
    EXPECT_TRUE(ShowsGrey());
}

TEST_F(MediaKinds, ANewProjectClosesTheVideoClearsTheCaptionsAndChoosesAgain) {
    view_.OpenVideo(test::NumberedVideo("mpg"));
    view_.Project().captions.Insert(std::make_unique<Caption>());
    view_.Project().modified = true;
    dialogs_.filesToOpen = {std::nullopt};
    view_.StartNewProject();
    EXPECT_EQ(dialogs_.openRequests.size(), 1u);
    EXPECT_FALSE(view_.HasVideo());
    EXPECT_TRUE(view_.Project().captions.Empty());
    EXPECT_FALSE(view_.Project().modified);
}

}  // namespace
}  // namespace vantrel
