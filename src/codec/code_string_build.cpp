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

}  // namespace

CodeString BuildCodeString(const Caption& caption, size_t capacity) {
    CodeString code;
    if (capacity < 2 || caption.screenValid != 1) return code;
    code.reserve(std::min(capacity, kUsualCodeBytes));
    CappedWriter out(code, capacity);
    out.Put(kRcl);
    out.Put(kEnm);
    for (int r = 0; r < kScreenRows && !out.Full(); ++r) {
        const CaptionCell* cells = caption.cells[r];
        int col = 0;
        while (col < kScreenColumns && !out.Full()) {
            while (col < kScreenColumns && cells[col].IsEmpty()) ++col;
            if (col >= kScreenColumns) break;

            const uint8_t a = cells[col].attribute;
            out.Put(RowByte(r));
            uint8_t m = kDefaultAttribute;
            if (col < kIndentStep) {
                if (Foreground(a) != 0) {
                    out.Put(ColourByte(Foreground(a)));
                    m = static_cast<uint8_t>(kDefaultAttribute | Foreground(a));
                } else if (IsItalic(a)) {
                    out.Put(kWhiteItalics);
                    m = kWhiteItalicsAttribute;
                } else {
                    out.Put(kIndent0);
                }
            } else {
                out.Put(IndentByte(col / kIndentStep));
            }
            if (IsUnderlined(a)) {
                out.Put(kUnderline);
                m |= kUnderlineBit;
            }
            if (col % kIndentStep != 0) out.Put(TabOffsetByte(col % kIndentStep));

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
