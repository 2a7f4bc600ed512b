#include "mpeg/extract_captions.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <span>
#include <vector>

#include "codec/decoder.h"
#include "files/cc_data.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "files/pair_stream.h"
#include "files/timecode.h"
#include "files/timecode_lines.h"
#include "model/caption_list.h"
#include "mpeg/caption_user_data.h"
#include "mpeg/start_code_reader.h"

namespace vantrel {

namespace {

constexpr uint8_t kUserDataStartCode = 0xB2;
constexpr uint8_t kSequenceStartCode = 0xB3;

// A/53 caption data of an elementary stream: the pairs of each picture, set in display order
// group by group (by temporal reference), a picture to a frame at the stream's picture rate.
class A53Pictures {
  public:
    explicit A53Pictures(int field) : field_(field) {}
    void Sequence(const uint8_t* unit, size_t size) {
        // frame_rate_code: 23.976, 24, 25, 29.97, 30, 50, 59.94, 60 pictures per second.
        static constexpr double kRates[] = {
            kFramesPerSecond, 24000.0 / 1001, 24, 25, kFramesPerSecond, 30, 50, 60000.0 / 1001, 60};
        const int code = size > 7 ? unit[7] & 0x0F : 0;
        rate_ = code >= 1 && code <= 8 ? kRates[code] : kRates[0];
    }
    void Group() { EndGroup(); }
    void Picture(const uint8_t* unit, size_t size) {
        if (size < 6) return;
        pictures_.push_back({(unit[4] << 2) | (unit[5] >> 6), {}});
    }
    void UserData(const uint8_t* unit, size_t size) {
        if (pictures_.empty() || size < 4) return;
        std::vector<uint8_t>& into = pictures_.back().pairs;
        ForEachGa94Pair(std::span<const uint8_t>(unit + 4, size - 4),
                        [&](int field, uint8_t a, uint8_t b) {
                            if (field == field_ && ((a | b) & 0x7F) != 0)
                                into.insert(into.end(), {a, b});
                        });
    }
    const LineTally& BadParity() const { return builder_.BadParity(); }
    // The pairs of every group, placed.
    std::vector<uint8_t> Take() {
        EndGroup();
        return builder_.Take();
    }

  private:
    struct Picture_ {
        int temporalReference;
        std::vector<uint8_t> pairs;
    };
    void EndGroup() {
        std::stable_sort(pictures_.begin(), pictures_.end(), [](const auto& a, const auto& b) {
            return a.temporalReference < b.temporalReference;
        });
        for (const Picture_& p : pictures_) {
            const auto frame =
                static_cast<int64_t>(std::llround(double(shown_++) * kFramesPerSecond / rate_));
            if (p.pairs.empty()) continue;
            if (builder_.StartLine(std::max(frame, builder_.NextFrame())) !=
                PairStreamBuilder::LineStart::Placed) {
                continue;
            }
            for (size_t k = 0; k + 1 < p.pairs.size(); k += 2) {
                builder_.AppendAlignedPair(p.pairs[k], p.pairs[k + 1]);
            }
        }
        pictures_.clear();
    }

    int field_;  // 1 or 2: the field whose pairs are taken
    double rate_ = kFramesPerSecond;
    int64_t shown_ = 0;  // pictures of the groups before
    std::vector<Picture_> pictures_;
    PairStreamBuilder builder_;
};

}  // namespace

MpegStatus CollectCaptionPairs(File& source, ProgressSink& progress, const std::atomic<int>& cancel,
                               std::vector<uint8_t>& pairs, int field, LineTally* badParity) {
    StartCodeReader reader(source);
    CaptionTripletWalk walk(field);
    A53Pictures a53(field);
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
            if (IsStartCode(unit, size, kUserDataStartCode)) a53.UserData(unit, size);
            if (IsStartCode(unit, size, kPictureStartCode)) a53.Picture(unit, size);
            if (IsStartCode(unit, size, kGroupStartCode)) a53.Group();
            if (IsStartCode(unit, size, kSequenceStartCode)) a53.Sequence(unit, size);
        }
    }
    // A read of a pipe given up on a cancel request fails too; it is the cancel.
    if (reader.Failed())
        return CancelRaised(&cancel) ? MpegStatus::Cancelled : MpegStatus::ReadFailed;
    // DVD captions where there are any, as before; else A/53 captions.
    const bool dvd = pairs.size() != before;
    if (!dvd) {
        std::vector<uint8_t> placed = a53.Take();
        if (placed.size() > kMaxStreamPairBytes) placed.resize(kMaxStreamPairBytes);
        pairs.insert(pairs.end(), placed.begin(), placed.end());
    }
    if (badParity != nullptr) *badParity = dvd ? walk.BadParity() : a53.BadParity();
    return pairs.size() == before ? MpegStatus::NoCaptions : MpegStatus::Completed;
}

MpegOutcome ExtractCaptions(File& source, ProgressSink& progress, const std::atomic<int>& cancel,
                            CaptionList& into, const DecodeOptions& options) {
    MpegOutcome outcome;
    try {
        std::vector<uint8_t> stream;
        CaptionFileData read;  // what was left out of the stream itself, or read by a guess
        const int field = FieldOfChannel(options.channel);
        outcome.status = CollectCaptionPairs(source, progress, cancel, stream, field,
                                             field == 2 ? &read.field2BadParity : &read.badParity);
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
