// The delivery check over a project's captions: every rule of a profile, one finding per
// caption and rule that the caption breaks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check/check_profile.h"
#include "check/speller.h"
#include "model/caption_list.h"

namespace vantrel {

struct Finding {
    int number = 0;     // the caption's place in the list, from 1
    int32_t start = 0;  // its start frame
    CheckRule rule = CheckRule::Rows;
    Severity severity = Severity::Warning;
    double value = 0;  // what was measured, in the rule's unit
    double limit = 0;  // the profile's number (for the rules without one: see the README)
    std::string message;
};

// What a person reads on a caption: the characters shown from the first to the last that is
// not a space of each row (spaces between words count, attribute cells do not), and the words
// (runs of characters other than spaces).
struct ShownText {
    int rows = 0;  // rows with a character other than a space
    int characters = 0;
    int words = 0;
};
ShownText CountShownText(const Caption& caption);

// Findings in list order, by caption and then in rule order; rules of severity off are skipped.
// The spelling rule checks only with a speller.
std::vector<Finding> CheckCaptions(const CaptionList& captions, const CheckProfile& profile,
                                   const Speller* speller = nullptr);

// A measured value or limit as findings write it: a whole number without a point, another to
// two places.
std::string FormatCheckNumber(double value);

// "12 captions checked against the broadcast profile: 1 error, 3 warnings"
std::string CheckSummary(int captions, const std::string& profile,
                         const std::vector<Finding>& findings);

// How many findings are of error severity.
size_t CountErrors(const std::vector<Finding>& findings);

}  // namespace vantrel
