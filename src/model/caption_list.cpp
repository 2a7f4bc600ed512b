#include "model/caption_list.h"

#include <algorithm>

namespace vantrel {

CaptionBucket* CaptionList::FindBucket(int32_t frame, CaptionBucket** before) const {
    auto* b = const_cast<CaptionBucket*>(&first_);
    CaptionBucket* prior = nullptr;
    while (b->nextBucket && b->nextBucket->firstStartFrame < frame) {
        prior = b;
        b = b->nextBucket;
    }
    if (before) *before = prior;
    return b;
}

// Whether linking a caption into bucket `b` opens a bucket: appending to a full bucket, or
// inserting before the end while `b` and every bucket after it are full.
bool CaptionList::NeedsNewBucket(const CaptionBucket* b, bool appending) {
    if (appending) return b->count >= kBucketSize;
    for (; b->count >= kBucketSize; b = b->nextBucket) {
        if (!b->nextBucket) return true;
    }
    return false;
}

Caption* CaptionList::Insert(std::unique_ptr<Caption> caption) {
    return InsertTimed(std::move(caption), true);
}

Caption* CaptionList::Link(std::unique_ptr<Caption> caption) {
    return InsertTimed(std::move(caption), false);
}

Caption* CaptionList::InsertTimed(std::unique_ptr<Caption> caption, bool retime) {
    ForgetRows();
    Caption* c = caption.get();
    c->prev = c->next = nullptr;
    CaptionBucket* b = last_ != &first_ && last_->firstStartFrame < c->startFrame
                           ? last_
                           : FindBucket(c->startFrame, nullptr);
    if (!b->firstCaption) {
        b->firstCaption = caption.release();
        head_ = c;
        b->count = 1;
        return c;
    }
    Caption* p = b->firstCaption;
    while (p->next && p->startFrame < c->startFrame) p = p->next;
    const bool appending = p->startFrame < c->startFrame;

    // A new bucket is had before anything is linked: running out of memory changes nothing.
    std::unique_ptr<CaptionBucket> nb;
    if (NeedsNewBucket(b, appending)) nb = std::make_unique<CaptionBucket>();
    caption.release();

    if (appending) {
        p->next = c;
        c->prev = p;
        if (retime) p->ApplyTiming(gap_);
        if (nb) {
            nb->firstStartFrame = c->startFrame;
            nb->count = 1;
            nb->firstCaption = c;
            b->nextBucket = nb.release();
            last_ = b->nextBucket;
        } else {
            ++b->count;
        }
        return c;
    }

    // c goes just before p, so a new caption precedes existing ones with the same start.
    c->prev = p->prev;
    c->next = p;
    if (p->prev) {
        p->prev->next = c;
        if (retime) p->prev->ApplyTiming(gap_);
    } else {
        head_ = c;
    }
    p->prev = c;
    if (b->firstCaption == p) {
        b->firstCaption = c;
        b->firstStartFrame = c->startFrame;
    }
    // Full buckets hand their last caption on to the next bucket. A full last bucket opens a
    // new one for its last caption, so that no bucket ever holds more than it counts and a
    // lookup never walks more than one bucket's captions.
    while (b->count >= kBucketSize) {
        if (!b->nextBucket) {
            Caption* last = b->firstCaption;
            while (last->next) last = last->next;
            nb->firstStartFrame = last->startFrame;
            nb->firstCaption = last;
            b->nextBucket = nb.release();
            last_ = b = b->nextBucket;
            break;
        }
        b = b->nextBucket;
        b->firstCaption = b->firstCaption->prev;
        b->firstStartFrame = b->firstCaption->startFrame;
    }
    ++b->count;
    return c;
}

bool CaptionList::RunContains(const CaptionBucket* b, const Caption* c) {
    const Caption* stop = b->nextBucket ? b->nextBucket->firstCaption : nullptr;
    for (const Caption* x = b->firstCaption; x && x != stop; x = x->next) {
        if (x == c) return true;
    }
    return false;
}

CaptionBucket* CaptionList::BucketOf(const Caption* c, CaptionBucket** before) {
    // The key search finds the bucket unless captions with c's start frame straddle a bucket
    // boundary (then a later bucket holds it) or keys are stale after moves.
    CaptionBucket* prior = nullptr;
    CaptionBucket* b = FindBucket(c->startFrame, &prior);
    for (CaptionBucket* y = b; y; prior = y, y = y->nextBucket) {
        if (RunContains(y, c)) {
            if (before) *before = prior;
            return y;
        }
        if (y->nextBucket && y->nextBucket->firstStartFrame > c->startFrame) break;
    }
    prior = nullptr;
    for (CaptionBucket* y = &first_; y; prior = y, y = y->nextBucket) {
        if (RunContains(y, c)) {
            if (before) *before = prior;
            return y;
        }
    }
    return nullptr;
}

std::unique_ptr<Caption> CaptionList::Detach(Caption* c) {
    return DetachTimed(c, true);
}

std::unique_ptr<Caption> CaptionList::Unlink(Caption* c) {
    return DetachTimed(c, false);
}

std::unique_ptr<Caption> CaptionList::DetachTimed(Caption* c, bool retime) {
    CaptionBucket* before = nullptr;
    CaptionBucket* b = BucketOf(c, &before);
    if (!b) return nullptr;  // not in this list
    ForgetRows();

    --b->count;
    bool shift = true;
    if (b->firstCaption == c) {
        b->firstCaption = c->next;
        if (c->next) {
            b->firstStartFrame = c->next->startFrame;
        } else if (before) {
            before->nextBucket = b->nextBucket;
            if (last_ == b) last_ = before;
            delete b;
            shift = false;
        } else {
            b->count = 0;
            b->firstStartFrame = 0;
        }
    }
    // Every bucket before the last keeps its count; the hole moves to the last bucket.
    while (shift && b->nextBucket) {
        ++b->count;
        CaptionBucket* n = b->nextBucket;
        --n->count;
        n->firstCaption = n->firstCaption->next;
        if (n->firstCaption) {
            n->firstStartFrame = n->firstCaption->startFrame;
            b = n;
        } else {
            b->nextBucket = n->nextBucket;
            if (last_ == n) last_ = b;
            delete n;
            break;
        }
    }

    if (c->prev) {
        c->prev->next = c->next;
    } else {
        head_ = c->next;
    }
    if (c->next) c->next->prev = c->prev;
    Caption* prev = c->prev;
    c->prev = c->next = nullptr;
    if (prev && retime) prev->ApplyTiming(gap_);
    return std::unique_ptr<Caption>(c);
}

void CaptionList::Remove(Caption* c) {
    Detach(c);  // the owner handed back frees it
}

void CaptionList::MoveFrom(CaptionList& other) {
    ForgetRows();
    other.ForgetRows();
    if (Empty()) {
        head_ = other.head_;
        first_ = other.first_;
        last_ = other.last_ == &other.first_ ? &first_ : other.last_;
        other.head_ = nullptr;
        other.first_ = CaptionBucket{};
        other.last_ = &other.first_;
        return;
    }
    while (Caption* c = other.Head()) Insert(other.Detach(c));
}

void CaptionList::Swap(CaptionList& other) {
    CaptionList held;
    held.MoveFrom(*this);
    MoveFrom(other);
    other.MoveFrom(held);
}

void CaptionList::Clear() {
    ForgetRows();
    CaptionBucket* b = first_.nextBucket;
    while (b) {
        CaptionBucket* n = b->nextBucket;
        delete b;
        b = n;
    }
    Caption* c = head_;
    while (c) {
        Caption* n = c->next;
        delete c;
        c = n;
    }
    head_ = nullptr;
    last_ = &first_;
    first_.firstCaption = nullptr;
    first_.nextBucket = nullptr;
    first_.firstStartFrame = 0;
}

Caption* CaptionList::BucketStart(int32_t frame) const {
    return FindBucket(frame, nullptr)->firstCaption;
}

Caption* CaptionList::FirstUnfinishedAt(int32_t frame) const {
    Caption* c = BucketStart(frame);
    while (c && c->endFrame <= frame) c = c->next;
    return c;
}

Caption* CaptionList::CaptionAt(int32_t frame) const {
    Caption* c = FirstUnfinishedAt(frame);
    return c && c->startFrame <= frame ? c : nullptr;
}

Caption* CaptionList::CaptionAtOrBefore(int32_t frame) const {
    Caption* c = BucketStart(frame);
    if (!c) return nullptr;
    if (c->startFrame <= frame) {
        if (c->endFrame > frame) return c;
        while (c->next && c->next->startFrame <= frame) c = c->next;
        return c;
    }
    while (c && c->startFrame > frame) c = c->prev;
    return c;
}

void CaptionList::RefreshBucketKeys() {
    for (CaptionBucket* b = &first_; b; b = b->nextBucket) {
        if (b->firstCaption) b->firstStartFrame = b->firstCaption->startFrame;
    }
}

void CaptionList::IndexRows() const {
    if (rowsValid_) return;
    rows_.clear();
    int row = 0;
    for (const CaptionBucket* b = &first_; b && b->firstCaption; b = b->nextBucket) {
        rows_.push_back({b, row});
        row += b->count;
    }
    rowCount_ = row;
    rowsValid_ = true;
}

int CaptionList::Count() const {
    IndexRows();
    return rowCount_;
}

Caption* CaptionList::CaptionAtRow(int row) const {
    IndexRows();
    if (row < 0 || row >= rowCount_) return nullptr;
    const auto at = std::upper_bound(rows_.begin(), rows_.end(), row,
                                     [](int r, const BucketRow& b) { return r < b.firstRow; });
    const BucketRow& b = *(at - 1);
    Caption* c = b.bucket->firstCaption;
    for (int k = b.firstRow; k < row; ++k) c = c->next;
    return c;
}

int CaptionList::RowOf(const Caption* c) const {
    if (c == nullptr) return -1;
    IndexRows();
    const auto within = [c](const BucketRow& b) {
        int row = b.firstRow;
        const Caption* x = b.bucket->firstCaption;
        for (int k = 0; k < b.bucket->count && x; ++k, x = x->next, ++row) {
            if (x == c) return row;
        }
        return -1;
    };
    // The last bucket keyed at or before the caption's start holds it, unless captions with
    // that start run back over a bucket boundary: then an earlier bucket keyed at that start,
    // or the one just before those. The first bucket's key is never looked at.
    const int32_t s = c->startFrame;
    auto at = std::upper_bound(
        rows_.begin() + (rows_.empty() ? 0 : 1), rows_.end(), s,
        [](int32_t f, const BucketRow& b) { return f < b.bucket->firstStartFrame; });
    while (at != rows_.begin()) {
        --at;
        if (const int row = within(*at); row >= 0) return row;
        if (at->bucket->firstStartFrame < s) break;
    }
    // Keys left stale by a move not yet refreshed: every bucket.
    for (const BucketRow& b : rows_) {
        if (const int row = within(b); row >= 0) return row;
    }
    return -1;
}

}  // namespace vantrel
