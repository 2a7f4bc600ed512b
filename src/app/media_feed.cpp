#include "app/media_feed.h"

namespace vantrel {

namespace {

// Often enough that the waveform seems to grow, seldom enough to cost nothing.
constexpr int kPollMs = 200;

}  // namespace

MediaFeed::MediaFeed(TimelineWindow& timeline, std::function<bool()> playing,
                     std::string cacheFolder, QObject* parent)
    : QObject(parent),
      timeline_(timeline),
      playing_(std::move(playing)),
      analysis_(std::move(cacheFolder)) {
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, &MediaFeed::Poll);
}

void MediaFeed::Open(const std::string& path) {
    Close();
    analysis_.SetPaused(playing_());
    analysis_.Open(path);
    timer_.start();
}

void MediaFeed::Close() {
    timer_.stop();
    analysis_.Close();
    shownPeaks_.reset();
    shownSeconds_ = -1;
    shownFrames_ = 0;
    shownSpeech_.reset();
    shownSpeechSeconds_ = -1;
    timeline_.SetAudioPeaks(nullptr, 0);
    timeline_.SetShotChanges({});
    timeline_.SetSpeech({});
}

void MediaFeed::PlayStateChanged() {
    analysis_.SetPaused(playing_());
}

void MediaFeed::SetShotThreshold(int threshold) {
    analysis_.SetShotThreshold(threshold);
    ShowShotChanges();
    timer_.start();
}

void MediaFeed::ImportShotChanges(std::vector<int32_t> frames) {
    analysis_.ImportShotChanges(std::move(frames));
    ShowShotChanges();
}

void MediaFeed::ShowShotChanges() {
    shownFrames_ = analysis_.ScoredFrames();
    timeline_.SetShotChanges(analysis_.ShotChanges());
}

// The runs in the video's frames once its rate is known, handed again as more are found.
void MediaFeed::ShowSpeech() {
    std::shared_ptr<const SpeechActivity> speech = analysis_.Speech();
    const double secondsPerFrame = analysis_.SecondsPerFrame();
    if (!speech || secondsPerFrame <= 0) return;
    const double seconds = speech->KnownSeconds();
    if (speech == shownSpeech_ && seconds == shownSpeechSeconds_) return;
    shownSpeech_ = speech;
    shownSpeechSeconds_ = seconds;
    timeline_.SetSpeech(SpeechInFrames(speech->Runs(), secondsPerFrame));
}

void MediaFeed::Poll() {
    const bool settled = analysis_.Settled();  // before the look, so that nothing is missed
    PlayStateChanged();
    std::shared_ptr<const AudioPeaks> peaks = analysis_.Peaks();
    const double secondsPerFrame = analysis_.SecondsPerFrame();
    const double seconds = peaks ? peaks->KnownSeconds() : -1;
    if (peaks != shownPeaks_ || seconds != shownSeconds_) {
        // Handed again as they grow, so that the timeline draws the new part.
        timeline_.SetAudioPeaks(secondsPerFrame > 0 ? peaks : nullptr, secondsPerFrame);
        shownPeaks_ = secondsPerFrame > 0 ? peaks : nullptr;
        shownSeconds_ = shownPeaks_ ? seconds : -1;
    }
    if (analysis_.ScoredFrames() != shownFrames_) ShowShotChanges();
    ShowSpeech();
    if (settled) timer_.stop();
}

}  // namespace vantrel
