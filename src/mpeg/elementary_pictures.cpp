#include "mpeg/elementary_pictures.h"

#include <cstring>

#include "files/file.h"
#include "mpeg/start_code_reader.h"

namespace vantrel {

namespace {

constexpr uint8_t kPictureCodingExtension = 0x8;  // extension id, high nibble of the next byte
constexpr int kFramePicture = 3;                  // picture_structure of a frame picture

// Start code prefix 00 00 01, the code byte and the three bytes that hold picture_structure.
constexpr size_t kUnitBytes = 7;

class PictureTally {
  public:
    // Scans data[0, size) and returns how many bytes at the end it could not judge yet (a start
    // code cut off by the end of the data); they must be offered again with what follows.
    size_t Scan(const uint8_t* data, size_t size, bool last) {
        size_t i = 0;
        while (i + 3 <= size) {
            const void* hit = std::memchr(data + i + 2, 0x01, size - i - 2);
            if (hit == nullptr) break;
            size_t one = static_cast<const uint8_t*>(hit) - data;
            if (data[one - 1] != 0 || data[one - 2] != 0) {
                i = one - 1;
                continue;
            }
            size_t start = one - 2;
            if (start + kUnitBytes > size && !last) return size - start;
            if (one + 1 < size) Unit(data + one + 1, size - one - 1);
            i = one + 1;
        }
        if (last) return 0;
        // Keep up to two trailing zero bytes: they may begin a prefix.
        size_t keep = 0;
        while (keep < 2 && keep < size && data[size - 1 - keep] == 0) ++keep;
        return keep;
    }

    int64_t Frames() const { return framePictures_ + fieldPictures_ / 2; }

    // `unit` begins with the start code's own byte.
    void Unit(const uint8_t* unit, size_t size) {
        if (unit[0] == kPictureStartCode) {
            // Counted as a frame picture until its coding extension says otherwise (MPEG-1
            // pictures have none).
            ++framePictures_;
            pictureOpen_ = true;
            return;
        }
        if (unit[0] == kExtensionStartCode && pictureOpen_ && size >= 4 &&
            (unit[1] >> 4) == kPictureCodingExtension) {
            pictureOpen_ = false;
            if ((unit[3] & 0x03) != kFramePicture) {
                --framePictures_;
                ++fieldPictures_;
            }
            return;
        }
        if (unit[0] != kExtensionStartCode) pictureOpen_ = false;
    }

  private:
    int64_t framePictures_ = 0;
    int64_t fieldPictures_ = 0;
    bool pictureOpen_ = false;
};

}  // namespace

int64_t CountElementaryStreamFrames(const uint8_t* data, size_t size) {
    PictureTally tally;
    tally.Scan(data, size, true);
    return tally.Frames();
}

int64_t CountElementaryStreamFrames(const std::string& path) {
    File file;
    if (!file.Open(path, File::Mode::Read)) return -1;
    StartCodeReader reader(file);
    PictureTally tally;
    while (const uint8_t* unit = reader.Next()) {
        // Pieces of a long unit after its first carry no start code of their own.
        const size_t size = reader.Size();
        if (size > 3 && BeginsWithStartCode(unit, size)) tally.Unit(unit + 3, size - 3);
    }
    if (reader.Failed()) return -1;
    return tally.Frames();
}

}  // namespace vantrel
