#include "video/container_index.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <climits>
#include <span>
#include <string_view>
#include <vector>

#include "av/av_glue.h"
#include "files/file.h"

namespace vantrel {

namespace {

// A header larger than this is not read; its file is scanned instead.
constexpr uint64_t kLargestMovie = uint64_t{256} << 20;
// Bytes at the start of an MPEG picture's packet that hold its headers up to its coding type.
constexpr size_t kHeaderBytes = 2048;
constexpr size_t kChunkHeader = 8;  // an AVI chunk's id and length, before its data

constexpr uint32_t Fourcc(const char (&name)[5]) {
    return uint32_t{static_cast<uint8_t>(name[0])} << 24 |
           uint32_t{static_cast<uint8_t>(name[1])} << 16 |
           uint32_t{static_cast<uint8_t>(name[2])} << 8 | uint32_t{static_cast<uint8_t>(name[3])};
}

uint32_t Big32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

uint64_t Big64(const uint8_t* p) {
    return uint64_t{Big32(p)} << 32 | Big32(p + 4);
}

using Bytes = std::span<const uint8_t>;

// The payload of the first child box of `type` in `parent`; empty when there is none (or the
// boxes before it are damaged).
Bytes Child(Bytes parent, uint32_t type) {
    size_t at = 0;
    while (parent.size() - at >= 8) {
        uint64_t length = Big32(parent.data() + at);
        size_t header = 8;
        if (length == 1) {
            if (parent.size() - at < 16) return {};
            length = Big64(parent.data() + at + 8);
            header = 16;
        } else if (length == 0) {
            length = parent.size() - at;
        }
        if (length < header || length > parent.size() - at) return {};
        if (Big32(parent.data() + at + 4) == type) {
            return parent.subspan(at + header, static_cast<size_t>(length) - header);
        }
        at += static_cast<size_t>(length);
    }
    return {};
}

Bytes Path(Bytes box, std::initializer_list<const char*> types) {
    for (const char* type : types) {
        char name[5] = {};
        std::copy_n(type, 4, name);
        box = Child(box, Fourcc(name));
    }
    return box;
}

// The payload of the file's movie box; empty when there is none or it is too large.
std::vector<uint8_t> ReadMovie(const std::string& path) {
    File file;
    if (!file.Open(path, File::Mode::Read)) return {};
    const int64_t length = file.Length();
    int64_t at = 0;
    while (length - at >= 8) {
        uint8_t head[16];
        if (!file.Seek(at) || file.Read(head, 8) != 8) return {};
        uint64_t size = Big32(head);
        int64_t header = 8;
        if (size == 1) {
            if (file.Read(head + 8, 8) != 8) return {};
            size = Big64(head + 8);
            header = 16;
        } else if (size == 0) {
            size = static_cast<uint64_t>(length - at);
        }
        if (size < static_cast<uint64_t>(header) || size > static_cast<uint64_t>(length - at)) {
            return {};
        }
        if (Big32(head + 4) == Fourcc("moov")) {
            if (size - static_cast<uint64_t>(header) > kLargestMovie) return {};
            std::vector<uint8_t> movie(static_cast<size_t>(size) - static_cast<size_t>(header));
            if (file.Read(movie.data(), movie.size()) != movie.size()) return {};
            return movie;
        }
        at += static_cast<int64_t>(size);
    }
    return {};
}

// The sample tables of the track with `trackId`; empty when the movie is fragmented (its
// samples are listed in fragments, not in the tables) or has no such track.
Bytes SampleTable(Bytes movie, int trackId) {
    if (!Child(movie, Fourcc("mvex")).empty()) return {};
    size_t at = 0;
    while (at < movie.size()) {
        const Bytes rest = movie.subspan(at);
        const Bytes track = Child(rest, Fourcc("trak"));
        if (track.empty()) return {};
        at = static_cast<size_t>(track.data() + track.size() - movie.data());
        const Bytes header = Child(track, Fourcc("tkhd"));
        // The track's number follows its version, flags and two times of 4 or 8 bytes.
        const size_t idAt = !header.empty() && header[0] == 1 ? 20 : 12;
        if (header.size() < idAt + 4 ||
            Big32(header.data() + idAt) != static_cast<uint32_t>(trackId))
            continue;
        return Path(track, {"mdia", "minf", "stbl"});
    }
    return {};
}

// Each sample's composition offset (the demuxer adds it and `shift` to its decode time to give
// its presentation time); false when the tables do not list `samples` samples.
bool CompositionOffsets(Bytes table, size_t samples, std::vector<int64_t>& offsets,
                        int64_t& shift) {
    Bytes sizes = Child(table, Fourcc("stsz"));
    if (sizes.empty()) sizes = Child(table, Fourcc("stz2"));
    if (sizes.size() < 12 || Big32(sizes.data() + 8) != samples) return false;
    offsets.assign(samples, 0);
    shift = 0;
    const Bytes ctts = Child(table, Fourcc("ctts"));
    if (ctts.size() < 8) return true;
    const size_t entries = std::min<size_t>(Big32(ctts.data() + 4), (ctts.size() - 8) / 8);
    size_t sample = 0;
    for (size_t i = 0; i < entries && sample < samples; ++i) {
        const uint8_t* entry = ctts.data() + 8 + 8 * i;
        const auto count = static_cast<int32_t>(Big32(entry));
        int32_t offset = static_cast<int32_t>(Big32(entry + 4));
        if (count <= 0) continue;
        // As the demuxer reads them: negative offsets (but those of the last two entries) move
        // every decode time back by the largest of them.
        if (offset == INT32_MIN) ++offset;
        if (offset < 0 && i + 2 < entries) shift = std::max<int64_t>(shift, -int64_t{offset});
        const size_t end = std::min(samples, sample + static_cast<size_t>(count));
        std::fill(offsets.begin() + static_cast<ptrdiff_t>(sample),
                  offsets.begin() + static_cast<ptrdiff_t>(end), offset);
        sample = end;
    }
    return true;
}

bool ReordersByCoding(AVCodecID codec) {
    return codec == AV_CODEC_ID_MPEG1VIDEO || codec == AV_CODEC_ID_MPEG2VIDEO ||
           codec == AV_CODEC_ID_MPEG4;
}

}  // namespace

std::shared_ptr<const FrameIndex> ContainerFrameIndex(const AVFormatContext* format, int stream) {
    const std::string_view name(format->iformat->name);
    const bool movie = name.starts_with("mov,");
    if ((!movie && name != "avi") || stream < 0 || stream >= static_cast<int>(format->nb_streams) ||
        format->url == nullptr) {
        return nullptr;
    }
    const std::string path = av::LocalPathOf(format);
    AVStream* video = format->streams[stream];
    const int entries = avformat_index_get_entries_count(video);
    if (entries <= 0) return nullptr;
    std::vector<int64_t> offsets;
    int64_t shift = 0;
    if (movie) {
        const std::vector<uint8_t> header = ReadMovie(path);
        if (!CompositionOffsets(SampleTable(header, video->id), static_cast<size_t>(entries),
                                offsets, shift)) {
            return nullptr;
        }
    }
    File file;
    if (!file.Open(path, File::Mode::Read)) return nullptr;
    // The demuxer hands out an AVI chunk's data, after the chunk header its index points at.
    int64_t skip = 0;
    if (!movie) {
        const AVIndexEntry* first = avformat_index_get_entry(video, 0);
        uint8_t chunk[kChunkHeader];
        if (!file.Seek(first->pos) || file.Read(chunk, sizeof chunk) != sizeof chunk) {
            return nullptr;
        }
        const uint32_t length = uint32_t{chunk[4]} | uint32_t{chunk[5]} << 8 |
                                uint32_t{chunk[6]} << 16 | uint32_t{chunk[7]} << 24;
        if (length == static_cast<uint32_t>(first->size)) skip = kChunkHeader;
    }
    const auto codec = video->codecpar->codec_id;
    const bool byCoding = ReordersByCoding(codec);
    std::vector<CodedPicture> pictures(static_cast<size_t>(entries));
    std::vector<uint8_t> head(kHeaderBytes);
    bool openField = false;
    for (int i = 0; i < entries; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(video, i);
        CodedPicture& picture = pictures[static_cast<size_t>(i)];
        picture.pos = entry->pos + skip;
        picture.size = entry->size;
        picture.key = (entry->flags & AVINDEX_KEYFRAME) != 0;
        picture.shown = (entry->flags & AVINDEX_DISCARD_FRAME) == 0;
        picture.pts =
            movie ? entry->timestamp + shift + offsets[static_cast<size_t>(i)] : entry->timestamp;
        if (byCoding) {
            // Only the headers before the picture's data are read.
            const size_t want = std::min<size_t>(head.size(), static_cast<size_t>(entry->size));
            if (!file.Seek(picture.pos) || file.Read(head.data(), want) != want) return nullptr;
            picture.coding =
                ReadPictureCoding(codec == AV_CODEC_ID_MPEG4, head.data(), want, openField);
        }
    }
    return std::make_shared<const FrameIndex>(std::move(pictures), byCoding, true,
                                              FrameIndex::Lookup::kPosition);
}

}  // namespace vantrel
