#include "media/shot_change_file.h"

#include <algorithm>
#include <charconv>

#include "files/file.h"
#include "files/text_lines.h"
#include "files/timecode.h"

namespace vantrel {

namespace {

std::string_view Trimmed(std::string_view line) {
    constexpr std::string_view kBlanks = " \t\v\f";
    const size_t first = line.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return line.substr(first, line.find_last_not_of(kBlanks) - first + 1);
}

// The frame a line names; -1 when it names none.
int64_t FrameOf(std::string_view line) {
    int64_t frame = -1;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), frame);
    if (error == std::errc() && end == line.data() + line.size()) {
        return frame <= kMaxReadFrame ? frame : -1;
    }
    const std::optional<TimecodeLine> timecode = ParseTimecodeLine(line);
    if (!timecode || !timecode->data.empty() || timecode->highFrameNumber ||
        line.size() != line.find_last_of(":;") + 3) {
        return -1;
    }
    return timecode->frame <= kMaxReadFrame ? timecode->frame : -1;
}

}  // namespace

ShotChangeList ParseShotChanges(std::string_view text) {
    ShotChangeList list;
    const DecodedText decoded(text);
    TextLines lines(decoded.Text());
    std::string_view line;
    int64_t number = 0;
    while (lines.Next(line)) {
        ++number;
        line = Trimmed(line);
        if (line.empty()) continue;
        const int64_t frame = FrameOf(line);
        if (frame < 0) {
            list.bad.push_back({number, std::string(line)});
        } else {
            list.frames.push_back(static_cast<int32_t>(frame));
        }
    }
    std::sort(list.frames.begin(), list.frames.end());
    list.frames.erase(std::unique(list.frames.begin(), list.frames.end()), list.frames.end());
    return list;
}

bool ReadShotChangeFile(const std::string& path, ShotChangeList& list, std::string& reason) {
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        reason = file.Error();
        return false;
    }
    std::string bytes;
    char block[65536];
    while (const size_t n = file.Read(block, sizeof block)) bytes.append(block, n);
    if (file.Failed()) {
        reason = file.Error();
        return false;
    }
    list = ParseShotChanges(bytes);
    return true;
}

std::string BadShotChangeLinesText(const std::string& path, const ShotChangeList& list) {
    if (list.bad.empty()) return {};
    const ShotChangeList::BadLine& first = list.bad.front();
    return path + "\n\n" + std::to_string(list.bad.size()) +
           (list.bad.size() == 1 ? " line is" : " lines are") +
           " neither a frame number nor a timecode and " + (list.bad.size() == 1 ? "was" : "were") +
           " left out, first line " + std::to_string(first.line) + ": \"" + first.text + "\"";
}

}  // namespace vantrel
