// Drawing the timeline over short and long projects, in the main view's size (792 x 65).
//   timeline_bench [--benchmark_filter=...]
// Marker: a playback tick moves the marker one frame and the view is drawn again from its
// cached caption; the cost must not grow with the project. Scrolled: every drawing follows a
// scroll, so the cached caption is found again from the list's buckets.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include "bench_timeline_host.h"
#include "timeline/timeline_window.h"

namespace {

using namespace vantrel;

constexpr int32_t kSpacing = 90;  // a caption every three seconds, two seconds on the air

// A timeline over `count` captions, scrolled to the middle of the project.
struct Scene {
    explicit Scene(int count) : timeline(view) {
        for (int32_t i = 0; i < count; ++i) {
            auto c = std::make_unique<Caption>();
            c->startFrame = 100 + i * kSpacing;
            c->endFrame = c->startFrame + 60;
            c->timingMode = Manual;
            c->loadFrames = 30;
            view.project.captions.Insert(std::move(c));
        }
        total = 200 + count * kSpacing;
        timeline.resize(792, 65);
        timeline.show();
        timeline.SetTotalFrames(total);
        timeline.ScrollTo(100 + count / 2 * kSpacing);
        middle = timeline.Base() + 300;  // the marker well inside the view
        timeline.SetCurrentFrame(middle);
        timeline.render(&image);
    }

    BenchTimelineHost view{PlayState::Playing};
    TimelineWindow timeline;
    QImage image{792, 65, QImage::Format_RGB32};
    int32_t total = 0;
    int32_t middle = 0;
};

void BM_MarkerTick(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    int32_t step = 0;
    for (auto _ : state) {
        scene.timeline.SetCurrentFrame(scene.middle + (++step & 1));
        scene.timeline.render(&scene.image, {}, {}, QWidget::DrawWindowBackground);
    }
    state.SetLabel("captions " + std::to_string(state.range(0)));
}
BENCHMARK(BM_MarkerTick)->Arg(10)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_Scrolled(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    QScrollBar& bar = scene.timeline.ScrollBar();
    const int position = bar.value();
    int32_t step = 0;
    for (auto _ : state) {
        bar.setValue(position + (++step & 1));
        scene.timeline.render(&scene.image, {}, {}, QWidget::DrawWindowBackground);
    }
    state.SetLabel("captions " + std::to_string(state.range(0)));
}
BENCHMARK(BM_Scrolled)->Arg(10)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
