// The one scanner of MPEG-1/2 video: start codes found many bytes at a time, and the elementary
// stream cut into the packets a decoder is handed (one frame picture or one pair of field
// pictures each, with the headers before it), as FFmpeg's parser cuts it, so that a packet the
// demuxer hands out later is found again by its digest. The start-code reader, the frame
// count of raw streams and the frame index of the player all stand on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrel {

// Start-code values of MPEG-1/2 video.
constexpr uint8_t kPictureStartCode = 0x00;
constexpr uint8_t kFirstSliceCode = 0x01;
constexpr uint8_t kLastSliceCode = 0xAF;
constexpr uint8_t kSequenceHeaderCode = 0xB3;
constexpr uint8_t kExtensionStartCode = 0xB5;
constexpr uint8_t kSequenceEndCode = 0xB7;
constexpr uint8_t kGroupStartCode = 0xB8;
// Extension id of the picture coding extension, the high nibble of the byte after its code.
constexpr uint8_t kPictureCodingExtension = 0x8;
// picture_structure (low two bits of the extension's third byte) of a frame picture.
constexpr int kFramePicture = 3;
// picture_coding_type, bits 5..3 of the second byte after a picture start code.
constexpr int kIntraPicture = 1;
constexpr int kBidirectionalPicture = 3;

inline bool IsStartCode(const uint8_t* unit, size_t size, uint8_t code) {
    return size >= 4 && unit[0] == 0 && unit[1] == 0 && unit[2] == 1 && unit[3] == code;
}

inline bool BeginsWithStartCode(const uint8_t* unit, size_t size) {
    return size >= 3 && unit[0] == 0 && unit[1] == 0 && unit[2] == 1;
}

// The offset of the first 00 00 01 that lies wholly in data[from, size), or `size`.
size_t FindStartCode(const uint8_t* data, size_t size, size_t from);

// A 64-bit digest of a byte string fed in pieces of any size; the same bytes give the same
// digest however they are cut.
class ByteDigest {
  public:
    void Add(const uint8_t* data, size_t size);
    uint64_t Value() const;

  private:
    static uint64_t Fold(uint64_t state, const uint8_t* block);

    uint64_t state_ = 0x9E3779B97F4A7C15ull;
    uint64_t length_ = 0;
    uint8_t tail_[32] = {};
    size_t tailSize_ = 0;
};

uint64_t DigestOf(const uint8_t* data, size_t size);

// One packet of the elementary stream, as a decoder is handed it.
struct ScannedPacket {
    int64_t pos = 0;      // file offset from which reading reaches the packet's first byte
    uint64_t digest = 0;  // ByteDigest of its bytes
    int64_t size = 0;     // its bytes
    int pictures = 0;     // picture start codes in it
    int fields = 0;       // of them, field pictures
    int firstCoding = 0;  // picture_coding_type of its first picture
};

class PictureScanner {
  public:
    // The next bytes of the elementary stream; reading the file from `pos` reaches data[0].
    void Feed(const uint8_t* data, size_t size, int64_t pos);
    // The stream has ended: its last packet is complete.
    void Finish();

    // Packets completed since they were last taken; the caller may clear or swap it.
    std::vector<ScannedPacket>& Packets() { return packets_; }
    // Frames coded so far: one per frame picture, one per pair of field pictures.
    int64_t Frames() const { return framePictures_ + fieldPictures_ / 2; }

  private:
    void Found(int64_t at);
    void StartCode(uint8_t code, const uint8_t* after, int64_t at);
    void EndPacket(int64_t end);
    void DigestTo(int64_t end);
    uint8_t ByteAt(int64_t at) const;

    // The input being read (stream offset of its first byte, its file position) and the bytes
    // kept from the inputs before it, which a start code may begin in.
    const uint8_t* data_ = nullptr;
    int64_t chunkStart_ = 0;
    int64_t chunkPos_ = 0;
    uint8_t carry_[8] = {};
    size_t carrySize_ = 0;
    int64_t carryPos_ = 0;
    int64_t offset_ = 0;      // stream offset of the next byte fed
    int64_t pendingAt_ = -1;  // a start code whose code byte or the three after it are to come
    int64_t digested_ = 0;    // stream offset up to which the open packet is in the digest

    // The open packet, and how far the cutting has come in it: 0 before its first picture's
    // slices, 2 between the fields of a pair, 4 in the slices of its last picture.
    int64_t packetStart_ = 0;
    int64_t packetPos_ = 0;
    ByteDigest digest_;
    ScannedPacket open_;
    int state_ = 0;
    bool pictureOpen_ = false;  // a picture whose coding extension has not come yet
    std::vector<ScannedPacket> packets_;

    int64_t framePictures_ = 0;
    int64_t fieldPictures_ = 0;
};

}  // namespace vantrel
