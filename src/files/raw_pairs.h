// Raw 608 pair files (.bin, .dat): a 4-byte header, then one byte pair per frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "files/pair_stream.h"

namespace vantrel {

constexpr size_t kRawHeaderSize = 4;
constexpr uint8_t kRawFileHeaderByte = 0xFF;  // each of the 4 header bytes as written
// The most pair bytes read from a raw file: frames 0 to kMaxReadFrame.
size_t MaxRawPairBytes();

// Reads a raw pair file held in memory (header included). The header's content is not
// checked; a file shorter than the header is not recognized. Pairs past kMaxReadFrame are
// left out and `truncated` is set.
CaptionFileData ReadRawPairs(std::span<const uint8_t> file);

// The whole raw file of an encoded pair stream: the header, then the pairs as they are.
std::string FormatRawPairs(std::span<const uint8_t> stream);

}  // namespace vantrel
