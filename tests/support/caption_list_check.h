// The structural invariants of a caption list, checked against the captions it should hold.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "model/caption_list.h"

namespace vantrel::testing {

// Checks every structural invariant of the list against `expected`, the captions in order.
inline void CheckList(const CaptionList& list, const std::vector<Caption*>& expected) {
    ASSERT_EQ(list.Head(), expected.empty() ? nullptr : expected.front());
    const Caption* prev = nullptr;
    size_t i = 0;
    for (const Caption* c = list.Head(); c; c = c->next, ++i) {
        ASSERT_LT(i, expected.size());
        ASSERT_EQ(c, expected[i]);
        ASSERT_EQ(c->prev, prev);
        if (prev) {
            ASSERT_LE(prev->startFrame, c->startFrame);
        }
        prev = c;
    }
    ASSERT_EQ(i, expected.size());
    ASSERT_EQ(list.FirstBucket().firstCaption, list.Head());
    const CaptionBucket* last = &list.FirstBucket();
    while (last->nextBucket) last = last->nextBucket;
    ASSERT_EQ(&list.LastBucket(), last);

    // Buckets cut the chain into consecutive runs of `count` captions; all but the last are full.
    size_t index = 0;
    for (const CaptionBucket* b = &list.FirstBucket(); b; b = b->nextBucket) {
        if (expected.empty()) break;
        ASSERT_LT(index, expected.size());
        ASSERT_EQ(b->firstCaption, expected[index]);
        if (b != &list.FirstBucket()) {
            ASSERT_EQ(b->firstStartFrame, b->firstCaption->startFrame);
        }
        ASSERT_GE(b->count, 1);
        if (b->nextBucket) {
            ASSERT_EQ(b->count, CaptionList::kBucketSize) << "a bucket before the last is full";
        } else {
            ASSERT_LE(b->count, CaptionList::kBucketSize);
        }
        const size_t runEnd = b->nextBucket ? std::find(expected.begin(), expected.end(),
                                                        b->nextBucket->firstCaption) -
                                                  expected.begin()
                                            : expected.size();
        ASSERT_LE(runEnd, expected.size()) << "next bucket's first caption is not in the list";
        ASSERT_EQ(static_cast<int>(runEnd - index), b->count);
        index = runEnd;
    }
}

}  // namespace vantrel::testing
