// Selection sets on a real drawing: the collection, crossing against window on
// exact geometry, zero-size crossings through nested block geometry, the view
// limit, fences and polygons, and what a set does with its items.

#include <gtest/gtest.h>

#include <memory>

#include "platform/acad/Acad.h"

using namespace acad;

namespace {

using V = std::vector<Entity*>;

class SelectionTest : public ::testing::Test {
protected:
    SelectionTest() : doc(*app.Documents().Add("Acad")), ms(doc.ModelSpace()), sets(doc.SelectionSets())
    {
        ss = sets.Add("SStmp");
    }

    // The view that sees the whole working area of these tests.
    void ZoomAll() { app.ZoomCenter({0, 0, 0}, 1000); }

    V Crossing(const Point3d& a, const Point3d& b)
    {
        ss->Clear();
        ss->Select(acSelectionSetCrossing, a, b);
        return ss->Items();
    }
    V Window(const Point3d& a, const Point3d& b)
    {
        ss->Clear();
        ss->Select(acSelectionSetWindow, a, b);
        return ss->Items();
    }
    V Polygon(int mode, const std::vector<double>& xyz)
    {
        ss->Clear();
        ss->SelectByPolygon(mode, xyz);
        return ss->Items();
    }

    Application app;
    Document& doc;
    Block& ms;
    SelectionSets& sets;
    SelectionSet* ss;
};

TEST_F(SelectionTest, CollectionAddsFindsAndDeletesByName)
{
    EXPECT_EQ(sets.Count(), 1);
    SelectionSet* ss1 = sets.Add("SS1");
    Line* l = ms.AddLine({1, 1, 0}, {2, 2, 0});
    ss1->AddItems({l});
    // Adding an existing name (any case) fails and leaves that set as it was.
    try {
        sets.Add("ss1");
        FAIL() << "duplicate accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.Code(), ErrorCode::DuplicateKey);
    }
    EXPECT_EQ(sets.Item("SS1")->Count(), 1);
    EXPECT_EQ(sets.Item("ss1"), ss1);
    EXPECT_EQ(sets.Item(1), ss1);
    EXPECT_THROW(sets.Item("SS9"), Error);
    EXPECT_THROW(sets.Add(""), Error);

    std::vector<std::string> names;
    for (SelectionSet* s : sets) names.push_back(s->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"SStmp", "SS1"}));

    // Delete then Add again: the usual way the system empties a set.
    ss1->Delete();
    EXPECT_EQ(sets.Count(), 1);
    try {
        ss1->Count();
        FAIL() << "deleted set still usable";
    } catch (const Error& e) {
        EXPECT_EQ(e.Code(), ErrorCode::ObjectErased);
    }
    SelectionSet* again = sets.Add("SS1");
    EXPECT_EQ(again->Count(), 0);
    EXPECT_NE(again, ss1);

    // The active set cannot be deleted, only cleared.
    EXPECT_THROW(doc.ActiveSelectionSet().Delete(), Error);
}

