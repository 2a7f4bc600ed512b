// Random projects exported as each caption-file format and imported again come back as the
// same captions: the same start and end frames and the same screens.
#include <gtest/gtest.h>

#include <random>

#include "files/caption_export.h"
#include "files/caption_import.h"
#include "files/files_test_support.h"
#include "support/random_project.h"

namespace vantrel {
namespace {

using testing::RecordingHost;
using testing::SameCaptions;
using testing::TempDir;

class RoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, RandomProjectsComeBackTheSame) {
    const std::string extension = GetParam();
    TempDir dir;
    std::mt19937 rng(20240611);
    for (int round = 0; round < 25; ++round) {
        RecordingHost host;
        CaptionProject original;
        original.host = &host;
        testing::RandomProject(rng, original.captions, 60);
        const std::string path = dir.File("p." + extension);
        const ExportResult exported = ExportCaptionFile(original, path, extension);
        ASSERT_EQ(exported.write, WriteResult::Written);
        ASSERT_EQ(exported.leftOut, 0u) << host.messages[0];

        CaptionProject imported;
        imported.host = &host;
        ASSERT_EQ(ImportCaptionFile(imported, path, extension), ImportResult::Imported);
        EXPECT_TRUE(SameCaptions(original.captions, imported.captions)) << "round " << round;
        EXPECT_TRUE(host.messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip, ::testing::Values("scc", "ccd", "bin", "dat"));

TEST(RoundTrip, CaptionsNextToEachOtherKeepTheirTiming) {
    // Seamless (the next caption replaces this one), Persistent (one blank frame), and an
    // erase that falls inside the next caption's loading.
    CaptionProject original;
    const int32_t frames[][3] = {
        {100, 160, Seamless}, {160, 220, Persistent}, {221, 300, Manual}, {302, 400, Manual}};
    for (const auto& f : frames) {
        testing::AddCaption(original.captions, f[0], f[1], "TEXT", 14, 2,
                            static_cast<int8_t>(f[2]));
    }
    TempDir dir;
    for (const char* extension : {"scc", "ccd", "bin"}) {
        const std::string path = dir.File(std::string("t.") + extension);
        ASSERT_EQ(ExportCaptionFile(original, path, extension).leftOut, 0u);
        CaptionProject imported;
        ASSERT_EQ(ImportCaptionFile(imported, path, extension), ImportResult::Imported);
        EXPECT_TRUE(SameCaptions(original.captions, imported.captions)) << extension;
        const Caption* c = imported.captions.Head();
        EXPECT_EQ(c->timingMode, Seamless);
        EXPECT_EQ(c->next->timingMode, Persistent);
        EXPECT_EQ(c->next->next->timingMode, Manual);
        EXPECT_EQ(c->next->next->endFrame, 300);
    }
}

}  // namespace
}  // namespace vantrel
