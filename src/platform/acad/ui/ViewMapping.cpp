#include "platform/acad/ui/ViewMapping.h"

#include <algorithm>

#include "platform/acad/OtherEntities.h"
#include "platform/acad/View.h"

namespace acad::ui {

ViewMapping ViewMapping::Of(const View& view, const QSizeF& size)
{
    ViewMapping m;
    const double h = std::max(1.0, size.height());
    m.scale = view.Height() > 0 ? h / view.Height() : 1.0;
    m.origin = view.Center();
    m.pixelOrigin = QPointF(size.width() / 2.0, size.height() / 2.0);
    m.size = size;
    return m;
}

Box ViewMapping::WorldBox(const QRectF& pixels) const
{
    return Box::FromCorners(ToWorld(pixels.topLeft()), ToWorld(pixels.bottomRight()));
}

QRectF ViewMapping::PixelRect(const Box& box) const { return QRectF(ToPixel(box.min), ToPixel(box.max)).normalized(); }

ViewMapping ViewMapping::ThroughViewport(const PViewport& vp) const
{
    const View& v = vp.View();
    ViewMapping m;
    m.scale = v.Height() > 0 ? scale * vp.Height() / v.Height() : scale;
    m.origin = v.Center();
    m.pixelOrigin = ToPixel(vp.Center());
    m.size = size;
    return m;
}

}  // namespace acad::ui
