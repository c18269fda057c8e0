#include "platform/acad/Geometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace acad {

// Coordinates of real drawings reach millions of units (UTM): a purely relative
// tolerance would be millimetres there, a purely absolute one would be lost in
// rounding. Both together keep "passes exactly through" meaningful.
double CoordinateTolerance(const Point3d& p) { return 1e-9 + 1e-12 * std::max(std::fabs(p.x), std::fabs(p.y)); }

double NormalizeAngle(double a)
{
    if (!std::isfinite(a)) return 0.0;
    double r = std::fmod(a, kTwoPi);
    if (r < 0) r += kTwoPi;
    if (r >= kTwoPi) r = 0.0;
    return r;
}

double AngleFromXAxis(const Point3d& a, const Point3d& b) { return NormalizeAngle(std::atan2(b.y - a.y, b.x - a.x)); }

// ---------------------------------------------------------------- Box

Box Box::FromCorners(const Point3d& a, const Point3d& b)
{
    Box r;
    r.Add(a);
    r.Add(b);
    return r;
}

Box Box::Around(const Point3d& c, double halfSide)
{
    return FromCorners({c.x - halfSide, c.y - halfSide, c.z}, {c.x + halfSide, c.y + halfSide, c.z});
}

Box Box::Expanded(double d) const
{
    if (IsEmpty()) return *this;
    Box r = *this;
    r.min.x -= d;
    r.min.y -= d;
    r.max.x += d;
    r.max.y += d;
    return r;
}

bool Box::Intersects(const Box& o) const
{
    if (IsEmpty() || o.IsEmpty()) return false;
    return min.x <= o.max.x && o.min.x <= max.x && min.y <= o.max.y && o.min.y <= max.y;
}

bool Box::Contains(const Point3d& p) const
{
    return !IsEmpty() && p.x >= min.x && p.x <= max.x && p.y >= min.y && p.y <= max.y;
}

bool Box::Contains(const Box& o) const
{
    return !IsEmpty() && !o.IsEmpty() && o.min.x >= min.x && o.max.x <= max.x && o.min.y >= min.y && o.max.y <= max.y;
}

// ---------------------------------------------------------------- arcs

double CircularArc::Sweep() const
{
    double d = endAngle - startAngle;
    if (!std::isfinite(d)) return kTwoPi;
    if (d >= kTwoPi - 1e-12) return kTwoPi;
    d = std::fmod(d, kTwoPi);
    if (d < 0) d += kTwoPi;
    if (d <= 0.0) return kTwoPi;  // equal angles: the whole circle, as the host draws it
    return d;
}

bool CircularArc::ContainsAngle(double angle) const
{
    double sweep = Sweep();
    if (sweep >= kTwoPi) return true;
    double rel = NormalizeAngle(angle - startAngle);
    const double eps = 1e-12;
    return rel <= sweep + eps || rel >= kTwoPi - eps;
}

Box CircularArc::Extents() const
{
    Box b;
    b.Add(StartPoint());
    b.Add(EndPoint());
    for (int k = 0; k < 4; ++k) {
        double a = k * kPi / 2;
        if (ContainsAngle(a)) b.Add(PointAt(a));
    }
    return b;
}

std::optional<CircularArc> ArcFromBulge(const Point3d& p0, const Point3d& p1, double bulge)
{
    if (!std::isfinite(bulge) || std::fabs(bulge) < 1e-12) return std::nullopt;
    Vector3d d = p1 - p0;
    double c = d.Length2d();
    if (c <= 0.0) return std::nullopt;
    double theta = 4.0 * std::atan(bulge);  // signed included angle
    double s = std::fabs(bulge) * c / 2.0;  // sagitta
    double r = ((c / 2) * (c / 2) + s * s) / (2 * s);
    Point3d mid = Midpoint(p0, p1);
    Vector3d left{-d.y / c, d.x / c, 0.0};
    double h = (r - s) * (bulge > 0 ? 1.0 : -1.0);
    CircularArc arc;
    arc.center = {mid.x + left.x * h, mid.y + left.y * h, p0.z};
    arc.radius = r;
    const Point3d& from = bulge > 0 ? p0 : p1;
    arc.startAngle = AngleFromXAxis(arc.center, from);
    arc.endAngle = arc.startAngle + std::fabs(theta);
    return arc;
}

