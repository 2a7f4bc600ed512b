#include "cli/batch_commands.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <new>

#include "cli/batch_runner.h"
#include "cli/check_reports.h"
#include "cli/console_host.h"
#include "files/file.h"
#include "files/file_messages.h"

namespace vantrel::cli {

namespace {

// Runs one file's command as main runs a command: a failure that ends it anywhere is one line
// about the file and status 1.
int Guarded(const std::string& file, const std::function<int()>& command) {
    std::string failure;
    try {
        return command();
    } catch (const std::bad_alloc&) {
        failure = kOutOfMemoryText;
    } catch (const std::exception& e) {
        failure = StoppedText(e.what());
    }
    std::fprintf(stderr, "vantrel-cc: %s: %s\n", file.c_str(), failure.c_str());
    return kExitFailed;
}

void Write(FILE* to, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), to);
    std::fflush(to);
}

// Passes on what a file's process printed, and says so when it did not end by itself.
void PassOn(const std::string& name, const FileRun& run, bool withOut) {
    if (withOut) Write(stdout, run.out);
    Write(stderr, run.err);
    if (run.signal != 0) {
        std::fprintf(stderr, "vantrel-cc: %s: ended by signal %d (%s)\n", name.c_str(), run.signal,
                     strsignal(run.signal));
    }
}

int WorstStatus(const std::vector<FileRun>& runs) {
    int worst = kExitSuccess;
    for (const FileRun& run : runs) worst = std::max(worst, run.status);
    return worst;
}

size_t Started(const std::vector<FileRun>& runs) {
    size_t n = 0;
    for (const FileRun& run : runs) n += run.run;
    return n;
}

// ", 3 not started (interrupted)" when the run was stopped, else nothing.
std::string NotStarted(const std::vector<FileRun>& runs) {
    const size_t n = runs.size() - Started(runs);
    return n == 0 ? "" : ", " + std::to_string(n) + " not started (interrupted)";
}

int Jobs(const BatchOptions& options) {
    return options.jobs > 0 ? options.jobs : AvailableProcessors();
}

