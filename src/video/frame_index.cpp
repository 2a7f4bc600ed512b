#include "video/frame_index.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

#include "mpeg/picture_scanner.h"

namespace vantrel {

namespace {

constexpr uint8_t kMpeg4Vop = 0xB6;
constexpr int kMpeg4BVop = 2;  // vop_coding_type

}  // namespace

PictureCoding ReadPictureCoding(bool mpeg4, const uint8_t* data, size_t size, bool& openField) {
    bool bidirectional = false;
    int pictures = 0;
    int fields = 0;
    bool inPicture = false;
    bool codingExtension = false;
    for (size_t i = FindStartCode(data, size, 0); i + 5 < size;
         i = FindStartCode(data, size, i + 3)) {
        const uint8_t code = data[i + 3];
        if (mpeg4) {
            if (code == kMpeg4Vop) {
                bidirectional = (data[i + 4] >> 6) == kMpeg4BVop;
                break;
            }
            continue;
        }
        if (code == kPictureStartCode) {
            if (pictures++ == 0) bidirectional = ((data[i + 5] >> 3) & 7) == kBidirectionalPicture;
            inPicture = true;
        } else if (code == kExtensionStartCode && inPicture && i + 6 < size &&
                   (data[i + 4] >> 4) == kPictureCodingExtension) {
            codingExtension = true;
            inPicture = false;
            // Only a field picture can have its other field after it in the packet.
            if ((data[i + 6] & 3) == kFramePicture) break;
            ++fields;
        } else if (code != kExtensionStartCode) {
            inPicture = false;
            // Slices of an MPEG-1 picture (no coding extension): always a whole frame.
            if (code >= kFirstSliceCode && code <= kLastSliceCode && pictures == 1 &&
                !codingExtension) {
                break;
            }
        }
    }
    // Two field pictures in one packet make a whole frame; a lone field pairs with its
    // neighbour.
    if (pictures == 1 && fields == 1) {
        openField = !openField;
        if (!openField) return PictureCoding::kSecondField;
    } else {
        openField = false;
    }
    return bidirectional ? PictureCoding::kBidirectional : PictureCoding::kAnchor;
}

FrameIndex::FrameIndex(std::vector<CodedPicture> pictures, bool reorderByCoding, bool complete,
                       Lookup lookup)
    : pictures_(std::move(pictures)),
      frameOf_(pictures_.size(), -1),
      lookup_(lookup),
      reorderByCoding_(reorderByCoding),
      complete_(complete) {
    const size_t count = pictures_.size();
    if (reorderByCoding) {
        // B pictures are shown as they come; an anchor waits for the next anchor.
        int64_t next = 0;
        int64_t waiting = -1;
        for (size_t i = 0; i < count; ++i) {
            switch (pictures_[i].coding) {
                case PictureCoding::kBidirectional:
                    frameOf_[i] = next++;
                    break;
                case PictureCoding::kAnchor:
                    if (waiting >= 0) frameOf_[waiting] = next++;
                    waiting = static_cast<int64_t>(i);
                    break;
                case PictureCoding::kSecondField:
                    break;
            }
        }
        // A partial index leaves the last anchor waiting: frames shown before it may follow.
        if (waiting >= 0 && complete) frameOf_[waiting] = next++;
        frameCount_ = next;
    } else {
        std::vector<size_t> order(count);
        std::iota(order.begin(), order.end(), size_t{0});
        bool timed = std::none_of(pictures_.begin(), pictures_.end(), [](const CodedPicture& p) {
            return p.pts == CodedPicture::kNoTime;
        });
        if (timed) {
            std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
                return pictures_[a].pts < pictures_[b].pts;
            });
        }
        for (size_t rank = 0; rank < count; ++rank)
            frameOf_[order[rank]] = static_cast<int64_t>(rank);
        frameCount_ = static_cast<int64_t>(count);
    }
    // Frames shown before the first key picture lack references (the leading pictures of a
    // stream cut in an open group): decoders drop them, and the count starts at that key.
    auto firstKey = std::find_if(pictures_.begin(), pictures_.end(),
                                 [](const CodedPicture& p) { return p.key; });
    if (firstKey == pictures_.end() && count > 0 && complete) {
        pictures_[0].key = true;
        firstKey = pictures_.begin();
    }
    // A partial index may not have a key picture with its frame yet: nothing to start at.
    if (firstKey == pictures_.end() || frameOf_[firstKey - pictures_.begin()] < 0) {
        frameCount_ = 0;
        return;
    }
    // Frames before the first key picture's are left out, and so are those of pictures that
    // the container leaves out; the rest are numbered on from 0. renumber[f] is the number of
    // frame f, or of the next one kept.
    const int64_t first = frameOf_[firstKey - pictures_.begin()];
    std::vector<bool> dropped(static_cast<size_t>(frameCount_), false);
    for (size_t i = 0; i < count; ++i) {
        if (frameOf_[i] >= 0 && !pictures_[i].shown) dropped[frameOf_[i]] = true;
    }
    std::vector<int64_t> renumber(static_cast<size_t>(frameCount_) + 1);
    int64_t kept = 0;
    for (int64_t f = 0; f < frameCount_; ++f) {
        renumber[f] = kept;
        if (f >= first && !dropped[f]) ++kept;
    }
    renumber[frameCount_] = kept;
    if (lookup_ == Lookup::kDigest) {
        byDigest_.reserve(count);
        for (size_t i = 0; i < count; ++i) byDigest_.emplace(pictures_[i].digest, i);
    } else {
        byPosition_.reserve(count);
        for (size_t i = 0; i < count; ++i) byPosition_.emplace(pictures_[i].pos, i);
    }
    for (size_t i = 0; i < count; ++i) {
        const int64_t raw = frameOf_[i];
        frameOf_[i] = raw >= first && !dropped[raw] ? renumber[raw] : -1;
        // A key picture left out still starts the frames after it.
        if (pictures_[i].key && raw >= first) starts_.push_back({i, renumber[raw]});
    }
    frameCount_ = kept;
    std::stable_sort(starts_.begin(), starts_.end(),
                     [](const Start& a, const Start& b) { return a.frame < b.frame; });
    // Without reordering by coding, pictures still to come may be shown before the last key
    // picture's group: only the frames before the group ahead of it are final.
    servedFrames_ = complete || reorderByCoding ? frameCount_
                    : starts_.size() >= 2       ? starts_[starts_.size() - 2].frame
                                                : 0;
}

