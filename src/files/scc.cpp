#include "files/scc.h"

#include <optional>
#include <string_view>

#include "files/timecode_lines.h"

namespace vantrel {

namespace {

constexpr std::string_view kSccHeader = "Scenarist_SCC ";
constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, uint8_t byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Walks the hexadecimal groups of one line from the data column. A group is two characters
// read as far as their hexadecimal digits go, so words need not have four digits; a group that
// doesn't begin with a digit carries no byte and is skipped.
void ReadHexData(std::string_view line, PairStreamBuilder& out) {
    size_t i = kTimecodeDataColumn;
    while (i < line.size()) {
        const auto c = static_cast<uint8_t>(line[i]);
        if (c <= 0x20) {
            ++i;
            continue;
        }
        const int high = HexDigit(line[i]);
        if (i + 1 >= line.size()) {  // the last character forms a group by itself
            if (high >= 0) out.AppendByte(static_cast<uint8_t>(high));
            break;
        }
        const int low = HexDigit(line[i + 1]);
        i += 2;
        if (high < 0) continue;
        out.AppendByte(static_cast<uint8_t>(low >= 0 ? high * 16 + low : high));
    }
    out.CompletePair();
}

}  // namespace

CaptionFileData ReadSccText(std::span<const uint8_t> text, const std::atomic<int>* cancel) {
    CaptionFileData result;
    TextLines lines(SkipByteOrderMark(text));
    std::string_view line;
    if (!lines.Next(line) || !StartsWith(line, kSccHeader)) return result;
    result.recognized = true;

    ReadTimecodeLines(lines, result, ReadHexData, cancel);
    return result;
}

std::string FormatSccText(std::span<const uint8_t> stream, TimecodeStyle style,
                          const std::atomic<int>* cancel) {
    CancelPoll cancelled(cancel);
    std::string out(kSccFileHeader);
    for (const PairLine& line : SplitPairLines(stream)) {
        if (cancelled()) break;
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

}  // namespace vantrel
