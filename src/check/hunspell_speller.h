// Spelling with Hunspell and the system's dictionaries (Debian's hunspell-en-us, hunspell-es and
// hunspell-fr: the languages of the caption character set), with the user's own words beside
// each language in the user's config folder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "check/speller.h"

class Hunspell;

namespace vantrel {

// The languages the window offers: en_US, es_ES, fr_FR.
const std::vector<std::string>& SpellingLanguages();

// Where dictionaries are looked for: $VANTREL_DICTIONARIES when set, else /usr/share/hunspell
// and /usr/local/share/hunspell.
std::vector<std::string> DictionaryFolders();

// $XDG_CONFIG_HOME/vantrel/words-LANGUAGE.txt (else under ~/.config): the user's words, one a
// line, that Add to Dictionary keeps.
std::string UserWordsPath(const std::string& language);

class HunspellSpeller : public Speller {
  public:
    ~HunspellSpeller() override;

    // The dictionary of `language` (the name of its .aff and .dic files, such as en_US) from
    // the first folder that holds both, with the words of the user's file for it. Nothing,
    // with `error` naming the language and where it was looked for, when there is none.
    static std::unique_ptr<HunspellSpeller> Open(const std::string& language, std::string& error,
                                                 const std::vector<std::string>& folders);

    bool Knows(std::string_view word) const override;
    std::vector<std::string> Suggest(std::string_view word) const override;
    void Accept(std::string_view word) override;

    // Accepts the word and adds it to the user's file (made with its folder when missing).
    // "" when written, else why not.
    std::string AddToUserWords(std::string_view word);

    const std::string& Language() const { return language_; }

  private:
    HunspellSpeller(std::unique_ptr<Hunspell> hunspell, std::string language);

    std::unique_ptr<Hunspell> hunspell_;
    std::string language_;
};

}  // namespace vantrel