TEST_F(SelectionTest, CrossingTouchesDrawnPartsWindowNeedsAllOfThem)
{
    ZoomAll();
    Circle* circle = ms.AddCircle({0, 0, 0}, 10);
    Arc* arc = ms.AddArc({100, 0, 0}, 10, 0, kPi / 2);  // first quadrant only
    LWPolyline* bulged = ms.AddLightWeightPolyline({200, 0, 210, 0});
    bulged->SetBulge(0, 1.0);  // half circle through (205, -5)
    LWPolyline* wide = ms.AddLightWeightPolyline({0, 100, 10, 100});
    wide->SetConstantWidth(4.0);
    Text* text = ms.AddText("ABCDE", {100, 100, 0}, 2.0);

    // A window inside the circle does not touch the curve.
    EXPECT_EQ(Crossing({-3, -3, 0}, {3, 3, 0}), V());
    EXPECT_EQ(Crossing({9, -1, 0}, {11, 1, 0}), V({circle}));
    EXPECT_EQ(Window({-11, -11, 0}, {11, 11, 0}), V({circle}));
    EXPECT_EQ(Window({-11, -11, 0}, {9, 11, 0}), V());

    // Only the drawn quarter of the arc counts, not its circle nor its box.
    EXPECT_EQ(Crossing({89, -1, 0}, {91, 1, 0}), V());
    EXPECT_EQ(Crossing({106, 6, 0}, {108, 8, 0}), V({arc}));
    EXPECT_EQ(Crossing({101, 1, 0}, {103, 3, 0}), V());  // inside the arc's box, away from the curve

    // The bulge bows the segment down.
    EXPECT_EQ(Crossing({204, -6, 0}, {206, -4, 0}), V({bulged}));
    EXPECT_EQ(Crossing({204, 4, 0}, {206, 6, 0}), V());

    // A wide polyline is touched on its band, away from its centre line.
    EXPECT_EQ(Crossing({4, 101.5, 0}, {6, 101.8, 0}), V({wide}));
    EXPECT_EQ(Crossing({4, 102.5, 0}, {6, 103, 0}), V());

    // A text counts by its box.
    EXPECT_EQ(Crossing({101, 100.5, 0}, {101.5, 101, 0}), V({text}));
}

TEST_F(SelectionTest, BlockReferencesAndHatchesAreTestedThroughWhatTheyDraw)
{
    ZoomAll();
    Block* def = doc.Blocks().Add({0, 0, 0}, "FIT");
    def->AddLine({0, 0, 0}, {5, 0, 0});
    def->AddCircle({0, 0, 0}, 1);
    def->AddAttribute(1.0, 0, "", {0, -20, 0}, "CODIGO", "X");
    // Scaled 2 and turned a quarter: the line runs from (300,0) up to (300,10).
    BlockReference* ref = ms.InsertBlock({300, 0, 0}, "FIT", 2, 2, 2, kPi / 2);
    EXPECT_EQ(Crossing({299.5, 4, 0}, {300.5, 6, 0}), V({ref}));
    EXPECT_EQ(Crossing({301, 0.5, 0}, {301.5, 1, 0}), V());  // inside the circle's box, off its curve
    // The attribute text, far from the geometry, is part of what the reference draws.
    const Point3d at = ref->GetAttributes().at(0)->InsertionPoint();
    EXPECT_EQ(Crossing(at - Point3d(0.1, 0.1, 0), at + Point3d(0.1, 0.1, 0)), V({ref}));

    // A window takes a reference only when all it draws lies inside, its nested
    // references too: one wholly outside keeps the whole reference out.
    doc.Blocks().Add({0, 0, 0}, "TAMPA")->AddCircle({0, 0, 0}, 0.5);
    Block* manhole = doc.Blocks().Add({0, 0, 0}, "PV");
    manhole->AddLine({0, 0, 0}, {2, 1, 0});
    manhole->InsertBlock({40, 30, 0}, "TAMPA", 1, 1, 1, 0);
    BlockReference* pv = ms.InsertBlock({-200, -100, 0}, "PV", 1, 1, 1, 0);
    EXPECT_EQ(Window({-201, -101, 0}, {-197, -98, 0}), V());
    EXPECT_EQ(Polygon(acSelectionSetWindowPolygon, {-201, -102, 0, -195, -101, 0, -196, -96, 0, -202, -97, 0}), V());
    EXPECT_EQ(Window({-201, -101, 0}, {-159, -69, 0}), V({pv}));
    EXPECT_EQ(Polygon(acSelectionSetWindowPolygon, {-201, -102, 0, -155, -101, 0, -156, -65, 0, -203, -66, 0}),
              V({pv}));

    LWPolyline* square = ms.AddLightWeightPolyline({400, 0, 410, 0, 410, 10, 400, 10});
    square->SetClosed(true);
    Hatch* hatch = ms.AddHatch(1, "ANSI31", false);
    hatch->AppendOuterLoop({square});
    hatch->Evaluate();
    square->Delete();
    EXPECT_EQ(Crossing({409, 4, 0}, {411, 6, 0}), V({hatch}));
    EXPECT_EQ(Crossing({420, 4, 0}, {421, 6, 0}), V());
}

