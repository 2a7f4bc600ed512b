#include "editor/find_replace.h"

#include <algorithm>
#include <vector>

#include "codec/charset.h"
#include "codec/closest_char.h"
#include "editor/grid_queries.h"

namespace vantrel {

namespace {

bool IsWordChar(uint8_t ch) {
    return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') ||
           (ch >= 0xC0 && ch != 0xD7 && ch != 0xF7);
}

bool IsWordCell(const CaptionCell* cells, int column) {
    return column >= 0 && column < kScreenColumns && IsWordChar(cells[column].character);
}

bool MatchesAt(const Caption& caption, std::string_view pattern, const FindOptions& options,
               int row, int column) {
    if (column + int(pattern.size()) > kScreenColumns) return false;
    const CaptionCell* cells = caption.cells[row];
    for (size_t k = 0; k < pattern.size(); ++k) {
        uint8_t ch = cells[column + k].character;
        uint8_t want = static_cast<uint8_t>(pattern[k]);
        if (ch < 0x20 || ch == 0x80) return false;
        if (!options.matchCase) {
            ch = LowerCaseChar(ch);
            want = LowerCaseChar(want);
        }
        if (ch != want) return false;
    }
    if (!options.wholeWord) return true;
    return !IsWordCell(cells, column - 1) && !IsWordCell(cells, column + int(pattern.size()));
}

std::vector<TextMatch> MatchesIn(Caption& caption, std::string_view pattern,
                                 const FindOptions& options) {
    std::vector<TextMatch> found;
    for (TextMatch m = FindInCaption(caption, pattern, options); m.caption != nullptr;
         m = FindInCaption(caption, pattern, options, m.row, m.column + 1)) {
        found.push_back(m);
    }
    return found;
}

bool Before(const TextMatch& a, const TextMatch& b) {
    return a.row < b.row || (a.row == b.row && a.column < b.column);
}

Caption* LastCaption(const CaptionList& list) {
    return list.Empty() ? nullptr : list.CaptionAtRow(list.Count() - 1);
}

}  // namespace

std::optional<std::string> TypedCaptionText(std::string_view utf8, char32_t* missing) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const char32_t code = NextCodePoint(utf8, i);
        const uint8_t ch = code == kMalformed ? 0 : UnicodeToCaptionChar(code);
        if (ch == 0 || !IsSendableChar(ch)) {
            *missing = code;
            return std::nullopt;
        }
        out += static_cast<char>(ch);
    }
    return out;
}

TextMatch FindInCaption(Caption& caption, std::string_view pattern, const FindOptions& options,
                        int row, int column) {
    if (pattern.empty()) return {};
    for (int r = row; r < kScreenRows; ++r) {
        for (int c = r == row ? column : 0; c < kScreenColumns; ++c) {
            if (MatchesAt(caption, pattern, options, r, c)) {
                return {&caption, r, c, int(pattern.size())};
            }
        }
    }
    return {};
}

TextMatch FindNext(const CaptionList& list, std::string_view pattern, const FindOptions& options,
                   const TextMatch& from, bool forward) {
    Caption* first =
        from.caption != nullptr ? from.caption : (forward ? list.Head() : LastCaption(list));
    if (first == nullptr) return {};
    // The caption of `from` first (past `from`), then the others round the list, then the
    // caption of `from` again, whole.
    Caption* c = first;
    bool back = false;
    while (true) {
        const std::vector<TextMatch> found = MatchesIn(*c, pattern, options);
        const bool past = c == first && from.caption != nullptr && !back;
        if (forward) {
            for (const TextMatch& m : found) {
                if (!past || Before(from, m)) return m;
            }
        } else {
            for (auto m = found.rbegin(); m != found.rend(); ++m) {
                if (!past || Before(*m, from)) return *m;
            }
        }
        c = forward ? c->next : c->prev;
        if (c == nullptr) c = forward ? list.Head() : LastCaption(list);
        if (c == first) {
            if (back || from.caption == nullptr) return {};
            back = true;
        }
    }
}

bool ReplaceMatchCells(TextMatch& match, std::string_view with) {
    Caption& caption = *match.caption;
    CaptionCell* cells = caption.cells[match.row];
    const int start = RunStart(caption, match.row, match.column);
    const int end = RunEnd(caption, match.row, match.column + match.length);
    std::vector<CaptionCell> run(cells + start, cells + match.column);
    const uint8_t attribute = cells[match.column].attribute;
    for (char ch : with) run.push_back({static_cast<uint8_t>(ch), attribute});
    run.insert(run.end(), cells + match.column + match.length, cells + end);
    // The run's room: an empty cell stays between it and the runs beside it.
    int lowest = start;
    while (lowest > 0 && cells[lowest - 1].IsEmpty()) --lowest;
    if (lowest > 0) ++lowest;
    int highest = end;
    while (highest < kScreenColumns && cells[highest].IsEmpty()) ++highest;
    if (highest < kScreenColumns) --highest;
    const int length = int(run.size());
    const int placed = std::min(start, highest - length);
    if (placed < lowest) return false;
    for (int k = start; k < end; ++k) cells[k] = {};
    for (int k = 0; k < length; ++k) cells[placed + k] = run[k];
    caption.loadFrames = -1;
    match.column = placed + (match.column - start);
    match.length = int(with.size());
    return true;
}

bool ReplaceStep(EditHistory& history, TextMatch& match, std::string_view pattern,
                 std::string_view with, const FindOptions& options) {
    if (match.caption == nullptr ||
        !MatchesAt(*match.caption, pattern, options, match.row, match.column)) {
        return false;
    }
    // Tried on a copy first, so that a replacement that does not fit makes no step.
    Caption trial = *match.caption;
    TextMatch tried = match;
    tried.caption = &trial;
    if (!ReplaceMatchCells(tried, with)) return false;
    CaptionChange change(history, kReplaceStep);
    change.Touch(match.caption);
    ReplaceMatchCells(match, with);
    match.caption->ApplyTiming(change.Captions().Gap());
    return change.Commit(match.caption->startFrame, match.caption->startFrame);
}

ReplaceAllResult ReplaceAllStep(EditHistory& history, std::string_view pattern,
                                std::string_view with, const FindOptions& options) {
    ReplaceAllResult result;
    CaptionChange change(history, kReplaceAllStep);
    for (Caption* c = change.Captions().Head(); c != nullptr; c = c->next) {
        bool touched = false;
        for (TextMatch m = FindInCaption(*c, pattern, options); m.caption != nullptr;
             m = FindInCaption(*c, pattern, options, m.row, m.column + m.length)) {
            if (!touched) change.Touch(c);
            touched = true;
            if (!ReplaceMatchCells(m, with)) {
                if (result.unfitting++ == 0) result.firstUnfitting = c;
                continue;
            }
            ++result.replaced;
            if (result.changed.empty() || result.changed.back() != c) result.changed.push_back(c);
        }
        if (!result.changed.empty() && result.changed.back() == c)
            c->ApplyTiming(change.Captions().Gap());
    }
    const int32_t frame = result.changed.empty() ? 0 : result.changed.front()->startFrame;
    change.Commit(frame, frame);
    return result;
}

}  // namespace vantrel
