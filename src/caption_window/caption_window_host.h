// What the caption window needs of the main view that owns it: the current frame and play
// state, the project with its captions and modified flag, the properties panel, the timeline
// and the beep.
#pragma once

#include <cstdint>

#include "editor/edit_history.h"
#include "model/caption.h"
#include "model/caption_project.h"
#include "model/play_state.h"

namespace vantrel {

class CaptionWindowHost {
  public:
    virtual ~CaptionWindowHost() = default;

    virtual int32_t CurrentFrame() const = 0;
    virtual PlayState CurrentPlayState() const = 0;
    virtual CaptionProject& Project() = 0;
    // The project's undo history, which the edits' commits go into.
    virtual EditHistory& History() = 0;

    // The properties panel shows a caption, or nothing.
    virtual void FillPanel(const Caption& caption) = 0;
    virtual void ClearPanel() = 0;

    // The caption list changed under the timeline: it forgets its cached caption and repaints.
    virtual void ForgetTimelineCaption() = 0;

    // The system's default sound, for a refused edit.
    virtual void Beep() = 0;
};

}  // namespace vantrel
