// The CEA-708 (DTVCC) vocabulary: the cc_data entries that carry caption channel packets, the
// packets' and service blocks' headers, and the command codes of a service, named once for the
// writer and the decoder.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel::dtvcc {

// cc_data entry markers: five marker bits, the valid flag, the type (2: packet data, 3: the
// first entry of a packet).
constexpr uint8_t kPacketStartEntry = 0xFF;
constexpr uint8_t kPacketDataEntry = 0xFE;
constexpr uint8_t kPaddingEntry = 0xFA;  // packet data, not valid
constexpr uint8_t kEntryTypeStart = 3;
constexpr uint8_t kEntryTypeData = 2;

// Caption channel packet: a header byte (sequence number in bits 7-6, size code in bits 5-0:
// the packet is 2 x code bytes long, header included; code 0 is 128 bytes).
constexpr size_t kMaxPacketBytes = 128;
constexpr int SequenceOf(uint8_t header) {
    return header >> 6;
}
constexpr size_t PacketBytes(uint8_t header) {
    const size_t code = header & 0x3F;
    return code == 0 ? kMaxPacketBytes : 2 * code;
}
constexpr uint8_t PacketHeader(int sequence, size_t bytes) {  // bytes even, 2 to 128
    return static_cast<uint8_t>((sequence & 3) << 6 | ((bytes / 2) & 0x3F));
}

// Service block: a header byte (service number in bits 7-5, block size in bits 4-0); number 7
// takes an extended number from the next byte. A zero header ends the packet's blocks.
constexpr size_t kMaxBlockBytes = 31;
constexpr int kExtendedServiceNumber = 7;
constexpr uint8_t BlockHeader(int service, size_t bytes) {
    return static_cast<uint8_t>(service << 5 | bytes);
}

// C0 codes.
constexpr uint8_t kEtx = 0x03;
constexpr uint8_t kBackspace = 0x08;
constexpr uint8_t kFormFeed = 0x0C;
constexpr uint8_t kCarriageReturn = 0x0D;
constexpr uint8_t kHorizontalCr = 0x0E;
constexpr uint8_t kExt1 = 0x10;  // the next byte is of the G2/C2 (or G3/C3) sets
constexpr uint8_t kP16 = 0x18;   // a 16-bit character follows

// C1 codes: window and pen commands.
constexpr uint8_t kSetCurrentWindow0 = 0x80;  // 0x80-0x87
constexpr uint8_t kClearWindows = 0x88;
constexpr uint8_t kDisplayWindows = 0x89;
constexpr uint8_t kHideWindows = 0x8A;
constexpr uint8_t kToggleWindows = 0x8B;
constexpr uint8_t kDeleteWindows = 0x8C;
constexpr uint8_t kDelay = 0x8D;
constexpr uint8_t kDelayCancel = 0x8E;
constexpr uint8_t kReset = 0x8F;
constexpr uint8_t kSetPenAttributes = 0x90;
constexpr uint8_t kSetPenColor = 0x91;
constexpr uint8_t kSetPenLocation = 0x92;
constexpr uint8_t kSetWindowAttributes = 0x97;
constexpr uint8_t kDefineWindow0 = 0x98;  // 0x98-0x9F

constexpr int kWindowCount = 8;

// The bytes a code takes with its parameters, for the C0, C1, C2 and C3 ranges. C0 0x10-0x17
// take one more byte, 0x18-0x1F two more; C1 as listed; C2 0x08-0x0F one more, 0x10-0x17 two,
// 0x18-0x1F three; C3 0x80-0x87 four more, 0x88-0x8F five.
constexpr size_t C0Bytes(uint8_t c) {
    return c >= 0x18 ? 3 : c >= 0x10 ? 2 : 1;
}
constexpr size_t C1Bytes(uint8_t c) {
    if (c <= 0x87 || c == kDelayCancel || c == kReset) return 1;
    if (c <= kDelay) return 2;
    if (c == kSetPenAttributes || c == kSetPenLocation) return 3;
    if (c == kSetPenColor) return 4;
    if (c == kSetWindowAttributes) return 5;
    if (c >= kDefineWindow0) return 7;
    return 1;  // 0x93-0x96: not defined, no parameters
}
constexpr size_t C2Bytes(uint8_t c) {  // after EXT1, the EXT1 byte included
    return c >= 0x18 ? 5 : c >= 0x10 ? 4 : c >= 0x08 ? 3 : 2;
}
constexpr size_t C3Bytes(uint8_t c) {  // after EXT1, the EXT1 byte included
    return c >= 0x88 ? 7 : 6;
}

// Colours: two bits of red, green and blue; opacities as SetPenColor gives them.
constexpr uint8_t kSolid = 0;
constexpr uint8_t kFlash = 1;
constexpr uint8_t kTranslucent = 2;
constexpr uint8_t kTransparent = 3;

}  // namespace vantrel::dtvcc

namespace vantrel::dtvcc {

// The bytes of the code at p[0] with its parameters (a character, EXT1 and its code, a
// command), as far as the standard fixes it; variable-length C3 codes count their length byte.
constexpr size_t CodeBytes(const uint8_t* p, size_t available) {
    const uint8_t b = p[0];
    if (b == kExt1) {
        if (available < 2) return 2;
        const uint8_t c = p[1];
        if (c < 0x20) return C2Bytes(c);
        if (c >= 0x80 && c < 0x90) return C3Bytes(c);
        if (c >= 0x90 && c < 0xA0) return available < 3 ? 3 : 3 + (p[2] & 0x1F);
        return 2;
    }
    if (b < 0x20) return C0Bytes(b);
    if (b >= 0x80 && b < 0xA0) return C1Bytes(b);
    return 1;
}

}  // namespace vantrel::dtvcc
