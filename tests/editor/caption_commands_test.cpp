// The captioner's commands on whole captions and their text: Find and Replace, split and merge,
// shifting and syncing times, the position presets and pasting; each case worked by hand.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/caption_paste.h"
#include "editor/caption_position.h"
#include "editor/find_replace.h"
#include "editor/split_merge.h"
#include "editor/time_shift.h"
#include "files/caption_clipboard.h"
#include "support/screen_text.h"

namespace vantrel {
namespace {

using testing::PutText;

// A row as text from its first cell: '.' for an empty cell, '|' for an attribute code.
std::string Row(const Caption& c, int row) {
    std::string out;
    for (const CaptionCell& cell : c.cells[row]) {
        out += cell.IsEmpty() ? '.' : cell.character < 0x20 ? '|' : char(cell.character);
    }
    while (!out.empty() && out.back() == '.') out.pop_back();
    return out;
}

struct Project {
    CaptionProject project;
    EditHistory history{project};
    // A Manual caption with `text` on row 14 (or the rows given) from column 0, loading in 5.
    Caption* Add(int32_t start, int32_t end, std::vector<std::string> rows = {"A"}) {
        Caption* c = testing::AddCaption(project.captions, start, end, "", 14, 0, Manual, 5);
        for (size_t k = 0; k < rows.size(); ++k)
            PutText(*c, kScreenRows - int(rows.size()) + int(k), 0, rows[k]);
        return c;
    }
    std::vector<Caption*> All() {
        std::vector<Caption*> out;
        for (Caption* c = project.captions.Head(); c; c = c->next) out.push_back(c);
        return out;
    }
};

TEST(FindReplace, ReplaceAllTable) {
    struct Case {
        const char* what;
        int column;
        std::string text, find, with;
        FindOptions options;
        std::string expected;
        int replaced, unfitting;
    };
    const std::string full(32, 'x');
    // clang-format off
    const Case cases[] = {
        {"any case", 0, "The cat and the Cat", "cat", "dog", {}, "The dog and the dog", 2, 0},
        {"match case", 0, "The cat and the Cat", "cat", "dog", {true, false}, "The dog and the Cat", 1, 0},
        {"whole word", 0, "cat catalog", "cat", "dog", {false, true}, "dog catalog", 1, 0},
        {"longer: moved left at the edge", 20, "I saw a cat!", "cat", "tiger", {},
         "..................I saw a tiger!", 1, 0},
        {"no room in a full row", 0, full, "xx", "xxx", {}, full, 0, 16},
        {"keeps a cell before the next run", 0, "ab cat..xy", "cat", "cats", {}, "ab cats.xy", 1, 0},
        {"no room before the next run", 0, "ab cat..xy", "cat", "catsup", {}, "ab cat..xy", 0, 1},
        {"shorter: the run closes up", 0, "a kitten here", "kitten", "cat", {}, "a cat here", 1, 0},
        {"a code cell is no space", 0, "big\x19" "cat", "g c", "x", {}, "big|cat", 0, 0},
        {"replaced by nothing", 0, "so um yes", "um ", "", {}, "so yes", 1, 0},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Project p;
        Caption* c = p.Add(100, 200);
        c->cells[14][0] = {};
        std::string text = k.text;
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] != '.') c->cells[14][k.column + i] = {uint8_t(text[i]), kDefaultAttribute};
        const ReplaceAllResult r = ReplaceAllStep(p.history, k.find, k.with, k.options);
        EXPECT_EQ(Row(*c, 14), k.expected);
        EXPECT_EQ(r.replaced, k.replaced);
        EXPECT_EQ(r.unfitting, k.unfitting);
        EXPECT_EQ(p.history.StepCount(), k.replaced > 0 ? 1u : 0u);
    }
}

