#include "editor/edit_session.h"

#include <algorithm>

#include "editor/typing_attribute.h"

namespace vantrel {

namespace {

bool OnAir(const Caption* c, int32_t frame) {
    return c != nullptr && c->startFrame <= frame && frame < c->endFrame;
}

}  // namespace

void BeginEditSession(const CaptionList& list, int32_t frame, EditingContext& context) {
    Caption* shown = list.CaptionAtOrBefore(frame);
    context.stepName = kTypingStep;
    context.editCopy = std::make_unique<Caption>();
    if (OnAir(shown, frame)) {
        context.source = shown;
        context.editCopy->TakeContent(*shown);
        PickUpAttribute(context);
    } else {
        context.source = nullptr;
        context.editCopy->startFrame = frame;
        context.editCopy->endFrame = frame + 1;
        context.typingAttribute = kDefaultAttribute;
    }
}

void BeginNewCaptionSession(std::unique_ptr<Caption> caption, const char* stepName,
                            EditingContext& context) {
    context.stepName = stepName;
    context.source = nullptr;
    context.editCopy = std::move(caption);
    context.typingAttribute = kDefaultAttribute;
}

void PreviewEditTiming(const CaptionList& list, EditingContext& context) {
    Caption* copy = context.editCopy.get();
    if (copy == nullptr) return;
    const Caption* following = nullptr;
    if (context.source != nullptr) {
        following = context.source->next;
    } else {
        const Caption* before = list.CaptionAtOrBefore(copy->startFrame);
        following = before != nullptr ? before->next : list.Head();
        while (following != nullptr && following->startFrame <= copy->startFrame) {
            following = following->next;
        }
    }
    copy->endFrame = std::max(copy->TimedEnd(following, list.Gap()), copy->startFrame + 1);
}

bool EditSessionChanged(const EditingContext& context) {
    const Caption* copy = context.editCopy.get();
    if (copy == nullptr) return false;
    if (context.source == nullptr) return copy->CountOccupiedRows() > 0;
    return !copy->SameScreen(*context.source);
}

Caption* CommitEditSession(EditHistory& history, EditingContext& context) {
    const bool changed = EditSessionChanged(context);
    std::unique_ptr<Caption> copy = std::move(context.editCopy);
    Caption* source = context.source;
    context.source = nullptr;
    // A screen left as it was changes nothing, not even a stale end.
    if (copy == nullptr || !changed) return source;
    CaptionList& list = history.Project().captions;
    const bool hasText = copy->CountOccupiedRows() > 0;
    if (source == nullptr && hasText) {
        // A caption that shows for no frame (one emptied by an edit) may start here: it takes
        // the new content, rather than gaining a twin on its frame that timing cannot order
        // and that a project file could not hold.
        Caption* same = list.CaptionAtOrBefore(copy->startFrame);
        if (same != nullptr && same->startFrame == copy->startFrame) source = same;
    }
    CaptionChange change(history, context.stepName);
    Caption* taken = nullptr;
    if (source != nullptr) {
        // The source keeps its place in the list: only its content is replaced.
        change.Touch(source);
        source->TakeContent(*copy);
        source->ApplyTiming(list.Gap());
        taken = source;
    } else if (hasText) {
        taken = change.Add(std::move(copy));
        taken->ApplyTiming(list.Gap());
    }
    const int32_t frame = taken != nullptr ? taken->startFrame : -1;
    change.Commit(frame, frame);
    return taken;
}

}  // namespace vantrel
