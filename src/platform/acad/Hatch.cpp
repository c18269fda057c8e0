#include "platform/acad/Hatch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

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

// One family of a pattern's lines in the units of the space it is drawn in:
// line k runs along `dir` through base + k * offset, and its dashes are
// measured from that point.
struct Family {
    Point3d base;
    Vector3d dir, normal;        // unit vectors; the normal to the left of dir
    double spacing = 0;          // between neighbouring lines; 0: they all coincide
    double shift = 0;            // of line k + 1's first dash along dir from line k's
    std::vector<double> dashes;  // > 0 a dash, < 0 a gap, 0 a dot
    double period = 0;           // of the dashes; 0: a continuous line
    double inked = 1;            // share of the period that is dash
};

double Along(const Family& f, const Point3d& p) { return p.x * f.dir.x + p.y * f.dir.y; }
double Across(const Family& f, const Point3d& p) { return p.x * f.normal.x + p.y * f.normal.y; }

// A pattern line through `t`: an affine map takes parallel lines to parallel
// lines, their offsets and dashes along with them.
std::optional<Family> FamilyThrough(const HatchPatternLine& l, const Transform& t)
{
    const Vector3d d = t.ApplyVector({std::cos(l.angle), std::sin(l.angle), 0.0});
    const double stretch = std::hypot(d.x, d.y);
    if (!(stretch > 0) || !std::isfinite(stretch)) return std::nullopt;
    Family f;
    f.dir = {d.x / stretch, d.y / stretch, 0.0};
    f.normal = {-f.dir.y, f.dir.x, 0.0};
    f.base = t.Apply(l.base);
    const Vector3d off = t.ApplyVector(l.offset);
    f.spacing = off.x * f.normal.x + off.y * f.normal.y;
    f.shift = off.x * f.dir.x + off.y * f.dir.y;
    if (f.spacing < 0) {  // the same lines counted the other way
        f.spacing = -f.spacing;
        f.shift = -f.shift;
    }
    double dash = 0;
    for (double length : l.dashes) {
        f.dashes.push_back(length * stretch);
        f.period += std::fabs(length * stretch);
        if (length > 0) dash += length * stretch;
    }
    if (!f.base.IsFinite() || !std::isfinite(f.spacing) || !std::isfinite(f.shift) || !std::isfinite(f.period))
        return std::nullopt;
    // Dashes of no length (dots only) make no pattern along the line.
    if (!(f.period > 0)) f.dashes.clear();
    f.inked = f.period > 0 ? dash / f.period : 1.0;
    return f;
}

std::vector<Family> FamiliesThrough(const std::vector<HatchPatternLine>& lines, const Transform& t)
{
    std::vector<Family> out;
    for (const HatchPatternLine& l : lines)
        if (auto f = FamilyThrough(l, t)) out.push_back(std::move(*f));
    return out;
}

// The families as drawn at `px` pixels per unit (0: at no scale): dashes
// finer than the tint's spacing run together into a line. False when the
// lines lie too close to tell apart: a tint.
bool AsDrawn(std::vector<Family>& families, double px)
{
    if (!(px > 0)) return true;
    for (Family& f : families) {
        if (f.spacing > 0 && f.spacing * px < kPatternTintPx) return false;
        if (!f.dashes.empty() && f.period * px < kPatternTintPx) {
            if (f.inked <= 0 && std::find(f.dashes.begin(), f.dashes.end(), 0.0) == f.dashes.end())
                f.spacing = -1;  // all gaps: nothing to draw
            f.dashes.clear();
            f.period = 0;
        }
    }
    return true;
}

