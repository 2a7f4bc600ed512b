// The code-string fragment of every channel-1 control pair.
#include "codec/table_lists.h"
#include "codec/tables.h"

namespace vantrel {

namespace {

using namespace table_lists;

constexpr CodeFragment Fragment(uint8_t a, uint8_t b = 0, uint8_t c = 0) {
    CodeFragment f;
    for (uint8_t byte : {a, b, c}) {
        if (byte != 0) f.bytes[f.length++] = byte;
    }
    return f;
}

constexpr uint8_t RowByteOf(uint16_t code) {
    for (size_t r = 0; r < kRowCodes.size(); ++r) {
        if (kRowCodes[r] == code) return RowByte(static_cast<int>(r));
    }
    return 0;
}

constexpr uint8_t CommandByteOf(uint16_t code) {
    for (const Command& c : kCommands) {
        if (c.code == code) return c.byte;
    }
    return 0;
}

// Preamble address code: row, then colour, white italics or indent, then underline.
constexpr CodeFragment Preamble(uint16_t pair) {
    const uint8_t row = RowByteOf(pair & 0xFF60);
    if (row == 0) return {};
    const int v = (pair & 0x1F) / 2;
    const int attribute = v < 7    ? ColourByte(v)
                          : v == 7 ? uint8_t{kWhiteItalics}
                                   : IndentByte(v - 8);
    return Fragment(row, static_cast<uint8_t>(attribute),
                    (pair & 1) ? uint8_t{kUnderline} : uint8_t{0});
}

constexpr CodeFragment DecodeControlPair(int first, int second) {
    const uint16_t pair = static_cast<uint16_t>((0x10 | first) << 8 | second);
    const uint8_t underline = (second & 1) ? kUnderline : 0;
    if (second >= 0x40) return Preamble(pair);
    if (second < 0x20) return {};
    switch (first) {
        case 0:
            if (second >= 0x30) return {};
            return Fragment(kBackground, static_cast<uint8_t>(ColourByte((second - 0x20) / 2)),
                            (second & 1) ? kSemiTransparent : 0);
        case 1: {
            if (second >= 0x30) return Fragment(kSpecialChars[second - 0x30].character);
            const int v = (second - 0x20) / 2;
            return Fragment(static_cast<uint8_t>(v < 7 ? ColourByte(v) : uint8_t{kItalics}),
                            underline);
        }
        case 2:
        case 3:
            return Fragment(kExtendedChars[(first - 2) * 32 + second - 0x20].character);
        case 4:
            return Fragment(CommandByteOf(pair));
        case 7:
            if ((pair & ~1) == kBlackForegroundCode) {
                return Fragment(ColourByte(kColourBlack), underline);
            }
            return Fragment(CommandByteOf(pair));
        default:
            return {};
    }
}

constexpr std::array<std::array<CodeFragment, 128>, 8> BuildControlPairMap() {
    std::array<std::array<CodeFragment, 128>, 8> map{};
    for (int first = 0; first < 8; ++first) {
        for (int second = 0; second < 128; ++second) {
            map[first][second] = DecodeControlPair(first, second);
        }
    }
    return map;
}

}  // namespace

constexpr std::array<std::array<CodeFragment, 128>, 8> ControlPairMap = BuildControlPairMap();

}  // namespace vantrel
