#include "files/file_messages.h"

#include <bit>
#include <cstdio>
#include <functional>

#include "codec/charset.h"
#include "codec/encoder.h"
#include "files/caption_formats.h"
#include "files/project_file.h"
#include "files/timecode.h"

namespace vantrel {

namespace {

constexpr size_t kListedStarts = 10;

// "A, B and C." for the first kListedStarts of `n` captions, then "and N more".
void AppendListedStarts(std::string& text, size_t n,
                        const std::function<std::string(size_t)>& start) {
    const size_t listed = n < kListedStarts ? n : kListedStarts;
    for (size_t k = 0; k < listed; ++k) {
        if (k > 0) text += (k + 1 == listed && listed == n) ? " and " : ", ";
        text += start(k);
    }
    if (listed < n) text += " and " + std::to_string(n - listed) + " more";
    text += '.';
}

std::string WithReason(std::string text, const std::string& reason) {
    if (!reason.empty()) text += "\n\n" + reason;
    return text;
}

}  // namespace

std::string CannotStartText(std::string_view operation, const std::string& reason) {
    return std::string(operation) + " cannot start: " + reason + ".\nNothing was done.";
}

std::string OperationFailedText(std::string_view operation, const std::string& reason) {
    return std::string(operation) + " could not be completed: " + reason +
           ".\nThe project is as it was before.";
}

std::string ErrorOpeningFileText(const std::string& path) {
    return "Error opening file " + path;
}

std::string EmbeddingTitle(const std::string& outputPath) {
    const size_t slash = outputPath.rfind('/');
    return "Embedding captions into " +
           (slash == std::string::npos ? outputPath : outputPath.substr(slash + 1));
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

std::string VideoModuleMissingText(std::string_view name, const std::vector<std::string>& tried,
                                   const std::string& reason) {
    std::string places;
    for (const std::string& place : tried) places += (places.empty() ? "" : ", ") + place;
    std::string text = "video files are read and written by " + std::string(name) + ", which " +
                       (reason.empty() ? "is not installed" : "could not be loaded") +
                       " (looked for at " + places + ")";
    return reason.empty() ? text : text + ": " + reason;
}

std::string SkippedDataText(const std::string& path, const SkippedData& skipped,
                            const CaptionFileData& read) {
    // The channel read: the one beside the other channel of its field.
    const int ours =
        skipped.otherChannel % 2 == 0 ? skipped.otherChannel - 1 : skipped.otherChannel + 1;
    std::string items;
    auto item = [&](size_t count, const char* one, const char* many, const std::string& where,
                    const std::string& why) {
        if (count == 0) return;
        items += "\n" + std::to_string(count) + " " + (count == 1 ? one : many) + ", the first " +
                 where + " (" + why + ").";
    };
    // Where the first of a kind of line is: its line number, and its timecode when given.
    auto at = [](const LineTally& t, bool frame) {
        std::string where = t.firstLine == 0 ? "" : "on line " + std::to_string(t.firstLine);
        if (frame) where += (where.empty() ? "at " : " at ") + FormatTimecode(t.firstFrame);
        return where;
    };
    auto lines = [&](const LineTally& t, bool frame, const char* one, const char* many,
                     const std::string& why) { item(t.count, one, many, at(t, frame), why); };
    item(skipped.directCodes, "roll-up code", "roll-up codes",
         "at " + FormatTimecode(skipped.firstDirectFrame),
         "roll-up captions were to be left out; the text these codes put on the screen is in "
         "none");
    const std::string other = "caption channel " + std::to_string(skipped.otherChannel);
    item(skipped.otherChannelPairs, ("pair of " + other).c_str(), ("pairs of " + other).c_str(),
         "at " + FormatTimecode(skipped.firstOtherChannelFrame),
         "only channel " + std::to_string(ours) + " is read");
    item(skipped.textModePairs, "pair of text mode", "pairs of text mode",
         "at " + FormatTimecode(skipped.firstTextModeFrame), "text mode carries no captions");
    item(skipped.clippedCharacters, "character past column 32", "characters past column 32",
         "at " + FormatTimecode(skipped.firstClippedFrame),
         "a row holds 32 characters; the rest of the row was clipped");
    lines(read.unreadableLines, false, "unreadable line", "unreadable lines",
          "a line must begin with a timecode hh:mm:ss:ff or hh:mm:ss;ff, minutes and seconds "
          "below 60");
    lines(read.linesOutOfOrder, true, "line out of order", "lines out of order",
          "a line must not start before the timecode of the line before it");
    const std::string limit = "timecodes past " + FormatTimecode(kMaxReadFrame) + " are not read";
    lines(read.linesBeyondLimit, true, "line", "lines", limit);
    lines(read.unknownTokens, false, "unknown token", "unknown tokens",
          "no code has that name; read as a null pair");
    lines(read.nulBytes, false, "NUL byte", "NUL bytes", "no character of the text");
    const CharacterTally& uncoded = read.charactersWithoutCode;
    std::string named;
    for (const char32_t c : uncoded.named) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        named += (named.empty() ? "" : ", ") + std::string(code);
        if (c >= 0x20 && c != 0xFFFD) AppendUtf8(named += ' ', c);
    }
    if (uncoded.moreKinds) named += " and others";
    item(uncoded.count, "character without a 608 code", "characters without a 608 code",
         "on line " + std::to_string(uncoded.firstLine), named + "; read as null bytes");
    lines(read.badChecksums, true, "packet with a wrong checksum or length",
          "packets with a wrong checksum or length", "its pairs were left out");
    if (read.truncated) {
        items += "\nThe pairs from " + FormatTimecode(kMaxReadFrame + 1) + " on (" + limit + ").";
    }
    std::string text;
    if (!items.empty()) text = "Not imported from " + path + ":" + items;

    // What was read, but by a guess.
    items.clear();
    lines(read.oddWords, false, "word that is not four hexadecimal digits",
          "words that are not four hexadecimal digits", "read as far as the digits go");
    lines(read.highFrameNumbers, true, "timecode with a frame number of 30 or more",
          "timecodes with a frame number of 30 or more",
          "a second has frames 00 to 29; the frame number was counted on into the next second");
    lines(read.queuedLines, true, "line whose timecode falls inside the pairs before it",
          "lines whose timecodes fall inside the pairs before them",
          "its pairs were sent after those before it, as a receiver fed them shows them");
    lines(FieldOfChannel(ours) == 2 ? read.field2BadParity : read.badParity, true,
          "pair with bad parity", "pairs with bad parity",
          "read as if the parity were right; a receiver may show a block there or nothing");
    item(skipped.flashErases, "erase right after its caption's end-of-caption code",
         "erases right after their caption's end-of-caption code",
         "at " + FormatTimecode(skipped.firstFlashEraseFrame),
         "a receiver shows such a caption for one frame, a flash; it was kept up to the next "
         "code that ends it");
    // The file is named once: in the paragraph before, when there is one.
    if (!items.empty()) {
        text += text.empty() ? "Read from " + path + " by guessing:" : "\n\nRead by guessing:";
        text += items;
    }
    return text;
}

std::string Read708Text(const std::string& path, int channel, int service,
                        const dtvcc::ServiceReport& report) {
    std::string text = "Imported from " + path + "\nno 608 captions on channel " +
                       std::to_string(channel) + ": " + std::to_string(report.captions) +
                       (report.captions == 1 ? " caption was" : " captions were") +
                       " read from 708 service " + std::to_string(service);
    auto item = [&](const dtvcc::ServiceReport::Tally& t, const char* what) {
        if (t.count == 0) return;
        text.append("\n").append(std::to_string(t.count)).append(" ").append(what);
        text.append(", the first at ").append(FormatTimecode(t.firstFrame));
    };
    item(report.tallCaptions, "of more than 4 rows (608 captions have up to 4)");
    item(report.styles,
         "pen settings 608 lacks (size, font, offset, edges, opacity): the text "
         "kept in 608's nearest colours");
    return text;
}

std::string Lost708Text(const std::string& path, const dtvcc::ServiceReport& report) {
    std::string items;
    auto item = [&](const dtvcc::ServiceReport::Tally& t, const char* what) {
        if (t.count == 0) return;
        items.append("\n").append(std::to_string(t.count)).append(" ").append(what);
        items.append(", the first at ").append(FormatTimecode(t.firstFrame));
    };
    item(report.clippedCharacters, "characters past the 32 columns or 15 rows of the screen");
    item(report.unknownCodes, "codes of 708 sets that 608 has no character for");
    return items.empty() ? std::string() : "Not imported from " + path + items;
}

std::string HeldServicesText(const std::string& path, const HeldServices& held,
                             const std::string& read) {
    if (HeldCount(held) <= 1) return {};
    std::string channels, services;
    for (int n = 1; n <= kChannelCount; ++n) {
        if (held.channels & (1u << (n - 1)))
            channels += (channels.empty() ? "608 CC" : ", CC") + std::to_string(n);
    }
    for (int n = 1; n < 64; ++n) {
        if (held.services & (uint64_t{1} << n))
            services += (services.empty() ? "" : ", ") + std::to_string(n);
    }
    if (!services.empty()) {
        const bool one = std::has_single_bit(held.services);
        services = (one ? "708 service " : "708 services ") + services;
    }
    return "Imported from " + path + ":\nit holds " + channels +
           (channels.empty() || services.empty() ? "" : "; ") + services + "; " + read +
           " was read (--channel and --service read another).";
}

std::string MadeFromDataText(const std::string& path, const SkippedData& made) {
    std::string items;
    auto item = [&](size_t count, const char* one, const char* many, size_t captions) {
        if (count == 0) return;
        // Appended piece by piece: GCC 12 warns falsely on a literal + std::string chain here.
        items.append("\n").append(std::to_string(count)).append(" ");
        items.append(count == 1 ? one : many).append(" became ").append(std::to_string(captions));
        items.append(captions == 1 ? " pop-on caption." : " pop-on captions.");
    };
    if (made.rollUpScreens > 0) {
        item(made.rollUpScreens, "roll-up screen", "roll-up screens", made.rollUpCaptions);
    } else {
        item(made.rollUpLines, "roll-up line", "roll-up lines", made.rollUpCaptions);
    }
    item(made.paintOnCaptions, "paint-on screen", "paint-on screens", made.paintOnCaptions);
    return items.empty() ? std::string() : "Imported from " + path + ":" + items;
}

std::string ChannelNotCarriedText(const std::string& path, int channel) {
    return "Channel " + std::to_string(channel) + " is not in " + path +
           ": the format holds field 1 only, with channels 1 and 2; channels 3 and 4 are in "
           "field 2";
}

std::string NotAProjectText(const std::string& path) {
    return "File " + path + " is not a caption project";
}

std::string DamagedProjectText(const std::string& path) {
    return "File " + path + " is a damaged caption project";
}

std::string DamagedProjectText(const std::string& path, const ProjectDamage& damage) {
    using D = ProjectDamage;
    auto n = [](int64_t value) { return std::to_string(value); };
    std::string what;
    switch (damage.kind) {
        case D::None:
            return DamagedProjectText(path);
        case D::HeaderCut:
            return WithReason(DamagedProjectText(path), "The file ends inside its header.");
        case D::NegativePath:
            return WithReason(DamagedProjectText(path), "A path length in its header is negative.");
        case D::NegativeCount:
            return WithReason(DamagedProjectText(path),
                              "Its caption count, " + n(damage.value) + ", is negative.");
        case D::BytesAfterRecords:
            return path + "\n\nThe file goes on after " +
                   (damage.count == 0 ? "its header, which counts no caption record."
                                      : "its last caption record, " + n(damage.count) + " of " +
                                            n(damage.count) + ".");
        case D::EndsBeforeRecord:
            what = "the file ends before it";
            break;
        case D::EndsInsideRecord:
            what = "the file ends inside it";
            break;
        case D::RecordTooShort:
            what = "its length, " + n(damage.value) + " bytes, is less than the " +
                   n(kMinRecordSize) + " of a record";
            break;
        case D::BadTimingMode:
            what = "its timing mode, " + n(damage.value) + ", is not one of 1 to 4";
            break;
        case D::StartOutOfRange:
            what = "its start frame, " + n(damage.value) + ", lies outside 0 to " +
                   n(kMaxEncodedFrame);
            break;
        case D::EndBeforeStart:
            what = "its end frame, " + n(damage.value) + ", lies before its start frame, " +
                   n(damage.start);
            break;
        case D::EndOutOfRange:
            what = "its end frame, " + n(damage.value) + ", lies past " + n(kMaxCaptionEndFrame);
            break;
        case D::SameStart:
            what = "it starts on frame " + n(damage.value) + ", as record " + n(damage.earlier) +
                   " does";
            break;
    }
    return path + "\n\nCaption record " + n(damage.record) + " of " + n(damage.count) +
           " is damaged: " + what + ".";
}

std::string OpenReadableCaptionsQuestion(const ProjectDamage& damage, size_t captions) {
    const std::string count = captions == 1 ? "" : std::to_string(captions) + " ";
    const std::string noun = captions == 1 ? "caption" : "captions";
    const std::string what = damage.kind == ProjectDamage::BytesAfterRecords
                                 ? "its " + count + noun
                                 : "the " + count + noun + " before the damaged record";
    return "Open " + what + " as a new untitled project?";
}

std::string SkippedSubtitleBlocksText(const std::string& path, size_t blocks) {
    return std::to_string(blocks) + (blocks == 1 ? " block" : " blocks") + " of " + path +
           (blocks == 1 ? " has" : " have") + " no readable time line and " +
           (blocks == 1 ? "was" : "were") + " left out";
}

namespace {

// "N characters of PATH have no form on a caption screen and were left out; the first, U+XXXX,"
std::string UnshownStart(const std::string& path, size_t count, char32_t first) {
    std::string name = "a malformed UTF-8 sequence";
    if (first != kMalformed) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(first));
        name = code;
    }
    return std::to_string(count) + (count == 1 ? " character" : " characters") + " of " + path +
           (count == 1 ? " has" : " have") + " no form on a caption screen and " +
           (count == 1 ? "was" : "were") + " left out; the first, " + name + ",";
}

}  // namespace

