// The spatial index against a plain scan, and the geometric tests selections use.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "CoreTestUtil.h"
#include "dxf_test_text.h"
#include "heavy_drawings.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/HitTest.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/SelectionSetQuery.h"

using namespace acad;

namespace {
std::vector<Entity*> Scan(const Block& b, const Box& box)
{
    std::vector<Entity*> r;
    for (Entity* e : b)
        if (e->Extents().Intersects(box)) r.push_back(e);
    return r;
}
}  // namespace

TEST(SpatialIndex, AnswersLikeAScanThroughAddsMovesAndDeletes)
{
    Document doc;
    Block& ms = doc.ModelSpace();
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> pos(300000, 301000), len(0.1, 30);
    std::vector<Entity*> all;
    for (int i = 0; i < 3000; ++i) {
        Point3d a{pos(rng), pos(rng) + 7000000, 0};
        switch (i % 4) {
        case 0: all.push_back(ms.AddLine(a, {a.x + len(rng), a.y + len(rng), 0})); break;
        case 1: all.push_back(ms.AddCircle(a, len(rng))); break;
        case 2: all.push_back(ms.AddPoint(a)); break;
        default: all.push_back(ms.AddText("TEXTO", a, 1.5)); break;
        }
    }
    // One long entity across everything.
    all.push_back(ms.AddLine({300000, 7000000, 0}, {301000, 7001000, 0}));
    for (int i = 0; i < 600; ++i) {
        Entity* e = all[static_cast<std::size_t>(rng() % all.size())];
        if (e->IsErased()) continue;
        if (i % 3 == 0)
            e->Delete();
        else
            e->Move({0, 0, 0}, {len(rng) * 10, -len(rng) * 10, 0});
    }
    for (int q = 0; q < 200; ++q) {
        Point3d c{pos(rng), pos(rng) + 7000000, 0};
        Box box = Box::Around(c, q % 10 == 0 ? 300.0 : len(rng));
        EXPECT_EQ(ms.QueryBox(box), Scan(ms, box)) << "query " << q;
    }
    EXPECT_EQ(ms.QueryBox(Box::Around({0, 0, 0}, 1)).size(), 0u);
}

TEST(HitTest, CrossingWindowAndZeroSizeCrossing)
{
    Document doc;
    Block& ms = doc.ModelSpace();
    Line* l = ms.AddLine({0, 0}, {10, 10});
    Circle* c = ms.AddCircle({50, 50, 0}, 5);
    Text* t = ms.AddText("ABCDE", {100, 0, 0}, 2.0);  // box 100..108 × 0..2

    EXPECT_TRUE(CrossesBox(*l, Box::FromCorners({4, 0}, {6, 20})));  // crosses
    EXPECT_FALSE(InsideBox(*l, Box::FromCorners({4, 0}, {6, 20})));  // not whole
    EXPECT_TRUE(InsideBox(*l, Box::FromCorners({-1, -1}, {11, 11})));
    EXPECT_FALSE(CrossesBox(*l, Box::FromCorners({6, 0}, {9, 3})));  // beside it
    // Zero-size window: exactly on the geometry, and not a hair off it.
    EXPECT_TRUE(CrossesBox(*l, Box::Around({3.5, 3.5}, 0)));
    EXPECT_FALSE(CrossesBox(*l, Box::Around({3.5, 3.50001}, 0)));
    EXPECT_TRUE(CrossesBox(*c, Box::Around({55, 50}, 0)));
    EXPECT_FALSE(CrossesBox(*c, Box::Around({50, 50}, 1)));   // inside the circle, off its line
    EXPECT_TRUE(CrossesBox(*t, Box::Around({104, 1}, 0.1)));  // a window inside the text box
    EXPECT_TRUE(InsideBox(*t, Box::FromCorners({99, -1}, {109, 3})));
    EXPECT_FALSE(InsideBox(*t, Box::FromCorners({99, -1}, {107, 3})));

    // Erased and invisible entities are not found.
    c->SetVisible(false);
    EXPECT_FALSE(CrossesBox(*c, Box::Around({55, 50}, 1)));
    l->Delete();
    EXPECT_FALSE(CrossesBox(*l, Box::Around({3.5, 3.5}, 1)));
}

