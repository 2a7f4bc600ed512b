#include "media/media_analysis.h"

#include "media/audio_waveform.h"
#include "media/media_cache.h"

namespace vantrel {

namespace {

// The cache's names for each kind of entry, with what shapes the bytes: a change to how they
// are computed takes a new name, so that older entries are not used.
std::string PeaksKind(int audioTrack) {
    return "peaks-1 track " + std::to_string(audioTrack);
}
std::string SpeechKind(int audioTrack) {
    return "speech-1 track " + std::to_string(audioTrack);
}
constexpr std::string_view kScoresKind = "shot-scores-1";

}  // namespace

MediaAnalysis::MediaAnalysis(std::string cacheFolder) : cacheFolder_(std::move(cacheFolder)) {}

MediaAnalysis::~MediaAnalysis() {
    Close();
}

void MediaAnalysis::Open(const std::string& path, int audioTrack) {
    Close();
    path_ = path;
    StartPeaks(audioTrack);
    StartShots();
}

void MediaAnalysis::Close() {
    peaksJob_.Cancel();
    shotsJob_.Cancel();
    std::lock_guard lock(mutex_);
    path_.clear();
    peaks_.reset();
    speech_.reset();
    scores_.reset();
    imported_.clear();
    usesImported_ = false;
    secondsPerFrame_ = 0;
}

void MediaAnalysis::SetPaused(bool paused) {
    shotsJob_.SetPaused(paused);
}

// The peaks and the speech come from one decoding, so both are read again unless both are
// kept.
void MediaAnalysis::StartPeaks(int audioTrack) {
    peaksJob_.Start([this, path = path_, audioTrack](const JobControl& control) {
        const std::string peaksKind = PeaksKind(audioTrack), speechKind = SpeechKind(audioTrack);
        std::optional<LoadedPeaks> loaded;
        std::shared_ptr<SpeechActivity> speech;
        if (std::optional<std::string> bytes = LoadMediaCache(cacheFolder_, path, peaksKind))
            loaded = PeaksFromSaved(*bytes);
        if (std::optional<std::string> bytes = LoadMediaCache(cacheFolder_, path, speechKind))
            speech = SpeechFromSaved(*bytes);
        if (loaded && speech) {
            secondsPerFrame_ = loaded->secondsPerFrame;
            std::lock_guard lock(mutex_);
            peaks_ = std::move(loaded->peaks);
            speech_ = std::move(speech);
            return;
        }
        auto peaks = std::make_shared<AudioPeaks>();
        speech = std::make_shared<SpeechActivity>();
        double secondsPerFrame = 0;
        const MediaRead read = ReadAudioPeaks(
            path, audioTrack, *peaks, control,
            [&](double seconds) {
                secondsPerFrame = seconds;
                secondsPerFrame_ = seconds;
                std::lock_guard lock(mutex_);
                peaks_ = peaks;
                speech_ = speech;
            },
            speech.get());
        if (read == MediaRead::kDone) {
            StoreMediaCache(cacheFolder_, path, peaksKind, SavedPeaks(*peaks, secondsPerFrame));
            StoreMediaCache(cacheFolder_, path, speechKind, SavedSpeech(*speech));
        } else if (read == MediaRead::kFailed) {
            std::lock_guard lock(mutex_);
            peaks_.reset();
            speech_.reset();
        }
    });
}

void MediaAnalysis::StartShots() {
    shotsJob_.Start([this, path = path_](const JobControl& control) {
        auto scores = std::make_shared<ShotScores>();
        {
            std::lock_guard lock(mutex_);
            scores_ = scores;
        }
        if (std::optional<std::string> bytes = LoadMediaCache(cacheFolder_, path, kScoresKind)) {
            for (char score : *bytes) scores->Append(static_cast<uint8_t>(score));
            scores->Finish();
            return;
        }
        if (ScoreShotChanges(path, *scores, control) == MediaRead::kDone) {
            const std::vector<uint8_t> all = scores->Snapshot();
            StoreMediaCache(
                cacheFolder_, path, kScoresKind,
                std::string_view(reinterpret_cast<const char*>(all.data()), all.size()));
        }
    });
}

std::shared_ptr<const AudioPeaks> MediaAnalysis::Peaks() const {
    std::lock_guard lock(mutex_);
    return peaks_;
}

std::shared_ptr<const SpeechActivity> MediaAnalysis::Speech() const {
    std::lock_guard lock(mutex_);
    return speech_;
}

std::vector<int32_t> MediaAnalysis::ShotChanges() const {
    std::shared_ptr<ShotScores> scores;
    {
        std::lock_guard lock(mutex_);
        if (usesImported_) return imported_;
        scores = scores_;
    }
    if (!scores) return {};
    return ShotChangesFrom(scores->Snapshot(), threshold_);
}

void MediaAnalysis::SetShotThreshold(int threshold) {
    threshold_ = std::clamp(threshold, kLowestShotThreshold, kHighestShotThreshold);
    bool restart = false;
    {
        std::lock_guard lock(mutex_);
        restart = usesImported_ && !path_.empty();
        usesImported_ = false;
        imported_.clear();
    }
    if (restart) StartShots();
}

void MediaAnalysis::ImportShotChanges(std::vector<int32_t> frames) {
    shotsJob_.Cancel();
    std::lock_guard lock(mutex_);
    scores_.reset();
    imported_ = std::move(frames);
    usesImported_ = true;
}

size_t MediaAnalysis::ScoredFrames() const {
    std::lock_guard lock(mutex_);
    return scores_ ? scores_->Frames() : 0;
}

bool MediaAnalysis::Settled() const {
    return !peaksJob_.Running() && !shotsJob_.Running();
}

}  // namespace vantrel
