// Encoding and decoding a three-hour program: 324,000 frames, 3,000 captions of two rows.
#include <benchmark/benchmark.h>

#include "codec/decoder.h"
#include "codec/encoder.h"

using namespace vantrel;

namespace {

void ThreeHourProgram(CaptionList& list) {
    for (int i = 0; i < 3000; ++i) {
        auto c = std::make_unique<Caption>();
        c->startFrame = 60 + i * 107;
        c->endFrame = c->startFrame + 90;
        c->timingMode = Manual;
        const char* top = "CAPTION NUMBER ";
        for (int k = 0; top[k]; ++k) c->cells[13][4 + k] = {static_cast<uint8_t>(top[k]), 0x38};
        for (int k = 0; k < 24; ++k)
            c->cells[14][4 + k] = {static_cast<uint8_t>('a' + (i + k) % 26), 0x38};
        list.Insert(std::move(c));
    }
}

void BM_EncodeThreeHours(benchmark::State& state) {
    CaptionList list;
    ThreeHourProgram(list);
    size_t bytes = 0;
    for (auto _ : state) {
        const EncodedCaptions e = EncodeCaptions(list);
        bytes = e.bytes.size();
        benchmark::DoNotOptimize(e.bytes.data());
    }
    state.counters["frames"] = static_cast<double>(bytes / 2);
}
BENCHMARK(BM_EncodeThreeHours)->Unit(benchmark::kMillisecond);

void BM_DecodeThreeHours(benchmark::State& state) {
    CaptionList list;
    ThreeHourProgram(list);
    std::vector<uint8_t> stream = EncodeCaptions(list).bytes;
    stream.resize(324000 * 2, 0x80);
    for (uint8_t& b : stream) b |= 0x80;
    int captions = 0;
    for (auto _ : state) {
        CaptionList decoded;
        DecodePairStream(decoded, stream);
        captions = decoded.Count();
    }
    state.counters["captions"] = captions;
}
BENCHMARK(BM_DecodeThreeHours)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
