#include "platform/acad/PolylineEntities.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "platform/acad/Document.h"
#include "platform/acad/EmitSupport.h"
#include "platform/acad/Error.h"

namespace acad {

namespace {
bool Finite(const Point3d& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

void CheckFiniteList(const std::vector<double>& v, const char* what)
{
    for (double d : v)
        if (!std::isfinite(d)) ThrowInvalidInput(what);
}

// Signed area of a closed polyline with bulges (shoelace plus the circular segments).
double SignedArea(const BulgePolyline& pl)
{
    const std::size_t n = pl.vertices.size();
    if (n < 2) return 0.0;
    double a = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const Point3d& p = pl.vertices[i].point;
        const Point3d& q = pl.vertices[(i + 1) % n].point;
        a += Cross2d(p, q) / 2.0;
        if (auto arc = ArcFromBulge(p, q, pl.vertices[i].bulge)) {
            double theta = arc->Sweep();
            double seg = arc->radius * arc->radius * (theta - std::sin(theta)) / 2.0;
            a += pl.vertices[i].bulge > 0 ? seg : -seg;
        }
    }
    return a;
}

// Points of a uniform B-spline of degree p through (approximating) the frame, with
// the curve starting and ending at the frame's ends (clamped), or closed.
std::vector<Point3d> BSplineFit(const std::vector<Point3d>& frame, int p, bool closed, int perSpan)
{
    std::vector<Point3d> ctrl = frame;
    const std::size_t n0 = ctrl.size();
    if (n0 < 2) return frame;
    if (closed) {
        for (int k = 0; k < p; ++k) ctrl.push_back(frame[static_cast<std::size_t>(k) % n0]);
    }
    p = std::min<int>(p, static_cast<int>(ctrl.size()) - 1);
    const int n = static_cast<int>(ctrl.size());
    std::vector<double> U(static_cast<std::size_t>(n + p + 1));
    for (int i = 0; i < n + p + 1; ++i) {
        if (closed)
            U[static_cast<std::size_t>(i)] = i;
        else
            U[static_cast<std::size_t>(i)] = std::clamp(i - p, 0, n - p);
    }
    const double a = U[static_cast<std::size_t>(p)], b = U[static_cast<std::size_t>(n)];
    const int samples = std::max(2, perSpan * static_cast<int>(b - a));
    std::vector<Point3d> out;
    out.reserve(static_cast<std::size_t>(samples) + 1);
    std::vector<Point3d> d(static_cast<std::size_t>(p + 1));
    for (int s = 0; s <= samples; ++s) {
        double u = a + (b - a) * s / samples;
        int k = p;
        while (k < n - 1 && U[static_cast<std::size_t>(k + 1)] <= u) ++k;
        for (int j = 0; j <= p; ++j) d[static_cast<std::size_t>(j)] = ctrl[static_cast<std::size_t>(j + k - p)];
        for (int r = 1; r <= p; ++r) {
            for (int j = p; j >= r; --j) {
                double den = U[static_cast<std::size_t>(j + 1 + k - r)] - U[static_cast<std::size_t>(j + k - p)];
                double alpha = den > 0 ? (u - U[static_cast<std::size_t>(j + k - p)]) / den : 0.0;
                d[static_cast<std::size_t>(j)] =
                    d[static_cast<std::size_t>(j - 1)] * (1 - alpha) + d[static_cast<std::size_t>(j)] * alpha;
            }
        }
        out.push_back(d[static_cast<std::size_t>(p)]);
    }
    return out;
}

// Smooth curve through every frame vertex (the "fit curve" type), as a
// Catmull-Rom chain.
std::vector<Point3d> CurveFit(const std::vector<Point3d>& f, bool closed, int perSpan)
{
    const std::size_t n = f.size();
    if (n < 3) return f;
    std::vector<Point3d> out;
    const std::size_t spans = closed ? n : n - 1;
    auto at = [&](std::ptrdiff_t i) {
        if (closed)
            return f[static_cast<std::size_t>((i % static_cast<std::ptrdiff_t>(n) + static_cast<std::ptrdiff_t>(n)) %
                                              static_cast<std::ptrdiff_t>(n))];
        return f[static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(i, 0, static_cast<std::ptrdiff_t>(n) - 1))];
    };
    for (std::size_t s = 0; s < spans; ++s) {
        const auto i = static_cast<std::ptrdiff_t>(s);
        Point3d p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        for (int k = 0; k < perSpan; ++k) {
            double t = static_cast<double>(k) / perSpan, t2 = t * t, t3 = t2 * t;
            out.push_back((p1 * 2.0 + (p2 - p0) * t + (p0 * 2.0 - p1 * 5.0 + p2 * 4.0 - p3) * t2 +
                           (p1 * 3.0 - p0 - p2 * 3.0 + p3) * t3) *
                          0.5);
        }
    }
    out.push_back(closed ? f[0] : f[n - 1]);
    return out;
}

// Fills the pieces of a polyline with widths through `t`: what a window or a
// pick touching the band finds.
class BandFills final : public WideSink {
public:
    BandFills(GeometrySink& sink, const Transform& t) : sink_(sink), t_(t) {}
    void Band(std::size_t, const Point3d q[4]) override
    {
        sink_.Fill({t_.Apply(q[0]), t_.Apply(q[1]), t_.Apply(q[2]), t_.Apply(q[3])});
    }
    void ArcBand(std::size_t, const CircularArc& arc, bool fromStart, double fromWidth, double toWidth) override
    {
        std::vector<Point3d> ring = ArcBandRing(arc, fromStart, fromWidth, toWidth);
        for (Point3d& p : ring) p = t_.Apply(p);
        sink_.Fill(ring);
    }
    void Join(std::size_t, const Point3d* ring, int n) override
    {
        std::vector<Point3d> out(static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k) out[static_cast<std::size_t>(k)] = t_.Apply(ring[k]);
        sink_.Fill(out);
    }

private:
    GeometrySink& sink_;
    const Transform& t_;
};

// The box of the pieces of a polyline with widths, as stored.
class BandBox final : public WideSink {
public:
    void Band(std::size_t, const Point3d q[4]) override
    {
        for (int k = 0; k < 4; ++k) box.Add(q[k]);
    }
    void ArcBand(std::size_t, const CircularArc& arc, bool fromStart, double fromWidth, double toWidth) override
    {
        box.Add(ArcBandBox(arc, fromStart, fromWidth, toWidth));
    }
    void Join(std::size_t, const Point3d* ring, int n) override
    {
        for (int k = 0; k < n; ++k) box.Add(ring[k]);
    }
    Box box;
};

void EmitBands(GeometrySink& sink, const Transform& t, const WideVertices& v, std::size_t first, std::size_t last)
{
    BandFills fills(sink, t);
    WideOutline(v, first, last, fills);
}

// The reach of `box` (the world's) in coordinates whose XY plane `ocs` turns
// over or keeps (its X and Y axes those of the world, or their opposites);
// false when the plane is turned otherwise, and a plan's box holds no box there.
bool ReachInPlane(const Transform& ocs, Box& box)
{
    const double(*m)[4] = ocs.m;
    if (m[0][2] != 0 || m[1][2] != 0 || m[2][0] != 0 || m[2][1] != 0 || m[0][1] != 0 || m[1][0] != 0) return false;
    const double x0 = m[0][0] * box.min.x, x1 = m[0][0] * box.max.x;
    const double y0 = m[1][1] * box.min.y, y1 = m[1][1] * box.max.y;
    box.min.x = std::min(x0, x1);
    box.max.x = std::max(x0, x1);
    box.min.y = std::min(y0, y1);
    box.max.y = std::max(y0, y1);
    return true;
}

constexpr int kSplineSegs = 8;  // generated vertices per frame span (the host's SPLINESEGS)
// A lightweight polyline of this many vertices or more keeps its measures and
// is emitted only near a reach, by runs of kRun segments.
constexpr std::size_t kKeptFrom = 32;
constexpr std::size_t kRun = 32;
}  // namespace

