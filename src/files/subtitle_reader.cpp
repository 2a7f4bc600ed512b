#include "files/subtitle_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <string>

#include "codec/charset.h"
#include "codec/closest_char.h"
#include "files/caption_grid.h"
#include "files/file.h"
#include "files/subtitle_colours.h"
#include "files/text_lines.h"
#include "model/caption.h"
#include "model/caption_project.h"

namespace vantrel {

namespace {

// U+00A0 in the caption set: its transparent space.
constexpr char kNoBreakSpace = '\xA0';

constexpr int64_t kFieldCap = 1000000000;  // no digit run overflows

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<int64_t> ReadNumber(std::string_view s, size_t& pos, size_t* digits = nullptr) {
    const size_t first = pos;
    int64_t value = 0;
    while (pos < s.size() && IsDigit(s[pos])) {
        value = std::min(value * 10 + (s[pos] - '0'), kFieldCap);
        ++pos;
    }
    if (digits) *digits = pos - first;
    if (pos == first) return std::nullopt;
    return value;
}

// [hh:]mm:ss[,.]mmm in milliseconds.
std::optional<int64_t> ReadCueTime(std::string_view s, size_t& pos) {
    int64_t fields[3] = {0, 0, 0};
    int n = 0;
    while (n < 3) {
        const std::optional<int64_t> value = ReadNumber(s, pos);
        if (!value) return std::nullopt;
        fields[n++] = *value;
        if (pos >= s.size() || s[pos] != ':') break;
        ++pos;
    }
    if (n < 2) return std::nullopt;
    int64_t ms = 0;
    if (pos < s.size() && (s[pos] == ',' || s[pos] == '.')) {
        ++pos;
        size_t digits = 0;
        const size_t start = pos;
        if (!ReadNumber(s, pos, &digits)) return std::nullopt;
        // A fraction of a second, whatever its number of digits.
        for (size_t k = 0; k < 3; ++k) ms = ms * 10 + (k < digits ? s[start + k] - '0' : 0);
    }
    const int64_t hours = n == 3 ? fields[0] : 0;
    return ((hours * 60 + fields[n - 2]) * 60 + fields[n - 1]) * 1000 + ms;
}

struct Timing {
    int64_t startMs, endMs;
    std::string_view settings;
};

std::optional<Timing> ParseTimingLine(std::string_view line) {
    const size_t arrow = line.find("-->");
    if (arrow == std::string_view::npos) return std::nullopt;
    size_t pos = line.find_first_not_of(" \t");
    const std::optional<int64_t> start = ReadCueTime(line, pos);
    if (!start || line.find_first_not_of(" \t", pos) != arrow) return std::nullopt;
    pos = line.find_first_not_of(" \t", arrow + 3);
    if (pos == std::string_view::npos) return std::nullopt;
    const std::optional<int64_t> end = ReadCueTime(line, pos);
    if (!end) return std::nullopt;
    return Timing{*start, *end, line.substr(pos)};
}

// A WebVTT line: position counted from the top (a line number of 0 or more, or a percentage
// below 50) puts the cue at the top.
bool SettingsPlaceOnTop(std::string_view settings) {
    const size_t at = settings.find("line:");
    if (at == std::string_view::npos) return false;
    size_t pos = at + 5;
    if (pos < settings.size() && settings[pos] == '-') return false;
    const std::optional<int64_t> value = ReadNumber(settings, pos);
    if (!value) return false;
    if (pos < settings.size() && settings[pos] == '.') ReadNumber(settings, ++pos);
    const bool percent = pos < settings.size() && settings[pos] == '%';
    return !percent || *value < 50;
}

// The value of a cue setting ("align:left" gives "left"), or nothing.
std::optional<std::string_view> Setting(std::string_view settings, std::string_view name) {
    for (size_t at = settings.find(name); at != std::string_view::npos;
         at = settings.find(name, at + 1)) {
        if (at > 0 && settings[at - 1] != ' ' && settings[at - 1] != '\t') continue;
        const std::string_view rest = settings.substr(at + name.size());
        return rest.substr(0, rest.find_first_of(" \t"));
    }
    return std::nullopt;
}

// A setting's percentage ("line:86.667%"), or nothing when it has none.
std::optional<double> PercentSetting(std::string_view settings, std::string_view name) {
    const std::optional<std::string_view> value = Setting(settings, name);
    if (!value || value->size() < 2 || value->back() != '%') return std::nullopt;
    double percent = 0;
    const char* end = value->data() + value->size() - 1;
    const auto [stop, error] = std::from_chars(value->data(), end, percent);
    if (error != std::errc() || stop != end) return std::nullopt;
    return percent;
}

// A cue placed by percentages of the picture, as placed captions are written: its first line
// on the grid row at `line`, the lines from the column at `position` when aligned left, each
// centred otherwise. Other cues are laid out.
void PlaceCue(SubtitleCue& cue, std::string_view settings) {
    const std::optional<double> line = PercentSetting(settings, "line:");
    if (!line) return;
    const std::optional<double> position = PercentSetting(settings, "position:");
    const std::string_view align = Setting(settings, "align:").value_or("center");
    const bool left = align == "left" || align == "start";
    const CaptionGrid grid = GridOf(false);
    int row = std::min(grid.RowAt(*line), kScreenRows - 1);
    for (StyledLine& l : cue.lines) {
        l.row = std::min(row++, kScreenRows - 1);
        if (!left || !position) {
            l.column = std::max(0, (kScreenColumns - static_cast<int>(l.characters.size())) / 2);
            continue;
        }
        // Leading no-break spaces indent the line, as we write rows of other columns.
        const size_t indent =
            std::min(l.characters.find_first_not_of(kNoBreakSpace), l.characters.size());
        l.characters.erase(0, indent);
        l.attributes.erase(l.attributes.begin(), l.attributes.begin() + indent);
        l.column =
            std::min(grid.ColumnAt(*position) + static_cast<int>(indent), kScreenColumns - 1);
    }
}

int HexDigit(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct Entity {
    std::string_view name, text;
};
constexpr Entity kEntities[] = {{"amp", "&"},  {"lt", "<"},        {"gt", ">"}, {"quot", "\""},
                                {"apos", "'"}, {"nbsp", "\u00A0"}, {"lrm", ""}, {"rlm", ""}};

// Cue text with its markup, one line at a time; styles run on over line breaks.
class CueTextReader {
  public:
    CueTextReader(SubtitleFile& file, bool webVtt) : file_(file), webVtt_(webVtt) {}

    void Start(SubtitleCue& cue) {
        cue_ = &cue;
        italics_ = underline_ = 0;
        colours_.clear();
    }

    void AddLine(std::string_view line) {
        cue_->lines.emplace_back();
        line_ = &cue_->lines.back();
        for (size_t pos = 0; pos < line.size();) {
            const char c = line[pos];
            if (c == '<' && Tag(line, pos)) continue;
            if (c == '{' && !webVtt_ && Override(line, pos)) continue;
            if (c == '&' && webVtt_ && EntityAt(line, pos)) continue;
            run_ += c;
            ++pos;
        }
        Flush();
    }

  private:
    uint8_t Attribute() const {
        uint8_t a =
            kDefaultAttribute | static_cast<uint8_t>(colours_.empty() ? 0 : colours_.back());
        if (italics_ > 0) a |= kItalicsBit;
        if (underline_ > 0) a |= kUnderlineBit;
        return a;
    }

    void Flush() {
        char32_t first = 0;
        const size_t missing = AppendClosestText(run_, line_->characters, &first);
        if (missing > 0 && file_.unshownCharacters == 0) {
            file_.firstUnshown = first;
            file_.firstUnshownMs = cue_->startMs;
        }
        file_.unshownCharacters += missing;
        line_->attributes.resize(line_->characters.size(), Attribute());
        run_.clear();
    }

    // A tag of SubRip or WebVTT by its lower-case name, or a WebVTT timestamp: anything else
    // between angle brackets is text ("<LAUGHING>", a sound description).
    static bool IsKnownTag(std::string_view name) {
        static constexpr std::string_view kNames[] = {"i", "b",    "u",    "font", "c",
                                                      "v", "lang", "ruby", "rt"};
        if (std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames)) {
            return true;
        }
        return !name.empty() && IsDigit(name[0]) &&
               name.find_first_not_of("0123456789:.") == std::string_view::npos;
    }

    // An HTML-like tag at `pos`: applies it and moves past it. False for a '<' that opens no
    // known tag, which is text.
    bool Tag(std::string_view line, size_t& pos) {
        const size_t close = line.find('>', pos);
        if (close == std::string_view::npos) return false;
        std::string_view tag = line.substr(pos + 1, close - pos - 1);
        const bool closing = !tag.empty() && tag[0] == '/';
        if (closing) tag.remove_prefix(1);
        const std::string name = LowerCaseAscii(tag.substr(0, tag.find_first_of(" \t.")));
        if (!IsKnownTag(name)) return false;
        Flush();
        pos = close + 1;
        if (name == "i") {
            italics_ += closing ? (italics_ > 0 ? -1 : 0) : 1;
        } else if (name == "u") {
            underline_ += closing ? (underline_ > 0 ? -1 : 0) : 1;
        } else if (name == (webVtt_ ? "c" : "font")) {
            if (closing) {
                if (!colours_.empty()) colours_.pop_back();
            } else {
                colours_.push_back(webVtt_ ? ClassColour(tag) : FontColour(tag));
            }
        }
        return true;
    }

    // The first class of <c.a.b> that names a colour; white when none does.
    static int ClassColour(std::string_view tag) {
        const size_t end = tag.find_first_of(" \t");
        std::string_view classes = tag.substr(0, end);
        while (!classes.empty()) {
            const size_t dot = classes.find('.');
            if (dot == std::string_view::npos) break;
            classes.remove_prefix(dot + 1);
            const std::optional<int> colour =
                subtitle_colours::CaptionColourOf(classes.substr(0, classes.find('.')));
            if (colour) return *colour;
        }
        return 0;
    }

    // color="..." of <font ...>; white when it is missing or not a colour.
    static int FontColour(std::string_view tag) {
        const std::string lower = LowerCaseAscii(tag);
        const size_t at = lower.find("color");
        if (at == std::string::npos) return 0;
        size_t pos = lower.find_first_not_of(" \t", at + 5);
        if (pos == std::string::npos || lower[pos] != '=') return 0;
        pos = lower.find_first_not_of(" \t\"'", pos + 1);
        if (pos == std::string::npos) return 0;
        const size_t end = lower.find_first_of(" \t\"'", pos);
        return subtitle_colours::CaptionColourOf(
                   tag.substr(pos, end == std::string::npos ? end : end - pos))
            .value_or(0);
    }

    // An override block such as {\an8}: a position on top (\an7 to \an9, or \a5 to \a7 of the
    // older form) moves the cue up; the block itself shows nothing.
    bool Override(std::string_view line, size_t& pos) {
        const size_t close = line.find('}', pos);
        if (pos + 1 >= line.size() || line[pos + 1] != '\\' || close == std::string_view::npos) {
            return false;
        }
        const std::string_view block = line.substr(pos, close - pos);
        for (size_t at = block.find("\\a"); at != std::string_view::npos;
             at = block.find("\\a", at + 1)) {
            const std::string_view rest = block.substr(at + 2);
            if (rest.size() >= 2 && rest[0] == 'n' && rest[1] >= '7' && rest[1] <= '9') {
                cue_->top = true;
            } else if (!rest.empty() && rest[0] >= '5' && rest[0] <= '7' &&
                       (rest.size() == 1 || !IsDigit(rest[1]))) {
                cue_->top = true;
            }
        }
        pos = close + 1;
        return true;
    }

    bool EntityAt(std::string_view line, size_t& pos) {
        const size_t semicolon = line.find(';', pos);
        if (semicolon == std::string_view::npos || semicolon - pos > 10) return false;
        const std::string_view name = line.substr(pos + 1, semicolon - pos - 1);
        if (!name.empty() && name[0] == '#') {
            const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
            char32_t code = 0;
            for (char c : name.substr(hex ? 2 : 1)) {
                const int d = hex ? HexDigit(c) : (IsDigit(c) ? c - '0' : -1);
                if (d < 0 || code > 0x10FFFF) return false;
                code = code * (hex ? 16 : 10) + static_cast<char32_t>(d);
            }
            AppendUtf8(run_, code);
        } else {
            const auto* it = std::find_if(std::begin(kEntities), std::end(kEntities),
                                          [&](const Entity& e) { return e.name == name; });
            if (it == std::end(kEntities)) return false;
            run_ += it->text;
        }
        pos = semicolon + 1;
        return true;
    }

    SubtitleFile& file_;
    bool webVtt_;
    SubtitleCue* cue_ = nullptr;
    StyledLine* line_ = nullptr;
    std::string run_;
    int italics_ = 0, underline_ = 0;
    std::vector<int> colours_;
};

bool IsNumberLine(std::string_view line) {
    return !line.empty() && std::all_of(line.begin(), line.end(), IsDigit);
}

bool StartsWithWord(std::string_view line, std::string_view word) {
    return line.substr(0, word.size()) == word &&
           (line.size() == word.size() || line[word.size()] == ' ' || line[word.size()] == '\t');
}

SubtitleFile ReadSubtitles(std::string_view text, bool webVtt, const std::atomic<int>* cancel) {
    SubtitleFile file;
    const DecodedText decoded(text);
    TextLines lines(decoded.Text());
    std::string_view line;
    if (webVtt) {
        if (!lines.Next(line) || !StartsWithWord(line, "WEBVTT")) return file;
        while (lines.Next(line) && !IsBlankLine(line)) {
        }
    }
    file.recognized = true;

    CueTextReader reader(file, webVtt);
    bool inCue = false, skipBlock = false, lastLineIsNumber = false;
    size_t blockLines = 0;
    std::string settings;  // of the cue being read
    auto endBlock = [&] {
        if (inCue && webVtt) PlaceCue(file.cues.back(), settings);
        if (!inCue && !skipBlock && blockLines > 0) ++file.skippedBlocks;
        inCue = skipBlock = false;
        blockLines = 0;
    };
    CancelPoll cancelled(cancel);
    while (!cancelled() && lines.Next(line)) {
        if (IsBlankLine(line)) {
            endBlock();
            continue;
        }
        if (skipBlock) continue;
        if (webVtt && !inCue && blockLines == 0 &&
            (StartsWithWord(line, "NOTE") || StartsWithWord(line, "STYLE") ||
             StartsWithWord(line, "REGION"))) {
            skipBlock = true;
            continue;
        }
        if (const std::optional<Timing> timing = ParseTimingLine(line)) {
            // A SubRip file without blank lines: the number before the time line belongs to
            // the new cue, not to the text of the one before.
            if (inCue && !webVtt && lastLineIsNumber) file.cues.back().lines.pop_back();
            SubtitleCue& cue = file.cues.emplace_back();
            cue.startMs = timing->startMs;
            cue.endMs = timing->endMs;
            if (cue.endMs < cue.startMs) file.endsBeforeStart.Add(lines.Number());
            cue.top = webVtt && SettingsPlaceOnTop(timing->settings);
            if (inCue && webVtt) PlaceCue(file.cues[file.cues.size() - 2], settings);
            settings = timing->settings;
            reader.Start(cue);
            inCue = true;
            lastLineIsNumber = false;
            continue;
        }
        if (inCue) {
            reader.AddLine(line);
            lastLineIsNumber = IsNumberLine(line);
        } else {
            ++blockLines;
        }
    }
    endBlock();
    return file;
}

}  // namespace

SubtitleFile ReadSubRip(std::string_view text, const std::atomic<int>* cancel) {
    return ReadSubtitles(text, false, cancel);
}

SubtitleFile ReadWebVtt(std::string_view text, const std::atomic<int>* cancel) {
    return ReadSubtitles(text, true, cancel);
}

}  // namespace vantrel
