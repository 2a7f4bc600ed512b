#include "mpeg/multiplex_captions.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "codec/encoder.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "mpeg/caption_user_data.h"
#include "mpeg/output_batch.h"
#include "mpeg/start_code_reader.h"
#include "mpeg/video_source_kind.h"

namespace vantrel {

namespace {

// The encoded caption stream, handed out a pair at a time; null pairs once it is used up.
class CaptionPairs {
  public:
    explicit CaptionPairs(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    void Take(uint8_t* out) {
        const uint64_t k = taken_++;
        if (k == eraseAt_) {
            out[0] = 0x94;  // Erase Displayed Memory, with odd parity
            out[1] = 0x2C;
        } else if (2 * k + 2 <= bytes_.size()) {
            out[0] = bytes_[2 * k];
            out[1] = bytes_[2 * k + 1];
        } else {
            out[0] = out[1] = 0x80;
        }
    }
    // Pairs handed out so far: the pictures that carry one.
    uint64_t Taken() const { return taken_; }
    // Whether a pair from `index` on sends anything.
    bool SendsFrom(uint64_t index) const {
        for (uint64_t k = 2 * index; k < bytes_.size(); ++k) {
            if (bytes_[k] != 0x80) return true;
        }
        return false;
    }
    // The pair for picture `index` is to be an erase of the screen instead.
    void EraseAt(uint64_t index) { eraseAt_ = index; }

  private:
    const std::vector<uint8_t>& bytes_;
    uint64_t taken_ = 0;
    uint64_t eraseAt_ = UINT64_MAX;
};

// A whole group goes into the batch in one piece.
static_assert(kMaxGroupBytes <= OutputBatch::kCapacity, "the largest group must fit the batch");

// The caption unit for a group of n pictures. It is built in blocks, so that even a group of
// millions of tiny pictures never asks for more than the batch holds.
void WriteCaptionUserData(OutputBatch& out, uint64_t pictures, CaptionPairs& pairs) {
    constexpr uint64_t kBlockPictures = 65536;
    static_assert(kBlockPictures * kCaptionBytesPerPicture <= OutputBatch::kCapacity);
    const uint64_t whole = kCaptionTripletsOffset + kCaptionBytesPerPicture * pictures;
    uint8_t* p = nullptr;
    if (whole <= OutputBatch::kCapacity) {
        p = out.Reserve(static_cast<size_t>(whole));
        WriteCaptionUserDataHeader(p, pictures);
        p += kCaptionTripletsOffset;
    } else {
        WriteCaptionUserDataHeader(out.Reserve(kCaptionTripletsOffset), pictures);
    }
    for (uint64_t done = 0; done < pictures;) {
        const uint64_t block = std::min(kBlockPictures, pictures - done);
        if (whole > OutputBatch::kCapacity) {
            p = out.Reserve(static_cast<size_t>(block * kCaptionBytesPerPicture));
        }
        for (uint64_t i = 0; i < block; ++i, p += kCaptionBytesPerPicture) {
            p[0] = kField1Marker;
            pairs.Take(p + 1);
            p[3] = kField2Marker;
            p[4] = p[5] = 0x00;
        }
        done += block;
    }
}

// The units not yet written. It keeps its memory from group to group, so that a long stream
// does not allocate and fault in fresh pages for every group.
class GroupBuffer {
  public:
    void Append(const uint8_t* bytes, size_t n) {
        if (bytes_.size() + n > bytes_.capacity()) {
            // Grow by doubling, but never far past the largest group there may be.
            constexpr size_t kMost = kMaxGroupBytes + kReaderWindowSize;
            bytes_.reserve(std::max(bytes_.size() + n, std::min(2 * bytes_.capacity(), kMost)));
        }
        bytes_.insert(bytes_.end(), bytes, bytes + n);
    }
    const uint8_t* Data() const { return bytes_.data(); }
    size_t Size() const { return bytes_.size(); }
    // Forgets the first n bytes (written out); the few after them move to the front.
    void DropFront(size_t n) { bytes_.erase(bytes_.begin(), bytes_.begin() + n); }

