// vantrel-cc as a user runs it: its exit status, what it prints, and what it leaves on disk.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <thread>

#include "codec/encoder.h"
#include "files/caption_export.h"
#include "files/file_messages.h"
#include "files/files_test_support.h"
#include "files/project_file.h"
#include "files/scc.h"
#include "files/subtitles.h"

#ifdef VANTREL_CC

namespace vantrel {
namespace {

using namespace testing;
using namespace std::string_literals;

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's shadow memory needs more address space than a memory limit leaves.
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

struct Outcome {
    int status = -1;
    std::string out, err;
};

class CommandLine : public ::testing::Test {
  protected:
    // Starts the tool with standard error in a log file and standard output in another, or in
    // `out`; with a `pending` signal, that signal is sent before it starts, blocked, so that it
    // is pending when the tool begins; with `memory`, its data (heap and private mappings) is
    // limited to that: the address space of the video libraries it loads is not its to spend.
    pid_t Start(const std::vector<std::string>& args, int pending = 0, rlim_t memory = 0,
                std::string out = "") {
        std::vector<std::string> words{VANTREL_CC};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        if (out.empty()) out = logs.File("out");
        const std::string err = logs.File("err");
        const rlimit limit{memory, memory};
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
            ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
            if (memory != 0) ::setrlimit(RLIMIT_DATA, &limit);
            if (pending != 0) {
                sigset_t blocked;
                sigemptyset(&blocked);
                sigaddset(&blocked, pending);
                ::sigprocmask(SIG_BLOCK, &blocked, nullptr);
                ::kill(::getpid(), pending);
            }
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        return pid;
    }
    // Waits for the tool to end; one still running after `seconds` is killed (status -1).
    Outcome Finish(pid_t pid, int seconds = 30) {
        int raw = 0;
        pid_t ended = 0;
        for (int k = 0; k < seconds * 200 && (ended = ::waitpid(pid, &raw, WNOHANG)) == 0; ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (ended == 0 && ::kill(pid, SIGKILL) == 0 && ::waitpid(pid, nullptr, 0) == pid) raw = -1;
        const int status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return {status, ReadFileText(logs.File("out")), ReadFileText(logs.File("err"))};
    }
    // The write end of the named pipe `pipe`, open once the tool opens it for reading; -1 when
    // it has not within 10 seconds.
    static int OpenWriter(const std::string& pipe) {
        int fd = -1;
        for (int k = 0; fd < 0 && k < 10000; ++k) {
            fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd < 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (fd >= 0) ::fcntl(fd, F_SETFL, 0);
        return fd;
    }
    // A project of two captions, HELLO WORLD on frames 30-90 and É on 100-160, with a video, a
    // second file, and the frame it was saved on.
    std::string MakeProject(const std::string& name) {
        CaptionProject p;
        RecordingHost host;
        host.currentFrame = 4321;
        p.host = &host;
        p.videoPath = "/videos/x.mp4";
        p.secondPath = "second";
        PutText(*AddCaption(p.captions, 30, 90, "HELLO", 13), 14, 0, "WORLD");
        AddCaption(p.captions, 100, 160, "\xC9", 14, 4, Seamless);
        const std::string path = dir.File(name);
        EXPECT_EQ(SaveProject(p, path), WriteResult::Written);
        return path;
    }
    TempDir dir, logs;
};

// Each output is what the core makes of the same captions, chosen by its extension in any case;
// a project keeps its paths and frame; --drop-frame, anywhere after the command, writes and
// lists drop-frame timecodes. Each input is opened once, so that a project or a subtitle file
// converts through a named pipe as from a file.
TEST_F(CommandLine, ConvertsAndListsAsTheCoreWrites) {
    const std::string project = MakeProject("p.ccp");
    CaptionProject made;
    ASSERT_EQ(LoadProject(made, project), LoadResult::Loaded);
    const std::vector<uint8_t> stream = EncodeCaptions(made.captions).bytes;
    constexpr auto kDrop = TimecodeStyle::DropFrame;
    const auto d = [this](const char* name) { return dir.File(name); };
    const std::string srt = "1\r\n00:00:01,001 --> 00:00:02,002\r\nhi\r\n\r\n";
    const std::map<std::string, std::string> pipes = {{d("in.ccp"), ReadFileText(project)},
                                                      {d("in.srt"), srt}};
    for (const auto& [pipe, text] : pipes) ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        // The output file's content, or for a list the standard output.
        {{"convert", project, d("c.Scc")}, FormatCaptionFile(stream, "scc")},
        {{"convert", project, "--drop-frame", d("c.ccd")}, FormatCaptionFile(stream, "ccd", kDrop)},
        {{"convert", project, d("c.bin")}, FormatCaptionFile(stream, "bin")},
        {{"convert", project, d("c.dat")}, FormatCaptionFile(stream, "bin")},
        {{"convert", project, d("c.ccp")}, ReadFileText(project)},
        {{"convert", project, d("c.srt")}, SubtitleText(made.captions)},
        {{"convert", "--drop-frame", project, d("c.TXT")}, TimingReportText(made.captions, kDrop)},
        {{"convert", d("in.ccp"), d("b.ccp")}, ReadFileText(project)},
        {{"convert", d("in.srt"), d("b.srt")}, srt},
        {{"list", project},
         "0\t00:00:01:00\t00:00:03:00\tManual\tHELLO WORLD\n"
         "1\t00:00:03:10\t00:00:05:10\tSeamless\t\xC3\x89\n"},
        {{"list", "--drop-frame", project},
         "0\t00:00:01;00\t00:00:03;00\tManual\tHELLO WORLD\n"
         "1\t00:00:03;10\t00:00:05;10\tSeamless\t\xC3\x89\n"},
    };
    for (const auto& [args, want] : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const pid_t pid = Start(args);
        if (pipes.contains(args[1])) {
            const int fd = OpenWriter(args[1]);
            EXPECT_EQ(::write(fd, pipes.at(args[1]).data(), pipes.at(args[1]).size()),
                      ssize_t(pipes.at(args[1]).size()));
            ::close(fd);
        }
        const Outcome run = Finish(pid, 10);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(args[0] == "list" ? run.out : ReadFileText(args.back()), want);
    }
}

// The check prints a line per finding and a summary, or JSON and the summary on standard
// error; it ends with 1 on a finding of error severity and with 2 on wrong usage.
TEST_F(CommandLine, ChecksAgainstAProfile) {
    const std::string project = MakeProject("p.ccp"), profile = dir.File("ours.profile");
    // As an editor may save it, with a byte-order mark.
    WriteFileText(profile, "\xEF\xBB\xBFrows = 1\nmin-duration = 61\n");
    const std::string pipe = dir.File("pipe.profile"), huge = dir.File("huge.profile");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    WriteFileText(huge, std::string(1 << 20, '#') + "\nrows = 1\n");
    const std::string lines =
        "00:00:01:00\t1\terror\trows\t2 rows of text; at most 1\n"
        "00:00:01:00\t1\twarning\tmin-duration\tshown 60 frames; at least 61\n"
        "00:00:03:10\t2\twarning\tmin-duration\tshown 60 frames; at least 61\n";
    const std::string summary =
        "2 captions checked against the " + profile + " profile: 1 error, 2 warnings\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;
    } cases[] = {
        // clang-format off
        {{"check", project}, 0, "2 captions checked against the broadcast profile: 0 errors, 0 warnings\n", ""},
        {{"check", project, "--profile", profile}, 1, lines + summary, ""},
        {{"check", "--json", project, "--drop-frame", "--profile", profile}, 1,
         "[\n  {\"caption\": 1, \"start\": \"00:00:01;00\", \"severity\": \"error\", \"rule\": \"rows\", "
         "\"value\": 2, \"limit\": 1, \"message\": \"2 rows of text; at most 1\"},\n"
         "  {\"caption\": 1, \"start\": \"00:00:01;00\", \"severity\": \"warning\", \"rule\": \"min-duration\", "
         "\"value\": 60, \"limit\": 61, \"message\": \"shown 60 frames; at least 61\"},\n"
         "  {\"caption\": 2, \"start\": \"00:00:03;10\", \"severity\": \"warning\", \"rule\": \"min-duration\", "
         "\"value\": 60, \"limit\": 61, \"message\": \"shown 60 frames; at least 61\"}\n]\n", summary},
        {{"check", project, "--profile", project}, 2, "", "vantrel-cc: " + project + ": line 1: expected KEY = VALUE\n"},
        {{"list", project, "--json"}, 2, "", ""},
        // Neither waited on nor read: the profile is wrong, not the captions.
        {{"check", project, "--profile", pipe}, 2, "", "vantrel-cc: " + pipe + ": Not a regular file\n"},
        {{"check", project, "--profile", "/dev/zero"}, 2, "", "vantrel-cc: /dev/zero: Not a regular file\n"},
        {{"check", project, "--profile", huge}, 2, "", "vantrel-cc: " + huge + ": larger than 1 MiB, which no profile is; not read\n"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const Outcome run = Finish(Start(c.args));
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, c.out);
        if (c.status != 2 || !c.err.empty()) {
            EXPECT_EQ(run.err, c.err);
        }
    }
}

// Help ends with status 0; wrong usage with 2 and the usage or one line; a failure with 1 and
// one line that names what failed, leaving no output and no temporary file; anything left out
// (captions, data skipped, captions past the end of the video, no caption at all) with 1 and
// one line, or a line per kind after the file's, the output written all the same. The inputs
// stay as they were.
TEST_F(CommandLine, ExitStatusesAndMessages) {
    const Outcome help = Finish(Start({"--help"}));
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("vantrel-cc convert INPUT OUTPUT"), std::string::npos);
    const auto d = [this](const char* name) { return dir.File(name); };
    const std::string project = MakeProject("p.ccp"), before = ReadFileText(project);
    CaptionProject close, empty;
    for (int32_t start : {30, 33}) {
        AddCaption(close.captions, start, start + 60, "TOO CLOSE", 14, 0, Seamless);
    }
    ASSERT_EQ(SaveProject(close, d("close.ccp")), WriteResult::Written);
    ASSERT_EQ(SaveProject(empty, d("empty.ccp")), WriteResult::Written);
    // A sequence header, a group header and ten pictures.
    std::string tiny = "\0\0\1\xB3\x0A\x00\x78\x13"s + "\0\0\1\xB8\x08\x00\x08\x00"s;
    for (int p = 0; p < 10; ++p) tiny += "\0\0\1\0\x01\x0F\xFF\xF8"s;
    // RCL, "ABAB" with bad parity in the first byte of one pair and the second of the next (41
    // and 42, not C1 and C2), EOC, two null pairs and EDM on seven pictures at 29.97: as DVD
    // caption data after the group header, and as A/53 data after each picture.
    const char* aa[] = {"\x94\x20", "\x41\xC2", "\xC1\x42", "\x94\x2F",
                        "\x80\x80", "\x80\x80", "\x94\x2C"};
    std::string dvd = tiny.substr(0, 16) + "\0\0\1\xB2\x43\x43\x01\xF8\x8E"s,
                a53 = dvd.substr(0, 16);
    dvd[7] = a53[7] = 0x14;
    for (const char* pair : aa) {
        dvd += "\xFF"s + pair;
        a53 += "\0\0\1\0\x01\x0F\xFF\xF8\0\0\1\xB2GA94\x03\x41\xFF\xFC"s + pair;
    }
    const std::pair<const char*, std::string> inputs[] = {
        {"empty.scc", "Scenarist_SCC V1.0\r\n\r\n"},
        {"wrong.scc", "WEBVTT\n\n00:01.000 --> 00:02.000\nHi\n"},
        {"wrong.vtt", "1\n00:00:01,000 --> 00:00:02,000\nHi\n"},
        {"far.scc", "Scenarist_SCC V1.0\r\n\r\n99:59:59:00\t9420 94ae 9470 c849 942f\r\n"},
        {"big.scc", "Scenarist_SCC V1.0\r\n"},
        {"text.m2v", "hello\n"},
        {"cut.ccp", ReadFileText(VANTREL_SOURCE_DIR "/resources/demo/demo.ccp").substr(0, 339)},
        // A roll-up line (RU2 doubled, CR, text), a malformed timecode (once read as 86:59:28,
        // which put every later line out of order), a pop-on caption, a channel-2 code with
        // text, and a line past the last frame read.
        {"mixed.scc",
         "Scenarist_SCC V1.0\n\n00:00:00:00\t9425 9425 94ad 94ad 4c49 d645\n\n"
         "00:05219:28\t942c\n\n00:00:01:00\t9420 94ae 9470 c849 942f\n\n"
         "00:00:02:00\t1c20 d9cf\n\n00:00:03:00\t942c\n\n100:00:00:00\t942c\n"},
        {"tiny.m2v", tiny},
        {"dvd.m2v", dvd + tiny.substr(16)},
        {"a53.m2v", a53},
        // The pairs of a line run past the next line's timecode; AA has bad parity.
        {"overrun.scc",
         "Scenarist_SCC V1.0\n\n00:00:01:00\t9420 9470 4141 942f\n00:00:01:03\t9420 9470 c2c2 "
         "942f\n00:00:03:00\t942c\n"},
        // A caption of a 23.976 programme: 10:00 is picture 240 (10.010 s), 12:00 picture 288
        // (12.012 s).
        {"film.scc",
         "Scenarist_SCC V1.0\n\n00:00:10:00\t9420 9470 c8e9 942f\n\n00:00:12:00\t942c\n"},
        // Three roll-up lines of two rows, then an erase.
        {"live.scc",
         "Scenarist_SCC V1.0\n\n00:00:00:00\t9425 9425 94ad 94ad 9470 9470 4c49 d645 94ad 94ad "
         "4fce 94ad 94ad c149 5280\n\n00:00:02:00\t942c 942c\n"},
    };
    for (const auto& [name, text] : inputs) WriteFileText(d(name), text);
    for (const char* format : {"ccd", "mcc"}) {
        WriteFileText(d(("empty."s + format).c_str()), FormatCaptionFile({}, format));
    }
    std::filesystem::resize_file(d("big.scc"), (int64_t{256} << 20) + 1);
    std::filesystem::create_symlink(project, d("link.ccp"));
    std::filesystem::create_hard_link(project, d("hard.ccp"));
    struct Case {
        std::vector<std::string> args;
        std::string err;  // in standard error; when it names the tool, the whole of it
        int status = 1;
        std::optional<std::string> output = {};  // what the last argument holds after
        rlim_t memory = 0;
        std::string out = {};  // standard output
    };
    const std::string overwrite = "the output would overwrite the input";
    const std::string cc = "vantrel-cc: ", sccHead(kSccFileHeader);
    const std::string aaSrt = "1\r\n00:00:00,100 --> 00:00:00,200\r\nABAB\r\n\r\n";
    const auto badParity = [&](const char* name) {
        return cc + "Read from " + d(name) +
               " by guessing:\n  2 pairs with bad parity, the first at 00:00:00:01 (read as if "
               "the parity were right; a receiver may show a block there or nothing).\n";
    };
    const std::vector<Case> cases = {
        {{}, "", 2},
        {{"frobnicate"}, "", 2},
        {{"convert", "a.scc"}, "", 2},
        {{"list"}, "", 2},
        {{"convert", project, d("f.doc")}, "", 2},
        {{"list", d("in.xyz")}, "", 2},
        {{"convert", d("in.srt"), d("f.srt"), "--drop-frame"}, "", 2},
        {{"mux", "--drop-frame", "a", "b", "c"}, "", 2},
        {{"mux", "a", "b"}, "", 2},
        {{"convert", "a.scc", "b.srt", "--channel", "5"}, "", 2},
        {{"convert", "a.scc", "b.scc", "--rate", "23.98"}, "", 2},
        {{"convert", "a.scc", "b.scc", "--rate", "23.976", "--drop-frame"}, "", 2},
        {{"check", "a.scc", "--rate", "25"}, "", 2},
        {{"convert", project, d("r.srt"), "--rate", "25"},
         "--rate applies to .scc and .mcc files",
         2},
        // Its End Of Caption is the fourth pair: frame 303, 10.110 s.
        {{"convert", "--rate", "23.976", d("film.scc"), d("film.srt")},
         "",
         0,
         "1\r\n00:00:10,110 --> 00:00:12,012\r\nHi\r\n\r\n"},
        {{"convert", project, dir.Path() + "/./p.ccp"}, overwrite, 2},
        {{"convert", project, d("link.ccp")}, overwrite, 2},
        {{"convert", d("hard.ccp"), project}, overwrite, 2},
        {{"mux", project, d("text.m2v"), d("text.m2v")}, "would overwrite an input", 2},
        {{"convert", d("missing.scc"), d("f.srt")}, "Error opening file " + d("missing.scc")},
        // A URL is not downloaded, whether read or copied.
        {{"list", "http://127.0.0.1:9/x.mp4"},
         cc + "Error opening file http://127.0.0.1:9/x.mp4: it is not a local file; only a file "
              "on this computer is read\n"},
        {{"mux", project, "http://127.0.0.1:9/x.mp4", d("u.mp4")},
         "http://127.0.0.1:9/x.mp4: it is not a local file"},
        {{"list", "http://127.0.0.1:9/x.m2v"},
         cc + "Error opening file http://127.0.0.1:9/x.m2v: it is not a local file; only a file "
              "on this computer is read\n"},
        {{"mux", project, "http://127.0.0.1:9/x.m2v", d("u.m2v")},
         "http://127.0.0.1:9/x.m2v: it is not a local file"},
        // What our export writes when there are no captions: zero captions, and said.
        {{"list", d("empty.scc")}, cc + d("empty.scc") + ": no captions were found\n"},
        {{"list", d("empty.ccd")}, cc + d("empty.ccd") + ": no captions were found\n"},
        {{"list", d("empty.mcc")}, cc + d("empty.mcc") + ": no captions were found\n"},
        {{"convert", d("wrong.scc"), d("f.srt")}, d("wrong.scc") + " is not a Scenarist"},
        {{"convert", d("wrong.vtt"), d("f.scc")}, d("wrong.vtt") + " is not a WebVTT file"},
        {{"convert", project, d("no/such/dir/f.scc")}, "Error saving file " + d("no/such")},
        {{"convert", d("cut.ccp"), d("f.scc")},
         d("cut.ccp") + ": Caption record 5 of 5 is damaged: the file ends inside it.\n"},
        {{"convert", d("big.scc"), d("f.srt")},
         cc + "File " + d("big.scc") + " is larger than 256 MiB and was not read\n"},
        // Memory running out anywhere: here the pair stream of a timecode 100 hours in.
        {{"convert", d("far.scc"), d("f.srt")},
         cc + d("far.scc") + ": not enough memory to finish; nothing was written\n",
         1,
         {},
         50000 << 10},
        {{"mux", project, d("text.m2v"), d("f.m2v")}, "(it is a text file)"},
        {{"list", project},
         "the list could not be written to standard output: No space left on device\n",
         1,
         {},
         0,
         "/dev/full"},
        {{"convert", d("close.ccp"), d("o.scc")},
         cc + d("o.scc") +
             ": 1 caption could not be loaded in time and is shown late. It starts at "
             "00:00:01:03 (shown from 00:00:01:09).\n",
         1,
         sccHead + "\r\n00:00:00:22\t9420 94AE 9470 544F 4F20 434C 4FD3 4580 942F\r\n\r\n"
                   "00:00:01:01\t9420 94AE 9470 544F 4F20 434C 4FD3 4580 942F\r\n\r\n"
                   "00:00:03:03\t942C\r\n"},
        // Roll-up lines become pop-on captions, which is said without failing; asked to, they
        // are left out, which fails.
        {{"convert", "--srt-plain", d("live.scc"), d("o.srt")},
         cc + "Imported from " + d("live.scc") + ":\n  3 roll-up lines became 2 pop-on captions.\n",
         0,
         "1\r\n00:00:00,200 --> 00:00:00,434\r\nlive\r\non\r\n\r\n"
         "2\r\n00:00:00,434 --> 00:00:02,002\r\nair\r\n\r\n"},
        {{"convert", "--channel=3", d("live.scc"), d("o3.srt")},
         cc + "Channel 3 is not in " + d("live.scc") +
             ": the format holds field 1 only, with channels 1 and 2; channels 3 and 4 are in "
             "field 2\n"},
        {{"convert", "--roll-up=skip", d("mixed.scc"), d("o.srt")},
         // One sentence a line, the file named once; the channel-2 pair D9CF has bad parity.
         cc + "Imported from " + d("mixed.scc") +
             ":\n  it holds 608 CC1, CC2; CC1 was read (--channel and --service read another).\n" +
             cc + "Not imported from " + d("mixed.scc") +
             ":\n  1 roll-up code, the first at 00:00:00:00 (roll-up captions were to be left "
             "out; the text these codes put on the screen is in none).\n  2 pairs of caption "
             "channel 2, the first at 00:00:02:00 (only channel 1 is read).\n  1 unreadable line, "
             "the first on line 5 (a line must begin with a timecode hh:mm:ss:ff or hh:mm:ss;ff, "
             "minutes and seconds below 60).\n  1 line, the first on line 13 at 100:00:00:00 "
             "(timecodes past 99:59:59:29 are not read).\n" +
             cc +
             "Read by guessing:\n  1 pair with bad parity, the first on line 9 at 00:00:02:01 "
             "(read as if the parity were right; a receiver may show a block there or nothing).\n",
         1,
         "1\r\n00:00:01,134 --> 00:00:03,003\r\nHI\r\n\r\n"},
        {{"convert", d("overrun.scc"), d("q.srt")},
         cc + "Read from " + d("overrun.scc") +
             " by guessing:\n  1 line whose timecode falls inside the pairs before it, the first "
             "on line 4 at 00:00:01:03 (its pairs were sent after those before it, as a receiver "
             "fed them shows them).\n  1 pair with bad parity, the first on line 3 at "
             "00:00:01:02 (read as if the parity were right; a receiver may show a block there "
             "or nothing).\n",
         1,
         "1\r\n00:00:01,101 --> 00:00:01,235\r\nAA\r\n\r\n2\r\n00:00:01,235 --> "
         "00:00:03,003\r\nBB\r\n\r\n"},
        {{"convert", d("dvd.m2v"), d("dvd.srt")}, badParity("dvd.m2v"), 1, aaSrt},
        {{"convert", d("a53.m2v"), d("a53.srt")}, badParity("a53.m2v"), 1, aaSrt},
        {{"convert", d("empty.ccp"), d("e.scc")},
         cc + d("empty.ccp") + ": no captions were found\n",
         1,
         sccHead},
        {{"mux", project, d("tiny.m2v"), d("o.m2v")},
         cc + d("o.m2v") +
             ": 2 captions start at or after the last picture of the video (00:00:00:09) and "
             "were left out. The first starts at 00:00:01:00.\n",
         1,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        if (c.memory != 0 && kSanitized) continue;
        const Outcome run = Finish(Start(c.args, 0, c.memory, c.out));
        EXPECT_EQ(run.status, c.status);
        if (c.status == 0 && c.err.empty()) {
            EXPECT_EQ(run.err, "");  // a conversion with nothing to say says nothing
        } else {
            EXPECT_EQ(run.err.rfind(cc, 0), 0u) << run.err;
        }
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
        if (c.err.starts_with(cc)) {
            EXPECT_EQ(run.err, c.err);
        } else if (!c.err.empty()) {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        }
        if (c.output) {
            ASSERT_TRUE(std::filesystem::exists(c.args.back()));
            EXPECT_EQ(c.args[0] == "mux" ? "" : ReadFileText(c.args.back()), *c.output);
        }
    }
    EXPECT_EQ(dir.Names(),
              (std::vector<std::string>{
                  "a53.m2v",   "a53.srt",  "big.scc",   "close.ccp", "cut.ccp",     "dvd.m2v",
                  "dvd.srt",   "e.scc",    "empty.ccd", "empty.ccp", "empty.mcc",   "empty.scc",
                  "far.scc",   "film.scc", "film.srt",  "hard.ccp",  "link.ccp",    "live.scc",
                  "mixed.scc", "o.m2v",    "o.scc",     "o.srt",     "overrun.scc", "p.ccp",
                  "q.srt",     "text.m2v", "tiny.m2v",  "wrong.scc", "wrong.vtt"}));
    EXPECT_EQ(ReadFileText(project), before);
    EXPECT_GT(ReadFileText(d("o.m2v")).size(), tiny.size()) << "the copy with its captions";
}

// An MPEG-2 stream made by FFmpeg, or "" when FFmpeg is missing.
std::string MakeStream(const TempDir& dir, int frames) {
    const std::string path = dir.File("video.m2v");
    const std::string command =
        "ffmpeg -v error -y -f lavfi -i testsrc=size=160x120:rate=30000/1001 -frames:v " +
        std::to_string(frames) + " -c:v mpeg2video -g 15 '" + path + "' 2>/dev/null";
    return std::system(command.c_str()) == 0 ? path : "";
}

TEST_F(CommandLine, MultiplexesIntoAStreamAndListsIt) {
    const std::string video = MakeStream(dir, 240);
    if (video.empty()) GTEST_SKIP() << "ffmpeg is not installed";
    const Outcome mux =
        Finish(Start({"mux", MakeProject("p.ccp"), video, dir.File("captioned.m2v")}));
    ASSERT_EQ(mux.status, 0) << mux.err;
    const Outcome list = Finish(Start({"list", dir.File("captioned.m2v")}));
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out,
              "0\t00:00:01:00\t00:00:03:00\tManual\tHELLO WORLD\n"
              "1\t00:00:03:10\t00:00:05:10\tManual\t\xC3\x89\n");
}

// Ctrl+C or SIGTERM while the tool reads a long input, waits for one, or sent before it starts
// (blocked, so that it is pending when the tool sets up its interrupt guard), ends with status
// 1, one line and no output. A long input is a named pipe fed with `head` and then `chunk` over
// and over: that the tool has opened it says that it is up and reading, and only the signal
// can end it before 300 MiB. A pipe whose writer writes nothing, or that has no writer at all,
// would keep the tool waiting for ever.
TEST_F(CommandLine, CtrlCEndsWithOneLineAndNoOutput) {
    const std::string video = MakeStream(dir, 30);
    const std::string project = MakeProject("p.ccp");
    const std::string scc = "\r\n00:00:00:00\t9420 94ae 9470 c849 942f\r\n";
    std::string raw = "\x94\x20\x94\xae\x94\x70\xc8\x49\x94\x2f";
    raw.resize(128, '\x80');  // a caption every 64 frames, so that decoding takes long too
    const std::string header(kSccFileHeader);
    struct Case {
        std::vector<std::string> args;  // "<" names the pipe, "" when the signal comes first
        std::string pipe;
        std::string head, chunk;  // no chunk: the writer writes nothing
        bool noWriter = false;
        int signal = SIGINT;
    };
    const std::vector<Case> cases = {
        {{"convert", "<", dir.File("o.ccd")}, "in.scc", header, scc},
        {{"convert", "<", dir.File("o.scc")}, "in.bin", "\xFF\xFF\xFF\xFF", raw},
        {{"mux", project, "<", dir.File("o.m2v")}, "in.m2v", "", ReadFileText(video)},
        {{"convert", project, dir.File("o.scc")}, "", "", ""},
        {{"convert", video, dir.File("o.scc")}, "", "", ""},  // before the worker starts
        {{"convert", "<", dir.File("o.scc")}, "in.ccp", "", "", true},
        {{"list", "<"}, "in.srt", "", "", true, SIGTERM},
        {{"mux", project, "<", dir.File("o.m2v")}, "in.m2v", "", "", true, SIGTERM},
        {{"list", "<"}, "in.scc", "", ""},
        {{"list", "<"}, "in.m2v", "", "", false, SIGTERM},  // read on the worker
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args) + " " + c.pipe);
        const bool fedVideo = !c.chunk.empty() && c.pipe == "in.m2v";
        if (video.empty() && (fedVideo || c.args[1] == video)) continue;  // no FFmpeg
        const std::string pipe = c.pipe.empty() ? "" : dir.File(c.pipe);
        std::vector<std::string> args = c.args;
        std::replace(args.begin(), args.end(), std::string("<"), pipe);
        if (!pipe.empty()) {
            ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        }
        const pid_t pid = Start(args, pipe.empty() ? c.signal : 0);
        int fd = -1;
        if (!pipe.empty()) {
            const std::string wchan = "/proc/" + std::to_string(pid) + "/wchan";
            for (int k = 0; c.noWriter && k < 2000 && ReadFileText(wchan) != "wait_for_partner";
                 ++k) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            EXPECT_TRUE(!c.noWriter || ReadFileText(wchan) == "wait_for_partner");
            fd = c.noWriter ? -1 : OpenWriter(pipe);
            ::kill(pid, c.signal);
        }
        if (fd >= 0 && !c.chunk.empty()) {
            const auto oldPipe = std::signal(SIGPIPE, SIG_IGN);
            std::string body;
            while (body.size() < (1u << 16)) body += c.chunk;
            bool open = ::write(fd, c.head.data(), c.head.size()) >= 0;
            for (size_t sent = 0; open && sent < (300u << 20); sent += body.size()) {
                open = ::write(fd, body.data(), body.size()) > 0;
            }
            std::signal(SIGPIPE, oldPipe);
        }
        const Outcome run = Finish(pid);
        if (fd >= 0) ::close(fd);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.ends_with(": cancelled\n")) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.out, "");
        for (const std::string& n : dir.Names()) {
            EXPECT_FALSE(n.starts_with("o.") || n[0] == '.') << n;  // outputs, temporary files
        }
        if (!pipe.empty()) std::filesystem::remove(pipe);
    }
}

