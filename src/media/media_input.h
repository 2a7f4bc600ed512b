// What the readers of src/media share beyond the FFmpeg glue: the picture's rate and start, and
// the decoding of one stream.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace vantrel::media {

// The time per frame of the first picture stream; 1001/30000 s when there is none.
double SecondsPerFrameOf(const AVFormatContext* format);
// Where the first picture stream starts, in seconds (0 when unknown or none).
double PictureStartOf(const AVFormatContext* format);

// Hands every packet of stream `index` to the decoder, then the end, calling `drain` after each
// to take the frames it gave; false when `proceed` said to stop before the end. A damaged packet
// is left out and the decoding goes on with the next.
template <typename Drain, typename Proceed>
bool DecodeStream(AVFormatContext* format, AVCodecContext* codec, AVPacket* packet, int index,
                  Drain drain, Proceed proceed) {
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == index) {
            avcodec_send_packet(codec, packet);
            drain();
        }
        av_packet_unref(packet);
        if (!proceed()) return false;
    }
    avcodec_send_packet(codec, nullptr);
    drain();
    return true;
}

}  // namespace vantrel::media