// Cuts pattern lines at a set of rings by the even-odd rule, line after line
// across the family (the rings' edges kept sorted by where they start), and
// gives the pieces that reach a box. Counts what it does against a budget of
// pieces, and stops (false) past it.
class PatternScan {
public:
    PatternScan(const std::vector<std::vector<Point3d>>& rings, const Box& reach, std::vector<PatternPiece>& out)
        : rings_(rings), reach_(reach), out_(out)
    {
        for (const auto& r : rings)
            if (!r.empty()) {
                z_ = r.front().z;
                break;
            }
    }
    bool Scan(const Family& f);

private:
    struct Edge {
        double vlo, vhi;  // across the lines, its ends
        double wlo, whi;  // along them, at those ends
    };
    bool Line(const Family& f, double v, double origin);
    bool Dashes(const Family& f, double v, double origin, double a, double b, double from, double to);
    bool Spend(double pieces)
    {
        budget_ -= pieces;
        return budget_ >= 0;
    }
    Point3d At(const Family& f, double w, double v) const
    {
        return {w * f.dir.x + v * f.normal.x, w * f.dir.y + v * f.normal.y, z_};
    }

    const std::vector<std::vector<Point3d>>& rings_;
    Box reach_;
    std::vector<PatternPiece>& out_;
    double z_ = 0;
    double budget_ = kPatternPieces;
    // Edges met by a line, looked at, counted apart from the pieces: a line
    // that crosses many edges out of reach still takes its time.
    double looks_ = 8 * kPatternPieces;
    std::vector<Edge> edges_;
    std::vector<std::size_t> active_;
    std::vector<double> cuts_;
};

bool PatternScan::Scan(const Family& f)
{
    // The lines that cross both the rings and the reach.
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (const auto& r : rings_)
        for (const Point3d& p : r) {
            lo = std::min(lo, Across(f, p));
            hi = std::max(hi, Across(f, p));
        }
    if (!reach_.IsEmpty()) {
        double rlo = std::numeric_limits<double>::infinity(), rhi = -rlo;
        for (int k = 0; k < 4; ++k) {
            const Point3d c{k & 1 ? reach_.max.x : reach_.min.x, k & 2 ? reach_.max.y : reach_.min.y, 0.0};
            rlo = std::min(rlo, Across(f, c));
            rhi = std::max(rhi, Across(f, c));
        }
        lo = std::max(lo, rlo);
        hi = std::min(hi, rhi);
    }
    if (!(lo <= hi) || f.spacing < 0) return true;
    const double v0 = Across(f, f.base);
    double first = 0, last = 0;
    if (f.spacing > 0) {
        first = std::ceil((lo - v0) / f.spacing);
        last = std::floor((hi - v0) / f.spacing);
    } else if (v0 < lo || v0 > hi) {
        return true;
    }
    if (!(last >= first)) return true;
    if (!Spend(last - first + 1)) return false;

    edges_.clear();
    for (const auto& r : rings_)
        for (std::size_t i = 0; i < r.size(); ++i) {
            const Point3d& p = r[i];
            const Point3d& q = r[(i + 1) % r.size()];
            const double vp = Across(f, p), vq = Across(f, q);
            if (vp == vq || std::max(vp, vq) < lo || std::min(vp, vq) > hi) continue;
            edges_.push_back(vp < vq ? Edge{vp, vq, Along(f, p), Along(f, q)} : Edge{vq, vp, Along(f, q), Along(f, p)});
        }
    std::sort(edges_.begin(), edges_.end(), [](const Edge& a, const Edge& b) { return a.vlo < b.vlo; });
    active_.clear();
    std::size_t next = 0;
    const double origin0 = Along(f, f.base);
    // Counted apart from k: past 2^53 a double no longer steps by one.
    const auto lines = static_cast<long long>(last - first + 1);
    for (long long i = 0; i < lines; ++i) {
        const double k = first + static_cast<double>(i);
        const double v = v0 + k * f.spacing;
        while (next < edges_.size() && edges_[next].vlo <= v) active_.push_back(next++);
        // An edge is cut where lo <= v < hi: a corner on the line is crossed once.
        cuts_.clear();
        std::size_t kept = 0;
        for (const std::size_t at : active_) {
            const Edge& e = edges_[at];
            if (e.vhi <= v) continue;
            active_[kept++] = at;
            cuts_.push_back(e.wlo + (v - e.vlo) / (e.vhi - e.vlo) * (e.whi - e.wlo));
        }
        active_.resize(kept);
        looks_ -= static_cast<double>(kept);
        if (looks_ < 0) return false;
        if (cuts_.size() >= 2 && !Line(f, v, origin0 + k * f.shift)) return false;
    }
    return true;
}

