// Subtitles (.srt, .vtt) made into pop-on captions: the most common job of a captioner, a
// subtitle file or transcript that must go on the air as 608 captions.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/caption_formats.h"
#include "files/caption_import.h"
#include "files/subtitle_reader.h"
#include "model/caption_list.h"
#include "model/caption_project.h"

namespace vantrel {

// An extension of a subtitle format (srt, vtt), any case.
bool IsSubtitleExtension(std::string_view extension);

// Appends the captions of the cues to `list` (which must be empty): each cue at its times,
// laid out on the screen, `Manual`, or `Seamless` when the next cue starts as it ends or
// before (a receiver shows one pop-on caption at a time); cues that start on the same frame
// share one screen; a cue that needs more than four rows becomes consecutive captions that
// share its time in proportion to their text. Captions the encoder cannot place (past its
// last frame) are taken out again and returned, in time order; those it cannot load in time
// stay, to be shown late. Stops once `cancel` is raised; the caller discards the list.
std::vector<std::unique_ptr<Caption>> MakeSubtitleCaptions(
    const SubtitleFile& file, CaptionList& list, const std::atomic<int>* cancel = nullptr);

// Imports the subtitle file at `path` (of `format`, a Subtitles row) from its `content`, read by
// ImportCaptionFile. The captions are made before anything changes; the project's captions
// are replaced only when there is at least one (`beforeClear` runs just before). What could
// not be shown or placed is reported through the project's host: blocks without a readable
// time line, cues that end before they start, characters without a 608 form, captions left
// out.
ImportResult ImportSubtitleFile(CaptionProject& project, const std::string& path,
                                const CaptionFormat& format, std::vector<uint8_t> content,
                                const std::function<void()>& beforeClear = {});

}  // namespace vantrel
