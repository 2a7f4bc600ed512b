#include "media/audio_peaks.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

PeakPair Merge(PeakPair a, PeakPair b) {
    return {std::min(a.min, b.min), std::max(a.max, b.max)};
}

}  // namespace

void AudioPeaks::Append(std::span<const PeakPair> finest) {
    std::lock_guard lock(mutex_);
    levels_[0].insert(levels_[0].end(), finest.begin(), finest.end());
    // Coarser levels hold only whole groups, so rebuild each one's tail from the level below.
    for (int level = 1; level < kLevels; ++level) {
        const auto& below = levels_[level - 1];
        auto& here = levels_[level];
        size_t whole = below.size() / kLevelFactor;
        for (size_t i = here.size(); i < whole; ++i) {
            PeakPair merged = below[i * kLevelFactor];
            for (int k = 1; k < kLevelFactor; ++k)
                merged = Merge(merged, below[i * kLevelFactor + k]);
            here.push_back(merged);
        }
    }
}

void AudioPeaks::Reserve(double seconds) {
    // A damaged file's duration is not believed past a day.
    if (!(seconds > 0)) return;
    seconds = std::min(seconds, 24 * 3600.0);
    std::lock_guard lock(mutex_);
    // With room for sound a little longer than the container says.
    double entries = std::ceil((seconds * 1.01 + 2) * kPairsPerSecond);
    for (auto& level : levels_) {
        level.reserve(static_cast<size_t>(entries));
        entries = std::ceil(entries / kLevelFactor);
    }
}

void AudioPeaks::Finish() {
    std::lock_guard lock(mutex_);
    complete_ = true;
}

int AudioPeaks::Columns(double startSeconds, double secondsPerColumn,
                        std::span<PeakPair> out) const {
    std::fill(out.begin(), out.end(), PeakPair{});
    if (secondsPerColumn <= 0) return 0;
    std::lock_guard lock(mutex_);
    // The coarsest level that still gives at least one entry per column.
    int level = 0;
    double entrySeconds = 1.0 / kPairsPerSecond;
    while (level + 1 < kLevels && entrySeconds * kLevelFactor <= secondsPerColumn) {
        ++level;
        entrySeconds *= kLevelFactor;
    }
    const auto& entries = levels_[level];
    int known = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double from = (startSeconds + i * secondsPerColumn) / entrySeconds;
        double to = (startSeconds + (i + 1) * secondsPerColumn) / entrySeconds;
        if (to <= 0) continue;
        auto first = static_cast<int64_t>(std::floor(std::max(from, 0.0)));
        auto last = std::max(first + 1, static_cast<int64_t>(std::ceil(to)));
        if (first >= static_cast<int64_t>(entries.size())) break;
        last = std::min<int64_t>(last, entries.size());
        PeakPair merged = entries[first];
        for (int64_t k = first + 1; k < last; ++k) merged = Merge(merged, entries[k]);
        out[i] = merged;
        ++known;
    }
    return known;
}

double AudioPeaks::KnownSeconds() const {
    std::lock_guard lock(mutex_);
    return static_cast<double>(levels_[0].size()) / kPairsPerSecond;
}

bool AudioPeaks::Complete() const {
    std::lock_guard lock(mutex_);
    return complete_;
}

size_t AudioPeaks::Bytes() const {
    std::lock_guard lock(mutex_);
    size_t bytes = 0;
    for (const auto& level : levels_) bytes += level.capacity() * sizeof(PeakPair);
    return bytes;
}

std::vector<PeakPair> AudioPeaks::Finest() const {
    std::lock_guard lock(mutex_);
    return levels_[0];
}

}  // namespace vantrel
