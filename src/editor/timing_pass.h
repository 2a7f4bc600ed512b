// Timing captions with keys while the video plays: one pass through the captions in order, the
// operator starting each at the playhead and ending it there (or ending one and starting the
// next at once). Each key press is one undoable step. Also the placing of a transcript's
// captions one after another, ready for such a pass.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "editor/edit_history.h"

namespace vantrel {

inline constexpr const char* kStartAtPlayheadStep = "Start at Playhead";
inline constexpr const char* kEndAtPlayheadStep = "End at Playhead";
inline constexpr const char* kEndAndStartStep = "End and Start Next";
inline constexpr const char* kImportTranscriptStep = "Import Transcript";

enum class TimingKey {
    Start,        // the timing caption starts at the playhead
    End,          // it ends at the playhead
    EndAndStart,  // it ends, and the caption after it starts, at the playhead
};

// The pass: which caption the next key times. That is the caption started in this pass and not
// yet ended, while the step that started it is the last one done; otherwise the first caption
// that starts at or after the pass's frontier (where the pass began, or where it last ended a
// caption). Captions after the timing caption that stand in its way move later, keeping their
// lengths, so that they stay in order.
class TimingPass {
  public:
    // The playhead jumped (a seek, a step, undo): the pass goes on from `frame`. The caption
    // being timed stays the timing caption while the playhead stays within it.
    void Begin(int32_t frame);

    // The caption the next key times, or null.
    Caption* TimingCaption(EditHistory& history) const;

    // Presses `key` with the playhead at `frame`: one step, or none when the frames are already
    // those. False when there is nothing to time there (no timing caption, an end at or before
    // its start, a caption pushed past the last frame): a beep.
    bool Press(EditHistory& history, TimingKey key, int32_t frame);

    int32_t Frontier() const { return frontier_; }

  private:
    int32_t frontier_ = 0;
    // The caption started and not yet ended: its frames, and the step that started it.
    int32_t openStart_ = -1;
    int32_t openEnd_ = -1;
    uint64_t openStep_ = 0;
};

// A transcript's captions (screens already laid out, frames not yet set) placed one after
// another, two seconds each, Manual, from `playhead` or from just after the end of the last
// caption when that is later; one step. Returns the first start, or -1 when there are none or
// they would not all start by the last frame the encoder places (told through the host).
int32_t PlaceCaptionsStep(EditHistory& history, std::vector<std::unique_ptr<Caption>> captions,
                          int32_t playhead);

}  // namespace vantrel
