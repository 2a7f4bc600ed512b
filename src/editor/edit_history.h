// Undo and redo: every change to a project's captions is one step, made through a CaptionChange
// (or ReplaceAll for an import) and kept in the project's EditHistory. A step keeps the captions
// it took out of the list and the content its captions had in the other state, so that undo
// and redo put back exactly what was there. The history is bounded in bytes, the oldest steps
// dropped first; the project's modified flag is "not at the saved step".
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "model/caption_project.h"

namespace vantrel {

// The step names the Edit menu shows after "Undo " and "Redo ".
inline constexpr const char* kTypingStep = "Typing";
inline constexpr const char* kAddCaptionStep = "Add Caption";
inline constexpr const char* kSplitCaptionStep = "Split Caption";
inline constexpr const char* kDeleteCaptionStep = "Delete Caption";
inline constexpr const char* kDeleteCaptionsStep = "Delete Captions";
inline constexpr const char* kMoveCaptionStep = "Move Caption";
inline constexpr const char* kDragEndStep = "Drag Caption End";
inline constexpr const char* kTimingModeStep = "Timing Mode";
inline constexpr const char* kStartFrameStep = "Start Frame";
inline constexpr const char* kEndFrameStep = "End Frame";
inline constexpr const char* kDurationStep = "Duration";
inline constexpr const char* kImportStep = "Import";

struct UndoStep;

class EditHistory {
  public:
    static constexpr size_t kDefaultLimit = size_t{64} << 20;

    explicit EditHistory(CaptionProject& project, size_t limitBytes = kDefaultLimit);
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    CaptionProject& Project() { return project_; }

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    // The names of the steps undo and redo would take; empty when there is none.
    std::string UndoName() const;
    std::string RedoName() const;
    // Take one step back or forward; the frame of the caption it changed (its start in the
    // state reached), or -1 when the step changed no one caption.
    int32_t Undo();
    int32_t Redo();

    // An import: the project's captions move into a new step, leaving the list empty for the
    // captions read. Undo and redo exchange the two lists whole.
    void ReplaceAll(const char* name);

    // The project as it now stands was saved, or opened: the modified flag follows it.
    void MarkSaved();
    // Forgets every step (a new or opened project); `saved` tells whether the project now
    // stands as on disk.
    void Clear(bool saved);

    // Sets the project's modified flag again (after something else set it).
    void UpdateModified();

    // What the steps hold, for the bound.
    size_t Bytes() const { return bytes_; }
    size_t StepCount() const { return steps_.size(); }
    // Names the state the project stands in: it changes with every step, undo and redo, and
    // comes back when undo or redo comes back to the same state.
    uint64_t CurrentStep() const { return CurrentId(); }

  private:
    friend class CaptionChange;
    void Push(std::unique_ptr<UndoStep> step);
    uint64_t CurrentId() const;

    CaptionProject& project_;
    size_t limit_;
    std::deque<std::unique_ptr<UndoStep>> steps_;
    size_t done_ = 0;  // steps_[0, done_) are done; the rest undone
    size_t bytes_ = 0;
    uint64_t nextId_ = 1;
    uint64_t baseId_ = 0;  // the state before the oldest step kept
    uint64_t savedId_ = 0;
};

// One change in the making: the caller changes captions in place after touching them, or adds
// and removes captions through it, and commits it as one step.
class CaptionChange {
  public:
    CaptionChange(EditHistory& history, const char* name);
    ~CaptionChange();
    CaptionChange(const CaptionChange&) = delete;
    CaptionChange& operator=(const CaptionChange&) = delete;

    CaptionList& Captions() { return history_.Project().captions; }

    // Before a caption of the list changes in place; null is ignored.
    void Touch(Caption* caption);
    // Links a caption in by its start, retiming the caption before it as Insert does.
    Caption* Add(std::unique_ptr<Caption> caption);
    // Takes a caption out, retiming the caption before it as Detach does; the step keeps it.
    void Remove(Caption* caption);

    // Makes the step, when anything changed: the video goes to `undoFrame` on undo and to
    // `redoFrame` on redo. True when a step was made.
    bool Commit(int32_t undoFrame, int32_t redoFrame);

  private:
    EditHistory& history_;
    std::unique_ptr<UndoStep> step_;
};

}  // namespace vantrel
