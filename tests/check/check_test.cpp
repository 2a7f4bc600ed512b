// Every rule of every profile just under, at and just over its limit; shown text; profile files.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "check/caption_checks.h"
#include "check/caption_words.h"
#include "support/screen_text.h"

namespace vantrel {
namespace {

constexpr Severity W = Severity::Warning, E = Severity::Error, O = Severity::Off;

struct Shown {
    int32_t start, end;
    std::vector<std::string> rows;  // from row 15 upwards; "" an empty row
    bool unplaced = false;          // not found in the speech
};

std::vector<Finding> Findings(const std::vector<Shown>& captions, const CheckProfile& profile) {
    CaptionList list;
    for (const Shown& s : captions) {
        auto c = std::make_unique<Caption>();
        c->startFrame = s.start;
        c->timingMode = Manual;
        c->unplaced = s.unplaced;
        for (size_t r = 0; r < s.rows.size(); ++r) {
            testing::PutText(*c, 14 - static_cast<int>(r), 0, s.rows[r]);
        }
        list.Insert(std::move(c));
    }
    size_t k = 0;  // the ends after inserting, which may cut the end of the caption before
    for (Caption* c = list.Head(); c; c = c->next) c->endFrame = captions[k++].end;
    return CheckCaptions(list, profile);
}

// The severities of the findings of `rule` for the captions, caption by caption (Off: none).
std::vector<Severity> Check(const std::vector<Shown>& captions, const CheckProfile& profile,
                            CheckRule rule) {
    std::vector<Severity> got(captions.size(), Severity::Off);
    for (const Finding& f : Findings(captions, profile)) {
        if (f.rule == rule) got[static_cast<size_t>(f.number - 1)] = f.severity;
    }
    return got;
}

TEST(CheckCaptions, EveryRuleAtItsLimitsInEveryProfile) {
    // The numbers as the style guides publish them (see the README): rows, characters per
    // second, the shortest display in seconds (two thirds, five sixths and one and a half), the
    // longest in seconds (0: none).
    const struct {
        const char* name;
        int rows;
        double rate, shortestSeconds, longest;
        int gap;  // the least blank frames between captions that is not a flash
        Severity rowsSeverity, rateSeverity, shortSeverity, longSeverity, lateSeverity;
    } profiles[] = {
        {"broadcast", 4, 20, 2.0 / 3, 0, 1, E, W, W, W, W},
        {"streaming", 2, 20, 5.0 / 6, 7, 2, E, E, E, E, E},
        {"children", 2, 17, 1.5, 10, 2, E, E, E, W, W},
    };
    for (const auto& p : profiles) {
        SCOPED_TRACE(p.name);
        const CheckProfile profile = *BuiltInProfile(p.name);
        // Whole frames of 29.97 video, rounded to the nearest.
        const int shortest = static_cast<int>(std::lround(p.shortestSeconds * 30000 / 1001));
        auto one = [&](CheckRule rule, int32_t start, int32_t end,
                       std::vector<std::string> rows = {"A"}) {
            return Check({{start, end, std::move(rows)}}, profile, rule)[0];
        };
        for (int n : {p.rows - 1, p.rows, p.rows + 1}) {
            EXPECT_EQ(one(CheckRule::Rows, 30, 300, std::vector<std::string>(n, "A")),
                      n > p.rows ? p.rowsSeverity : O);
        }
        // 300 frames are 10.01 s: the most characters within the rate, and one more.
        const int most = static_cast<int>(std::floor(p.rate * 10.01));
        for (int n : {most - 1, most, most + 1}) {
            std::vector<std::string> letters(static_cast<size_t>(n / 32), std::string(32, 'A'));
            letters.emplace_back(n % 32, 'A');
            EXPECT_EQ(one(CheckRule::ReadingRate, 30, 330, letters), n > most ? p.rateSeverity : O);
        }
        for (int f : {shortest - 1, shortest, shortest + 1}) {
            EXPECT_EQ(one(CheckRule::MinDuration, 30, 30 + f), f < shortest ? p.shortSeverity : O);
        }
        const int longest = p.longest > 0 ? static_cast<int>(p.longest * 30000 / 1001) : 100000;
        for (int f : {longest - 1, longest, longest + 1}) {
            EXPECT_EQ(one(CheckRule::MaxDuration, 30, 30 + f),
                      p.longest > 0 && f > longest ? p.longSeverity : O);
        }
        // A gap shorter than the profile's after an erase is a flash; 0 is a replacement.
        EXPECT_EQ(LeastGap(profile), p.gap);
        for (int gap : {0, 1, 2, 3}) {
            EXPECT_EQ(
                Check({{30, 100, {"A"}}, {100 + gap, 200, {"B"}}}, profile, CheckRule::FlashGap)[1],
                gap > 0 && gap < p.gap ? E : O);
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
        for (bool unplaced : {false, true}) {
            EXPECT_EQ(Check({{30, 90, {"A"}, unplaced}}, profile, CheckRule::Unplaced)[0],
                      unplaced ? W : O);
        }
    }
}

TEST(CheckCaptions, ShownTextAndFindings) {
    const std::vector<std::string> rows = {"two  words", " \x19word \x90\x19"};
    Caption c;
    testing::PutText(c, 14, 0, rows[0]);
    testing::PutText(c, 13, 0, rows[1]);
    const ShownText shown = CountShownText(c);  // "two  words" and "word ♪"
    EXPECT_EQ(std::tuple(shown.rows, shown.characters, shown.words), std::tuple(2, 16, 4));
    EXPECT_EQ(Findings({{30, 40, rows}}, *BuiltInProfile("streaming"))[0].message,
              "16 characters shown for 0.33 s: 47.95 characters per second "
              "(719 words per minute); at most 20");
}

// Knows the words of a set, as a dictionary would, and what it is told to accept.
struct SetSpeller : Speller {
    std::set<std::string, std::less<>> known;
    bool Knows(std::string_view word) const override { return known.contains(word); }
    std::vector<std::string> Suggest(std::string_view) const override { return {}; }
    void Accept(std::string_view word) override { known.emplace(word); }
};

TEST(Spelling, WordsOfARowAndTheRule) {
    // A row of caption characters (Windows-1252 bytes, \x19 an attribute code) and its words
    // as "column:text", worked by hand.
    const struct {
        const char* name;
        const char* row;
        std::vector<std::string> words;
    } cases[] = {
        {"spaces and punctuation", "Hi, you!", {"0:Hi", "4:you"}},
        {"apostrophe inside", "DON'T 'em", {"0:DON'T", "7:em"}},
        {"typographic apostrophe", "it\x92s", {"0:it's"}},
        {"digits touch", "4th MP3 3D go", {"11:go"}},
        {"hyphen splits", "well-known", {"0:well", "5:known"}},
        {"code cell splits",
         "ab\x19"
         "cd",
         {"0:ab", "3:cd"}},
        {"accented letters", "caf\xE9 \xC9T\xC9", {"0:caf\u00E9", "5:\u00C9T\u00C9"}},
        {"music note and times sign", "\x90la\xD7la", {"1:la", "4:la"}},
        {"to the row's end", "                              ab", {"30:ab"}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        Caption c;
        testing::PutText(c, 14, 0, k.row);
        std::vector<std::string> got;
        for (const CaptionWord& w : CaptionWords(c)) {
            EXPECT_EQ(w.row, 14);
            got.push_back(std::to_string(w.column) + ":" + w.text);
        }
        EXPECT_EQ(got, k.words);
    }
    SetSpeller speller;
    speller.known = {"the", "cat"};
    const std::vector<Shown> captions = {{30, 90, {"the cat"}}, {100, 190, {"teh cat", "wrod"}}};
    const CheckProfile broadcast = *BuiltInProfile("broadcast");
    std::vector<Finding> found;
    for (const Finding& f : Findings(captions, broadcast)) EXPECT_NE(f.rule, CheckRule::Spelling);
    {
        CaptionList shown;
        for (const Shown& s : captions) {
            auto c = std::make_unique<Caption>();
            c->startFrame = s.start;
            for (size_t r = 0; r < s.rows.size(); ++r)
                testing::PutText(*c, 14 - static_cast<int>(r), 0, s.rows[r]);
            shown.Insert(std::move(c));
        }
        found = CheckCaptions(shown, broadcast, &speller);
        std::erase_if(found, [](const Finding& f) { return f.rule != CheckRule::Spelling; });
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(std::tuple(found[0].number, found[0].severity, found[0].value, found[0].message),
                  std::tuple(2, W, 2.0, "2 words not in the dictionary: wrod, teh"));
        CheckProfile quiet = *ParseProfile("spelling.severity = off", "x").profile;
        for (const Finding& f : CheckCaptions(shown, quiet, &speller))
            EXPECT_NE(f.rule, CheckRule::Spelling);
    }
}

TEST(CheckProfile, FilesOverrideNumbersAndSeverities) {
    const ProfileText read = ParseProfile(
        "# ours\nbase = children\n\nrows = 3\nreading-rate.severity = warning\r\n"
        "max-duration = none\nspacing.severity = off\nmin-duration = 12.5\nflash-gap = 2.5\n",
        "ours.profile");
    ASSERT_TRUE(read.profile) << read.error;
    const CheckProfile& p = *read.profile;
    EXPECT_EQ(std::tuple(p.name, p[CheckRule::Rows].limit, p[CheckRule::MinDuration].limit),
              std::tuple("ours.profile", 3, 12.5));
    EXPECT_EQ(std::pair(p[CheckRule::ReadingRate].severity, p[CheckRule::ReadingRate].limit),
              std::pair(W, 17.0));
    EXPECT_EQ(LeastGap(p), 3);  // whole frames that are not a flash
    EXPECT_EQ(LeastGap(*ParseProfile("flash-gap = none", "x").profile), 1);
    EXPECT_TRUE(!p[CheckRule::MaxDuration].hasLimit &&
                p[CheckRule::Spacing].severity == Severity::Off);
    // Every key with a limit takes a number.
    const std::pair<const char*, CheckRule> limits[] = {
        {"rows", CheckRule::Rows},
        {"reading-rate", CheckRule::ReadingRate},
        {"min-duration", CheckRule::MinDuration},
        {"max-duration", CheckRule::MaxDuration},
        {"flash-gap", CheckRule::FlashGap},
    };
    for (const auto& [key, rule] : limits) {
        SCOPED_TRACE(key);
        const ProfileText one = ParseProfile(std::string(key) + " = 3\n", "x");
        ASSERT_TRUE(one.profile) << one.error;
        EXPECT_EQ((*one.profile)[rule].limit, 3);
    }
    const std::pair<const char*, const char*> refused[] = {
        {"rows = 3\nlate-display = 2\n", "line 2: unknown key 'late-display'"},
        {"rows = -1", "line 1: '-1' is not a number of 0 or more"},
        {"rows.severity = fatal", "line 1: a severity is error, warning or off, not 'fatal'"},
        {"base = radio", "line 1: no built-in profile 'radio'"},
        {"rows", "line 1: expected KEY = VALUE"},
    };
    for (const auto& [text, error] : refused) EXPECT_EQ(ParseProfile(text, "x").error, error);
}

}  // namespace
}  // namespace vantrel
