// A multiplex whose output buffer cannot be had: the fixed message, and no output left behind.
// The test program's non-throwing array new refuses the buffer's size while a test asks it to.
#include <gtest/gtest.h>

#include <atomic>
#include <new>

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
    s.SequenceHeader().Group().Pictures(3).Group();
    refuseOutputBuffer = true;
    const testing::Multiplexed m = testing::Multiplex(list, s.bytes());
    refuseOutputBuffer = false;
    EXPECT_EQ(m.outcome.status, MpegStatus::OutOfMemory);
    EXPECT_EQ(m.outcome.message, "Unable to allocate temporary\nmemory for multiplex operation");
    EXPECT_FALSE(m.exists);
    EXPECT_TRUE(m.positions.empty());
}

}  // namespace
}  // namespace vantrel
