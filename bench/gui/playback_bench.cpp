// Playback in the whole window at a full-HD size: plays a video for a while and prints how many
// frames libmpv dropped and the process's CPU time per second of video played.
//   playback_bench VIDEO [SECONDS [WIDTH HEIGHT [OPTION=VALUE...]]]
// (the options go to libmpv besides the player's own, to compare its settings).
// Prints one line:
//   window WxH picture WxH seconds S output_drops N decoder_drops N cpu_per_video_s X renders R
//   render_ms M
// (render_ms: libmpv's software rendering of one picture, on the window's thread).
// Run by bench/playback_1080p.sh, which makes the video and a settings folder of its own.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window.h"

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void Pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: playback_bench VIDEO [SECONDS [WIDTH HEIGHT [OPTION=VALUE...]]]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    const QSize size = argc > 4 ? QSize(std::atoi(argv[3]), std::atoi(argv[4])) : QSize(1920, 1080);
    std::vector<vantrel::MediaPlayer::Option> options{{"ao", "null"}};
    for (int k = 5; k < argc; ++k) {
        const std::string option = argv[k];
        const size_t equals = option.find('=');
        if (equals != std::string::npos) {
            options.push_back({option.substr(0, equals), option.substr(equals + 1)});
        }
    }
    vantrel::MainWindow window(nullptr, options);
    window.resize(size);
    window.show();
    Pump(500);
    vantrel::MainView& view = window.View();
    view.OpenVideo(argv[1]);
    if (!view.Player().HasPicture()) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    // The picture rendered at its shown size, and the index done, before the clock starts.
    Pump(1500);
    const auto [outputBefore, decoderBefore] = view.Player().DroppedFrames();
    const int64_t rendersBefore = view.Player().RenderCount();
    const auto renderTimeBefore = view.Player().RenderTime();
    const int32_t startFrame = view.CurrentFrame();
    const double cpuBefore = CpuSeconds();
    view.Play();
    Pump(seconds * 1000);
    const int32_t played = view.CurrentFrame() - startFrame;
    const double cpu = CpuSeconds() - cpuBefore;
    const auto [output, decoder] = view.Player().DroppedFrames();
    view.TogglePause();
    const double videoSeconds = played / (30000.0 / 1001.0);
    const QSize picture = view.Player().Picture().size();
    const int64_t renders = view.Player().RenderCount() - rendersBefore;
    const double renderMs =
        std::chrono::duration<double, std::milli>(view.Player().RenderTime() - renderTimeBefore)
            .count();
    std::printf(
        "window %dx%d picture %dx%d seconds %.1f output_drops %lld decoder_drops %lld "
        "cpu_per_video_s %.3f renders %lld render_ms %.2f\n",
        window.width(), window.height(), picture.width(), picture.height(), videoSeconds,
        static_cast<long long>(output - outputBefore),
        static_cast<long long>(decoder - decoderBefore),
        videoSeconds > 0 ? cpu / videoSeconds : 0.0, static_cast<long long>(renders),
        renders > 0 ? renderMs / static_cast<double>(renders) : 0.0);
    // No question about saving: nothing was changed.
    window.close();
    return 0;
}