bool AddBulgeArcReach(Box& b, const Point3d& p0, const Point3d& p1, double bulge)
{
    if (!std::isfinite(bulge) || std::fabs(bulge) < 1e-12) return true;
    const Vector3d d = p1 - p0;
    const double c = d.Length2d();
    if (c <= 0.0) return true;
    // The centre and radius the way ArcFromBulge finds them.
    const double s = std::fabs(bulge) * c / 2.0;
    const double r = ((c / 2) * (c / 2) + s * s) / (2 * s);
    const Point3d mid = Midpoint(p0, p1);
    const double h = (r - s) * (bulge > 0 ? 1.0 : -1.0);
    const double cx = mid.x + (-d.y / c) * h;
    const double cy = mid.y + (d.x / c) * h;
    if (!std::isfinite(r) || !std::isfinite(cx) || !std::isfinite(cy)) return false;
    // The arc turns counter-clockwise from u to v (seen from the centre), past half
    // a turn when |bulge| > 1. A direction w lies on it when w is left of u and v
    // left of w (for the longer arcs, either will do): the signs of the cross
    // products u × w and w × v, written out for w = +X, +Y, -X, -Y. Near a tie
    // the axis point is one of the ends, so either answer gives the same box.
    const Point3d& from = bulge > 0 ? p0 : p1;
    const Point3d& to = bulge > 0 ? p1 : p0;
    const double ux = from.x - cx, uy = from.y - cy;
    const double vx = to.x - cx, vy = to.y - cy;
    const bool longer = std::fabs(bulge) > 1.0;
    auto on = [longer](double uw, double wv) { return longer ? (uw >= 0 || wv >= 0) : (uw >= 0 && wv >= 0); };
    const double z = p0.z;
    if (on(-uy, vy)) b.Add({cx + r, cy, z});
    if (on(ux, -vx)) b.Add({cx, cy + r, z});
    if (on(uy, -vy)) b.Add({cx - r, cy, z});
    if (on(-ux, vx)) b.Add({cx, cy - r, z});
    return true;
}

double BulgeSegmentLength(const Point3d& p0, const Point3d& p1, double bulge)
{
    if (auto arc = ArcFromBulge(p0, p1, bulge)) return arc->Length();
    return Distance2d(p0, p1);
}

// ---------------------------------------------------------------- polylines

std::size_t BulgePolyline::SegmentCount() const
{
    if (vertices.size() < 2) return 0;
    return closed ? vertices.size() : vertices.size() - 1;
}

double BulgePolyline::Length() const
{
    double len = 0.0;
    const std::size_t n = vertices.size();
    for (std::size_t i = 0; i < SegmentCount(); ++i)
        len += BulgeSegmentLength(vertices[i].point, vertices[(i + 1) % n].point, vertices[i].bulge);
    return len;
}

Box BulgePolyline::Extents() const
{
    Box b;
    const std::size_t n = vertices.size();
    for (const auto& v : vertices) b.Add(v.point);
    for (std::size_t i = 0; i < SegmentCount(); ++i)
        if (auto arc = ArcFromBulge(vertices[i].point, vertices[(i + 1) % n].point, vertices[i].bulge))
            b.Add(arc->Extents());
    return b;
}

namespace {
int ArcPieces(double radius, double sweep, double tolerance)
{
    if (radius <= 0 || tolerance <= 0) return 1;
    double t = std::min(1.0, tolerance / radius);
    double step = 2.0 * std::acos(1.0 - t);
    if (!(step > 0)) return 256;
    return std::clamp(static_cast<int>(std::ceil(sweep / step)), 1, 1024);
}
}  // namespace

std::vector<Point3d> BulgePolyline::Flatten(double tolerance) const
{
    std::vector<Point3d> out;
    const std::size_t n = vertices.size();
    if (n == 0) return out;
    out.push_back(vertices[0].point);
    for (std::size_t i = 0; i < SegmentCount(); ++i) {
        const Point3d& a = vertices[i].point;
        const Point3d& b = vertices[(i + 1) % n].point;
        if (auto arc = ArcFromBulge(a, b, vertices[i].bulge)) {
            int pieces = ArcPieces(arc->radius, arc->Sweep(), tolerance);
            double theta = 4.0 * std::atan(vertices[i].bulge);
            double a0 = AngleFromXAxis(arc->center, a);
            for (int k = 1; k < pieces; ++k) {
                Point3d p = arc->PointAt(a0 + theta * k / pieces);
                p.z = a.z;
                out.push_back(p);
            }
        }
        out.push_back(b);
    }
    return out;
}

// ---------------------------------------------------------------- transforms

Transform Transform::Translation(const Vector3d& v)
{
    Transform t;
    t.m[0][3] = v.x;
    t.m[1][3] = v.y;
    t.m[2][3] = v.z;
    return t;
}

Transform Transform::Scaling(double sx, double sy, double sz, const Point3d& base)
{
    Transform s;
    s.m[0][0] = sx;
    s.m[1][1] = sy;
    s.m[2][2] = sz;
    return Translation(base) * s * Translation(-base);
}

