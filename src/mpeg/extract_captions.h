// Pulling the line-21 captions out of the DVD caption user data of an MPEG-2 video stream.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec/encoder.h"
#include "mpeg/mpeg_outcome.h"
#include "mpeg/progress_worker.h"

namespace vantrel {

class CaptionList;
class File;
struct LineTally;

// The most pair bytes collected from a stream: frames 0 to kMaxEncodedFrame.
constexpr size_t kMaxStreamPairBytes = static_cast<size_t>(kMaxEncodedFrame + 1) * 2;

// Collects the field-1 pairs of every caption user-data unit of the stream, in stream order,
// into `pairs` (pair k is frame k, bit 7 set on every byte). Reads `source` from its current
// position to its end; calls progress.SetProgress once per unit and stops as soon as `cancel`
// reads non-zero (a flag raised before it starts stops it before its first unit). Returns
// Completed, NoCaptions (nothing collected), Cancelled or ReadFailed, with no message. Throws
// std::bad_alloc when `pairs` cannot grow. The pairs collected with a byte of even parity are
// counted in `badParity` when it is given, the first by its frame.
MpegStatus CollectCaptionPairs(File& source, ProgressSink& progress, const std::atomic<int>& cancel,
                               std::vector<uint8_t>& pairs, int field = 1,
                               LineTally* badParity = nullptr);

// Collects the pairs and decodes them into `into`, a list of the caller's own that the worker
// alone touches; the caller moves the captions into the project when the worker is done.
// Nothing is decoded when the extraction is cancelled or fails; the decoding stops on the flag
// too, and then leaves `into` empty. The outcome's message is
// "Video file does not contain closed captions", a read error or a memory shortage. Never
// throws.
// The pairs are those of the field that carries the channel the options name.
MpegOutcome ExtractCaptions(File& source, ProgressSink& progress, const std::atomic<int>& cancel,
                            CaptionList& into, const DecodeOptions& options = {});

}  // namespace vantrel
