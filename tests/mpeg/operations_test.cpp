// The operations as the progress display runs them, and the limits that keep them safe. The
// pass over a sparse 4.5 GiB stream takes about half a minute.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>

#include "cli/terminal_progress.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "model/caption_project.h"
#include "mpeg/extract_captions.h"
#include "mpeg/mpeg_commands.h"
#include "mpeg/mpeg_fakes.h"
#include "mpeg/output_batch.h"
#include "mpeg/progress_worker.h"

namespace vantrel {
namespace {

using cli::TerminalProgress;
using testing::Octets;
using testing::StreamBuilder;
using testing::WaitingDisplay;

struct Fixture : testing::SourceFile {
    CaptionProject project;
    testing::RecordingHost host;

    explicit Fixture(const Octets& stream) : SourceFile(stream) { project.host = &host; }
};

// A stream of `groups` groups of ten pictures, long enough that a cancel lands in the middle,
// carrying one caption of `text` on frames 10 to 50 as the multiplexer writes it.
Octets CaptionedStream(const char* text, int groups) {
    CaptionList list;
    testing::AddCaption(list, 10, 50, text);
    StreamBuilder s;
    s.SequenceHeader();
    for (int g = 0; g <= groups; ++g) s.Group().Pictures(10);
    return testing::Multiplex(list, s.bytes()).output;
}

// A worker that ends at once never leaves the busy mark set: on an empty stream, or on a cancel
// requested before its start (Ctrl+C as the command line gets ready), which is kept: the stream
// has captions, so only the flag can stop it. A display that runs one operation after another
// forgets the cancel once the worker is done.
TEST(ProgressWorker, AWorkerThatEndsAtOnceLeavesNoMarkAndACancelBeforeItsStartIsKept) {
    const Octets captioned = CaptionedStream("AGAIN", 10);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const bool early = round % 2;  // a cancel before the start
        Fixture f(early ? captioned : Octets{});
        f.project.cancel = early;
        ProgressWorker worker(0, OperationMode::Extraction, f.file, f.file, f.project);
        WaitingDisplay display;
        display.Run(worker);
        EXPECT_FALSE(display.busyAtDone);
        EXPECT_FALSE(worker.Busy());
        EXPECT_TRUE(worker.RequestCancel()) << "the close request closes the display";
        EXPECT_TRUE(worker.AcceptsClose());
        EXPECT_EQ(f.project.cancel.load(), early ? 1 : 0);
        EXPECT_TRUE(!early ||
                    (worker.Outcome().status == MpegStatus::Cancelled && display.bars.empty()));
        worker.ForgetCancel();
        EXPECT_EQ(f.project.cancel.load(), 0);
    }
}

// An extraction with no room left for a thread's stack: 0 when it did not run at all and says
// that it cannot start.
int ExtractWithoutThreads(Fixture& f) {
    long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr || std::fscanf(statm, "%ld", &pages) != 1) return 2;
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max =
        static_cast<rlim_t>(pages * ::sysconf(_SC_PAGESIZE)) + (2 << 20);
    if (::setrlimit(RLIMIT_AS, &limit) != 0) return 3;
    ProgressWorker worker(static_cast<uint64_t>(f.file.Length()), OperationMode::Extraction, f.file,
                          f.file, f.project);
    WaitingDisplay display;
    display.Run(worker);
    const MpegOutcome& outcome = worker.Outcome();
    return outcome.status == MpegStatus::NotStarted && display.bars.empty() &&
                   worker.Extracted().Empty() && !worker.Busy() &&
                   outcome.message.starts_with(kExtractionOperation)
               ? 0
               : 1;
}

// With no thread to be had, the operation does not run on the caller's thread (where the
// dialog's blocking bar update would wait for itself): it is told that it cannot start.
TEST(ProgressWorker, WithoutAThreadTheOperationDoesNotRunAtAll) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory does not fit under an address-space limit";
#endif
    Fixture f(CaptionedStream("NEVER", 10));
    // A fresh process: one that has run threads keeps their stacks for the next.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(ExtractWithoutThreads(f)), ::testing::ExitedWithCode(0), "");
}

