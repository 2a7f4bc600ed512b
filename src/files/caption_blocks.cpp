#include "files/caption_blocks.h"

#include <algorithm>

#include "codec/charset.h"

namespace vantrel {

namespace {

// The row's runs from its first to its last shown cell; no row for an empty one.
bool RowOf(const Caption& caption, int r, BlockRow& out) {
    const CaptionCell* cells = caption.cells[r];
    int first = 0, last = kScreenColumns - 1;
    while (first < kScreenColumns && cells[first].IsEmpty()) ++first;
    while (last >= first && cells[last].IsEmpty()) --last;
    if (first > last) return false;
    out = BlockRow{r, first, last - first + 1, {}};
    for (int c = first; c <= last; ++c) {
        const CaptionCell& cell = cells[c];
        const bool shown = !cell.IsEmpty();
        // An attribute code's cell is a plain space: the style it starts begins after it.
        const bool code = cell.character < 0x20;
        const uint8_t attribute = shown && !code ? cell.attribute : kDefaultAttribute;
        if (out.runs.empty() || out.runs.back().shown != shown ||
            out.runs.back().attribute != attribute) {
            out.runs.push_back({attribute, shown, {}});
        }
        const char character = static_cast<char>(cell.character < 0x20 ? ' ' : cell.character);
        out.runs.back().utf8 += CaptionTextToUtf8(std::string_view(&character, 1));
    }
    return true;
}

}  // namespace

std::vector<CaptionBlock> CaptionBlocks(const Caption& caption) {
    std::vector<CaptionBlock> blocks;
    int previous = -2;
    for (int r = 0; r < kScreenRows; ++r) {
        BlockRow row;
        if (!RowOf(caption, r, row)) continue;
        if (previous != r - 1) blocks.push_back({r, row.column, 0, true, {}});
        previous = r;
        blocks.back().rows.push_back(std::move(row));
    }
    for (CaptionBlock& b : blocks) {
        int right = 0;
        b.column = kScreenColumns;
        for (const BlockRow& row : b.rows) {
            b.column = std::min(b.column, row.column);
            right = std::max(right, row.column + row.width);
            b.centred = b.centred && row.column == (kScreenColumns - row.width) / 2;
        }
        b.width = right - b.column;
    }
    return blocks;
}

std::string MarkedUp(const TextRun& run, Markup markup) {
    const int colour = Foreground(run.attribute);
    std::string open, close;
    if (run.shown && colour != 0) {
        const std::string name = kWebColourNames[colour];
        open = markup == Markup::WebVtt ? "<c." + name + ">" : "<font color=\"" + name + "\">";
        close = markup == Markup::WebVtt ? "</c>" : "</font>";
    }
    if (run.shown && IsItalic(run.attribute)) {
        open += "<i>";
        close = "</i>" + close;
    }
    if (run.shown && IsUnderlined(run.attribute)) {
        open += "<u>";
        close = "</u>" + close;
    }
    std::string text;
    for (char c : run.utf8) {
        if (markup == Markup::WebVtt && c == '&') {
            text += "&amp;";
        } else if (markup == Markup::WebVtt && c == '<') {
            text += "&lt;";
        } else if (markup == Markup::WebVtt && c == '>') {
            text += "&gt;";
        } else {
            text += c;
        }
    }
    return open + text + close;
}

}  // namespace vantrel
