#include "files/caption_text_writers.h"

#include "files/ccd_char_tables.h"
#include "files/pair_lines.h"
#include "files/timecode.h"

namespace vantrel {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

uint8_t ByteAt(std::span<const uint8_t> stream, size_t i) {
    return i < stream.size() ? stream[i] : 0x80;
}

void AppendHex(std::string& out, uint8_t byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

bool IsControlPair(uint8_t first) {
    return first != 0x80 && (first & 0x7F) < 0x20;
}

}  // namespace

std::string FormatSccText(std::span<const uint8_t> stream, TimecodeStyle style) {
    std::string out(kSccFileHeader);
    for (const PairLine& line : SplitPairLines(stream)) {
        out += "\r\n";
        out += FormatTimecode(line.frame, style);
        out += '\t';
        for (size_t k = 0; k < line.pairCount; ++k) {
            if (k > 0) out += ' ';
            AppendHex(out, ByteAt(stream, line.firstByte + 2 * k));
            AppendHex(out, ByteAt(stream, line.firstByte + 2 * k + 1));
        }
        out += "\r\n";
    }
    return out;
}

std::string FormatCcdText(std::span<const uint8_t> stream, TimecodeStyle style) {
    std::string out(kCcdFileHeader);
    for (const PairLine& line : SplitPairLines(stream)) {
        out += FormatTimecode(line.frame, style);
        out += '\t';
        for (size_t k = 0; k < line.pairCount; ++k) {
            const uint8_t first = ByteAt(stream, line.firstByte + 2 * k);
            const uint8_t second = ByteAt(stream, line.firstByte + 2 * k + 1);
            if (IsControlPair(first)) {
                // First bytes below 0x10 never come from the encoder; they are named by their
                // low three bits like the channel-1 codes that share them.
                out += '{';
                out += CcdControlNames[first & 7][second & 0x7F].text;
                out += '}';
            } else {
                out += static_cast<char>(CcdCharNames[first & 0x7F]);
                out += static_cast<char>(CcdCharNames[second & 0x7F]);
            }
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace vantrel
