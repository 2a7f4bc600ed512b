#include "media/media_input.h"

#include "files/timecode.h"

namespace vantrel::media {

namespace {

bool IsPicture(const AVStream* stream) {
    return stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
           (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0;
}

const AVStream* FirstPicture(const AVFormatContext* format) {
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (IsPicture(format->streams[i])) return format->streams[i];
    }
    return nullptr;
}

}  // namespace

FormatPtr OpenLocalMedia(const std::string& path) {
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    AVFormatContext* raw = nullptr;
    const int opened = avformat_open_input(&raw, path.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) return nullptr;
    FormatPtr format(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0) return nullptr;
    return format;
}

int KeepOnlyStream(AVFormatContext* format, AVMediaType type, int n) {
    int found = -1;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        const bool wanted =
            type == AVMEDIA_TYPE_VIDEO ? IsPicture(stream) : stream->codecpar->codec_type == type;
        if (wanted && found < 0 && n-- == 0) found = static_cast<int>(i);
    }
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        format->streams[i]->discard =
            static_cast<int>(i) == found ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
    return found;
}

double SecondsPerFrameOf(const AVFormatContext* format) {
    const AVStream* picture = FirstPicture(format);
    if (picture != nullptr) {
        for (AVRational rate : {picture->avg_frame_rate, picture->r_frame_rate}) {
            if (rate.num > 0 && rate.den > 0) return av_q2d(av_inv_q(rate));
        }
    }
    return kFrameSeconds;
}

double PictureStartOf(const AVFormatContext* format) {
    const AVStream* picture = FirstPicture(format);
    if (picture == nullptr || picture->start_time == AV_NOPTS_VALUE) return 0;
    return static_cast<double>(picture->start_time) * av_q2d(picture->time_base);
}

}  // namespace vantrel::media
