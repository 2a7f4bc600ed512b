// Our own paused frame access, in every container: whatever way a frame is reached (seek, +1,
// -1 through whole groups of pictures, the cache, a quick frame while scrubbing) it is exactly
// that frame, and the cache stays within its bound; its picture memory, made ready on a thread,
// has the size asked last.
#include "video/frame_source.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <random>
#include <thread>

#include "files/file.h"
#include "mpeg/stream_pictures.h"
#include "test_media.h"
#include "video/picture_pool.h"

namespace vantrel {
namespace {

using test::kTestFrames;

class FrameSourceExact : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
        std::string path = test::NumberedVideo(GetParam());
        ASSERT_FALSE(path.empty());
        ASSERT_TRUE(source_.Open(path, QSize(480, 360), cancel_));
        ASSERT_EQ(source_.FrameCount(), kTestFrames);
    }

    void ExpectFrame(int64_t frame, const std::string& how) {
        EXPECT_EQ(test::ReadFrameNumber(source_.Frame(frame)), frame) << how;
    }

    std::atomic<bool> cancel_{false};
    FrameSource source_;
};

TEST_P(FrameSourceExact, SeeksStepsAndStepsBackThroughWholeGroupsGiveTheirFrame) {
    // Back from the end to the start with nothing cached: every group of pictures from its end.
    for (int64_t frame = kTestFrames - 1; frame >= 0; --frame) ExpectFrame(frame, "back");
    std::mt19937 random(11u);
    std::uniform_int_distribution<int64_t> anywhere(0, kTestFrames - 1);
    FrameSource fresh;
    ASSERT_TRUE(fresh.Open(test::NumberedVideo(GetParam()), QSize(480, 360), cancel_));
    for (int i = 0; i < 12; ++i) {
        int64_t frame = anywhere(random);
        EXPECT_EQ(test::ReadFrameNumber(fresh.Frame(frame)), frame) << "seek " << i;
        for (int64_t next = frame + 1; next < std::min<int64_t>(frame + 6, kTestFrames); ++next) {
            EXPECT_EQ(test::ReadFrameNumber(fresh.Frame(next)), next) << "+1 after " << frame;
        }
    }
}

TEST_P(FrameSourceExact, QuickFramesAreTheFrameOrAKeyFrameBeforeItAndShowWhatTheySay) {
    for (int64_t frame : {int64_t{100}, int64_t{37}, int64_t{38}, int64_t{0}}) {
        int64_t shown = -1;
        QImage picture = source_.QuickFrame(frame, shown);
        EXPECT_LE(shown, frame);
        EXPECT_GT(shown, frame - 31);  // groups of 15 and 30 pictures
        EXPECT_EQ(test::ReadFrameNumber(picture), shown) << frame;
        ExpectFrame(frame, "exact after the quick frame");
        source_.QuickFrame(frame, shown);
        EXPECT_EQ(shown, frame) << "cached now";
    }
}

// A pause prefetches the group of the frame on screen on another thread and a seek may stop it
// at any point: a prefetch stopped before it began, or let run to the end, leaves every step and
// seek after it exact.
TEST_P(FrameSourceExact, StepsAndSeeksAfterAPrefetchStoppedOrDoneAreExact) {
    std::atomic<bool> stopped{true};
    const struct {
        int64_t frame;
        bool stop;
        int64_t then[3];
    } cases[] = {{50, true, {51, 49, 52}},
                 {82, false, {81, 83, 60}},
                 {20, true, {3, 2, 4}},
                 {97, false, {98, 99, 96}},
                 {110, true, {111, 112, 40}}};
    for (const auto& c : cases) {
        const size_t before = source_.CacheBytes();
        source_.Prefetch(c.frame, c.stop ? stopped : cancel_);
        // Done, it has kept the frame and those before it in its group.
        EXPECT_EQ(source_.CacheBytes() > before, !c.stop) << c.frame;
        for (int64_t frame : c.then) {
            ExpectFrame(frame, "after the prefetch of " + std::to_string(c.frame));
        }
    }
}

TEST(FrameSourceCache, StaysWithinItsLimit) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    std::atomic<bool> cancel{false};
    FrameSource source;
    ASSERT_TRUE(source.Open(test::NumberedVideo("m2v"), QSize(1280, 720), cancel));
    const size_t picture = size_t{1280} * 720 * 4;  // about 36 pictures fill the cache
    size_t peak = 0;
    for (int64_t frame : {70, 20, 69, 50}) {
        for (int64_t step = 0; step < 12; ++step) {
            EXPECT_EQ(test::ReadFrameNumber(source.Frame(frame - step)), frame - step);
            peak = std::max(peak, source.CacheBytes());
        }
    }
    EXPECT_LE(peak, FrameSource::kCacheLimit);
    EXPECT_GT(peak, FrameSource::kCacheLimit - picture);
}

