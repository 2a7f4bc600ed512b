// All captions of a project in start-frame order, with a coarse index of buckets of up to
// 100 captions so that a lookup by frame walks the buckets and then about one bucket.
#pragma once

#include <cstdint>

#include "model/caption.h"

namespace vantrel {

struct CaptionBucket {
    int32_t firstStartFrame = 0;  // key: start frame of the bucket's first caption
    int8_t count = 0;             // captions counted in the bucket; 100 is full
    Caption* firstCaption = nullptr;
    CaptionBucket* nextBucket = nullptr;
};

class CaptionList {
  public:
    static constexpr int kBucketSize = 100;

    CaptionList() = default;
    ~CaptionList() { Clear(); }
    CaptionList(const CaptionList&) = delete;
    CaptionList& operator=(const CaptionList&) = delete;

    // Takes ownership. The caption must bring a null `next` (see Insert in the design notes):
    // appending at the end or into an empty list keeps the links it has.
    void Insert(Caption* caption);
    // Unlinks and frees a caption of this list (a caption of another list is left alone).
    void Remove(Caption* caption);
    // Unlinks a caption of this list and hands it back to the caller instead of freeing it.
    Caption* Detach(Caption* caption);
    // Moves every caption of `other` into this list in order, as if decoded into it.
    void MoveFrom(CaptionList& other);
    void Clear();

    Caption* Head() const { return head_; }
    bool Empty() const { return head_ == nullptr; }
    const CaptionBucket& FirstBucket() const { return first_; }
    const CaptionBucket& LastBucket() const { return *last_; }

    Caption* BucketStart(int32_t frame) const;
    Caption* FirstUnfinishedAt(int32_t frame) const;
    Caption* CaptionAt(int32_t frame) const;
    Caption* CaptionAtOrBefore(int32_t frame) const;
    void RefreshBucketKeys();

    int Count() const;

  private:
    CaptionBucket* FindBucket(int32_t frame, CaptionBucket** before) const;
    CaptionBucket* BucketOf(const Caption* c, CaptionBucket** before);
    static bool RunContains(const CaptionBucket* b, const Caption* c);

    CaptionBucket first_;
    CaptionBucket* last_ = &first_;  // so that appending in order never walks every bucket
    Caption* head_ = nullptr;
};

}  // namespace vantrel
