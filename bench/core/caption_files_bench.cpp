// Caption files on a feature-length project: three hours, about 3,000 captions. The same
// program writes that project as an .scc file for bench/compare_ffmpeg.sh:
//   caption_files_bench --make-scc PATH
// and real .scc files one after another, over and over, each starting where the one before
// ends, until 3.3 hours are full (pop-on mixed with roll-up when one of them is roll-up):
//   caption_files_bench --make-repeated-scc PATH FILE.scc...
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "check/caption_checks.h"
#include "codec/decoder.h"
#include "codec/encoder.h"
#include "feature_project.h"
#include "codec/tables.h"
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
    if (argc >= 4 && std::strcmp(argv[1], "--make-repeated-scc") == 0) {
        std::vector<PairStream> parts;
        for (int k = 3; k < argc; ++k) {
            std::ifstream in(argv[k], std::ios::binary);
            const std::vector<uint8_t> text{std::istreambuf_iterator<char>(in), {}};
            parts.push_back(ReadSccText(text).pairs);
            if (parts.back().empty()) {
                std::fprintf(stderr, "%s: no .scc data\n", argv[k]);
                return 1;
            }
        }
        constexpr size_t kPairBytes = 2 * size_t{356400};  // 3.3 hours
        PairStream all;
        for (size_t k = 0; all.size() < kPairBytes; ++k) {
            const PairStream& part = parts[k % parts.size()];
            all.insert(all.end(), part.begin(), part.end());
            all.insert(all.end(), 2 * 30, 0x80);  // a second between the files
        }
        all.resize(kPairBytes);
        for (uint8_t& b : all) b = OddParityTable[b & 0x7F];
        std::ofstream out(argv[2], std::ios::binary);
        out << FormatSccText(all);
        return out.good() ? 0 : 1;
    }
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
