// Exporting the project's captions as a caption file of any format of the table that writes
// one: the encoder's pair stream laid out as its file (.bin, .scc, .ccd, .mcc), or the captions
// written as text (subtitles, the timing report).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "files/caption_formats.h"
#include "files/file.h"
#include "files/timecode.h"
#include "model/caption_project.h"

namespace vantrel {

// The content of a caption file of the given extension (without the dot, any case) for an
// encoded stream; for an empty stream, the format's file without a caption (its header); empty
// for an extension of no format that writes pairs.
// The style is that of the timecodes of the text formats. Cut short once `cancel` is raised.
std::string FormatCaptionFile(std::span<const uint8_t> stream, std::string_view extension,
                              TimecodeStyle style = TimecodeStyle::NonDropFrame,
                              const std::atomic<int>* cancel = nullptr);

struct ExportResult {
    WriteResult write = WriteResult::Written;
    size_t leftOut = 0;  // captions the encoder could not place
    size_t late = 0;     // captions shown late for lack of loading time
};

// Writes the project's captions as the file at `path` in `format` (a row that writes pairs or
// captions). A format of pairs is encoded first (the format's header alone when nothing is
// encoded): captions the encoder leaves out are named in a message, and the file is written
// without them; captions it shows late are named in another, with the frame each is shown from.
// A failure to write is reported as "Error saving file " + path with the system's reason, and
// leaves any file already at `path` as it was. A raised cancel flag writes and says nothing.
ExportResult ExportCaptionFile(CaptionProject& project, const std::string& path,
                               const CaptionFormat& format, const WriteOptions& options = {});

// The same, the content handed to `write` (which says what became of it) in place of a file's.
using ContentWriter = std::function<WriteResult(std::string_view content)>;
ExportResult ExportCaptionFile(CaptionProject& project, const CaptionFormat& format,
                               const WriteOptions& options, const ContentWriter& write);

// The same by the extension (without the dot, any case); an empty file for an extension of no
// format that writes captions.
ExportResult ExportCaptionFile(CaptionProject& project, const std::string& path,
                               std::string_view extension,
                               TimecodeStyle style = TimecodeStyle::NonDropFrame);

}  // namespace vantrel
