#include "carriers/embed_captions.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "av/av_glue.h"
#include "carriers/caption_payloads.h"
#include "codec/encoder.h"
#include "dtvcc/dtvcc_packets.h"
#include "files/cc_data.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "files/timecode.h"
#include "files/timecode_lines.h"
#include "model/caption_list.h"

namespace vantrel {

namespace {

// Writes of this size, as a file copy makes them.
constexpr int kIoBufferSize = 1 << 20;
constexpr int kLateStream = -2;  // a source stream that appeared after the output's header

struct OutputFreer {
    void operator()(AVFormatContext* c) const {
        if (c->pb) {
            av_freep(&c->pb->buffer);
            avio_context_free(&c->pb);
        }
        avformat_free_context(c);
    }
};
// libavformat writes through the destination file: the one safe writer's new file.
int WritePacket(void* opaque, uint8_t* data, int size) {
    File& file = *static_cast<File*>(opaque);
    return file.Write(data, static_cast<size_t>(size)) ? size : AVERROR(EIO);
}

int64_t SeekFile(void* opaque, int64_t offset, int whence) {
    File& file = *static_cast<File*>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            return file.Length();
        case SEEK_SET:
            break;
        case SEEK_CUR:
            offset += file.Tell();
            break;
        case SEEK_END:
            offset += file.Length();
            break;
        default:
            return AVERROR(EINVAL);
    }
    return file.Seek(offset) ? offset : AVERROR(EIO);
}

int NalLengthSize(const AVCodecParameters& codec) {
    const uint8_t* x = codec.extradata;
    if (x == nullptr || x[0] != 1) return 0;
    if (codec.codec_id == AV_CODEC_ID_H264 && codec.extradata_size >= 7) return (x[4] & 3) + 1;
    if (codec.codec_id == AV_CODEC_ID_HEVC && codec.extradata_size >= 23) return (x[21] & 3) + 1;
    return 0;
}

}  // namespace

int64_t CaptionCadence::FirstPair(int64_t picture) const {
    switch (kind) {
        case 2:
            return picture / 2;
        case 3:
            return picture / 4 * 5 + (picture % 4 == 0 ? 0 : picture % 4 + 1);
        default:
            return picture;
    }
}

int CaptionCadence::PairCount(int64_t picture) const {
    switch (kind) {
        case 2:
            return picture % 2 == 0 ? 1 : 0;
        case 3:
            return picture % 4 == 0 ? 2 : 1;
        default:
            return 1;
    }
}

int64_t CaptionCadence::PictureOfPair(int64_t pair) const {
    static constexpr int64_t kOfFive[5] = {0, 0, 1, 2, 3};  // 23.976: pairs 0 and 1 in picture 0
    switch (kind) {
        case 2:
            return 2 * pair;
        case 3:
            return pair / 5 * 4 + kOfFive[pair % 5];
        default:
            return pair;
    }
}

namespace {

// The captions' 708 service, its packets on the pictures that carry the 608 pairs they follow.
dtvcc::PacketStream DtvccForPictures(const EncodedCaptions& encoded,
                                     const CaptionCadence& cadence) {
    dtvcc::ServiceStream service{1, dtvcc::ServiceEvents(encoded.shown)};
    for (dtvcc::ServiceEvent& e : service.events) e.frame = cadence.PictureOfPair(e.frame);
    return dtvcc::PackServices(std::span(&service, 1), cadence.DtvccBytes());
}

}  // namespace

bool CadenceForRate(int numerator, int denominator, CaptionCadence& cadence) {
    const auto is = [&](int n, int d) {
        return int64_t{numerator} * d == int64_t{n} * denominator;
    };
    if (denominator <= 0) return false;
    if (is(kFrameRateNumerator, kFrameRateDenominator))
        cadence = {20, 1};
    else if (is(60000, 1001))
        cadence = {10, 2};
    else if (is(24000, 1001))
        cadence = {25, 3};
    else
        return false;
    return true;
}

