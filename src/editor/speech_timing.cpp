#include "editor/speech_timing.h"

#include <algorithm>
#include <cmath>

#include "codec/charset.h"
#include "files/subtitles.h"
#include "files/timecode.h"

namespace vantrel {

namespace {

struct Frames {
    int64_t start = 0;
    int64_t end = 0;
};

// A place's frames in the video's: the frame its onset falls in, to the first frame after its
// end.
Frames VideoFrames(const CaptionPlace& place, double secondsPerFrame) {
    const double perTenMs = 0.01 / secondsPerFrame;
    // A hair under a whole frame still counts as that frame, against rounding in the rates.
    return {static_cast<int64_t>(std::floor(place.from * perTenMs + 1e-6)),
            static_cast<int64_t>(std::ceil(place.to * perTenMs - 1e-6))};
}

// The frames of each caption: the placed ones from their speech, each unplaced run shared out
// evenly over the room its placed neighbours leave.
std::vector<Frames> PlannedFrames(const std::vector<CaptionPlace>& places, double secondsPerFrame,
                                  int32_t leastFrames, int32_t gap, const CaptionList& list) {
    const size_t n = places.size();
    std::vector<Frames> frames(n);
    std::vector<int64_t> speechEnd(n, 0);
    for (size_t k = 0; k < n; ++k) {
        if (!places[k].placed) continue;
        frames[k] = VideoFrames(places[k], secondsPerFrame);
        speechEnd[k] = frames[k].end;
        frames[k].end = std::max(frames[k].end, std::min(frames[k].start + leastFrames,
                                                         frames[k].end + kMostFramesPastSpeech));
    }
    // The placed captions in order, each ending `gap` frames before the next placed one starts.
    int64_t lastStart = -1;
    size_t before = n;  // the last placed caption
    for (size_t k = 0; k < n; ++k) {
        if (!places[k].placed) continue;
        frames[k].start = std::max(frames[k].start, lastStart + 1);
        if (before < n) {
            Frames& b = frames[before];
            b.end = std::max(b.start + 1, std::min(b.end, frames[k].start - gap));
        }
        frames[k].end = std::max(frames[k].end, frames[k].start + 1);
        lastStart = frames[k].start;
        before = k;
    }
    // The unplaced between keep their own frames where those fit between the placed ones
    // around them; otherwise they share the room: after the placed one before (or where the
    // first caption was), up to the placed one after (or two seconds each past the last).
    const Caption* c = list.Head();
    for (size_t k = 0; k < n;) {
        if (places[k].placed) {
            ++k;
            c = c->next;
            continue;
        }
        size_t last = k;
        while (last < n && !places[last].placed) ++last;
        const Caption* lastOfRun = c;
        for (size_t u = k + 1; u < last; ++u) lastOfRun = lastOfRun->next;
        if (c->startFrame >= (k > 0 ? frames[k - 1].end + gap : 0) &&
            (last == n || int64_t{lastOfRun->endFrame} + gap <= frames[last].start)) {
            for (size_t u = k; u < last; ++u, c = c->next) frames[u] = {c->startFrame, c->endFrame};
            k = last;
            continue;
        }
        const int64_t count = static_cast<int64_t>(last - k);
        const int64_t twoSeconds = count * 2 * std::lround(1 / secondsPerFrame);
        int64_t from = k > 0 ? frames[k - 1].end + gap : std::max<int64_t>(c->startFrame, 0);
        if (k == 0 && last < n) from = std::max<int64_t>(0, frames[last].start - twoSeconds);
        const int64_t to = last < n ? frames[last].start : from + twoSeconds;
        const int64_t share = std::max<int64_t>((to - from) / count, 1);
        for (size_t u = k; u < last; ++u, c = c->next) {
            const int64_t start = std::max(from + share * static_cast<int64_t>(u - k),
                                           u == 0 ? int64_t{0} : frames[u - 1].start + 1);
            frames[u] = {start, std::max(start + 1, start + share - gap)};
        }
        k = last;
    }
    // Where there was no room, starts stay in order all the same.
    for (size_t k = 1; k < n; ++k) {
        frames[k].start = std::max(frames[k].start, frames[k - 1].start + 1);
        frames[k].end = std::max(frames[k].end, frames[k].start + 1);
    }
    return frames;
}

}  // namespace

std::string WordsToSpeak(std::string_view text) {
    std::string out;
    int depth = 0;  // inside brackets or parentheses
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '[' || ch == '(') ++depth;
        if (depth == 0 && !text.substr(i).starts_with(">>") &&
            !text.substr(i).starts_with("\u266A"))
            out += ch;
        if (text.substr(i).starts_with(">>")) ++i;
        if (text.substr(i).starts_with("\u266A")) i += std::string_view("\u266A").size() - 1;
        if ((ch == ']' || ch == ')') && depth > 0) --depth;
    }
    // A speaker's name before a colon at the start: upper-case letters, spaces and dots.
    const size_t colon = out.find(':');
    if (colon != std::string::npos &&
        out.find_first_not_of(" .ABCDEFGHIJKLMNOPQRSTUVWXYZ'-") == colon && colon > 0)
        out.erase(0, colon + 1);
    const size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    out.erase(0, first);
    out.erase(out.find_last_not_of(' ') + 1);
    return out;
}

