#include "model/caption.h"

#include <cstring>
#include <string_view>

namespace vantrel {

namespace {

// The screen as a person reads it off a receiver: a mid-row code takes its cell and shows as
// a space, so a run of spaces, code cells and empty cells between two characters of a row is
// one space; rows begin and end with a character and are joined by `rowSeparator`. 0x80 is a
// stray code that shows nothing. The text stops where it reaches `capacity` bytes.
size_t GetText(const Caption& caption, char* buffer, bool lowerCase, size_t capacity,
               std::string_view rowSeparator) {
    size_t n = 0;
    // Writes what fits; false once the buffer is full.
    auto put = [&](std::string_view text) {
        for (char ch : text) {
            if (n >= capacity) return false;
            buffer[n++] = ch;
        }
        return n < capacity;
    };
    for (int r = 0; r < kScreenRows; ++r) {
        bool begun = false;  // the row has shown a character
        bool blank = false;  // and a blank cell came after it
        for (const CaptionCell& cell : caption.cells[r]) {
            const uint8_t ch = cell.character;
            if (ch == 0x80) continue;
            if (ch <= 0x20) {
                blank = begun;
                continue;
            }
            const std::string_view before =
                begun ? (blank ? " " : "") : (n > 0 ? rowSeparator : "");
            const char shown = static_cast<char>(lowerCase ? LowerCaseChar(ch) : ch);
            if (!put(before) || !put({&shown, 1})) goto finish;
            begun = true;
            blank = false;
        }
    }
finish:
    buffer[n] = 0;
    return n;
}

}  // namespace

uint8_t LowerCaseChar(uint8_t ch) {
    if (ch >= 'A' && ch <= 'Z') return ch + 0x20;
    if (ch >= 0xC0 && ch <= 0xDC && ch != 0xC6 && ch != 0xD0 && ch != 0xD7) return ch + 0x20;
    return ch;
}

int Caption::CountOccupiedRows() const {
    int count = 0;
    for (int r = 0; r < kScreenRows; ++r) {
        for (const CaptionCell& cell : cells[r]) {
            if (!cell.IsEmpty()) {
                ++count;
                break;
            }
        }
    }
    return count;
}

size_t Caption::GetLinesText(char* buffer, bool lowerCase, size_t capacity) const {
    return GetText(*this, buffer, lowerCase, capacity, "\r\n");
}

size_t Caption::GetRunningText(char* buffer, bool lowerCase, size_t capacity) const {
    return GetText(*this, buffer, lowerCase, capacity, " ");
}

bool Caption::SameScreen(const Caption& other) const {
    return std::memcmp(cells, other.cells, sizeof cells) == 0;
}

void Caption::TakeContent(const Caption& other) {
    Caption* const p = prev;
    Caption* const n = next;
    *this = other;
    prev = p;
    next = n;
}

bool Caption::SameContent(const Caption& other) const {
    return startFrame == other.startFrame && endFrame == other.endFrame &&
           timingMode == other.timingMode && screenValid == other.screenValid &&
           unplaced == other.unplaced && SameScreen(other);
}

void Caption::ClearScreen() {
    std::memset(cells, 0, sizeof cells);
    loadFrames = -1;
}

}  // namespace vantrel
