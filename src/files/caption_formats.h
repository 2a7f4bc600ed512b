// The formats Vantrel reads and writes, one row each: import and export, the converter's help,
// the file dialogs' filters and the messages about a format are all made from this table, so a
// new format is its reader or writer and one row here.
#pragma once

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "files/pair_stream.h"
#include "files/subtitle_reader.h"
#include "files/timecode.h"
#include "model/caption_list.h"

namespace vantrel {

// How the rows of a kind are read and written.
enum class FormatKind : uint8_t {
    Pairs,      // a pair stream in a file: readPairs, and writePairs of the encoded captions
    Mpeg2,      // an MPEG-2 elementary stream, read by the stream reader behind a progress bar
    Video,      // a video file, whose captions are read through FFmpeg's libraries
    Subtitles,  // cues laid out as pop-on captions on reading (readCues); writeCaptions
    Project,    // the project file
    Report,     // the timing report: written only
};

// What the writers are asked for beyond the captions.
struct WriteOptions {
    TimecodeStyle style = TimecodeStyle::NonDropFrame;
    bool plainSubRip = false;  // SubRip rows in lower case, without style tags
    // WebVTT with a STYLE block (black background, monospaced cells), which FFmpeg 5.1 and the
    // players built on it stop reading at: a web page's own player only.
    bool webVttStyle = false;
    bool widescreen = false;  // text placed by percentages of a 16:9 picture, not a 4:3 one
    const PictureRate* rate = &kCaptionRate;  // of the timecodes of a row with `rates`
    // Formats that carry 708 data beside the pairs: whether to write the captions' 708 service
    // too, and the language its service information names (ISO 639-2, three letters).
    bool write708 = true;
    std::string language = "eng";
    // The 708 packets of the captions, made by the export for such a format; null for none.
    const dtvcc::PacketStream* dtvcc = nullptr;
};

struct CaptionFormat {
    std::string_view name;        // for messages and for choosing the format by name
    std::string_view extensions;  // without dots, separated by spaces; the first is the default
    std::string_view title;       // the file dialogs' name of the format
    // What a file of the format must be, for the message about one that is not:
    // "File x is not a " + this.
    std::string_view expected;
    FormatKind kind;
    bool reads;
    bool writes;
    bool field2;  // carries field 2 (channels 3 and 4) or 708 data beside field 1
    // The 708 bytes a caption frame has room for at a rate, where 708 is written.
    size_t (*dtvccFrameBytes)(const PictureRate&) = nullptr;
    bool timecodes;       // writes timecodes, and so can write them drop-frame
    bool binary = false;  // read only as far as the last frame we place data on, not as text
    bool rates = false;   // its timecodes can count pictures of any of kPictureRates
    CaptionFileData (*readPairs)(std::span<const uint8_t>, const std::atomic<int>*,
                                 const PictureRate&) = nullptr;
    std::string (*writePairs)(std::span<const uint8_t>, const WriteOptions&,
                              const std::atomic<int>*) = nullptr;
    SubtitleFile (*readCues)(std::string_view, const std::atomic<int>*) = nullptr;
    std::string (*writeCaptions)(const CaptionList&, const WriteOptions&,
                                 const std::atomic<int>*) = nullptr;
};

// All rows, in the order the help and the dialogs list them.
std::span<const CaptionFormat> CaptionFormats();

// The row of a file extension (without the dot, any case), or null.
const CaptionFormat* FormatOfExtension(std::string_view extension);
// The row of a file name by its longest matching extension (so "a.smpte.xml" is SMPTE-TT, not
// TTML), or null.
const CaptionFormat* FormatOfPath(std::string_view path);
// The row of a name, or null.
const CaptionFormat* FormatNamed(std::string_view name);

// The extension a format writes by default.
std::string_view DefaultExtension(const CaptionFormat& format);
// "(*.scc)", "(*.bin *.dat)": a dialog filter's patterns for the format's extensions.
std::string FilterPatterns(const CaptionFormat& format);
// "title (*.a *.b ...)": a dialog filter entry for the extensions of every row of the kinds
// that reads (or writes).
std::string KindsFilter(std::string_view title, std::initializer_list<FormatKind> kinds,
                        bool reading);
// A save dialog's entries for the rows of `kind` that write, separated by ";;": each row's
// title and patterns, and after it the drop-frame entry of a format with timecodes.
std::string SaveFilters(FormatKind kind);
// The filter entry that writes drop-frame timecodes in the format's files.
std::string DropFrameFilter(const CaptionFormat& format);
// True for a filter DropFrameFilter made.
bool IsDropFrameFilter(std::string_view filter);

// The extensions of the rows that read (or write), each with its dot, separated by blanks and
// wrapped to lines of at most `width` characters after `indent` blanks: the converter's help.
std::string ExtensionList(bool reading, size_t indent, size_t width);
// ".scc, .ccd, .mcc and .txt": the default extensions of the rows that write timecodes.
std::string TimecodeOutputs();
// ".scc and .mcc": those of the rows whose timecodes can count other rates than 29.97.
std::string RateOutputs();
// "raw, scc, ...": the names of the rows that write, for choosing one by name.
std::string OutputNames();
// One line per row that reads (or writes), for the converter's help: `indent` blanks, the
// extensions and the title.
std::string FormatLines(bool reading, size_t indent);

}  // namespace vantrel
