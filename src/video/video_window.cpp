#include "video/video_window.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "video/media_player.h"

namespace vantrel {

namespace {

constexpr int kResizeSettleMs = 120;

}  // namespace

QRect FitPicture(QSize area, QSize shape) {
    if (area.isEmpty() || shape.isEmpty()) return QRect(QPoint(), area);
    // Compared in whole numbers, so that a window of the picture's own shape has no bar.
    const int64_t wide = int64_t{area.width()} * shape.height();
    const int64_t tall = int64_t{area.height()} * shape.width();
    QSize size = area;
    if (wide > tall) {
        size.setWidth(static_cast<int>(std::lround(static_cast<double>(tall) / shape.height())));
    } else if (wide < tall) {
        size.setHeight(static_cast<int>(std::lround(static_cast<double>(wide) / shape.width())));
    }
    size = size.expandedTo(QSize(1, 1));
    return QRect(QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2),
                 size);
}

VideoWindow::VideoWindow(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Mouse input over the picture belongs to the caption editor underneath.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resized_.setSingleShot(true);
    resized_.setInterval(kResizeSettleMs);
    connect(&resized_, &QTimer::timeout, this, &VideoWindow::RenderAtShownSize);
}

void VideoWindow::SetPlayer(MediaPlayer* player) {
    if (player_ != nullptr) disconnect(player_, nullptr, this, nullptr);
    player_ = player;
    if (player_ != nullptr) {
        connect(player_, &MediaPlayer::PictureChanged, this, qOverload<>(&QWidget::update));
    }
}

void VideoWindow::SetHasVideo(bool hasVideo) {
    hasVideo_ = hasVideo;
    emit PictureMoved();
}

QRect VideoWindow::PictureRect() const {
    const bool shaped = hasVideo_ && player_ != nullptr && player_->HasPicture() &&
                        !player_->DisplaySize().isEmpty();
    return FitPicture(size(), shaped ? player_->DisplaySize() : kStandardShape);
}

void VideoWindow::RenderAtShownSize() {
    resized_.stop();
    if (player_ == nullptr || !player_->HasPicture()) return;
    // In device pixels, so that a scaled screen gets a sharp picture.
    const QSize shown = PictureRect().size() * devicePixelRatio();
    player_->SetPictureSize(shown);
    update();
}

void VideoWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    resized_.start();
    emit PictureMoved();
}

void VideoWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect picture = PictureRect();
    const QRegion bars = QRegion(rect()) - picture;
    for (const QRect& bar : bars) painter.fillRect(bar, kBarColor);
    if (hasVideo_ && player_ != nullptr && player_->HasPicture()) {
        painter.drawImage(picture, player_->Picture());
    } else {
        painter.fillRect(picture, kNoVideoColor);
    }
}

}  // namespace vantrel
