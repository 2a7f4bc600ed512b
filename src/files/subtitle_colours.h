// Colour names of subtitle markup (CSS names in SubRip <font color=...>, the WebVTT class
// names of <c.colour>, TTML colours) and the 608 foreground colours they come nearest to.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrel::subtitle_colours {

struct Rgb {
    int red, green, blue;
};

struct NamedColour {
    std::string_view name;
    Rgb rgb;
};

inline constexpr std::array<NamedColour, 23> kNamedColours = {{
    {"aqua", {0, 255, 255}},    {"black", {0, 0, 0}},        {"blue", {0, 0, 255}},
    {"brown", {165, 42, 42}},   {"cyan", {0, 255, 255}},     {"fuchsia", {255, 0, 255}},
    {"gold", {255, 215, 0}},    {"gray", {128, 128, 128}},   {"green", {0, 128, 0}},
    {"grey", {128, 128, 128}},  {"lime", {0, 255, 0}},       {"magenta", {255, 0, 255}},
    {"maroon", {128, 0, 0}},    {"navy", {0, 0, 128}},       {"olive", {128, 128, 0}},
    {"orange", {255, 165, 0}},  {"pink", {255, 192, 203}},   {"purple", {128, 0, 128}},
    {"red", {255, 0, 0}},       {"silver", {192, 192, 192}}, {"teal", {0, 128, 128}},
    {"white", {255, 255, 255}}, {"yellow", {255, 255, 0}},
}};

// The 608 foreground colours by number (0 white ... 6 magenta). Black (7) is left out: on the
// black background of our captions black text would not show.
inline constexpr std::array<Rgb, 7> kCaptionColours = {{
    {255, 255, 255},
    {0, 255, 0},
    {0, 0, 255},
    {0, 255, 255},
    {255, 0, 0},
    {255, 255, 0},
    {255, 0, 255},
}};

// A colour value as the nearest 608 foreground colour: #rgb, #rrggbb, #rrggbbaa, rgb(r,g,b),
// rgba(r,g,b,a) or a name above; nothing when it is none of these.
std::optional<int> CaptionColourOf(std::string_view value);

}  // namespace vantrel::subtitle_colours
