// The window's reading of the open video: peaks and shot changes start with the video, detection
// waits while it plays, imported shot changes take the place of those found, and closing stops
// everything.
#include <QTemporaryDir>
#include <fstream>

#include "test_media.h"

namespace vantrel {
namespace {

using MediaFeedView = test::ViewFixture;

TEST_F(MediaFeedView, ReadsTheOpenVideoUntilItCloses) {
    const MediaAnalysis& analysis = view_.Media().Analysis();
    view_.OpenVideo(test::NumberedVideo("mp4"));
    ASSERT_TRUE(view_.HasVideo());
    view_.Play();
    EXPECT_TRUE(test::WaitFor([&] { return analysis.Peaks() != nullptr; }, 20000));
    view_.TogglePause();
    ASSERT_TRUE(test::WaitFor([&] { return analysis.Settled(); }, 20000));
    ASSERT_TRUE(analysis.Peaks()->Complete());
    EXPECT_EQ(analysis.ScoredFrames(), size_t{test::kTestFrames});

    QTemporaryDir dir;
    const std::string list = dir.filePath("cuts.txt").toStdString();
    std::ofstream(list) << "30\n00:00:02:00\nlater\n";
    dialogs_.filesToOpen.push_back(list);
    view_.ImportShotChanges();
    EXPECT_EQ(analysis.ShotChanges(), (std::vector<int32_t>{30, 60}));
    ASSERT_EQ(dialogs_.informed.size(), 1u);
    EXPECT_NE(dialogs_.informed[0].find("first line 3: \"later\""), std::string::npos);

    view_.CloseVideo();
    EXPECT_TRUE(analysis.Settled());
    EXPECT_EQ(analysis.Peaks(), nullptr);
    EXPECT_TRUE(analysis.ShotChanges().empty());
}

}  // namespace
}  // namespace vantrel
