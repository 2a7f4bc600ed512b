// Shared helpers of the editor tests: a counting view, an editing context on a fresh caption
// and the code-string round trip.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "codec/code_string.h"
#include "editor/editing_context.h"
#include "editor/editor_view.h"
#include "model/caption.h"
#include "support/screen_text.h"

namespace vantrel::editor_test {

class CountingView : public EditorView {
  public:
    void Beep() override { ++beeps; }
    void PlaceCaret(int row, int column, uint8_t) override { Caret(row, column); }
    void MoveCaret(int row, int column) override { Caret(row, column); }
    void ShowCaption() override { ++shows; }

    int Calls() const { return beeps + carets + shows; }

    int beeps = 0;
    int carets = 0;
    int shows = 0;
    int caretRow = -1;
    int caretColumn = -1;

  private:
    void Caret(int row, int column) {
        ++carets;
        caretRow = row;
        caretColumn = column;
    }
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

using testing::FirstDifference;
using testing::MakeCaption;
using testing::Put;
using testing::PutText;
using testing::Screen;

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

// The screen rendered back from its own code string onto a fresh caption.
inline Caption RoundTrip(const Caption& caption) {
    Caption back;
    LoadCodeString(back, BuildCodeString(caption));
    return back;
}

}  // namespace vantrel::editor_test
