// The progress dialog in front of real extractions and multiplexes: its bar, its title, Escape
// and Enter while the worker runs, and closing itself when the worker ends.
#include "app/progress_dialog.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include "files/file.h"
#include "files/file_messages.h"
#include "model/caption_project.h"
#include "mpeg/mpeg_commands.h"
#include "mpeg/mpeg_fakes.h"

namespace vantrel {
namespace {

using testing::Bytes;
using testing::Filler;

struct DialogRun {
    std::vector<int> bars;  // the bar's values as the user saw them, from 0 at the start
    QString title;
    MpegOutcome outcome;
    bool closed = false;
};

// Extracts (or multiplexes) `stream` behind the dialog; `onBar` runs on the first bar moves.
DialogRun RunDialog(const Bytes& stream, OperationMode mode,
                    const std::function<void(ProgressDialog&, int)>& onBar = {}) {
    testing::SourceFile source(stream);
    testing::RecordingHost host;
    CaptionProject project;
    project.host = &host;
    project.captions.Insert(testing::TextCaption(30, 90, "HELLO"));
    File destination;
    ProgressDialog dialog;
    DialogRun run;
    QObject::connect(&dialog.Bar(), &QProgressBar::valueChanged, [&](int value) {
        if (run.title.isEmpty()) run.title = dialog.windowTitle();
        run.bars.push_back(value);
        if (onBar) onBar(dialog, value);
    });
    // A dialog that never closes fails the test rather than hanging it.
    QTimer::singleShot(20000, &dialog, [&] { dialog.done(0); });
    if (mode == OperationMode::Extraction) {
        run.outcome = ImportM2v(project, source.file, dialog, project.captions);
    } else {
        EXPECT_TRUE(destination.Open(source.dir / "out.m2v", File::Mode::Create));
        run.outcome = RunMultiplex(project, source.file, destination, dialog);
    }
    run.closed = !dialog.isVisible();
    return run;
}

// A worker that ends at once, on an empty stream, still closes the dialog.
TEST(ProgressDialogTest, TheBarRunsFrom0To999UnderTheTitleOfTheOperationAndTheDialogCloses) {
    Bytes stream = Filler(999, 100);
    stream[3] = 0xB3;  // a sequence header first, so that the multiplex takes the stream
    for (OperationMode mode : {OperationMode::Extraction, OperationMode::Multiplexing}) {
        for (const bool empty : {false, true}) {
            DialogRun run = RunDialog(empty ? Bytes{} : stream, mode);
            EXPECT_TRUE(run.closed);
            EXPECT_NE(run.outcome.status, MpegStatus::Cancelled) << "closed by the timeout";
            if (empty) continue;
            EXPECT_EQ(run.bars,
                      (std::vector<int>{0, 100, 200, 300, 400, 500, 600, 700, 800, 900, 999}));
            EXPECT_EQ(run.title.toStdString(),
                      mode == OperationMode::Extraction ? kExtractionTitle : kMultiplexTitle);
        }
    }
}

TEST(ProgressDialogTest, EnterIsIgnoredAndEscapeStopsAnExtractionAndTheDialogClosesItself) {
    std::vector<bool> visible;  // after Enter, after Escape
    DialogRun run = RunDialog(Filler(2000000, 1000), OperationMode::Extraction,
                              [&visible](ProgressDialog& dialog, int value) {
                                  if (value != 1) return;
                                  QTest::keyClick(&dialog, Qt::Key_Return);
                                  visible.push_back(dialog.isVisible());
                                  QTest::keyClick(&dialog, Qt::Key_Escape);
                                  visible.push_back(dialog.isVisible());
                              });
    EXPECT_EQ(visible, (std::vector<bool>{true, true}));
    EXPECT_EQ(run.outcome.status, MpegStatus::Cancelled);
    EXPECT_LT(run.bars.back(), 1000);
    EXPECT_TRUE(run.closed);
}

}  // namespace
}  // namespace vantrel
