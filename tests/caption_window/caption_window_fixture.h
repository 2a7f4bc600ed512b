// A caption window inside a stand-in for the main view, with the video window over it.
#pragma once

#include <QTest>
#include <QWidget>
#include <optional>

#include "caption_window/caption_window.h"
#include "caption_window/caption_window_host.h"
#include "video/video_window.h"

namespace vantrel::test {

class FakeMainView : public QWidget, public CaptionWindowHost {
  public:
    int32_t frame = 0;
    int playState = 0;
    CaptionProject project;
    int panelFills = 0;
    int panelClears = 0;
    std::optional<int32_t> panelStart;  // the start frame of the caption the panel shows
    int timelineForgets = 0;
    int beeps = 0;

    CaptionWindow window{this};
    VideoWindow video{&window};
    QWidget elsewhere{this};  // takes the focus away from the caption window

    FakeMainView() {
        window.SetMainView(this);
        window.SetVideoWindow(&video);
        video.setGeometry(0, 0, 480, 360);
        elsewhere.setGeometry(480, 0, 10, 10);
        elsewhere.setFocusPolicy(Qt::StrongFocus);
        resize(490, 360);
    }

    int32_t CurrentFrame() const override { return frame; }
    int CurrentPlayState() const override { return playState; }
    CaptionProject& Project() override { return project; }
    void FillPanel(const Caption& caption) override {
        ++panelFills;
        panelStart = caption.startFrame;
    }
    void ClearPanel() override {
        ++panelClears;
        panelStart.reset();
    }
    void ForgetTimelineCaption() override { ++timelineForgets; }
    void Beep() override { ++beeps; }

    // Shows the window so that the focus can come and go.
    void ShowActive() {
        show();
        activateWindow();
        (void)QTest::qWaitForWindowActive(this);
    }

    // A caption in the list with text at (row, column), all in the attribute; its timing is
    // Manual, so that its frames stay as given.
    Caption* AddCaption(int32_t start, int32_t end, int row, int column, const char* text,
                        uint8_t attribute = 0x38) {
        auto c = std::make_unique<Caption>();
        c->startFrame = start;
        c->endFrame = end;
        c->timingMode = Manual;
        for (int i = 0; text[i] != 0; ++i) {
            c->cells[row][column + i] = {static_cast<uint8_t>(text[i]), attribute};
        }
        return project.captions.Insert(std::move(c));
    }

    void ClickCell(int row, int column) {
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier,
                          QPoint(48 + 12 * column, 40 + 19 * row));
    }
    void Commit() {
        elsewhere.setFocus();
        QCoreApplication::processEvents();
    }
};

}  // namespace vantrel::test