Transform Transform::RotationZ(double angle, const Point3d& base)
{
    Transform r;
    double c = std::cos(angle), s = std::sin(angle);
    r.m[0][0] = c;
    r.m[0][1] = -s;
    r.m[1][0] = s;
    r.m[1][1] = c;
    return Translation(base) * r * Translation(-base);
}

Transform Transform::Mirror(const Point3d& p1, const Point3d& p2)
{
    double a = std::atan2(p2.y - p1.y, p2.x - p1.x);
    Transform r;
    r.m[0][0] = std::cos(2 * a);
    r.m[0][1] = std::sin(2 * a);
    r.m[1][0] = std::sin(2 * a);
    r.m[1][1] = -std::cos(2 * a);
    Point3d base{p1.x, p1.y, 0.0};
    return Translation(base) * r * Translation(-base);
}

Transform Transform::Insertion(const Point3d& basePoint, const Point3d& insertion, double xs, double ys, double zs,
                               double rotation)
{
    // Translation(insertion) * RotationZ(rotation) * Scaling * Translation(-basePoint),
    // written out (every reference is placed through it), summed in the same order.
    const double c = std::cos(rotation), s = std::sin(rotation);
    Transform t;
    t.m[0][0] = c * xs;
    t.m[0][1] = -s * ys;
    t.m[1][0] = s * xs;
    t.m[1][1] = c * ys;
    t.m[2][2] = zs;
    const double b[3] = {-basePoint.x, -basePoint.y, -basePoint.z};
    const double p[3] = {insertion.x, insertion.y, insertion.z};
    for (int i = 0; i < 3; ++i) {
        double v = 0.0;
        for (int k = 0; k < 3; ++k) v += t.m[i][k] * b[k];
        t.m[i][3] = v + p[i];
    }
    return t;
}

Transform Transform::operator*(const Transform& o) const
{
    Transform r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) {
            double v = 0.0;
            for (int k = 0; k < 3; ++k) v += m[i][k] * o.m[k][j];
            if (j == 3) v += m[i][3];
            r.m[i][j] = v;
        }
    }
    return r;
}

std::optional<Transform> Transform::Inverse() const
{
    const double a = m[0][0], b = m[0][1], c = m[0][2];
    const double d = m[1][0], e = m[1][1], f = m[1][2];
    const double g = m[2][0], h = m[2][1], k = m[2][2];
    double det = a * (e * k - f * h) - b * (d * k - f * g) + c * (d * h - e * g);
    if (!std::isfinite(det) || std::fabs(det) < 1e-300) return std::nullopt;
    Transform r;
    r.m[0][0] = (e * k - f * h) / det;
    r.m[0][1] = (c * h - b * k) / det;
    r.m[0][2] = (b * f - c * e) / det;
    r.m[1][0] = (f * g - d * k) / det;
    r.m[1][1] = (a * k - c * g) / det;
    r.m[1][2] = (c * d - a * f) / det;
    r.m[2][0] = (d * h - e * g) / det;
    r.m[2][1] = (b * g - a * h) / det;
    r.m[2][2] = (a * e - b * d) / det;
    for (int i = 0; i < 3; ++i) r.m[i][3] = -(r.m[i][0] * m[0][3] + r.m[i][1] * m[1][3] + r.m[i][2] * m[2][3]);
    return r;
}

bool Transform::IsSimilarity() const
{
    double ax = m[0][0], ay = m[1][0], bx = m[0][1], by = m[1][1];
    double la = ax * ax + ay * ay, lb = bx * bx + by * by;
    double scale = std::max(la, lb);
    if (scale <= 0) return false;
    return std::fabs(la - lb) <= 1e-9 * scale && std::fabs(ax * bx + ay * by) <= 1e-9 * scale;
}

double Transform::ScaleFactor() const { return std::sqrt(std::fabs(m[0][0] * m[1][1] - m[0][1] * m[1][0])); }

bool Transform::IsMirroring() const { return m[0][0] * m[1][1] - m[0][1] * m[1][0] < 0; }

double Transform::RotationAngle() const { return NormalizeAngle(std::atan2(m[1][0], m[0][0])); }

bool Transform::IsIdentity() const
{
    static const Transform id;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j)
            if (m[i][j] != id.m[i][j]) return false;
    return true;
}

// ---------------------------------------------------------------- planes

Transform OcsOf(const Vector3d& normal)
{
    const double len = normal.Length();
    if (!(len > 0) || !std::isfinite(len)) return Transform();
    const Vector3d n = normal / len;
    if (n == kZAxis) return Transform();
    // The arbitrary axis algorithm: the world's Y axis (near the Z axis) or
    // its Z axis crossed with the normal gives the plane's X axis.
    constexpr double kNearZ = 1.0 / 64.0;
    Vector3d ax = std::fabs(n.x) < kNearZ && std::fabs(n.y) < kNearZ ? Cross({0, 1, 0}, n) : Cross(kZAxis, n);
    ax = ax / ax.Length();
    Vector3d ay = Cross(n, ax);
    ay = ay / ay.Length();
    Transform t;
    const Vector3d* axes[3] = {&ax, &ay, &n};
    for (int j = 0; j < 3; ++j) {
        t.m[0][j] = axes[j]->x + 0.0;  // + 0.0: no negative zeros, written to files as "-0.0"
        t.m[1][j] = axes[j]->y + 0.0;
        t.m[2][j] = axes[j]->z + 0.0;
    }
    return t;
}

