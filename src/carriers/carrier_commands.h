// Entry points of the video operations for the import and the command-line tool, run as the
// MPEG-2 ones are: on a ProgressWorker behind a ProgressDisplay. They reach the code that reads
// and writes the video through the video module (video_module.h); when it cannot be loaded the
// outcome is ReadFailed, and says so.
//
// Wiring: ImportCaptionFile on a video file: pass ImportHooks::readVideo =
//     [&](CaptionProject& p, const std::string& path, CaptionList& into) {
//         return ImportVideo(p, path, display, into).status == MpegStatus::Completed; }
#pragma once

#include <atomic>
#include <string>

#include "carriers/embed_captions.h"
#include "mpeg/mpeg_outcome.h"
#include "mpeg/progress_worker.h"

namespace vantrel {

class CaptionList;
struct CaptionProject;

// Reads the captions of the video at `path` and decodes them into `into`, a list of the
// caller's own. The outcome's message is "Video file does not contain closed captions", the
// reason the file could not be read, or a memory shortage; the skipped message says what the
// decoder left out. Never throws.
MpegOutcome ExtractVideoCaptions(const std::string& path, ProgressSink& progress,
                                 const std::atomic<int>& cancel, CaptionList& into,
                                 const DecodeOptions& options = {});

// ExtractVideoCaptions on a worker behind `display`; the messages go to the project's host, a
// cancel says nothing, and `into` stays empty unless the outcome is Completed.
MpegOutcome ImportVideo(CaptionProject& project, const std::string& path, ProgressDisplay& display,
                        CaptionList& into, const DecodeOptions& options = {});

// The embedding as the window and the command line run it, into a ReplacingFile for
// `outputPath`, behind `display`: the output is there only when the outcome is Completed; every
// failure is told through the project's host, a cancel is not. `with708` as EmbedCaptions.
MpegOutcome EmbedToFile(CaptionProject& project, const std::string& sourcePath,
                        const std::string& outputPath, ProgressDisplay& display,
                        CaptionCarrier carrier = CaptionCarrier::Pictures, bool with708 = true);

}  // namespace vantrel
