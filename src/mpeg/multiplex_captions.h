// Copying an MPEG-2 video stream with the project's captions put into it as DVD caption user
// data: after every group-of-pictures header, one user-data unit with one field-1 pair for each
// picture of that group.
#pragma once

#include <atomic>

#include "mpeg/mpeg_outcome.h"
#include "mpeg/progress_worker.h"

namespace vantrel {

class CaptionList;
class File;

// A group of pictures (its units from one group-of-pictures header to the first picture after
// the next, that header included) may hold at most this many bytes.
constexpr size_t kMaxGroupBytes = 10485760;

// Encodes `captions` and copies `source` (read from its current position) to `destination`
// (open, empty), leaving out caption user data already there and inserting a caption unit after
// the last group-of-pictures header before each run of pictures. Frame k of the captions goes
// with the k-th coded picture after the first group-of-pictures header; pictures past the
// captions get 80 80. When the captions go on past the last picture, that picture's pair is an
// Erase Displayed Memory (94 2C), so that the caption shown there ends with the video, and the
// captions that start from there on are counted in the outcome, with their message.
//
// A source that does not begin, after any zero bytes, with a sequence header is refused
// (NotAVideoStream) before anything is written. Calls progress.SetProgress once per unit and
// stops as soon as `cancel` reads non-zero (a flag raised before it starts stops it before its
// first unit). Captions the encoder left out are counted in the outcome, with their message.
// Whatever was written stays in `destination`: the caller keeps it only when Completed. Never
// throws.
MpegOutcome MultiplexCaptions(const CaptionList& captions, File& source, File& destination,
                              ProgressSink& progress, const std::atomic<int>& cancel);

}  // namespace vantrel