// ---------------------------------------------------------------- LWPolyline

struct LWPolyline::Kept {
    std::optional<Box> extents;
    // Run k holds the segments k * kRun - lead to (k + 1) * kRun - lead - 1:
    // segments added before the first one fill the first run backwards.
    std::vector<Box> runs;
    std::size_t lead = 0;
};

// The vertices lie at the polyline's elevation (group 38): files give only x and y.
LWPolyline::LWPolyline(acad::Document& doc, const LWPolylineData& data) : Entity(doc), data_(data)
{
    for (auto& v : data_.geometry.vertices) v.point.z = data_.elevation;
}
LWPolyline::~LWPolyline() = default;

WideVertex LWPolyline::WideAt(const void* data, std::size_t i)
{
    const auto& d = *static_cast<const LWPolylineData*>(data);
    const BulgeVertex& v = d.geometry.vertices[i];
    WideVertex w{v.point, v.bulge, d.constantWidth, d.constantWidth};
    // Widths of its own, when it has them, rather than the polyline's one width.
    if (i < d.startWidths.size() && i < d.endWidths.size() && (d.startWidths[i] > 0 || d.endWidths[i] > 0)) {
        w.startWidth = d.startWidths[i];
        w.endWidth = d.endWidths[i];
    }
    return w;
}

