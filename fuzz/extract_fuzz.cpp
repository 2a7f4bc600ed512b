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
// The multiplexer's plain model, shared with the tests.
#include "../tests/mpeg/stream_model.h"

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
        const bool taken = testing::BeginsWithSequenceHeader(stream);
        if (outcome.status != (taken ? MpegStatus::Completed : MpegStatus::NotAVideoStream)) {
            __builtin_trap();
        }
        if (!taken) return 0;
    }
    const Bytes copy = output.Contents();
    if (testing::WithoutCaptionUnits(copy) != testing::WithoutCaptionUnits(stream))
        __builtin_trap();

    File copied;
    if (!copied.Open(output.Path(), File::Mode::Read)) __builtin_trap();
    Bytes got;
    CollectCaptionPairs(copied, progress, cancel, got);
    if (got != testing::ExpectedPairs(encoded, testing::CarriedPictures(stream))) __builtin_trap();
    return 0;
}
