#include "codec/decoder.h"

#include <algorithm>

#include "codec/code_string.h"
#include "codec/codes.h"
#include "codec/tables.h"

namespace vantrel {

namespace {

// A caption still shown when the stream ends stays up at least this long.
constexpr int64_t kLastCaptionFrames = 60;

// No cell shows anything: not a character, not a code cell.
bool ShowsNothing(const Caption& caption) {
    for (int r = 0; r < kScreenRows; ++r) {
        for (const CaptionCell& cell : caption.cells[r]) {
            if (cell.character != 0) return false;
        }
    }
    return true;
}

// A row that shows a character other than a space: a line worth a caption.
bool RowHasText(const CaptionCell* cells) {
    for (int c = 0; c < kScreenColumns; ++c) {
        const uint8_t ch = cells[c].character;
        if (ch > ' ' && IsCaptionCharacter(ch) && ch != 0xA0) return true;
    }
    return false;
}

bool IsExtendedPair(uint8_t first7, uint8_t second7) {
    const uint8_t group = first7 & 7;
    return (group == 2 || group == 3) && second7 >= 0x20 && second7 <= 0x3F;
}

// Fragments of one byte that steer the receiver rather than write into a memory.
bool IsCommand(uint8_t code) {
    switch (code) {
        case kRcl:
        case kRdc:
        case kRtd:
        case kTr:
        case kEoc:
        case kBs:
        case kFon:
        case kCr:
        case kTransparent:
        case kEnm:
        case kEdm:
            return true;
        default:
            return IsRollUp(code);
    }
}

// Before any address code a receiver's cursor stands at row 15, column 0; so does the cursor of
// a memory that was just erased or swapped in for loading.
void HomeCursor(ScreenWriter& writer) {
    writer.MoveTo(kScreenRows - 1, 0);
}

void CopyRow(Caption& to, int toRow, const Caption& from, int fromRow) {
    std::copy(std::begin(from.cells[fromRow]), std::end(from.cells[fromRow]), to.cells[toRow]);
}

void ClearRow(Caption& caption, int row) {
    std::fill(std::begin(caption.cells[row]), std::end(caption.cells[row]), CaptionCell{});
}

}  // namespace

CaptionDecoder::CaptionDecoder(const DecodeOptions& options)
    : options_(options),
      ourChannel_((options.channel - 1) % 2 == 0),
      displayed_(std::make_unique<Caption>()),
      loading_(std::make_unique<Caption>()) {
    HomeCursor(loadWriter_);
    HomeCursor(displayWriter_);
    skipped_.otherChannel = options.channel % 2 == 1 ? options.channel + 1 : options.channel - 1;
}

CaptionDecoder::~CaptionDecoder() = default;

void CaptionDecoder::Feed(uint8_t first, uint8_t second) {
    ++frame_;
    const uint8_t a = first & 0x7F, b = second & 0x7F;
    if (a == 0 && b == 0) {  // the null pair of a frame without data
        lastPair_ = -1;
        afterRepeat_ = false;
        return;
    }
    const bool inText = mode_ == Mode::Text;
    if (!IsControlFirst(a)) {
        lastPair_ = -1;
        afterRepeat_ = false;
        if (xds_) return;
        if (!ourChannel_) {
            if (skipped_.otherChannelPairs++ == 0) skipped_.firstOtherChannelFrame = frame_;
            return;
        }
        if (inText) {
            if (skipped_.textModePairs++ == 0) skipped_.firstTextModeFrame = frame_;
            return;
        }
        for (const uint8_t byte : {a, b}) {
            if (byte < 0x20) continue;  // a null byte, or a code byte out of place
            ScreenWriter& writer = mode_ == Mode::PopOn ? loadWriter_ : displayWriter_;
            const int column = writer.Column();
            if (column >= kScreenColumns && skipped_.clippedCharacters++ == 0) {
                skipped_.firstClippedFrame = frame_;
            }
            Write(SingleByteMap[byte], true);
            fallbackColumn_ = writer.Column() == column + 1 ? column : -1;
            lastWasCharacter_ = true;
        }
        return;
    }
    // Field 2 carries the extended data service beside channels 3 and 4: first bytes 0x01 to
    // 0x0F, up to its end code 0x0F.
    if (FieldOfChannel(options_.channel) == 2 && a < 0x10) {
        xds_ = a != 0x0F;
        lastPair_ = -1;
        return;
    }
    xds_ = false;
    const int pair = a << 8 | b;
    const bool repeat = pair == lastPair_ && !afterRepeat_;
    afterRepeat_ = repeat;  // a doubled code counts once; a third copy counts again
    lastPair_ = pair;
    ourChannel_ = DataChannelOf(a) == (options_.channel - 1) % 2 + 1;
    if (!ourChannel_) {
        if (skipped_.otherChannelPairs++ == 0) skipped_.firstOtherChannelFrame = frame_;
        return;
    }
    const CodeFragment& f = ControlPairMap[a & 7][b];
    const uint8_t single = f.length == 1 ? f.bytes[0] : 0;
    if (repeat) {
        // The copy of an erase or end of caption ends the caption shown all the same.
        if ((single == kEoc || single == kEdm) && shown_ && frame_ >= earliestEnd_) {
            EndShown(frame_);
        }
        return;
    }
    if (IsCommand(single)) {
        Command(single);
    } else if (mode_ == Mode::Text) {
        // Text-mode data: counted below.
    } else if (f.length > 0) {
        WriteFragment(f.bytes, f.length, IsExtendedPair(a, b));
    }
    // An erase the encoder sends in the middle of a loading stands between a fallback
    // character and its extended character.
    if (single != kEdm) lastWasCharacter_ = false;
    if (mode_ == Mode::Text && (inText || single == kTr || single == kRtd)) {
        if (skipped_.textModePairs++ == 0) skipped_.firstTextModeFrame = frame_;
    }
}

void CaptionDecoder::Command(uint8_t code) {
    switch (code) {
        case kRcl:
            EnterMode(Mode::PopOn, depth_);
            break;
        case kRdc:
            EnterMode(Mode::PaintOn, depth_);
            break;
        case kTr:
        case kRtd:
            EnterMode(Mode::Text, depth_);
            break;
        case kEoc:
            EndOfCaption();
            break;
        case kEdm:
            EraseDisplayed();
            break;
        case kEnm:
            loading_->ClearScreen();
            HomeCursor(loadWriter_);
            break;
        case kBs:
            if (mode_ == Mode::PopOn) {
                loadWriter_.Backspace(*loading_);
            } else if (mode_ != Mode::Text) {
                displayWriter_.Backspace(*displayed_);
            }
            break;
        case kCr:
            if (mode_ == Mode::RollUp && options_.rollUp != RollUpStyle::Skip) Roll();
            break;
        default:
            if (!IsRollUp(code)) break;  // flash and a transparent background show nothing
            if (options_.rollUp == RollUpStyle::Skip) {
                if (skipped_.directCodes++ == 0) skipped_.firstDirectFrame = frame_;
            }
            EnterMode(Mode::RollUp, RollUpDepth(code));
            break;
    }
}

void CaptionDecoder::EnterMode(Mode mode, int depth) {
    const bool skipRollUp = options_.rollUp == RollUpStyle::Skip;
    if (mode_ == Mode::RollUp && !skipRollUp && (mode != Mode::RollUp || depth != depth_)) {
        EndGroup();
    }
    if (mode == Mode::RollUp && !skipRollUp) {
        if (mode_ != Mode::RollUp) {
            // A receiver that turns to roll-up erases both memories.
            EraseDisplayed();
            loading_->ClearScreen();
            HomeCursor(loadWriter_);
            displayWriter_.MoveTo(baseRow_, 0);
        } else if (depth < depth_) {
            for (int r = baseRow_ - depth_ + 1; r <= baseRow_ - depth; ++r) {
                if (r >= 0) ClearRow(*displayed_, r);
            }
        }
    }
    mode_ = mode;
    if (mode == Mode::RollUp) depth_ = depth;
}

void CaptionDecoder::WriteFragment(const uint8_t* bytes, int length, bool extended) {
    if (mode_ == Mode::RollUp && options_.rollUp != RollUpStyle::Skip && IsRowByte(bytes[0])) {
        // A preamble moves the roll-up window's base row, with the lines in it.
        const int base = std::max(RowOf(bytes[0]), depth_ - 1);
        if (base != baseRow_) {
            EndGroup();
            Caption moved;
            for (int k = 0; k < depth_; ++k) {
                if (baseRow_ - k >= 0) CopyRow(moved, base - k, *displayed_, baseRow_ - k);
            }
            std::copy(&moved.cells[0][0], &moved.cells[0][0] + kGridRows * kScreenColumns,
                      &displayed_->cells[0][0]);
            baseRow_ = base;
        }
        Write(RowByte(baseRow_), false);
        for (int k = 1; k < length; ++k) Write(bytes[k], false);
        return;
    }
    // An extended character takes the place of the basic fallback sent just before it.
    ScreenWriter& writer = mode_ == Mode::PopOn ? loadWriter_ : displayWriter_;
    if (extended && lastWasCharacter_ && fallbackColumn_ >= 0 &&
        writer.Column() == fallbackColumn_ + 1) {
        writer.Backspace(mode_ == Mode::PopOn ? *loading_ : *displayed_);
    }
    // A preamble, a tab offset or a background code shows nothing by itself.
    const bool visible = !IsRowByte(bytes[0]) && !IsTabOffset(bytes[0]) && bytes[0] != kBackground;
    for (int k = 0; k < length; ++k) Write(bytes[k], visible);
}

void CaptionDecoder::Write(uint8_t byte, bool visible) {
    switch (mode_) {
        case Mode::PopOn:
            loadWriter_.Put(*loading_, byte);
            return;
        case Mode::RollUp:
            if (options_.rollUp == RollUpStyle::Skip) return;
            if (visible && lineStart_ < 0) lineStart_ = frame_;
            if (visible && rollStart_ < 0) rollStart_ = frame_;
            break;
        case Mode::PaintOn:
            if (visible && paintStart_ < 0) {
                paintStart_ = frame_;
                if (shown_) EndShown(std::max(frame_, int64_t{shown_->startFrame} + 1));
            }
            break;
        case Mode::Text:
            return;
    }
    displayWriter_.Put(*displayed_, byte);
}

void CaptionDecoder::Roll() {
    if (options_.rollUp == RollUpStyle::Lines) {
        CompleteLine();
    } else if (!ShowsNothing(*displayed_) && rollStart_ >= 0) {
        ++skipped_.rollUpScreens;
        ++skipped_.rollUpCaptions;
        Show(*displayed_, rollStart_, rollStart_ + 1, true);
    }
    const int top = std::max(0, baseRow_ - depth_ + 1);
    for (int r = top; r < baseRow_; ++r) CopyRow(*displayed_, r, *displayed_, r + 1);
    ClearRow(*displayed_, baseRow_);
    displayWriter_.MoveTo(baseRow_, 0);
    lineStart_ = -1;
    rollStart_ = ShowsNothing(*displayed_) ? -1 : frame_;
}

void CaptionDecoder::CompleteLine() {
    if (lineStart_ < 0) return;
    if (RowHasText(displayed_->cells[baseRow_])) {
        Line line{Caption(), lineStart_};
        CopyRow(line.cells, 0, *displayed_, baseRow_);
        group_.push_back(std::move(line));
        ++skipped_.rollUpLines;
    }
    lineStart_ = -1;
    if (group_.size() >= static_cast<size_t>(depth_)) EndGroup();
}

// Lines: the lines so far become one caption, on the rows the roll-up used. Screens: the
// screen shown now stays up as a caption until it is erased or replaced.
void CaptionDecoder::EndGroup() {
    if (options_.rollUp == RollUpStyle::Screens) {
        if (rollStart_ >= 0 && !ShowsNothing(*displayed_)) {
            ++skipped_.rollUpScreens;
            ++skipped_.rollUpCaptions;
            Show(*displayed_, rollStart_, rollStart_ + 1, false);
        }
        rollStart_ = -1;
        return;
    }
    if (lineStart_ >= 0 && group_.size() < static_cast<size_t>(depth_)) {
        CompleteLine();  // which may end the group itself
        if (group_.empty()) return;
    }
    if (group_.empty()) return;
    Caption caption;
    const int count = static_cast<int>(group_.size());
    for (int k = 0; k < count; ++k) {
        const int row = baseRow_ - (count - 1 - k);
        if (row >= 0) CopyRow(caption, row, group_[static_cast<size_t>(k)].cells, 0);
    }
    const int64_t start = group_[0].start;
    group_.clear();
    ++skipped_.rollUpCaptions;
    Show(caption, start, start + 1, false);
}

void CaptionDecoder::EndPainting() {
    if (paintStart_ < 0) return;
    if (!ShowsNothing(*displayed_)) {
        ++skipped_.paintOnCaptions;
        Show(*displayed_, paintStart_, paintStart_ + 1, true);
    }
    paintStart_ = -1;
}

void CaptionDecoder::EraseDisplayed() {
    if (mode_ == Mode::RollUp && options_.rollUp != RollUpStyle::Skip) {
        if (options_.rollUp == RollUpStyle::Lines) {
            EndGroup();
        } else if (rollStart_ >= 0 && !ShowsNothing(*displayed_)) {
            ++skipped_.rollUpScreens;
            ++skipped_.rollUpCaptions;
            Show(*displayed_, rollStart_, rollStart_ + 1, true);
        }
        lineStart_ = rollStart_ = -1;
    }
    EndPainting();
    displayed_->ClearScreen();
    if (shown_ && frame_ >= earliestEnd_) {
        EndShown(frame_);
    } else if (shown_ && frame_ == shown_->startFrame + 1) {
        // A receiver would show the caption for one frame; it is kept to the next erase.
        if (skipped_.flashErases++ == 0) skipped_.firstFlashEraseFrame = frame_;
    }
}

void CaptionDecoder::EndOfCaption() {
    EnterMode(Mode::PopOn, depth_);
    EndPainting();
    std::swap(displayed_, loading_);
    loading_->ClearScreen();
    HomeCursor(loadWriter_);
    if (!ShowsNothing(*displayed_)) {
        Show(*displayed_, frame_, frame_ + 2, false);
    } else if (shown_ && frame_ >= earliestEnd_) {
        EndShown(frame_);
    }
}

void CaptionDecoder::Show(const Caption& screen, int64_t start, int64_t earliestEnd, bool closed) {
    if (shown_) EndShown(std::max(start, int64_t{shown_->startFrame} + 1));
    auto caption = std::make_unique<Caption>();
    std::copy(&screen.cells[0][0], &screen.cells[0][0] + kGridRows * kScreenColumns,
              &caption->cells[0][0]);
    caption->startFrame = static_cast<int32_t>(start);
    caption->screenValid = 1;
    if (closed) {
        caption->endFrame = static_cast<int32_t>(std::max(frame_, start + 1));
        made_.push_back(std::move(caption));
    } else {
        shown_ = std::move(caption);
        earliestEnd_ = earliestEnd;
    }
}

void CaptionDecoder::EndShown(int64_t frame) {
    shown_->endFrame = static_cast<int32_t>(frame);
    made_.push_back(std::move(shown_));
}

void CaptionDecoder::Finish(CaptionList& list) {
    // What is on the screen when the stream ends stays up two seconds or to the stream's end.
    if (mode_ == Mode::RollUp && options_.rollUp != RollUpStyle::Skip) EndGroup();
    if (paintStart_ >= 0 && !ShowsNothing(*displayed_)) {
        ++skipped_.paintOnCaptions;
        Show(*displayed_, paintStart_, paintStart_ + 1, false);
        paintStart_ = -1;
    }
    const Caption* last = shown_.get();
    if (shown_) EndShown(LastCaptionEnd(frame_, shown_->startFrame));
    InsertDecoded(made_, last, list);
}

int64_t LastCaptionEnd(int64_t streamEnd, int64_t start) {
    return std::max(streamEnd + 1, start + kLastCaptionFrames);
}

void InsertDecoded(std::vector<std::unique_ptr<Caption>>& made, const Caption* last,
                   CaptionList& list) {
    for (size_t i = 0; i < made.size(); ++i) {
        Caption& caption = *made[i];
        const int64_t next = i + 1 < made.size() ? made[i + 1]->startFrame : -1;
        const int64_t end = caption.endFrame;
        caption.timingMode = &caption == last  ? Manual
                             : next == end     ? Seamless
                             : next == end + 1 ? Persistent
                                               : Manual;
    }
    for (std::unique_ptr<Caption>& caption : made) list.Insert(std::move(caption));
    made.clear();
}

SkippedData DecodePairStream(CaptionList& list, std::span<const uint8_t> bytes,
                             const std::atomic<int>* cancel, const DecodeOptions& options) {
    CaptionDecoder decoder(options);
    CancelPoll cancelled(cancel);
    const size_t n = bytes.size() / 2;
    for (size_t k = 0; k < n; ++k) {
        if (cancelled()) return {};
        decoder.Feed(bytes[2 * k], bytes[2 * k + 1]);
    }
    if (cancelled()) return {};
    decoder.Finish(list);
    return decoder.Skipped();
}

}  // namespace vantrel
