// A source of bytes read front to back: a buffer in memory, or an open file read in blocks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "files/file.h"

namespace vantrel {

class ByteInput {
  public:
    virtual ~ByteInput() = default;
    // Reads up to n bytes; returns how many arrived (fewer at the end or on an error).
    virtual size_t Read(void* data, size_t n) = 0;
    // A read failed (as opposed to the input ending).
    virtual bool Failed() const { return false; }
};

class MemoryInput : public ByteInput {
  public:
    explicit MemoryInput(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    size_t Read(void* data, size_t n) override {
        const size_t k = std::min(n, bytes_.size() - pos_);
        if (k > 0) std::memcpy(data, bytes_.data() + pos_, k);
        pos_ += k;
        return k;
    }

  private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

class FileInput : public ByteInput {
  public:
    explicit FileInput(File& file) : file_(file), block_(kBlockSize) {}
    size_t Read(void* data, size_t n) override {
        auto* out = static_cast<uint8_t*>(data);
        size_t done = 0;
        while (done < n) {
            if (pos_ == filled_) {
                if (file_.Failed()) break;
                filled_ = file_.Read(block_.data(), block_.size());
                pos_ = 0;
                if (filled_ == 0) break;
            }
            const size_t k = std::min(n - done, filled_ - pos_);
            std::memcpy(out + done, block_.data() + pos_, k);
            pos_ += k;
            done += k;
        }
        return done;
    }
    bool Failed() const override { return file_.Failed(); }

  private:
    static constexpr size_t kBlockSize = 65536;
    File& file_;
    std::vector<uint8_t> block_;
    size_t pos_ = 0;
    size_t filled_ = 0;
};

}  // namespace vantrel
