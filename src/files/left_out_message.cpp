#include "files/left_out_message.h"

#include "files/timecode.h"

namespace vantrel {

namespace {

constexpr size_t kListedStarts = 10;

}  // namespace

std::string LeftOutCaptionsText(const std::vector<const Caption*>& leftOut) {
    const size_t n = leftOut.size();
    if (n == 0) return {};
    std::string text = std::to_string(n);
    text += n == 1 ? " caption could not be encoded in time and was left out. It starts at "
                   : " captions could not be encoded in time and were left out. They start at ";
    const size_t listed = n < kListedStarts ? n : kListedStarts;
    for (size_t k = 0; k < listed; ++k) {
        if (k > 0) text += (k + 1 == listed && listed == n) ? " and " : ", ";
        text += FormatTimecode(leftOut[k]->startFrame);
    }
    if (listed < n) text += " and " + std::to_string(n - listed) + " more";
    text += '.';
    return text;
}

}  // namespace vantrel
