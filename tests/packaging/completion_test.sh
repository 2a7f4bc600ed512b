#!/usr/bin/env bash
# The bash completion of vantrel-cc, as a user's Tab sees it in a folder of caption and video
# files: commands, options and their choices, and for each file the kinds that place takes.
set -u
script=$1
source "$script"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"
touch in.scc IN.SRT notes.xyz src.mp4 src.m2v out.txt out.ts
mkdir shows
failed=0

# complete LINE: what Tab offers at the end of LINE (a trailing space starts a new word).
complete_line() {
    read -ra COMP_WORDS <<< "$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _vantrel_cc vantrel-cc
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

expect() {
    local name=$1 line=$2 want=$3 got
    got=$(complete_line "$line")
    if [[ $got != "$want" ]]; then
        echo "FAILED $name: '$line' offers '$got', expected '$want'"
        failed=1
    fi
}

expect "commands, each once"      "vantrel-cc c"                         "check convert"
expect "every command"            "vantrel-cc "                          "--help align check convert list mux"
expect "a transcript is any file" "vantrel-cc align n"                   "notes.xyz"
expect "the video timed to"       "vantrel-cc align in.scc s"            "shows src.m2v src.mp4"
expect "an input takes captions"  "vantrel-cc convert "                  "IN.SRT in.scc out.ts shows src.m2v src.mp4"
expect "a written format"         "vantrel-cc convert in.scc o"          "out.txt"
expect "options of check"         "vantrel-cc check --"                  "--drop-frame --jobs --json --junit --language --profile"
expect "a joined value"           "vantrel-cc list --roll"               "--roll-up="
expect "the carrier's choices"    "vantrel-cc mux --carrier "            "a53 c608 dvd"
expect "a channel is typed"       "vantrel-cc list --channel "           ""
expect "past an option's value"   "vantrel-cc mux --channel 2 in.scc s"  "shows src.m2v src.mp4"
expect "the video written"        "vantrel-cc mux in.scc src.mp4 o"      "out.ts"
expect "nothing past the last"    "vantrel-cc list in.scc "              ""
expect "a profile is any file"    "vantrel-cc check --profile n"         "notes.xyz"
expect "a batch's formats"        "vantrel-cc convert --to s"            "scc smpte-tt srt"
expect "a batch goes to a folder" "vantrel-cc convert --out-dir s"       "shows"
expect "options of both forms"    "vantrel-cc convert --o"               "--out-dir"
expect "many files to check"      "vantrel-cc check in.scc IN.SRT "      "IN.SRT in.scc out.ts shows src.m2v src.mp4"
expect "a report is any file"     "vantrel-cc check --junit n"           "notes.xyz"
expect "a form's last line"       "vantrel-cc mux --roll"                "--roll-up="
exit $failed
