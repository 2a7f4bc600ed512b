// Shot changes read from a text file that another tool made: one per line, as a frame number
// ("1234") or a timecode ("00:00:41:04", drop-frame "00:00:41;04"). Blank lines are left out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

struct ShotChangeList {
    std::vector<int32_t> frames;  // in order, each once
    // The lines that are neither (numbered from 1), with their text.
    struct BadLine {
        int64_t line = 0;
        std::string text;
    };
    std::vector<BadLine> bad;
};

ShotChangeList ParseShotChanges(std::string_view text);

// The file's shot changes; false with the system's reason when it cannot be read.
bool ReadShotChangeFile(const std::string& path, ShotChangeList& list, std::string& reason);

// What the user is told of the lines left out: how many, and the first of them.
std::string BadShotChangeLinesText(const std::string& path, const ShotChangeList& list);

}  // namespace vantrel
