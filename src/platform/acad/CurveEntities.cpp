#include "platform/acad/CurveEntities.h"

#include <algorithm>
#include <cmath>

#include "platform/acad/EmitSupport.h"
#include "platform/acad/Error.h"

namespace acad {

namespace {
void CheckPositive(double v, const char* what)
{
    if (!(v > 0) || !std::isfinite(v)) ThrowInvalidInput(what);
}

}  // namespace

// ---------------------------------------------------------------- Point

Point::Point(acad::Document& doc, const PointData& data) : Entity(doc), data_(data) {}

Point3d Point::Coordinates() const
{
    CheckAlive();
    return data_.position;
}

void Point::SetCoordinates(const Point3d& p)
{
    CheckWritable();
    detail::CheckFinite(p, "coordenadas do ponto");
    data_.position = p;
    GeometryChanged();
}

double Point::Thickness() const
{
    CheckAlive();
    return data_.thickness;
}

void Point::SetThickness(double t)
{
    CheckWritable();
    data_.thickness = t;
    GeometryChanged();
}

void Point::SetData(const PointData& d)
{
    CheckAlive();
    data_ = d;
    GeometryChanged();
}

void Point::TransformBy(const Transform& t)
{
    CheckAlive();
    data_.position = t.Apply(data_.position);
    GeometryChanged();
}

void Point::Emit(GeometrySink& sink, const Transform& t) const { sink.Point(t.Apply(data_.position)); }

std::unique_ptr<Entity> Point::CloneTo(acad::Document& target) const { return detail::CloneWith(*this, target, data_); }

// ---------------------------------------------------------------- Line

Line::Line(acad::Document& doc, const LineData& data) : Entity(doc), data_(data) {}

Point3d Line::StartPoint() const
{
    CheckAlive();
    return data_.start;
}

void Line::SetStartPoint(const Point3d& p)
{
    CheckWritable();
    detail::CheckFinite(p, "ponto inicial da linha");
    data_.start = p;
    GeometryChanged();
}

Point3d Line::EndPoint() const
{
    CheckAlive();
    return data_.end;
}

void Line::SetEndPoint(const Point3d& p)
{
    CheckWritable();
    detail::CheckFinite(p, "ponto final da linha");
    data_.end = p;
    GeometryChanged();
}

double Line::Length() const
{
    CheckAlive();
    return Distance(data_.start, data_.end);
}

double Line::Angle() const
{
    CheckAlive();
    return AngleFromXAxis(data_.start, data_.end);
}

Vector3d Line::Delta() const
{
    CheckAlive();
    return data_.end - data_.start;
}

double Line::Thickness() const
{
    CheckAlive();
    return data_.thickness;
}

void Line::SetThickness(double t)
{
    CheckWritable();
    data_.thickness = t;
    GeometryChanged();
}

void Line::SetData(const LineData& d)
{
    CheckAlive();
    data_ = d;
    GeometryChanged();
}

void Line::TransformBy(const Transform& t)
{
    CheckAlive();
    data_.start = t.Apply(data_.start);
    data_.end = t.Apply(data_.end);
    GeometryChanged();
}

void Line::Emit(GeometrySink& sink, const Transform& t) const
{
    sink.Segment(t.Apply(data_.start), t.Apply(data_.end));
}

Box Line::Extents() const { return Box::FromCorners(data_.start, data_.end); }

std::unique_ptr<Entity> Line::CloneTo(acad::Document& target) const { return detail::CloneWith(*this, target, data_); }

// ---------------------------------------------------------------- Circle

Circle::Circle(acad::Document& doc, const CircleData& data) : Entity(doc), data_(data) {}

Point3d Circle::Center() const
{
    CheckAlive();
    return data_.extrusion.ToWorld(data_.center);
}

void Circle::SetCenter(const Point3d& c)
{
    CheckWritable();
    detail::CheckFinite(c, "centro do círculo");
    data_.center = data_.extrusion.FromWorld(c);
    GeometryChanged();
}

double Circle::Radius() const
{
    CheckAlive();
    return data_.radius;
}

void Circle::SetRadius(double r)
{
    CheckWritable();
    CheckPositive(r, "raio do círculo (deve ser maior que zero)");
    data_.radius = r;
    GeometryChanged();
}

double Circle::Diameter() const { return 2 * Radius(); }
double Circle::Circumference() const { return kTwoPi * Radius(); }
double Circle::Area() const { return kPi * Radius() * Radius(); }

void Circle::SetData(const CircleData& d)
{
    CheckAlive();
    data_ = d;
    GeometryChanged();
}

void Circle::TransformBy(const Transform& t)
{
    CheckAlive();
    const Transform p = data_.extrusion.TransformBy(t);
    data_.center = p.Apply(data_.center);
    // A non-uniform scale would make an ellipse; the circle keeps the mean scale.
    data_.radius *= p.ScaleFactor();
    GeometryChanged();
}

void Circle::Emit(GeometrySink& sink, const Transform& t) const
{
    detail::EmitArc(sink, data_.extrusion.Through(t), CircularArc{data_.center, data_.radius, 0.0, kTwoPi});
}

std::unique_ptr<Entity> Circle::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, data_);
}