FrameIndex::Start FrameIndex::StartFor(int64_t frame) const {
    auto after = std::upper_bound(starts_.begin(), starts_.end(), frame,
                                  [](int64_t f, const Start& s) { return f < s.frame; });
    return after == starts_.begin() ? Start{} : *(after - 1);
}

int64_t FrameIndex::PictureOf(uint64_t digest, int size, size_t hint) const {
    if (hint < pictures_.size() && pictures_[hint].digest == digest &&
        pictures_[hint].size == size) {
        return static_cast<int64_t>(hint);
    }
    int64_t found = -1;
    auto [first, last] = byDigest_.equal_range(digest);
    for (auto it = first; it != last; ++it) {
        if (pictures_[it->second].size != size) continue;
        // The nearest to the hint, after it when two are as near: a demuxer brought to a key
        // picture hands out the packets just before it, and one reading on those just after.
        auto rank = [hint](size_t i) { return i >= hint ? 2 * (i - hint) : 2 * (hint - i) + 1; };
        if (found < 0 || rank(it->second) < rank(static_cast<size_t>(found))) {
            found = static_cast<int64_t>(it->second);
        }
    }
    return found;
}

int64_t FrameIndex::PictureAt(int64_t pos, int size) const {
    const auto found = byPosition_.find(pos);
    if (found == byPosition_.end() || pictures_[found->second].size != size) return -1;
    return static_cast<int64_t>(found->second);
}

}  // namespace vantrel