std::string UnshownCharactersText(const std::string& path, size_t count, char32_t first,
                                  int64_t frame) {
    return UnshownStart(path, count, first) + " is in the cue at " + FormatTimecode(frame);
}

std::string UnshownTranscriptCharactersText(const std::string& path, size_t count, char32_t first,
                                            size_t line) {
    return UnshownStart(path, count, first) + " is on line " + std::to_string(line);
}

std::string NoTranscriptText(const std::string& path) {
    return "File " + path + " contains no text to caption";
}

std::string NoSubtitlesText(const std::string& path) {
    return "File " + path + " contains no subtitle to show";
}

std::string CuesOutOfOrderText(const std::string& path, size_t count, int64_t firstFrame) {
    const bool one = count == 1;
    return std::to_string(count) + (one ? " cue of " : " cues of ") + path +
           (one ? " starts" : " start") + " before the cue before " + (one ? "it" : "them") +
           (one ? ", at " : ", the first at ") + FormatTimecode(firstFrame) +
           "; the cues were put in time order";
}

std::string OverlappingCuesText(const std::string& path, size_t count, int64_t firstFrame) {
    const bool one = count == 1;
    return std::to_string(count) + (one ? " cue of " : " cues of ") + path +
           (one ? " starts" : " start") + " before the cue before " + (one ? "it" : "them") +
           " ends" + (one ? ", at " : ", the first at ") + FormatTimecode(firstFrame) +
           "; that cue ends where the next begins";
}

