// The video window: shows the player's picture, or plain grey when no media is open.
#pragma once

#include <QColor>
#include <QWidget>

namespace vantrel {

class MediaPlayer;

constexpr QColor kNoVideoColor(64, 64, 64);

class VideoWindow : public QWidget {
    Q_OBJECT

  public:
    explicit VideoWindow(QWidget* parent = nullptr);

    // Whether a video is open; without one the window paints itself grey.
    void SetHasVideo(bool hasVideo) { hasVideo_ = hasVideo; }
    // The player whose picture is shown.
    void SetPlayer(const MediaPlayer* player);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool hasVideo_ = false;
    const MediaPlayer* player_ = nullptr;
};

}  // namespace vantrel
