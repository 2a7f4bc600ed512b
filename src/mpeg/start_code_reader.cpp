#include "mpeg/start_code_reader.h"

#include <algorithm>
#include <cstring>

#include "files/file.h"

namespace vantrel {

namespace {

constexpr size_t kNotFound = static_cast<size_t>(-1);

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

// Index of the first 00 00 01 at or after `from` that lies wholly within the valid bytes.
size_t StartCodeReader::Find(size_t from) const {
    const size_t found = FindStartCode(window_.get(), fill_, from);
    return found == fill_ ? kNotFound : found;
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
