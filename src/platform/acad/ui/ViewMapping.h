#pragma once
// Drawing coordinates to pixels of the window and back: a uniform scale with
// the Y axis turned over (drawings grow upwards, screens downwards).

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include "platform/acad/Geometry.h"

namespace acad {
class View;
class PViewport;
}  // namespace acad

namespace acad::ui {

struct ViewMapping {
    double scale = 1.0;   // pixels per drawing unit
    Point3d origin;       // drawing point shown at pixelOrigin
    QPointF pixelOrigin;  // usually the middle of the area
    QSizeF size;          // the area in pixels

    // The view's centre in the middle of an area `size` high `view.Height()` units.
    static ViewMapping Of(const View& view, const QSizeF& size);

    QPointF ToPixel(const Point3d& p) const
    {
        return {pixelOrigin.x() + (p.x - origin.x) * scale, pixelOrigin.y() - (p.y - origin.y) * scale};
    }
    Point3d ToWorld(const QPointF& px) const
    {
        return {origin.x + (px.x() - pixelOrigin.x()) / scale, origin.y - (px.y() - pixelOrigin.y()) / scale, 0.0};
    }
    // The drawing box a pixel rectangle covers, and the other way round.
    Box WorldBox(const QRectF& pixels) const;
    QRectF PixelRect(const Box& box) const;
    Box VisibleBox() const { return WorldBox(QRectF(QPointF(0, 0), size)); }
    // Model space as seen through `vp`, a paper-space viewport drawn with this mapping.
    ViewMapping ThroughViewport(const PViewport& vp) const;
};

}  // namespace acad::ui
