// The commands of vantrel-cc.
#pragma once

#include <string>
#include <string_view>

#include "codec/decoder.h"
#include "files/caption_formats.h"
#include "files/timecode.h"

namespace vantrel::cli {

constexpr int kExitSuccess = 0;
constexpr int kExitFailed = 1;  // the conversion failed or had to leave something out
constexpr int kExitUsage = 2;

// The help, its lists of formats made from the table of formats.
std::string UsageText();

// Reads INPUT and writes OUTPUT in the format of its extension, or in the format named
// `formatName` when that is given; the options' style is that of the timecodes of .scc, .ccd,
// .mcc and .txt output (other outputs have none and refuse drop-frame), and they say whether
// .mcc output carries 708 too and in which language. `decode` picks the caption channel (or
// 708 service) of INPUT and what its roll-up captions become.
int RunConvert(const std::string& input, const std::string& output,
               const WriteOptions& options = {}, const DecodeOptions& decode = {},
               std::string_view formatName = {});

// Copies the video SOURCE to OUTPUT with the captions of CAPTIONS in it: an .m2v stream as DVD
// user data, other video as A/53 captions (SEI messages, MPEG-2 user data); `carrier` ("dvd",
// "a53", "c608" for a MOV caption track, or empty for the source's own) picks another. `decode`
// reads CAPTIONS.
int RunMux(const std::string& captions, const std::string& source, const std::string& output,
           const std::string& carrier = "", const DecodeOptions& decode = {},
           const WriteOptions& write = {});

// Checks the captions of INPUT against a profile: a built-in one by name, or a profile file
// (the broadcast profile when `profile` is empty). Prints one line per finding and a summary,
// or with `json` a JSON array (the summary then on standard error). 0 without a finding of
// error severity, 1 with one or when INPUT could not be read, 2 for a profile not to be had.
int RunCheck(const std::string& input, const std::string& profile, bool json,
             TimecodeStyle style = TimecodeStyle::NonDropFrame);

// Times the captions of INPUT (a caption file or project; any other file is a transcript, one
// caption per block of lines) to the speech of VIDEO and writes them to OUTPUT in the format of
// its extension. The captions whose words were not found are told on standard error, one line
// each, and make the status 1; OUTPUT is written all the same.
int RunAlign(const std::string& input, const std::string& video, const std::string& output);

// Prints one line per caption of INPUT.
int RunList(const std::string& input, TimecodeStyle style = TimecodeStyle::NonDropFrame,
            const DecodeOptions& decode = {});

}  // namespace vantrel::cli
