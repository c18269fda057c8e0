// Splines from files (unclamped knots), fitted polylines, multi-line text, wide polylines.
#include <gtest/gtest.h>

#include <cmath>

#include "CoreTestUtil.h"
#include "platform/acad/Acad.h"

using namespace acad;

TEST(Curves, ElevatingAnUnclampedSplineKeepsItsCurve)
{
    // A uniform (unclamped) cubic, as drawings from other programs hold them.
    Document doc;
    SplineData d;
    d.degree = 3;
    d.controlPoints = {{0, 0, 0}, {10, 20, 0}, {20, -5, 0}, {30, 15, 0}, {40, 0, 0}, {50, 10, 0}};
    for (int i = 0; i < 10; ++i) d.knots.push_back(i);
    Spline* s = doc.ModelSpace().Append(std::make_unique<Spline>(doc, d));
    const double a = s->StartParameter(), b = s->EndParameter();
    EXPECT_DOUBLE_EQ(a, 3.0);
    EXPECT_DOUBLE_EQ(b, 6.0);
    std::vector<Point3d> before;
    for (int k = 0; k <= 12; ++k) before.push_back(s->PointAt(a + (b - a) * k / 12));
    s->ElevateOrder(6);
    EXPECT_EQ(s->Degree(), 5);
    EXPECT_DOUBLE_EQ(s->StartParameter(), 3.0);
    EXPECT_DOUBLE_EQ(s->EndParameter(), 6.0);
    for (int k = 0; k <= 12; ++k) {
        Point3d q = s->PointAt(a + (b - a) * k / 12);
        EXPECT_NEAR(q.x, before[k].x, 1e-7) << k;
        EXPECT_NEAR(q.y, before[k].y, 1e-7) << k;
    }
    // The first and last control points are now the curve's ends.
    EXPECT_NEAR(s->GetControlPoint(0).x, before.front().x, 1e-7);
    EXPECT_NEAR(s->GetControlPoint(s->NumberOfControlPoints() - 1).x, before.back().x, 1e-7);

    // A rational spline keeps its weights through the elevation.
    SplineData r;
    r.degree = 2;
    r.controlPoints = {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    r.weights = {1, std::sqrt(0.5), 1};  // an exact quarter circle
    r.knots = {0, 0, 0, 1, 1, 1};
    Spline* q = doc.ModelSpace().Append(std::make_unique<Spline>(doc, r));
    EXPECT_TRUE(q->IsRational());
    q->ElevateOrder(5);
    for (int k = 0; k <= 8; ++k) EXPECT_NEAR(q->PointAt(k / 8.0).Length2d(), 1.0, 1e-9);

    // A spline without a usable knot vector is drawn through its points but not elevated.
    SplineData bad;
    bad.controlPoints = {{0, 0, 0}, {1, 1, 0}};
    Spline* broken = doc.ModelSpace().Append(std::make_unique<Spline>(doc, bad));
    Point3d lo, hi;
    broken->GetBoundingBox(lo, hi);
    EXPECT_DOUBLE_EQ(hi.x, 1.0);
    EXPECT_ACAD_ERROR(ErrorCode::NotApplicable, broken->ElevateOrder(5));
}

TEST(Curves, InterpolationHonoursEndTangents)
{
    Document doc;
    Spline* s = doc.ModelSpace().AddSpline({0, 0, 0, 10, 0, 0}, {0, 1, 0}, {0, -1, 0});
    // Leaving upwards and arriving downwards: the curve bulges above the chord.
    Point3d mid = s->PointAt((s->StartParameter() + s->EndParameter()) / 2);
    EXPECT_GT(mid.y, 1.0);
    EXPECT_NEAR(mid.x, 5.0, 1e-9);
    EXPECT_EQ(s->NumberOfFitPoints(), 2);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.ModelSpace().AddSpline({1, 1, 0, 1, 1, 0}, {}, {}));
}

TEST(Curves, ClosedAndCurveFitPolylines)
{
    Document doc;
    Polyline2D* sq = doc.ModelSpace().AddPolyline({0, 0, 0, 10, 0, 0, 10, 10, 0, 0, 10, 0});
    sq->SetClosed(true);
    EXPECT_DOUBLE_EQ(sq->Length(), 40.0);
    sq->SetType(PolylineType::QuadSpline);
    const auto& fit = sq->Data().fitPoints;
    ASSERT_GT(fit.size(), 8u);
    EXPECT_NEAR(Distance(fit.front(), fit.back()), 0.0, 1e-9);  // a closed curve comes back
    for (const auto& p : fit) {
        // Rounded inside the square: touching its sides, far from its corners.
        EXPECT_GE(p.x, -1e-9);
        EXPECT_LE(p.x, 10 + 1e-9);
        for (const Point3d c : {Point3d{0, 0}, Point3d{10, 0}, Point3d{10, 10}, Point3d{0, 10}})
            EXPECT_GT(Distance(p, c), 1.7);  // a quadratic cuts a corner at a quarter of each side
    }
    sq->SetType(PolylineType::FitCurve);  // through every vertex
    auto passes = [&](const Point3d& v) {
        for (const auto& p : sq->Data().fitPoints)
            if (Distance(p, v) < 1e-9) return true;
        return false;
    };
    EXPECT_TRUE(passes({10, 0, 0}));
    EXPECT_TRUE(passes({10, 10, 0}));
    sq->SetCoordinate(2, {20, 20, 0});  // the curve follows its frame
    EXPECT_TRUE(passes({20, 20, 0}));
}

