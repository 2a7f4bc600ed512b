// Reading any bytes as a raw pair file (.bin, .dat): the reader, the decoder, and the way back
// through every caption-file format. Whatever the decoder makes of the file encodes again, and
// each format's file of that stream reads back as exactly the same pairs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "files/caption_export.h"
#include "files/ccd.h"
#include "files/raw_pairs.h"
#include "files/scc.h"

using namespace vantrel;

namespace {

bool ReadsBackAs(const std::vector<uint8_t>& encoded, const std::vector<uint8_t>& read) {
    if (encoded.size() != read.size()) return false;
    for (size_t k = 0; k < encoded.size(); ++k) {
        if ((encoded[k] | 0x80) != read[k]) return false;
    }
    return true;
}

std::vector<uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

constexpr size_t kWritableBytes = 2 * 10800000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> raw(data, data + size);
    const CaptionFileData file = ReadRawPairs(raw);
    if (!file.recognized) return 0;
    if (file.pairs.size() != size - kRawHeaderSize) __builtin_trap();
    CaptionList list;
    DecodePairStream(list, file.pairs);
    const EncodedCaptions encoded = EncodeCaptions(list);
    if (encoded.bytes.empty() || encoded.bytes.size() > kWritableBytes) return 0;
    const std::vector<uint8_t> bin = Bytes(FormatCaptionFile(encoded.bytes, "bin"));
    const std::vector<uint8_t> scc = Bytes(FormatCaptionFile(encoded.bytes, "SCC"));
    const std::vector<uint8_t> ccd = Bytes(FormatCaptionFile(encoded.bytes, "ccd"));
    if (!ReadsBackAs(encoded.bytes, ReadRawPairs(bin).pairs)) __builtin_trap();
    if (!ReadsBackAs(encoded.bytes, ReadSccText(scc).pairs)) __builtin_trap();
    if (!ReadsBackAs(encoded.bytes, ReadCcdText(ccd).pairs)) __builtin_trap();
    return 0;
}
