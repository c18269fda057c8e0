#pragma once
// Plane geometry of the drawing engine: small value types with no knowledge of
// entities, layers or documents. Entities build on these; nothing here builds
// on entities.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace acad {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;

struct Point3d {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr Point3d() = default;
    constexpr Point3d(double x_, double y_, double z_ = 0.0) : x(x_), y(y_), z(z_) {}

    constexpr Point3d operator+(const Point3d& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Point3d operator-(const Point3d& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Point3d operator-() const { return {-x, -y, -z}; }
    constexpr Point3d operator*(double k) const { return {x * k, y * k, z * k}; }
    constexpr Point3d operator/(double k) const { return {x / k, y / k, z / k}; }
    Point3d& operator+=(const Point3d& o)
    {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    Point3d& operator-=(const Point3d& o)
    {
        x -= o.x;
        y -= o.y;
        z -= o.z;
        return *this;
    }
    constexpr bool operator==(const Point3d&) const = default;

    double Length() const { return std::sqrt(x * x + y * y + z * z); }
    double Length2d() const { return std::hypot(x, y); }
    bool IsFinite() const { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }
};

// Vectors and points share one type, as the automation interface does (both
// are arrays of three doubles there).
using Vector3d = Point3d;

inline constexpr Vector3d kZAxis{0.0, 0.0, 1.0};

inline double Dot(const Vector3d& a, const Vector3d& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline double Cross2d(const Vector3d& a, const Vector3d& b) { return a.x * b.y - a.y * b.x; }
inline Vector3d Cross(const Vector3d& a, const Vector3d& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Distance(const Point3d& a, const Point3d& b) { return (b - a).Length(); }
inline double Distance2d(const Point3d& a, const Point3d& b) { return std::hypot(b.x - a.x, b.y - a.y); }
inline Point3d Midpoint(const Point3d& a, const Point3d& b) { return (a + b) * 0.5; }
inline Point3d Lerp(const Point3d& a, const Point3d& b, double t) { return a + (b - a) * t; }
// Point at `distance` from `base` in direction `angle` (radians from the X axis), z kept.
inline Point3d Polar(const Point3d& base, double angle, double distance)
{
    return {base.x + distance * std::cos(angle), base.y + distance * std::sin(angle), base.z};
}
// Angle of b - a from the X axis in [0, 2π), the way the host measures it.
double AngleFromXAxis(const Point3d& a, const Point3d& b);
// Angle normalised into [0, 2π).
double NormalizeAngle(double a);

// How far apart two points near `p` may be and still be the same point.
double CoordinateTolerance(const Point3d& p);

// Axis-aligned box. Default-constructed boxes are empty; adding points grows them.
struct Box {
    Point3d min{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                std::numeric_limits<double>::infinity()};
    Point3d max{-std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                -std::numeric_limits<double>::infinity()};

    static Box FromCorners(const Point3d& a, const Point3d& b);
    static Box Around(const Point3d& c, double halfSide);

    bool IsEmpty() const { return !(min.x <= max.x && min.y <= max.y); }
    // Every side a number (an empty box is not): a box reaching beyond the
    // largest double measures nothing and has no centre.
    bool IsFinite() const { return min.IsFinite() && max.IsFinite(); }
    // Inline: measuring a drawing adds a few points for each of its entities.
    void Add(const Point3d& p)
    {
        min.x = std::min(min.x, p.x);
        min.y = std::min(min.y, p.y);
        min.z = std::min(min.z, p.z);
        max.x = std::max(max.x, p.x);
        max.y = std::max(max.y, p.y);
        max.z = std::max(max.z, p.z);
    }
    void Add(const Box& b)
    {
        if (b.IsEmpty()) return;
        Add(b.min);
        Add(b.max);
    }
    double Width() const { return IsEmpty() ? 0.0 : max.x - min.x; }
    double Height() const { return IsEmpty() ? 0.0 : max.y - min.y; }
    Point3d Center() const { return Midpoint(min, max); }
    Box Expanded(double d) const;
    // Plane (XY) relations; borders count as touching.
    bool Intersects(const Box& o) const;
    bool Contains(const Point3d& p) const;
    bool Contains(const Box& o) const;
    bool operator==(const Box&) const = default;
};

// Circular arc in the XY plane, counter-clockwise from startAngle to endAngle.
// A full circle has endAngle = startAngle + 2π.
struct CircularArc {
    Point3d center;
    double radius = 0.0;
    double startAngle = 0.0;
    double endAngle = kTwoPi;

    double Sweep() const;  // in (0, 2π]
    bool IsFullCircle() const { return endAngle - startAngle >= kTwoPi - 1e-12; }
    Point3d PointAt(double angle) const { return Polar(center, angle, radius); }
    Point3d StartPoint() const { return PointAt(startAngle); }
    Point3d EndPoint() const { return PointAt(startAngle + Sweep()); }
    // True when `angle` lies on the arc's sweep.
    bool ContainsAngle(double angle) const;
    double Length() const { return radius * Sweep(); }
    Box Extents() const;
};

// Arc of the polyline segment from p0 to p1 with bulge b (tan of a quarter of
// the included angle; positive = counter-clockwise). nullopt for a straight segment.
std::optional<CircularArc> ArcFromBulge(const Point3d& p0, const Point3d& p1, double bulge);
// Adds to `box` the points where the arc of the polyline segment from p0 to p1
// with bulge b (as ArcFromBulge places it) reaches furthest along X and Y,
// found without turning anything into angles; the ends are the caller's. False,
// adding nothing, when the arc cannot be placed in finite numbers; true for a
// straight segment.
bool AddBulgeArcReach(Box& box, const Point3d& p0, const Point3d& p1, double bulge);
// Length of a polyline segment with bulge.
double BulgeSegmentLength(const Point3d& p0, const Point3d& p1, double bulge);

// One vertex of a plane polyline with arc segments.
struct BulgeVertex {
    Point3d point;
    double bulge = 0.0;  // of the segment that starts at this vertex
};

// Plane polyline with bulges: the common geometry of lightweight and 2-D
// polylines and of hatch boundary loops.
struct BulgePolyline {
    std::vector<BulgeVertex> vertices;
    bool closed = false;

    std::size_t SegmentCount() const;
    double Length() const;
    Box Extents() const;
    // Points approximating the polyline: vertices kept, arcs split so that no
    // chord strays more than `tolerance` from its arc.
    std::vector<Point3d> Flatten(double tolerance) const;
};

// One vertex of a plane polyline with widths: the bulge and the widths of
// the segment that starts at it.
struct WideVertex {
    Point3d point;
    double bulge = 0.0;
    double startWidth = 0.0;
    double endWidth = 0.0;
};

// The vertices of a polyline with widths, read one at a time from wherever a
// polyline keeps them (a walk over a few segments of a long one copies none).
struct WideVertices {
    std::size_t count = 0;
    bool closed = false;
    const void* source = nullptr;
    WideVertex (*at)(const void* source, std::size_t i) = nullptr;

    WideVertex operator[](std::size_t i) const { return at(source, i); }
    std::size_t SegmentCount() const { return count < 2 ? 0 : closed ? count : count - 1; }
};

// How far the outer edges of two pieces of one width are carried past their
// corner, in widths, before the corner is cut square where they would meet
// further out: the drawing's mitre limit.
inline constexpr double kMitreLimit = 4.0;

// What a polyline with widths covers, piece by piece (WideOutline gives them).
class WideSink {
public:
    virtual ~WideSink() = default;
    // A straight segment with width: its corners, start left, end left, end
    // right, start right (left of the way the segment runs).
    virtual void Band(std::size_t segment, const Point3d corners[4]) = 0;
    // A bulged segment with width: the arc of its centre line, the end it
    // starts from (true: the arc's start point), and the widths there and at
    // the other end.
    virtual void ArcBand(std::size_t segment, const CircularArc& arc, bool fromStart, double fromWidth,
                         double toWidth) = 0;
    // The outer side of the corner at `vertex` between two pieces of one
    // constant width: a convex ring of `n` (4 or 5) points, the vertex first.
    virtual void Join(std::size_t vertex, const Point3d* ring, int n) = 0;
};

// Walks the pieces of segments `first` to `last` (included) of `v`: each
// segment with width, then the corner it starts from, when it has one (so a
// corner comes with the segment it leads into, the first of the range's
// included). Pieces of one constant width meet mitred, out to kMitreLimit
// widths; a tapering piece stands on its own, as does a segment without
// width (drawn as a line, not given here).
void WideOutline(const WideVertices& v, std::size_t first, std::size_t last, WideSink& out);
// The box of an arc band (as ArcBand gives it): the arc's reach out to half
// the wider width, and the four corners.
Box ArcBandBox(const CircularArc& arc, bool fromStart, double fromWidth, double toWidth);
// The ring around an arc band, for what asks of its area (picks, hulls): its
// outer edge on a polygon whose sides touch the arc (so that the ring holds
// the band), at most a thirty-second of a turn each; the inner edge through
// points of its arc.
std::vector<Point3d> ArcBandRing(const CircularArc& arc, bool fromStart, double fromWidth, double toWidth);

// Affine transform of 3-D space (3x3 linear part + translation), enough for block
// insertion: scale (negative = mirror), rotation about Z, translation.
class Transform {
public:
    Transform() = default;  // identity

    static Transform Translation(const Vector3d& v);
    static Transform Scaling(double sx, double sy, double sz, const Point3d& base = {});
    static Transform RotationZ(double angle, const Point3d& base = {});
    static Transform Mirror(const Point3d& p1, const Point3d& p2);  // about the XY line p1-p2
    // Block insertion: base point of the definition to `insertion`, scaled then rotated.
    static Transform Insertion(const Point3d& basePoint, const Point3d& insertion, double xs, double ys, double zs,
                               double rotation);

    Transform operator*(const Transform& o) const;  // (this * o)(p) = this(o(p))
    // Inline: every point drawn through a block reference passes here.
    Point3d Apply(const Point3d& p) const
    {
        return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
                m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
                m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
    }
    Vector3d ApplyVector(const Vector3d& v) const
    {
        return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
    }
    std::optional<Transform> Inverse() const;

    // True when the XY part keeps shapes (rotation, uniform scale, maybe mirror).
    bool IsSimilarity() const;
    // Linear factor of a similarity (sqrt of |det| of the XY part).
    double ScaleFactor() const;
    // True when the XY part flips orientation (mirror).
    bool IsMirroring() const;
    // Rotation of the X axis under the transform.
    double RotationAngle() const;
    bool IsIdentity() const;

    double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
};

// The object coordinate system of a planar shape whose plane has the normal
// `normal` (its extrusion direction), by the arbitrary axis algorithm of the
// drawing format: the transform from those coordinates to the world. The
// identity for the Z axis, and for a normal that is no direction (zero, not
// a number): such shapes are placed as if it were the Z axis.
Transform OcsOf(const Vector3d& normal);
// The normal of the plane of normal `normal` once carried through `t`, of
// unit length: the way an edit moves a planar shape's plane. A mirror in the
// XY plane keeps the Z axis (a mirrored arc runs the other way instead).
// `normal` itself when `t` flattens the plane.
Vector3d NormalThrough(const Transform& t, const Vector3d& normal);

// The extrusion direction of a planar entity: the normal of the plane its
// coordinates lie in. Nearly every entity lies in the XY plane, and those
// keep no vector at all (the few others one on the heap), so that a drawing
// of a million entities pays nothing for the few.
class Extrusion {
public:
    Extrusion() = default;
    // Implicit: data structs are written with a normal where one is given.
    Extrusion(const Vector3d& normal) { Set(normal); }
    Extrusion(const Extrusion& o) : v_(o.v_ ? std::make_unique<Vector3d>(*o.v_) : nullptr) {}
    Extrusion(Extrusion&&) noexcept = default;
    Extrusion& operator=(const Extrusion& o)
    {
        if (this != &o) Set(o.Normal());
        return *this;
    }
    Extrusion& operator=(Extrusion&&) noexcept = default;
    ~Extrusion() = default;

    bool IsZAxis() const { return !v_; }
    // As stored (as read: not necessarily of unit length).
    Vector3d Normal() const { return v_ ? *v_ : kZAxis; }
    void Set(const Vector3d& normal);
    // One coordinate (0 x, 1 y, 2 z), as a file gives them one by one.
    void SetComponent(int k, double value);
    // The transform from the entity's own coordinates to the world.
    Transform Ocs() const { return v_ ? OcsOf(*v_) : Transform(); }
    // A point of the entity's own coordinates in the world's, and back.
    Point3d ToWorld(const Point3d& p) const { return v_ ? OcsOf(*v_).Apply(p) : p; }
    Point3d FromWorld(const Point3d& p) const;
    // `t` composed with the entity's own coordinates: `t` itself in the XY plane.
    Transform Through(const Transform& t) const { return v_ ? t * OcsOf(*v_) : t; }
    // Carries the plane through `t` (NormalThrough) and answers what `t` does
    // to the entity's own coordinates, from the old plane's to the new one's:
    // `t` itself while the plane stays the XY plane.
    Transform TransformBy(const Transform& t);
    bool operator==(const Extrusion& o) const { return Normal() == o.Normal(); }

private:
    std::unique_ptr<Vector3d> v_;
};

// The convex hull in the XY plane of a set of points, with the range of their
// z: the box of the set through a transform, found from the vertex furthest
// each way (a binary search), however many points the set had.
class ConvexHull {
public:
    ConvexHull() = default;
    // Points that are not numbers everywhere take no part.
    explicit ConvexHull(std::vector<Point3d> points);
    bool IsEmpty() const { return ccw_.empty(); }
    // Counter-clockwise from the lowest (then leftmost) vertex.
    const std::vector<Point3d>& Vertices() const { return ccw_; }
    // The box of the points through `t`: exact when `t` keeps z apart from x
    // and y (as insertions do), else a box that holds them.
    Box Through(const Transform& t) const;
    // Takes in points whose z reaches from `lo` to `hi`.
    void WidenZ(double lo, double hi);

private:
    // The largest value of ux·x + uy·y over the points.
    double Furthest(double ux, double uy) const;
    std::vector<Point3d> ccw_;
    std::vector<double> turns_;  // angle of each edge from its vertex, increasing in [0, 2π)
    double zmin_ = 0.0, zmax_ = 0.0;
};

// Segment / box / polygon predicates in the XY plane (z ignored), borders included.
bool SegmentIntersectsBox(const Point3d& a, const Point3d& b, const Box& box);
bool SegmentsIntersect(const Point3d& a, const Point3d& b, const Point3d& c, const Point3d& d);
bool ArcIntersectsBox(const CircularArc& arc, const Box& box);
bool ArcIntersectsSegment(const CircularArc& arc, const Point3d& a, const Point3d& b);
bool PointInPolygon(const Point3d& p, const std::vector<Point3d>& polygon);
double DistancePointSegment(const Point3d& p, const Point3d& a, const Point3d& b);
// The piece within `box` (XY) of the line from `base` along `direction`, one
// way (a ray) or both; false when it misses the box or has no direction.
bool ClipRay(const Point3d& base, const Vector3d& direction, bool bothWays, const Box& box, Point3d& a, Point3d& b);
// The part of the segment from (ax, ay) to (bx, by) inside the rectangle
// [x0, x1] × [y0, y1], as the parameters t0 ≤ t1 of its ends along it (0: a,
// 1: b); false when nothing of it is inside (Liang–Barsky).
bool ClipSpan(double ax, double ay, double bx, double by, double x0, double y0, double x1, double y1, double& t0,
              double& t1);
// The box of such a line: infinite along each axis it runs in, the base's
// coordinate along the others (z included).
Box RayBox(const Point3d& base, const Vector3d& direction, bool bothWays);
// Distance in the XY plane from `p` to such a line.
double DistancePointRay(const Point3d& p, const Point3d& base, const Vector3d& direction, bool bothWays);
double DistancePointArc(const Point3d& p, const CircularArc& arc);

}  // namespace acad