Vector3d NormalThrough(const Transform& t, const Vector3d& normal)
{
    // A plane's normal goes through the inverse transpose of the linear part:
    // the cofactors, turned back the right way when the determinant is negative.
    const double(*m)[4] = t.m;
    const double c[3][3] = {
        {m[1][1] * m[2][2] - m[1][2] * m[2][1], m[1][2] * m[2][0] - m[1][0] * m[2][2],
         m[1][0] * m[2][1] - m[1][1] * m[2][0]},
        {m[0][2] * m[2][1] - m[0][1] * m[2][2], m[0][0] * m[2][2] - m[0][2] * m[2][0],
         m[0][1] * m[2][0] - m[0][0] * m[2][1]},
        {m[0][1] * m[1][2] - m[0][2] * m[1][1], m[0][2] * m[1][0] - m[0][0] * m[1][2],
         m[0][0] * m[1][1] - m[0][1] * m[1][0]},
    };
    const double det = m[0][0] * c[0][0] + m[0][1] * c[0][1] + m[0][2] * c[0][2];
    Vector3d r{c[0][0] * normal.x + c[0][1] * normal.y + c[0][2] * normal.z,
               c[1][0] * normal.x + c[1][1] * normal.y + c[1][2] * normal.z,
               c[2][0] * normal.x + c[2][1] * normal.y + c[2][2] * normal.z};
    if (det < 0) r = -r;
    const double len = r.Length();
    if (!(len > 0) || !std::isfinite(len)) return normal;
    return {r.x / len + 0.0, r.y / len + 0.0, r.z / len + 0.0};
}

void Extrusion::Set(const Vector3d& normal)
{
    if (normal == kZAxis)
        v_.reset();
    else if (v_)
        *v_ = normal;
    else
        v_ = std::make_unique<Vector3d>(normal);
}

void Extrusion::SetComponent(int k, double value)
{
    Vector3d n = Normal();
    (k == 0 ? n.x : k == 1 ? n.y : n.z) = value;
    Set(n);
}

Point3d Extrusion::FromWorld(const Point3d& p) const
{
    if (!v_) return p;
    // The axes are orthonormal: the way back is the transpose.
    const Transform o = OcsOf(*v_);
    return {o.m[0][0] * p.x + o.m[1][0] * p.y + o.m[2][0] * p.z, o.m[0][1] * p.x + o.m[1][1] * p.y + o.m[2][1] * p.z,
            o.m[0][2] * p.x + o.m[1][2] * p.y + o.m[2][2] * p.z};
}

Transform Extrusion::TransformBy(const Transform& t)
{
    const Vector3d before = Normal();
    const Vector3d after = NormalThrough(t, before);
    if (!v_ && after == kZAxis) return t;
    const Transform from = OcsOf(before), to = OcsOf(after);
    Set(after);
    // The axes are orthonormal: the inverse of `to` is its transpose.
    Transform back;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) back.m[i][j] = to.m[j][i];
    return back * t * from;
}

// ---------------------------------------------------------------- wide polylines

namespace {

// Direction of a segment where it leaves `a` (`atEnd`: where it reaches `b`);
// false for a segment of no length.
bool SegmentDirection(const WideVertex& a, const Point3d& b, bool atEnd, Vector3d& d)
{
    const double dx = b.x - a.point.x, dy = b.y - a.point.y;
    double len = std::sqrt(dx * dx + dy * dy);
    if (!std::isfinite(len)) len = std::hypot(dx, dy);  // coordinates too large to square
    if (!(len > 0) || !std::isfinite(len)) return false;
    d = {dx / len, dy / len, 0.0};
    if (std::isfinite(a.bulge) && std::fabs(a.bulge) >= 1e-12) {
        // The tangent turns from the chord by half the arc's angle: before it
        // at the start, past it at the end.
        const double half = 2.0 * std::atan(a.bulge) * (atEnd ? 1.0 : -1.0);
        const double c = std::cos(half), s = std::sin(half);
        d = {d.x * c - d.y * s, d.x * s + d.y * c, 0.0};
    }
    return true;
}

bool Constant(const WideVertex& v) { return v.startWidth > 0 && v.startWidth == v.endWidth; }

// Segments looked back over for the corner of a segment that follows pieces
// of no length (a vertex given twice).
constexpr std::size_t kLookBack = 8;

}  // namespace