WideVertices LWPolyline::Wide() const
{
    return WideVertices{data_.geometry.vertices.size(), data_.geometry.closed, &data_, &WideAt};
}

bool LWPolyline::HasWidths() const
{
    return data_.constantWidth != 0.0 || !data_.startWidths.empty() || !data_.endWidths.empty();
}

LWPolyline::LWPolyline(acad::Document& doc, LWPolylineData&& data) : Entity(doc), data_(std::move(data))
{
    data_.geometry.vertices.shrink_to_fit();
    for (auto& v : data_.geometry.vertices) v.point.z = data_.elevation;
}

void LWPolyline::CheckVertex(int index) const
{
    if (index < 0 || index >= static_cast<int>(data_.geometry.vertices.size()))
        throw Error(ErrorCode::InvalidInput, "Índice de vértice fora do intervalo: " + std::to_string(index));
}

std::vector<double> LWPolyline::Coordinates() const
{
    CheckAlive();
    std::vector<double> r;
    r.reserve(data_.geometry.vertices.size() * 2);
    for (const auto& v : data_.geometry.vertices) {
        r.push_back(v.point.x);
        r.push_back(v.point.y);
    }
    return r;
}

void LWPolyline::SetCoordinates(const std::vector<double>& xy)
{
    CheckWritable();
    if (xy.size() % 2 != 0 || xy.size() < 4)
        ThrowInvalidInput("coordenadas da polilinha (pares x,y, pelo menos dois vértices)");
    CheckFiniteList(xy, "coordenadas da polilinha");
    auto& vs = data_.geometry.vertices;
    vs.resize(xy.size() / 2);
    for (std::size_t i = 0; i < vs.size(); ++i) vs[i].point = {xy[2 * i], xy[2 * i + 1], data_.elevation};
    if (!data_.startWidths.empty()) data_.startWidths.resize(vs.size(), data_.constantWidth);
    if (!data_.endWidths.empty()) data_.endWidths.resize(vs.size(), data_.constantWidth);
    Changed();
}

Point3d LWPolyline::Coordinate(int index) const
{
    CheckAlive();
    CheckVertex(index);
    Point3d p = data_.geometry.vertices[static_cast<std::size_t>(index)].point;
    p.z = data_.elevation;
    return p;
}

void LWPolyline::SetCoordinate(int index, const Point3d& p)
{
    CheckWritable();
    CheckVertex(index);
    if (!Finite(p)) ThrowInvalidInput("coordenada da polilinha");
    data_.geometry.vertices[static_cast<std::size_t>(index)].point = {p.x, p.y, data_.elevation};
    Changed();
}

int LWPolyline::NumberOfVertices() const
{
    CheckAlive();
    return static_cast<int>(data_.geometry.vertices.size());
}

double LWPolyline::GetBulge(int index) const
{
    CheckAlive();
    CheckVertex(index);
    return data_.geometry.vertices[static_cast<std::size_t>(index)].bulge;
}

void LWPolyline::SetBulge(int index, double bulge)
{
    CheckWritable();
    CheckVertex(index);
    if (!std::isfinite(bulge)) ThrowInvalidInput("curvatura (bulge) do segmento");
    data_.geometry.vertices[static_cast<std::size_t>(index)].bulge = bulge;
    Changed();
}

void LWPolyline::GetWidth(int segment, double& startWidth, double& endWidth) const
{
    CheckAlive();
    CheckVertex(segment);
    const auto i = static_cast<std::size_t>(segment);
    startWidth = data_.startWidths.empty() ? data_.constantWidth : data_.startWidths[i];
    endWidth = data_.endWidths.empty() ? data_.constantWidth : data_.endWidths[i];
}

