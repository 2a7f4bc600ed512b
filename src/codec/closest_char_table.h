// The closest forms of characters that a 608 screen cannot show. The base-letter rows and the
// compositions come from the Unicode decompositions: python3 tools/make_base_letters.py
#pragma once

#include <array>
#include <string_view>

namespace vantrel::closest_char_table {

// Characters shown as other characters; an empty form means nothing to show (zero-width and
// direction marks, the soft hyphen). Forms are caption-set bytes (0x97 is the 608 dash).
struct Form {
    char32_t code;
    std::string_view form;
};
inline constexpr std::array<Form, 65> kForms = {{
    {U'\u0009', " "},    {U'\u0060', "'"},  {U'\u00A0', " "},   {U'\u00A8', "\""},
    {U'\u00AA', "a"},    {U'\u00AC', "-"},  {U'\u00AD', ""},    {U'\u00AF', "-"},
    {U'\u00B2', "2"},    {U'\u00B3', "3"},  {U'\u00B5', "u"},   {U'\u00B7', "."},
    {U'\u00B8', ","},    {U'\u00B9', "1"},  {U'\u00BA', "o"},   {U'\u00BC', "1/4"},
    {U'\u00BE', "3/4"},  {U'\u00C6', "AE"}, {U'\u00D7', "x"},   {U'\u00DE', "Th"},
    {U'\u00E6', "ae"},   {U'\u00FE', "th"}, {U'\u0152', "OE"},  {U'\u0153', "oe"},
    {U'\u0192', "f"},    {U'\u02BC', "'"},  {U'\u02C6', "^"},   {U'\u02DC', "~"},
    {U'\u2000', " "},    {U'\u2001', " "},  {U'\u2002', " "},   {U'\u2003', " "},
    {U'\u2004', " "},    {U'\u2005', " "},  {U'\u2006', " "},   {U'\u2007', " "},
    {U'\u2008', " "},    {U'\u2009', " "},  {U'\u200A', " "},   {U'\u200B', ""},
    {U'\u200C', ""},     {U'\u200D', ""},   {U'\u200E', ""},    {U'\u200F', ""},
    {U'\u2010', "-"},    {U'\u2011', "-"},  {U'\u2012', "-"},   {U'\u2013', "\x97"},
    {U'\u2015', "\x97"}, {U'\u2018', "'"},  {U'\u2019', "'"},   {U'\u201A', "'"},
    {U'\u201B', "'"},    {U'\u201C', "\""}, {U'\u201D', "\""},  {U'\u201E', "\""},
    {U'\u201F', "\""},   {U'\u2022', "-"},  {U'\u2026', "..."}, {U'\u2032', "'"},
    {U'\u2033', "\""},   {U'\u2039', "<"},  {U'\u203A', ">"},   {U'\u20AC', "EUR"},
    {U'\u2212', "-"},
}};

// The base letter of each code point of a row, '.' where there is none.
struct BaseLetterRow {
    char32_t first;
    std::string_view letters;
};
inline constexpr std::array<BaseLetterRow, 2> kBaseLetters = {{
    {U'\u00C0',
     "AAAAAA.CEEEEIIIIDNOOOOO.OUUUUY..aaaaaa.ceeeeiiiidnooooo.ouuuuy.y"
     "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi..JjKk.LlLlLl."
     ".LlNnNnNn...OoOoOo..RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZz."
     ".......................I..l.....Oo.............Uu....Zz........."
     ".............AaIiOoUuUuUuUuUu.AaAa..GgGgKkOoOo..j...Gg..NnAa...."
     "AaAaEeEeIiIiOoOoRrRrUuUuSsTt..Hh......AaEeOoOoOoOoYy...........s"
     "z..............."},
    {U'\u1E00',
     "AaBbBbBbCcDdDdDdDdDdEeEeEeEeEeFfGgHhHhHhHhHhIiIiKkKkKkLlLlLlLlMm"
     "MmMmNnNnNnNnOoOoOoOoPpPpRrRrRrRrSsSsSsSsSsTtTtTtTtUuUuUuUuUuVvVv"
     "WwWwWwWwWwXxXxYyZzZzZzhtwy......AaAaAaAaAaAaAaAaAaAaAaAaEeEeEeEe"
     "EeEeEeEeIiIiOoOoOoOoOoOoOoOoOoOoOoOoUuUuUuUuUuUuUuYyYyYyYy......"},
}};

// A base letter followed by a combining mark, composed into one Latin-1 letter.
struct Composition {
    char base;
    char32_t mark;
    char32_t composed;
};
inline constexpr std::array<Composition, 53> kCompositions = {{
    {'A', 0x0300, 0xC0}, {'A', 0x0301, 0xC1}, {'A', 0x0302, 0xC2}, {'A', 0x0303, 0xC3},
    {'A', 0x0308, 0xC4}, {'A', 0x030A, 0xC5}, {'C', 0x0327, 0xC7}, {'E', 0x0300, 0xC8},
    {'E', 0x0301, 0xC9}, {'E', 0x0302, 0xCA}, {'E', 0x0308, 0xCB}, {'I', 0x0300, 0xCC},
    {'I', 0x0301, 0xCD}, {'I', 0x0302, 0xCE}, {'I', 0x0308, 0xCF}, {'N', 0x0303, 0xD1},
    {'O', 0x0300, 0xD2}, {'O', 0x0301, 0xD3}, {'O', 0x0302, 0xD4}, {'O', 0x0303, 0xD5},
    {'O', 0x0308, 0xD6}, {'U', 0x0300, 0xD9}, {'U', 0x0301, 0xDA}, {'U', 0x0302, 0xDB},
    {'U', 0x0308, 0xDC}, {'Y', 0x0301, 0xDD}, {'a', 0x0300, 0xE0}, {'a', 0x0301, 0xE1},
    {'a', 0x0302, 0xE2}, {'a', 0x0303, 0xE3}, {'a', 0x0308, 0xE4}, {'a', 0x030A, 0xE5},
    {'c', 0x0327, 0xE7}, {'e', 0x0300, 0xE8}, {'e', 0x0301, 0xE9}, {'e', 0x0302, 0xEA},
    {'e', 0x0308, 0xEB}, {'i', 0x0300, 0xEC}, {'i', 0x0301, 0xED}, {'i', 0x0302, 0xEE},
    {'i', 0x0308, 0xEF}, {'n', 0x0303, 0xF1}, {'o', 0x0300, 0xF2}, {'o', 0x0301, 0xF3},
    {'o', 0x0302, 0xF4}, {'o', 0x0303, 0xF5}, {'o', 0x0308, 0xF6}, {'u', 0x0300, 0xF9},
    {'u', 0x0301, 0xFA}, {'u', 0x0302, 0xFB}, {'u', 0x0308, 0xFC}, {'y', 0x0301, 0xFD},
    {'y', 0x0308, 0xFF},
}};

}  // namespace vantrel::closest_char_table
