// The caption record: defaults, occupied rows, lower case and the two text extractions.
#include "model/caption.h"

#include <gtest/gtest.h>

#include <string>

namespace vantrel {
namespace {

void PutText(Caption& c, int row, int col, const std::string& text, uint8_t attr = 0x38) {
    for (char ch : text) c.cells[row][col++] = {static_cast<uint8_t>(ch), attr};
}

std::string Lines(const Caption& c, bool lower = false, size_t capacity = 512) {
    std::string buf(capacity + 1, '\xEE');
    const size_t n = c.GetLinesText(buf.data(), lower, capacity);
    EXPECT_EQ(buf[n], '\0');
    EXPECT_EQ(n, std::string(buf.c_str()).size());
    return buf.substr(0, n);
}

std::string Running(const Caption& c, bool lower = false, size_t capacity = 512) {
    std::string buf(capacity + 1, '\xEE');
    const size_t n = c.GetRunningText(buf.data(), lower, capacity);
    EXPECT_EQ(buf[n], '\0');
    return buf.substr(0, n);
}

TEST(CaptionRecord, Defaults) {
    Caption c;
    EXPECT_EQ(c.startFrame, 0);
    EXPECT_EQ(c.endFrame, -1);
    EXPECT_EQ(c.timingMode, Normal);
    EXPECT_EQ(c.screenValid, 1);
    EXPECT_EQ(c.loadFrames, -1);
    EXPECT_EQ(c.CountOccupiedRows(), 0);
}

TEST(CaptionRecord, OccupiedRowsCountAttributeOnlyCells) {
    Caption c;
    c.cells[3][7].attribute = 0x38;  // character 0, attribute set
    PutText(c, 14, 0, "X");
    c.cells[15][0] = {'Z', 0x38};  // storage row is not a caption row
    EXPECT_EQ(c.CountOccupiedRows(), 2);
}

TEST(CaptionText, LowerCaseChar) {
    EXPECT_EQ(LowerCaseChar('A'), 'a');
    EXPECT_EQ(LowerCaseChar('Z'), 'z');
    EXPECT_EQ(LowerCaseChar('a'), 'a');
    EXPECT_EQ(LowerCaseChar(0xC9), 0xE9);
    EXPECT_EQ(LowerCaseChar(0xDC), 0xFC);
    for (uint8_t keep : {0xC6, 0xD0, 0xD7, 0xDD, 0xDE, 0xE0, 0xFF, 0x40, 0x5B}) {
        EXPECT_EQ(LowerCaseChar(keep), keep) << int(keep);
    }
}

TEST(CaptionText, LinesJoinRowsWithCrLf) {
    Caption c;
    EXPECT_EQ(Lines(c), "");
    PutText(c, 12, 3, "HELLO");
    PutText(c, 13, 0, "WORLD");
    EXPECT_EQ(Lines(c), "HELLO\r\nWORLD");
    EXPECT_EQ(Lines(c, true), "hello\r\nworld");
}

TEST(CaptionText, LinesRowStartingWithSpaceContinuesPreviousLine) {
    Caption c;
    PutText(c, 0, 0, "AB");
    PutText(c, 1, 0, " CD");
    EXPECT_EQ(Lines(c), "AB CD");
}

TEST(CaptionText, LinesSkipCodesNoteAnd0x80) {
    Caption c;
    PutText(c, 0, 0, "A");
    c.cells[0][1] = {0x1C, 0x38};
    c.cells[0][2] = {0x90, 0x38};
    c.cells[0][3] = {0x80, 0x38};
    PutText(c, 0, 4, "B");
    EXPECT_EQ(Lines(c), "AB");
}

TEST(CaptionText, LinesStopAtCapacity) {
    Caption c;
    PutText(c, 0, 0, "ABCD");
    PutText(c, 1, 0, "EF");
    EXPECT_EQ(Lines(c, false, 5), "ABCD\r");
    EXPECT_EQ(Lines(c, false, 4), "ABCD");
    EXPECT_EQ(Lines(c, false, 0), "");
    for (int r = 0; r < 15; ++r) PutText(c, r, 0, std::string(32, 'x'));
    EXPECT_EQ(Lines(c, false, 300).size(), 300u);
}

TEST(CaptionText, RunningTextJoinsRowsWithOneSpace) {
    Caption c;
    PutText(c, 13, 0, "HELLO");
    PutText(c, 14, 2, "WORLD");
    EXPECT_EQ(Running(c), "HELLO WORLD");
    EXPECT_EQ(Running(c, true), "hello world");

    Caption trailing;
    PutText(trailing, 0, 0, "AB ");
    PutText(trailing, 1, 0, " CD");
    EXPECT_EQ(Running(trailing), "AB  CD");  // no joining space after a trailing space

    Caption cut;
    for (int r = 0; r < 15; ++r) PutText(cut, r, 0, std::string(32, 'y'));
    EXPECT_EQ(Running(cut, false, 300).size(), 300u);
    EXPECT_EQ(Running(cut, false, 32), std::string(32, 'y'));
    EXPECT_EQ(Running(cut, false, 33), std::string(32, 'y') + " ");
}

}  // namespace
}  // namespace vantrel