void LWPolyline::SetWidth(int segment, double startWidth, double endWidth)
{
    CheckWritable();
    CheckVertex(segment);
    if (!(startWidth >= 0) || !(endWidth >= 0) || !std::isfinite(startWidth) || !std::isfinite(endWidth))
        ThrowInvalidInput("largura do segmento (não pode ser negativa)");
    const std::size_t n = data_.geometry.vertices.size();
    if (data_.startWidths.size() != n) data_.startWidths.assign(n, data_.constantWidth);
    if (data_.endWidths.size() != n) data_.endWidths.assign(n, data_.constantWidth);
    data_.startWidths[static_cast<std::size_t>(segment)] = startWidth;
    data_.endWidths[static_cast<std::size_t>(segment)] = endWidth;
    Changed();
}

double LWPolyline::ConstantWidth() const
{
    CheckAlive();
    auto differs = [&](const std::vector<double>& w) {
        return std::any_of(w.begin(), w.end(), [&](double x) { return x != data_.constantWidth; });
    };
    if (differs(data_.startWidths) || differs(data_.endWidths))
        throw Error(ErrorCode::NotApplicable, "A polilinha não tem largura constante");
    return data_.constantWidth;
}

void LWPolyline::SetConstantWidth(double w)
{
    CheckWritable();
    if (!(w >= 0) || !std::isfinite(w)) ThrowInvalidInput("largura constante (não pode ser negativa)");
    data_.constantWidth = w;
    data_.startWidths.clear();
    data_.endWidths.clear();
    Changed();
}

void LWPolyline::AddVertex(int index, const Point3d& point)
{
    CheckWritable();
    const int n = static_cast<int>(data_.geometry.vertices.size());
    if (index < 0 || index > n)
        throw Error(ErrorCode::InvalidInput, "Índice de vértice fora do intervalo: " + std::to_string(index));
    if (!Finite(point)) ThrowInvalidInput("vértice da polilinha");
    const auto at = static_cast<std::ptrdiff_t>(index);
    auto& vs = data_.geometry.vertices;
    vs.insert(vs.begin() + at, BulgeVertex{{point.x, point.y, data_.elevation}, 0.0});
    if (!data_.startWidths.empty()) data_.startWidths.insert(data_.startWidths.begin() + at, data_.constantWidth);
    if (!data_.endWidths.empty()) data_.endWidths.insert(data_.endWidths.begin() + at, data_.constantWidth);
    if ((index > 0 && index < n) || n == 0 || data_.geometry.closed || !data_.extrusion.IsZAxis()) {
        Changed();
        return;
    }
    // At an end of an open polyline: all it draws more is its new first or
    // last segment (an arc when the former last vertex has a bulge; the new
    // first vertex has none), and the corner it makes with its neighbour
    // (drawn with the segment that leads away from it).
    const std::size_t s = index == 0 ? 0 : static_cast<std::size_t>(n - 1);
    const Box grown = MeasureSegments(s, index == 0 && n > 1 ? 1 : s);
    Changed(&grown, index == 0);
}

bool LWPolyline::Closed() const
{
    CheckAlive();
    return data_.geometry.closed;
}

void LWPolyline::SetClosed(bool c)
{
    CheckWritable();
    data_.geometry.closed = c;
    Changed();
}

double LWPolyline::Elevation() const
{
    CheckAlive();
    return data_.elevation;
}

void LWPolyline::SetElevation(double z)
{
    CheckWritable();
    if (!std::isfinite(z)) ThrowInvalidInput("elevação da polilinha");
    data_.elevation = z;
    for (auto& v : data_.geometry.vertices) v.point.z = z;
    Changed();
}

bool LWPolyline::LinetypeGeneration() const
{
    CheckAlive();
    return data_.linetypeGeneration;
}

void LWPolyline::SetLinetypeGeneration(bool b)
{
    CheckWritable();
    data_.linetypeGeneration = b;
    Document().NoteChange();
}

double LWPolyline::Length() const
{
    CheckAlive();
    return data_.geometry.Length();
}

double LWPolyline::Area() const
{
    CheckAlive();
    return std::fabs(SignedArea(data_.geometry));
}

void LWPolyline::SetData(const LWPolylineData& d)
{
    CheckAlive();
    data_ = d;
    for (auto& v : data_.geometry.vertices) v.point.z = data_.elevation;
    Changed();
}

