#include "mpeg/mpeg_commands.h"

#include "files/file.h"
#include "model/caption_list.h"
#include "model/caption_project.h"

namespace vantrel {

namespace {

void Tell(const CaptionProject& project, const std::string& text) {
    if (project.host != nullptr && !text.empty()) project.host->Inform(text);
}

}  // namespace

MpegOutcome ImportM2v(CaptionProject& project, File& source, ProgressDisplay& display,
                      CaptionList& into) {
    const int64_t length = source.Length();
    ProgressWorker worker(length > 0 ? static_cast<uint64_t>(length) : 0, OperationMode::Extraction,
                          source, source, project);
    display.Run(worker);
    worker.Wait();
    MpegOutcome outcome = worker.Outcome();
    if (outcome.status == MpegStatus::Completed) into.MoveFrom(worker.Extracted());
    Tell(project, outcome.message);
    Tell(project, outcome.skippedMessage);
    return outcome;
}

MpegOutcome RunMultiplex(CaptionProject& project, File& source, File& destination,
                         ProgressDisplay& display) {
    const int64_t length = source.Length();
    ProgressWorker worker(length > 0 ? static_cast<uint64_t>(length) : 0,
                          OperationMode::Multiplexing, source, destination, project);
    display.Run(worker);
    worker.Wait();
    MpegOutcome outcome = worker.Outcome();
    Tell(project, outcome.message);
    if (outcome.status == MpegStatus::Completed || outcome.status == MpegStatus::NothingToEncode) {
        Tell(project, outcome.leftOutMessage);
    }
    return outcome;
}

bool OperationSucceeded(const MpegOutcome& outcome) {
    return (outcome.status == MpegStatus::Completed ||
            outcome.status == MpegStatus::NothingToEncode) &&
           outcome.leftOutCount == 0;
}

}  // namespace vantrel
