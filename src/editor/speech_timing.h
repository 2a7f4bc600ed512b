// Captions timed to where their words are spoken (media/caption_alignment.h found the places):
// each placed caption starts on the frame its first word's onset falls in and ends after its
// last word, as the timing rules allow; those not found are spread between their neighbours and
// marked for the captioner. One undoable step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/edit_history.h"
#include "media/caption_alignment.h"
#include "media/speech_places.h"
#include "mpeg/progress_worker.h"

namespace vantrel {

inline constexpr const char* kTimeToSpeechStep = "Time Captions to Speech";

// A caption is held at most this many frames past its words' end, to reach its least duration.
inline constexpr int32_t kMostFramesPastSpeech = 12;

// The words of a caption's text that are spoken: without what is in brackets or parentheses
// (sounds, speaker names), music notes, the >> of a change of speaker and a leading "NAME:".
std::string WordsToSpeak(std::string_view captionText);

// The spoken words of every caption of the list, in order, as UTF-8.
std::vector<std::string> SpokenTextsOf(const CaptionList& captions);

// Times the list's captions by `places` (one per caption, in 10 ms frames of the programme from
// the start of the picture): Manual, with at least `leastFrames` frames shown where the speech
// and the next caption leave room, and the list's gap before the next. Returns how many captions
// were not placed; no step when nothing changed.
size_t TimeToSpeechStep(EditHistory& history, const std::vector<CaptionPlace>& places,
                        double secondsPerFrame, int32_t leastFrames);

struct SpeechTimingOutcome {
    bool timed = false;   // the step was made
    size_t unplaced = 0;  // captions whose words were not found
    std::string message;  // why nothing was timed; empty when it was, or was cancelled
};

// The whole command: the captions' words found in the sound `read` gives, on a worker behind
// `display` (cancel stops it and changes nothing), then timed by them in one step. The report
// of the unplaced captions is the caller's to show.
SpeechTimingOutcome TimeCaptionsToSpeech(EditHistory& history, const SoundReader& read,
                                         int32_t leastFrames, ProgressDisplay& display);

// "12 of 14 captions were timed to the speech; 2 whose words were not found in it are marked
// unplaced"
std::string SpeechTimingSummary(size_t captions, size_t unplaced);

}  // namespace vantrel