TEST(Curves, WidePolylinesAreFoundOverTheirWidth)
{
    Document doc;
    LWPolyline* p = doc.ModelSpace().AddLightWeightPolyline({0, 0, 100, 0});
    EXPECT_FALSE(CrossesBox(*p, Box::Around({50, 0.8}, 0.1)));
    p->SetConstantWidth(2.0);
    EXPECT_TRUE(CrossesBox(*p, Box::Around({50, 0.8}, 0.1)));
    EXPECT_FALSE(CrossesBox(*p, Box::Around({50, 1.2}, 0.1)));
    EXPECT_TRUE(InsidePolygon(*p, {{-5, -5, 0}, {105, -5, 0}, {105, 5, 0}, {-5, 5, 0}}));
    EXPECT_FALSE(InsidePolygon(*p, {{-5, -5, 0}, {50, -5, 0}, {50, 5, 0}, {-5, 5, 0}}));
}

TEST(Curves, MultiLineTextLaysOutItsLines)
{
    Document doc;
    doc.SetVariable("TEXTSIZE", 2.0);
    MText* m = doc.ModelSpace().AddMText({0, 0, 0}, 50, "{\\fArial|b0|i0;LINHA UM}\\PDOIS");
    EXPECT_DOUBLE_EQ(m->Height(), 2.0);
    EXPECT_EQ(m->AttachmentPoint(), 1);  // top left
    Point3d lo, hi;
    m->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.y, 0.0, 1e-9);  // hangs below its insertion point
    // "LINHA UM", the longer line, in Arial (its widths over its cap height), the codes left out.
    EXPECT_NEAR(hi.x - lo.x, 2 * (1139 + 569 + 1479 + 1479 + 1366 + 569 + 1479 + 1706) / 1409.0, 1e-9);
    EXPECT_NEAR(lo.y, -(2 + 2 * 5.0 / 3.0), 1e-9);
    m->SetAttachmentPoint(9);  // bottom right
    m->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 0.0, 1e-9);
    EXPECT_NEAR(lo.y, 0.0, 1e-9);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, m->SetAttachmentPoint(10));
    m->Move({0, 0, 0}, {5, 5, 0});
    EXPECT_EQ(m->InsertionPoint(), (Point3d{5, 5, 0}));
}

TEST(Curves, BackwardAndUpsideDownTextExtendTheOtherWay)
{
    Document doc;
    // As wide as A B C D E of the shape fonts' stand-in: advances over its cap height.
    Text* t = doc.ModelSpace().AddText("ABCDE", {0, 0, 0}, 1);
    t->SetBackward(true);
    Point3d lo, hi;
    t->GetBoundingBox(lo, hi);
    EXPECT_NEAR(lo.x, -(1401 + 1405 + 1430 + 1577 + 1294) / 1493.0, 1e-9);
    EXPECT_NEAR(hi.x, 0, 1e-9);
    t->SetUpsideDown(true);
    t->GetBoundingBox(lo, hi);
    EXPECT_NEAR(lo.y, -1, 1e-9);
    // Aligned text stretches between its two points.
    Text* a = doc.ModelSpace().AddText("ABCD", {0, 0, 0}, 1);
    a->SetAlignment(Alignment::Aligned);
    a->SetTextAlignmentPoint({0, 32, 0});
    a->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.y, 32, 1e-9);
    EXPECT_NEAR(hi.x - lo.x, 32 / ((1401 + 1405 + 1430 + 1577) / 1493.0), 1e-9);  // as tall as 32 is wide
}

