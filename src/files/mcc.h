// MacCaption files (.mcc): per timecode line one ancillary data packet in hexadecimal, a caption
// distribution packet whose cc_data carries the 608 pairs of both fields (and 708 data, which
// is not read). Letters stand for bytes that recur: G to O for 1 to 9 times FA 00 00, P FB 80 80,
// Q FC 80 80, R FD 80 80, S 96 69, T 61 01, U E1 00 00 00, Z 00.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "files/pair_stream.h"
#include "files/timecode.h"

namespace vantrel {

inline constexpr std::string_view kMccFormatLine = "File Format=MacCaption_MCC V";

// Reads the text of an .mcc file: the field-1 pairs into `pairs`, the field-2 pairs into
// `field2Pairs`, each pair of a packet on the frame after the one before. Not recognized when
// the first line doesn't begin with "File Format=MacCaption_MCC V". A time code rate other than
// 30 and 30DF ends the reading with `unsupportedRate` set. A packet whose checksums or length
// are wrong is left out and counted. Stops early once `cancel` is raised.
// The time code rates read are 24 (23.976 or 24 pictures a second, as the packets' frame rate
// code says; 23.976 when it says neither), 25, 30 and 30DF (29.97, or 30 by the code); a
// picture's pairs go on at the first caption frame it carries. `rate` is not asked: the file
// says its own.
CaptionFileData ReadMccText(std::span<const uint8_t> text,
                            const std::atomic<int>* cancel = nullptr,
                            const PictureRate& rate = kCaptionRate);

// The whole .mcc file of an encoded pair stream: the header, then one line per picture of
// `rate` up to the stream's end, the field-1 pairs the picture carries (none to two) in a packet
// of as many cc_data entries as video of the rate carries.
std::string FormatMccText(std::span<const uint8_t> stream,
                          TimecodeStyle style = TimecodeStyle::NonDropFrame,
                          const std::atomic<int>* cancel = nullptr,
                          const PictureRate& rate = kCaptionRate);

}  // namespace vantrel
