// The Playback menu: the keys that run the transport and time captions while the caption screen
// is not editing (while editing, the caption screen takes every key without Ctrl or Alt), and
// the playback speed.
#include <QActionGroup>
#include <QMenuBar>

#include "app/main_window.h"

namespace vantrel {

namespace {

struct SpeedItem {
    const char* text;
    double speed;
    Qt::Key key;
};

// F4 to F8, beside the timing keys F9 to F11; no caption key uses them.
constexpr SpeedItem kSpeeds[] = {
    {"0.5x", 0.5, Qt::Key_F4}, {"0.75x", 0.75, Qt::Key_F5}, {"1x", 1.0, Qt::Key_F6},
    {"1.5x", 1.5, Qt::Key_F7}, {"2x", 2.0, Qt::Key_F8},
};

}  // namespace

void MainWindow::CreatePlaybackMenu() {
    MainView& v = *view_;
    QMenu* playback = menuBar()->addMenu("&Playback");
    const auto add = [&](const char* text, QKeySequence key, std::function<void()> command) {
        QAction* action =
            playback->addAction(text, this, [this, text, command = std::move(command)] {
                // Chosen from the menu while typing: the caption is committed first, as the
                // transport buttons do (the keys themselves never come here while editing).
                Guarded(QString(text).remove(u'&'), [&] {
                    view_->Captions().EndEdit();
                    command();
                });
            });
        action->setShortcut(key);
        return action;
    };
    add("&Play/Pause", Qt::Key_Space, [&v] { v.PlayOrPause(); });
    add("Step &Back One Frame", Qt::Key_Left, [&v] { v.StepWhenPaused(-1); });
    add("Step &Forward One Frame", Qt::Key_Right, [&v] { v.StepWhenPaused(+1); });
    add("Step Back One &Second", Qt::SHIFT | Qt::Key_Left,
        [&v] { v.StepWhenPaused(-MainView::kSecondFrames); });
    add("Step Forward One S&econd", Qt::SHIFT | Qt::Key_Right,
        [&v] { v.StepWhenPaused(MainView::kSecondFrames); });
    playback->addSeparator();
    add("S&tart Caption at Playhead", Qt::Key_F9, [&v] { v.PressTimingKey(TimingKey::Start); });
    add("&End Caption at Playhead", Qt::Key_F10, [&v] { v.PressTimingKey(TimingKey::End); });
    add("End Caption and Start &Next", Qt::Key_F11,
        [&v] { v.PressTimingKey(TimingKey::EndAndStart); });
    playback->addSeparator();
    QMenu* speed = playback->addMenu("Spee&d");
    auto* speeds = new QActionGroup(this);
    for (const SpeedItem& item : kSpeeds) {
        QAction* action = speed->addAction(item.text, this, [this, &v, s = item.speed] {
            v.SetSpeed(s);
            ShowSpeed();
        });
        action->setCheckable(true);
        action->setChecked(item.speed == 1.0);
        action->setShortcut(item.key);
        speeds->addAction(action);
    }
}

// Playback off its normal speed is easy to forget: the status bar keeps saying so.
void MainWindow::ShowSpeed() {
    const double speed = view_->Speed();
    speedLabel_.setText(QStringLiteral("Playback %1x").arg(speed));
    speedLabel_.setVisible(speed != 1.0);
}

}  // namespace vantrel
