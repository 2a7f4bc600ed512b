#include "files/subtitle_colours.h"

#include <algorithm>
#include <string>

#include "files/file.h"

namespace vantrel::subtitle_colours {

namespace {

int NearestCaptionColour(Rgb c) {
    const int top = std::max({c.red, c.green, c.blue});
    if (top == 0) return 0;
    // By hue and saturation: a dark red is red, a grey is white.
    const Rgb scaled{c.red * 255 / top, c.green * 255 / top, c.blue * 255 / top};
    int best = 0;
    int bestDistance = 1 << 30;
    for (int k = 0; k < static_cast<int>(kCaptionColours.size()); ++k) {
        const Rgb& p = kCaptionColours[k];
        const int d = (p.red - scaled.red) * (p.red - scaled.red) +
                      (p.green - scaled.green) * (p.green - scaled.green) +
                      (p.blue - scaled.blue) * (p.blue - scaled.blue);
        if (d < bestDistance) {
            bestDistance = d;
            best = k;
        }
    }
    return best;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The first three numbers of "rgb(r, g, b)" or "rgba(r, g, b, a)".
std::optional<Rgb> FunctionColour(std::string_view value) {
    const size_t open = value.find('(');
    if (open == std::string_view::npos || value.back() != ')') return std::nullopt;
    int parts[3] = {};
    size_t pos = open + 1;
    for (int& part : parts) {
        while (pos < value.size() && value[pos] == ' ') ++pos;
        size_t digits = 0;
        for (; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos, ++digits)
            part = std::min(part * 10 + (value[pos] - '0'), 255);
        while (pos < value.size() && value[pos] == ' ') ++pos;
        if (digits == 0 || pos >= value.size() || (value[pos] != ',' && value[pos] != ')'))
            return std::nullopt;
        ++pos;
    }
    return Rgb{parts[0], parts[1], parts[2]};
}

}  // namespace

std::optional<int> CaptionColourOf(std::string_view value) {
    const std::string lower = LowerCaseAscii(value);
    if (!lower.empty() && lower[0] == '#') {
        const std::string_view hex = std::string_view(lower).substr(1);
        int digits[8];
        if (hex.size() != 3 && hex.size() != 6 && hex.size() != 8) return std::nullopt;
        for (size_t k = 0; k < hex.size(); ++k) {
            if ((digits[k] = HexDigit(hex[k])) < 0) return std::nullopt;
        }
        if (hex.size() == 3) {
            return NearestCaptionColour({digits[0] * 17, digits[1] * 17, digits[2] * 17});
        }
        return NearestCaptionColour(
            {digits[0] * 16 + digits[1], digits[2] * 16 + digits[3], digits[4] * 16 + digits[5]});
    }
    if (lower.starts_with("rgb")) {
        const std::optional<Rgb> rgb = FunctionColour(lower);
        if (!rgb) return std::nullopt;
        return NearestCaptionColour(*rgb);
    }
    for (const auto& named : kNamedColours) {
        if (named.name == lower) return NearestCaptionColour(named.rgb);
    }
    return std::nullopt;
}

}  // namespace vantrel::subtitle_colours
