// Decoding 608 byte pairs (channel 1, field 1) into captions.
#pragma once

#include <cstdint>
#include <span>

#include "codec/code_string.h"
#include "model/caption_list.h"
#include "model/caption_project.h"

namespace vantrel {

// Decodes a run of 608 bytes (bit 7 set on every byte; the run ends at a zero byte or at the
// end of the span) into the code string of the caption they load: from the last erase of
// non-displayed memory before the first end-of-caption code to that code. Empty when nothing
// decodes.
CodeString DecodePairs(std::span<const uint8_t> bytes);

// Cuts a pair stream (pair k is frame k, every byte with bit 7 set) into captions and inserts
// them into the list.
void DecodePairStream(CaptionList& list, std::span<const uint8_t> bytes);

// The same for the project's captions; marks the project modified.
void DecodePairStream(CaptionProject& project, std::span<const uint8_t> bytes);

}  // namespace vantrel
