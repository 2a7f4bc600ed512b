// What must never happen to the work in the window: a moved video leaving the captions out of
// reach, a project or a playlist making the program contact anyone, and an exception (memory
// or a system resource running out) leaving an event handler.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QPointingDevice>
#include <QTest>
#include <cstdlib>
#include <new>

#include "app/file_dialog_requests.h"
#include "files/file_messages.h"
#include "files/files_test_support.h"
#include "files/project_file.h"
#include "window_fixture.h"

namespace vantrel {
namespace {

using testing::AddCaption;

// A project whose video has moved names the missing file and lets the user choose it: the
// saved frame comes back on the chosen video, whose place is a change to save. Declined, the
// project keeps the path it had.
TEST(WindowFaults, AMissingVideoIsNamedAndChosenAtTheSavedFrame) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    testing::TempDir dir;
    const std::string video = test::GreyVideo(60), missing = "/gone/clip.mp4";
    CaptionProject saved;
    saved.videoPath = missing;
    AddCaption(saved.captions, 10, 40, "HI");
    testing::WriteFileText(dir.File("p.ccp"), ProjectFileBytes(saved, 30));
    for (const bool choose : {true, false}) {
        test::ScriptedDialogs dialogs;
        dialogs.yesNoAnswers = {choose};
        dialogs.filesToOpen = {video};
        MainWindow window(&dialogs, test::QuietPlayer());
        MainView& view = window.View();
        view.Files().OpenProjectFile(dir.File("p.ccp"));
        ASSERT_TRUE(test::WaitIdle(view.Player()));
        EXPECT_EQ(dialogs.asked, std::vector{MissingVideoQuestion(missing)});
        EXPECT_EQ(view.HasVideo(), choose);
        EXPECT_EQ(view.CurrentFrame(), choose ? 30 : 0);
        EXPECT_EQ(view.Project().videoPath, choose ? video : missing);
        EXPECT_EQ(view.Project().modified, choose);
    }
}

// A URL as a project's video is refused by name; playlists opened as video (.m3u, and an HLS
// index, .m3u8) lead neither libmpv nor our frame source to the listener they name.
TEST(WindowFaults, NoProjectOrPlaylistMakesTheProgramContactAnyone) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), size) |
                  ::listen(listener, 8) |
                  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size),
              0);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    testing::TempDir dir;
    CaptionProject project;
    project.videoPath = url + "/x.mp4";
    testing::WriteFileText(dir.File("p.ccp"), ProjectFileBytes(project, 0));
    testing::WriteFileText(dir.File("list.m3u"), url + "/x.mp4\n");
    testing::WriteFileText(
        dir.File("list.m3u8"),
        "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\n" + url + "/x.ts\n#EXT-X-ENDLIST\n");
    test::ScriptedDialogs dialogs;
    MainWindow window(&dialogs, test::QuietPlayer());
    window.View().Files().OpenProjectFile(dir.File("p.ccp"));
    EXPECT_EQ(dialogs.informed, std::vector{NotALocalVideoText(url + "/x.mp4")});
    for (const char* list : {"list.m3u", "list.m3u8"}) {
        window.View().OpenVideo(dir.File(list));
        EXPECT_FALSE(window.View().HasVideo()) << list;
    }
    pollfd wait{listener, POLLIN, 0};
    EXPECT_EQ(::poll(&wait, 1, 1000), 0) << "a connection came";
    ::close(listener);
}

#if !defined(__SANITIZE_ADDRESS__)
// Allocations of at least this many bytes fail once while armed.
std::atomic<size_t> failFrom{0};

// Memory running out in a command ends in a message that names it, with the project and the
// views as they were: adding a caption, beginning an edit, importing and saving.
TEST(WindowFaults, CommandsThatRunOutOfMemoryAreToldAndChangeNothing) {
    testing::TempDir dir;
    testing::WriteFileText(dir.File("in.srt"), "1\n00:00:01,000 --> 00:00:02,000\nNEW\n");
    test::ScriptedDialogs dialogs;
    MainWindow window(&dialogs, test::QuietPlayer());
    MainView& view = window.View();
    for (int k = 0; k < 300; ++k) AddCaption(view.Project().captions, k * 100, k * 100 + 60, "OLD");
    const struct {
        const char* operation;
        int32_t frame;
        std::function<void()> command;
    } cases[] = {
        {"Add Caption", 30, [&] { view.TransportButton(MainView::kAddCaptionButton).click(); }},
        {"Editing the caption", 70,
         [&] {
             QTest::mouseClick(&view.Captions(), Qt::LeftButton, {},
                               test::OnScreen(view.Captions(), QPoint(48, 40)));
         }},
        {"Import Captions", 0, [&] { test::TriggerMenu(window, "&Import Captions..."); }},
        {"Save Caption Project As", 0,
         [&] { test::TriggerMenu(window, "Save Caption Project &As..."); }},
    };
    QPointingDevice::primaryPointingDevice();  // made by the first click, not under the limit
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        dialogs = test::ScriptedDialogs();
        dialogs.filesToOpen = {dir.File("in.srt")};
        dialogs.filesToSave = {dir.File("out.ccp")};
        view.SetCurrentFrame(c.frame);
        view.Project().modified = false;  // no question before the import
        const std::string before = ProjectFileBytes(view.Project(), 0);
        failFrom = sizeof(Caption);
        c.command();
        failFrom = 0;
        EXPECT_EQ(dialogs.informed,
                  std::vector{OperationFailedText(c.operation, "there is not enough memory")});
        EXPECT_EQ(ProjectFileBytes(view.Project(), 0), before);
        EXPECT_FALSE(view.Captions().IsEditing());
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.ccp")));
    }
}
#endif

}  // namespace
}  // namespace vantrel

#if !defined(__SANITIZE_ADDRESS__)
// Arrays and sized deletes come here by default.
void* operator new(size_t size) {
    size_t armed = vantrel::failFrom.load();
    void* p = armed != 0 && size >= armed && vantrel::failFrom.compare_exchange_strong(armed, 0)
                  ? nullptr
                  : std::malloc(size == 0 ? 1 : size);
    return p != nullptr ? p : throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
#endif
