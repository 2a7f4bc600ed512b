// The transport state of the main view, which the caption window and the timeline follow.
#pragma once

namespace vantrel {

enum class PlayState {
    Stopped,
    Paused,
    Playing,
    Scanning,
    // The caption window only: its caption set is being replaced under it.
    ReplacingCaptions,
};

}  // namespace vantrel
