// Takes the screenshots of the documentation: the caption window showing a caption in several
// colours, italics and underline over a paused video frame, the timeline under it with the
// captions that follow in their timing modes, its time ruler, the audio's waveform and the shot
// changes found in the video, the whole main window playing the video with that caption on the
// air and the list beside it, and the Edit menu after a caption was moved. A video without sound
// gets a made-up waveform of speech, one without cuts made-up shot changes. The window is
// 1280 x 800 in the layout of a new user (the user's own is left out); a 16:9 video shows how
// the picture keeps its shape. Run by hand under a real X server, after building with
// -DVANTREL_TOOLS=ON (see make_caption_font.cpp), on a 30 s video cut at frames 118, 260, 452,
// 610 and 705 with bursts of tone for speech:
//   scripts/make-screenshot-video.sh /tmp/shot.mp4
//   xvfb-run -a -s "-screen 0 1600x1000x24" build/tools/tools/make_screenshots /tmp/shot.mp4 docs
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "editor/caption_steps.h"
#include "editor/character_edit.h"

namespace {

using vantrel::Caption;

void Wait(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Types `text` at (row, column) through the editor engine, so that the attribute codes are
// those a captioner's typing makes.
void Type(Caption& caption, int row, int column, const char* text, uint8_t attribute) {
    for (int i = 0; text[i] != 0; ++i) {
        column = vantrel::InsertCharacter(caption, static_cast<uint8_t>(text[i]), row, column,
                                          attribute);
    }
}

// Bursts of speech, a syllable every few tenths of a second, with pauses between sentences.
std::shared_ptr<vantrel::AudioPeaks> SpeechPeaks(double seconds) {
    auto peaks = std::make_shared<vantrel::AudioPeaks>();
    std::vector<vantrel::PeakPair> pairs;
    const int count = static_cast<int>(seconds * vantrel::AudioPeaks::kPairsPerSecond);
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / vantrel::AudioPeaks::kPairsPerSecond;
        const double sentence = std::max(0.0, std::sin(t * 0.9 + 0.4));
        const double syllable = 0.35 + 0.65 * std::abs(std::sin(t * 9.0 + std::sin(t * 2.3)));
        const double level = sentence * syllable * (0.85 + 0.15 * std::sin(t * 157.0));
        const auto v = static_cast<int8_t>(std::clamp(level * 118, 1.0, 127.0));
        pairs.push_back({static_cast<int8_t>(-v), v});
    }
    peaks->Append(pairs);
    peaks->Finish();
    return peaks;
}

bool Save(QWidget& widget, const char* folder, const char* name) {
    if (widget.grab().save(QString::fromLocal8Bit(folder) + "/" + name)) return true;
    std::fprintf(stderr, "make_screenshots: cannot write %s into %s\n", name, folder);
    return false;
}

// The Edit menu open after a caption was moved: a picture of the screen, as the menu is a
// window of its own.
bool SaveEditMenu(vantrel::MainWindow& window, const char* folder) {
    vantrel::MainView& view = window.View();
    view.TogglePause();
    Caption* moved = view.Project().captions.Head()->next;
    view.ReleaseCaptions();
    vantrel::MoveCaptionStep(view.History(), *moved, moved->startFrame + 20,
                             vantrel::kMoveCaptionStep);
    view.ShowCaptionsAgain();
    QMenu* edit = nullptr;
    for (QAction* a : window.menuBar()->actions()) {
        if (a->text() == "&Edit") edit = a->menu();
    }
    if (edit == nullptr) return false;
    const QRect title = window.menuBar()->actionGeometry(edit->menuAction());
    edit->popup(window.menuBar()->mapToGlobal(title.bottomLeft()));
    Wait(500);
    const QRect area = window.frameGeometry().united(edit->geometry());
    const QPixmap shot =
        window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    edit->hide();
    if (shot.save(QString::fromLocal8Bit(folder) + "/edit-menu.png")) return true;
    std::fprintf(stderr, "make_screenshots: cannot write edit-menu.png into %s\n", folder);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // The settings of a new user: the first layout, no window size of the last session.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_screenshots VIDEO OUTPUT-FOLDER\n");
        return 2;
    }
    vantrel::MainWindow window(nullptr, {{"ao", "null"}});
    window.resize(1280, 800);
    window.show();
    vantrel::MainView& view = window.View();
    view.OpenVideo(argv[1]);
    if (!view.Player().HasPicture()) {
        std::fprintf(stderr, "make_screenshots: no picture in %s\n", argv[1]);
        return 1;
    }

    auto caption = std::make_unique<Caption>();
    caption->startFrame = 0;
    caption->endFrame = 200;
    caption->timingMode = vantrel::Manual;
    Type(*caption, 11, 6, "\x90 Where the river bends \x90", 0x3D);  // yellow
    // The attribute codes between the words show as their spaces.
    Type(*caption, 12, 4, "we", 0x38);
    Type(*caption, 12, 6, "never", 0x78);    // italics
    Type(*caption, 12, 12, "looked", 0x39);  // green
    Type(*caption, 12, 19, "back.", 0xBB);   // underlined cyan
    Type(*caption, 13, 9, "[THUNDER RUMBLES]", 0x38);
    view.Project().captions.Insert(std::move(caption));

    // Captions after it, each typed in plain white and timed by its mode.
    struct Line {
        int32_t start;
        int8_t mode;
        const char* rows[2];
    };
    const Line lines[] = {{260, vantrel::Normal, {"Who's there?", ""}},
                          {380, vantrel::Persistent, {"It's only me.", "Open the door."}},
                          {520, vantrel::Seamless, {"(DOOR CREAKS)", ""}},
                          {610, vantrel::Normal, {"Come in, quickly!", ""}},
                          {740, vantrel::Normal, {"[WIND HOWLING]", ""}}};
    for (const Line& line : lines) {
        auto c = std::make_unique<Caption>();
        c->startFrame = line.start;
        c->timingMode = line.mode;
        Type(*c, 13, 8, line.rows[0], 0x38);
        Type(*c, 14, 8, line.rows[1], 0x38);
        view.Project().captions.Insert(std::move(c));
    }
    for (Caption* c = view.Project().captions.Head(); c; c = c->next) c->ApplyTiming();

    view.Project().captions.NotifyChanged(vantrel::kWholeList);
    view.SeekToFrame(60);
    // The sound's peaks and the cuts, as the window finds them.
    QElapsedTimer analysis;
    analysis.start();
    while (!view.Media().Analysis().Settled() && analysis.elapsed() < 120000) Wait(100);
    Wait(300);
    if (view.Timeline().Peaks() == nullptr)
        view.Timeline().SetAudioPeaks(SpeechPeaks(40), 1001.0 / 30000);
    if (view.Media().Analysis().ShotChanges().empty())
        view.Timeline().SetShotChanges({118, 260, 452, 610, 705});
    Wait(200);
    if (!Save(view.Captions(), argv[2], "caption-window.png")) return 1;
    if (!Save(view.Timeline(), argv[2], "timeline.png")) return 1;
    view.SeekToFrame(45);
    Wait(500);
    view.Play();
    Wait(1000);
    if (!Save(window, argv[2], "main-window.png")) return 1;
    return SaveEditMenu(window, argv[2]) ? 0 : 1;
}
