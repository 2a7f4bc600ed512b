// Find and Replace over the text of every caption. A match lies inside one run of one row (a
// row's cells between empty cells); a space of the text matches a space cell only, so that an
// attribute code between two words breaks a match as it breaks the row on the screen. A
// replacement keeps the attribute of the first cell it replaces and stays inside the run's
// room on its row (an empty cell kept beside each neighbouring run, the run moved left when
// the room is there); one that does not fit is not made.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/edit_history.h"
#include "model/caption.h"

namespace vantrel {

inline constexpr const char* kReplaceStep = "Replace";
inline constexpr const char* kReplaceAllStep = "Replace All";

struct FindOptions {
    bool matchCase = false;
    bool wholeWord = false;  // neither side of the match touches a letter or a digit
};

// Where a match lies: the caption, the row (0-14), its first cell and the cells it covers.
struct TextMatch {
    Caption* caption = nullptr;
    int row = 0;
    int column = 0;
    int length = 0;
};

// The caption characters of typed text (UTF-8). Nothing when a character has no 608 code: it
// goes to `missing` (kMalformed for a malformed sequence).
std::optional<std::string> TypedCaptionText(std::string_view utf8, char32_t* missing);

// The first match in `caption` at or after cell `column` of `row` (rows in order, then
// cells), or none (caption null). `pattern` holds caption characters and is not empty.
TextMatch FindInCaption(Caption& caption, std::string_view pattern, const FindOptions& options,
                        int row = 0, int column = 0);

// The match after `from` (forward) or before it, in list order, going round the list's end;
// `from` with no caption starts at the head (forward) or the last caption. The match at `from`
// itself is found only when it is the only one.
TextMatch FindNext(const CaptionList& list, std::string_view pattern, const FindOptions& options,
                   const TextMatch& from, bool forward);

// Writes `with` over the match in place; false, with nothing changed, when it does not fit.
// On success the match covers the replacement.
bool ReplaceMatchCells(TextMatch& match, std::string_view with);

// Replace: the match, when the text there still matches, as one step.
bool ReplaceStep(EditHistory& history, TextMatch& match, std::string_view pattern,
                 std::string_view with, const FindOptions& options);

struct ReplaceAllResult {
    int replaced = 0;               // matches replaced
    int unfitting = 0;              // matches left because the replacement did not fit
    std::vector<Caption*> changed;  // in list order
    Caption* firstUnfitting = nullptr;
};
// Replace All: every match of every caption, as one step.
ReplaceAllResult ReplaceAllStep(EditHistory& history, std::string_view pattern,
                                std::string_view with, const FindOptions& options);

}  // namespace vantrel
