#include "media/media_cache.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/own_files.h"
#include "files/replacing_file.h"
#include "mpeg/picture_scanner.h"

namespace vantrel {

namespace {

constexpr char kMagic[8] = {'V', 'T', 'M', 'E', 'D', 'I', 'A', '1'};
// Far more than a day of peaks or scores; a longer entry is not one of ours.
constexpr size_t kLongestEntry = size_t{256} << 20;

uint64_t Digest(std::string_view bytes) {
    return DigestOf(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

template <typename T>
void Put(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// What an entry must begin with to be of this video as it is now; "" when the video is gone.
std::string Header(const std::string& video, std::string_view kind) {
    struct stat info {};
    if (::stat(video.c_str(), &info) != 0) return {};
    std::string out(kMagic, sizeof kMagic);
    Put(out, static_cast<int64_t>(info.st_size));
    Put(out, static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec);
    Put(out, static_cast<uint32_t>(kind.size()));
    out += kind;
    Put(out, static_cast<uint32_t>(video.size()));
    out += video;
    return out;
}

std::string EntryPath(const std::string& folder, const std::string& video, std::string_view kind) {
    std::string name(kind);
    name += '\0';
    name += video;
    char text[40];
    std::snprintf(text, sizeof text, "/%016llx.media",
                  static_cast<unsigned long long>(Digest(name)));
    return folder + text;
}

}  // namespace

std::string DefaultMediaCacheFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') return std::string(cache) + "/vantrel/media";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/vantrel/media";
    return {};
}

std::optional<std::string> LoadMediaCache(const std::string& folder, const std::string& video,
                                          std::string_view kind) {
    const std::string header = Header(video, kind);
    if (folder.empty() || header.empty()) return std::nullopt;
    std::optional<std::string> read = ReadOwnFile(EntryPath(folder, video, kind), kLongestEntry);
    if (!read || read->size() < header.size() + sizeof(uint64_t)) return std::nullopt;
    std::string& bytes = *read;
    uint64_t sum = 0;
    std::memcpy(&sum, bytes.data() + bytes.size() - sizeof sum, sizeof sum);
    bytes.resize(bytes.size() - sizeof sum);
    if (Digest(bytes) != sum || bytes.compare(0, header.size(), header) != 0) return std::nullopt;
    return bytes.substr(header.size());
}

bool StoreMediaCache(const std::string& folder, const std::string& video, std::string_view kind,
                     std::string_view bytes) {
    std::string out = Header(video, kind);
    if (folder.empty() || out.empty()) return false;
    if (!MakeOwnFolder(folder).empty()) return false;
    out.reserve(out.size() + bytes.size() + sizeof(uint64_t));
    out += bytes;
    Put(out, Digest(out));
    ReplacingFile entry;
    return entry.Open(EntryPath(folder, video, kind), ReplacingFile::Kind::Private) &&
           entry.Output().Write(out) && entry.Commit();
}

}  // namespace vantrel
