#include "check/caption_checks.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "check/caption_words.h"
#include "codec/encoder.h"
#include "files/timecode.h"

namespace vantrel {

namespace {

// Measured values at a limit stay within it despite the rounding of 1001/30000.
constexpr double kTolerance = 1e-9;

bool IsSpace(uint8_t ch) {
    return ch == 0x20 || ch == 0xA0;  // the transparent space shows as a space too
}
bool IsShown(uint8_t ch) {
    return ch >= 0x20;
}

// The first and last columns of a row that show something other than a space; -1, -1 when none.
std::pair<int, int> TextSpan(const CaptionCell* row) {
    int first = -1, last = -1;
    for (int c = 0; c < kScreenColumns; ++c) {
        if (IsShown(row[c].character) && !IsSpace(row[c].character)) {
            if (first < 0) first = c;
            last = c;
        }
    }
    return {first, last};
}

// The spacing faults of a caption, rows numbered from 1 as on the screen; empty when none.
std::string SpacingFaults(const Caption& caption, int& count) {
    std::string faults;
    auto add = [&](const std::string& fault) {
        faults += (faults.empty() ? "" : "; ") + fault;
        ++count;
    };
    int lastTextRow = -1;
    bool gapSinceText = false;
    for (int r = 0; r < kScreenRows; ++r) {
        const CaptionCell* row = caption.cells[r];
        const auto [first, last] = TextSpan(row);
        if (first < 0) {
            gapSinceText = gapSinceText || lastTextRow >= 0;
            continue;
        }
        const std::string name = "row " + std::to_string(r + 1);
        if (gapSinceText) add("an empty row before " + name);
        gapSinceText = false;
        lastTextRow = r;
        bool leading = false, trailing = false, doubled = false;
        int run = 0;  // blank cells in a row: spaces and attribute cells, at least one a space
        bool runHasSpace = false;
        for (int c = 0; c < kScreenColumns; ++c) {
            const uint8_t ch = row[c].character;
            if (ch == 0x20) {
                leading = leading || c < first;
                trailing = trailing || c > last;
            }
            if (c > first && c < last && ch != 0 && (ch < 0x20 || IsSpace(ch))) {
                ++run;
                runHasSpace = runHasSpace || IsSpace(ch);
                doubled = doubled || (run >= 2 && runHasSpace);
            } else {
                run = 0;
                runHasSpace = false;
            }
        }
        if (leading) add(name + " begins with a space");
        if (trailing) add(name + " ends with a space");
        if (doubled) add(name + " has doubled spaces");
    }
    return faults;
}

// "2 words not in the dictionary: teh, wrod"
std::string SpellingFault(const std::vector<CaptionWord>& words) {
    std::string fault = std::to_string(words.size()) + (words.size() == 1 ? " word" : " words") +
                        " not in the dictionary: ";
    for (size_t k = 0; k < words.size(); ++k) fault += (k > 0 ? ", " : "") + words[k].text;
    return fault;
}

}  // namespace

ShownText CountShownText(const Caption& caption) {
    ShownText shown;
    for (int r = 0; r < kScreenRows; ++r) {
        const CaptionCell* row = caption.cells[r];
        const auto [first, last] = TextSpan(row);
        if (first < 0) continue;
        ++shown.rows;
        bool inWord = false;
        for (int c = first; c <= last; ++c) {
            const uint8_t ch = row[c].character;
            if (IsShown(ch)) ++shown.characters;
            const bool wordChar = IsShown(ch) && !IsSpace(ch);
            if (wordChar && !inWord) ++shown.words;
            inWord = wordChar;
        }
    }
    return shown;
}

std::vector<Finding> CheckCaptions(const CaptionList& captions, const CheckProfile& profile,
                                   const Speller* speller) {
    std::vector<Finding> findings;
    const EncodedCaptions encoded = EncodeCaptions(captions);
    size_t nextLate = 0;  // encoded.late is in list order
    int number = 0;
    const Caption* prev = nullptr;
    for (const Caption* c = captions.Head(); c; prev = c, c = c->next) {
        ++number;
        auto flag = [&](CheckRule rule, double value, double limit, std::string message) {
            findings.push_back({number, c->startFrame, rule, profile[rule].severity, value, limit,
                                std::move(message)});
        };
        auto on = [&](CheckRule rule) { return profile[rule].severity != Severity::Off; };
        auto limited = [&](CheckRule rule) { return on(rule) && profile[rule].hasLimit; };
        const ShownText text = CountShownText(*c);
        const int64_t frames = int64_t{c->endFrame} - c->startFrame;
        const double seconds = static_cast<double>(frames) * kFrameSeconds;

        if (limited(CheckRule::Rows) && text.rows > profile[CheckRule::Rows].limit) {
            const double limit = profile[CheckRule::Rows].limit;
            flag(CheckRule::Rows, text.rows, limit,
                 std::to_string(text.rows) + " rows of text; at most " + FormatCheckNumber(limit));
        }
        if (limited(CheckRule::ReadingRate) && frames > 0) {
            const double rate = text.characters / seconds;
            const double limit = profile[CheckRule::ReadingRate].limit;
            if (rate > limit + kTolerance) {
                flag(CheckRule::ReadingRate, rate, limit,
                     std::to_string(text.characters) + " characters shown for " +
                         FormatCheckNumber(seconds) + " s: " + FormatCheckNumber(rate) +
                         " characters per second (" +
                         FormatCheckNumber(std::round(text.words * 60 / seconds)) +
                         " words per minute); at most " + FormatCheckNumber(limit));
            }
        }
        if (limited(CheckRule::MinDuration) &&
            static_cast<double>(frames) < profile[CheckRule::MinDuration].limit) {
            const double limit = profile[CheckRule::MinDuration].limit;
            flag(CheckRule::MinDuration, static_cast<double>(frames), limit,
                 "shown " + std::to_string(frames) + " frames; at least " +
                     FormatCheckNumber(limit));
        }
        if (limited(CheckRule::MaxDuration) &&
            seconds > profile[CheckRule::MaxDuration].limit + kTolerance) {
            const double limit = profile[CheckRule::MaxDuration].limit;
            flag(CheckRule::MaxDuration, seconds, limit,
                 "shown " + FormatCheckNumber(seconds) + " s; at most " + FormatCheckNumber(limit) +
                     " s");
        }
        if (limited(CheckRule::FlashGap) && prev && prev->endFrame < c->startFrame) {
            const int64_t gap = int64_t{c->startFrame} - prev->endFrame;
            const double limit = profile[CheckRule::FlashGap].limit;
            if (static_cast<double>(gap) < limit) {
                flag(CheckRule::FlashGap, static_cast<double>(gap), limit,
                     "a flash: " + std::to_string(gap) +
                         (gap == 1 ? " blank frame" : " blank frames") +
                         " after the caption before; none or at least " + FormatCheckNumber(limit));
            }
        }
        if (on(CheckRule::FrameZero) && c->startFrame <= 0) {
            flag(CheckRule::FrameZero, c->startFrame, 1,
                 "starts on the first frame, which a 608 stream cannot show a caption on");
        }
        if (nextLate < encoded.late.size() && encoded.late[nextLate].caption == c) {
            const int64_t delay = encoded.late[nextLate++].shownFrom - c->startFrame;
            if (on(CheckRule::LateDisplay)) {
                flag(CheckRule::LateDisplay, static_cast<double>(delay), 0,
                     "shown " + std::to_string(delay) + (delay == 1 ? " frame" : " frames") +
                         " late: there is no time to load it before its start");
            }
        }
        int faults = 0;
        if (on(CheckRule::Spacing)) {
            std::string spacing = SpacingFaults(*c, faults);
            if (faults > 0) flag(CheckRule::Spacing, faults, 0, std::move(spacing));
        }
        if (speller != nullptr && on(CheckRule::Spelling)) {
            const std::vector<CaptionWord> words = MisspelledWords(*c, *speller);
            if (!words.empty()) {
                flag(CheckRule::Spelling, static_cast<double>(words.size()), 0,
                     SpellingFault(words));
            }
        }
        if (on(CheckRule::Unplaced) && c->unplaced) {
            flag(CheckRule::Unplaced, 1, 0,
                 "its words were not found in the speech when the captions were timed to it: its "
                 "frames are a guess between its neighbours'");
        }
    }
    return findings;
}

std::string FormatCheckNumber(double v) {
    char text[32];
    std::snprintf(text, sizeof text, v == std::floor(v) && std::fabs(v) < 1e15 ? "%.0f" : "%.2f",
                  v);
    return text;
}

size_t CountErrors(const std::vector<Finding>& findings) {
    size_t n = 0;
    for (const Finding& f : findings) n += f.severity == Severity::Error;
    return n;
}

std::string CheckSummary(int captions, const std::string& profile,
                         const std::vector<Finding>& findings) {
    auto counted = [](size_t n, const char* one, const char* many) {
        return std::to_string(n) + ' ' + (n == 1 ? one : many);
    };
    const size_t errors = CountErrors(findings);
    return counted(static_cast<size_t>(captions), "caption", "captions") + " checked against the " +
           profile + " profile: " + counted(errors, "error", "errors") + ", " +
           counted(findings.size() - errors, "warning", "warnings");
}

}  // namespace vantrel
