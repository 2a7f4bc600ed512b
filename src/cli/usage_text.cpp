#include "cli/cli_commands.h"

namespace vantrel::cli {

const char kUsageText[] =
    "Usage: vantrel-cc convert INPUT OUTPUT [--drop-frame]\n"
    "       vantrel-cc list INPUT [--drop-frame]\n"
    "       vantrel-cc mux CAPTIONS SOURCE.m2v OUTPUT.m2v\n"
    "       vantrel-cc --help\n"
    "\n"
    "Converts line-21 (CEA-608) pop-on captions between file formats.\n"
    "\n"
    "  convert  reads INPUT and writes OUTPUT in the format its extension names\n"
    "  list     prints one line per caption of INPUT: index, start and end\n"
    "           timecode (hh:mm:ss:ff at 30 frames per second), timing mode and\n"
    "           text, separated by tabs\n"
    "  --drop-frame  writes timecodes as drop-frame labels (hh:mm:ss;ff) for\n"
    "           29.97 video, in .scc, .ccd and .txt output and in the list\n"
    "  mux      copies the MPEG-2 video elementary stream SOURCE to OUTPUT with\n"
    "           the captions of CAPTIONS (any input format) as DVD caption user\n"
    "           data after every group-of-pictures header\n"
    "\n"
    "Input formats:   .scc (Scenarist), .ccd (disassembly), .bin and .dat (raw\n"
    "                 608 pairs), .ccp (Vantrel project), .m2v (MPEG-2 video\n"
    "                 elementary stream with DVD caption user data), .srt\n"
    "                 (SubRip) and .vtt (WebVTT) subtitles, laid out as pop-on\n"
    "                 captions at 30000/1001 frames per second\n"
    "Output formats:  .scc, .ccd, .bin, .dat, .ccp, .srt (SubRip subtitles),\n"
    "                 .txt (timing report)\n"
    "\n"
    "OUTPUT is written as a new file that replaces the old one only once it is\n"
    "complete, and it may not be INPUT itself. Reading or writing an MPEG-2\n"
    "stream shows a progress bar on a terminal; Ctrl+C cancels it cleanly.\n"
    "\n"
    "Exit status: 0 on success; 1 when the conversion failed or something was\n"
    "left out (the messages on standard error say what; an output with\n"
    "captions left out is still written); 2 on wrong usage.\n";

}  // namespace vantrel::cli