TEST_F(SelectionTest, ZeroSizeCrossingFindsGeometryPassingThroughThePoint)
{
    ZoomAll();
    Block* def = doc.Blocks().Add({0, 0, 0}, "A-TE");
    def->AddLine({-1, 0, 0}, {1, 0, 0});
    def->AddCircle({0, 0, 0}, 0.5);
    Block* outer = doc.Blocks().Add({0, 0, 0}, "GROUP");
    outer->InsertBlock({0, 0, 0}, "A-TE", 1, 1, 1, 0);
    BlockReference* fitting = ms.InsertBlock({10, 10, 0}, "A-TE", 0.5, 0.5, 0.5, 0);
    BlockReference* nested = ms.InsertBlock({50, 50, 0}, "GROUP", 1, 1, 1, kPi / 2);
    LWPolyline* pipe = ms.AddLightWeightPolyline({0, 20, 20, 20, 20, 40});
    Point* survey = ms.AddPoint({20, 20, 0});

    auto at = [&](const Point3d& p) { return Crossing(p, p); };
    EXPECT_EQ(at({10.5, 10, 0}), V({fitting}));   // end of the scaled line
    EXPECT_EQ(at({10, 10.25, 0}), V({fitting}));  // top of the scaled circle
    EXPECT_EQ(at({10.1, 10.1, 0}), V());          // inside the circle, on nothing
    EXPECT_EQ(at({50, 51, 0}), V({nested}));      // line end two blocks deep, turned
    EXPECT_EQ(at({51, 50, 0}), V());
    EXPECT_EQ(at({20, 20, 0}), V({pipe, survey}));  // a survey point on a polyline vertex
    ss->Clear();
    ss->Select(acSelectionSetCrossing, {20, 20, 0}, {20, 20, 0}, {0}, {"POINT"});
    EXPECT_EQ(ss->Items(), V({survey}));
    EXPECT_EQ(at({10, 20, 0}), V({pipe}));
    EXPECT_EQ(at({10, 20.001, 0}), V());
}

TEST_F(SelectionTest, WindowSelectionsSeeOnlyTheCurrentView)
{
    // The default view: centre (6, 4.5), height 9, 1024 × 768 pixels.
    Line* inView = ms.AddLine({1, 1, 0}, {11, 1, 0});
    Line* across = ms.AddLine({10, 2, 0}, {30, 2, 0});
    Line* away = ms.AddLine({20, 20, 0}, {21, 21, 0});
    EXPECT_EQ(Crossing({-100, -100, 0}, {100, 100, 0}), V({inView, across}));
    EXPECT_EQ(Crossing({19, 19, 0}, {22, 22, 0}), V());
    // Wholly inside the window but partly out of view: not taken by a window.
    EXPECT_EQ(Window({-100, -100, 0}, {100, 100, 0}), V({inView}));
    // A crossing reaches what shows of a long line.
    EXPECT_EQ(Crossing({11, 1.5, 0}, {13, 2.5, 0}), V({across}));

    // "All", "last" and "previous" see everything.
    ss->Clear();
    ss->Select(acSelectionSetAll);
    EXPECT_EQ(ss->Items(), V({inView, across, away}));
    ss->Clear();
    ss->Select(acSelectionSetLast);
    EXPECT_EQ(ss->Items(), V({away}));

    app.ZoomCenter({20, 20, 0}, 10);
    EXPECT_EQ(Crossing({19, 19, 0}, {22, 22, 0}), V({away}));

    // A wider screen shows more on the sides: at height 9 around (6, 4.5) a
    // 1600 × 800 window reaches x = 15.
    app.ZoomCenter({6, 4.5, 0}, 9);
    Point* side = ms.AddPoint({14.5, 4.5, 0});
    EXPECT_EQ(Crossing({14, 4, 0}, {15, 5, 0}), V());
    doc.SetScreenSize(1600, 800);
    EXPECT_EQ(Crossing({14, 4, 0}, {15, 5, 0}), V({side}));
}

