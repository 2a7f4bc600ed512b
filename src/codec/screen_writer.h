// Writing code-string bytes onto a caption screen one at a time, as a receiver writes into the
// memory it is filling: LoadCodeString renders a whole string with it, and the decoder writes
// every pair's fragment with it into the memory that pair goes to.
#pragma once

#include <cstdint>

#include "model/caption.h"

namespace vantrel {

class ScreenWriter {
  public:
    // A code string's writer takes a tab offset only right after a preamble; a receiver's
    // (the decoder's) anywhere on a row.
    enum class TabOffsets { AfterPreamble, Anywhere };
    explicit ScreenWriter(TabOffsets tabs = TabOffsets::AfterPreamble) : tabs_(tabs) {}

    // Writes one byte (a zero byte is ignored). Once a row byte or a background prefix went
    // without its attribute, the writer is stopped and writes nothing until MoveTo.
    void Put(Caption& caption, uint8_t b);

    // The cursor to a cell, in white, with no pending code (a carriage return, a roll).
    void MoveTo(int row, int col);
    // One column back, clearing that cell (a backspace).
    void Backspace(Caption& caption);

    bool Stopped() const { return state_ == State::Stopped; }
    int Row() const { return row_; }
    int Column() const { return col_; }

  private:
    enum class State {
        Idle,
        AfterRow,
        AfterBackgroundPrefix,
        AfterPreamble,
        AfterPreambleUnderline,
        AfterCode,
        AfterBackground,
        Stopped,
    };
    int row_ = 0;
    int col_ = 0;
    uint8_t attr_ = kDefaultAttribute;
    State state_ = State::Idle;
    TabOffsets tabs_;
};

}  // namespace vantrel
