#include "mpeg/mpeg_commands.h"

#include "files/file.h"
#include "files/file_messages.h"
#include "files/replacing_file.h"
#include "model/caption_list.h"
#include "model/caption_project.h"

namespace vantrel {

namespace {

void Tell(const CaptionProject& project, const std::string& text) {
    if (project.host != nullptr && !text.empty()) project.host->Inform(text);
}

}  // namespace

MpegOutcome ImportM2v(CaptionProject& project, File& source, ProgressDisplay& display,
                      CaptionList& into, const DecodeOptions& options) {
    const int64_t length = source.Length();
    ProgressWorker worker(length > 0 ? static_cast<uint64_t>(length) : 0, OperationMode::Extraction,
                          source, source, project);
    worker.SetDecodeOptions(options);
    display.Run(worker);
    worker.Wait();
    MpegOutcome outcome = worker.Outcome();
    if (outcome.status == MpegStatus::Completed) into.MoveFrom(worker.Extracted());
    Tell(project, outcome.message);
    Tell(project, outcome.skippedMessage);
    if (project.host != nullptr && !outcome.madeMessage.empty()) {
        project.host->Note(outcome.madeMessage);
    }
    return outcome;
}

MpegOutcome RunMultiplex(CaptionProject& project, File& source, File& destination,
                         const std::string& outputPath, ProgressDisplay& display) {
    const int64_t length = source.Length();
    ProgressWorker worker(length > 0 ? static_cast<uint64_t>(length) : 0,
                          OperationMode::Multiplexing, source, destination, project);
    worker.SetTitle(EmbeddingTitle(outputPath));
    display.Run(worker);
    worker.Wait();
    MpegOutcome outcome = worker.Outcome();
    Tell(project, outcome.message);
    if (outcome.status == MpegStatus::Completed || outcome.status == MpegStatus::NothingToEncode) {
        Tell(project, outcome.leftOutMessage);
        Tell(project, outcome.lateMessage);
        Tell(project, outcome.pastEndMessage);
    }
    return outcome;
}

MpegOutcome MultiplexToFile(CaptionProject& project, const std::string& sourcePath,
                            const std::string& outputPath, ProgressDisplay& display) {
    MpegOutcome outcome;
    const auto fail = [&](MpegStatus status, std::string message) {
        outcome.status = status;
        outcome.message = std::move(message);
        Tell(project, outcome.message);
        return outcome;
    };
    // Replacing the source would empty the stream before it is read.
    if (SameFile(sourcePath, outputPath)) {
        return fail(MpegStatus::Refused,
                    ErrorSavingFileText(outputPath, std::string(kOverwritesInputText)));
    }
    // A source that waits (a named pipe) gives way to a cancel, which needs no word.
    File source;
    if (!source.Open(sourcePath, File::Mode::Read, &project.cancel)) {
        if (CancelRaised(&project.cancel)) {
            outcome.status = MpegStatus::Cancelled;
            return outcome;
        }
        return fail(MpegStatus::Refused, ErrorOpeningFileText(sourcePath, source.Error()));
    }
    ReplacingFile output;
    if (!output.Open(outputPath)) {
        return fail(MpegStatus::Refused, ErrorSavingFileText(outputPath, output.Error()));
    }
    outcome = RunMultiplex(project, source, output.Output(), outputPath, display);
    if (outcome.status != MpegStatus::Completed) return outcome;
    if (CancelRaised(&project.cancel)) {
        outcome.status = MpegStatus::Cancelled;
        return outcome;
    }
    if (!output.Commit()) {
        return fail(MpegStatus::WriteFailed, ErrorSavingFileText(outputPath, output.Error()));
    }
    return outcome;
}

bool OperationSucceeded(const MpegOutcome& outcome) {
    return outcome.status == MpegStatus::Completed && outcome.leftOutCount == 0 &&
           outcome.pastEndCount == 0;
}

}  // namespace vantrel
