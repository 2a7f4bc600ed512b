// Captions on the clipboard: as our own type (a project file of the copied captions, so that
// every code and timing mode comes back) and as Scenarist text, which a text editor shows as
// .scc lines and which a paste reads back when our own type is absent.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "files/timecode.h"
#include "model/caption_list.h"

namespace vantrel {

inline constexpr const char* kCaptionsMimeType = "application/x-vantrel-captions";
// More than this on the clipboard is not read: some program put something else there.
inline constexpr size_t kMostClipboardBytes = size_t{64} << 20;

// The captions (in list order) in our own form, their frames as they are.
std::string CaptionsClipboardBytes(std::span<const Caption* const> captions);

// The captions as .scc text, at their own timecodes.
std::string CaptionsSccText(std::span<const Caption* const> captions, TimecodeStyle style);

// What a paste found: our own bytes (`own`, may be empty) are read first, else .scc text;
// either past kMostClipboardBytes is left unread.
// The captions go into `out` (empty when neither holds a caption).
void ReadClipboardCaptions(std::string_view own, std::string_view text, CaptionList& out);

}  // namespace vantrel
