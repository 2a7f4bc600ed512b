// The 608 screen as a DTVCC service: the commands for each element of a screen, the swap of
// two windows on the end-of-caption frame, packets within a frame's room, and the decoder's
// reading of the commands that pop-on, roll-up and paint-on services use. Expected bytes are
// worked by hand from the layout CEA-708 publishes for each command.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "codec/charset.h"
#include "dtvcc/dtvcc_packets.h"
#include "dtvcc/service_decoder.h"
#include "dtvcc/service_writer.h"
#include "support/random_screen.h"
#include "support/screen_text.h"

namespace vantrel::dtvcc {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::MakeCaption;
using testing::Screen;

// DefineWindow 0 (98): hidden, row and column lock (18); relative, 10% down (8A), 10% across
// (0A); anchor point 0, 15 rows (0E); 32 columns (1F); window and pen style 1 (09).
// SetWindowAttributes (97): transparent fill (C0), no border (00), scroll bottom to top (0C),
// snap (00). SetPenAttributes (90): standard size, normal offset (05), plain (00).
// SetPenColor (91): white (3F) on black (00), no edge (00).
const Bytes kWindow0Prefix = {0x98, 0x18, 0x8A, 0x0A, 0x0E, 0x1F, 0x09, 0x97, 0xC0, 0x00,
                              0x0C, 0x00, 0x90, 0x05, 0x00, 0x91, 0x3F, 0x00, 0x00};

struct LoadCase {
    const char* what;
    Screen screen;
    Bytes after;  // the commands after the prefix
};

TEST(ServiceWriter, EachElementOfTheScreenBecomesItsCommand) {
    const uint8_t green = 0x38 | 1, red = 0x38 | 4;
    const uint8_t blueOnYellow = 2 | 5 << 3;
    const LoadCase cases[] = {
        {"row 15, column 0", {{14, 0, "HI"}}, {0x92, 0x0E, 0x00, 'H', 'I'}},
        {"indent 4 on row 1", {{0, 4, "A"}}, {0x92, 0x00, 0x04, 'A'}},
        {"two rows", {{1, 2, "A"}, {2, 3, "B"}}, {0x92, 0x01, 0x02, 'A', 0x92, 0x02, 0x03, 'B'}},
        {"a gap is a transparent space",
         {{5, 0, "A"}, {5, 2, "B"}},
         {0x92, 0x05, 0x00, 'A', 0x10, 0x20, 'B'}},
        {"green", {{0, 0, "G", green}}, {0x92, 0, 0, 0x91, 0x0C, 0x00, 0x00, 'G'}},
        {"red after white",
         {{0, 0, "W"}, {0, 1, "R", red}},
         {0x92, 0, 0, 'W', 0x91, 0x30, 0x00, 0x00, 'R'}},
        {"blue on yellow", {{0, 0, "B", blueOnYellow}}, {0x92, 0, 0, 0x91, 0x03, 0x3C, 0x00, 'B'}},
        {"italics", {{0, 0, "I", 0x38 | kItalicsBit}}, {0x92, 0, 0, 0x90, 0x05, 0x80, 'I'}},
        {"underline", {{0, 0, "U", 0x38 | kUnderlineBit}}, {0x92, 0, 0, 0x90, 0x05, 0x40, 'U'}},
        {"an attribute-code cell is a space",
         {{0, 0, "\x19"}, {0, 1, "A"}},
         {0x92, 0, 0, ' ', 'A'}},
        {"music note, G0 7F", {{0, 0, "\x90"}}, {0x92, 0, 0, 0x7F}},
        {"trademark, G2 39", {{0, 0, "\x99"}}, {0x92, 0, 0, 0x10, 0x39}},
        {"upper-left corner, G2 7F", {{0, 0, "\xB1"}}, {0x92, 0, 0, 0x10, 0x7F}},
        {"solid block, G2 30", {{0, 0, "\x7F"}}, {0x92, 0, 0, 0x10, 0x30}},
        {"transparent space, G2 21", {{0, 0, "\xA0"}}, {0x92, 0, 0, 0x10, 0x21}},
        {"copyright, G1 A9", {{0, 0, "\xA9"}}, {0x92, 0, 0, 0xA9}},
        {"e acute, G1 E9", {{0, 0, "\xE9"}}, {0x92, 0, 0, 0xE9}},
        {"em dash stands in as a hyphen", {{0, 0, "\x97"}}, {0x92, 0, 0, '-'}},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes expected = kWindow0Prefix;
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(LoadCommands(MakeCaption(c.screen), 0), expected);
    }
    EXPECT_EQ(LoadCommands(MakeCaption({{0, 0, "A"}}), 1)[0], 0x99);  // DefineWindow 1
}

TEST(ServiceWriter, WindowsSwapOnTheEndOfCaptionFrameAndGoOnTheErase) {
    const Caption one = MakeCaption({{0, 0, "A"}}), two = MakeCaption({{0, 0, "B"}});
    const CaptionShowing shown[] = {{&one, 10, 20, -1}, {&two, 21, 40, 70}};
    const std::vector<ServiceEvent> events = ServiceEvents(shown);
    ASSERT_EQ(events.size(), 5u);
    const std::pair<int64_t, Bytes> expected[] = {
        {10, LoadCommands(one, 0)},
        {20, {0x89, 0x01}},              // DisplayWindows 0
        {21, LoadCommands(two, 1)},      // the next one, hidden in window 1
        {40, {0x8C, 0x01, 0x89, 0x02}},  // DeleteWindows 0, DisplayWindows 1
        {70, {0x8C, 0x02}},              // DeleteWindows 1
    };
    for (size_t k = 0; k < events.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(events[k].frame, expected[k].first);
        EXPECT_EQ(events[k].commands, expected[k].second);
    }
}

TEST(Packets, APacketHoldsWholeCommandsWithinAFramesRoom) {
    const Caption one = MakeCaption({{0, 0, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"}});
    const CaptionShowing shown[] = {{&one, 0, 30, 31}};
    const PacketStream stream = PackCaptions(shown, 36);
    ASSERT_FALSE(stream.packets.empty());
    // Load: 19 + 3 + 32 bytes, cut after whole commands: DefineWindow, SetWindowAttributes,
    // SetPenAttributes, SetPenColor, SetPenLocation and 9 letters (31 bytes) in the first block.
    const Bytes& first = stream.packets[0].bytes;
    EXPECT_EQ(stream.packets[0].frame, 0);
    EXPECT_EQ(first[0], 0x00 | 36 / 2);  // sequence 0, 36 bytes
    EXPECT_EQ(first[1], 0x20 | 31);      // service 1, 31 bytes
    EXPECT_EQ(first[33], 0x20 | 2);      // then 2 more letters
    int64_t frame = -1;
    for (const Packet& p : stream.packets) {
        EXPECT_GT(p.frame, frame);
        EXPECT_LE(p.bytes.size(), 36u);
        EXPECT_EQ(p.bytes.size() % 2, 0u);
        frame = p.frame;
    }
    EXPECT_EQ(stream.packets[stream.packets.size() - 2].frame, 30);
    EXPECT_EQ(stream.packets.back().bytes, (Bytes{0xC0 | 2, 0x22, 0x8C, 0x01}));  // seq 3
    EXPECT_EQ(stream.lateEvents, 0u);

    std::vector<uint8_t> entries;
    AppendEntries(entries, stream.packets.back().bytes, 3);
    EXPECT_EQ(entries, (Bytes{0xFF, 0xC2, 0x22, 0xFE, 0x8C, 0x01, 0xFA, 0x00, 0x00}));
}

TEST(Packets, AnEraseGoesOutOnItsFrameInsideTheNextLoading) {
    const Caption one = MakeCaption({{0, 0, "A"}});
    const Caption two = MakeCaption({{0, 0, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"}});
    // 10 bytes a frame: 54 bytes of loading take 7 frames, and the show on 14 waits for them.
    const CaptionShowing shown[] = {{&one, 0, 5, 11}, {&two, 10, 14, -1}};
    const PacketStream stream = PackCaptions(shown, 10);
    bool erased = false;
    for (const Packet& p : stream.packets) {
        if (p.frame == 11) erased = p.bytes[1] == 0x22 && p.bytes[2] == 0x8C && p.bytes[3] == 1;
    }
    EXPECT_TRUE(erased);
    EXPECT_EQ(stream.lateEvents, 1u);  // the show, which waits for its load
}

TEST(Packets, ReaderJoinsEntriesIntoPackets) {
    PacketReader reader;
    std::vector<Packet> out;
    auto sink = [&](const Packet& p) { out.push_back(p); };
    reader.Add({4, 2, {0x11, 0x22}}, sink);  // data before any start: passed over
    reader.Add({5, 3, {0x02, 0x21}}, sink);  // 4 bytes
    reader.Add({6, 2, {0x41, 0x00}}, sink);
    reader.Add({7, 3, {0x43, 0x21}}, sink);  // 6 bytes, cut short by the next start
    reader.Add({8, 3, {0x81, 0x00}}, sink);  // 2 bytes: complete at once
    reader.Add({9, 3, {0xC2, 0x00}}, sink);
    reader.Flush(sink);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].frame, 6);
    EXPECT_EQ(out[0].bytes, (Bytes{0x02, 0x21, 0x41, 0x00}));
    EXPECT_EQ(out[1].bytes, (Bytes{0x43, 0x21}));
    EXPECT_EQ(out[2].frame, 8);
    EXPECT_EQ(out[3].bytes, (Bytes{0xC2, 0x00}));
}

// A packet of service-1 blocks on a frame (each block's bytes as written).
Packet At(int64_t frame, const std::vector<Bytes>& blocks, int service = 1) {
    Bytes b{0};
    for (const Bytes& block : blocks) {
        b.push_back(static_cast<uint8_t>(service << 5 | block.size()));
        b.insert(b.end(), block.begin(), block.end());
    }
    if (b.size() % 2 == 1) b.push_back(0);
    b[0] = static_cast<uint8_t>(b.size() / 2);
    return {frame, b};
}

std::string Text(const Caption& c) {
    std::string out;
    for (int r = 0; r < kScreenRows; ++r) {
        for (int col = 0; col < kScreenColumns; ++col) {
            const uint8_t ch = c.cells[r][col].character;
            if (ch == 0) continue;
            if (out.empty() || out.back() == '|')
                out += std::to_string(r) + "," + std::to_string(col) + ":";
            AppendUtf8(out, CaptionCharToUnicode(ch));
        }
        if (!out.empty() && out.back() != '|') out += '|';
    }
    return out;
}

struct DecodeCase {
    const char* what;
    std::vector<Packet> packets;
    std::vector<std::tuple<int32_t, int32_t, std::string>> captions;
};

// DefineWindow n hidden (or visible), relative at the 608 area's corner, 15 x 32.
Bytes Define(int n, bool visible = false, uint8_t v = 0x8A, uint8_t h = 0x0A,
             uint8_t pointRows = 0x0E) {
    return {static_cast<uint8_t>(0x98 + n),
            static_cast<uint8_t>(visible ? 0x38 : 0x18),
            v,
            h,
            pointRows,
            0x1F,
            0x09};
}

TEST(ServiceDecoder, ReadsTheCommandsOfPopOnRollUpAndPaintOn) {
    auto joined = [](std::initializer_list<Bytes> parts) {
        Bytes out;
        for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
        return out;
    };
    const DecodeCase cases[] = {
        {"pop-on: defined hidden, shown, deleted",
         {At(1, {joined({Define(0), {0x92, 14, 4, 'H', 'I'}})}), At(10, {{0x89, 0x01}}),
          At(40, {{0x8C, 0x01}})},
         {{10, 40, "14,4:HI|"}}},
        {"toggle swaps two windows",
         {At(1, {joined({Define(0), {0x92, 0, 0, 'A'}})}), At(5, {{0x89, 0x01}}),
          At(6, {joined({Define(1), {0x92, 1, 0, 'B'}})}), At(9, {{0x8B, 0x03}}),
          At(20, {{0x8A, 0x02}})},
         {{5, 9, "0,0:A|"}, {9, 20, "1,0:B|"}}},
        {"clear windows ends the caption",
         {At(1, {joined({Define(0, true), {'A'}})}), At(3, {{0x88, 0x01}})},
         {{1, 3, "0,0:A|"}}},
        {"paint-on: text into a visible window grows the caption",
         {At(2, {joined({Define(0, true), {'A'}})}), At(3, {{'B'}}), At(9, {{0x8C, 0x01}})},
         {{2, 9, "0,0:AB|"}}},
        {"roll-up: a carriage return on the last row scrolls",
         {At(2, {joined({Define(0, true, 0x8A, 0x0A, 0x01), {'O', 'N', 'E', 0x0D, 'T'}})}),
          At(4, {{0x0D, 'X'}}), At(8, {{0x8C, 0x01}})},
         {{2, 4, "0,0:ONE|1,0:T|"}, {4, 8, "0,0:T|1,0:X|"}}},
        {"backspace, G2 and G1 characters, the music note",
         {At(2, {joined({Define(0), {'A', 'B', 0x08, 0x10, 0x39, 0xE9, 0x7F}})}),
          At(3, {{0x89, 0x01}}), At(9, {{0x8F}})},
         {{3, 9, "0,0:A™é♪|"}}},
        {"absolute anchor at the bottom left, two rows",
         {At(1, {joined({{0x98, 0x38, 67, 0, 0x61, 0x1F, 0x09}, {'L', 'O', 'W'}})}),
          At(5, {{0x8C, 0x01}})},
         {{1, 5, "13,0:LOW|"}}},  // 67/75 down: the bottom of row 15
        {"other services are not read",
         {At(1, {joined({Define(0, true), {'Z'}})}, 2), At(2, {joined({Define(0, true), {'A'}})})},
         {{2, 62, "0,0:A|"}}},
        {"a command cut short by its block's end is left out",
         {At(1, {joined({Define(0, true), {'A', 0x92, 3}})})},
         {{1, 61, "0,0:A|"}}},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.what);
        CaptionList list;
        DecodeService(list, c.packets, 1);
        std::vector<std::tuple<int32_t, int32_t, std::string>> got;
        for (const Caption* k = list.Head(); k; k = k->next)
            got.emplace_back(k->startFrame, k->endFrame, Text(*k));
        EXPECT_EQ(got, c.captions);
    }
}

TEST(ServiceDecoder, ReportsWhatThe608ScreenHasNoPlaceFor) {
    Bytes wide = Define(0, true);
    wide[5] = 41;                                                             // 42 columns
    wide.insert(wide.end(), {0x92, 0, 40, 'A', 'B', 'C', 0x90, 0x06, 0x00});  // large pen
    CaptionList list;
    const std::vector<Packet> packets{At(7, {wide})};
    const ServiceReport report = DecodeService(list, packets, 1);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(Text(*list.Head()), "0,29:ABC|");  // moved in as far as the screen allows
    EXPECT_EQ(report.styles.count, 1u);
    EXPECT_EQ(report.styles.firstFrame, 7);
}

TEST(ServiceDecoder, ReadsBackEveryScreenItsWriterWrote) {
    std::mt19937 rng(708);
    std::vector<uint8_t> chars;
    for (const uint8_t ch : testing::TypableCharacters()) {
        const char32_t u = CaptionCharToUnicode(ch);  // the four the 708 sets lack are left out
        if (u != U'\u2013' && u != U'\u2014' && u != U'\u02DC' && u != U'\u203A')
            chars.push_back(ch);
    }
    std::vector<Caption> captions(40);
    std::vector<CaptionShowing> shown;
    int64_t frame = 0;
    for (Caption& c : captions) {
        testing::RandomScreen(rng, c, {.maxRows = 4}, chars);
        if (c.CountOccupiedRows() == 0) c.cells[0][0] = {'x', kDefaultAttribute};
        const int64_t erase = rng() % 2 ? frame + 60 : -1;
        shown.push_back({&c, frame, frame + 30, erase});
        frame += erase < 0 ? 31 : 61;
    }
    const PacketStream stream = PackCaptions(shown, 36);
    CaptionList list;
    DecodeService(list, stream.packets, 1);
    ASSERT_EQ(list.Count(), captions.size());
    const Caption* got = list.Head();
    for (size_t k = 0; k < captions.size(); ++k, got = got->next) {
        SCOPED_TRACE(k);
        Caption expected = captions[k];
        for (auto& row : expected.cells) {
            for (CaptionCell& cell : row) {
                if (!cell.IsEmpty() && cell.character < 0x20) cell.character = ' ';
            }
        }
        EXPECT_EQ(testing::FirstDifference(expected, *got), "");
        EXPECT_EQ(got->startFrame, shown[k].shownFrom);
        if (shown[k].erasedAt >= 0) {
            EXPECT_EQ(got->endFrame, shown[k].erasedAt);
        }
    }
}

}  // namespace
}  // namespace vantrel::dtvcc
