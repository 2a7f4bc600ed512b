#include "files/ccd.h"

#include <algorithm>
#include <string_view>

#include "codec/charset.h"
#include "codec/closest_char.h"
#include "codec/codes.h"
#include "codec/tables.h"
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

// Text with a byte order mark, or that is UTF-8 through and through and not plain ASCII, is
// read as UTF-8; anything else as Windows-1252, the notation's own character set.
bool IsUtf8(const DecodedText& decoded) {
    if (decoded.HadByteOrderMark()) return true;
    const std::string_view text = decoded.Text();
    bool beyondAscii = false;
    for (size_t i = 0; i < text.size();) {
        const char32_t code = NextCodePoint(text, i);
        if (code == kMalformed) return false;
        beyondAscii = beyondAscii || code >= 0x80;
    }
    return beyondAscii;
}

// "CHANNEL n": the caption channel of the data that follows, 0 for another line.
int ChannelLine(std::string_view line) {
    constexpr std::string_view kChannel = "CHANNEL ";
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    if (!StartsWith(line, kChannel) || line.size() != kChannel.size() + 1) return 0;
    const char n = line.back();
    return n >= '1' && n <= '4' ? n - '0' : 0;
}

// Reads the data of the timecode lines: characters and brace tokens.
class CcdDataReader {
  public:
    explicit CcdDataReader(bool utf8) : utf8_(utf8) {}

    // A channel line sets the data channel of the control codes after it: channels 2 and 4
    // are the second data channel of their field. (The pairs of both fields go into one
    // stream: a .ccd file holds one.)
    void SetChannel(int channel) { secondChannel_ = channel % 2 == 0; }

    // Walks the characters and brace tokens of a line's data. Two characters make a pair; a
    // token is a pair of its own and begins on a pair boundary. A token that names no code is
    // read as a null pair, and a NUL byte (no character of the text) is passed over; both are
    // counted. {} is the null pair.
    void Read(std::string_view data, size_t lineNumber, PairStreamBuilder& out,
              CaptionFileData& result) const {
        size_t i = 0;
        while (i < data.size()) {
            if (data[i] == 0) {
                result.nulBytes.Add(lineNumber);
                ++i;
            } else if (data[i] != '{') {
                // A position Windows-1252 leaves undefined is no character.
                const char32_t w = utf8_ ? 0 : Windows1252ToUnicode(uint8_t(data[i]));
                const char32_t code = utf8_ ? NextCodePoint(data, i) : (++i, w != 0 ? w : 0xFFFD);
                Character(code, lineNumber, out, result);
            } else {
                Token(data, ++i, lineNumber, out, result);
            }
        }
        out.CompletePair();
    }

  private:
    void Pair(uint16_t code, PairStreamBuilder& out) const {
        auto first = static_cast<uint8_t>(code >> 8);
        if (secondChannel_ && (first & 0x70) == 0x10) first |= 0x08;
        out.CompletePair();
        Put(first, out);
        Put(static_cast<uint8_t>(code), out);
    }

    // The notation names codes, not bytes: each is sent with its odd parity.
    static void Put(uint8_t code, PairStreamBuilder& out) {
        out.AppendByte(OddParityTable[code & 0x7F]);
    }

    void Token(std::string_view data, size_t& i, size_t lineNumber, PairStreamBuilder& out,
               CaptionFileData& result) const {
        // Names are Windows-1252 ({\xD4} is Ô); in UTF-8 text each character is turned back.
        std::string name;
        for (size_t n = 0; i < data.size() && n < kMaxTokenName && data[i] != '}' && data[i] != 0;
             ++n) {
            const char32_t code = utf8_ ? NextCodePoint(data, i) : uint8_t(data[i++]);
            name += static_cast<char>(code < 0x100 ? code : 0x7F);  // 0x7F is in no name
        }
        if (i < data.size() && data[i] == '}') ++i;
        const uint16_t code = name.empty() ? kUnknownMnemonic : TokenCode(name);
        if (code == kUnknownMnemonic && !name.empty()) result.unknownTokens.Add(lineNumber);
        Pair(code, out);
    }

    // A character of the text: a basic character by the notation's map; else a special
    // character as its pair, an extended one as its basic fallback and its pair; else a null
    // byte, and counted. The underscore and a stray closing brace stay null bytes, as the
    // notation has them.
    void Character(char32_t code, size_t lineNumber, PairStreamBuilder& out,
                   CaptionFileData& result) const {
        const bool latin1 = code < 0x80 || (code >= 0xA0 && code < 0x100);
        const uint8_t basic = latin1 ? CcdTextCharMap[code] : 0;
        if (basic != 0 || code < 0x20 || code == '_' || code == '}' || code == 0x7F) {
            Put(basic, out);
            return;
        }
        const uint8_t character = UnicodeToCaptionChar(code);
        const uint16_t pair = CodePairTable[character];
        if (!IsSendableChar(character)) {
            result.charactersWithoutCode.Add(lineNumber, code);
            Put(0, out);
        } else if (pair < 0x100) {
            Put(static_cast<uint8_t>(pair), out);
        } else {
            if (FallbackCharTable[character] != 0) Put(FallbackCharTable[character], out);
            Pair(pair, out);
        }
    }

    bool utf8_;
    bool secondChannel_ = false;
};

}  // namespace

CaptionFileData ReadCcdText(std::span<const uint8_t> text, const std::atomic<int>* cancel) {
    CaptionFileData result;
    const DecodedText decoded(text);
    TextLines lines(decoded.Text());
    std::string_view line;
    if (!lines.Next(line) || !StartsWith(line, kCcdHeader)) return result;
    if (!lines.Next(line)) return result;  // the channel line
    result.recognized = true;

    CcdDataReader reader(IsUtf8(decoded));
    reader.SetChannel(std::max(ChannelLine(line), 1));
    ReadTimecodeLines(
        lines, result,
        [&](std::string_view data, size_t number, PairStreamBuilder& out, CaptionFileData& r) {
            reader.Read(data, number, out, r);
        },
        kCaptionRate, cancel,
        [&](std::string_view other) {
            const int channel = ChannelLine(other);
            if (channel != 0) reader.SetChannel(channel);
            return channel != 0;
        });
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