// Escape while busy: the display stays open and Enter does nothing; the multiplex into a file
// stops at the next unit without destination or message (an extraction's: the reading tests).
TEST(ProgressCancel, EscapeStopsAMultiplexIntoAFileAtTheNextUnit) {
    Fixture f(CaptionedStream("CANCEL ME", 300));
    testing::AddCaption(f.project.captions, 10, 50, "HELLO");
    WaitingDisplay display;
    uint32_t requestedAt = 0;
    display.onBar = [&](ProgressWorker& worker, uint32_t bar) {
        if (bar >= 100 && requestedAt == 0) {
            EXPECT_FALSE(worker.AcceptsClose()) << "Enter while busy does nothing";
            EXPECT_FALSE(worker.RequestCancel()) << "the display stays open while busy";
            requestedAt = bar;
        }
    };
    const MpegOutcome outcome =
        MultiplexToFile(f.project, f.dir.File("in.m2v"), f.dir.File("out.m2v"), display);
    EXPECT_EQ(outcome.status, MpegStatus::Cancelled);
    EXPECT_FALSE(OperationSucceeded(outcome));
    EXPECT_GE(requestedAt, 100u);
    EXPECT_EQ(display.bars.back(), requestedAt);
    EXPECT_FALSE(std::filesystem::exists(f.dir.File("out.m2v")));
    EXPECT_TRUE(f.host.messages.empty());
}

// The multiplex into a file, as the window and the command line run it.
TEST(MultiplexToFile, LeftOutAndLateCaptionsAreToldAfterTheCopy) {
    StreamBuilder s;
    s.SequenceHeader().Group().Pictures(3).Group();
    Fixture f(s.bytes());
    testing::AddCaption(f.project.captions, 100, 200, "LATE");
    testing::AddCaption(f.project.captions, 101, 300, "SOON");
    testing::AddCaption(f.project.captions, kMaxEncodedFrame + 1, kMaxEncodedFrame + 9, "LOST");
    WaitingDisplay display;
    const MpegOutcome outcome =
        MultiplexToFile(f.project, f.dir.File("in.m2v"), f.dir.File("out.m2v"), display);
    EXPECT_EQ(outcome.status, MpegStatus::Completed);
    EXPECT_EQ(outcome.leftOutCount, 1u);
    EXPECT_NE(outcome.leftOutMessage.find("100:00:00:00"), std::string::npos);
    EXPECT_NE(outcome.lateMessage.find("00:00:03:11 (shown from 00:00:03:16)"), std::string::npos);
    EXPECT_EQ(outcome.pastEndCount, 2u);
    EXPECT_EQ(f.host.messages,
              (std::vector<std::string>{outcome.leftOutMessage, outcome.lateMessage,
                                        outcome.pastEndMessage}));
    EXPECT_FALSE(OperationSucceeded(outcome)) << "the command line exits non-zero";
    EXPECT_TRUE(std::filesystem::exists(f.dir.File("out.m2v")));
}

// Every failure is told once and names the output as the user gave it; none leaves a file
// behind. A link is written through.
TEST(MultiplexToFile, FailuresNameTheFilesAsGivenAndLeaveNothing) {
    Fixture f(CaptionedStream("OTHER", 100));
    testing::AddCaption(f.project.captions, 10, 50, "HELLO");
    const std::string in = f.dir.File("in.m2v");
    struct Case {
        std::string source, output;
        MpegStatus status;
        std::string message;
    };
    const Case table[] = {
        {in, f.dir.File("./in.m2v"), MpegStatus::Refused,
         "Error saving file " + f.dir.File("./in.m2v") +
             "\n\nthe output would overwrite the input"},
        {f.dir.File("none.m2v"), f.dir.File("o.m2v"), MpegStatus::Refused,
         "Error opening file " + f.dir.File("none.m2v") + "\n\nNo such file or directory"},
        {in, f.dir.File("no/o.m2v"), MpegStatus::Refused,
         "Error saving file " + f.dir.File("no/o.m2v") + "\n\nNo such file or directory"},
        {in, "/dev/full", MpegStatus::WriteFailed,
         "Error saving file /dev/full\n\nNo space left on device"},
        {in, f.dir.File("link.m2v"), MpegStatus::Completed, ""},
    };
    std::filesystem::create_symlink("real.m2v", f.dir.File("link.m2v"));
    for (const Case& c : table) {
        f.host.messages.clear();
        WaitingDisplay display;
        const MpegOutcome outcome = MultiplexToFile(f.project, c.source, c.output, display);
        EXPECT_EQ(outcome.status, c.status) << c.message;
        EXPECT_EQ(OperationSucceeded(outcome), c.status == MpegStatus::Completed);
        EXPECT_EQ(f.host.messages, (c.message.empty() ? std::vector<std::string>{}
                                                      : std::vector<std::string>{c.message}));
    }
    EXPECT_TRUE(std::filesystem::is_symlink(f.dir.File("link.m2v")));
    EXPECT_NE(testing::ReadBytes(f.dir.File("real.m2v")), testing::ReadBytes(in)) << "the captions";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.dir.Path()), {}), 3)
        << "the source, the link and the file it names";
}

