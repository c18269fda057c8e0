// Plane geometry value types.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/acad/Geometry.h"

using namespace acad;

TEST(Geometry, AnglesBulgesAndArcs)
{
    EXPECT_DOUBLE_EQ(AngleFromXAxis({0, 0}, {1, 0}), 0.0);
    EXPECT_DOUBLE_EQ(AngleFromXAxis({0, 0}, {0, -1}), 3 * kPi / 2);
    EXPECT_DOUBLE_EQ(NormalizeAngle(-kPi / 2), 3 * kPi / 2);
    EXPECT_DOUBLE_EQ(NormalizeAngle(5 * kPi), kPi);

    // Bulge 1: half circle, counter-clockwise from (0,0) to (10,0) passes below.
    auto arc = ArcFromBulge({0, 0}, {10, 0}, 1.0);
    ASSERT_TRUE(arc);
    EXPECT_NEAR(arc->center.x, 5, 1e-12);
    EXPECT_NEAR(arc->center.y, 0, 1e-12);
    EXPECT_NEAR(arc->radius, 5, 1e-12);
    EXPECT_NEAR(arc->Sweep(), kPi, 1e-12);
    EXPECT_NEAR(arc->Extents().min.y, -5, 1e-12);
    EXPECT_NEAR(ArcFromBulge({0, 0}, {10, 0}, -1.0)->Extents().max.y, 5, 1e-12);
    // Quarter circle: bulge tan(π/8).
    auto q = ArcFromBulge({1, 0}, {0, 1}, std::tan(kPi / 8));
    EXPECT_NEAR(q->center.x, 0, 1e-12);
    EXPECT_NEAR(q->center.y, 0, 1e-12);
    EXPECT_NEAR(BulgeSegmentLength({1, 0}, {0, 1}, std::tan(kPi / 8)), kPi / 2, 1e-12);
    EXPECT_FALSE(ArcFromBulge({0, 0}, {1, 0}, 0.0));
    EXPECT_FALSE(ArcFromBulge({0, 0}, {0, 0}, 1.0));

    CircularArc wrap{{0, 0}, 1, 3 * kPi / 2, 3 * kPi / 2 + kPi};  // through angle 0
    EXPECT_TRUE(wrap.ContainsAngle(0));
    EXPECT_FALSE(wrap.ContainsAngle(kPi));
    EXPECT_NEAR(wrap.Extents().max.x, 1, 1e-12);
    EXPECT_NEAR(wrap.Extents().min.x, 0, 1e-12);

    BulgePolyline pl;
    pl.vertices = {{{0, 0}, 1.0}, {{10, 0}, 0.0}, {{10, 10}, 0.0}};
    auto flat = pl.Flatten(0.01);
    EXPECT_GT(flat.size(), 10u);
    EXPECT_EQ(flat.front(), (Point3d{0, 0}));
    EXPECT_EQ(flat.back(), (Point3d{10, 10}));
    for (const auto& p : flat) EXPECT_GE(p.y, -5 - 1e-9);
}

TEST(Geometry, TransformsForBlockInsertion)
{
    // Base point (1,1) to (100,100), scale 2, turned 90°.
    Transform t = Transform::Insertion({1, 1, 0}, {100, 100, 0}, 2, 2, 2, kPi / 2);
    Point3d p = t.Apply({2, 1, 0});
    EXPECT_NEAR(p.x, 100, 1e-12);
    EXPECT_NEAR(p.y, 102, 1e-12);
    EXPECT_TRUE(t.IsSimilarity());
    EXPECT_NEAR(t.ScaleFactor(), 2, 1e-12);
    EXPECT_FALSE(t.IsMirroring());
    EXPECT_NEAR(t.RotationAngle(), kPi / 2, 1e-12);
    auto inv = t.Inverse();
    ASSERT_TRUE(inv);
    Point3d back = inv->Apply(p);
    EXPECT_NEAR(back.x, 2, 1e-12);
    EXPECT_NEAR(back.y, 1, 1e-12);

    Transform m = Transform::Insertion({0, 0, 0}, {0, 0, 0}, 1, -1, 1, 0);
    EXPECT_TRUE(m.IsMirroring());
    Transform ns = Transform::Scaling(1, 3, 1);
    EXPECT_FALSE(ns.IsSimilarity());
    Transform mirror = Transform::Mirror({0, 0, 0}, {1, 1, 0});  // about y = x
    Point3d mp = mirror.Apply({2, 0, 5});
    EXPECT_NEAR(mp.x, 0, 1e-12);
    EXPECT_NEAR(mp.y, 2, 1e-12);
    EXPECT_NEAR(mp.z, 5, 1e-12);
    EXPECT_FALSE(Transform::Scaling(0, 1, 1).Inverse());
}

