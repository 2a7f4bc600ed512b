#include "files/webvtt_writer.h"

#include <cstdio>

#include "files/caption_blocks.h"
#include "files/caption_grid.h"
#include "model/caption_project.h"

namespace vantrel {

namespace {

std::string CueTime(int64_t frame) {
    std::string time = FormatSubtitleTime(frame);
    time[time.size() - 4] = '.';
    return time;
}

std::string Settings(const CaptionBlock& block, const CaptionGrid& grid) {
    char text[96];
    if (block.centred) {
        std::snprintf(text, sizeof text, " line:%.3f%% align:center", grid.RowY(block.firstRow));
    } else {
        std::snprintf(text, sizeof text, " line:%.3f%% position:%.3f%% align:left",
                      grid.RowY(block.firstRow), grid.ColumnX(block.column));
    }
    return text;
}

}  // namespace

std::string WebVttText(const CaptionList& captions, const WriteOptions& options,
                       const std::atomic<int>* cancel) {
    CancelPoll cancelled(cancel);
    // The colour classes are WebVTT's own, which players know without a STYLE block; asked
    // for, it gives the black background and monospaced cells of 608 captions.
    std::string out = "WEBVTT\n\n";
    if (options.webVttStyle) {
        out +=
            "STYLE\n::cue {\n  color: white;\n  background-color: black;\n"
            "  font-family: monospace;\n}\n\n";
    }
    const CaptionGrid grid = GridOf(options.widescreen);
    for (const Caption* c = captions.Head(); c && !cancelled(); c = c->next) {
        for (const CaptionBlock& block : CaptionBlocks(*c)) {
            out += CueTime(c->startFrame) + " --> " + CueTime(c->endFrame) + Settings(block, grid) +
                   '\n';
            for (const BlockRow& row : block.rows) {
                // Players collapse blanks but keep no-break spaces: they indent a row from
                // the block's left (by whole cells in a monospaced font).
                for (int k = block.centred ? row.column : block.column; k < row.column; ++k)
                    out += "&nbsp;";
                for (const TextRun& run : row.runs) out += MarkedUp(run, Markup::WebVtt);
                out += '\n';
            }
            out += '\n';
        }
    }
    return out;
}

}  // namespace vantrel
