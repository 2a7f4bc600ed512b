#include "mpeg/output_batch.h"

#include <cstring>
#include <new>

#include "files/file.h"

namespace vantrel {

OutputBatch::OutputBatch(File& destination)
    : destination_(destination), buffer_(new (std::nothrow) uint8_t[kCapacity]) {}

void OutputBatch::MakeRoom(size_t n) {
    if (used_ + n > kCapacity) Flush();
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

void OutputBatch::Flush() {
    if (!failed_ && used_ > 0 && !destination_.Write(buffer_.get(), used_)) failed_ = true;
    used_ = 0;
}

}  // namespace vantrel
