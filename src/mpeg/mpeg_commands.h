// Entry points of the MPEG-2 operations for the import, the Multiplex command and the
// command-line tool. Each runs its operation on a ProgressWorker behind a ProgressDisplay and,
// back on the calling thread once the worker has returned, updates the project and tells the
// project's host what there is to tell.
//
// Wiring:
// - ImportCaptionFile, ".m2v": pass ImportHooks::readMpeg2 =
//       [&](CaptionProject& p, File& f, CaptionList& into, const DecodeOptions& options) {
//           ImportM2v(p, f, display, into, options); }
//   where display is the progress dialog (window) or a TerminalProgress (command line).
// - File > Multiplex into MPEG2 Stream and `vantrel-cc mux`: MultiplexToFile(project, source
//   path, output path, display); the command line exits non-zero unless
//   OperationSucceeded(outcome).
#pragma once

#include <string>

#include "mpeg/mpeg_outcome.h"
#include "mpeg/progress_worker.h"

namespace vantrel {

class CaptionList;
class File;
struct CaptionProject;

// Extracts the captions of the stream in `source` (open for reading, at its start) into `into`
// (the import's own list; the project's captions are not touched). A cancelled extraction
// leaves `into` empty and says nothing; other failures are told through the project's host.
// Returns how it ended.
MpegOutcome ImportM2v(CaptionProject& project, File& source, ProgressDisplay& display,
                      CaptionList& into, const DecodeOptions& options = {});

// Copies `source` (open for reading, at its start) to `destination` (open for writing, empty)
// with the project's captions in it. The outcome's message, the left-out captions and those past
// the end of the video are told through the host; the display's title names `outputPath`. The
// destination holds a whole copy only when the outcome is Completed.
MpegOutcome RunMultiplex(CaptionProject& project, File& source, File& destination,
                         const std::string& outputPath, ProgressDisplay& display);

// The multiplex as the window and the command line run it: refuses an output that is the source
// (Refused, as when either file cannot be opened), copies the source into a ReplacingFile for
// `outputPath` with RunMultiplex, and makes the copy the output only when it is complete and
// not cancelled. Every failure is told through the project's host, naming the output as given
// (never a temporary file); a cancel is not told.
MpegOutcome MultiplexToFile(CaptionProject& project, const std::string& sourcePath,
                            const std::string& outputPath, ProgressDisplay& display);

// Completed with nothing left out.
bool OperationSucceeded(const MpegOutcome& outcome);

}  // namespace vantrel
