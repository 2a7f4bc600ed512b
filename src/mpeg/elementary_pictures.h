// Counts the frames of an MPEG-1/2 video elementary stream by its picture start codes, for
// raw streams whose duration libmpv can only guess from the bit rate.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// Frames coded in the stream: one per frame picture, one per pair of field pictures.
// -1 when the file cannot be read.
int64_t CountElementaryStreamFrames(const std::string& path);

// The same count over bytes already in memory (the whole stream).
int64_t CountElementaryStreamFrames(const uint8_t* data, size_t size);

}  // namespace vantrel