void LWPolyline::TransformBy(const Transform& world)
{
    CheckAlive();
    const Transform t = data_.extrusion.TransformBy(world);
    const bool flip = t.IsMirroring();
    for (auto& v : data_.geometry.vertices) {
        v.point = t.Apply({v.point.x, v.point.y, data_.elevation});
        if (flip) v.bulge = -v.bulge;
    }
    if (!data_.geometry.vertices.empty()) data_.elevation = data_.geometry.vertices.front().point.z;
    for (auto& v : data_.geometry.vertices) v.point.z = data_.elevation;
    const double s = t.ScaleFactor();
    data_.constantWidth *= s;
    for (auto& w : data_.startWidths) w *= s;
    for (auto& w : data_.endWidths) w *= s;
    Changed();
}

void LWPolyline::Changed(const Box* grownBy, bool atStart)
{
    if (kept_) {
        if (!grownBy) {
            kept_.reset();
        } else {
            if (kept_->extents) kept_->extents->Add(*grownBy);
            auto& runs = kept_->runs;
            if (!runs.empty()) {
                const std::size_t s = atStart ? 0 : data_.geometry.SegmentCount() - 1;
                if (!atStart) {
                    const std::size_t k = (s + kept_->lead) / kRun;
                    if (k < runs.size())
                        runs[k].Add(SegmentReach(s));
                    else
                        runs.push_back(SegmentReach(s));
                } else if (kept_->lead > 0) {
                    --kept_->lead;
                    runs.front().Add(SegmentReach(s));
                } else {
                    runs.insert(runs.begin(), SegmentReach(s));
                    kept_->lead = kRun - 1;
                }
                // The corner the new first segment makes is drawn with the next one.
                if (atStart && data_.geometry.SegmentCount() > 1)
                    if (const std::size_t k = (1 + kept_->lead) / kRun; k < runs.size()) runs[k].Add(SegmentReach(1));
            }
        }
    }
    GeometryChanged(grownBy);
}

Box LWPolyline::Extents() const
{
    if (kept_ && kept_->extents) return *kept_->extents;
    const auto& vs = data_.geometry.vertices;
    Box b;
    if (!data_.extrusion.IsZAxis())
        b = Entity::Extents();  // what it draws, through its plane
    else if (vs.size() == 1)
        b.Add(vs[0].point);
    else if (vs.size() > 1)
        b = MeasureSegments(0, data_.geometry.SegmentCount() - 1);
    if (data_.geometry.vertices.size() >= kKeptFrom) {
        if (!kept_) kept_ = std::make_unique<Kept>();
        kept_->extents = b;
    }
    return b;
}

Box LWPolyline::SegmentReach(std::size_t i) const
{
    const Box r = MeasureSegments(i, i);
    const WideVertex v = WideAt(&data_, i);
    // Half the width more than its band, against rounding.
    const double w = std::max(std::fabs(v.startWidth), std::fabs(v.endWidth));
    if (!std::isfinite(w) || r.IsEmpty() || !r.IsFinite()) {
        const double inf = std::numeric_limits<double>::infinity();
        return Box::FromCorners({-inf, -inf, -inf}, {inf, inf, inf});
    }
    return r.Expanded(w / 2);
}

void LWPolyline::Emit(GeometrySink& sink, const Transform& placed) const
{
    const auto& vs = data_.geometry.vertices;
    const std::size_t segments = data_.geometry.SegmentCount();
    const Transform t = data_.extrusion.Through(placed);
    Box reach = sink.Reach();
    // The reach is the world's: the runs are measured in the polyline's plane.
    const bool near = !reach.IsEmpty() && placed.IsIdentity() && vs.size() >= kKeptFrom &&
                      (data_.extrusion.IsZAxis() || ReachInPlane(data_.extrusion.Ocs(), reach));
    if (!near) {
        detail::EmitBulgePolyline(sink, t, data_.geometry);
        if (segments > 0 && HasWidths()) EmitBands(sink, t, Wide(), 0, segments - 1);
        return;
    }
    if (!kept_) kept_ = std::make_unique<Kept>();
    auto& runs = kept_->runs;
    if (runs.empty()) {
        kept_->lead = 0;
        runs.resize((segments + kRun - 1) / kRun);
        for (std::size_t i = 0; i < segments; ++i) runs[i / kRun].Add(SegmentReach(i));
    }
    std::vector<std::size_t> within;
    const std::size_t lead = kept_->lead;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        if (!runs[k].Intersects(reach)) continue;
        const std::size_t first = k * kRun > lead ? k * kRun - lead : 0;
        const std::size_t end = std::min(segments, (k + 1) * kRun - lead);
        for (std::size_t i = first; i < end; ++i)
            if (SegmentReach(i).Intersects(reach)) within.push_back(i);
    }
    // As a whole polyline emits them: the segments, then the bands.
    const std::size_t n = vs.size();
    for (std::size_t i : within) detail::EmitBulgePolyline(sink, t, BulgePolyline{{vs[i], vs[(i + 1) % n]}, false});
    if (HasWidths())
        for (std::size_t i : within) EmitBands(sink, t, Wide(), i, i);
}