TEST(HitTest, BlockReferencesAreFoundThroughTheirNestedGeometryOnly)
{
    Document doc;
    Block* fit = doc.Blocks().Add({0, 0, 0}, "A-TE");
    fit->AddLine({-1, 0}, {1, 0});
    fit->AddLine({0, 0}, {0, 1});
    fit->AddAttribute(0.5, 0, "", {2, 2, 0}, "CODIGO", "T1");
    BlockReference* r = doc.ModelSpace().InsertBlock({1000, 2000, 0}, "A-TE", 0.5, 0.5, 0.5, kPi / 2);
    // A pipe end exactly on the rotated tee's arm end passes; the empty corner of its box does not.
    EXPECT_TRUE(CrossesBox(*r, Box::Around({1000, 2000.5}, 0)));
    EXPECT_TRUE(CrossesBox(*r, Box::Around({999.5, 2000}, 0)));
    EXPECT_FALSE(CrossesBox(*r, Box::Around({999.6, 2000.4}, 0.05)));
    // The attribute text counts as drawn.
    AttributeReference* a = r->GetAttributes()[0];
    Point3d c[4];
    a->TextBoxCorners(c);
    EXPECT_TRUE(CrossesBox(*r, Box::Around(Midpoint(c[0], c[2]), 0.01)));

    // Fence and crossing polygon.
    EXPECT_TRUE(CrossesFence(*r, {{990, 2000.2, 0}, {1010, 2000.2, 0}}));
    EXPECT_FALSE(CrossesFence(*r, {{990, 2003, 0}, {995, 2003, 0}}));
    EXPECT_TRUE(CrossesPolygon(*r, {{999, 1999, 0}, {1001, 1999, 0}, {1000, 2001, 0}}));
    EXPECT_FALSE(CrossesPolygon(*r, {{900, 1900, 0}, {901, 1900, 0}, {900, 1901, 0}}));

    // Nested pick: the attribute first, then the entity of the definition.
    auto pa = PickNested(*r, Midpoint(c[0], c[2]), 0.01);
    ASSERT_TRUE(pa);
    EXPECT_EQ(pa->entity, a);
    auto pl = PickNested(*r, {1000, 2000.4, 0}, 0.01);
    ASSERT_TRUE(pl);
    EXPECT_EQ(pl->entity->ObjectName(), "AcDbLine");
    EXPECT_EQ(pl->containers, std::vector<Entity*>{r});
    EXPECT_NEAR(pl->toWorld.Apply({1, 0, 0}).y, 2000.5, 1e-12);
    EXPECT_FALSE(PickNested(*r, {1003, 2003, 0}, 0.01));

    // Object snap to endpoints, nested ones included (an aperture of 0.1).
    doc.SetVariable("OSMODE", 1);
    doc.ActiveView().SetCenter({1000, 2000, 0});
    doc.ActiveView().SetHeight(0.01 * doc.ScreenHeight());
    const Point3d end = input::Snap(doc, {1000.02, 2000.48, 0});
    EXPECT_NEAR(end.x, 1000.0, 1e-12);
    EXPECT_NEAR(end.y, 2000.5, 1e-12);
    EXPECT_NEAR(DistanceTo(*r, {1000, 2000.3, 0}), 0.0, 1e-12);
    EXPECT_NEAR(DistanceTo(*r, {1000.3, 2000, 0}), 0.3, 1e-9);
}