TEST_F(SelectionTest, FrozenAndSwitchedOffLayersAreNotSelectedOnScreen)
{
    ZoomAll();
    doc.Layers().Add("FROZEN")->SetFreeze(true);
    doc.Layers().Add("OFF")->SetLayerOn(false);
    Line* a = ms.AddLine({0, 0, 0}, {1, 1, 0});
    Line* b = ms.AddLine({0, 0, 0}, {1, 1, 0});
    Line* c = ms.AddLine({0, 0, 0}, {1, 1, 0});
    b->SetLayer("FROZEN");
    c->SetLayer("OFF");
    EXPECT_EQ(Crossing({0, 0, 0}, {1, 1, 0}), V({a}));
    ss->Clear();
    ss->Select(acSelectionSetAll, {}, {}, {8}, {"FROZEN,OFF"});
    EXPECT_EQ(ss->Items(), V({b, c}));

    // A block is not found through nested geometry on a frozen layer (an
    // external reference whose pipe layers were frozen), only through what it draws.
    Block* def = doc.Blocks().Add({0, 0, 0}, "NET");
    def->AddLine({100, 0, 0}, {110, 0, 0})->SetLayer("FROZEN");
    def->AddCircle({200, 0, 0}, 1);
    BlockReference* net = ms.InsertBlock({0, 0, 0}, "NET", 1, 1, 1, 0);
    EXPECT_EQ(Crossing({105, 0, 0}, {105, 0, 0}), V());
    EXPECT_EQ(Crossing({199, -1, 0}, {201, 1, 0}), V({net}));
    doc.Layers().Item("FROZEN")->SetFreeze(false);
    EXPECT_EQ(Crossing({105, 0, 0}, {105, 0, 0}), V({net}));
}

TEST_F(SelectionTest, FenceAndPolygons)
{
    ZoomAll();
    Line* diagonal = ms.AddLine({0, 10, 0}, {10, 0, 0});
    Line* apart = ms.AddLine({20, 0, 0}, {20, 5, 0});
    Circle* small = ms.AddCircle({5, 5, 0}, 1);
    LWPolyline* leader = ms.AddLightWeightPolyline({-5, 3, 15, 3});
    leader->SetLayer("0");

    EXPECT_EQ(Polygon(acSelectionSetFence, {0, 0, 0, 10, 10, 0}), V({diagonal, small, leader}));
    EXPECT_EQ(Polygon(acSelectionSetFence, {19, 1, 0, 21, 1, 0}), V({apart}));
    // Crossing polygon: a triangle that holds the circle and touches the diagonal and the leader.
    EXPECT_EQ(Polygon(acSelectionSetCrossingPolygon, {2, 2, 0, 9, 2, 0, 5, 9, 0}), V({diagonal, small, leader}));
    // Window polygon: only what lies wholly inside.
    EXPECT_EQ(Polygon(acSelectionSetWindowPolygon, {2, 2, 0, 9, 2, 0, 5, 9, 0}), V({small}));

    auto fails = [&](int mode, const std::vector<double>& xyz) {
        try {
            ss->SelectByPolygon(mode, xyz);
        } catch (const Error& e) {
            return e.Code() == ErrorCode::InvalidInput;
        }
        return false;
    };
    EXPECT_TRUE(fails(acSelectionSetCrossing, {0, 0, 0, 1, 1, 0, 2, 0, 0}));
    EXPECT_TRUE(fails(acSelectionSetCrossingPolygon, {0, 0, 0, 1, 1, 0}));
    EXPECT_TRUE(fails(acSelectionSetFence, {0, 0, 0, 1, 1}));
    EXPECT_THROW(ss->Select(acSelectionSetFence, {0, 0, 0}, {1, 1, 0}), Error);
}

