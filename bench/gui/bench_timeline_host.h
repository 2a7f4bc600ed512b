// The least host a timeline needs to draw a project outside the window: a fixed frame and play
// state, and no seeking.
#pragma once

#include "timeline/timeline_window.h"

namespace vantrel {

class BenchTimelineHost : public TimelineHost {
  public:
    explicit BenchTimelineHost(PlayState state) : state_(state) {}
    int32_t CurrentFrame() const override { return 0; }
    PlayState CurrentPlayState() const override { return state_; }
    CaptionProject& Project() override { return project; }
    EditHistory& History() override { return history; }
    void SeekToFrame(int32_t) override {}
    void ForgetShownCaption() override {}
    void ResetAndShowFrame(int32_t) override {}

    CaptionProject project;
    EditHistory history{project};

  private:
    PlayState state_;
};

}  // namespace vantrel
