#pragma once
// A view onto a space: centre, height in drawing units, and the width-to-height
// ratio of the window (or viewport) showing it. VIEWCTR and VIEWSIZE read the
// current one; window and crossing selections see only what lies in it.

#include "platform/acad/Geometry.h"

namespace acad {

class View {
public:
    View() = default;
    View(const Point3d& center, double height, double aspect) : center_(center), height_(height), aspect_(aspect) {}

    Point3d Center() const { return center_; }
    double Height() const { return height_; }
    double Width() const { return height_ * aspect_; }
    double AspectRatio() const { return aspect_; }  // width / height
    // What is visible: the rectangle of Width() × Height() around the centre.
    Box VisibleBox() const;

    void SetCenter(const Point3d& c) { center_ = c; }
    void SetHeight(double h);       // > 0
    void SetAspectRatio(double a);  // > 0
    // Smallest view of the current aspect that shows the whole box, around its
    // centre, made `margin` (a fraction) larger; the view stays as it is when
    // the box reaches infinity.
    void Fit(const Box& box, double margin = 0.0);

    // What a zoom to extents adds around the drawing, as drawing programs do, so
    // that its outermost lines do not fall on the window's border: nearly 3 % of
    // the view on each side, which keeps the whole drawing within the central
    // 95 % that the system's code counts as in view.
    static constexpr double kExtentsMargin = 0.06;

private:
    Point3d center_{6.0, 4.5, 0.0};  // the host's default 12 × 9 limits
    double height_ = 9.0;
    double aspect_ = 4.0 / 3.0;
};

}  // namespace acad
