#include "files/cue_layout.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "codec/codes.h"
#include "model/caption.h"

namespace vantrel {

namespace {

struct Cell {
    uint8_t character;
    uint8_t attribute;
};
using Cells = std::vector<Cell>;

// One cell of a row as the code string sends it: a character, or an attribute code that a
// receiver shows as a space.
struct Token {
    uint8_t byte;
    bool code;
    bool underline;
};

// Where RowTokens puts its tokens: a list, or a count when only the width is wanted.
class TokenList {
  public:
    bool BackIsCode() const { return !tokens.empty() && tokens.back().code; }
    bool BackIsSpace() const {
        return !tokens.empty() && !tokens.back().code && tokens.back().byte == ' ';
    }
    size_t Size() const { return tokens.size(); }
    void Push(Token t) { tokens.push_back(t); }
    void Pop() { tokens.pop_back(); }
    std::vector<Token> tokens;
};

class TokenCount {
  public:
    bool BackIsCode() const { return trailingCodes_ > 0; }
    bool BackIsSpace() const { return trailingCodes_ == 0 && lastSpace_; }
    size_t Size() const { return n_; }
    void Push(Token t) {
        ++n_;
        if (t.code) {
            ++trailingCodes_;
        } else {
            trailingCodes_ = 0;
            lastSpace_ = t.byte == ' ';
        }
    }
    void Pop() {
        --n_;
        if (trailingCodes_ > 0) {
            --trailingCodes_;
        } else {
            lastSpace_ = false;  // codes follow at once
        }
    }

