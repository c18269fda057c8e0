// Move, Rotate, Mirror and copies across every kind that has a direction or a side.
#include <gtest/gtest.h>

#include <cmath>

#include "CoreTestUtil.h"
#include "platform/acad/Acad.h"

using namespace acad;

namespace {
void ExpectNear(const Point3d& p, const Point3d& q, double tol = 1e-9)
{
    EXPECT_NEAR(p.x, q.x, tol);
    EXPECT_NEAR(p.y, q.y, tol);
    EXPECT_NEAR(p.z, q.z, tol);
}

Box BoxOf(const Entity& e)
{
    Point3d lo, hi;
    e.GetBoundingBox(lo, hi);
    return Box::FromCorners(lo, hi);
}
}  // namespace

TEST(Transforms, MirroredCurvesKeepTheirShapeOnTheOtherSide)
{
    Document doc;
    Block& ms = doc.ModelSpace();
    // Quarter arc from (2,0) to (0,2), mirrored about the Y axis: from (-2,0) to (0,2).
    Arc* a = ms.AddArc({0, 0, 0}, 2, 0, kPi / 2);
    auto* ma = As<Arc>(a->Mirror({0, 0, 0}, {0, 1, 0}));
    ASSERT_NE(ma, nullptr);
    Box b = BoxOf(*ma);
    EXPECT_NEAR(b.min.x, -2, 1e-9);
    EXPECT_NEAR(b.max.x, 0, 1e-9);
    EXPECT_NEAR(b.max.y, 2, 1e-9);
    EXPECT_NEAR(ma->TotalAngle(), kPi / 2, 1e-12);

    // Elliptical quarter from (2,0) to (0,1): mirrored the same way.
    Ellipse* e = ms.AddEllipse({0, 0, 0}, {2, 0, 0}, 0.5);
    EllipseData d = e->Data();
    d.endParameter = kPi / 2;
    e->SetData(d);
    auto* me = As<Ellipse>(e->Mirror({0, 0, 0}, {0, 1, 0}));
    ExpectNear(me->PointAtParameter(me->StartParameter()), {0, 1, 0});
    ExpectNear(me->PointAtParameter(me->EndParameter()), {-2, 0, 0});

    // Bulged polyline: the arc swings to the mirrored side.
    LWPolyline* p = ms.AddLightWeightPolyline({0, 0, 10, 0});
    p->SetBulge(0, 1.0);  // swings below y = 0
    auto* mp = As<LWPolyline>(p->Mirror({0, 0, 0}, {1, 0, 0}));
    EXPECT_NEAR(BoxOf(*mp).max.y, 5, 1e-9);
    EXPECT_NEAR(BoxOf(*mp).min.y, 0, 1e-9);
    p->Rotate({0, 0, 0}, kPi);
    EXPECT_NEAR(BoxOf(*p).max.y, 5, 1e-9);
    EXPECT_NEAR(BoxOf(*p).min.x, -10, 1e-9);

    Polyline2D* p2 = ms.AddPolyline({0, 0, 0, 10, 0, 0});
    p2->SetBulge(0, -1.0);  // swings above
    p2->SetWidth(0, 0.5, 1.5);
    p2->Move({0, 0, 0}, {0, 0, 3});
    EXPECT_DOUBLE_EQ(p2->Elevation(), 3.0);
    // Its band, 1 wide at the top of the arc, is in its box (held within half
    // a percent of the arc's radius).
    EXPECT_GE(BoxOf(*p2).max.y, 5.5);
    EXPECT_LE(BoxOf(*p2).max.y, 5.5 * 1.005);
    double s, w;
    p2->GetWidth(0, s, w);
    EXPECT_DOUBLE_EQ(w, 1.5);
    EXPECT_ACAD_ERROR(ErrorCode::NotApplicable, p2->ConstantWidth());
}

