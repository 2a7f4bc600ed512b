#include "caption_window/caption_render.h"

#include "caption_window/caption_font.h"
#include "caption_window/caption_palette.h"

namespace vantrel {

namespace {

constexpr uint8_t kColoursOnly = 0x3F;  // an edge box is never italic or underlined

void DrawBox(QImage& image, int row, int column, uint8_t character, uint8_t attribute) {
    const QRect box = CellBox(row, column);
    const QRgb background = CaptionPalette[Background(attribute)];
    for (int y = box.top(); y <= box.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + box.left(), line + box.left() + box.width(), background);
    }
    // Attribute codes show as spaces.
    if (character < 0x20) character = 0x20;
    CaptionFont::Get().DrawGlyph(image, box.left(), box.top() + 1, character, attribute >> 6,
                                 CaptionPalette[Foreground(attribute)]);
}

// What goes at `column` (-1 to 32) of a row: the cell itself, an edge box in the colours of
// the cell next to it, or nothing. Returns false for nothing.
bool BoxAt(const CaptionCell* cells, int column, uint8_t& character, uint8_t& attribute) {
    if (column >= 0 && column < kScreenColumns && !cells[column].IsEmpty() &&
        cells[column].character != 0) {
        character = cells[column].character;
        attribute = cells[column].attribute;
        return true;
    }
    character = 0;
    if (column + 1 < kScreenColumns && !cells[column + 1].IsEmpty()) {
        attribute = cells[column + 1].attribute & kColoursOnly;
        return true;
    }
    if (column > 0 && !cells[column - 1].IsEmpty()) {
        attribute = cells[column - 1].attribute & kColoursOnly;
        return true;
    }
    return false;
}

constexpr QRgb kUnderlineColour = 0xFFFF2020;

}  // namespace

std::optional<QRegion> RenderCaption(const Caption& caption, QImage& image) {
    if (caption.screenValid != 1) return std::nullopt;
    QRegion region(0, 0, kScreenWidth, kScreenHeight);
    image.fill(CaptionPalette[7]);
    for (int row = 0; row < kScreenRows; ++row) {
        const CaptionCell* cells = caption.cells[row];
        int stripStart = 0;
        bool stripOpen = false;
        for (int column = -1; column <= kScreenColumns + 1; ++column) {
            uint8_t character = 0;
            uint8_t attribute = 0;
            // Column 33 only closes a strip that reaches the end of the row.
            if (column <= kScreenColumns && BoxAt(cells, column, character, attribute)) {
                DrawBox(image, row, column, character, attribute);
                if (!stripOpen) stripStart = column;
                stripOpen = true;
            } else if (stripOpen) {
                const QRect first = CellBox(row, stripStart);
                region -= QRect(first.topLeft(), CellBox(row, column - 1).bottomRight());
                stripOpen = false;
            }
        }
    }
    return region;
}

void UnderlineCells(QImage& image, int row, int column, int length) {
    const QRect first = CellBox(row, column);
    const int right = first.left() + kCellPitchX * length;
    // Two pixels up, two down, over the last two lines of the boxes.
    for (int x = first.left(); x < right; ++x) {
        const int y = first.bottom() - ((x / 2) % 2);
        reinterpret_cast<QRgb*>(image.scanLine(y))[x] = kUnderlineColour;
    }
}

void InvertCells(const Caption& caption, QImage& image, int row, int column, int end) {
    for (; column < end; ++column) {
        if (caption.cells[row][column].IsEmpty()) continue;
        const QRect box = CellBox(row, column);
        for (int y = box.top(); y <= box.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = box.left(); x <= box.right(); ++x) line[x] ^= 0x00FFFFFF;
        }
    }
}

}  // namespace vantrel
