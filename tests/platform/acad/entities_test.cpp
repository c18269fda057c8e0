// Entity kinds and the members the system reads and writes on them.
#include <gtest/gtest.h>

#include <cmath>

#include "CoreTestUtil.h"
#include "platform/acad/Acad.h"

using namespace acad;

TEST(Entities, CommonMembersAndObjectNames)
{
    Document doc;
    Block& ms = doc.ModelSpace();
    EXPECT_EQ(ms.AddPoint({0, 0, 0})->ObjectName(), "AcDbPoint");
    EXPECT_EQ(ms.AddLine({0, 0}, {1, 0})->ObjectName(), "AcDbLine");
    EXPECT_EQ(ms.AddCircle({0, 0, 0}, 1)->ObjectName(), "AcDbCircle");
    EXPECT_EQ(ms.AddArc({0, 0, 0}, 1, 0, 1)->ObjectName(), "AcDbArc");
    EXPECT_EQ(ms.AddEllipse({0, 0, 0}, {2, 0, 0}, 0.5)->ObjectName(), "AcDbEllipse");
    EXPECT_EQ(ms.AddText("t", {0, 0, 0}, 1)->ObjectName(), "AcDbText");
    EXPECT_EQ(ms.AddMText({0, 0, 0}, 10, "m")->ObjectName(), "AcDbMText");
    EXPECT_EQ(ms.AddLightWeightPolyline({0, 0, 1, 1})->ObjectName(), "AcDbPolyline");
    EXPECT_EQ(ms.AddPolyline({0, 0, 0, 1, 1, 0})->ObjectName(), "AcDb2dPolyline");
    EXPECT_EQ(ms.Add3DPoly({0, 0, 0, 1, 1, 1})->ObjectName(), "AcDb3dPolyline");
    EXPECT_EQ(ms.AddSpline({0, 0, 0, 1, 1, 0, 2, 0, 0}, {}, {})->ObjectName(), "AcDbSpline");
    EXPECT_EQ(ms.AddHatch(1, "SOLID", false)->ObjectName(), "AcDbHatch");
    EXPECT_EQ(ms.Add3DFace({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0})->ObjectName(), "AcDbFace");
    EXPECT_EQ(ms.AddDimAligned({0, 0, 0}, {10, 0, 0}, {5, 2, 0})->ObjectName(), "AcDbAlignedDimension");
    EXPECT_EQ(ms.Count(), 14);

    Line* l = ms.AddLine({0, 0}, {10, 0});
    EXPECT_EQ(l->Color(), Color::ByLayer);
    l->SetColor(6);
    EXPECT_EQ(l->Color(), 6);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, l->SetColor(257));
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, l->SetLayer("NADA"));
    EXPECT_EQ(l->Linetype(), "ByLayer");
    doc.SetVariable("CECOLOR", "3");
    EXPECT_EQ(ms.AddPoint({0, 0, 0})->Color(), 3);  // current colour for new entities
    doc.SetVariable("CECOLOR", "BYLAYER");
    EXPECT_EQ(ms.AddPoint({0, 0, 0})->Color(), 256);

    l->Rotate({0, 0, 0}, kPi / 2);
    EXPECT_NEAR(l->EndPoint().x, 0.0, 1e-12);
    EXPECT_NEAR(l->EndPoint().y, 10.0, 1e-12);
    l->Move({0, 0, 0}, {1, 1, 0});
    EXPECT_NEAR(l->StartPoint().x, 1.0, 1e-12);
    l->SetXData({1001, 1000}, {"APP", "x"});
    Entity* m = l->Mirror({0, 0, 0}, {0, 1, 0});
    ASSERT_NE(m, l);
    EXPECT_NEAR(As<Line>(m)->StartPoint().x, -1.0, 1e-12);
    EXPECT_EQ(As<Line>(m)->Color(), 6);
    EXPECT_TRUE(m->HasXData());
    EXPECT_EQ(ms.LastEntity(), m);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, l->Mirror({0, 0, 0}, {0, 0, 0}));
}