bool PatternScan::Line(const Family& f, double v, double origin)
{
    // The stretch of the line within reach.
    double from = -std::numeric_limits<double>::infinity(), to = -from;
    if (!reach_.IsEmpty()) {
        auto within = [&](double d, double c, double lo, double hi) {
            if (d == 0) return c >= lo && c <= hi;
            double a = (lo - c) / d, b = (hi - c) / d;
            if (a > b) std::swap(a, b);
            from = std::max(from, a);
            to = std::min(to, b);
            return from <= to;
        };
        if (!within(f.dir.x, v * f.normal.x, reach_.min.x, reach_.max.x) ||
            !within(f.dir.y, v * f.normal.y, reach_.min.y, reach_.max.y))
            return true;
    }
    std::sort(cuts_.begin(), cuts_.end());
    for (std::size_t j = 0; j + 1 < cuts_.size(); j += 2) {
        const double a = cuts_[j], b = cuts_[j + 1];
        if (!(a < b) || b < from || a > to) continue;
        if (f.dashes.empty()) {
            if (!Spend(1)) return false;
            out_.push_back({At(f, a, v), At(f, b, v)});
        } else if (!Dashes(f, v, origin, a, b, std::max(a, from), std::min(b, to))) {
            return false;
        }
    }
    return true;
}

// The dashes of the piece a..b of a line whose dashes start at `origin`, those
// that reach from..to, each cut at a and b only.
bool PatternScan::Dashes(const Family& f, double v, double origin, double a, double b, double from, double to)
{
    const double first = std::floor((from - origin) / f.period);
    const double periods = std::floor((to - origin) / f.period) - first + 1;
    if (!Spend(periods * static_cast<double>(f.dashes.size()))) return false;
    for (long long i = 0; i < static_cast<long long>(periods); ++i) {
        double at = origin + (first + static_cast<double>(i)) * f.period;
        for (const double d : f.dashes) {
            if (at > to) return true;
            const double end = at + std::fabs(d);
            if (d == 0) {
                if (at >= a && at <= b && at >= from) out_.push_back({At(f, at, v), At(f, at, v)});
            } else if (d > 0 && end >= from) {
                const double s = std::max(at, a), e = std::min(end, b);
                if (s < e) out_.push_back({At(f, s, v), At(f, e, v)});
            }
            at = end;
        }
    }
    return true;
}

