#include "model/caption.h"

#include <cstring>

namespace vantrel {

namespace {
bool IsTextCharacter(uint8_t ch) {
    return ch > 0x20 && ch != 0x80 && ch != 0x90;
}
}  // namespace

const char* TimingModeText(int mode) {
    switch (mode) {
        case Normal:
            return "Normal (Up to 2 seconds per occupied line)";
        case Persistent:
            return "Persistent (One blank frame before next caption)";
        case Seamless:
            return "Seamless (No blank frames before next caption)";
        case Manual:
            return "Manual (Adjust caption time in timeline)";
        default:
            return "";
    }
}

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
    size_t n = 0;
    for (int r = 0; r < kScreenRows && n < capacity; ++r) {
        bool begun = false;
        for (int c = 0; c < kScreenColumns; ++c) {
            if (n >= capacity) break;
            const uint8_t ch = cells[r][c].character;
            if (IsTextCharacter(ch)) {
                if (!begun && n > 0) {
                    buffer[n++] = '\r';
                    if (n >= capacity) break;
                    buffer[n++] = '\n';
                    if (n >= capacity) break;
                }
                begun = true;
                buffer[n++] = static_cast<char>(lowerCase ? LowerCaseChar(ch) : ch);
            } else if (ch == 0x20) {
                buffer[n++] = ' ';
                begun = true;
            }
        }
    }
    buffer[n] = 0;
    return n;
}

size_t Caption::GetRunningText(char* buffer, bool lowerCase, size_t capacity) const {
    size_t n = 0;
    bool lastVisible = false;
    bool pendingSpace = false;
    for (int r = 0; r < kScreenRows; ++r) {
        for (int c = 0; c < kScreenColumns; ++c) {
            if (n >= capacity) goto finish;
            const uint8_t ch = cells[r][c].character;
            if (ch < 0x20 || ch == 0x80 || ch == 0x90) continue;
            if (ch == 0x20) {
                buffer[n++] = ' ';
                lastVisible = false;
                continue;
            }
            lastVisible = true;
            if (pendingSpace) {
                buffer[n++] = ' ';
                pendingSpace = false;
                if (n >= capacity) goto finish;
            }
            buffer[n++] = static_cast<char>(lowerCase ? LowerCaseChar(ch) : ch);
        }
        if (n >= capacity) break;
        if (lastVisible) pendingSpace = true;
    }
finish:
    buffer[n] = 0;
    return n;
}

bool Caption::SameScreen(const Caption& other) const {
    return std::memcmp(cells, other.cells, sizeof cells) == 0;
}

void Caption::ClearScreen() {
    std::memset(cells, 0, sizeof cells);
    loadFrames = -1;
}

}  // namespace vantrel
