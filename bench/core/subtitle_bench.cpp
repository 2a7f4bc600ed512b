// Subtitles to broadcast captions on a feature: a three-hour .srt of about 3,000 cues, read,
// laid out as pop-on captions, checked against the encoder and written as .scc; also a one-word
// cue and a long transcript. The same program writes that .srt for bench/compare_ffmpeg.sh:
//   subtitle_bench --make-srt PATH
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "codec/encoder.h"
#include "files/scc.h"
#include "files/subtitle_import.h"
#include "files/timecode.h"
#include "files/transcript.h"

using namespace vantrel;

namespace {

constexpr int64_t kThreeHoursMs = 3 * 3600 * 1000;

// Cues of one or two lines of up to 42 characters (the usual subtitle width, so that many must
// be wrapped again for 32 columns), some in italics or with curly quotes, one every 3.6 s.
std::string FeatureSrt() {
    static const char* kWords[] = {"the",
                                   "captain",
                                   "said",
                                   "we",
                                   "are",
                                   "leaving",
                                   "tonight",
                                   "before",
                                   "dawn",
                                   "and",
                                   "nobody",
                                   "knows",
                                   "where",
                                   "to",
                                   "Look",
                                   "out!",
                                   "I",
                                   "never",
                                   "thought",
                                   "about",
                                   "it",
                                   "\xE2\x80\x9Cwhy\xE2\x80\x9D",
                                   "don\xE2\x80\x99t",
                                   "<i>really</i>"};
    std::mt19937 rng(12);
    std::string srt;
    int64_t ms = 2000;
    for (int index = 1; ms < kThreeHoursMs - 5000; ++index) {
        const int64_t end = ms + 1500 + static_cast<int64_t>(rng() % 1800);
        srt += std::to_string(index) + "\r\n" + FormatSubtitleTime(SubtitleTimeToFrame(ms)) +
               " --> " + FormatSubtitleTime(SubtitleTimeToFrame(end)) + "\r\n";
        const int lines = 1 + static_cast<int>(rng() % 2);
        for (int l = 0; l < lines; ++l) {
            std::string line;
            while (line.size() < 20 + rng() % 22) {
                if (!line.empty()) line += ' ';
                line += kWords[rng() % std::size(kWords)];
            }
            srt += line + "\r\n";
        }
        srt += "\r\n";
        ms = end + 100 + static_cast<int64_t>(rng() % 800);
    }
    return srt;
}

std::string SubRipToScc(const std::string& srt) {
    CaptionList list;
    MakeSubtitleCaptions(ReadSubRip(srt), list);
    return FormatSccText(EncodeCaptions(list).bytes);
}

void BM_SubRipToScc_3Hours(benchmark::State& state) {
    const std::string srt = FeatureSrt();
    for (auto _ : state) benchmark::DoNotOptimize(SubRipToScc(srt));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * srt.size()));
}
BENCHMARK(BM_SubRipToScc_3Hours)->Unit(benchmark::kMillisecond);

// Hostile shapes that were once quadratic: a 4 MB cue of one word, cut into screen-wide pieces,
// and a transcript of 300,000 one-line blocks. Both should take about a second, not a minute.
void BM_OneWordCue_4MB(benchmark::State& state) {
    const std::string srt = "1\n00:00:01,000 --> 00:00:02,000\n" + std::string(4 << 20, 'O') + "\n";
    for (auto _ : state) {
        CaptionList list;
        benchmark::DoNotOptimize(MakeSubtitleCaptions(ReadSubRip(srt), list));
    }
}
BENCHMARK(BM_OneWordCue_4MB)->Unit(benchmark::kMillisecond);

void BM_Transcript_300000Blocks(benchmark::State& state) {
    std::string text;
    for (int k = 0; k < 300000; ++k) text += "A LINE OF THE TRANSCRIPT\n\n";
    for (auto _ : state) benchmark::DoNotOptimize(MakeTranscriptCaptions(ReadTranscript(text)));
}
BENCHMARK(BM_Transcript_300000Blocks)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--make-srt") == 0) {
        const std::string srt = FeatureSrt();
        std::ofstream(argv[2], std::ios::binary) << srt;
        CaptionList list;
        const size_t leftOut = MakeSubtitleCaptions(ReadSubRip(srt), list).size();
        std::printf("%d captions (%zu left out) written to %s\n", list.Count(), leftOut, argv[2]);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
