// Caption files on a feature-length project: three hours, about 3,000 captions. The same
// program writes that project as an .scc file for bench/compare_ffmpeg.sh:
//   caption_files_bench --make-scc PATH
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "feature_project.h"
#include "files/caption_export.h"
#include "files/ccd.h"
#include "files/scc.h"
#include "files/subtitles.h"
#include "model/caption_project.h"

using namespace vantrel;

namespace {

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