// A loop flattened to a ring of points (arcs within `tolerance`), not closed.
std::vector<Point3d> Ring(const HatchLoop& loop, double tolerance)
{
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

// A loop's edges through `t`.
void EmitLoop(GeometrySink& sink, const Transform& t, const HatchLoop& loop)
{
    if (loop.isPolyline) {
        BulgePolyline pl = loop.polyline;
        pl.closed = true;
        detail::EmitBulgePolyline(sink, t, pl);
    } else {
        for (const auto& e : loop.edges) EmitEdge(sink, t, e);
    }
}

// Pattern lines through `t`, as the file would hold them after it.
void TransformLines(std::vector<HatchPatternLine>& lines, const Transform& t)
{
    for (HatchPatternLine& l : lines) {
        const Vector3d d = t.ApplyVector({std::cos(l.angle), std::sin(l.angle), 0.0});
        const double stretch = std::hypot(d.x, d.y);
        if (!(stretch > 0)) continue;
        l.angle = NormalizeAngle(std::atan2(d.y, d.x));
        l.base = t.Apply(l.base);
        l.offset = t.ApplyVector(l.offset);
        for (double& dash : l.dashes) dash *= stretch;
    }
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
    // Lines read for another pattern are not this one's: a pattern known by
    // name only is shown as a hatched area.
    const bool had = !data_.patternLines.empty();
    if (patternType != data_.patternType || patternName != data_.patternName) data_.patternLines.clear();
    data_.patternType = patternType;
    data_.patternName = patternName;
    data_.solid = NamesEqual(patternName, "SOLID");
    if (had && data_.patternLines.empty() && patternType == HatchPatternType::UserDefined && !data_.solid)
        RebuildUserLines();
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
    // Its lines turn with it about the origin, where the pattern is laid from.
    TransformLines(data_.patternLines, Transform::RotationZ(a - data_.patternAngle));
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
    if (data_.patternScale > 0 && std::isfinite(data_.patternScale)) {
        const double k = s / data_.patternScale;
        TransformLines(data_.patternLines, Transform::Scaling(k, k, 1));
    }
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
    // A user-defined pattern is its angle, spacing and doubling, laid anew from the origin.
    if (data_.patternType == HatchPatternType::UserDefined && !data_.solid && !data_.patternLines.empty())
        RebuildUserLines();
    GeometryChanged();
}

void Hatch::RebuildUserLines()
{
    const double s = data_.patternScale;
    data_.patternLines.clear();
    for (int k = 0; k < (data_.patternDouble ? 2 : 1); ++k) {
        const double a = data_.patternAngle + k * kPi / 2;
        data_.patternLines.push_back(HatchPatternLine{a, {}, {-s * std::sin(a), s * std::cos(a), 0.0}, {}});
    }
}

std::vector<Point3d> Hatch::LoopPoints(int index, double tolerance) const
{
    CheckAlive();
    if (index < 0 || index >= static_cast<int>(data_.loops.size()))
        throw Error(ErrorCode::InvalidInput, "Índice de contorno fora do intervalo: " + std::to_string(index));
    return Ring(data_.loops[static_cast<std::size_t>(index)], tolerance);
}

std::vector<std::size_t> Hatch::FilledLoops() const
{
    auto filled = [&](int flags, bool byStyle) {
        if (flags & HatchLoopType::Textbox) return false;
        if (!byStyle) return true;
        switch (data_.style) {
        case 1: return (flags & (HatchLoopType::External | HatchLoopType::Outermost)) != 0;  // outer
        case 2: return (flags & HatchLoopType::External) != 0;                               // ignore
        default: return true;                                                                // normal
        }
    };
    std::vector<std::size_t> out;
    // Loops not flagged as its style expects (a file that leaves the flags out): all of them.
    for (const bool byStyle : {true, false}) {
        for (std::size_t i = 0; i < data_.loops.size(); ++i)
            if (filled(data_.loops[i].flags, byStyle)) out.push_back(i);
        if (!out.empty()) break;
    }
    return out;
}

std::vector<std::vector<Point3d>> Hatch::FillRings(const Transform& t, double tolerance) const
{
    const double scale = t.ScaleFactor();
    const double local = scale > 0 && std::isfinite(scale) ? tolerance / scale : tolerance;
    std::vector<std::vector<Point3d>> rings;
    for (const std::size_t i : FilledLoops()) {
        std::vector<Point3d> ring = Ring(data_.loops[i], local);
        if (ring.size() < 3) continue;
        for (Point3d& p : ring) p = t.Apply(p);
        rings.push_back(std::move(ring));
    }
    return rings;
}

bool Hatch::HasPatternLines() const
{
    if (data_.solid) return false;
    for (const HatchPatternLine& l : data_.patternLines)
        if (FamilyThrough(l, Transform())) return true;
    return false;
}

bool Hatch::PatternPieces(const std::vector<std::vector<Point3d>>& rings, const Transform& t, double pxPerUnit,
                          const Box& reach, std::vector<PatternPiece>& out) const
{
    if (!HasPatternLines()) return false;
    std::vector<Family> families = FamiliesThrough(data_.patternLines, t);
    if (!AsDrawn(families, pxPerUnit)) return false;
    const std::size_t before = out.size();
    PatternScan scan(rings, reach, out);
    for (const Family& f : families)
        if (!scan.Scan(f)) {
            out.resize(before);
            return false;
        }
    return true;
}

double Hatch::PatternCover(const Transform& t, double pxPerUnit) const
{
    if (!(pxPerUnit > 0)) return 1;
    double cover = 0;
    for (const Family& f : FamiliesThrough(data_.patternLines, t)) {
        if (!(f.spacing > 0)) continue;
        cover += f.inked / (f.spacing * pxPerUnit);
        if (cover >= 1) return 1;
    }
    return cover;
}

PatternWork Hatch::PatternWorkAt(double pxPerUnit) const
{
    if (!HasPatternLines()) return {};
    std::vector<Family> families = FamiliesThrough(data_.patternLines, Transform());
    if (!AsDrawn(families, pxPerUnit)) return {};
    const auto rings = FillRings(Transform(), pxPerUnit > 0 ? 0.5 / pxPerUnit : 1e-3);
    double area = 0;
    for (const auto& r : rings) area += std::fabs(RingArea(r));
    PatternWork work;
    for (const Family& f : families) {
        if (f.spacing < 0) continue;
        // Each edge cuts the lines it spans once; two cuts bound a piece of line.
        double cuts = 0, lo = std::numeric_limits<double>::infinity(), hi = -lo;
        for (const auto& r : rings)
            for (std::size_t i = 0; i < r.size(); ++i) {
                const double span = std::fabs(Across(f, r[(i + 1) % r.size()]) - Across(f, r[i]));
                cuts += (f.spacing > 0 ? span / f.spacing : 0) + 1;
                lo = std::min(lo, Along(f, r[i]));
                hi = std::max(hi, Along(f, r[i]));
            }
        if (!(hi >= lo)) continue;
        const double pieces = cuts / 2 + 1;
        const double length = (f.spacing > 0 ? area / f.spacing : 0) + (hi - lo);
        const double dashes = static_cast<double>(f.dashes.size());
        work.pieces += f.dashes.empty() ? pieces : pieces * (dashes + 1) + length / f.period * dashes;
        work.inkPx += length * f.inked * pxPerUnit;
    }
    work.pieces = std::min(work.pieces, kPatternPieces);
    return work;
}

Box Hatch::Extents() const
{
    detail::ExtentsSink box;
    const Transform t = Placed(Transform());
    for (const std::size_t i : FilledLoops()) EmitLoop(box, t, data_.loops[i]);
    return box.box;
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
    TransformLines(data_.patternLines, t);
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
    const double px = sink.PixelsPerUnit();
    const double tolerance = px > 0 ? 0.5 / px : 1e-3 * t.ScaleFactor();
    if (HasPatternLines()) {
        // What the window draws: the pieces of its lines, or its area where they are a tint.
        const auto rings = FillRings(t, tolerance);
        std::vector<PatternPiece> pieces;
        if (PatternPieces(rings, t, px, sink.Reach(), pieces)) {
            for (const PatternPiece& p : pieces) {
                if (p.a == p.b)
                    sink.Point(p.a);
                else
                    sink.Segment(p.a, p.b);
            }
        } else {
            for (const auto& ring : rings) sink.Fill(ring);
        }
        return;
    }
    for (const std::size_t i : FilledLoops()) EmitLoop(sink, t, data_.loops[i]);
    if (data_.solid)
        for (const auto& ring : FillRings(t, tolerance)) sink.Fill(ring);
}

std::unique_ptr<Entity> Hatch::CloneTo(acad::Document& target) const { return detail::CloneWith(*this, target, data_); }

}  // namespace acad