Box LWPolyline::MeasureSegments(std::size_t first, std::size_t last) const
{
    const auto& vs = data_.geometry.vertices;
    const std::size_t n = vs.size();
    last = std::min(last, data_.geometry.SegmentCount() - 1);
    Box box;
    if (n < 2 || first > last) return box;
    for (std::size_t i = first; i <= last; ++i) {
        const BulgeVertex& v = vs[i];
        const Point3d& next = vs[i + 1 < n ? i + 1 : 0].point;
        box.Add(v.point);
        if (v.bulge != 0.0 && !AddBulgeArcReach(box, v.point, next, v.bulge)) {
            // An arc out of the range of numbers: measured the way it is drawn.
            detail::ExtentsSink sink;
            detail::EmitBulgePolyline(sink, Transform(), BulgePolyline{{v, vs[i + 1 < n ? i + 1 : 0]}, false});
            box.Add(sink.box);
        }
    }
    box.Add(vs[last + 1 < n ? last + 1 : 0].point);
    if (HasWidths()) {
        // The bands and the corners the frame draws with them.
        BandBox bands;
        WideOutline(Wide(), first, last, bands);
        box.Add(bands.box);
    }
    return box;
}

std::unique_ptr<Entity> LWPolyline::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, data_);
}

// ---------------------------------------------------------------- PolylineBase

PolylineBase::PolylineBase(acad::Document& doc, const PolylineData& data) : Entity(doc), data_(data) {}

void PolylineBase::CheckVertex(int index) const
{
    if (index < 0 || index >= static_cast<int>(data_.vertices.size()))
        throw Error(ErrorCode::InvalidInput, "Índice de vértice fora do intervalo: " + std::to_string(index));
}

std::vector<double> PolylineBase::Coordinates() const
{
    CheckAlive();
    std::vector<double> r;
    r.reserve(data_.vertices.size() * 3);
    for (const auto& v : data_.vertices) {
        r.push_back(v.point.x);
        r.push_back(v.point.y);
        r.push_back(v.point.z);
    }
    return r;
}

void PolylineBase::SetCoordinates(const std::vector<double>& xyz)
{
    CheckWritable();
    if (xyz.size() % 3 != 0 || xyz.size() < 6)
        ThrowInvalidInput("coordenadas da polilinha (triplas x,y,z, pelo menos dois vértices)");
    CheckFiniteList(xyz, "coordenadas da polilinha");
    data_.vertices.resize(xyz.size() / 3);
    for (std::size_t i = 0; i < data_.vertices.size(); ++i)
        data_.vertices[i].point = {xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]};
    Refit();
    GeometryChanged();
}

Point3d PolylineBase::Coordinate(int index) const
{
    CheckAlive();
    CheckVertex(index);
    return data_.vertices[static_cast<std::size_t>(index)].point;
}

void PolylineBase::SetCoordinate(int index, const Point3d& p)
{
    CheckWritable();
    CheckVertex(index);
    if (!Finite(p)) ThrowInvalidInput("coordenada da polilinha");
    data_.vertices[static_cast<std::size_t>(index)].point = p;
    Refit();
    GeometryChanged();
}

int PolylineBase::NumberOfVertices() const
{
    CheckAlive();
    return static_cast<int>(data_.vertices.size());
}

void PolylineBase::AppendVertex(const Point3d& p)
{
    CheckWritable();
    if (!Finite(p)) ThrowInvalidInput("vértice da polilinha");
    PolylineVertex v;
    v.point = p;
    data_.vertices.push_back(v);
    Refit();
    GeometryChanged();
}

bool PolylineBase::Closed() const
{
    CheckAlive();
    return data_.closed;
}

