#include "editor/edit_history.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace vantrel {

namespace {

bool Holds(const std::vector<Caption*>& captions, const Caption* c) {
    return std::find(captions.begin(), captions.end(), c) != captions.end();
}

}  // namespace

struct UndoStep {
    std::string name;
    uint64_t id = 0;
    int32_t undoFrame = -1;
    int32_t redoFrame = -1;
    // Captions in the list in both states whose content changed, each with the content it has
    // in the other state.
    std::vector<std::pair<Caption*, std::unique_ptr<Caption>>> swaps;
    std::vector<Caption*> added;
    std::vector<Caption*> removed;
    // The captions out of the list in the state it stands in: the removed ones while the step
    // is done, the added ones while it is undone.
    std::vector<std::unique_ptr<Caption>> out;
    // An import: the captions of the other state, exchanged whole.
    bool replacesAll = false;
    CaptionList others;
    size_t othersCount = 0;
    CaptionRange range;

    size_t Bytes() const {
        const size_t captions =
            replacesAll ? othersCount : swaps.size() + added.size() + removed.size();
        return sizeof(UndoStep) + captions * sizeof(Caption) +
               (replacesAll ? othersCount / CaptionList::kBucketSize * sizeof(CaptionBucket) : 0);
    }

    void Apply(CaptionList& list, bool undo) {
        if (replacesAll) {
            list.Swap(others);
            othersCount = static_cast<size_t>(others.Count());
        } else {
            std::vector<std::unique_ptr<Caption>> entering = std::move(out);
            out.clear();
            for (Caption* c : undo ? added : removed) out.push_back(list.Unlink(c));
            for (auto& [c, other] : swaps) {
                Caption held;
                held.TakeContent(*c);
                c->TakeContent(*other);
                other->TakeContent(held);
            }
            list.RefreshBucketKeys();
            for (auto& c : entering) list.Link(std::move(c));
            list.RefreshBucketKeys();
        }
        list.NotifyChanged(range);
    }
};

EditHistory::EditHistory(CaptionProject& project, size_t limitBytes)
    : project_(project), limit_(limitBytes) {}

EditHistory::~EditHistory() = default;

std::string EditHistory::UndoName() const {
    return CanUndo() ? steps_[done_ - 1]->name : std::string();
}

std::string EditHistory::RedoName() const {
    return CanRedo() ? steps_[done_]->name : std::string();
}

uint64_t EditHistory::CurrentId() const {
    return done_ > 0 ? steps_[done_ - 1]->id : baseId_;
}

void EditHistory::UpdateModified() {
    project_.SetModified(CurrentId() != savedId_);
}

void EditHistory::Push(std::unique_ptr<UndoStep> step) {
    while (steps_.size() > done_) {
        bytes_ -= steps_.back()->Bytes();
        steps_.pop_back();
    }
    step->id = nextId_++;
    bytes_ += step->Bytes();
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    // The newest step stays, however large.
    while (bytes_ > limit_ && steps_.size() > 1) {
        baseId_ = steps_.front()->id;
        bytes_ -= steps_.front()->Bytes();
        steps_.pop_front();
        --done_;
    }
    UpdateModified();
}

int32_t EditHistory::Undo() {
    if (!CanUndo()) return -1;
    UndoStep& step = *steps_[--done_];
    bytes_ -= step.Bytes();
    step.Apply(project_.captions, true);
    bytes_ += step.Bytes();
    UpdateModified();
    return step.undoFrame;
}

int32_t EditHistory::Redo() {
    if (!CanRedo()) return -1;
    UndoStep& step = *steps_[done_++];
    bytes_ -= step.Bytes();
    step.Apply(project_.captions, false);
    bytes_ += step.Bytes();
    UpdateModified();
    return step.redoFrame;
}

void EditHistory::ReplaceAll(const char* name) {
    auto step = std::make_unique<UndoStep>();
    step->name = name;
    step->replacesAll = true;
    step->others.MoveFrom(project_.captions);
    step->othersCount = static_cast<size_t>(step->others.Count());
    step->range = kWholeList;
    Push(std::move(step));
}

void EditHistory::MarkSaved() {
    savedId_ = CurrentId();
    UpdateModified();
}

void EditHistory::Clear(bool saved) {
    steps_.clear();
    done_ = 0;
    bytes_ = 0;
    baseId_ = nextId_++;
    savedId_ = saved ? baseId_ : 0;
    UpdateModified();
}

CaptionChange::CaptionChange(EditHistory& history, const char* name)
    : history_(history), step_(std::make_unique<UndoStep>()) {
    step_->name = name;
}

// A change left uncommitted still becomes a step: what was changed stays undoable.
CaptionChange::~CaptionChange() {
    if (step_) Commit(-1, -1);
}

void CaptionChange::Touch(Caption* caption) {
    if (caption == nullptr || Holds(step_->added, caption)) return;
    for (const auto& swap : step_->swaps) {
        if (swap.first == caption) return;
    }
    auto before = std::make_unique<Caption>();
    before->TakeContent(*caption);
    step_->swaps.emplace_back(caption, std::move(before));
}

Caption* CaptionChange::Add(std::unique_ptr<Caption> caption) {
    Caption* c = Captions().Link(std::move(caption));
    step_->added.push_back(c);
    Touch(c->prev);
    if (c->prev != nullptr) c->prev->ApplyTiming(Captions().Gap());
    return c;
}

void CaptionChange::Remove(Caption* caption) {
    Caption* prev = caption->prev;
    Touch(prev);
    std::unique_ptr<Caption> gone = Captions().Unlink(caption);
    if (prev != nullptr) prev->ApplyTiming(Captions().Gap());
    auto& added = step_->added;
    if (Holds(added, caption)) {
        // Added and removed in the same change: it never was.
        added.erase(std::find(added.begin(), added.end(), caption));
        return;
    }
    // Undo puts it back as it was before the change.
    auto& swaps = step_->swaps;
    for (auto it = swaps.begin(); it != swaps.end(); ++it) {
        if (it->first == caption) {
            gone->TakeContent(*it->second);
            swaps.erase(it);
            break;
        }
    }
    step_->removed.push_back(caption);
    step_->out.push_back(std::move(gone));
}

bool CaptionChange::Commit(int32_t undoFrame, int32_t redoFrame) {
    std::unique_ptr<UndoStep> step = std::move(step_);
    auto& swaps = step->swaps;
    std::erase_if(swaps, [](const auto& swap) { return swap.first->SameContent(*swap.second); });
    if (swaps.empty() && step->added.empty() && step->removed.empty()) return false;
    int32_t first = std::numeric_limits<int32_t>::max();
    int32_t last = std::numeric_limits<int32_t>::min();
    const auto cover = [&](const Caption& c) {
        first = std::min(first, c.startFrame);
        last = std::max(last, c.startFrame);
    };
    for (const auto& [c, other] : swaps) {
        cover(*c);
        cover(*other);
    }
    for (const Caption* c : step->added) cover(*c);
    for (const auto& c : step->out) cover(*c);
    step->range = {first, last};
    step->undoFrame = undoFrame;
    step->redoFrame = redoFrame;
    Captions().RefreshBucketKeys();
    Captions().NotifyChanged(step->range);
    history_.Push(std::move(step));
    return true;
}

}  // namespace vantrel
