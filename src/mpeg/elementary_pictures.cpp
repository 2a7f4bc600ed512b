#include "mpeg/elementary_pictures.h"

#include <memory>

#include "files/file.h"
#include "mpeg/picture_scanner.h"

namespace vantrel {

int64_t CountElementaryStreamFrames(const uint8_t* data, size_t size) {
    PictureScanner scanner;
    scanner.Feed(data, size, 0);
    scanner.Finish();
    return scanner.Frames();
}

int64_t CountElementaryStreamFrames(const std::string& path) {
    File file;
    if (!file.Open(path, File::Mode::Read)) return -1;
    constexpr size_t kChunk = size_t{1} << 20;
    const auto buffer = std::make_unique_for_overwrite<uint8_t[]>(kChunk);
    PictureScanner scanner;
    int64_t pos = 0;
    while (const size_t got = file.Read(buffer.get(), kChunk)) {
        scanner.Feed(buffer.get(), got, pos);
        scanner.Packets().clear();
        pos += static_cast<int64_t>(got);
    }
    if (file.Failed()) return -1;
    scanner.Finish();
    return scanner.Frames();
}

}  // namespace vantrel
