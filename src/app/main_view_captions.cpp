// Caption commands of the main view: navigation, adding a caption, the timing mode and the times
// typed in the properties panel, undo and redo.
#include <algorithm>
#include <memory>

#include "app/main_view.h"
#include "editor/caption_steps.h"
#include "editor/grid_queries.h"

namespace vantrel {

int32_t MainView::NextCaptionStart() const {
    const int32_t f = currentFrame_;
    const Caption* c = project_.captions.CaptionAtOrBefore(f);
    if (c == nullptr) {
        c = project_.captions.Head();
    } else if (c->next != nullptr) {
        c = c->next;
    }
    return c != nullptr && c->startFrame > f ? c->startFrame : -1;
}

// From inside caption k this goes to the start of caption k-1, not of k.
int32_t MainView::PreviousCaptionStart() const {
    const int32_t f = currentFrame_;
    const Caption* c = project_.captions.FirstUnfinishedAt(f);
    if (c != nullptr) {
        if (c->prev != nullptr) c = c->prev;
    } else {
        c = project_.captions.CaptionAtOrBefore(f);
        if (c == nullptr) return -1;
    }
    return c->endFrame <= f ? c->startFrame : -1;
}

void MainView::NextCaption() {
    if (playState_ != PlayState::Stopped && playState_ != PlayState::Paused) return;
    if (const int32_t start = NextCaptionStart(); start >= 0) SeekToFrame(start);
}

void MainView::PreviousCaption() {
    if (playState_ != PlayState::Stopped && playState_ != PlayState::Paused) return;
    if (const int32_t start = PreviousCaptionStart(); start >= 0) SeekToFrame(start);
}

// Inside a caption, a copy of it after its loading (a split); in a gap or before every caption,
// an edit on a new empty caption at the current frame.
void MainView::AddCaption() {
    PauseIfPlaying();
    const int32_t f = currentFrame_;
    std::unique_ptr<Caption> empty;
    Caption* split = AddCaptionAt(history_, f, &empty);
    if (empty != nullptr) {
        captionWindow_.BeginNewCaption(std::move(empty), kAddCaptionStep);
        ForgetTimelineCaption();
        return;
    }
    if (split == nullptr) {
        Beep();
        return;
    }
    captionWindow_.ForgetShownCaption();
    captionWindow_.ResetAndShowFrame(f);
    ForgetTimelineCaption();
}

// Several captions chosen in the list all take the mode; else the caption the panel shows.
void MainView::SetTimingMode(int mode) {
    const int32_t f = currentFrame_;
    std::vector<Caption*> chosen = table_.SelectedCaptions();
    if (chosen.size() < 2) {
        Caption* c = project_.captions.CaptionAt(f);
        if (c == nullptr) return;
        chosen = {c};
    }
    SetTimingModeStep(history_, chosen, static_cast<int8_t>(mode));
    captionWindow_.ForgetShownCaption();
    captionWindow_.ResetAndShowFrame(f);
    ForgetTimelineCaption();
}

namespace {

// Why a typed time was not taken: the range a timeline drag allows, in the panel's units.
QString TypedTimeRefusal(PropertiesPanel::Field field, int64_t typed, FrameBounds bounds,
                         TimecodeStyle style) {
    const auto frame = [style](int64_t f) {
        return QStringLiteral("frame %1 (%2)")
            .arg(f)
            .arg(QString::fromStdString(FormatTimecode(static_cast<int32_t>(f), style)));
    };
    switch (field) {
        case PropertiesPanel::Field::Start:
            return QStringLiteral("Start Frame %1 not taken: this caption can start from %2 to %3")
                .arg(typed)
                .arg(frame(bounds.lowest), frame(bounds.highest));
        case PropertiesPanel::Field::End:
            return QStringLiteral("End Frame %1 not taken: this caption can end from %2 to %3")
                .arg(typed)
                .arg(frame(bounds.lowest), frame(bounds.highest));
        case PropertiesPanel::Field::Duration:
            break;
    }
    return QStringLiteral("Duration %1 not taken: this caption can last from %2 to %3 frames")
        .arg(typed)
        .arg(bounds.lowest)
        .arg(bounds.highest);
}

}  // namespace

// Refused, with the bounds named, outside the bounds of a timeline drag; a moved caption takes
// the video with it.
void MainView::SetTypedTime(PropertiesPanel::Field field, int64_t frame) {
    captionWindow_.EndEdit();
    if (Caption* c = project_.captions.CaptionAt(currentFrame_)) SetTypedTimeOf(*c, field, frame);
}

void MainView::SetTypedTimeOf(Caption& caption, PropertiesPanel::Field field, int64_t frame) {
    captionWindow_.EndEdit();
    PauseIfPlaying();
    Caption* c = &caption;
    using enum PropertiesPanel::Field;
    FrameBounds bounds = field == Start ? StartBounds(*c, project_.captions.Gap())
                                        : EndBounds(*c, project_.captions.Gap());
    if (field == Duration) bounds = {bounds.lowest - c->startFrame, bounds.highest - c->startFrame};
    if (frame < bounds.lowest || frame > bounds.highest) {
        emit Refused(TypedTimeRefusal(field, frame, bounds, timecodeStyle_));
        if (project_.captions.CaptionAt(currentFrame_) == c) panel_.FillPanel(*c);
        return;
    }
    switch (field) {
        case PropertiesPanel::Field::Start:
            MoveCaptionStep(history_, *c, frame, kStartFrameStep);
            break;
        case PropertiesPanel::Field::End:
            SetCaptionEndStep(history_, *c, frame, kEndFrameStep);
            break;
        case PropertiesPanel::Field::Duration:
            SetCaptionEndStep(history_, *c, c->startFrame + frame, kDurationStep);
            break;
    }
    ForgetTimelineCaption();
    GoToFrame(c->startFrame);
}

void MainView::GoToFrame(int32_t frame) {
    if (player_.IsOpen()) {
        SeekToFrame(frame);
    } else {
        currentFrame_ = frame;
        timeline_.SetCurrentFrame(frame);
        pass_.Begin(frame);
        table_.FollowFrame(frame);
    }
    captionWindow_.ForgetShownCaption();
    captionWindow_.ResetAndShowFrame(currentFrame_);
}

void MainView::DeleteSelectedCaptions() {
    // Taken before the edit's commit, which may reset the list's rows; no caption is freed by it.
    const std::vector<Caption*> chosen = table_.SelectedCaptions();
    captionWindow_.EndEdit();
    if (chosen.empty()) return;
    PauseIfPlaying();
    ReleaseCaptions();
    DeleteCaptionsStep(history_, chosen);
    ShowCaptionsAgain();
}

void MainView::EditCaptionAtRow(int row) {
    captionWindow_.EndEdit();
    PauseIfPlaying();
    const Caption* c = project_.captions.CaptionAtRow(row);
    if (c == nullptr) return;
    GoToFrame(c->startFrame);
    // A video shorter than the captions stops before this one: nothing to edit there.
    if (project_.captions.CaptionAt(currentFrame_) != c) {
        Beep();
        return;
    }
    int last = kScreenRows - 1;
    while (last > 0 && ContentEnd(*c, last, kScreenColumns) == 0) --last;
    captionWindow_.BeginEdit(last, ContentEnd(*c, last, kScreenColumns));
}

void MainView::Undo() {
    TakeStep(true);
}

void MainView::Redo() {
    TakeStep(false);
}

void MainView::TakeStep(bool undo) {
    // Undo while typing undoes the whole edit.
    captionWindow_.EndEdit();
    if (undo ? !history_.CanUndo() : !history_.CanRedo()) return;
    PauseIfPlaying();
    ReleaseCaptions();
    const int32_t frame = undo ? history_.Undo() : history_.Redo();
    ShowCaptionsAgain();
    if (frame >= 0) GoToFrame(frame);
    // Moving the video is no change to the project.
    history_.UpdateModified();
}

}  // namespace vantrel
