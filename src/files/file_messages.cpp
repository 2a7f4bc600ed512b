#include "files/file_messages.h"

#include <cstdio>

#include "codec/charset.h"
#include "files/timecode.h"

namespace vantrel {

namespace {

constexpr size_t kListedStarts = 10;

std::string WithReason(std::string text, const std::string& reason) {
    if (!reason.empty()) text += "\n\n" + reason;
    return text;
}

}  // namespace

std::string ErrorOpeningFileText(const std::string& path) {
    return "Error opening file " + path;
}

std::string ErrorSavingFileText(const std::string& path) {
    return "Error saving file " + path;
}

std::string ErrorOpeningFileText(const std::string& path, const std::string& reason) {
    return WithReason(ErrorOpeningFileText(path), reason);
}

std::string ErrorSavingFileText(const std::string& path, const std::string& reason) {
    return WithReason(ErrorSavingFileText(path), reason);
}

std::string SkippedDataText(const std::string& path, const SkippedData& skipped,
                            const CaptionFileData& read) {
    std::string items;
    auto item = [&](size_t count, const char* one, const char* many, int64_t first,
                    const std::string& why) {
        if (count == 0) return;
        items += "\n" + std::to_string(count) + " " + (count == 1 ? one : many) +
                 ", the first at " + FormatTimecode(first) + " (" + why + ")";
    };
    item(skipped.directCodes, "roll-up or paint-on code", "roll-up and paint-on codes",
         skipped.firstDirectFrame,
         "only pop-on captions are made; the text these codes put on the screen is in none");
    item(skipped.otherChannelPairs, "pair of caption channel 2", "pairs of caption channel 2",
         skipped.firstOtherChannelFrame, "only channel 1 is read");
    const std::string limit = "timecodes past " + FormatTimecode(kMaxReadFrame) + " are not read";
    item(read.linesBeyondLimit, "line", "lines", read.firstLineBeyondLimit, limit);
    if (read.truncated) {
        items += "\nthe pairs from " + FormatTimecode(kMaxReadFrame + 1) + " on (" + limit + ")";
    }
    if (items.empty()) return {};
    return "Not imported from " + path + items;
}

std::string NotAProjectText(const std::string& path) {
    return "File " + path + " is not a caption project";
}

std::string DamagedProjectText(const std::string& path) {
    return "File " + path + " is a damaged caption project";
}

std::string RecordsOutOfRangeText(const std::string& path, size_t records) {
    return std::to_string(records) + (records == 1 ? " caption" : " captions") + " of " + path +
           (records == 1 ? " was" : " were") + " left out: frames must lie from " +
           FormatTimecode(0) + " to " + FormatTimecode(kMaxEncodedFrame);
}

std::string SkippedSubtitleBlocksText(const std::string& path, size_t blocks) {
    return std::to_string(blocks) + (blocks == 1 ? " block" : " blocks") + " of " + path +
           (blocks == 1 ? " has" : " have") + " no readable time line and " +
           (blocks == 1 ? "was" : "were") + " left out";
}

std::string UnshownCharactersText(const std::string& path, size_t count, char32_t first,
                                  int64_t frame) {
    std::string name = "a malformed UTF-8 sequence";
    if (first != kMalformed) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(first));
        name = code;
    }
    return std::to_string(count) + (count == 1 ? " character" : " characters") + " of " + path +
           (count == 1 ? " has" : " have") + " no form on a caption screen and " +
           (count == 1 ? "was" : "were") + " left out; the first, " + name + ", is in the cue at " +
           FormatTimecode(frame);
}

std::string NoSubtitlesText(const std::string& path) {
    return "File " + path + " contains no subtitle to show";
}

std::string LeftOutCaptionsText(const std::vector<const Caption*>& leftOut) {
    const size_t n = leftOut.size();
    if (n == 0) return {};
    std::string text = std::to_string(n);
    text += n == 1 ? " caption could not be encoded in time and was left out. It starts at "
                   : " captions could not be encoded in time and were left out. They start at ";
    const size_t listed = n < kListedStarts ? n : kListedStarts;
    for (size_t k = 0; k < listed; ++k) {
        if (k > 0) text += (k + 1 == listed && listed == n) ? " and " : ", ";
        text += FormatTimecode(leftOut[k]->startFrame);
    }
    if (listed < n) text += " and " + std::to_string(n - listed) + " more";
    text += '.';
    return text;
}

std::string CaptionsPastTheEndText(size_t count, int64_t firstStart, int64_t lastPicture) {
    const bool one = count == 1;
    std::string text = std::to_string(count) + (one ? " caption" : " captions");
    if (lastPicture < 0) {
        text += one ? " was" : " were";
        text += " left out: the video has no group of pictures to carry captions.";
    } else {
        text += one ? " starts" : " start";
        text += " at or after the last picture of the video (" + FormatTimecode(lastPicture) +
                ") and " + (one ? "was" : "were") + " left out.";
    }
    text += (one ? " It starts at " : " The first starts at ") + FormatTimecode(firstStart) + '.';
    return text;
}

std::string NotAVideoStreamText(const std::string& path, std::string_view what) {
    return "File " + path + " is not an MPEG-2 video elementary stream (" + std::string(what) +
           "); captions can be multiplexed only into such a stream";
}

std::string ListNotWrittenText(const std::string& reason) {
    return "the list could not be written to standard output: " + reason;
}

std::string NotRecognizedText(const std::string& path, std::string_view extension) {
    std::string text = "File " + path + " is not a ";
    if (extension == "scc") {
        text += "Scenarist closed-caption file (its first line must begin with \"Scenarist_SCC \")";
    } else if (extension == "ccd") {
        text +=
            "caption disassembly file (its first line must begin with \"SCC_disassembly \", "
            "and a second line must follow)";
    } else if (extension == "vtt") {
        text += "WebVTT file (its first line must begin with \"WEBVTT\")";
    } else if (extension == "srt") {
        text += "SubRip file";
    } else {
        text += "raw caption pair file (it is shorter than its 4-byte header)";
    }
    return text;
}

std::string FileTooLargeText(const std::string& path, int64_t limit) {
    return "File " + path + " is larger than " + std::to_string(limit >> 20) +
           " MiB and was not read";
}

std::string StoppedText(const std::string& what) {
    return "stopped: " + what + "; nothing was written";
}

std::string UnknownFormatText(const std::string& direction) {
    return "cannot " + direction + " this format (see vantrel-cc --help)";
}

}  // namespace vantrel
