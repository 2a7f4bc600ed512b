#include "dtvcc/dtvcc_packets.h"

#include <algorithm>
#include <deque>

#include "dtvcc/dtvcc_codes.h"

namespace vantrel::dtvcc {

namespace {

struct Chunk {
    const ServiceEvent* event;
    size_t sent = 0;  // bytes of its commands already in packets

    size_t NextCodeBytes() const {
        const std::vector<uint8_t>& c = event->commands;
        return std::min(CodeBytes(c.data() + sent, c.size() - sent), c.size() - sent);
    }
    bool Done() const { return sent >= event->commands.size(); }
};

// One service's commands waiting to go out, and the blocks it adds to a packet.
class ServiceQueue {
  public:
    ServiceQueue(const ServiceStream& stream) : stream_(stream) {}

    // The frame of the next event not yet queued, or -1.
    int64_t NextFrame() const {
        return next_ < stream_.events.size() ? stream_.events[next_].frame : -1;
    }
    bool Idle() const { return waiting_.empty() && next_ >= stream_.events.size(); }
    bool Waiting() const { return !waiting_.empty(); }

    // Adds this service's blocks for frame `frame` to `packet`, up to `limit` bytes in all.
    void Fill(std::vector<uint8_t>& packet, size_t limit, int64_t frame, size_t& late) {
        while (next_ < stream_.events.size() && stream_.events[next_].frame <= frame)
            waiting_.push_back({&stream_.events[next_++]});
        // Due erases go first, ahead of loads still being sent (not ahead of a show).
        for (size_t k = 0; k < waiting_.size(); ++k) {
            const EventKind kind = waiting_[k].event->kind;
            if (kind == EventKind::Show) break;
            if (kind != EventKind::Erase) continue;
            if (!Send(packet, limit, waiting_[k], frame, late)) return;
            waiting_.erase(waiting_.begin() + static_cast<std::ptrdiff_t>(k--));
        }
        while (!waiting_.empty()) {
            if (!Send(packet, limit, waiting_.front(), frame, late)) return;
            waiting_.pop_front();
        }
    }

  private:
    // Sends as much of the chunk as fits, in blocks of whole commands; true when all of it went.
    bool Send(std::vector<uint8_t>& packet, size_t limit, Chunk& chunk, int64_t frame,
              size_t& late) {
        while (!chunk.Done()) {
            if (packet.size() + 2 > limit) return false;
            const size_t header = packet.size();
            packet.push_back(0);
            size_t block = 0;
            while (!chunk.Done()) {
                const size_t n = chunk.NextCodeBytes();
                if (block + n > kMaxBlockBytes || packet.size() + n > limit) break;
                const uint8_t* p = chunk.event->commands.data() + chunk.sent;
                packet.insert(packet.end(), p, p + n);
                chunk.sent += n;
                block += n;
            }
            if (block == 0) {
                packet.pop_back();
                return false;
            }
            packet[header] = BlockHeader(stream_.service, block);
        }
        if (chunk.event->kind != EventKind::Load && frame > chunk.event->frame) ++late;
        return true;
    }

    const ServiceStream& stream_;
    size_t next_ = 0;
    std::deque<Chunk> waiting_;
};

}  // namespace

PacketStream PackServices(std::span<const ServiceStream> services, size_t frameBytes) {
    PacketStream result;
    frameBytes = std::min(frameBytes & ~size_t{1}, kMaxPacketBytes);
    if (frameBytes < kMinFrameBytes) return result;
    std::vector<ServiceQueue> queues(services.begin(), services.end());
    int sequence = 0;
    int64_t frame = -1;
    for (;;) {
        // The next frame with something to send: the one after, while commands wait; else the
        // next event's.
        int64_t next = -1;
        for (const ServiceQueue& q : queues) {
            const int64_t f = q.Waiting() ? frame + 1 : q.NextFrame();
            if (f >= 0 && (next < 0 || f < next)) next = f;
        }
        if (next < 0) break;
        frame = next;
        std::vector<uint8_t> packet{0};
        for (ServiceQueue& q : queues) q.Fill(packet, frameBytes, frame, result.lateEvents);
        if (packet.size() == 1) continue;
        if (packet.size() % 2 == 1) packet.push_back(0);  // a null block header pads it
        packet[0] = PacketHeader(sequence, packet.size());
        sequence = (sequence + 1) & 3;
        result.packets.push_back({frame, std::move(packet)});
    }
    return result;
}

PacketStream PackCaptions(std::span<const CaptionShowing> shown, size_t frameBytes) {
    const ServiceStream service{1, ServiceEvents(shown)};
    return PackServices(std::span(&service, 1), frameBytes);
}

void AppendEntries(std::vector<uint8_t>& out, std::span<const uint8_t> packet, size_t count) {
    size_t k = 0;
    for (size_t i = 0; i + 1 < packet.size() && k < count; i += 2, ++k)
        out.insert(out.end(),
                   {i == 0 ? kPacketStartEntry : kPacketDataEntry, packet[i], packet[i + 1]});
    for (; k < count; ++k) out.insert(out.end(), {kPaddingEntry, 0x00, 0x00});
}

void PacketReader::Add(const Entry& entry, const PacketSink& sink) {
    if (entry.type == kEntryTypeStart) {
        Flush(sink);
        expected_ = PacketBytes(entry.data[0]);
    } else if (expected_ == 0) {
        return;
    }
    building_.bytes.insert(building_.bytes.end(), entry.data, entry.data + 2);
    building_.frame = entry.frame;
    if (building_.bytes.size() >= expected_) {
        building_.bytes.resize(expected_);
        Flush(sink);
    }
}

void PacketReader::Flush(const PacketSink& sink) {
    if (expected_ == 0) return;
    sink(building_);
    building_.bytes.clear();
    expected_ = 0;
}

std::vector<Packet> PacketsOf(std::span<const Entry> entries) {
    std::vector<Packet> packets;
    PacketReader reader;
    const PacketSink sink = [&](const Packet& p) { packets.push_back(p); };
    for (const Entry& e : entries) reader.Add(e, sink);
    reader.Flush(sink);
    return packets;
}

}  // namespace vantrel::dtvcc
