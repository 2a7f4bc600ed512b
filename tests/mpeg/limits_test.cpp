// Limits that keep the stream operations safe: the output batch refuses what it cannot hold, and
// an extraction reads no frame past the last one a timecode names.
#include <gtest/gtest.h>

#include "mpeg/extract_captions.h"
#include "mpeg/mpeg_fakes.h"
#include "mpeg/output_batch.h"

namespace vantrel {
namespace {

TEST(OutputBatch, RefusesARequestLargerThanItself) {
    testing::TempDir dir;
    File out;
    ASSERT_TRUE(out.Open(dir / "out", File::Mode::Create));
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
    testing::Bytes triplets(3 * frames);
    for (size_t k = 0; k < frames; ++k) {
        triplets[3 * k] = 0xFF;
        triplets[3 * k + 1] = triplets[3 * k + 2] = 0x80;
    }
    testing::SourceFile source(testing::CaptionUnit(0xC1, triplets));
    testing::RecordingSink sink;
    CaptionList into;
    const MpegOutcome outcome = ExtractCaptions(source.file, sink, {}, into);
    EXPECT_EQ(outcome.status, MpegStatus::Completed);
    EXPECT_NE(outcome.skippedMessage.find("the pairs from 100:00:00:00 on"), std::string::npos)
        << outcome.skippedMessage;
}

}  // namespace
}  // namespace vantrel
