#include "codec/pair_buffer.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "codec/tables.h"

namespace vantrel {

namespace {

// Holds freshly allocated chunks until they are linked, so that a failed allocation frees them.
struct PendingChunks {
    PairBufferChunk* first = nullptr;
    ~PendingChunks() { PairBufferChunk::FreeChain(first); }
};

// Appends n bytes produced by write(destination, offset, count) for the source positions
// offset to offset + count - 1.
template <typename Write>
PairBufferChunk* Append(PairBufferChunk* tail, size_t n, Write write) {
    if (tail->next != nullptr) return nullptr;
    if (n == 0) return tail;

    // Every chunk the bytes need is allocated before any byte is stored.
    const size_t room = kPairBufferChunkSize - tail->used;
    PendingChunks pending;
    if (n > room) {
        const size_t count = (n - room + kPairBufferChunkSize - 1) / kPairBufferChunkSize;
        PairBufferChunk** link = &pending.first;
        for (size_t i = 0; i < count; ++i) {
            *link = new PairBufferChunk;
            link = &(*link)->next;
        }
    }
    tail->next = std::exchange(pending.first, nullptr);

    size_t offset = 0;
    PairBufferChunk* chunk = tail;
    for (;;) {
        const size_t take = std::min(kPairBufferChunkSize - chunk->used, n - offset);
        write(chunk->data + chunk->used, offset, take);
        chunk->used += static_cast<uint32_t>(take);
        offset += take;
        if (offset == n) return chunk;
        chunk = chunk->next;
    }
}

void OrHighBit(uint8_t* destination, const uint8_t* source, size_t count) {
    for (size_t i = 0; i < count; ++i) destination[i] = source[i] | 0x80;
}

}  // namespace

PairBufferChunk* PairBufferChunk::AppendFill(uint8_t value, size_t n) {
    return Append(this, n, [value](uint8_t* destination, size_t, size_t count) {
        std::memset(destination, value | 0x80, count);
    });
}

PairBufferChunk* PairBufferChunk::AppendBytes(const uint8_t* source, size_t n) {
    return Append(this, n, [source](uint8_t* destination, size_t offset, size_t count) {
        OrHighBit(destination, source + offset, count);
    });
}

PairBufferChunk* PairBufferChunk::AppendRaw(const uint8_t* source, size_t n) {
    return Append(this, n, [source](uint8_t* destination, size_t offset, size_t count) {
        std::memcpy(destination, source + offset, count);
    });
}

PairBufferChunk* PairBufferChunk::AppendPair(uint16_t code) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(code & 0xFF), static_cast<uint8_t>(code >> 8)};
    if (next != nullptr) return nullptr;
    if (used % 2 == 0 && used < kPairBufferChunkSize) {
        OrHighBit(data + used, bytes, 2);
        used += 2;
        return this;
    }
    // A full tail gets a new chunk; an odd fill lets the pair straddle the boundary.
    return AppendBytes(bytes, 2);
}

size_t PairBufferChunk::CopyOut(uint8_t* destination, size_t n) const {
    size_t copied = 0;
    for (const PairBufferChunk* chunk = this; chunk != nullptr && copied < n; chunk = chunk->next) {
        const size_t take = std::min<size_t>(chunk->used, n - copied);
        std::memcpy(destination + copied, chunk->data, take);
        copied += take;
    }
    return copied;
}

size_t PairBufferChunk::CopyOutWithParity(uint8_t* destination, size_t n) const {
    size_t copied = 0;
    for (const PairBufferChunk* chunk = this; chunk != nullptr && copied < n; chunk = chunk->next) {
        const size_t take = std::min<size_t>(chunk->used, n - copied);
        for (size_t i = 0; i < take; ++i) {
            destination[copied + i] = OddParityTable[chunk->data[i] & 0x7F];
        }
        copied += take;
    }
    return copied;
}

void PairBufferChunk::FreeChain(PairBufferChunk* first) noexcept {
    while (first != nullptr) {
        delete std::exchange(first, first->next);
    }
}

PairBuffer::PairBuffer(PairBuffer&& other) noexcept
    : first_(std::exchange(other.first_, nullptr)),
      tail_(std::exchange(other.tail_, nullptr)),
      size_(std::exchange(other.size_, 0)) {}

PairBuffer& PairBuffer::operator=(PairBuffer&& other) noexcept {
    if (this != &other) {
        PairBufferChunk::FreeChain(first_);
        first_ = std::exchange(other.first_, nullptr);
        tail_ = std::exchange(other.tail_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

PairBufferChunk* PairBuffer::Tail() {
    if (tail_ == nullptr) first_ = tail_ = new PairBufferChunk;
    return tail_;
}

void PairBuffer::AppendFill(uint8_t value, size_t n) {
    if (n == 0) return;
    tail_ = Tail()->AppendFill(value, n);
    size_ += n;
}

void PairBuffer::AppendBytes(const uint8_t* source, size_t n) {
    if (n == 0) return;
    tail_ = Tail()->AppendBytes(source, n);
    size_ += n;
}

void PairBuffer::AppendRaw(const uint8_t* source, size_t n) {
    if (n == 0) return;
    tail_ = Tail()->AppendRaw(source, n);
    size_ += n;
}

void PairBuffer::AppendPair(uint16_t code) {
    tail_ = Tail()->AppendPair(code);
    size_ += 2;
}

size_t PairBuffer::CopyOut(uint8_t* destination, size_t n) const {
    return first_ == nullptr ? 0 : first_->CopyOut(destination, n);
}

size_t PairBuffer::CopyOutWithParity(uint8_t* destination, size_t n) const {
    return first_ == nullptr ? 0 : first_->CopyOutWithParity(destination, n);
}

std::vector<uint8_t> PairBuffer::ToVector() const {
    std::vector<uint8_t> bytes(size_);
    CopyOut(bytes.data(), bytes.size());
    return bytes;
}

}  // namespace vantrel
