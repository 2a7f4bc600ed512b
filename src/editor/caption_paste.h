// Captions pasted into the project at a frame, keeping their codes, modes and distances.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/edit_history.h"

namespace vantrel {

inline constexpr const char* kPasteCaptionsStep = "Paste Captions";

struct PasteResult {
    std::vector<Caption*> placed;       // the pasted captions in the project, in order
    const Caption* inTheWay = nullptr;  // refused: a caption of the project starts among them
    bool pastEnd = false;               // refused: they would start past `endFrame`
};

// The captions of `pasted` (which ends empty when they are placed) move to start at `frame`, the
// first on it and the others as far after it as they were after the first. Refused, with
// nothing changed, when a caption of the project starts between the first pasted start and the
// last pasted end, or a pasted caption would start at or past `endFrame`. One step.
PasteResult PasteCaptionsStep(EditHistory& history, CaptionList& pasted, int32_t frame,
                              int64_t endFrame);

}  // namespace vantrel
