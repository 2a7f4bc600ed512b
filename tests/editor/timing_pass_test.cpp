// Timing captions with keys while playing: sequences of jumps and key presses at playhead frames
// give the captions' starts and ends, each press one step that undo takes back whole; a
// transcript's captions placed from the playhead or after the last caption.
#include "editor/timing_pass.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "codec/encoder.h"

namespace vantrel {
namespace {

struct Frames {
    int32_t start, end;
    friend bool operator==(const Frames&, const Frames&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Frames& f) {
        return out << "[" << f.start << "," << f.end << ")";
    }
};

std::vector<Frames> FramesOf(const CaptionList& list) {
    std::vector<Frames> out;
    for (const Caption* c = list.Head(); c; c = c->next)
        out.push_back({c->startFrame, c->endFrame});
    return out;
}

// Manual captions with a letter and five frames of loading.
void Fill(CaptionList& list, const std::vector<Frames>& frames) {
    for (const Frames& f : frames) {
        auto c = std::make_unique<Caption>();
        c->startFrame = f.start;
        c->endFrame = f.end;
        c->timingMode = Manual;
        c->cells[14][0] = {'A', kDefaultAttribute};
        c->loadFrames = 5;
        list.Insert(std::move(c));
    }
}

// 'b': the playhead jumps to the frame (playing on from there); 's', 'e', 'n': F9, F10, F11
// pressed with the playhead on the frame; upper case: the press must be refused.
struct Event {
    char what;
    int32_t frame;
};

constexpr int32_t kLast = static_cast<int32_t>(kMaxEncodedFrame);

TEST(TimingPass, KeysWhilePlayingGiveStartsAndEndsInOnePass) {
    const std::vector<Frames> transcript = {{100, 159}, {160, 219}, {220, 280}};
    const struct {
        const char* name;
        std::vector<Frames> captions;
        std::vector<Event> events;
        std::vector<Frames> expected;
    } cases[] = {
        {"start and end each; the untimed after move on in order",
         transcript,
         {{'b', 100}, {'s', 130}, {'e', 200}, {'s', 230}, {'e', 300}},
         {{130, 200}, {230, 300}, {301, 361}}},
        {"F11 chains: each end leaves the next one blank frame",
         transcript,
         {{'b', 100}, {'s', 110}, {'n', 170}, {'n', 240}, {'e', 300}},
         {{110, 169}, {170, 239}, {240, 300}}},
        {"late speech: the first untimed caption is timed although its slot has passed",
         transcript,
         {{'b', 90}, {'s', 250}, {'n', 330}},
         {{250, 329}, {330, 389}, {390, 450}}},
        {"an end without a start ends the caption on the air; a second start restarts",
         transcript,
         {{'b', 100}, {'e', 150}, {'s', 170}, {'s', 165}, {'e', 190}},
         {{100, 150}, {165, 190}, {230, 290}}},
        {"nothing to end before the caption starts, nothing to time after the last",
         transcript,
         {{'b', 50}, {'E', 80}, {'N', 100}, {'b', 400}, {'S', 410}},
         transcript},
        {"the next caption waits for its loading; the one before ends a frame before it",
         transcript,
         {{'b', 100}, {'s', 110}, {'n', 113}},
         {{110, 113}, {116, 175}, {230, 290}}},
        {"a jump forward times from the playhead; captions beyond the way stay",
         {{100, 159}, {160, 219}, {600, 660}, {2000, 2060}},
         {{'b', 100}, {'s', 110}, {'b', 500}, {'s', 520}, {'e', 700}},
         {{110, 169}, {170, 229}, {520, 700}, {2000, 2060}}},
        {"stepping back while a caption is timed restarts it there, however far",
         transcript,
         {{'b', 100}, {'s', 130}, {'b', 128}, {'s', 128}, {'b', 20}, {'s', 40}},
         {{40, 99}, {190, 249}, {250, 310}}},
        {"a start at the first frames waits for the loading",
         {{100, 159}},
         {{'b', 0}, {'s', 2}, {'e', 40}},
         {{5, 40}}},
        {"no caption is pushed past the last frame the encoder places",
         {{kLast - 100, kLast - 41}, {kLast - 40, kLast}},
         {{'b', kLast - 100}, {'S', kLast - 20}, {'s', kLast - 90}, {'n', kLast - 2}},
         {{kLast - 90, kLast - 3}, {kLast - 2, kLast + 38}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CaptionProject project;
        EditHistory history(project);
        Fill(project.captions, c.captions);
        TimingPass pass;
        std::vector<std::vector<Frames>> states = {FramesOf(project.captions)};
        for (const Event& e : c.events) {
            SCOPED_TRACE(std::string(1, e.what) + " " + std::to_string(e.frame));
            const char key = static_cast<char>(std::tolower(e.what));
            if (key == 'b') {
                pass.Begin(e.frame);
                continue;
            }
            const TimingKey k = key == 's'   ? TimingKey::Start
                                : key == 'e' ? TimingKey::End
                                             : TimingKey::EndAndStart;
            EXPECT_EQ(pass.Press(history, k, e.frame), key == e.what);
            // A step exactly when the press changed frames (a caption already where the key
            // puts it makes none).
            if (FramesOf(project.captions) != states.back()) {
                states.push_back(FramesOf(project.captions));
            }
            EXPECT_EQ(history.StepCount(), states.size() - 1);
        }
        EXPECT_EQ(FramesOf(project.captions), c.expected);
        // Each press is one step: undo goes back through every state the presses left.
        for (size_t k = states.size() - 1; k > 0; --k) {
            history.Undo();
            EXPECT_EQ(FramesOf(project.captions), states[k - 1]);
        }
    }
}

// After undo the pass times the caption undone again; the timed caption becomes Manual.
TEST(TimingPass, UndoneEndIsTimedAgainAndEndedCaptionsAreManual) {
    CaptionProject project;
    EditHistory history(project);
    Fill(project.captions, {{100, 159}, {160, 219}});
    project.captions.Head()->timingMode = Normal;
    TimingPass pass;
    pass.Begin(100);
    ASSERT_TRUE(pass.Press(history, TimingKey::End, 150));
    EXPECT_EQ(project.captions.Head()->timingMode, Manual);
    EXPECT_EQ(history.UndoName(), kEndAtPlayheadStep);
    const int32_t frame = history.Undo();
    EXPECT_EQ(project.captions.Head()->timingMode, Normal);
    pass.Begin(frame);
    EXPECT_EQ(pass.TimingCaption(history), project.captions.Head());
    ASSERT_TRUE(pass.Press(history, TimingKey::EndAndStart, 170));
    EXPECT_EQ(FramesOf(project.captions), (std::vector<Frames>{{100, 169}, {170, 229}}));
}

TEST(TimingPass, TranscriptCaptionsArePlacedTwoSecondsEachAsOneStep) {
    const struct {
        std::vector<Frames> existing;
        int32_t playhead;
        size_t count;
        int32_t first;  // -1: not placed
    } cases[] = {
        {{}, 100, 3, 100},
        {{{0, 50}}, 100, 2, 100},
        {{{0, 500}}, 100, 2, 501},
        {{{0, 50}, {300, 400}}, 100, 1, 401},
        {{}, kLast - 60, 2, kLast - 60},
        {{}, kLast - 59, 2, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.playhead);
        CaptionProject project;
        EditHistory history(project);
        Fill(project.captions, c.existing);
        std::vector<std::unique_ptr<Caption>> captions;
        for (size_t k = 0; k < c.count; ++k) captions.push_back(std::make_unique<Caption>());
        EXPECT_EQ(PlaceCaptionsStep(history, std::move(captions), c.playhead), c.first);
        std::vector<Frames> expected = c.existing;
        for (size_t k = 0; c.first >= 0 && k < c.count; ++k) {
            const int32_t start = c.first + 60 * static_cast<int32_t>(k);
            expected.push_back({start, start + (k + 1 < c.count ? 59 : 60)});
        }
        EXPECT_EQ(FramesOf(project.captions), expected);
        EXPECT_EQ(history.StepCount(), c.first >= 0 ? 1u : 0u);
        history.Undo();
        EXPECT_EQ(FramesOf(project.captions), c.existing);
    }
}

}  // namespace
}  // namespace vantrel
