#include "platform/acad/Hatch.h"

#include <algorithm>
#include <cmath>

#include "platform/acad/CurveEntities.h"
#include "platform/acad/Document.h"
#include "platform/acad/EmitSupport.h"
#include "platform/acad/Error.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/Spline.h"
#include "platform/acad/Tables.h"

namespace acad {

namespace {

CircularArc EdgeArc(const HatchEdge& e)
{
    // Clockwise edges hold their angles mirrored, as the file format has them.
    if (e.counterClockwise) return {e.center, e.radius, e.startAngle, e.endAngle};
    return {e.center, e.radius, -e.endAngle, -e.startAngle};
}

void EmitEdge(GeometrySink& sink, const Transform& t, const HatchEdge& e)
{
    switch (e.kind) {
    case HatchEdge::LineEdge: sink.Segment(t.Apply(e.start), t.Apply(e.end)); break;
    case HatchEdge::ArcEdge: {
        CircularArc a = EdgeArc(e);
        if (a.endAngle <= a.startAngle) a.endAngle += kTwoPi;
        detail::EmitArc(sink, t, a);
        break;
    }
    case HatchEdge::EllipseEdge: {
        double s = e.counterClockwise ? e.startAngle : -e.endAngle;
        double en = e.counterClockwise ? e.endAngle : -e.startAngle;
        if (en <= s) en += kTwoPi;
        detail::EmitEllipse(sink, t, e.center, e.majorAxis, e.ratio, s, en);
        break;
    }
    case HatchEdge::SplineEdge: {
        detail::EmitChain(sink, t, SampleSpline(e.spline), false);
        break;
    }
    }
}

// Collects segments/arcs as a point ring (for fills, areas and LoopPoints).
class RingSink : public GeometrySink {
public:
    explicit RingSink(double tol) : tol_(tol) {}
    void Point(const Point3d& p) override { Push(p); }
    void Segment(const Point3d& a, const Point3d& b) override
    {
        Push(a);
        Push(b);
    }
    void Arc(const CircularArc& arc) override
    {
        const double sweep = arc.Sweep();
        double step = arc.radius > tol_ ? 2.0 * std::acos(1.0 - tol_ / arc.radius) : kPi / 8;
        if (!(step > 0)) step = kPi / 8;
        const int n = std::clamp(static_cast<int>(std::ceil(sweep / step)), 4, 4096);
        for (int k = 0; k <= n; ++k) Push(arc.PointAt(arc.startAngle + sweep * k / n));
    }
    void Text(const TextPrimitive&) override {}
    std::vector<Point3d> ring;

private:
    void Push(const Point3d& p)
    {
        if (ring.empty() || Distance2d(ring.back(), p) > 1e-12) ring.push_back(p);
    }
    double tol_;
};

double RingArea(const std::vector<Point3d>& r)
{
    double a = 0;
    for (std::size_t i = 0; i < r.size(); ++i) a += Cross2d(r[i], r[(i + 1) % r.size()]);
    return a / 2;
}

}  // namespace

Hatch::Hatch(acad::Document& doc, const HatchData& data) : Entity(doc), data_(data) {}

std::string Hatch::PatternName() const
{
    CheckAlive();
    return data_.patternName;
}

int Hatch::PatternType() const
{
    CheckAlive();
    return data_.patternType;
}

void Hatch::SetPattern(int patternType, const std::string& patternName)
{
    CheckWritable();
    if (patternType < 0 || patternType > 2)
        ThrowInvalidInput("tipo de padrão de hachura " + std::to_string(patternType));
    if (patternName.empty()) ThrowInvalidInput("nome do padrão de hachura vazio");
    data_.patternType = patternType;
    data_.patternName = patternName;
    data_.solid = NamesEqual(patternName, "SOLID");
    GeometryChanged();
}

bool Hatch::AssociativeHatch() const
{
    CheckAlive();
    return data_.associative;
}

void Hatch::SetAssociativeHatch(bool b)
{
    CheckWritable();
    data_.associative = b;
    Document().NoteChange();
}

double Hatch::PatternAngle() const
{
    CheckAlive();
    return data_.patternAngle;
}

void Hatch::SetPatternAngle(double a)
{
    CheckWritable();
    if (!std::isfinite(a)) ThrowInvalidInput("ângulo do padrão de hachura");
    data_.patternAngle = a;
    GeometryChanged();
}

double Hatch::PatternScale() const
{
    CheckAlive();
    return data_.patternScale;
}

void Hatch::SetPatternScale(double s)
{
    CheckWritable();
    if (!(s > 0) || !std::isfinite(s)) ThrowInvalidInput("escala do padrão de hachura");
    data_.patternScale = s;
    GeometryChanged();
}

double Hatch::Elevation() const
{
    CheckAlive();
    return data_.elevation;
}

int Hatch::NumberOfLoops() const
{
    CheckAlive();
    return static_cast<int>(data_.loops.size());
}

void Hatch::AppendOuterLoop(const std::vector<Entity*>& objects) { AppendLoop(objects, HatchLoopType::External); }

void Hatch::AppendInnerLoop(const std::vector<Entity*>& objects) { AppendLoop(objects, HatchLoopType::Default); }

namespace {
// The boundary of one object as loop data, in the coordinates of the hatch's
// plane (`plane`); false when it cannot bound a hatch.
bool AddToLoop(const Entity& e, HatchLoop& loop, const Extrusion& plane)
{
    // From the object's plane (a polyline's, a circle's) to the hatch's.
    auto across = [&](const Extrusion& own) {
        return own == plane ? Transform() : plane.Ocs().Inverse().value_or(Transform()) * own.Ocs();
    };
    if (auto* lw = dynamic_cast<const LWPolyline*>(&e)) {
        loop.isPolyline = true;
        loop.polyline = lw->Data().geometry;
        loop.polyline.closed = true;
        if (const Transform t = across(lw->Data().extrusion); !t.IsIdentity())
            for (auto& v : loop.polyline.vertices) {
                v.point = t.Apply(v.point);
                if (t.IsMirroring()) v.bulge = -v.bulge;
            }
        return true;
    }
    if (auto* pl = dynamic_cast<const Polyline2D*>(&e)) {
        loop.isPolyline = true;
        loop.polyline.vertices.clear();
        if (!pl->Data().fitPoints.empty()) {
            for (const auto& p : pl->Data().fitPoints) loop.polyline.vertices.push_back({p, 0.0});
        } else {
            for (const auto& v : pl->Data().vertices) loop.polyline.vertices.push_back({v.point, v.bulge});
        }
        loop.polyline.closed = true;
        if (const Transform t = across(pl->Data().extrusion); !t.IsIdentity())
            for (auto& v : loop.polyline.vertices) {
                v.point = t.Apply(v.point);
                if (t.IsMirroring()) v.bulge = -v.bulge;
            }
        return true;
    }
    HatchEdge edge;
    const Transform fromWorld = across(Extrusion());
    if (auto* l = dynamic_cast<const Line*>(&e)) {
        edge.kind = HatchEdge::LineEdge;
        edge.start = fromWorld.Apply(l->Data().start);
        edge.end = fromWorld.Apply(l->Data().end);
    } else if (auto* a = dynamic_cast<const Arc*>(&e)) {
        CircularArc g = a->Geometry();
        edge.kind = HatchEdge::ArcEdge;
        edge.center = g.center;
        edge.radius = g.radius;
        edge.startAngle = g.startAngle;
        edge.endAngle = g.startAngle + g.Sweep();
        if (const Transform t = across(a->Data().extrusion); !t.IsIdentity()) {
            // Turned over, the arc runs the other way round from the other end.
            Point3d from = t.Apply(g.StartPoint()), to = t.Apply(g.EndPoint());
            if (t.IsMirroring()) std::swap(from, to);
            edge.center = t.Apply(g.center);
            edge.startAngle = AngleFromXAxis(edge.center, from);
            edge.endAngle = edge.startAngle + g.Sweep();
        }
    } else if (auto* c = dynamic_cast<const Circle*>(&e)) {
        edge.kind = HatchEdge::ArcEdge;
        edge.center = across(c->Data().extrusion).Apply(c->Data().center);
        edge.radius = c->Data().radius;
        edge.startAngle = 0;
        edge.endAngle = kTwoPi;
    } else if (auto* el = dynamic_cast<const Ellipse*>(&e)) {
        edge.kind = HatchEdge::EllipseEdge;
        edge.center = fromWorld.Apply(el->Data().center);
        edge.majorAxis = fromWorld.ApplyVector(el->Data().majorAxis);
        edge.ratio = el->Data().radiusRatio;
        edge.startAngle = el->Data().startParameter;
        edge.endAngle = el->Data().endParameter;
        // Its minor axis on the other side of the major one in the hatch's
        // plane: it runs clockwise there, which such an edge holds by its angles.
        const Vector3d minor = fromWorld.ApplyVector(Ellipse::MinorAxis(el->Data()));
        edge.counterClockwise = Cross2d(edge.majorAxis, minor) >= 0;
    } else if (auto* sp = dynamic_cast<const Spline*>(&e)) {
        edge.kind = HatchEdge::SplineEdge;
        edge.spline = sp->Data();
        if (!fromWorld.IsIdentity()) {
            for (auto& p : edge.spline.controlPoints) p = fromWorld.Apply(p);
            for (auto& p : edge.spline.fitPoints) p = fromWorld.Apply(p);
        }
    } else {
        return false;
    }
    loop.edges.push_back(edge);
    return true;
}
}  // namespace

void Hatch::AppendLoop(const std::vector<Entity*>& objects, int flags)
{
    CheckWritable();
    if (objects.empty()) ThrowInvalidInput("contorno da hachura sem objetos");
    HatchLoop loop;
    for (Entity* e : objects) {
        if (!e) ThrowInvalidInput("objeto nulo no contorno da hachura");
        e->CheckAlive();
        if (&e->Document() != &Document())
            throw Error(ErrorCode::WrongDocument, "Objeto de outro desenho no contorno da hachura");
        if (!AddToLoop(*e, loop, data_.extrusion))
            ThrowInvalidInput("objeto " + e->ObjectName() + " não pode formar o contorno de uma hachura");
        if (loop.isPolyline && objects.size() > 1)
            ThrowInvalidInput("uma polilinha deve formar sozinha o contorno da hachura");
        loop.sourceHandles.push_back(e->HandleValue());
    }
    loop.flags = flags | (loop.isPolyline ? HatchLoopType::Polyline : 0);
    if (data_.loops.empty() && flags == HatchLoopType::External) loop.flags |= HatchLoopType::Outermost;
    data_.loops.push_back(std::move(loop));
    GeometryChanged();
}

void Hatch::Evaluate()
{
    CheckWritable();
    // Loops of an associative hatch follow their objects where they still exist;
    // any other hatch is rebuilt from the loops it holds.
    for (auto& loop : data_.loops) {
        if (!data_.associative) break;
        if (loop.sourceHandles.empty()) continue;
        HatchLoop rebuilt;
        rebuilt.flags = loop.flags;
        bool ok = true;
        for (auto h : loop.sourceHandles) {
            auto* e = dynamic_cast<Entity*>(Document().FindByHandle(h));
            if (!e || e->IsErased() || !AddToLoop(*e, rebuilt, data_.extrusion)) {
                ok = false;
                break;
            }
        }
        if (ok) {
            rebuilt.sourceHandles = loop.sourceHandles;
            loop = std::move(rebuilt);
        }
    }
    GeometryChanged();
}

std::vector<Point3d> Hatch::LoopPoints(int index, double tolerance) const
{
    CheckAlive();
    if (index < 0 || index >= static_cast<int>(data_.loops.size()))
        throw Error(ErrorCode::InvalidInput, "Índice de contorno fora do intervalo: " + std::to_string(index));
    const HatchLoop& loop = data_.loops[static_cast<std::size_t>(index)];
    if (loop.isPolyline) {
        BulgePolyline pl = loop.polyline;
        pl.closed = true;
        auto pts = pl.Flatten(tolerance);
        if (pts.size() > 1 && Distance2d(pts.front(), pts.back()) <= 1e-12) pts.pop_back();
        return pts;
    }
    RingSink sink(tolerance);
    for (const auto& e : loop.edges) EmitEdge(sink, Transform(), e);
    if (sink.ring.size() > 1 && Distance2d(sink.ring.front(), sink.ring.back()) <= 1e-12) sink.ring.pop_back();
    return sink.ring;
}

double Hatch::Area() const
{
    CheckAlive();
    double outer = 0, inner = 0;
    for (int i = 0; i < static_cast<int>(data_.loops.size()); ++i) {
        double a = std::fabs(RingArea(LoopPoints(i, 1e-3)));
        if (data_.loops[static_cast<std::size_t>(i)].flags & (HatchLoopType::External | HatchLoopType::Outermost))
            outer += a;
        else
            inner += a;
    }
    return std::max(0.0, outer - inner);
}

void Hatch::SetData(const HatchData& d)
{
    CheckAlive();
    data_ = d;
    GeometryChanged();
}

void Hatch::TransformBy(const Transform& world)
{
    CheckAlive();
    const Transform t = data_.extrusion.TransformBy(world);
    const bool flip = t.IsMirroring();
    for (auto& loop : data_.loops) {
        for (auto& v : loop.polyline.vertices) {
            v.point = t.Apply(v.point);
            if (flip) v.bulge = -v.bulge;
        }
        for (auto& e : loop.edges) {
            switch (e.kind) {
            case HatchEdge::LineEdge:
                e.start = t.Apply(e.start);
                e.end = t.Apply(e.end);
                break;
            case HatchEdge::ArcEdge: {
                CircularArc a = EdgeArc(e);
                Point3d s = t.Apply(a.StartPoint()), en = t.Apply(a.EndPoint());
                if (flip) std::swap(s, en);
                e.center = t.Apply(e.center);
                e.radius *= t.ScaleFactor();
                e.counterClockwise = true;
                e.startAngle = AngleFromXAxis(e.center, s);
                e.endAngle = e.startAngle + a.Sweep();
                break;
            }
            case HatchEdge::EllipseEdge:
                e.center = t.Apply(e.center);
                e.majorAxis = t.ApplyVector(e.majorAxis);
                if (flip) e.counterClockwise = !e.counterClockwise;
                break;
            case HatchEdge::SplineEdge:
                for (auto& p : e.spline.controlPoints) p = t.Apply(p);
                for (auto& p : e.spline.fitPoints) p = t.Apply(p);
                break;
            }
        }
    }
    for (auto& p : data_.seedPoints) p = t.Apply(p);
    // Moved on its own, a hatch leaves its boundary objects behind: no longer associative.
    data_.associative = false;
    data_.patternAngle = NormalizeAngle(data_.patternAngle + t.RotationAngle());
    if (!data_.solid) data_.patternScale *= t.ScaleFactor();
    data_.elevation = t.Apply({0, 0, data_.elevation}).z;
    GeometryChanged();
}

Transform Hatch::Placed(const Transform& t) const
{
    if (data_.extrusion.IsZAxis()) return t;
    return data_.extrusion.Through(t) * Transform::Translation({0, 0, data_.elevation});
}

void Hatch::Emit(GeometrySink& sink, const Transform& placed) const
{
    const Transform t = Placed(placed);
    for (std::size_t i = 0; i < data_.loops.size(); ++i) {
        const HatchLoop& loop = data_.loops[i];
        if (loop.isPolyline) {
            BulgePolyline pl = loop.polyline;
            pl.closed = true;
            detail::EmitBulgePolyline(sink, t, pl);
        } else {
            for (const auto& e : loop.edges) EmitEdge(sink, t, e);
        }
    }
    if (data_.solid) {
        for (int i = 0; i < static_cast<int>(data_.loops.size()); ++i) {
            std::vector<Point3d> ring = LoopPoints(i, 1e-3);
            for (auto& p : ring) p = t.Apply(p);
            if (ring.size() >= 3) sink.Fill(ring);
        }
    }
}

std::unique_ptr<Entity> Hatch::CloneTo(acad::Document& target) const { return detail::CloneWith(*this, target, data_); }

}  // namespace acad
