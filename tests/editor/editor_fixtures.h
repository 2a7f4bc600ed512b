// Shared helpers of the editor tests: a counting view, an editing context on a fresh caption,
// row text helpers and the code-string round trip.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "codec/code_string.h"
#include "editor/editing_context.h"
#include "editor/editor_view.h"
#include "model/caption.h"

namespace vantrel::editor_test {

class CountingView : public EditorView {
  public:
    void Beep() override { ++beeps; }
    void PlaceCaret(int row, int column, uint8_t typingAttribute) override {
        ++caretsPlaced;
        caretRow = row;
        caretColumn = column;
        caretAttribute = typingAttribute;
    }
    void MoveCaret(int row, int column) override {
        ++caretsMoved;
        caretRow = row;
        caretColumn = column;
    }
    void ShowCaption() override { ++shows; }

    int Calls() const { return beeps + caretsPlaced + caretsMoved + shows; }

    int beeps = 0;
    int caretsPlaced = 0;
    int caretsMoved = 0;
    int shows = 0;
    int caretRow = -1;
    int caretColumn = -1;
    uint8_t caretAttribute = 0;
};

inline EditingContext Editing(int row = 0, int column = 0) {
    EditingContext context;
    context.editCopy = std::make_unique<Caption>();
    context.caretRow = row;
    context.caretColumn = column;
    context.typingAttribute = kDefaultAttribute;
    context.needsRefresh = false;
    return context;
}

inline void PutText(Caption& caption, int row, int column, const std::string& text,
                    uint8_t attribute = kDefaultAttribute) {
    for (char ch : text) caption.cells[row][column++] = {static_cast<uint8_t>(ch), attribute};
}

// The row as text: '.' for an empty cell, '#' for an attribute-code cell, else the character.
inline std::string RowText(const Caption& caption, int row) {
    std::string text;
    for (const CaptionCell& cell : caption.cells[row]) {
        if (cell.IsEmpty()) {
            text += '.';
        } else if (cell.character < 0x20 || cell.character == 0x80) {
            text += '#';
        } else {
            text += static_cast<char>(cell.character);
        }
    }
    return text;
}

// A row of 32 cells: `text` from `column` on, dots elsewhere.
inline std::string Row(int column, const std::string& text) {
    std::string row(kScreenColumns, '.');
    row.replace(column, text.size(), text);
    return row;
}

// Everything a refused edit must leave as it was.
struct Snapshot {
    explicit Snapshot(const EditingContext& context)
        : caption(*context.editCopy),
          caretRow(context.caretRow),
          caretColumn(context.caretColumn),
          typingAttribute(context.typingAttribute) {}

    bool operator==(const EditingContext& context) const {
        return caption.SameScreen(*context.editCopy) &&
               caption.loadFrames == context.editCopy->loadFrames && caretRow == context.caretRow &&
               caretColumn == context.caretColumn && typingAttribute == context.typingAttribute;
    }

    Caption caption;
    int caretRow;
    int caretColumn;
    uint8_t typingAttribute;
};

// The screen rendered back from its own code string onto a fresh caption. A full screen's
// string is far below the buffer's size; a string cut short fails the test.
inline Caption RoundTrip(const Caption& caption) {
    static constexpr size_t kCapacity = 8192;
    uint8_t code[kCapacity + 1];
    const size_t length = BuildCodeString(caption, code, kCapacity);
    EXPECT_TRUE(length > 0 && length < kCapacity && code[length - 1] == 0x06);
    Caption back;
    LoadCodeString(back, {code, length});
    return back;
}

// The first cell, row by row, where two screens differ, or "" when they agree.
inline std::string FirstDifference(const Caption& a, const Caption& b) {
    for (int r = 0; r < kGridRows; ++r) {
        for (int c = 0; c < kScreenColumns; ++c) {
            const CaptionCell& x = a.cells[r][c];
            const CaptionCell& y = b.cells[r][c];
            if (!(x == y)) {
                char text[96];
                std::snprintf(text, sizeof text, "row %d col %d: %02X/%02X vs %02X/%02X", r, c,
                              x.character, x.attribute, y.character, y.attribute);
                return text;
            }
        }
    }
    return "";
}

}  // namespace vantrel::editor_test
