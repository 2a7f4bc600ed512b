#include "cli/cli_commands.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <optional>

#include "carriers/carrier_commands.h"
#include "carriers/embed_captions.h"
#include "carriers/video_module.h"
#include "check/caption_checks.h"
#include "check/hunspell_speller.h"
#include "cli/check_output.h"
#include "cli/check_reports.h"
#include "cli/console_host.h"
#include "cli/interrupt_cancel.h"
#include "cli/terminal_progress.h"
#include "codec/charset.h"
#include "editor/edit_history.h"
#include "editor/speech_timing.h"
#include "editor/timing_pass.h"
#include "files/caption_export.h"
#include "files/caption_formats.h"
#include "files/caption_import.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "files/project_file.h"
#include "files/subtitles.h"
#include "files/timecode.h"
#include "files/transcript.h"
#include "model/caption_project.h"
#include "mpeg/mpeg_commands.h"

namespace vantrel::cli {

namespace {

// The format of a file the command reads (or writes), by its extension, or for "-" the one
// named (a video file is read through FFmpeg's libraries by name, never from a pipe; a project
// is written beside its video only); null when there is none.
const CaptionFormat* InputOf(const std::string& path, const std::string& from = "") {
    const bool stream = path == kStandardStream;
    const CaptionFormat* format = stream ? FormatNamed(from) : FormatOfPath(path);
    return format && format->reads && !(stream && format->kind == FormatKind::Video) ? format
                                                                                     : nullptr;
}

const CaptionFormat* OutputOf(const std::string& path, const std::string& to = "") {
    const bool stream = path == kStandardStream;
    const CaptionFormat* format = !to.empty() ? FormatNamed(to)
                                  : stream    ? nullptr
                                              : FormatOfPath(path);
    return format && format->writes && !(stream && format->kind == FormatKind::Project) ? format
                                                                                        : nullptr;
}

// Standard input is opened by the name the system gives it, so that every reader reads it as
// it reads a named pipe.
std::string OpenedPath(const std::string& path) {
    return path == kStandardStream ? "/dev/stdin" : path;
}

// What every command works with: the project, its console host, and Ctrl+C turned into a
// cancel request for the stream operations.
struct Session {
    ConsoleHost host;
    CaptionProject project;
    InterruptCancels interrupts{project.cancel};
    Session() { project.host = &host; }

