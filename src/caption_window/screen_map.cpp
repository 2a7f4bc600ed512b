#include "caption_window/screen_map.h"

#include <algorithm>
#include <cmath>

#include "caption_window/caption_render.h"
#include "model/caption.h"

namespace vantrel {

ScreenMap::ScreenMap() : area_(0, 0, kScreenWidth, kScreenHeight) {}

ScreenMap::ScreenMap(const QRect& picture) {
    // The 4:3 area: as tall as a wide picture, as wide as a narrow one.
    const int64_t wide = int64_t{picture.width()} * kScreenHeight;
    const int64_t tall = int64_t{picture.height()} * kScreenWidth;
    QSize size = picture.size();
    if (wide > tall) {
        size.setWidth(static_cast<int>(std::lround(static_cast<double>(tall) / kScreenHeight)));
    } else if (wide < tall) {
        size.setHeight(static_cast<int>(std::lround(static_cast<double>(wide) / kScreenWidth)));
    }
    size = size.expandedTo(QSize(1, 1));
    area_ =
        QRect(picture.left() + (picture.width() - size.width()) / 2,
              picture.top() + (picture.height() - size.height()) / 2, size.width(), size.height());
    scale_ = static_cast<double>(area_.width()) / kScreenWidth;
}

bool ScreenMap::WholeScale() const {
    return area_.width() % kScreenWidth == 0 && area_.height() == area_.width() / 4 * 3;
}

int ScreenMap::WindowX(int x) const {
    return area_.left() + static_cast<int>(std::lround(x * scale_));
}

int ScreenMap::WindowY(int y) const {
    return area_.top() + static_cast<int>(std::lround(y * scale_));
}

QRect ScreenMap::ToWindow(const QRect& screen) const {
    const int left = WindowX(screen.left());
    const int top = WindowY(screen.top());
    return QRect(left, top, WindowX(screen.left() + screen.width()) - left,
                 WindowY(screen.top() + screen.height()) - top);
}

QRegion ScreenMap::ToWindow(const QRegion& screen) const {
    QRegion window;
    for (const QRect& r : screen) window += ToWindow(r);
    return window;
}

QPointF ScreenMap::ToScreen(QPointF window) const {
    return (window - QPointF(area_.topLeft())) / scale_;
}

QPoint ScreenMap::CaretCell(QPointF window) const {
    const QPointF p = ToScreen(window);
    const int row = static_cast<int>(std::floor((p.y() - kTextTop) / kCellPitchY));
    const int column =
        static_cast<int>(std::floor((p.x() - (kTextLeft - kCellPitchX / 2.0)) / kCellPitchX));
    return QPoint(std::clamp(column, 0, kScreenColumns), std::clamp(row, 0, kScreenRows - 1));
}

}  // namespace vantrel