TEST(Geometry, PredicatesIncludeBordersAndTolerateRounding)
{
    Box b = Box::FromCorners({0, 0}, {10, 10});
    EXPECT_TRUE(SegmentIntersectsBox({-5, 5}, {0, 5}, b));  // touches the border
    EXPECT_FALSE(SegmentIntersectsBox({-5, 5}, {-0.001, 5}, b));
    EXPECT_TRUE(SegmentIntersectsBox({-5, -5}, {15, 15}, b));  // passes through
    Box pt = Box::Around({7000000.1, 300000.3}, 0);
    EXPECT_TRUE(SegmentIntersectsBox({7000000.0, 300000.0}, {7000000.2, 300000.6}, pt));
    EXPECT_TRUE(SegmentsIntersect({0, 0}, {10, 10}, {0, 10}, {10, 0}));
    EXPECT_TRUE(SegmentsIntersect({0, 0}, {10, 0}, {10, 0}, {20, 5}));  // shared end
    EXPECT_FALSE(SegmentsIntersect({0, 0}, {10, 0}, {0, 1}, {10, 1}));
    CircularArc a{{0, 0}, 5, 0, kPi / 2};
    EXPECT_TRUE(ArcIntersectsBox(a, Box::Around({0, 5}, 0)));
    EXPECT_FALSE(ArcIntersectsBox(a, Box::Around({0, -5}, 0.1)));
    EXPECT_FALSE(ArcIntersectsBox(a, Box::FromCorners({-1, -1}, {1, 1})));
    EXPECT_TRUE(ArcIntersectsSegment(a, {3, 3}, {10, 10}));
    EXPECT_FALSE(ArcIntersectsSegment(a, {-3, -3}, {-10, -10}));
    std::vector<Point3d> tri{{0, 0}, {10, 0}, {0, 10}};
    EXPECT_TRUE(PointInPolygon({1, 1}, tri));
    EXPECT_TRUE(PointInPolygon({5, 5}, tri));  // on the edge
    EXPECT_FALSE(PointInPolygon({6, 6}, tri));
    EXPECT_NEAR(DistancePointArc({0, 0}, a), 5, 1e-12);
    EXPECT_NEAR(DistancePointArc({-5, -5}, a), std::hypot(10, 5), 1e-12);
}

// The plane of an extrusion by the arbitrary axis algorithm: near the Z axis
// the world's Y axis gives its X axis, elsewhere the world's Z axis does; the
// plane follows an edit; the Z axis is kept as no vector at all.
TEST(Geometry, PlanesOfExtrusions)
{
    auto expectNear = [](const Point3d& p, const Point3d& q) {
        EXPECT_NEAR(p.x, q.x, 1e-12);
        EXPECT_NEAR(p.y, q.y, 1e-12);
        EXPECT_NEAR(p.z, q.z, 1e-12);
    };
    EXPECT_TRUE(OcsOf(kZAxis).IsIdentity());
    EXPECT_TRUE(OcsOf({0, 0, 0}).IsIdentity());
    EXPECT_TRUE(OcsOf({0, 0, 5}).IsIdentity()) << "of any length";
    // Turned over: x runs the other way, y stays.
    const Transform down = OcsOf({0, 0, -1});
    EXPECT_EQ(down.Apply({1, 2, 3}), Point3d(-1, 2, -3));
    EXPECT_TRUE(down.IsMirroring());
    // Within 1/64 of the Z axis, Y × N; beyond, Z × N.
    expectNear(OcsOf({1, 0, 0}).Apply({1, 2, 3}), {3, 1, 2});
    const Transform tilted = OcsOf({0.015, 0, 1});
    EXPECT_GT(tilted.m[0][0], 0.99) << "X from Y × N: about the world's X";
    const Transform beyond = OcsOf({0.017, 0, 1});
    EXPECT_NEAR(beyond.m[0][0], 0, 1e-6) << "X from Z × N: about the world's Y";
    EXPECT_NEAR(beyond.m[1][0], 1, 1e-6);

    // The plane through edits: a turn about Z and a move keep it, a mirror in
    // the XY plane keeps the Z axis, one across it turns it over.
    EXPECT_EQ(NormalThrough(Transform::RotationZ(0.7), kZAxis), kZAxis);
    EXPECT_EQ(NormalThrough(Transform::RotationZ(0.7) * Transform::Translation({3, 4, 5}), {0, 0, -1}),
              Vector3d(0, 0, -1));
    EXPECT_EQ(NormalThrough(Transform::Mirror({0, 0, 0}, {0, 1, 0}), kZAxis), kZAxis);
    EXPECT_EQ(NormalThrough(Transform::Scaling(1, 1, -1), kZAxis), Vector3d(0, 0, -1));
    EXPECT_EQ(NormalThrough(Transform::Scaling(0, 0, 0), {0, 0, -1}), Vector3d(0, 0, -1)) << "a flattening edit";

    Extrusion e;
    EXPECT_TRUE(e.IsZAxis());
    e.SetComponent(2, -1);
    EXPECT_FALSE(e.IsZAxis());
    Extrusion copy = e;
    EXPECT_EQ(copy.Normal(), Vector3d(0, 0, -1));
    e.SetComponent(2, 1);
    EXPECT_TRUE(e.IsZAxis()) << "back to the Z axis, nothing kept";
    EXPECT_FALSE(copy.IsZAxis()) << "a copy of its own";
    expectNear(copy.ToWorld({5, 2, 0}), {-5, 2, 0});
    expectNear(copy.FromWorld({-5, 2, 0}), {5, 2, 0});
    // An edit in the world, seen in the plane: a move to the right is one to the left there.
    const Transform inPlane = copy.TransformBy(Transform::Translation({1, 0, 0}));
    expectNear(inPlane.Apply({0, 0, 0}), {-1, 0, 0});
    EXPECT_EQ(copy.Normal(), Vector3d(0, 0, -1));
    // Mirrored across the XY plane, it lies in the XY plane again, its points
    // where they were.
    const Transform back = copy.TransformBy(Transform::Scaling(1, 1, -1));
    EXPECT_TRUE(copy.IsZAxis());
    expectNear(back.Apply({5, 2, 0}), {-5, 2, 0});
}

