// The file dialogs of the File commands: title, filter in Qt's syntax, default extension and
// initial name. Filters list patterns separated by spaces, and "*" for all files, since on
// Linux "*.*" would hide names without an extension.
#pragma once

#include <filesystem>
#include <string>

#include "app/dialogs.h"
#include "files/caption_formats.h"
#include "files/timecode.h"

namespace vantrel {

inline const Dialogs::FileRequest kOpenProjectRequest{
    "Open Caption Project", "Vantrel Projects (*.ccp);;All Files (*)", "", ""};
inline const Dialogs::FileRequest kSaveProjectRequest{
    "Save Caption Project As", "Vantrel Projects (*.ccp);;All Files (*)", "ccp", "untitled.ccp"};
// Made from the table of formats. Subtitles are laid out as pop-on captions on import.
inline const Dialogs::FileRequest kImportRequest{
    "Import Captions",
    KindsFilter("Caption Files", {FormatKind::Pairs, FormatKind::Mpeg2, FormatKind::Subtitles},
                true) +
        ";;" + KindsFilter("Subtitle Files", {FormatKind::Subtitles}, true) + ";;" +
        KindsFilter("Video Files", {FormatKind::Mpeg2, FormatKind::Video}, true) +
        ";;All Files (*)",
    "", ""};
inline const Dialogs::FileRequest kTranscriptRequest{"Import Transcript",
                                                     "Text Files (*.txt);;All Files (*)", "", ""};
// Shot changes made by another tool: frame numbers or timecodes, one a line.
inline const Dialogs::FileRequest kImportShotChangesRequest{
    "Import Shot Changes", "Shot Change Lists (*.txt *.csv);;All Files (*)", "", ""};
// Asked after the file of an import of 608 captions is chosen.
inline constexpr const char* kImportChannelQuestion = "Caption channel to import:";
// Filters that write drop-frame timecodes (00:01:00;02 for frame 1800), as broadcast files for
// 29.97 video carry them; the name's extension still picks the format.
inline const std::string kSccDropFrameFilter = DropFrameFilter(*FormatNamed("scc"));
inline const std::string kCcdDropFrameFilter = DropFrameFilter(*FormatNamed("ccd"));
inline const std::string kReportDropFrameFilter = DropFrameFilter(*FormatNamed("txt"));
// Opens on Scenarist, the file most deliveries ask for (ExportRequest picks its timecodes).
inline const Dialogs::FileRequest kExportRequest{"Export Captions", SaveFilters(FormatKind::Pairs),
                                                 "scc", "untitled.scc"};
inline const Dialogs::FileRequest kTimingReportRequest{
    "Export Timing Report", SaveFilters(FormatKind::Report), "txt", "untitled.txt"};
inline const Dialogs::FileRequest kSubtitleRequest{
    "Convert to Subtitle", SaveFilters(FormatKind::Subtitles), "srt", "untitled.srt"};
// Every video the embedder takes: MPEG-2 elementary streams, and H.264 and HEVC video in its
// container, which takes the captions without re-encoding.
inline constexpr char kEmbedVideoFilter[] =
    "Videos (*.m2v *.mp4 *.m4v *.mov *.mkv *.ts *.m2ts);;MPEG-2 Video Streams (*.m2v);;"
    "H.264 and HEVC Video (*.mp4 *.m4v *.mov *.mkv *.ts *.m2ts);;All Files (*)";
inline const Dialogs::FileRequest kEmbedSourceRequest{"Choose the Video to Embed Captions Into",
                                                      kEmbedVideoFilter, "", ""};
inline const Dialogs::FileRequest kEmbedDestinationRequest{
    "Save the Video with Captions As", kEmbedVideoFilter, "m2v", "untitled.m2v"};

// The Export dialog on Scenarist, with the timecodes the window shows.
inline Dialogs::FileRequest ExportRequest(TimecodeStyle shown) {
    Dialogs::FileRequest request = kExportRequest;
    const std::string plain = kSccDropFrameFilter.substr(0, kSccDropFrameFilter.find(',')) +
                              kSccDropFrameFilter.substr(kSccDropFrameFilter.rfind(" ("));
    request.selectedFilter = shown == TimecodeStyle::DropFrame ? kSccDropFrameFilter : plain;
    return request;
}

// The video with the captions, proposed beside the source in the source's container:
// /videos/job.mp4 gives /videos/job-captioned.mp4.
inline Dialogs::FileRequest EmbedDestinationRequest(const std::string& source) {
    Dialogs::FileRequest request = kEmbedDestinationRequest;
    const std::filesystem::path path(source);
    if (path.has_extension()) request.defaultExtension = path.extension().string().substr(1);
    request.fileName =
        (path.parent_path() / path.stem()).string() + "-captioned" + path.extension().string();
    return request;
}

// A project's video that is not where the project says.
inline constexpr char kLocateVideoTitle[] = "Locate Missing Video";
inline std::string MissingVideoQuestion(const std::string& path) {
    return "The project's video file is missing:\n" + path +
           "\n\nDo you want to choose where it is now?";
}
// A video path that is not a file on this computer (a URL, a device, a folder).
inline std::string NotALocalVideoText(const std::string& path) {
    return path + "\nis not a local video file. Only a video file on this computer is opened.";
}

// A start that finds the recovery file of a window that no longer runs: the project's file name
// ("an untitled project" without one) and when its recovery file was last written.
inline std::string RecoverQuestion(const std::string& name, const std::string& changed) {
    return "Vantrel ended without saving the changes to " + name + ", last changed " + changed +
           ".\n\nDo you want to recover them?\n(No discards them; Cancel keeps them for the next "
           "start.)";
}

// Autosave could not start: the recovery folder and why it cannot be used.
inline constexpr char kAutosaveOffStatus[] = "Autosave off";
inline std::string AutosaveOffText(const std::string& folder, const std::string& reason) {
    return "Autosave is off: no recovery file can be kept in\n" + folder + "\n(" + reason +
           ").\n\nChanges are kept only when you save them.";
}

inline constexpr char kSaveChangesQuestion[] =
    "The caption project has changed.\n\nDo you want to save the changes?";

}  // namespace vantrel
