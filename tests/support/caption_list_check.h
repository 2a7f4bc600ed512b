// The structural invariants of a caption list, checked against the captions it should hold.
#pragma once

#include <gtest/gtest.h>

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
    for (const CaptionBucket* b = &list.FirstBucket(); b && !expected.empty(); b = b->nextBucket) {
        ASSERT_LT(index, expected.size()) << "a bucket past the captions";
        ASSERT_EQ(b->firstCaption, expected[index]);
        if (b != &list.FirstBucket()) {
            ASSERT_EQ(b->firstStartFrame, b->firstCaption->startFrame);
        }
        ASSERT_GE(b->count, 1);
        ASSERT_LE(b->count, CaptionList::kBucketSize);
        if (b->nextBucket) {
            ASSERT_EQ(b->count, CaptionList::kBucketSize) << "a bucket before the last is full";
        }
        index += static_cast<size_t>(b->count);
    }
    ASSERT_EQ(index, expected.size()) << "the buckets' counts add up to the captions";
}

}  // namespace vantrel::testing
