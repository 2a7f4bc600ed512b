// The frame index of a container whose own index lists every frame: the sample tables of an
// MP4 or MOV that is not fragmented, the idx1 index of an AVI. Read from the header alone, with
// no scan of the payload; its pictures are found again by their file position.
#pragma once

#include <memory>

#include "video/frame_index.h"

struct AVFormatContext;

namespace vantrel {

// The index of video stream `stream` of a file just opened by the demuxer (its header read),
// or null when its container has no index that lists every frame of it.
std::shared_ptr<const FrameIndex> ContainerFrameIndex(const AVFormatContext* format, int stream);

}  // namespace vantrel
