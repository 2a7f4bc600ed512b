#include "files/subtitle_import.h"

#include <algorithm>
#include <unordered_map>

#include "codec/code_string.h"
#include "codec/encoder.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "files/timecode.h"

namespace vantrel {

namespace {

// A cue on the frame axis; cues that start on the same frame are merged.
struct FramedCue {
    int32_t start = 0;
    int32_t end = 0;
    std::vector<StyledLine> lines;
    bool top = true;
};

int32_t FrameOf(int64_t milliseconds) {
    // Past the last encodable frame the encoder leaves the caption out; keep it in range.
    return static_cast<int32_t>(std::min(SubtitleTimeToFrame(milliseconds), kMaxEncodedFrame + 1));
}

std::vector<FramedCue> FramedCues(const SubtitleFile& file) {
    std::vector<FramedCue> cues;
    for (const SubtitleCue& cue : file.cues) {
        FramedCue framed;
        framed.start = FrameOf(cue.startMs);
        framed.end = std::max(FrameOf(cue.endMs), framed.start + 1);
        framed.lines = cue.lines;
        framed.top = cue.top;
        cues.push_back(std::move(framed));
    }
    std::stable_sort(cues.begin(), cues.end(),
                     [](const FramedCue& a, const FramedCue& b) { return a.start < b.start; });
    std::vector<FramedCue> merged;
    for (FramedCue& cue : cues) {
        if (!merged.empty() && merged.back().start == cue.start) {
            FramedCue& into = merged.back();
            into.end = std::max(into.end, cue.end);
            into.top = into.top && cue.top;
            into.lines.insert(into.lines.end(), cue.lines.begin(), cue.lines.end());
        } else {
            merged.push_back(std::move(cue));
        }
    }
    return merged;
}

// The screens of a cue share its time by their text; each shows at least as long as the next
// takes to load, where the cue is long enough for that.
std::vector<int32_t> ScreenStarts(const FramedCue& cue, const std::vector<CueScreen>& screens,
                                  std::vector<std::unique_ptr<Caption>>& captions) {
    size_t total = 0;
    for (const CueScreen& screen : screens) total += screen.textLength;
    total = std::max<size_t>(total, 1);
    std::vector<int32_t> shared, loadable;
    size_t shown = 0;
    for (const CueScreen& screen : screens) {
        auto caption = std::make_unique<Caption>();
        LoadCodeString(*caption, screen.code);
        const auto start = static_cast<int32_t>(cue.start + int64_t{cue.end - cue.start} *
                                                                static_cast<int64_t>(shown) /
                                                                static_cast<int64_t>(total));
        shared.push_back(start);
        loadable.push_back(
            loadable.empty() ? start : std::max(start, loadable.back() + GetLoadFrames(*caption)));
        shown += screen.textLength;
        captions.push_back(std::move(caption));
    }
    return loadable.back() < cue.end ? loadable : shared;
}

}  // namespace

bool IsSubtitleExtension(std::string_view extension) {
    const CaptionFormat* format = FormatOfExtension(extension);
    return format && format->kind == FormatKind::Subtitles;
}

std::vector<std::unique_ptr<Caption>> MakeSubtitleCaptions(const SubtitleFile& file,
                                                           CaptionList& list,
                                                           const std::atomic<int>* cancel) {
    CancelPoll cancelled(cancel);
    const std::vector<FramedCue> cues = FramedCues(file);
    struct Made {
        std::unique_ptr<Caption> caption;
        int32_t cueEnd;
        bool lastOfCue;
    };
    std::vector<Made> made;
    int32_t lastStart = -1;
    for (const FramedCue& cue : cues) {
        if (cancelled()) return {};
        const std::vector<CueScreen> screens = LayOutCue(cue.lines, cue.top);
        if (screens.empty()) continue;
        std::vector<std::unique_ptr<Caption>> captions;
        const std::vector<int32_t> starts = ScreenStarts(cue, screens, captions);
        for (size_t s = 0; s < captions.size(); ++s) {
            // Captions start one after another, even where a cue is too short for its screens
            // (the encoder then shows those late).
            lastStart = std::max(starts[s], lastStart + 1);
            captions[s]->startFrame = lastStart;
            made.push_back({std::move(captions[s]), cue.end, s + 1 == captions.size()});
        }
    }
    // The end of each caption's cue, for a caption whose successor is taken out again.
    std::unordered_map<const Caption*, int32_t> cueEnds;
    for (size_t k = 0; k < made.size(); ++k) {
        Caption* c = made[k].caption.get();
        const int32_t own = std::max(made[k].cueEnd, c->startFrame + 1);
        const bool hasNext = k + 1 < made.size();
        const int32_t next = hasNext ? made[k + 1].caption->startFrame : 0;
        if (hasNext && (!made[k].lastOfCue || next <= own)) {
            c->endFrame = next;
            c->timingMode = Seamless;
        } else {
            c->endFrame = own;
            c->timingMode = Manual;
        }
        cueEnds[c] = own;
        list.Insert(std::move(made[k].caption));
    }
    // Take out what the encoder cannot place (a time past the last frame it encodes). The
    // caption before one taken out ends with its own cue rather than running on into the gap;
    // look again until nothing more goes.
    std::vector<std::unique_ptr<Caption>> leftOut;
    while (true) {
        const EncodedCaptions encoded = EncodeCaptions(list, cancel);
        if (encoded.leftOut.empty() || CancelRaised(cancel)) break;
        for (const Caption* gone : encoded.leftOut) {
            Caption* prev = gone->prev;
            leftOut.emplace_back(list.Detach(const_cast<Caption*>(gone)));
            if (!prev || prev->timingMode != Seamless) continue;
            const int32_t own = cueEnds[prev];
            if (!prev->next || own < prev->next->startFrame) {
                prev->timingMode = Manual;
                prev->endFrame = own;
            }
            prev->ApplyTiming(list.Gap());
        }
    }
    std::stable_sort(leftOut.begin(), leftOut.end(),
                     [](const auto& a, const auto& b) { return a->startFrame < b->startFrame; });
    return leftOut;
}

ImportResult ImportSubtitleFile(CaptionProject& project, const std::string& path,
                                const CaptionFormat& format, std::vector<uint8_t> content,
                                const std::function<void()>& beforeClear) {
    auto inform = [&](const std::string& message) {
        if (project.host && !message.empty()) project.host->Inform(message);
    };
    const std::string_view text(reinterpret_cast<const char*>(content.data()), content.size());
    const SubtitleFile file = format.readCues(text, &project.cancel);
    content = {};
    if (CancelRaised(&project.cancel)) return ImportResult::Cancelled;
    if (!file.recognized) {
        inform(NotRecognizedText(path, format));
        return ImportResult::NotRecognized;
    }

    CaptionList captions;
    const std::vector<std::unique_ptr<Caption>> leftOut =
        MakeSubtitleCaptions(file, captions, &project.cancel);
    if (CancelRaised(&project.cancel)) return ImportResult::Cancelled;
    if (file.skippedBlocks > 0) inform(SkippedSubtitleBlocksText(path, file.skippedBlocks));
    if (file.endsBeforeStart.count > 0) {
        inform(CuesEndingBeforeStartText(path, file.endsBeforeStart.count,
                                         file.endsBeforeStart.firstLine));
    }
    // Cues out of time order, or over the one before: the captions cannot show that any more.
    size_t outOfOrder = 0, overlapping = 0;
    int64_t firstOutOfOrder = 0, firstOverlapping = 0;
    for (size_t k = 1; k < file.cues.size(); ++k) {
        const SubtitleCue& cue = file.cues[k];
        if (cue.startMs < file.cues[k - 1].startMs) {
            if (outOfOrder++ == 0) firstOutOfOrder = cue.startMs;
        } else if (cue.startMs < file.cues[k - 1].endMs) {
            if (overlapping++ == 0) firstOverlapping = cue.startMs;
        }
    }
    if (outOfOrder > 0) {
        inform(CuesOutOfOrderText(path, outOfOrder, SubtitleTimeToFrame(firstOutOfOrder)));
    }
    if (overlapping > 0) {
        inform(OverlappingCuesText(path, overlapping, SubtitleTimeToFrame(firstOverlapping)));
    }
    if (file.unshownCharacters > 0) {
        inform(UnshownCharactersText(path, file.unshownCharacters, file.firstUnshown,
                                     SubtitleTimeToFrame(file.firstUnshownMs)));
    }
    std::vector<const Caption*> leftOutList;
    for (const auto& c : leftOut) leftOutList.push_back(c.get());
    inform(LeftOutCaptionsText(leftOutList));
    if (captions.Empty()) {
        inform(NoSubtitlesText(path));
        return ImportResult::NoCaptions;
    }

    if (beforeClear) beforeClear();
    project.ReplaceCaptions(captions);  // marks the project modified
    return ImportResult::Imported;
}

}  // namespace vantrel