void PolylineBase::SetClosed(bool c)
{
    CheckWritable();
    data_.closed = c;
    Refit();
    GeometryChanged();
}

double PolylineBase::Length() const
{
    CheckAlive();
    if (!data_.fitPoints.empty()) {
        double len = 0;
        for (std::size_t i = 0; i + 1 < data_.fitPoints.size(); ++i)
            len += Distance(data_.fitPoints[i], data_.fitPoints[i + 1]);
        return len;
    }
    double len = 0;
    const std::size_t n = data_.vertices.size();
    const std::size_t segs = n < 2 ? 0 : (data_.closed ? n : n - 1);
    for (std::size_t i = 0; i < segs; ++i) {
        const auto& a = data_.vertices[i];
        const auto& b = data_.vertices[(i + 1) % n];
        len += a.bulge != 0.0 ? BulgeSegmentLength(a.point, b.point, a.bulge) : Distance(a.point, b.point);
    }
    return len;
}

void PolylineBase::SetData(const PolylineData& d)
{
    CheckAlive();
    data_ = d;
    if (data_.fitPoints.empty()) Refit();
    GeometryChanged();
}

void PolylineBase::TransformBy(const Transform& world)
{
    CheckAlive();
    // A 2-D polyline lies in the plane of its extrusion; a 3-D one in the world.
    const Transform t = dynamic_cast<const Polyline3D*>(this) ? world : data_.extrusion.TransformBy(world);
    const bool flip = t.IsMirroring();
    for (auto& v : data_.vertices) {
        v.point = t.Apply(v.point);
        if (flip) v.bulge = -v.bulge;
        v.startWidth *= t.ScaleFactor();
        v.endWidth *= t.ScaleFactor();
    }
    for (auto& p : data_.fitPoints) p = t.Apply(p);
    if (!data_.vertices.empty()) data_.elevation = data_.vertices.front().point.z;
    GeometryChanged();
}

void PolylineBase::Refit() { data_.fitPoints.clear(); }

// ---------------------------------------------------------------- Polyline2D

Polyline2D::Polyline2D(acad::Document& doc, const PolylineData& data) : PolylineBase(doc, data)
{
    if (data_.fitPoints.empty()) Refit();
}

double Polyline2D::GetBulge(int index) const
{
    CheckAlive();
    CheckVertex(index);
    return data_.vertices[static_cast<std::size_t>(index)].bulge;
}

void Polyline2D::SetBulge(int index, double bulge)
{
    CheckWritable();
    CheckVertex(index);
    if (!std::isfinite(bulge)) ThrowInvalidInput("curvatura (bulge) do segmento");
    data_.vertices[static_cast<std::size_t>(index)].bulge = bulge;
    GeometryChanged();
}

void Polyline2D::GetWidth(int segment, double& startWidth, double& endWidth) const
{
    CheckAlive();
    CheckVertex(segment);
    startWidth = data_.vertices[static_cast<std::size_t>(segment)].startWidth;
    endWidth = data_.vertices[static_cast<std::size_t>(segment)].endWidth;
}

void Polyline2D::SetWidth(int segment, double startWidth, double endWidth)
{
    CheckWritable();
    CheckVertex(segment);
    if (!(startWidth >= 0) || !(endWidth >= 0)) ThrowInvalidInput("largura do segmento (não pode ser negativa)");
    data_.vertices[static_cast<std::size_t>(segment)].startWidth = startWidth;
    data_.vertices[static_cast<std::size_t>(segment)].endWidth = endWidth;
    GeometryChanged();
}

double Polyline2D::ConstantWidth() const
{
    CheckAlive();
    for (const auto& v : data_.vertices)
        if (v.startWidth != data_.defaultStartWidth || v.endWidth != data_.defaultStartWidth)
            throw Error(ErrorCode::NotApplicable, "A polilinha não tem largura constante");
    return data_.defaultStartWidth;
}

void Polyline2D::SetConstantWidth(double w)
{
    CheckWritable();
    if (!(w >= 0) || !std::isfinite(w)) ThrowInvalidInput("largura constante (não pode ser negativa)");
    data_.defaultStartWidth = data_.defaultEndWidth = w;
    for (auto& v : data_.vertices) v.startWidth = v.endWidth = w;
    GeometryChanged();
}

double Polyline2D::Elevation() const
{
    CheckAlive();
    return data_.elevation;
}