// ---------------------------------------------------------------- Arc

Arc::Arc(acad::Document& doc, const ArcData& data) : Entity(doc), data_(data) {}

Point3d Arc::Center() const
{
    CheckAlive();
    return data_.extrusion.ToWorld(data_.center);
}

void Arc::SetCenter(const Point3d& c)
{
    CheckWritable();
    detail::CheckFinite(c, "centro do arco");
    data_.center = data_.extrusion.FromWorld(c);
    GeometryChanged();
}

double Arc::Radius() const
{
    CheckAlive();
    return data_.radius;
}

void Arc::SetRadius(double r)
{
    CheckWritable();
    CheckPositive(r, "raio do arco (deve ser maior que zero)");
    data_.radius = r;
    GeometryChanged();
}

double Arc::StartAngle() const
{
    CheckAlive();
    return data_.startAngle;
}

void Arc::SetStartAngle(double a)
{
    CheckWritable();
    if (!std::isfinite(a)) ThrowInvalidInput("ângulo inicial do arco");
    data_.startAngle = NormalizeAngle(a);
    GeometryChanged();
}

double Arc::EndAngle() const
{
    CheckAlive();
    return data_.endAngle;
}

void Arc::SetEndAngle(double a)
{
    CheckWritable();
    if (!std::isfinite(a)) ThrowInvalidInput("ângulo final do arco");
    data_.endAngle = NormalizeAngle(a);
    GeometryChanged();
}

CircularArc Arc::Geometry() const
{
    CircularArc a{data_.center, data_.radius, data_.startAngle, data_.endAngle};
    // Stored angles are both in [0, 2π); the arc runs counter-clockwise from start to end.
    if (a.endAngle <= a.startAngle) a.endAngle += kTwoPi;
    return a;
}

Point3d Arc::StartPoint() const
{
    CheckAlive();
    return data_.extrusion.ToWorld(Geometry().StartPoint());
}

Point3d Arc::EndPoint() const
{
    CheckAlive();
    return data_.extrusion.ToWorld(Geometry().EndPoint());
}

double Arc::TotalAngle() const
{
    CheckAlive();
    return Geometry().Sweep();
}

double Arc::ArcLength() const
{
    CheckAlive();
    return Geometry().Length();
}

void Arc::SetData(const ArcData& d)
{
    CheckAlive();
    data_ = d;
    GeometryChanged();
}

void Arc::TransformBy(const Transform& t)
{
    CheckAlive();
    const Transform p = data_.extrusion.TransformBy(t);
    CircularArc g = Geometry();
    Point3d s = p.Apply(g.StartPoint());
    Point3d e = p.Apply(g.EndPoint());
    if (p.IsMirroring()) std::swap(s, e);
    data_.center = p.Apply(data_.center);
    data_.radius *= p.ScaleFactor();
    data_.startAngle = AngleFromXAxis(data_.center, s);
    data_.endAngle = AngleFromXAxis(data_.center, e);
    GeometryChanged();
}

void Arc::Emit(GeometrySink& sink, const Transform& t) const
{
    detail::EmitArc(sink, data_.extrusion.Through(t), Geometry());
}

std::unique_ptr<Entity> Arc::CloneTo(acad::Document& target) const { return detail::CloneWith(*this, target, data_); }

// ---------------------------------------------------------------- Ellipse

Ellipse::Ellipse(acad::Document& doc, const EllipseData& data) : Entity(doc), data_(data) {}

Point3d Ellipse::Center() const
{
    CheckAlive();
    return data_.center;
}

