#include "cli/cli_commands.h"

namespace vantrel::cli {

const char kUsageText[] =
    "Usage: vantrel-cc convert INPUT OUTPUT\n"
    "       vantrel-cc list INPUT\n"
    "       vantrel-cc --help\n"
    "\n"
    "Converts line-21 (CEA-608) pop-on captions between file formats.\n"
    "\n"
    "  convert  reads INPUT and writes OUTPUT in the format its extension names\n"
    "  list     prints one line per caption of INPUT: index, start and end\n"
    "           timecode (hh:mm:ss:ff at 30 frames per second), timing mode and\n"
    "           text, separated by tabs\n"
    "\n"
    "Input formats:   .scc (Scenarist), .ccd (disassembly), .bin and .dat (raw\n"
    "                 608 pairs), .ccp (Vantrel project)\n"
    "Output formats:  .scc, .ccd, .bin, .dat, .ccp, .srt (SubRip subtitles),\n"
    "                 .txt (timing report)\n"
    "\n"
    "OUTPUT is written as a new file that replaces the old one only once it is\n"
    "complete, and it may not be INPUT itself.\n"
    "\n"
    "Exit status: 0 on success; 1 when the conversion failed or something was\n"
    "left out (the messages on standard error say what; an output with\n"
    "captions left out is still written); 2 on wrong usage.\n";

}  // namespace vantrel::cli
