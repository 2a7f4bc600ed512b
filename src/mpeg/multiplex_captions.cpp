#include "mpeg/multiplex_captions.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "codec/encoder.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "mpeg/caption_user_data.h"
#include "mpeg/output_batch.h"
#include "mpeg/start_code_reader.h"

namespace vantrel {

namespace {

// The encoded caption stream, handed out a pair at a time; null pairs once it is used up.
class CaptionPairs {
  public:
    explicit CaptionPairs(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    void Take(uint8_t* out) {
        if (next_ + 2 <= bytes_.size()) {
            out[0] = bytes_[next_];
            out[1] = bytes_[next_ + 1];
            next_ += 2;
        } else {
            out[0] = out[1] = 0x80;
        }
    }

  private:
    const std::vector<uint8_t>& bytes_;
    size_t next_ = 0;
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

// The units of the current group of pictures. It keeps its memory from group to group, so that
// a long stream does not allocate and fault in fresh pages for every group.
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
    void Clear() { bytes_.clear(); }

  private:
    std::vector<uint8_t> bytes_;
};

// The copy itself, once the captions are encoded.
MpegStatus Copy(const std::vector<uint8_t>& captionBytes, File& source, File& destination,
                ProgressSink& progress, const std::atomic<int>& cancel) {
    StartCodeReader reader(source);
    OutputBatch out(destination);
    if (!out.Allocated()) return MpegStatus::OutOfMemory;

    CaptionPairs pairs(captionBytes);
    GroupBuffer group;
    uint64_t pictures = 0;
    bool groupSeen = false;
    bool groupHeaderOpen = false;  // a group header is the last unit gathered, maybe in pieces
    bool droppingUnit = false;     // the pieces of a long caption unit go with it

    // A group header ends the group before it: that group's caption unit goes after the
    // previous header, already in the output, and the gathered units follow.
    const auto closeGroup = [&] {
        if (groupSeen) WriteCaptionUserData(out, pictures, pairs);
        out.MakeRoom(group.Size());
        out.Append(group.Data(), group.Size());
        group.Clear();
        pictures = 0;
        groupSeen = true;
        groupHeaderOpen = false;
    };

    while (const uint8_t* unit = reader.Next()) {
        if (cancel.load(std::memory_order_relaxed) != 0) return MpegStatus::Cancelled;
        const size_t size = reader.Size();
        progress.SetProgress(reader.Position());

        const bool unitStart = BeginsWithStartCode(unit, size);
        if (droppingUnit && !unitStart) continue;
        droppingUnit = false;
        // The caption unit goes after the whole group header, never between its pieces.
        if (groupHeaderOpen && unitStart) {
            closeGroup();
            if (out.Failed()) return MpegStatus::WriteFailed;
        }
        if (IsCaptionUserData(unit, size)) {
            droppingUnit = true;
            continue;
        }

        group.Append(unit, size);
        if (group.Size() > kMaxGroupBytes) return MpegStatus::GroupTooLarge;
        if (IsStartCode(unit, size, kPictureStartCode)) ++pictures;
        if (IsStartCode(unit, size, kGroupStartCode)) groupHeaderOpen = true;
    }
    // A read of a pipe given up on a cancel request fails too; it is the cancel.
    if (reader.Failed())
        return CancelRaised(&cancel) ? MpegStatus::Cancelled : MpegStatus::ReadFailed;
    if (groupHeaderOpen) closeGroup();
    out.Flush();
    if (out.Failed() || (group.Size() > 0 && !destination.Write(group.Data(), group.Size()))) {
        return MpegStatus::WriteFailed;
    }
    return MpegStatus::Completed;
}

}  // namespace

MpegOutcome MultiplexCaptions(const CaptionList& captions, File& source, File& destination,
                              ProgressSink& progress, const std::atomic<int>& cancel) {
    MpegOutcome outcome;
    try {
        const EncodedCaptions encoded = EncodeCaptions(captions);
        outcome.leftOutCount = encoded.leftOut.size();
        outcome.leftOutMessage = LeftOutCaptionsText(encoded.leftOut);
        if (encoded.bytes.empty()) {
            outcome.status = MpegStatus::NothingToEncode;
            return outcome;
        }
        outcome.status = Copy(encoded.bytes, source, destination, progress, cancel);
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
        default:
            break;
    }
    switch (outcome.status) {
        case MpegStatus::Cancelled:
        case MpegStatus::OutOfMemory:
        case MpegStatus::ReadFailed:
        case MpegStatus::WriteFailed:
            destination.RemoveName();
            break;
        default:
            break;
    }
    return outcome;
}

}  // namespace vantrel