TEST(Transforms, BlockReferencesMirrorIntoNegativeScale)
{
    Document doc;
    Block* b = doc.Blocks().Add({0, 0, 0}, "SETA");
    b->AddLine({0, 0}, {2, 0});
    b->AddLine({2, 0}, {1.5, 0.5});
    b->AddAttribute(0.5, 0, "", {0, 1, 0}, "N", "7");
    BlockReference* r = doc.ModelSpace().InsertBlock({10, 10, 0}, "SETA", 1, 1, 1, kPi / 6);
    const Point3d attr0 = r->GetAttributes()[0]->InsertionPoint();

    auto* m = As<BlockReference>(r->Mirror({0, 0, 0}, {1, 0, 0}));  // about the X axis
    ASSERT_NE(m, nullptr);
    EXPECT_NEAR(m->Rotation(), NormalizeAngle(-kPi / 6), 1e-12);
    EXPECT_DOUBLE_EQ(m->XScaleFactor(), 1.0);
    EXPECT_DOUBLE_EQ(m->YScaleFactor(), -1.0);
    ExpectNear(m->InsertionPoint(), {10, -10, 0});
    ASSERT_EQ(m->GetAttributes().size(), 1u);
    ExpectNear(m->GetAttributes()[0]->InsertionPoint(), {attr0.x, -attr0.y, 0});
    EXPECT_EQ(m->GetAttributes()[0]->TextString(), "7");
    // The copy's geometry is the mirror image of the original's.
    Box ob = BoxOf(*r), mb = BoxOf(*m);
    EXPECT_NEAR(mb.min.y, -ob.max.y, 1e-9);
    EXPECT_NEAR(mb.max.x, ob.max.x, 1e-9);

    // Rotating about a point turns the placement and carries the attributes.
    r->Rotate({10, 10, 0}, kPi / 2);
    EXPECT_NEAR(r->Rotation(), 2 * kPi / 3, 1e-12);
    Point3d a1 = r->GetAttributes()[0]->InsertionPoint();
    EXPECT_NEAR(Distance(a1, {10, 10, 0}), Distance(attr0, {10, 10, 0}), 1e-9);

    // A copy is a new reference with its own attributes.
    auto* c = As<BlockReference>(r->Copy());
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c->GetAttributes()[0], r->GetAttributes()[0]);
    c->GetAttributes()[0]->SetTextString("8");
    EXPECT_EQ(r->GetAttributes()[0]->TextString(), "7");
    EXPECT_EQ(doc.ModelSpace().Count(), 3);
    // Deleting a reference takes its attributes along.
    AttributeReference* ca = c->GetAttributes()[0];
    c->Delete();
    EXPECT_TRUE(ca->IsErased());
    EXPECT_ACAD_ERROR(ErrorCode::ObjectErased, c->GetAttributes());
}

TEST(Transforms, TextsFollowRotationAndMirror)
{
    Document doc;
    Text* t = doc.ModelSpace().AddText("AB", {0, 0, 0}, 1);
    t->SetAlignment(Alignment::MiddleCenter);
    t->SetTextAlignmentPoint({10, 0, 0});
    t->Rotate({0, 0, 0}, kPi / 2);
    ExpectNear(t->TextAlignmentPoint(), {0, 10, 0});
    EXPECT_NEAR(t->Rotation(), kPi / 2, 1e-12);
    Box b = BoxOf(*t);
    EXPECT_NEAR(b.Center().x, 0, 1e-9);
    EXPECT_NEAR(b.Center().y, 10, 1e-9);

    auto* m = As<Text>(t->Mirror({5, 0, 0}, {5, 1, 0}));
    ASSERT_NE(m, nullptr);
    ExpectNear(m->TextAlignmentPoint(), {10, 10, 0});
    EXPECT_TRUE(m->UpsideDown() != t->UpsideDown() || m->Backward() != t->Backward());
    Box mb = BoxOf(*m);
    EXPECT_NEAR(mb.Center().x, 10, 1e-9);
    EXPECT_NEAR(mb.Width(), b.Width(), 1e-9);
}

