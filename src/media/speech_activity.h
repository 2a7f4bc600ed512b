// Where the programme's sound holds speech: runs of 10 ms frames from an onset to an end, found
// by the voice-activity detector as the sound is decoded and read by the window as they arrive.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// Frames [from, to) of 10 ms from the start of the picture.
struct SpeechRun {
    int32_t from = 0;
    int32_t to = 0;
    bool operator==(const SpeechRun&) const = default;
};

class SpeechActivity {
  public:
    // Detector side: the next run, after every one before it.
    void Append(SpeechRun run);
    // Detector side: the frames looked at so far (whether speech or not).
    void SetKnownFrames(int64_t frames);
    // Detector side: the whole sound has been looked at.
    void Finish();

    // Window side, from any thread (snapshots).
    std::vector<SpeechRun> Runs() const;
    double KnownSeconds() const;
    bool Complete() const;

  private:
    mutable std::mutex mutex_;
    std::vector<SpeechRun> runs_;
    int64_t knownFrames_ = 0;
    bool complete_ = false;
};

// The runs as the cache keeps them, and back (complete); nothing when the bytes are not such an
// entry: runs out of order, overlapping or empty.
std::string SavedSpeech(const SpeechActivity& speech);
std::shared_ptr<SpeechActivity> SpeechFromSaved(const std::string& bytes);

// A run in video frames: from the frame its onset falls in up to the first frame after its end,
// so that a caption on those frames covers it.
struct SpeechSpan {
    int32_t start = 0;
    int32_t end = 0;
    bool operator==(const SpeechSpan&) const = default;
};
std::vector<SpeechSpan> SpeechInFrames(const std::vector<SpeechRun>& runs, double secondsPerFrame);

}  // namespace vantrel
