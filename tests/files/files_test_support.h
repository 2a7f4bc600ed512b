// Helpers of the caption-file tests: a host that records what it is told, a temporary folder,
// file contents, captions with text, and caption comparison.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "model/caption_list.h"
#include "model/project_host.h"

namespace vantrel::testing {

class RecordingHost : public ProjectHost {
  public:
    void Inform(const std::string& text) override { messages.push_back(text); }
    int32_t CurrentFrame() const override { return currentFrame; }
    void OpenVideo(const std::string& path) override {
        openedVideos.push_back(path);
        hasVideo = videoOpens;
    }
    void CloseVideo() override {
        ++closeCount;
        hasVideo = false;
    }
    bool HasVideo() const override { return hasVideo; }
    void StepFrames(int32_t frame) override { steppedTo.push_back(frame); }

    std::vector<std::string> messages;
    std::vector<std::string> openedVideos;
    std::vector<int32_t> steppedTo;
    int32_t currentFrame = 0;
    int closeCount = 0;
    bool videoOpens = true;  // what OpenVideo does
    bool hasVideo = false;
};

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }
    // Names of the files in the folder.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_)) {
            names.push_back(e.path().filename().string());
        }
        return names;
    }

  private:
    std::string path_;
};

inline std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFileText(const std::string& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

inline std::vector<uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

inline std::vector<uint8_t> Bytes(std::initializer_list<int> list) {
    std::vector<uint8_t> out;
    for (int b : list) out.push_back(static_cast<uint8_t>(b));
    return out;
}

// `count` null pairs.
inline std::vector<uint8_t> NullPairs(size_t count) {
    return std::vector<uint8_t>(2 * count, 0x80);
}

inline std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline void PutText(Caption& c, int row, int col, std::string_view text,
                    uint8_t attribute = kDefaultAttribute) {
    for (char ch : text) c.cells[row][col++] = {static_cast<uint8_t>(ch), attribute};
}

inline Caption* NewCaption(int32_t start, int32_t end, int8_t mode = Manual) {
    auto* c = new Caption;
    c->startFrame = start;
    c->endFrame = end;
    c->timingMode = mode;
    return c;
}

// The extension of a file name, without the dot.
inline std::string ExtensionPart(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

inline bool SampleExists(const std::string& name) {
    return std::filesystem::exists(std::string(VANTREL_SOURCE_DIR "/../shared/samples/") + name);
}
inline std::string SamplePath(const std::string& name) {
    return std::string(VANTREL_SOURCE_DIR "/../shared/samples/") + name;
}

// Both lists hold captions with the same start and end frames and the same screens, in order;
// with `modes`, the same timing modes and screen flags as well.
inline ::testing::AssertionResult SameCaptions(const CaptionList& want, const CaptionList& got,
                                               bool modes = false) {
    const Caption* a = want.Head();
    const Caption* b = got.Head();
    for (int i = 0; a || b; ++i, a = a->next, b = b->next) {
        if (!a || !b) {
            return ::testing::AssertionFailure()
                   << "caption " << i << ": only one list has it (want " << want.Count()
                   << " captions, got " << got.Count() << ")";
        }
        if (a->startFrame != b->startFrame || a->endFrame != b->endFrame) {
            return ::testing::AssertionFailure()
                   << "caption " << i << ": want frames " << a->startFrame << "-" << a->endFrame
                   << ", got " << b->startFrame << "-" << b->endFrame;
        }
        if (modes && (a->timingMode != b->timingMode || a->screenValid != b->screenValid)) {
            return ::testing::AssertionFailure()
                   << "caption " << i << " at " << a->startFrame << ": want mode "
                   << int(a->timingMode) << "/" << int(a->screenValid) << ", got "
                   << int(b->timingMode) << "/" << int(b->screenValid);
        }
        for (int r = 0; r < kGridRows; ++r) {
            for (int col = 0; col < kScreenColumns; ++col) {
                if (!(a->cells[r][col] == b->cells[r][col])) {
                    return ::testing::AssertionFailure()
                           << "caption " << i << " at " << a->startFrame << ", cell (" << r << ", "
                           << col << "): want " << int(a->cells[r][col].character) << "/"
                           << int(a->cells[r][col].attribute) << ", got "
                           << int(b->cells[r][col].character) << "/"
                           << int(b->cells[r][col].attribute);
                }
            }
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace vantrel::testing
