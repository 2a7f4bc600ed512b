// The caption screen drawn into the window's image: the boxes, their colours, the glyphs and
// the holes left for the caption in the video picture.
#include "caption_window/caption_render.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "caption_window/caption_font.h"
#include "support/screen_text.h"

namespace vantrel {
namespace {

using testing::MakeCaption;
using testing::Screen;

QImage Blank() {
    QImage image(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    return image;
}

// Every pixel of a rectangle, as the colours found there.
std::set<QRgb> Colours(const QImage& image, const QRect& r) {
    std::set<QRgb> found;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) found.insert(image.pixel(x, y) | 0xFF000000);
    }
    return found;
}

const QRegion kWhole(0, 0, kScreenWidth, kScreenHeight);

// The holes: the rectangles (x, y, width, height) the caption takes out of the picture.
TEST(CaptionRender, HolesAreTheBoxesOfEveryRunWithItsEdgeBoxes) {
    const struct {
        const char* name;
        Screen screen;
        QRegion holes;
    } cases[] = {
        {"one character", {{0, 0, "A", 0x38}}, QRegion(36, 38, 36, 19)},
        {"two runs one cell apart make one strip",
         {{3, 2, "AB", 0x38}, {3, 5, "C", 0x11}},
         QRegion(60, 95, 72, 19)},
        {"two runs two cells apart still make one strip",
         {{3, 2, "AB", 0x38}, {3, 6, "C", 0x38}},
         QRegion(60, 95, 84, 19)},
        {"two runs three cells apart make two strips",
         {{3, 2, "AB", 0x38}, {3, 7, "C", 0x38}},
         QRegion(60, 95, 48, 19) + QRegion(120, 95, 36, 19)},
        {"a run ending at column 31", {{14, 29, "xyz", 0x38}}, QRegion(384, 304, 60, 19)},
        {"a full row",
         {{7, 0, "................................", 0x38}},
         QRegion(36, 171, 408, 19)},
        {"an attribute code shows as a box", {{1, 10, "\x19", 0x38}}, QRegion(156, 57, 36, 19)},
        {"an empty screen", {}, QRegion()},
    };
    // A screen that is not valid draws nothing.
    Caption invalid = MakeCaption({{0, 0, "A", 0x38}});
    invalid.screenValid = 0;
    QImage untouched = Blank();
    EXPECT_FALSE(RenderCaption(invalid, untouched).has_value());
    EXPECT_EQ(untouched, Blank());
    for (const auto& c : cases) {
        QImage image = Blank();
        std::optional<QRegion> region = RenderCaption(MakeCaption(c.screen), image);
        ASSERT_TRUE(region.has_value()) << c.name;
        EXPECT_EQ(*region, kWhole - c.holes) << c.name;
        // Inside the holes the boxes are drawn; everywhere else the image is black.
        EXPECT_EQ(Colours(image, QRect(0, 0, 480, 360)).count(qRgb(1, 2, 3)), 0u) << c.name;
        for (const QRect& r : kWhole - c.holes) {
            EXPECT_EQ(Colours(image, r), std::set<QRgb>{qRgb(0, 0, 0)}) << c.name;
        }
    }
}

TEST(CaptionRender, BoxesTakeTheColoursOfTheirCellsAndUnderlinesStopAtTheGlyphs) {
    // Green on blue "AB", then red on yellow "C" after one empty cell; then underlined and plain.
    QImage image = Blank();
    RenderCaption(
        MakeCaption(
            {{2, 4, "AB", 0x11}, {2, 7, "C", 0x2C}, {5, 10, "a b", 0xB8}, {6, 10, "a b", 0x38}}),
        image);
    const QRgb green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255);
    const QRgb red = qRgb(255, 0, 0), yellow = qRgb(255, 255, 0);
    const std::set<QRgb> black{qRgb(0, 0, 0)}, white{qRgb(255, 255, 255)};
    // Edge boxes take the colours of their neighbour: the gap, the next run's.
    EXPECT_EQ(Colours(image, CellBox(2, 3)), std::set<QRgb>{blue});
    EXPECT_EQ(Colours(image, CellBox(2, 4)), (std::set<QRgb>{blue, green}));
    EXPECT_EQ(Colours(image, CellBox(2, 6)), std::set<QRgb>{yellow});
    EXPECT_EQ(Colours(image, CellBox(2, 7)), (std::set<QRgb>{yellow, red}));
    EXPECT_EQ(Colours(image, CellBox(2, 8)), std::set<QRgb>{yellow});
    for (int column = 10; column < 13; ++column) {
        // Glyph rows 15 and 16 of a cell lie at box rows 16 and 17.
        EXPECT_EQ(Colours(image, CellBox(5, column).adjusted(0, 16, 0, -1)), white) << column;
        EXPECT_EQ(Colours(image, CellBox(6, column).adjusted(0, 16, 0, -1)), black) << column;
    }
    EXPECT_EQ(Colours(image, CellBox(5, 9)), black);  // no underline in the edge boxes
    EXPECT_EQ(Colours(image, CellBox(5, 13)), black);
}

TEST(CaptionRender, GlyphsOfTheCaptionSet) {
    const CaptionFont& font = CaptionFont::Get();
    // The system's own glyphs, accented capitals and plain letters have ink in every style.
    for (uint8_t k : {0x90, 0x9A, 0xB1, 0xB4, 0x7F, 0xC9, 0xD1, 0x41, 0x7A}) {
        for (int style = 0; style < 4; ++style) EXPECT_TRUE(font.HasInk(k, style)) << int(k);
    }
    for (uint8_t k : {0x20, 0x80, 0xA0}) EXPECT_FALSE(font.HasInk(k, 0)) << int(k);
    EXPECT_FALSE(font.HasInk(0x80, 2));
    EXPECT_FALSE(font.HasInk(0xA0, 3));
    // An accented capital is not its plain letter.
    QImage e = Blank(), eAcute = Blank();
    RenderCaption(MakeCaption({{0, 0, "E", 0x38}}), e);
    RenderCaption(MakeCaption({{0, 0, "\xC9", 0x38}}), eAcute);
    EXPECT_NE(e, eAcute);
}

}  // namespace
}  // namespace vantrel