    // Ends a command that did not complete. The operations stop on Ctrl+C without a word (the
    // window's dialog needs none), so it is said here, once.
    int Stopped() {
        if (CancelRaised(&project.cancel)) host.Inform(std::string(kCancelledText));
        return kExitFailed;
    }
};

// The progress bar goes to standard error when that is a terminal.
TerminalProgress ProgressOnTerminal(const char* label) {
    return TerminalProgress(::isatty(STDERR_FILENO) ? stderr : nullptr, label);
}

// Reads INPUT into the project; false when that failed (the reason is on standard error).
bool LoadInput(CaptionProject& project, ConsoleHost& host, const std::string& named,
               const DecodeOptions& decode, const std::string& from = "",
               const PictureRate& rate = kCaptionRate) {
    const std::string path = OpenedPath(named);
    host.SetSubject(path);
    const CaptionFormat* format = InputOf(named, from);
    if (format && format->kind == FormatKind::Project) {
        // The frame saved with the project goes on to a project written from it.
        ProjectContent read;
        if (LoadProject(project, path, &read) != LoadResult::Loaded) return false;
        host.SetCurrentFrame(read.header.currentFrame);
        return true;
    }
    // An MPEG-2 stream is read on a worker behind a progress bar; Ctrl+C cancels it.
    ImportHooks hooks;
    hooks.decode = decode;
    hooks.rate = &rate;
    hooks.readMpeg2 = [&](CaptionProject& p, File& f, CaptionList& into,
                          const DecodeOptions& options) {
        TerminalProgress progress = ProgressOnTerminal("Extracting captions");
        return OperationSucceeded(ImportM2v(p, f, progress, into, options));
    };
    hooks.readVideo = [&](CaptionProject& p, const std::string& video, CaptionList& into,
                          const DecodeOptions& options) {
        TerminalProgress progress = ProgressOnTerminal("Extracting captions");
        return OperationSucceeded(ImportVideo(p, video, progress, into, options));
    };
    const std::string_view extension = format ? DefaultExtension(*format) : "";
    return ImportCaptionFile(project, path, extension, hooks) == ImportResult::Imported;
}

// True (and said) when OUTPUT is one of the files the command reads.
bool OverwritesAnInput(const std::string& output, std::initializer_list<std::string> inputs) {
    for (const std::string& input : inputs) {
        if (!SameFile(input, output)) continue;
        std::fprintf(stderr, "vantrel-cc: %s: %s\n", output.c_str(), kOverwritesAnInputText.data());
        return true;
    }
    return false;
}

int UnknownFormat(const std::string& path, const char* direction) {
    if (path == kStandardStream) {
        std::fprintf(stderr, "vantrel-cc: -: standard %s takes %s naming its format\n",
                     direction[0] == 'r' ? "input" : "output",
                     direction[0] == 'r' ? "--from" : "--to");
    } else {
        std::fprintf(stderr, "vantrel-cc: %s: %s\n", path.c_str(),
                     UnknownFormatText(direction).c_str());
    }
    return kExitUsage;
}

// Writes an output named "-" to standard output; a failure is said as a file's is.
ContentWriter StandardOutput(ConsoleHost& host, const std::atomic<int>& cancel) {
    return [&](std::string_view content) {
        if (CancelRaised(&cancel)) return WriteResult::Cancelled;
        errno = 0;
        if (std::fwrite(content.data(), 1, content.size(), stdout) == content.size() &&
            std::fflush(stdout) == 0) {
            return WriteResult::Written;
        }
        host.Inform(ErrorSavingFileText("standard output", std::strerror(errno ? errno : EIO)));
        return WriteResult::Failed;
    };
}

// Writes to standard output; false (and said) when that failed.
bool Print(ConsoleHost& host, const std::string& out) {
    errno = 0;
    if (std::fwrite(out.data(), 1, out.size(), stdout) == out.size() && std::fflush(stdout) == 0 &&
        !std::ferror(stdout)) {
        return true;
    }
    host.SetSubject("");
    host.Inform(ListNotWrittenText(std::strerror(errno != 0 ? errno : EIO)));
    return false;
}

const char* ModeName(int mode) {
    switch (mode) {
        case Normal:
            return "Normal";
        case Persistent:
            return "Persistent";
        case Seamless:
            return "Seamless";
        case Manual:
            return "Manual";
        default:
            return "Unknown";
    }
}

}  // namespace

std::optional<CheckProfile> ProfileFor(const std::string& name) {
    if (auto builtIn = BuiltInProfile(name.empty() ? "broadcast" : name)) return builtIn;
    // A profile is a few lines of a regular file: a pipe or a device is not waited on or read.
    constexpr size_t kLongestProfile = size_t{1} << 20;
    File file;
    std::string text;
    if (file.Open(name, File::Mode::ReadRegular)) {
        char chunk[4096];
        for (size_t n; text.size() <= kLongestProfile && (n = file.Read(chunk, sizeof chunk)) > 0;)
            text.append(chunk, n);
    }
    std::string error = file.Error();
    if (error.empty() && text.size() > kLongestProfile)
        error = "larger than 1 MiB, which no profile is; not read";
    ProfileText parsed;
    if (error.empty()) {
        parsed = ParseProfile(text, name);
        error = parsed.error;
    }
    if (!error.empty()) std::fprintf(stderr, "vantrel-cc: %s: %s\n", name.c_str(), error.c_str());
    return parsed.profile;
}

int RunMux(const std::string& captions, const std::string& source, const std::string& output,
           const std::string& carrier, const DecodeOptions& decode, const WriteOptions& write,
           const PictureRate& inputRate) {
    if (!InputOf(captions)) return UnknownFormat(captions, "read");
    const bool dvd =
        carrier == "dvd" || (carrier.empty() && !IsVideoExtension(ExtensionOf(source)));
    if (dvd && IsVideoExtension(ExtensionOf(source))) {
        std::fprintf(stderr, "vantrel-cc: %s: %s\n", source.c_str(), kDvdIntoElementaryText.data());
        return kExitUsage;
    }
    if (OverwritesAnInput(output, {source, captions})) return kExitUsage;
    Session session;
    ConsoleHost& host = session.host;
    CaptionProject& project = session.project;
    if (!LoadInput(project, host, captions, decode, "", inputRate)) return session.Stopped();

    host.SetSubject(output);
    TerminalProgress progress = ProgressOnTerminal("Multiplexing captions");
    // H.264 and HEVC video in any container take an SEI message per picture; an MPEG-2
    // elementary stream its DVD user data.
    const MpegOutcome outcome =
        dvd ? MultiplexToFile(project, source, output, progress)
            : EmbedToFile(project, source, output, progress,
                          carrier == "c608" ? CaptionCarrier::Track : CaptionCarrier::Pictures,
                          write.write708);
    if (outcome.status != MpegStatus::Completed) return session.Stopped();
    return host.MessageCount() == 0 ? kExitSuccess : kExitFailed;
}

int RunConvert(const std::string& input, const std::string& output, const WriteOptions& options,
               const DecodeOptions& decode, const StreamFormats& streams,
               const PictureRate& inputRate) {
    if (!InputOf(input, streams.from)) return UnknownFormat(input, "read");
    const CaptionFormat* format = OutputOf(output, streams.to);
    if (!streams.to.empty() && !format) {
        std::fprintf(stderr, "vantrel-cc: %s: no output format is named %s; the names are %s\n",
                     output.c_str(), streams.to.c_str(), OutputNames().c_str());
        return kExitUsage;
    }
    if (!format) return UnknownFormat(output, "write");
    if (options.style == TimecodeStyle::DropFrame && !format->timecodes) {
        std::fprintf(stderr, "vantrel-cc: %s: --drop-frame applies to %s output\n", output.c_str(),
                     TimecodeOutputs().c_str());
        return kExitUsage;
    }
    if (options.rate != &kCaptionRate && !format->rates && !InputOf(input, streams.from)->rates) {
        std::fprintf(stderr, "vantrel-cc: %s: --rate applies to %s files\n", output.c_str(),
                     RateOutputs().c_str());
        return kExitUsage;
    }
    if (SameFile(input, output)) {
        std::fprintf(stderr, "vantrel-cc: %s: %s\n", output.c_str(), kOverwritesInputText.data());
        return kExitUsage;
    }

    Session session;
    ConsoleHost& host = session.host;
    CaptionProject& project = session.project;
    if (!LoadInput(project, host, input, decode, streams.from, inputRate)) return session.Stopped();
    const bool noCaptions = project.captions.Empty();

    host.SetSubject(output);
    const bool written =
        output == kStandardStream
            ? ExportCaptionFile(project, *format, options, StandardOutput(host, project.cancel))
                      .write == WriteResult::Written
        : format->kind == FormatKind::Project
            ? SaveProject(project, output) == WriteResult::Written
            : ExportCaptionFile(project, output, *format, options).write == WriteResult::Written;
    if (!written) return session.Stopped();
    if (noCaptions) {
        host.SetSubject(OpenedPath(input));
        host.Inform(std::string(kNoCaptionsFoundText));
    }
    // Anything the operations had to report (captions left out, lines skipped) is a failure.
    return host.MessageCount() == 0 ? kExitSuccess : kExitFailed;
}

int RunCheck(const std::string& input, const std::string& profileName, CheckPrint print,
             TimecodeStyle style, const std::string& from, const Speller* speller) {
    if (!InputOf(input, from)) return UnknownFormat(input, "read");
    const std::optional<CheckProfile> profile = ProfileFor(profileName);
    if (!profile) return kExitUsage;
    Session session;
    ConsoleHost& host = session.host;
    CaptionProject& project = session.project;
    if (!LoadInput(project, host, input, {}, from)) return session.Stopped();

    const std::vector<Finding> findings = CheckCaptions(project.captions, *profile, speller);
    const std::string summary =
        CheckSummary(project.captions.Count(), profile->name, findings) + '\n';
    std::string out;
    switch (print) {
        case CheckPrint::Lines:
            out = FindingLines(findings, style) + summary;
            break;
        case CheckPrint::NamedLines:
            out = FindingLines(findings, style, input + '\t') + input + ": " + summary;
            break;
        case CheckPrint::Json:
            out = FindingsJson(findings, style);
            break;
        case CheckPrint::JUnit:
            out = JUnitFailures(findings, style, summary);
            break;
    }
    if (!Print(host, out)) return kExitFailed;
    if (print == CheckPrint::Json) std::fputs(summary.c_str(), stderr);
    return CountErrors(findings) > 0 ? kExitFailed : kExitSuccess;
}

namespace {

// One line per caption whose words were not found.
void TellUnplaced(ConsoleHost& host, const CaptionList& captions) {
    char text[kSubtitleTextCapacity + 1];
    int number = 1;
    for (const Caption* c = captions.Head(); c; c = c->next, ++number) {
        if (!c->unplaced) continue;
        const size_t n = c->GetRunningText(text, false, kSubtitleTextCapacity);
        host.Inform(
            "caption " + std::to_string(number) + " at " + FormatTimecode(c->startFrame) +
            " was not found in the speech: " + CaptionTextToUtf8(std::string_view(text, n)));
    }
}

}  // namespace

int RunAlign(const std::string& input, const std::string& video, const std::string& output) {
    const CaptionFormat* format = OutputOf(output);
    if (!format) return UnknownFormat(output, "write");
    if (OverwritesAnInput(output, {input, video})) return kExitUsage;
    Session session;
    ConsoleHost& host = session.host;
    CaptionProject& project = session.project;
    EditHistory history(project);
    if (InputOf(input)) {
        if (!LoadInput(project, host, input, {})) return session.Stopped();
    } else {
        host.SetSubject(input);
        std::vector<std::unique_ptr<Caption>> captions = ReadTranscriptFile(project, input);
        if (captions.empty() || PlaceCaptionsStep(history, std::move(captions), 0) < 0)
            return session.Stopped();
    }
    host.SetSubject(video);
    std::string error;
    const VideoFunctions* module = VideoModule(error);
    if (!module) {
        host.Inform(error);
        return kExitFailed;
    }
    TerminalProgress progress = ProgressOnTerminal("Timing to speech");
    const SpeechTimingOutcome outcome = TimeCaptionsToSpeech(
        history, SpeechSoundOf(module->readSpeechSound, video, project.cancel),
        static_cast<int32_t>(BuiltInProfile("broadcast")->operator[](CheckRule::MinDuration).limit),
        progress);
    if (!outcome.timed) {
        if (!outcome.message.empty()) host.Inform(outcome.message);
        return session.Stopped();
    }
    host.SetSubject(input);
    TellUnplaced(host, project.captions);
    host.Note(SpeechTimingSummary(static_cast<size_t>(project.captions.Count()), outcome.unplaced));
    host.SetSubject(output);
    const bool written =
        format->kind == FormatKind::Project
            ? SaveProject(project, output) == WriteResult::Written
            : ExportCaptionFile(project, output, *format, {}).write == WriteResult::Written;
    if (!written) return session.Stopped();
    return host.MessageCount() == 0 ? kExitSuccess : kExitFailed;
}

std::unique_ptr<HunspellSpeller> SpellerFor(const std::string& language) {
    std::string error;
    std::unique_ptr<HunspellSpeller> speller =
        HunspellSpeller::Open(language, error, DictionaryFolders());
    if (!speller) std::fprintf(stderr, "vantrel-cc: %s\n", error.c_str());
    return speller;
}

int RunList(const std::string& input, TimecodeStyle style, const DecodeOptions& decode,
            const std::string& from, const PictureRate& inputRate) {
    if (!InputOf(input, from)) return UnknownFormat(input, "read");
    Session session;
    ConsoleHost& host = session.host;
    CaptionProject& project = session.project;
    if (!LoadInput(project, host, input, decode, from, inputRate)) return session.Stopped();

    std::string out;
    char text[kSubtitleTextCapacity + 1];
    int index = 0;
    CancelPoll cancelled(&project.cancel);
    for (const Caption* c = project.captions.Head(); c; c = c->next) {
        if (cancelled()) return session.Stopped();  // nothing printed
        const size_t n = c->GetRunningText(text, false, kSubtitleTextCapacity);
        out += std::to_string(index++) + '\t' + FormatTimecode(c->startFrame, style) + '\t' +
               FormatTimecode(c->endFrame, style) + '\t' + ModeName(c->timingMode) + '\t' +
               CaptionTextToUtf8(std::string_view(text, n)) + '\n';
    }
    if (!Print(host, out)) return kExitFailed;
    if (project.captions.Empty()) host.Inform(std::string(kNoCaptionsFoundText));
    return host.MessageCount() == 0 ? kExitSuccess : kExitFailed;
}

}  // namespace vantrel::cli
