// The code string: one byte per caption character or per 608 command, the pivot between a
// caption screen, 608 byte pairs, the project file and the disassembly notation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/caption.h"

namespace vantrel {

// Code-string bytes without the terminating zero; an empty string stands for "none".
using CodeString = std::vector<uint8_t>;

constexpr size_t kCodeStringCapacity = 65535;

// A byte the code string carries as a character; every other byte is a command there, so the
// editor never writes one into a cell as text.
constexpr bool IsCaptionCharacter(uint8_t b) {
    return (b >= 0x20 && b <= 0x7F) || (b >= 0x90 && b <= 0x9B) || (b >= 0xA0 && b <= 0xCF) ||
           (b >= 0xD1 && b <= 0xEF) || (b >= 0xF1 && b <= 0xFD);
}

// Renders a code string onto the caption's screen (without clearing it first); stops at a
// zero byte or at the end of the span.
void LoadCodeString(Caption& caption, std::span<const uint8_t> code);

// How a run of text is reached that follows another on the same row: by its own preamble (the
// form stored in projects, which LoadCodeString renders back), or, in the form sent to
// receivers, from the end of the run before with tab offsets and, where the attributes must
// change, mid-row codes in the gap's last cells: many decoders clear a row up to the column of
// a second preamble on it.
enum class RowGaps { Preamble, TabOffsets };

// The screen's code string, cut at `capacity` bytes; empty for an invalid screen or a
// capacity below 2.
CodeString BuildCodeString(const Caption& caption, size_t capacity = kCodeStringCapacity,
                           RowGaps gaps = RowGaps::Preamble);

// The disassembly notation of a code string, or nothing when it is empty or malformed.
std::optional<std::string> FormatMnemonics(std::span<const uint8_t> code);

// FormatMnemonics of the caption's own code string.
std::optional<std::string> GetCodeText(const Caption& caption);

}  // namespace vantrel
