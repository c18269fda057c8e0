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
    // Halves first, so that the centre of a box near the largest double is a number.
    const double cx = box.min.x / 2 + box.max.x / 2, cy = box.min.y / 2 + box.max.y / 2;
    // A box with a side at infinity has no centre: the view stays where it is
    // rather than look at infinity, where nothing is found.
    if (!std::isfinite(cx) || !std::isfinite(cy)) return;
    center_ = {cx, cy, 0.0};
    const double h = std::max(box.Height(), box.Width() / aspect_) * (1.0 + margin);
    // A single point (or a line along one axis at zero aspect) keeps the current
    // height, and so does a box wider than the largest double.
    if (h > 0 && std::isfinite(h)) height_ = h;
}

}  // namespace acad