void WideOutline(const WideVertices& v, std::size_t first, std::size_t last, WideSink& out)
{
    const std::size_t n = v.count, segments = v.SegmentCount();
    if (segments == 0 || first >= segments) return;
    last = std::min(last, segments - 1);
    // The way the last piece of length of the run of one width being walked
    // leaves its end, carried to the next piece: the walk looks back for it
    // only at its first segment.
    bool carried = false;
    Vector3d carriedEnd;
    double carriedWidth = 0;
    std::size_t carriedAt = 0;
    for (std::size_t i = first; i <= last; ++i) {
        const WideVertex a = v[i];
        if (!(a.startWidth > 0 || a.endWidth > 0) || !std::isfinite(a.startWidth) || !std::isfinite(a.endWidth)) {
            carried = false;
            continue;
        }
        const Point3d b = v[(i + 1) % n].point;
        Vector3d d;
        if (!SegmentDirection(a, b, false, d)) {
            // A piece of no length of the same width leaves the run as it was.
            if (!Constant(a) || a.startWidth != carriedWidth) carried = false;
            continue;
        }
        const auto arc = ArcFromBulge(a.point, b, a.bulge);
        if (arc) {
            CircularArc c = *arc;
            c.center.z = a.point.z;
            out.ArcBand(i, c, a.bulge > 0, a.startWidth, a.endWidth);
        } else {
            const double h0 = a.startWidth / 2, h1 = a.endWidth / 2;
            const Vector3d left{-d.y, d.x, 0.0};
            const Point3d bz{b.x, b.y, a.point.z};
            const Point3d q[4] = {a.point + left * h0, bz + left * h1, bz - left * h1, a.point - left * h0};
            out.Band(i, q);
        }
        if (!Constant(a)) {
            carried = false;
            continue;
        }
        // The corner where it starts, with the last piece of length before it
        // in the same run of one width.
        const double w = a.startWidth;
        Vector3d d1;
        bool found = false;
        if (i > first) {
            found = carried && carriedWidth == w && i - carriedAt <= kLookBack;
            d1 = carriedEnd;
        } else {
            for (std::size_t k = 1; k <= kLookBack && !found; ++k) {
                if (!v.closed && k > i) break;
                const std::size_t p = (i + segments - k % segments) % segments;
                if (p == i) break;
                const WideVertex pv = v[p];
                if (!Constant(pv) || pv.startWidth != w) break;
                found = SegmentDirection(pv, v[(p + 1) % n].point, true, d1);
            }
        }
        carried = arc ? SegmentDirection(a, b, true, carriedEnd) : (carriedEnd = d, true);
        carriedWidth = w;
        carriedAt = i;
        if (!found) continue;
        const double cross = Cross2d(d1, d), dot = Dot(d1, d);
        if (cross == 0 && dot > 0) continue;  // straight on
        // The outer side: right of a left turn, left of a right one; both at a
        // turn straight back.
        const double side = cross > 0 ? 1.0 : cross < 0 ? -1.0 : 1.0;
        const Vector3d n1{side * d1.y, -side * d1.x, 0.0}, n2{side * d.y, -side * d.x, 0.0};
        const double h = w / 2;
        const Point3d& c = a.point;
        const Point3d e1 = c + n1 * h, e2 = c + n2 * h;
        // The outer edges meet h·tan(turn / 2) past their ends.
        const double reach = 1 + dot > 0 ? h * std::fabs(cross) / (1 + dot) : std::numeric_limits<double>::infinity();
        const double limit = kMitreLimit * w;
        if (reach <= limit) {
            const Point3d ring[4] = {c, e1, e1 + d1 * reach, e2};
            out.Join(i, ring, 4);
        } else {
            const Point3d ring[5] = {c, e1, e1 + d1 * limit, e2 - d * limit, e2};
            out.Join(i, ring, 5);
        }
    }
}

Box ArcBandBox(const CircularArc& arc, bool fromStart, double fromWidth, double toWidth)
{
    const double w0 = fromStart ? fromWidth : toWidth, w1 = fromStart ? toWidth : fromWidth;
    const double h = std::max(w0, w1) / 2;
    CircularArc outer = arc;
    outer.radius = arc.radius + h;
    Box b = outer.Extents();
    const double end = arc.startAngle + arc.Sweep();
    for (const double r : {arc.radius - w0 / 2, arc.radius + w0 / 2}) b.Add(Polar(arc.center, arc.startAngle, r));
    for (const double r : {arc.radius - w1 / 2, arc.radius + w1 / 2}) b.Add(Polar(arc.center, end, r));
    // A band wider than its arc's diameter reaches past the centre.
    if (h > arc.radius) b.Add(Box::Around(arc.center, h - arc.radius));
    return b;
}

