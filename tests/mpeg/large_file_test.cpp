// A stream past 4 GiB (a sparse file, so little disk): the caption unit beyond the 4 GiB mark is
// found, its caption decoded, and the bar goes on past the mark to its end. One pass over
// 4.5 GiB of zeros: about half a minute.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "model/caption_project.h"
#include "mpeg/mpeg_fakes.h"

namespace vantrel {
namespace {

using testing::Bytes;

constexpr uint64_t kGiB = 1ull << 30;
constexpr uint64_t kLateCaption = 4 * kGiB + 1000;
constexpr uint64_t kEnd = 4 * kGiB + kGiB / 2;

void Put(int fd, uint64_t at, const Bytes& bytes) {
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at)),
              static_cast<ssize_t>(bytes.size()));
}

TEST(LargeStream, ACaptionPast4GiBIsFoundAndTheBarGoesOnToItsEnd) {
    testing::TempDir dir;
    const std::string path = dir / "large.m2v";
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kEnd)), 0);
    Put(fd, 0, testing::Unit(0xB3, 12));
    Put(fd, 12, testing::Unit(0xB8, 8));
    // RCL, ENM, row 15, HI, EOC (frame 4), a null pair, EDM (frame 6).
    Bytes triplets;
    for (const uint16_t pair : {0x9420, 0x94AE, 0x9470, 0xC849, 0x942F, 0x8080, 0x942C}) {
        testing::Append(triplets, {0xFF, uint8_t(pair >> 8), uint8_t(pair), 0xFE, 0x00, 0x00});
    }
    Put(fd, kLateCaption, testing::CaptionUnit(0x8E, triplets));
    Put(fd, kEnd - 4, Bytes{0x00, 0x00, 0x01, 0xB7});
    ::close(fd);

    CaptionProject project;
    testing::RecordingHost host;
    project.host = &host;
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::Read));
    testing::WaitingDisplay display;
    const MpegOutcome outcome = ImportM2v(project, file, display, project.captions);
    EXPECT_EQ(outcome.status, MpegStatus::Completed);
    ASSERT_EQ(project.captions.Count(), 1);
    EXPECT_EQ(project.captions.Head()->startFrame, 4);
    EXPECT_EQ(project.captions.Head()->endFrame, 6);
    // The 4 GiB mark is bar position 888 of 1000; a bar counted in 32 bits would wrap there.
    ASSERT_FALSE(display.bars.empty());
    EXPECT_EQ(display.bars.back(), 999u);
    EXPECT_TRUE(std::is_sorted(display.bars.begin(), display.bars.end()));
    EXPECT_GT(display.bars.size(), 990u);
    ::unlink(path.c_str());
}

}  // namespace
}  // namespace vantrel
