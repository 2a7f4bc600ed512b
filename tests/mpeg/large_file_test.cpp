// Streams past 4 GiB: positions and progress keep counting. Off by default, since it reads
// 4.5 GiB (a sparse file, so little disk); run it with
//   mpeg_tests --gtest_also_run_disabled_tests --gtest_filter='LargeStream*'
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "codec/pair_buffer.h"
#include "files/file.h"
#include "model/caption_project.h"
#include "mpeg/extract_captions.h"
#include "mpeg/mpeg_fakes.h"
#include "mpeg/progress_worker.h"
#include "mpeg/start_code_reader.h"

namespace vantrel {
namespace {

using testing::Bytes;

constexpr uint64_t kGiB = 1ull << 30;
constexpr uint64_t kLateCaption = 4 * kGiB + 1000;
constexpr uint64_t kEnd = 4 * kGiB + kGiB / 2;

class LargeStream : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = dir_ / "large.m2v";
        const int fd = ::open(path_.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kEnd)), 0);
        Put(fd, 0, testing::Unit(0xB3, 12));
        Put(fd, 12, testing::Unit(0xB8, 8));
        Put(fd, 20, testing::CaptionUnit(0x82, {0xFF, 0x94, 0x20}));
        Put(fd, kLateCaption, testing::CaptionUnit(0x82, {0xFF, 0x94, 0xAE, 0xFE, 0x00, 0x00}));
        Put(fd, kEnd - 4, Bytes{0x00, 0x00, 0x01, 0xB7});
        ::close(fd);
    }
    void TearDown() override { ::unlink(path_.c_str()); }

    static void Put(int fd, uint64_t at, const Bytes& bytes) {
        ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at)),
                  static_cast<ssize_t>(bytes.size()));
    }

    testing::TempDir dir_;
    std::string path_;
};

TEST_F(LargeStream, DISABLED_UnitsPast4GiBHaveTheirFullPositions) {
    File file;
    ASSERT_TRUE(file.Open(path_, File::Mode::Read));
    StartCodeReader reader(file);
    std::vector<uint64_t> unitStarts;
    uint64_t before = 0;
    while (const uint8_t* unit = reader.Next()) {
        if (reader.Size() >= 3 && unit[0] == 0 && unit[1] == 0 && unit[2] == 1)
            unitStarts.push_back(before);
        ASSERT_EQ(reader.Position() - before, reader.Size());
        before = reader.Position();
    }
    EXPECT_FALSE(reader.Failed());
    EXPECT_EQ(reader.Position(), kEnd);
    EXPECT_EQ(unitStarts, (std::vector<uint64_t>{0, 12, 20, kLateCaption, kEnd - 4}));
}

TEST_F(LargeStream, DISABLED_ExtractionFindsCaptionsAndProgressPast4GiB) {
    CaptionProject project;
    File file;
    ASSERT_TRUE(file.Open(path_, File::Mode::Read));
    ProgressWorker worker(static_cast<uint64_t>(file.Length()), OperationMode::Extraction, file,
                          file, project);
    EXPECT_EQ(worker.Step(), kEnd / 1000 + 1);
    testing::WaitingDisplay display;
    display.Run(worker);
    worker.Wait();
    // The bar went on past the 4 GiB mark (888 of 1000) to the end.
    ASSERT_FALSE(display.bars.empty());
    EXPECT_EQ(display.bars.back(), 999u);
    EXPECT_GT(display.bars.size(), 990u);

    File again;
    ASSERT_TRUE(again.Open(path_, File::Mode::Read));
    testing::RecordingSink sink;
    const std::atomic<int> cancel{0};
    PairBuffer pairs;
    ASSERT_EQ(CollectCaptionPairs(again, sink, cancel, pairs), MpegStatus::Completed);
    EXPECT_EQ(pairs.ToVector(), (Bytes{0x94, 0xA0, 0x94, 0xAE}));
    EXPECT_EQ(sink.positions.back(), kEnd);
    EXPECT_TRUE(std::find(sink.positions.begin(), sink.positions.end(), kLateCaption) !=
                sink.positions.end());
}

}  // namespace
}  // namespace vantrel
