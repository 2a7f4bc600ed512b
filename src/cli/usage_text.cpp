#include "cli/cli_commands.h"
#include "files/caption_formats.h"

namespace vantrel::cli {

std::string UsageText() {
    return "Usage: vantrel-cc convert INPUT OUTPUT [--drop-frame] [--channel N] [--service N]\n"
           "           [--roll-up=HOW] [--no-708] [--language CODE] [--format NAME]\n"
           "           [--aspect 4:3|16:9] [--srt-plain] [--vtt-style] [--rate R]\n"
           "           [--input-rate R]\n"
           "       vantrel-cc list INPUT [--drop-frame] [--channel N] [--service N] "
           "[--roll-up=HOW]\n"
           "           [--rate R]\n"
           "       vantrel-cc check INPUT [--profile NAME|FILE] [--json] [--drop-frame]\n"
           "       vantrel-cc mux CAPTIONS SOURCE OUTPUT [--carrier dvd|a53|c608] [--channel N]\n"
           "           [--roll-up=HOW] [--input-rate R]\n"
           "       vantrel-cc --help\n"
           "\n"
           "Converts line-21 (CEA-608) captions between file formats; roll-up and\n"
           "paint-on captions become pop-on captions.\n"
           "\n"
           "  convert  reads INPUT and writes OUTPUT in the format its extension names\n"
           "  list     prints one line per caption of INPUT: index, start and end\n"
           "           timecode (hh:mm:ss:ff at 30 frames per second), timing mode and\n"
           "           text, separated by tabs\n"
           "  --drop-frame  writes timecodes as drop-frame labels (hh:mm:ss;ff) for\n"
           "           29.97 video, in " +
           TimecodeOutputs() +
           " output, the list\n"
           "           and the check\n"
           "  --format NAME  writes OUTPUT in the format of that name (" +
           OutputNames() +
           ")\n"
           "           whatever its extension\n"
           "  --aspect 4:3|16:9  the picture Timed Text regions are placed on (4:3\n"
           "           by default; on 16:9 the captions keep to its middle 4:3 part)\n"
           "  --rate R  the picture rate (" +
           PictureRateNames() +
           ", 29.97 by\n"
           "           default) whose pictures the timecodes of " +
           RateOutputs() +
           "\n"
           "           output and of an .scc INPUT count; captions keep their times\n"
           "           (an .mcc file names its own rate)\n"
           "  --input-rate R  the rate of an .scc INPUT when it is not that of OUTPUT\n"
           "  --srt-plain  writes .srt rows in lower case without style tags (by\n"
           "           default they keep their case, italics, underline and colours)\n"
           "  --vtt-style  begins .vtt output with a STYLE block (black background,\n"
           "           monospaced cells) for a web page's own player; FFmpeg 5.1 and\n"
           "           the players built on it read no cue after one, so by default\n"
           "           there is none (the colours are WebVTT's own classes)\n"
           "  --channel N  reads caption channel N of INPUT, 1 to 4 (default 1);\n"
           "           channels 3 and 4 are in field 2, which MPEG-2 user data,\n           .mcc "
           "files and other video carry\n"
           "  --service N  reads CEA-708 service N of INPUT (1 to 63, default 1) when\n"
           "           INPUT holds 708 data and no 608 captions on the channel\n"
           "  --no-708  leaves the CEA-708 service out of .mcc output, which otherwise\n"
           "           carries the captions as service 1 beside the 608 pairs\n"
           "  --language CODE  the language the .mcc service information names\n"
           "           (three letters, ISO 639-2; default eng)\n"
           "  --roll-up=HOW  what roll-up captions become: lines (default: each line\n"
           "           once, grouped up to the roll-up depth), screens (one caption\n"
           "           per roll or erase, as a receiver shows the screen) or skip\n"
           "           (left out and reported)\n"
           "  check    checks the captions of INPUT against the delivery rules of a\n"
           "           profile (broadcast, the default; streaming; children; or a\n"
           "           file of KEY = VALUE lines): one line per finding, TIMECODE,\n"
           "           NUMBER, SEVERITY, RULE and MESSAGE separated by tabs, then a\n"
           "           summary; --json prints one JSON array instead (the summary\n"
           "           goes to standard error)\n"
           "  mux      copies the MPEG-2 video elementary stream SOURCE to OUTPUT with\n"
           "           the captions of CAPTIONS (any input format) as DVD caption user\n"
           "           data after every group-of-pictures header; or H.264 or HEVC\n"
           "           video (.mp4, .mov, .mkv, .ts and others) to OUTPUT in the container\n"
           "           its extension names, an A/53 caption message in every picture,\n"
           "           nothing re-encoded; --carrier a53 writes A/53 caption user\n"
           "           data into an .m2v stream in place of DVD user data, --carrier\n"
           "           c608 a caption track beside the video of a .mov OUTPUT\n"
           "\n"
           "Input formats (subtitles are laid out as pop-on captions at 30000/1001\n"
           "frames per second; video files carry A/53 or DVD captions or a c608 track):\n" +
           FormatLines(true, 2) + "Output formats:\n" + FormatLines(false, 2) + "\n" +
           "OUTPUT is written as a new file that replaces the old one only once it is\n"
           "complete, and it may not be INPUT itself. Reading or writing an MPEG-2\n"
           "stream shows a progress bar on a terminal; Ctrl+C cancels it cleanly.\n"
           "\n"
           "Exit status: 0 on success; 1 when the conversion failed, found no captions,\n"
           "left something out or showed a caption late (the messages on standard error\n"
           "say what, as they say what roll-up and paint-on captions became; an output\n"
           "without captions or with captions left out is still written), or when a\n"
           "finding of the check is an error; 2 on wrong usage.\n";
}

}  // namespace vantrel::cli
