// Rendering a code string onto a caption screen.
#include "codec/code_string.h"
#include "codec/codes.h"
#include "codec/screen_writer.h"

namespace vantrel {

void ScreenWriter::MoveTo(int row, int col) {
    row_ = row;
    col_ = col;
    attr_ = kDefaultAttribute;
    state_ = State::Idle;
}

void ScreenWriter::Backspace(Caption& caption) {
    if (col_ > kScreenColumns) col_ = kScreenColumns;
    if (col_ > 0) caption.cells[row_][--col_] = {};
    if (state_ != State::Stopped) state_ = State::Idle;
}

void ScreenWriter::Put(Caption& caption, uint8_t b) {
    if (b == 0 || state_ == State::Stopped) return;
    // The rules of the code string: each byte is handled by the first branch that takes it.
    int& row = row_;
    int& col = col_;
    uint8_t& attr = attr_;
    State& state = state_;
    auto put = [&](uint8_t ch, uint8_t a) {
        if (col < kScreenColumns) caption.cells[row][col] = {ch, a};
    };
    bool endRule = true;
    if (IsRowByte(b)) {
        row = RowOf(b);
        col = 0;
        attr = kDefaultAttribute;
        state = State::AfterRow;
        endRule = false;
    } else if (b == kBackground) {
        state = State::AfterBackgroundPrefix;
        endRule = false;
    } else if (b == kWhiteItalics && state == State::AfterRow) {
        col = 0;
        attr = kWhiteItalicsAttribute;
        state = State::AfterPreamble;
        endRule = false;
    } else if (IsIndent(b) && state == State::AfterRow) {
        col = kIndentStep * (b - kIndent0);
        attr = kDefaultAttribute;
        state = State::AfterPreamble;
        endRule = false;
    } else if (IsColour(b) && state == State::AfterRow) {
        col = 0;
        attr = kDefaultAttribute | ColourOf(b);
        state = State::AfterPreamble;
        endRule = false;
    } else if (IsColour(b) && state == State::AfterBackgroundPrefix) {
        attr = static_cast<uint8_t>((attr & ~0x38) | (ColourOf(b) << 3));
        state = State::AfterBackground;
        endRule = false;
    } else if (IsColour(b)) {
        if (state != State::AfterCode) {
            // A mid-row colour code takes a cell, shown as a space, and clears italics
            // and underline.
            put(b, attr);
            ++col;
            attr = static_cast<uint8_t>((attr & 0x38) | ColourOf(b));
            state = State::AfterCode;
            endRule = false;
        }
    } else if (b == kItalics) {
        // Also when italics is already on (a change of underline only), the code stays an
        // attribute-code cell rather than becoming a space, so that a screen renders
        // back unchanged from its own code string.
        put(kItalics, attr);
        ++col;
        attr = static_cast<uint8_t>((attr & 0x3F) | kItalicsBit);
        state = State::AfterCode;
        endRule = false;
    } else if (b == kUnderline && state == State::AfterPreamble) {
        attr |= kUnderlineBit;
        state = State::AfterPreambleUnderline;
        endRule = false;
    } else if (b == kUnderline && state == State::AfterCode) {
        attr |= kUnderlineBit;
    } else if (IsTabOffset(b) && (tabs_ == TabOffsets::Anywhere || state == State::AfterPreamble ||
                                  state == State::AfterPreambleUnderline)) {
        col += TabColumns(b);
    } else if (b == kDer) {
        for (int c = col; c < kScreenColumns; ++c) caption.cells[row][c] = {};
    } else if (IsCaptionCharacter(b)) {
        if (col < kScreenColumns) caption.cells[row][col++] = {b, attr};
    }

    if (endRule) {
        // A row byte or background prefix must be followed by its attribute.
        state = state == State::AfterRow || state == State::AfterBackgroundPrefix ? State::Stopped
                                                                                  : State::Idle;
    }
}

void LoadCodeString(Caption& caption, std::span<const uint8_t> code) {
    if (code.empty()) return;
    caption.loadFrames = -1;
    ScreenWriter writer;
    for (const uint8_t b : code) {
        if (b == 0 || writer.Stopped()) break;
        writer.Put(caption, b);
    }
    caption.screenValid = 1;
}

}  // namespace vantrel
