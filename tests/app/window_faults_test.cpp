// What must never happen to the work in the window: a moved video leaving the captions out of
// reach, a project or a playlist making the program contact anyone, an exception (memory or a
// system resource running out) leaving an event handler, and captions lost with the program.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <QPointingDevice>
#include <QProcess>
#include <QStatusBar>
#include <QTest>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <new>

#include "app/file_dialog_requests.h"
#include "files/caption_import.h"
#include "files/file_messages.h"
#include "files/files_test_support.h"
#include "files/project_file.h"
#include "window_fixture.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
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

// Autosave and recovery: the title and Open Recent, the recovery file written beside (never
// over) the project, removed by Save and a confirmed quit, left by a window that just ends
// and offered back at the next start; and the program itself killed with SIGKILL.
// The title names the project and marks it changed; the recovery file is the window's own,
// never the project, and goes with Save and with a confirmed quit.
TEST(Recovery, TheWindowsRecoveryFileIsItsOwnAndGoesWithSaveAndQuit) {
    testing::TempDir dir;
    const std::string path = dir.File("episode.ccp"), folder = dir.File("state");
    test::ScriptedDialogs dialogs;
    dialogs.filesToSave = {path};
    MainWindow window(&dialogs, test::QuietPlayer());
    ASSERT_FALSE(window.StartRecovery(folder));
    EXPECT_EQ(window.windowTitle(), "Untitled[*] - Vantrel");
    CaptionProject& project = window.View().Project();
    ASSERT_TRUE(window.View().Files().SaveAs());
    for (const int32_t start : {30, 100}) {
        testing::AddCaption(project.captions, start, start + 60, "TEXT");
        project.modified = true;
        window.Recovery().Update();
        window.ShowProjectState();
        const std::string recovery = window.Recovery().Files().ProjectFile();
        EXPECT_EQ(window.windowTitle(), "episode.ccp[*] - Vantrel");
        EXPECT_TRUE(window.isWindowModified());
        EXPECT_EQ(testing::ReadFileText(recovery), ProjectFileBytes(project, 0, path));
        EXPECT_NE(testing::ReadFileText(path), testing::ReadFileText(recovery));
        EXPECT_TRUE(FindLeftRecoveries(folder).empty()) << "the window still runs";
        if (start == 30) {
            ::chmod(path.c_str(), 0640);
            ASSERT_TRUE(window.View().Files().Save());
            EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640)) << "Save keeps the mode";
        } else {
            dialogs.answers = {Dialogs::Answer::No};
            ASSERT_TRUE(window.close());
        }
        window.ShowProjectState();
        EXPECT_FALSE(fs::exists(recovery));
    }
}

// A recovery folder others may write to turns autosave off, said once in a message that names
// the folder and in the status bar; a pipe left as a recovery file is refused, not waited for.
TEST(Recovery, AFolderThatCannotBeUsedIsToldAndAPipeInOneIsNotWaitedFor) {
    testing::TempDir dir;
    const std::string shared = dir.File("shared"), own = dir.File("own");
    ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
    test::ScriptedDialogs dialogs;
    {
        MainWindow window(&dialogs, test::QuietPlayer());
        EXPECT_FALSE(window.StartRecovery(shared));
        EXPECT_FALSE(window.Recovery().Files().Claimed());
        ASSERT_EQ(dialogs.informed.size(), 1u);
        EXPECT_NE(dialogs.informed[0].find(shared + "\n(others may write to it)"),
                  std::string::npos);
        bool shown = false;
        for (const QLabel* label : window.statusBar()->findChildren<QLabel*>()) {
            shown = shown || label->text() == "Autosave off";
        }
        EXPECT_TRUE(shown);
    }
    ASSERT_EQ(::mkdir(own.c_str(), 0700), 0);
    testing::WriteFileText(own + "/1-2-3.lock", "");
    ASSERT_EQ(::mkfifo((own + "/1-2-3.ccp").c_str(), 0600), 0);
    dialogs.informed.clear();
    dialogs.answers = {Dialogs::Answer::Yes};
    MainWindow window(&dialogs, test::QuietPlayer());
    EXPECT_FALSE(window.StartRecovery(own));
    EXPECT_EQ(dialogs.informed, std::vector<std::string>{"Error opening file " + own +
                                                         "/1-2-3.ccp\n\nNot a regular file"});
}

