// A caption cut in two at a row, and captions joined into one: the captioner's way of making a
// screen fit what is said.
#pragma once

#include <span>

#include "editor/edit_history.h"

namespace vantrel {

inline constexpr const char* kMergeCaptionsStep = "Merge Captions";
// The most rows a merged caption may hold: a caption longer than that is not read in time.
constexpr int kMostMergedRows = 4;

enum class UnitRefusal {
    None,
    NothingAbove,   // split: no text above the row, or none from it down
    NoTime,         // split: the caption is too short to load the second part while it shows
    TooFew,         // merge: fewer than two captions
    NotNeighbours,  // merge: a caption not chosen lies between two chosen ones
    TooManyRows,    // merge: more than kMostMergedRows rows of text
};

// Split: the rows above `row` stay in the caption, the rows from `row` down go to a new caption
// on the same rows. The two share the caption's time by their text (the second starting no
// sooner than it can load while the first shows, and leaving the next caption its loading);
// the first runs on until the second (Seamless), the second keeps the caption's mode and end.
// One step; `*made` is the new caption.
UnitRefusal SplitCaptionStep(EditHistory& history, Caption& caption, int row, Caption** made);

// Merge: captions next to each other in the list (in list order) become the first of them, its
// start, the last one's end and mode, their rows stacked in order so that the lowest row is the
// lowest any of them used. One step.
UnitRefusal MergeCaptionsStep(EditHistory& history, std::span<Caption* const> captions);

}  // namespace vantrel
