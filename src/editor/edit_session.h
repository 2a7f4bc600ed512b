// The edit session: an edit works on a private copy of a caption, and its commit puts the copy
// into the project's caption list as one undo step. The caption window drives it.
#pragma once

#include <cstdint>
#include <memory>

#include "editor/edit_history.h"
#include "editor/editing_context.h"
#include "model/caption_list.h"

namespace vantrel {

// Begins an edit on a copy of the caption on the air at `frame`, or on a new caption there.
void BeginEditSession(const CaptionList& list, int32_t frame, EditingContext& context);
// Begins an edit on a caption not yet in the list (Add Caption); its commit is a `stepName`.
void BeginNewCaptionSession(std::unique_ptr<Caption> caption, const char* stepName,
                            EditingContext& context);

// Gives the copy the end its commit would give it (at least one frame, so that it stays on the
// air while it is typed).
void PreviewEditTiming(const CaptionList& list, EditingContext& context);

// Whether committing now would change the project: the screen differs from its source's, or a
// new caption has text.
bool EditSessionChanged(const EditingContext& context);

// Ends the session: the copy replaces its source's content, or enters the list as a new caption;
// a new caption left without text is dropped, and a screen left as it was changes nothing. One
// undo step when anything changed. Returns the caption of the list that took the edit, or null.
Caption* CommitEditSession(EditHistory& history, EditingContext& context);

}  // namespace vantrel
