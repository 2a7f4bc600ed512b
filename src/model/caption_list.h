// All captions of a project in start-frame order, with a coarse index of buckets of up to
// 100 captions so that a lookup by frame walks the buckets and then about one bucket.
#pragma once

#include <cstdint>
#include <memory>

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

    // Links the caption in by its start frame and returns it; its own timing is left to the
    // caller. Should memory run out, the list stays as it was and the caption is freed.
    Caption* Insert(std::unique_ptr<Caption> caption);
    // Unlinks and frees a caption of this list (a caption of another list is left alone).
    void Remove(Caption* caption);
    // Unlinks a caption of this list and hands it back to the caller (null if not of this list).
    std::unique_ptr<Caption> Detach(Caption* caption);
    // Moves every caption of `other` into this list in order, as if decoded into it. Into an
    // empty list the captions move as they are linked, without allocating.
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
    static bool NeedsNewBucket(const CaptionBucket* b, bool appending);

    CaptionBucket first_;
    CaptionBucket* last_ = &first_;  // so that appending in order never walks every bucket
    Caption* head_ = nullptr;
};

}  // namespace vantrel
