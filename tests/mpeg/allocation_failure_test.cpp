// A multiplex whose output buffer cannot be had: the fixed message, and no output left behind.
// The test program's non-throwing array new refuses the buffer's size while a test asks it to.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <new>

#include "files/file.h"
#include "mpeg/mpeg_fakes.h"
#include "mpeg/multiplex_captions.h"
#include "mpeg/output_batch.h"

namespace {
std::atomic<bool> refuseOutputBuffer{false};
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (size == vantrel::OutputBatch::kCapacity && refuseOutputBuffer.load()) return nullptr;
    try {
        return ::operator new[](size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

namespace vantrel {
namespace {

TEST(MultiplexMemory, AMissingOutputBufferIsReportedAndLeavesNoOutput) {
    CaptionList list;
    list.Insert(testing::TextCaption(4, 40, "HI"));
    testing::StreamBuilder s;
    s.Group().Pictures(3).Group();
    testing::SourceFile in(s.bytes());
    File out;
    ASSERT_TRUE(out.Open(in.dir / "out.m2v", File::Mode::Create));
    testing::RecordingSink sink;
    const std::atomic<int> cancel{0};
    refuseOutputBuffer = true;
    const MpegOutcome outcome = MultiplexCaptions(list, in.file, out, sink, cancel);
    refuseOutputBuffer = false;
    EXPECT_EQ(outcome.status, MpegStatus::OutOfMemory);
    EXPECT_EQ(outcome.message, "Unable to allocate temporary\nmemory for multiplex operation");
    EXPECT_FALSE(std::filesystem::exists(in.dir / "out.m2v"));
    EXPECT_TRUE(sink.positions.empty());
}

}  // namespace
}  // namespace vantrel
