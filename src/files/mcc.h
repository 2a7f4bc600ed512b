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

// The 708 bytes a frame's cc_data has room for at 29.97 frames per second: 20 entries, two of
// them the 608 pairs of the two fields.
constexpr size_t kMccDtvccBytes = 36;

// Reads the text of an .mcc file: the field-1 pairs into `pairs`, the field-2 pairs into
// `field2Pairs`, the valid 708 entries into `dtvcc` on their line's frame, each pair of a packet on
// the frame after the one before. Not recognized when the first line doesn't begin with "File
// Format=MacCaption_MCC V". A time code rate other than 30 and 30DF ends the reading with
// `unsupportedRate` set. A packet whose checksums or length are wrong is left out and counted.
// Stops early once `cancel` is raised.
CaptionFileData ReadMccText(std::span<const uint8_t> text,
                            const std::atomic<int>* cancel = nullptr);

// The whole .mcc file of an encoded pair stream: the header, then one line per frame of the
// stream and of the 708 packets, its field-1 pair in a packet of 20 cc_data entries as 29.97
// video carries them, the frame's 708 packet (`dtvcc`, when given) in the entries after the two
// 608 ones, and a service information section naming the services in `language`.
std::string FormatMccText(std::span<const uint8_t> stream,
                          TimecodeStyle style = TimecodeStyle::NonDropFrame,
                          const std::atomic<int>* cancel = nullptr,
                          const dtvcc::PacketStream* dtvcc = nullptr,
                          std::string_view language = "eng");

}  // namespace vantrel
