#include "dtvcc/service_writer.h"

#include <algorithm>
#include <array>

#include "dtvcc/dtvcc_characters.h"
#include "dtvcc/dtvcc_codes.h"

namespace vantrel::dtvcc {

namespace {

// Red, green and blue, two bits each, of white, green, blue, cyan, red, yellow, magenta, black.
constexpr std::array<uint8_t, 8> kColourCodes = {0x3F, 0x0C, 0x03, 0x0F, 0x30, 0x3C, 0x33, 0x00};

// DefineWindow's parameters: hidden, rows and columns locked, priority 0; relative anchor;
// anchor point 0 (upper left); 15 rows, 32 columns; window and pen style 1.
constexpr uint8_t kWindowFlags = 0x18;
constexpr uint8_t kRelative = 0x80;
constexpr uint8_t kWindowStyles = 0x09;
// SetWindowAttributes: transparent fill, no border, no word wrap, left to right, scrolling
// up, left justified, snapped on.
constexpr std::array<uint8_t, 4> kWindowAttributes = {kTransparent << 6, 0x00, 0x0C, 0x00};
// SetPenAttributes' first byte: dialogue, normal offset, standard size.
constexpr uint8_t kPenSizeAndOffset = 0x05;

uint8_t WindowBit(int window) {
    return static_cast<uint8_t>(1u << window);
}

// Writes one row's cells, from the first non-empty one to the last, keeping the pen's
// attribute in step with the cells.
void WriteRow(std::vector<uint8_t>& out, const CaptionCell* cells, uint8_t& pen) {
    int first = 0, last = kScreenColumns - 1;
    while (first < kScreenColumns && cells[first].IsEmpty()) ++first;
    while (last >= first && cells[last].IsEmpty()) --last;
    for (int col = first; col <= last; ++col) {
        const CaptionCell& cell = cells[col];
        if (cell.IsEmpty()) {  // a gap between runs shows nothing, not even a background
            out.insert(out.end(), {kExt1, kTransparentSpace});
            continue;
        }
        const uint8_t a = cell.attribute;
        if ((a ^ pen) & (kItalicsBit | kUnderlineBit)) {
            out.insert(out.end(), {kSetPenAttributes, kPenSizeAndOffset,
                                   static_cast<uint8_t>((IsItalic(a) ? 0x80 : 0) |
                                                        (IsUnderlined(a) ? 0x40 : 0))});
        }
        if ((a ^ pen) & 0x3F) {
            out.insert(out.end(),
                       {kSetPenColor, ColourCode(Foreground(a)), ColourCode(Background(a)), 0x00});
        }
        pen = a;
        // An attribute-code cell shows as a space in its colours.
        const CharacterCode code = CharacterCodeOf(cell.character < 0x20 ? ' ' : cell.character);
        out.insert(out.end(), code.bytes, code.bytes + code.size);
    }
}

}  // namespace

uint8_t ColourCode(int colour) {
    return kColourCodes[static_cast<size_t>(colour & 7)];
}

std::vector<uint8_t> LoadCommands(const Caption& caption, int window) {
    std::vector<uint8_t> out{
        static_cast<uint8_t>(kDefineWindow0 + window),
        kWindowFlags,
        kRelative | kAreaInsetPercent,
        kAreaInsetPercent,
        kScreenRows - 1,
        kScreenColumns - 1,
        kWindowStyles,
        kSetWindowAttributes,
    };
    out.insert(out.end(), kWindowAttributes.begin(), kWindowAttributes.end());
    // The pen starts as the 608 one does: white on black, plain.
    out.insert(out.end(), {kSetPenAttributes, kPenSizeAndOffset, 0x00, kSetPenColor,
                           ColourCode(Foreground(kDefaultAttribute)),
                           ColourCode(Background(kDefaultAttribute)), 0x00});
    uint8_t pen = kDefaultAttribute;
    for (int r = 0; r < kScreenRows; ++r) {
        const CaptionCell* cells = caption.cells[r];
        const auto first = std::find_if(cells, cells + kScreenColumns,
                                        [](const CaptionCell& c) { return !c.IsEmpty(); });
        if (first == cells + kScreenColumns) continue;
        out.insert(out.end(),
                   {kSetPenLocation, static_cast<uint8_t>(r), static_cast<uint8_t>(first - cells)});
        WriteRow(out, cells, pen);
    }
    return out;
}

std::vector<uint8_t> ShowCommands(int window, int replaced) {
    std::vector<uint8_t> out;
    if (replaced >= 0) out.insert(out.end(), {kDeleteWindows, WindowBit(replaced)});
    out.insert(out.end(), {kDisplayWindows, WindowBit(window)});
    return out;
}

std::vector<uint8_t> EraseCommands(int window) {
    return {kDeleteWindows, WindowBit(window)};
}

std::vector<ServiceEvent> ServiceEvents(std::span<const CaptionShowing> shown) {
    std::vector<ServiceEvent> events;
    events.reserve(shown.size() * 3);
    for (size_t k = 0; k < shown.size(); ++k) {
        const CaptionShowing& s = shown[k];
        const int window = static_cast<int>(k % 2);
        // The caption before is still on screen unless its erase came first.
        const bool replaces = k > 0 && shown[k - 1].erasedAt < 0;
        events.push_back({s.loadFrame, EventKind::Load, LoadCommands(*s.caption, window)});
        events.push_back(
            {s.shownFrom, EventKind::Show, ShowCommands(window, replaces ? 1 - window : -1)});
        if (s.erasedAt >= 0)
            events.push_back({s.erasedAt, EventKind::Erase, EraseCommands(window)});
    }
    // An erase that falls inside the next caption's loading comes after that load's start.
    std::stable_sort(
        events.begin(), events.end(),
        [](const ServiceEvent& a, const ServiceEvent& b) { return a.frame < b.frame; });
    return events;
}

}  // namespace vantrel::dtvcc
