// Caption files on a feature-length project: three hours, about 3,000 captions. The same
// program writes that project as an .scc file for bench/compare_ffmpeg.sh:
//   caption_files_bench --make-scc PATH
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "check/caption_checks.h"
#include "codec/decoder.h"
#include "codec/encoder.h"
#include "files/caption_export.h"
#include "files/ccd.h"
#include "files/scc.h"
#include "files/subtitles.h"
#include "model/caption_project.h"

using namespace vantrel;

namespace {

constexpr int32_t kThreeHours = 3 * 108000;

// One or two rows of ordinary sentence text per caption, a caption every 3.6 s on average.
void MakeFeature(CaptionList& list) {
    static const char* kWords[] = {"the",     "captain", "said", "we",   "are",    "leaving",
                                   "tonight", "before",  "dawn", "and",  "nobody", "knows",
                                   "where",   "to",      "Look", "out!", "I",      "never",
                                   "thought", "about",   "it"};
    std::mt19937 rng(3);
    int32_t frame = 60;
    while (frame < kThreeHours - 200) {
        auto c = std::make_unique<Caption>();
        const int rows = 1 + static_cast<int>(rng() % 2);
        for (int r = 0; r < rows; ++r) {
            std::string line;
            while (line.size() < 18 + rng() % 10) {
                if (!line.empty()) line += ' ';
                line += kWords[rng() % std::size(kWords)];
            }
            line.resize(std::min<size_t>(line.size(), 30));
            const int row = 13 + r, col = static_cast<int>(rng() % 2) * 4;
            for (size_t k = 0; k < line.size(); ++k) {
                c->cells[row][col + k] = {static_cast<uint8_t>(line[k]), kDefaultAttribute};
            }
        }
        c->timingMode = rng() % 3 == 0 ? Seamless : Normal;
        frame += GetLoadFrames(*c) + 20 + static_cast<int32_t>(rng() % 120);
        c->startFrame = frame;
        list.Insert(std::move(c));
    }
    for (Caption* c = list.Head(); c; c = c->next) c->ApplyTiming();
}

std::string FeatureScc() {
    CaptionList list;
    MakeFeature(list);
    return FormatSccText(EncodeCaptions(list).bytes);
}

void BM_ReadAndDecodeScc_3Hours(benchmark::State& state) {
    const std::string scc = FeatureScc();
    const std::span<const uint8_t> text(reinterpret_cast<const uint8_t*>(scc.data()), scc.size());
    for (auto _ : state) {
        CaptionList list;
        DecodePairStream(list, ReadSccText(text).pairs);
        benchmark::DoNotOptimize(list.Head());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * scc.size()));
}
BENCHMARK(BM_ReadAndDecodeScc_3Hours)->Unit(benchmark::kMillisecond);

void BM_SubtitleText_3Hours(benchmark::State& state) {
    CaptionList list;
    MakeFeature(list);
    for (auto _ : state) benchmark::DoNotOptimize(SubtitleText(list));
}
BENCHMARK(BM_SubtitleText_3Hours)->Unit(benchmark::kMillisecond);

void BM_EncodeAndFormatScc_3Hours(benchmark::State& state) {
    CaptionList list;
    MakeFeature(list);
    for (auto _ : state) benchmark::DoNotOptimize(FormatSccText(EncodeCaptions(list).bytes));
}
BENCHMARK(BM_EncodeAndFormatScc_3Hours)->Unit(benchmark::kMillisecond);

// The delivery check of the whole feature under the broadcast profile (target: 50 ms).
void BM_CheckCaptions_3Hours(benchmark::State& state) {
    CaptionList list;
    MakeFeature(list);
    const CheckProfile profile = *BuiltInProfile("broadcast");
    for (auto _ : state) benchmark::DoNotOptimize(CheckCaptions(list, profile));
    state.counters["captions"] = list.Count();
}
BENCHMARK(BM_CheckCaptions_3Hours)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--make-scc") == 0) {
        CaptionProject project;
        MakeFeature(project.captions);
        const ExportResult r = ExportCaptionFile(project, argv[2], "scc");
        std::printf("%d captions written to %s\n", project.captions.Count(), argv[2]);
        return r.write == WriteResult::Written && r.leftOut == 0 ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
