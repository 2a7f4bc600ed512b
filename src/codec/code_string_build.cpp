// Producing the code string of a caption screen.
#include <algorithm>

#include "codec/code_string.h"
#include "codec/codes.h"

namespace vantrel {

namespace {

// Appends bytes up to a capacity; once full, every further write is dropped.
class CappedWriter {
  public:
    CappedWriter(CodeString& out, size_t capacity) : out_(out), capacity_(capacity) {}
    bool Full() const { return out_.size() >= capacity_; }
    void Put(uint8_t b) {
        if (!Full()) out_.push_back(b);
    }

  private:
    CodeString& out_;
    size_t capacity_;
};

// Enough for two full rows with a few attribute changes, the usual caption; longer ones grow.
constexpr size_t kUsualCodeBytes = 96;

constexpr uint8_t kColourBits = 0x3F;  // foreground and background

// Writes the codes that change the tracked attribute `m` into the cell attribute `x`.
void WriteAttributeChange(CappedWriter& out, uint8_t& m, uint8_t x) {
    bool force = IsItalic(m) && !IsItalic(x);
    if ((m ^ x) & kUnderlineBit) {
        if (IsItalic(m) && IsItalic(x)) {
            m &= static_cast<uint8_t>(~kItalicsBit);  // resend the italics code with its underline
        } else if (!IsItalic(x)) {
            force = true;
        }
        // Plain to italic: the italics code below carries the underline, so no colour code is
        // forced; the screen keeps the single code cell the editor gave it.
    }
    if (Foreground(m) != Foreground(x) || force) {
        out.Put(ColourByte(Foreground(x)));
        m = static_cast<uint8_t>((m & 0x38) | Foreground(x));
        if (IsUnderlined(x) && !IsItalic(x)) {
            out.Put(kUnderline);
            m |= kUnderlineBit;
        }
    }
    if ((m ^ x) & kItalicsBit) {
        out.Put(kItalics);
        m = static_cast<uint8_t>((m & 0x3F) | kItalicsBit);
        if (IsUnderlined(x)) {
            out.Put(kUnderline);
            m |= kUnderlineBit;
        }
    }
    if ((m ^ x) & kColourBits) {
        out.Put(kBackground);
        out.Put(ColourByte(Background(x)));
        m = static_cast<uint8_t>((m & ~0x38) | (x & 0x38));
    }
}

// The cell after an attribute-code cell calls for codes: it shows another attribute.
bool ChangesAfter(const CaptionCell* cells, int col, uint8_t m) {
    return col + 1 < kScreenColumns && !cells[col + 1].IsEmpty() && cells[col + 1].attribute != m;
}

// A mid-row code that repeats the attributes in force (white after white) still takes its cell
// on the screen, so it is written as such a code; it leaves the attributes as they are.
void WriteRepeatedCode(CappedWriter& out, uint8_t m) {
    out.Put(IsItalic(m) ? uint8_t{kItalics} : ColourByte(Foreground(m)));
    if (IsUnderlined(m)) out.Put(kUnderline);
}

// The attributes a preamble for a run at `col` whose first cell has attribute `a` sets.
uint8_t PreambleAttribute(int col, uint8_t a) {
    uint8_t m = kDefaultAttribute;
    if (col < kIndentStep && Foreground(a) != 0) {
        m = static_cast<uint8_t>(kDefaultAttribute | Foreground(a));
    } else if (col < kIndentStep && IsItalic(a)) {
        m = kWhiteItalicsAttribute;
    }
    return IsUnderlined(a) ? static_cast<uint8_t>(m | kUnderlineBit) : m;
}

// The preamble of a run at (`row`, `col`); returns the attributes it sets.
uint8_t WritePreamble(CappedWriter& out, int row, int col, uint8_t a) {
    out.Put(RowByte(row));
    if (col < kIndentStep) {
        out.Put(Foreground(a) != 0 ? ColourByte(Foreground(a))
                : IsItalic(a)      ? uint8_t{kWhiteItalics}
                                   : uint8_t{kIndent0});
    } else {
        out.Put(IndentByte(col / kIndentStep));
    }
    if (IsUnderlined(a)) out.Put(kUnderline);
    if (col % kIndentStep != 0) out.Put(TabOffsetByte(col % kIndentStep));
    return PreambleAttribute(col, a);
}

// Tab offsets that move `n` columns, no two alike in a row: many decoders drop a code that
// repeats the one before, even with a null pair between. Threes and twos in turn, then the rest.
void WriteTabOffsets(CappedWriter& out, int n) {
    const int r = n % 5;
    const bool twoFirst = r == 2;
    for (int k = 0; k < n / 5; ++k) {
        out.Put(TabOffsetByte(twoFirst ? 2 : 3));
        out.Put(TabOffsetByte(twoFirst ? 3 : 2));
    }
    if (r == 4) out.Put(TabOffsetByte(3));
    if (r != 0) out.Put(TabOffsetByte(r == 4 ? 1 : r));
}

// The gap of a row from the end of a run (`from`) to the next run (`to`), written as a
// receiver is best sent it: tab offsets, and the mid-row codes that give the attributes a
// preamble there would. The codes go in the gap's first cells, or its last after a run that
// ends in a code cell: a colour code right after another mid-row code would be ignored. False,
// and nothing written, when the gap has no room for them so.
bool WriteGap(CappedWriter& out, uint8_t& m, const CaptionCell* row, int from, int to) {
    const uint8_t wanted = PreambleAttribute(to, row[to].attribute);
    CodeString codes;
    CappedWriter change(codes, kScreenColumns);
    uint8_t reached = m;
    if (m != wanted) WriteAttributeChange(change, reached, wanted);
    int cells = 0;  // a mid-row code takes a cell; a background code does not
    for (size_t k = 0; k < codes.size(); ++k) {
        if (codes[k] == kBackground) {
            ++k;
        } else if (IsMidRowCode(codes[k])) {
            ++cells;
        }
    }
    const int tabs = to - from - cells;
    const bool afterCode = IsMidRowCode(row[from - 1].character);
    const bool beforeCode = IsMidRowCode(row[to].character);
    if (reached != wanted || tabs < 0 || (cells > 0 && tabs == 0 && (afterCode || beforeCode))) {
        return false;
    }
    if (afterCode) WriteTabOffsets(out, tabs);
    for (const uint8_t b : codes) out.Put(b);
    if (!afterCode) WriteTabOffsets(out, tabs);
    m = wanted;
    return true;
}

}  // namespace

CodeString BuildCodeString(const Caption& caption, size_t capacity, RowGaps gaps) {
    CodeString code;
    if (capacity < 2 || caption.screenValid != 1) return code;
    code.reserve(std::min(capacity, kUsualCodeBytes));
    CappedWriter out(code, capacity);
    out.Put(kRcl);
    out.Put(kEnm);
    for (int r = 0; r < kScreenRows && !out.Full(); ++r) {
        const CaptionCell* cells = caption.cells[r];
        int col = 0;
        bool rowHasText = false;
        uint8_t m = kDefaultAttribute;
        while (col < kScreenColumns && !out.Full()) {
            const int runEnd = col;
            while (col < kScreenColumns && cells[col].IsEmpty()) ++col;
            if (col >= kScreenColumns) break;

            const uint8_t a = cells[col].attribute;
            if (!rowHasText || gaps == RowGaps::Preamble || !WriteGap(out, m, cells, runEnd, col)) {
                m = WritePreamble(out, r, col, a);
            }
            rowHasText = true;

            for (; col < kScreenColumns && !cells[col].IsEmpty() && !out.Full(); ++col) {
                const uint8_t x = cells[col].attribute;
                if (x != m) WriteAttributeChange(out, m, x);
                const uint8_t ch = cells[col].character;
                if (ch >= 0x20 && ch != kNullCode) {
                    out.Put(ch);
                } else if (IsMidRowCode(ch) && !ChangesAfter(cells, col, m)) {
                    WriteRepeatedCode(out, m);
                }
                // Other attribute-code cells stand for the codes written before the next cell.
            }
        }
    }
    out.Put(kEoc);
    return code;
}

}  // namespace vantrel
