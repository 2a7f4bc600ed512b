// The File commands through their public operations, with scripted dialogs, the real core
// operations and the real progress dialog.
#include "app/file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "app/file_dialog_requests.h"
#include "app/progress_dialog.h"
#include "files/caption_export.h"
#include "files/caption_import.h"
#include "files/file_messages.h"
#include "files/project_file.h"
#include "mpeg/mpeg_fakes.h"
#include "video/scripted_dialogs.h"

namespace vantrel {
namespace {

using testing::Bytes;
using testing::ReadBytes;
using testing::SameCaptions;
using testing::TextCaption;
using Answer = Dialogs::Answer;

// The main view as the commands see it; its messages go to the scripted dialogs.
struct FakeView : FileCommandsHost, ProjectHost {
    test::ScriptedDialogs& dialogs;
    CaptionProject project;
    int pauses = 0, releases = 0, shows = 0, newProjects = 0, videoCloses = 0;

    explicit FakeView(test::ScriptedDialogs& d) : dialogs(d) { project.host = this; }
    CaptionProject& Project() override { return project; }
    void PauseIfPlaying() override { ++pauses; }
    void ReleaseCaptions() override { ++releases; }
    void ShowCaptionsAgain() override { ++shows; }
    void StartNewProject() override {
        ++newProjects;
        project.captions.Clear();
        project.modified = false;
    }
    void Inform(const std::string& text) override { dialogs.Inform(text); }
    void CloseVideo() override { ++videoCloses; }
    void OpenVideo(const std::string& path) override { videosOpened.push_back(path); }
    std::vector<std::string> videosOpened;
};

// The first caption's text, "" when there is none.
std::string FirstText(const CaptionProject& project) {
    const Caption* c = project.captions.Head();
    if (c == nullptr) return "";
    char text[256];
    return std::string(text, c->GetRunningText(text, false, sizeof text));
}

class FileCommandsTest : public ::testing::Test {
  protected:
    FileCommandsTest() {
        view.project.captions.Insert(TextCaption(30, 90, "OLD CAPTION"));
        view.project.videoPath = "video.mpg";
    }
    // A changed project with one caption.
    void Change() { view.project.modified = true; }
    std::string Path(const std::string& name) const { return dir / name; }
    std::string Missing(const std::string& name) const { return dir / ("none/" + name); }
    // Writes a Scenarist file holding one caption with `text`.
    std::string SccFile(const std::string& text) {
        CaptionProject other;
        other.captions.Insert(TextCaption(60, 120, text));
        ExportCaptionFile(other, Path("in.scc"), "scc");
        return Path("in.scc");
    }

    testing::TempDir dir;
    test::ScriptedDialogs dialogs;
    FakeView view{dialogs};
    ProgressDialog progress;
    FileCommands commands{view, dialogs, progress};
};

TEST_F(FileCommandsTest, NewAsksOnlyAboutAChangedProjectAndCancelChangesNothing) {
    commands.New();
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(view.newProjects, 1);

    view.project.captions.Insert(TextCaption(200, 260, "NEW"));
    Change();
    dialogs.answers = {Answer::Cancel};
    commands.New();
    EXPECT_EQ(dialogs.asked, std::vector<std::string>{kSaveChangesQuestion});
    EXPECT_EQ(view.newProjects, 1);
    EXPECT_EQ(view.project.captions.Count(), 1);
    EXPECT_TRUE(view.project.modified);

    dialogs.answers = {Answer::No};
    commands.New();
    EXPECT_EQ(view.newProjects, 2);
    EXPECT_EQ(view.releases, view.shows);
}

TEST_F(FileCommandsTest, YesOnANeverSavedProjectShowsSaveAsAndItsCancelAborts) {
    Change();
    dialogs.answers = {Answer::Yes, Answer::Yes};
    commands.New();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].title, kSaveProjectRequest.title);
    EXPECT_EQ(view.newProjects, 0);

    // Saved this time: the project is written, named, and the command goes on.
    dialogs.filesToSave = {Path("a.ccp")};
    commands.New();
    EXPECT_EQ(commands.ProjectPath(), "");  // New empties it after the save
    EXPECT_EQ(view.newProjects, 1);
    CaptionProject reloaded;
    EXPECT_EQ(LoadProject(reloaded, Path("a.ccp")), LoadResult::Loaded);
    EXPECT_EQ(FirstText(reloaded), "OLD CAPTION");
}

