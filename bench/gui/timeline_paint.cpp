// Drawing the timeline with 5,000 captions, the audio's peaks and the shot changes, offscreen, at
// three zooms: the whole programme, one pixel a frame and eight pixels a frame, scrolled to the
// middle. Prints the median of several drawings of each:
//   timeline_paint_ms N ZOOM
// The budget is 8 ms at any zoom.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench_timeline_host.h"
#include "timeline/timeline_window.h"

namespace {

using namespace vantrel;

constexpr int kCaptions = 5000;
constexpr int32_t kSpacing = 90;  // a caption every three seconds, two seconds on the air
constexpr int kWidth = 1000;
constexpr int kHeight = 120;
constexpr int kPaints = 31;
constexpr double kSecondsPerFrame = 1001.0 / 30000;

// Speech-like bursts: a loudness that rises and falls every few seconds.
std::shared_ptr<AudioPeaks> MakePeaks(int64_t frames) {
    auto peaks = std::make_shared<AudioPeaks>();
    const auto count =
        static_cast<int64_t>(frames * kSecondsPerFrame * AudioPeaks::kPairsPerSecond);
    std::vector<PeakPair> block;
    block.reserve(65536);
    for (int64_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / AudioPeaks::kPairsPerSecond;
        const double level = std::abs(std::sin(t * 1.3)) * (0.6 + 0.4 * std::sin(t * 11.0));
        const auto v = static_cast<int8_t>(std::clamp(level * 120, 0.0, 127.0));
        block.push_back({static_cast<int8_t>(-v), v});
        if (block.size() == block.capacity()) {
            peaks->Append(block);
            block.clear();
        }
    }
    peaks->Append(block);
    peaks->Finish();
    return peaks;
}

double MedianPaintMs(TimelineWindow& timeline, QImage& image) {
    std::vector<double> ms;
    const int64_t middle = timeline.FrameAt(kWidth / 2);
    for (int i = 0; i < kPaints; ++i) {
        // Moving the marker makes the next paint draw the whole image again.
        timeline.SetCurrentFrame(static_cast<int32_t>(middle + (i & 1)));
        QElapsedTimer timer;
        timer.start();
        timeline.render(&image, {}, {}, QWidget::DrawWindowBackground);
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::nth_element(ms.begin(), ms.begin() + kPaints / 2, ms.end());
    return ms[kPaints / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchTimelineHost view{PlayState::Paused};
    std::vector<int32_t> shots;
    for (int32_t i = 0; i < kCaptions; ++i) {
        auto c = std::make_unique<Caption>();
        c->startFrame = 100 + i * kSpacing;
        c->endFrame = c->startFrame + 60;
        c->timingMode = Manual;
        c->loadFrames = 30;
        view.project.captions.Insert(std::move(c));
        shots.push_back(100 + i * kSpacing + 37);
    }
    const int64_t total = 200 + int64_t{kCaptions} * kSpacing;
    TimelineWindow timeline(view);
    timeline.resize(kWidth, kHeight);
    timeline.show();
    timeline.SetTotalFrames(total);
    timeline.SetAudioPeaks(MakePeaks(total), kSecondsPerFrame);
    timeline.SetShotChanges(std::move(shots));
    QImage image(kWidth, kHeight, QImage::Format_RGB32);

    const struct {
        const char* name;
        double framesPerPixel;
    } zooms[] = {{"whole", 0}, {"1px", 1}, {"8px", TimelineWindow::kClosestFramesPerPixel}};
    for (const auto& zoom : zooms) {
        if (zoom.framesPerPixel == 0) {
            timeline.ZoomToWholeProgramme();
        } else {
            timeline.SetFramesPerPixel(zoom.framesPerPixel, 0);
            timeline.ScrollTo(total / 2);
        }
        std::printf("timeline_paint_ms %.3f %s\n", MedianPaintMs(timeline, image), zoom.name);
    }
    return 0;
}
