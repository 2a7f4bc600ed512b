// Any bytes as an MPEG-2 picture and as A/53 caption data: the user-data walk finds only valid
// 608 pairs of field 1 or 2 and 708 entries of type 2 or 3, and reads nothing past the end.
#include <cstddef>
#include <cstdint>
#include <span>

#include "carriers/caption_payloads.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const vantrel::PairSink check = [](int field, uint8_t, uint8_t) {
        if (field != 1 && field != 2) __builtin_trap();
    };
    const vantrel::DtvccSink dtvcc = [](uint8_t type, uint8_t, uint8_t) {
        if (type != 2 && type != 3) __builtin_trap();
    };
    vantrel::ReadMpeg2UserData(bytes, check, &dtvcc);
    vantrel::ReadGa94(bytes, check, &dtvcc);
    const int type = vantrel::Mpeg2PictureType(bytes);
    if (type < 0 || type > 7) __builtin_trap();
    return 0;
}