std::string CuesEndingBeforeStartText(const std::string& path, size_t count, size_t firstLine) {
    const std::string line = std::to_string(firstLine);
    if (count == 1) {
        return "1 cue of " + path + " ends before it starts, on line " + line +
               "; it was kept and ends one frame after its start";
    }
    return std::to_string(count) + " cues of " + path +
           " end before they start, the first on line " + line +
           "; they were kept and end one frame after their start";
}

std::string LeftOutCaptionsText(const std::vector<const Caption*>& leftOut) {
    const size_t n = leftOut.size();
    if (n == 0) return {};
    std::string text = std::to_string(n);
    text += n == 1 ? " caption could not be encoded in time and was left out. It starts at "
                   : " captions could not be encoded in time and were left out. They start at ";
    AppendListedStarts(text, n, [&](size_t k) { return FormatTimecode(leftOut[k]->startFrame); });
    return text;
}

std::string LateCaptionsText(const std::vector<LateCaption>& late) {
    const size_t n = late.size();
    if (n == 0) return {};
    std::string text = std::to_string(n);
    text += n == 1 ? " caption could not be loaded in time and is shown late. It starts at "
                   : " captions could not be loaded in time and are shown late. They start at ";
    AppendListedStarts(text, n, [&](size_t k) {
        return FormatTimecode(late[k].caption->startFrame) + " (shown from " +
               FormatTimecode(late[k].shownFrom) + ")";
    });
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

std::string VideoWithoutTimestampsText(const std::string& path, std::string_view what) {
    return "File " + path + " is a " + std::string(what) +
           " stream whose pictures have no time stamps, so its captions cannot be placed in time; "
           "put it into a container first (ffmpeg -r 30000/1001 -i " +
           path + " -c copy video.mp4, with its own frame rate)";
}

std::string NoCaptionCarrierText(const std::string& path, const std::string& why) {
    return "Captions cannot be embedded into " + path + ": " + why;
}

std::string LateStreamsText(const std::string& path, const std::vector<std::string>& streams,
                            uint64_t packets) {
    const bool one = streams.size() == 1;
    std::string names;
    for (const std::string& s : streams) names += (names.empty() ? "" : ", ") + s;
    return std::string(one ? "Stream " : "Streams ") + names + " of " + path + " begin" +
           (one ? "s" : "") + " after the start of the file and " + (one ? "was" : "were") +
           " left out (" + std::to_string(packets) + (packets == 1 ? " packet" : " packets") +
           "): the copy's streams are fixed by those at its start.";
}

std::string ListNotWrittenText(const std::string& reason) {
    return "the list could not be written to standard output: " + reason;
}

std::string NotRecognizedText(const std::string& path, const CaptionFormat& format) {
    return "File " + path + " is not a " + std::string(format.expected);
}

std::string UnsupportedTimeCodeRateText(const std::string& path, const std::string& rate) {
    return "File " + path + " has time codes at the rate " + rate +
           ", which is not read; only 30 and 30DF (29.97 video) are";
}

std::string FileTooLargeText(const std::string& path, int64_t limit) {
    return "File " + path + " is larger than " + std::to_string(limit >> 20) +
           " MiB and was not read";
}

std::string StoppedText(const std::string& what) {
    return "stopped: " + what + "; nothing was written";
}

std::string UnknownFormatText(const std::string& direction) {
    const bool reading = direction == "read";
    std::string known = ExtensionList(reading, 0, std::string::npos);
    known.pop_back();  // its line end
    return "cannot " + direction + " this format; the formats " +
           (reading ? "read are " : "written are ") + known + " (see vantrel-cc --help)";
}

}  // namespace vantrel
