#include "cli/console_host.h"

#include <cstdio>

namespace vantrel::cli {

void ConsoleHost::Inform(const std::string& text) {
    ++messages_;
    Note(text);
}

void ConsoleHost::Note(const std::string& text) {
    std::string line = "vantrel-cc: ";
    if (!subject_.empty() && text.find(subject_) == std::string::npos) line += subject_ + ": ";
    // Paragraphs meant for a message box become one line.
    bool lastWasBreak = false;
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            if (!lastWasBreak) line += ": ";
            lastWasBreak = true;
            continue;
        }
        lastWasBreak = false;
        line += c;
    }
    line += '\n';
    std::fputs(line.c_str(), stderr);
}

}  // namespace vantrel::cli