TEST(Transforms, HatchEdgesOfBothTurningsAndPatterns)
{
    Document doc;
    Hatch* h = doc.ModelSpace().AddHatch(HatchPatternType::PreDefined, "ANSI31", false);
    HatchData d = h->Data();
    HatchLoop loop;
    HatchEdge line;
    line.kind = HatchEdge::LineEdge;
    line.start = {-5, 0, 0};
    line.end = {5, 0, 0};
    HatchEdge arc;  // clockwise from angle 0 to angle π, below the line... stored mirrored
    arc.kind = HatchEdge::ArcEdge;
    arc.center = {0, 0, 0};
    arc.radius = 5;
    arc.startAngle = 0;
    arc.endAngle = kPi;
    arc.counterClockwise = false;
    loop.edges = {line, arc};
    d.loops.push_back(loop);
    h->SetData(d);
    Box b = BoxOf(*h);
    EXPECT_NEAR(b.min.y, -5, 1e-9);  // clockwise from 0 to −π: the lower half
    EXPECT_NEAR(b.max.y, 0, 1e-9);
    EXPECT_NEAR(h->Area(), kPi * 25 / 2, 0.05);

    h->Mirror({0, 0, 0}, {1, 0, 0})->Delete();
    h->Rotate({0, 0, 0}, kPi);
    b = BoxOf(*h);
    EXPECT_NEAR(b.max.y, 5, 1e-9);
    EXPECT_NEAR(h->PatternAngle(), kPi, 1e-12);
    h->SetPattern(HatchPatternType::PreDefined, "solid");
    EXPECT_TRUE(h->Data().solid);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, h->SetPattern(3, "X"));
}

TEST(Transforms, KindsTheHostDoesNotModelStillMoveAndDraw)
{
    Document doc;
    std::vector<RawGroup> groups{{10, "1.5"}, {20, "2"}, {30, "0"}, {10, "4"}, {20, "6"}, {30, "0"}, {1, "texto"}};
    RawEntity* r = doc.ModelSpace().Append(std::make_unique<RawEntity>(doc, "LEADER", "AcDbLeader", groups));
    EXPECT_EQ(r->DxfName(), "LEADER");
    EXPECT_EQ(r->ObjectName(), "AcDbLeader");
    Box b = BoxOf(*r);
    EXPECT_DOUBLE_EQ(b.min.x, 1.5);
    EXPECT_DOUBLE_EQ(b.max.y, 6.0);
    r->Move({0, 0, 0}, {10, 0, 0});
    EXPECT_EQ(r->Groups()[0].value, "11.5");
    EXPECT_EQ(r->Groups()[6].value, "texto");
    EXPECT_EQ(doc.ModelSpace().QueryBox(Box::Around({12, 4}, 0.01)), std::vector<Entity*>{r});

    DimAligned* dim = doc.ModelSpace().AddDimAligned({0, 0, 0}, {10, 0, 0}, {5, 3, 0});
    dim->Rotate({0, 0, 0}, kPi / 2);
    EXPECT_NEAR(dim->Measurement(), 10, 1e-9);
    ExpectNear(dim->TextPosition(), {-3, 5, 0});
}

