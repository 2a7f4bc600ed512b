#include "files/pair_stream_builder.h"

#include "files/timecode.h"

namespace vantrel {

PairStreamBuilder::LineStart PairStreamBuilder::StartLine(int64_t frame) {
    if (frame > kMaxReadFrame) return LineStart::BeyondLimit;
    if (frame < nextFrame_) return LineStart::Overlapping;
    // The byte count is always even here (CompletePair ends every line), so it equals
    // 2 x nextFrame_ and the fill brings it to 2 x frame.
    buffer_.AppendFill(0x80, static_cast<size_t>(frame - nextFrame_) * 2);
    nextFrame_ = frame;
    return LineStart::Placed;
}

void PairStreamBuilder::AppendByte(uint8_t byte) {
    buffer_.AppendBytes(&byte, 1);
    if (buffer_.Size() % 2 == 0) ++nextFrame_;
}

void PairStreamBuilder::AppendAlignedPair(uint8_t first, uint8_t second) {
    CompletePair();
    AppendByte(first);
    AppendByte(second);
}

void PairStreamBuilder::CompletePair() {
    if (buffer_.Size() % 2 != 0) AppendByte(0x80);
}

}  // namespace vantrel
