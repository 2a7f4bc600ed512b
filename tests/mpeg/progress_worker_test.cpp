// The worker behind the progress display: steps and bar positions, the busy mark, cancel and
// accept requests, and the entry points that move results into the project, write the
// multiplexed copy and tell the host.
#include "mpeg/progress_worker.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/terminal_progress.h"
#include "codec/decoder.h"
#include "codec/encoder.h"
#include "files/file.h"
#include "model/caption_project.h"
#include "mpeg/mpeg_commands.h"
#include "mpeg/mpeg_fakes.h"

namespace vantrel {
namespace {

using cli::TerminalProgress;
using testing::Append;
using testing::Bytes;
using testing::CaptionUnit;
using testing::Filler;
using testing::RecordingHost;
using testing::StreamBuilder;
using testing::TempDir;
using testing::WaitingDisplay;

struct Fixture : testing::SourceFile {
    CaptionProject project;
    RecordingHost host;

    explicit Fixture(const Bytes& stream) : SourceFile(stream) { project.host = &host; }
    bool DestinationExists() const { return std::filesystem::exists(dir / "out.m2v"); }
};

TEST(ProgressSteps, ASourceOf10MillionBytesEndsAtBarPosition999) {
    Fixture f(Filler(10000000, 20000));
    ProgressWorker worker(10000000, OperationMode::Extraction, f.file, f.file, f.project);
    WaitingDisplay display;
    display.Run(worker);
    worker.Wait();
    ASSERT_FALSE(display.bars.empty());
    EXPECT_EQ(display.bars.back(), 999u);
    EXPECT_TRUE(std::is_sorted(display.bars.begin(), display.bars.end()));
    EXPECT_EQ(display.bars.size(), 500u) << "one bar call per change, 500 units of 20,000 bytes";
}

TEST(ProgressBusyMark, AWorkerThatEndsAtOnceNeverLeavesTheMarkSet) {
    Fixture f(Bytes{});
    for (int round = 0; round < 200; ++round) {
        ProgressWorker worker(0, OperationMode::Extraction, f.file, f.file, f.project);
        WaitingDisplay display;
        display.Run(worker);
        EXPECT_FALSE(display.busyAtDone) << "round " << round;
        EXPECT_FALSE(worker.Busy());
        EXPECT_TRUE(worker.RequestCancel()) << "the close request closes the display";
        EXPECT_TRUE(worker.AcceptsClose());
        EXPECT_EQ(f.project.cancel.load(), 0);
    }
}

// A stream of captions in many groups, long enough that a cancel lands in the middle.
Bytes CaptionedStream(const CaptionList& list, int groups) {
    const Bytes pairs = EncodeCaptions(list).bytes;
    StreamBuilder s;
    s.SequenceHeader();
    size_t k = 0;
    for (int g = 0; g < groups; ++g) {
        Bytes triplets;
        for (int p = 0; p < 10; ++p, k += 2) {
            const bool have = k + 1 < pairs.size();
            Append(triplets, {0xFF, have ? pairs[k] : uint8_t{0x80},
                              have ? pairs[k + 1] : uint8_t{0x80}, 0xFE, 0x00, 0x00});
        }
        s.Group().Add(CaptionUnit(0x94, triplets)).Pictures(10);
    }
    return s.bytes();
}

// A cancel requested before the worker starts (Ctrl+C as the command line gets ready) is kept:
// the stream has captions, so only the flag can stop it; a display that runs one operation
// after another forgets it once the worker is done.
TEST(ProgressCancel, ARequestMadeBeforeTheStartStopsTheWorkerAtOnce) {
    CaptionList list;
    list.Insert(testing::TextCaption(10, 50, "AGAIN"));
    Fixture f(CaptionedStream(list, 10));
    f.project.cancel = 1;
    WaitingDisplay display;
    ProgressWorker worker(0, OperationMode::Extraction, f.file, f.file, f.project);
    display.Run(worker);
    EXPECT_EQ(worker.Outcome().status, MpegStatus::Cancelled);
    EXPECT_TRUE(display.bars.empty());
    worker.ForgetCancel();
    EXPECT_EQ(f.project.cancel.load(), 0);
}

TEST(ProgressCancel, EscapeDuringAnExtractionStopsItWithoutCaptionsOrMessage) {
    CaptionList list;
    list.Insert(testing::TextCaption(10, 50, "CANCEL ME"));
    Fixture f(CaptionedStream(list, 200));
    WaitingDisplay display;
    bool requested = false;
    display.onBar = [&](ProgressWorker& worker, uint32_t bar) {
        if (bar >= 100 && !requested) {
            EXPECT_FALSE(worker.AcceptsClose()) << "Enter while busy does nothing";
            EXPECT_FALSE(worker.RequestCancel()) << "the display stays open while busy";
            requested = true;
        }
    };
    const MpegOutcome outcome = ImportM2v(f.project, f.file, display, f.project.captions);
    EXPECT_TRUE(requested);
    EXPECT_EQ(outcome.status, MpegStatus::Cancelled);
    EXPECT_LT(display.bars.back(), 200u);
    EXPECT_TRUE(f.project.captions.Empty());
    EXPECT_TRUE(f.host.messages.empty());
}

TEST(ProgressImport, CaptionsArriveInTheProjectAsIfDecodedThere) {
    CaptionList list;
    for (int i = 0; i < 250; ++i) {  // more than two buckets
        list.Insert(testing::TextCaption(30 + 40 * i, 60 + 40 * i, "CAPTION " + std::to_string(i)));
    }
    Fixture f(CaptionedStream(list, 1100));
    WaitingDisplay display;
    const MpegOutcome outcome = ImportM2v(f.project, f.file, display, f.project.captions);
    EXPECT_EQ(outcome.status, MpegStatus::Completed);
    EXPECT_TRUE(f.host.messages.empty());

    Bytes pairs = EncodeCaptions(list).bytes;
    for (uint8_t& b : pairs) b |= 0x80;
    pairs.resize(2 * 1100 * 10, 0x80);
    CaptionList direct;
    DecodePairStream(direct, pairs);
    EXPECT_EQ(f.project.captions.Count(), 250);
    EXPECT_TRUE(testing::SameCaptions(f.project.captions, direct));
    EXPECT_NE(f.project.captions.CaptionAt(30 + 40 * 200), nullptr) << "the index still works";
}

TEST(ProgressImport, NoCaptionsIsToldToTheHost) {
    StreamBuilder s;
    s.SequenceHeader().Group().Pictures(3);
    Fixture f(s.bytes());
    WaitingDisplay display;
    ImportM2v(f.project, f.file, display, f.project.captions);
    EXPECT_EQ(f.host.messages,
              (std::vector<std::string>{"Video file does not contain closed captions"}));
}

// The multiplex into a file, as the window and the command line run it.
TEST(MultiplexToFile, LeftOutAndLateCaptionsAreToldAfterTheCopy) {
    StreamBuilder s;
    s.SequenceHeader().Group().Pictures(3).Group();
    Fixture f(s.bytes());
    f.project.captions.Insert(testing::TextCaption(100, 200, "LATE"));
    f.project.captions.Insert(testing::TextCaption(101, 300, "LOST"));
    WaitingDisplay display;
    const MpegOutcome outcome =
        MultiplexToFile(f.project, f.dir / "in.m2v", f.dir / "out.m2v", display);
    EXPECT_EQ(outcome.status, MpegStatus::Completed);
    EXPECT_EQ(outcome.leftOutCount, 1u);
    EXPECT_NE(outcome.leftOutMessage.find("00:00:03:11"), std::string::npos);
    EXPECT_EQ(outcome.pastEndCount, 1u);
    EXPECT_EQ(f.host.messages,
              (std::vector<std::string>{outcome.leftOutMessage, outcome.pastEndMessage}));
    EXPECT_FALSE(OperationSucceeded(outcome)) << "the command line exits non-zero";
    EXPECT_TRUE(f.DestinationExists());
}

// Every failure is told once and names the output as the user gave it; Escape stops the copy
// without a word; none leaves a file behind. A link is written through.
TEST(MultiplexToFile, FailuresNameTheFilesAsGivenAndLeaveNothing) {
    CaptionList none;
    Fixture f(CaptionedStream(none, 100));
    f.project.captions.Insert(testing::TextCaption(10, 50, "HELLO"));
    const std::string in = f.dir / "in.m2v";
    struct Case {
        std::string source, output;
        MpegStatus status;
        std::string message;
        bool escape = false;
    };
    const Case table[] = {
        {in, f.dir / "./in.m2v", MpegStatus::Refused,
         "Error saving file " + f.dir / "./in.m2v" + "\n\nthe output would overwrite the input"},
        {f.dir / "none.m2v", f.dir / "o.m2v", MpegStatus::Refused,
         "Error opening file " + f.dir / "none.m2v" + "\n\nNo such file or directory"},
        {in, f.dir / "no/o.m2v", MpegStatus::Refused,
         "Error saving file " + f.dir / "no/o.m2v" + "\n\nNo such file or directory"},
        {in, "/dev/full", MpegStatus::WriteFailed,
         "Error saving file /dev/full\n\nNo space left on device"},
        {in, f.dir / "o.m2v", MpegStatus::Cancelled, "", true},
        {in, f.dir / "link.m2v", MpegStatus::Completed, ""},
    };
    std::filesystem::create_symlink("real.m2v", f.dir / "link.m2v");
    for (const Case& c : table) {
        f.host.messages.clear();
        WaitingDisplay display;
        display.onBar = [&](ProgressWorker& worker, uint32_t bar) {
            if (c.escape && bar == 500) worker.RequestCancel();
        };
        const MpegOutcome outcome = MultiplexToFile(f.project, c.source, c.output, display);
        EXPECT_EQ(outcome.status, c.status) << c.message;
        EXPECT_EQ(OperationSucceeded(outcome), c.status == MpegStatus::Completed);
        EXPECT_EQ(f.host.messages, (c.message.empty() ? std::vector<std::string>{}
                                                      : std::vector<std::string>{c.message}));
        f.project.cancel = 0;
    }
    EXPECT_TRUE(std::filesystem::is_symlink(f.dir / "link.m2v"));
    EXPECT_NE(testing::ReadBytes(f.dir / "real.m2v"), testing::ReadBytes(in)) << "the captions";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.dir / ""), {}), 3)
        << "the source, the link and the file it names";
}

