// Points picked under ORTHOMODE: held to the line through the base point at
// SNAPANG or SNAPANG + 90°, whichever is nearer; typed coordinates, corners and
// points without a base left as given; object snaps and commands waiting on the
// command line alike.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "platform/acad/Acad.h"
#include "platform/acad/CommandLine.h"

using namespace acad;

namespace {

class Ortho : public ::testing::Test {
protected:
    Ortho() : script(std::make_shared<ScriptedInput>()), doc(*app.Documents().Add("Acad")), util(doc.Utility())
    {
        app.SetInputSource(script);
        app.ZoomCenter({0, 0, 0}, 100);
        doc.SetVariable("ORTHOMODE", Variant(1));
    }

    static void ExpectAt(const Point3d& p, double x, double y)
    {
        EXPECT_NEAR(p.x, x, 1e-9) << p.x << "," << p.y;
        EXPECT_NEAR(p.y, y, 1e-9) << p.x << "," << p.y;
    }

    Application app;
    std::shared_ptr<ScriptedInput> script;
    Document& doc;
    Utility& util;
};

TEST_F(Ortho, APickWithABasePointGoesToTheNearerOfTheTwoLines)
{
    const Point3d base(10, 20, 0);
    // SNAPANG 0: horizontal or vertical through the base, in every quadrant.
    script->Point({22, 23, 0}).Point({13, 2, 0}).Point({-5, 25, 0}).Point({8, 40, 5});
    ExpectAt(util.GetPoint(base, "Destino: "), 22, 20);
    ExpectAt(util.GetPoint(base, "Destino: "), 10, 2);
    ExpectAt(util.GetPoint(base, "Destino: "), -5, 20);
    const Point3d up = util.GetPoint(base, "Destino: ");
    ExpectAt(up, 10, 40);
    EXPECT_EQ(up.z, 0.0);  // on the base's line, at its elevation

    // A pick exactly between the two lines keeps SNAPANG's.
    script->Point({15, 25, 0});
    ExpectAt(util.GetPoint(base, "Destino: "), 15, 20);

    // SNAPANG 30°: the pick's projection on the 30° line, or on the 120° one.
    const double a = kPi / 6;
    doc.SetVariable("SNAPANG", Variant(a));
    script->Point({10 + 10 * std::cos(a) + 1, 20 + 10 * std::sin(a) - 1, 0})
        .Point({10 + 4 * std::cos(a + kPi / 2), 20 + 4 * std::sin(a + kPi / 2) + 0.5, 0});
    const Point3d p = util.GetPoint(base, "Destino: ");
    const double along = (p.x - 10) * std::cos(a) + (p.y - 20) * std::sin(a);
    ExpectAt(p, 10 + along * std::cos(a), 20 + along * std::sin(a));
    EXPECT_NEAR(along, 10 + std::cos(a) - std::sin(a), 1e-9);
    const Point3d q = util.GetPoint(base, "Destino: ");
    EXPECT_NEAR((q.x - 10) * std::cos(a) + (q.y - 20) * std::sin(a), 0.0, 1e-9);

    // ORTHOMODE 0: the pick as it is.
    doc.SetVariable("ORTHOMODE", Variant(0));
    script->Point({22, 23, 0});
    ExpectAt(util.GetPoint(base, "Destino: "), 22, 23);
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Ortho, TypedPointsCornersAndPointsWithoutBaseStayAsGiven)
{
    script->Text("17.5,23").Point({7, 9, 0}).Point({30, 26, 0}).Text("@4,5");
    ExpectAt(util.GetPoint(Point3d(10, 20, 0), "Destino: "), 17.5, 23);  // typed
    ExpectAt(util.GetPoint(std::nullopt, "Ponto: "), 7, 9);              // no base
    ExpectAt(util.GetCorner({10, 20, 0}, "Segundo ponto: "), 30, 26);    // a rectangle's corner
    // What the source sends as text is not a pick either (a relative point is
    // the window's to resolve; here it is no point and is asked again).
    script->Point({11, 29, 0});
    ExpectAt(util.GetPoint(Point3d(10, 20, 0), "Destino: "), 10, 29);
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Ortho, AnglesShownByAPointAndCommandsWaitingForOneFollowIt)
{
    // An angle shown from the base: 0° or 90° from SNAPANG, never in between.
    script->Point({10, 3, 0}).Point({-2, 9, 0});
    EXPECT_NEAR(util.GetAngle(Point3d(0, 0, 0), "Rotação:"), 0.0, 1e-12);
    EXPECT_NEAR(util.GetAngle(Point3d(0, 0, 0), "Rotação:"), kPi / 2, 1e-12);
    // Without a base the first point is free and the second held from it.
    script->Point({5, 5, 0}).Point({-7, 6, 0});
    EXPECT_NEAR(util.GetAngle(std::nullopt, "Direção:"), kPi, 1e-12);
    // A typed angle is taken as typed.
    script->Text("37");
    EXPECT_NEAR(util.GetAngle(Point3d(0, 0, 0), "Rotação:"), 37 * kPi / 180, 1e-12);

    // ROTATE left waiting for its angle: the point given is held too.
    Block* def = doc.Blocks().Add({0, 0, 0}, "ORTO");
    def->AddLine({0, 0, 0}, {5, 0, 0});
    BlockReference* ref = doc.ModelSpace().InsertBlock({100, 50, 0}, "ORTO", 1, 1, 1, 0);
    doc.SendCommand("ROTATE\rLAST\r\r100,50\r");
    script->Point({98, 60, 0});
    doc.CommandLine().Continue();
    EXPECT_NEAR(ref->Rotation(), kPi / 2, 1e-12);
    EXPECT_FALSE(doc.CommandActive());
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Ortho, AnObjectSnapIsHeldToTheLineToo)
{
    doc.ModelSpace().AddLine({20, 3, 0}, {30, 10, 0});
    doc.SetVariable("OSMODE", Variant(1));
    // The end (20,3) is snapped to, then put on the horizontal through the base.
    script->Point({20.3, 3.2, 0});
    ExpectAt(util.GetPoint(Point3d(0, 0, 0), "Destino: "), 20, 0);
    // Without ortho the snap alone.
    doc.SetVariable("ORTHOMODE", Variant(0));
    script->Point({20.3, 3.2, 0});
    ExpectAt(util.GetPoint(Point3d(0, 0, 0), "Destino: "), 20, 3);
}

}  // namespace
