#include "media/speech_activity.h"

#include <cmath>
#include <cstring>

#include "media/speech_spectrum.h"

namespace vantrel {

void SpeechActivity::Append(SpeechRun run) {
    std::lock_guard lock(mutex_);
    runs_.push_back(run);
}

void SpeechActivity::SetKnownFrames(int64_t frames) {
    std::lock_guard lock(mutex_);
    knownFrames_ = frames;
}

void SpeechActivity::Finish() {
    std::lock_guard lock(mutex_);
    complete_ = true;
}

std::vector<SpeechRun> SpeechActivity::Runs() const {
    std::lock_guard lock(mutex_);
    return runs_;
}

double SpeechActivity::KnownSeconds() const {
    std::lock_guard lock(mutex_);
    return static_cast<double>(knownFrames_) / kSpeechFramesPerSecond;
}

bool SpeechActivity::Complete() const {
    std::lock_guard lock(mutex_);
    return complete_;
}

// The frames looked at, then each run's two ends.
std::string SavedSpeech(const SpeechActivity& speech) {
    const std::vector<SpeechRun> runs = speech.Runs();
    const auto known =
        static_cast<int64_t>(std::llround(speech.KnownSeconds() * kSpeechFramesPerSecond));
    std::string out(reinterpret_cast<const char*>(&known), sizeof known);
    for (const SpeechRun& run : runs) {
        const int32_t ends[2] = {run.from, run.to};
        out.append(reinterpret_cast<const char*>(ends), sizeof ends);
    }
    return out;
}

std::shared_ptr<SpeechActivity> SpeechFromSaved(const std::string& bytes) {
    int64_t known = 0;
    constexpr size_t kRun = 2 * sizeof(int32_t);
    if (bytes.size() < sizeof known || (bytes.size() - sizeof known) % kRun != 0) return nullptr;
    std::memcpy(&known, bytes.data(), sizeof known);
    auto speech = std::make_shared<SpeechActivity>();
    int32_t last = 0;
    for (size_t at = sizeof known; at < bytes.size(); at += kRun) {
        SpeechRun run;
        std::memcpy(&run.from, bytes.data() + at, sizeof run.from);
        std::memcpy(&run.to, bytes.data() + at + sizeof run.from, sizeof run.to);
        if (run.from < last || run.to <= run.from || run.to > known) return nullptr;
        speech->Append(run);
        last = run.to;
    }
    speech->SetKnownFrames(known);
    speech->Finish();
    return speech;
}

std::vector<SpeechSpan> SpeechInFrames(const std::vector<SpeechRun>& runs, double secondsPerFrame) {
    std::vector<SpeechSpan> spans;
    if (!(secondsPerFrame > 0)) return spans;
    const double framesPerRun = 1.0 / (kSpeechFramesPerSecond * secondsPerFrame);
    spans.reserve(runs.size());
    for (const SpeechRun& run : runs) {
        // A hair of slack so that an onset on a frame's first instant stays in that frame.
        const auto start = static_cast<int32_t>(std::floor(run.from * framesPerRun + 1e-6));
        const auto end = static_cast<int32_t>(std::ceil(run.to * framesPerRun - 1e-6));
        spans.push_back({start, std::max(end, start + 1)});
    }
    return spans;
}

}  // namespace vantrel
