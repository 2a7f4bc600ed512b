// Which coded picture every frame of a video comes from, and where decoding has to start to
// reach a frame. Built once from the demuxer's packets, in decode order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vantrel {

// How a picture of MPEG-1/2 or MPEG-4 part 2 video takes part in reordering.
enum class PictureCoding {
    kAnchor,         // I or P: shown when the next anchor arrives
    kBidirectional,  // B: shown at once
    kSecondField,    // the second field of a frame whose first field came in the packet before
};

struct CodedPicture {
    int64_t pos = 0;        // a byte offset at or before the packet's data
    int64_t pts = kNoTime;  // presentation time in the stream's time base
    uint64_t digest = 0;    // hash of the packet's bytes, which find it again after a seek
    int size = 0;           // packet bytes
    bool key = false;       // decoding can start here
    bool shown = true;      // false when the container's edit leaves its frame out
    PictureCoding coding = PictureCoding::kAnchor;

    static constexpr int64_t kNoTime = INT64_MIN;
};

// Coding of the picture(s) in one packet of MPEG-1/2 (`mpeg4` false) or MPEG-4 part 2 video.
// `openField` says whether the packet before held a lone first field, and is updated.
PictureCoding ReadPictureCoding(bool mpeg4, const uint8_t* data, size_t size, bool& openField);

class FrameIndex {
  public:
    // How a packet the demuxer hands out is found again: by the digest of its bytes (pictures
    // read from the payload), or by its file position (pictures from a container's index).
    enum class Lookup { kDigest, kPosition };

    FrameIndex() = default;
    // `pictures` in decode order. With `reorderByCoding` (MPEG-1/2/4 part 2) the display order
    // follows from the coding of the pictures, as their decoders reorder; otherwise from the
    // presentation times, or the decode order when some picture has none. Without `complete`
    // the pictures are the front of the stream, whose last frames may still be missing some.
    FrameIndex(std::vector<CodedPicture> pictures, bool reorderByCoding, bool complete = true,
               Lookup lookup = Lookup::kDigest);

    int64_t FrameCount() const { return frameCount_; }
    bool Complete() const { return complete_; }
    bool ReordersByCoding() const { return reorderByCoding_; }
    // The frames from 0 that the pictures so far give in full: all of them once complete.
    int64_t ServedFrames() const { return servedFrames_; }
    const std::vector<CodedPicture>& Pictures() const { return pictures_; }
    // Frame that a picture shows; -1 for a second field, which completes the frame before.
    int64_t FrameOf(size_t picture) const { return frameOf_[picture]; }

    // Where to start decoding for `frame` (0 <= frame < FrameCount()): the key picture shown
    // last at or before it. Decoding on from there yields every frame up to the next key.
    struct Start {
        size_t picture = 0;
        int64_t frame = 0;
    };
    Start StartFor(int64_t frame) const;

    // The picture of a packet the demuxer hands out, found by its bytes; `hint` is the picture
    // expected, which wins among equal packets, else the one nearest to it. -1 for data the
    // index does not know, such as the tail of a picture cut by a seek.
    int64_t PictureOf(uint64_t digest, int size, size_t hint) const;
    // With Lookup::kPosition: the picture of the packet at `pos`, -1 for one the index does not
    // list.
    int64_t PictureAt(int64_t pos, int size) const;
    Lookup FoundBy() const { return lookup_; }

  private:
    std::vector<CodedPicture> pictures_;
    std::vector<int64_t> frameOf_;
    std::vector<Start> starts_;  // key pictures by frame
    std::unordered_multimap<uint64_t, size_t> byDigest_;
    std::unordered_map<int64_t, size_t> byPosition_;
    Lookup lookup_ = Lookup::kDigest;
    bool reorderByCoding_ = false;
    int64_t frameCount_ = 0;
    int64_t servedFrames_ = 0;
    bool complete_ = true;
};

}  // namespace vantrel
