// The caption list of the main window: importing a long .scc into the window until it is drawn
// again, and scrolling the list of a long project.
//   list_bench [--benchmark_filter=...]
// Import: File > Import Captions of a 3-hour (3,000 captions) and a 30-hour file made by the
// bench, the caption list shown, timed from the command to the end of the window's next
// repaint; import_ms per import (at most 200 ms for 3 hours, 12 times that for 30). The core's
// own import of the same file is timed beside it (core_ms). Scroll: the list of 5,000 captions
// scrolled by a page or a row and drawn again, repaint_ms per step (at most 16 ms).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <string>

#include "../core/feature_project.h"
#include "app/main_window.h"
#include "files/caption_export.h"
#include "files/caption_import.h"

namespace {

using namespace vantrel;

// Answers every question No and every file dialog with the file of the moment.
class BenchDialogs : public Dialogs {
  public:
    std::string file;
    Answer AskYesNoCancel(const std::string&) override { return Answer::No; }
    bool AskYesNo(const std::string&) override { return false; }
    void Inform(const std::string&) override {}
    std::optional<std::string> ChooseFileToOpen(const FileRequest&) override { return file; }
    std::optional<ChosenFile> ChooseFileToSave(const FileRequest&) override { return {}; }
    std::optional<int> ChooseOne(const std::string&, const std::vector<std::string>&,
                                 int initial) override {
        return initial;
    }
    void Beep() override {}
};

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

// `copies` feature-length runs one after another: 3 hours each.
void MakeLong(CaptionList& list, int copies) {
    for (int k = 0; k < copies; ++k) {
        CaptionList one;
        MakeFeature(one);
        while (Caption* c = one.Head()) {
            auto moved = one.Unlink(c);
            moved->startFrame += k * kThreeHours;
            moved->endFrame += k * kThreeHours;
            list.Link(std::move(moved));
        }
    }
}

// A 10-second 640 x 480 video for the window to show, made once with ffmpeg; "" without it.
std::string Video() {
    const QString path = Folder().filePath("video.m2v");
    if (QFile::exists(path)) return path.toStdString();
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                            "testsrc2=s=640x480:r=30000/1001", "-frames:v", "300", "-c:v",
                            "mpeg2video", path});
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0) return {};
    return path.toStdString();
}

// The .scc of `copies` features, written once.
std::string SccFile(int copies, int* captions) {
    const std::string path = Folder().filePath(QString("feature%1.scc").arg(copies)).toStdString();
    CaptionProject project;
    MakeLong(project.captions, copies);
    *captions = project.captions.Count();
    if (!QFile::exists(QString::fromStdString(path))) ExportCaptionFile(project, path, "scc");
    return path;
}

void BM_ImportIntoWindow(benchmark::State& state) {
    int captions = 0;
    const std::string path = SccFile(static_cast<int>(state.range(0)), &captions);
    BenchDialogs dialogs;
    dialogs.file = path;
    MainWindow window(&dialogs, {{"ao", "null"}});
    window.ShowListAction().setChecked(true);
    window.show();
    const std::string video = state.range(1) ? Video() : std::string();
    if (!video.empty()) {
        window.View().OpenVideo(video);
        while (window.View().Player().Busy()) QApplication::processEvents();
    }
    QApplication::processEvents();
    double total = 0;
    double core = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        window.View().Files().ImportCaptions();
        window.repaint();
        total += static_cast<double>(timer.nsecsElapsed()) / 1e6;
        state.PauseTiming();
        CaptionProject alone;
        timer.restart();
        ImportCaptionFile(alone, path, "scc");
        core += static_cast<double>(timer.nsecsElapsed()) / 1e6;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["import_ms"] = total / n;
    state.counters["core_ms"] = core / n;
    state.counters["captions"] = window.View().Project().captions.Count();
    state.SetLabel(std::to_string(3 * state.range(0)) + " hours, " + std::to_string(captions) +
                   " captions, " + (video.empty() ? "no video" : "a video open"));
}
BENCHMARK(BM_ImportIntoWindow)
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({10, 1})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void BM_ScrollList(benchmark::State& state) {
    CaptionList list;
    MakeLong(list, 2);
    while (list.Count() > 5000) list.Remove(list.Head());
    CaptionTable table(list);
    table.resize(640, 540);  // larger than the list's place in the window
    table.show();
    QApplication::processEvents();
    QScrollBar& bar = *table.verticalScrollBar();
    const int step = state.range(0) == 0 ? bar.pageStep() : 1;
    double total = 0;
    int position = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        position = position + step > bar.maximum() ? 0 : position + step;
        bar.setValue(position);
        table.viewport()->repaint();
        total += static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    state.counters["repaint_ms"] = total / static_cast<double>(state.iterations());
    state.SetLabel(std::string(state.range(0) == 0 ? "by pages" : "by rows") + ", " +
                   std::to_string(list.Count()) + " captions");
}
BENCHMARK(BM_ScrollList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window's settings go here, never among the user's own.
    const QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_STATE_HOME", (home.path() + "/state").toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
