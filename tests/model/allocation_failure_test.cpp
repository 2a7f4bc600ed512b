// Caption lists when memory runs out. The test program's operator new refuses a bucket's size
// while a test asks it to, and counts the blocks still allocated so that a leak shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "model/caption_project.h"
#include "support/caption_list_check.h"

namespace {
std::atomic<bool> refuseBuckets{false};
std::atomic<long> liveBlocks{0};
}  // namespace

void* operator new(std::size_t size) {
    if (refuseBuckets.load() && size == sizeof(vantrel::CaptionBucket)) throw std::bad_alloc();
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    ++liveBlocks;
    return p;
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    --liveBlocks;
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    ::operator delete(p);
}

namespace vantrel {
namespace {

std::unique_ptr<Caption> CaptionAt(int32_t start) {
    auto c = std::make_unique<Caption>();
    c->startFrame = start;
    c->endFrame = start + 5;
    c->timingMode = Seamless;  // ends where the next caption starts
    return c;
}

// Every bucket full, so that each insert needs a new one: the insert fails, the list keeps its
// captions, order, timing and buckets, the caption is freed, and the list goes on working.
TEST(CaptionListMemory, AnInsertWithoutABucketLeavesTheListAsItWas) {
    for (int size : {CaptionList::kBucketSize, 2 * CaptionList::kBucketSize}) {
        for (int32_t start : {0, 505, 500, 10 * size + 10}) {  // first, middle, a tie, last
            SCOPED_TRACE(::testing::Message() << size << " captions, insert at " << start);
            CaptionList list;
            std::vector<Caption*> held;
            for (int i = 1; i <= size; ++i) held.push_back(list.Insert(CaptionAt(10 * i)));
            std::vector<int32_t> ends;
            for (const Caption* c : held) ends.push_back(c->endFrame);

            auto caption = CaptionAt(start);
            const long before = liveBlocks.load();
            refuseBuckets = true;
            bool thrown = false;
            try {
                list.Insert(std::move(caption));
            } catch (const std::bad_alloc&) {
                thrown = true;
            }
            refuseBuckets = false;
            EXPECT_TRUE(thrown);
            EXPECT_EQ(liveBlocks.load(), before - 1) << "the caption is freed";
            ASSERT_NO_FATAL_FAILURE(testing::CheckList(list, held));
            for (size_t i = 0; i < held.size(); ++i) EXPECT_EQ(held[i]->endFrame, ends[i]);

            Caption* added = list.Insert(CaptionAt(start));
            const auto at = std::find_if(held.begin(), held.end(),
                                         [&](const Caption* c) { return c->startFrame >= start; });
            held.insert(at, added);
            ASSERT_NO_FATAL_FAILURE(testing::CheckList(list, held));
        }
    }
}

// Replacing a project's captions after an import moves them whole: nothing to allocate, so
// nothing can be lost between clearing the old captions and taking the new.
TEST(CaptionListMemory, ReplacingTheCaptionsNeedsNoMemory) {
    CaptionProject project;
    project.captions.Insert(CaptionAt(7));
    CaptionList read;
    std::vector<Caption*> held;
    for (int i = 0; i < 3 * CaptionList::kBucketSize + 1; ++i) {
        held.push_back(read.Insert(CaptionAt(10 * i)));
    }
    refuseBuckets = true;
    project.ReplaceCaptions(read);
    refuseBuckets = false;
    ASSERT_NO_FATAL_FAILURE(testing::CheckList(project.captions, held));
    EXPECT_TRUE(read.Empty());
    ASSERT_NO_FATAL_FAILURE(testing::CheckList(read, {}));
}

}  // namespace
}  // namespace vantrel
