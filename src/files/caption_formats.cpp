#include "files/caption_formats.h"

#include <algorithm>
#include <array>
#include <vector>

#include "files/ccd.h"
#include "files/file.h"
#include "files/mcc.h"
#include "files/raw_pairs.h"
#include "files/scc.h"
#include "files/subtitles.h"
#include "files/timed_text.h"
#include "files/webvtt_writer.h"

namespace vantrel {

namespace {

constexpr std::string_view kVideoExtensions =
    "mp4 m4v mov mkv webm ts m2ts mts tp trp mpg mpeg vob ps avi mxf h264 264 avc hevc h265 265";

// The Timed Text profiles share their reader and differ in what they write.
template <TimedTextProfile profile>
std::string WriteTimedText(const CaptionList& l, const WriteOptions& o, const std::atomic<int>* c) {
    return TimedTextDocument(l, profile, o, c);
}

template <TimedTextProfile profile>
constexpr CaptionFormat TimedTextRow(std::string_view name, std::string_view extensions,
                                     std::string_view title) {
    return {.name = name,
            .extensions = extensions,
            .title = title,
            .expected = "Timed Text document (well-formed XML whose root element is a TTML <tt>)",
            .kind = FormatKind::Subtitles,
            .reads = true,
            .writes = true,
            .field2 = false,
            .timecodes = false,
            .readCues = ReadTimedText,
            .writeCaptions = WriteTimedText<profile>};
}

constexpr auto kFormats = std::to_array<CaptionFormat>({
    {.name = "raw",
     .extensions = "bin dat",
     .title = "Binary Caption Data",
     .expected = "raw caption pair file (it is shorter than its 4-byte header)",
     .kind = FormatKind::Pairs,
     .reads = true,
     .writes = true,
     .field2 = false,
     .timecodes = false,
     .binary = true,
     .readPairs = [](std::span<const uint8_t> s, const std::atomic<int>*,
                     const PictureRate&) { return ReadRawPairs(s); },
     .writePairs = [](std::span<const uint8_t> s, const WriteOptions&,
                      const std::atomic<int>*) { return FormatRawPairs(s); }},
    {.name = "scc",
     .extensions = "scc",
     .title = "Scenarist Closed Caption",
     .expected =
         "Scenarist closed-caption file (its first line must begin with \"Scenarist_SCC \")",
     .kind = FormatKind::Pairs,
     .reads = true,
     .writes = true,
     .field2 = false,
     .timecodes = true,
     .rates = true,
     .readPairs = ReadSccText,
     .writePairs = [](std::span<const uint8_t> s, const WriteOptions& o,
                      const std::atomic<int>* c) { return FormatSccText(s, o.style, c, *o.rate); }},
    {.name = "ccd",
     .extensions = "ccd",
     .title = "Closed Caption Disassembly",
     .expected = "caption disassembly file (its first line must begin with \"SCC_disassembly \", "
                 "and a second line must follow)",
     .kind = FormatKind::Pairs,
     .reads = true,
     .writes = true,
     .field2 = false,
     .timecodes = true,
     .readPairs = [](std::span<const uint8_t> s, const std::atomic<int>* c,
                     const PictureRate&) { return ReadCcdText(s, c); },
     .writePairs = [](std::span<const uint8_t> s, const WriteOptions& o,
                      const std::atomic<int>* c) { return FormatCcdText(s, o.style, c); }},
    {.name = "mcc",
     .extensions = "mcc",
     .title = "MacCaption",
     .expected =
         "MacCaption file (its first line must begin with \"File Format=MacCaption_MCC V\")",
     .kind = FormatKind::Pairs,
     .reads = true,
     .writes = true,
     .field2 = true,
     .dtvccFrameBytes = MccDtvccBytes,
     .timecodes = true,
     .rates = true,
     .readPairs = ReadMccText,
     .writePairs =
         [](std::span<const uint8_t> s, const WriteOptions& o, const std::atomic<int>* c) {
             return FormatMccText(s, o.style, c, o.dtvcc, o.language, *o.rate);
         }},
    {.name = "srt",
     .extensions = "srt",
     .title = "SubRip Subtitles",
     .expected = "SubRip file",
     .kind = FormatKind::Subtitles,
     .reads = true,
     .writes = true,
     .field2 = false,
     .timecodes = false,
     .readCues = ReadSubRip,
     .writeCaptions = [](const CaptionList& l, const WriteOptions& o,
                         const std::atomic<int>* c) { return SubtitleText(l, o.plainSubRip, c); }},
    {.name = "vtt",
     .extensions = "vtt",
     .title = "WebVTT Subtitles",
     .expected = "WebVTT file (its first line must begin with \"WEBVTT\")",
     .kind = FormatKind::Subtitles,
     .reads = true,
     .writes = true,
     .field2 = false,
     .timecodes = false,
     .readCues = ReadWebVtt,
     .writeCaptions = WebVttText},
    TimedTextRow<TimedTextProfile::Imsc>("ttml", "ttml xml", "Timed Text (TTML, IMSC 1.1)"),
    TimedTextRow<TimedTextProfile::SmpteTt>("smpte-tt", "smpte.xml", "SMPTE Timed Text"),
    TimedTextRow<TimedTextProfile::Dfxp>("dfxp", "dfxp", "DFXP Timed Text"),
    {.name = "m2v",
     .extensions = "m2v",
     .title = "MPEG-2 Video Stream",
     .expected = "MPEG-2 video elementary stream",
     .kind = FormatKind::Mpeg2,
     .reads = true,
     .writes = false,
     .field2 = true,
     .timecodes = false,
     .binary = true},
    {.name = "video",
     .extensions = kVideoExtensions,
     .title = "Video Files",
     .expected = "video file",
     .kind = FormatKind::Video,
     .reads = true,
     .writes = false,
     .field2 = true,
     .timecodes = false,
     .binary = true},
    {.name = "ccp",
     .extensions = "ccp",
     .title = "Vantrel Project",
     .expected = "Vantrel project",
     .kind = FormatKind::Project,
     .reads = true,
     .writes = true,
     .field2 = false,
     .timecodes = false},
    {.name = "txt",
     .extensions = "txt",
     .title = "Timing Report",
     .expected = "timing report",
     .kind = FormatKind::Report,
     .reads = false,
     .writes = true,
     .field2 = false,
     .timecodes = true,
     .writeCaptions = [](const CaptionList& l, const WriteOptions& o,
                         const std::atomic<int>* c) { return TimingReportText(l, o.style, c); }},
});

// Calls `each` with every extension of the row until it returns true.
template <typename Each>
bool AnyExtension(const CaptionFormat& format, Each each) {
    std::string_view rest = format.extensions;
    while (!rest.empty()) {
        const size_t blank = rest.find(' ');
        if (each(rest.substr(0, blank))) return true;
        rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    }
    return false;
}

}  // namespace

std::span<const CaptionFormat> CaptionFormats() {
    return kFormats;
}

const CaptionFormat* FormatOfExtension(std::string_view extension) {
    const std::string e = LowerCaseAscii(extension);
    for (const CaptionFormat& f : kFormats) {
        if (AnyExtension(f, [&](std::string_view x) { return x == e; })) return &f;
    }
    return nullptr;
}

const CaptionFormat* FormatOfPath(std::string_view path) {
    const std::string lower = LowerCaseAscii(path);
    const CaptionFormat* best = nullptr;
    size_t bestLength = 0;
    for (const CaptionFormat& f : kFormats) {
        AnyExtension(f, [&](std::string_view x) {
            const bool matches = lower.size() > x.size() + 1 && lower.ends_with(x) &&
                                 lower[lower.size() - x.size() - 1] == '.';
            if (matches && x.size() > bestLength) {
                best = &f;
                bestLength = x.size();
            }
            return false;
        });
    }
    return best;
}

const CaptionFormat* FormatNamed(std::string_view name) {
    const std::string n = LowerCaseAscii(name);
    for (const CaptionFormat& f : kFormats) {
        if (f.name == n) return &f;
    }
    return nullptr;
}

std::string_view DefaultExtension(const CaptionFormat& format) {
    return format.extensions.substr(0, format.extensions.find(' '));
}

std::string FilterPatterns(const CaptionFormat& format) {
    std::string out = "(";
    AnyExtension(format, [&](std::string_view x) {
        if (out.size() > 1) out += ' ';
        out += "*.";
        out += x;
        return false;
    });
    return out + ")";
}

std::string KindsFilter(std::string_view title, std::initializer_list<FormatKind> kinds,
                        bool reading) {
    std::string out = std::string(title) + " (";
    for (const CaptionFormat& f : kFormats) {
        if (!(reading ? f.reads : f.writes)) continue;
        if (std::find(kinds.begin(), kinds.end(), f.kind) == kinds.end()) continue;
        AnyExtension(f, [&](std::string_view x) {
            if (out.back() != '(') out += ' ';
            out += "*.";
            out += x;
            return false;
        });
    }
    return out + ")";
}

std::string SaveFilters(FormatKind kind) {
    std::string out;
    for (const CaptionFormat& f : kFormats) {
        if (!f.writes || f.kind != kind) continue;
        if (!out.empty()) out += ";;";
        out += std::string(f.title) + " " + FilterPatterns(f);
        if (f.timecodes) out += ";;" + DropFrameFilter(f);
    }
    return out;
}

std::string DropFrameFilter(const CaptionFormat& format) {
    return std::string(format.title) + ", drop-frame timecodes " + FilterPatterns(format);
}

bool IsDropFrameFilter(std::string_view filter) {
    return filter.find(", drop-frame timecodes (") != std::string_view::npos;
}

std::string ExtensionList(bool reading, size_t indent, size_t width) {
    std::string out, line(indent, ' ');
    for (const CaptionFormat& f : kFormats) {
        if (!(reading ? f.reads : f.writes)) continue;
        AnyExtension(f, [&](std::string_view x) {
            if (line.size() > indent && line.size() + x.size() + 2 > width) {
                out += line + '\n';
                line.assign(indent, ' ');
            }
            if (line.size() > indent) line += ' ';
            line += '.';
            line += x;
            return false;
        });
    }
    return out + line + '\n';
}

namespace {

// ".a, .b and .c": the default extensions of the rows that write and `have`.
std::string OutputsWith(bool CaptionFormat::*have) {
    std::vector<std::string_view> names;
    for (const CaptionFormat& f : kFormats)
        if (f.writes && f.*have) names.push_back(DefaultExtension(f));
    std::string out;
    for (size_t k = 0; k < names.size(); ++k) {
        if (k > 0) out += k + 1 == names.size() ? " and " : ", ";
        out += '.';
        out += names[k];
    }
    return out;
}

}  // namespace

std::string TimecodeOutputs() {
    return OutputsWith(&CaptionFormat::timecodes);
}

std::string RateOutputs() {
    return OutputsWith(&CaptionFormat::rates);
}

std::string OutputNames() {
    std::string out;
    for (const CaptionFormat& f : kFormats) {
        if (!f.writes) continue;
        if (!out.empty()) out += ", ";
        out += f.name;
    }
    return out;
}

std::string FormatLines(bool reading, size_t indent) {
    std::string out;
    for (const CaptionFormat& f : kFormats) {
        if (!(reading ? f.reads : f.writes)) continue;
        std::string line(indent, ' ');
        AnyExtension(f, [&](std::string_view x) {
            // The long list of video extensions is cut to its first few.
            if (line.size() > indent + 24) {
                line += "... ";
                return true;
            }
            line += '.';
            line += x;
            line += ' ';
            return false;
        });
        if (line.size() < indent + 16) line.resize(indent + 16, ' ');
        out += line + std::string(f.title) + '\n';
    }
    return out;
}

}  // namespace vantrel
