// The code vocabulary, named once: the code-string bytes (each a caption character or one 608
// command) and the channel-1 control pairs on the wire, with the predicates on them that the
// decoder, the encoder, the editor and the file readers share.
#pragma once

#include <cstdint>

namespace vantrel {

// Code-string bytes that are not characters; the value of each name is the byte itself.
enum Code : uint8_t {
    kDer = 0x01,           // delete to end of row
    kRcl = 0x02,           // resume caption loading
    kRdc = 0x03,           // resume direct captioning (paint-on)
    kRtd = 0x04,           // resume text display
    kTr = 0x05,            // text restart
    kEoc = 0x06,           // end of caption
    kBs = 0x07,            // backspace
    kFon = 0x08,           // flash on
    kTabOffset1 = 0x09,    // 0x09-0x0B: tab offset 1 to 3 columns
    kItalics = 0x0C,       // mid-row italics
    kCr = 0x0D,            // carriage return
    kUnderline = 0x0E,     // modifies the code before it
    kWhiteItalics = 0x0F,  // preamble attribute, only after a row byte
    kIndent0 = 0x10,       // 0x10-0x17: preamble indent 4 x k columns, white
    kColour0 = 0x18,       // 0x18-0x1F: colour c (preamble, background or mid-row)
    kNullCode = 0x80,      // never produced; ignored
    kRow1 = 0x81,          // 0x81-0x8F: preamble of rows 1 to 15
    kTransparent = 0x9C,   // background transparent
    kRollUp2 = 0x9D,       // 0x9D-0x9F: roll-up 2, 3, 4 rows
    kRollUp4 = 0x9F,
    kBackground = 0xD0,       // background prefix: a colour follows
    kSemiTransparent = 0xF0,  // modifies the background code before it
    kEnm = 0xFE,              // erase non-displayed memory
    kEdm = 0xFF,              // erase displayed memory
};

constexpr int kColourCount = 8;
constexpr int kColourBlack = 7;  // black has no preamble code
constexpr int kIndentStep = 4;   // columns per indent step
constexpr int kRowCount = 15;

constexpr bool IsRowByte(uint8_t b) {
    return b >= kRow1 && b < kRow1 + kRowCount;
}
constexpr uint8_t RowByte(int row) {  // row 0-14
    return static_cast<uint8_t>(kRow1 + row);
}
constexpr int RowOf(uint8_t rowByte) {
    return rowByte - kRow1;
}
constexpr bool IsIndent(uint8_t b) {
    return b >= kIndent0 && b < kIndent0 + 8;
}
constexpr uint8_t IndentByte(int step) {
    return static_cast<uint8_t>(kIndent0 + step);
}
constexpr bool IsColour(uint8_t b) {
    return b >= kColour0 && b < kColour0 + kColourCount;
}
constexpr uint8_t ColourByte(int colour) {
    return static_cast<uint8_t>(kColour0 + colour);
}
constexpr int ColourOf(uint8_t b) {
    return b - kColour0;
}
constexpr bool IsTabOffset(uint8_t b) {
    return b >= kTabOffset1 && b < kTabOffset1 + 3;
}
constexpr uint8_t TabOffsetByte(int columns) {  // 1-3
    return static_cast<uint8_t>(kTabOffset1 - 1 + columns);
}
constexpr int TabColumns(uint8_t b) {
    return b - kTabOffset1 + 1;
}
constexpr bool IsRollUp(uint8_t b) {
    return b >= kRollUp2 && b <= kRollUp4;
}
constexpr int RollUpDepth(uint8_t b) {  // 2-4
    return b - kRollUp2 + 2;
}
// A mid-row code: it takes a cell on the screen, shown as a space.
constexpr bool IsMidRowCode(uint8_t b) {
    return IsColour(b) || b == kItalics;
}

// The attribute of white italics that the preamble byte kWhiteItalics gives.
constexpr uint8_t kWhiteItalicsAttribute = 0x78;

// Channel-1, field-1 control pairs on the wire (first byte << 8 | second, without parity).
enum Pair608 : uint16_t {
    kPairRcl = 0x1420,
    kPairEdm = 0x142C,
    kPairEoc = 0x142F,
};

// A first byte 0x01-0x1F opens a control pair. Bit 3 picks the data channel within the field:
// 0x01-0x07 and 0x10-0x17 the first, 0x08-0x0F and 0x18-0x1F the second. The low three bits
// then say what the pair is, the same for both.
constexpr bool IsControlFirst(uint8_t low7) {
    return low7 >= 0x01 && low7 <= 0x1F;
}
constexpr int DataChannelOf(uint8_t firstLow7) {  // 1 or 2
    return (firstLow7 & 0x08) != 0 ? 2 : 1;
}

}  // namespace vantrel