// A playlist named as a transport stream reads nothing it names: the listener it points at
// hears no request, and the refusal says why.
TEST_F(CommandLine, RefusesAPlaylistDisguisedAsAStream) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    const std::string playlist = dir.File("news.ts");
    WriteFileText(playlist, "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\n" + url +
                                "/a.ts\n#EXTINF:10,\n" + dir.File("b.ts") + "\n#EXT-X-ENDLIST\n");
    const Outcome run = Finish(Start({"list", playlist}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "vantrel-cc: Error opening file " + playlist + ": " +
                           std::string(kNamesOtherFilesText) + "\n");
    EXPECT_LT(::accept(listener, nullptr, nullptr), 0) << "a request reached " << url;
    ::close(listener);
}

// FFmpeg's libraries are loaded for video alone: the start and a text conversion load none of
// them; without the video module a text conversion still runs, and a video says what is missing
// and where it was looked for, leaving no output.
TEST_F(CommandLine, LoadsTheVideoModuleOnlyForVideo) {
    const std::string scc = dir.File("a.scc"), video = dir.File("x.mp4");
    WriteFileText(scc,
                  "Scenarist_SCC V1.0\r\n\r\n00:00:01:00\t9420 94ae 9470 c849 942f\r\n\r\n"
                  "00:00:03:00\t942c\r\n");
    WriteFileText(video, std::string(4096, '\x55'));
    struct Row {
        const char* name;
        std::vector<std::string> args;
        bool loads;
    };
    const Row rows[] = {{"help", {"--help"}, false},
                        {"text", {"convert", scc, dir.File("a.srt")}, false},
                        {"video", {"list", video}, true}};
    ::setenv("LD_DEBUG", "files", 1);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Outcome run = Finish(Start(row.args));
        EXPECT_EQ(run.err.find("/libavformat.so") != std::string::npos, row.loads);
        EXPECT_EQ(run.err.find("/libavcodec.so") != std::string::npos, row.loads);
        // The synthesiser only for timing to speech.
        EXPECT_EQ(run.err.find("/libespeak-ng.so"), std::string::npos);
    }
    ::unsetenv("LD_DEBUG");
    const std::string absent = dir.File("gone/vantrel-video.so");
    ::setenv("VANTREL_VIDEO_MODULE", absent.c_str(), 1);
    const Outcome text = Finish(Start({"convert", scc, dir.File("b.srt")}));
    const Outcome list = Finish(Start({"list", video}));
    const Outcome mux = Finish(Start({"mux", scc, video, dir.File("c.mp4")}));
    ::unsetenv("VANTREL_VIDEO_MODULE");
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(ReadFileText(dir.File("b.srt")), "1\r\n00:00:01,134 --> 00:00:03,003\r\nHI\r\n\r\n");
    const std::string missing = "Error opening file " + video +
                                ": video files are read and written by vantrel-video.so, which "
                                "is not installed (looked for at " +
                                absent + ")\n";
    EXPECT_EQ(list.status, 1);
    EXPECT_EQ(list.err, "vantrel-cc: " + missing);
    EXPECT_EQ(mux.status, 1);
    EXPECT_EQ(mux.err, "vantrel-cc: " + dir.File("c.mp4") + ": " + missing);
    EXPECT_FALSE(std::filesystem::exists(dir.File("c.mp4")));
}

