// Stand-ins for the parts around the MPEG-2 operations: a progress sink and a host that record
// what they are told, a display that runs the worker to its end, captions with plain text, a
// builder for streams of pictures and groups, and extraction and multiplex run on bytes.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "files/file.h"
#include "files/replacing_file.h"
#include "model/caption.h"
#include "model/caption_list.h"
#include "model/project_host.h"
#include "mpeg/extract_captions.h"
#include "mpeg/mpeg_commands.h"
#include "mpeg/multiplex_captions.h"
#include "mpeg/progress_worker.h"
#include "mpeg/start_code_reader.h"
#include "mpeg/stream_files.h"

namespace vantrel::testing {

struct RecordingSink : ProgressSink {
    std::vector<uint64_t> positions;
    std::function<void(size_t count)> onCall;  // after recording the call's position
    void SetProgress(uint64_t position) override {
        positions.push_back(position);
        if (onCall) onCall(positions.size());
    }
};

struct RecordingHost : ProjectHost {
    std::vector<std::string> messages;
    void Inform(const std::string& text) override { messages.push_back(text); }
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
        worker.Start(
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
        cv.wait(lock, [&] { return done; });
    }
};

// A caption with `text` on row 15 from column 0, white on black.
inline std::unique_ptr<Caption> TextCaption(int32_t start, int32_t end, const std::string& text,
                                            int row = 14) {
    auto c = std::make_unique<Caption>();
    c->startFrame = start;
    c->endFrame = end;
    c->timingMode = Manual;
    for (size_t i = 0; i < text.size() && i < kScreenColumns; ++i) {
        c->cells[row][i] = {static_cast<uint8_t>(text[i]), kDefaultAttribute};
    }
    return c;
}

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
        ++pictures_;
        return *this;
    }
    StreamBuilder& Pictures(int n) {
        for (int i = 0; i < n; ++i) Picture();
        return *this;
    }
    StreamBuilder& SequenceEnd() { return Add(Bytes{0, 0, 1, 0xB7}); }
    StreamBuilder& Add(const Bytes& unit) {
        Append(bytes_, unit);
        return *this;
    }
    const Bytes& bytes() const { return bytes_; }
    int pictures() const { return pictures_; }

  private:
    Bytes bytes_;
    uint8_t seed_ = 0;
    int pictures_ = 0;
};

// A caption user-data unit with the given triplets after the attribute byte.
inline Bytes CaptionUnit(uint8_t attribute, const Bytes& triplets) {
    Bytes unit{0x00, 0x00, 0x01, 0xB2, 0x43, 0x43, 0x01, 0xF8, attribute};
    Append(unit, triplets);
    return unit;
}

// Units of `unitSize` bytes up to `total` bytes, no start code among them.
inline Bytes Filler(size_t total, size_t unitSize) {
    Bytes s;
    while (s.size() < total) Append(s, Unit(0x01, std::min(unitSize, total - s.size())));
    return s;
}

// Two lists hold the same captions: frames, mode and screen, in order.
inline bool SameCaptions(const CaptionList& a, const CaptionList& b) {
    const Caption* x = a.Head();
    const Caption* y = b.Head();
    for (; x && y; x = x->next, y = y->next) {
        if (x->startFrame != y->startFrame || x->endFrame != y->endFrame ||
            x->timingMode != y->timingMode || !x->SameScreen(*y)) {
            return false;
        }
    }
    return x == nullptr && y == nullptr;
}

// `stream` written to a file of its own and opened for reading.
struct SourceFile {
    TempDir dir;
    File file;
    explicit SourceFile(const Bytes& stream) {
        WriteBytes(dir / "in.m2v", stream);
        EXPECT_TRUE(file.Open(dir / "in.m2v", File::Mode::Read));
    }
};

// The pairs collected from a stream written to a file of its own.
struct Collected {
    MpegStatus status;
    Bytes pairs;
    std::vector<uint64_t> positions;
};

inline Collected Collect(const Bytes& stream, const std::atomic<int>& cancel = {}) {
    SourceFile source(stream);
    RecordingSink sink;
    Bytes pairs;
    const MpegStatus status = CollectCaptionPairs(source.file, sink, cancel, pairs);
    return {status, std::move(pairs), sink.positions};
}

// A multiplex of `captions` into a copy of `source`, kept only when it is complete, as the
// commands keep it; `onProgress` may raise the cancel flag.
struct Multiplexed {
    MpegOutcome outcome;
    bool exists = false;
    Bytes output;
    std::vector<uint64_t> positions;
};

inline Multiplexed Multiplex(
    const CaptionList& captions, const Bytes& source,
    const std::function<void(size_t, std::atomic<int>&)>& onProgress = {}) {
    SourceFile in(source);
    const std::string outPath = in.dir / "out.m2v";
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
