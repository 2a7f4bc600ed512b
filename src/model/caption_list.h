// All captions of a project in start-frame order, with a coarse index of buckets of up to
// 100 captions so that a lookup by frame walks the buckets and then about one bucket. A table of
// the buckets' first rows, rebuilt on the first lookup after a change, finds a caption's row and
// the caption at a row by a binary search and then at most one bucket's walk.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "model/caption.h"

namespace vantrel {

struct CaptionBucket {
    int32_t firstStartFrame = 0;  // key: start frame of the bucket's first caption
    int8_t count = 0;             // captions counted in the bucket; 100 is full
    Caption* firstCaption = nullptr;
    CaptionBucket* nextBucket = nullptr;
};

// What a change to the list touched: the captions that start in [firstFrame, lastFrame], before
// or after it, were changed, added or removed.
struct CaptionRange {
    int32_t firstFrame = 0;
    int32_t lastFrame = 0;
};
// Every caption: the list was replaced (an import, an opened or new project).
inline constexpr CaptionRange kWholeList{std::numeric_limits<int32_t>::min(),
                                         std::numeric_limits<int32_t>::max()};

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
    // Exchanges every caption with `other` without allocating.
    void Swap(CaptionList& other);
    void Clear();

    // Link and Unlink are Insert and Detach without retiming the caption before: what undo
    // needs to put back exactly what was there.
    Caption* Link(std::unique_ptr<Caption> caption);
    std::unique_ptr<Caption> Unlink(Caption* caption);

    // The one listener told of changes (a view that follows the list); the undoable commands
    // tell it.
    void SetObserver(std::function<void(CaptionRange)> observer) {
        observer_ = std::move(observer);
    }
    void NotifyChanged(CaptionRange range) const {
        if (observer_) observer_(range);
    }

    // The blank frames the timing modes, the timing keys and snapping leave before a caption:
    // the least gap of the check profile in force (kDefaultGap when none was set).
    int32_t Gap() const { return gap_; }
    void SetGap(int32_t gap) { gap_ = gap > 0 ? gap : kDefaultGap; }

    Caption* Head() const { return head_; }
    bool Empty() const { return head_ == nullptr; }
    const CaptionBucket& FirstBucket() const { return first_; }
    const CaptionBucket& LastBucket() const { return *last_; }

    Caption* BucketStart(int32_t frame) const;
    Caption* FirstUnfinishedAt(int32_t frame) const;
    Caption* CaptionAt(int32_t frame) const;
    Caption* CaptionAtOrBefore(int32_t frame) const;
    void RefreshBucketKeys();

    // Count and the row lookups fill a cache of the buckets' first rows: like a change, they are
    // for the thread that owns the list, never for a worker that only walks it.
    int Count() const;
    // The caption's place in the list from 0, or -1 when it is not of this list.
    int RowOf(const Caption* caption) const;
    // The caption at a place in the list, or null past either end.
    Caption* CaptionAtRow(int row) const;

  private:
    Caption* InsertTimed(std::unique_ptr<Caption> caption, bool retime);
    std::unique_ptr<Caption> DetachTimed(Caption* caption, bool retime);
    CaptionBucket* FindBucket(int32_t frame, CaptionBucket** before) const;
    CaptionBucket* BucketOf(const Caption* c, CaptionBucket** before);
    static bool RunContains(const CaptionBucket* b, const Caption* c);
    static bool NeedsNewBucket(const CaptionBucket* b, bool appending);
    // The rows table follows the buckets again after links changed.
    void ForgetRows() { rowsValid_ = false; }
    void IndexRows() const;

    struct BucketRow {
        const CaptionBucket* bucket;
        int firstRow;
    };

    CaptionBucket first_;
    CaptionBucket* last_ = &first_;  // so that appending in order never walks every bucket
    Caption* head_ = nullptr;
    int32_t gap_ = kDefaultGap;
    std::function<void(CaptionRange)> observer_;
    // A cache that lookups fill: the list itself does not change.
    mutable std::vector<BucketRow> rows_;
    mutable int rowCount_ = 0;
    mutable bool rowsValid_ = false;
};

}  // namespace vantrel
