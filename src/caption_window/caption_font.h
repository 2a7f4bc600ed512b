// The caption font: 256 characters in four styles (plain, italic, underlined, both) of 12 x 18
// pixels, and the slanted caret shown while typing italics. Loaded once from the program's
// resources and kept to the end.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>

namespace vantrel {

class CaptionFont {
  public:
    static constexpr int kGlyphWidth = 12;
    static constexpr int kGlyphHeight = 18;
    static constexpr int kStyles = 4;

    // The program's font.
    static const CaptionFont& Get();

    // Sets the pixels of `image` (32-bit) to `foreground` where the glyph of `character` in
    // `style` (attribute bits 6-7) has ink at (x, y); the other pixels stay as they are.
    void DrawGlyph(QImage& image, int x, int y, uint8_t character, int style,
                   QRgb foreground) const;

    // Whether the glyph has any ink.
    bool HasInk(uint8_t character, int style) const;

    // The 4 x 14 italic caret, white on black.
    const QImage& ItalicCaret() const { return italicCaret_; }

  private:
    CaptionFont();

    // One row of a glyph per entry, bit 11 the leftmost pixel.
    using Glyph = std::array<uint16_t, kGlyphHeight>;
    std::array<std::array<Glyph, 256>, kStyles> glyphs_{};
    QImage italicCaret_;
};

}  // namespace vantrel
