// Our side of bench/video_compare.sh: the media player doing what mpv_baseline does on the same
// file and targets (see compare_session.h).
//   video_compare FILE FPS FRAMES TARGET...     one line per operation: "OP MEDIAN_MS"
//   video_compare --back-and-forth FILE FRAMES SEEKS   a long back-and-forth session: seeks all
//   over
//                                               the file, each followed by steps both ways;
//                                               prints the peak resident memory and the cache
//   video_compare --long FILE FPS FRAMES TARGET...     a feature-length file: opens (the index
//                                               not kept yet), each followed by seeks
//                                               (seek_early), the time from the last open
//                                               until the index is complete (index), the
//                                               usual session, and reopens (reopen)
#include <sys/resource.h>

#include <QApplication>
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <random>

#include "compare_session.h"
#include "video/frame_clock.h"
#include "video/media_player.h"

namespace {

using vantrel::FrameClock;
using vantrel::MediaPlayer;

const std::vector<MediaPlayer::Option> kQuiet{{"ao", "null"}};

// Waits, without taking a core from the decoder, until the frame is shown. Not the overload
// with a time limit: it drops WaitForMoreEvents and spins, which slowed libmpv's decoding.
void WaitShown(const MediaPlayer& player) {
    while (player.Busy()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

double PeakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

int Session(const char* file, int64_t frames, int seeks) {
    MediaPlayer player(kQuiet);
    if (player.Open(file) != vantrel::kMediaVideo) return 1;
    const double openedMiB = PeakResidentMiB();
    std::mt19937 random(17);
    std::uniform_int_distribution<int64_t> anywhere(0, frames - 1);
    size_t peakCache = 0;
    int64_t frame = 0;
    auto show = [&](int64_t f) {
        frame = std::clamp<int64_t>(f, 0, frames - 1);
        player.Seek(FrameClock::PositionOfFrame(frame));
        WaitShown(player);
        peakCache = std::max(peakCache, player.CachedBytes());
    };
    for (int i = 0; i < seeks; ++i) {
        show(anywhere(random));
        for (int run = 0; run < 4; ++run) {
            for (int k = 0; k < 12; ++k) show(frame + (run % 2 == 0 ? 1 : -1));
        }
    }
    std::printf(
        "session seeks %d peak_rss_mib %.1f rss_after_open_mib %.1f peak_cache_mib %.1f "
        "cache_limit_mib %zu\n",
        seeks, PeakResidentMiB(), openedMiB, static_cast<double>(peakCache) / 1048576.0,
        vantrel::FrameSource::kCacheLimit >> 20);
    return 0;
}

}  // namespace

bool CheckFrames(const MediaPlayer& player, const bench::CompareArguments& arguments) {
    if (player.HasPicture() && player.Clock().FrameCount() == arguments.frames) return true;
    std::fprintf(stderr, "%s: opened with %lld frames, not %lld\n", arguments.file.c_str(),
                 static_cast<long long>(player.Clock().FrameCount()),
                 static_cast<long long>(arguments.frames));
    return false;
}

void WaitIndexed(const MediaPlayer& player) {
    while (!player.Indexed()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

int Long(const bench::CompareArguments& arguments) {
    MediaPlayer player(kQuiet);
    bench::CompareTimes times;
    std::vector<double> early, reopen;
    int64_t frame = 0;
    auto seek = [&](int64_t target) {
        frame = target;
        player.Seek(FrameClock::PositionOfFrame(frame));
        WaitShown(player);
    };
    // libmpv's first opens in a process are slow: warmed up, then timed, as mpv_baseline's
    // are. Each open but the last is closed before its index is complete, which stops it
    // before it is kept, so that every timed open is a first one.
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < bench::kWarmUpOpens + bench::kOpens; ++i) {
        player.Close();
        start = std::chrono::steady_clock::now();
        const double open = bench::Milliseconds([&] { player.Open(arguments.file); });
        if (!player.HasPicture()) return 1;
        if (i < bench::kWarmUpOpens) continue;
        times.open.push_back(open);
        // Right after the open: beyond the part indexed so far, libmpv's seeks.
        for (size_t k = 0; k < std::min(bench::kEarlySeeks, arguments.targets.size()); ++k) {
            early.push_back(bench::Milliseconds([&] { seek(arguments.targets[k]); }));
        }
    }
    WaitIndexed(player);
    const double index =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!CheckFrames(player, arguments)) return 1;
    bench::RunSession(arguments, times, seek, [&](int delta) { seek(frame + delta); });
    for (int i = 0; i < bench::kOpens; ++i) {
        player.Close();
        reopen.push_back(bench::Milliseconds([&] { player.Open(arguments.file); }));
    }
    times.Print();
    std::printf("reopen %.3f\nseek_early %.3f\nindex %.3f\n", bench::CompareTimes::Median(reopen),
                bench::CompareTimes::Median(early), index);
    return 0;
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 5 && std::string(argv[1]) == "--back-and-forth") {
        return Session(argv[2], std::atoll(argv[3]), std::atoi(argv[4]));
    }
    const bool feature = argc > 1 && std::string(argv[1]) == "--long";
    bench::CompareArguments arguments;
    if (!bench::ParseCompareArguments(argc - (feature ? 1 : 0), argv + (feature ? 1 : 0),
                                      arguments)) {
        return 2;
    }
    if (feature) return Long(arguments);
    MediaPlayer player(kQuiet);
    bench::CompareTimes times;
    for (int i = 0; i < bench::kWarmUpOpens + bench::kOpens; ++i) {
        player.Close();
        double open = bench::Milliseconds([&] { player.Open(arguments.file); });
        if (i >= bench::kWarmUpOpens) times.open.push_back(open);
    }
    if (!player.HasPicture()) return 1;
    WaitIndexed(player);
    if (!CheckFrames(player, arguments)) return 1;
    int64_t frame = 0;
    auto seek = [&](int64_t target) {
        frame = target;
        player.Seek(FrameClock::PositionOfFrame(frame));
        WaitShown(player);
    };
    bench::RunSession(arguments, times, seek, [&](int delta) { seek(frame + delta); });
    times.Print();
    return 0;
}
