// Captions into a copy of an H.264 or HEVC video without re-encoding it: an A/53 caption SEI
// message in every access unit, in the container's own form, everything else copied as it is
// (libavformat remux: container time stamps, other streams and metadata).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "mpeg/mpeg_outcome.h"
#include "mpeg/progress_worker.h"

namespace vantrel {

class CaptionList;
class File;

// How many field-1 pairs a picture at a rate carries, and cc_count: 20 entries, one pair each
// at 29.97; 10 entries, a pair every other picture at 59.94; 25 entries, 2, 1, 1, 1 pairs in
// turn at 23.976. Nothing for other rates.
struct CaptionCadence {
    size_t ccCount = 0;
    // The first pair and the number of pairs of picture n (counted from the first one shown).
    int64_t FirstPair(int64_t picture) const;
    int PairCount(int64_t picture) const;
    // The picture that carries pair n.
    int64_t PictureOfPair(int64_t pair) const;
    // The entries kept for 608 in every picture (the most pairs one carries), and the 708 bytes
    // of the others: 38 at 29.97, 18 at 59.94, 46 at 23.976 (9,110, 8,630 and 8,823 bit/s).
    size_t PairSlots() const { return kind == 3 ? 2 : 1; }
    size_t DtvccBytes() const { return 2 * (ccCount - PairSlots()); }
    int kind = 0;  // 1: 29.97, 2: 59.94, 3: 23.976
};
bool CadenceForRate(int numerator, int denominator, CaptionCadence& cadence);

enum class CaptionCarrier {
    Pictures,  // A/53 in every picture: SEI messages, MPEG-2 user data
    Track,     // a `c608` caption track beside the video (MOV), the video untouched
};

// Copies the video at `sourcePath` into `destination` (open for writing, empty; its Path() names
// the container format to write by its extension) with the captions in its first video stream.
// The outcome tells, as MultiplexCaptions does: NotAVideoStream with a message for a source
// without H.264 or HEVC video or at a rate captions cannot be carried at, ReadFailed,
// WriteFailed (a stream that cannot be copied is named), Cancelled, NothingToEncode; the
// captions left out and those past the last picture. Never throws. In the pictures, the
// captions go as CEA-708 service 1 too, unless `with708` is false.
MpegOutcome EmbedCaptions(const CaptionList& captions, const std::string& sourcePath,
                          File& destination, ProgressSink& progress, const std::atomic<int>& cancel,
                          CaptionCarrier carrier = CaptionCarrier::Pictures, bool with708 = true);

}  // namespace vantrel
