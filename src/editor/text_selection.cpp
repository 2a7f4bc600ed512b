#include "editor/text_selection.h"

#include <utility>

#include "editor/cell_classes.h"
#include "editor/grid_queries.h"
#include "editor/run_relayout.h"

namespace vantrel {

namespace {

constexpr uint8_t kSpace = 0x20;

struct Run {
    int start;
    int end;
};

// The runs of a row that have a cell in columns [from, to).
std::vector<Run> RunsWithin(const CaptionCell* cells, int from, int to) {
    std::vector<Run> runs;
    int c = 0;
    while (c < kScreenColumns) {
        if (cells[c].IsEmpty()) {
            ++c;
            continue;
        }
        const int start = c;
        while (c < kScreenColumns && !cells[c].IsEmpty()) ++c;
        if (start < to && c > from) runs.push_back({start, c});
    }
    return runs;
}

bool Selected(const SelectionRange& range, int row, const RunEntry& entry) {
    return entry.column >= 0 && range.Contains(row, entry.column);
}

// Lays a restyled run's entries out again, its first character kept in place: a run
// that needs fewer codes in front now moves right by as many cells, where its codes stay the
// same there.
bool Relay(CaptionCell* cells, Run run, const std::vector<RunEntry>& entries) {
    const int keepColumn = entries.front().column;
    LaidRun laid = LayOutRun(entries, run.start);
    int laidFor = run.start;
    const int wanted = keepColumn - laid.offsets.front();
    if (wanted > run.start) {
        LaidRun there = LayOutRun(entries, wanted);
        if (there.offsets.front() == laid.offsets.front()) {
            laid = std::move(there);
            laidFor = wanted;
        }
    }
    return PlaceRun(cells, run.start, run.end, laid, laidFor, 0, keepColumn) >= 0;
}

std::vector<RunEntry> Entries(const std::vector<CaptionCell>& cells) {
    std::vector<RunEntry> entries;
    for (const CaptionCell& cell : cells) entries.push_back({cell, -1});
    return entries;
}

}  // namespace

int SelectionRange::From(int row) const {
    if (row < first.row || row > last.row) return 0;
    return row == first.row ? first.column : 0;
}

int SelectionRange::To(int row) const {
    if (row < first.row || row > last.row) return 0;
    return row == last.row ? last.column : kScreenColumns;
}

bool SelectionRange::Contains(int row, int column) const {
    return column >= From(row) && column < To(row);
}

std::optional<SelectionRange> RangeBetween(ScreenPoint anchor, ScreenPoint caret) {
    if (anchor == caret) return std::nullopt;
    if (caret < anchor) std::swap(anchor, caret);
    return SelectionRange{anchor, caret};
}

ClipText CopyRange(const Caption& caption, const SelectionRange& range) {
    ClipText text;
    for (int row = range.first.row; row <= range.last.row && IsEditableRow(row); ++row) {
        const CaptionCell* cells = caption.cells[row];
        std::vector<CaptionCell> line;
        for (const Run run : RunsWithin(cells, range.From(row), range.To(row))) {
            bool opened = false;
            for (const RunEntry& entry : ReadRun(cells, run.start, run.end)) {
                if (!Selected(range, row, entry)) continue;
                if (!opened && !line.empty()) line.push_back({kSpace, line.back().attribute});
                opened = true;
                line.push_back(entry.cell);
            }
        }
        if (!line.empty()) text.rows.push_back(std::move(line));
    }
    return text;
}

bool RestyleRange(Caption& caption, const SelectionRange& range, uint8_t keep, uint8_t set) {
    Caption result = caption;
    bool changed = false;
    for (int row = range.first.row; row <= range.last.row && IsEditableRow(row); ++row) {
        CaptionCell* cells = result.cells[row];
        for (const Run run : RunsWithin(cells, range.From(row), range.To(row))) {
            std::vector<RunEntry> entries = ReadRun(cells, run.start, run.end);
            bool restyled = false;
            for (RunEntry& entry : entries) {
                if (!Selected(range, row, entry)) continue;
                entry.cell.attribute = static_cast<uint8_t>((entry.cell.attribute & keep) | set);
                restyled = true;
            }
            if (!restyled) continue;
            if (!Relay(cells, run, entries)) return false;
            changed = true;
        }
    }
    if (changed) {
        result.loadFrames = -1;
        caption.TakeContent(result);
    }
    return true;
}

bool AllSelectedHave(const Caption& caption, const SelectionRange& range, uint8_t bit) {
    bool any = false;
    for (int row = range.first.row; row <= range.last.row && IsEditableRow(row); ++row) {
        for (int c = range.From(row); c < range.To(row); ++c) {
            const CaptionCell& cell = caption.cells[row][c];
            if (!IsCharacterCell(cell) || cell.character == kSpace) continue;
            if ((cell.attribute & bit) == 0) return false;
            any = true;
        }
    }
    return any;
}

void DeleteRange(Caption& caption, const SelectionRange& range) {
    for (int row = range.first.row; row <= range.last.row && IsEditableRow(row); ++row) {
        CaptionCell* cells = caption.cells[row];
        for (const Run run : RunsWithin(cells, range.From(row), range.To(row))) {
            std::vector<RunEntry> kept;
            for (const RunEntry& entry : ReadRun(cells, run.start, run.end)) {
                if (!Selected(range, row, entry)) kept.push_back(entry);
            }
            // The run keeps its start. Fewer characters never need more cells; were it so, the
            // run would stay as it was.
            PlaceRun(cells, run.start, run.end, LayOutRun(kept, run.start), run.start, -1, 0);
        }
    }
    caption.loadFrames = -1;
}

std::optional<ScreenPoint> PasteText(Caption& caption, ScreenPoint at, const ClipText& text) {
    if (text.Empty() || !IsEditableRow(at.row) || at.column < 0 || at.column > kScreenColumns) {
        return std::nullopt;
    }
    for (const std::vector<CaptionCell>& row : text.rows) {
        if (row.empty()) return std::nullopt;
    }
    Caption result = caption;
    CaptionCell* cells = result.cells[at.row];
    const Run run{RunStart(result, at.row, at.column), RunEnd(result, at.row, at.column)};
    const std::vector<RunEntry> old = ReadRun(cells, run.start, run.end);
    size_t split = 0;
    while (split < old.size() && old[split].column < at.column) ++split;
    const std::vector<RunEntry> after(old.begin() + long(split), old.end());

    std::vector<RunEntry> first(old.begin(), old.begin() + long(split));
    const std::vector<RunEntry> pasted = Entries(text.rows.front());
    first.insert(first.end(), pasted.begin(), pasted.end());
    const size_t caretEntry = first.size() - 1;
    const bool oneRow = text.rows.size() == 1;
    if (oneRow) first.insert(first.end(), after.begin(), after.end());
    const LaidRun laid = LayOutRun(first, run.start);
    // Text pasted where no run stands begins at the caret.
    const int start =
        PlaceRun(cells, run.start, run.end, laid, run.start, old.empty() ? 0 : -1, at.column);
    if (start < 0) return std::nullopt;
    ScreenPoint caret{at.row, start + laid.offsets[caretEntry] + 1};

    for (size_t k = 1; k < text.rows.size(); ++k) {
        const int row = at.row + int(k);
        std::vector<RunEntry> entries = Entries(text.rows[k]);
        const size_t last = entries.size() - 1;
        if (k + 1 == text.rows.size()) entries.insert(entries.end(), after.begin(), after.end());
        const LaidRun line = LayOutRun(entries, start);
        if (!HasRoom(result, row, start, int(line.cells.size()))) return std::nullopt;
        std::copy(line.cells.begin(), line.cells.end(), result.cells[row] + start);
        caret = {row, start + line.offsets[last] + 1};
    }
    result.loadFrames = -1;
    caption.TakeContent(result);
    return caret;
}

}  // namespace vantrel
