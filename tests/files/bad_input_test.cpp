// Damaged and hostile input: cut-off files, garbage, huge timecodes, files of another kind.
// Each gives a clear message or nothing, and a project that can't be loaded stays as it was.
#include <gtest/gtest.h>

#include <random>

#include "files/caption_import.h"
#include "files/files_test_support.h"
#include "files/project_file.h"

namespace vantrel {
namespace {

using namespace testing;

// Decoded captions stay in order, never end before they start, and leave row 15 alone.
::testing::AssertionResult WellFormed(const CaptionList& list) {
    int32_t last = INT32_MIN;
    for (const Caption* c = list.Head(); c; c = c->next) {
        if (c->startFrame < last) return ::testing::AssertionFailure() << "out of order";
        if (c->endFrame <= c->startFrame) return ::testing::AssertionFailure() << "ends early";
        for (const CaptionCell& cell : c->cells[15]) {
            if (!cell.IsEmpty()) return ::testing::AssertionFailure() << "row 15 written";
        }
        last = c->startFrame;
    }
    return ::testing::AssertionSuccess();
}

void ImportEveryWay(const std::string& content, TempDir& dir, const std::string& what) {
    for (const char* extension : {"scc", "ccd", "bin"}) {
        const std::string path = dir.File(std::string("bad.") + extension);
        WriteFileText(path, content);
        RecordingHost host;
        CaptionProject project;
        project.host = &host;
        const ImportResult result = ImportCaptionFile(project, path, extension);
        EXPECT_NE(result, ImportResult::OpenFailed) << what;
        EXPECT_TRUE(WellFormed(project.captions)) << what << " as " << extension;
        for (const std::string& m : host.messages) {
            EXPECT_TRUE(m == "File does not contain closed captions" ||
                        m.find(path) != std::string::npos)
                << what << ": " << m;
        }
    }
}

TEST(BadInput, SamplesCutAnywhere) {
    if (!SampleExists("libcaption_tos.scc")) GTEST_SKIP() << "no samples";
    TempDir dir;
    for (const char* name :
         {"libcaption_tos.scc", "mcpoodle_colors_painton.ccd", "mcpoodle_colors_painton.raw"}) {
        const std::string whole = ReadFileText(SamplePath(name));
        for (size_t cut = 0; cut < whole.size(); cut += 1 + cut / 16) {
            ImportEveryWay(whole.substr(0, cut), dir,
                           std::string(name) + " cut at " + std::to_string(cut));
        }
    }
}

TEST(BadInput, RandomBytesBehindAValidHeader) {
    std::mt19937 rng(99);
    TempDir dir;
    for (int round = 0; round < 40; ++round) {
        std::string noise(rng() % 3000, '\0');
        for (char& c : noise) c = static_cast<char>(rng());
        // Timecode-shaped lines among the noise, so the readers get past the line checks.
        for (int k = 0; k < 20; ++k) {
            const size_t at = rng() % (noise.size() + 1);
            char line[40];
            // Mostly early timecodes; now and then one far out.
            const unsigned hours = rng() % 50 == 0 ? rng() % 100 : rng() % 2;
            std::snprintf(line, sizeof line, "\n%02u:%02u:%02u%c%02u\t%04x {EOC}\n", hours,
                          unsigned(rng() % 100), unsigned(rng() % 100), rng() % 2 ? ':' : ';',
                          unsigned(rng() % 100), unsigned(rng() % 65536));
            noise.insert(at, line);
        }
        ImportEveryWay("Scenarist_SCC V1.0\n" + noise, dir, "scc noise");
        ImportEveryWay("SCC_disassembly V1.2\nCHANNEL 1\n" + noise, dir, "ccd noise");
        ImportEveryWay(noise, dir, "noise");
    }
}

TEST(BadInput, ProjectsOfEveryDamageLeaveOrLoadSafely) {
    TempDir dir;
    RecordingHost host;
    CaptionProject saved;
    saved.videoPath = "/v.mp4";
    for (int k = 0; k < 4; ++k) AddCaption(saved.captions, 100 * k, 100 * k + 50, "TEXT");
    const std::string whole = ProjectFileBytes(saved, 3);
    std::mt19937 rng(5);
    for (int round = 0; round < 300; ++round) {
        std::string bytes = whole.substr(0, rng() % (whole.size() + 1));
        const int flips = static_cast<int>(rng() % 6);
        for (int k = 0; k < flips && !bytes.empty(); ++k) bytes[rng() % bytes.size()] = char(rng());
        const std::string path = dir.File("p.ccp");
        WriteFileText(path, bytes);

        CaptionProject project;
        project.host = &host;
        const Caption* keep = AddCaption(project.captions, 7, 9);
        project.videoPath = "/current.mp4";
        host.messages.clear();
        const LoadResult result = LoadProject(project, path);
        if (result == LoadResult::Loaded) {
            EXPECT_TRUE(host.messages.empty());
            EXPECT_LE(project.captions.Count(), 4);
            EXPECT_FALSE(project.modified);
        } else {
            EXPECT_EQ(project.captions.Head(), keep);
            EXPECT_EQ(project.captions.Count(), 1);
            EXPECT_EQ(project.videoPath, "/current.mp4");
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_NE(host.messages[0].find(path), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace vantrel
