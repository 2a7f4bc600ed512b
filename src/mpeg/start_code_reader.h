// Walks an MPEG-2 video elementary stream front to back and hands out its start-code units
// (a start code 00 00 01 xx and the bytes up to the next one) through one fixed window, so that
// streams of any size are read with constant memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "mpeg/picture_scanner.h"

namespace vantrel {

class File;

constexpr size_t kReaderWindowSize = 65540;
// With the cursor below this index at least 8 bytes of the window follow it.
constexpr size_t kReaderRefillMark = 65532;

class StartCodeReader {
  public:
    // Fills the window from the file's current position (normally its start). The file is not
    // owned and must outlive the reader. Throws std::bad_alloc when the window cannot be had.
    explicit StartCodeReader(File& source);
    StartCodeReader(const StartCodeReader&) = delete;
    StartCodeReader& operator=(const StartCodeReader&) = delete;

    // The first byte of the next unit, or null at the end of the stream. The bytes stay valid
    // until the next call; Size() tells how many there are. The first unit holds whatever
    // precedes the first start code after offset 0. A unit longer than the window comes out in
    // pieces: the first begins with its start code, the later ones do not.
    const uint8_t* Next();

    // File offset of the end of the unit last handed out (0 before the first call).
    uint64_t Position() const { return position_; }
    // Length of the unit or piece last handed out; 0 after the end.
    size_t Size() const { return size_; }
    // True when a read error, not the end of the file, ended the stream.
    bool Failed() const;
    // The bytes read ahead and not handed out yet: before the first Next(), the start of the
    // source (all of it when it is shorter than the window).
    std::span<const uint8_t> Buffered() const { return {window_.get() + cursor_, fill_ - cursor_}; }

  private:
    bool StartCodeAt(size_t i) const;
    size_t Find(size_t from) const;
    void Compact();
    void Refill();
    const uint8_t* Hand(size_t end);
    const uint8_t* End();

    File& source_;
    std::unique_ptr<uint8_t[]> window_;
    uint64_t position_ = 0;
    size_t cursor_ = 0;
    size_t fill_ = 0;
    size_t size_ = 0;
    bool fileEnded_ = false;
    bool failed_ = false;
};

}  // namespace vantrel
