// Any bytes as the 708 entries of a caption stream (three bytes each: the type in the low two
// bits of the first, bit 2 of it a new frame), put together into caption channel packets and
// decoded as services 1 and 7: every caption made lies on the screen and ends after it starts.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "dtvcc/dtvcc_codes.h"
#include "dtvcc/dtvcc_packets.h"
#include "dtvcc/service_decoder.h"
#include "model/caption_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<vantrel::dtvcc::Entry> entries;
    int64_t frame = 0;
    for (size_t k = 0; k + 3 <= size; k += 3) {
        if (data[k] & 0x04) ++frame;
        entries.push_back(
            {frame, static_cast<uint8_t>(2 + (data[k] & 1)), {data[k + 1], data[k + 2]}});
    }
    const std::vector<vantrel::dtvcc::Packet> packets = vantrel::dtvcc::PacketsOf(entries);
    for (const vantrel::dtvcc::Packet& p : packets) {
        if (p.bytes.empty() || p.bytes.size() > vantrel::dtvcc::kMaxPacketBytes) __builtin_trap();
    }
    (void)vantrel::dtvcc::ServicesOf(packets);
    for (const int service : {1, 7}) {
        vantrel::CaptionList list;
        vantrel::dtvcc::DecodeService(list, packets, service);
        for (const vantrel::Caption* c = list.Head(); c; c = c->next) {
            if (c->startFrame < 0 || c->endFrame <= c->startFrame) __builtin_trap();
            if (c->CountOccupiedRows() == 0) __builtin_trap();
        }
    }
    return 0;
}
