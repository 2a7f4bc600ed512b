// Entry points of the MPEG-2 operations for the import, the Multiplex command and the
// command-line tool. Each runs its operation on a ProgressWorker behind a ProgressDisplay and,
// back on the calling thread once the worker has returned, updates the project and tells the
// project's host what there is to tell.
//
// Wiring:
// - ImportCaptionFile, ".m2v": pass ImportHooks::readMpeg2 =
//       [&](CaptionProject& p, File& f) { ImportM2v(p, f, display); }
//   where display is the progress dialog (window) or a TerminalProgress (command line).
// - File > Multiplex into MPEG2 Stream: open the source and create the destination as the
//   command describes, then RunMultiplex(project, source, destination, dialog); close both.
// - Command line: the same two calls with a TerminalProgress; exit non-zero unless
//   OperationSucceeded(outcome).
#pragma once

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
                      CaptionList& into);

// Copies `source` (open for reading, at its start) to `destination` (created empty, open for
// writing) with the project's captions in it. The outcome's message and the left-out captions
// are told through the host. On cancel, failure or a memory shortage the destination's name is
// removed (the caller still closes both files); a group of pictures over 10 MiB leaves what
// was written before it.
MpegOutcome RunMultiplex(CaptionProject& project, File& source, File& destination,
                         ProgressDisplay& display);

// Completed with nothing left out, or a project without captions to encode.
bool OperationSucceeded(const MpegOutcome& outcome);

}  // namespace vantrel