// Entities turned over (extrusion (0, 0, -1), as mirrored drawings hold them)
// move, turn and mirror where they are drawn, and a copy stays on them.
TEST(Transforms, EntitiesTurnedOverMoveTurnAndMirrorWhereTheyAreDrawn)
{
    Document doc;
    Block& ms = doc.ModelSpace();
    const Vector3d down{0, 0, -1};
    Circle* c = ms.AddCircle({0, 0, 0}, 2);
    CircleData cd = c->Data();
    cd.center = {20, 5, 0};  // (-20, 5) in the world
    cd.extrusion = down;
    c->SetData(cd);
    ExpectNear(c->Center(), {-20, 5, 0});
    c->Move({0, 0, 0}, {1, 2, 0});
    ExpectNear(c->Center(), {-19, 7, 0});
    EXPECT_NEAR(BoxOf(*c).min.x, -21, 1e-9);
    c->Rotate({0, 0, 0}, kPi / 2);
    ExpectNear(c->Center(), {-7, -19, 0});
    auto* mc = As<Circle>(c->Mirror({0, 0, 0}, {0, 1, 0}));
    ExpectNear(mc->Center(), {7, -19, 0});
    EXPECT_NEAR(BoxOf(*mc).max.x, 9, 1e-9);
    c->SetCenter({-30, 0, 0});
    ExpectNear(c->Center(), {-30, 0, 0});
    EXPECT_NEAR(BoxOf(*c).min.x, -32, 1e-9);

    // A quarter arc turned over: from (-33, 5) to (-30, 8); mirrored back across
    // the Y axis it runs from (30, 8) to (33, 5) or the other way, over the same points.
    Arc* a = ms.AddArc({0, 0, 0}, 3, 0, kPi / 2);
    ArcData ad = a->Data();
    ad.center = {30, 5, 0};
    ad.extrusion = down;
    a->SetData(ad);
    ExpectNear(a->StartPoint(), {-33, 5, 0});
    auto* ma = As<Arc>(a->Mirror({0, 0, 0}, {0, 1, 0}));
    const Box mb = BoxOf(*ma);
    EXPECT_NEAR(mb.min.x, 30, 1e-9);
    EXPECT_NEAR(mb.max.x, 33, 1e-9);
    EXPECT_NEAR(mb.max.y, 8, 1e-9);

    // A text turned over keeps reading the mirrored way where it is moved to.
    Text* t = ms.AddText("ABC", {0, 0, 0}, 2);
    TextData td = t->TextBase::Text();
    td.insertionPoint = td.alignmentPoint = {5, 2, 0};
    td.extrusion = down;
    t->SetText(td);
    const Box before = BoxOf(*t);
    EXPECT_NEAR(before.max.x, -5, 1e-9);
    t->Move({0, 0, 0}, {-10, 1, 0});
    ExpectNear(t->InsertionPoint(), {-15, 3, 0});
    EXPECT_NEAR(BoxOf(*t).max.x, -15, 1e-9);
    EXPECT_NEAR(BoxOf(*t).min.x, before.min.x - 10, 1e-9);
    t->SetInsertionPoint({0, 0, 0});
    EXPECT_NEAR(BoxOf(*t).max.x, 0, 1e-9);

    // A reference turned over: its block at x 10 to 17.7 lies at x -17.7 to -10.
    Block* b = doc.Blocks().Add({0, 0, 0}, "SETA");
    b->AddLine({10, 0, 0}, {17.7, 3, 0});
    BlockReference* r = ms.InsertBlock({0, 0, 0}, "SETA", 1, 1, 1, 0);
    BlockReferenceData rd = r->Data();
    rd.insertionPoint = {1, 0, 0};
    rd.extrusion = down;
    r->SetData(rd);
    ExpectNear(r->InsertionPoint(), {-1, 0, 0});
    EXPECT_NEAR(BoxOf(*r).min.x, -18.7, 1e-9);
    EXPECT_NEAR(BoxOf(*r).max.x, -11, 1e-9);
    r->Move({0, 0, 0}, {0, 10, 0});
    EXPECT_NEAR(BoxOf(*r).min.y, 10, 1e-9);
    EXPECT_NEAR(BoxOf(*r).min.x, -18.7, 1e-9);
    r->SetInsertionPoint({-2, 10, 0});
    EXPECT_NEAR(BoxOf(*r).max.x, -12, 1e-9);
    auto* mr = As<BlockReference>(r->Mirror({0, 0, 0}, {0, 1, 0}));
    EXPECT_NEAR(BoxOf(*mr).min.x, 12, 1e-9);
    EXPECT_NEAR(BoxOf(*mr).max.x, 19.7, 1e-9);
    EXPECT_NEAR(BoxOf(*mr).max.y, 13, 1e-9);
}
