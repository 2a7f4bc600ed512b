// The delivery check: every rule of every built-in profile just under, at and just over its
// limit, what counts as shown text, and profile files.
#include <gtest/gtest.h>

#include <cmath>

#include "check/caption_checks.h"
#include "support/screen_text.h"

namespace vantrel {
namespace {

constexpr Severity W = Severity::Warning, E = Severity::Error;

struct Shown {
    int32_t start, end;
    std::vector<std::string> rows;  // from row 15 upwards; "" an empty row
};

// The severities of the findings of `rule` for the captions, caption by caption (Off: none).
std::vector<Severity> Check(const std::vector<Shown>& captions, const CheckProfile& profile,
                            CheckRule rule) {
    CaptionList list;
    for (const Shown& s : captions) {
        auto c = std::make_unique<Caption>();
        c->startFrame = s.start;
        c->endFrame = s.end;
        c->timingMode = Manual;
        for (size_t r = 0; r < s.rows.size(); ++r) {
            testing::PutText(*c, 14 - static_cast<int>(r), 0, s.rows[r]);
        }
        list.Insert(std::move(c));
    }
    size_t k = 0;  // inserting may cut the end of the caption before
    for (Caption* c = list.Head(); c; c = c->next) c->endFrame = captions[k++].end;
    std::vector<Severity> got(captions.size(), Severity::Off);
    for (const Finding& f : CheckCaptions(list, profile)) {
        if (f.rule == rule) got[static_cast<size_t>(f.number - 1)] = f.severity;
    }
    return got;
}

std::vector<std::string> Rows(int count, const std::string& row = "A") {
    return std::vector<std::string>(static_cast<size_t>(count), row);
}

// `characters` letters in rows of 32.
std::vector<std::string> Letters(int characters) {
    std::vector<std::string> rows;
    for (; characters > 0; characters -= 32) rows.emplace_back(std::min(characters, 32), 'A');
    return rows;
}

TEST(CheckCaptions, EveryRuleAtItsLimitsInEveryProfile) {
    const struct {
        const char* name;
        int rows;
        Severity rowsSeverity;
        double rate;
        Severity rateSeverity;
        int shortest;  // frames
        Severity shortSeverity;
        double longest;  // seconds, 0 for none
        Severity longSeverity, lateSeverity;
    } profiles[] = {
        {"broadcast", 4, E, 20, W, 20, W, 0, W, W},
        {"streaming", 2, E, 20, E, 25, E, 7, E, E},
        {"children", 2, E, 17, E, 45, E, 10, W, W},
    };
    const Severity O = Severity::Off;
    for (const auto& p : profiles) {
        SCOPED_TRACE(p.name);
        const CheckProfile profile = *BuiltInProfile(p.name);
        auto one = [&](CheckRule rule, int32_t start, int32_t end,
                       std::vector<std::string> rows = {"A"}) {
            return Check({{start, end, std::move(rows)}}, profile, rule)[0];
        };
        for (int n : {p.rows - 1, p.rows, p.rows + 1}) {
            EXPECT_EQ(one(CheckRule::Rows, 30, 300, Rows(n)), n > p.rows ? p.rowsSeverity : O);
        }
        // 300 frames are 10.01 s: the most characters within the rate, and one more.
        const int most = static_cast<int>(std::floor(p.rate * 10.01));
        for (int n : {most - 1, most, most + 1}) {
            EXPECT_EQ(one(CheckRule::ReadingRate, 30, 330, Letters(n)),
                      n > most ? p.rateSeverity : O);
        }
        for (int f : {p.shortest - 1, p.shortest, p.shortest + 1}) {
            EXPECT_EQ(one(CheckRule::MinDuration, 30, 30 + f),
                      f < p.shortest ? p.shortSeverity : O);
        }
        const int longest = p.longest > 0 ? static_cast<int>(p.longest * 30000 / 1001) : 100000;
        for (int f : {longest - 1, longest, longest + 1}) {
            EXPECT_EQ(one(CheckRule::MaxDuration, 30, 30 + f),
                      p.longest > 0 && f > longest ? p.longSeverity : O);
        }
        // A gap of 1 frame after an erase is a flash; 0 is a replacement.
        for (int gap : {0, 1, 2}) {
            EXPECT_EQ(
                Check({{30, 100, {"A"}}, {100 + gap, 200, {"B"}}}, profile, CheckRule::FlashGap)[1],
                gap == 1 ? E : O);
        }
        EXPECT_EQ(one(CheckRule::FrameZero, 0, 60), E);
        EXPECT_EQ(one(CheckRule::FrameZero, 1, 60), O);
        // "A" loads in five frames (RCL ENM PAC A EOC): from frame 0 it is shown on frame 4.
        EXPECT_EQ(one(CheckRule::LateDisplay, 4, 60), O);
        EXPECT_EQ(one(CheckRule::LateDisplay, 3, 60), p.lateSeverity);
        const std::vector<std::string> spacing[] = {{"A B"},  {" A"},         {"A "},
                                                    {"A  B"}, {"A", "", "B"}, {"A\x19 B"}};
        for (const auto& rows : spacing) {
            EXPECT_EQ(one(CheckRule::Spacing, 30, 90, rows), rows == spacing[0] ? O : W);
        }
    }
}

TEST(CheckCaptions, ShownTextAndFindings) {
    Caption c = testing::MakeCaption({{13, 2, " \x19word \x90\x19"}, {14, 0, "two  words"}});
    const ShownText shown = CountShownText(c);
    EXPECT_EQ(shown.rows, 2);
    EXPECT_EQ(shown.characters, 6 + 10);  // "word ♪" and "two  words"
    EXPECT_EQ(shown.words, 4);

    CaptionList list;
    for (int32_t start : {30, 40}) {
        auto k = std::make_unique<Caption>(c);
        k->startFrame = start;
        k->endFrame = start + 10;
        list.Insert(std::move(k));
    }
    list.Head()->endFrame = 40;
    const std::vector<Finding> findings = CheckCaptions(list, *BuiltInProfile("streaming"));
    ASSERT_EQ(findings.size(), 7u);
    EXPECT_EQ(findings[0].message,
              "16 characters shown for 0.33 s: 47.95 characters per second "
              "(719 words per minute); at most 20");
    EXPECT_EQ(findings[3].number, 2);
    EXPECT_EQ(findings[3].start, 40);
    EXPECT_EQ(CountErrors(findings), 5u);
}

TEST(CheckProfile, FilesOverrideNumbersAndSeverities) {
    const ProfileText read = ParseProfile(
        "# ours\nbase = children\n\nrows = 3\nreading-rate.severity = warning\r\n"
        "max-duration = none\nspacing.severity = off\nmin-duration = 12.5\n",
        "ours.profile");
    ASSERT_TRUE(read.profile) << read.error;
    const CheckProfile& p = *read.profile;
    EXPECT_EQ(p.name, "ours.profile");
    EXPECT_EQ(p[CheckRule::Rows].limit, 3);
    EXPECT_EQ(p[CheckRule::ReadingRate].severity, W);
    EXPECT_EQ(p[CheckRule::ReadingRate].limit, 17);
    EXPECT_FALSE(p[CheckRule::MaxDuration].hasLimit);
    EXPECT_EQ(p[CheckRule::Spacing].severity, Severity::Off);
    EXPECT_EQ(p[CheckRule::MinDuration].limit, 12.5);
    EXPECT_EQ(ParseProfile("rows = 3\nlate-display = 2\n", "x").error,
              "line 2: unknown key 'late-display'");
    EXPECT_EQ(ParseProfile("rows = -1", "x").error, "line 1: '-1' is not a number of 0 or more");
    EXPECT_EQ(ParseProfile("rows.severity = fatal", "x").error,
              "line 1: a severity is error, warning or off, not 'fatal'");
    EXPECT_EQ(ParseProfile("base = radio", "x").error, "line 1: no built-in profile 'radio'");
    EXPECT_EQ(ParseProfile("rows", "x").error, "line 1: expected KEY = VALUE");
}

}  // namespace
}  // namespace vantrel
