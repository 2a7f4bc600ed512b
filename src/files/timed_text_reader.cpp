#include <expat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "codec/closest_char.h"
#include "files/caption_grid.h"
#include "files/subtitle_colours.h"
#include "files/timed_text.h"
#include "model/caption_project.h"

namespace vantrel {

namespace {

constexpr double kNever = std::numeric_limits<double>::infinity();
constexpr size_t kChunk = 1 << 20;  // parsed a piece at a time, so that cancel is seen
constexpr int kMaxStyleChain = 16;  // styles referring to styles: a loop stops here

// The namespaces of TTML and of the drafts DFXP files use; the styling and parameter
// vocabularies are theirs with "#styling" (the 2006/04 draft's "#style") and "#parameter".
constexpr std::string_view kDocumentNamespaces[] = {"http://www.w3.org/ns/ttml",
                                                    "http://www.w3.org/2006/10/ttaf1",
                                                    "http://www.w3.org/2006/04/ttaf1"};
constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

// A decimal number, read the same whatever the locale; nothing when the text is not one whole.
std::optional<double> Decimal(std::string_view s) {
    double value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The blank-separated words of a value.
std::vector<std::string_view> Words(std::string_view s) {
    std::vector<std::string_view> words;
    while (!s.empty()) {
        const size_t start = s.find_first_not_of(" \t\r\n");
        if (start == std::string_view::npos) break;
        s.remove_prefix(start);
        const size_t end = std::min(s.find_first_of(" \t\r\n"), s.size());
        words.push_back(s.substr(0, end));
        s.remove_prefix(end);
    }
    return words;
}

// A length such as "12.5%" or "640px": its number and its unit.
std::optional<std::pair<double, std::string_view>> Length(std::string_view word) {
    size_t end = 0;
    while (end < word.size() && (std::isdigit(static_cast<unsigned char>(word[end])) ||
                                 word[end] == '.' || word[end] == '-' || word[end] == '+'))
        ++end;
    const std::optional<double> value = Decimal(word.substr(0, end));
    if (!value) return std::nullopt;
    return std::pair{*value, word.substr(end)};
}

enum class Vocabulary { Document, Styling, Parameter, Xml, Other };

struct Name {
    Vocabulary vocabulary;
    std::string_view local;
};

// expat gives a namespaced name as "uri|local".
Name Split(std::string_view name) {
    const size_t bar = name.rfind('|');
    if (bar == std::string_view::npos) return {Vocabulary::Other, name};
    const std::string_view uri = name.substr(0, bar), local = name.substr(bar + 1);
    if (uri == kXmlNamespace) return {Vocabulary::Xml, local};
    for (std::string_view ns : kDocumentNamespaces) {
        if (!uri.starts_with(ns)) continue;
        const std::string_view rest = uri.substr(ns.size());
        if (rest.empty()) return {Vocabulary::Document, local};
        if (rest == "#styling" || rest == "#style") return {Vocabulary::Styling, local};
        if (rest == "#parameter") return {Vocabulary::Parameter, local};
    }
    return {Vocabulary::Other, local};
}

// Styles an element specifies; what it leaves out it inherits.
struct Style {
    std::optional<int> colour;
    std::optional<bool> italic, underline;
    std::optional<std::string> textAlign, displayAlign, origin, extent;

    void Over(const Style& s) {
        if (s.colour) colour = s.colour;
        if (s.italic) italic = s.italic;
        if (s.underline) underline = s.underline;
        if (s.textAlign) textAlign = s.textAlign;
        if (s.displayAlign) displayAlign = s.displayAlign;
        if (s.origin) origin = s.origin;
        if (s.extent) extent = s.extent;
    }
    uint8_t Attribute() const {
        uint8_t a = kDefaultAttribute | static_cast<uint8_t>(colour.value_or(0));
        if (italic.value_or(false)) a |= kItalicsBit;
        if (underline.value_or(false)) a |= kUnderlineBit;
        return a;
    }
};

struct Defined {
    Style style;
    std::vector<std::string> refs;  // the styles it refers to, applied under its own
};

// The timing parameters of the document.
struct Clock {
    double frameRate = 30, multiplier = 1, subFrameRate = 1, tickRate = 1;
    bool smpte = false, dropFrame = false;

    double Frames() const { return frameRate * multiplier; }

    // A time expression in seconds, or nothing when it is not one.
    std::optional<double> Seconds(std::string_view t) const {
        while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
        while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
        if (t.find(':') != std::string_view::npos) return ClockTime(t);
        size_t end = 0;
        while (end < t.size() && ((t[end] >= '0' && t[end] <= '9') || t[end] == '.')) ++end;
        const std::optional<double> count = Number(t.substr(0, end));
        if (!count) return std::nullopt;
        const std::string_view metric = t.substr(end);
        if (metric == "h") return *count * 3600;
        if (metric == "m") return *count * 60;
        if (metric == "s") return *count;
        if (metric == "ms") return *count / 1000;
        if (metric == "f") return *count / Frames();
        if (metric == "t") return *count / tickRate;
        return std::nullopt;
    }

  private:
    static std::optional<double> Number(std::string_view s) {
        if (s.empty() || s.front() == '.' || s.back() == '.' || s.size() > 30 ||
            s.find_first_not_of("0123456789.") != std::string_view::npos) {
            return std::nullopt;
        }
        return Decimal(s);
    }

    // hh:mm:ss[.fraction] or hh:mm:ss:ff[.subframes].
    std::optional<double> ClockTime(std::string_view t) const {
        std::optional<double> fields[4];
        int n = 0;
        while (n < 4) {
            const size_t colon = t.find(':');
            fields[n] = Number(t.substr(0, colon));
            if (!fields[n++]) return std::nullopt;
            if (colon == std::string_view::npos) break;
            t.remove_prefix(colon + 1);
        }
        if (n < 3 || *fields[0] != std::floor(*fields[0]) || *fields[1] >= 60) return std::nullopt;
        const double seconds = (*fields[0] * 60 + *fields[1]) * 60 + *fields[2];
        if (n == 3) return seconds;
        const double frames = std::floor(*fields[3]);
        const double sub = (*fields[3] - frames) * 10 / subFrameRate;  // ".n" sub-frames
        if (!smpte) return seconds + (frames + sub) / Frames();
        // SMPTE time codes label frames; drop-frame labels skip some.
        auto label = static_cast<int64_t>(seconds * std::lround(frameRate) + frames);
        if (dropFrame && std::lround(frameRate) == 30) label = FrameOfDropFrameLabel(label);
        return (static_cast<double>(label) + sub) / Frames();
    }
};

struct Region {
    Style style;
};

// One element of the body being read.
struct Scope {
    double begin = 0, end = kNever;  // in seconds from the document's start
    Style style;
    std::string region;
    bool preserve = false;
    bool content = true;  // text inside it is caption text (not metadata)
};

// Where a region puts its lines on the caption grid.
struct Placement {
    int firstRow = 0, lastRow = kScreenRows - 1;  // the rows the region covers
    int firstColumn = 0, lastColumn = kScreenColumns;
    std::string textAlign = "start", displayAlign = "before";
};

struct RawLine {
    std::string text;                 // UTF-8
    std::vector<uint8_t> attributes;  // one per byte of text
};

class Reader {
  public:
    explicit Reader(SubtitleFile& file) : file_(file) {}

    void Start(std::string_view element, const char** attributes) {
        const Name name = Split(element);
        if (depth_ > 0 && !root_) return;  // not a TTML document: nothing in it is read
        if (depth_++ == 0) {
            root_ = name.vocabulary == Vocabulary::Document && name.local == "tt";
            if (root_) Parameters(attributes);
            file_.recognized = root_;
            scopes_.push_back(Scope{});
            return;
        }
        Scope scope = scopes_.back();
        if (name.vocabulary != Vocabulary::Document) {
            scope.content = false;
            scopes_.push_back(scope);
            return;
        }
        const std::string_view local = name.local;
        if (local == "style" || local == "region") {
            Definition(local == "region", attributes);
            scope.content = false;
        } else if (local == "body" || local == "div" || local == "p" || local == "span") {
            Timing(scope, attributes, local != "span");
            Styling(scope, attributes);
            if (local == "p") StartCue(scope);
        } else if (local == "br") {
            if (inCue_ && scope.content) lines_.emplace_back();
        } else if (local != "tt") {
            scope.content = local != "metadata" && local != "head" && local != "styling" &&
                            local != "layout" && local != "set";
        }
        scopes_.push_back(std::move(scope));
    }

    void End(std::string_view element) {
        if (!root_) return;
        --depth_;
        const Name name = Split(element);
        if (name.vocabulary == Vocabulary::Document && name.local == "p" && inCue_) EndCue();
        if (!scopes_.empty()) scopes_.pop_back();
    }

    void Text(std::string_view text) {
        if (!inCue_ || scopes_.empty() || !scopes_.back().content) return;
        const Scope& scope = scopes_.back();
        const uint8_t attribute = scope.style.Attribute();
        for (char c : text) {
            if (c == '\r') continue;
            if (c == '\n' && scope.preserve) {
                lines_.emplace_back();
                continue;
            }
            if (c == '\n' || c == '\t') c = ' ';
            RawLine& line = lines_.back();
            // Blanks collapse to one, unless they are kept.
            if (c == ' ' && !scope.preserve && !line.text.empty() && line.text.back() == ' ')
                continue;
            line.text += c;
            line.attributes.push_back(attribute);
        }
    }

  private:
    static std::string_view Value(const char** attributes, Vocabulary v, std::string_view local) {
        for (const char** a = attributes; *a; a += 2) {
            const Name n = Split(a[0]);
            if (n.vocabulary == v && n.local == local) return a[1];
            // Unqualified attributes of the document's own elements (style="...", begin="...").
            if (v == Vocabulary::Other && n.local == local && std::string_view(a[0]) == local)
                return a[1];
        }
        return {};
    }

    void Parameters(const char** attributes) {
        auto number = [&](std::string_view local, double& into) {
            const std::optional<double> v =
                Decimal(Value(attributes, Vocabulary::Parameter, local));
            if (v && *v > 0) into = *v;
            return v && *v > 0;
        };
        const bool frameRate = number("frameRate", clock_.frameRate);
        number("subFrameRate", clock_.subFrameRate);
        const std::vector<std::string_view> multiplier =
            Words(Value(attributes, Vocabulary::Parameter, "frameRateMultiplier"));
        if (multiplier.size() == 2) {
            const std::optional<double> n = Decimal(multiplier[0]), d = Decimal(multiplier[1]);
            if (n && d && *n > 0 && *d > 0) clock_.multiplier = *n / *d;
        }
        if (!number("tickRate", clock_.tickRate) && frameRate)
            clock_.tickRate = clock_.frameRate * clock_.subFrameRate;
        clock_.smpte = Value(attributes, Vocabulary::Parameter, "timeBase") == "smpte";
        clock_.dropFrame = Value(attributes, Vocabulary::Parameter, "dropMode").starts_with("drop");
        const std::vector<std::string_view> extent =
            Words(Value(attributes, Vocabulary::Styling, "extent"));
        if (extent.size() == 2) {
            const auto w = Length(extent[0]), h = Length(extent[1]);
            if (w && h && w->second == "px" && h->second == "px") {
                rootWidth_ = w->first;
                rootHeight_ = h->first;
            }
        }
    }

    // The styles an element specifies: those it refers to, then its own attributes.
    Style Specified(const char** attributes) const {
        Style s;
        std::string refs(Value(attributes, Vocabulary::Other, "style"));
        for (size_t at = 0; at < refs.size();) {
            const size_t blank = std::min(refs.find(' ', at), refs.size());
            Resolve(refs.substr(at, blank - at), s, 0);
            at = blank + 1;
        }
        s.Over(Own(attributes));
        return s;
    }

    void Resolve(const std::string& id, Style& into, int chain) const {
        const auto it = styles_.find(id);
        if (it == styles_.end() || chain > kMaxStyleChain) return;
        for (const std::string& ref : it->second.refs) Resolve(ref, into, chain + 1);
        into.Over(it->second.style);
    }

    static Style Own(const char** attributes) {
        Style s;
        auto value = [&](std::string_view local) {
            return Value(attributes, Vocabulary::Styling, local);
        };
        if (const std::string_view c = value("color"); !c.empty())
            s.colour = subtitle_colours::CaptionColourOf(c).value_or(0);
        if (const std::string_view f = value("fontStyle"); !f.empty())
            s.italic = f == "italic" || f == "oblique";
        if (const std::string_view d = value("textDecoration"); !d.empty()) {
            if (d.find("noUnderline") != std::string_view::npos)
                s.underline = false;
            else if (d.find("underline") != std::string_view::npos)
                s.underline = true;
        }
        for (auto [local, into] :
             {std::pair{"textAlign", &s.textAlign}, std::pair{"displayAlign", &s.displayAlign},
              std::pair{"origin", &s.origin}, std::pair{"extent", &s.extent}}) {
            if (const std::string_view v = value(local); !v.empty()) *into = std::string(v);
        }
        return s;
    }

    void Definition(bool region, const char** attributes) {
        const std::string id(Value(attributes, Vocabulary::Xml, "id"));
        if (id.empty()) return;
        if (region) {
            regions_[id].style = Specified(attributes);
            return;
        }
        Defined& d = styles_[id];
        d.style = Own(attributes);
        std::string refs(Value(attributes, Vocabulary::Other, "style"));
        for (size_t at = 0; at < refs.size();) {
            const size_t blank = std::min(refs.find(' ', at), refs.size());
            if (blank > at) d.refs.push_back(refs.substr(at, blank - at));
            at = blank + 1;
        }
    }

    void Timing(Scope& scope, const char** attributes, bool timed) {
        if (!timed) return;  // the timing of spans within a caption is not kept
        const double parent = scope.begin, parentEnd = scope.end;
        auto time = [&](std::string_view local) {
            const std::string_view v = Value(attributes, Vocabulary::Other, local);
            return v.empty() ? std::nullopt : clock_.Seconds(v);
        };
        const std::optional<double> begin = time("begin"), end = time("end"), dur = time("dur");
        if (begin) scope.begin = parent + *begin;
        if (end) {
            scope.end = parent + *end;
        } else if (dur) {
            scope.end = scope.begin + *dur;
        }
        scope.end = std::min(scope.end, parentEnd);
    }

    void Styling(Scope& scope, const char** attributes) {
        scope.style.Over(Specified(attributes));
        const std::string_view region = Value(attributes, Vocabulary::Other, "region");
        if (!region.empty()) scope.region = std::string(region);
        const std::string_view space = Value(attributes, Vocabulary::Xml, "space");
        if (!space.empty()) scope.preserve = space == "preserve";
    }

    void StartCue(Scope& scope) {
        // The region's styles lie under the caption's own.
        const auto it = regions_.find(scope.region);
        if (it != regions_.end()) {
            Style style = it->second.style;
            style.Over(scope.style);
            scope.style = style;
        }
        cueScope_ = scope;
        inCue_ = true;
        lines_.assign(1, RawLine{});
    }

    // A length pair "x y" in percent of the picture; px needs the document's extent.
    std::optional<std::pair<double, double>> Percentages(const std::string& value) const {
        const std::vector<std::string_view> words = Words(value);
        if (words.size() != 2) return std::nullopt;
        const auto x = Length(words[0]), y = Length(words[1]);
        if (!x || !y || x->second != y->second) return std::nullopt;
        if (x->second == "%") return std::pair{x->first, y->first};
        if (x->second == "px" && rootWidth_ > 0 && rootHeight_ > 0)
            return std::pair{x->first * 100 / rootWidth_, y->first * 100 / rootHeight_};
        return std::nullopt;
    }

    std::optional<Placement> PlacementOf(const Style& style) const {
        if (!style.origin && !style.extent && regions_.find(cueScope_.region) == regions_.end())
            return std::nullopt;
        const std::optional<std::pair<double, double>> origin =
            style.origin ? Percentages(*style.origin) : std::pair{0.0, 0.0};
        const std::optional<std::pair<double, double>> extent =
            style.extent ? Percentages(*style.extent) : std::pair{100.0, 100.0};
        if (!origin || !extent) return std::nullopt;
        const CaptionGrid grid = GridOf(false);
        Placement p;
        p.firstRow = grid.RowAt(origin->second);
        p.lastRow = std::max(p.firstRow, grid.RowAt(origin->second + extent->second) - 1);
        p.firstColumn = grid.ColumnAt(origin->first);
        p.lastColumn = std::max(p.firstColumn, grid.ColumnAt(origin->first + extent->first));
        if (style.textAlign) p.textAlign = *style.textAlign;
        if (style.displayAlign) p.displayAlign = *style.displayAlign;
        return p;
    }

    void EndCue() {
        inCue_ = false;
        const Scope& scope = cueScope_;
        if (scope.end == kNever || !(scope.begin >= 0)) {
            ++file_.skippedBlocks;  // a caption without an end of its own
            return;
        }
        SubtitleCue cue;
        cue.startMs = std::llround(scope.begin * 1000);
        cue.endMs = std::llround(std::min(scope.end, 1e9) * 1000);
        if (cue.endMs < cue.startMs) file_.endsBeforeStart.Add(0);
        const std::optional<Placement> placement = PlacementOf(scope.style);
        for (RawLine& raw : lines_) AddLine(cue, raw, placement);
        while (!cue.lines.empty() && cue.lines.back().characters.empty()) cue.lines.pop_back();
        // Lines placed as the region says: from its top, from its bottom, or in its middle.
        if (placement) {
            const int n = static_cast<int>(cue.lines.size());
            const int rows = placement->lastRow - placement->firstRow + 1;
            int first = placement->firstRow;
            if (placement->displayAlign == "after") first = placement->lastRow - n + 1;
            if (placement->displayAlign == "center") first += (rows - n) / 2;
            for (int k = 0; k < n; ++k)
                cue.lines[k].row = std::clamp(first + k, 0, kScreenRows - 1);
        }
        if (!cue.lines.empty()) file_.cues.push_back(std::move(cue));
    }

    void AddLine(SubtitleCue& cue, RawLine& raw, const std::optional<Placement>& placement) {
        size_t lead = 0;
        while (lead < raw.text.size() && raw.text[lead] == ' ') ++lead;
        size_t end = raw.text.size();
        while (end > lead && raw.text[end - 1] == ' ') --end;
        // A row that begins with a style begins with its code, in the blank before the text.
        if (lead > 0 && lead < end && raw.attributes[lead] != kDefaultAttribute) {
            raw.attributes[lead - 1] = raw.attributes[lead];
            --lead;
        }
        StyledLine line;
        // Characters by runs of one attribute, each made caption characters.
        for (size_t at = lead; at < end;) {
            size_t stop = at;
            while (stop < end && raw.attributes[stop] == raw.attributes[at]) ++stop;
            char32_t first = 0;
            const size_t missing = AppendClosestText(
                std::string_view(raw.text).substr(at, stop - at), line.characters, &first);
            if (missing > 0 && file_.unshownCharacters == 0) {
                file_.firstUnshown = first;
                file_.firstUnshownMs = cue.startMs;
            }
            file_.unshownCharacters += missing;
            line.attributes.resize(line.characters.size(), raw.attributes[at]);
            at = stop;
        }
        if (placement) {
            const int width = static_cast<int>(line.characters.size());
            const int left = placement->firstColumn, right = placement->lastColumn;
            const std::string& align = placement->textAlign;
            // Blanks before a line's text place it only where they are kept.
            int column = left + (cueScope_.preserve ? static_cast<int>(lead) : 0);
            if (align == "center") column = left + (right - left - width) / 2;
            if (align == "right" || align == "end") column = right - width;
            line.column = std::clamp(column, 0, kScreenColumns - 1);
            line.row = 0;  // set with the others
        }
        cue.lines.push_back(std::move(line));
    }

    SubtitleFile& file_;
    int depth_ = 0;
    bool root_ = false;
    Clock clock_;
    double rootWidth_ = 0, rootHeight_ = 0;
    std::map<std::string, Defined> styles_;
    std::map<std::string, Region> regions_;
    std::vector<Scope> scopes_;
    bool inCue_ = false;
    Scope cueScope_;
    std::vector<RawLine> lines_;
};

struct ParserDeleter {
    void operator()(XML_ParserStruct* p) const { XML_ParserFree(p); }
};

}  // namespace

SubtitleFile ReadTimedText(std::string_view text, const std::atomic<int>* cancel) {
    SubtitleFile file;
    Reader reader(file);
    std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreateNS(nullptr, '|'));
    if (!parser) throw std::bad_alloc();
    XML_SetUserData(parser.get(), &reader);
    XML_SetElementHandler(
        parser.get(),
        [](void* r, const XML_Char* name, const XML_Char** attributes) {
            static_cast<Reader*>(r)->Start(name, attributes);
        },
        [](void* r, const XML_Char* name) { static_cast<Reader*>(r)->End(name); });
    XML_SetCharacterDataHandler(parser.get(), [](void* r, const XML_Char* s, int length) {
        static_cast<Reader*>(r)->Text(std::string_view(s, static_cast<size_t>(length)));
    });
    CancelPoll cancelled(cancel);
    for (size_t at = 0;; at += kChunk) {
        if (cancelled()) return file;
        const std::string_view piece = text.substr(std::min(at, text.size()), kChunk);
        const bool last = at + kChunk >= text.size();
        if (XML_Parse(parser.get(), piece.data(), static_cast<int>(piece.size()), last) !=
            XML_STATUS_OK) {
            return SubtitleFile{};  // not well-formed XML: not read as a document at all
        }
        if (last) break;
    }
    return file;
}

}  // namespace vantrel
