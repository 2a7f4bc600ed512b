// Moving many captions in time at once: a shift by a number of frames, and a two-point sync that
// places every caption on the line through two captions and the frames they belong at (for a
// programme re-edited, or timed at another rate).
#pragma once

#include <cstdint>
#include <span>

#include "editor/edit_history.h"

namespace vantrel {

inline constexpr const char* kShiftTimesStep = "Shift Times";
inline constexpr const char* kSyncStep = "Two-Point Sync";

// Why a move of times was refused, and the caption that stopped it.
struct TimeRefusal {
    enum Kind {
        None,
        BeforeStart,    // `caption` would start before frame 0 (or before it can be loaded)
        PastEnd,        // `caption` would end past `limit`, the video's last frame
        OverNeighbour,  // `caption` would reach `neighbour`, which does not move
        SamePoints,     // sync: the two captions, or their two frames, are not in order
    };
    Kind kind = None;
    const Caption* caption = nullptr;
    const Caption* neighbour = nullptr;
    int64_t limit = 0;
};

// Shifts the captions (of the list, in list order) by `frames`, later when positive. Captions
// next to each other move as one block; a caption that does not move keeps its loading time
// before a moved one and a moved one before it, and no caption ends past `endFrame` (the video's
// frame count). One step, or a refusal and nothing changed.
TimeRefusal ShiftTimesStep(EditHistory& history, std::span<Caption* const> captions, int64_t frames,
                           int64_t endFrame);

// Every caption's start and end go to the line through (first's start, `firstFrame`) and
// (second's start, `secondFrame`), rounded to the nearest frame; starts stay in order, one frame
// apart at least. One step, or a refusal and nothing changed.
TimeRefusal SyncStep(EditHistory& history, const Caption& first, int64_t firstFrame,
                     const Caption& second, int64_t secondFrame, int64_t endFrame);

}  // namespace vantrel