  private:
    std::vector<uint8_t> bytes_;
};

struct CopyResult {
    MpegStatus status = MpegStatus::Completed;
    uint64_t carried = 0;         // pictures that carry a pair
    bool erased = false;          // the last of them carries the erase of a caption cut short
    std::string_view sourceKind;  // NotAVideoStream: what the source is
};

// The copy itself, once the captions are encoded.
CopyResult Copy(const std::vector<uint8_t>& captionBytes, File& source, File& destination,
                ProgressSink& progress, const std::atomic<int>& cancel) {
    CopyResult result;
    const auto end = [&result](MpegStatus status) {
        result.status = status;
        return result;
    };
    if (cancel.load(std::memory_order_relaxed) != 0) return end(MpegStatus::Cancelled);
    StartCodeReader reader(source);
    if (reader.Failed()) return end(MpegStatus::ReadFailed);
    const VideoSourceKind kind = IdentifyVideoSource(reader.Buffered());
    if (!kind.carriesCaptions) {
        result.sourceKind = kind.what;
        return end(MpegStatus::NotAVideoStream);
    }
    OutputBatch out(destination);
    if (!out.Allocated()) return end(MpegStatus::OutOfMemory);

    CaptionPairs pairs(captionBytes);
    GroupBuffer group;
    uint64_t pictures = 0;        // of the open group, or before the first group header
    bool groupOpen = false;       // a group header is written, its caption unit not yet
    bool inHeader = false;        // a group header is the last unit gathered, maybe in pieces
    size_t headerEnd = SIZE_MAX;  // in `group`, the end of the last whole group header
    bool droppingUnit = false;    // the pieces of a long caption unit go with it

    // The first picture after a group header closes the group before it: that group's caption
    // unit goes after its header, already written, and the units up to the new header follow.
    // A group only closes on a picture so that the last group with pictures is known at the end.
    const auto closeGroup = [&] {
        if (groupOpen) WriteCaptionUserData(out, pictures, pairs);
        out.MakeRoom(headerEnd);
        out.Append(group.Data(), headerEnd);
        group.DropFront(headerEnd);
        headerEnd = SIZE_MAX;
        pictures = 0;
        groupOpen = true;
    };

    while (const uint8_t* unit = reader.Next()) {
        if (cancel.load(std::memory_order_relaxed) != 0) return end(MpegStatus::Cancelled);
        const size_t size = reader.Size();
        progress.SetProgress(reader.Position());

        const bool unitStart = BeginsWithStartCode(unit, size);
        if (droppingUnit && !unitStart) continue;
        droppingUnit = false;
        // The caption unit goes after the whole group header, never between its pieces.
        if (inHeader && unitStart) {
            headerEnd = group.Size();
            inHeader = false;
        }
        if (IsCaptionUserData(unit, size)) {
            droppingUnit = true;
            continue;
        }
        const bool picture = IsStartCode(unit, size, kPictureStartCode);
        if (picture && headerEnd != SIZE_MAX) {
            closeGroup();
            if (out.Failed()) return end(MpegStatus::WriteFailed);
        }
        group.Append(unit, size);
        if (group.Size() > kMaxGroupBytes) return end(MpegStatus::GroupTooLarge);
        if (picture) ++pictures;
        if (IsStartCode(unit, size, kGroupStartCode)) inHeader = true;
    }
    // A read of a pipe given up on a cancel request fails too; it is the cancel.
    if (reader.Failed()) {
        return end(CancelRaised(&cancel) ? MpegStatus::Cancelled : MpegStatus::ReadFailed);
    }
    if (groupOpen) {
        // The last group with pictures: when the captions go on past its last picture, that
        // picture erases the screen, so that no caption outlasts the video.
        result.carried = pairs.Taken() + pictures;
        if (pairs.SendsFrom(result.carried)) {
            pairs.EraseAt(result.carried - 1);
            result.erased = true;
        }
        WriteCaptionUserData(out, pictures, pairs);
    }
    out.MakeRoom(group.Size());
    out.Append(group.Data(), group.Size());
    out.Flush();
    return end(out.Failed() ? MpegStatus::WriteFailed : MpegStatus::Completed);
}

// Counts the captions (those the encoder placed) that start on or after `firstLost`, the first
// picture whose pair did not go into the copy as encoded.
void CountPastTheEnd(const CaptionList& captions, const std::vector<const Caption*>& leftOut,
                     uint64_t carried, uint64_t firstLost, MpegOutcome& outcome) {
    size_t next = 0;  // leftOut is in list order
    int64_t firstStart = 0;
    for (const Caption* c = captions.Head(); c; c = c->next) {
        if (next < leftOut.size() && leftOut[next] == c) {
            ++next;
            continue;
        }
        if (c->startFrame < 0 || static_cast<uint64_t>(c->startFrame) < firstLost) continue;
        if (outcome.pastEndCount++ == 0) firstStart = c->startFrame;
    }
    if (outcome.pastEndCount > 0) {
        outcome.pastEndMessage = CaptionsPastTheEndText(outcome.pastEndCount, firstStart,
                                                        static_cast<int64_t>(carried) - 1);
    }
}

}  // namespace

MpegOutcome MultiplexCaptions(const CaptionList& captions, File& source, File& destination,
                              ProgressSink& progress, const std::atomic<int>& cancel) {
    MpegOutcome outcome;
    CopyResult copy;
    try {
        const EncodedCaptions encoded = EncodeCaptions(captions);
        outcome.leftOutCount = encoded.leftOut.size();
        outcome.leftOutMessage = LeftOutCaptionsText(encoded.leftOut);
        outcome.lateMessage = LateCaptionsText(encoded.late);
        if (encoded.bytes.empty()) {
            outcome.status = MpegStatus::NothingToEncode;
            outcome.message = kNothingToMultiplexText;
            return outcome;
        }
        copy = Copy(encoded.bytes, source, destination, progress, cancel);
        outcome.status = copy.status;
        if (copy.status == MpegStatus::Completed) {
            // A caption shown first on the picture that now erases is never seen either.
            CountPastTheEnd(captions, encoded.leftOut, copy.carried,
                            copy.erased ? copy.carried - 1 : copy.carried, outcome);
        }
    } catch (const std::bad_alloc&) {
        outcome.status = MpegStatus::OutOfMemory;
    }
    switch (outcome.status) {
        case MpegStatus::GroupTooLarge:
            outcome.message = kGroupTooLargeText;
            break;
        case MpegStatus::OutOfMemory:
            outcome.message = kMultiplexMemoryText;
            break;
        case MpegStatus::ReadFailed:
            outcome.message = ErrorOpeningFileText(source.Path(), source.Error());
            break;
        case MpegStatus::WriteFailed:
            outcome.message = ErrorSavingFileText(destination.Path(), destination.Error());
            break;
        case MpegStatus::NotAVideoStream:
            outcome.message = NotAVideoStreamText(source.Path(), copy.sourceKind);
            break;
        default:
            break;
    }
    return outcome;
}

}  // namespace vantrel
