#include "files/caption_services.h"

#include <bit>

#include "codec/codes.h"
#include "dtvcc/dtvcc_packets.h"

namespace vantrel {

namespace {

// The data channels (bit 0 the field's first, bit 1 its second) that control codes name in a
// field's pairs: a first byte 0x10-0x1F and a second 0x20-0x7F, parity bits aside. XDS, whose
// first bytes are 0x01-0x0F, names none.
unsigned ChannelsOf(const PairStream& pairs) {
    unsigned channels = 0;
    for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
        const uint8_t first = pairs[i] & 0x7F, second = pairs[i + 1] & 0x7F;
        if (first < 0x10 || first > 0x1F || second < 0x20) continue;
        channels |= 1u << (DataChannelOf(first) - 1);
    }
    return channels;
}

}  // namespace

HeldServices HeldServicesOf(const CaptionFileData& data) {
    HeldServices held;
    held.channels = ChannelsOf(data.pairs) | ChannelsOf(data.field2Pairs) << 2;
    if (!data.dtvcc.empty()) held.services = dtvcc::ServicesOf(dtvcc::PacketsOf(data.dtvcc));
    return held;
}

int HeldCount(const HeldServices& held) {
    return std::popcount(held.channels) + std::popcount(held.services);
}

dtvcc::ServiceReport Import708Service(CaptionList& list, const CaptionFileData& data,
                                      const DecodeOptions& options) {
    if (!list.Empty() || data.dtvcc.empty()) return {};
    return dtvcc::DecodeService(list, dtvcc::PacketsOf(data.dtvcc), options.service);
}

}  // namespace vantrel
