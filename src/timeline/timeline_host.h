// What the timeline needs of the main view that owns it: the current frame and play state, the
// project with its captions and modified flag, seeking, the caption window's shown caption and
// the operator's answers.
#pragma once

#include <cstdint>
#include <string>

#include "editor/edit_history.h"
#include "model/caption_project.h"
#include "model/play_state.h"

namespace vantrel {

class TimelineHost {
  public:
    virtual ~TimelineHost() = default;

    virtual int32_t CurrentFrame() const = 0;
    virtual PlayState CurrentPlayState() const = 0;
    virtual CaptionProject& Project() = 0;
    // The project's undo history: a drag, a delete is one step.
    virtual EditHistory& History() = 0;
    // Moves the view to a frame; the view then calls the timeline's SetCurrentFrame.
    virtual void SeekToFrame(int32_t frame) = 0;

    // The caption window forgets the caption it shows (before that caption is freed) ...
    virtual void ForgetShownCaption() = 0;
    // ... and shows the caption of a frame afresh, repainting at once.
    virtual void ResetAndShowFrame(int32_t frame) = 0;
};

}  // namespace vantrel
