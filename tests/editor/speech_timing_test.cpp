// Captions timed to the places of their words: frames worked out by hand at 30000/1001 frames a
// second (a 10 ms frame is 0.2997 video frames), with a gap of two frames and a least duration
// of 30, from captions on 0-58, 60-118 and 120-179 (each cut the gap before the next); one step
// that undo takes back whole; and the words of a caption that are spoken.
#include "editor/speech_timing.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

constexpr CaptionPlace kNone{};

TEST(SpeechTiming, CaptionsTakeTheFramesOfTheirWords) {
    const struct {
        const char* name;
        std::vector<CaptionPlace> places;
        std::vector<int32_t> frames;  // start, end of each caption
        std::vector<bool> unplaced;
    } kCases[] = {
        {"onset's frame to the frame after the end",
         {{true, 100, 250}, {true, 400, 700}, {true, 900, 1000}},
         {29, 75, 119, 210, 269, 300},
         {false, false, false}},
        {"held to the least duration, at most 12 frames past the speech",
         {{true, 100, 130}, {true, 400, 410}, {true, 900, 1000}},
         {29, 51, 119, 135, 269, 300},
         {false, false, false}},
        {"cut the gap before the next",
         {{true, 100, 400}, {true, 405, 700}, {true, 900, 1000}},
         {29, 119, 121, 210, 269, 300},
         {false, false, false}},
        {"unplaced between two placed: the room between",
         {{true, 100, 250}, kNone, {true, 900, 1000}},
         {29, 75, 77, 267, 269, 300},
         {false, true, false}},
        {"unplaced first, its own frames fit: kept",
         {kNone, {true, 400, 700}, {true, 900, 1000}},
         {0, 58, 119, 210, 269, 300},
         {true, false, false}},
        {"unplaced, its own frames fit between: kept",
         {{true, 10, 100}, kNone, {true, 900, 1000}},
         {2, 32, 60, 118, 269, 300},
         {false, true, false}},
        {"unplaced first, no room for its own: two seconds before the next",
         {kNone, {true, 100, 700}, {true, 900, 1000}},
         {0, 27, 29, 210, 269, 300},
         {true, false, false}},
        {"unplaced last: two seconds after the one before",
         {{true, 100, 250}, {true, 400, 700}, kNone},
         {29, 75, 119, 210, 212, 270},
         {false, false, true}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        CaptionProject project;
        project.captions.SetGap(2);
        for (int32_t start : {0, 60, 120}) {
            project.captions.Insert(std::make_unique<Caption>(
                Caption{.startFrame = start, .endFrame = start + 59, .timingMode = Manual}));
        }
        EditHistory history(project);
        const auto framesNow = [&] {
            std::vector<int32_t> frames;
            for (const Caption* k = project.captions.Head(); k; k = k->next)
                frames.insert(frames.end(), {k->startFrame, k->endFrame});
            return frames;
        };
        const std::vector<int32_t> before = framesNow();
        EXPECT_EQ(TimeToSpeechStep(history, c.places, 1001.0 / 30000, 30),
                  static_cast<size_t>(std::count(c.unplaced.begin(), c.unplaced.end(), true)));
        std::vector<bool> unplaced;
        for (const Caption* k = project.captions.Head(); k; k = k->next) {
            unplaced.push_back(k->unplaced);
            EXPECT_EQ(k->timingMode, Manual);
        }
        EXPECT_EQ(framesNow(), c.frames);
        EXPECT_EQ(unplaced, c.unplaced);
        EXPECT_EQ(history.UndoName(), kTimeToSpeechStep);
        history.Undo();
        EXPECT_FALSE(history.CanUndo());
        for (const Caption* k = project.captions.Head(); k; k = k->next) EXPECT_FALSE(k->unplaced);
        EXPECT_EQ(framesNow(), before);
    }
}

TEST(SpeechTiming, SpeaksTheWordsNotTheSoundsOrTheSpeakers) {
    const struct {
        const char* text;
        const char* spoken;
    } kCases[] = {
        {"Hello there.", "Hello there."},       {"[APPLAUSE]", ""},
        {"(laughs) Well, no.", "Well, no."},    {">> JOHN: We met in 1994.", "We met in 1994."},
        {"\u266A La la la \u266A", "La la la"}, {"Time: 10:30 today", "Time: 10:30 today"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(WordsToSpeak(c.text), c.spoken);
    }
}

}  // namespace
}  // namespace vantrel
