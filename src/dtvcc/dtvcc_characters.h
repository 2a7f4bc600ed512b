// Caption characters in a DTVCC service: the G0 set (ASCII, the music note at 0x7F), G1
// (Latin-1) and the G2 set behind EXT1 (transparent spaces, quotation marks, the box drawing
// characters and a few letters).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel::dtvcc {

// The service bytes of a caption character: one byte (G0 or G1), or EXT1 and a G2 byte. A
// character that the 708 sets lack is written as the nearest one they hold.
struct CharacterCode {
    uint8_t bytes[2] = {};
    size_t size = 0;
};
CharacterCode CharacterCodeOf(uint8_t character);
constexpr uint8_t kTransparentSpace = 0x20;  // in G2

// The caption character of a G0/G1 byte (`extended` false) or a G2 byte (`extended` true); 0
// when the caption set has none. The caption set's transparent space is G2's non-breaking one:
// G2's plain transparent space stands for a cell left empty.
uint8_t CaptionCharacterOf(uint8_t code, bool extended);

}  // namespace vantrel::dtvcc
