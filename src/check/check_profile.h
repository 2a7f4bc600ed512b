// The rules a delivery check applies and the numbers and severities they take: the built-in
// profiles (broadcast, streaming, children) and profile files of `key = value` lines.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

enum class CheckRule {
    Rows,         // text rows per caption, at most
    ReadingRate,  // characters per second, at most
    MinDuration,  // frames shown, at least
    MaxDuration,  // seconds shown, at most
    FlashGap,     // frames between an erase and the next caption: 0, or at least this (LeastGap)
    FrameZero,    // a caption on the first frame, which a 608 stream cannot show
    LateDisplay,  // display started late for lack of loading time
    Spacing,      // leading, trailing or doubled spaces; empty rows between text rows
    Spelling,     // words the dictionary does not know, when the check is given a language
    Unplaced,     // timing to speech did not find the caption's words in the sound
};
constexpr size_t kCheckRuleCount = 10;

enum class Severity { Off, Warning, Error };

struct RuleSetting {
    bool hasLimit = false;  // false: a numbered rule without a number ("none") checks nothing
    double limit = 0;
    Severity severity = Severity::Warning;
};

struct CheckProfile {
    std::string name;
    std::array<RuleSetting, kCheckRuleCount> rules{};

    const RuleSetting& operator[](CheckRule rule) const { return rules[static_cast<size_t>(rule)]; }
    RuleSetting& operator[](CheckRule rule) { return rules[static_cast<size_t>(rule)]; }
};

// The rule's name in findings and profile files ("reading-rate").
std::string_view RuleName(CheckRule rule);
// "off", "warning", "error".
std::string_view SeverityName(Severity severity);
// Whether the rule takes a number.
bool RuleHasLimit(CheckRule rule);

// The blank frames the profile allows between two captions at least, which the timing modes,
// the timing keys and snapping leave: the flash-gap number rounded up, and at least one (as
// without a number).
int32_t LeastGap(const CheckProfile& profile);

// broadcast, streaming or children; nothing for another name.
std::optional<CheckProfile> BuiltInProfile(std::string_view name);

struct ProfileText {
    std::optional<CheckProfile> profile;
    std::string error;  // "line 3: ..." when the text is refused
};

// A profile file's text: the broadcast profile, or the one a `base = NAME` line names, with
// `RULE = NUMBER` (or `none`) and `RULE.severity = error|warning|off` lines over it; blank
// lines and lines beginning with # are skipped. The profile takes `name`.
ProfileText ParseProfile(std::string_view text, std::string name);

}  // namespace vantrel
