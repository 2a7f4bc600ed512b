// Exporting the project's captions as a caption file: the encoder's pair stream laid out as
// raw pairs (.bin, .dat), Scenarist text (.scc), disassembly text (.ccd) or MacCaption text
// (.mcc).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "files/file.h"
#include "files/timecode.h"
#include "model/caption_project.h"

namespace vantrel {

// The content of a caption file of the given extension (without the dot, any case) for an
// encoded stream; for an empty stream, the format's file without a caption (its header); empty
// for an extension other than bin, dat, scc, ccd, mcc.
// The style is that of the timecodes of the text formats. Cut short once `cancel` is raised.
std::string FormatCaptionFile(std::span<const uint8_t> stream, std::string_view extension,
                              TimecodeStyle style = TimecodeStyle::NonDropFrame,
                              const std::atomic<int>* cancel = nullptr);

struct ExportResult {
    WriteResult write = WriteResult::Written;
    size_t leftOut = 0;  // captions the encoder could not place
    size_t late = 0;     // captions shown late for lack of loading time
};

// Encodes the project's captions and writes the file for `extension` as the file at `path`
// (the format's header alone when nothing is encoded; an empty file when the extension is none
// of the five). Captions the
// encoder leaves out are named in a message; the file is written without them. Captions it
// shows late are named in another, with the frame each is shown from. A failure to
// write is reported as "Error saving file " + path with the system's reason, and leaves any
// file already at `path` as it was. A raised cancel flag writes and says nothing.
ExportResult ExportCaptionFile(CaptionProject& project, const std::string& path,
                               std::string_view extension,
                               TimecodeStyle style = TimecodeStyle::NonDropFrame);

}  // namespace vantrel
