#include "mpeg/extract_captions.h"

#include <new>
#include <span>
#include <vector>

#include "codec/decoder.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "files/pair_stream.h"
#include "model/caption_list.h"
#include "mpeg/caption_user_data.h"
#include "mpeg/start_code_reader.h"

namespace vantrel {

MpegStatus CollectCaptionPairs(File& source, ProgressSink& progress, const std::atomic<int>& cancel,
                               std::vector<uint8_t>& pairs, int field) {
    StartCodeReader reader(source);
    CaptionTripletWalk walk(field);
    bool inCaptionUnit = false;  // a long caption unit goes on in the pieces after its first
    const size_t before = pairs.size();
    while (const uint8_t* unit = reader.Next()) {
        // Frames past the last one a timecode names are not read (frame numbers stay in range).
        if (pairs.size() - before >= kMaxStreamPairBytes) break;
        if (cancel.load(std::memory_order_relaxed) != 0) return MpegStatus::Cancelled;
        const size_t size = reader.Size();
        progress.SetProgress(reader.Position());
        if (IsCaptionUserData(unit, size)) {
            walk.Begin(unit, size, pairs);
            inCaptionUnit = true;
        } else if (inCaptionUnit && !BeginsWithStartCode(unit, size)) {
            walk.Continue(unit, size, pairs);
        } else {
            inCaptionUnit = false;
        }
    }
    // A read of a pipe given up on a cancel request fails too; it is the cancel.
    if (reader.Failed())
        return CancelRaised(&cancel) ? MpegStatus::Cancelled : MpegStatus::ReadFailed;
    return pairs.size() == before ? MpegStatus::NoCaptions : MpegStatus::Completed;
}

MpegOutcome ExtractCaptions(File& source, ProgressSink& progress, const std::atomic<int>& cancel,
                            CaptionList& into, const DecodeOptions& options) {
    MpegOutcome outcome;
    try {
        std::vector<uint8_t> stream;
        outcome.status =
            CollectCaptionPairs(source, progress, cancel, stream, FieldOfChannel(options.channel));
        CaptionFileData read;  // what was left out of the stream itself
        if (stream.size() > kMaxStreamPairBytes) {
            stream.resize(kMaxStreamPairBytes);
            read.truncated = true;
        }
        if (outcome.status == MpegStatus::Completed) {
            const SkippedData skipped = DecodePairStream(into, stream, &cancel, options);
            // Decoding stops on the flag as the collection does, and keeps nothing.
            if (CancelRaised(&cancel)) {
                into.Clear();
                outcome.status = MpegStatus::Cancelled;
            } else {
                outcome.skippedMessage = SkippedDataText(source.Path(), skipped, read);
                outcome.madeMessage = MadeFromDataText(source.Path(), skipped);
            }
        }
    } catch (const std::bad_alloc&) {
        into.Clear();  // a decoding cut short leaves no half of the captions behind
        outcome.status = MpegStatus::OutOfMemory;
    }
    switch (outcome.status) {
        case MpegStatus::NoCaptions:
            outcome.message = kNoClosedCaptionsInVideoText;
            break;
        case MpegStatus::OutOfMemory:
            outcome.message = kExtractionMemoryText;
            break;
        case MpegStatus::ReadFailed:
            outcome.message = ErrorOpeningFileText(source.Path(), source.Error());
            break;
        default:
            break;
    }
    return outcome;
}

}  // namespace vantrel
