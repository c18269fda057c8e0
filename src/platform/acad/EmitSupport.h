#pragma once
// Helpers the entity kinds share: emitting geometry through a transform, checking
// arguments, copying (engine-internal; not part of the automation surface).

#include <memory>
#include <vector>

#include "platform/acad/Entity.h"

namespace acad::detail {

// InvalidInput naming `what` unless every coordinate is a finite number.
void CheckFinite(const Point3d& p, const char* what);

// The usual CloneTo: a new entity of the same kind and data for `target`,
// with the common properties copied.
template <typename T, typename... Data>
std::unique_ptr<T> CloneWith(const T& self, acad::Document& target, const Data&... data)
{
    auto c = std::make_unique<T>(target, data...);
    c->CopyCommonFrom(self);
    return c;
}

// Circular arc through `t`: an exact arc under a similarity, a chain of
// segments otherwise.
void EmitArc(GeometrySink& sink, const Transform& t, const CircularArc& arc);
// Polyline through `t`, segments and bulge arcs.
void EmitBulgePolyline(GeometrySink& sink, const Transform& t, const BulgePolyline& pl);
// Chain of points through `t` (closed joins the last to the first).
void EmitChain(GeometrySink& sink, const Transform& t, const std::vector<Point3d>& pts, bool closed);
// Elliptical arc (centre, major axis vector, ratio, parameters) as segments.
void EmitEllipse(GeometrySink& sink, const Transform& t, const Point3d& center, const Vector3d& majorAxis, double ratio,
                 double startParam, double endParam);

// Emits `e` as a reference draws it among its definition's parts: an attribute
// definition only when it is constant and visible, with its value (the others
// are drawn by the reference's own attributes). False when it draws nothing there.
bool EmitAsPart(const Entity& e, GeometrySink& sink, const Transform& t);

// Accumulates the extents of whatever is emitted.
class ExtentsSink : public GeometrySink {
public:
    void Point(const Point3d& p) override { box.Add(p); }
    void Segment(const Point3d& a, const Point3d& b) override
    {
        box.Add(a);
        box.Add(b);
    }
    void Arc(const CircularArc& arc) override { box.Add(arc.Extents()); }
    void Text(const TextPrimitive& t) override
    {
        for (const auto& c : t.corners) box.Add(c);
    }
    void Fill(const std::vector<Point3d>& ring) override
    {
        for (const auto& p : ring) box.Add(p);
    }
    // A reference adds its box (measured once for it), not its parts.
    bool BeginReference(const BlockReference& r, const Transform& t) override;
    Box box;
};

}  // namespace acad::detail
