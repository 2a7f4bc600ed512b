// Reading the 608 pairs that a video file carries, in any container libavformat opens: A/53 and
// DVD user data of MPEG-2 pictures, A/53 SEI messages of H.264 and HEVC pictures, and a caption
// track's samples (MOV and MP4 `c608`). Only packets are read; no picture is decoded.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "files/pair_stream.h"
#include "mpeg/mpeg_outcome.h"
#include "mpeg/progress_worker.h"

namespace vantrel {

// The pairs of one coded picture or caption sample, at its presentation time in seconds.
struct TimedPairs {
    double time = 0;
    std::vector<uint8_t> field1, field2;  // pairs as carried, two bytes each
    std::vector<uint8_t> dtvcc;           // valid 708 entries: the type and two bytes each
};

// Places timed pairs on frames: frame = round((time - start) x 30000/1001), the k pairs of one
// picture on k consecutive frames, in the order of their times; a picture whose frame is taken
// already goes on at the next free one. Null pairs take no frame. Into `pairs` and
// `field2Pairs` (bit 7 set, as every reader gives them); `truncated` when frames past the last
// one read were named. The 708 entries go into `dtvcc` on their picture's frame, in the order
// of the pictures' times.
void PlaceTimedPairs(std::vector<TimedPairs> pictures, double start, CaptionFileData& out);

// Reads the captions of the video at `path`: the pairs of its first video stream, or of its
// caption track where it has one, with presentation times counted from the first picture of
// its first video stream. Calls progress.SetProgress with the byte offset reached and stops
// when `cancel` is raised. Returns Completed, NoCaptions, Cancelled, ReadFailed (the file could
// not be opened or read) or NotAVideoStream (a stream without time stamps, or no video in it),
// with `message` set for the last two.
MpegStatus ReadVideoCaptions(const std::string& path, ProgressSink& progress,
                             const std::atomic<int>& cancel, CaptionFileData& out,
                             std::string& message);

}  // namespace vantrel
