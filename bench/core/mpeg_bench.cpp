// Reading, extracting from and multiplexing into an MPEG-2 stream file. The stream is the file
// named by VANTREL_MPEG_STREAM (bench/mpeg_throughput.sh makes a 1 GiB one from FFmpeg output
// and compares with cat and a synced cp), or else a 64 MiB stream of DVD-like groups made here.
// The multiplex writes VANTREL_MPEG_OUTPUT, or a file beside the made stream, durably as the
// program does (synced and renamed into place). Each benchmark also reports the process's peak
// resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/file.h"
#include "files/replacing_file.h"
#include "model/caption_list.h"
#include "mpeg/extract_captions.h"
#include "mpeg/multiplex_captions.h"
#include "mpeg/start_code_reader.h"

using namespace vantrel;

namespace {

struct NoProgress : ProgressSink {
    uint64_t last = 0;
    void SetProgress(uint64_t position) override { last = position; }
};

void Unit(std::vector<uint8_t>& s, uint8_t code, size_t size) {
    s.insert(s.end(), {0x00, 0x00, 0x01, code});
    for (size_t i = 4; i < size; ++i) s.push_back(static_cast<uint8_t>(1 + (i * 13) % 251));
}

// A 720 x 480 group of 15 pictures, 30 slices each, about 8 Mbit/s.
std::vector<uint8_t> Group() {
    std::vector<uint8_t> s;
    Unit(s, 0xB3, 140);
    Unit(s, 0xB8, 8);
    for (int p = 0; p < 15; ++p) {
        Unit(s, 0x00, 12);
        for (int slice = 1; slice <= 30; ++slice) Unit(s, static_cast<uint8_t>(slice), 1100);
    }
    return s;
}

struct Paths {
    std::string stream;
    std::string output;
    bool made = false;
};

const Paths& StreamPaths() {
    static const Paths paths = [] {
        Paths p;
        if (const char* s = std::getenv("VANTREL_MPEG_STREAM")) {
            p.stream = s;
            const char* o = std::getenv("VANTREL_MPEG_OUTPUT");
            p.output = o ? o : p.stream + ".mux";
            return p;
        }
        p.stream = "/tmp/vantrel-mpeg-bench-" + std::to_string(::getpid()) + ".m2v";
        p.output = p.stream + ".mux";
        p.made = true;
        const std::vector<uint8_t> group = Group();
        File f;
        if (!f.Open(p.stream, File::Mode::Create)) std::abort();
        for (size_t n = 0; n < (64u << 20); n += group.size()) f.Write(group.data(), group.size());
        return p;
    }();
    return paths;
}

// Two-row captions, one every four seconds, for an hour.
void HourOfCaptions(CaptionList& list) {
    for (int i = 0; i < 900; ++i) {
        auto c = std::make_unique<Caption>();
        c->startFrame = 60 + i * 120;
        c->endFrame = c->startFrame + 90;
        c->timingMode = Manual;
        const char* top = "CAPTION NUMBER ";
        for (int k = 0; top[k]; ++k) c->cells[13][4 + k] = {static_cast<uint8_t>(top[k]), 0x38};
        for (int k = 0; k < 24; ++k) {
            c->cells[14][4 + k] = {static_cast<uint8_t>('a' + (i + k) % 26), 0x38};
        }
        list.Insert(std::move(c));
    }
}

void ReportMemory(benchmark::State& state) {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mib"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ReadUnits(benchmark::State& state) {
    const Paths& p = StreamPaths();
    uint64_t bytes = 0;
    for (auto _ : state) {
        File f;
        if (!f.Open(p.stream, File::Mode::Read)) state.SkipWithError("no stream");
        StartCodeReader reader(f);
        uint64_t units = 0;
        while (reader.Next() != nullptr) ++units;
        benchmark::DoNotOptimize(units);
        bytes += reader.Position();
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    ReportMemory(state);
}
BENCHMARK(BM_ReadUnits)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Extract(benchmark::State& state) {
    const Paths& p = StreamPaths();
    uint64_t bytes = 0;
    for (auto _ : state) {
        File f;
        if (!f.Open(p.stream, File::Mode::Read)) state.SkipWithError("no stream");
        NoProgress progress;
        const std::atomic<int> cancel{0};
        CaptionList list;
        const MpegOutcome outcome = ExtractCaptions(f, progress, cancel, list);
        benchmark::DoNotOptimize(outcome.status);
        bytes += progress.last;
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    ReportMemory(state);
}
BENCHMARK(BM_Extract)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Multiplex(benchmark::State& state) {
    const Paths& p = StreamPaths();
    CaptionList captions;
    HourOfCaptions(captions);
    uint64_t bytes = 0;
    for (auto _ : state) {
        File in;
        ReplacingFile out;
        if (!in.Open(p.stream, File::Mode::Read) || !out.Open(p.output)) {
            state.SkipWithError("no stream");
        }
        NoProgress progress;
        const std::atomic<int> cancel{0};
        const MpegOutcome outcome = MultiplexCaptions(captions, in, out.Output(), progress, cancel);
        if (outcome.status != MpegStatus::Completed || !out.Commit()) {
            state.SkipWithError("multiplex failed");
        }
        bytes += progress.last;
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    ReportMemory(state);
}
BENCHMARK(BM_Multiplex)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const Paths& p = StreamPaths();
    if (p.made) {
        std::remove(p.stream.c_str());
        std::remove(p.output.c_str());
    }
    return 0;
}
