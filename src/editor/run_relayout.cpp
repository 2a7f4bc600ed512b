#include "editor/run_relayout.h"

#include <algorithm>

#include "editor/attribute_codes.h"
#include "editor/cell_classes.h"

namespace vantrel {

namespace {

constexpr uint8_t kSpace = 0x20;

}  // namespace

std::vector<RunEntry> ReadRun(const CaptionCell* row, int start, int end) {
    std::vector<RunEntry> entries;
    int pendingCodes = 0;  // code cells since the last character
    int codeColumn = -1;
    for (int c = start; c < end; ++c) {
        if (IsAttributeCodeCell(row[c])) {
            if (pendingCodes++ == 0) codeColumn = c;
            continue;
        }
        if (!IsCharacterCell(row[c])) continue;
        if (!entries.empty()) {
            for (int k = 0; k < pendingCodes; ++k) {
                entries.push_back({{kSpace, entries.back().cell.attribute}, codeColumn + k, true});
            }
        }
        pendingCodes = 0;
        entries.push_back({row[c], c});
    }
    return entries;
}

LaidRun LayOutRun(const std::vector<RunEntry>& entries, int column) {
    LaidRun laid;
    uint8_t previous = kDefaultAttribute;
    int spaces = 0;  // spaces at the end of `cells` that no code led into
    for (size_t i = 0; i < entries.size(); ++i) {
        CaptionCell cell = entries[i].cell;
        if (entries[i].blank && i > 0) cell.attribute = previous;
        const CodeCells codes = i == 0 ? RunStartCodes(column, cell.attribute)
                                       : TransitionCodes(previous, cell.attribute);
        const bool isSpace = cell.character == kSpace;
        // Codes always lead straight into a character: a space shows as its codes only when a
        // character that needs none follows it, and a space stays between a code and the next
        // codes, and at the run's start.
        bool shownByCodes = false;
        if (isSpace && i + 1 < entries.size()) {
            const RunEntry& next = entries[i + 1];
            const uint8_t after = next.blank ? cell.attribute : next.cell.attribute;
            shownByCodes = TransitionCodes(cell.attribute, after).count == 0;
        }
        if (codes.count == 0) {
            laid.cells.push_back(cell);
            spaces = isSpace ? spaces + 1 : 0;
        } else {
            const int beforeSpaces = int(laid.cells.size()) - spaces - 1;
            const bool afterCharacter =
                beforeSpaces >= 0 && !IsAttributeCodeCell(laid.cells[size_t(beforeSpaces)]);
            const int free = afterCharacter ? spaces : std::max(spaces - 1, 0);
            // The spaces before give their cells to the codes, then the space itself.
            const int reused = std::min(codes.count - (shownByCodes ? 1 : 0), free);
            laid.cells.resize(laid.cells.size() - size_t(std::max(reused, 0)));
            for (int k = 0; k < codes.count; ++k) laid.cells.push_back(codes.cells[k]);
            if (!shownByCodes) laid.cells.push_back(cell);
            spaces = 0;
        }
        previous = cell.attribute;
        laid.offsets.push_back(int(laid.cells.size()) - 1);
    }
    return laid;
}

int PlaceRun(CaptionCell* row, int start, int end, const LaidRun& laid, int laidFor, int keep,
             int keepColumn) {
    int left = 0;  // the first column the run may take
    for (int c = start - 1; c >= 0; --c) {
        if (!row[c].IsEmpty()) {
            left = c + 2;
            break;
        }
    }
    int right = kScreenColumns;  // one past the last column it may take
    for (int c = end; c < kScreenColumns; ++c) {
        if (!row[c].IsEmpty()) {
            right = c - 1;
            break;
        }
    }
    int at = laidFor;
    if (keep >= 0 && keep < int(laid.offsets.size())) {
        at = std::clamp(keepColumn - laid.offsets[size_t(keep)], std::min(left, laidFor), laidFor);
    }
    if (at < std::min(left, start)) return -1;
    if (at + int(laid.cells.size()) > right) return -1;
    std::fill(row + start, row + end, CaptionCell{});
    std::copy(laid.cells.begin(), laid.cells.end(), row + at);
    return at;
}

}  // namespace vantrel
