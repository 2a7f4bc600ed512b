#include "files/subtitles.h"

#include <string_view>

#include "codec/charset.h"
#include "files/caption_blocks.h"
#include "files/timecode.h"

namespace vantrel {

namespace {

// Caption-set text to UTF-8, keeping the CR LF that separate rows.
std::string LinesToUtf8(std::string_view text) {
    std::string out;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find("\r\n", start);
        const size_t stop = end == std::string_view::npos ? text.size() : end;
        out += CaptionTextToUtf8(text.substr(start, stop - start));
        if (end == std::string_view::npos) break;
        out += "\r\n";
        start = end + 2;
    }
    return out;
}

// The rows as they are shown, each a line with its colours, italics and underline in tags.
std::string StyledLines(const Caption& caption) {
    std::string out;
    for (const CaptionBlock& block : CaptionBlocks(caption)) {
        for (const BlockRow& row : block.rows) {
            if (!out.empty()) out += "\r\n";
            for (const TextRun& run : row.runs) out += MarkedUp(run, Markup::SubRip);
        }
    }
    return out;
}

}  // namespace

std::string SubtitleText(const CaptionList& captions, bool plain, const std::atomic<int>* cancel) {
    CancelPoll cancelled(cancel);
    std::string out;
    char text[kSubtitleTextCapacity + 1];
    int index = 1;  // SubRip counts its blocks from 1
    for (const Caption* c = captions.Head(); c && !cancelled(); c = c->next) {
        out += std::to_string(index++);
        out += "\r\n";
        out += FormatSubtitleTime(c->startFrame);
        out += " --> ";
        out += FormatSubtitleTime(c->endFrame);
        out += "\r\n";
        if (plain) {
            const size_t n = c->GetLinesText(text, true, kSubtitleTextCapacity);
            out += LinesToUtf8(std::string_view(text, n));
        } else {
            out += StyledLines(*c);
        }
        out += "\r\n\r\n";
    }
    return out;
}

std::string TimingReportText(const CaptionList& captions, TimecodeStyle style,
                             const std::atomic<int>* cancel) {
    CancelPoll cancelled(cancel);
    std::string out;
    char text[kSubtitleTextCapacity + 1];
    for (const Caption* c = captions.Head(); c && !cancelled(); c = c->next) {
        const size_t n = c->GetRunningText(text, false, kSubtitleTextCapacity);
        out += FormatTimecode(c->startFrame, style);
        out += " - ";
        out += FormatTimecode(c->endFrame, style);
        out += '\t';
        out += CaptionTextToUtf8(std::string_view(text, n));
        out += "\r\n";
    }
    return out;
}

WriteResult WriteSubtitles(const CaptionProject& project, const std::string& path) {
    return ReplaceFileContent(path, SubtitleText(project.captions, false, &project.cancel),
                              project.host, &project.cancel);
}

WriteResult WriteTimingReport(const CaptionProject& project, const std::string& path,
                              TimecodeStyle style) {
    return ReplaceFileContent(path, TimingReportText(project.captions, style, &project.cancel),
                              project.host, &project.cancel);
}

}  // namespace vantrel
