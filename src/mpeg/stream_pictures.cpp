#include "mpeg/stream_pictures.h"

#include <cstring>
#include <memory>

#include "files/file.h"

namespace vantrel {

namespace {

constexpr size_t kReadSize = size_t{1} << 20;
// Packets are handed on after about this many bytes of the file.
constexpr int64_t kBatchBytes = int64_t{1} << 20;

constexpr uint8_t kPackStartCode = 0xBA;
constexpr uint8_t kProgramEndCode = 0xB9;
constexpr uint8_t kFirstStreamCode = 0xBB;  // the system header, then the PES stream ids
constexpr uint8_t kFirstVideoStream = 0xE0;
constexpr uint8_t kLastVideoStream = 0xEF;

// A PES header with the most stuffing an MPEG-2 header can say, and a pack header with its own.
constexpr size_t kLongestHeader = 9 + 255;

constexpr size_t kTransportPacket = 188;
constexpr uint8_t kTransportSync = 0x47;

// The file read front to back through one buffer, with the bytes from the cursor on at hand.
class Reader {
  public:
    explicit Reader(File& file)
        : file_(file), buffer_(std::make_unique_for_overwrite<uint8_t[]>(kReadSize)) {}

    // Makes at least n bytes (n <= kReadSize) available from the cursor unless the file ends
    // first; returns how many are.
    size_t Ensure(size_t n) {
        if (fill_ - cursor_ >= n || ended_) return fill_ - cursor_;
        std::memmove(buffer_.get(), buffer_.get() + cursor_, fill_ - cursor_);
        fill_ -= cursor_;
        base_ += static_cast<int64_t>(cursor_);
        cursor_ = 0;
        while (fill_ < n && !ended_) {
            const size_t got = file_.Read(buffer_.get() + fill_, kReadSize - fill_);
            failed_ = failed_ || file_.Failed();
            ended_ = got == 0;
            fill_ += got;
        }
        return fill_;
    }
    const uint8_t* At() const { return buffer_.get() + cursor_; }
    size_t Available() const { return fill_ - cursor_; }
    void Skip(size_t n) { cursor_ += n; }
    // File offset of the cursor.
    int64_t Offset() const { return base_ + static_cast<int64_t>(cursor_); }
    bool Failed() const { return failed_; }

  private:
    File& file_;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t cursor_ = 0;
    size_t fill_ = 0;
    int64_t base_ = 0;
    bool ended_ = false;
    bool failed_ = false;
};

class Walk {
  public:
    Walk(File& file, const std::atomic<bool>& cancel,
         const std::function<void(std::vector<ScannedPacket>&, int64_t)>& found)
        : reader_(file), cancel_(cancel), found_(found) {}

    ScanEnd Run(MpegContainer container) {
        bool whole = true;
        switch (container) {
            case MpegContainer::Elementary:
                Elementary();
                break;
            case MpegContainer::Program:
                Program();
                break;
            case MpegContainer::Transport:
                whole = Transport();
                break;
        }
        if (cancel_) return ScanEnd::Cancelled;
        if (reader_.Failed() || !whole) return ScanEnd::Failed;
        scanner_.Finish();
        found_(scanner_.Packets(), reader_.Offset());
        return ScanEnd::Completed;
    }

  private:
    // False once the walk is to stop.
    bool Going() {
        if (reader_.Offset() >= nextBatch_) {
            nextBatch_ = reader_.Offset() + kBatchBytes;
            if (!scanner_.Packets().empty()) found_(scanner_.Packets(), reader_.Offset());
            if (cancel_) return false;
        }
        return !reader_.Failed();
    }

    // Feeds the next n bytes of payload, which may run past what the buffer holds.
    void Feed(size_t n, int64_t pos) {
        while (n > 0 && reader_.Ensure(1) > 0) {
            const size_t piece = std::min(n, reader_.Available());
            scanner_.Feed(reader_.At(), piece, pos);
            reader_.Skip(piece);
            n -= piece;
        }
    }

    void Elementary() {
        while (Going() && reader_.Ensure(kReadSize) > 0) {
            const int64_t pos = reader_.Offset();
            Feed(reader_.Available(), pos);
        }
    }

    // Packs, the system header and PES packets, each after its start code; bytes between them
    // that are none are passed over up to the next start code, as a demuxer resynchronises.
    void Program() {
        while (Going() && reader_.Ensure(kLongestHeader) >= 4) {
            const uint8_t* p = reader_.At();
            if (!BeginsWithStartCode(p, 4)) {
                const size_t at = FindStartCode(p, reader_.Available(), 0);
                reader_.Skip(at == reader_.Available() ? std::max<size_t>(at, 3) - 2 : at);
                continue;
            }
            const uint8_t code = p[3];
            if (code == kPackStartCode) {
                // MPEG-2 packs carry stuffing after their 14 bytes; MPEG-1 packs are 12 long.
                const bool mpeg2 = (p[4] & 0xC0) == 0x40;
                if (reader_.Available() < 14) break;
                reader_.Skip(mpeg2 ? 14 + (p[13] & 7) : 12);
            } else if (code < kFirstStreamCode) {
                reader_.Skip(code == kProgramEndCode ? 4 : 3);
            } else {
                if (reader_.Available() < 6) break;
                const size_t total = 6 + (size_t{p[4]} << 8 | p[5]);
                const bool video = code >= kFirstVideoStream && code <= kLastVideoStream &&
                                   (videoId_ < 0 || videoId_ == code);
                if (!video) {
                    SkipBytes(total);
                    continue;
                }
                videoId_ = code;
                const int64_t pos = reader_.Offset();
                const size_t header = std::min(total, PesHeaderLength(p, reader_.Available()));
                reader_.Skip(header);
                Feed(total - header, pos);
            }
        }
    }