TEST_F(FileCommandsTest, SaveFallsBackToSaveAsAndSaveAsAsksOnce) {
    dialogs.filesToSave = {Path("a.ccp")};
    ASSERT_TRUE(commands.Save());
    EXPECT_EQ(commands.ProjectPath(), Path("a.ccp"));
    EXPECT_TRUE(commands.Save());  // to the known path, no dialog
    EXPECT_EQ(dialogs.saveRequests.size(), 1u);

    dialogs.filesToSave = {Missing("b.ccp"), Path("c.ccp")};
    EXPECT_FALSE(commands.SaveAs());
    EXPECT_EQ(dialogs.saveRequests.size(), 2u);
    EXPECT_EQ(dialogs.informed.size(), 1u);
    EXPECT_EQ(dialogs.informed[0].rfind(ErrorSavingFileText(Missing("b.ccp")), 0), 0u);
    EXPECT_EQ(commands.ProjectPath(), Path("a.ccp"));
}

// A file that is no project changes nothing; a damaged one changes nothing either, but the
// captions before its damaged record may be opened as a new untitled project; a good one opens.
TEST_F(FileCommandsTest, OpenTakesAProjectAndOffersWhatADamagedOneHolds) {
    testing::WriteBytes(Path("bad.ccp"), Bytes{'C', 'C', 'X', '1', 0, 0, 0, 0});
    CaptionProject saved;
    saved.videoPath = "clip.mpg";
    for (int k = 0; k < 3; ++k) saved.captions.Insert(TextCaption(100 * k, 40 + 100 * k, "NEW"));
    ASSERT_EQ(SaveProject(saved, Path("good.ccp")), WriteResult::Written);
    const Bytes good = ReadBytes(Path("good.ccp"));
    testing::WriteBytes(Path("cut.ccp"), Bytes(good.begin(), good.end() - 3));
    const std::string damaged = Path("cut.ccp") + "\n\nCaption record 3 of 3 is damaged";
    const std::string offer =
        "Open the 2 captions before the damaged record as a new untitled project?";
    using Names = std::vector<std::string>;
    const struct {
        const char* name;
        bool yes;             // the answer to the offer
        std::string message;  // the start of the one message, "" for none
        int count;            // the captions afterwards: 1 for the old one
    } cases[] = {
        {"bad.ccp", true, NotAProjectText(Path("bad.ccp")), 1},
        {"cut.ccp", false, damaged, 1},
        {"cut.ccp", true, damaged, 2},
        {"good.ccp", false, "", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.yes ? " yes" : " no"));
        view.project.captions.Clear();
        view.project.captions.Insert(TextCaption(30, 90, "OLD CAPTION"));
        view.project.videoPath = "video.mpg";
        view.project.modified = false;
        view.videosOpened.clear();
        dialogs.informed.clear();
        dialogs.asked.clear();
        dialogs.yesNoAnswers = {c.yes};
        dialogs.filesToOpen = {Path(c.name)};
        commands.Open();
        ASSERT_EQ(dialogs.informed.size(), c.message.empty() ? 0u : 1u);
        EXPECT_TRUE(c.message.empty() || dialogs.informed[0].rfind(c.message, 0) == 0);
        const bool offered = c.message == damaged, untitled = offered && c.yes;
        EXPECT_EQ(dialogs.asked, offered ? Names{offer} : Names{});
        EXPECT_EQ(view.project.captions.Count(), c.count);
        const bool kept = c.count == 1;
        EXPECT_EQ(view.project.videoPath, kept ? "video.mpg" : "clip.mpg");
        EXPECT_EQ(view.videosOpened, kept ? Names{} : Names{"clip.mpg"});
        EXPECT_EQ(view.project.modified, untitled);
        EXPECT_EQ(commands.ProjectPath(), c.count == 3 ? Path("good.ccp") : "");
        if (untitled) {  // Save asks for a name, never writes over the damaged file
            dialogs.saveRequests.clear();
            EXPECT_FALSE(commands.Save());
            EXPECT_EQ(dialogs.saveRequests.size(), 1u);
        }
    }
}

