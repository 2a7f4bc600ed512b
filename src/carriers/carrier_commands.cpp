#include "carriers/carrier_commands.h"

#include <sys/stat.h>

#include <new>

#include "carriers/video_captions.h"
#include "codec/decoder.h"
#include "files/file_messages.h"
#include "model/caption_list.h"
#include "model/caption_project.h"

namespace vantrel {

MpegOutcome ExtractVideoCaptions(const std::string& path, ProgressSink& progress,
                                 const std::atomic<int>& cancel, CaptionList& into,
                                 const DecodeOptions& options) {
    MpegOutcome outcome;
    try {
        CaptionFileData read;
        outcome.status = ReadVideoCaptions(path, progress, cancel, read, outcome.message);
        // The field of the channel decoded: the other alone holds nothing for it.
        const PairStream& pairs =
            FieldOfChannel(options.channel) == 2 ? read.field2Pairs : read.pairs;
        if (outcome.status == MpegStatus::Completed && pairs.empty()) {
            outcome.status = MpegStatus::NoCaptions;
        }
        if (outcome.status == MpegStatus::Completed) {
            const SkippedData skipped = DecodePairStream(into, pairs, &cancel, options);
            if (CancelRaised(&cancel)) {
                into.Clear();
                outcome.status = MpegStatus::Cancelled;
            } else {
                outcome.skippedMessage = SkippedDataText(path, skipped, read);
                outcome.madeMessage = MadeFromDataText(path, skipped);
            }
        }
    } catch (const std::bad_alloc&) {
        into.Clear();
        outcome.status = MpegStatus::OutOfMemory;
    }
    if (outcome.status == MpegStatus::NoCaptions) outcome.message = kNoClosedCaptionsInVideoText;
    if (outcome.status == MpegStatus::OutOfMemory) outcome.message = kExtractionMemoryText;
    return outcome;
}

MpegOutcome ImportVideo(CaptionProject& project, const std::string& path, ProgressDisplay& display,
                        CaptionList& into, const DecodeOptions& options) {
    struct stat st {};
    const uint64_t length =
        ::stat(path.c_str(), &st) == 0 && st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
    ProgressWorker worker(
        length, OperationMode::Extraction, project,
        [&path, &options](ProgressSink& progress, const std::atomic<int>& cancel, CaptionList& list) {
            return ExtractVideoCaptions(path, progress, cancel, list, options);
        });
    display.Run(worker);
    worker.Wait();
    MpegOutcome outcome = worker.Outcome();
    if (outcome.status == MpegStatus::Completed) into.MoveFrom(worker.Extracted());
    if (project.host != nullptr) {
        if (outcome.status != MpegStatus::Cancelled && !outcome.message.empty()) {
            project.host->Inform(outcome.message);
        }
        if (!outcome.skippedMessage.empty()) project.host->Inform(outcome.skippedMessage);
        if (!outcome.madeMessage.empty()) project.host->Note(outcome.madeMessage);
    }
    return outcome;
}

}  // namespace vantrel
