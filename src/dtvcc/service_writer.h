// A caption screen as a DTVCC service writes it: pop-on captions in two windows of the 608
// screen's size (15 rows by 32 columns, anchored where the 608 caption area stands), the next
// caption defined hidden and written while the one before is shown, the two swapped on the
// frame the 608 end-of-caption code shows it, and the window deleted on the 608 erase.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "codec/encoder.h"
#include "model/caption.h"

namespace vantrel::dtvcc {

// The window's place: relative to the picture, its upper-left corner 10% in from the top and
// the left, as the 608 caption area is in a 4:3 picture.
constexpr int kAreaInsetPercent = 10;
constexpr int kAreaPercent = 80;

// Commands that define window `window` hidden and write the caption's screen into it.
std::vector<uint8_t> LoadCommands(const Caption& caption, int window);
// Commands that show window `window`, deleting `replaced` first (-1 when none is on screen).
std::vector<uint8_t> ShowCommands(int window, int replaced);
// Commands that delete window `window`, taking its caption off the screen.
std::vector<uint8_t> EraseCommands(int window);

// A service's commands with the frame they belong to: a load may go out from its frame on, a
// show or an erase must go out on its frame. A show waits for the load before it; an erase,
// which is of another window, goes out ahead of a load still being sent.
enum class EventKind : uint8_t { Load, Show, Erase };
struct ServiceEvent {
    int64_t frame = 0;
    EventKind kind = EventKind::Load;
    std::vector<uint8_t> commands;
};

// The events of one service for captions shown as the 608 pairs show them.
std::vector<ServiceEvent> ServiceEvents(std::span<const CaptionShowing> shown);

// The 708 foreground or background colour (two bits each of red, green and blue) of a 608
// colour number (0 white ... 6 magenta, 7 black).
uint8_t ColourCode(int colour);

}  // namespace vantrel::dtvcc
