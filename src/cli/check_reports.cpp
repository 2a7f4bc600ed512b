#include "cli/check_reports.h"

#include <cstdio>
#include <cstring>

#include "cli/check_output.h"
#include "files/xml_escape.h"

namespace vantrel::cli {

namespace {

// Text for an XML attribute or element, made valid UTF-8 first.
std::string Xml(std::string_view raw) {
    std::string out;
    AppendXmlEscaped(out, ValidUtf8(raw));
    return out;
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

// Why a file that was not read has no findings: its own first message, or how it ended.
std::string NotReadReason(const FileRun& run) {
    if (!run.run) return "not checked: the run was interrupted";
    if (run.signal != 0) {
        return "the check ended by signal " + std::to_string(run.signal) + " (" +
               strsignal(run.signal) + ")";
    }
    const size_t end = run.err.find('\n');
    return run.err.empty() ? "not read" : run.err.substr(0, end);
}

// The lines of a run's standard error, each a JSON string.
std::string MessagesJson(const std::string& err) {
    std::string out = "[";
    for (size_t start = 0; start < err.size();) {
        size_t end = err.find('\n', start);
        if (end == std::string::npos) end = err.size();
        if (out.size() > 1) out += ", ";
        out += JsonString(std::string_view(err).substr(start, end - start));
        start = end + 1;
    }
    return out + "]";
}

}  // namespace

bool WasRead(const FileRun& run) {
    return run.run && run.signal == 0 && !run.out.empty();
}

std::string JUnitFailures(const std::vector<Finding>& findings, TimecodeStyle style,
                          const std::string& summary) {
    std::string out;
    for (const Finding& f : findings) {
        if (f.severity != Severity::Error) continue;
        out += "      <failure type=\"" + Xml(RuleName(f.rule)) + "\" message=\"" + Xml(f.message) +
               "\">caption " + std::to_string(f.number) + " at " + FormatTimecode(f.start, style) +
               ": " + Xml(f.message) + "</failure>\n";
    }
    return out + "      <system-out>" + Xml(FindingLines(findings, style) + summary) +
           "</system-out>\n";
}

std::string JUnitReport(const std::vector<std::string>& names, const std::vector<FileRun>& runs) {
    size_t failures = 0, errors = 0, skipped = 0;
    double total = 0;
    std::string cases;
    for (size_t k = 0; k < runs.size(); ++k) {
        const FileRun& run = runs[k];
        total += run.seconds;
        cases += "    <testcase classname=\"vantrel-cc.check\" name=\"" + Xml(names[k]) +
                 "\" time=\"" + Seconds(run.seconds) + "\">\n";
        if (!run.run) {
            ++skipped;
            cases += "      <skipped message=\"" + Xml(NotReadReason(run)) + "\"/>\n";
        } else if (WasRead(run)) {
            failures += run.status != 0;
            cases += run.out;
        } else {
            ++errors;
            cases += "      <error message=\"" + Xml(NotReadReason(run)) + "\"/>\n";
        }
        if (!run.err.empty()) cases += "      <system-err>" + Xml(run.err) + "</system-err>\n";
        cases += "    </testcase>\n";
    }
    const std::string counts = "tests=\"" + std::to_string(runs.size()) + "\" failures=\"" +
                               std::to_string(failures) + "\" errors=\"" + std::to_string(errors) +
                               "\" skipped=\"" + std::to_string(skipped) + "\" time=\"" +
                               Seconds(total) + "\"";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites " + counts +
           ">\n  <testsuite name=\"vantrel-cc check\" " + counts + ">\n" + cases +
           "  </testsuite>\n</testsuites>\n";
}

std::string JsonReport(const std::vector<std::string>& names, const std::vector<FileRun>& runs) {
    std::string out = "{";
    for (size_t k = 0; k < runs.size(); ++k) {
        const FileRun& run = runs[k];
        const bool read = WasRead(run);
        std::string findings = read ? run.out : "null";
        while (!findings.empty() && findings.back() == '\n') findings.pop_back();
        std::string messages = run.err;
        if (!read && (run.signal != 0 || !run.run)) messages += NotReadReason(run);
        out += (k == 0 ? "\n  " : ",\n  ") + JsonString(names[k]) +
               ": {\"status\": " + (run.run ? std::to_string(run.status) : "null") +
               ", \"read\": " + (read ? "true" : "false") +
               ", \"messages\": " + MessagesJson(messages) + ",\n   \"findings\": " + findings +
               "}";
    }
    return out + (runs.empty() ? "}\n" : "\n}\n");
}

}  // namespace vantrel::cli
