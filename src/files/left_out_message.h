// The message that tells the user which captions the encoder had to leave out of an export
// or a multiplexed stream.
#pragma once

#include <string>
#include <vector>

#include "model/caption.h"

namespace vantrel {

// How many captions were left out and the start timecodes of the first of them; empty when
// none was.
std::string LeftOutCaptionsText(const std::vector<const Caption*>& leftOut);

}  // namespace vantrel
