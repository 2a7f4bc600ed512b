#include "av/av_glue.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
}

#include <cerrno>
#include <cstring>
#include <new>

#include "files/file.h"
#include "files/file_messages.h"

namespace vantrel::av {

namespace {

// What the demuxer of one opened file may open: the file itself, and nothing it names.
struct OpenGuard {
    std::string url;
    bool refused = false;
    int (*next)(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) = nullptr;
};

int GuardedOpen(AVFormatContext* format, AVIOContext** pb, const char* url, int flags,
                AVDictionary** options) {
    auto* guard = static_cast<OpenGuard*>(format->opaque);
    if (guard == nullptr || url == nullptr || guard->url != url) {
        if (guard != nullptr) guard->refused = true;
        return AVERROR(EPERM);
    }
    return guard->next(format, pb, url, flags, options);
}

int Interrupted(void* flag) {
    return static_cast<const std::atomic<int>*>(flag)->load(std::memory_order_relaxed) != 0;
}

bool IsPicture(const AVStream* stream) {
    return stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
           (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0;
}

}  // namespace

void InputCloser::operator()(AVFormatContext* format) const {
    auto* guard = static_cast<OpenGuard*>(format->opaque);
    avformat_close_input(&format);
    delete guard;
}
void CodecCloser::operator()(AVCodecContext* codec) const {
    avcodec_free_context(&codec);
}
void PacketFreer::operator()(AVPacket* packet) const {
    av_packet_free(&packet);
}
void FrameFreer::operator()(AVFrame* frame) const {
    av_frame_free(&frame);
}

PacketPtr NewPacket() {
    PacketPtr packet(av_packet_alloc());
    if (!packet) throw std::bad_alloc();
    return packet;
}

FramePtr NewFrame() {
    FramePtr frame(av_frame_alloc());
    if (!frame) throw std::bad_alloc();
    return frame;
}

std::string ErrorText(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

void QuietLog() {
    av_log_set_level(AV_LOG_FATAL);
}

std::string LocalPathOf(const AVFormatContext* format) {
    const std::string_view url = format->url != nullptr ? format->url : "";
    return std::string(url.starts_with("file:") ? url.substr(5) : url);
}

bool NamedOtherFiles(const AVFormatContext* format) {
    const auto* guard = static_cast<const OpenGuard*>(format->opaque);
    return guard != nullptr && guard->refused;
}

InputPtr OpenLocalInput(const std::string& path, const InputOptions& options, std::string& error) {
    error.clear();
    const LocalFileKind kind = CheckLocalFile(path);
    if (kind != LocalFileKind::Regular) {
        error = kind == LocalFileKind::Missing ? std::string(std::strerror(ENOENT))
                                               : std::string(kNotALocalFileText);
        return nullptr;
    }
    auto guard = std::make_unique<OpenGuard>();
    // Through the file protocol whatever the name looks like (a name with a colon is no URL).
    guard->url = "file:" + path;
    AVFormatContext* raw = avformat_alloc_context();
    if (raw == nullptr) throw std::bad_alloc();
    guard->next = raw->io_open;
    raw->io_open = GuardedOpen;
    raw->opaque = guard.get();
    if (options.cancel != nullptr) {
        raw->interrupt_callback = {Interrupted, const_cast<std::atomic<int>*>(options.cancel)};
    }
    AVDictionary* settings = nullptr;
    av_dict_set(&settings, "protocol_whitelist", "file", 0);
    // Raw streams are read in larger pieces than the demuxer's 1 KiB, for faster seeks.
    if (options.largeRawPackets) av_dict_set(&settings, "raw_packet_size", "65536", 0);
    const int opened = avformat_open_input(&raw, guard->url.c_str(), nullptr, &settings);
    av_dict_free(&settings);
    const auto cancelled = [&] { return options.cancel != nullptr && options.cancel->load() != 0; };
    if (opened < 0) {  // libavformat has freed the context
        if (!cancelled())
            error = guard->refused ? std::string(kNamesOtherFilesText) : ErrorText(opened);
        return nullptr;
    }
    InputPtr format(raw);
    guard.release();
    if (options.probeStreams) {
        const int probed = avformat_find_stream_info(raw, nullptr);
        if (probed < 0 || NamedOtherFiles(raw)) {
            if (!cancelled())
                error =
                    NamedOtherFiles(raw) ? std::string(kNamesOtherFilesText) : ErrorText(probed);
            return nullptr;
        }
    }
    return format;
}

int NthStream(const AVFormatContext* format, AVMediaType type, int n) {
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        const bool wanted =
            type == AVMEDIA_TYPE_VIDEO ? IsPicture(stream) : stream->codecpar->codec_type == type;
        if (wanted && n-- == 0) return static_cast<int>(i);
    }
    return -1;
}

int BestVideoStream(const AVFormatContext* format) {
    const int best = av_find_best_stream(const_cast<AVFormatContext*>(format), AVMEDIA_TYPE_VIDEO,
                                         -1, -1, nullptr, 0);
    return best >= 0 && IsPicture(format->streams[best]) ? best : -1;
}

void DiscardAllBut(AVFormatContext* format, int index) {
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        format->streams[i]->discard =
            static_cast<int>(i) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
}

int KeepOnlyStream(AVFormatContext* format, AVMediaType type, int n) {
    const int found = NthStream(format, type, n);
    DiscardAllBut(format, found);
    return found;
}

CodecPtr OpenDecoder(const AVStream* stream,
                     const std::function<void(AVCodecContext&, const AVCodec&)>& configure) {
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (decoder == nullptr) return nullptr;
    CodecPtr codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), stream->codecpar) < 0) return nullptr;
    codec->pkt_timebase = stream->time_base;
    if (configure) configure(*codec, *decoder);
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0) return nullptr;
    return codec;
}

}  // namespace vantrel::av
