// The caption list lookups and the code string on large inputs.
#include <benchmark/benchmark.h>

#include <random>

#include "codec/code_string.h"
#include "model/caption_list.h"
#include "support/random_screen.h"

using namespace vantrel;

namespace {

void BM_CaptionAt_100000(benchmark::State& state) {
    CaptionList list;
    for (int i = 0; i < 100000; ++i) {
        auto c = std::make_unique<Caption>();
        c->startFrame = i * 100;
        c->endFrame = i * 100 + 60;
        list.Insert(std::move(c));
    }
    std::mt19937 rng(1);
    std::uniform_int_distribution<int32_t> frame(0, 100000 * 100);
    for (auto _ : state) benchmark::DoNotOptimize(list.CaptionAt(frame(rng)));
}
BENCHMARK(BM_CaptionAt_100000);

// Every cell of rows 0-14 in use, with attribute changes, as a dense caption would be.
std::vector<Caption> FullScreens(int n) {
    std::mt19937 rng(2);
    std::vector<Caption> screens(static_cast<size_t>(n));
    for (Caption& c : screens) {
        vantrel::testing::RandomScreen(rng, c, {.maxRows = 40, .attributeChange = 0.2});
    }
    return screens;
}

void BM_BuildCodeString_10000Screens(benchmark::State& state) {
    const std::vector<Caption> screens = FullScreens(10000);
    for (auto _ : state) {
        for (const Caption& c : screens) {
            benchmark::DoNotOptimize(BuildCodeString(c));
        }
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_BuildCodeString_10000Screens)->Unit(benchmark::kMillisecond);

void BM_LoadCodeString_10000Screens(benchmark::State& state) {
    std::vector<CodeString> codes;
    for (const Caption& c : FullScreens(10000)) codes.push_back(BuildCodeString(c));
    Caption target;
    for (auto _ : state) {
        for (const CodeString& code : codes) {
            target.ClearScreen();
            LoadCodeString(target, code);
        }
        benchmark::DoNotOptimize(target.cells[0][0]);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_LoadCodeString_10000Screens)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
