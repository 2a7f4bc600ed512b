// Timing captions with keys while playing: jumps, key presses, transcripts placed and undo at
// playhead frames give the captions' frames, each at most one step that undo takes back whole.
#include "editor/timing_pass.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string_view>

#include "check/caption_checks.h"
#include "codec/encoder.h"
#include "support/screen_text.h"

namespace vantrel {
namespace {

using Frames = std::vector<int32_t>;  // start, end, start, end...

Frames FramesOf(const CaptionList& list, int32_t base = 0) {
    Frames out;
    for (const Caption* c = list.Head(); c; c = c->next) {
        out.insert(out.end(), {c->startFrame - base, c->endFrame - base});
    }
    return out;
}

// Manual captions with five frames of loading.
void Fill(CaptionList& list, const Frames& f, int32_t base) {
    for (size_t k = 0; k + 1 < f.size(); k += 2) {
        testing::AddCaption(list, base + f[k], base + f[k + 1], "", 14, 0, Manual, 5);
    }
}

const Frames kTranscript = {100, 159, 160, 219, 220, 280};

// Events: "b100" the playhead jumps to 100 (and plays on), "s", "e", "n" F9, F10, F11 pressed
// on the frame, "p" two transcript captions placed with the playhead there (upper case: refused),
// "u0" undo (the playhead goes where undo sends it).
TEST(TimingPass, KeysWhilePlayingGiveStartsAndEndsInOnePass) {
    const int32_t last = static_cast<int32_t>(kMaxEncodedFrame) - 100;
    const struct {
        int32_t base;  // added to every frame
        Frames captions;
        const char* events;
        Frames expected;
        int32_t gap = kDefaultGap;  // the blank frames the profile asks for
    } cases[] = {
        // clang-format off
        // Untimed captions pushed on; F11 chains (one blank frame); late speech; a restart.
        {0, kTranscript, "b100 s130 e200 s230 e300", {130, 200, 230, 300, 301, 361}},
        {0, kTranscript, "b100 s110 n170 n240 e300", {110, 169, 170, 239, 240, 300}},
        {0, kTranscript, "b90 s250 n330", {250, 329, 330, 389, 390, 450}},
        {0, kTranscript, "b100 e150 s170 s165 e190", {100, 150, 165, 190, 230, 290}},
        // Nothing to end or to time; room to load (frame 0 too); an undone end timed again.
        {0, kTranscript, "b50 E80 N100 b400 S410", kTranscript},
        {0, kTranscript, "b100 s110 n113", {110, 113, 116, 175, 230, 290}},
        {0, {100, 159}, "b0 s2 e40", {5, 40}},
        {0, kTranscript, "b100 e150 u0 n170", {100, 169, 170, 229, 230, 290}},
        // A jump forward times from the playhead; stepping back restarts the caption there.
        {0, {100, 159, 600, 660, 2000, 2060}, "b100 s110 b500 s520 e700",
         {110, 169, 520, 700, 2000, 2060}},
        {0, kTranscript, "b100 s130 b128 s128 b20 s40", {40, 99, 190, 249, 250, 310}},
        // Nothing pushed or placed past the last frame the encoder places.
        {last, {0, 59, 60, 100}, "b0 S80 s10 n98", {10, 97, 98, 138}},
        {last, {}, "p40", {40, 99, 100, 160}},
        {last, {}, "P41", {}},
        // Transcripts placed from the playhead (then timed), or after a caption ending later.
        {0, {0, 50}, "p100 b100 s130 e200", {0, 50, 130, 200, 201, 261}},
        {0, {0, 500}, "p100", {0, 500, 501, 560, 561, 621}},
        // A profile asking for two blank frames: F11 and the pushed captions leave two.
        {0, kTranscript, "b100 s110 n170 n240 e300", {110, 168, 170, 238, 240, 300}, 2},
        {0, kTranscript, "b100 s130 e200 s230 e300", {130, 200, 230, 300, 302, 362}, 2},
        {0, {0, 500}, "p100", {0, 500, 502, 560, 562, 622}, 2},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.events);
        CaptionProject project;
        project.captions.SetGap(c.gap);
        EditHistory history(project);
        Fill(project.captions, c.captions, c.base);
        TimingPass pass;
        std::vector<Frames> states = {FramesOf(project.captions)};
        std::istringstream events(c.events);
        for (std::string e; events >> e;) {
            const char key = static_cast<char>(std::tolower(e[0]));
            const int32_t frame = c.base + std::stoi(e.substr(1));
            if (key == 'b' || key == 'u') {
                if (key == 'u') states.pop_back();
                pass.Begin(key == 'b' ? frame : history.Undo());
                continue;
            }
            std::vector<std::unique_ptr<Caption>> two;
            for (int n = 0; n < 2; ++n) two.push_back(std::make_unique<Caption>());
            const auto k = static_cast<TimingKey>(std::string_view("sen").find(key));
            const bool done = key == 'p' ? PlaceCaptionsStep(history, std::move(two), frame) >= 0
                                         : pass.Press(history, k, frame);
            EXPECT_EQ(done, key == e[0]) << e;
            // A step exactly when the frames changed.
            if (FramesOf(project.captions) != states.back()) {
                states.push_back(FramesOf(project.captions));
            }
            EXPECT_EQ(history.StepCount(), states.size() - 1) << e;
        }
        EXPECT_EQ(FramesOf(project.captions, c.base), c.expected);
        for (size_t k = states.size() - 1; k > 0; --k) {
            history.Undo();
            EXPECT_EQ(FramesOf(project.captions), states[k - 1]);
        }
    }
}

// Whatever the profile, a transcript timed with F9 and F11 at any pace has no flash in the
// profile's own check, and every F11 join leaves exactly the profile's gap.
TEST(TimingPass, TimedTranscriptHasNoFlashUnderItsProfile) {
    for (const char* name : {"broadcast", "streaming", "children"}) {
        SCOPED_TRACE(name);
        const CheckProfile profile = *BuiltInProfile(name);
        CaptionProject project;
        project.captions.SetGap(LeastGap(profile));
        EditHistory history(project);
        std::vector<std::unique_ptr<Caption>> lines;
        for (int n = 0; n < 40; ++n) lines.push_back(std::make_unique<Caption>());
        ASSERT_EQ(PlaceCaptionsStep(history, std::move(lines), 30), 30);
        TimingPass pass;
        pass.Begin(30);
        uint32_t seed = 7;
        int32_t frame = 40;
        ASSERT_TRUE(pass.Press(history, TimingKey::Start, frame));
        for (int n = 1; n < 40; ++n) {
            seed = seed * 1103515245 + 12345;
            frame += 20 + static_cast<int32_t>(seed >> 16) % 90;
            ASSERT_TRUE(pass.Press(history, TimingKey::EndAndStart, frame));
        }
        for (const Finding& f : CheckCaptions(project.captions, profile)) {
            EXPECT_NE(f.rule, CheckRule::FlashGap) << f.number << ": " << f.message;
        }
        for (const Caption* c = project.captions.Head(); c->next; c = c->next) {
            ASSERT_EQ(c->next->startFrame - c->endFrame, LeastGap(profile)) << c->startFrame;
        }
    }
}

}  // namespace
}  // namespace vantrel
