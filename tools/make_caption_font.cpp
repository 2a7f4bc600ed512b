// Draws the caption font and the italic caret as 1-bit PNG images for the program's resources.
// The build never runs this; run it by hand when the glyphs are to change, and commit its output.
//
// Inputs: DejaVu Sans Mono Bold and Bold Oblique (Debian package fonts-dejavu-core).
// Command, from the top of the source tree:
//   cmake -S . -B build/tools -DVANTREL_TOOLS=ON -DVANTREL_TESTS=OFF
//   cmake --build build/tools --target make_caption_font
//   fonts=/usr/share/fonts/truetype/dejavu
//   QT_QPA_PLATFORM=offscreen build/tools/tools/make_caption_font
//       $fonts/DejaVuSansMono-Bold.ttf $fonts/DejaVuSansMono-BoldOblique.ttf resources
//
// Output: resources/caption_font.png, 3072 x 72: the glyph of character k in style s (0 plain,
// 1 italic, 2 underlined, 3 both) is the 12 x 18 cell at (12k, 18s), white (1) on black (0);
// underlines on rows 15 and 16. resources/caption_caret.png: the 4 x 14 slanted caret.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>
#include <cstdio>

#include "codec/charset.h"

namespace {

constexpr int kCellWidth = 12;
constexpr int kCellHeight = 18;
constexpr int kStyles = 4;
constexpr int kBaseline = 14;   // glyph row the letters stand on
constexpr int kPixelSize = 16;  // caps 12 rows high, descenders inside the cell
constexpr double kWiden = 1.1;  // the face is narrow for a 12-pixel cell
constexpr int kUnderlineTop = 15;
constexpr int kUnderlineRows = 2;

// Where the caption set puts its own glyphs and the blanks.
constexpr uint8_t kSolidBlock = 0x7F;
constexpr uint8_t kCornerFirst = 0xB1;  // upper left, upper right, lower left, lower right
constexpr uint8_t kCornerLast = 0xB4;
constexpr uint8_t kServiceMark = 0x9A;

bool IsBlank(uint8_t k) {
    return k == 0x20 || k == 0x80 || k == 0xA0 || vantrel::CaptionCharToUnicode(k) == 0;
}

// A space in underlined text is underlined as well, so that the line runs on under the words;
// the transparent space and the code character 0x80 stay blank.
bool TakesUnderline(uint8_t k) {
    return k == 0x20 || !IsBlank(k);
}

// Box corners meet their neighbours: lines three pixels thick through the middle of the cell,
// reaching the cell's edges.
void DrawCorner(QPainter& p, uint8_t k) {
    const int midX = kCellWidth / 2 - 1;
    const int midY = kCellHeight / 2 - 1;
    const bool right = k == 0xB1 || k == 0xB3;  // the horizontal arm goes right
    const bool down = k == 0xB1 || k == 0xB2;   // the vertical arm goes down
    p.fillRect(right ? midX : 0, midY, right ? kCellWidth - midX : midX + 3, 3, Qt::white);
    p.fillRect(midX, down ? midY : 0, 3, down ? kCellHeight - midY : midY + 3, Qt::white);
}

// The service mark, where the font has none: a small S and M raised like an exponent.
void DrawServiceMark(QPainter& p, const QRawFont& font) {
    QRawFont small = font;
    small.setPixelSize(kPixelSize * 9 / 16);
    QPainterPath path;
    for (int i = 0; i < 2; ++i) {
        quint32 index = small.glyphIndexesForString(QStringLiteral("SM").mid(i, 1)).value(0);
        path.addPath(small.pathForGlyph(index).translated(i * 5 + 1, 8));
    }
    p.fillPath(path, Qt::white);
}

void DrawGlyph(QPainter& p, const QRawFont& font, uint8_t k) {
    const char32_t code = vantrel::CaptionCharToUnicode(k);
    if (k == kSolidBlock) {
        p.fillRect(0, 0, kCellWidth, kCellHeight, Qt::white);
    } else if (k >= kCornerFirst && k <= kCornerLast) {
        DrawCorner(p, k);
    } else if (k == kServiceMark && !font.supportsCharacter(code)) {
        DrawServiceMark(p, font);
    } else {
        const QString text = QString::fromUcs4(&code, 1);
        const quint32 index = font.glyphIndexesForString(text).value(0);
        const double advance = font.advancesForGlyphIndexes({index}).value(0).x() * kWiden;
        QTransform place;
        place.translate((kCellWidth - advance) / 2.0, kBaseline);
        // Accented capitals rise above the cell: press them down onto the baseline.
        const QPainterPath outline = font.pathForGlyph(index);
        const double rise = -outline.boundingRect().top();
        place.scale(kWiden, rise > kBaseline ? kBaseline / rise : 1.0);
        p.fillPath(place.map(outline), Qt::white);
    }
}

// One glyph drawn four times larger and reduced by majority, so that strokes keep their weight
// without grey edges.
QImage RenderCell(const QRawFont& font, uint8_t k) {
    constexpr int kScale = 4;
    QImage big(kCellWidth * kScale, kCellHeight * kScale, QImage::Format_Grayscale8);
    big.fill(Qt::black);
    if (!IsBlank(k)) {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(kScale, kScale);  // glyph outlines are drawn in cell pixels
        DrawGlyph(p, font, k);
    }
    QImage cell(kCellWidth, kCellHeight, QImage::Format_Grayscale8);
    for (int y = 0; y < kCellHeight; ++y) {
        for (int x = 0; x < kCellWidth; ++x) {
            int sum = 0;
            for (int dy = 0; dy < kScale; ++dy) {
                const uchar* line = big.constScanLine(y * kScale + dy);
                for (int dx = 0; dx < kScale; ++dx) sum += line[x * kScale + dx];
            }
            cell.setPixel(x, y, sum >= 255 * kScale * kScale * 2 / 5 ? 0xFFFFFFFF : 0xFF000000);
        }
    }
    return cell;
}

QImage MonoImage(int width, int height) {
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(0);
    return image;
}

QImage MakeFont(const QRawFont& upright, const QRawFont& oblique) {
    QImage font = MonoImage(256 * kCellWidth, kStyles * kCellHeight);
    for (int style = 0; style < kStyles; ++style) {
        const bool italic = (style & 1) != 0;
        const bool underlined = (style & 2) != 0;
        for (int k = 0; k < 256; ++k) {
            const QImage cell = RenderCell(italic ? oblique : upright, static_cast<uint8_t>(k));
            for (int y = 0; y < kCellHeight; ++y) {
                for (int x = 0; x < kCellWidth; ++x) {
                    const bool line = underlined && TakesUnderline(static_cast<uint8_t>(k)) &&
                                      y >= kUnderlineTop && y < kUnderlineTop + kUnderlineRows;
                    const bool on = line || qGray(cell.pixel(x, y)) > 127;
                    font.setPixel(k * kCellWidth + x, style * kCellHeight + y, on ? 1 : 0);
                }
            }
        }
    }
    return font;
}

// Two pixels wide: rows 0-3 at x 2-3, rows 4-9 at x 1-2, rows 10-13 at x 0-1.
QImage MakeCaret() {
    QImage caret = MonoImage(4, 14);
    for (int y = 0; y < 14; ++y) {
        const int left = y < 4 ? 2 : (y < 10 ? 1 : 0);
        caret.setPixel(left, y, 1);
        caret.setPixel(left + 1, y, 1);
    }
    return caret;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_caption_font BOLD.ttf BOLD-OBLIQUE.ttf OUTPUT-FOLDER\n");
        return 2;
    }
    const QRawFont upright(QString::fromLocal8Bit(argv[1]), kPixelSize);
    const QRawFont oblique(QString::fromLocal8Bit(argv[2]), kPixelSize);
    if (!upright.isValid() || !oblique.isValid()) {
        std::fprintf(stderr, "make_caption_font: cannot load the fonts\n");
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[3]);
    if (!MakeFont(upright, oblique).save(folder + "/caption_font.png") ||
        !MakeCaret().save(folder + "/caption_caret.png")) {
        std::fprintf(stderr, "make_caption_font: cannot write into %s\n", argv[3]);
        return 1;
    }
    return 0;
}
