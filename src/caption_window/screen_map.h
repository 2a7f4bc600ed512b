// Where the caption screen lands in the window: its 480 x 360 units (the grid of
// caption_render.h) fill the largest 4:3 area centred in the picture, as a receiver places the
// grid on a wide picture, scaled by that area's width. Drawing, the caret and the mouse all go
// through the one mapping below, so that a click lands on the cell drawn under it at any scale.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRegion>

namespace vantrel {

class ScreenMap {
  public:
    // The caption screen drawn at its own size at the origin.
    ScreenMap();
    // The caption screen on a picture shown at `picture` (window pixels).
    explicit ScreenMap(const QRect& picture);

    // The 4:3 area the screen fills, and window pixels per screen unit.
    QRect Area() const { return area_; }
    double Scale() const { return scale_; }
    // Whether the scale is a whole number, when the font is drawn with square pixels.
    bool WholeScale() const;

    // Screen units to window pixels. A rectangle's edges map one by one, so that boxes that
    // touch on the screen touch in the window.
    int WindowX(int x) const;
    int WindowY(int y) const;
    QRect ToWindow(const QRect& screen) const;
    QRegion ToWindow(const QRegion& screen) const;
    // Window pixels back to screen units.
    QPointF ToScreen(QPointF window) const;
    // The caret place (row, column) nearest a window point: the column boundaries lie half-way
    // between cells; points off the grid go to its nearest edge.
    QPoint CaretCell(QPointF window) const;

  private:
    QRect area_;
    double scale_ = 1.0;
};

}  // namespace vantrel
