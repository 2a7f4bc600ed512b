#include "files/timecode_lines.h"

namespace vantrel {

PairStreamBuilder::LineStart PairStreamBuilder::StartLine(int64_t frame, size_t line) {
    if (frame > kMaxReadFrame) return LineStart::BeyondLimit;
    line_ = line;
    if (frame < nextFrame_) {
        // A writer whose pairs ran past the next line's timecode: they are sent in order.
        if (frame < lineFrame_) return LineStart::Overlapping;
        lineFrame_ = frame;
        return LineStart::Queued;
    }
    lineFrame_ = frame;
    // The byte count is always even here (CompletePair ends every line), so it equals
    // 2 x nextFrame_ and the fill brings it to 2 x frame.
    buffer_.resize(buffer_.size() + static_cast<size_t>(frame - nextFrame_) * 2, 0x80);
    nextFrame_ = frame;
    return LineStart::Placed;
}

void PairStreamBuilder::AppendByte(uint8_t byte) {
    buffer_.push_back(static_cast<uint8_t>(byte | 0x80));
    if (buffer_.size() % 2 != 0) {
        firstByte_ = byte;
        return;
    }
    if (HasBadParity(firstByte_, byte)) badParity_.Add(line_, nextFrame_);
    ++nextFrame_;
}

void PairStreamBuilder::AppendAlignedPair(uint8_t first, uint8_t second) {
    CompletePair();
    AppendByte(first);
    AppendByte(second);
}

void PairStreamBuilder::CompletePair() {
    if (buffer_.size() % 2 != 0) AppendByte(0x80);
}

std::vector<PairLine> SplitPairLines(std::span<const uint8_t> stream, const PictureRate& rate) {
    auto isNullPair = [&](size_t i) {
        return ByteAt(stream, i) == 0x80 && ByteAt(stream, i + 1) == 0x80;
    };
    auto isEndOfCaption = [&](size_t i) {
        return ByteAt(stream, i) == 0x94 && ByteAt(stream, i + 1) == 0x2F;
    };

    std::vector<PairLine> lines;
    size_t i = 0;
    while (true) {
        while (i < stream.size() && isNullPair(i)) i += 2;
        if (i >= stream.size()) break;
        PairLine line{static_cast<int64_t>(i / 2), i, 0};
        while (i < stream.size() && !isNullPair(i) && line.pairCount < kMaxPairsPerLine) {
            const bool endOfCaption = isEndOfCaption(i);
            ++line.pairCount;
            i += 2;
            if (endOfCaption) break;
        }
        // Below 29.97 pictures a second no picture carries more than two frames, so the frame
        // before is the first of its picture.
        if (!StartsPicture(line.frame, rate)) {
            --line.frame;
            line.firstByte -= 2;
            ++line.pairCount;
            if (!lines.empty() &&
                lines.back().frame + int64_t(lines.back().pairCount) > line.frame &&
                --lines.back().pairCount == 0) {
                lines.pop_back();
            }
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace vantrel
