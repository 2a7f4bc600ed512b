// The audio's loudness for the timeline: the lowest and highest sample of each short stretch of
// time, at a few levels of detail so that any zoom reads about one entry per pixel column. A
// background decoder appends as it goes while the window reads what has arrived.
#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace vantrel {

// Samples scaled to -127..127.
struct PeakPair {
    int8_t min = 0;
    int8_t max = 0;
};

class AudioPeaks {
  public:
    // The finest level: 1/480 s, finer than a frame at the timeline's closest zoom.
    static constexpr int kPairsPerSecond = 480;
    // Each coarser level merges this many entries of the level below.
    static constexpr int kLevelFactor = 8;
    static constexpr int kLevels = 4;

    // Decoder side: the next entries of the finest level, in time order.
    void Append(std::span<const PeakPair> finest);
    // Decoder side: room for this much sound at every level, so that a long programme's
    // peaks do not take twice their size while they grow.
    void Reserve(double seconds);
    // Decoder side: the whole audio has been read (`Complete` turns true).
    void Finish();

    // Window side, from any thread. One entry per column: column i covers
    // [startSeconds + i * secondsPerColumn, startSeconds + (i + 1) * secondsPerColumn).
    // Columns past what has arrived, or before the start, are {0, 0}. Returns the number of
    // columns that are known.
    int Columns(double startSeconds, double secondsPerColumn, std::span<PeakPair> out) const;
    // Seconds of audio that have arrived.
    double KnownSeconds() const;
    bool Complete() const;
    // Memory held, for the benchmark's budget.
    size_t Bytes() const;

    // The finest level, for the cache (a snapshot).
    std::vector<PeakPair> Finest() const;

  private:
    mutable std::mutex mutex_;
    std::vector<PeakPair> levels_[kLevels];
    bool complete_ = false;
};

}  // namespace vantrel