// 16-bit mono samples of a WAV file as espeak-ng writes it, and its rate.
std::vector<int16_t> WavSamples(const std::string& bytes, int& rate) {
    std::vector<int16_t> samples;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        uint32_t size = 0;
        std::memcpy(&size, bytes.data() + at + 4, 4);
        if (bytes.compare(at, 4, "fmt ") == 0) std::memcpy(&rate, bytes.data() + at + 12, 4);
        if (bytes.compare(at, 4, "data") == 0) {
            size = static_cast<uint32_t>(std::min<size_t>(size, bytes.size() - at - 8));
            samples.resize(size / 2);
            std::memcpy(samples.data(), bytes.data() + at + 8, samples.size() * 2);
            break;
        }
        at += 8 + size;
    }
    return samples;
}

std::string WavBytes(const std::vector<int16_t>& samples, int rate) {
    const auto word = [](uint32_t v, int n) { return std::string(reinterpret_cast<char*>(&v), n); };
    const uint32_t data = static_cast<uint32_t>(samples.size() * 2);
    return "RIFF" + word(36 + data, 4) + "WAVEfmt " + word(16, 4) + word(1, 2) + word(1, 2) +
           word(rate, 4) + word(rate * 2, 4) + word(2, 2) + word(16, 2) + "data" + word(data, 4) +
           std::string(reinterpret_cast<const char*>(samples.data()), data);
}