TEST_F(FileCommandsTest, ImportAsksFirstThenReplacesTheCaptionsAndKeepsTheVideo) {
    Change();
    dialogs.answers = {Answer::No};
    dialogs.filesToOpen = {SccFile("IMPORTED")};
    commands.ImportCaptions();
    EXPECT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].title, kImportRequest.title);
    EXPECT_EQ(FirstText(view.project), "IMPORTED");
    EXPECT_EQ(view.project.captions.Count(), 1);
    EXPECT_EQ(view.project.videoPath, "video.mpg");
    EXPECT_EQ(view.videoCloses, 0);
    EXPECT_TRUE(view.project.modified);
    EXPECT_EQ(view.shows, 1);
}

TEST_F(FileCommandsTest, SubtitleFilesImportAsCaptions) {
    const std::pair<std::string, std::string> files[] = {
        {"in.srt", "1\r\n00:00:02,000 --> 00:00:04,000\r\nFrom SubRip\r\n"},
        {"in.vtt", "WEBVTT\n\n00:00:02.000 --> 00:00:04.000\nFrom WebVTT\n"},
    };
    for (const auto& [name, content] : files) {
        SCOPED_TRACE(name);
        std::ofstream(Path(name), std::ios::binary) << content;
        dialogs.filesToOpen = {Path(name)};
        dialogs.answers = {Answer::No};  // the previous import changed the project
        commands.ImportCaptions();
        EXPECT_TRUE(dialogs.informed.empty());
        ASSERT_EQ(view.project.captions.Count(), 1);
        EXPECT_EQ(FirstText(view.project), content.substr(content.rfind("From"), 11));
        EXPECT_EQ(view.project.captions.Head()->startFrame, 60);
    }
}

TEST_F(FileCommandsTest, AnImportThatCannotBeReadKeepsTheCaptions) {
    struct Case {
        std::optional<std::string> file;
        std::string message;  // what the user is told first, "" for nothing
    } cases[] = {
        {std::nullopt, ""},
        {Missing("x.scc"), ErrorOpeningFileText(Missing("x.scc"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.value_or("cancelled"));
        dialogs.informed.clear();
        dialogs.filesToOpen = {c.file};
        commands.ImportCaptions();
        EXPECT_EQ(FirstText(view.project), "OLD CAPTION");
        if (!c.message.empty()) {
            ASSERT_FALSE(dialogs.informed.empty());
            EXPECT_EQ(dialogs.informed[0].rfind(c.message, 0), 0u) << dialogs.informed[0];
        }
    }
}

TEST_F(FileCommandsTest, TheNamesExtensionPicksTheFormatAndTheFilterTheTimecodes) {
    // Its end, frame 1800, is written 00:01:00;02 in drop-frame and 00:01:00:00 otherwise.
    view.project.captions.Insert(TextCaption(1500, 1800, "A MINUTE IN"));
    const auto exportCaptions = &FileCommands::ExportCaptions;
    const auto report = &FileCommands::GenerateTimingReport;
    const std::string scc = "Scenarist Closed Caption (*.scc)";
    const std::string ccd = "Closed Caption Disassembly (*.ccd)";
    const struct {
        void (FileCommands::*command)();
        const char* name;
        std::string filter;  // "" for the dialog's first
        std::string minute;  // frame 1800; "" where the file has no timecodes
    } cases[] = {
        {exportCaptions, "a.scc", "", "00:01:00:00"},
        {exportCaptions, "b.scc", scc, "00:01:00:00"},
        {exportCaptions, "c.scc", kSccDropFrameFilter, "00:01:00;02"},
        {exportCaptions, "d.ccd", ccd, "00:01:00:00"},
        {exportCaptions, "e.ccd", kCcdDropFrameFilter, "00:01:00;02"},
        {exportCaptions, "f.ccd", kSccDropFrameFilter, "00:01:00;02"},
        {exportCaptions, "g.SCC", kCcdDropFrameFilter, "00:01:00;02"},
        {exportCaptions, "h.bin", kSccDropFrameFilter, ""},
        {exportCaptions, "i.DAT", "", ""},
        {report, "j.txt", "", "00:01:00:00"},
        {report, "k.txt", kReportDropFrameFilter, "00:01:00;02"},
    };
    const std::regex timecode(R"(\d\d:\d\d:\d\d([:;])\d\d)");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.filesToSave = {Path(c.name)};
        if (!c.filter.empty()) dialogs.filtersToChoose = {c.filter};
        (commands.*c.command)();
        const Bytes bytes = ReadBytes(Path(c.name));
        const std::string text(bytes.begin(), bytes.end());
        int timecodes = 0;
        for (std::sregex_iterator m(text.begin(), text.end(), timecode), end; m != end; ++m) {
            EXPECT_EQ((*m)[1], c.minute.substr(8, 1)) << m->str();
            ++timecodes;
        }
        EXPECT_EQ(timecodes == 0, c.minute.empty());
        EXPECT_TRUE(c.minute.empty() || text.find(c.minute) != std::string::npos) << text;
        if (c.command == exportCaptions) {
            CaptionProject back;
            ImportCaptionFile(back, Path(c.name), ExtensionOf(Path(c.name)));
            EXPECT_TRUE(SameCaptions(back.captions, view.project.captions));
        }
    }
    ASSERT_EQ(dialogs.saveRequests.size(), std::size(cases));
    EXPECT_EQ(dialogs.saveRequests[0].filter, kExportRequest.filter);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, "untitled.bin");

    // Any other extension gives an empty file.
    dialogs.filesToSave = {Path("l.xyz")};
    commands.ExportCaptions();
    EXPECT_TRUE(ReadBytes(Path("l.xyz")).empty());
}

