// What `vantrel-cc check` prints: one line per finding, or a JSON array, and a summary line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "check/caption_checks.h"
#include "files/timecode.h"

namespace vantrel::cli {

// `text` as valid UTF-8: a byte that does not belong to a well-formed character (a file name
// can hold any) becomes U+FFFD.
std::string ValidUtf8(std::string_view text);
// `text` as a JSON string, quoted and escaped, made valid UTF-8 first.
std::string JsonString(std::string_view text);

// TIMECODE<TAB>NUMBER<TAB>SEVERITY<TAB>RULE<TAB>MESSAGE, one line each, after `prefix`.
std::string FindingLines(const std::vector<Finding>& findings, TimecodeStyle style,
                         const std::string& prefix = "");
// One JSON array of objects with the keys caption, start, severity, rule, value, limit and
// message.
std::string FindingsJson(const std::vector<Finding>& findings, TimecodeStyle style);

}  // namespace vantrel::cli
