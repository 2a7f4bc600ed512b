// What video_compare and mpv_baseline both do, so that bench/video_compare.sh compares the same
// work: open a file several times, seek exactly to each target, then step back and forth
// around the first targets as a captioner does: +1 eight times onto new frames, then -1 eight
// times over the frames just shown.
//   PROGRAM FILE FPS FRAMES TARGET...
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

// libmpv's first opens in a process take several times longer than the later ones (40-70 ms
// against 8 in SD): both programs open the file this many times before the timed opens.
constexpr int kWarmUpOpens = 2;
constexpr int kOpens = 5;
constexpr size_t kStepStarts = 10;
// Seeks right after an open (seek_early): the first targets, before anything else is done.
constexpr size_t kEarlySeeks = 5;
constexpr int kStepRun = 8;

struct CompareArguments {
    std::string file;
    double fps = 30000.0 / 1001.0;
    int64_t frames = 0;
    std::vector<int64_t> targets;
};

inline bool ParseCompareArguments(int argc, char** argv, CompareArguments& arguments) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s FILE FPS FRAMES TARGET...\n", argv[0]);
        return false;
    }
    arguments.file = argv[1];
    arguments.fps = std::atof(argv[2]);
    arguments.frames = std::atoll(argv[3]);
    for (int i = 4; i < argc; ++i) arguments.targets.push_back(std::atoll(argv[i]));
    return arguments.fps > 0.0 && arguments.frames > 2 * kStepRun;
}

template <typename Work>
double Milliseconds(Work&& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

struct CompareTimes {
    std::vector<double> open, seek, plus1, minus1;

    static double Median(std::vector<double> values) {
        if (values.empty()) return 0.0;
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }
    void Print() const {
        std::printf("open %.3f\nseek %.3f\nplus1 %.3f\nminus1 %.3f\n", Median(open), Median(seek),
                    Median(plus1), Median(minus1));
    }
};

template <typename Seek, typename Step>
void RunSession(const CompareArguments& arguments, CompareTimes& times, Seek seek, Step step) {
    for (int64_t target : arguments.targets) {
        times.seek.push_back(Milliseconds([&] { seek(target); }));
    }
    for (size_t i = 0; i < std::min(kStepStarts, arguments.targets.size()); ++i) {
        // Room for a run each way.
        seek(std::clamp<int64_t>(arguments.targets[i], kStepRun, arguments.frames - kStepRun - 1));
        for (int k = 0; k < kStepRun; ++k) times.plus1.push_back(Milliseconds([&] { step(+1); }));
        for (int k = 0; k < kStepRun; ++k) times.minus1.push_back(Milliseconds([&] { step(-1); }));
    }
}

}  // namespace bench
