#include "carriers/carrier_commands.h"

#include <sys/stat.h>

#include <new>

#include "carriers/video_module.h"
#include "codec/decoder.h"
#include "files/caption_services.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "files/replacing_file.h"
#include "model/caption_list.h"
#include "model/caption_project.h"

namespace vantrel {

MpegOutcome ExtractVideoCaptions(const std::string& path, ProgressSink& progress,
                                 const std::atomic<int>& cancel, CaptionList& into,
                                 const DecodeOptions& options) {
    MpegOutcome outcome;
    try {
        CaptionFileData read;
        std::string missing;
        const VideoFunctions* video = VideoModule(missing);
        outcome.status = video != nullptr ? video->readVideoCaptions(path, progress, cancel, read,
                                                                     outcome.message)
                                          : MpegStatus::ReadFailed;
        if (video == nullptr) outcome.message = ErrorOpeningFileText(path, missing);
        // The field of the channel decoded: the other alone holds nothing for it.
        const PairStream& pairs =
            FieldOfChannel(options.channel) == 2 ? read.field2Pairs : read.pairs;
        if (outcome.status == MpegStatus::Completed && pairs.empty() && read.dtvcc.empty()) {
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
                // No 608 on the channel: the captions of the 708 service asked for.
                const dtvcc::ServiceReport report = Import708Service(into, read, options);
                const auto add = [](std::string& to, const std::string& text) {
                    if (!text.empty()) to += (to.empty() ? "" : "\n") + text;
                };
                if (report.captions > 0) {
                    add(outcome.madeMessage,
                        Read708Text(path, options.channel, options.service, report));
                    add(outcome.skippedMessage, Lost708Text(path, report));
                }
                add(outcome.madeMessage,
                    HeldServicesText(path, HeldServicesOf(read),
                                     report.captions > 0
                                         ? "708 service " + std::to_string(options.service)
                                         : "CC" + std::to_string(options.channel)));
                if (pairs.empty() && into.Empty()) outcome.status = MpegStatus::NoCaptions;
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
    ProgressWorker worker(length, OperationMode::Extraction, project,
                          [&path, &options](ProgressSink& progress, const std::atomic<int>& cancel,
                                            CaptionList& list) {
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

MpegOutcome EmbedToFile(CaptionProject& project, const std::string& sourcePath,
                        const std::string& outputPath, ProgressDisplay& display,
                        CaptionCarrier carrier, bool with708) {
    MpegOutcome outcome;
    const auto tell = [&](const std::string& text) {
        if (project.host != nullptr && !text.empty()) project.host->Inform(text);
    };
    if (SameFile(sourcePath, outputPath)) {
        outcome.status = MpegStatus::Refused;
        outcome.message = ErrorSavingFileText(outputPath, std::string(kOverwritesInputText));
        tell(outcome.message);
        return outcome;
    }
    // Before the output is made: no video module, no file.
    std::string missing;
    const VideoFunctions* video = VideoModule(missing);
    if (video == nullptr) {
        outcome.status = MpegStatus::ReadFailed;
        outcome.message = ErrorOpeningFileText(sourcePath, missing);
        tell(outcome.message);
        return outcome;
    }
    ReplacingFile output;
    if (!output.Open(outputPath)) {
        outcome.status = MpegStatus::Refused;
        outcome.message = ErrorSavingFileText(outputPath, output.Error());
        tell(outcome.message);
        return outcome;
    }
    struct stat st {};
    const uint64_t length = ::stat(sourcePath.c_str(), &st) == 0 && st.st_size > 0
                                ? static_cast<uint64_t>(st.st_size)
                                : 0;
    File& destination = output.Output();
    ProgressWorker worker(
        length, OperationMode::Multiplexing, project,
        [&](ProgressSink& progress, const std::atomic<int>& cancel, CaptionList&) {
            return video->embedCaptions(project.captions, sourcePath, destination, progress, cancel,
                                        carrier, with708);
        });
    worker.SetTitle(EmbeddingTitle(outputPath));
    display.Run(worker);
    worker.Wait();
    outcome = worker.Outcome();
    if (outcome.status != MpegStatus::Cancelled) tell(outcome.message);
    if (outcome.status == MpegStatus::Completed || outcome.status == MpegStatus::NothingToEncode) {
        tell(outcome.leftOutMessage);
        tell(outcome.pastEndMessage);
        tell(outcome.skippedMessage);
    }
    if (outcome.status != MpegStatus::Completed) return outcome;
    if (CancelRaised(&project.cancel)) {
        outcome.status = MpegStatus::Cancelled;
        return outcome;
    }
    if (!output.Commit()) {
        outcome.status = MpegStatus::WriteFailed;
        outcome.message = ErrorSavingFileText(outputPath, output.Error());
        tell(outcome.message);
    }
    return outcome;
}

}  // namespace vantrel
