// The multiplexer's output: gathered in one 10 MiB buffer and written out only when the next
// addition would not fit, so that the destination sees few, large writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vantrel {

class File;

class OutputBatch {
  public:
    static constexpr size_t kCapacity = 10485760;

    // Allocates the buffer; Allocated() is false when it cannot be had.
    explicit OutputBatch(File& destination);
    OutputBatch(const OutputBatch&) = delete;
    OutputBatch& operator=(const OutputBatch&) = delete;

    bool Allocated() const { return buffer_ != nullptr; }
    // Writes the buffer out first when n more bytes would not fit (n at most kCapacity).
    void MakeRoom(size_t n);
    // Room for n bytes at the end of the buffer, counted as used; the caller fills them. More
    // than kCapacity is refused: null, and the batch has failed.
    uint8_t* Reserve(size_t n);
    void Append(const uint8_t* bytes, size_t n);
    // Writes what the buffer holds and empties it.
    void Flush();
    // True once a write has failed; later writes are not tried.
    bool Failed() const { return failed_; }

  private:
    File& destination_;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t used_ = 0;
    bool failed_ = false;
};

}  // namespace vantrel
