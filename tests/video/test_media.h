// Test media made with ffmpeg: numbered videos in each container, a tone, a file that is not
// media; the helpers that wait for the player and read the number off a picture; and a main
// view with no sound device answering from scripted dialogs.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "app/main_view.h"
#include "scripted_dialogs.h"
#include "video/media_player.h"
#include "video/video_window.h"

namespace vantrel::test {

constexpr int kTestFrames = 120;

// The player options of every test: no sound device.
std::vector<MediaPlayer::Option> QuietPlayer();

bool HaveFfmpeg();
// A 120-frame 29.97 fps video whose frame k shows k as eight bars (bit 0 on the left, white
// for 1), in the container of `extension` ("m2v", "mpg", "ts", "mp4", "mkv", "avi"), with a
// tone except in .m2v; with `longerSound` the tone goes on four seconds after the last frame.
// Made once per test program; "" when ffmpeg fails.
std::string NumberedVideo(const std::string& extension, bool longerSound = false);
// `source` copied into `name`'s container without coding again: `before` are arguments for the
// input (such as a start), `after` for the output.
std::string Remuxed(const std::string& source, const std::string& name,
                    const QStringList& before = {}, const QStringList& after = {});
// The numbered video copied `times` times end to end in a program stream (its frame k shows
// k % 120): a long programme made in a moment.
std::string LoopedVideo(int times);
// A still 16:9 test pattern (colour bars) in BT.709 colours: 1920 x 1080 pixels, or with
// `anamorphic` 1440 x 1080 pixels of 4:3 shape.
std::string PatternVideo(bool anamorphic);
// Frame 0 of a video decoded by ffmpeg and scaled to `size`, ignoring its shape.
QImage FfmpegFrame(const std::string& path, QSize size);
// A small grey video of `frames` frames at 29.97 fps.
std::string GreyVideo(int frames);
// A 440 Hz tone, three seconds by default.
std::string ToneAudio(int seconds = 3);
// A text file that no demuxer takes for media.
std::string NotMediaFile();

// The frame number drawn in a picture stretched to any size, or -1 when a bar is unclear.
int ReadFrameNumber(const QImage& picture);
// What the video window shows in the picture's place, bars left out.
QImage ShownPicture(const VideoWindow& window);
// Where a point of the caption screen's 480 x 360 units is drawn in the caption window.
QPoint OnScreen(const CaptionWindow& window, QPoint screen);
// True when every pixel has this colour.
bool IsUniform(const QImage& picture, QRgb colour);

// Runs the event loop until `done` or the time-out; returns done().
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);
// Runs the event loop for a while.
void Pump(int ms);
// Waits until the last load or seek has shown its frame.
bool WaitIdle(const MediaPlayer& player);

// A main view with no sound device, answering from scripted dialogs, and what its video window
// shows; skipped without ffmpeg.
class ViewFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    }
    int Shown() { return ReadFrameNumber(ShownPicture(view_.Video())); }
    bool ShowsGrey() { return IsUniform(ShownPicture(view_.Video()), kNoVideoColor.rgb()); }

    ScriptedDialogs dialogs_;
    MainView view_{dialogs_, nullptr, QuietPlayer()};
};

// The same view with the numbered video of the test's container open.
class ContainerFixture : public ViewFixture, public ::testing::WithParamInterface<std::string> {
  protected:
    void SetUp() override {
        ViewFixture::SetUp();
        if (IsSkipped()) return;
        path_ = NumberedVideo(GetParam());
        ASSERT_FALSE(path_.empty()) << "ffmpeg could not make the ." << GetParam() << " video";
        view_.OpenVideo(path_);
        ASSERT_TRUE(view_.HasVideo());
        ASSERT_TRUE(WaitIdle(view_.Player()));
        ASSERT_TRUE(WaitFor([&] { return view_.Player().Indexed(); }));
    }

    std::string path_;
};

}  // namespace vantrel::test