std::vector<std::string> SpokenTextsOf(const CaptionList& captions) {
    std::vector<std::string> texts;
    char text[kSubtitleTextCapacity + 1];
    for (const Caption* c = captions.Head(); c; c = c->next) {
        const size_t n = c->GetRunningText(text, false, kSubtitleTextCapacity);
        texts.push_back(WordsToSpeak(CaptionTextToUtf8(std::string_view(text, n))));
    }
    return texts;
}

size_t TimeToSpeechStep(EditHistory& history, const std::vector<CaptionPlace>& places,
                        double secondsPerFrame, int32_t leastFrames) {
    CaptionList& list = history.Project().captions;
    if (places.empty() || static_cast<int>(places.size()) != list.Count() || !(secondsPerFrame > 0))
        return 0;
    const std::vector<Frames> frames =
        PlannedFrames(places, secondsPerFrame, leastFrames, list.Gap(), list);
    const int32_t from = list.Head()->startFrame;
    CaptionChange change(history, kTimeToSpeechStep);
    size_t unplaced = 0;
    size_t k = 0;
    for (Caption* c = list.Head(); c; c = c->next, ++k) {
        change.Touch(c);
        c->startFrame = static_cast<int32_t>(std::min<int64_t>(frames[k].start, INT32_MAX - 1));
        c->endFrame = static_cast<int32_t>(std::min<int64_t>(frames[k].end, INT32_MAX));
        c->timingMode = Manual;
        c->unplaced = !places[k].placed;
        unplaced += c->unplaced ? 1 : 0;
    }
    for (Caption* c = list.Head(); c; c = c->next) c->ApplyTiming(list.Gap());
    change.Commit(from, list.Head()->startFrame);
    return unplaced;
}

SpeechTimingOutcome TimeCaptionsToSpeech(EditHistory& history, const SoundReader& read,
                                         int32_t leastFrames, ProgressDisplay& display) {
    CaptionProject& project = history.Project();
    SpeechTimingOutcome outcome;
    if (project.captions.Empty()) {
        outcome.message = "There are no captions to time to the speech.";
        return outcome;
    }
    const std::vector<std::string> texts = SpokenTextsOf(project.captions);
    std::vector<CaptionPlace> places;
    std::string error;
    bool done = false;
    ProgressWorker worker(
        ProgressWorker::kBarRange, OperationMode::SpeechTiming, project,
        [&](ProgressSink& progress, const std::atomic<int>& cancel, CaptionList&) {
            done = FindCaptionsInSpeech(texts, read, places, error, [&](double share) {
                progress.SetProgress(static_cast<uint64_t>(share * ProgressWorker::kBarRange));
                return !CancelRaised(&cancel);
            });
            MpegOutcome o;
            o.status = done            ? MpegStatus::Completed
                       : error.empty() ? MpegStatus::Cancelled
                                       : MpegStatus::Refused;
            return o;
        });
    display.Run(worker);
    worker.Wait();
    if (!done || CancelRaised(&project.cancel)) {
        outcome.message = error;
        return outcome;
    }
    // Caption frames are the line-21 rate's, whatever the video's own.
    outcome.unplaced = TimeToSpeechStep(history, places, kFrameSeconds, leastFrames);
    outcome.timed = true;
    return outcome;
}

std::string SpeechTimingSummary(size_t captions, size_t unplaced) {
    std::string text = std::to_string(captions - unplaced) + " of " + std::to_string(captions) +
                       (captions == 1 ? " caption was" : " captions were") + " timed to the speech";
    if (unplaced > 0) {
        text += "; " + std::to_string(unplaced) +
                (unplaced == 1 ? " whose words were not found in it is"
                               : " whose words were not found in it are") +
                " marked unplaced";
    }
    return text;
}

}  // namespace vantrel