MpegOutcome EmbedCaptions(const CaptionList& captions, const std::string& sourcePath,
                          File& destination, ProgressSink& progress, const std::atomic<int>& cancel,
                          CaptionCarrier carrier, bool with708) {
    MpegOutcome outcome;
    const auto fail = [&](MpegStatus status, std::string message) {
        outcome.status = status;
        outcome.message = std::move(message);
        return outcome;
    };
    try {
        const EncodedCaptions encoded = EncodeCaptions(captions, &cancel);
        if (CancelRaised(&cancel)) return fail(MpegStatus::Cancelled, "");
        outcome.leftOutCount = encoded.leftOut.size();
        outcome.leftOutMessage = LeftOutCaptionsText(encoded.leftOut);
        if (encoded.bytes.empty())
            return fail(MpegStatus::NothingToEncode, std::string(kNothingToMultiplexText));

        std::string reason;
        const av::InputPtr in = av::OpenLocalInput(sourcePath, {.cancel = &cancel}, reason);
        if (!in) {
            if (CancelRaised(&cancel)) return fail(MpegStatus::Cancelled, "");
            return fail(MpegStatus::ReadFailed, ErrorOpeningFileText(sourcePath, reason));
        }
        int error = 0;
        const int video = av::BestVideoStream(in.get());
        const AVStream* vs = video >= 0 ? in->streams[video] : nullptr;
        const AVCodecID codec = vs ? vs->codecpar->codec_id : AV_CODEC_ID_NONE;
        if (codec != AV_CODEC_ID_H264 && codec != AV_CODEC_ID_HEVC &&
            codec != AV_CODEC_ID_MPEG2VIDEO) {
            return fail(MpegStatus::NotAVideoStream,
                        NoCaptionCarrierText(sourcePath, "it has no MPEG-2, H.264 or HEVC video"));
        }
        const AVRational rate = vs->avg_frame_rate.num > 0 ? vs->avg_frame_rate : vs->r_frame_rate;
        CaptionCadence cadence;
        if (!CadenceForRate(rate.num, rate.den, cadence)) {
            return fail(
                MpegStatus::NotAVideoStream,
                NoCaptionCarrierText(sourcePath, "its video runs at " + std::to_string(rate.num) +
                                                     "/" + std::to_string(rate.den) +
                                                     " pictures per second; captions go "
                                                     "into video at 30000/1001, 60000/1001 "
                                                     "or 24000/1001 only"));
        }
        if (vs->codecpar->field_order != AV_FIELD_PROGRESSIVE &&
            vs->codecpar->field_order != AV_FIELD_UNKNOWN) {
            return fail(MpegStatus::NotAVideoStream,
                        NoCaptionCarrierText(sourcePath, "its pictures are coded as fields"));
        }

        // The output, in the format its name asks for, written through the destination.
        const std::string& outputPath = destination.Path();
        AVFormatContext* made = nullptr;
        avformat_alloc_output_context2(&made, nullptr, nullptr, outputPath.c_str());
        if (made == nullptr) {
            return fail(MpegStatus::WriteFailed,
                        ErrorSavingFileText(outputPath, "no container format has its extension"));
        }
        const std::unique_ptr<AVFormatContext, OutputFreer> out(made);
        std::vector<int> mapped(in->nb_streams, -1);
        for (unsigned i = 0; i < in->nb_streams; ++i) {
            const AVStream* is = in->streams[i];
            const AVMediaType type = is->codecpar->codec_type;
            if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO &&
                type != AVMEDIA_TYPE_SUBTITLE && type != AVMEDIA_TYPE_DATA) {
                continue;
            }
            if (avformat_query_codec(out->oformat, is->codecpar->codec_id, 0) == 0) {
                return fail(
                    MpegStatus::WriteFailed,
                    ErrorSavingFileText(outputPath, "stream " + std::to_string(i) + " (" +
                                                        avcodec_get_name(is->codecpar->codec_id) +
                                                        ") cannot be copied into this format"));
            }
            AVStream* os = avformat_new_stream(out.get(), nullptr);
            if (os == nullptr) throw std::bad_alloc();
            if (avcodec_parameters_copy(os->codecpar, is->codecpar) < 0) throw std::bad_alloc();
            os->codecpar->codec_tag = 0;
            os->time_base = is->time_base;
            os->id = is->id;  // transport streams keep their PIDs
            os->disposition = is->disposition;
            os->avg_frame_rate = is->avg_frame_rate;
            os->r_frame_rate = is->r_frame_rate;
            os->sample_aspect_ratio = is->sample_aspect_ratio;
            av_dict_copy(&os->metadata, is->metadata, 0);
            mapped[i] = os->index;
        }
        av_dict_copy(&out->metadata, in->metadata, 0);
        const bool track = carrier == CaptionCarrier::Track;
        AVStream* captionTrack = nullptr;
        if (track) {
            if (avformat_query_codec(out->oformat, AV_CODEC_ID_EIA_608, 0) != 1) {
                return fail(MpegStatus::WriteFailed,
                            ErrorSavingFileText(outputPath,
                                                "a c608 caption track goes into a .mov "
                                                "file only"));
            }
            captionTrack = avformat_new_stream(out.get(), nullptr);
            if (captionTrack == nullptr) throw std::bad_alloc();
            captionTrack->codecpar->codec_type = AVMEDIA_TYPE_SUBTITLE;
            captionTrack->codecpar->codec_id = AV_CODEC_ID_EIA_608;
            captionTrack->time_base = {kFrameRateDenominator, kFrameRateNumerator};
        }
        auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
        if (buffer == nullptr) throw std::bad_alloc();
        out->pb = avio_alloc_context(buffer, kIoBufferSize, 1, &destination, nullptr, WritePacket,
                                     SeekFile);
        if (out->pb == nullptr) {
            av_free(buffer);
            throw std::bad_alloc();
        }
        out->flags |= AVFMT_FLAG_CUSTOM_IO;
        // The muxer would otherwise hand every packet to the file as a write of its own.
        out->flush_packets = 0;
        const auto writeFailed = [&](int code) {
            if (CancelRaised(&cancel)) return fail(MpegStatus::Cancelled, "");
            const std::string reason =
                destination.Failed() ? destination.Error() : av::ErrorText(code);
            return fail(MpegStatus::WriteFailed, ErrorSavingFileText(outputPath, reason));
        };
        if ((error = avformat_write_header(out.get(), nullptr)) < 0) return writeFailed(error);

        const dtvcc::PacketStream dtvcc =
            with708 && !track ? DtvccForPictures(encoded, cadence) : dtvcc::PacketStream{};
        const auto packetOf = [&](int64_t picture) -> std::span<const uint8_t> {
            const auto it =
                std::lower_bound(dtvcc.packets.begin(), dtvcc.packets.end(), picture,
                                 [](const dtvcc::Packet& p, int64_t n) { return p.frame < n; });
            if (it == dtvcc.packets.end() || it->frame != picture) return {};
            return it->bytes;
        };
        const int lengthSize = NalLengthSize(*vs->codecpar);
        const VideoCoding coding =
            codec == AV_CODEC_ID_H264 ? VideoCoding::H264 : VideoCoding::Hevc;
        const int64_t start = vs->start_time != AV_NOPTS_VALUE ? vs->start_time : 0;
        const int64_t pairCount = static_cast<int64_t>(encoded.bytes.size() / 2);
        int64_t lastPair = -1;  // the last caption pair a picture carried
        // MPEG-2 pictures are counted by their groups and temporal references: an elementary
        // stream has no presentation times.
        int64_t groupStart = 0, inGroup = 0;
        const av::PacketPtr packet = av::NewPacket();
        const av::PacketPtr changed = av::NewPacket();
        std::vector<uint8_t> pairs;
        // A transport stream may gain streams after its start; the output's streams were fixed
        // when its header was written, so their packets are counted and left out.
        std::vector<std::string> lateStreams;
        uint64_t latePackets = 0;
        if (track) {
            // A sample for each pair that carries data, at its own frame from the video's first
            // picture on (a reader may give every pair of a sample its first one's time); the
            // interleaving puts them among the video's packets.
            const int64_t offset =
                av_rescale_q(vs->start_time != AV_NOPTS_VALUE ? vs->start_time : 0, vs->time_base,
                             captionTrack->time_base);
            for (const PairLine& line : SplitPairLines(encoded.bytes)) {
                for (size_t k = 0; k < line.pairCount; ++k) {
                    AVPacket* p = changed.get();
                    av_packet_unref(p);
                    if (av_new_packet(p, 3) < 0) throw std::bad_alloc();
                    p->data[0] = kField1Entry;
                    p->data[1] = ByteAt(encoded.bytes, line.firstByte + 2 * k);
                    p->data[2] = ByteAt(encoded.bytes, line.firstByte + 2 * k + 1);
                    const int64_t frame = line.frame + static_cast<int64_t>(k);
                    p->pts = p->dts = offset + frame;
                    p->duration = 1;
                    p->stream_index = captionTrack->index;
                    p->flags |= AV_PKT_FLAG_KEY;
                    av_packet_rescale_ts(p, {kFrameRateDenominator, kFrameRateNumerator},
                                         captionTrack->time_base);
                    lastPair = std::max(lastPair, frame);
                    if ((error = av_interleaved_write_frame(out.get(), p)) < 0) {
                        return writeFailed(error);
                    }
                }
            }
        }
        while (true) {
            if (CancelRaised(&cancel)) return fail(MpegStatus::Cancelled, "");
            error = av_read_frame(in.get(), packet.get());
            if (error == AVERROR_EOF && !av::NamedOtherFiles(in.get())) break;
            if (error < 0) {
                if (CancelRaised(&cancel)) return fail(MpegStatus::Cancelled, "");
                return fail(MpegStatus::ReadFailed,
                            ErrorOpeningFileText(sourcePath, av::NamedOtherFiles(in.get())
                                                                 ? std::string(kNamesOtherFilesText)
                                                                 : av::ErrorText(error)));
            }
            const std::unique_ptr<AVPacket, decltype(&av_packet_unref)> unref(packet.get(),
                                                                              av_packet_unref);
            if (in->pb)
                progress.SetProgress(
                    static_cast<uint64_t>(std::max<int64_t>(avio_tell(in->pb), 0)));
            const auto index = static_cast<size_t>(packet->stream_index);
            if (index >= mapped.size()) {
                mapped.resize(index + 1, -1);
                lateStreams.push_back(std::to_string(index) + " (" +
                                      avcodec_get_name(in->streams[index]->codecpar->codec_id) +
                                      ")");
                mapped[index] = kLateStream;
            }
            if (mapped[index] == kLateStream) ++latePackets;
            const int to = mapped[index];
            if (to < 0) continue;
            AVPacket* written = packet.get();
            const std::span<const uint8_t> bytes(packet->data, static_cast<size_t>(packet->size));
            bool groupStarts = false;
            const bool mpeg2 = codec == AV_CODEC_ID_MPEG2VIDEO;
            const int reference = mpeg2 && packet->stream_index == video
                                      ? Mpeg2TemporalReference(bytes, groupStarts)
                                      : -1;
            if (track) {
                // the video goes as it is
            } else if (reference >= 0 ||
                       (!mpeg2 && packet->stream_index == video && packet->pts != AV_NOPTS_VALUE)) {
                if (groupStarts) {
                    groupStart += inGroup;
                    inGroup = 0;
                }
                if (reference >= 0) ++inGroup;
                // The picture's place among those shown, at the video's rate.
                const int64_t picture =
                    reference >= 0
                        ? groupStart + reference
                        : av_rescale_q_rnd(packet->pts - start, vs->time_base, av_inv_q(rate),
                                           static_cast<AVRounding>(AV_ROUND_NEAR_INF));
                pairs.clear();
                const int64_t first = cadence.FirstPair(std::max<int64_t>(picture, 0));
                for (int k = 0; k < cadence.PairCount(std::max<int64_t>(picture, 0)); ++k) {
                    const int64_t n = first + k;
                    const bool has = n >= 0 && n < pairCount;
                    pairs.push_back(has ? encoded.bytes[2 * n] : 0x80);
                    pairs.push_back(has ? encoded.bytes[2 * n + 1] : 0x80);
                    if (has) lastPair = std::max(lastPair, n);
                }
                const std::vector<uint8_t> payload = CaptionSeiPayload(
                    pairs, cadence.ccCount, dtvcc.packets.empty() ? 0 : cadence.PairSlots(),
                    packetOf(std::max<int64_t>(picture, 0)));
                const std::vector<uint8_t> unit =
                    mpeg2 ? WithA53UserData(bytes, std::span<const uint8_t>(payload).subspan(3))
                          : WithCaptionSei(bytes, coding, lengthSize, payload);
                av_packet_unref(changed.get());
                if (av_new_packet(changed.get(), static_cast<int>(unit.size())) < 0)
                    throw std::bad_alloc();
                std::copy(unit.begin(), unit.end(), changed->data);
                if (av_packet_copy_props(changed.get(), packet.get()) < 0) throw std::bad_alloc();
                changed->stream_index = packet->stream_index;
                written = changed.get();
            }
            written->stream_index = to;
            av_packet_rescale_ts(written, in->streams[packet->stream_index]->time_base,
                                 out->streams[to]->time_base);
            written->pos = -1;
            if ((error = av_interleaved_write_frame(out.get(), written)) < 0)
                return writeFailed(error);
        }
        if ((error = av_write_trailer(out.get())) < 0) return writeFailed(error);
        avio_flush(out->pb);
        if (out->pb->error < 0 || destination.Failed()) return writeFailed(out->pb->error);
        // Captions whose pairs no picture carried: they start after the last picture.
        std::vector<const Caption*> late;
        const int64_t lastFrame = lastPair;
        for (const Caption* c = captions.Head(); c; c = c->next) {
            if (c->startFrame > lastFrame) late.push_back(c);
        }
        if (!late.empty()) {
            outcome.pastEndCount = late.size();
            outcome.pastEndMessage =
                CaptionsPastTheEndText(late.size(), late.front()->startFrame, lastFrame);
        }
        if (latePackets > 0)
            outcome.skippedMessage = LateStreamsText(sourcePath, lateStreams, latePackets);
        outcome.status = MpegStatus::Completed;
    } catch (const std::bad_alloc&) {
        return fail(MpegStatus::OutOfMemory, std::string(kMultiplexMemoryText));
    }
    return outcome;
}

}  // namespace vantrel
