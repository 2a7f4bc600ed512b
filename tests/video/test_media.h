// Test media made with ffmpeg: numbered videos in each container, a tone, a file that is not
// media; and the helpers that wait for the player and read the number off a picture.
#pragma once

#include <QImage>
#include <functional>
#include <string>
#include <vector>

#include "video/media_player.h"

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
// A 16:9 video, 640 x 360, white all over.
std::string WhiteWideVideo();
// A small grey video of `frames` frames at 29.97 fps.
std::string GreyVideo(int frames);
// Three seconds of a 440 Hz tone.
std::string ToneAudio();
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

}  // namespace vantrel::test