#ifdef VANTREL_PROGRAM
// The program under Qt's VNC platform, whose RFB 3.3 server takes keys from a client as a
// screen would: keys are all it takes here (the menu, the file dialog, the recovery question).
class Program {
  public:
    explicit Program(const std::string& home, const QStringList& arguments = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_STATE_HOME", QString::fromStdString(home + "/state"));
        env.insert("VANTREL_AUTOSAVE_SECONDS", "1");
        const uint16_t port = static_cast<uint16_t>(20000 + ::getpid() % 20000);
        env.insert("QT_QPA_PLATFORM", QString("vnc:port=%1").arg(port));
        process_.setProcessEnvironment(env);
        process_.start(VANTREL_PROGRAM, arguments);
        sockaddr_in address{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
        char b[24];
        // Version, no security, shared, and the server's init up to its name.
        for (int k = 0; k < 100 && !Connected(); ++k, QTest::qWait(100)) {
            ::close(socket_);
            socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
            connected_ =
                ::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                ::recv(socket_, b, 12, MSG_WAITALL) == 12 && ::send(socket_, b, 12, 0) == 12 &&
                ::recv(socket_, b, 4, MSG_WAITALL) == 4 && ::send(socket_, "\1", 1, 0) == 1 &&
                ::recv(socket_, b, 24, MSG_WAITALL) == 24;
        }
    }
    ~Program() {
        ::close(socket_);
        process_.kill();
        process_.waitForFinished();
    }
    bool Connected() const { return connected_; }
    QProcess& Process() { return process_; }
    // Each key (an X keysym) down and up, with `held` (Alt: 0xffe9) down around them; then time
    // for a menu or a dialog to open.
    void Press(const std::u32string& keys, char32_t held = 0) {
        std::vector<std::pair<char32_t, bool>> events;
        for (const char32_t key : keys) events.insert(events.end(), {{key, true}, {key, false}});
        if (held != 0) events.insert(events.begin(), {held, true}), events.push_back({held, false});
        for (const auto& [key, down] : events) {
            const uint32_t wire = htonl(key);
            char event[8] = {4, down, 0, 0};
            std::memcpy(event + 4, &wire, 4);
            ASSERT_EQ(::send(socket_, event, 8, 0), 8);
            QTest::qWait(15);
        }
        QTest::qWait(1000);
    }

  private:
    QProcess process_;
    int socket_ = -1;
    bool connected_ = false;
};

// The name of a recovery file in `folder` other than `other`, waited for.
std::string AwaitRecovery(const std::string& folder, const std::string& other = {}) {
    for (int k = 0; k < 100; ++k, QTest::qWait(100)) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".ccp" && entry.path() != other) return entry.path();
        }
    }
    return {};
}

// The program with a project imports captions (File > Import Captions, the name typed into the
// file dialog) and writes them within the interval; killed, it asks at its next start and
// Enter recovers them; SIGTERM ends it with its recovery file kept; recovered again, Ctrl+S
// saves them as the project, which Open Recent lists, and the recovery file goes.
TEST(Recovery, TheProgramKilledAfterAnAutosaveGivesItsCaptionsBack) {
    testing::TempDir home;
    const std::string srt = home.File("in.srt"), ccp = home.File("episode.ccp");
    const std::string folder = home.File("state/vantrel");
    testing::WriteFileText(srt,
                           "1\n00:00:01,000 --> 00:00:03,000\nHELLO\n\n"
                           "2\n00:00:05,000 --> 00:00:07,000\nAGAIN\n");
    CaptionProject imported;
    testing::WriteFileText(ccp, ProjectFileBytes(imported, 0));
    ASSERT_EQ(ImportCaptionFile(imported, srt, "srt"), ImportResult::Imported);
    const std::string captions = ProjectFileBytes(imported, 0);
    std::string left;
    {
        Program first(home.Path(), {QString::fromStdString(ccp)});
        if (!first.Connected()) GTEST_SKIP() << "Qt's VNC platform is not installed";
        first.Press(U"f", 0xffe9);  // Alt
        first.Press(U"i");
        first.Press(std::u32string(srt.begin(), srt.end()) + U"\xff0d");  // Return
        left = AwaitRecovery(folder);
        ASSERT_EQ(testing::ReadFileText(left), captions);
    }  // SIGKILL
    std::string file;
    {
        Program second(home.Path());
        second.Press(U"\xff0d");  // Yes, the default answer
        file = AwaitRecovery(folder, left);
        EXPECT_EQ(testing::ReadFileText(file), captions);
        EXPECT_FALSE(fs::exists(left));
        second.Process().terminate();
        ASSERT_TRUE(second.Process().waitForFinished(10000));
        EXPECT_EQ(second.Process().exitCode(), 128 + SIGTERM);
    }
    Program third(home.Path());
    third.Press(U"\xff0d");
    const std::string own = AwaitRecovery(folder, file);
    third.Press(U"s", 0xffe3);  // Control
    EXPECT_EQ(testing::ReadFileText(ccp), captions);
    EXPECT_EQ(MainWindow::RecentProjects().value(0).toStdString(), ccp);
    EXPECT_FALSE(own.empty() || fs::exists(own));
}
#endif

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
