// Undo and redo on a feature-length project: an import of a three-hour .scc file (about 3,000
// captions) undone and redone, each to stay under 100 ms; and 1000 typing steps on it, whose
// history is to stay under 64 MiB with no step dropped.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "editor/edit_commands.h"
#include "editor/edit_history.h"
#include "editor/edit_session.h"
#include "feature_project.h"
#include "files/caption_export.h"
#include "files/caption_import.h"

using namespace vantrel;

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void BM_UndoAndRedoImport_3Hours(benchmark::State& state) {
    const std::string path = (std::filesystem::temp_directory_path() / "vantrel_undo_bench.scc");
    CaptionProject feature;
    MakeFeature(feature.captions);
    ExportCaptionFile(feature, path, "scc");

    // A project of its own first, which the import replaces.
    CaptionProject project;
    MakeFeature(project.captions);
    EditHistory history(project);
    ImportHooks hooks;
    hooks.beforeClear = [&] { history.ReplaceAll(kImportStep); };
    if (ImportCaptionFile(project, path, "scc", hooks) != ImportResult::Imported) {
        state.SkipWithError("the import failed");
        return;
    }
    std::filesystem::remove(path);
    const int imported = project.captions.Count();
    double undoMs = 0, redoMs = 0, worst = 0;
    for (auto _ : state) {
        const Clock::time_point a = Clock::now();
        history.Undo();
        const Clock::time_point b = Clock::now();
        history.Redo();
        const Clock::time_point c = Clock::now();
        undoMs += Milliseconds(b - a);
        redoMs += Milliseconds(c - b);
        worst = std::max({worst, Milliseconds(b - a), Milliseconds(c - b)});
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["captions"] = imported;
    state.counters["undo_ms"] = undoMs / n;
    state.counters["redo_ms"] = redoMs / n;
    state.counters["worst_ms"] = worst;
    std::printf("import of %d captions: undo %.3f ms, redo %.3f ms, worst %.3f ms (limit 100)\n",
                imported, undoMs / n, redoMs / n, worst);
}
BENCHMARK(BM_UndoAndRedoImport_3Hours)->Unit(benchmark::kMillisecond);

struct QuietView : EditorView {
    void Beep() override {}
    void PlaceCaret(int, int, uint8_t) override {}
    void MoveCaret(int, int) override {}
    void ShowCaption() override {}
};

void BM_1000TypingSteps_3Hours(benchmark::State& state) {
    size_t bytes = 0, steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CaptionProject project;
        MakeFeature(project.captions);
        std::vector<Caption*> captions;
        for (Caption* c = project.captions.Head(); c; c = c->next) captions.push_back(c);
        EditHistory history(project);
        std::mt19937 rng(5);
        QuietView view;
        state.ResumeTiming();
        for (int i = 0; i < 1000; ++i) {
            const Caption* c = captions[rng() % captions.size()];
            EditingContext context;
            BeginEditSession(project.captions, c->startFrame, context);
            context.caretRow = 12;
            context.caretColumn = 4;
            for (char ch : {'h', 'e', 'y'}) TypeCharacter(context, view, static_cast<uint8_t>(ch));
            CommitEditSession(history, context);
        }
        bytes = history.Bytes();
        steps = history.StepCount();
    }
    state.counters["history_MiB"] = static_cast<double>(bytes) / (1 << 20);
    state.counters["steps_kept"] = static_cast<double>(steps);
    std::printf("1000 typing steps: history %.2f MiB (limit 64), %zu steps kept\n",
                static_cast<double>(bytes) / (1 << 20), steps);
}
BENCHMARK(BM_1000TypingSteps_3Hours)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
