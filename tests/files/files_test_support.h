// Helpers of the caption-file tests: a host that records what it is told, a temporary folder,
// file contents, captions with text, a project that must survive failures, the sample files,
// and caption comparison.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/caption_project.h"
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
    // Names of the files in the folder, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
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

// `count` null pairs, then `bytes`.
inline std::vector<uint8_t> AfterNullPairs(size_t count, std::string_view bytes = "") {
    std::vector<uint8_t> out(2 * count, 0x80);
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

inline void PutText(Caption& c, int row, int col, std::string_view text,
                    uint8_t attribute = kDefaultAttribute) {
    for (char ch : text) c.cells[row][col++] = {static_cast<uint8_t>(ch), attribute};
}

// A caption on frames `start` to `end` holding `text` at (`row`, `col`), inserted in `list`.
inline Caption* AddCaption(CaptionList& list, int32_t start, int32_t end,
                           std::string_view text = "", int row = 14, int col = 0,
                           int8_t mode = Manual) {
    auto* c = new Caption;
    c->startFrame = start;
    c->endFrame = end;
    c->timingMode = mode;
    PutText(*c, row, col, text);
    list.Insert(c);
    return c;
}

// A project with a host, a folder, and a current state that failed operations must leave.
struct ProjectTest : ::testing::Test {
    ProjectTest() { project.host = &host; }
    void MakeCurrentProject(int modified) {
        kept = AddCaption(project.captions, 100, 200, "KEEP");
        project.videoPath = "/videos/current.mp4";
        project.modified = modified;
        keptModified = modified;
    }
    void ExpectCurrentProjectKept() {
        EXPECT_EQ(project.captions.Head(), kept);
        EXPECT_EQ(project.captions.Count(), 1);
        EXPECT_EQ(project.videoPath, "/videos/current.mp4");
        EXPECT_EQ(project.modified, keptModified);
        EXPECT_EQ(host.closeCount, 0);
    }
    TempDir dir;
    RecordingHost host;
    CaptionProject project;
    const Caption* kept = nullptr;
    int keptModified = 0;
};

inline std::string SamplePath(const std::string& name) {
    return std::string(VANTREL_SOURCE_DIR "/../shared/samples/") + name;
}
inline bool SampleExists(const std::string& name) {
    return std::filesystem::exists(SamplePath(name));
}

// The sample files of the given extensions, sorted, each with the extension of the reader
// that reads it (.raw is read as .bin).
inline std::vector<std::pair<std::string, std::string>> Samples(
    std::vector<std::string> extensions = {"scc", "ccd", "raw"}) {
    std::vector<std::pair<std::string, std::string>> out;
    std::error_code error;
    for (const auto& e : std::filesystem::directory_iterator(SamplePath(""), error)) {
        const std::string ext = e.path().extension().string();
        if (ext.empty() ||
            std::find(extensions.begin(), extensions.end(), ext.substr(1)) == extensions.end()) {
            continue;
        }
        out.push_back({e.path().string(), ext == ".raw" ? "bin" : ext.substr(1)});
    }
    std::sort(out.begin(), out.end());
    return out;
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
