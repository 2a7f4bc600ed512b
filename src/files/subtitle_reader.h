// Reading SubRip (.srt) and WebVTT (.vtt) subtitles: UTF-8 with or without a byte order mark,
// or UTF-16 with one; LF, CR LF or CR line ends. Cue text becomes caption characters with their
// attributes: <i>, <u>, <font color=...> (SubRip) and <c.colour> (WebVTT) give italics, underline
// and the nearest 608 colour; other tags and cue settings are ignored, except that {\an7}-{\an9}
// and a WebVTT line: position counted from the top put the cue at the top of the screen.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "files/cue_layout.h"
#include "files/pair_stream.h"

namespace vantrel {

struct SubtitleCue {
    int64_t startMs = 0;
    int64_t endMs = 0;
    std::vector<StyledLine> lines;
    bool top = false;
};

struct SubtitleFile {
    bool recognized = false;        // a WebVTT file must begin with its "WEBVTT" line
    std::vector<SubtitleCue> cues;  // in file order
    // Blocks with text but no readable time line; they are left out.
    size_t skippedBlocks = 0;
    // Characters that have no form on a 608 screen; left out of the cue text.
    size_t unshownCharacters = 0;
    char32_t firstUnshown = 0;   // 0xFFFFFFFF for a malformed UTF-8 sequence
    int64_t firstUnshownMs = 0;  // the start of the cue that held it
    // Cues whose end lies before their start (by the line of their time line); they are kept.
    LineTally endsBeforeStart;
};

// Both stop where they are once `cancel` is raised; the caller discards what was read.
SubtitleFile ReadSubRip(std::string_view text, const std::atomic<int>* cancel = nullptr);
SubtitleFile ReadWebVtt(std::string_view text, const std::atomic<int>* cancel = nullptr);

}  // namespace vantrel
