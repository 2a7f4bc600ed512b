// Autosave and recovery: the title with its changed mark, Open Recent, the recovery file
// written beside (never over) the project and removed by Save, kept by a window that ends
// without a word and offered back at the next start; and the real program killed with SIGKILL.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QProcess>
#include <QTest>
#include <csignal>
#include <cstring>
#include <memory>

#include "app/file_dialog_requests.h"
#include "app/main_window.h"
#include "files/caption_import.h"
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

#ifdef VANTREL_PROGRAM
// The program under Qt's VNC platform, which takes keys from a client as a screen would: keys
// are all it needs here (the menu, the file dialog, the recovery question).
class Program {
  public:
    Program(const std::string& home) {
        const int port = FreePort();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_STATE_HOME", QString::fromStdString(home + "/state"));
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(home + "/config"));
        env.insert("VANTREL_AUTOSAVE_SECONDS", "1");
        env.insert("QT_QPA_PLATFORM", QString("vnc:size=1024x768:port=%1").arg(port));
        process_.setProcessEnvironment(env);
        process_.start(VANTREL_PROGRAM, {});
        for (int k = 0; k < 100 && socket_ < 0 && process_.state() != QProcess::NotRunning; ++k) {
            QTest::qWait(100);
            socket_ = Connect(port);
        }
    }
    ~Program() {
        if (socket_ >= 0) ::close(socket_);
        process_.kill();
        process_.waitForFinished();
    }
    bool Connected() const { return socket_ >= 0; }
    QProcess& Process() { return process_; }

    // A key down and up (an X keysym), with Alt held when asked.
    void Key(uint32_t keysym, bool alt = false) {
        constexpr uint32_t kAlt = 0xffe9;
        if (alt) Send(kAlt, true);
        Send(keysym, true);
        Send(keysym, false);
        if (alt) Send(kAlt, false);
        QTest::qWait(300);
    }
    void Type(const std::string& text) {
        for (char c : text) Key(static_cast<unsigned char>(c));
    }

  private:
    static int FreePort() {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(s, reinterpret_cast<sockaddr*>(&address), size);
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
        ::close(s);
        return ntohs(address.sin_port);
    }
    // The RFB 3.3 greeting the server speaks: version, no security, a shared session.
    static int Connect(int port) {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        char buffer[256];
        uint32_t nameLength = 0;
        const auto read = [s](void* data, size_t n) {
            return ::recv(s, data, n, MSG_WAITALL) == static_cast<ssize_t>(n);
        };
        if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            read(buffer, 12) && ::send(s, buffer, 12, 0) == 12 && read(buffer, 4) &&
            buffer[3] == 1 && ::send(s, "\1", 1, 0) == 1 && read(buffer, 20) &&
            read(&nameLength, 4) && read(buffer, ntohl(nameLength) % sizeof buffer)) {
            return s;
        }
        ::close(s);
        return -1;
    }
    void Send(uint32_t keysym, bool down) {
        const uint32_t key = htonl(keysym);
        char event[8] = {4, static_cast<char>(down), 0, 0};
        std::memcpy(event + 4, &key, 4);
        ASSERT_EQ(::send(socket_, event, sizeof event, 0), 8);
    }

    QProcess process_;
    int socket_ = -1;
};

// The name of a recovery file in `folder` other than `other`, waited for.
std::string AwaitRecovery(const std::string& folder, const std::string& other = {}) {
    for (int k = 0; k < 100; ++k) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string path = entry.path().string();
            if (entry.path().extension() == ".ccp" && path != other) return path;
        }
        QTest::qWait(100);
    }
    return {};
}

// The program imports captions (File > Import Captions, the file typed into the file dialog),
// writes its recovery file within the interval, and is killed; the next start asks, Enter
// recovers the same captions, and SIGTERM ends it with the recovery file kept.
TEST(Recovery, TheProgramKilledAfterAnAutosaveGivesItsCaptionsBack) {
    testing::TempDir home;
    const std::string srt = home.File("episode.srt"), folder = home.File("state/vantrel");
    testing::WriteFileText(srt,
                           "1\n00:00:01,000 --> 00:00:03,000\nHELLO THERE\n\n"
                           "2\n00:00:05,000 --> 00:00:07,000\nSECOND ONE\n");
    std::string written, left;
    {
        Program first(home.Path());
        if (!first.Connected()) GTEST_SKIP() << "Qt's VNC platform is not installed";
        first.Key('f', true);
        first.Key('i');
        first.Type(srt);
        first.Key(0xff0d);  // Return
        left = AwaitRecovery(folder);
        ASSERT_FALSE(left.empty()) << "no recovery file";
        written = testing::ReadFileText(left);
    }  // SIGKILL
    CaptionProject imported;
    ASSERT_EQ(ImportCaptionFile(imported, srt, "srt"), ImportResult::Imported);
    EXPECT_EQ(written, ProjectFileBytes(imported, 0));

    Program second(home.Path());
    ASSERT_TRUE(second.Connected());
    second.Key(0xff0d);  // Yes, the default answer
    const std::string file = AwaitRecovery(folder, left);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(testing::ReadFileText(file), written);
    EXPECT_FALSE(std::filesystem::exists(left));
    second.Process().terminate();
    ASSERT_TRUE(second.Process().waitForFinished(10000));
    EXPECT_EQ(second.Process().exitCode(), 128 + SIGTERM);
    EXPECT_EQ(testing::ReadFileText(file), written) << "kept for the next start";
}
#endif

}  // namespace
}  // namespace vantrel