// A pick looks as deep into nested references as the window draws them: past
// the work one view may take, references count as the outline of their box.
TEST(HitTest, APickOnHeavilyNestedReferencesLooksIntoABoundedNumberOfParts)
{
    Document doc;
    Block* rungs = doc.Blocks().Add({0, 0, 0}, "L");
    for (int i = 0; i < 1000; ++i) rungs->AddLine({0, i / 1000.0, 0}, {1, i / 1000.0, 0});
    // 200 ladders of a thousand rungs are drawn whole; 600, as outlines.
    Block* ladders = doc.Blocks().Add({0, 0, 0}, "M");
    for (int i = 0; i < 200; ++i) ladders->InsertBlock({i / 10000.0, 0, 0}, "L", 1, 1, 1, 0);
    Block* more = doc.Blocks().Add({0, 0, 0}, "N");
    for (int i = 0; i < 600; ++i) more->InsertBlock({i / 10000.0, 0, 0}, "L", 1, 1, 1, 0);
    BlockReference* whole = doc.ModelSpace().InsertBlock({0, 0, 0}, "M", 1, 1, 1, 0);
    BlockReference* outlined = doc.ModelSpace().InsertBlock({0, 0, 0}, "N", 1, 1, 1, 0);
    // Between two rungs, on the left side of the first and of the last ladder.
    for (const double x : {0.0, 0.0199}) EXPECT_NEAR(DistanceTo(*whole, {x, 0.5005, 0}), 0.0005, 1e-9) << x;
    for (const double x : {0.0, 0.0599}) EXPECT_NEAR(DistanceTo(*outlined, {x, 0.5005, 0}), 0.0, 1e-9) << x;
    EXPECT_NEAR(DistanceTo(*outlined, {0.5, 0.5005, 0}), 0.4401, 1e-9);
    // A block of as many rungs straight in its definition, referenced once, is
    // drawn whole, like the same lines in the space: it is the file.
    Block* flat = doc.Blocks().Add({0, 0, 0}, "F");
    for (int i = 0; i < 300000; ++i) flat->AddLine({0, i / 1000.0, 0}, {1, i / 1000.0, 0});
    BlockReference* plain = doc.ModelSpace().InsertBlock({0, 0, 0}, "F", 1, 1, 1, 0);
    EXPECT_NEAR(DistanceTo(*plain, {0.5, 150.0005, 0}), 0.0005, 1e-9);
    auto rung = PickNested(*plain, {0.5, 150, 0}, 1e-4);
    ASSERT_TRUE(rung);
    EXPECT_EQ(rung->entity, flat->Item(150000));
    const std::uint64_t before = HitTestWork();
    EXPECT_FALSE(PickNested(*whole, {0.5, 0.5005, 0}, 1e-4));
    EXPECT_LE(HitTestWork() - before, 2 * static_cast<std::uint64_t>(kViewBudget));
    auto ladder = PickNested(*outlined, {0.0599, 0.5, 0}, 1e-4);
    ASSERT_TRUE(ladder);
    EXPECT_EQ(ladder->entity, more->Item(599));  // the outline of the last ladder
    EXPECT_EQ(ladder->containers.size(), 1u);

    // Three levels of a thousand references over a thousand lines: the window
    // draws the second level as outlines, and a pick finds them, not the lines.
    Application app;
    Document& hostile = *app.Documents().Add("Acad");
    ReadDxfText(hostile, dxf_test::WideNestedBlocks(3, 1000), "largo.dxf");
    Entity* outer = hostile.ModelSpace().Item(0);
    const std::uint64_t start = HitTestWork();
    EXPECT_FALSE(PickNested(*outer, {0.5, 0.5, 0}, 1e-4));
    EXPECT_GT(DistanceTo(*outer, {0.5, 0.5005, 0}), 1e-4);
    auto line = PickNested(*outer, {0.05, 0.5, 0}, 1e-4);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->entity->ObjectName(), "AcDbBlockReference");
    EXPECT_EQ(line->containers.size(), 1u);
    app.ZoomCenter({0.5, 0.5, 0}, 0.02);  // a pick box well inside the gap between lines
    EXPECT_EQ(selection::PickAt(hostile, {0.5, 0.5005, 0}), nullptr);
    EXPECT_EQ(selection::PickAt(hostile, {0.5, 0.5, 0}), nullptr);
    app.ZoomCenter({0.05, 0.5, 0}, 0.02);
    EXPECT_EQ(selection::PickAt(hostile, {0.05, 0.5, 0}), outer);
    EXPECT_LE(HitTestWork() - start, 6 * static_cast<std::uint64_t>(kViewBudget));
}

// References of a block of 82,040 large circles nested three deep: a pick and a
// selection do a bounded amount of work for the whole of them, and see what
// the window draws: a small reference after heavy ones is drawn whole, and picked.
TEST(HitTest, PicksAndSelectionsOnHeavyReferencesAreBoundedAsAWhole)
{
    Application app;
    Document& doc = *app.Documents().Add("Acad");
    ReadDxfText(doc, dxf_test::CircleBlocks(3), "circulos.dxf");
    Block* small = doc.Blocks().Add({0, 0, 0}, "S");
    small->AddLine({0, 0, 0}, {10, 10, 0});
    BlockReference* s = doc.ModelSpace().InsertBlock({30, 0, 0}, "S", 1, 1, 1, 0);
    app.ZoomExtents();
    std::uint64_t before = HitTestWork();
    EXPECT_EQ(selection::PickAt(doc, {35, 5, 0}), s);
    EXPECT_EQ(selection::PickAt(doc, {35, 8, 0}), nullptr);
    EXPECT_LE(HitTestWork() - before, static_cast<std::uint64_t>(kViewBudget));

    // A crossing window in the empty middle of 300 of them finds nothing.
    Document& many = *app.Documents().Add("Acad");
    ReadDxfText(many, dxf_test::CircleBlocks(300), "circulos.dxf");
    app.ZoomExtents();
    SelectionSet* ss = many.SelectionSets().Add("SStmp");
    const Point3d c = many.ModelExtents().Center();
    before = HitTestWork();
    ss->Select(acSelectionSetCrossing, c, c + Vector3d(1, 1, 0));
    EXPECT_EQ(ss->Count(), 0);
    EXPECT_LE(HitTestWork() - before, static_cast<std::uint64_t>(kViewBudget));
    // Through the circles of every reference: all of them.
    ss->Clear();
    ss->Select(acSelectionSetCrossing, c, c + Vector3d(200, 1, 0));
    EXPECT_EQ(ss->Count(), 300);
}

