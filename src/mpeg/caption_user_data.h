// DVD caption user data in an MPEG-2 video stream: a user-data unit after a group-of-pictures
// header that holds, for each picture of the group, a field-1 and a field-2 byte pair.
//
//   00 00 01 B2  43 43 01 F8  attribute  then per picture: FF p1 p2  FE 00 00
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "files/pair_stream.h"
#include "mpeg/start_code_reader.h"

namespace vantrel {

inline constexpr uint8_t kCaptionUserDataHeader[8] = {0x00, 0x00, 0x01, 0xB2,
                                                      0x43, 0x43, 0x01, 0xF8};
constexpr size_t kCaptionTripletsOffset = 9;
constexpr size_t kCaptionBytesPerPicture = 6;
constexpr uint8_t kField1Marker = 0xFF;
constexpr uint8_t kField2Marker = 0xFE;

bool IsCaptionUserData(const uint8_t* unit, size_t size);

// Walks the triplets of one caption unit, which may arrive in pieces, and appends the pairs of
// one field (field 1 unless told) to a buffer with bit 7 set on every byte. The triplets end at
// the first marker that is neither FF nor FE; a triplet cut off by the unit's end is dropped.
// Pairs with a byte of even parity are counted as they come, before bit 7 is set.
class CaptionTripletWalk {
  public:
    explicit CaptionTripletWalk(int field = 1)
        : marker_(field == 2 ? kField2Marker : kField1Marker) {}

    // Starts on a unit that IsCaptionUserData accepts: its first piece.
    void Begin(const uint8_t* unit, size_t size, std::vector<uint8_t>& pairs);
    // Goes on with a further piece of the same unit.
    void Continue(const uint8_t* piece, size_t size, std::vector<uint8_t>& pairs);

    // The pairs with bad parity so far, the first by its frame: the pairs of the field are
    // the stream's frames from 0.
    const LineTally& BadParity() const { return badParity_; }

  private:
    void Append(std::vector<uint8_t>& pairs, const uint8_t* pair);

    uint8_t marker_;
    uint8_t triplet_[3] = {};
    size_t have_ = 0;
    bool ended_ = true;
    int64_t appended_ = 0;  // pairs of the field so far
    LineTally badParity_;
};

// The attribute byte for a group of n pictures: 0x80 | (n mod 64) << 1.
constexpr uint8_t CaptionAttributeByte(uint64_t pictures) {
    return static_cast<uint8_t>((pictures | 0xC0) << 1);
}

// The first nine bytes of the unit for a group of n pictures.
void WriteCaptionUserDataHeader(uint8_t* out, uint64_t pictures);

}  // namespace vantrel
