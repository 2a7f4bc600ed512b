// The timecode lines shared by the text formats (.scc, .ccd): reading them into a pair stream
// (a line's data is placed at its timecode's frame), and cutting a pair stream into them.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "files/pair_stream.h"
#include "files/text_lines.h"
#include "files/timecode.h"
#include "model/caption_project.h"

namespace vantrel {

constexpr size_t kMaxPairsPerLine = 256;

inline bool StartsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

// A pair that carries data and a byte of even parity; a receiver would not trust it.
constexpr bool HasBadParity(uint8_t first, uint8_t second) {
    const bool data = ((first | second) & 0x7F) != 0;
    return data && (std::popcount(first) % 2 == 0 || std::popcount(second) % 2 == 0);
}

// The working state of a text reader: the pair stream collected so far, the number of bytes in
// it and the frame that the next whole pair belongs to.
class PairStreamBuilder {
  public:
    enum class LineStart {
        Placed,       // the data of the line goes on at its frame
        Queued,       // the frame falls inside the pairs of the line before: its data goes on
                      // after them, as a receiver fed the pairs shows them
        Overlapping,  // the frame is below that of the line before: skip the line
        BeyondLimit,  // the frame lies past kMaxReadFrame: skip the line
    };

    // Fills the frames up to the timecode line's frame with null pairs; `line` is the file's
    // line that holds it (0 where there is none).
    LineStart StartLine(int64_t frame, size_t line = 0);

    // One byte of caption data as the file carries it, parity bit and all (bit 7 is set in
    // the stream). A pair with a byte of even parity is counted, unless it carries no data at
    // all (both bytes zero but for bit 7).
    void AppendByte(uint8_t byte);

    // A whole pair that must start on a pair boundary: a null byte completes an odd count first.
    void AppendAlignedPair(uint8_t first, uint8_t second);

    // At the end of a line's data: a stray odd byte gets a null byte as its partner, so that
    // the next line's pairs stay aligned with their frames.
    void CompletePair();

    // The frame that the next whole pair belongs to.
    int64_t NextFrame() const { return nextFrame_; }

    // The collected stream, handed over.
    PairStream Take() { return std::move(buffer_); }
    // The pairs appended with bad parity: how many, and the frame and line of the first.
    const LineTally& BadParity() const { return badParity_; }

  private:
    PairStream buffer_;
    int64_t nextFrame_ = 0;
    int64_t lineFrame_ = 0;  // the timecode of the line before
    size_t line_ = 0;
    uint8_t firstByte_ = 0;  // of the pair being appended, as given
    LineTally badParity_;
};

// Reads the timecode lines after the header lines: each line's data goes through
// `readData(data, lineNumber, builder, result)` at the line's own frame. Blank lines are
// passed over; every other line left out is counted in `result` by its kind: no timecode
// line, out of order (a timecode before that of the line before), past the last readable
// frame. A line whose timecode falls inside the pairs of the line before is queued after them
// and counted as read by a guess. Stops early, with the pairs so far, once `cancel` is raised.
// `ownLine(line)` is asked first about a line without a timecode: true when the format takes it
// as one of its own (a .ccd channel line).
// The timecodes count pictures of `rate`.
template <typename ReadData, typename OwnLine = bool (*)(std::string_view)>
void ReadTimecodeLines(
    TextLines& lines, CaptionFileData& result, ReadData readData, const PictureRate& rate,
    const std::atomic<int>* cancel, OwnLine ownLine = [](std::string_view) { return false; }) {
    PairStreamBuilder builder;
    CancelPoll cancelled(cancel);
    std::string_view line;
    while (!cancelled() && lines.Next(line)) {
        if (IsBlankLine(line)) continue;
        const size_t number = lines.Number();
        const std::optional<TimecodeLine> timecode = ParseTimecodeLine(line, rate);
        if (!timecode) {
            if (!ownLine(line)) result.unreadableLines.Add(number);
            continue;
        }
        switch (builder.StartLine(timecode->frame, number)) {
            case PairStreamBuilder::LineStart::Queued:
                result.queuedLines.Add(number, timecode->frame);
                [[fallthrough]];
            case PairStreamBuilder::LineStart::Placed:
                if (timecode->highFrameNumber) result.highFrameNumbers.Add(number, timecode->frame);
                readData(timecode->data, number, builder, result);
                break;
            case PairStreamBuilder::LineStart::Overlapping:
                result.linesOutOfOrder.Add(number, timecode->frame);
                break;
            case PairStreamBuilder::LineStart::BeyondLimit:
                result.linesBeyondLimit.Add(number, timecode->frame);
                break;
        }
    }
    result.pairs = builder.Take();
    result.badParity = builder.BadParity();
}

// A run of pairs written on one timecode line.
struct PairLine {
    int64_t frame;     // the frame of its first pair
    size_t firstByte;  // offset of its first pair in the stream
    size_t pairCount;
};

// Byte i of an encoded stream; a stream of odd length ends in half a pair, whose missing byte
// reads as a null byte.
inline uint8_t ByteAt(std::span<const uint8_t> stream, size_t i) {
    return i < stream.size() ? stream[i] : 0x80;
}

// Null pairs are stepped over; a line starts at the next pair that carries data and ends
// before a null pair, after End Of Caption (0x94 0x2F as encoded), after 256 pairs, or at the
// end of the stream. A last single byte counts as a pair when it carries data.
// A line starts on a frame that a timecode of `rate` can name: one that is not the first of its
// picture takes the pair before it (a null pair, or the last of the line before).
std::vector<PairLine> SplitPairLines(std::span<const uint8_t> stream,
                                     const PictureRate& rate = kCaptionRate);

}  // namespace vantrel