TEST(TerminalBar, DrawsCellsAndPercent) {
    EXPECT_EQ(TerminalProgress::Line("Extracting", 0),
              "Extracting [                                                  ] 0%");
    EXPECT_EQ(TerminalProgress::Line("", 505),
              "[#########################                         ] 50%");
    EXPECT_EQ(TerminalProgress::Line("", 1000),
              "[##################################################] 100%");
}

TEST(TerminalBar, RunsAWorkerToItsEndAndShowsAFinishedRunFull) {
    CaptionList list;
    list.Insert(testing::TextCaption(10, 50, "BAR"));
    Fixture f(CaptionedStream(list, 50));
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    TerminalProgress bar(out, "X");
    ImportM2v(f.project, f.file, bar, f.project.captions);
    std::rewind(out);
    std::string drawn;
    char text[4096];
    while (const size_t n = std::fread(text, 1, sizeof text, out)) drawn.append(text, n);
    std::fclose(out);
    EXPECT_EQ(drawn.rfind("\rX [", 0), 0u);
    const std::string end = "] 100%\n";
    ASSERT_GT(drawn.size(), end.size());
    EXPECT_EQ(drawn.substr(drawn.size() - end.size()), end);
    EXPECT_EQ(drawn.find("100%"), drawn.size() - 5) << "drawn once";
}

}  // namespace
}  // namespace vantrel