TEST(FrameSourceOpen, FilesWithoutAPictureAreRefused) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    std::atomic<bool> cancel{false};
    for (const std::string& path :
         {test::ToneAudio(), test::NotMediaFile(), std::string("/nonexistent")}) {
        FrameSource source;
        EXPECT_FALSE(source.Open(path, QSize(480, 360), cancel)) << path;
        EXPECT_TRUE(source.Frame(3).isNull());
    }
    std::atomic<bool> cancelled{true};
    FrameSource source;
    EXPECT_FALSE(source.Open(test::NumberedVideo("mp4"), QSize(480, 360), cancelled));
}

// Our walk over MPEG streams cuts their video into the very packets the demuxer hands out, which
// is what finds a packet again after a seek.
TEST(MpegWalk, GivesTheDemuxersVideoPacketsInEveryMpegContainer) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const std::pair<const char*, MpegContainer> cases[] = {{"m2v", MpegContainer::Elementary},
                                                           {"mpg", MpegContainer::Program},
                                                           {"ts", MpegContainer::Transport}};
    for (const auto& [extension, container] : cases) {
        const std::string path = test::NumberedVideo(extension);
        std::vector<std::pair<int64_t, uint64_t>> theirs, ours;
        AVFormatContext* format = nullptr;
        ASSERT_GE(avformat_open_input(&format, path.c_str(), nullptr, nullptr), 0);
        ASSERT_GE(avformat_find_stream_info(format, nullptr), 0);
        const int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        AVPacket* packet = av_packet_alloc();
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == video) {
                theirs.emplace_back(packet->size, DigestOf(packet->data, packet->size));
            }
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
        avformat_close_input(&format);
        File file;
        ASSERT_TRUE(file.Open(path, File::Mode::Read));
        const std::atomic<bool> cancel{false};
        const ScanEnd end = ScanMpegVideo(file, container, cancel, [&](auto& packets, int64_t) {
            for (const ScannedPacket& p : packets) ours.emplace_back(p.size, p.digest);
            packets.clear();
        });
        EXPECT_EQ(end, ScanEnd::Completed) << extension;
        EXPECT_EQ(ours, theirs) << extension;
    }
}

// The index of a container that lists every frame gives what reading all its packets gives:
// the same pictures at the same positions and times, the same key pictures and display order,
// with B-frames, edit lists (a delay, a cut start) and negative composition offsets; fragmented
// MP4 and Matroska list no such index, and their packets are read.
TEST(ContainerIndex, ListsTheFramesThatReadingThePacketsGives) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const std::string mp4 = test::NumberedVideo("mp4"), avi = test::NumberedVideo("avi");
    const struct {
        std::string path;
        bool listed;
    } cases[] = {
        {mp4, true},
        {test::Remuxed(mp4, "delayed.mov"), true},
        {test::Remuxed(mp4, "cut.mov", {"-ss", "1.2"}), true},
        {test::Remuxed(mp4, "negative.mp4", {}, {"-movflags", "negative_cts_offsets"}), true},
        {avi, true},
        {test::Remuxed(avi, "mpeg4.mov", {}, {"-an"}), true},
        {test::Remuxed(mp4, "fragments.mp4", {}, {"-movflags", "frag_keyframe+empty_moov"}), false},
        {test::NumberedVideo("mkv"), false},
    };
    const std::atomic<bool> cancel{false};
    for (const auto& c : cases) {
        ASSERT_FALSE(c.path.empty());
        FrameSource source;
        ASSERT_TRUE(source.OpenDecoder(c.path, QSize(64, 48))) << c.path;
        FrameSource::IndexPlan plan = source.Plan();
        ASSERT_EQ(plan.listed != nullptr, c.listed) << c.path;
        if (!c.listed) continue;
        const FrameIndex& listed = *plan.listed;
        EXPECT_EQ(source.ContainerFrameCount(), listed.FrameCount()) << c.path;
        // Every frame shown is found by position and decoded exactly; those an edit leaves
        // out are at the start.
        source.SetIndex(plan.listed);
        const int64_t count = listed.FrameCount(), leftOut = kTestFrames - count;
        for (int64_t frame : {count - 1, int64_t{0}, count / 2, count / 2 - 1}) {
            EXPECT_EQ(test::ReadFrameNumber(source.Frame(frame)), leftOut + frame) << c.path;
        }
        plan.listed = nullptr;
        std::shared_ptr<const FrameIndex> read;
        EXPECT_EQ(BuildFrameIndex(plan, cancel,
                                  [&](auto index, double) {
                                      if (index->Complete()) read = index;
                                  }),
                  IndexBuilt::kScanned);
        ASSERT_TRUE(read) << c.path;
        ASSERT_EQ(listed.Pictures().size(), read->Pictures().size()) << c.path;
        EXPECT_EQ(listed.FrameCount(), read->FrameCount()) << c.path;
        for (size_t i = 0; i < read->Pictures().size(); ++i) {
            const CodedPicture &ours = listed.Pictures()[i], &theirs = read->Pictures()[i];
            // AVI gives no presentation time to its anchors.
            const bool timed = theirs.pts != CodedPicture::kNoTime;
            EXPECT_EQ(
                std::tuple(ours.pos, ours.size, ours.key, ours.coding, listed.FrameOf(i)),
                std::tuple(theirs.pos, theirs.size, theirs.key, theirs.coding, read->FrameOf(i)))
                << c.path << " picture " << i;
            EXPECT_EQ(timed ? ours.pts : 0, timed ? theirs.pts : 0) << c.path << " picture " << i;
        }
    }
}

