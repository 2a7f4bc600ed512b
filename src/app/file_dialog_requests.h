// The file dialogs of the File commands: title, filter in Qt's syntax, default extension and
// initial name. Filters list patterns separated by spaces, and "*" for all files, since on
// Linux "*.*" would hide names without an extension.
#pragma once

#include <string>

#include "app/dialogs.h"

namespace vantrel {

inline const Dialogs::FileRequest kOpenProjectRequest{
    "Open Caption Project", "Vantrel Projects (*.ccp);;All Files (*)", "", ""};
inline const Dialogs::FileRequest kSaveProjectRequest{
    "Save Caption Project As", "Vantrel Projects (*.ccp);;All Files (*)", "ccp", "untitled.ccp"};
// Subtitles (.srt, .vtt) are laid out as pop-on captions on import.
inline const Dialogs::FileRequest kImportRequest{
    "Import Captions",
    "Caption Files (*.m2v *.dat *.bin *.scc *.ccd *.srt *.vtt);;"
    "Subtitle Files (*.srt *.vtt);;All Files (*)",
    "", ""};
// Asked after the file of an import of 608 captions is chosen.
inline constexpr const char* kImportChannelQuestion = "Caption channel to import:";
// Filters that write drop-frame timecodes (00:01:00;02 for frame 1800), as broadcast files for
// 29.97 video carry them; the name's extension still picks the format.
inline constexpr char kSccDropFrameFilter[] = "Scenarist, drop-frame timecodes (*.scc)";
inline constexpr char kCcdDropFrameFilter[] = "Disassembly text, drop-frame timecodes (*.ccd)";
inline constexpr char kReportDropFrameFilter[] = "Timing report, drop-frame timecodes (*.txt)";
inline const Dialogs::FileRequest kExportRequest{
    "Export Captions",
    std::string("Binary Caption Data (*.dat *.bin);;Scenarist Closed Caption (*.scc);;") +
        kSccDropFrameFilter + ";;Closed Caption Disassembly (*.ccd);;" + kCcdDropFrameFilter,
    "bin", "untitled.bin"};
inline const Dialogs::FileRequest kTimingReportRequest{
    "Export Timing Report", std::string("Text files (*.txt);;") + kReportDropFrameFilter, "txt",
    "untitled.txt"};
inline const Dialogs::FileRequest kSubtitleRequest{"Convert to Subtitle", "Subtitle Files (*.srt)",
                                                   "srt", "untitled.srt"};
inline const Dialogs::FileRequest kMultiplexSourceRequest{"Choose Source Video Stream",
                                                          "MPEG-2 Video Streams (*.m2v)", "", ""};
inline const Dialogs::FileRequest kMultiplexDestinationRequest{
    "Save Multiplexed Video As", "MPEG-2 Video Streams (*.m2v)", "m2v", "untitled.m2v"};

inline constexpr char kSaveChangesQuestion[] =
    "The caption project has changed.\n\nDo you want to save the changes?";

}  // namespace vantrel
