// Timed Text (TTML) documents: TTML 1 with the IMSC 1.1 Text profile, SMPTE-TT (the TTML of
// SMPTE ST 2052-1, the FCC's safe harbour for online video) and DFXP (TTML's draft namespace,
// which older platforms still take). Each caption's blocks of rows are <p> elements at the
// caption's frames, in regions on the 608 grid, with its colours, italics, underline and black
// background as styles.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/caption_formats.h"
#include "files/subtitle_reader.h"
#include "model/caption_list.h"

namespace vantrel {

enum class TimedTextProfile : uint8_t { Imsc, SmpteTt, Dfxp };

// The document of the captions, in UTF-8; cut short once `cancel` is raised.
std::string TimedTextDocument(const CaptionList& captions, TimedTextProfile profile,
                              const WriteOptions& options, const std::atomic<int>* cancel);

// Reads a document of any of the three (and TTML at large): each <p> a cue at its begin and end,
// its lines placed by its region where the region lies on the caption grid, its styles as
// attributes. Not recognized when the text is not XML whose root is a TTML <tt>.
SubtitleFile ReadTimedText(std::string_view text, const std::atomic<int>* cancel);

}  // namespace vantrel