// The bar's cells and percent, and an import run to its end: the finished bar is drawn once.
TEST(TerminalBar, DrawsCellsAndPercentAndRunsAWorkerToItsEnd) {
    EXPECT_EQ(TerminalProgress::Line("Extracting", 0),
              "Extracting [                                                  ] 0%");
    EXPECT_EQ(TerminalProgress::Line("", 505),
              "[#########################                         ] 50%");
    Fixture f(CaptionedStream("BAR", 50));
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    TerminalProgress bar(out, "X");
    EXPECT_EQ(ImportM2v(f.project, f.file, bar, f.project.captions).status, MpegStatus::Completed);
    EXPECT_EQ(f.project.captions.Count(), 1);
    std::rewind(out);
    std::string drawn;
    char text[4096];
    while (const size_t n = std::fread(text, 1, sizeof text, out)) drawn.append(text, n);
    std::fclose(out);
    EXPECT_EQ(drawn.rfind("\rX [", 0), 0u);
    const std::string end = "[##################################################] 100%\n";
    ASSERT_GT(drawn.size(), end.size());
    EXPECT_EQ(drawn.substr(drawn.size() - end.size()), end);
    EXPECT_EQ(drawn.find("100%"), drawn.size() - 5) << "drawn once";
}

TEST(OutputBatch, RefusesARequestLargerThanItself) {
    testing::TempDir dir;
    File out;
    ASSERT_TRUE(out.Open(dir.File("out"), File::Mode::Create));
    OutputBatch batch(out);
    ASSERT_TRUE(batch.Allocated());
    EXPECT_NE(batch.Reserve(OutputBatch::kCapacity), nullptr);
    EXPECT_FALSE(batch.Failed());
    EXPECT_EQ(batch.Reserve(OutputBatch::kCapacity + 1), nullptr);
    EXPECT_TRUE(batch.Failed());
}

// One caption unit with a pair for more frames than a timecode names: the pairs past the last
// frame are dropped and the user told, so that no frame number leaves the range.
TEST(ExtractCaptions, StopsAtTheLastFrameATimecodeNames) {
    const size_t frames = kMaxStreamPairBytes / 2 + 10;
    testing::Octets triplets;
    for (size_t k = 0; k < frames; ++k) testing::Append(triplets, {0xFF, 0x80, 0x80});
    testing::SourceFile source(testing::CaptionUnit(0xC1, triplets));
    testing::RecordingSink sink;
    CaptionList into;
    const MpegOutcome outcome = ExtractCaptions(source.file, sink, {}, into);
    EXPECT_EQ(outcome.status, MpegStatus::Completed);
    EXPECT_NE(outcome.skippedMessage.find("The pairs from 100:00:00:00 on"), std::string::npos)
        << outcome.skippedMessage;
}

constexpr uint64_t kGiB = 1ull << 30;
constexpr uint64_t kLateCaption = 4 * kGiB + 1000;
constexpr uint64_t kEnd = 4 * kGiB + kGiB / 2;

void Put(int fd, uint64_t at, const Octets& bytes) {
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at)),
              static_cast<ssize_t>(bytes.size()));
}

TEST(LargeStream, ACaptionPast4GiBIsFoundAndTheBarGoesOnToItsEnd) {
    Fixture f(Octets{});
    const std::string path = f.dir.File("large.m2v");
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kEnd)), 0);
    Put(fd, 0, StreamBuilder().SequenceHeader().Group().bytes());
    // RCL, ENM, row 15, HI, EOC (frame 4), a null pair, EDM (frame 6).
    Octets triplets;
    for (const uint16_t pair : {0x9420, 0x94AE, 0x9470, 0xC849, 0x942F, 0x8080, 0x942C}) {
        testing::Append(triplets, {0xFF, uint8_t(pair >> 8), uint8_t(pair), 0xFE, 0x00, 0x00});
    }
    Put(fd, kLateCaption, testing::CaptionUnit(0x8E, triplets));
    Put(fd, kEnd - 4, Octets{0x00, 0x00, 0x01, 0xB7});
    ::close(fd);

    ASSERT_TRUE(f.file.Open(path, File::Mode::Read));
    WaitingDisplay display;
    const MpegOutcome outcome = ImportM2v(f.project, f.file, display, f.project.captions);
    EXPECT_EQ(outcome.status, MpegStatus::Completed);
    ASSERT_EQ(f.project.captions.Count(), 1);
    EXPECT_EQ(f.project.captions.Head()->startFrame, 4);
    EXPECT_EQ(f.project.captions.Head()->endFrame, 6);
    // The 4 GiB mark is bar position 888 of 1000; a bar counted in 32 bits would wrap there.
    ASSERT_FALSE(display.bars.empty());
    EXPECT_EQ(display.bars.back(), 999u);
    EXPECT_TRUE(std::adjacent_find(display.bars.begin(), display.bars.end(),
                                   std::greater_equal<>()) == display.bars.end())
        << "one bar call per change, rising";
    EXPECT_GT(display.bars.size(), 990u);
}

}  // namespace
}  // namespace vantrel