// Drawings whose blocks multiply what a view draws, one per kind of entity, the
// references stacked: a crossing, a window, a pick, the part picked and the
// object snap at the middle each look at no more, piece by piece, than the
// view's budget and an ordinary block's worth for each entity of the space.
TEST(HitTest, EveryKindThatBlocksMultiplyIsLookedAtWithinTheBudget)
{
    for (const heavy::Drawing& d : heavy::StackedOfEveryKind()) {
        Document doc;
        heavy::Build(doc, d);
        doc.SetVariable("OSMODE", 1 | 2 | 4 | 8 | 512);
        const double pixel = selection::PixelSize(doc);
        const Point3d c = doc.ActiveView().Center();
        const auto bound = static_cast<std::uint64_t>(kViewBudget + kReferenceWork * doc.ModelSpace().Count());
        SelectionSet* ss = doc.SelectionSets().Add("SStmp");
        std::uint64_t before = HitTestWork();
        auto within = [&](const char* what) {
            EXPECT_LE(HitTestWork() - before, bound) << heavy::NameOf(d) << ": " << what;
            before = HitTestWork();
        };
        ss->Select(acSelectionSetCrossing, c - Vector3d(2 * pixel, 2 * pixel, 0),
                   c + Vector3d(2 * pixel, 2 * pixel, 0));
        within("crossing");
        ss->Clear();
        ss->Select(acSelectionSetWindow, c - Vector3d(300 * pixel, 300 * pixel, 0), c + Vector3d(pixel, pixel, 0));
        within("window");
        Entity* picked = selection::PickAt(doc, c);
        within("pick");
        if (picked) PickNested(*picked, c, 3 * pixel, selection::ViewPlan(doc));
        within("nested pick");
        input::Snap(doc, c);
        within("snap");
    }
}

// The picks of a mouse move share the plan of their view, until anything that
// changes what the window draws there: a layer switched on (which changes no
// entity) or off, a zoom, a pan, an erasure, a window resized.
TEST(HitTest, AViewsPlanServesItsPicksOnlyWhileWhatTheWindowDrawsThereStaysTheSame)
{
    Document doc;
    heavy::Build(doc, {heavy::Case::OnHiddenLayers});
    const Entity& large = *doc.ModelSpace().Item(doc.ModelSpace().Count() - 1);
    const auto whole = [&] { return selection::ViewPlan(doc).DepthOf(large) == kWholeDepth; };
    ASSERT_TRUE(whole()) << "alone in view, the large reference is drawn whole";
    EXPECT_TRUE(whole()) << "and so it stays while nothing changes";
    Layer* off = doc.Layers().Item("DESLIGADO");
    off->SetLayerOn(true);  // 500 references as heavy as it beside it
    EXPECT_FALSE(whole()) << "a layer switched on";
    off->SetLayerOn(false);
    EXPECT_TRUE(whole()) << "and off again";

    off->SetLayerOn(true);
    ASSERT_FALSE(whole());
    doc.ActiveView().Fit(Box{{0, 30, 0}, {50, 50, 0}});  // above the others: the large one alone
    EXPECT_TRUE(whole()) << "a zoom onto it";
    doc.ActiveView().Fit(Box{{0, 0, 0}, {50, 20, 0}});  // as large a view, over the others
    ASSERT_FALSE(whole()) << "a pan onto the others";

    for (int i = doc.ModelSpace().Count() - 2; i >= 0; --i)
        if (Entity* e = doc.ModelSpace().Item(i); e->Layer() == "DESLIGADO") e->Delete();
    EXPECT_TRUE(whole()) << "the others erased";
    doc.SetScreenSize(512, 384);  // the same view, at half the pixels
    EXPECT_DOUBLE_EQ(selection::ViewPlan(doc).PixelsPerUnit(), 1 / selection::PixelSize(doc)) << "a window resized";
}

