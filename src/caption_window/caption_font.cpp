#include "caption_window/caption_font.h"

namespace vantrel {

CaptionFont::CaptionFont() : italicCaret_(QStringLiteral(":/caption_caret.png")) {
    const QImage bitmap(QStringLiteral(":/caption_font.png"));
    if (bitmap.width() < 256 * kGlyphWidth || bitmap.height() < kStyles * kGlyphHeight) return;
    for (int style = 0; style < kStyles; ++style) {
        for (int k = 0; k < 256; ++k) {
            for (int y = 0; y < kGlyphHeight; ++y) {
                uint16_t bits = 0;
                for (int x = 0; x < kGlyphWidth; ++x) {
                    const QRgb pixel = bitmap.pixel(k * kGlyphWidth + x, style * kGlyphHeight + y);
                    bits = static_cast<uint16_t>(bits << 1 | (qGray(pixel) > 127 ? 1 : 0));
                }
                glyphs_[style][k][y] = bits;
            }
        }
    }
}

const CaptionFont& CaptionFont::Get() {
    static const CaptionFont font;
    return font;
}

void CaptionFont::DrawGlyph(QImage& image, int x, int y, uint8_t character, int style,
                            QRgb foreground) const {
    const Glyph& glyph = glyphs_[style & 3][character];
    for (int row = 0; row < kGlyphHeight; ++row) {
        const int py = y + row;
        if (glyph[row] == 0 || py < 0 || py >= image.height()) continue;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(py));
        for (int col = 0; col < kGlyphWidth; ++col) {
            const int px = x + col;
            if ((glyph[row] >> (kGlyphWidth - 1 - col) & 1) != 0 && px >= 0 && px < image.width()) {
                line[px] = foreground;
            }
        }
    }
}

bool CaptionFont::HasInk(uint8_t character, int style) const {
    for (uint16_t row : glyphs_[style & 3][character]) {
        if (row != 0) return true;
    }
    return false;
}

}  // namespace vantrel
