// The commands of vantrel-cc.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "check/check_profile.h"
#include "check/hunspell_speller.h"
#include "codec/decoder.h"
#include "files/caption_formats.h"
#include "files/timecode.h"

namespace vantrel::cli {

constexpr int kExitSuccess = 0;
constexpr int kExitFailed = 1;  // the conversion failed or had to leave something out
constexpr int kExitUsage = 2;

// "-" as INPUT or OUTPUT: standard input or output, in the format that --from or --to names
// (formats read through FFmpeg's libraries, and projects, need files).
constexpr std::string_view kStandardStream = "-";
struct StreamFormats {
    std::string from, to;
};

// The help, its lists of formats made from the table of formats.
std::string UsageText();

// Reads INPUT and writes OUTPUT in the format of its extension, or in the format named
// `streams.to` when that is given (standard output's, for "-"); the options' style is that of
// the timecodes of .scc, .ccd, .mcc and .txt output (other outputs have none and refuse
// drop-frame), and they say whether .mcc output carries 708 too, in which language, and at
// which picture rate. `decode` picks the caption channel (or 708 service) of INPUT and what its
// roll-up captions become, `inputRate` what the timecodes of an .scc INPUT count. A rate other
// than 29.97 is refused for an OUTPUT whose format has no timecodes of other rates.
int RunConvert(const std::string& input, const std::string& output,
               const WriteOptions& options = {}, const DecodeOptions& decode = {},
               const StreamFormats& streams = {}, const PictureRate& inputRate = kCaptionRate);

// Copies the video SOURCE to OUTPUT with the captions of CAPTIONS in it: an .m2v stream as DVD
// user data, other video as A/53 captions (SEI messages, MPEG-2 user data); `carrier` ("dvd",
// "a53", "c608" for a MOV caption track, or empty for the source's own) picks another. `decode`
// reads CAPTIONS.
int RunMux(const std::string& captions, const std::string& source, const std::string& output,
           const std::string& carrier = "", const DecodeOptions& decode = {},
           const WriteOptions& write = {}, const PictureRate& inputRate = kCaptionRate);

// A built-in profile by name (the broadcast profile for an empty name), else the profile file
// at that path; nothing (and said) when the file cannot be read or is refused.
std::optional<CheckProfile> ProfileFor(const std::string& name);

// What the check prints on standard output.
enum class CheckPrint {
    Lines,       // one line per finding, and the summary
    NamedLines,  // the same, each line after the file's name (a tab after it, or ": " for the
                 // summary), as one of many files prints them
    Json,        // a JSON array, the summary on standard error
    JUnit,       // the file's part of a JUnit report (JUnitFailures)
};

// Checks the captions of INPUT against a profile: a built-in one by name, or a profile file
// (the broadcast profile when `profile` is empty), and prints the findings as `print` says.
// 0 without a finding of error severity, 1 with one or when INPUT could not be read (nothing
// printed then), 2 for a profile not to be had. With a speller the spelling rule checks the
// words too.
int RunCheck(const std::string& input, const std::string& profile, CheckPrint print,
             TimecodeStyle style = TimecodeStyle::NonDropFrame, const std::string& from = "",
             const Speller* speller = nullptr);

// The speller of `language` (a dictionary's name such as en_US), or null when the dictionary
// cannot be had, which is said on standard error.
std::unique_ptr<HunspellSpeller> SpellerFor(const std::string& language);

// Times the captions of INPUT (a caption file or project; any other file is a transcript, one
// caption per block of lines) to the speech of VIDEO and writes them to OUTPUT in the format of
// its extension. The captions whose words were not found are told on standard error, one line
// each, and make the status 1; OUTPUT is written all the same.
int RunAlign(const std::string& input, const std::string& video, const std::string& output);

// Prints one line per caption of INPUT.
int RunList(const std::string& input, TimecodeStyle style = TimecodeStyle::NonDropFrame,
            const DecodeOptions& decode = {}, const std::string& from = "",
            const PictureRate& inputRate = kCaptionRate);

}  // namespace vantrel::cli
