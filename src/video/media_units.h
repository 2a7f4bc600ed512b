// The units in which the player and the view exchange media positions.
#pragma once

#include <cstdint>

namespace vantrel {

// Positions are media time in units of 100 ns.
constexpr int64_t kMediaUnitsPerSecond = 10000000;

// The view's fixed length of one video frame (29.97 frames per second, rounded). The player
// hands out video positions as exact multiples of it, so that the view's truncating division
// gives back the frame index whatever the media's real frame times are.
constexpr int64_t kVideoFrameDuration = 333667;

}  // namespace vantrel
