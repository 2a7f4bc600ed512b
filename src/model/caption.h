// One pop-on caption: its frames, its timing mode and its 15 x 32 cell screen.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

constexpr int kScreenRows = 15;  // caption rows 1 to 15 are grid rows 0 to 14
constexpr int kGridRows = 16;    // row 15 is storage only and stays zero
constexpr int kScreenColumns = 32;
constexpr uint8_t kDefaultAttribute = 0x38;  // white on black, plain
constexpr uint8_t kItalicsBit = 0x40;
constexpr uint8_t kUnderlineBit = 0x80;

// Attribute byte: bits 0-2 foreground, bits 3-5 background, bit 6 italics, bit 7 underline.
constexpr int Foreground(uint8_t attribute) {
    return attribute & 0x07;
}
constexpr int Background(uint8_t attribute) {
    return (attribute >> 3) & 0x07;
}
constexpr bool IsItalic(uint8_t attribute) {
    return (attribute & kItalicsBit) != 0;
}
constexpr bool IsUnderlined(uint8_t attribute) {
    return (attribute & kUnderlineBit) != 0;
}

// The blank frames Normal, Persistent and Manual leave before the next caption when nothing
// else is asked for: one. A project's check profile may ask for more (CaptionList::Gap).
constexpr int32_t kDefaultGap = 1;

enum TimingMode : int8_t {
    Normal = 1,
    Persistent = 2,
    Seamless = 3,
    Manual = 4,
};

struct CaptionCell {
    uint8_t character = 0;  // 0 empty, 0x01-0x1F attribute code, 0x20-0xFF character
    uint8_t attribute = 0;

    bool IsEmpty() const { return character == 0 && attribute == 0; }
    friend bool operator==(const CaptionCell&, const CaptionCell&) = default;
};

struct Caption {
    int32_t startFrame = 0;
    int32_t endFrame = -1;  // exclusive
    int8_t timingMode = Normal;
    uint8_t screenValid = 1;
    CaptionCell cells[kGridRows][kScreenColumns] = {};
    int32_t loadFrames = -1;  // cache of GetLoadFrames; -1 when not computed
    // Timing to speech did not find the caption's words in the sound: its frames are a guess
    // between its neighbours', for the captioner to look at. Not saved.
    bool unplaced = false;
    Caption* prev = nullptr;
    Caption* next = nullptr;

    // Rows among 0-14 with at least one non-zero byte.
    int CountOccupiedRows() const;

    // The text a person reads on the screen, in caption-set bytes: within a row, the blanks
    // between two characters (spaces, attribute-code cells, empty cells) are one space; rows
    // without a character are left out. `buffer` holds capacity + 1 bytes, the text is cut at
    // `capacity` and ends with a zero byte; returns the length.
    // Each row a line of its own, the lines separated by CR LF.
    size_t GetLinesText(char* buffer, bool lowerCase, size_t capacity) const;
    // The rows joined by single spaces.
    size_t GetRunningText(char* buffer, bool lowerCase, size_t capacity) const;

    // Recomputes endFrame from the timing mode and the next caption, leaving `gap` blank frames
    // before it where the mode leaves any (Persistent; Normal and Manual when cut short).
    void ApplyTiming(int32_t gap);
    // The end ApplyTiming gives, were `following` the next caption.
    int32_t TimedEnd(const Caption* following, int32_t gap) const;

    // Moves the caption to start at `frame`, adjusting the previous caption's end.
    void MoveStart(int32_t frame, int32_t gap);

    bool SameScreen(const Caption& other) const;
    void ClearScreen();

    // Everything but the links: the caption keeps its place in its list.
    void TakeContent(const Caption& other);
    // The same frames, timing mode and screen (the loading cache aside).
    bool SameContent(const Caption& other) const;
};

// Lower-case form of one caption character.
uint8_t LowerCaseChar(uint8_t ch);

}  // namespace vantrel