std::vector<Point3d> ArcBandRing(const CircularArc& arc, bool fromStart, double fromWidth, double toWidth)
{
    const double sweep = arc.Sweep();
    const int n = std::max(1, static_cast<int>(std::ceil(sweep / (kPi / 16))));
    const double step = sweep / n, out = 1.0 / std::cos(step / 2);
    const double w0 = fromStart ? fromWidth : toWidth, w1 = fromStart ? toWidth : fromWidth;
    auto halfAt = [&](double u) { return (w0 + (w1 - w0) * u) / 2; };
    std::vector<Point3d> ring;
    ring.reserve(static_cast<std::size_t>(2 * n + 4));
    auto at = [&](double angle, double r) {
        Point3d p = Polar(arc.center, angle, std::max(0.0, r));
        return p;
    };
    ring.push_back(at(arc.startAngle, arc.radius + halfAt(0)));
    for (int k = 0; k < n; ++k) {
        const double u = (k + 0.5) / n;
        ring.push_back(at(arc.startAngle + (k + 0.5) * step, (arc.radius + halfAt(u)) * out));
    }
    ring.push_back(at(arc.startAngle + sweep, arc.radius + halfAt(1)));
    for (int k = n; k >= 0; --k)
        ring.push_back(at(arc.startAngle + k * step, arc.radius - halfAt(static_cast<double>(k) / n)));
    return ring;
}

// ---------------------------------------------------------------- predicates

bool SegmentIntersectsBox(const Point3d& a, const Point3d& b, const Box& box)
{
    if (box.IsEmpty()) return false;
    Box grown = box.Expanded(std::max(CoordinateTolerance(a), CoordinateTolerance(b)));
    // Most segments tested lie wholly to one side (a long curve, a small window).
    if (std::max(a.x, b.x) < grown.min.x || std::min(a.x, b.x) > grown.max.x || std::max(a.y, b.y) < grown.min.y ||
        std::min(a.y, b.y) > grown.max.y)
        return false;
    // Liang-Barsky clipping of the parametric segment against the box.
    double t0 = 0.0, t1 = 1.0;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - grown.min.x, grown.max.x - a.x, a.y - grown.min.y, grown.max.y - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0) return false;
        } else {
            double r = q[i] / p[i];
            if (p[i] < 0) {
                if (r > t1) return false;
                if (r > t0) t0 = r;
            } else {
                if (r < t0) return false;
                if (r < t1) t1 = r;
            }
        }
    }
    return t0 <= t1;
}

bool SegmentsIntersect(const Point3d& a, const Point3d& b, const Point3d& c, const Point3d& d)
{
    const double tol =
        std::max({CoordinateTolerance(a), CoordinateTolerance(b), CoordinateTolerance(c), CoordinateTolerance(d)});
    if (DistancePointSegment(c, a, b) <= tol || DistancePointSegment(d, a, b) <= tol ||
        DistancePointSegment(a, c, d) <= tol || DistancePointSegment(b, c, d) <= tol)
        return true;
    auto orient = [](const Point3d& p, const Point3d& q, const Point3d& r) {
        return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
    };
    double o1 = orient(a, b, c), o2 = orient(a, b, d), o3 = orient(c, d, a), o4 = orient(c, d, b);
    return ((o1 > 0) != (o2 > 0)) && ((o3 > 0) != (o4 > 0)) && o1 != 0 && o2 != 0 && o3 != 0 && o4 != 0;
}

