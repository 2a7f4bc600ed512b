// The commands of vantrel-cc.
#pragma once

#include <string>

#include "codec/decoder.h"
#include "files/timecode.h"

namespace vantrel::cli {

constexpr int kExitSuccess = 0;
constexpr int kExitFailed = 1;  // the conversion failed or had to leave something out
constexpr int kExitUsage = 2;

extern const char kUsageText[];

// Reads INPUT and writes OUTPUT in the format of its extension; the style is that of the
// timecodes of .scc, .ccd and .txt output (other outputs have none and refuse drop-frame).
// `decode` picks the caption channel of INPUT and what its roll-up captions become.
int RunConvert(const std::string& input, const std::string& output,
               TimecodeStyle style = TimecodeStyle::NonDropFrame, const DecodeOptions& decode = {});

// Copies the video SOURCE to OUTPUT with the captions of CAPTIONS in it: an .m2v stream as DVD
// user data, other video as A/53 captions (SEI messages, MPEG-2 user data); `carrier` ("dvd",
// "a53", "c608" for a MOV caption track, or empty for the source's own) picks another. `decode`
// reads CAPTIONS.
int RunMux(const std::string& captions, const std::string& source, const std::string& output,
           const std::string& carrier = "", const DecodeOptions& decode = {});

// Prints one line per caption of INPUT.
int RunList(const std::string& input, TimecodeStyle style = TimecodeStyle::NonDropFrame,
            const DecodeOptions& decode = {});

}  // namespace vantrel::cli
