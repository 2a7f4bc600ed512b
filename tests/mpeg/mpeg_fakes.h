// Helpers of the MPEG-2 tests: start-code units and streams built by hand, a recording
// progress sink, a display that runs the worker to its end, extraction and multiplex on bytes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "files/file.h"
#include "files/files_test_support.h"
#include "files/replacing_file.h"
#include "model/caption.h"
#include "model/caption_list.h"
#include "mpeg/extract_captions.h"
#include "mpeg/mpeg_commands.h"
#include "mpeg/multiplex_captions.h"
#include "mpeg/progress_worker.h"
#include "mpeg/start_code_reader.h"
#include "mpeg/stream_model.h"

namespace vantrel::testing {

using Octets = std::vector<uint8_t>;

inline void WriteBytes(const std::string& path, const Octets& bytes) {
    WriteFileText(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

inline Octets ReadBytes(const std::string& path) {
    const std::string text = ReadFileText(path);
    return {text.begin(), text.end()};
}

inline void Append(Octets& to, const Octets& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

// A unit of `size` bytes: 00 00 01 `code`, then filler that holds no zero byte, so no start code.
inline Octets Unit(uint8_t code, size_t size, uint8_t seed = 0) {
    Octets unit(size);
    for (size_t i = 0; i < size; ++i)
        unit[i] = static_cast<uint8_t>(1 + (i % 255 * 7 + seed) % 255);
    const uint8_t head[4] = {0x00, 0x00, 0x01, code};
    std::copy_n(head, std::min<size_t>(size, 4), unit.begin());
    return unit;
}

struct RecordingSink : ProgressSink {
    std::vector<uint64_t> positions;
    std::function<void(size_t count)> onCall;  // after recording the call's position
    void SetProgress(uint64_t position) override {
        positions.push_back(position);
        if (onCall) onCall(positions.size());
    }
};

// Runs the worker on its thread and waits for its done callback, recording the bar positions;
// `onBar` runs inside the bar callback, as the dialog's blocking update would.
class WaitingDisplay : public ProgressDisplay {
  public:
    std::vector<uint32_t> bars;
    std::function<void(ProgressWorker&, uint32_t)> onBar;
    bool busyAtDone = true;

    void Run(ProgressWorker& worker) override {
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
        const bool started = worker.Start(
            [&](uint32_t bar) {
                bars.push_back(bar);
                if (onBar) onBar(worker, bar);
            },
            [&] {
                std::lock_guard lock(m);
                busyAtDone = worker.Busy();
                done = true;
                cv.notify_all();
            });
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return done || !started; });
    }
};

// An MPEG-2-shaped stream: units with the right start codes and filler bodies.
class StreamBuilder {
  public:
    // Sequence header and sequence end: B3 and B7.
    StreamBuilder& SequenceHeader() { return Add(Unit(0xB3, 12, seed_++)); }
    StreamBuilder& Group() { return Add(Unit(kGroupStartCode, 8, seed_++)); }
    // A picture header and `slices` slices.
    StreamBuilder& Picture(int slices = 2, size_t sliceSize = 40) {
        Add(Unit(kPictureStartCode, 9, seed_++));
        for (int s = 0; s < slices; ++s) Add(Unit(static_cast<uint8_t>(1 + s), sliceSize, seed_++));
        return *this;
    }
    StreamBuilder& Pictures(int n) {
        for (int i = 0; i < n; ++i) Picture();
        return *this;
    }
    StreamBuilder& SequenceEnd() { return Add(Octets{0, 0, 1, 0xB7}); }
    StreamBuilder& Add(const Octets& unit) {
        Append(bytes_, unit);
        return *this;
    }
    const Octets& bytes() const { return bytes_; }

  private:
    Octets bytes_;
    uint8_t seed_ = 0;
};

// A caption user-data unit with the given triplets after the attribute byte.
inline Octets CaptionUnit(uint8_t attribute, const Octets& triplets) {
    Octets unit{0x00, 0x00, 0x01, 0xB2, 0x43, 0x43, 0x01, 0xF8, attribute};
    Append(unit, triplets);
    return unit;
}

// ATSC user data: someone else's, which extraction skips and a multiplex keeps.
inline const Octets kAtscUserData{0x00, 0x00, 0x01, 0xB2, 0x47, 0x41, 0x39, 0x34,
                                  0x03, 0xC1, 0xFF, 0xFC, 0x94, 0x20, 0xFF};

// Units of `unitSize` bytes up to `total` bytes, no start code among them.
inline Octets Filler(size_t total, size_t unitSize) {
    Octets s;
    while (s.size() < total) Append(s, Unit(0x01, std::min(unitSize, total - s.size())));
    return s;
}

// `stream` written to a file of its own and opened for reading.
struct SourceFile {
    TempDir dir;
    File file;
    explicit SourceFile(const Octets& stream) {
        WriteBytes(dir.File("in.m2v"), stream);
        EXPECT_TRUE(file.Open(dir.File("in.m2v"), File::Mode::Read));
    }
};

// The pairs collected from a stream written to a file of its own.
struct Collected {
    MpegStatus status;
    Octets pairs;
    std::vector<uint64_t> positions;
};

inline Collected Collect(const Octets& stream, const std::atomic<int>& cancel = {}, int field = 1) {
    SourceFile source(stream);
    RecordingSink sink;
    Octets pairs;
    const MpegStatus status = CollectCaptionPairs(source.file, sink, cancel, pairs, field);
    return {status, std::move(pairs), sink.positions};
}

// A multiplex of `captions` into a copy of `source`, kept only when it is complete, as the
// commands keep it; `onProgress` may raise the cancel flag.
struct Multiplexed {
    MpegOutcome outcome;
    bool exists = false;
    Octets output;
    std::vector<uint64_t> positions;
};

inline Multiplexed Multiplex(
    const CaptionList& captions, const Octets& source,
    const std::function<void(size_t, std::atomic<int>&)>& onProgress = {}) {
    SourceFile in(source);
    const std::string outPath = in.dir.File("out.m2v");
    Multiplexed m;
    {
        ReplacingFile out;
        EXPECT_TRUE(out.Open(outPath));
        std::atomic<int> cancel{0};
        RecordingSink sink;
        if (onProgress) sink.onCall = [&](size_t count) { onProgress(count, cancel); };
        m.outcome = MultiplexCaptions(captions, in.file, out.Output(), sink, cancel);
        if (m.outcome.status == MpegStatus::Completed) {
            EXPECT_TRUE(out.Commit()) << out.Error();
        }
        m.positions = sink.positions;
    }
    m.exists = std::filesystem::exists(outPath);
    if (m.exists) m.output = ReadBytes(outPath);
    return m;
}

}  // namespace vantrel::testing
