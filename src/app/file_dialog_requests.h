// The file dialogs of the File commands: title, filter in Qt's syntax, default extension and
// initial name. Filters list patterns separated by spaces, and "*" for all files, since on
// Linux "*.*" would hide names without an extension.
#pragma once

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
inline const Dialogs::FileRequest kExportRequest{
    "Export Captions",
    "Binary Caption Data (*.dat *.bin);;Scenarist Closed Caption (*.scc);;"
    "Closed Caption Disassembly (*.ccd)",
    "bin", "untitled.bin"};
inline const Dialogs::FileRequest kTimingReportRequest{"Export Timing Report", "Text files (*.txt)",
                                                       "txt", "untitled.txt"};
inline const Dialogs::FileRequest kSubtitleRequest{"Convert to Subtitle", "Subtitle Files (*.srt)",
                                                   "srt", "untitled.srt"};
inline const Dialogs::FileRequest kMultiplexSourceRequest{"Choose Source Video Stream",
                                                          "MPEG-2 Video Streams (*.m2v)", "", ""};
inline const Dialogs::FileRequest kMultiplexDestinationRequest{
    "Save Multiplexed Video As", "MPEG-2 Video Streams (*.m2v)", "m2v", "untitled.m2v"};

inline constexpr char kSaveChangesQuestion[] =
    "The caption project has changed.\n\nDo you want to save the changes?";

}  // namespace vantrel