// A whole index is kept for the next time; an entry that no longer matches its video (its time
// changed) or is damaged is not used, and the index is scanned again.
TEST(IndexCache, KeepsWholeIndexesAndScansAgainForAChangedVideoOrADamagedEntry) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    QTemporaryDir dir;
    const QString video = dir.filePath("v.mpg");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(test::NumberedVideo("mpg")), video));
    FrameSource source;
    ASSERT_TRUE(source.OpenDecoder(video.toStdString(), QSize(64, 48)));
    FrameSource::IndexPlan plan = source.Plan();
    plan.cacheFolder = dir.filePath("cache").toStdString();
    const std::atomic<bool> cancel{false};
    // The order of the frames as the scan found it, which a kept index must give back.
    std::vector<int64_t> scannedOrder;
    const auto build = [&] {
        int64_t frames = -1;
        std::vector<int64_t> order;
        const IndexBuilt built = BuildFrameIndex(plan, cancel, [&](auto index, double) {
            if (!index->Complete()) return;
            frames = index->FrameCount();
            for (size_t i = 0; i < index->Pictures().size(); ++i)
                order.push_back(index->FrameOf(i));
        });
        EXPECT_EQ(frames, kTestFrames);
        if (scannedOrder.empty()) scannedOrder = order;
        EXPECT_EQ(order, scannedOrder);
        return built;
    };
    const auto entry = [&] {
        return dir.filePath("cache/" + QDir(dir.filePath("cache")).entryList(QDir::Files).value(0));
    };
    EXPECT_EQ(build(), IndexBuilt::kScanned);
    EXPECT_EQ(build(), IndexBuilt::kCached);
    QFile touched(video);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                    QFileDevice::FileModificationTime));
    touched.close();
    EXPECT_EQ(build(), IndexBuilt::kScanned) << "changed video";
    EXPECT_EQ(build(), IndexBuilt::kCached);
    for (const bool cut : {false, true}) {
        QFile damaged(entry());
        ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
        if (cut) {
            damaged.resize(damaged.size() - 3);
        } else {
            // A byte of the last picture's digest.
            damaged.seek(damaged.size() - 20);
            const char flipped = static_cast<char>(damaged.peek(1).at(0) ^ 0x10);
            damaged.write(&flipped, 1);
        }
        damaged.close();
        EXPECT_EQ(build(), IndexBuilt::kScanned) << (cut ? "cut short" : "a byte changed");
        EXPECT_EQ(build(), IndexBuilt::kCached);
    }
}

TEST(PicturePool, PicturesHaveTheSizeAskedLastWhateverWasMadeReadyBefore) {
    const QSize sizes[] = {{480, 360}, {64, 48}, {720, 576}};
    PicturePool pool;
    for (int round = 0; round < 30; ++round) {
        const QSize size = sizes[round % 3];
        pool.Reset(size, round % 5 == 0 ? 0 : 20);  // a limit of 0: made on the spot
        // At once, and after the thread had time to make pictures of the size before.
        if (round % 2 == 1) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        for (int i = 0; i < 12; ++i) {
            QImage picture = pool.Take();
            ASSERT_EQ(picture.size(), size) << "round " << round << " picture " << i;
            ASSERT_EQ(picture.format(), QImage::Format_RGBX8888);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Containers, FrameSourceExact,
                         ::testing::Values("m2v", "mpg", "ts", "mp4", "mov", "mkv", "avi"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vantrel
