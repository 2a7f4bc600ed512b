#include "video/index_cache.h"

#include <sys/stat.h>

#include <QStandardPaths>
#include <cstdio>
#include <cstring>
#include <optional>

#include "files/own_files.h"
#include "files/replacing_file.h"
#include "mpeg/picture_scanner.h"

namespace vantrel {

namespace {

constexpr char kMagic[8] = {'V', 'T', 'I', 'N', 'D', 'E', 'X', '2'};
constexpr size_t kRecordBytes = 8 + 8 + 8 + 4 + 1 + 1;
// Pictures enough for a day at 120 a second; a longer entry is not one of ours.
constexpr size_t kLongestEntry = 4096 + kRecordBytes * 24 * 3600 * 120;

struct Key {
    int64_t size = -1;
    int64_t modified = 0;  // nanoseconds
};

Key KeyOf(const std::string& video) {
    struct stat info {};
    if (::stat(video.c_str(), &info) != 0) return {};
    return {static_cast<int64_t>(info.st_size),
            static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::string EntryPath(const std::string& folder, const std::string& video) {
    const uint64_t name = DigestOf(reinterpret_cast<const uint8_t*>(video.data()), video.size());
    char text[32];
    std::snprintf(text, sizeof text, "%016llx.index", static_cast<unsigned long long>(name));
    return folder + "/" + text;
}

template <typename T>
void Put(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Reads the fields of an entry front to back; fails once it would read past the end.
class Fields {
  public:
    explicit Fields(const std::string& bytes) : bytes_(bytes) {}
    template <typename T>
    bool Get(T& value) {
        if (bytes_.size() - at_ < sizeof value) return false;
        std::memcpy(&value, bytes_.data() + at_, sizeof value);
        at_ += sizeof value;
        return true;
    }
    bool Skip(size_t n) {
        if (bytes_.size() - at_ < n) return false;
        at_ += n;
        return true;
    }
    size_t At() const { return at_; }

  private:
    const std::string& bytes_;
    size_t at_ = 0;
};

// The key, then how the pictures are ordered and their count.
std::string Header(const std::string& video, Key key, bool reorderByCoding, uint64_t count) {
    std::string out(kMagic, sizeof kMagic);
    Put(out, key.size);
    Put(out, key.modified);
    Put(out, static_cast<uint32_t>(video.size()));
    out += video;
    Put(out, static_cast<uint8_t>(reorderByCoding ? 1 : 0));
    Put(out, count);
    return out;
}

}  // namespace

std::string DefaultIndexCacheFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return base.isEmpty() ? std::string() : (base + "/vantrel/index").toStdString();
}

std::shared_ptr<const FrameIndex> LoadCachedIndex(const std::string& folder,
                                                  const std::string& video) {
    const Key key = KeyOf(video);
    if (folder.empty() || key.size < 0) return nullptr;
    std::optional<std::string> read = ReadOwnFile(EntryPath(folder, video), kLongestEntry);
    if (!read) return nullptr;
    std::string& bytes = *read;
    // The whole entry is checked before anything of it is used.
    if (bytes.size() < sizeof(uint64_t)) return nullptr;
    uint64_t sum = 0;
    std::memcpy(&sum, bytes.data() + bytes.size() - sizeof sum, sizeof sum);
    bytes.resize(bytes.size() - sizeof sum);
    if (DigestOf(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) != sum) {
        return nullptr;
    }
    Fields in(bytes);
    uint8_t reorder = 0;
    uint64_t count = 0;
    std::string expected = Header(video, key, false, 0);  // the key; the rest is read
    expected.resize(expected.size() - sizeof reorder - sizeof count);
    if (bytes.compare(0, expected.size(), expected) != 0 || !in.Skip(expected.size()) ||
        !in.Get(reorder) || reorder > 1 || !in.Get(count) ||
        (bytes.size() - in.At()) / kRecordBytes != count ||
        (bytes.size() - in.At()) % kRecordBytes != 0) {
        return nullptr;
    }
    std::vector<CodedPicture> pictures(count);
    for (CodedPicture& p : pictures) {
        uint8_t key = 0, coding = 0;  // key: bit 0 a key picture, bit 1 left out
        int32_t size = 0;
        in.Get(p.pos);
        in.Get(p.pts);
        in.Get(p.digest);
        in.Get(size);
        in.Get(key);
        in.Get(coding);
        if (coding > static_cast<uint8_t>(PictureCoding::kSecondField)) return nullptr;
        p.size = size;
        p.key = (key & 1) != 0;
        p.shown = (key & 2) == 0;
        p.coding = static_cast<PictureCoding>(coding);
    }
    return std::make_shared<const FrameIndex>(std::move(pictures), reorder == 1);
}

void StoreCachedIndex(const std::string& folder, const std::string& video,
                      const FrameIndex& index) {
    const std::vector<CodedPicture>& pictures = index.Pictures();
    const Key key = KeyOf(video);
    if (folder.empty() || key.size < 0) return;
    if (!MakeOwnFolder(folder).empty()) return;
    std::string out = Header(video, key, index.ReordersByCoding(), pictures.size());
    out.reserve(out.size() + pictures.size() * kRecordBytes + 8);
    for (const CodedPicture& p : pictures) {
        Put(out, p.pos);
        Put(out, p.pts);
        Put(out, p.digest);
        Put(out, static_cast<int32_t>(p.size));
        Put(out, static_cast<uint8_t>((p.key ? 1 : 0) | (p.shown ? 0 : 2)));
        Put(out, static_cast<uint8_t>(p.coding));
    }
    Put(out, DigestOf(reinterpret_cast<const uint8_t*>(out.data()), out.size()));
    ReplacingFile entry;
    if (entry.Open(EntryPath(folder, video), ReplacingFile::Kind::Private) &&
        entry.Output().Write(out))
        entry.Commit();
}

}  // namespace vantrel
