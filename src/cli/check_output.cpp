#include "cli/check_output.h"

#include <cstdio>

#include "codec/charset.h"

namespace vantrel::cli {

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char32_t code = NextCodePoint(text, i);
        AppendUtf8(out, code == kMalformed ? U'\uFFFD' : code);
    }
    return out;
}

std::string JsonString(std::string_view raw) {
    const std::string text = ValidUtf8(raw);
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += ch;
        }
    }
    return out + '"';
}

std::string FindingLines(const std::vector<Finding>& findings, TimecodeStyle style,
                         const std::string& prefix) {
    std::string out;
    for (const Finding& f : findings) {
        out += prefix + FormatTimecode(f.start, style) + '\t' + std::to_string(f.number) + '\t' +
               std::string(SeverityName(f.severity)) + '\t' + std::string(RuleName(f.rule)) + '\t' +
               f.message + '\n';
    }
    return out;
}

std::string FindingsJson(const std::vector<Finding>& findings, TimecodeStyle style) {
    std::string out = "[";
    for (size_t k = 0; k < findings.size(); ++k) {
        const Finding& f = findings[k];
        out += k == 0 ? "\n" : ",\n";
        out += "  {\"caption\": " + std::to_string(f.number) +
               ", \"start\": " + JsonString(FormatTimecode(f.start, style)) +
               ", \"severity\": " + JsonString(std::string(SeverityName(f.severity))) +
               ", \"rule\": " + JsonString(std::string(RuleName(f.rule))) +
               ", \"value\": " + FormatCheckNumber(f.value) +
               ", \"limit\": " + FormatCheckNumber(f.limit) +
               ", \"message\": " + JsonString(f.message) + "}";
    }
    return out + (findings.empty() ? "]\n" : "\n]\n");
}

}  // namespace vantrel::cli
