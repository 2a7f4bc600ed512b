// What both directions of the carriers need from FFmpeg's libraries: owners for their objects,
// the cancel flag as an interrupt callback, and their error codes as text.
#pragma once

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/error.h>
}

#include <atomic>
#include <string>

namespace vantrel {

struct InputCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

// An AVIOInterruptCB callback over a cancel flag.
inline int Interrupted(void* flag) {
    return static_cast<const std::atomic<int>*>(flag)->load(std::memory_order_relaxed) != 0;
}

inline std::string AvErrorText(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

}  // namespace vantrel
