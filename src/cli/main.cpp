// vantrel-cc: converts caption files and projects from the command line with the same
// operations as the window.
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "cli/batch_commands.h"
#include "cli/cli_commands.h"
#include "files/file_messages.h"

using namespace vantrel::cli;
using vantrel::TimecodeStyle;

namespace {

// The file a failure is about: the first file named (the input).
void Failed(const std::vector<std::string>& files, const std::string& text) {
    const std::string subject = files.empty() ? std::string() : files[0] + ": ";
    std::fprintf(stderr, "vantrel-cc: %s%s\n", subject.c_str(), text.c_str());
}

int Usage(const char* problem) {
    if (problem) std::fprintf(stderr, "vantrel-cc: %s\n\n", problem);
    std::fputs(UsageText().c_str(), stderr);
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(UsageText().c_str(), stdout);
        return kExitSuccess;
    }
    if (argc < 2) return Usage("no command given");
    const std::string command = argv[1];
    // The options may stand anywhere after the command.
    std::vector<std::string> files;
    TimecodeStyle style = TimecodeStyle::NonDropFrame;
    std::string carrier;
    vantrel::DecodeOptions decode;
    bool decodeGiven = false;
    bool json = false;
    const char* profile = nullptr;
    const char* language = nullptr;  // a dictionary for check, a 708 service's language else
    vantrel::WriteOptions write;
    std::string formatName;
    bool convertOnly = false;  // an option only convert takes
    bool writeGiven = false;
    BatchOptions batch;
    const vantrel::PictureRate* inputRate = nullptr;
    for (int k = 2; k < argc; ++k) {
        const std::string arg = argv[k];
        std::string problem;
        if (ParseBatchOption(argc, argv, k, batch, problem)) {
            if (!problem.empty()) return Usage(problem.c_str());
        } else if (arg == "--drop-frame") {
            style = TimecodeStyle::DropFrame;
        } else if (std::strcmp(argv[k], "--carrier") == 0) {
            if (k + 1 >= argc) return Usage("--carrier takes dvd, a53 or c608");
            carrier = argv[++k];
            if (carrier != "dvd" && carrier != "a53" && carrier != "c608") {
                return Usage("--carrier takes dvd, a53 or c608");
            }
        } else if (arg == "--channel" || arg.starts_with("--channel=")) {
            std::string value = arg.size() > 9 ? arg.substr(10) : "";
            if (arg == "--channel") value = k + 1 < argc ? argv[++k] : "";
            if (value.size() != 1 || value[0] < '1' || value[0] > '4') {
                return Usage("--channel takes 1, 2, 3 or 4");
            }
            decode.channel = value[0] - '0';
            decodeGiven = true;
        } else if (arg.starts_with("--roll-up=")) {
            const std::string value = arg.substr(10);
            if (value == "lines") {
                decode.rollUp = vantrel::RollUpStyle::Lines;
            } else if (value == "screens") {
                decode.rollUp = vantrel::RollUpStyle::Screens;
            } else if (value == "skip") {
                decode.rollUp = vantrel::RollUpStyle::Skip;
            } else {
                return Usage("--roll-up takes lines, screens or skip");
            }
            decodeGiven = true;
        } else if (arg == "--format") {
            if (++k == argc) return Usage("--format takes the NAME of an output format");
            formatName = argv[k];
            convertOnly = true;
        } else if (arg == "--srt-plain") {
            write.plainSubRip = true;
            convertOnly = true;
        } else if (arg == "--vtt-style") {
            write.webVttStyle = true;
            convertOnly = true;
        } else if (arg == "--aspect") {
            const std::string value = ++k < argc ? argv[k] : "";
            if (value != "4:3" && value != "16:9") return Usage("--aspect takes 4:3 or 16:9");
            write.widescreen = value == "16:9";
            convertOnly = true;
        } else if (arg == "--service" || arg.starts_with("--service=")) {
            std::string value = arg.size() > 9 ? arg.substr(10) : "";
            if (arg == "--service") value = k + 1 < argc ? argv[++k] : "";
            const int n = value.size() >= 1 && value.size() <= 2 &&
                                  value.find_first_not_of("0123456789") == std::string::npos
                              ? std::stoi(value)
                              : 0;
            if (n < 1 || n > 63) return Usage("--service takes a 708 service number, 1 to 63");
            decode.service = n;
            decodeGiven = true;
        } else if (arg == "--no-708") {
            write.write708 = false;
            writeGiven = true;
        } else if (arg == "--language") {
            if (++k == argc) return Usage("--language takes a language");
            language = argv[k];
        } else if (arg == "--rate" || arg == "--input-rate") {
            const vantrel::PictureRate* rate =
                vantrel::PictureRateNamed(k + 1 < argc ? argv[++k] : "");
            if (!rate) {
                return Usage((arg + " takes " + vantrel::PictureRateNames()).c_str());
            }
            if (arg == "--rate") write.rate = rate;
            if (arg == "--input-rate" || !inputRate) inputRate = rate;
            decodeGiven = true;
        } else if (std::strcmp(argv[k], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[k], "--profile") == 0) {
            if (++k == argc) return Usage("--profile takes a NAME or a FILE");
            profile = argv[k];
        } else {
            files.emplace_back(arg);
        }
    }
    if (style == TimecodeStyle::DropFrame && command != "convert" && command != "list" &&
        command != "check") {
        return Usage("--drop-frame goes with convert, list and check");
    }
    if (!carrier.empty() && command != "mux") return Usage("--carrier goes with mux");
    if (decodeGiven && command != "convert" && command != "list" && command != "mux") {
        return Usage("--channel, --service, --roll-up and the rates go with convert, list and mux");
    }
    // check spells in the language of a dictionary (en_US); .mcc output names it in ISO 639-2.
    if (language != nullptr && command != "check") {
        const std::string code = language;
        if (code.size() != 3 ||
            code.find_first_not_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos) {
            return Usage("--language takes a three-letter ISO 639-2 code such as eng");
        }
        write.language = code;
        writeGiven = true;
    }
    if (writeGiven && command != "convert" && command != "mux") {
        return Usage("--no-708 goes with convert and mux");
    }
    if ((json || profile) && command != "check") return Usage("--json and --profile go with check");
    if (const std::string misuse = BatchMisuse(command, batch, json); !misuse.empty()) {
        return Usage(misuse.c_str());
    }
    if (const std::string misuse = StreamMisuse(command, batch, files); !misuse.empty()) {
        return Usage(misuse.c_str());
    }
    if (convertOnly && command != "convert")
        return Usage("--format, --aspect, --srt-plain and --vtt-style go with convert");
    if (style == TimecodeStyle::DropFrame && !write.rate->dropFrame)
        return Usage("--drop-frame labels are those of 29.97 video only");
    if (!inputRate) inputRate = &vantrel::kCaptionRate;
    // The commands write their output only once it is complete, so a failure that ends one
    // anywhere leaves nothing behind; it ends here with one line and status 1.
    // The dictionary is read once, before any file.
    std::unique_ptr<vantrel::HunspellSpeller> speller;
    if (language != nullptr && command == "check" && !(speller = SpellerFor(language)))
        return kExitUsage;
    try {
        if (IsBatch(command, batch, files.size())) {
            if (files.empty()) return Usage("no INPUT file given");
            write.style = style;
            return command == "convert" ? RunConvertEach(files, batch, write, decode, *inputRate)
                                        : RunCheckEach(files, batch, profile ? profile : "", json,
                                                       style, speller.get());
        }
        if (command == "convert") {
            if (files.size() != 2) return Usage("convert takes an INPUT and an OUTPUT file");
            write.style = style;
            return RunConvert(files[0], files[1], write, decode,
                              {batch.from, formatName.empty() ? batch.to : formatName}, *inputRate);
        }
        if (command == "mux") {
            if (files.size() != 3) {
                return Usage("mux takes a CAPTIONS file, a SOURCE and an OUTPUT stream");
            }
            return RunMux(files[0], files[1], files[2], carrier, decode, write, *inputRate);
        }
        if (command == "check") {
            if (files.size() != 1) return Usage("check takes one INPUT file");
            return RunCheck(files[0], profile ? profile : "",
                            json ? CheckPrint::Json : CheckPrint::Lines, style, batch.from,
                            speller.get());
        }
        if (command == "align") {
            if (files.size() != 3) {
                return Usage("align takes a TRANSCRIPT or CAPTIONS file, a VIDEO and an OUTPUT");
            }
            return RunAlign(files[0], files[1], files[2]);
        }
        if (command == "list") {
            if (files.size() != 1) return Usage("list takes one INPUT file");
            return RunList(files[0], style, decode, batch.from, *inputRate);
        }
    } catch (const std::bad_alloc&) {
        Failed(files, std::string(vantrel::kOutOfMemoryText));
        return kExitFailed;
    } catch (const std::exception& e) {
        Failed(files, vantrel::StoppedText(e.what()));
        return kExitFailed;
    }
    return Usage(("unknown command '" + command + "'").c_str());
}
