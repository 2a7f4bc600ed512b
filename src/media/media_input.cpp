#include "media/media_input.h"

#include "av/av_glue.h"
#include "files/timecode.h"

namespace vantrel::media {

namespace {

const AVStream* FirstPicture(const AVFormatContext* format) {
    const int index = av::NthStream(format, AVMEDIA_TYPE_VIDEO, 0);
    return index < 0 ? nullptr : format->streams[index];
}

}  // namespace

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
