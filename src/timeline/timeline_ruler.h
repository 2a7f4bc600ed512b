// The time ruler's marks: how far apart they fall at a zoom, and which frame each timecode label
// names, so that drop-frame labels sit on round times too.
#pragma once

#include <cstdint>

#include "files/timecode.h"

namespace vantrel {

// Marks in label frames (a label's hh:mm:ss:ff read at 30 to the second): a labelled mark every
// `major`, a short one every `minor`.
struct RulerSpacing {
    int64_t major = 0;
    int64_t minor = 0;
};

// The closest spacing whose labels lie at least `labelPixels` apart at `framesPerPixel`.
RulerSpacing ChooseRulerSpacing(double framesPerPixel, double labelPixels);

// A frame's label as label frames. Non-drop labels count the frames themselves; drop-frame
// labels skip two at each minute but every tenth.
int64_t LabelPosition(int64_t frame, TimecodeStyle style);
// The frame that carries a label; one that drop-frame skips stands for the next one shown.
int64_t FrameOfLabel(int64_t position, TimecodeStyle style);

}  // namespace vantrel
