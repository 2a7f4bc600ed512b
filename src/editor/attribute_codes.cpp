#include "editor/attribute_codes.h"

#include "editor/cell_classes.h"

namespace vantrel {

namespace {

constexpr uint8_t kForegroundBits = 0x07;
constexpr uint8_t kBackgroundBits = 0x38;
constexpr int kPreambleColumns = 4;  // a preamble at column 0 reaches columns 0-3 by tabs
constexpr int kBlack = 7;            // the only colour without a preamble code

void Add(CodeCells& codes, uint8_t character, uint8_t attribute) {
    codes.cells[codes.count++] = {character, attribute};
}

}  // namespace

CodeCells RunStartCodes(int column, uint8_t attribute) {
    const int f = Foreground(attribute);
    bool needItalics = IsItalic(attribute);
    bool needColour = f != 0;
    if (column < kPreambleColumns && f < kBlack) {
        needColour = false;
        // White italics has a preamble of its own.
        if ((attribute & (kItalicsBit | kForegroundBits)) == kItalicsBit) needItalics = false;
    }
    CodeCells codes;
    if (needColour) {
        Add(codes, ColourByte(f),
            attribute & static_cast<uint8_t>(~(kForegroundBits | kItalicsBit)));
    }
    if (needItalics) Add(codes, kItalics, attribute & static_cast<uint8_t>(~kItalicsBit));
    return codes;
}

CodeCells TransitionCodes(uint8_t previous, uint8_t next) {
    constexpr uint8_t kCodedBits = kForegroundBits | kItalicsBit | kUnderlineBit;
    CodeCells codes;
    if ((previous & kCodedBits) == (next & kCodedBits)) return codes;
    const int f = Foreground(next);
    if (Foreground(previous) == f && IsItalic(next)) {
        Add(codes, kItalics, previous);
        return codes;
    }
    Add(codes, ColourByte(f), previous);
    if (IsItalic(next)) {
        Add(codes, kItalics, static_cast<uint8_t>((previous & kBackgroundBits) | f));
    }
    return codes;
}

}  // namespace vantrel
