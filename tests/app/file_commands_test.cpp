// The File commands through their public operations, with scripted dialogs, the real core
// operations and the real progress dialog in front of the MPEG-2 ones; and the real save dialog.
#include "app/file_commands.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/file_dialog_requests.h"
#include "app/progress_dialog.h"
#include "app/qt_dialogs.h"
#include "files/caption_export.h"
#include "files/caption_import.h"
#include "files/file_messages.h"
#include "files/project_file.h"
#include "mpeg/mpeg_fakes.h"
#include "window_fixture.h"

namespace vantrel {
namespace {

using testing::AddCaption;
using testing::Octets;
using testing::ReadBytes;
using Answer = Dialogs::Answer;
using Names = std::vector<std::string>;

// The main view as the commands see it; its messages go to the scripted dialogs.
struct FakeView : FileCommandsHost, ProjectHost {
    test::ScriptedDialogs& dialogs;
    CaptionProject project;
    EditHistory history{project};
    int releases = 0, shows = 0, newProjects = 0, videoCloses = 0;
    std::vector<std::string> videosOpened, told;

    explicit FakeView(test::ScriptedDialogs& d) : dialogs(d) { project.host = this; }
    CaptionProject& Project() override { return project; }
    EditHistory& History() override { return history; }
    void PauseIfPlaying() override {}
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
    void Tell(const std::string& done) override { told.push_back(done); }
};

// The first caption's text, "" when there is none.
std::string FirstText(const CaptionProject& project) {
    return test::Text(project.captions.Head());
}

class FileCommandsTest : public ::testing::Test {
  protected:
    FileCommandsTest() { Reset(); }
    // An unchanged project with one caption and a video; dialogs with no script and no record.
    void Reset() {
        view.history.Clear(true);
        view.project.captions.Clear();
        AddCaption(view.project.captions, 30, 90, "OLD CAPTION");
        view.project.videoPath = "video.mpg";
        view.project.modified = false;
        view.videosOpened.clear();
        dialogs = test::ScriptedDialogs();
    }
    std::string Path(const std::string& name) const { return dir.File(name); }
    std::string Missing(const std::string& name) const { return dir.File("none/" + name); }

