// The timing tools' reading of a video, timed: `peaks FILE` reads the first sound track's peaks,
// `speech FILE` its peaks and its runs of speech (printed as seconds from and to),
// `shots FILE [THRESHOLD]` scores every frame and picks the shot changes, `memory SECONDS` gives
// the peaks' bytes for that much sound, `align FILE TEXTS` places each line of TEXTS in the
// speech (printed as "placed from to" in seconds, then the time taken). Run by
// bench/timing_tools.sh, bench/speech_detect.sh and bench/speech_align.sh; at normal priority,
// so that it is timed as ffmpeg is.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "media/audio_waveform.h"
#include "media/shot_changes.h"
#include "media/speech_places.h"

using namespace vantrel;

namespace {

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    JobControl control;
    const auto start = std::chrono::steady_clock::now();
    if (what == "peaks" && argc > 2) {
        AudioPeaks peaks;
        if (ReadAudioPeaks(argv[2], 0, peaks, control) != MediaRead::kDone) return 1;
        std::printf("peaks_ms %.0f seconds %.1f bytes %zu\n", Since(start), peaks.KnownSeconds(),
                    peaks.Bytes());
        return 0;
    }
    if (what == "speech" && argc > 2) {
        AudioPeaks peaks;
        SpeechActivity speech;
        if (ReadAudioPeaks(argv[2], 0, peaks, control, {}, &speech) != MediaRead::kDone) return 1;
        const std::vector<SpeechRun> runs = speech.Runs();
        std::printf("speech_ms %.0f seconds %.1f runs %zu\n", Since(start), speech.KnownSeconds(),
                    runs.size());
        for (const SpeechRun& run : runs)
            std::printf("%.2f %.2f\n", run.from / 100.0, run.to / 100.0);
        return 0;
    }
    if (what == "align" && argc > 3) {
        std::vector<std::string> texts;
        std::ifstream in(argv[3]);
        for (std::string line; std::getline(in, line);) texts.push_back(line);
        std::vector<CaptionPlace> places;
        std::string error;
        const SoundReader read = [&](const SoundSink& take,
                                     const std::function<void(double)>& progress) {
            return ReadSpeechSound(argv[2], 0, take, control, progress);
        };
        if (!FindCaptionsInSpeech(texts, read, places, error, {})) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        for (const CaptionPlace& p : places)
            std::printf("%d %.2f %.2f\n", p.placed ? 1 : 0, p.from / 100.0, p.to / 100.0);
        std::printf("align_ms %.0f\n", Since(start));
        return 0;
    }
    if (what == "shots" && argc > 2) {
        ShotScores scores;
        if (ScoreShotChanges(argv[2], scores, control) != MediaRead::kDone) return 1;
        const int threshold = argc > 3 ? std::atoi(argv[3]) : kDefaultShotThreshold;
        const std::vector<uint8_t> all = scores.Snapshot();
        std::printf("shots_ms %.0f frames %zu changes", Since(start), all.size());
        for (int32_t frame : ShotChangesFrom(all, threshold)) std::printf(" %d", frame);
        std::printf("\n");
        return 0;
    }
    if (what == "memory" && argc > 2) {
        const double seconds = std::atof(argv[2]);
        AudioPeaks peaks;
        peaks.Reserve(seconds);
        const std::vector<PeakPair> second(AudioPeaks::kPairsPerSecond, PeakPair{-5, 5});
        for (int s = 0; s < seconds; ++s) peaks.Append(second);
        peaks.Finish();
        std::printf("peaks_bytes %zu\n", peaks.Bytes());
        return 0;
    }
    std::fprintf(stderr,
                 "usage: %s peaks FILE | speech FILE | shots FILE [THRESHOLD] | memory SECONDS | "
                 "align FILE TEXTS\n",
                 argv[0]);
    return 2;
}
