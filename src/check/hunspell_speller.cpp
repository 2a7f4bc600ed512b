#include "check/hunspell_speller.h"

#include <sys/stat.h>

#include <cstdlib>
#include <hunspell.hxx>

#include "files/own_files.h"
#include "files/replacing_file.h"

namespace vantrel {

namespace {

// A user's word list is a few thousand words; a bigger file is not one of ours.
constexpr size_t kLongestUserWords = size_t{4} << 20;
// Hunspell takes words up to 100 bytes.
constexpr size_t kLongestWord = 100;

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A dictionary's name is a file name of letters and underscores, never a path.
bool IsLanguageName(const std::string& name) {
    if (name.empty() || name.size() > 16) return false;
    for (char c : name) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_')) return false;
    }
    return true;
}

std::string ConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/vantrel";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/vantrel";
}

bool IsWordToKeep(std::string_view word) {
    return !word.empty() && word.size() <= kLongestWord &&
           word.find_first_of("\n\r\t /") == std::string_view::npos;
}

}  // namespace

const std::vector<std::string>& SpellingLanguages() {
    static const std::vector<std::string> languages = {"en_US", "es_ES", "fr_FR"};
    return languages;
}

std::vector<std::string> DictionaryFolders() {
    const char* own = std::getenv("VANTREL_DICTIONARIES");
    if (own != nullptr && own[0] != '\0') return {own};
    return {"/usr/share/hunspell", "/usr/local/share/hunspell"};
}

std::string UserWordsPath(const std::string& language) {
    return ConfigFolder() + "/words-" + language + ".txt";
}

HunspellSpeller::HunspellSpeller(std::unique_ptr<Hunspell> hunspell, std::string language)
    : hunspell_(std::move(hunspell)), language_(std::move(language)) {}

HunspellSpeller::~HunspellSpeller() = default;

std::unique_ptr<HunspellSpeller> HunspellSpeller::Open(const std::string& language,
                                                       std::string& error,
                                                       const std::vector<std::string>& folders) {
    if (!IsLanguageName(language)) {
        error = "'" + language + "' is not the name of a dictionary (such as en_US)";
        return nullptr;
    }
    for (const std::string& folder : folders) {
        const std::string base = folder + "/" + language;
        if (!IsRegularFile(base + ".aff") || !IsRegularFile(base + ".dic")) continue;
        auto hunspell =
            std::make_unique<Hunspell>((base + ".aff").c_str(), (base + ".dic").c_str());
        // Our words are UTF-8; Debian's dictionaries are too.
        if (hunspell->get_dict_encoding() != "UTF-8") {
            error = "the " + language + " dictionary in " + folder + " is in " +
                    hunspell->get_dict_encoding() + ", not UTF-8";
            return nullptr;
        }
        std::unique_ptr<HunspellSpeller> speller(
            new HunspellSpeller(std::move(hunspell), language));
        const std::string words =
            ReadOwnFile(UserWordsPath(language), kLongestUserWords).value_or(std::string());
        for (size_t at = 0; at < words.size();) {
            size_t end = words.find('\n', at);
            if (end == std::string::npos) end = words.size();
            const std::string_view word(words.data() + at, end - at);
            if (IsWordToKeep(word)) speller->Accept(word);
            at = end + 1;
        }
        return speller;
    }
    std::string where;
    for (const std::string& folder : folders) where += (where.empty() ? "" : " or ") + folder;
    error = "no " + language + " dictionary (" + language + ".aff and .dic) in " + where +
            "; on Debian it comes with the hunspell-" +
            (language.starts_with("en") ? std::string("en-us") : language.substr(0, 2)) +
            " package";
    return nullptr;
}

bool HunspellSpeller::Knows(std::string_view word) const {
    return word.size() > kLongestWord || hunspell_->spell(std::string(word));
}

std::vector<std::string> HunspellSpeller::Suggest(std::string_view word) const {
    if (word.size() > kLongestWord) return {};
    return hunspell_->suggest(std::string(word));
}

void HunspellSpeller::Accept(std::string_view word) {
    if (IsWordToKeep(word)) hunspell_->add(std::string(word));
}

std::string HunspellSpeller::AddToUserWords(std::string_view word) {
    if (!IsWordToKeep(word)) return "not a word to keep";
    Accept(word);
    const std::string folder = ConfigFolder();
    std::string problem = MakeOwnFolder(folder);
    if (!problem.empty()) return folder + ": " + problem;
    const std::string path = UserWordsPath(language_);
    std::optional<std::string> read = ReadOwnFile(path, kLongestUserWords);
    struct stat st {};
    // A file there that cannot be read is not replaced by one word.
    if (!read && ::lstat(path.c_str(), &st) == 0)
        return path + ": not a regular file of at most 4 MiB; the word is not added";
    std::string words = read.value_or(std::string());
    if (!words.empty() && words.back() != '\n') words += '\n';
    words.append(word);
    words += '\n';
    ReplacingFile file;
    if (!file.Open(path, ReplacingFile::Kind::Private) || !file.Output().Write(words) ||
        !file.Commit()) {
        return path + ": " + (file.Error().empty() ? file.Output().Error() : file.Error());
    }
    return {};
}

}  // namespace vantrel