TEST(FindReplace, FindsRoundTheListAndUndoesInOneStep) {
    Project p;
    Caption* a = p.Add(100, 200, {"one cat"});
    p.Add(300, 400, {"no"});
    Caption* c = p.Add(500, 600, {"cat", "two cats"});
    TextMatch m = FindNext(p.project.captions, "cat", {}, {}, true);
    EXPECT_EQ(m.caption, a);
    EXPECT_EQ(m.column, 4);
    m = FindNext(p.project.captions, "cat", {}, m, true);
    EXPECT_EQ(m.caption, c);
    EXPECT_EQ(m.row, 13);
    EXPECT_EQ(FindNext(p.project.captions, "CAT", {}, m, false).caption, a);
    EXPECT_EQ(FindNext(p.project.captions, "zebra", {}, m, true).caption, nullptr);
    EXPECT_EQ(FindNext(CaptionList(), "cat", {}, {}, true).caption, nullptr);
    m = FindNext(p.project.captions, "cat", {}, {a, 14, 4, 3}, false);  // back round the head
    EXPECT_EQ(m.caption, c);
    EXPECT_EQ(m.row, 14);
    EXPECT_EQ(ReplaceAllStep(p.history, "cat", "dog", {}).changed, (std::vector<Caption*>{a, c}));
    EXPECT_EQ(Row(*c, 14), "two dogs");
    EXPECT_EQ(p.history.UndoName(), kReplaceAllStep);
    p.history.Undo();
    EXPECT_EQ(Row(*a, 14) + Row(*c, 13) + Row(*c, 14), "one catcattwo cats");
    char32_t missing = 0;
    EXPECT_EQ(TypedCaptionText("na\u00EFve", &missing), "na\xEFve");
    EXPECT_FALSE(TypedCaptionText("\u03B1", &missing));
    EXPECT_EQ(missing, U'\u03B1');
}

TEST(SplitMerge, Table) {
    Project p;
    Caption* c = p.Add(100, 220, {"ABCDEF", "ABC"});
    Caption* made = nullptr;
    EXPECT_EQ(SplitCaptionStep(p.history, *c, 13, &made), UnitRefusal::NothingAbove);
    ASSERT_EQ(SplitCaptionStep(p.history, *c, 14, &made), UnitRefusal::None);
    // 120 frames shared 6 : 3 by the text.
    EXPECT_EQ(c->endFrame, 180);
    EXPECT_EQ(c->timingMode, Seamless);
    EXPECT_EQ(made->startFrame, 180);
    EXPECT_EQ(made->endFrame, 220);
    EXPECT_EQ(Row(*c, 13) + "/" + Row(*c, 14) + "/" + Row(*made, 14), "ABCDEF//ABC");
    Caption* d = p.Add(300, 302, {"X", "Y"});
    EXPECT_EQ(SplitCaptionStep(p.history, *d, 14, &made), UnitRefusal::NoTime);

    std::vector<Caption*> all = p.All();
    EXPECT_EQ(MergeCaptionsStep(p.history, std::vector<Caption*>{all[0], all[2]}),
              UnitRefusal::NotNeighbours);
    EXPECT_EQ(MergeCaptionsStep(p.history, std::vector<Caption*>{all[0]}), UnitRefusal::TooFew);
    Caption* e = p.Add(400, 450, {"P", "Q"});
    EXPECT_EQ(MergeCaptionsStep(p.history, std::vector<Caption*>{all[0], all[1], d, e}),
              UnitRefusal::TooManyRows);
    ASSERT_EQ(MergeCaptionsStep(p.history, std::vector<Caption*>{all[0], all[1], d}),
              UnitRefusal::None);
    EXPECT_EQ(p.project.captions.Count(), 2);
    EXPECT_EQ(Row(*c, 11) + Row(*c, 12) + Row(*c, 13) + Row(*c, 14), "ABCDEFABCXY");
    EXPECT_EQ(c->endFrame, 302);
    EXPECT_EQ(c->timingMode, Manual);
}

