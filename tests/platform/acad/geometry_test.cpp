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
