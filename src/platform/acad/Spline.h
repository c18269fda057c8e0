#pragma once
// NURBS spline. AddSpline builds the cubic curve through fit points (global
// interpolation with the given end tangents); ElevateOrder raises the degree
// exactly, so the control polygon hugs the curve more closely.

#include <functional>
#include <vector>

#include "platform/acad/Entity.h"
#include "platform/acad/EntityData.h"

namespace acad {

class Spline : public Entity {
public:
    Spline(acad::Document& doc, const SplineData& data);
    std::string ObjectName() const override { return "AcDbSpline"; }
    std::string DxfName() const override { return "SPLINE"; }

    int Degree() const;
    int NumberOfControlPoints() const;
    std::vector<double> ControlPoints() const;  // x,y,z per point
    // Replaces the control points; their count must stay the same.
    void SetControlPoints(const std::vector<double>& xyz);
    Point3d GetControlPoint(int index) const;
    void SetControlPoint(int index, const Point3d& p);
    int NumberOfFitPoints() const;
    std::vector<double> FitPoints() const;
    std::vector<double> Knots() const;
    std::vector<double> Weights() const;
    bool Closed() const;
    bool IsRational() const;
    Vector3d StartTangent() const;
    Vector3d EndTangent() const;
    // Raises the order (degree + 1) to `order`; fails with InvalidInput when the
    // order is not above the current one or above 26.
    void ElevateOrder(int order);
    Point3d PointAt(double parameter) const;
    double StartParameter() const;
    double EndParameter() const;

    const SplineData& Data() const { return data_; }
    void SetData(const SplineData& d);
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    Box Extents() const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

    // Cubic interpolating spline through `fitPoints`; zero tangents leave the ends free.
    static SplineData Interpolate(const std::vector<Point3d>& fitPoints, const Vector3d& startTangent,
                                  const Vector3d& endTangent);

private:
    // Every change of the geometry goes through here: the kept outline goes stale.
    void GeometryEdited();
    // The sampled curve (SampleSpline), kept with its box until the geometry
    // changes: a long spline is asked for both at every selection and repaint.
    const std::vector<Point3d>& Outline() const;
    SplineData data_;
    mutable std::vector<Point3d> outline_;
    mutable std::vector<Box> pieceBoxes_;  // each over a run of segments of the outline
    mutable Box extents_;
    mutable bool outlineValid_ = false, extentsValid_ = false;
};

// Points along the curve of `d` (a few per knot span), for drawing and for hatch
// edges; the frame when the knot vector is not usable.
std::vector<Point3d> SampleSpline(const SplineData& d);
// The box of those points, sampling only the spans that can widen it.
Box SampledBox(const SplineData& d);
// Points whose convex hull holds those points: the control points of a curve
// whose weights are all positive, or the frame drawn for want of a curve;
// null when there are none such (a weight that is not positive).
const std::vector<Point3d>* HullPoints(const SplineData& d);

// The curve for drawing at a given zoom: chains of points whose chords stray
// about `tolerance` (in the curve's own units) or less, each knot span cut into
// as few pieces as its size allows. Spans whose control points all lie outside
// `keep` (XY; an empty box keeps all) are left out, as they cannot reach it.
// A spline without a usable knot vector gives its frame.
void SampleSplineWithin(const SplineData& d, double tolerance, const Box& keep,
                        const std::function<void(const std::vector<Point3d>&)>& chain);
// Pieces SampleSplineWithin cuts a knot span of a spline of `degree` in, when
// the span's control points lie within `size` units; without a tolerance (0),
// the most it ever cuts one in, as SampleSpline does every span.
int SplineSpanPieces(double size, double tolerance, int degree);
// Pieces of line SampleSplineWithin gives for the whole curve.
std::size_t SplinePieces(const SplineData& d, double tolerance);

}  // namespace acad
