// The eight caption colours, indexed by the colour numbers of the attribute byte.
#pragma once

#include <QColor>
#include <array>

namespace vantrel {

inline constexpr std::array<QRgb, 8> CaptionPalette = {
    qRgb(255, 255, 255),  // white
    qRgb(0, 255, 0),      // green
    qRgb(0, 0, 255),      // blue
    qRgb(0, 255, 255),    // cyan
    qRgb(255, 0, 0),      // red
    qRgb(255, 255, 0),    // yellow
    qRgb(255, 0, 255),    // magenta
    qRgb(0, 0, 0),        // black
};

}  // namespace vantrel