// Long splines: points found by span search (repeated knots included), the box
// kept until the geometry changes, and fit points met by the curve built through
// them however many there are.
TEST(Curves, LongSplinesKeepTheirBoxInStepAndPassThroughTheirFitPoints)
{
    Document doc;
    SplineData d;
    d.degree = 3;
    const int n = 3000;
    for (int i = 0; i < n; ++i) d.controlPoints.push_back({i * 2.0, (i % 2) * 4.0, 0});
    for (int k = 0; k < 4; ++k) d.knots.push_back(0);
    for (int k = 1; k <= n - 4; ++k)
        d.knots.push_back(k < 1500 ? k : k - (k % 3 == 1));  // doubled knots past the middle
    for (int k = 0; k < 4; ++k) d.knots.push_back(d.knots.back() + (k == 0 ? 1 : 0));
    Spline* s = doc.ModelSpace().Append(std::make_unique<Spline>(doc, d));
    // Clamped ends: the curve starts and ends on the end control points; on a
    // doubled knot the curve is where the span on its right starts.
    EXPECT_NEAR(s->PointAt(s->StartParameter()).x, 0.0, 1e-9);
    EXPECT_NEAR(s->PointAt(s->EndParameter()).x, (n - 1) * 2.0, 1e-9);
    const Point3d atKnot = s->PointAt(2001.0), justAfter = s->PointAt(2001.0 + 1e-9);
    EXPECT_NEAR(atKnot.x, justAfter.x, 1e-6);
    EXPECT_NEAR(atKnot.y, justAfter.y, 1e-6);

    Point3d lo, hi;
    s->GetBoundingBox(lo, hi);
    EXPECT_LE(hi.y, 4.0);
    // Control point edits, Move and a changed order all reach the kept box and the index.
    s->SetControlPoint(1500, {3000, 500, 0});
    s->GetBoundingBox(lo, hi);
    EXPECT_GT(hi.y, 100.0);
    const Point3d peak = s->PointAt(s->Knots()[1500 + 2]);
    EXPECT_EQ(doc.ModelSpace().QueryBox(Box::Around(peak, 0.5)), std::vector<Entity*>{s});
    std::vector<double> flat = s->ControlPoints();
    flat[1500 * 3 + 1] = -500;
    s->SetControlPoints(flat);
    s->GetBoundingBox(lo, hi);
    EXPECT_LE(hi.y, 4.0);
    EXPECT_LT(lo.y, -100.0);
    EXPECT_TRUE(doc.ModelSpace().QueryBox(Box::Around(peak, 0.5)).empty());
    s->Move({0, 0, 0}, {0, 1000, 0});
    s->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.y, 1004.0, 1.0);
    // A crossing pick looks at the outline as it now stands, near the pick only.
    const Point3d on = s->PointAt(1234.5);
    EXPECT_TRUE(CrossesBox(*s, Box::Around(on, 0.01)));
    EXPECT_FALSE(CrossesBox(*s, Box::Around({on.x, on.y - 1000, 0}, 0.01)));
    const Point3d before = s->PointAt(1234.5);
    s->ElevateOrder(5);
    EXPECT_NEAR(s->PointAt(1234.5).y, before.y, 1e-6);
    Point3d lo2, hi2;
    s->GetBoundingBox(lo2, hi2);
    EXPECT_NEAR(lo2.y, lo.y, 1.0);

    // 5,000 fit points: the curve passes through each, at its chord parameter.
    std::vector<double> fit;
    for (int i = 0; i < 5000; ++i) {
        fit.push_back(i * 1.5 + std::sin(i * 0.37));
        fit.push_back(30.0 * std::sin(i * 0.02));
        fit.push_back(0.25 * i);
    }
    Spline* f = doc.ModelSpace().AddSpline(fit, {1, 0, 0}, {1, 1, 0});
    ASSERT_EQ(f->NumberOfControlPoints(), 5002);
    const std::vector<double> U = f->Knots();
    for (int k = 0; k < 5000; k += 7) {
        const Point3d q = f->PointAt(U[static_cast<std::size_t>(k + 3)]);
        EXPECT_NEAR(q.x, fit[3 * k], 1e-6) << k;
        EXPECT_NEAR(q.y, fit[3 * k + 1], 1e-6) << k;
        EXPECT_NEAR(q.z, fit[3 * k + 2], 1e-6) << k;
    }
    // Points that make the system singular are refused, as before.
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput,
                      doc.ModelSpace().AddSpline({0, 0, 0, 1, 0, 0, 1, 0, 0, 2, 0, 0}, {}, {}));

    // The box is that of the drawn outline to the last bit, asked before the
    // outline is sampled (a drawing opened): for the curve through fit
    // points, the zigzag with doubled knots, and either made rational with
    // one heavy weight (which pulls the curve out beyond its neighbours).
    auto outlineBox = [](const SplineData& data) {
        Box b;
        for (const Point3d& q : SampleSpline(data)) b.Add(q);
        return b;
    };
    for (SplineData data : {f->Data(), s->Data()}) {
        for (const bool rational : {false, true}) {
            if (rational) {
                data.weights.assign(data.controlPoints.size(), 1.0);
                data.weights[data.controlPoints.size() / 2] = 40.0;
            }
            Document fresh;
            auto* c = fresh.ModelSpace().Append(std::make_unique<Spline>(fresh, data));
            const Box expected = outlineBox(data);
            EXPECT_EQ(c->Extents().min, expected.min) << rational;
            EXPECT_EQ(c->Extents().max, expected.max) << rational;
        }
    }
}
