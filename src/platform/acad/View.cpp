#include "platform/acad/View.h"

#include <algorithm>
#include <cmath>

#include "platform/acad/Error.h"

namespace acad {

Box View::VisibleBox() const
{
    const double hw = Width() / 2, hh = height_ / 2;
    return Box::FromCorners({center_.x - hw, center_.y - hh, 0.0}, {center_.x + hw, center_.y + hh, 0.0});
}

void View::SetHeight(double h)
{
    if (!(h > 0) || !std::isfinite(h)) ThrowInvalidInput("altura da vista");
    height_ = h;
}

void View::SetAspectRatio(double a)
{
    if (!(a > 0) || !std::isfinite(a)) ThrowInvalidInput("proporção da vista");
    aspect_ = a;
}

void View::Fit(const Box& box, double margin)
{
    if (box.IsEmpty()) return;
    Point3d c = box.Center();
    center_ = {c.x, c.y, 0.0};
    double h = std::max(box.Height(), box.Width() / aspect_) * (1.0 + margin);
    // A single point (or a line along one axis at zero aspect) keeps the current height.
    if (h > 0 && std::isfinite(h)) height_ = h;
}

}  // namespace acad