    void SkipBytes(size_t n) {
        while (n > 0 && reader_.Ensure(1) > 0) {
            const size_t piece = std::min(n, reader_.Available());
            reader_.Skip(piece);
            n -= piece;
        }
    }

    // Bytes of a video PES packet before its payload: an MPEG-2 header says how many; an
    // MPEG-1 header has stuffing, a buffer size and time stamps of their own lengths.
    static size_t PesHeaderLength(const uint8_t* p, size_t available) {
        if (available > 8 && (p[6] & 0xC0) == 0x80) return 9 + size_t{p[8]};
        size_t i = 6;
        while (i < available && i < 6 + 16 && p[i] == 0xFF) ++i;
        if (i < available && (p[i] & 0xC0) == 0x40) i += 2;
        if (i >= available) return i;
        if ((p[i] & 0xF0) == 0x20) return i + 5;
        if ((p[i] & 0xF0) == 0x30) return i + 10;
        return i + 1;  // 0x0F: no time stamps
    }

    // Transport packets of 188 bytes; the video's PID is the first whose PES packet is of a
    // video stream. False when the stream has no such packets.
    bool Transport() {
        reader_.Ensure(kReadSize);
        if (!Synchronise()) return false;
        int64_t pesLeft = -1;  // payload bytes a PES packet of known length still has
        while (Going() && reader_.Ensure(kTransportPacket) >= kTransportPacket) {
            const uint8_t* p = reader_.At();
            if (p[0] != kTransportSync) {
                reader_.Skip(1);
                if (!Synchronise()) return true;
                continue;
            }
            const int pid = (p[1] & 0x1F) << 8 | p[2];
            const bool unitStart = (p[1] & 0x40) != 0;
            const int control = (p[3] >> 4) & 3;
            size_t payload = (control & 2) != 0 ? 5 + size_t{p[4]} : 4;
            if ((control & 1) == 0 || payload >= kTransportPacket ||
                (videoPid_ >= 0 && pid != videoPid_) || (p[1] & 0x80) != 0) {
                reader_.Skip(kTransportPacket);
                continue;
            }
            const uint8_t* pes = p + payload;
            if (unitStart) {
                const size_t left = kTransportPacket - payload;
                const bool video = left >= 9 && BeginsWithStartCode(pes, left) &&
                                   pes[3] >= kFirstVideoStream && pes[3] <= kLastVideoStream;
                if (!video) {
                    reader_.Skip(kTransportPacket);
                    continue;
                }
                videoPid_ = pid;
                const size_t length = size_t{pes[4]} << 8 | pes[5];
                const size_t header = 9 + size_t{pes[8]};
                pesLeft = length == 0 ? -1 : static_cast<int64_t>(length) + 6 - header;
                payload += header;
            } else if (videoPid_ < 0) {
                reader_.Skip(kTransportPacket);
                continue;
            }
            size_t bytes = payload < kTransportPacket ? kTransportPacket - payload : 0;
            if (pesLeft >= 0) {
                bytes = std::min<size_t>(bytes, static_cast<size_t>(pesLeft));
                pesLeft -= static_cast<int64_t>(bytes);
            }
            if (bytes > 0) scanner_.Feed(p + payload, bytes, reader_.Offset());
            reader_.Skip(kTransportPacket);
        }
        return true;
    }

    // Brings the cursor to a sync byte that two more packets' sync bytes follow.
    bool Synchronise() {
        for (;;) {
            const size_t available = reader_.Ensure(3 * kTransportPacket);
            if (available < 3 * kTransportPacket) return false;
            const uint8_t* p = reader_.At();
            if (p[0] == kTransportSync && p[kTransportPacket] == kTransportSync &&
                p[2 * kTransportPacket] == kTransportSync) {
                return true;
            }
            reader_.Skip(1);
        }
    }

    Reader reader_;
    PictureScanner scanner_;
    const std::atomic<bool>& cancel_;
    const std::function<void(std::vector<ScannedPacket>&, int64_t)>& found_;
    int64_t nextBatch_ = kBatchBytes;
    int videoId_ = -1;
    int videoPid_ = -1;
};

}  // namespace

ScanEnd ScanMpegVideo(File& file, MpegContainer container, const std::atomic<bool>& cancel,
                      const std::function<void(std::vector<ScannedPacket>&, int64_t)>& found) {
    Walk walk(file, cancel, found);
    return walk.Run(container);
}

}  // namespace vantrel
