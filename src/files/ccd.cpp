#include "files/ccd.h"

#include <optional>
#include <string_view>

#include "codec/codes.h"
#include "files/ccd_tables.h"
#include "files/timecode_lines.h"

namespace vantrel {

namespace {

constexpr std::string_view kCcdHeader = "SCC_disassembly ";
constexpr size_t kMaxTokenName = 6;

bool IsControlPair(uint8_t first) {
    return IsControlFirst(first & 0x7F);
}

uint16_t TokenCode(std::string_view name) {
    // The transparent space has no table entry; the export writes it as this single byte.
    if (name.size() == 1 && name[0] == kTransparentSpaceToken) return kTransparentSpaceCode;
    return LookupMnemonic(name);
}

// Walks the characters and brace tokens of a line's data. Two characters make a pair; a token
// is a pair of its own and begins on a pair boundary. A token that names no code is read as a
// null pair, and a NUL byte (no character of the text) is passed over; both are counted.
void ReadCcdData(std::string_view data, size_t lineNumber, PairStreamBuilder& out,
                 CaptionFileData& result) {
    size_t i = 0;
    while (i < data.size()) {
        if (data[i] == 0) {
            result.nulBytes.Add(lineNumber);
            ++i;
            continue;
        }
        if (data[i] != '{') {
            out.AppendByte(CcdTextCharMap[static_cast<uint8_t>(data[i])]);
            ++i;
            continue;
        }
        ++i;
        const size_t start = i;
        while (i < data.size() && i - start < kMaxTokenName && data[i] != '}' && data[i] != 0) {
            ++i;
        }
        const std::string_view name = data.substr(start, i - start);
        if (i < data.size() && data[i] == '}') ++i;
        const uint16_t code = TokenCode(name);
        if (code == kUnknownMnemonic) result.unknownTokens.Add(lineNumber);
        out.AppendAlignedPair(static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code));
    }
    out.CompletePair();
}

}  // namespace

CaptionFileData ReadCcdText(std::span<const uint8_t> text, const std::atomic<int>* cancel) {
    CaptionFileData result;
    const DecodedText decoded(text, TextCharset::Windows1252);
    result.unconvertibleCharacters = decoded.Unconvertible();
    TextLines lines(decoded.Text());
    std::string_view line;
    if (!lines.Next(line) || !StartsWith(line, kCcdHeader)) return result;
    if (!lines.Next(line)) return result;  // the channel line; its content doesn't matter
    result.recognized = true;

    ReadTimecodeLines(lines, result, ReadCcdData, cancel);
    return result;
}

std::string FormatCcdText(std::span<const uint8_t> stream, TimecodeStyle style,
                          const std::atomic<int>* cancel) {
    CancelPoll cancelled(cancel);
    std::string out(kCcdFileHeader);
    for (const PairLine& line : SplitPairLines(stream)) {
        if (cancelled()) break;
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