TEST(TimeShift, ShiftTable) {
    struct Case {
        const char* what;
        std::vector<int> chosen;
        int64_t frames;
        std::vector<int32_t> starts;  // empty: refused
        TimeRefusal::Kind refusal;
        int by;  // the caption that stops it
    };
    // Manual captions 100-150, 200-250, 300-350, each loading in 5 frames; the video 1200 long.
    // clang-format off
    const Case cases[] = {
        {"all later", {0, 1, 2}, 10, {110, 210, 310}, TimeRefusal::None, 0},
        {"neighbours move as one block", {0, 1, 2}, 100, {200, 300, 400}, TimeRefusal::None, 0},
        {"by nothing", {0, 1}, 0, {100, 200, 300}, TimeRefusal::None, 0},
        {"nothing chosen", {}, 10, {100, 200, 300}, TimeRefusal::None, 0},
        {"one earlier", {1}, -49, {100, 151, 300}, TimeRefusal::None, 0},
        {"one frame after a Manual end", {1}, -50, {}, TimeRefusal::OverNeighbour, 1},
        {"later up to the next one's loading", {1}, 49, {100, 249, 300}, TimeRefusal::None, 0},
        {"later, over the next", {1}, 50, {}, TimeRefusal::OverNeighbour, 1},
        {"before frame 0's loading", {0, 1}, -96, {}, TimeRefusal::BeforeStart, 0},
        {"past the video", {2}, 851, {}, TimeRefusal::PastEnd, 2},
        {"to the video's end", {2}, 850, {100, 200, 1150}, TimeRefusal::None, 0},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Project p;
        for (int32_t s : {100, 200, 300}) p.Add(s, s + 50);
        const std::vector<Caption*> all = p.All();
        std::vector<Caption*> chosen;
        for (int i : k.chosen) chosen.push_back(all[i]);
        const TimeRefusal r = ShiftTimesStep(p.history, chosen, k.frames, 1200);
        EXPECT_EQ(r.kind, k.refusal);
        if (k.refusal != TimeRefusal::None) {
            EXPECT_EQ(r.caption, all[k.by]);
        }
        std::vector<int32_t> starts;
        for (const Caption* c : all) starts.push_back(c->startFrame);
        const std::vector<int32_t> unmoved{100, 200, 300};
        EXPECT_EQ(starts, k.starts.empty() ? unmoved : k.starts);
        EXPECT_EQ(all[1]->endFrame - all[1]->startFrame, 50);
    }
}

TEST(TimeShift, SyncRoundsToTheNearestFrame) {
    struct Case {
        const char* what;
        int first, second;
        int64_t firstFrame, secondFrame;
        std::vector<int32_t> frames;  // start, end of each caption; empty: refused
    };
    // clang-format off
    const Case cases[] = {
        {"moved whole", 0, 2, 1000, 1200, {1000, 1050, 1100, 1150, 1200, 1250}},
        // 201 frames for 200: 100.5 rounds up, 50.25 and 150.75 to the nearest.
        {"stretched", 0, 2, 100, 301, {100, 150, 201, 251, 301, 351}},
        // Before the first point: -101 and -50.5, which rounds up to -50.
        {"stretched back", 1, 2, 200, 301, {99, 150, 200, 251, 301, 352}},
        {"points out of order", 2, 0, 100, 300, {}},
        // 200 frames into 1: 100.5 rounds to 101, 101 is taken and goes to 102; each Manual end
        // is then cut to a frame before the next start, never below its own start.
        {"squeezed, starts kept apart", 0, 2, 100, 101, {100, 100, 101, 101, 102, 103}},
        {"before frame 0", 1, 2, 50, 150, {}},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Project p;
        for (int32_t s : {100, 200, 300}) p.Add(s, s + 50);
        const std::vector<Caption*> all = p.All();
        const TimeRefusal r =
            SyncStep(p.history, *all[k.first], k.firstFrame, *all[k.second], k.secondFrame, 100000);
        std::vector<int32_t> frames;
        for (const Caption* c : all) frames.insert(frames.end(), {c->startFrame, c->endFrame});
        EXPECT_EQ(r.kind == TimeRefusal::None, !k.frames.empty());
        const std::vector<int32_t> unmoved{100, 150, 200, 250, 300, 350};
        EXPECT_EQ(frames, k.frames.empty() ? unmoved : k.frames);
    }
}

