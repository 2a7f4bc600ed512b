#include "mpeg/caption_user_data.h"

#include <cstring>

#include "files/timecode_lines.h"

namespace vantrel {

bool IsCaptionUserData(const uint8_t* unit, size_t size) {
    return size >= sizeof kCaptionUserDataHeader &&
           std::memcmp(unit, kCaptionUserDataHeader, sizeof kCaptionUserDataHeader) == 0;
}

void CaptionTripletWalk::Begin(const uint8_t* unit, size_t size, std::vector<uint8_t>& pairs) {
    have_ = 0;
    ended_ = false;
    if (size > kCaptionTripletsOffset) {
        Continue(unit + kCaptionTripletsOffset, size - kCaptionTripletsOffset, pairs);
    }
}

void CaptionTripletWalk::Continue(const uint8_t* piece, size_t size, std::vector<uint8_t>& pairs) {
    size_t at = 0;
    // Whole triplets straight from the piece; a triplet split between pieces is gathered.
    while (!ended_ && at < size) {
        if (have_ == 0 && at + 3 <= size) {
            const uint8_t marker = piece[at];
            if (marker != kField1Marker && marker != kField2Marker) {
                ended_ = true;
            } else if (marker == marker_) {
                Append(pairs, piece + at + 1);
            }
            at += 3;
            continue;
        }
        triplet_[have_++] = piece[at++];
        if (triplet_[0] != kField1Marker && triplet_[0] != kField2Marker) {
            ended_ = true;
        } else if (have_ == 3) {
            have_ = 0;
            if (triplet_[0] == marker_) {
                Append(pairs, triplet_ + 1);
            }
        }
    }
}

void CaptionTripletWalk::Append(std::vector<uint8_t>& pairs, const uint8_t* pair) {
    // One insert for both bytes: a failed allocation leaves no half pair behind.
    pairs.insert(pairs.end(),
                 {static_cast<uint8_t>(pair[0] | 0x80), static_cast<uint8_t>(pair[1] | 0x80)});
    if (HasBadParity(pair[0], pair[1])) badParity_.Add(0, appended_);
    ++appended_;
}

void WriteCaptionUserDataHeader(uint8_t* out, uint64_t pictures) {
    std::memcpy(out, kCaptionUserDataHeader, sizeof kCaptionUserDataHeader);
    out[8] = CaptionAttributeByte(pictures);
}

}  // namespace vantrel