// Sentences spoken by espeak-ng in two voices, with pauses of known length, and a transcript of
// them with one sentence more that is never said: each spoken caption starts within three
// frames of its first sound, and the unsaid one is reported.
TEST_F(CommandLine, AlignsATranscriptToSpokenSentences) {
    if (std::system("espeak-ng --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "espeak-ng is not installed (scripts/install-deps.sh installs it)";
    const char* sentences[] = {"The river rose overnight and the bridge was closed.",
                               "Seven hundred people came to the meeting in the town hall.",
                               "Nobody expected the weather to change so quickly."};
    const char* voices[] = {"en-us", "en-gb", "en-us+f3"};
    const double pauses[] = {1.3, 0.4, 2.0};
    std::vector<int16_t> programme;
    std::vector<double> onsets;
    int rate = 22050;
    std::string transcript;
    for (int k = 0; k < 3; ++k) {
        const std::string wav = dir.File("s" + std::to_string(k) + ".wav");
        ASSERT_EQ(std::system(("espeak-ng -v " + std::string(voices[k]) + " -w '" + wav + "' '" +
                               sentences[k] + "'")
                                  .c_str()),
                  0);
        const std::vector<int16_t> spoken = WavSamples(ReadFileText(wav), rate);
        programme.insert(programme.end(), static_cast<size_t>(pauses[k] * rate), 0);
        const auto loud =
            std::find_if(spoken.begin(), spoken.end(), [](int16_t s) { return std::abs(s) > 328; });
        ASSERT_NE(loud, spoken.end());
        onsets.push_back(static_cast<double>(programme.size() + (loud - spoken.begin())) / rate);
        programme.insert(programme.end(), spoken.begin(), spoken.end());
        transcript += std::string(sentences[k]) + "\n\n";
        if (k == 1) transcript += "This line of the script was cut from the programme.\n\n";
    }
    programme.insert(programme.end(), rate, 0);
    WriteFileText(dir.File("programme.wav"), WavBytes(programme, rate));
    WriteFileText(dir.File("script.txt"), transcript);
    for (const char* over : {"script.txt", "programme.wav"}) {
        EXPECT_EQ(Finish(Start({"align", dir.File("script.txt"), dir.File("programme.wav"),
                                dir.File(over)}))
                      .status,
                  2)
            << over;
    }
    const Outcome run = Finish(
        Start({"align", dir.File("script.txt"), dir.File("programme.wav"), dir.File("timed.srt")}),
        120);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("caption 3 at "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("was not found in the speech: This line of the script"),
              std::string::npos);
    EXPECT_EQ(run.err.find("caption 1 at "), std::string::npos) << run.err;
    const std::string srt = ReadFileText(dir.File("timed.srt"));
    std::vector<double> starts;
    for (size_t at = 0; (at = srt.find(" --> ", at)) != std::string::npos; at += 5) {
        const std::string t = srt.substr(at - 12, 12);
        starts.push_back(std::stoi(t.substr(0, 2)) * 3600 + std::stoi(t.substr(3, 2)) * 60 +
                         std::stoi(t.substr(6, 2)) + std::stoi(t.substr(9, 3)) / 1000.0);
    }
    ASSERT_EQ(starts.size(), 4u) << srt;
    const double frame = 1001.0 / 30000;
    for (int k : {0, 1, 2})
        EXPECT_NEAR(starts[k < 2 ? k : 3], onsets[k], 3 * frame) << "sentence " << k;
}

// What Python's standard library reads of a report: the script's standard output, or "" with a
// skip message when there is no python3.
std::string PythonReads(const std::string& script, const std::string& report) {
    TempDir scripts;
    WriteFileText(scripts.File("read.py"), script);
    FILE* pipe = ::popen(("python3 " + scripts.File("read.py") + " '" + report + "'").c_str(), "r");
    std::string out;
    char chunk[4096];
    for (size_t n; pipe && (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        out.append(chunk, n);
    if (pipe && ::pclose(pipe) != 0) ADD_FAILURE() << "python3 failed on " << report << ": " << out;
    return out;
}

// 200 files, 3 of them damaged (no header, nothing, binary noise) and 5 with a caption of two
// rows, which the profile refuses: the conversion writes the 197, the check reads them, both
// go on past the 3 and end with 1; the JUnit and JSON reports say the same of every file.
TEST_F(CommandLine, ConvertsAndChecksManyFilesPastDamagedOnes) {
    const std::string oneRow =
        "Scenarist_SCC V1.0\r\n\r\n00:00:01:00\t9420 94ae 9470 c849 942f\r\n";
    const std::string twoRows =
        "Scenarist_SCC V1.0\r\n\r\n00:00:01:00\t9420 94ae 94d0 c849 9470 c849 942f\r\n";
    const std::map<int, std::string> damaged = {
        {50, "WEBVTT\n\n00:01.000 --> 00:02.000\nHi\n"}, {120, ""}, {199, "\x01\xFF\x80\xFE\x00"s}};
    TempDir in, out;
    std::vector<std::string> names, refused, badNames;
    for (int k = 0; k < 200; ++k) {
        // One name needs escaping in both reports and holds a byte that is not UTF-8.
        const std::string name = (k == 7        ? "two \"&<x>\xff"s
                                  : k % 40 == 7 ? "two"
                                                : "f") +
                                 std::to_string(1000 + k).substr(1) + ".scc";
        const std::string shown = k == 7 ? "two \"&<x>\xEF\xBF\xBD"
                                           "007.scc"
                                         : name;
        names.push_back(in.File(name));
        WriteFileText(names.back(), damaged.contains(k) ? damaged.at(k)
                                    : k % 40 == 7       ? twoRows
                                                        : oneRow);
        if (damaged.contains(k)) badNames.push_back(name);
        if (damaged.contains(k) || k % 40 == 7) refused.push_back(shown);
    }
    std::vector<std::string> args = {"convert",  "--to",   "srt", "--out-dir",
                                     out.Path(), "--jobs", "2"};
    args.insert(args.end(), names.begin(), names.end());
    const Outcome converted = Finish(Start(args), 120);
    EXPECT_EQ(converted.status, 1);
    EXPECT_TRUE(
        converted.err.ends_with(" 200 files into " + out.Path() + ": 197 converted, 3 failed\n"))
        << converted.err;
    std::vector<std::string> written = out.Names();
    EXPECT_EQ(written.size(), 197u);
    for (const std::string& bad : badNames) {
        EXPECT_EQ(std::count(written.begin(), written.end(), bad.substr(0, bad.size() - 3) + "srt"),
                  0);
        EXPECT_NE(converted.err.find(in.File(bad)), std::string::npos) << bad;
    }
    for (const std::string& name : written) {
        EXPECT_NE(ReadFileText(out.File(name)).find("00:00:01,"), std::string::npos) << name;
    }

    const std::string profile = dir.File("rows.profile");
    WriteFileText(profile, "rows = 1\n");
    args = {"check", "--profile", profile, "--junit", dir.File("report.xml")};
    args.insert(args.end(), names.begin(), names.end());
    const Outcome junit = Finish(Start(args), 120);
    EXPECT_EQ(junit.status, 1);
    EXPECT_TRUE(junit.err.ends_with(" 200 files checked: 192 passed, 5 with errors, 3 not read\n"));
    args[3] = "--json";
    args.erase(args.begin() + 4);
    const Outcome json = Finish(Start(args), 120);
    EXPECT_EQ(json.status, 1);
    std::string junitSeen = "200 5 3\n", jsonSeen = "200\n";
    for (const std::string& name : refused) {
        const bool bad = std::count(badNames.begin(), badNames.end(), name) > 0;
        junitSeen += name + (bad ? " error\n" : " failure=rows\n");
        jsonSeen += name + (bad ? " 1 False\n" : " 1 True rows\n");
    }
    EXPECT_EQ(
        PythonReads("import sys, xml.etree.ElementTree as E\n"
                    "suite = E.parse(sys.argv[1]).getroot().find('testsuite')\n"
                    "print(suite.get('tests'), suite.get('failures'), suite.get('errors'))\n"
                    "for case in suite.iter('testcase'):\n"
                    "    kinds = [c.tag + ('=' + c.get('type') if c.tag == 'failure' else '')\n"
                    "             for c in case if c.tag in ('failure', 'error')]\n"
                    "    if kinds: print(case.get('name').split('/')[-1], *kinds)\n",
                    dir.File("report.xml")),
        junitSeen);
    WriteFileText(dir.File("report.json"), json.out);
    EXPECT_EQ(
        PythonReads(
            "import sys, json\nd = json.load(open(sys.argv[1]))\nprint(len(d))\n"
            "for name, v in d.items():\n"
            "    errors = [f['rule'] for f in v['findings'] or [] if f['severity'] == 'error']\n"
            "    if v['status'] or errors: print(name.split('/')[-1], v['status'], v['read'], "
            "*errors)\n",
            dir.File("report.json")),
        jsonSeen);
}

// A file that never ends (a pipe no one writes) holds up only its own process: the others are
// converted beside it, and SIGTERM to the converter reaches it, which stops with one line.
TEST_F(CommandLine, ManyFilesGoOnBesideOneThatHangs) {
    TempDir out;
    const std::string pipe = dir.File("hangs.scc");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::vector<std::string> args = {"convert", "--to", "ccd", "--out-dir", out.Path(), pipe};
    for (const char* name : {"a.scc", "b.scc", "c.scc"}) {
        WriteFileText(dir.File(name),
                      "Scenarist_SCC V1.0\r\n\r\n00:00:01:00\t9420 94ae 9470 c849 942f\r\n");
        args.push_back(dir.File(name));
    }
    args.insert(args.begin() + 1, {"--jobs", "2"});
    const pid_t pid = Start(args);
    for (int k = 0; k < 2000 && out.Names().size() < 3; ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(out.Names(), (std::vector<std::string>{"a.ccd", "b.ccd", "c.ccd"}));
    ::kill(pid, SIGTERM);
    const Outcome run = Finish(pid);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "vantrel-cc: " + pipe + ": cancelled\nvantrel-cc: 4 files into " +
                           out.Path() + ": 3 converted, 1 failed\n");
}

// "-" reads standard input and writes standard output in the formats --from and --to name, as
// the files of those formats convert; a format that needs a file, or "-" without a name, is
// refused with 2.
TEST_F(CommandLine, ConvertsThroughAPipe) {
    WriteFileText(dir.File("in.scc"),
                  "Scenarist_SCC V1.0\r\n\r\n00:00:01:00\t9420 94ae 9470 c849 942f\r\n");
    ASSERT_EQ(Finish(Start({"convert", dir.File("in.scc"), dir.File("file.srt")})).status, 0);
    const std::string byName = ReadFileText(dir.File("file.srt"));
    ASSERT_NE(byName.find("00:00:01,"), std::string::npos);
    const std::string cc = VANTREL_CC;
    const std::pair<std::string, int> cases[] = {
        {"convert - - --from scc --to srt", 0}, {"check - --from scc", 0},
        {"convert - - --from scc --to ccp", 2}, {"convert - - --to srt", 2},
        {"convert - - --from mp4 --to srt", 2},
    };
    for (const auto& [args, status] : cases) {
        SCOPED_TRACE(args);
        const int raw = std::system((cc + " " + args + " < " + dir.File("in.scc") + " > " +
                                     dir.File("out") + " 2> " + dir.File("err"))
                                        .c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, status);
        if (args.starts_with("convert") && status == 0) {
            EXPECT_EQ(ReadFileText(dir.File("out")), byName);
        }
        if (args.starts_with("check")) {
            EXPECT_NE(ReadFileText(dir.File("out")).find("1 caption checked"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace vantrel

#endif  // VANTREL_CC