// DIR/NAME.EXT for each input: its name without the folder and the last extension.
std::vector<std::string> OutputNames(const std::vector<std::string>& inputs,
                                     const std::string& folder, const CaptionFormat& format) {
    std::vector<std::string> outputs;
    for (const std::string& input : inputs) {
        outputs.push_back(
            (std::filesystem::path(folder) / std::filesystem::path(input).stem()).string() + '.' +
            std::string(DefaultExtension(format)));
    }
    return outputs;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool ParseBatchOption(int argc, char** argv, int& k, BatchOptions& options, std::string& problem) {
    const std::string arg = argv[k];
    if (arg != "--out-dir" && arg != "--to" && arg != "--from" && arg != "--jobs" &&
        arg != "--junit") {
        return false;
    }
    if (k + 1 >= argc || argv[k + 1][0] == '\0') {
        problem = arg + (arg == "--jobs" ? " takes a number" : " takes a name");
        return true;
    }
    const std::string value = argv[++k];
    if (arg == "--out-dir") options.outDir = value;
    if (arg == "--to") options.to = value;
    if (arg == "--from") options.from = value;
    if (arg == "--junit") options.junit = value;
    if (arg == "--jobs") {
        const bool digits =
            value.size() <= 4 && value.find_first_not_of("0123456789") == std::string::npos;
        options.jobs = digits ? std::stoi(value) : 0;
        if (options.jobs < 1) problem = "--jobs takes a number of files at once, 1 to 9999";
    }
    return true;
}

std::string BatchMisuse(const std::string& command, const BatchOptions& options, bool json) {
    if ((!options.outDir.empty() || !options.to.empty()) && command != "convert") {
        return "--out-dir and --to go with convert";
    }
    if (!options.outDir.empty() && options.to.empty()) return "--out-dir goes with --to";
    if (!options.from.empty() && command != "convert" && command != "check" && command != "list") {
        return "--from goes with convert, check and list";
    }
    if (!options.junit.empty() && command != "check") return "--junit goes with check";
    if (!options.junit.empty() && json) return "--junit and --json go one at a time";
    if (options.jobs > 0 && command != "convert" && command != "check") {
        return "--jobs goes with convert and check";
    }
    return {};
}

std::string StreamMisuse(const std::string& command, const BatchOptions& options,
                         const std::vector<std::string>& files) {
    if (IsBatch(command, options, files.size())) {
        const bool stream = std::ranges::count(files, std::string(kStandardStream)) > 0;
        return stream || !options.from.empty() ? "standard input (-) and --from go with one file"
                                               : "";
    }
    const bool input = !files.empty() && files[0] == kStandardStream;
    if (!options.from.empty() && !input) return "--from names the format of standard input (-)";
    return {};
}

bool IsBatch(const std::string& command, const BatchOptions& options, size_t files) {
    return (command == "convert" && !options.outDir.empty()) ||
           (command == "check" && (files > 1 || !options.junit.empty()));
}

int RunConvertEach(const std::vector<std::string>& inputs, const BatchOptions& options,
                   const WriteOptions& write, const DecodeOptions& decode) {
    const CaptionFormat* format = FormatNamed(options.to);
    if (!format || !format->writes) {
        std::fprintf(stderr, "vantrel-cc: --to: no format that writes is named %s\n",
                     options.to.c_str());
        return kExitUsage;
    }
    if (!IsFolder(options.outDir)) {
        std::fprintf(stderr, "vantrel-cc: %s: not a folder\n", options.outDir.c_str());
        return kExitUsage;
    }
    const std::vector<std::string> outputs = OutputNames(inputs, options.outDir, *format);
    // Two inputs of one name would write one output: the first named keeps it.
    std::map<std::string, size_t> firstOf;
    for (size_t k = 0; k < outputs.size(); ++k) firstOf.emplace(outputs[k], k);
    const auto work = [&](size_t k) {
        const size_t first = firstOf.at(outputs[k]);
        if (first != k) {
            std::fprintf(stderr, "vantrel-cc: %s: not converted: %s is the output of %s\n",
                         inputs[k].c_str(), outputs[k].c_str(), inputs[first].c_str());
            return kExitFailed;
        }
        return Guarded(inputs[k], [&] { return RunConvert(inputs[k], outputs[k], write, decode); });
    };
    const auto ended = [&](size_t k, const FileRun& run) { PassOn(inputs[k], run, true); };
    const std::vector<FileRun> runs = RunEachInChild(inputs.size(), Jobs(options), work, ended);
    size_t converted = 0;
    for (const FileRun& run : runs) converted += run.run && run.status == kExitSuccess;
    std::fprintf(stderr, "vantrel-cc: %zu files into %s: %zu converted, %zu failed%s\n",
                 inputs.size(), options.outDir.c_str(), converted, Started(runs) - converted,
                 NotStarted(runs).c_str());
    return WorstStatus(runs);
}

int RunCheckEach(const std::vector<std::string>& inputs, const BatchOptions& options,
                 const std::string& profile, bool json, TimecodeStyle style,
                 const Speller* speller) {
    // A profile not to be had is said once, not once per file.
    if (!ProfileFor(profile)) return kExitUsage;
    const CheckPrint print = json                     ? CheckPrint::Json
                             : !options.junit.empty() ? CheckPrint::JUnit
                                                      : CheckPrint::NamedLines;
    const auto work = [&](size_t k) {
        return Guarded(inputs[k],
                       [&] { return RunCheck(inputs[k], profile, print, style, "", speller); });
    };
    const auto ended = [&](size_t k, const FileRun& run) {
        PassOn(inputs[k], run, print == CheckPrint::NamedLines);
    };
    const std::vector<FileRun> runs = RunEachInChild(inputs.size(), Jobs(options), work, ended);
    int status = WorstStatus(runs);
    if (json) Write(stdout, JsonReport(inputs, runs));
    if (!options.junit.empty()) {
        ConsoleHost host;
        if (ReplaceFileContent(options.junit, JUnitReport(inputs, runs), &host) !=
            WriteResult::Written) {
            status = std::max(status, kExitFailed);
        }
    }
    size_t passed = 0, failed = 0;
    for (const FileRun& run : runs) {
        passed += run.run && run.status == kExitSuccess;
        failed += WasRead(run) && run.status != kExitSuccess;
    }
    std::fprintf(
        stderr, "vantrel-cc: %zu files checked: %zu passed, %zu with errors, %zu not read%s\n",
        inputs.size(), passed, failed, Started(runs) - passed - failed, NotStarted(runs).c_str());
    return status;
}

}  // namespace vantrel::cli
