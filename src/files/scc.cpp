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

bool IsBlank(char c) {
    return static_cast<uint8_t>(c) <= 0x20;
}

// Counts the words (runs between blanks) of a line's data that are not four hexadecimal digits.
void CountOddWords(std::string_view data, size_t lineNumber, LineTally& odd) {
    for (size_t i = 0; i < data.size();) {
        if (IsBlank(data[i])) {
            ++i;
            continue;
        }
        const size_t start = i;
        bool hex = true;
        while (i < data.size() && !IsBlank(data[i])) hex = HexDigit(data[i++]) >= 0 && hex;
        if (!hex || i - start != 4) odd.Add(lineNumber);
    }
}

// Walks the hexadecimal groups of a line's data. A group is two characters read as far as their
// hexadecimal digits go, so words need not have four digits; a group that doesn't begin with a
// digit carries no byte and is skipped. Such words are counted, to be reported.
void ReadHexData(std::string_view data, size_t lineNumber, PairStreamBuilder& out,
                 CaptionFileData& result) {
    CountOddWords(data, lineNumber, result.oddWords);
    size_t i = 0;
    while (i < data.size()) {
        if (IsBlank(data[i])) {
            ++i;
            continue;
        }
        const int high = HexDigit(data[i]);
        if (i + 1 >= data.size()) {  // the last character forms a group by itself
            if (high >= 0) out.AppendByte(static_cast<uint8_t>(high));
            break;
        }
        const int low = HexDigit(data[i + 1]);
        i += 2;
        if (high < 0) continue;
        out.AppendByte(static_cast<uint8_t>(low >= 0 ? high * 16 + low : high));
    }
    out.CompletePair();
}

}  // namespace

CaptionFileData ReadSccText(std::span<const uint8_t> text, const std::atomic<int>* cancel,
                            const PictureRate& rate) {
    CaptionFileData result;
    const DecodedText decoded(text);
    TextLines lines(decoded.Text());
    std::string_view line;
    if (!lines.Next(line) || !StartsWith(line, kSccHeader)) return result;
    result.recognized = true;

    ReadTimecodeLines(lines, result, ReadHexData, rate, cancel);
    return result;
}

std::string FormatSccText(std::span<const uint8_t> stream, TimecodeStyle style,
                          const std::atomic<int>* cancel, const PictureRate& rate) {
    CancelPoll cancelled(cancel);
    std::string out(kSccFileHeader);
    for (const PairLine& line : SplitPairLines(stream, rate)) {
        if (cancelled()) break;
        out += "\r\n";
        out += FormatTimecode(line.frame, style, rate);
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
