// Helpers of the caption-file tests: a host that records what it is told, a temporary folder,
// file contents, captions with text, a project that must survive failures, the sample files,
// .srt cues as FFmpeg writes them, and caption comparison.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "codec/codes.h"
#include "model/caption_project.h"
#include "model/project_host.h"
#include "support/screen_text.h"

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

// Latin-1 text (ASCII, or Windows-1252 from 0xA0 on) as UTF-16 with its byte order mark.
inline std::string Utf16(std::string_view latin1, bool littleEndian) {
    std::string out = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (char c : latin1) out += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
    return out;
}

// `count` null pairs, then `bytes`.
inline std::vector<uint8_t> AfterNullPairs(size_t count, std::string_view bytes = "") {
    std::vector<uint8_t> out(2 * count, 0x80);
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

// A project with a host, a folder, and a current state that failed operations must leave.
struct ProjectTest : ::testing::Test {
    ProjectTest() { project.host = &host; }
    void MakeCurrentProject(bool modified) {
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
    bool keptModified = false;
};

inline std::string SamplePath(const std::string& name) {
    return std::string(VANTREL_SAMPLES_DIR "/") + name;
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

struct SrtCue {
    double start = 0, end = 0;  // seconds
    std::string text;           // as ParseSrt keeps it
};

inline double Seconds(const std::string& t) {
    int h = 0, m = 0, s = 0, ms = 0;
    std::sscanf(t.c_str(), "%d:%d:%d,%d", &h, &m, &s, &ms);
    return h * 3600.0 + m * 60.0 + s + ms / 1000.0;
}

// The cues of an .srt text, tags (<font ...>, {\an7}) dropped, Latin-1 letters in lower case. With
// `words`, the words as a person reads them: FFmpeg's right single quote read as the
// apostrophe it decodes, blanks (\h too) squeezed to one space, none at a line's ends (FFmpeg
// keeps a row's indent), rows on lines of their own; else letters and digits only.
inline std::vector<SrtCue> ParseSrt(const std::string& srt, bool words = false) {
    std::vector<SrtCue> cues;
    std::istringstream in(srt);
    std::string line;
    SrtCue* cue = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t arrow = line.find(" --> ");
        if (arrow != std::string::npos) {
            cues.push_back({Seconds(line.substr(0, arrow)), Seconds(line.substr(arrow + 5)), ""});
            cue = &cues.back();
            continue;
        }
        if (line.empty()) cue = nullptr;  // a blank line ends the cue
        if (!cue) continue;
        // ASS hard spaces (\h) are blanks.
        for (size_t at = line.find("\\h"); at != std::string::npos; at = line.find("\\h", at)) {
            line.replace(at, 2, " ");
        }
        for (size_t at = line.find("\u2019"); at != std::string::npos; at = line.find("\u2019")) {
            line.replace(at, 3, "'");
        }
        if (words && !cue->text.empty()) cue->text += '\n';
        bool blank = false;  // a blank since the last character kept
        bool inTag = false;
        char close = 0;
        for (char c : line) {
            if (!inTag && (c == '<' || c == '{')) {
                inTag = true;
                close = c == '<' ? '>' : '}';
            } else if (inTag) {
                inTag = c != close;
            } else if (c == ' ' || c == '\t') {
                blank = true;
            } else if (words || std::isalnum(static_cast<unsigned char>(c))) {
                if (words && blank && !cue->text.empty() && cue->text.back() != '\n') {
                    cue->text += ' ';
                }
                blank = false;
                cue->text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
        }
    }
    // Latin-1 capitals (U+00C0-U+00DE, not U+00D7) in lower case too, as our writer has them.
    for (SrtCue& c : cues) {
        for (size_t k = 1; k < c.text.size(); ++k) {
            const auto b = static_cast<uint8_t>(c.text[k]);
            if (c.text[k - 1] == '\xC3' && b >= 0x80 && b <= 0x9E && b != 0x97) c.text[k] += 0x20;
        }
    }
    return cues;
}

inline bool HaveFfmpeg() {
    return std::system("command -v ffmpeg > /dev/null 2>&1") == 0;
}

// FFmpeg's 608 decoder reads the .scc file `scc` into the .srt file `srt`.
inline bool FfmpegSccToSrt(const std::string& scc, const std::string& srt) {
    const std::string command = "ffmpeg -nostdin -v error -y -i '" + scc + "' '" + srt + "'";
    return std::system(command.c_str()) == 0;
}

// `got`'s screen without the mid-row codes that a row's gap may gain on its way through a
// receiver (where the attributes change from the run before to the next run): cells empty in
// `want`, between two of its runs, that hold such a code in `got`.
inline Caption WithoutGapCodes(const Caption& want, const Caption& got) {
    Caption out;
    std::copy(&got.cells[0][0], &got.cells[0][0] + kGridRows * kScreenColumns, &out.cells[0][0]);
    for (int r = 0; r < kGridRows; ++r) {
        const CaptionCell* row = want.cells[r];
        const auto text = [&](int from, int to) {
            return std::any_of(row + from, row + to, [](auto& c) { return !c.IsEmpty(); });
        };
        for (int c = 1; c + 1 < kScreenColumns; ++c) {
            if (row[c].IsEmpty() && IsMidRowCode(out.cells[r][c].character) && text(0, c) &&
                text(c + 1, kScreenColumns)) {
                out.cells[r][c] = {};
            }
        }
    }
    return out;
}

// Both lists hold captions with the same start and end frames and the same screens, in order;
// with `modes`, the same timing modes and screen flags as well; with `gapCodes`, screens that
// differ only by mid-row codes in gaps (WithoutGapCodes) count as the same.
inline ::testing::AssertionResult SameCaptions(const CaptionList& want, const CaptionList& got,
                                               bool modes = false, bool gapCodes = false) {
    const Caption *a = want.Head(), *b = got.Head();
    for (int i = 0; a || b; ++i, a = a->next, b = b->next) {
        auto failure = [&] { return ::testing::AssertionFailure() << "caption " << i << ": "; };
        if (!a || !b) return failure() << "want " << want.Count() << ", got " << got.Count();
        if (a->startFrame != b->startFrame || a->endFrame != b->endFrame) {
            return failure() << "want frames " << a->startFrame << "-" << a->endFrame << ", got "
                             << b->startFrame << "-" << b->endFrame;
        }
        if (modes && (a->timingMode != b->timingMode || a->screenValid != b->screenValid)) {
            return failure() << "want mode " << int(a->timingMode) << "/" << int(a->screenValid)
                             << ", got " << int(b->timingMode) << "/" << int(b->screenValid);
        }
        const std::string d = FirstDifference(*a, gapCodes ? WithoutGapCodes(*a, *b) : *b);
        if (!d.empty()) return failure() << d;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace vantrel::testing
