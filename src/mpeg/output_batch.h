// The multiplexer's output: gathered in a 10 MiB buffer and written out only when the next
// addition would not fit, so that the destination sees few, large writes. A full buffer is
// written by a thread of its own while the next one fills, so that reading the source and
// writing the copy overlap, as a file copy's reading and the system's writing do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>

namespace vantrel {

class File;

class OutputBatch {
  public:
    static constexpr size_t kCapacity = 10485760;

    // Allocates the buffers; Allocated() is false when they cannot be had.
    explicit OutputBatch(File& destination);
    // Waits for the write under way.
    ~OutputBatch();
    OutputBatch(const OutputBatch&) = delete;
    OutputBatch& operator=(const OutputBatch&) = delete;

    bool Allocated() const { return buffer_ != nullptr && spare_ != nullptr; }
    // Sends the buffer to be written first when n more bytes would not fit (n at most
    // kCapacity).
    void MakeRoom(size_t n);
    // Room for n bytes at the end of the buffer, counted as used; the caller fills them. More
    // than kCapacity is refused: null, and the batch has failed.
    uint8_t* Reserve(size_t n);
    void Append(const uint8_t* bytes, size_t n);
    // Waits for the write under way, then writes what the buffer holds and empties it.
    void Flush();
    // True once a write has failed (known once the next buffer is sent, or at Flush()); later
    // writes are not tried.
    bool Failed() const { return failed_; }

  private:
    // Waits for the write under way, if any, and notes whether it failed.
    void Wait();
    // Hands the full buffer to a write of its own and goes on in the spare one.
    void Send();

    File& destination_;
    std::unique_ptr<uint8_t[]> buffer_;
    std::unique_ptr<uint8_t[]> spare_;  // the buffer being written while `buffer_` fills
    std::future<bool> writing_;
    size_t used_ = 0;
    bool failed_ = false;
};

}  // namespace vantrel
