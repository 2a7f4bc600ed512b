// Exact seeks and software rendering of the media player, on a 1080p H.264 file and on a
// 640 x 480 MPEG-2 elementary stream made with ffmpeg.
//   video_bench [--benchmark_filter=...]
// Seek counters: median_ms and worst_ms per seek. Render counter: render_ms per frame.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "video/frame_clock.h"
#include "video/media_player.h"

namespace {

using vantrel::FrameClock;
using vantrel::MediaPlayer;

constexpr int kFrames = 300;
const std::vector<MediaPlayer::Option> kQuiet{{"ao", "null"}};

struct BenchMedia {
    const char* name;
    const char* source;
    std::vector<const char*> encoder;
};

// A moving test pattern, so that every frame costs a real decode.
const BenchMedia kMedia[] = {
    {"h264_1080p.mp4",
     "testsrc2=s=1920x1080:r=30000/1001",
     {"-c:v", "libx264", "-preset", "veryfast", "-crf", "23", "-g", "60", "-pix_fmt", "yuv420p"}},
    {"mpeg2_640x480.m2v",
     "testsrc2=s=640x480:r=30000/1001",
     {"-c:v", "mpeg2video", "-b:v", "6M", "-g", "15", "-bf", "2"}},
};

QTemporaryDir& MediaDir() {
    static QTemporaryDir dir;
    return dir;
}

std::string MediaPath(const BenchMedia& media) {
    QString path = MediaDir().filePath(media.name);
    if (QFile::exists(path)) return path.toStdString();
    QStringList arguments{
        "-hide_banner", "-loglevel", "error",      "-y",        "-f",
        "lavfi",        "-i",        media.source, "-frames:v", QString::number(kFrames)};
    for (const char* argument : media.encoder) arguments << argument;
    arguments << path;
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", arguments);
    if (!ffmpeg.waitForFinished(600000) || ffmpeg.exitCode() != 0) return {};
    return path.toStdString();
}

bool WaitIdle(const MediaPlayer& player) {
    QElapsedTimer timer;
    timer.start();
    while (player.Busy()) {
        if (timer.elapsed() > 10000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    QCoreApplication::processEvents();
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

void BM_Open(benchmark::State& state, const BenchMedia* media) {
    std::string path = MediaPath(*media);
    if (path.empty()) {
        state.SkipWithError("ffmpeg could not make the file");
        return;
    }
    MediaPlayer player(kQuiet);
    for (auto _ : state) {
        if (player.Open(path) != vantrel::kMediaVideo) {
            state.SkipWithError("open failed");
            return;
        }
        state.PauseTiming();
        player.Close();
        state.ResumeTiming();
    }
}

void BM_ExactSeek(benchmark::State& state, const BenchMedia* media) {
    std::string path = MediaPath(*media);
    MediaPlayer player(kQuiet);
    if (path.empty() || player.Open(path) != vantrel::kMediaVideo) {
        state.SkipWithError("cannot open the file");
        return;
    }
    WaitIdle(player);
    std::mt19937 random(42);
    std::uniform_int_distribution<int64_t> frames(0, player.Clock().FrameCount() - 1);
    std::vector<double> times;
    for (auto _ : state) {
        int64_t frame = frames(random);
        QElapsedTimer timer;
        timer.start();
        player.Seek(FrameClock::PositionOfFrame(frame));
        if (!WaitIdle(player)) {
            state.SkipWithError("seek did not finish");
            return;
        }
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    state.counters["median_ms"] = Median(times);
    state.counters["worst_ms"] = *std::max_element(times.begin(), times.end());
}

void BM_PlaybackRender(benchmark::State& state, const BenchMedia* media) {
    std::string path = MediaPath(*media);
    MediaPlayer player(kQuiet);
    if (path.empty() || player.Open(path) != vantrel::kMediaVideo) {
        state.SkipWithError("cannot open the file");
        return;
    }
    WaitIdle(player);
    int64_t renders = 0;
    double renderMs = 0.0;
    for (auto _ : state) {
        player.Seek(0);
        WaitIdle(player);
        int64_t count = player.RenderCount();
        auto time = player.RenderTime();
        player.Run();
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        player.Pause();
        renders += player.RenderCount() - count;
        renderMs += std::chrono::duration<double, std::milli>(player.RenderTime() - time).count();
    }
    state.counters["render_ms"] = renders > 0 ? renderMs / static_cast<double>(renders) : 0.0;
    state.counters["frames_per_s"] =
        static_cast<double>(renders) / (2.0 * static_cast<double>(state.iterations()));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (const BenchMedia& media : kMedia) {
        std::string name = media.name;
        benchmark::RegisterBenchmark(("Open/" + name).c_str(), BM_Open, &media)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
        benchmark::RegisterBenchmark(("ExactSeek/" + name).c_str(), BM_ExactSeek, &media)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(100);
        benchmark::RegisterBenchmark(("PlaybackRender/" + name).c_str(), BM_PlaybackRender, &media)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
