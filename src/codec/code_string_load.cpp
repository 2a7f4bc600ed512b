// Rendering a code string onto a caption screen.
#include "codec/code_string.h"

namespace vantrel {

namespace {

enum class State {
    Idle,
    AfterRow,
    AfterBackgroundPrefix,
    AfterPreamble,
    AfterPreambleUnderline,
    AfterCode,
    AfterBackground,
};

}  // namespace

size_t LoadCodeString(Caption& caption, std::span<const uint8_t> code) {
    if (code.empty()) return 0;
    size_t clipped = 0;
    caption.loadFrames = -1;
    int row = 0;
    int col = 0;
    uint8_t attr = kDefaultAttribute;
    State state = State::Idle;

    auto put = [&](uint8_t ch, uint8_t a) {
        if (col < kScreenColumns) caption.cells[row][col] = {ch, a};
    };

    for (const uint8_t b : code) {
        if (b == 0) break;
        bool endRule = true;
        if (b >= 0x81 && b <= 0x8F) {
            row = b - 0x81;
            col = 0;
            attr = kDefaultAttribute;
            state = State::AfterRow;
            endRule = false;
        } else if (b == 0xD0) {
            state = State::AfterBackgroundPrefix;
            endRule = false;
        } else if (b == 0x0F && state == State::AfterRow) {
            col = 0;
            attr = 0x78;
            state = State::AfterPreamble;
            endRule = false;
        } else if (b >= 0x10 && b <= 0x17 && state == State::AfterRow) {
            col = 4 * (b - 0x10);
            attr = kDefaultAttribute;
            state = State::AfterPreamble;
            endRule = false;
        } else if (b >= 0x18 && b <= 0x1F && state == State::AfterRow) {
            col = 0;
            attr = kDefaultAttribute | (b - 0x18);
            state = State::AfterPreamble;
            endRule = false;
        } else if (b >= 0x18 && b <= 0x1F && state == State::AfterBackgroundPrefix) {
            attr = static_cast<uint8_t>((attr & ~0x38) | ((b - 0x18) << 3));
            state = State::AfterBackground;
            endRule = false;
        } else if (b >= 0x18 && b <= 0x1F) {
            if (state != State::AfterCode) {
                // A mid-row colour code takes a cell, shown as a space, and clears italics
                // and underline.
                put(b, attr);
                ++col;
                attr = static_cast<uint8_t>((attr & 0x38) | (b - 0x18));
                state = State::AfterCode;
                endRule = false;
            }
        } else if (b == 0x0C) {
            // Also when italics is already on (a change of underline only), the code stays an
            // attribute-code cell rather than becoming a space, so that a screen renders
            // back unchanged from its own code string.
            put(0x0C, attr);
            ++col;
            attr = static_cast<uint8_t>((attr & 0x3F) | kItalicsBit);
            state = State::AfterCode;
            endRule = false;
        } else if (b == 0x0E && state == State::AfterPreamble) {
            attr |= kUnderlineBit;
            state = State::AfterPreambleUnderline;
            endRule = false;
        } else if (b == 0x0E && state == State::AfterCode) {
            attr |= kUnderlineBit;
        } else if (b >= 0x09 && b <= 0x0B &&
                   (state == State::AfterPreamble || state == State::AfterPreambleUnderline)) {
            col += b - 0x08;
        } else if (b == 0x01) {
            for (int c = col; c < kScreenColumns; ++c) caption.cells[row][c] = {};
        } else if (IsCaptionCharacter(b)) {
            if (col < kScreenColumns) {
                caption.cells[row][col++] = {b, attr};
            } else {
                ++clipped;
            }
        }

        if (endRule) {
            // A row byte or background prefix must be followed by its attribute.
            if (state == State::AfterRow || state == State::AfterBackgroundPrefix) break;
            state = State::Idle;
        }
    }
    caption.screenValid = 1;
    return clipped;
}

}  // namespace vantrel
