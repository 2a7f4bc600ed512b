// DTVCC caption channel packets: the services' commands cut into packets of service blocks, at
// most one packet a frame within the bytes a frame's cc_data has room for; the cc_data entries
// of a frame; and packets put back together from entries on reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "dtvcc/service_writer.h"

namespace vantrel::dtvcc {

struct ServiceStream {
    int service = 1;  // 1 to 6: written with the short service number
    std::vector<ServiceEvent> events;
};

struct Packet {
    int64_t frame = 0;
    std::vector<uint8_t> bytes;  // header, service blocks, zero padding to the packet's size
};

struct PacketStream {
    std::vector<Packet> packets;  // by frame, at most one a frame
    // Shows and erases that went out after their frame, for want of room (none at the rates
    // written: a frame carries many times the 608 pair's two bytes).
    size_t lateEvents = 0;
};

// The room a frame must have: the packet and block headers and the longest command written.
constexpr size_t kMinFrameBytes = 10;

// Packs the services' events into packets of at most `frameBytes` bytes (even, 10 to 128; less
// room packs nothing): on
// each frame the due erases first, then the other due commands in order; a command is never cut
// across blocks or packets.
PacketStream PackServices(std::span<const ServiceStream> services, size_t frameBytes);

// The packets of service 1 for captions shown as the 608 pairs show them.
PacketStream PackCaptions(std::span<const CaptionShowing> shown, size_t frameBytes);

// The cc_data entries of one frame's 708 data: `count` entries, the packet's bytes in valid
// entries (the first of type 3, the rest type 2), then entries marked not valid.
void AppendEntries(std::vector<uint8_t>& out, std::span<const uint8_t> packet, size_t count);

// The 708 entries a reader keeps of one file: every entry of four hours at 29.97 frames per
// second, 18 a frame; what lies beyond is not read.
constexpr size_t kMaxEntries = size_t{18} * 108000 * 4;

// The 708 entries of a stream of cc_data, as a reader takes them: a valid entry of type 3
// begins a packet, of type 2 goes on with it.
struct Entry {
    int64_t frame;
    uint8_t type;  // 2 or 3
    uint8_t data[2];
};

using PacketSink = std::function<void(const Packet&)>;

// Puts packets back together from entries: a packet is complete when it holds the bytes its
// header gives, or when the next packet begins (it is then read as far as it came). Data
// entries with no packet begun are passed over.
class PacketReader {
  public:
    void Add(const Entry& entry, const PacketSink& sink);
    // The stream ends: a packet begun goes out as far as it came.
    void Flush(const PacketSink& sink);

  private:
    Packet building_;
    size_t expected_ = 0;  // 0 while no packet is begun
};

// The packets of a stream of entries.
std::vector<Packet> PacketsOf(std::span<const Entry> entries);

}  // namespace vantrel::dtvcc
