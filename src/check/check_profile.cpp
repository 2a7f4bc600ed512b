#include "check/check_profile.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vantrel {

namespace {

constexpr std::array<std::string_view, kCheckRuleCount> kRuleNames = {
    "rows",       "reading-rate", "min-duration", "max-duration", "flash-gap",
    "frame-zero", "late-display", "spacing",      "spelling",     "unplaced",
};

constexpr RuleSetting Limit(double limit, Severity severity) {
    return {true, limit, severity};
}
constexpr RuleSetting NoLimit(Severity severity) {
    return {false, 0, severity};
}

constexpr Severity kError = Severity::Error;
constexpr Severity kWarning = Severity::Warning;

// In the order of CheckRule. The sources of each number are in the README.
CheckProfile Make(std::string name, std::array<RuleSetting, kCheckRuleCount> rules) {
    return {std::move(name), rules};
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

std::optional<CheckRule> RuleNamed(std::string_view name) {
    for (size_t k = 0; k < kCheckRuleCount; ++k) {
        if (kRuleNames[k] == name) return static_cast<CheckRule>(k);
    }
    return std::nullopt;
}

}  // namespace

std::string_view RuleName(CheckRule rule) {
    return kRuleNames[static_cast<size_t>(rule)];
}

std::string_view SeverityName(Severity severity) {
    switch (severity) {
        case Severity::Off:
            return "off";
        case Severity::Warning:
            return "warning";
        case Severity::Error:
            break;
    }
    return "error";
}

bool RuleHasLimit(CheckRule rule) {
    return rule <= CheckRule::FlashGap;
}

int32_t LeastGap(const CheckProfile& profile) {
    const RuleSetting& flash = profile[CheckRule::FlashGap];
    if (!flash.hasLimit || flash.limit <= 1) return 1;
    // Profile numbers are checked to be finite; a gap longer than a day is no gap to leave.
    return static_cast<int32_t>(std::ceil(std::min(flash.limit, 2592000.0)));
}

std::optional<CheckProfile> BuiltInProfile(std::string_view name) {
    if (name == "broadcast") {
        return Make("broadcast",
                    {Limit(4, kError), Limit(20, kWarning), Limit(20, kWarning), NoLimit(kWarning),
                     Limit(1, kError), NoLimit(kError), NoLimit(kWarning), NoLimit(kWarning),
                     NoLimit(kWarning), NoLimit(kWarning)});
    }
    if (name == "streaming") {
        return Make("streaming",
                    {Limit(2, kError), Limit(20, kError), Limit(25, kError), Limit(7, kError),
                     Limit(2, kError), NoLimit(kError), NoLimit(kError), NoLimit(kWarning),
                     NoLimit(kWarning), NoLimit(kWarning)});
    }
    if (name == "children") {
        return Make("children",
                    {Limit(2, kError), Limit(17, kError), Limit(45, kError), Limit(10, kWarning),
                     Limit(2, kError), NoLimit(kError), NoLimit(kWarning), NoLimit(kWarning),
                     NoLimit(kWarning), NoLimit(kWarning)});
    }
    return std::nullopt;
}

ProfileText ParseProfile(std::string_view text, std::string name) {
    CheckProfile profile = *BuiltInProfile("broadcast");
    size_t lineNumber = 0;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // an editor's byte-order mark
    auto refuse = [&](const std::string& what) {
        return ProfileText{std::nullopt, "line " + std::to_string(lineNumber) + ": " + what};
    };
    while (!text.empty()) {
        ++lineNumber;
        const size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#') continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) return refuse("expected KEY = VALUE");
        const std::string_view key = Trim(line.substr(0, eq));
        const std::string_view value = Trim(line.substr(eq + 1));
        if (key == "base") {
            const std::optional<CheckProfile> base = BuiltInProfile(value);
            if (!base) return refuse("no built-in profile '" + std::string(value) + "'");
            profile.rules = base->rules;
            continue;
        }
        const bool severityKey = key.ends_with(".severity");
        const std::optional<CheckRule> rule =
            RuleNamed(severityKey ? key.substr(0, key.size() - 9) : key);
        if (!rule || (!severityKey && !RuleHasLimit(*rule))) {
            return refuse("unknown key '" + std::string(key) + "'");
        }
        RuleSetting& setting = profile[*rule];
        if (severityKey) {
            if (value == "error") {
                setting.severity = Severity::Error;
            } else if (value == "warning") {
                setting.severity = Severity::Warning;
            } else if (value == "off") {
                setting.severity = Severity::Off;
            } else {
                return refuse("a severity is error, warning or off, not '" + std::string(value) +
                              "'");
            }
            continue;
        }
        if (value == "none") {
            setting.hasLimit = false;
            continue;
        }
        double number = 0;
        const auto [at, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (ec != std::errc() || at != value.data() + value.size() || !std::isfinite(number) ||
            number < 0) {
            std::string text = "'";  // built in steps: GCC 12 warns wrongly on "'" + string
            text.append(value).append("' is not a number of 0 or more");
            return refuse(text);
        }
        setting.hasLimit = true;
        setting.limit = number;
    }
    profile.name = std::move(name);
    return {std::move(profile), {}};
}

}  // namespace vantrel
