#include "cli/console_host.h"

#include <cstdio>

namespace vantrel::cli {

void ConsoleHost::Inform(const std::string& text) {
    ++messages_;
    Note(text);
}

void ConsoleHost::Note(const std::string& text) {
    const std::string name = "vantrel-cc: ";
    std::string out = name;
    if (!subject_.empty() && text.find(subject_) == std::string::npos) out += subject_ + ": ";
    // Paragraphs meant for a message box become one line, but the items of a list (the lines
    // after one that ends in a colon, up to a blank line) stay lines of their own, indented,
    // and a paragraph after a list starts a line of its own.
    bool first = true, inList = false, afterList = false;
    for (size_t at = 0; at <= text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) {
            afterList = afterList || inList;
            inList = false;
            continue;
        }
        out += first ? std::string() : inList ? "\n  " : afterList ? "\n" + name : ": ";
        out += line;
        first = afterList = false;
        inList = inList || line.back() == ':';
    }
    out += '\n';
    std::fputs(out.c_str(), stderr);
}

}  // namespace vantrel::cli
