// What the spelling rule, the caption screen and the Spelling window ask of a dictionary:
// whether a word is spelled right, and what it may have been meant as. Words are UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

class Speller {
  public:
    virtual ~Speller() = default;

    virtual bool Knows(std::string_view word) const = 0;
    // The likeliest spellings first; none when the dictionary has no idea.
    virtual std::vector<std::string> Suggest(std::string_view word) const = 0;
    // The word is known from now on, until the speller goes (Ignore All, Add to Dictionary).
    virtual void Accept(std::string_view word) = 0;
};

}  // namespace vantrel
