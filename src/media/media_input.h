// What the readers of src/media share: a local media file opened with FFmpeg's libraries and a
// decoder for one of its streams.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <memory>
#include <string>

namespace vantrel::media {

struct FormatCloser {
    void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};
struct CodecCloser {
    void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecCloser>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;

// The file with its streams probed; null when it cannot be read. Only local files are read,
// whatever the file refers to (a playlist, an HLS index), as the frame source reads them.
FormatPtr OpenLocalMedia(const std::string& path);

// The index of stream `n` (from 0) of this type, cover pictures left out; -1 when there is
// none. Every other stream is discarded, so the demuxer hands out only its packets.
int KeepOnlyStream(AVFormatContext* format, AVMediaType type, int n);

// The time per frame of the first picture stream; 1001/30000 s when there is none.
double SecondsPerFrameOf(const AVFormatContext* format);
// Where the first picture stream starts, in seconds (0 when unknown or none).
double PictureStartOf(const AVFormatContext* format);

// A decoder for the stream, set up by `configure` before it opens; null on failure.
template <typename Configure>
CodecPtr OpenDecoder(const AVStream* stream, Configure configure) {
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (decoder == nullptr) return nullptr;
    CodecPtr codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), stream->codecpar) < 0) return nullptr;
    codec->pkt_timebase = stream->time_base;
    configure(*codec, *decoder);
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0) return nullptr;
    return codec;
}

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
