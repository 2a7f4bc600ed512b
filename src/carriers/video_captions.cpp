#include "carriers/video_captions.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>

#include "av/av_glue.h"
#include "carriers/caption_payloads.h"
#include "files/cc_data.h"
#include "files/file_messages.h"
#include "files/timecode.h"
#include "files/timecode_lines.h"

namespace vantrel {

namespace {

bool IsNullPair(uint8_t first, uint8_t second) {
    return (first & 0x7F) == 0 && (second & 0x7F) == 0;
}

void Place(PairStreamBuilder& builder, int64_t frame, const std::vector<uint8_t>& pairs,
           bool& truncated) {
    if (pairs.empty()) return;
    frame = std::max(frame, builder.NextFrame());
    if (builder.StartLine(frame) != PairStreamBuilder::LineStart::Placed) {
        truncated = true;
        return;
    }
    for (size_t k = 0; k + 1 < pairs.size(); k += 2)
        builder.AppendAlignedPair(pairs[k], pairs[k + 1]);
}

// The length size of the NAL units of MP4-style H.264 (avcC) and HEVC (hvcC) configuration
// records; 0 for start codes.
int NalLengthSize(const AVCodecParameters& codec) {
    const uint8_t* x = codec.extradata;
    const int n = codec.extradata_size;
    if (x == nullptr || x[0] != 1) return 0;
    if (codec.codec_id == AV_CODEC_ID_H264 && n >= 7) return (x[4] & 0x03) + 1;
    if (codec.codec_id == AV_CODEC_ID_HEVC && n >= 23) return (x[21] & 0x03) + 1;
    return 0;
}

// What a stream's packets carry captions in.
enum class Carrier { None, Mpeg2, H264, Hevc, Track };

Carrier CarrierOf(const AVCodecParameters& codec) {
    switch (codec.codec_id) {
        case AV_CODEC_ID_MPEG2VIDEO:
        case AV_CODEC_ID_MPEG1VIDEO:
            return Carrier::Mpeg2;
        case AV_CODEC_ID_H264:
            return Carrier::H264;
        case AV_CODEC_ID_HEVC:
            return Carrier::Hevc;
        case AV_CODEC_ID_EIA_608:
            return Carrier::Track;
        default:
            return Carrier::None;
    }
}

}  // namespace

void PlaceTimedPairs(std::vector<TimedPairs> pictures, double start, CaptionFileData& out) {
    std::stable_sort(pictures.begin(), pictures.end(),
                     [](const TimedPairs& a, const TimedPairs& b) { return a.time < b.time; });
    PairStreamBuilder field1, field2;
    const double last = static_cast<double>(std::numeric_limits<int64_t>::max() / 2);
    for (const TimedPairs& p : pictures) {
        const double at = std::clamp(std::round((p.time - start) * kFramesPerSecond), 0.0, last);
        const auto frame = static_cast<int64_t>(at);
        Place(field1, frame, p.field1, out.truncated);
        Place(field2, frame, p.field2, out.truncated);
        for (size_t k = 0; k + 2 < p.dtvcc.size() && out.dtvcc.size() < dtvcc::kMaxEntries; k += 3)
            out.dtvcc.push_back({frame, p.dtvcc[k], {p.dtvcc[k + 1], p.dtvcc[k + 2]}});
    }
    out.pairs = field1.Take();
    out.field2Pairs = field2.Take();
    out.badParity = field1.BadParity();
    out.field2BadParity = field2.BadParity();
}

MpegStatus ReadVideoCaptions(const std::string& path, ProgressSink& progress,
                             const std::atomic<int>& cancel, CaptionFileData& out,
                             std::string& message) {
    std::string reason;
    const av::InputPtr format = av::OpenLocalInput(path, {.cancel = &cancel}, reason);
    if (!format) {
        if (CancelRaised(&cancel)) return MpegStatus::Cancelled;
        message = ErrorOpeningFileText(path, reason);
        return MpegStatus::ReadFailed;
    }
    // Raw H.264 and HEVC streams have no time stamps; libavformat's guesses would place the
    // captions at a rate nobody chose.
    const std::string_view name = format->iformat->name;
    if ((format->iformat->flags & AVFMT_NOTIMESTAMPS) || name == "h264" || name == "hevc") {
        message = VideoWithoutTimestampsText(path, name == "h264"   ? "raw H.264"
                                                   : name == "hevc" ? "raw HEVC"
                                                                    : name);
        return MpegStatus::NotAVideoStream;
    }
    const int video = av::BestVideoStream(format.get());
    const av::PacketPtr packet = av::NewPacket();

    double videoStart = std::numeric_limits<double>::infinity();
    std::map<int, std::vector<TimedPairs>> carried;  // by stream
    std::map<int, double> starts;
    // An MPEG-2 I or P picture without a presentation time is shown when the next one is
    // decoded: its time is that one's decoding time.
    bool anchorPending = false;
    long pendingRecord = -1;
    while (true) {
        if (CancelRaised(&cancel)) return MpegStatus::Cancelled;
        const int read = av_read_frame(format.get(), packet.get());
        if (read == AVERROR_EOF && !av::NamedOtherFiles(format.get())) break;
        if (read < 0) {
            if (CancelRaised(&cancel)) return MpegStatus::Cancelled;
            message = ErrorOpeningFileText(path, av::NamedOtherFiles(format.get())
                                                     ? std::string(kNamesOtherFilesText)
                                                     : av::ErrorText(read));
            return MpegStatus::ReadFailed;
        }
        const std::unique_ptr<AVPacket, decltype(&av_packet_unref)> unref(packet.get(),
                                                                          av_packet_unref);
        if (format->pb)
            progress.SetProgress(
                static_cast<uint64_t>(std::max<int64_t>(avio_tell(format->pb), 0)));
        const AVStream& stream = *format->streams[packet->stream_index];
        const Carrier carrier = CarrierOf(*stream.codecpar);
        const bool isVideo = packet->stream_index == video;
        if (carrier == Carrier::None || (carrier != Carrier::Track && !isVideo)) continue;
        const int64_t stamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if (stamp == AV_NOPTS_VALUE) continue;
        const double time = static_cast<double>(stamp) * av_q2d(stream.time_base);
        const std::span<const uint8_t> bytes(packet->data, static_cast<size_t>(packet->size));
        std::vector<TimedPairs>& records = carried[packet->stream_index];
        bool anchorWithoutTime = false;
        if (carrier == Carrier::Mpeg2) {
            const int type = Mpeg2PictureType(bytes);
            if (type == kMpeg2IPicture || type == kMpeg2PPicture) {
                if (anchorPending) {
                    if (pendingRecord >= 0) records[static_cast<size_t>(pendingRecord)].time = time;
                    videoStart = std::min(videoStart, time);
                }
                anchorWithoutTime = packet->pts == AV_NOPTS_VALUE;
                anchorPending = anchorWithoutTime;
                pendingRecord = -1;
            }
        }
        if (isVideo && !anchorWithoutTime) videoStart = std::min(videoStart, time);
        auto [startAt, added] = starts.try_emplace(packet->stream_index, time);
        if (!added) startAt->second = std::min(startAt->second, time);

        TimedPairs pairs{time, {}, {}, {}};
        const PairSink sink = [&](int field, uint8_t a, uint8_t b) {
            if (IsNullPair(a, b)) return;
            auto& into = field == 1 ? pairs.field1 : pairs.field2;
            into.insert(into.end(), {a, b});
        };
        const DtvccSink dtvccSink = [&](uint8_t type, uint8_t a, uint8_t b) {
            pairs.dtvcc.insert(pairs.dtvcc.end(), {type, a, b});
        };
        switch (carrier) {
            case Carrier::Mpeg2:
                ReadMpeg2UserData(bytes, sink, &dtvccSink);
                break;
            case Carrier::H264:
            case Carrier::Hevc:
                ReadSeiCaptions(bytes,
                                carrier == Carrier::H264 ? VideoCoding::H264 : VideoCoding::Hevc,
                                NalLengthSize(*stream.codecpar), sink, &dtvccSink);
                break;
            case Carrier::Track:
                ForEach608Pair(bytes, bytes.size() / kCcEntryBytes, sink);
                break;
            case Carrier::None:
                break;
        }
        if (!pairs.field1.empty() || !pairs.field2.empty() || !pairs.dtvcc.empty()) {
            if (anchorWithoutTime) pendingRecord = static_cast<long>(records.size());
            records.push_back(std::move(pairs));
        }
    }
    // A caption track, where there is one, holds the captions meant for the video.
    auto from = carried.end();
    for (auto it = carried.begin(); it != carried.end(); ++it) {
        if (it->second.empty()) continue;
        if (it->first != video || from == carried.end()) from = it;
    }
    if (from == carried.end()) return MpegStatus::NoCaptions;
    const double start = std::isfinite(videoStart) ? videoStart : starts[from->first];
    PlaceTimedPairs(std::move(from->second), start, out);
    return out.pairs.empty() && out.field2Pairs.empty() && out.dtvcc.empty()
               ? MpegStatus::NoCaptions
               : MpegStatus::Completed;
}

}  // namespace vantrel