double DistancePointSegment(const Point3d& p, const Point3d& a, const Point3d& b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    if (len2 <= 0) return Distance2d(p, a);
    double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool ClipRay(const Point3d& base, const Vector3d& direction, bool bothWays, const Box& box, Point3d& a, Point3d& b)
{
    if (box.IsEmpty() || !(direction.Length2d() > 0) || !base.IsFinite() || !direction.IsFinite()) return false;
    // Liang-Barsky on base + t·direction, t from 0 (or −∞) to +∞.
    const double inf = std::numeric_limits<double>::infinity();
    double t0 = bothWays ? -inf : 0.0, t1 = inf;
    const double p[4] = {-direction.x, direction.x, -direction.y, direction.y};
    const double q[4] = {base.x - box.min.x, box.max.x - base.x, base.y - box.min.y, box.max.y - base.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
    }
    if (!std::isfinite(t0) || !std::isfinite(t1)) return false;  // a box without a side: nothing to cut to
    a = base + direction * t0;
    b = base + direction * t1;
    return true;
}

Box RayBox(const Point3d& base, const Vector3d& direction, bool bothWays)
{
    const double inf = std::numeric_limits<double>::infinity();
    Box b;
    b.Add(base);
    const double d[3] = {direction.x, direction.y, direction.z};
    double* lo[3] = {&b.min.x, &b.min.y, &b.min.z};
    double* hi[3] = {&b.max.x, &b.max.y, &b.max.z};
    for (int k = 0; k < 3; ++k) {
        if (d[k] > 0 || (bothWays && d[k] < 0)) *hi[k] = inf;
        if (d[k] < 0 || (bothWays && d[k] > 0)) *lo[k] = -inf;
    }
    return b;
}

double DistancePointRay(const Point3d& p, const Point3d& base, const Vector3d& direction, bool bothWays)
{
    const double len2 = direction.x * direction.x + direction.y * direction.y;
    if (!(len2 > 0)) return Distance2d(p, base);
    double t = ((p.x - base.x) * direction.x + (p.y - base.y) * direction.y) / len2;
    if (!bothWays) t = std::max(t, 0.0);
    return std::hypot(p.x - (base.x + t * direction.x), p.y - (base.y + t * direction.y));
}

double DistancePointArc(const Point3d& p, const CircularArc& arc)
{
    double dc = Distance2d(p, arc.center);
    if (dc > 0 && arc.ContainsAngle(AngleFromXAxis(arc.center, p))) return std::fabs(dc - arc.radius);
    if (dc == 0 && arc.IsFullCircle()) return arc.radius;
    return std::min(Distance2d(p, arc.StartPoint()), Distance2d(p, arc.EndPoint()));
}

bool ArcIntersectsSegment(const CircularArc& arc, const Point3d& a, const Point3d& b)
{
    const double tol = std::max({CoordinateTolerance(arc.center), CoordinateTolerance(a), CoordinateTolerance(b)}) +
                       1e-12 * arc.radius;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    if (len2 <= tol * tol) return DistancePointArc(a, arc) <= tol;
    // The arc's end points near the segment count, whatever the solve says.
    if (DistancePointSegment(arc.StartPoint(), a, b) <= tol || DistancePointSegment(arc.EndPoint(), a, b) <= tol)
        return true;
    // Points of the line at parameter t: a + t·(b − a); solve |P − c| = r.
    const double fx = a.x - arc.center.x, fy = a.y - arc.center.y;
    const double A = len2, B = 2 * (fx * dx + fy * dy), C = fx * fx + fy * fy - arc.radius * arc.radius;
    double disc = B * B - 4 * A * C;
    if (disc < 0) {
        // Tangent within tolerance: the nearest point of the line to the centre.
        double t = std::clamp(-B / (2 * A), 0.0, 1.0);
        Point3d q{a.x + t * dx, a.y + t * dy, 0.0};
        return DistancePointArc(q, arc) <= tol;
    }
    double sq = std::sqrt(disc);
    const double ts[2] = {(-B - sq) / (2 * A), (-B + sq) / (2 * A)};
    const double tt = tol / std::sqrt(len2);
    for (double t : ts) {
        if (t < -tt || t > 1 + tt) continue;
        Point3d q{a.x + t * dx, a.y + t * dy, 0.0};
        if (arc.ContainsAngle(AngleFromXAxis(arc.center, q))) return true;
    }
    return false;
}

bool ArcIntersectsBox(const CircularArc& arc, const Box& box)
{
    if (box.IsEmpty()) return false;
    Box grown = box.Expanded(CoordinateTolerance(arc.center));
    if (grown.Contains(arc.StartPoint()) || grown.Contains(arc.EndPoint())) return true;
    if (!arc.Extents().Intersects(grown)) return false;
    const Point3d c[4] = {
        {box.min.x, box.min.y}, {box.max.x, box.min.y}, {box.max.x, box.max.y}, {box.min.x, box.max.y}};
    for (int i = 0; i < 4; ++i)
        if (ArcIntersectsSegment(arc, c[i], c[(i + 1) % 4])) return true;
    return false;
}

bool PointInPolygon(const Point3d& p, const std::vector<Point3d>& polygon)
{
    const std::size_t n = polygon.size();
    if (n == 0) return false;
    const double tol = CoordinateTolerance(p);
    bool inside = false;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point3d& a = polygon[i];
        const Point3d& b = polygon[j];
        if (DistancePointSegment(p, a, b) <= tol) return true;
        if ((a.y > p.y) != (b.y > p.y)) {
            double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (p.x < x) inside = !inside;
        }
    }
    return inside;
}