void Ellipse::SetCenter(const Point3d& c)
{
    CheckWritable();
    detail::CheckFinite(c, "centro da elipse");
    data_.center = c;
    GeometryChanged();
}

Vector3d Ellipse::MajorAxis() const
{
    CheckAlive();
    return data_.majorAxis;
}

void Ellipse::SetMajorAxis(const Vector3d& v)
{
    CheckWritable();
    if (!(v.Length() > 0)) ThrowInvalidInput("eixo maior da elipse nulo");
    data_.majorAxis = v;
    GeometryChanged();
}

double Ellipse::RadiusRatio() const
{
    CheckAlive();
    return data_.radiusRatio;
}

void Ellipse::SetRadiusRatio(double r)
{
    CheckWritable();
    if (!(r > 0 && r <= 1.0)) ThrowInvalidInput("razão dos raios da elipse (entre 0 e 1)");
    data_.radiusRatio = r;
    GeometryChanged();
}

double Ellipse::MajorRadius() const { return MajorAxis().Length(); }
double Ellipse::MinorRadius() const { return MajorRadius() * RadiusRatio(); }
double Ellipse::StartParameter() const
{
    CheckAlive();
    return data_.startParameter;
}
double Ellipse::EndParameter() const
{
    CheckAlive();
    return data_.endParameter;
}

Point3d Ellipse::PointAtParameter(double u) const
{
    CheckAlive();
    return data_.center + data_.majorAxis * std::cos(u) + MinorAxis(data_) * std::sin(u);
}

Vector3d Ellipse::MinorAxis(const EllipseData& d)
{
    if (d.extrusion.IsZAxis()) return Vector3d{-d.majorAxis.y, d.majorAxis.x, 0.0} * d.radiusRatio;
    const Vector3d n = d.extrusion.Normal();
    const double len = n.Length();
    if (!(len > 0) || !std::isfinite(len)) return Vector3d{-d.majorAxis.y, d.majorAxis.x, 0.0} * d.radiusRatio;
    return Cross(n / len, d.majorAxis) * d.radiusRatio;
}

void Ellipse::SetData(const EllipseData& d)
{
    CheckAlive();
    data_ = d;
    GeometryChanged();
}

void Ellipse::TransformBy(const Transform& t)
{
    CheckAlive();
    const Vector3d minor = MinorAxis(data_);
    bool flat = data_.extrusion.IsZAxis();
    data_.extrusion.TransformBy(t);  // its points are the world's: only the plane turns
    Vector3d major2 = t.ApplyVector(data_.majorAxis);
    Vector3d minor2 = t.ApplyVector(minor);
    flat = flat && data_.extrusion.IsZAxis();
    double lm = flat ? major2.Length2d() : major2.Length(), ln = flat ? minor2.Length2d() : minor2.Length();
    data_.center = t.Apply(data_.center);
    // Move, Rotate and Mirror keep the shape; a non-uniform scale (an exploded
    // block) keeps the major axis and approximates the ratio.
    if (lm > 0) {
        data_.majorAxis = major2;
        data_.radiusRatio = std::clamp(ln / lm, 1e-9, 1.0);
    }
    // Mirrored in its plane, the ellipse runs the other way round.
    const bool mirrored = flat ? t.IsMirroring() : Dot(Cross(data_.extrusion.Normal(), major2), minor2) < 0;
    if (mirrored) {
        double s = data_.startParameter, e = data_.endParameter;
        data_.startParameter = NormalizeAngle(-e);
        data_.endParameter = data_.startParameter + (e - s);
    }
    GeometryChanged();
}

void Ellipse::Emit(GeometrySink& sink, const Transform& t) const
{
    if (data_.extrusion.IsZAxis()) {
        detail::EmitEllipse(sink, t, data_.center, data_.majorAxis, data_.radiusRatio, data_.startParameter,
                            data_.endParameter);
        return;
    }
    // Drawn in its plane's own coordinates, where its minor axis is the major
    // one turned a quarter.
    const Point3d c = data_.extrusion.FromWorld(data_.center);
    const Vector3d major = data_.extrusion.FromWorld(data_.majorAxis);
    detail::EmitEllipse(sink, data_.extrusion.Through(t), c, major, data_.radiusRatio, data_.startParameter,
                        data_.endParameter);
}

std::unique_ptr<Entity> Ellipse::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, data_);
}

}  // namespace acad