  private:
    size_t n_ = 0;
    int trailingCodes_ = 0;
    bool lastSpace_ = false;
};

template <typename Tokens>
void AppendCodes(uint8_t from, uint8_t to, Tokens& out) {
    const bool intoItalics = IsItalic(to) && !IsItalic(from);
    // A colour code clears italics and sets underline; an italics code keeps the colour.
    const bool colour = Foreground(to) != Foreground(from) || (IsItalic(from) && !IsItalic(to)) ||
                        (IsUnderlined(to) != IsUnderlined(from) && !intoItalics);
    if (colour) {
        out.Push({ColourByte(Foreground(to)), true, IsUnderlined(to)});
    }
    if (IsItalic(to) && (colour || intoItalics)) out.Push({kItalics, true, IsUnderlined(to)});
}

// The cells of a row from the preamble on (white, plain). A code takes the place of a space
// beside it, since it shows as one; codes that would follow codes replace them instead, as a
// receiver ignores a colour code right after another code.
template <typename Tokens>
void RowTokens(const Cells& row, Tokens& out) {
    uint8_t attribute = kDefaultAttribute;
    uint8_t beforeCodes = attribute;
    bool codesReplaceSpace = false;
    for (const Cell& c : row) {
        if (c.attribute != attribute) {
            bool replacesSpace = false;
            if (out.BackIsCode()) {
                while (out.BackIsCode()) out.Pop();
                attribute = beforeCodes;
                replacesSpace = codesReplaceSpace;
            } else if (out.BackIsSpace()) {
                out.Pop();
                replacesSpace = true;
            } else if (c.character == ' ') {
                replacesSpace = true;
            }
            beforeCodes = attribute;
            const size_t before = out.Size();
            AppendCodes(attribute, c.attribute, out);
            attribute = c.attribute;
            codesReplaceSpace = replacesSpace;
            if (out.Size() == before && replacesSpace) out.Push({' ', false, false});
            if (c.character == ' ' && replacesSpace) continue;
        }
        out.Push({c.character, false, false});
    }
}

size_t Width(const Cells& row) {
    TokenCount count;
    RowTokens(row, count);
    return count.Size();
}

struct Word {
    Cell space;  // the space before it, with the attribute it had in the cue
    Cells cells;
};

bool IsPunctuation(uint8_t c) {
    return c > ' ' && c < 0x80 && !std::isalnum(c);
}

// A style that begins or ends inside a word at punctuation ("<i>word</i>," or "(<i>word")
// would cost a cell there that shows as a space; the punctuation takes the word's style
// instead, so the change falls on the space beside it, where the code replaces the space.
std::vector<uint8_t> ChangesAtSpaces(const StyledLine& line) {
    const std::string& c = line.characters;
    std::vector<uint8_t> a = line.attributes;
    const size_t n = c.size();
    for (size_t i = 1; i < n; ++i) {
        if (a[i] == a[i - 1] || c[i] == ' ' || c[i - 1] == ' ') continue;
        size_t j = i;
        while (j < n && a[j] == a[i] && IsPunctuation(c[j])) ++j;
        if (j == n || c[j] == ' ') {
            std::fill(a.begin() + i, a.begin() + j, a[i - 1]);
            continue;
        }
        size_t k = i;
        while (k > 0 && a[k - 1] == a[i - 1] && IsPunctuation(c[k - 1])) --k;
        if (k == 0 || c[k - 1] == ' ') std::fill(a.begin() + k, a.begin() + i, a[i]);
    }
    return a;
}

// A line's words, spaces collapsed; words wider than the screen are cut to fit.
std::vector<Word> WordsOf(const StyledLine& line) {
    const std::vector<uint8_t> attributes = ChangesAtSpaces(line);
    std::vector<Word> words;
    Cell space{' ', kDefaultAttribute};
    Cells word;
    // A long word is cut front to back in screen-wide pieces: linear in its length.
    auto finish = [&] {
        for (size_t from = 0; from < word.size();) {
            const auto begin = word.begin() + static_cast<std::ptrdiff_t>(from);
            Cells piece(begin, begin + static_cast<std::ptrdiff_t>(
                                           std::min<size_t>(word.size() - from, kScreenColumns)));
            while (Width(piece) > kScreenColumns) piece.pop_back();
            from += piece.size();
            words.push_back({space, std::move(piece)});
        }
        word.clear();
    };
    for (size_t k = 0; k < line.characters.size(); ++k) {
        const Cell c{static_cast<uint8_t>(line.characters[k]), attributes[k]};
        if (c.character == ' ') {
            if (!word.empty()) {
                finish();
                space = c;
            } else if (words.empty()) {
                space = c;
            }
        } else {
            word.push_back(c);
        }
    }
    finish();
    return words;
}

Cells Join(const std::vector<Word>& words) {
    Cells row;
    for (const Word& w : words) {
        if (!row.empty()) row.push_back(w.space);
        row.insert(row.end(), w.cells.begin(), w.cells.end());
    }
    return row;
}

// Greedy wrap at `width` columns (every word fits, being cut to the screen); the rows go to
// `rows` when given. Returns their number.
size_t Wrap(const std::vector<Word>& words, size_t width, std::vector<Cells>* rows = nullptr) {
    size_t count = 0;
    Cells row;
    for (const Word& w : words) {
        const size_t mark = row.size();
        if (!row.empty()) row.push_back(w.space);
        row.insert(row.end(), w.cells.begin(), w.cells.end());
        if (mark > 0 && Width(row) > width) {
            row.resize(mark);
            if (rows) rows->push_back(row);
            ++count;
            row = w.cells;
        }
    }
    if (rows) rows->push_back(row);
    return count + 1;
}

// As few rows as greedy wrapping at 32 columns gives, with lines as even as they can be.
std::vector<Cells> WrapBalanced(const std::vector<Word>& words) {
    size_t low = 1;
    for (const Word& w : words) low = std::max(low, Width(w.cells));
    const size_t rows = Wrap(words, kScreenColumns);
    size_t high = kScreenColumns;
    while (low < high) {
        const size_t mid = (low + high) / 2;
        if (Wrap(words, mid) <= rows) {
            high = mid;
        } else {
            low = mid + 1;
        }
    }
    std::vector<Cells> out;
    Wrap(words, high, &out);
    return out;
}

bool StartsNewSpeaker(const Word& first) {
    const uint8_t c = first.cells.front().character;
    return c == '-' || c == 0x97 ||
           (c == '>' && first.cells.size() > 1 && first.cells[1].character == '>');
}

std::vector<Cells> RowsOf(const std::vector<StyledLine>& lines) {
    std::vector<std::vector<Word>> lineWords;
    bool fits = true;
    for (const StyledLine& line : lines) {
        std::vector<Word> words = WordsOf(line);
        if (words.empty()) continue;
        fits = fits && Width(Join(words)) <= kScreenColumns;
        lineWords.push_back(std::move(words));
    }
    std::vector<Cells> rows;
    if (fits) {
        for (const auto& words : lineWords) rows.push_back(Join(words));
        return rows;
    }
    // Rewrap, keeping a break before each new speaker's line.
    std::vector<Word> paragraph;
    auto flush = [&] {
        for (Cells& row : WrapBalanced(paragraph)) rows.push_back(std::move(row));
        paragraph.clear();
    };
    for (const auto& words : lineWords) {
        if (!paragraph.empty() && StartsNewSpeaker(words.front())) flush();
        paragraph.insert(paragraph.end(), words.begin(), words.end());
    }
    if (!paragraph.empty()) flush();
    return rows;
}

// Appends a row's preamble (its row, and the indent and tab offset to its column) and cells.
void AppendRow(CueScreen& screen, size_t row, size_t column, const std::vector<Token>& tokens) {
    CodeString& code = screen.code;
    code.push_back(RowByte(static_cast<int>(row)));
    code.push_back(IndentByte(static_cast<int>(column) / kIndentStep));
    if (column % kIndentStep != 0) code.push_back(TabOffsetByte(column % kIndentStep));
    for (const Token& t : tokens) {
        code.push_back(t.byte);
        if (t.code && t.underline) code.push_back(kUnderline);
        if (!t.code && t.byte != ' ') ++screen.textLength;
    }
}

CueScreen ScreenOf(const std::vector<Cells>& rows, size_t first, size_t count, bool top) {
    CueScreen screen;
    screen.code = {kRcl, kEnm};
    const size_t firstRow = top ? 0 : kScreenRows - count;
    for (size_t r = 0; r < count; ++r) {
        TokenList list;
        RowTokens(rows[first + r], list);
        const size_t width = std::min<size_t>(list.tokens.size(), kScreenColumns);
        AppendRow(screen, firstRow + r, (kScreenColumns - width) / 2, list.tokens);
    }
    screen.code.push_back(kEoc);
    return screen;
}

// The screen of lines that all have a place, or nothing when one is wider than the screen.
std::optional<CueScreen> PlacedScreen(const std::vector<StyledLine>& lines) {
    CueScreen screen;
    screen.code = {kRcl, kEnm};
    bool taken[kScreenRows] = {};
    std::vector<const StyledLine*> byRow;
    for (const StyledLine& line : lines) byRow.push_back(&line);
    std::stable_sort(byRow.begin(), byRow.end(),
                     [](const StyledLine* a, const StyledLine* b) { return a->row < b->row; });
    for (const StyledLine* line : byRow) {
        Cells cells;
        const std::vector<uint8_t> attributes = ChangesAtSpaces(*line);
        for (size_t k = 0; k < line->characters.size(); ++k)
            cells.push_back({static_cast<uint8_t>(line->characters[k]), attributes[k]});
        while (!cells.empty() && cells.back().character == ' ') cells.pop_back();
        if (cells.empty()) continue;
        TokenList list;
        RowTokens(cells, list);
        if (list.tokens.size() > kScreenColumns) return std::nullopt;
        int row = std::clamp(line->row, 0, kScreenRows - 1);
        while (row < kScreenRows && taken[row]) ++row;
        while (row >= kScreenRows || (row >= 0 && taken[row])) --row;
        if (row < 0) break;  // fifteen rows hold the lines already
        taken[row] = true;
        const size_t column = std::min<size_t>(static_cast<size_t>(std::max(line->column, 0)),
                                               kScreenColumns - list.tokens.size());
        AppendRow(screen, static_cast<size_t>(row), column, list.tokens);
    }
    screen.code.push_back(kEoc);
    return screen;
}

}  // namespace

std::vector<CueScreen> LayOutCue(const std::vector<StyledLine>& lines, bool top) {
    std::vector<CueScreen> screens;
    const bool placed = !lines.empty() &&
                        std::all_of(lines.begin(), lines.end(), [](auto& l) { return l.row >= 0; });
    if (placed) {
        if (std::optional<CueScreen> screen = PlacedScreen(lines)) {
            if (screen->textLength > 0) screens.push_back(std::move(*screen));
            return screens;
        }
    }
    const std::vector<Cells> rows = RowsOf(lines);
    if (rows.empty()) return screens;
    // Rows shared out evenly over as few screens as hold them.
    const size_t count = (rows.size() + kMaxCueRows - 1) / kMaxCueRows;
    size_t first = 0;
    for (size_t k = 0; k < count; ++k) {
        const size_t take = rows.size() / count + (k < rows.size() % count ? 1 : 0);
        screens.push_back(ScreenOf(rows, first, take, top));
        first += take;
    }
    return screens;
}

}  // namespace vantrel
