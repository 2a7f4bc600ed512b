// The caption list: order, links, buckets and lookups, against a plain sorted reference.
#include "model/caption_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "support/caption_list_check.h"

namespace vantrel {
namespace {

using testing::CheckList;

std::unique_ptr<Caption> NewCaption(int32_t start, int32_t end, int8_t mode = Manual) {
    auto c = std::make_unique<Caption>();
    c->startFrame = start;
    c->endFrame = end;
    c->timingMode = mode;
    return c;
}

// Brute-force lookups over the reference.
Caption* RefCaptionAt(const std::vector<Caption*>& v, int32_t f) {
    for (Caption* c : v) {
        if (c->endFrame > f) return c->startFrame <= f ? c : nullptr;
    }
    return nullptr;
}
Caption* RefFirstUnfinishedAt(const std::vector<Caption*>& v, int32_t f) {
    for (Caption* c : v) {
        if (c->endFrame > f) return c;
    }
    return nullptr;
}
Caption* RefAtOrBefore(const std::vector<Caption*>& v, int32_t f) {
    Caption* best = nullptr;
    for (Caption* c : v) {
        if (c->startFrame <= f) best = c;
    }
    return best;
}

// Captions added in start order go to the end of the last bucket, which hands on when full: the
// random check below rarely meets a full last bucket.
TEST(CaptionListBuckets, AppendingInStartOrderFillsEveryBucket) {
    CaptionList list;
    std::vector<Caption*> v;
    for (int i = 0; i < 201; ++i) {
        v.push_back(list.Insert(NewCaption(i * 10, i * 10 + 5)));
        ASSERT_NO_FATAL_FAILURE(CheckList(list, v)) << i;
    }
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
// the lookups at random frames and on both sides of a caption's start and end.
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
                c->ApplyTiming();  // as every caller does, so that captions never overlap
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
                ref[i]->MoveStart(lo + frame(hi - lo + 1));
                ref[i]->ApplyTiming();
                if (i > 0) ref[i - 1]->ApplyTiming();
                list.RefreshBucketKeys();
            }
            ASSERT_NO_FATAL_FAILURE(CheckList(list, ref)) << "seed " << seed << " step " << step;
            if (step % 7 == 0) {
                const Caption* c = ref[rng() % ref.size()];
                for (const int32_t f : {frame(range + 300) - 100, frame(range), c->startFrame - 1,
                                        c->startFrame, c->endFrame - 1, c->endFrame}) {
                    ASSERT_EQ(list.CaptionAt(f), RefCaptionAt(ref, f)) << f;
                    ASSERT_EQ(list.FirstUnfinishedAt(f), RefFirstUnfinishedAt(ref, f)) << f;
                    ASSERT_EQ(list.CaptionAtOrBefore(f), RefAtOrBefore(ref, f)) << f;
                }
            }
        }
        list.Clear();
        EXPECT_EQ(list.Head(), nullptr);
        EXPECT_EQ(list.FirstBucket().nextBucket, nullptr);
    }
}

}  // namespace
}  // namespace vantrel
