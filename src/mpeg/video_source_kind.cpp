#include "mpeg/video_source_kind.h"

#include <algorithm>
#include <cstring>

namespace vantrel {

namespace {

constexpr size_t kTsPacket = 188;
constexpr size_t kTextProbe = 512;

bool LooksLikeText(std::span<const uint8_t> head) {
    const size_t n = std::min(head.size(), kTextProbe);
    return std::all_of(head.begin(), head.begin() + static_cast<std::ptrdiff_t>(n), [](uint8_t b) {
        return b >= 0x20 ? b != 0x7F : b == '\t' || b == '\n' || b == '\r' || b == '\f';
    });
}

bool Begins(std::span<const uint8_t> head, size_t at, std::string_view bytes) {
    return head.size() >= at + bytes.size() &&
           std::memcmp(head.data() + at, bytes.data(), bytes.size()) == 0;
}

// After a start code prefix: the kinds of stream that begin with one.
std::string_view StartCodeKind(std::span<const uint8_t> rest) {
    const uint8_t code = rest.empty() ? 0 : rest[0];
    if (code == 0xBA) return "it is an MPEG program stream";
    if (code == 0xB0) return "it is an MPEG-4 video stream";
    // H.265 network units carry a second header byte of 01; H.264 ones begin with a sequence
    // parameter set or an access unit delimiter.
    if (rest.size() >= 2 && rest[1] == 0x01 && (code == 0x40 || code == 0x42 || code == 0x46)) {
        return "it is an H.265 video stream";
    }
    if ((code & 0x80) == 0 && ((code & 0x1F) == 7 || (code & 0x1F) == 9)) {
        return "it is an H.264 video stream";
    }
    return {};
}

}  // namespace

VideoSourceKind IdentifyVideoSource(std::span<const uint8_t> head) {
    if (head.empty()) return {false, "it is empty"};
    const size_t zeros = static_cast<size_t>(
        std::find_if(head.begin(), head.end(), [](uint8_t b) { return b != 0; }) - head.begin());
    if (zeros == head.size()) return {false, "it begins with nothing but zero bytes"};
    if (zeros >= 2 && head[zeros] == 0x01) {
        if (zeros + 1 < head.size() && head[zeros + 1] == 0xB3) return {true, {}};
        const std::string_view kind = StartCodeKind(head.subspan(zeros + 1));
        if (!kind.empty()) return {false, kind};
    }
    if (LooksLikeText(head)) return {false, "it is a text file"};
    if (head[0] == 0x47 && (head.size() <= kTsPacket || head[kTsPacket] == 0x47)) {
        return {false, "it is an MPEG transport stream"};
    }
    if (Begins(head, 4, "ftyp")) return {false, "it is an MP4 or QuickTime file"};
    if (Begins(head, 0, "\x1A\x45\xDF\xA3")) return {false, "it is a Matroska or WebM file"};
    if (Begins(head, 0, "RIFF")) return {false, "it is a RIFF (AVI or WAV) file"};
    return {false, "it does not begin with a sequence header"};
}

}  // namespace vantrel
