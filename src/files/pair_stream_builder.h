// The working state of the text readers (.scc, .ccd): the pair stream collected so far, the
// number of bytes in it and the frame that the next whole pair belongs to.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codec/pair_buffer.h"
#include "files/pair_stream.h"

namespace vantrel {

class PairStreamBuilder {
  public:
    enum class LineStart {
        Placed,       // the data of the line goes on at its frame
        Overlapping,  // the frame is below the next frame: skip the line
        BeyondLimit,  // the frame lies past kMaxReadFrame: skip the line
    };

    // Fills the frames up to the timecode line's frame with null pairs.
    LineStart StartLine(int64_t frame);

    // One byte of caption data (bit 7 is set here).
    void AppendByte(uint8_t byte);

    // A whole pair that must start on a pair boundary: a null byte completes an odd count first.
    void AppendAlignedPair(uint8_t first, uint8_t second);

    // At the end of a line's data: a stray odd byte gets a null byte as its partner, so that
    // the next line's pairs stay aligned with their frames.
    void CompletePair();

    size_t ByteCount() const { return buffer_.Size(); }
    int64_t NextFrame() const { return nextFrame_; }

    // The collected stream.
    PairStream Take() const { return buffer_.ToVector(); }

  private:
    PairBuffer buffer_;
    int64_t nextFrame_ = 0;
};

}  // namespace vantrel
