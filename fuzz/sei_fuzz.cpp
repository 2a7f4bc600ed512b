// Any bytes as an H.264 or HEVC access unit (the first byte picks the coding and the NAL form):
// its caption pairs are read without reading past the end, and once our caption message is put
// in, exactly our pairs read back, whatever caption messages the unit held before.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "carriers/caption_payloads.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const auto coding = data[0] & 1 ? vantrel::VideoCoding::Hevc : vantrel::VideoCoding::H264;
    const int lengthSize = data[0] & 2 ? 4 : 0;  // MP4's lengths, or a transport stream's codes
    const std::span<const uint8_t> unit(data + 1, size - 1);
    vantrel::ReadSeiCaptions(unit, coding, lengthSize, [](int field, uint8_t, uint8_t) {
        if (field != 1 && field != 2) __builtin_trap();
    });
    // A length past the end hides what follows it, ours too: only whole units are judged.
    size_t whole = 0;
    vantrel::ForEachNal(unit, lengthSize, [&](std::span<const uint8_t> nal) {
        whole += static_cast<size_t>(lengthSize) + nal.size();
    });
    if (lengthSize > 0 && whole != unit.size()) return 0;
    const std::vector<uint8_t> pairs = {0x94, 0x2F, 0x80, 0x80};
    const std::vector<uint8_t> with =
        vantrel::WithCaptionSei(unit, coding, lengthSize, vantrel::CaptionSeiPayload(pairs, 10));
    std::vector<uint8_t> found;
    vantrel::ReadSeiCaptions(with, coding, lengthSize, [&](int field, uint8_t a, uint8_t b) {
        if (field != 1) __builtin_trap();
        found.insert(found.end(), {a, b});
    });
    if (found != pairs) __builtin_trap();
    return 0;
}
