// MacCaption files (.mcc): per timecode line one ancillary data packet in hexadecimal, a caption
// distribution packet whose cc_data carries the 608 pairs of both fields and 708 data. Letters
// stand for bytes that recur: G to O for 1 to 9 times FA 00 00, P FB 80 80, Q FC 80 80, R FD 80 80,
// S 96 69, T 61 01, U E1 00 00 00, Z 00.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "dtvcc/dtvcc_packets.h"
#include "files/pair_stream.h"
#include "files/timecode.h"

namespace vantrel {

inline constexpr std::string_view kMccFormatLine = "File Format=MacCaption_MCC V";

// The 708 bytes a caption frame has room for in .mcc pictures of `rate`: a picture carries the
// 608 pairs of the frames it carries, one entry of each field a frame, and their 708 packets
// (36 at 29.97 frames per second, 20 where a picture carries two frames).
size_t MccDtvccBytes(const PictureRate& rate);

// Reads the text of an .mcc file: the field-1 pairs into `pairs`, the field-2 pairs into
// `field2Pairs`, the valid 708 entries into `dtvcc` on their line's frame, each pair of a packet on
// the frame after the one before. Not recognized when the first line doesn't begin with "File
// Format=MacCaption_MCC V". A time code rate other than those below ends the reading with
// `unsupportedRate` set. A packet whose checksums or length are wrong is left out and counted.
// Stops early once `cancel` is raised.
// The time code rates read are 24 (23.976 or 24 pictures a second, as the packets' frame rate
// code says; 23.976 when it says neither), 25, 30 and 30DF (29.97, or 30 by the code); a
// picture's pairs go on at the first caption frame it carries. `rate` is not asked: the file
// says its own.
CaptionFileData ReadMccText(std::span<const uint8_t> text, const std::atomic<int>* cancel = nullptr,
                            const PictureRate& rate = kCaptionRate);

// The whole .mcc file of an encoded pair stream: the header, then one line per picture of
// `rate` up to the end of the stream and of the 708 packets, in a packet of as many cc_data
// entries as video of the rate carries: the field-1 pairs the picture carries (none to two),
// the 708 packets (`dtvcc`, when given, packed with MccDtvccBytes(rate)) of its frames, and a
// service information section naming the services in `language`.
std::string FormatMccText(std::span<const uint8_t> stream,
                          TimecodeStyle style = TimecodeStyle::NonDropFrame,
                          const std::atomic<int>* cancel = nullptr,
                          const dtvcc::PacketStream* dtvcc = nullptr,
                          std::string_view language = "eng",
                          const PictureRate& rate = kCaptionRate);

}  // namespace vantrel