TEST_F(FileCommandsTest, WritersAskAgainAfterEachFailureUntilAFileIsWritten) {
    const struct {
        void (FileCommands::*command)();
        const Dialogs::FileRequest& request;
        const char* name;
    } cases[] = {
        {&FileCommands::ExportCaptions, kExportRequest, "a.scc"},
        {&FileCommands::GenerateTimingReport, kTimingReportRequest, "a.txt"},
        {&FileCommands::ConvertToSubtitle, kSubtitleRequest, "a.srt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request.title);
        dialogs.saveRequests.clear();
        dialogs.informed.clear();
        dialogs.filesToSave = {Missing(c.name), Missing(c.name), Path(c.name)};
        (commands.*c.command)();
        ASSERT_EQ(dialogs.saveRequests.size(), 3u);
        EXPECT_EQ(dialogs.saveRequests[2].title, c.request.title);
        EXPECT_EQ(dialogs.informed.size(), 2u);
        EXPECT_FALSE(ReadBytes(Path(c.name)).empty());
    }
}

TEST_F(FileCommandsTest, MultiplexAsksForASourceThenADestination) {
    testing::StreamBuilder stream;
    stream.SequenceHeader();
    for (int g = 0; g < 8; ++g) stream.Group().Pictures(15);
    stream.SequenceEnd();
    testing::WriteBytes(Path("in.m2v"), stream.bytes());

    testing::WriteBytes(Path("text.m2v"), Bytes{'h', 'i', '\n'});

    // A source that cannot be opened, a destination over the source and a source that is no
    // video stream each start again.
    dialogs.filesToOpen = {Missing("in.m2v"), Path("in.m2v"), Path("text.m2v"), Path("in.m2v")};
    dialogs.filesToSave = {Path("in.m2v"), Path("out.m2v"), Path("out.m2v")};
    commands.Multiplex();
    ASSERT_EQ(dialogs.openRequests.size(), 4u);
    ASSERT_EQ(dialogs.saveRequests.size(), 3u);
    EXPECT_EQ(dialogs.openRequests[0].title, kMultiplexSourceRequest.title);
    EXPECT_EQ(dialogs.saveRequests[0].title, kMultiplexDestinationRequest.title);
    ASSERT_EQ(dialogs.informed.size(), 3u);
    EXPECT_EQ(dialogs.informed[0].rfind(ErrorOpeningFileText(Missing("in.m2v")), 0), 0u);
    EXPECT_EQ(dialogs.informed[1].rfind(ErrorSavingFileText(Path("in.m2v")), 0), 0u);
    EXPECT_NE(dialogs.informed[2].find("is not an MPEG-2 video elementary stream"),
              std::string::npos);
    EXPECT_EQ(ReadBytes(Path("in.m2v")), stream.bytes());

    const Bytes out = ReadBytes(Path("out.m2v"));
    const Bytes userData{0x00, 0x00, 0x01, 0xB2, 0x43, 0x43, 0x01, 0xF8};
    EXPECT_GT(out.size(), stream.bytes().size());
    EXPECT_NE(std::search(out.begin(), out.end(), userData.begin(), userData.end()), out.end());
}

}  // namespace
}  // namespace vantrel
