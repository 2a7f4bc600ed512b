#include "files/file_messages.h"

#include "files/timecode.h"

namespace vantrel {

namespace {

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

std::string LinesBeyondLimitText(const std::string& path, size_t lines) {
    return std::to_string(lines) + (lines == 1 ? " line" : " lines") + " of " + path +
           (lines == 1 ? " was" : " were") + " left out: timecodes past " +
           FormatTimecode(kMaxReadFrame) + " are not read";
}

std::string RawFileTruncatedText(const std::string& path) {
    return "Only the pairs up to " + FormatTimecode(kMaxReadFrame) + " of " + path + " were read";
}

std::string NotAProjectText(const std::string& path) {
    return "File " + path + " is not a caption project";
}

std::string DamagedProjectText(const std::string& path) {
    return "File " + path + " is a damaged caption project";
}

}  // namespace vantrel
