// Reading any text as a disassembly (.ccd) file: the reader, the decoder, and the way back.
// Whatever the decoder makes of the file encodes again, and the .ccd text of that stream reads back
// as exactly the same pairs.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "files/caption_text_writers.h"
#include "files/ccd_reader.h"

using namespace vantrel;

namespace {

// Every byte of `encoded` with bit 7 set, as a reader gives it back.
bool ReadsBackAs(const std::vector<uint8_t>& encoded, const std::vector<uint8_t>& read) {
    if (encoded.size() != read.size()) return false;
    for (size_t k = 0; k < encoded.size(); ++k) {
        if ((encoded[k] | 0x80) != read[k]) return false;
    }
    return true;
}

// Timecodes have two-digit hours; a stream that reaches frame 100:00:00:00 can't be written.
constexpr size_t kWritableBytes = 2 * 10800000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> text(data, data + size);
    const CaptionFileData file = ReadCcdText(text);
    if (!file.recognized) return 0;
    for (uint8_t b : file.pairs) {
        if ((b & 0x80) == 0) __builtin_trap();
    }
    CaptionList list;
    DecodePairStream(list, file.pairs);
    const EncodedCaptions encoded = EncodeCaptions(list);
    if (encoded.bytes.empty() || encoded.bytes.size() > kWritableBytes) return 0;
    const std::string ccd = FormatCcdText(encoded.bytes);
    const CaptionFileData again =
        ReadCcdText({reinterpret_cast<const uint8_t*>(ccd.data()), ccd.size()});
    if (!ReadsBackAs(encoded.bytes, again.pairs)) __builtin_trap();
    return 0;
}