TEST(Entities, LightweightPolylineVerticesBulgesAndWidths)
{
    Document doc;
    LWPolyline* p = doc.ModelSpace().AddLightWeightPolyline({0, 0, 10, 0, 10, 10});
    EXPECT_EQ(p->NumberOfVertices(), 3);
    EXPECT_EQ(p->Coordinates(), (std::vector<double>{0, 0, 10, 0, 10, 10}));
    EXPECT_DOUBLE_EQ(p->Length(), 20.0);
    p->SetBulge(0, 1.0);  // a half circle of diameter 10
    EXPECT_NEAR(p->Length(), 5 * kPi + 10, 1e-9);
    Point3d lo, hi;
    p->GetBoundingBox(lo, hi);
    EXPECT_NEAR(lo.y, -5.0, 1e-9);  // the bulge swings below the chord
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, p->GetBulge(3));

    // Appended after a bulged vertex: the drawing's box takes in the new arc's swing.
    p->SetBulge(2, 1.0);
    p->AddVertex(3, {0, 10, 0});
    EXPECT_NEAR(doc.ModelSpace().Extents().max.y, 15.0, 1e-9);
    p->SetBulge(2, 0.0);
    p->SetClosed(true);
    EXPECT_EQ(p->NumberOfVertices(), 4);
    EXPECT_DOUBLE_EQ(p->Coordinate(3).x, 0.0);
    p->SetElevation(7.5);
    EXPECT_DOUBLE_EQ(p->Coordinate(1).z, 7.5);

    p->SetConstantWidth(3.0);
    EXPECT_DOUBLE_EQ(p->ConstantWidth(), 3.0);
    p->SetWidth(0, 0.0, 1.5);
    double s, e;
    p->GetWidth(0, s, e);
    EXPECT_DOUBLE_EQ(e, 1.5);
    p->GetWidth(1, s, e);
    EXPECT_DOUBLE_EQ(s, 3.0);
    EXPECT_ACAD_ERROR(ErrorCode::NotApplicable, p->ConstantWidth());

    // Coordinates set whole (a grid rebuilt): bulges of remaining vertices kept.
    p->SetCoordinates({0, 0, 5, 0});
    EXPECT_EQ(p->NumberOfVertices(), 2);
    EXPECT_DOUBLE_EQ(p->GetBulge(0), 1.0);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, p->SetCoordinates({0, 0, 1}));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.ModelSpace().AddLightWeightPolyline({0, 0}));

    // A long polyline (from 32 vertices on it keeps its box) opened from a file
    // and extended at either end: the box takes in each new segment.
    std::string file = "0\nSECTION\n2\nENTITIES\n0\nLWPOLYLINE\n8\n0\n90\n32\n70\n0\n";
    for (int i = 0; i < 32; ++i)  // a slanted zigzag from (0, 0) to (31, 16.5)
        file += "10\n" + std::to_string(i) + "\n20\n" + std::to_string(0.5 * i + i % 2) + "\n";
    Document opened;
    ReadDxfText(opened, file + "0\nENDSEC\n0\nEOF\n", "longa.dxf");
    auto* longPl = dynamic_cast<LWPolyline*>(opened.ModelSpace().Item(0));
    ASSERT_NE(longPl, nullptr);
    ASSERT_EQ(longPl->NumberOfVertices(), 32);
    EXPECT_EQ(opened.ModelExtents().min, (Point3d{0, 0, 0}));
    EXPECT_EQ(longPl->Extents().max, (Point3d{31, 16.5, 0}));
    longPl->AddVertex(0, {-4, -3, 0});
    for (const Box& b : {longPl->Extents(), opened.ModelExtents()}) {
        EXPECT_EQ(b.min, (Point3d{-4, -3, 0}));
        EXPECT_EQ(b.max, (Point3d{31, 16.5, 0}));
    }
    longPl->AddVertex(33, {45, 30, 0});
    for (const Box& b : {longPl->Extents(), opened.ModelExtents()}) {
        EXPECT_EQ(b.min, (Point3d{-4, -3, 0}));
        EXPECT_EQ(b.max, (Point3d{45, 30, 0}));
    }
}