TEST(CaptionPosition, Table) {
    struct Case {
        const char* what;
        Placement placement;
        int rows;
        std::vector<std::string> expected;  // rows 0-14 as Row gives them, "" for none shown
        bool fits = true;
    };
    // Text "HELLO" at column 10 of row 5 and "HI" at column 4 of row 6.
    // clang-format off
    const Case cases[] = {
        {"bottom", Placement::Bottom, 0, {"13:..........HELLO", "14:....HI"}},
        {"top", Placement::Top, 0, {"0:..........HELLO", "1:....HI"}},
        {"raised", Placement::Raise, 3, {"2:..........HELLO", "3:....HI"}},
        {"raised past the top", Placement::Raise, 6, {"5:..........HELLO", "6:....HI"}, false},
        {"left", Placement::Left, 0, {"5:HELLO", "6:HI"}},
        // The middle of 32 cells: 13 for five, 15 for two.
        {"centred", Placement::Centre, 0, {"5:.............HELLO", "6:...............HI"}},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Project p;
        Caption* c = p.Add(100, 200, {});
        PutText(*c, 5, 10, "HELLO");
        PutText(*c, 6, 4, "HI");
        Caption* const one[] = {c};
        EXPECT_EQ(PlaceCaptionsStep(p.history, one, k.placement, k.rows) == nullptr, k.fits);
        std::vector<std::string> shown;
        for (int r = 0; r < kScreenRows; ++r)
            if (!Row(*c, r).empty()) shown.push_back(std::to_string(r) + ":" + Row(*c, r));
        EXPECT_EQ(shown, k.expected);
    }
}

TEST(CaptionClipboard, SccTextReadsBackAndPasteKeepsDistances) {
    Project p;
    Caption* a = p.Add(100, 160, {"FIRST"});
    Caption* b = p.Add(200, 260, {"SECOND", "LINE"});
    const Caption* const both[] = {a, b};
    const std::string scc = CaptionsSccText(both, TimecodeStyle::NonDropFrame);
    EXPECT_EQ(scc.rfind("Scenarist_SCC V1.0", 0), 0u);
    for (const std::string& own : {std::string(), CaptionsClipboardBytes(both)}) {
        SCOPED_TRACE(own.empty() ? "scc" : "own");
        CaptionList read;
        ReadClipboardCaptions(own, scc, read);
        ASSERT_EQ(read.Count(), 2);
        EXPECT_EQ(read.Head()->startFrame, 100);
        EXPECT_EQ(read.Head()->next->startFrame, 200);
        EXPECT_EQ(read.Head()->endFrame, 160);
        EXPECT_TRUE(read.Head()->next->SameScreen(*b));
    }
    CaptionList read;
    ReadClipboardCaptions(CaptionsClipboardBytes(both), {}, read);
    EXPECT_EQ(PasteCaptionsStep(p.history, read, 150, 10000).inTheWay, b);
    const PasteResult pasted = PasteCaptionsStep(p.history, read, 1000, 10000);
    ASSERT_EQ(pasted.placed.size(), 2u);
    EXPECT_EQ(pasted.placed[1]->startFrame, 1100);
    EXPECT_EQ(pasted.placed[1]->timingMode, Manual);
    EXPECT_EQ(p.project.captions.Count(), 4);
    EXPECT_EQ(p.history.StepCount(), 1u);
}

}  // namespace
}  // namespace vantrel
