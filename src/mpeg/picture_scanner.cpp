#include "mpeg/picture_scanner.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

// x86-64 processors with AVX2 (nearly all in use) look at 64 bytes a step; others at 8.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VANTREL_WIDE_SCAN 1
#endif

namespace vantrel {

namespace {

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

constexpr uint64_t kMultiplier = 0x9FB21C651E98DF25ull;

uint64_t Mix(uint64_t state, uint64_t word) {
    state = (state ^ word) * kMultiplier;
    return state ^ (state >> 31);
}

bool IsSlice(uint8_t code) {
    return code >= kFirstSliceCode && code <= kLastSliceCode;
}

// Start codes are rare in coded video and so are zero pairs, so whole blocks are tested for
// those at once and only a block that holds one is looked at closely.
size_t FindStartCodeNarrow(const uint8_t* data, size_t size, size_t from) {
    size_t i = from;
    for (; i + kBlock + 2 <= size; i += kBlock) {
        if (!BlockHoldsZeroPair(data + i)) continue;
        const size_t k = FirstStartCodeInBlock(data + i);
        if (k < kBlock) return i + k;
    }
    for (; i + 3 <= size; ++i) {
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) return i;
    }
    return size;
}

#ifdef VANTREL_WIDE_SCAN
[[gnu::target("avx2")]] __m256i Load32(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Bit k set where byte k of the 32 at p equals `value`.
[[gnu::target("avx2")]] uint64_t Equal32(const uint8_t* p, __m256i value) {
    return static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(Load32(p), value)));
}

// The same 64 bytes a step, one load per 32 bytes: bit k of a mask is set where byte k is zero,
// and a start code begins where two such bits stand side by side. Only a step that holds a zero
// pair, rare in coded video, looks for the one after it.
[[gnu::target("avx2")]] size_t FindStartCodeWide(const uint8_t* data, size_t size, size_t from) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i one = _mm256_set1_epi8(1);
    size_t i = from;
    for (; i + 2 * 32 + 2 <= size; i += 2 * 32) {
        const uint8_t* p = data + i;
        const uint64_t zeros = Equal32(p, zero) | Equal32(p + 32, zero) << 32;
        const uint64_t pairs = zeros & ((zeros >> 1) | uint64_t{p[64] == 0} << 63);
        if (pairs == 0) continue;
        const uint64_t at = pairs & (Equal32(p + 2, one) | Equal32(p + 34, one) << 32);
        if (at != 0) return i + static_cast<size_t>(std::countr_zero(at));
    }
    return FindStartCodeNarrow(data, size, i);
}

#endif

}  // namespace

size_t FindStartCode(const uint8_t* data, size_t size, size_t from) {
#ifdef VANTREL_WIDE_SCAN
    static const bool wide = __builtin_cpu_supports("avx2") != 0;
    if (wide) return FindStartCodeWide(data, size, from);
#endif
    return FindStartCodeNarrow(data, size, from);
}

// Four words at a time, folded in one after the other: the multiplies of one block overlap the
// loads of the next. Only whole blocks of the stream are folded, whatever pieces it came in.
uint64_t ByteDigest::Fold(uint64_t state, const uint8_t* block) {
    return Mix(state, Load(block) ^ std::rotl(Load(block + 8), 17) ^
                          std::rotl(Load(block + 16), 31) ^ std::rotl(Load(block + 24), 47) ^
                          (Load(block + 8) * kMultiplier));
}

void ByteDigest::Add(const uint8_t* data, size_t size) {
    length_ += size;
    if (tailSize_ > 0) {
        const size_t take = std::min(size, sizeof tail_ - tailSize_);
        std::memcpy(tail_ + tailSize_, data, take);
        tailSize_ += take;
        data += take;
        size -= take;
        if (tailSize_ < sizeof tail_) return;
        state_ = Fold(state_, tail_);
        tailSize_ = 0;
    }
    uint64_t state = state_;
    for (; size >= sizeof tail_; data += sizeof tail_, size -= sizeof tail_) {
        state = Fold(state, data);
    }
    state_ = state;
    std::memcpy(tail_, data, size);
    tailSize_ = size;
}

uint64_t ByteDigest::Value() const {
    uint8_t last[sizeof tail_] = {};
    std::memcpy(last, tail_, tailSize_);
    return Mix(Fold(state_, last), length_);
}

uint64_t DigestOf(const uint8_t* data, size_t size) {
    ByteDigest digest;
    digest.Add(data, size);
    return digest.Value();
}

