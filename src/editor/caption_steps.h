// The undoable steps on whole captions that the timeline, the properties panel and the
// transport's Add Caption make: moving a caption, setting its end, its timing mode, deleting it,
// adding one and splitting one. Each is one step of the project's history.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "editor/edit_history.h"

namespace vantrel {

// Frames a caption's start or end may take: those a timeline drag allows. A moved caption keeps
// its loading after the previous caption's start (and `gap` blank frames after a Manual previous
// caption's end) and leaves the next caption room to load and itself at least three frames (its
// whole length when it is Manual); an end stays after the start and `gap` frames before the next
// caption. `gap` is the list's (CaptionList::Gap).
struct FrameBounds {
    int64_t lowest = 0;
    int64_t highest = 0;
};
FrameBounds StartBounds(Caption& caption, int32_t gap);
FrameBounds EndBounds(const Caption& caption, int32_t gap);

// Where a drag lets go of a frame: the nearest target within `reach` frames of `frame` that lies
// inside `bounds`, else `frame` itself. Targets are the shot changes (`shots`, in order), and
// `gap` blank frames from the neighbour where an erase separates the two: a start `gap` frames
// after the previous caption ends when that one is Normal or Manual (Persistent and Seamless end
// by their own rules), an end `gap` frames before the next caption's start, and for a Manual
// caption, whose length a move keeps, the start that puts its end there. A shot change wins a
// tie.
int64_t SnapStart(const Caption& caption, int64_t frame, FrameBounds bounds,
                  std::span<const int32_t> shots, int64_t reach, int32_t gap);
int64_t SnapEnd(const Caption& caption, int64_t frame, FrameBounds bounds,
                std::span<const int32_t> shots, int64_t reach, int32_t gap);

// In place, inside a change that touched the caption and the one before it: the caption
// starts at `start`, the one before it retimed.
void MoveCaptionStart(CaptionList& list, Caption& caption, int32_t start);
// In place: the caption becomes Manual and ends at `end`.
void SetCaptionEnd(Caption& caption, int32_t end);

// The steps. Frames are held within the bounds above; each returns true when it made a step.
bool MoveCaptionStep(EditHistory& history, Caption& caption, int64_t start, const char* name);
bool SetCaptionEndStep(EditHistory& history, Caption& caption, int64_t end, const char* name);
bool SetTimingModeStep(EditHistory& history, Caption& caption, int8_t mode);
// Several captions (in list order) take one mode as one step; undo goes to the first.
bool SetTimingModeStep(EditHistory& history, std::span<Caption* const> captions, int8_t mode);
bool DeleteCaptionStep(EditHistory& history, Caption& caption);
// Several captions of the list taken out as one step ("Delete Captions" when more than one);
// undo goes to the first of them.
bool DeleteCaptionsStep(EditHistory& history, const std::vector<Caption*>& captions);

// Add Caption at `frame`: inside a caption, a copy of it starting at `frame` after its loading,
// as long as the next caption leaves room (a "Split Caption" step, returned); in a gap or before
// every caption, no step but a new empty Manual caption at `frame` that ends at the next
// caption's loading, at most two seconds on, for an edit session to take (`*empty`). Neither
// when there is no room (a beep).
Caption* AddCaptionAt(EditHistory& history, int32_t frame, std::unique_ptr<Caption>* empty);

}  // namespace vantrel