// The index keeps each entity's box: every change that moves what an entity
// draws must reach it, or queries and the drawing's extents go stale.
TEST(SpatialIndex, KeptBoxesFollowNestedEditsPlacementsStylesAndErasures)
{
    Document doc;
    Block& ms = doc.ModelSpace();
    for (int i = 0; i < 200; ++i) ms.AddLine({i * 10.0, 0, 0}, {i * 10.0 + 5, 5, 0});
    Block* inner = doc.Blocks().Add({0, 0, 0}, "INNER");
    Line* innerLine = inner->AddLine({0, 0, 0}, {1, 0, 0});
    Block* outer = doc.Blocks().Add({0, 0, 0}, "OUTER");
    outer->InsertBlock({0, 0, 0}, "INNER", 1, 1, 1, 0);
    BlockReference* r = ms.InsertBlock({1000, 1000, 0}, "OUTER", 1, 1, 1, 0);
    auto found = [&](const Point3d& at) {
        auto hits = ms.QueryBox(Box::Around(at, 0.25));
        return std::find(hits.begin(), hits.end(), r) != hits.end();
    };
    ASSERT_TRUE(found({1000.5, 1000, 0}));
    EXPECT_FALSE(found({1040, 1000, 0}));

    // An edit two definitions down reaches the reference placed in model space.
    innerLine->SetEndPoint({40, 0, 0});
    EXPECT_TRUE(found({1040, 1000, 0}));
    EXPECT_EQ(ms.QueryBox(Box::Around({1040, 1000, 0}, 0.25)), Scan(ms, Box::Around({1040, 1000, 0}, 0.25)));
    // So does a new part of the outer definition, and a moved base point.
    outer->AddLine({0, 0, 0}, {0, 30, 0});
    EXPECT_TRUE(found({1000, 1030, 0}));
    outer->SetOrigin({0, 10, 0});
    EXPECT_TRUE(found({1000, 1020, 0}));
    EXPECT_FALSE(found({1000, 1029, 0}));
    outer->SetOrigin({0, 0, 0});

    // Move, Rotate and a scale of the reference.
    r->Move({1000, 1000, 0}, {2000, 1000, 0});
    EXPECT_FALSE(found({1040, 1000, 0}));
    EXPECT_TRUE(found({2040, 1000, 0}));
    r->Rotate({2000, 1000, 0}, kPi / 2);
    EXPECT_FALSE(found({2040, 1000, 0}));
    EXPECT_TRUE(found({2000, 1040, 0}));
    r->SetXScaleFactor(2);
    EXPECT_TRUE(found({2000, 1080, 0}));

    // The drawing's extents grow and shrink with what gave their sides.
    Box ext = doc.ModelExtents();
    EXPECT_NEAR(ext.max.y, 1080, 1e-9);
    EXPECT_NEAR(ext.max.x, 2000, 1e-9);
    r->Move({2000, 1000, 0}, {500, 100, 0});
    ext = doc.ModelExtents();
    EXPECT_NEAR(ext.max.y, 180, 1e-9);
    EXPECT_NEAR(ext.max.x, 1995, 1e-9);  // the last line's end
    ms.Item(199)->Delete();
    EXPECT_NEAR(doc.ModelExtents().max.x, 1985, 1e-9);
    r->Delete();
    EXPECT_NEAR(doc.ModelExtents().max.y, 5, 1e-9);

    // A text style turned from a shape font to a TrueType face narrows its texts.
    TextStyle* style = doc.TextStyles().Add("ROTULO");
    doc.SetActiveTextStyle(*style);
    Text* t = ms.AddText("ABCDEFGHIJ", {0, 100, 0}, 10);  // 10 letters × 0.8 × 10 wide
    auto textAt = [&](double x) {
        auto hits = ms.QueryBox(Box::Around({x, 105, 0}, 0.5));
        return std::find(hits.begin(), hits.end(), t) != hits.end();
    };
    EXPECT_TRUE(textAt(79));
    style->SetFont("Arial", false, false, 0, 34);  // 0.6 per letter
    EXPECT_FALSE(textAt(79));
    EXPECT_TRUE(textAt(59));
    style->SetFontFile("romans.shx");
    EXPECT_TRUE(textAt(79));
}
