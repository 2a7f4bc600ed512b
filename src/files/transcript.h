// A transcript made into captions: plain UTF-8 text, one caption per block of lines (blocks are
// separated by blank lines), each block laid out on the caption screen as a subtitle cue is.
// The captions get their frames from where they are placed (PlaceCaptionsStep).
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/cue_layout.h"
#include "model/caption.h"
#include "model/caption_project.h"

namespace vantrel {

struct Transcript {
    std::vector<std::vector<StyledLine>> blocks;  // lines without leading or trailing blanks
    // Characters that have no form on a 608 screen; left out.
    size_t unshownCharacters = 0;
    char32_t firstUnshown = 0;  // kMalformed for a malformed UTF-8 sequence
    size_t firstUnshownLine = 0;
};

// UTF-8 with or without a byte order mark (or UTF-16 with one); any line ends.
Transcript ReadTranscript(std::string_view text, const std::atomic<int>* cancel = nullptr);

// The captions of the blocks in order, screens only: a block of more than four rows takes
// consecutive captions; a block with nothing to show takes none. `onBlock`, when given, is
// called with the number of blocks laid out so far; once `cancel` is raised it stops, and the
// caller discards what was made.
std::vector<std::unique_ptr<Caption>> MakeTranscriptCaptions(
    const Transcript& transcript, const std::atomic<int>* cancel = nullptr,
    const std::function<void(size_t blocks)>& onBlock = {});

// Tells through the project's host what of the transcript at `path` could not be shown, and
// that there is nothing to place when `captionCount` is 0.
void TellTranscriptFindings(CaptionProject& project, const std::string& path,
                            const Transcript& transcript, size_t captionCount);

// Reads the transcript file at `path` into captions; what cannot be read or shown is told
// through the project's host. Empty when there is nothing to place.
std::vector<std::unique_ptr<Caption>> ReadTranscriptFile(CaptionProject& project,
                                                         const std::string& path);

}  // namespace vantrel
