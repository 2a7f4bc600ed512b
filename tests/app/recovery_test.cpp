// Autosave and recovery: the title and Open Recent, the recovery file written beside (never
// over) the project, removed by Save and a confirmed quit, left by a window that just ends
// and offered back at the next start; and the program itself killed with SIGKILL.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QTest>
#include <csignal>
#include <cstring>
#include <memory>

#include "app/main_window.h"
#include "files/caption_import.h"
#include "files/files_test_support.h"
#include "files/project_file.h"
#include "scripted_dialogs.h"
#include "test_media.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

TEST(Recovery, AChangedProjectOutlivesItsWindowAndComesBackWithItsPath) {
    testing::TempDir dir;
    const std::string path = dir.File("episode.ccp"), folder = dir.File("state");
    test::ScriptedDialogs dialogs, again;
    dialogs.filesToSave = {path};
    auto window = std::make_unique<MainWindow>(&dialogs, test::QuietPlayer());
    ASSERT_FALSE(window->StartRecovery(folder));
    EXPECT_EQ(window->windowTitle(), "Untitled[*] - Vantrel");
    CaptionProject& project = window->View().Project();
    const auto change = [&](int32_t start) {
        testing::AddCaption(project.captions, start, start + 60, "TEXT");
        project.modified = true;
        window->Recovery().Update();
        window->ShowProjectState();
    };
    change(30);
    ASSERT_TRUE(window->View().Files().SaveAs());
    const std::string saved = testing::ReadFileText(path);
    change(100);
    EXPECT_EQ(window->windowTitle(), "episode.ccp[*] - Vantrel");
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(window->RecentProjects().value(0).toStdString(), path);
    const std::string recovery = window->Recovery().Files().ProjectFile();
    EXPECT_EQ(testing::ReadFileText(recovery), ProjectFileBytes(project, 0, path));
    EXPECT_EQ(testing::ReadFileText(path), saved);
    EXPECT_TRUE(FindLeftRecoveries(folder).empty()) << "the window still runs";
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(window->View().Files().Save());
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640)) << "Save keeps the mode";
    window->ShowProjectState();
    EXPECT_FALSE(fs::exists(recovery)) << "removed on Save";
    change(200);
    const std::string changed = ProjectFileBytes(project, 0);
    window.reset();  // as a kill leaves it

    again.answers = {Dialogs::Answer::Yes, Dialogs::Answer::No};
    window = std::make_unique<MainWindow>(&again, test::QuietPlayer());
    ASSERT_TRUE(window->StartRecovery(folder));
    EXPECT_EQ(again.asked.at(0).rfind("Vantrel ended without saving the changes to episode.ccp", 0),
              0u);
    EXPECT_EQ(ProjectFileBytes(window->View().Project(), 0), changed);
    EXPECT_TRUE(window->View().Project().modified);
    EXPECT_EQ(window->View().Files().ProjectPath(), path);
    EXPECT_FALSE(fs::exists(recovery)) << "held by the new window's own file";
    window->close();  // No to the save question
    window.reset();
    EXPECT_TRUE(fs::is_empty(folder));
}

#ifdef VANTREL_PROGRAM
// The program under Qt's VNC platform, whose RFB 3.3 server takes keys from a client as a
// screen would: keys are all it takes here (the menu, the file dialog, the recovery question).
class Program {
  public:
    explicit Program(const std::string& home) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_STATE_HOME", QString::fromStdString(home + "/state"));
        env.insert("VANTREL_AUTOSAVE_SECONDS", "1");
        const uint16_t port = static_cast<uint16_t>(20000 + ::getpid() % 20000);
        env.insert("QT_QPA_PLATFORM", QString("vnc:port=%1").arg(port));
        process_.setProcessEnvironment(env);
        process_.start(VANTREL_PROGRAM, {});
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

// Imported captions (File > Import Captions, the name typed into the file dialog) are written
// within the interval; killed, the program asks at its next start and Enter recovers the same
// captions; SIGTERM then ends it with its recovery file kept.
TEST(Recovery, TheProgramKilledAfterAnAutosaveGivesItsCaptionsBack) {
    testing::TempDir home;
    const std::string srt = home.File("in.srt"), folder = home.File("state/vantrel");
    testing::WriteFileText(srt,
                           "1\n00:00:01,000 --> 00:00:03,000\nHELLO\n\n"
                           "2\n00:00:05,000 --> 00:00:07,000\nAGAIN\n");
    constexpr char32_t kAlt = 0xffe9;
    CaptionProject imported;
    ASSERT_EQ(ImportCaptionFile(imported, srt, "srt"), ImportResult::Imported);
    std::string left;
    {
        Program first(home.Path());
        if (!first.Connected()) GTEST_SKIP() << "Qt's VNC platform is not installed";
        first.Press(U"f", kAlt);
        first.Press(U"i");
        first.Press(std::u32string(srt.begin(), srt.end()));
        first.Press(U"\xff0d");  // Return
        left = AwaitRecovery(folder);
        ASSERT_EQ(testing::ReadFileText(left), ProjectFileBytes(imported, 0));
    }  // SIGKILL
    Program second(home.Path());
    second.Press(U"\xff0d");  // Yes, the default answer
    const std::string file = AwaitRecovery(folder, left);
    EXPECT_EQ(testing::ReadFileText(file), ProjectFileBytes(imported, 0));
    EXPECT_FALSE(fs::exists(left));
    second.Process().terminate();
    ASSERT_TRUE(second.Process().waitForFinished(10000));
    EXPECT_EQ(second.Process().exitCode(), 128 + SIGTERM);
    EXPECT_EQ(testing::ReadFileText(file), ProjectFileBytes(imported, 0));
}
#endif

}  // namespace
}  // namespace vantrel