namespace {
struct WidePiecesSeen : WideSink {
    void Band(std::size_t, const Point3d[4]) override { ++bands; }
    void ArcBand(std::size_t, const CircularArc&, bool, double, double) override { ++arcs; }
    void Join(std::size_t vertex, const Point3d* ring, int n) override
    {
        joins.push_back(vertex);
        for (int k = 0; k < n; ++k) box.Add(ring[k]);
    }
    int bands = 0, arcs = 0;
    std::vector<std::size_t> joins;
    Box box;
};

WidePiecesSeen Walk(const std::vector<WideVertex>& v, bool closed)
{
    WidePiecesSeen seen;
    const WideVertices view{v.size(), closed, &v, [](const void* s, std::size_t i) {
                                return (*static_cast<const std::vector<WideVertex>*>(s))[i];
                            }};
    WideOutline(view, 0, view.SegmentCount() - 1, seen);
    return seen;
}
}  // namespace

// Where the pieces of a wide polyline meet: mitred between pieces of one
// width (past a vertex given twice too), cut four widths out, turned straight
// back as a square end four widths long; a tapering piece and the ends of an
// open polyline have no corner; a closed one has one at its first vertex.
TEST(Geometry, CornersOfWidePolylines)
{
    auto w = [](double x, double y, double width, double bulge = 0) { return WideVertex{{x, y}, bulge, width, width}; };
    // A right angle: the outer corner at (11, -1).
    WidePiecesSeen right = Walk({w(0, 0, 2), w(10, 0, 2), w(10, 0, 2), w(10, 10, 2)}, false);
    EXPECT_EQ(right.bands, 2);
    ASSERT_EQ(right.joins.size(), 1u);
    EXPECT_EQ(right.joins[0], 2u) << "with the piece after the vertex given twice";
    EXPECT_NEAR(right.box.max.x, 11, 1e-12);
    EXPECT_NEAR(right.box.min.y, -1, 1e-12);
    // Straight back: a square end 8 long past the turn.
    WidePiecesSeen back = Walk({w(0, 0, 2), w(10, 0, 2), w(0, 0, 2)}, false);
    ASSERT_EQ(back.joins.size(), 1u);
    EXPECT_NEAR(back.box.max.x, 18, 1e-12);
    EXPECT_NEAR(back.box.min.y, -1, 1e-12);
    EXPECT_NEAR(back.box.max.y, 1, 1e-12);
    // Straight on: nothing to join.
    EXPECT_TRUE(Walk({w(0, 0, 2), w(5, 0, 2), w(10, 0, 2)}, false).joins.empty());
    // A tapering piece stands alone.
    std::vector<WideVertex> taper = {w(0, 0, 2), w(10, 0, 4), w(10, 10, 4)};
    taper[0].endWidth = 4;
    EXPECT_TRUE(Walk(taper, false).joins.empty());
    // Widths that differ meet without a corner.
    EXPECT_TRUE(Walk({w(0, 0, 2), w(10, 0, 3), w(10, 10, 3)}, false).joins.empty());
    // A closed square: a corner at each vertex, the first one's too.
    WidePiecesSeen square = Walk({w(0, 0, 2), w(10, 0, 2), w(10, 10, 2), w(0, 10, 2)}, true);
    EXPECT_EQ(square.joins, (std::vector<std::size_t>{0, 1, 2, 3}));
    EXPECT_EQ(square.box, Box::FromCorners({-1, -1}, {11, 11}));
    // An arc leaving a straight piece along its tangent: no corner; against it, one.
    WidePiecesSeen smooth = Walk({w(0, 0, 2), w(10, 0, 2, std::tan(kPi / 8)), w(20, 10, 2)}, false);
    EXPECT_EQ(smooth.arcs, 1);
    EXPECT_TRUE(smooth.joins.empty() || smooth.box.max.x - smooth.box.min.x < 1e-9);
    // A half circle leaving it: it starts down, a right turn, cornered on the left.
    WidePiecesSeen turn = Walk({w(0, 0, 2), w(10, 0, 2, 1.0), w(20, 0, 2)}, false);
    EXPECT_EQ(turn.arcs, 1);
    ASSERT_EQ(turn.joins.size(), 1u);
    EXPECT_NEAR(turn.box.max.x, 11, 1e-12);
    EXPECT_NEAR(turn.box.max.y, 1, 1e-12);
}
