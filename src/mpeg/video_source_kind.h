// What a video source is, judged by its first bytes, and whether captions can be multiplexed
// into it: today an MPEG-2 video elementary stream only.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vantrel {

struct VideoSourceKind {
    bool carriesCaptions = false;
    // When it cannot: what it is, where that is cheaply known, as a clause for a message
    // ("it is an MPEG program stream").
    std::string_view what;
};

// `head` is the start of the source (the start-code reader's first window, 64 KiB; all of it
// when it is shorter). A stream that carries captions begins, after any zero bytes, with a
// sequence header 00 00 01 B3 within the head; zero bytes that fill the whole head are taken
// for no stream at all.
VideoSourceKind IdentifyVideoSource(std::span<const uint8_t> head);

}  // namespace vantrel