void PictureScanner::Feed(const uint8_t* data, size_t size, int64_t pos) {
    if (size == 0) return;
    chunkPos_ = pos;
    chunkStart_ = offset_;
    data_ = data;
    offset_ += static_cast<int64_t>(size);
    // Where the next start code may begin: in the bytes kept from before, or after the one
    // that waited for its bytes.
    int64_t next = chunkStart_ - static_cast<int64_t>(carrySize_);
    if (pendingAt_ >= 0) {
        next = pendingAt_ + 4;
        Found(std::exchange(pendingAt_, -1));
    }
    for (int64_t k = next; pendingAt_ < 0 && k < chunkStart_ && k + 3 <= offset_; ++k) {
        if (ByteAt(k) == 0 && ByteAt(k + 1) == 0 && ByteAt(k + 2) == 1) {
            Found(k);
            next = k + 4;
            k += 3;
        }
    }
    auto from = static_cast<size_t>(std::max<int64_t>(next, chunkStart_) - chunkStart_);
    while (pendingAt_ < 0 && from < size) {
        const size_t at = FindStartCode(data, size, from);
        if (at == size) break;
        Found(chunkStart_ + static_cast<int64_t>(at));
        from = at + 4;
    }
    // All but the last two bytes go into the digest: those may begin a start code that ends
    // the packet before them. A start code still waiting for its bytes is kept whole.
    int64_t keepFrom = offset_ - 2;
    if (pendingAt_ >= 0) keepFrom = std::min(keepFrom, pendingAt_);
    keepFrom = std::max(keepFrom, digested_);
    DigestTo(keepFrom);
    uint8_t kept[sizeof carry_];
    const auto keep = static_cast<size_t>(offset_ - keepFrom);
    for (size_t k = 0; k < keep; ++k) kept[k] = ByteAt(keepFrom + static_cast<int64_t>(k));
    if (keepFrom >= chunkStart_) carryPos_ = chunkPos_;
    std::memcpy(carry_, kept, keep);
    carrySize_ = keep;
    // The caller's bytes are not looked at again.
    chunkStart_ = offset_;
    data_ = nullptr;
}

uint8_t PictureScanner::ByteAt(int64_t at) const {
    if (at >= chunkStart_) return data_[at - chunkStart_];
    return carry_[carrySize_ - static_cast<size_t>(chunkStart_ - at)];
}

// A start code at `at`: handled at once when its code byte and the three after it are at hand,
// else when the next input brings them.
void PictureScanner::Found(int64_t at) {
    uint8_t bytes[4] = {};
    if (at + 7 > offset_) {
        pendingAt_ = at;
        return;
    }
    for (int k = 0; k < 4; ++k) bytes[k] = ByteAt(at + 3 + k);
    StartCode(bytes[0], bytes + 1, at);
}

void PictureScanner::StartCode(uint8_t code, const uint8_t* after, int64_t at) {
    // Where the decoder's packets end: after a sequence end code; at the first start code other
    // than a slice that follows the slices of a frame picture or of a pair's second field.
    if (code == kSequenceEndCode) {
        EndPacket(at + 4);
        state_ = 0;
        return;
    }
    const bool slice = IsSlice(code);
    if (state_ == 4 && !slice) {
        EndPacket(at);
        state_ = 0;
    }
    if (state_ == 0 && slice) state_ = 4;
    if (state_ == 2 && code == kSequenceHeaderCode) state_ = 0;
    if (state_ < 4 && code == kExtensionStartCode && (after[0] >> 4) == kPictureCodingExtension) {
        // A first field waits for its second (state 2), which completes the frame.
        state_ = (after[2] & 3) == kFramePicture ? 0 : (state_ + 2) & 3;
    }

    if (code == kPictureStartCode) {
        // A frame picture until its coding extension says otherwise (MPEG-1 pictures have none).
        if (open_.pictures++ == 0) open_.firstCoding = (after[1] >> 3) & 7;
        ++framePictures_;
        pictureOpen_ = true;
    } else if (code == kExtensionStartCode && pictureOpen_ &&
               (after[0] >> 4) == kPictureCodingExtension) {
        pictureOpen_ = false;
        if ((after[2] & 3) != kFramePicture) {
            --framePictures_;
            ++fieldPictures_;
            ++open_.fields;
        }
    } else if (code != kExtensionStartCode) {
        pictureOpen_ = false;
    }
}

void PictureScanner::DigestTo(int64_t end) {
    if (end <= digested_) return;
    int64_t from = digested_;
    if (from < chunkStart_) {
        const int64_t carried = chunkStart_ - static_cast<int64_t>(carrySize_);
        const int64_t upTo = std::min(end, chunkStart_);
        digest_.Add(carry_ + (from - carried), static_cast<size_t>(upTo - from));
        from = upTo;
    }
    if (end > from) digest_.Add(data_ + (from - chunkStart_), static_cast<size_t>(end - from));
    digested_ = end;
}

void PictureScanner::EndPacket(int64_t end) {
    if (end <= packetStart_) return;
    DigestTo(end);
    if (open_.pictures > 0) {
        open_.pos = packetPos_;
        open_.size = end - packetStart_;
        open_.digest = digest_.Value();
        packets_.push_back(open_);
    }
    open_ = ScannedPacket{};
    digest_ = ByteDigest{};
    packetStart_ = end;
    packetPos_ = end >= chunkStart_ ? chunkPos_ : carryPos_;
}

void PictureScanner::Finish() {
    // A start code cut off by the end: what of it is there counts.
    if (pendingAt_ >= 0 && pendingAt_ + 3 < offset_) {
        uint8_t bytes[4] = {};
        for (int64_t k = pendingAt_ + 3; k < offset_; ++k) bytes[k - pendingAt_ - 3] = ByteAt(k);
        StartCode(bytes[0], bytes + 1, pendingAt_);
    }
    pendingAt_ = -1;
    EndPacket(offset_);
}

}  // namespace vantrel