TEST(Entities, PolylineCubicFitGeneratesTheCurve)
{
    Document doc;
    Polyline2D* p = doc.ModelSpace().AddPolyline({0, 0, 5, 10, 10, 5, 20, 0, 5, 30, 10, 5});
    EXPECT_DOUBLE_EQ(p->Elevation(), 5.0);
    EXPECT_EQ(p->Type(), PolylineType::Simple);
    EXPECT_TRUE(p->Data().fitPoints.empty());
    p->SetType(PolylineType::CubicSpline);
    EXPECT_EQ(p->Type(), 3);
    const auto& fit = p->Data().fitPoints;
    ASSERT_GT(fit.size(), 8u);
    // The B-spline starts and ends on the frame's ends and stays inside its hull.
    EXPECT_NEAR(fit.front().x, 0, 1e-9);
    EXPECT_NEAR(fit.back().x, 30, 1e-9);
    for (const auto& q : fit) {
        EXPECT_GE(q.y, -1e-9);
        EXPECT_LE(q.y, 10 + 1e-9);
    }
    EXPECT_LT(p->Length(), 4 * std::hypot(10, 10));
    // The frame is what Coordinates gives.
    EXPECT_EQ(p->Coordinates().size(), 12u);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, p->SetType(4));
    p->SetType(PolylineType::Simple);
    EXPECT_TRUE(p->Data().fitPoints.empty());

    Polyline3D* p3 = doc.ModelSpace().Add3DPoly({0, 0, 1, 1, 1, 2, 2, 0, 3});
    std::vector<double> flat = p3->Coordinates();
    for (std::size_t i = 2; i < flat.size(); i += 3) flat[i] = 0;
    p3->SetCoordinates(flat);
    EXPECT_DOUBLE_EQ(p3->Coordinate(2).z, 0.0);
}

TEST(Entities, SplineElevateOrderKeepsTheCurve)
{
    Document doc;
    Spline* s = doc.ModelSpace().AddSpline({0, 0, 0, 10, 10, 0, 20, 0, 0, 30, 10, 0, 40, 0, 0}, {}, {});
    EXPECT_EQ(s->Degree(), 3);
    // Interpolation: the curve passes through every fit point.
    auto knots = s->Knots();
    EXPECT_NEAR(s->PointAt(s->StartParameter()).x, 0, 1e-9);
    EXPECT_NEAR(s->PointAt(s->EndParameter()).x, 40, 1e-9);
    std::vector<Point3d> before;
    for (int k = 0; k <= 20; ++k)
        before.push_back(s->PointAt(s->StartParameter() + (s->EndParameter() - s->StartParameter()) * k / 20));

    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, s->ElevateOrder(4));  // not above the current order
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, s->ElevateOrder(27));
    const int n0 = s->NumberOfControlPoints();
    s->ElevateOrder(20);
    EXPECT_EQ(s->Degree(), 19);
    EXPECT_GT(s->NumberOfControlPoints(), n0);
    for (int k = 0; k <= 20; ++k) {
        Point3d q = s->PointAt(s->StartParameter() + (s->EndParameter() - s->StartParameter()) * k / 20);
        EXPECT_NEAR(q.x, before[k].x, 1e-6);
        EXPECT_NEAR(q.y, before[k].y, 1e-6);
    }
    // The control polygon now hugs the curve: its vertices lie close to it.
    Point3d lo, hi;
    s->GetBoundingBox(lo, hi);
    for (int i = 0; i < s->NumberOfControlPoints(); ++i) {
        Point3d c = s->GetControlPoint(i);
        EXPECT_GE(c.y, lo.y - 1.0);
        EXPECT_LE(c.y, hi.y + 1.0);
    }
    // Control points rewritten with z 0 (the drawing repair).
    std::vector<double> cps = s->ControlPoints();
    for (std::size_t i = 2; i < cps.size(); i += 3) cps[i] = 0;
    s->SetControlPoints(cps);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, s->SetControlPoints({0, 0, 0}));
}

