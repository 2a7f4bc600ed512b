// MPEG-2 caption extraction and multiplexing on any bytes: as they come (mutated streams), or,
// when the input begins with 'S', built from the input as a stream of units (group headers,
// pictures, slices, caption and ATSC user data, zero runs and units longer than the reader's
// window). Nothing may crash, and the multiplexed copy is checked against a plain model: it is
// the source without its caption user data plus one caption unit per group, and extraction
// gives back one caption pair per picture of every closed group.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "codec/encoder.h"
#include "files/file.h"
#include "model/caption_list.h"
#include "mpeg/extract_captions.h"
#include "mpeg/multiplex_captions.h"
#include "mpeg/start_code_reader.h"

using namespace vantrel;

namespace {

using Bytes = std::vector<uint8_t>;

struct NoProgress : ProgressSink {
    void SetProgress(uint64_t) override {}
};

// An anonymous in-memory file, opened through its /proc name like any other file.
class MemoryFile {
  public:
    MemoryFile() : fd_(::memfd_create("extract_fuzz", 0)) {}
    ~MemoryFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool Ok() const { return fd_ >= 0; }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }
    bool Fill(const Bytes& bytes) const {
        return ::pwrite(fd_, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
    }
    Bytes Contents() const {
        Bytes bytes(static_cast<size_t>(::lseek(fd_, 0, SEEK_END)));
        if (::pread(fd_, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
            __builtin_trap();
        }
        return bytes;
    }

  private:
    int fd_;
};

void Add(Bytes& s, std::initializer_list<uint8_t> bytes) {
    s.insert(s.end(), bytes);
}

// A stream of units chosen by the input's bytes; later bytes fill the units.
Bytes BuildStream(const uint8_t* data, size_t size) {
    Bytes s;
    size_t next = 0;
    auto take = [&] { return next < size ? data[next++] : uint8_t{0x5A}; };
    auto body = [&](size_t n) {
        for (size_t i = 0; i < n; ++i) s.push_back(static_cast<uint8_t>(take() | 0x02));
    };
    while (next < size) {
        const uint8_t b = take();
        const size_t arg = b >> 3;
        switch (b & 7) {
            case 0:
                Add(s, {0, 0, 1, 0x00}), body(5);
                break;
            case 1:
                Add(s, {0, 0, 1, static_cast<uint8_t>(1 + arg)}), body(arg * 7);
                break;
            case 2:
                Add(s, {0, 0, 1, 0xB8}), body(4);
                break;
            case 3:
                Add(s, {0, 0, 1, 0xB2, 0x43, 0x43, 0x01, 0xF8, take()});
                for (size_t i = 0; i < arg; ++i) {
                    Add(s, {static_cast<uint8_t>(i % 2 ? 0xFE : 0xFF), take(), take()});
                }
                break;
            case 4:
                Add(s, {0, 0, 1, 0xB3}), body(8);
                break;
            case 5:
                Add(s, {0, 0, 1, 0xB2, 0x47, 0x41, 0x39, 0x34, 0x03}), body(arg);
                break;
            case 6:
                s.insert(s.end(), arg * 100, 0);
                break;
            default:
                Add(s, {0, 0, 1, static_cast<uint8_t>(take())}), body(arg * 4096);
                break;
        }
    }
    return s;
}

// The plain model: units at every start code, found byte by byte.
std::vector<Bytes> SplitUnits(const Bytes& s) {
    std::vector<Bytes> units;
    size_t begin = 0;
    for (size_t i = 1; i + 2 < s.size(); ++i) {
        if (s[i] == 0 && s[i + 1] == 0 && s[i + 2] == 1) {
            units.emplace_back(s.begin() + begin, s.begin() + i);
            begin = i;
        }
    }
    if (begin < s.size()) units.emplace_back(s.begin() + begin, s.end());
    return units;
}

bool IsUnitOf(const Bytes& u, uint8_t code) {
    return u.size() >= 4 && u[0] == 0 && u[1] == 0 && u[2] == 1 && u[3] == code;
}

bool IsCaptionUnit(const Bytes& u) {
    static constexpr uint8_t kHeader[8] = {0, 0, 1, 0xB2, 0x43, 0x43, 0x01, 0xF8};
    return u.size() >= 8 && std::memcmp(u.data(), kHeader, 8) == 0;
}

Bytes WithoutCaptionUnits(const Bytes& s) {
    Bytes out;
    for (const Bytes& u : SplitUnits(s)) {
        if (!IsCaptionUnit(u)) out.insert(out.end(), u.begin(), u.end());
    }
    return out;
}

// A multiplex takes a stream that begins, after any zero bytes, with a sequence header.
bool BeginsWithSequenceHeader(const Bytes& s) {
    const size_t head = std::min(s.size(), kReaderWindowSize);  // what the multiplex looks at
    size_t zeros = 0;
    while (zeros < head && s[zeros] == 0) ++zeros;
    return zeros >= 2 && zeros + 1 < head && s[zeros] == 1 && s[zeros + 1] == 0xB3;
}

// Every picture after the first group header carries a pair.
size_t CarriedPictures(const Bytes& s) {
    size_t carried = 0;
    bool groupSeen = false;
    for (const Bytes& u : SplitUnits(s)) {
        if (IsUnitOf(u, 0x00) && groupSeen) ++carried;
        if (IsUnitOf(u, 0xB8)) groupSeen = true;
    }
    return carried;
}

std::unique_ptr<Caption> TextCaption(int32_t start, int32_t end, const char* text) {
    auto c = std::make_unique<Caption>();
    c->startFrame = start;
    c->endFrame = end;
    c->timingMode = Manual;
    for (int i = 0; text[i] != 0; ++i) c->cells[14][i] = {static_cast<uint8_t>(text[i]), 0x38};
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Bytes stream =
        size > 0 && data[0] == 'S' ? BuildStream(data + 1, size - 1) : Bytes(data, data + size);
    MemoryFile input;
    MemoryFile output;
    if (!input.Ok() || !output.Ok() || !input.Fill(stream)) return 0;
    NoProgress progress;
    const std::atomic<int> cancel{0};

    // Extraction, all the way through the decoder.
    {
        File source;
        if (!source.Open(input.Path(), File::Mode::Read)) __builtin_trap();
        CaptionList list;
        const MpegOutcome outcome = ExtractCaptions(source, progress, cancel, list);
        if (outcome.status != MpegStatus::Completed && outcome.status != MpegStatus::NoCaptions) {
            __builtin_trap();
        }
    }

    // Multiplexing, checked against the model.
    CaptionList captions;
    captions.Insert(TextCaption(8, 20, "FUZZ"));
    captions.Insert(TextCaption(40, 60, "MORE TEXT"));
    const std::vector<uint8_t> encoded = EncodeCaptions(captions).bytes;
    {
        File source;
        File destination;
        if (!source.Open(input.Path(), File::Mode::Read)) __builtin_trap();
        if (!destination.Open(output.Path(), File::Mode::Create)) __builtin_trap();
        const MpegOutcome outcome =
            MultiplexCaptions(captions, source, destination, progress, cancel);
        const bool taken = BeginsWithSequenceHeader(stream);
        if (outcome.status != (taken ? MpegStatus::Completed : MpegStatus::NotAVideoStream)) {
            __builtin_trap();
        }
        if (!taken) return 0;
    }
    const Bytes copy = output.Contents();
    if (WithoutCaptionUnits(copy) != WithoutCaptionUnits(stream)) __builtin_trap();

    File copied;
    if (!copied.Open(output.Path(), File::Mode::Read)) __builtin_trap();
    Bytes got;
    CollectCaptionPairs(copied, progress, cancel, got);
    const size_t carried = CarriedPictures(stream);
    if (got.size() != 2 * carried) __builtin_trap();
    // The last carried picture erases the screen when the captions go on past it.
    bool goesOn = false;
    for (size_t k = got.size(); k < encoded.size(); ++k) goesOn = goesOn || encoded[k] != 0x80;
    for (size_t k = 0; k < got.size(); ++k) {
        uint8_t want = k < encoded.size() ? (encoded[k] | 0x80) : 0x80;
        if (goesOn && k + 2 >= got.size()) want = k % 2 == 0 ? 0x94 : 0xAC;
        if (got[k] != want) __builtin_trap();
    }
    return 0;
}
