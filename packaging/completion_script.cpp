// Prints the bash completion of vantrel-cc: its commands and options as its help names them, and
// for each place a file goes, the extensions the format table gives that place. Run at build
// time, so the completion never falls behind the program.
#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_commands.h"
#include "files/caption_formats.h"

namespace {

using namespace vantrel;

struct Option {
    std::string name;      // with its '=' when the value is joined to it
    std::string argument;  // the placeholder or the choices; empty for a switch
    bool joined = false;
};

struct Command {
    std::string name;
    std::vector<std::string> places;  // the file placeholders in order
    std::string rest;                 // the placeholder every later file takes ("FILES...")
    std::vector<Option> options;
};

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < line.size()) {
        const size_t start = line.find_first_not_of(' ', at);
        if (start == std::string_view::npos) break;
        const size_t end = std::min(line.find(' ', start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

void AddOption(Command& command, const Option& option) {
    for (const Option& o : command.options)
        if (o.name == option.name) return;
    command.options.push_back(option);
}

// A command's forms are merged: the options of all, the files of its first form, and the
// repeated placeholder of any for the files past those.
void AddForm(Command& command, const std::vector<std::string_view>& words, size_t k) {
    std::vector<std::string> places;
    for (; k < words.size(); ++k) {
        std::string_view w = words[k];
        const bool opens = w.starts_with("[");
        const bool closes = w.ends_with("]");
        if (opens) w.remove_prefix(1);
        if (closes) w.remove_suffix(1);
        if (w.starts_with("--")) {
            Option option;
            const size_t equals = w.find('=');
            option.joined = equals != std::string_view::npos;
            option.name = std::string(w.substr(0, option.joined ? equals + 1 : w.size()));
            if (option.joined) {
                option.argument = std::string(w.substr(equals + 1));
            } else if (k + 1 < words.size() && opens != closes) {
                // [--name VALUE]: the value closes the bracket.
                std::string_view value = words[++k];
                if (value.ends_with("]")) value.remove_suffix(1);
                option.argument = std::string(value);
            } else if (!opens && k + 1 < words.size() && !words[k + 1].starts_with("-") &&
                       !words[k + 1].starts_with("[")) {
                option.argument = std::string(words[++k]);  // --name VALUE, not optional
            }
            AddOption(command, option);
        } else if (!opens) {
            places.emplace_back(w);
        }
    }
    if (!places.empty() && places.back().ends_with("...")) {
        command.rest = places.back().substr(0, places.back().size() - 3);
        places.pop_back();
    }
    for (size_t i = command.places.size(); i < places.size(); ++i)
        command.places.push_back(places[i]);
}

// The usage lines are those before the first blank line; one that does not name the program
// goes on the line before.
std::vector<Command> Commands(std::string_view usage) {
    usage = usage.substr(0, usage.find("\n\n"));
    std::vector<Command> commands;
    size_t current = 0;  // the command of the line before
    for (size_t at = 0; at < usage.size();) {
        const size_t end = std::min(usage.find('\n', at), usage.size());
        const std::vector<std::string_view> words = Words(usage.substr(at, end - at));
        at = end + 1;
        size_t k = 0;
        while (k < words.size() && words[k] != "vantrel-cc") ++k;
        if (k == words.size()) {  // a line that goes on the one before
            if (current < commands.size()) AddForm(commands[current], words, 0);
            continue;
        }
        if (k + 1 == words.size() || words[k + 1].starts_with("-")) {  // --help
            current = commands.size();
            continue;
        }
        const std::string name(words[k + 1]);
        auto same = std::find_if(commands.begin(), commands.end(),
                                 [&](const Command& c) { return c.name == name; });
        if (same == commands.end())
            same = commands.insert(commands.end(), Command{name, {}, {}, {}});
        current = static_cast<size_t>(same - commands.begin());
        AddForm(*same, words, k + 2);
    }
    return commands;
}

// The extensions a file placeholder takes: what the converter reads, what it writes, or video.
std::string Extensions(const std::string& place, const Command& command) {
    const bool videoCommand = command.name == "mux";
    std::set<std::string> extensions;
    for (const CaptionFormat& f : CaptionFormats()) {
        const bool video = f.kind == FormatKind::Video || f.kind == FormatKind::Mpeg2;
        bool takes = false;
        if (place == "INPUT" || place == "CAPTIONS" || place == "FILES") takes = f.reads;
        if (place == "OUTPUT") takes = videoCommand ? video : f.writes;
        if (place == "SOURCE" || place == "VIDEO") takes = video;
        if (!takes) continue;
        std::string_view rest = f.extensions;
        for (std::string_view e : Words(rest)) extensions.emplace(e);
    }
    std::string joined;
    for (const std::string& e : extensions) joined += (joined.empty() ? "" : " ") + e;
    return joined;
}

// Choices written a|b|c in lower case are offered; a placeholder in capitals is a value the user
// types, or a file where it says FILE.
std::string Choices(const std::string& argument) {
    if (argument.empty() ||
        argument.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string::npos)
        return {};
    std::string words = argument;
    for (char& c : words) c = c == '|' ? ' ' : c;
    return words;
}

// The names of the formats written, as a FORMAT value takes them.
std::string FormatNames() {
    std::string names = OutputNames();
    std::erase(names, ',');
    return names;
}

void PrintOptionArguments(const std::vector<Command>& commands) {
    std::set<std::string> done;
    std::puts("    case \"$prev\" in");
    for (const Command& command : commands) {
        for (const Option& o : command.options) {
            if (o.joined || o.argument.empty() || !done.insert(o.name).second) continue;
            const std::string choices = Choices(o.argument);
            if (!choices.empty())
                std::printf("        %s) COMPREPLY=($(compgen -W \"%s\" -- \"$cur\")); return ;;\n",
                            o.name.c_str(), choices.c_str());
            else if (o.argument == "FORMAT")
                std::printf("        %s) COMPREPLY=($(compgen -W \"%s\" -- \"$cur\")); return ;;\n",
                            o.name.c_str(), FormatNames().c_str());
            else if (o.argument == "DIR")
                std::printf(
                    "        %s) compopt -o filenames 2>/dev/null\n"
                    "            COMPREPLY=($(compgen -d -- \"$cur\")); return ;;\n",
                    o.name.c_str());
            else if (o.argument.find("FILE") != std::string::npos)
                std::printf("        %s) _vantrel_cc_files \"\" \"\"; return ;;\n", o.name.c_str());
            else
                std::printf("        %s) COMPREPLY=(); return ;;\n", o.name.c_str());
        }
    }
    std::puts("    esac");
}

void PrintScript(const std::vector<Command>& commands) {
    std::puts("# bash completion for vantrel-cc (made from its help and its format table)");
    // Files with one of the extensions given (any case) and folders; all files when none is.
    std::puts(R"(_vantrel_cc_files() {
    local exts=" $1 " extra=$2 f e
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -W "$extra" -- "$cur"))
    while IFS= read -r f; do
        e=${f##*.}
        if [[ -d $f || -z $1 || ( $f == *.* && $exts == *" ${e,,} "* ) ]]; then
            COMPREPLY+=("$f")
        fi
    done < <(compgen -f -- "$cur")
})");
    std::puts("_vantrel_cc() {");
    std::puts("    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}");
    std::string names;
    for (const Command& c : commands) names += c.name + " ";
    std::printf(
        "    if (( COMP_CWORD == 1 )); then\n"
        "        COMPREPLY=($(compgen -W \"%s--help\" -- \"$cur\")); return\n"
        "    fi\n",
        names.c_str());
    PrintOptionArguments(commands);
    std::puts("    local opts takes places more rest");
    std::puts("    case ${COMP_WORDS[1]} in");
    for (const Command& c : commands) {
        std::string opts, takes;
        for (const Option& o : c.options) {
            opts += (opts.empty() ? "" : " ") + o.name;
            if (!o.joined && !o.argument.empty()) takes += " " + o.name + " ";
        }
        std::printf("        %s) opts=\"%s\" takes=\"%s\"\n           places=(", c.name.c_str(),
                    opts.c_str(), takes.c_str());
        for (const std::string& p : c.places) std::printf(" \"%s\"", Extensions(p, c).c_str());
        std::printf(" ) more=%d rest=\"%s\" ;;\n", c.rest.empty() ? 0 : 1,
                    Extensions(c.rest, c).c_str());
    }
    std::puts("        *) return ;;\n    esac");
    std::puts(R"(    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$opts" -- "$cur"))
        [[ ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2>/dev/null
        return
    fi
    # Which file this is: the words before it that are neither options nor their values.
    local k place=0
    for (( k = 2; k < COMP_CWORD; k++ )); do
        if [[ ${COMP_WORDS[k]} == -* ]]; then
            [[ $takes == *" ${COMP_WORDS[k]} "* ]] && (( k++ ))
        else
            (( place++ ))
        fi
    done
    if (( place < ${#places[@]} )); then
        _vantrel_cc_files "${places[place]}" ""
    elif (( more )); then
        _vantrel_cc_files "$rest" ""
    fi
}
complete -F _vantrel_cc vantrel-cc)");
}

}  // namespace

int main() {
    PrintScript(Commands(cli::UsageText()));
    return 0;
}
