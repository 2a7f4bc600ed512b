// Decoding 608 byte pairs into pop-on captions: one state machine over the pairs of a field, as
// a receiver reads them, for pop-on, roll-up and paint-on captions alike.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "codec/screen_writer.h"
#include "model/caption_list.h"
#include "model/caption_project.h"

namespace vantrel {

// What roll-up captions become.
enum class RollUpStyle {
    Lines,    // each line once, grouped up to the roll-up depth
    Screens,  // one caption per roll or erase: the screen as a receiver shows it then
    Skip,     // none: roll-up codes are counted and left out
};

struct DecodeOptions {
    // 1 to 4. Channels 1 and 2 are the data channels of field 1, 3 and 4 those of field 2;
    // the pairs handed to the decoder are those of the field that carries the channel.
    int channel = 1;
    RollUpStyle rollUp = RollUpStyle::Lines;
    // The 708 service read, 1 to 63, where a file holds 708 data and no 608 on the channel.
    int service = 1;
};

constexpr int kChannelCount = 4;
constexpr int FieldOfChannel(int channel) {
    return channel <= 2 ? 1 : 2;
}

// What a pair stream held besides the pop-on captions of the channel, by kind: how many and the
// frame of the first (-1 when there is none).
struct SkippedData {
    size_t directCodes = 0;  // roll-up codes left out (RollUpStyle::Skip; a doubled code once)
    int64_t firstDirectFrame = -1;
    size_t otherChannelPairs = 0;  // pairs of the field's other caption channel
    int64_t firstOtherChannelFrame = -1;
    int otherChannel = 2;
    size_t textModePairs = 0;  // pairs sent in text mode (after TR or RTD)
    int64_t firstTextModeFrame = -1;
    size_t clippedCharacters = 0;  // characters past the 32nd column of a row
    int64_t firstClippedFrame = -1;
    size_t flashErases = 0;  // EDMs on the frame after an EOC, read as not ending the caption
    int64_t firstFlashEraseFrame = -1;

    // Made, not skipped: roll-up and paint-on data that became pop-on captions.
    size_t rollUpLines = 0;
    size_t rollUpScreens = 0;  // RollUpStyle::Screens
    size_t rollUpCaptions = 0;
    size_t paintOnCaptions = 0;
};

// The receiver. Feed it the pairs of one field in order, pair k being frame k, then Finish.
// A pop-on caption lasts from the frame of its end-of-caption code to the next code that
// replaces or erases it (searched from two frames on, past a doubled code); an end-of-caption
// code that shows an empty screen erases the caption before. Roll-up lines and painted screens
// become pop-on captions as the options say. A caption still shown when the stream ends is
// kept, two seconds or to the stream's end.
class CaptionDecoder {
  public:
    explicit CaptionDecoder(const DecodeOptions& options = {});
    ~CaptionDecoder();
    CaptionDecoder(const CaptionDecoder&) = delete;
    CaptionDecoder& operator=(const CaptionDecoder&) = delete;

    // One pair as it stands; bit 7 (parity) is not looked at.
    void Feed(uint8_t first, uint8_t second);
    // Ends the stream and inserts every caption made into `list`.
    void Finish(CaptionList& list);
    const SkippedData& Skipped() const { return skipped_; }

  private:
    enum class Mode { PopOn, RollUp, PaintOn, Text };
    struct Line {
        Caption cells;  // row 0 holds the line
        int64_t start;
    };

    void ControlPair(uint8_t first, uint8_t second);
    void Command(uint8_t code);
    // Writes into the memory of the mode; `visible` when it shows on the screen.
    void Write(uint8_t byte, bool visible);
    void WriteFragment(const uint8_t* bytes, int length, bool extended);
    void EnterMode(Mode mode, int depth);
    void Roll();
    void EraseDisplayed();
    void EndOfCaption();
    void CompleteLine();
    void EndGroup();
    void EndPainting();
    void Show(const Caption& screen, int64_t start, int64_t earliestEnd, bool closed);
    void EndShown(int64_t frame);

    DecodeOptions options_;
    int64_t frame_ = -1;
    int lastPair_ = -1;         // the control pair of the unit just before, -1 for none
    bool afterRepeat_ = false;  // the unit before was a dropped repetition
    bool ourChannel_;           // characters now belong to our channel
    bool xds_ = false;          // field 2: extended data service, until its end code
    bool lastWasCharacter_ = false;
    int fallbackColumn_ = -1;  // where the last character was written

    Mode mode_ = Mode::PopOn;
    int depth_ = 2;
    int baseRow_ = kScreenRows - 1;
    std::unique_ptr<Caption> displayed_;
    std::unique_ptr<Caption> loading_;
    ScreenWriter displayWriter_{ScreenWriter::TabOffsets::Anywhere};
    ScreenWriter loadWriter_{ScreenWriter::TabOffsets::Anywhere};

    int64_t lineStart_ = -1;  // roll-up: the first character of the base row's line
    int64_t rollStart_ = -1;  // roll-up screens: where the screen shown now began
    std::vector<Line> group_;
    int64_t paintStart_ = -1;  // the first painted character of the screen being painted

    std::unique_ptr<Caption> shown_;  // the caption on screen, its end not yet known
    int64_t earliestEnd_ = 0;
    std::vector<std::unique_ptr<Caption>> made_;
    SkippedData skipped_;
};

// The end of the caption still shown when a stream ends on `streamEnd`: two seconds after its
// start or the stream's end, whichever is later.
int64_t LastCaptionEnd(int64_t streamEnd, int64_t start);

// Inserts the captions a decoder made, in order, into the list, each with the timing mode its
// end and the next one's start give (`last`, the one shown at the stream's end, Manual).
void InsertDecoded(std::vector<std::unique_ptr<Caption>>& made, const Caption* last,
                   CaptionList& list);

// Cuts a pair stream (pair k is frame k) into captions and inserts them into the list. Returns
// what was left out and what was made of roll-up and paint-on data. Once `cancel` is raised it
// stops and inserts nothing.
SkippedData DecodePairStream(CaptionList& list, std::span<const uint8_t> bytes,
                             const std::atomic<int>* cancel = nullptr,
                             const DecodeOptions& options = {});

}  // namespace vantrel
