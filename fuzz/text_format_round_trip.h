// The round trip shared by the text-format fuzz targets: read any text, decode it, encode what
// was decoded, write that stream in the same format (in either timecode style) and read it back:
// the pairs must agree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "files/pair_stream.h"
#include "files/timecode.h"
#include "files/timecode_lines.h"

namespace vantrel::fuzz {

// Every byte of `encoded` with bit 7 set, as a reader gives it back.
inline bool ReadsBackAs(const std::vector<uint8_t>& encoded, const std::vector<uint8_t>& read) {
    if (encoded.size() != read.size()) return false;
    for (size_t k = 0; k < encoded.size(); ++k) {
        if ((encoded[k] | 0x80) != read[k]) return false;
    }
    return true;
}

// Timecodes have two-digit hours; a stream that reaches frame 100:00:00:00 can't be written.
constexpr size_t kWritableBytes = 2 * 10800000;

// Every stage walks every frame of the stream, null pairs too, so an input whose timecodes
// place data hours out costs seconds and finds nothing that a near one doesn't. The round trip
// takes inputs whose data stays within this many frames (over four minutes).
constexpr int64_t kMaxFuzzFrames = 1 << 13;

// A timecode within the readable frames but past kMaxFuzzFrames, in any piece of the text
// between line ends (carriage return or line feed, so that no way of cutting lines hides one).
inline bool PlacesDataFarOut(std::span<const uint8_t> text) {
    const std::string_view all(reinterpret_cast<const char*>(text.data()), text.size());
    size_t begin = 0;
    while (begin < all.size()) {
        size_t end = all.find_first_of("\r\n", begin);
        if (end == std::string_view::npos) end = all.size();
        const auto line = ParseTimecodeLine(all.substr(begin, end - begin));
        if (line && line->frame >= kMaxFuzzFrames && line->frame <= kMaxReadFrame) return true;
        begin = end + 1;
    }
    return false;
}

template <typename Read, typename Write>
int TextFormatRoundTrip(const uint8_t* data, size_t size, Read read, Write write) {
    const std::vector<uint8_t> text(data, data + size);
    if (PlacesDataFarOut(text)) return 0;
    const CaptionFileData file = read(text, kCaptionRate);
    if (!file.recognized) return 0;
    // Text the scan above doesn't see as lines (another encoding) is read but goes no further.
    if (file.pairs.size() > 2 * (static_cast<size_t>(kMaxFuzzFrames) + size)) return 0;
    for (uint8_t b : file.pairs) {
        if ((b & 0x80) == 0) __builtin_trap();
    }
    CaptionList list;
    DecodePairStream(list, file.pairs);
    const EncodedCaptions encoded = EncodeCaptions(list);
    if (encoded.bytes.empty() || encoded.bytes.size() > kWritableBytes) return 0;
    // Both timecode styles, and every picture rate, must read back to the same frames.
    const TimecodeStyle style = size % 2 ? TimecodeStyle::DropFrame : TimecodeStyle::NonDropFrame;
    const PictureRate& rate = kPictureRates[size / 2 % std::size(kPictureRates)];
    const std::string written = write(encoded.bytes, style, rate);
    const CaptionFileData again =
        read({reinterpret_cast<const uint8_t*>(written.data()), written.size()}, rate);
    if (!ReadsBackAs(encoded.bytes, again.pairs)) __builtin_trap();
    return 0;
}

}  // namespace vantrel::fuzz
