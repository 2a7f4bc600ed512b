// Autosave and recovery: the title with its changed mark, Open Recent, the recovery file
// written beside (never over) the project and removed by Save, kept by a window that ends
// without a word and offered back at the next start; and the real program killed with SIGKILL.
#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "app/file_dialog_requests.h"
#include "app/main_window.h"
#include "files/files_test_support.h"
#include "files/project_file.h"
#include "scripted_dialogs.h"
#include "test_media.h"

namespace vantrel {
namespace {

using testing::AddCaption;

TEST(Recovery, AChangedProjectOutlivesItsWindowAndComesBackWithItsPath) {
    testing::TempDir dir;
    const std::string path = dir.File("episode.ccp"), folder = dir.File("state");
    test::ScriptedDialogs dialogs;
    auto window = std::make_unique<MainWindow>(&dialogs, test::QuietPlayer());
    ASSERT_FALSE(window->StartRecovery(folder)) << "nothing to recover";
    EXPECT_EQ(window->windowTitle(), "Untitled[*] - Vantrel");
    CaptionProject& project = window->View().Project();
    AddCaption(project.captions, 30, 90, "FIRST");
    dialogs.filesToSave = {path};
    ASSERT_TRUE(window->View().Files().SaveAs());
    window->ShowProjectState();
    EXPECT_EQ(window->windowTitle(), "episode.ccp[*] - Vantrel");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->RecentProjects().value(0).toStdString(), path);
    const std::string saved = testing::ReadFileText(path);

    const auto change = [&](int32_t start, const char* text) {
        AddCaption(project.captions, start, start + 60, text);
        project.modified = true;
        window->ShowProjectState();
        window->Recovery().Update();
    };
    change(100, "SECOND");
    EXPECT_TRUE(window->isWindowModified());
    const std::string recovery = window->Recovery().Files().ProjectFile();
    ASSERT_TRUE(window->Recovery().Files().Written());
    EXPECT_EQ(testing::ReadFileText(recovery), ProjectFileBytes(project, 0, path));
    EXPECT_EQ(testing::ReadFileText(path), saved) << "never over the project";
    ASSERT_TRUE(window->View().Files().Save());
    window->ShowProjectState();
    EXPECT_FALSE(std::filesystem::exists(recovery)) << "removed on Save";
    change(200, "THIRD");
    const std::string changed = ProjectFileBytes(project, 0);
    window.reset();  // as a kill leaves it: no question, no quit
    ASSERT_TRUE(std::filesystem::exists(recovery));

    test::ScriptedDialogs again;
    again.answers = {Dialogs::Answer::Yes};
    window = std::make_unique<MainWindow>(&again, test::QuietPlayer());
    ASSERT_TRUE(window->StartRecovery(folder));
    ASSERT_EQ(again.asked.size(), 1u);
    EXPECT_EQ(again.asked[0].rfind("Vantrel ended without saving the changes to episode.ccp, ", 0),
              0u);
    EXPECT_EQ(ProjectFileBytes(window->View().Project(), 0), changed);
    EXPECT_TRUE(window->View().Project().modified);
    EXPECT_EQ(window->View().Files().ProjectPath(), path);
    EXPECT_FALSE(std::filesystem::exists(recovery)) << "held by the new window's own file";
    // A confirmed quit leaves nothing behind.
    again.answers = {Dialogs::Answer::No};
    window->close();
    window.reset();
    EXPECT_TRUE(FindLeftRecoveries(folder).empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

}  // namespace
}  // namespace vantrel