    testing::TempDir dir;
    test::ScriptedDialogs dialogs;
    FakeView view{dialogs};
    ProgressDialog progress;
    FileCommands commands{view, dialogs, progress};
};

// The question before a command that replaces the project, asked only when it has changed:
// Cancel, or Yes with Save As cancelled, stops the command; Yes with a name saves first.
TEST_F(FileCommandsTest, NewAsksAboutAChangedProjectAndYesSavesItFirst) {
    const struct {
        bool modified;
        Answer answer;
        std::optional<std::string> name;  // given to Save As
        bool goesOn;
    } cases[] = {
        {false, Answer::Cancel, {}, true},
        {true, Answer::Cancel, {}, false},
        {true, Answer::No, {}, true},
        {true, Answer::Yes, {}, false},
        {true, Answer::Yes, Path("a.ccp"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.modified << int(c.answer) << c.name.has_value());
        Reset();
        view.project.modified = c.modified;
        dialogs.answers = {c.answer};
        dialogs.filesToSave = {c.name};
        const int before = view.newProjects;
        commands.New();
        EXPECT_EQ(dialogs.asked, c.modified ? Names{kSaveChangesQuestion} : Names{});
        EXPECT_EQ(dialogs.saveRequests.size(), c.modified && c.answer == Answer::Yes ? 1u : 0u);
        EXPECT_EQ(view.newProjects - before, c.goesOn ? 1 : 0);
        EXPECT_EQ(view.project.captions.Count(), c.goesOn ? 0 : 1);
        EXPECT_EQ(view.project.modified, !c.goesOn);
        EXPECT_EQ(view.releases, view.shows);
    }
    EXPECT_EQ(commands.ProjectPath(), "");  // New empties it after the save
    CaptionProject saved;
    EXPECT_EQ(LoadProject(saved, Path("a.ccp")), LoadResult::Loaded);
    EXPECT_EQ(FirstText(saved), "OLD CAPTION");
}

TEST_F(FileCommandsTest, SaveFallsBackToSaveAsAndSaveAsAsksOnceAndDialogsStartAtTheProject) {
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
    dialogs.filesToSave.clear();  // named, its dialogs start in its folder and propose its name
    commands.ExportCaptions();
    commands.ImportCaptions();
    EXPECT_EQ(dialogs.saveRequests[1].fileName + dialogs.saveRequests[2].fileName +
                  dialogs.openRequests.at(0).fileName,
              Path("a.ccp") + Path("a.scc") + Path(""));
}

// A file that is no project changes nothing; a damaged one changes nothing either, but the
// captions before its damaged record may be opened as a new untitled project; a good one opens.
TEST_F(FileCommandsTest, OpenTakesAProjectAndOffersWhatADamagedOneHolds) {
    testing::WriteBytes(Path("bad.ccp"), Octets{'C', 'C', 'X', '1', 0, 0, 0, 0});
    CaptionProject saved;
    saved.videoPath = "clip.mpg";
    for (int k = 0; k < 3; ++k) AddCaption(saved.captions, 100 * k, 40 + 100 * k, "NEW");
    ASSERT_EQ(SaveProject(saved, Path("good.ccp")), WriteResult::Written);
    const Octets good = ReadBytes(Path("good.ccp"));
    testing::WriteBytes(Path("cut.ccp"), Octets(good.begin(), good.end() - 3));
    const std::string damaged = Path("cut.ccp") + "\n\nCaption record 3 of 3 is damaged";
    const std::string offer =
        "Open the 2 captions before the damaged record as a new untitled project?";
    const struct {
        const char* name;
        bool yes;             // the answer to the offer
        std::string message;  // the start of the one message, "" for none
        int count;            // the captions afterwards: 1 for the old one
    } cases[] = {
        {"good.ccp", false, "", 3},
        {"bad.ccp", true, NotAProjectText(Path("bad.ccp")), 1},
        {"cut.ccp", false, damaged, 1},
        {"cut.ccp", true, damaged, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.yes ? " yes" : " no"));
        Reset();
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
        EXPECT_EQ(commands.ProjectPath(), untitled ? "" : Path("good.ccp")) << "kept on a failure";
        if (untitled) {  // Save asks for a name, never writes over the damaged file
            EXPECT_FALSE(commands.Save());
            EXPECT_EQ(dialogs.saveRequests.size(), 1u);
        }
    }
}

// Import asks about a changed project first, then for the channel of a 608 file, then replaces
// the captions and keeps the video; Scenarist and subtitle files import, and a cancelled or
// unreadable import, or one of a channel the file cannot hold, keeps them.
TEST_F(FileCommandsTest, ImportAsksFirstThenReplacesTheCaptionsAndKeepsTheVideo) {
    CaptionProject other;
    AddCaption(other.captions, 60, 120, "IMPORTED");
    ExportCaptionFile(other, Path("in.scc"), "scc");
    std::ofstream(Path("in.srt"), std::ios::binary)
        << "1\r\n00:00:02,000 --> 00:00:04,000\r\nFrom SubRip\r\n";
    const struct {
        std::optional<std::string> file;
        std::string text, message;  // the caption's afterwards; the start of the one message
        int channel = 0;            // chosen when asked
    } cases[] = {
        {Path("in.scc"), "IMPORTED", "", 1},
        {Path("in.scc"), "OLD CAPTION", "Channel 4 is not in " + Path("in.scc"), 4},
        {Path("in.srt"), "From SubRip", ""},
        {std::nullopt, "OLD CAPTION", ""},
        {Missing("x.scc"), "OLD CAPTION", ErrorOpeningFileText(Missing("x.scc")), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.value_or("cancelled"));
        Reset();
        view.project.modified = true;
        dialogs.answers = {Answer::No};
        dialogs.filesToOpen = {c.file};
        dialogs.choices = {c.channel - 1};
        const int shows = view.shows;
        commands.ImportCaptions();
        EXPECT_EQ(dialogs.asked.size(), c.channel > 0 ? 2u : 1u);
        EXPECT_EQ(dialogs.asked.back(),
                  c.channel > 0 ? kImportChannelQuestion : kSaveChangesQuestion);
        EXPECT_EQ(dialogs.openRequests.at(0).title, kImportRequest.title);
        ASSERT_EQ(view.project.captions.Count(), 1);
        EXPECT_EQ(FirstText(view.project), c.text);
        EXPECT_EQ(view.project.captions.Head()->startFrame, c.text == "OLD CAPTION" ? 30 : 60);
        EXPECT_EQ(view.project.videoPath, "video.mpg");
        EXPECT_EQ(view.videoCloses, 0);
        EXPECT_TRUE(c.text == "OLD CAPTION" || view.shows == shows + 1) << "shown again";
        ASSERT_EQ(dialogs.informed.size(), c.message.empty() ? 0u : 1u);
        EXPECT_TRUE(c.message.empty() || dialogs.informed[0].rfind(c.message, 0) == 0);
        // An import is one step, which undo takes back whole.
        EXPECT_EQ(view.history.UndoName(), c.text == "OLD CAPTION" ? "" : kImportStep);
        view.history.Undo();
        EXPECT_EQ(FirstText(view.project), "OLD CAPTION");
    }
}

// The writers ask again after each failure until a file is written; for an export the name's
// extension picks the format and the filter the timecodes.
TEST_F(FileCommandsTest, WritersAskAgainAndTheNamesExtensionPicksTheFormatAndTheFilterTimecodes) {
    // Its end, frame 1800, is written 00:01:00;02 in drop-frame and 00:01:00:00 otherwise.
    AddCaption(view.project.captions, 1500, 1800, "A MINUTE IN");
    const auto exportCaptions = &FileCommands::ExportCaptions;
    const auto report = &FileCommands::GenerateTimingReport;
    const std::string scc = "Scenarist Closed Caption (*.scc)";
    const std::string ccd = "Closed Caption Disassembly (*.ccd)";
    const auto& exp = kExportRequest;
    const struct {
        void (FileCommands::*command)();
        const Dialogs::FileRequest& request;
        const char* name;
        std::string filter;  // "" for the dialog's first
        std::string minute;  // frame 1800; "" where the file has no timecodes
    } cases[] = {
        {exportCaptions, exp, "a.scc", "", "00:01:00:00"},
        {exportCaptions, exp, "b.scc", scc, "00:01:00:00"},
        {exportCaptions, exp, "c.scc", kSccDropFrameFilter, "00:01:00;02"},
        {exportCaptions, exp, "d.ccd", ccd, "00:01:00:00"},
        {exportCaptions, exp, "e.ccd", kCcdDropFrameFilter, "00:01:00;02"},
        {exportCaptions, exp, "f.ccd", kSccDropFrameFilter, "00:01:00;02"},
        {exportCaptions, exp, "g.SCC", kCcdDropFrameFilter, "00:01:00;02"},
        {exportCaptions, exp, "h.bin", kSccDropFrameFilter, ""},
        {exportCaptions, exp, "i.DAT", "", ""},
        {report, kTimingReportRequest, "j.txt", "", "00:01:00:00"},
        {report, kTimingReportRequest, "k.txt", kReportDropFrameFilter, "00:01:00;02"},
        {&FileCommands::ConvertToSubtitle, kSubtitleRequest, "l.srt", "", "00:01:00,060"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs = test::ScriptedDialogs();
        view.told.clear();
        dialogs.filesToSave = {Missing(c.name), Missing(c.name), Path(c.name)};
        if (!c.filter.empty()) dialogs.filtersToChoose.assign(3, c.filter);
        (commands.*c.command)();
        ASSERT_EQ(dialogs.saveRequests.size(), 3u);
        EXPECT_EQ(dialogs.saveRequests[2].title, c.request.title);
        EXPECT_EQ(dialogs.informed.size(), 2u);
        // Only the file written is told, by its name.
        const char* done = c.command == exportCaptions ? "Exported the captions to "
                           : c.command == report       ? "Wrote the timing report "
                                                       : "Converted the captions to ";
        EXPECT_EQ(view.told, Names{done + std::string(c.name)});
        const Octets bytes = ReadBytes(Path(c.name));
        const std::string text(bytes.begin(), bytes.end());
        EXPECT_TRUE(c.minute.empty() || text.find(c.minute) != std::string::npos) << text;
        if (c.command == exportCaptions) {
            CaptionProject back;
            ImportCaptionFile(back, Path(c.name), ExtensionOf(Path(c.name)));
            EXPECT_TRUE(testing::SameCaptions(view.project.captions, back.captions, true));
        }
    }
    // A name of no format is written in the dialog's own (Scenarist), never as an empty file.
    dialogs.filesToSave = {Path("l.xyz")};
    commands.ExportCaptions();
    CaptionProject back;
    ImportCaptionFile(back, Path("l.xyz"), "scc");
    EXPECT_TRUE(testing::SameCaptions(view.project.captions, back.captions, true));
}

TEST_F(FileCommandsTest, MultiplexAsksForASourceThenADestination) {
    testing::StreamBuilder stream;
    stream.SequenceHeader();
    for (int g = 0; g < 8; ++g) stream.Group().Pictures(15);
    testing::WriteBytes(Path("in.m2v"), stream.bytes());
    testing::WriteBytes(Path("text.m2v"), Octets{'h', 'i', '\n'});
    // A source that cannot be opened, a destination over the source and a source that is no
    // video stream each start again.
    dialogs.filesToOpen = {Missing("in.m2v"), Path("in.m2v"), Path("text.m2v"), Path("in.m2v")};
    dialogs.filesToSave = {Path("in.m2v"), Path("out.m2v"), Path("out.m2v")};
    commands.Multiplex();
    ASSERT_EQ(dialogs.openRequests.size(), 4u);
    ASSERT_EQ(dialogs.saveRequests.size(), 3u);
    // The source dialog opens on every video the embedder takes; the output is proposed beside
    // the source in its container.
    EXPECT_EQ(dialogs.openRequests[0].title, "Choose the Video to Embed Captions Into");
    EXPECT_EQ(dialogs.openRequests[0].filter.rfind("Videos (*.m2v *.mp4 *.m4v *.mov", 0), 0u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, Path("in-captioned.m2v"));
    EXPECT_EQ(dialogs.saveRequests[0].defaultExtension, "m2v");
    const Dialogs::FileRequest mp4 = EmbedDestinationRequest("/videos/job.mp4");
    EXPECT_EQ(std::tie(mp4.fileName, mp4.defaultExtension),
              std::tie("/videos/job-captioned.mp4", "mp4"));
    // Export opens on Scenarist, with the timecodes the window shows.
    EXPECT_EQ(ExportRequest(TimecodeStyle::NonDropFrame).selectedFilter,
              "Scenarist Closed Caption (*.scc)");
    EXPECT_EQ(ExportRequest(TimecodeStyle::DropFrame).selectedFilter,
              "Scenarist Closed Caption, drop-frame timecodes (*.scc)");
    EXPECT_NE(kExportRequest.filter.find("Scenarist Closed Caption (*.scc)"), std::string::npos);
    ASSERT_EQ(dialogs.informed.size(), 3u);
    EXPECT_EQ(dialogs.informed[0].rfind(ErrorOpeningFileText(Missing("in.m2v")), 0), 0u);
    EXPECT_EQ(dialogs.informed[1].rfind(ErrorSavingFileText(Path("in.m2v")), 0), 0u);
    EXPECT_NE(dialogs.informed[2].find("is not an MPEG-2 video"), std::string::npos);
    EXPECT_EQ(ReadBytes(Path("in.m2v")), stream.bytes());
    EXPECT_EQ(testing::Collect(ReadBytes(Path("out.m2v"))).pairs.size(), 2u * 120)
        << "a pair a picture";
    EXPECT_EQ(view.told, Names{"Embedded the captions into out.m2v"});
}

// The progress dialog in front of an import and a multiplex: the bar from 0 to 999 under the
// operation's title, and the dialog closing itself when the worker ends, at once too (an empty
// stream); Enter ignored and Escape stopping an import, which keeps the captions. A quit ends
// every event loop, the dialog's too, while the worker may be waiting for a bar update on this
// thread: the run returns (rather than deadlocking in the join) once the worker has stopped.
// A long transcript is laid out behind the dialog too, and Escape places none of it.
TEST_F(FileCommandsTest, TheProgressDialogShowsTheBarAndClosesWhenTheWorkerEnds) {
    Octets stream = testing::Filler(999, 100);
    stream[3] = 0xB3;  // a sequence header first, so that the multiplex takes the stream
    testing::WriteBytes(Path("in.m2v"), stream);
    testing::WriteBytes(Path("empty.m2v"), {});
    testing::WriteBytes(Path("long.m2v"), testing::Filler(2000000, 1000));
    std::string transcript;
    for (int k = 0; k < 20000; ++k) transcript += "A LINE\n\n";
    testing::WriteFileText(Path("long.txt"), transcript);
    std::vector<int> bars;  // the bar's values as the user saw them
    std::string title;
    std::vector<bool> visible;  // after Enter, after Escape
    bool escape = false, quit = false;
    QObject::connect(&progress.Bar(), &QProgressBar::valueChanged, [&](int value) {
        if (bars.empty()) title = progress.windowTitle().toStdString();
        bars.push_back(value);
        if (value == 1 && quit) progress.done(0);
        if (!escape || value != 1) return;
        QTest::keyClick(&progress, Qt::Key_Return);
        visible.push_back(progress.isVisible());
        QTest::keyClick(&progress, Qt::Key_Escape);
        visible.push_back(progress.isVisible());
    });
    const struct {
        std::string name;
        bool multiplex, quit = false, transcript = false;
    } cases[] = {{"long.txt", false, false, true},
                 {"in.m2v", false},
                 {"in.m2v", true},
                 {"empty.m2v", false},
                 {"long.m2v", false, true},
                 {"long.m2v", false}};
    int runs = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + (c.multiplex ? " multiplexed" : " imported") +
                     (c.quit ? " quit" : ""));
        Reset();
        bars.clear();
        quit = c.quit;
        escape = (c.name == "long.m2v" || c.transcript) && !quit;
        dialogs.filesToOpen = {Path(c.name)};
        dialogs.filesToSave = {Path("out.m2v")};
        // A dialog that never closes fails the test rather than hanging it.
        QTimer::singleShot(20000, &progress, [&, run = ++runs] {
            if (run == runs) progress.done(0);
        });
        c.transcript  ? commands.ImportTranscript()
        : c.multiplex ? commands.Multiplex()
                      : commands.ImportCaptions();
        EXPECT_FALSE(progress.isVisible());
        if (c.transcript) {
            EXPECT_EQ(title, kTranscriptTitle);
            EXPECT_EQ(view.project.captions.Count(), 1u);
        }
        // Run to its end, each tells: no captions in the stream, or the caption past its end.
        ASSERT_EQ(dialogs.informed.size(), escape || quit ? 0u : 1u) << "closed by the timeout";
        EXPECT_TRUE(escape || quit || c.multiplex ||
                    dialogs.informed[0] == "Video file does not contain closed captions");
        EXPECT_EQ(FirstText(view.project), "OLD CAPTION");
        if (c.name != "in.m2v") continue;
        EXPECT_EQ(bars, (std::vector<int>{0, 100, 200, 300, 400, 500, 600, 700, 800, 900, 999}));
        EXPECT_EQ(title, c.multiplex ? "Embedding captions into out.m2v" : kExtractionTitle);
    }
    EXPECT_EQ(visible, (std::vector<bool>{true, true, true, true}));
    EXPECT_LT(bars.back(), 1000);
}

// The real save dialog, driven as a person would: the filter chosen in its list comes back with
// the name, and a name typed without an extension takes the chosen filter's.
TEST_F(FileCommandsTest, TheRealSaveDialogReturnsTheChosenFilterAndAddsItsExtension) {
    const std::string folder = Path("");
    const struct {
        const Dialogs::FileRequest& request;
        int filterSteps;  // Down presses in the filter list
        const char* typed;
        std::string path, filter;
    } cases[] = {
        {kExportRequest, 0, "a", "a.bin", "Binary Caption Data (*.bin *.dat)"},
        {kExportRequest, 1, "b", "b.scc", "Scenarist Closed Caption (*.scc)"},
        {kExportRequest, 2, "c", "c.scc", kSccDropFrameFilter},
        {kExportRequest, 2, "d.scc", "d.scc", kSccDropFrameFilter},
        {kExportRequest, 4, "e", "e.ccd", kCcdDropFrameFilter},
        {kTimingReportRequest, 1, "f", "f.txt", kReportDropFrameFilter},
        {kSaveProjectRequest, 1, "g", "g.ccp", "All Files (*)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* filters = dialog ? dialog->findChild<QComboBox*>("fileTypeCombo") : nullptr;
            auto* name = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
            if (!filters || !name) {
                ADD_FAILURE() << "no file dialog with a filter list and a name";
                if (QApplication::activeModalWidget()) QApplication::activeModalWidget()->close();
                return;
            }
            for (int i = 0; i < c.filterSteps; ++i) QTest::keyClick(filters, Qt::Key_Down);
            name->setText(QString::fromStdString(folder + c.typed));
            QTest::keyClick(name, Qt::Key_Return);
        });
        const auto chosen = QtDialogs(nullptr).ChooseFileToSave(c.request);
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(chosen->path, folder + c.path);
        EXPECT_EQ(chosen->filter, c.filter);
    }
}

}  // namespace
}  // namespace vantrel
