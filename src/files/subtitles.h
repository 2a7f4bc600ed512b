// The SubRip subtitle file and the timing report made from the project's captions. Both are
// UTF-8 text with CR LF line ends.
#pragma once

#include <string>

#include "files/file.h"
#include "files/timecode.h"
#include "model/caption_list.h"
#include "model/caption_project.h"

namespace vantrel {

// Caption text kept per caption in both outputs, in caption-set bytes.
constexpr size_t kSubtitleTextCapacity = 512;

// One block per caption, numbered from 1: the number, the start and end times, the rows one per
// line, and an empty line. The rows keep their case, with <i>, <u> and <font color> tags for
// their italics, underline and colours; `plain` writes them in lower case without tags. Both
// texts are cut short once `cancel` is raised.
std::string SubtitleText(const CaptionList& captions, bool plain = false,
                         const std::atomic<int>* cancel = nullptr);

// One line per caption: the start and end timecodes, a tab and the rows joined by spaces.
std::string TimingReportText(const CaptionList& captions,
                             TimecodeStyle style = TimecodeStyle::NonDropFrame,
                             const std::atomic<int>* cancel = nullptr);

// Write the texts as the file at `path`; failures are reported through the project's host. A
// raised cancel flag writes nothing and says nothing (Cancelled).
WriteResult WriteSubtitles(const CaptionProject& project, const std::string& path);
WriteResult WriteTimingReport(const CaptionProject& project, const std::string& path,
                              TimecodeStyle style = TimecodeStyle::NonDropFrame);

}  // namespace vantrel
