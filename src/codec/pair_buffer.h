// A growable store for 608 data of any length (a long video carries one pair per frame): a
// chain of 64 KiB chunks that grows by whole chunks and never moves what it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vantrel {

constexpr size_t kPairBufferChunkSize = 65536;

// One link of the chain. Chunks are allocated with new (the append operations link new ones)
// and released with FreeChain. Only the tail is appended to; every chunk before it is full.
//
// The append operations are called on the tail and return the new tail. Called on a chunk that
// has a next, they change nothing and return null; asked for 0 bytes, they return the tail. When
// a chunk cannot be allocated they throw std::bad_alloc and leave the chain as it was.
struct PairBufferChunk {
    uint8_t data[kPairBufferChunkSize];
    uint32_t used = 0;
    PairBufferChunk* next = nullptr;

    PairBufferChunk() = default;
    PairBufferChunk(const PairBufferChunk&) = delete;
    PairBufferChunk& operator=(const PairBufferChunk&) = delete;

    // n copies of value OR 0x80.
    PairBufferChunk* AppendFill(uint8_t value, size_t n);
    // n bytes, each OR 0x80.
    PairBufferChunk* AppendBytes(const uint8_t* source, size_t n);
    // n bytes unchanged (MPEG-2 data).
    PairBufferChunk* AppendRaw(const uint8_t* source, size_t n);
    // The low half of code, then the high half, each OR 0x80; the two may straddle two chunks.
    // A 608 pair (first, second) is therefore passed as first | second << 8.
    PairBufferChunk* AppendPair(uint16_t code);

    // Called on the first chunk: copy the first n bytes of the chain, unchanged or with odd
    // parity. Return how many bytes were copied, fewer than n when the chain ends first.
    size_t CopyOut(uint8_t* destination, size_t n) const;
    size_t CopyOutWithParity(uint8_t* destination, size_t n) const;

    // Frees first and every chunk after it; null is allowed.
    static void FreeChain(PairBufferChunk* first) noexcept;
};

// Owner of a chain: keeps the first chunk, the tail and the byte count, and frees the chain.
// The first chunk is allocated by the first append that stores something. Appends throw
// std::bad_alloc when memory runs out and then leave the buffer as it was.
class PairBuffer {
  public:
    PairBuffer() noexcept = default;
    ~PairBuffer() { PairBufferChunk::FreeChain(first_); }
    PairBuffer(PairBuffer&& other) noexcept;
    PairBuffer& operator=(PairBuffer&& other) noexcept;
    PairBuffer(const PairBuffer&) = delete;
    PairBuffer& operator=(const PairBuffer&) = delete;

    void AppendFill(uint8_t value, size_t n);
    void AppendBytes(const uint8_t* source, size_t n);
    void AppendBytes(std::span<const uint8_t> source) { AppendBytes(source.data(), source.size()); }
    void AppendRaw(const uint8_t* source, size_t n);
    void AppendRaw(std::span<const uint8_t> source) { AppendRaw(source.data(), source.size()); }
    void AppendPair(uint16_t code);

    size_t Size() const { return size_; }
    // Copy the first min(n, Size()) bytes; return how many were copied.
    size_t CopyOut(uint8_t* destination, size_t n) const;
    size_t CopyOutWithParity(uint8_t* destination, size_t n) const;
    std::vector<uint8_t> ToVector() const;

    // The chain itself, null while nothing is stored.
    const PairBufferChunk* First() const { return first_; }

  private:
    PairBufferChunk* Tail();

    PairBufferChunk* first_ = nullptr;
    PairBufferChunk* tail_ = nullptr;
    size_t size_ = 0;
};

}  // namespace vantrel
