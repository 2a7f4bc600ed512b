// WebVTT subtitles made from the captions, for web players: each block of a caption's rows a
// cue placed where the rows are on the caption grid, with its colours, italics and underline.
#pragma once

#include <atomic>
#include <string>

#include "files/caption_formats.h"
#include "model/caption_list.h"

namespace vantrel {

// Cues in caption order, at the captions' frames: a cue for each block of a caption's adjacent
// rows, its rows indented from the block's left by no-break spaces. Cut short once `cancel` is
// raised.
std::string WebVttText(const CaptionList& captions, const WriteOptions& options,
                       const std::atomic<int>* cancel);

}  // namespace vantrel
