#include "files/ccd_reader.h"

#include <optional>
#include <string_view>

#include "files/ccd_char_tables.h"
#include "files/ccd_mnemonic_table.h"
#include "files/pair_stream_builder.h"
#include "files/text_lines.h"
#include "files/text_reader_common.h"
#include "files/timecode.h"

namespace vantrel {

namespace {

constexpr std::string_view kCcdHeader = "SCC_disassembly ";
constexpr size_t kMaxTokenName = 6;

bool EndsData(char c) {
    return c == 0 || c == '\r' || c == '\n';
}

uint16_t TokenCode(std::string_view name) {
    // The transparent space has no table entry; the export writes it as this single byte.
    if (name.size() == 1 && name[0] == kTransparentSpaceToken) return kTransparentSpaceCode;
    return LookupMnemonic(name);
}

// Walks the characters and brace tokens of one line from the data column. Two characters make
// a pair; a token is a pair of its own and begins on a pair boundary.
void ReadCcdData(std::string_view line, PairStreamBuilder& out) {
    size_t i = kTimecodeDataColumn;
    while (i < line.size() && !EndsData(line[i])) {
        if (line[i] != '{') {
            out.AppendByte(CcdTextCharMap[static_cast<uint8_t>(line[i])]);
            ++i;
            continue;
        }
        ++i;
        const size_t start = i;
        while (i < line.size() && i - start < kMaxTokenName && line[i] != '}' &&
               !EndsData(line[i])) {
            ++i;
        }
        const std::string_view name = line.substr(start, i - start);
        if (i < line.size() && line[i] == '}') ++i;
        const uint16_t code = TokenCode(name);
        out.AppendAlignedPair(static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code));
    }
    out.CompletePair();
}

}  // namespace

CaptionFileData ReadCcdText(std::span<const uint8_t> text) {
    CaptionFileData result;
    TextLines lines(SkipByteOrderMark(text));
    std::string_view line;
    if (!lines.Next(line) || !StartsWith(line, kCcdHeader)) return result;
    if (!lines.Next(line)) return result;  // the channel line; its content doesn't matter
    result.recognized = true;

    ReadTimecodeLines(lines, result, ReadCcdData);
    return result;
}

}  // namespace vantrel
