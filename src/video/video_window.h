// The video window: shows the player's picture at its display shape, scaled to the window and
// centred between black bars, or plain grey when no media is open.
#pragma once

#include <QColor>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <QWidget>

namespace vantrel {

class MediaPlayer;

constexpr QColor kNoVideoColor(64, 64, 64);
constexpr QColor kBarColor(0, 0, 0);
// The shape of the picture when there is none: a 4:3 screen.
constexpr QSize kStandardShape(4, 3);

// The largest rectangle of `shape`'s proportions centred in `area` (the picture's place, the
// rest being bars).
QRect FitPicture(QSize area, QSize shape);

class VideoWindow : public QWidget {
    Q_OBJECT

  public:
    explicit VideoWindow(QWidget* parent = nullptr);

    // Whether a video is open; without one the picture's place is painted grey. The picture
    // may take another shape: PictureMoved follows.
    void SetHasVideo(bool hasVideo);
    // The player whose picture is shown, and which renders it at the shown size.
    void SetPlayer(MediaPlayer* player);
    // Where the picture is shown in the window: the video's display shape (4:3 without one).
    QRect PictureRect() const;
    // Has the player render at the size the picture is shown now.
    void RenderAtShownSize();

  signals:
    // The picture's place in the window moved or changed size.
    void PictureMoved();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool hasVideo_ = false;
    MediaPlayer* player_ = nullptr;
    // While the window is being resized the picture is scaled; it is rendered afresh at the
    // new size once the resizing pauses, since each size costs the player new buffers.
    QTimer resized_;
};

}  // namespace vantrel
