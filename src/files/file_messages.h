// The texts the file operations show to the user, through ProjectHost::Inform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

inline constexpr std::string_view kNoClosedCaptionsText = "File does not contain closed captions";

// "Error opening file " followed by the path.
std::string ErrorOpeningFileText(const std::string& path);
// "Error saving file " followed by the path.
std::string ErrorSavingFileText(const std::string& path);
// The same, with the system's reason on a paragraph of its own when there is one.
std::string ErrorOpeningFileText(const std::string& path, const std::string& reason);
std::string ErrorSavingFileText(const std::string& path, const std::string& reason);

// A text file whose timecode lines past the last readable frame were left out.
std::string LinesBeyondLimitText(const std::string& path, size_t lines);
// A raw pair file longer than the last readable frame.
std::string RawFileTruncatedText(const std::string& path);

// A project file that isn't one, or whose header is cut short or damaged; the current project
// stays as it was.
std::string NotAProjectText(const std::string& path);
std::string DamagedProjectText(const std::string& path);

// Subtitle import: blocks of a subtitle file without a readable time line; characters that
// have no form on a 608 screen (the first of them, and the frame of its cue); a file without
// a single cue to show.
std::string SkippedSubtitleBlocksText(const std::string& path, size_t blocks);
std::string UnshownCharactersText(const std::string& path, size_t count, char32_t first,
                                  int64_t frame);
std::string NoSubtitlesText(const std::string& path);

}  // namespace vantrel
