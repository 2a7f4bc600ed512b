// Spelling with the system's Hunspell dictionaries and the user's own words; skipped where the
// dictionary is not installed.
#include "check/hunspell_speller.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace vantrel {
namespace {

TEST(HunspellSpeller, DebiansDictionariesAndTheUsersWords) {
    char folder[] = "/tmp/vantrel-words-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    ::setenv("XDG_CONFIG_HOME", folder, 1);
    std::string error;
    std::unique_ptr<HunspellSpeller> en =
        HunspellSpeller::Open("en_US", error, DictionaryFolders());
    if (!en) GTEST_SKIP() << error;
    // Words as Debian's en_US dictionary has them (capitals and all capitals of known words too).
    const std::pair<const char*, bool> words[] = {
        {"captions", true}, {"Captions", true}, {"CAPTIONS", true},
        {"don't", true},    {"teh", false},     {"Vantrel", false},
    };
    for (const auto& [word, known] : words) EXPECT_EQ(en->Knows(word), known) << word;
    const std::vector<std::string> suggested = en->Suggest("teh");
    EXPECT_NE(std::find(suggested.begin(), suggested.end(), "the"), suggested.end());

    EXPECT_EQ(en->AddToUserWords("Vantrel"), "");
    EXPECT_TRUE(en->Knows("Vantrel"));
    EXPECT_EQ(en->AddToUserWords("bad\nword"), "not a word to keep");
    std::ifstream kept(std::string(folder) + "/vantrel/words-en_US.txt");
    std::stringstream text;
    text << kept.rdbuf();
    EXPECT_EQ(text.str(), "Vantrel\n");
    // Another speller of the language reads them; another language does not.
    EXPECT_TRUE(HunspellSpeller::Open("en_US", error, DictionaryFolders())->Knows("Vantrel"));
    // Words with accents, as the French and Spanish dictionaries spell them.
    for (const auto& [language, word] :
         {std::pair("fr_FR", "\u00E9t\u00E9"), std::pair("es_ES", "canci\u00F3n")}) {
        if (auto other = HunspellSpeller::Open(language, error, DictionaryFolders())) {
            EXPECT_TRUE(other->Knows(word)) << language;
            EXPECT_FALSE(other->Knows("Vantrel")) << language;
        }
    }

    EXPECT_EQ(HunspellSpeller::Open("xx_XX", error, {"/nowhere"}), nullptr);
    EXPECT_EQ(error,
              "no xx_XX dictionary (xx_XX.aff and .dic) in /nowhere; on Debian it comes "
              "with the hunspell-xx package");
    EXPECT_EQ(HunspellSpeller::Open("../en_US", error, DictionaryFolders()), nullptr);
    EXPECT_EQ(error, "'../en_US' is not the name of a dictionary (such as en_US)");
    std::remove((std::string(folder) + "/vantrel/words-en_US.txt").c_str());
    ::rmdir((std::string(folder) + "/vantrel").c_str());
    ::rmdir(folder);
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace vantrel
