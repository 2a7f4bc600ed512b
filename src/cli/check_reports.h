// The reports of a check of many files for CI servers and scripts: a JUnit XML document with a
// test case per file, and a JSON document with a member per file. Each file's part of them is
// made by the process that checked it; these put the parts together with what this process
// knows of each (its exit, its messages, its time).
#pragma once

#include <string>
#include <vector>

#include "check/caption_checks.h"
#include "cli/batch_runner.h"
#include "files/timecode.h"

namespace vantrel::cli {

// A file's part of the JUnit report: a <failure> element per finding of error severity, and
// every finding and `summary` as the test's standard output.
std::string JUnitFailures(const std::vector<Finding>& findings, TimecodeStyle style,
                          const std::string& summary);

// The JUnit document of the files `names` checked with the results `runs`, each run's out
// being its file's JUnitFailures (empty when the file was not read).
std::string JUnitReport(const std::vector<std::string>& names, const std::vector<FileRun>& runs);

// The JSON document, one member per file, named by the file, each run's out being the file's
// FindingsJson (empty when the file was not read): {"status": exit status or null when not
// run, "read": whether the captions were read, "findings": the array or null, "messages": the
// lines on standard error}.
std::string JsonReport(const std::vector<std::string>& names, const std::vector<FileRun>& runs);

// Whether the file of a run was read: its process ended by itself and printed its findings.
bool WasRead(const FileRun& run);

}  // namespace vantrel::cli
