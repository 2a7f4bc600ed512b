#include "mpeg/output_batch.h"

#include <cstring>
#include <new>
#include <system_error>
#include <utility>

#include "files/file.h"

namespace vantrel {

OutputBatch::OutputBatch(File& destination)
    : destination_(destination),
      buffer_(new (std::nothrow) uint8_t[kCapacity]),
      spare_(new (std::nothrow) uint8_t[kCapacity]) {}

OutputBatch::~OutputBatch() {
    Wait();
}

void OutputBatch::MakeRoom(size_t n) {
    if (used_ + n > kCapacity) Send();
}

uint8_t* OutputBatch::Reserve(size_t n) {
    if (n > kCapacity) {
        failed_ = true;
        return nullptr;
    }
    MakeRoom(n);
    uint8_t* room = buffer_.get() + used_;
    used_ += n;
    return room;
}

void OutputBatch::Append(const uint8_t* bytes, size_t n) {
    if (n == 0) return;
    if (uint8_t* room = Reserve(n)) std::memcpy(room, bytes, n);
}

void OutputBatch::Wait() {
    if (writing_.valid() && !writing_.get()) failed_ = true;
}

void OutputBatch::Send() {
    Wait();  // the spare buffer is free again
    const size_t n = std::exchange(used_, 0);
    if (failed_ || n == 0) return;
    std::swap(buffer_, spare_);
    const uint8_t* full = spare_.get();
    try {
        writing_ =
            std::async(std::launch::async, [this, full, n] { return destination_.Write(full, n); });
    } catch (const std::system_error&) {
        // No thread to be had: the write is made here.
        if (!destination_.Write(full, n)) failed_ = true;
    }
}

void OutputBatch::Flush() {
    // The last buffer is written here: there is nothing left to do meanwhile.
    Wait();
    if (!failed_ && used_ > 0 && !destination_.Write(buffer_.get(), used_)) failed_ = true;
    used_ = 0;
}

}  // namespace vantrel
