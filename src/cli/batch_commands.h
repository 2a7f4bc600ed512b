// vantrel-cc over many files: `convert --to FORMAT --out-dir DIR FILES...` and
// `check FILES...`, each file in a process of its own, several at once, with a summary at the
// end and the worst exit status of them all.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "codec/decoder.h"
#include "files/caption_formats.h"
#include "files/timecode.h"

namespace vantrel::cli {

struct BatchOptions {
    std::string outDir;  // convert: the folder the outputs go to
    std::string to;      // convert: the name of the outputs' format (or standard output's)
    std::string from;    // the name of standard input's format
    int jobs = 0;        // files worked on at once; 0 for as many as there are processors
    std::string junit;   // check: the JUnit report to write
};

// Takes the option at argv[k] (and its value, moving k past it) when it is one of the many-file
// options. Returns false when argv[k] is none of them; sets `problem` for a wrong value.
bool ParseBatchOption(int argc, char** argv, int& k, BatchOptions& options, std::string& problem);

// What is wrong with the many-file options for `command`, or empty.
std::string BatchMisuse(const std::string& command, const BatchOptions& options, bool json);

// What is wrong with --from and --to for the files named, or empty: they name the formats of
// "-" (standard input, the first file; standard output, the second of convert's two), which
// many files do not take.
std::string StreamMisuse(const std::string& command, const BatchOptions& options,
                         const std::vector<std::string>& files);

// Whether `command` works over many files: convert with --out-dir; check of more than one file
// or with --junit.
bool IsBatch(const std::string& command, const BatchOptions& options, size_t files);

// Converts each input into a file of the same name in the folder, in the format named.
int RunConvertEach(const std::vector<std::string>& inputs, const BatchOptions& options,
                   const WriteOptions& write, const DecodeOptions& decode);

// Checks each input against the profile: their findings on standard output, each line after
// the file's name; or with `json` one JSON document; and with --junit, the JUnit report.
int RunCheckEach(const std::vector<std::string>& inputs, const BatchOptions& options,
                 const std::string& profile, bool json, TimecodeStyle style,
                 const Speller* speller = nullptr);

}  // namespace vantrel::cli