ConvexHull::ConvexHull(std::vector<Point3d> points)
{
    std::erase_if(points, [](const Point3d& p) { return !p.IsFinite(); });
    if (points.empty()) return;
    zmin_ = zmax_ = points[0].z;
    for (const Point3d& p : points) {
        zmin_ = std::min(zmin_, p.z);
        zmax_ = std::max(zmax_, p.z);
    }
    // A point strictly inside the quadrilateral of the leftmost, lowest,
    // rightmost and highest points is no vertex: left out before the sort,
    // most of a dense cloud's points go (Akl and Toussaint).
    if (points.size() > 64) {
        const auto [left, right] = std::minmax_element(points.begin(), points.end(),
                                                       [](const Point3d& a, const Point3d& b) { return a.x < b.x; });
        const auto [low, high] = std::minmax_element(points.begin(), points.end(),
                                                     [](const Point3d& a, const Point3d& b) { return a.y < b.y; });
        const std::array<Point3d, 4> quad{*left, *low, *right, *high};  // counter-clockwise
        auto inside = [&quad](const Point3d& p) {
            for (std::size_t i = 0; i < 4; ++i)
                if (!(Cross2d(quad[(i + 1) % 4] - quad[i], p - quad[i]) > 0)) return false;
            return true;
        };
        std::erase_if(points, inside);
    }
    // Andrew's monotone chain; points on an edge are left out.
    std::sort(points.begin(), points.end(),
              [](const Point3d& a, const Point3d& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    points.erase(std::unique(points.begin(), points.end(),
                             [](const Point3d& a, const Point3d& b) { return a.x == b.x && a.y == b.y; }),
                 points.end());
    if (points.size() < 3) {
        ccw_ = points;
    } else {
        std::vector<Point3d> h(2 * points.size());
        std::size_t k = 0;
        auto turnsLeft = [&](const Point3d& c) { return Cross2d(h[k - 1] - h[k - 2], c - h[k - 2]) > 0; };
        for (const Point3d& p : points) {
            while (k >= 2 && !turnsLeft(p)) --k;
            h[k++] = p;
        }
        for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
            while (k >= lower && !turnsLeft(points[i])) --k;
            h[k++] = points[i];
        }
        h.resize(k - 1);
        ccw_ = std::move(h);
    }
    // From the lowest vertex the edges turn one way all round: their angles
    // increase from 0 to under 2π.
    const auto lowest = std::min_element(ccw_.begin(), ccw_.end(), [](const Point3d& a, const Point3d& b) {
        return a.y < b.y || (a.y == b.y && a.x < b.x);
    });
    std::rotate(ccw_.begin(), lowest, ccw_.end());
    turns_.reserve(ccw_.size());
    for (std::size_t i = 0; i < ccw_.size(); ++i) {
        const Point3d& a = ccw_[i];
        const Point3d& b = ccw_[(i + 1) % ccw_.size()];
        turns_.push_back(NormalizeAngle(std::atan2(b.y - a.y, b.x - a.x)));
    }
    for (std::size_t i = 1; i < turns_.size(); ++i) turns_[i] = std::max(turns_[i], turns_[i - 1]);
}

double ConvexHull::Furthest(double ux, double uy) const
{
    const std::size_t n = ccw_.size();
    auto along = [&](std::size_t i) { return ux * ccw_[i % n].x + uy * ccw_[i % n].y; };
    if (n <= 8) {
        double best = along(0);
        for (std::size_t i = 1; i < n; ++i) best = std::max(best, along(i));
        return best;
    }
    // The vertex furthest along u is where the edges turn past the
    // perpendicular of u; its neighbours are asked too, for the rounding of
    // the angles.
    const double past = NormalizeAngle(std::atan2(uy, ux) + kPi / 2);
    const auto i = static_cast<std::size_t>(std::lower_bound(turns_.begin(), turns_.end(), past) - turns_.begin());
    return std::max({along(i + n - 1), along(i), along(i + 1)});
}

void ConvexHull::WidenZ(double lo, double hi)
{
    if (ccw_.empty() || !std::isfinite(lo) || !std::isfinite(hi)) return;
    zmin_ = std::min(zmin_, lo);
    zmax_ = std::max(zmax_, hi);
}

Box ConvexHull::Through(const Transform& t) const
{
    Box box;
    if (ccw_.empty()) return box;
    double lo[3], hi[3];
    for (int r = 0; r < 3; ++r) {
        const double* m = t.m[r];
        const double zlo = std::min(m[2] * zmin_, m[2] * zmax_), zhi = std::max(m[2] * zmin_, m[2] * zmax_);
        hi[r] = Furthest(m[0], m[1]) + zhi + m[3];
        lo[r] = -Furthest(-m[0], -m[1]) + zlo + m[3];
    }
    box.min = {lo[0], lo[1], lo[2]};
    box.max = {hi[0], hi[1], hi[2]};
    return box;
}

bool ClipSpan(double ax, double ay, double bx, double by, double x0, double y0, double x1, double y1, double& t0,
              double& t1)
{
    t0 = 0.0;
    t1 = 1.0;
    const double dx = bx - ax, dy = by - ay;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - x0, x1 - ax, ay - y0, y1 - ay};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    return true;
}

}  // namespace acad
