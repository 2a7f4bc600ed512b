// The transport states of the main view; the caption editor receives the same numbers, and 4
// while the caption set is being replaced.
#pragma once

namespace vantrel {

enum PlayStates : int {
    kStopped = 0,
    kPaused = 1,
    kPlaying = 2,
    kScanning = 3,
};

}  // namespace vantrel