void Polyline2D::SetElevation(double z)
{
    CheckWritable();
    if (!std::isfinite(z)) ThrowInvalidInput("elevação da polilinha");
    data_.elevation = z;
    for (auto& v : data_.vertices) v.point.z = z;
    Refit();
    GeometryChanged();
}

int Polyline2D::Type() const
{
    CheckAlive();
    return data_.type;
}

void Polyline2D::SetType(int type)
{
    CheckWritable();
    if (type < PolylineType::Simple || type > PolylineType::CubicSpline)
        ThrowInvalidInput("tipo de polilinha " + std::to_string(type) + " (use 0 a 3)");
    data_.type = type;
    Refit();
    GeometryChanged();
}

bool Polyline2D::LinetypeGeneration() const
{
    CheckAlive();
    return data_.linetypeGeneration;
}

void Polyline2D::SetLinetypeGeneration(bool b)
{
    CheckWritable();
    data_.linetypeGeneration = b;
    Document().NoteChange();
}

void Polyline2D::Refit()
{
    data_.fitPoints.clear();
    if (data_.vertices.size() < 3 || data_.type == PolylineType::Simple) return;
    std::vector<Point3d> frame;
    for (const auto& v : data_.vertices) frame.push_back(v.point);
    if (data_.type == PolylineType::FitCurve)
        data_.fitPoints = CurveFit(frame, data_.closed, kSplineSegs);
    else
        data_.fitPoints = BSplineFit(frame, data_.type == PolylineType::QuadSpline ? 2 : 3, data_.closed, kSplineSegs);
}

void Polyline2D::Emit(GeometrySink& sink, const Transform& placed) const
{
    const Transform t = data_.extrusion.Through(placed);
    if (!data_.fitPoints.empty()) {
        detail::EmitChain(sink, t, data_.fitPoints, false);  // a fitted curve is drawn thin
        return;
    }
    detail::EmitBulgePolyline(sink, t, Frame());
    const WideVertices wide = Wide();
    if (wide.SegmentCount() > 0) EmitBands(sink, t, wide, 0, wide.SegmentCount() - 1);
}

WideVertex Polyline2D::WideAt(const void* data, std::size_t i)
{
    const PolylineVertex& v = static_cast<const PolylineData*>(data)->vertices[i];
    return WideVertex{v.point, v.bulge, v.startWidth, v.endWidth};
}

WideVertices Polyline2D::Wide() const { return WideVertices{data_.vertices.size(), data_.closed, &data_, &WideAt}; }

BulgePolyline Polyline2D::Frame() const
{
    BulgePolyline pl;
    pl.closed = data_.closed;
    for (const auto& v : data_.vertices) pl.vertices.push_back({v.point, v.bulge});
    return pl;
}

std::unique_ptr<Entity> Polyline2D::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, data_);
}

// ---------------------------------------------------------------- Polyline3D

Polyline3D::Polyline3D(acad::Document& doc, const PolylineData& data) : PolylineBase(doc, data)
{
    if (data_.fitPoints.empty()) Refit();
}

int Polyline3D::Type() const
{
    CheckAlive();
    return data_.type;
}

void Polyline3D::SetType(int type)
{
    CheckWritable();
    if (type != PolylineType::Simple && type != PolylineType::QuadSpline && type != PolylineType::CubicSpline)
        ThrowInvalidInput("tipo de polilinha 3D " + std::to_string(type) + " (use 0, 2 ou 3)");
    data_.type = type;
    Refit();
    GeometryChanged();
}

void Polyline3D::Refit()
{
    data_.fitPoints.clear();
    if (data_.vertices.size() < 3 || data_.type == PolylineType::Simple) return;
    std::vector<Point3d> frame;
    for (const auto& v : data_.vertices) frame.push_back(v.point);
    data_.fitPoints = BSplineFit(frame, data_.type == PolylineType::QuadSpline ? 2 : 3, data_.closed, kSplineSegs);
}

void Polyline3D::Emit(GeometrySink& sink, const Transform& t) const
{
    if (!data_.fitPoints.empty()) {
        detail::EmitChain(sink, t, data_.fitPoints, false);
        return;
    }
    std::vector<Point3d> pts;
    for (const auto& v : data_.vertices) pts.push_back(v.point);
    detail::EmitChain(sink, t, pts, data_.closed);
}

std::unique_ptr<Entity> Polyline3D::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, data_);
}

}  // namespace acad
