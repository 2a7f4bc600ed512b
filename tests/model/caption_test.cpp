// The caption record and its timing modes; the caption list against a plain sorted reference and
// when memory runs out. The test program's operator new refuses a bucket's size while a test asks
// it to, and counts the blocks still allocated so that a leak shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <random>
#include <vector>

#include "model/caption_list.h"
#include "model/caption_project.h"
#include "support/caption_list_check.h"
#include "support/screen_text.h"

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
// Not inlined into its callers, where the compiler would take the free of a block from the
// operator new above for a mismatch.
[[gnu::noinline]] void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    --liveBlocks;
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    ::operator delete(p);
}

namespace vantrel {
namespace {

using testing::CheckList;
using testing::MakeCaption;

TEST(Caption, OccupiedRowsCountAttributeOnlyCellsButNotTheStorageRow) {
    Caption c = MakeCaption({{14, 0, "X"}, {15, 0, "Z"}});
    c.cells[3][7].attribute = 0x38;
    EXPECT_EQ(c.CountOccupiedRows(), 2);
}

TEST(Caption, LowerCaseChar) {
    const std::pair<uint8_t, uint8_t> cases[] = {
        {'A', 'a'},   {'Z', 'z'},   {'a', 'a'},   {0xC9, 0xE9}, {0xDC, 0xFC},
        {0xC6, 0xC6}, {0xD0, 0xD0}, {0xD7, 0xD7}, {0xDD, 0xDD}, {0xDE, 0xDE},
        {0xE0, 0xE0}, {0xFF, 0xFF}, {0x40, 0x40}, {0x5B, 0x5B},
    };
    for (const auto& [from, to] : cases) EXPECT_EQ(LowerCaseChar(from), to) << int(from);
}

std::unique_ptr<Caption> NewCaption(int32_t start, int32_t end, int8_t mode = Manual) {
    auto c = std::make_unique<Caption>();
    c->startFrame = start;
    c->endFrame = end;
    c->timingMode = mode;
    return c;
}

constexpr int32_t kNone = std::numeric_limits<int32_t>::min() + 1;  // no next caption
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// A caption after an optional previous one (start 100, end 1000) and before an optional next
// one: the ends after ApplyTiming, or after moving its start to `to`.
TEST(Timing, ApplyAndMoveStartTable) {
    struct Case {
        int8_t prevMode;  // 0: no previous caption
        int8_t mode;
        int32_t start;
        int rows;
        int32_t end;   // before
        int32_t next;  // kNone: no next caption
        int32_t to;    // kNone: ApplyTiming
        int32_t prevEnd;
        int32_t expected;
        int32_t gap = kDefaultGap;  // the blank frames left before the next caption
    };
    const Case cases[] = {
        {0, Normal, 100, 2, 0, kNone, kNone, 1000, 220},  // two seconds a row
        {0, Normal, 100, 2, 0, 400, kNone, 1000, 220},
        {0, Normal, 100, 2, 0, 200, kNone, 1000, 199},  // but before the next
        {0, Normal, 100, 0, 0, kNone, kNone, 1000, 100},
        {0, Normal, kMax - 10, 15, 0, kNone, kNone, 1000, kMax - 1},
        {0, Persistent, 100, 1, 0, kNone, kNone, 1000, 129},
        {0, Persistent, 100, 1, 0, 150, kNone, 1000, 149},
        {0, Persistent, 0, 1, 0, kMin, kNone, 1000, kMin},
        {0, Seamless, 100, 1, 0, kNone, kNone, 1000, 130},
        {0, Seamless, 100, 1, 0, 150, kNone, 1000, 150},
        {0, Manual, 100, 1, 300, 250, kNone, 1000, 249},
        {0, Manual, 100, 1, 300, 400, kNone, 1000, 300},
        {0, 7, 100, 1, 12345, 150, kNone, 1000, 12345},  // an unknown mode leaves the end alone
        // Moving a start applies the previous caption's timing; Normal keeps its duration, 3 to
        // 120 frames.
        {Seamless, Normal, 300, 0, 500, kNone, 500, 500, 620},
        {Persistent, Normal, 300, 0, 301, kNone, 400, 399, 403},
        {Normal, Normal, 300, 0, 290, kNone, 400, 399, 403},
        {Manual, Seamless, 300, 0, 500, 900, 450, 1000, 900},
        {Manual, Persistent, 300, 0, 500, 900, 460, 1000, 899},
        {Manual, Manual, 300, 0, 500, 900, 460, 1000, 660},
        // A profile that asks for two blank frames: every end cut short leaves two, Seamless
        // none, and no caption ends before its own start.
        {0, Persistent, 100, 1, 0, 150, kNone, 1000, 148, 2},
        {0, Persistent, 100, 1, 0, kNone, kNone, 1000, 128, 2},
        {0, Persistent, 100, 1, 0, 101, kNone, 1000, 100, 2},
        {0, Normal, 100, 2, 0, 200, kNone, 1000, 198, 2},
        {0, Manual, 100, 1, 249, 250, kNone, 1000, 248, 2},
        {0, Manual, 100, 1, 240, 250, kNone, 1000, 240, 2},
        {0, Seamless, 100, 1, 0, 150, kNone, 1000, 150, 2},
        {Persistent, Normal, 300, 0, 301, kNone, 400, 398, 403, 2},
        {Manual, Persistent, 300, 0, 500, 900, 460, 1000, 898, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.prevMode) << " " << int(c.mode) << " " << c.start
                                          << " " << c.next << " " << c.to << " gap " << c.gap);
        Caption prev = *NewCaption(100, 1000, c.prevMode),
                caption = *NewCaption(c.start, c.end, c.mode), next;
        for (int r = 0; r < c.rows; ++r) caption.cells[14 - r][0] = {'A', 0x38};
        if (c.prevMode) {
            caption.prev = &prev;
            prev.next = &caption;
        }
        if (c.next != kNone) {
            next.startFrame = c.next;
            caption.next = &next;
            next.prev = &caption;
        }
        if (c.to == kNone) {
            caption.ApplyTiming(c.gap);
        } else {
            caption.MoveStart(c.to, c.gap);
            EXPECT_EQ(caption.startFrame, c.to);
        }
        EXPECT_EQ(prev.endFrame, c.prevEnd);
        EXPECT_EQ(caption.endFrame, c.expected);
    }
}

// Ends where the next caption starts.
std::unique_ptr<Caption> CaptionAt(int32_t start) {
    return NewCaption(start, start + 5, Seamless);
}

TEST(CaptionListTiming, InsertAndRemoveApplyThePreviousCaptionsTiming) {
    CaptionList list;
    Caption* a = list.Insert(NewCaption(100, 0, Seamless));
    Caption* b = list.Insert(NewCaption(300, 400, Manual));
    EXPECT_EQ(a->endFrame, 300);  // the caption before the new one follows it
    EXPECT_EQ(b->endFrame, 400);  // the inserted caption's own timing is left to the caller
    Caption* mid = list.Insert(NewCaption(200, 250, Manual));
    EXPECT_EQ(a->endFrame, 200);
    list.Remove(mid);
    EXPECT_EQ(a->endFrame, 300);
}

// Random inserts, removes and moves, checked after every step against a sorted reference, and
// the lookups at random frames, on both sides of a caption's start and end, and by row.
TEST(CaptionListRandom, TwentyThousandStepsAgainstReference) {
    for (unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 rng(seed);
        CaptionList list;
        std::vector<Caption*> ref;
        EXPECT_EQ(list.CaptionAt(0), nullptr);
        EXPECT_EQ(list.CaptionAtOrBefore(100), nullptr);
        EXPECT_EQ(list.FirstUnfinishedAt(0), nullptr);
        auto frame = [&](int range) { return static_cast<int32_t>(rng() % range); };
        const int range = seed == 1 ? 500 : 50000;  // seed 1 makes many equal start frames
        for (int step = 0; step < 20000; ++step) {
            const unsigned op = rng() % 10;
            if (op < 5 || ref.size() < 2) {
                auto made = NewCaption(frame(range), 0);
                made->endFrame = made->startFrame + 1 + frame(200);
                Caption* c = list.Insert(std::move(made));
                c->ApplyTiming(
                    kDefaultGap);  // as every caller does, so that captions never overlap
                // A new caption goes before existing ones with the same start frame.
                auto at = std::lower_bound(ref.begin(), ref.end(), c->startFrame,
                                           [](Caption* x, int32_t s) { return x->startFrame < s; });
                ref.insert(at, c);
            } else if (op < 8) {
                const size_t i = rng() % ref.size();
                list.Remove(ref[i]);
                ref.erase(ref.begin() + i);
            } else {
                // Move a caption in time within its neighbours, as the timeline does.
                const size_t i = rng() % ref.size();
                const int32_t lo = i > 0 ? ref[i - 1]->startFrame : 0;
                const int32_t hi = i + 1 < ref.size() ? ref[i + 1]->startFrame : range;
                ref[i]->MoveStart(lo + frame(hi - lo + 1), kDefaultGap);
                ref[i]->ApplyTiming(kDefaultGap);
                if (i > 0) ref[i - 1]->ApplyTiming(kDefaultGap);
                list.RefreshBucketKeys();
            }
            ASSERT_NO_FATAL_FAILURE(CheckList(list, ref)) << "seed " << seed << " step " << step;
            // Rows against the reference's places: a few after every step, all now and then.
            ASSERT_EQ(list.Count(), static_cast<int>(ref.size()));
            for (int k = 0; k < 3; ++k) {
                const int row = static_cast<int>(rng() % (ref.size() + 2)) - 1;
                const bool inside = row >= 0 && row < list.Count();
                ASSERT_EQ(list.CaptionAtRow(row), inside ? ref[size_t(row)] : nullptr) << row;
                if (inside) {
                    ASSERT_EQ(list.RowOf(ref[size_t(row)]), row) << step;
                }
            }
            for (size_t i = 0; step % 1000 == 0 && i < ref.size(); ++i) {
                ASSERT_EQ(list.RowOf(ref[i]), static_cast<int>(i));
            }
            if (step % 7 == 0) {
                const Caption* c = ref[rng() % ref.size()];
                for (const int32_t f : {frame(range + 300) - 100, frame(range), c->startFrame - 1,
                                        c->startFrame, c->endFrame - 1, c->endFrame}) {
                    // By brute force over the reference, where captions never overlap.
                    Caption* unfinished = nullptr;
                    Caption* atOrBefore = nullptr;
                    for (Caption* r : ref) {
                        if (!unfinished && r->endFrame > f) unfinished = r;
                        if (r->startFrame <= f) atOrBefore = r;
                    }
                    ASSERT_EQ(list.FirstUnfinishedAt(f), unfinished) << f;
                    ASSERT_EQ(list.CaptionAt(f),
                              unfinished && unfinished->startFrame <= f ? unfinished : nullptr)
                        << f;
                    ASSERT_EQ(list.CaptionAtOrBefore(f), atOrBefore) << f;
                }
            }
        }
        const Caption stranger;
        EXPECT_EQ(list.RowOf(&stranger), -1);
        list.Clear();
        EXPECT_EQ(list.CaptionAtRow(0), nullptr);
        EXPECT_EQ(list.Head(), nullptr);
        EXPECT_EQ(list.FirstBucket().nextBucket, nullptr);
    }
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
    for (int i = 0; i < 3 * CaptionList::kBucketSize + 1; ++i)
        held.push_back(read.Insert(CaptionAt(10 * i)));
    refuseBuckets = true;
    project.ReplaceCaptions(read);
    refuseBuckets = false;
    ASSERT_NO_FATAL_FAILURE(testing::CheckList(project.captions, held));
    EXPECT_TRUE(read.Empty());
    ASSERT_NO_FATAL_FAILURE(testing::CheckList(read, {}));
}

}  // namespace
}  // namespace vantrel