TEST(Entities, HatchLoopsFromObjectsAndTheirRebuild)
{
    Document doc;
    LWPolyline* border = doc.ModelSpace().AddLightWeightPolyline({0, 0, 10, 0, 10, 10, 0, 10});
    border->SetClosed(true);
    Circle* hole = doc.ModelSpace().AddCircle({5, 5, 0}, 1);
    Hatch* h = doc.ModelSpace().AddHatch(HatchPatternType::PreDefined, "ANSI31", true);
    h->AppendOuterLoop({border});
    h->AppendInnerLoop({hole});
    EXPECT_EQ(h->NumberOfLoops(), 2);
    EXPECT_NEAR(h->Area(), 100 - kPi, 1e-2);
    Point3d lo, hi;
    h->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 10, 1e-9);

    // An associative hatch is rebuilt from its boundary objects, which moved meanwhile.
    border->Move({0, 0, 0}, {100, 0, 0});
    hole->Move({0, 0, 0}, {100, 0, 0});
    h->Evaluate();
    h->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 110, 1e-9);
    // Moved on its own (as the repair does around -HATCHEDIT) it no longer follows them.
    h->Move({105, 5, 0}, {0, 0, 0});
    EXPECT_FALSE(h->AssociativeHatch());
    h->Evaluate();
    h->GetBoundingBox(lo, hi);
    EXPECT_NEAR(lo.x, -5, 1e-9);
    h->Move({0, 0, 0}, {105, 5, 0});
    h->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 110, 1e-9);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, h->AppendOuterLoop({doc.ModelSpace().AddText("x", {0, 0, 0}, 1)}));
}

TEST(Entities, DimensionTextOverrideAndFaces)
{
    Document doc;
    DimAligned* d = doc.ModelSpace().AddDimAligned({0, 0, 0}, {3, 4, 0}, {0, 2, 0});
    EXPECT_DOUBLE_EQ(d->Measurement(), 5.0);
    EXPECT_EQ(d->DisplayedText(), "5.0000");
    d->SetTextOverride("<> m");
    EXPECT_EQ(d->DisplayedText(), "5.0000 m");
    d->SetTextOverride("12,5");
    EXPECT_EQ(d->TextOverride(), "12,5");
    d->SetLayer("0");

    Face3D* f = doc.ModelSpace().Add3DFace({0, 0, 1}, {1, 0, 2}, {1, 1, 3}, {0, 0, 1});
    EXPECT_EQ(f->Coordinates().size(), 12u);
    EXPECT_DOUBLE_EQ(f->Coordinate(2).z, 3.0);
    f->SetInvisibleEdge(0, true);
    EXPECT_TRUE(f->GetInvisibleEdge(0));

    Ellipse* e = doc.ModelSpace().AddEllipse({0, 0, 0}, {4, 0, 0}, 0.5);
    Point3d lo, hi;
    e->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 4, 1e-9);
    EXPECT_NEAR(hi.y, 2, 1e-3);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.ModelSpace().AddEllipse({0, 0, 0}, {4, 0, 0}, 1.5));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.ModelSpace().AddCircle({0, 0, 0}, 0));

    Arc* a = doc.ModelSpace().AddArc({0, 0, 0}, 2, 3 * kPi / 2, kPi / 2);  // through angle 0
    a->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 2, 1e-12);
    EXPECT_NEAR(lo.x, 0, 1e-12);
    EXPECT_NEAR(a->TotalAngle(), kPi, 1e-12);
}
