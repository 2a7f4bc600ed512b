#include "video/video_window.h"

#include <QPainter>

#include "video/media_player.h"

namespace vantrel {

VideoWindow::VideoWindow(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Mouse input over the picture belongs to the caption editor underneath.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void VideoWindow::SetPlayer(const MediaPlayer* player) {
    if (player_ != nullptr) disconnect(player_, nullptr, this, nullptr);
    player_ = player;
    if (player_ != nullptr) {
        connect(player_, &MediaPlayer::PictureChanged, this, qOverload<>(&QWidget::update));
    }
}

void VideoWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (hasVideo_ && player_ != nullptr && player_->HasPicture()) {
        painter.drawImage(rect(), player_->Picture());
    } else {
        painter.fillRect(rect(), kNoVideoColor);
    }
}

}  // namespace vantrel
