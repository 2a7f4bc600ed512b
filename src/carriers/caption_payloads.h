// The 608 pairs that one coded picture of a video carries, found in its bytes without decoding
// it: ATSC A/53 and DVD user data in an MPEG-2 picture, A/53 SEI messages (ITU-T T.35, "GA94")
// in an H.264 or HEVC access unit, and the cc_data entries of a caption track's sample.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace vantrel {

// Called for each valid 608 pair in order: the field (1 or 2) and its two bytes as carried.
using PairSink = std::function<void(int field, uint8_t first, uint8_t second)>;
// Called, where the reader is given one, for each valid 708 entry in order: its type (3 begins
// a caption channel packet, 2 goes on with it) and its two bytes.
using DtvccSink = std::function<void(uint8_t type, uint8_t first, uint8_t second)>;

enum class VideoCoding { Mpeg2, H264, Hevc };

// The bytes from the user identifier "GA94" on: its cc_data pairs (user_data_type_code 3, the
// process_cc_data flag set), and its 708 entries to `dtvcc` when given. False when the bytes
// are no A/53 caption data.
bool ReadGa94(std::span<const uint8_t> data, const PairSink& pair,
              const DtvccSink* dtvcc = nullptr);

// The pairs of the user data units (00 00 01 B2) of an MPEG-2 picture: A/53 "GA94" and DVD
// "CC" units (the DVD unit's field-1 and field-2 triplets); the A/53 708 entries to `dtvcc`.
void ReadMpeg2UserData(std::span<const uint8_t> picture, const PairSink& pair,
                       const DtvccSink* dtvcc = nullptr);

// The picture_coding_type of the first picture header (00 00 01 00) of an MPEG-2 packet:
// 1 (I), 2 (P), 3 (B); 0 when it has none.
constexpr int kMpeg2IPicture = 1;
constexpr int kMpeg2PPicture = 2;
constexpr int kMpeg2BPicture = 3;
int Mpeg2PictureType(std::span<const uint8_t> picture);

// The pairs of the A/53 SEI messages of an H.264 or HEVC access unit: its NAL units after start
// codes when `lengthSize` is 0 (a transport stream), else after big-endian lengths of that many
// bytes (MP4, MOV, Matroska). Their 708 entries go to `dtvcc` when given.
void ReadSeiCaptions(std::span<const uint8_t> accessUnit, VideoCoding coding, int lengthSize,
                     const PairSink& pair, const DtvccSink* dtvcc = nullptr);

// The payload of an SEI NAL unit (after its header, emulation prevention bytes removed), message
// by message: calls message(type, payload) for each whole one.
void ForEachSeiMessage(std::span<const uint8_t> rbsp,
                       const std::function<void(unsigned, std::span<const uint8_t>)>& message);

// A NAL unit without its emulation prevention bytes (the 03 of 00 00 03).
std::vector<uint8_t> UnescapedNal(std::span<const uint8_t> nal);

// The NAL units of an access unit, as ReadSeiCaptions takes it.
void ForEachNal(std::span<const uint8_t> accessUnit, int lengthSize,
                const std::function<void(std::span<const uint8_t>)>& nal);

// The caption SEI message's payload for one picture: ITU-T T.35 for ATSC, "GA94", cc_data of
// `ccCount` entries: the field-1 `pairs` first (two bytes each, valid), entries not valid up to
// `pairSlots` (the same count of 608 entries in every picture), then the caption channel packet
// `dtvcc` (its first entry of type 3, the rest type 2), the rest not valid.
std::vector<uint8_t> CaptionSeiPayload(std::span<const uint8_t> pairs, size_t ccCount,
                                       size_t pairSlots = 0, std::span<const uint8_t> dtvcc = {});

// A NAL unit's payload with emulation prevention bytes put in (03 after 00 00 before 00 to 03).
std::vector<uint8_t> EscapedNal(std::span<const uint8_t> rbsp);

// The access unit with its A/53 caption messages taken out of its SEI NAL units (a unit left
// without a message goes) and a new SEI NAL unit with `payload` as its one message before its
// first picture data; every other byte as it was. In the access unit's own form: start codes
// when `lengthSize` is 0, else lengths of that many bytes.
std::vector<uint8_t> WithCaptionSei(std::span<const uint8_t> accessUnit, VideoCoding coding,
                                    int lengthSize, std::span<const uint8_t> payload);

// An MPEG-2 picture with its A/53 caption user data units taken out and one with `ga94` (the
// bytes from "GA94" on) put in before its first slice; every other byte as it was.
std::vector<uint8_t> WithA53UserData(std::span<const uint8_t> picture,
                                     std::span<const uint8_t> ga94);

// The temporal reference of the first picture header of an MPEG-2 packet, and whether the
// packet holds a group-of-pictures header before it; -1 without a picture header.
int Mpeg2TemporalReference(std::span<const uint8_t> picture, bool& groupStarts);

}  // namespace vantrel