TEST_F(SelectionTest, SetsKeepDrawingOrderAndTheirItems)
{
    ZoomAll();
    // Created right to left: the set follows creation order, not position.
    Line* first = ms.AddLine({9, 0, 0}, {9, 1, 0});
    Line* second = ms.AddLine({5, 0, 0}, {5, 1, 0});
    Line* third = ms.AddLine({1, 0, 0}, {1, 1, 0});
    ss->Select(acSelectionSetCrossing, {0, 0, 0}, {6, 1, 0});
    EXPECT_EQ(ss->Items(), V({second, third}));
    // A second selection appends what is new, once.
    ss->Select(acSelectionSetCrossing, {0, 0, 0}, {10, 1, 0});
    EXPECT_EQ(ss->Items(), V({second, third, first}));

    // "Previous" is the last selection made, in any set.
    SelectionSet* other = sets.Add("SS2");
    other->Select(acSelectionSetPrevious);
    EXPECT_EQ(other->Items(), V({second, third, first}));

    ss->RemoveItems({third});
    EXPECT_EQ(ss->Items(), V({second, first}));
    ss->AddItems({third, second});
    EXPECT_EQ(ss->Items(), V({second, first, third}));

    Document otherDoc;
    Line* foreign = otherDoc.ModelSpace().AddLine({0, 0, 0}, {1, 1, 0});
    try {
        ss->AddItems({foreign});
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Code(), ErrorCode::WrongDocument);
    }

    // An entity erased elsewhere keeps its place; iteration passes over it.
    first->Delete();
    EXPECT_EQ(ss->Count(), 3);
    EXPECT_EQ(ss->Item(1), first);
    EXPECT_THROW(ss->Item(3), Error);
    V live;
    for (Entity* e : *ss) live.push_back(e);
    EXPECT_EQ(live, V({second, third}));

    ss->Highlight(true);
    EXPECT_TRUE(second->IsHighlighted());
    ss->Highlight(false);
    EXPECT_FALSE(second->IsHighlighted());

    // The building count clears the active set and fills it from the whole drawing.
    SelectionSet& active = doc.ActiveSelectionSet();
    active.Clear();
    active.Select(acSelectionSetAll, {}, {}, {0}, {"LINE"});
    EXPECT_EQ(active.Items(), V({second, third}));
}

TEST_F(SelectionTest, EraseDeletesWhatTheSetHolds)
{
    ZoomAll();
    doc.Layers().Add("0-Conferencia");
    doc.Layers().Add("LOCKED");
    Line* a = ms.AddLine({0, 0, 0}, {1, 0, 0});
    Line* b = ms.AddLine({0, 1, 0}, {1, 1, 0});
    Line* keep = ms.AddLine({0, 2, 0}, {1, 2, 0});
    Line* locked = ms.AddLine({0, 3, 0}, {1, 3, 0});
    a->SetLayer("0-Conferencia");
    b->SetLayer("0-Conferencia");
    locked->SetLayer("LOCKED");
    doc.Layers().Item("LOCKED")->SetLock(true);

    ss->Select(acSelectionSetAll, {}, {}, {8}, {"0-Conferencia,LOCKED"});
    EXPECT_EQ(ss->Items(), V({a, b, locked}));
    ss->Erase();
    EXPECT_TRUE(a->IsErased());
    EXPECT_TRUE(b->IsErased());
    EXPECT_FALSE(keep->IsErased());
    EXPECT_FALSE(locked->IsErased());  // a locked layer keeps its entities
    EXPECT_EQ(ss->Items(), V({locked}));
    EXPECT_EQ(ms.Count(), 2);
}

TEST_F(SelectionTest, SelectAtPointTakesTheEntityDrawnThere)
{
    app.ZoomCenter({10, 0, 0}, 50);  // a pick box of about 0.2 units
    Line* line = ms.AddLine({0, 0, 0}, {10, 0, 0});
    Circle* circle = ms.AddCircle({20, 0, 0}, 2);
    ss->SelectAtPoint({5, 0, 0});
    EXPECT_EQ(ss->Items(), V({line}));
    ss->Clear();
    ss->SelectAtPoint({22, 0, 0}, {0}, {"LINE"});
    EXPECT_EQ(ss->Items(), V());
    ss->SelectAtPoint({22, 0, 0}, {0}, {"CIRCLE"});
    EXPECT_EQ(ss->Items(), V({circle}));
    ss->Clear();
    ss->SelectAtPoint({20, 0, 0});  // the centre is not on the circle
    EXPECT_EQ(ss->Items(), V());
}

}  // namespace
