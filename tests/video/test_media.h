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
// A 16:9 video, 640 x 360, white all over.
std::string WhiteWideVideo();
// A small grey video of `frames` frames at 29.97 fps.
std::string GreyVideo(int frames);
// A 440 Hz tone, three seconds by default.
std::string ToneAudio(int seconds = 3);
// A text file that no demuxer takes for media.
std::string NotMediaFile();

// The frame number drawn in a picture stretched to any size, or -1 when a bar is unclear.
int ReadFrameNumber(const QImage& picture);
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
    int Shown() { return ReadFrameNumber(view_.Video().grab().toImage()); }
    bool ShowsGrey() { return IsUniform(view_.Video().grab().toImage(), kNoVideoColor.rgb()); }

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
