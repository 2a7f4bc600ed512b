// vantrel-cc: converts caption files and projects from the command line with the same
// operations as the window.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/cli_commands.h"

using namespace vantrel::cli;

namespace {

int Usage(const char* problem) {
    if (problem) std::fprintf(stderr, "vantrel-cc: %s\n\n", problem);
    std::fputs(kUsageText, stderr);
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsageText, stdout);
        return kExitSuccess;
    }
    if (argc < 2) return Usage("no command given");
    const std::string command = argv[1];
    if (command == "convert") {
        if (argc != 4) return Usage("convert takes an INPUT and an OUTPUT file");
        return RunConvert(argv[2], argv[3]);
    }
    if (command == "mux") {
        if (argc != 5) return Usage("mux takes a CAPTIONS file, a SOURCE and an OUTPUT stream");
        return RunMux(argv[2], argv[3], argv[4]);
    }
    if (command == "list") {
        if (argc != 3) return Usage("list takes one INPUT file");
        return RunList(argv[2]);
    }
    return Usage(("unknown command '" + command + "'").c_str());
}
