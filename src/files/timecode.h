// Frame numbers as time: the hh:mm:ss:ff timecodes of caption files and the timing report are
// frame labels at 30 per second; the hh:mm:ss,mmm times of subtitles are clock times.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "codec/encoder.h"

namespace vantrel {

// The caption frame rate, 30000/1001 frames per second: the frames of every caption list, of
// 29.97 video, and of line 21, whatever rate a file's labels count in.
constexpr int kFrameRateNumerator = 30000;
constexpr int kFrameRateDenominator = 1001;
constexpr double kFramesPerSecond = double(kFrameRateNumerator) / kFrameRateDenominator;
constexpr double kFrameSeconds = double(kFrameRateDenominator) / kFrameRateNumerator;

// The last frame a reader places data on. Timecodes go up to 99:99:99:99, but a file is not
// allowed to make us build a pair stream longer than anything the encoder would write.
constexpr int64_t kMaxReadFrame = kMaxEncodedFrame;

// A picture rate captions are delivered at. Caption data goes on at 29.97 pairs a second
// whatever the rate: a picture carries the pairs whose time is nearest its own (at 23.976, 1, 1,
// 2 and 1 in turn), and a timecode names a picture by the labels the rate counts.
struct PictureRate {
    std::string_view name;           // as --rate takes it
    int64_t numerator, denominator;  // pictures per second
    int labelsPerSecond;             // the frame field counts 0 to this less 1
    bool dropFrame;                  // it has drop-frame labels (29.97 only)
};
inline constexpr PictureRate kPictureRates[] = {
    {"23.976", 24000, 1001, 24, false},
    {"24", 24, 1, 24, false},
    {"25", 25, 1, 25, false},
    {"29.97", kFrameRateNumerator, kFrameRateDenominator, 30, true},
    {"30", 30, 1, 30, false},
};
// The rate of line 21 and of the caption list's frames.
inline constexpr const PictureRate& kCaptionRate = kPictureRates[3];

// The rate of a name of kPictureRates, or null.
const PictureRate* PictureRateNamed(std::string_view name);
// "23.976, 24, 25, 29.97 or 30".
std::string PictureRateNames();

// The picture of `rate` that carries caption frame `frame`: the one nearest its time, within
// half a picture.
int64_t PictureOfFrame(int64_t frame, const PictureRate& rate);
// The first caption frame a picture carries (at 30 pictures a second, one in a thousand
// carries none and gives the next picture's); PictureOfFrame's inverse for a frame that is the
// first of its picture.
int64_t FrameOfPicture(int64_t picture, const PictureRate& rate);
// True when a timecode of the rate can name the frame: it is the first of its picture.
bool StartsPicture(int64_t frame, const PictureRate& rate);

// A timecode line of a caption file, as ParseTimecodeLine reads it.
struct TimecodeLine {
    int64_t frame = 0;
    bool highFrameNumber = false;  // the frame field is 30 or more
    std::string_view data;         // the rest of the line, after the character that follows
                                   // the timecode
};

// A caption-file timecode line: hh:mm:ss:ff non-drop-frame, or hh:mm:ss;ff drop-frame, each
// field two digits (hours may have three), minutes and seconds below 60; then the end of the
// line, or any character but a digit, ':' or ';' and the line's data. Nothing when the line
// doesn't begin so. A frame field of 30 or more is read as the arithmetic gives it (frames on
// into the next seconds) and flagged. Three-digit hours lie past the last frame we read,
// except for the last hours of drop-frame labels.
// At another rate than 29.97 the frame field counts that rate's labels, the line's frame is the
// first its picture carries, and ';' is read as ':'.
std::optional<TimecodeLine> ParseTimecodeLine(std::string_view line,
                                              const PictureRate& rate = kCaptionRate);

// A number of frames typed by a person: a whole number of frames, or a timecode as
// ParseTimecodeLine reads it (hh:mm:ss:ff or hh:mm:ss;ff), with an optional sign before it and
// blanks around it. Nothing for anything else.
std::optional<int64_t> ParseTypedFrames(std::string_view text);

// hh:mm:ss:ff, two digits at least, hours not wrapped. Frames before 0 are written as frame 0.
std::string FormatTimecode(int64_t frame);

// hh:mm:ss,mmm as SubRip writes it: the frame's real time at 30000/1001 frames per second,
// rounded to the nearest millisecond. Frames before 0 count as 0.
std::string FormatSubtitleTime(int64_t frame);

// The frame nearest to a clock time in milliseconds at 30000/1001 frames per second: the
// inverse of FormatSubtitleTime, so a time written for a frame reads back as that frame.
// Times before 0 give frame 0.
int64_t SubtitleTimeToFrame(int64_t milliseconds);

enum class TimecodeStyle {
    NonDropFrame,  // hh:mm:ss:ff, every frame number 30 to the second
    DropFrame,     // hh:mm:ss;ff, the labels of 29.97 video
};

// Drop-frame labels count 30 to the second, but two labels are skipped at the start of each
// minute except every tenth, so ten minutes hold 17982 frames. The label count of a frame (the
// frame that hh:mm:ss:ff of the same digits would be), and the frame of a label count; a
// skipped label (;00 or ;01 of such a minute) gives the frame just before the minute's first.
int64_t DropFrameLabel(int64_t frame);
int64_t FrameOfDropFrameLabel(int64_t label);

// A frame as a timecode of the given style. Drop-frame only relabels frames: frame 1800 is
// 00:01:00;02, as ParseTimecodeLine reads it. Frames before 0 are written as frame 0.
std::string FormatTimecode(int64_t frame, TimecodeStyle style);
// The timecode of a picture of `rate`, and that of the picture that carries a frame;
// drop-frame only at 29.97.
std::string FormatPictureTimecode(int64_t picture, TimecodeStyle style, const PictureRate& rate);
std::string FormatTimecode(int64_t frame, TimecodeStyle style, const PictureRate& rate);

}  // namespace vantrel
