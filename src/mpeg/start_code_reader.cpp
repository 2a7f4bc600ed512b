#include "mpeg/start_code_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "files/file.h"

namespace vantrel {

namespace {

constexpr size_t kNotFound = static_cast<size_t>(-1);
constexpr size_t kBlock = 64;

// Whether two zero bytes side by side begin anywhere in the kBlock bytes at p (reads p[0 ..
// kBlock]), as every start code does. Written as one branch-free minimum over bytes so that the
// compiler makes vector code of it.
bool BlockHoldsZeroPair(const uint8_t* p) {
    uint8_t least = 0xFF;
    for (size_t k = 0; k < kBlock; ++k) {
        least = std::min(least, static_cast<uint8_t>(p[k] | p[k + 1]));
    }
    return least == 0;
}

uint64_t Load(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Bit 7 of each byte of v set exactly where that byte is zero.
uint64_t ZeroBytes(uint64_t v) {
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    return ~(((v & kLow7) + kLow7) | v | kLow7);
}

// The index of the first start code in the block at p, or kBlock when it holds none (reads
// p[0 .. kBlock + 1]).
size_t FirstStartCodeInBlock(const uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes at a time: bit 7 of byte j of the mask is set where one begins at j.
        for (size_t k = 0; k < kBlock; k += 8) {
            const uint64_t at = ZeroBytes(Load(p + k)) & ZeroBytes(Load(p + k + 1)) &
                                ZeroBytes(Load(p + k + 2) ^ 0x0101010101010101ull);
            if (at != 0) return k + static_cast<size_t>(std::countr_zero(at)) / 8;
        }
    } else {
        for (size_t k = 0; k < kBlock; ++k) {
            if (p[k] == 0 && p[k + 1] == 0 && p[k + 2] == 1) return k;
        }
    }
    return kBlock;
}

}  // namespace

StartCodeReader::StartCodeReader(File& source)
    : source_(source), window_(std::make_unique_for_overwrite<uint8_t[]>(kReaderWindowSize)) {
    Refill();
}

bool StartCodeReader::Failed() const {
    return failed_;
}

bool StartCodeReader::StartCodeAt(size_t i) const {
    const uint8_t* w = window_.get();
    return i + 3 <= fill_ && w[i] == 0 && w[i + 1] == 0 && w[i + 2] == 1;
}

// Index of the first 00 00 01 at or after `from` that lies wholly within the valid bytes. Start
// codes are rare in coded video and so are zero pairs, so whole blocks are tested for those at
// once and only a block that holds one is looked at closely.
size_t StartCodeReader::Find(size_t from) const {
    const uint8_t* w = window_.get();
    size_t i = from;
    for (; i + kBlock + 2 <= fill_; i += kBlock) {
        if (!BlockHoldsZeroPair(w + i)) continue;
        const size_t k = FirstStartCodeInBlock(w + i);
        if (k < kBlock) return i + k;
    }
    for (; i + 3 <= fill_; ++i) {
        if (w[i] == 0 && w[i + 1] == 0 && w[i + 2] == 1) return i;
    }
    return kNotFound;
}

void StartCodeReader::Compact() {
    std::memmove(window_.get(), window_.get() + cursor_, fill_ - cursor_);
    fill_ -= cursor_;
    cursor_ = 0;
}

void StartCodeReader::Refill() {
    if (failed_) return;  // a read after a failed one must not make the stream look whole
    const size_t want = kReaderWindowSize - fill_;
    const size_t got = source_.Read(window_.get() + fill_, want);
    failed_ = source_.Failed();
    fill_ += got;
    fileEnded_ = got < want;
}

const uint8_t* StartCodeReader::Hand(size_t end) {
    const uint8_t* unit = window_.get() + cursor_;
    size_ = end - cursor_;
    position_ += size_;
    cursor_ = end;
    return unit;
}

const uint8_t* StartCodeReader::End() {
    size_ = 0;
    return nullptr;
}

const uint8_t* StartCodeReader::Next() {
    if (cursor_ >= kReaderRefillMark || cursor_ == fill_) {
        Compact();
        Refill();
        if (fill_ == 0) return End();
    }
    // The start code at the cursor opens this unit; a piece that continues a long unit has
    // none there, and a start code at its front still ends it.
    const size_t from = StartCodeAt(cursor_) ? cursor_ + 1 : cursor_;
    size_t found = Find(from);
    if (found != kNotFound) return Hand(found);

    if (cursor_ > 0) {
        // Move the unit to the front, read on and search on where the search stopped.
        size_t resume = std::max(from, fill_ >= 2 ? fill_ - 2 : size_t{0}) - cursor_;
        Compact();
        Refill();
        if (StartCodeAt(0)) resume = std::max(resume, size_t{1});
        found = Find(resume);
        if (found != kNotFound) return Hand(found);
    }

    // No start code in the window: the unit runs on past it. Zeros at the window's end may be
    // the front of a start code that the next read completes; they go with the next piece so
    // that this start code is still found.
    size_t end = fill_;
    if (!fileEnded_) {
        const uint8_t* w = window_.get();
        for (int k = 0; k < 2 && end > cursor_ + 1 && w[end - 1] == 0; ++k) --end;
    }
    return Hand(end);
}

}  // namespace vantrel
