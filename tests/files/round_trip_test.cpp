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
    for (int round = 0; round <= 25; ++round) {
        RecordingHost host;
        CaptionProject original;
        original.host = &host;
        if (round == 0) {
            // The first ends on the first frame of the second's loading: its erase goes inside
            // that loading, not before it, or the second would show a frame late.
            testing::AddCaption(original.captions, 10, 26, "HI");
            testing::AddCaption(original.captions, 30, 90, "HI");
        } else {
            testing::RandomProject(rng, original.captions, 60);
        }
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

}  // namespace
}  // namespace vantrel
