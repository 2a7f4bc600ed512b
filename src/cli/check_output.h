// What `vantrel-cc check` prints: one line per finding, or a JSON array, and a summary line.
#pragma once

#include <string>
#include <vector>

#include "check/caption_checks.h"
#include "files/timecode.h"

namespace vantrel::cli {

// TIMECODE<TAB>NUMBER<TAB>SEVERITY<TAB>RULE<TAB>MESSAGE, one line each.
std::string FindingLines(const std::vector<Finding>& findings, TimecodeStyle style);
// One JSON array of objects with the keys caption, start, severity, rule, value, limit and
// message.
std::string FindingsJson(const std::vector<Finding>& findings, TimecodeStyle style);

}  // namespace vantrel::cli
