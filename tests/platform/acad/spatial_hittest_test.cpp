// The spatial index against a plain scan, and the geometric tests selections use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <random>

#include "CoreTestUtil.h"
#include "dxf_test_text.h"
#include "heavy_drawings.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/HitTest.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/KeptDefinition.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/SpatialIndex.h"
#include "support/MemoryLimit.h"

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
    // The extents as a scan finds them: finite boxes only, z included.
    auto scanned = [&ms] {
        Box b;
        for (Entity* e : ms)
            if (const Box part = e->Extents(); part.IsFinite()) b.Add(part);
        return b;
    };
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
        if (i == 300) {  // indexed again in one go, halfway through
            ms.SuspendSpatialIndex();
            ms.EnableSpatialIndex();
        }
        Entity* e = all[static_cast<std::size_t>(rng() % all.size())];
        if (e->IsErased()) continue;
        if (i % 3 == 0)
            e->Delete();
        else
            e->Move({0, 0, 0}, {len(rng) * 10, -len(rng) * 10, 0});
        ASSERT_EQ(ms.Extents(), scanned()) << "step " << i;
    }
    for (int q = 0; q < 200; ++q) {
        Point3d c{pos(rng), pos(rng) + 7000000, 0};
        Box box = Box::Around(c, q % 10 == 0 ? 300.0 : len(rng));
        EXPECT_EQ(ms.QueryBox(box), Scan(ms, box)) << "query " << q;
    }
    EXPECT_EQ(ms.QueryBox(Box::Around({0, 0, 0}, 1)).size(), 0u);

    // The index alone, given boxes no entity has: not a number, reaching infinity,
    // inverted. Its bounds are those of a scan after every change: a side given up
    // by a box moved inward or removed, boxes re-added into freed slots, a load
    // into the index in use.
    Block* def = doc.Blocks().Add({0, 0, 0}, "SOLTOS");
    std::vector<Entity*> loose;
    for (int i = 0; i < 4000; ++i) loose.push_back(def->AddPoint({0, 0, 0}));
    std::vector<std::optional<Box>> kept(loose.size());
    SpatialIndex index;
    auto keptUnion = [&kept] {
        Box b;
        for (const auto& k : kept)
            if (k && k->IsFinite()) b.Add(*k);
        return b;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    auto randomBox = [&] {
        const Point3d a{pos(rng), pos(rng), len(rng)};
        Box b = Box::FromCorners(a, {a.x + len(rng), a.y + len(rng), a.z - len(rng)});
        switch (rng() % 16) {
        case 0: b.max.x = inf; break;
        case 1: b.min.y = nan; break;
        case 2: b.max.z = 1e308 * 10; break;
        case 3: return Box{};
        case 4: std::swap(b.min.x, b.max.x); break;  // inverted in x: empty
        case 5: std::swap(b.min.z, b.max.z); break;  // inverted in z only: counts
        default: break;
        }
        return b;
    };
    auto side = [](const Box& b, int k) {
        const Point3d& p = k < 3 ? b.min : b.max;
        return k % 3 == 0 ? p.x : k % 3 == 1 ? p.y : p.z;
    };
    auto moveInward = [&](int k) {  // the box giving side k to the middle
        const Box now = keptUnion();
        for (std::size_t j = 0; j < kept.size(); ++j) {
            if (!kept[j] || !kept[j]->IsFinite() || side(*kept[j], k) != side(now, k)) continue;
            kept[j] = Box::Around({300500, 300500, 0}, 1);
            index.Update(*loose[j], *kept[j]);
            return;
        }
    };
    for (std::size_t i = 0; i < 2000; ++i) index.Insert(*loose[i], *(kept[i] = randomBox()));
    ASSERT_EQ(index.Bounds(), keptUnion());
    for (int step = 0; step < 3000; ++step) {
        const std::size_t i = rng() % loose.size();
        const unsigned op = rng() % 10;
        if (step == 1500) {
            // Loaded while a side given up is still to be measured; what is loaded
            // lies in the middle or counts for nothing, so the side shows.
            moveInward(3);
            std::vector<Entity*> rest;
            for (std::size_t j = 0; j < loose.size(); ++j)
                if (!kept[j]) {
                    const Box b = randomBox();
                    const Point3d middle{300400 + len(rng) * 6, 300400 + len(rng) * 6, 0};
                    kept[j] = b.IsFinite() ? Box::Around(middle, len(rng)) : b;
                    rest.push_back(loose[j]);
                }
            index.Load(
                rest, rest.size(), [](const Entity&) { return true; },
                [&](const Entity& x) { return *kept[std::find(loose.begin(), loose.end(), &x) - loose.begin()]; });
        } else if (!kept[i]) {
            index.Insert(*loose[i], *(kept[i] = randomBox()));
        } else if (op < 2) {
            index.Remove(*loose[i]);
            kept[i].reset();
        } else if (op < 5) {
            moveInward(step % 6);
        } else if (op < 6) {
            Box added = randomBox(), grown = *kept[i];
            grown.Add(added);
            ASSERT_TRUE(index.Grow(*loose[i], added));
            kept[i] = grown;
        } else {
            index.Update(*loose[i], *(kept[i] = randomBox()));
        }
        ASSERT_EQ(index.Bounds(), keptUnion()) << "step " << step;
    }
    for (std::size_t i = 0; i < loose.size(); ++i)
        if (kept[i]) index.Remove(*loose[i]);
    EXPECT_EQ(index.Bounds(), Box{});
}

TEST(HitTest, CrossingWindowAndZeroSizeCrossing)
{
    Document doc;
    Block& ms = doc.ModelSpace();
    Line* l = ms.AddLine({0, 0}, {10, 10});
    Circle* c = ms.AddCircle({50, 50, 0}, 5);
    Text* t = ms.AddText("ABCDE", {100, 0, 0}, 2.0);  // box 100..109.5 × 0..2

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
    EXPECT_TRUE(InsideBox(*t, Box::FromCorners({99, -1}, {110, 3})));
    EXPECT_FALSE(InsideBox(*t, Box::FromCorners({99, -1}, {109, 3})));

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

// A crossing box wholly inside a solid hatch selects what a pick at its
// centre picks, at the top level and inside a block (placed as it is, scaled,
// mirrored and turned, and nested in another), whatever the hatch's sides (4,
// 50 and 1,000: a block of an ordinary weight and heavier ones): one answer
// for both.
TEST(HitTest, ABoxInsideASolidHatchCrossesWhatAPickThereFinds)
{
    Document doc;
    doc.ActiveView().SetCenter({0, 0, 0});
    doc.ActiveView().SetHeight(200);
    for (const int sides : {4, 50, 1000}) {
        SCOPED_TRACE(sides);
        const std::string name = "H" + std::to_string(sides);
        auto solid = [sides](Block& in, const Point3d& c) {
            std::vector<double> xy;
            for (int i = 0; i < sides; ++i) {
                const double a = i * kTwoPi / sides;
                xy.insert(xy.end(), {c.x + 10 * std::cos(a), c.y + 10 * std::sin(a)});
            }
            LWPolyline* ring = in.AddLightWeightPolyline(xy);
            ring->SetClosed(true);
            Hatch* h = in.AddHatch(1, "SOLID", false);
            h->AppendOuterLoop({ring});
            h->Evaluate();
            ring->Delete();
            return h;
        };
        solid(*doc.Blocks().Add({0, 0, 0}, name), {0, 0, 0});
        const double x = sides == 4 ? -60 : sides == 50 ? 0 : 60;
        Entity* top = solid(doc.ModelSpace(), {x, -40, 0});
        Entity* held = doc.ModelSpace().InsertBlock({x, 40, 0}, name, 1, 1, 1, 0);
        Entity* turned = doc.ModelSpace().InsertBlock({x, 70, 0}, name, 0.5, -0.7, 1, 0.3);
        doc.Blocks().Add({0, 0, 0}, "N" + name)->InsertBlock({0, 0, 0}, name, 1, 1, 1, 0);
        Entity* nested = doc.ModelSpace().InsertBlock({x, 10, 0}, "N" + name, 1, 1, 1, 0);
        for (Entity* e : {top, held, turned, nested}) {
            const Point3d c = e->Extents().Center();
            EXPECT_EQ(selection::PickAt(doc, c), e);
            for (const double r : {0.01, 1.0}) {
                EXPECT_EQ(selection::ByWindow(doc, Box::Around(c, r), true, {}), std::vector<Entity*>{e}) << r;
                EXPECT_TRUE(CrossesBox(*e, Box::Around(c, r))) << r << ", outside any view";
            }
            EXPECT_EQ(DistanceTo(*e, c), 0.0) << "outside any view";
        }
    }
}

// A pick answers from the geometry however many references multiply it,
// looking into what lies near the point only: between two rungs of 200 and
// of 600 ladders of a thousand rungs it finds nothing, on a rung that rung,
// in the last ladder that has it there. Three levels of a thousand
// references over a thousand lines (a thousand million lines under one
// point) are picked on a line and not between two; past a walk's work, what
// is left is taken as the outlines of its boxes, so that such a file costs a
// bounded walk.
TEST(HitTest, APickOnHeavilyNestedReferencesLooksIntoABoundedNumberOfParts)
{
    Document doc;
    Block* rungs = doc.Blocks().Add({0, 0, 0}, "L");
    for (int i = 0; i < 1000; ++i) rungs->AddLine({0, i / 1000.0, 0}, {1, i / 1000.0, 0});
    Block* ladders = doc.Blocks().Add({0, 0, 0}, "M");
    for (int i = 0; i < 200; ++i) ladders->InsertBlock({i / 10000.0, 0, 0}, "L", 1, 1, 1, 0);
    Block* more = doc.Blocks().Add({0, 0, 0}, "N");
    for (int i = 0; i < 600; ++i) more->InsertBlock({i / 10000.0, 0, 0}, "L", 1, 1, 1, 0);
    BlockReference* some = doc.ModelSpace().InsertBlock({0, 0, 0}, "M", 1, 1, 1, 0);
    BlockReference* many = doc.ModelSpace().InsertBlock({0, 0, 0}, "N", 1, 1, 1, 0);
    // Between two rungs, on the left side of the first and of the last ladder.
    for (const double x : {0.0, 0.0199}) EXPECT_NEAR(DistanceTo(*some, {x, 0.5005, 0}), 0.0005, 1e-9) << x;
    for (const double x : {0.0, 0.0599, 0.5}) EXPECT_NEAR(DistanceTo(*many, {x, 0.5005, 0}), 0.0005, 1e-9) << x;
    // A block of as many rungs straight in its definition, referenced once.
    Block* flat = doc.Blocks().Add({0, 0, 0}, "F");
    for (int i = 0; i < 300000; ++i) flat->AddLine({0, i / 1000.0, 0}, {1, i / 1000.0, 0});
    BlockReference* plain = doc.ModelSpace().InsertBlock({0, 0, 0}, "F", 1, 1, 1, 0);
    EXPECT_NEAR(DistanceTo(*plain, {0.5, 150.0005, 0}), 0.0005, 1e-9);
    auto rung = PickNested(*plain, {0.5, 150, 0}, 1e-4);
    ASSERT_TRUE(rung);
    EXPECT_EQ(rung->entity, flat->Item(150000));
    std::uint64_t before = WalkWork();
    EXPECT_FALSE(PickNested(*some, {0.5, 0.5005, 0}, 1e-4));
    EXPECT_FALSE(PickNested(*many, {0.5, 0.5005, 0}, 1e-4));
    EXPECT_LE(WalkWork() - before, 800u * 40) << "what lies near the point";
    auto ladder = PickNested(*many, {0.0599, 0.5, 0}, 1e-4);
    ASSERT_TRUE(ladder);
    EXPECT_EQ(ladder->entity, rungs->Item(500));
    EXPECT_EQ(ladder->containers, (std::vector<Entity*>{many, more->Item(599)}));

    Application app;
    Document& hostile = *app.Documents().Add("Acad");
    ReadDxfText(hostile, dxf_test::WideNestedBlocks(3, 1000), "largo.dxf");
    Entity* outer = hostile.ModelSpace().Item(0);
    before = WalkWork();
    auto line = PickNested(*outer, {0.5, 0.5, 0}, 1e-4);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->entity->ObjectName(), "AcDbLine");
    EXPECT_EQ(line->containers.size(), 4u);
    EXPECT_GT(DistanceTo(*outer, {0.5, 0.5005, 0}), 1e-4);
    app.ZoomCenter({0.5, 0.5, 0}, 0.02);  // a pick box well inside the gap between lines
    EXPECT_EQ(selection::PickAt(hostile, {0.5, 0.5005, 0}), nullptr);
    EXPECT_EQ(selection::PickAt(hostile, {0.5, 0.5, 0}), outer);
    EXPECT_LE(WalkWork() - before, 6 * static_cast<std::uint64_t>(kViewBudget));
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
    std::uint64_t before = WalkWork();
    EXPECT_EQ(selection::PickAt(doc, {35, 5, 0}), s);
    EXPECT_EQ(selection::PickAt(doc, {35, 8, 0}), nullptr);
    EXPECT_LE(WalkWork() - before, static_cast<std::uint64_t>(kViewBudget));

    // A crossing window in the empty middle of 300 of them finds nothing,
    // within a walk's work and the budget's worth past it that its last
    // reference may take.
    Document& many = *app.Documents().Add("Acad");
    ReadDxfText(many, dxf_test::CircleBlocks(300), "circulos.dxf");
    app.ZoomExtents();
    SelectionSet* ss = many.SelectionSets().Add("SStmp");
    const Point3d c = many.ModelExtents().Center();
    before = WalkWork();
    ss->Select(acSelectionSetCrossing, c, c + Vector3d(1, 1, 0));
    EXPECT_EQ(ss->Count(), 0);
    EXPECT_LE(WalkWork() - before, 2 * static_cast<std::uint64_t>(kViewBudget));
    // Through the circles of every reference: all of them.
    ss->Clear();
    ss->Select(acSelectionSetCrossing, c, c + Vector3d(200, 1, 0));
    EXPECT_EQ(ss->Count(), 300);

    // A block of one line and a reference to one of 1,000 lines weighs the
    // 1,000 lines: below a dot it is taken as the dot, not looked into.
    Document& few = *app.Documents().Add("Acad");
    heavy::ShortLines(*few.Blocks().Add({0, 0, 0}, "T"), 1000);
    Block* u = few.Blocks().Add({0, 0, 0}, "U");
    u->AddLine({0, 0, 0}, {10, 10, 0});
    u->InsertBlock({0, 0, 0}, "T", 1, 1, 1, 0);
    EXPECT_GE(KeptDefinition::Of(*u).Pieces(), 1000);
    few.ModelSpace().AddLine({0, 0, 0}, {1000, 1000, 0});
    for (int i = 0; i < 100; ++i) few.ModelSpace().InsertBlock({500, 500, 0}, "U", 1e-6, 1e-6, 1, 0);
    app.ZoomExtents();
    SelectionSet* dots = few.SelectionSets().Add("SStmp");
    before = WalkWork();
    const Point3d off{500 + 2e-6, 500 + 8e-6, 0};  // in their box, off their line and the long one
    dots->Select(acSelectionSetCrossing, off, off);
    EXPECT_EQ(dots->Count(), 100);
    EXPECT_LE(WalkWork() - before, 100u * 6) << "each a dot and its box";
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

    // Ordinary references need no plan: after each edit of the block 10,000
    // of them hold (its ring grown, then shrunk again, so that those on the
    // border move in), a crossing on one manhole looks at what it finds.
    Document city;
    heavy::Manholes(city, 10000);
    city.ActiveView().Fit(city.ModelExtents());
    SelectionSet* ss = city.SelectionSets().Add("SStmp");
    auto* ring = dynamic_cast<Circle*>(city.Blocks().Item("PV")->Item(0));
    const Point3d at = city.ModelSpace().Item(5075)->Extents().Center();
    for (const double radius : {1.6, 1.5}) {
        ring->SetRadius(radius);
        const std::uint64_t before = WalkWork();
        ss->Clear();
        ss->Select(acSelectionSetCrossing, at - Vector3d(0.5, 0.5, 0), at + Vector3d(0.5, 0.5, 0));
        EXPECT_EQ(ss->Count(), 1);
        EXPECT_LE(WalkWork() - before, 300u) << radius;
    }
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
    // Among ten thousand, a side given up by an erasure and by a move inward costs
    // what those two changed, not a walk of them all.
    Circle* top = ms.AddCircle({3500, 5000, 0}, 10);
    for (int i = 0; i < 10000; ++i) ms.AddPoint({3000 + (i % 100) * 10.0, 3000 + (i / 100) * 10.0, 0});
    Line* right = ms.AddLine({5000, 3000, 0}, {5000, 3500, -1});
    EXPECT_EQ(doc.ModelExtents().max.x, 5000);
    const std::uint64_t before = WalkWork();
    top->Delete();
    right->Move({5000, 3000, 0}, {3500, 3000, 0});
    EXPECT_EQ(doc.ModelExtents(), Box::FromCorners({0, 0, -1}, {3990, 3990, 0}));
    EXPECT_GT(WalkWork() - before, 0u);
    EXPECT_LE(WalkWork() - before, 256u);
    right->Delete();
    EXPECT_EQ(doc.ModelExtents(), Box::FromCorners({0, 0, 0}, {3990, 3990, 0}));

    // A text style turned from a shape font to a TrueType face narrows its texts.
    TextStyle* style = doc.TextStyles().Add("ROTULO");
    doc.SetActiveTextStyle(*style);
    Text* t = ms.AddText("escoamento", {0, 100, 0}, 10);  // 84.2 wide
    auto textAt = [&](double x) {
        auto hits = ms.QueryBox(Box::Around({x, 105, 0}, 0.5));
        return std::find(hits.begin(), hits.end(), t) != hits.end();
    };
    EXPECT_TRUE(textAt(82));
    style->SetFont("Arial", false, false, 0, 34);  // 79.2 wide
    EXPECT_FALSE(textAt(82));
    EXPECT_TRUE(textAt(59));
    style->SetFont("Times New Roman", false, false, 0, 18);  // one TrueType face for another: 72.1 wide
    EXPECT_FALSE(textAt(76));
    EXPECT_TRUE(textAt(71));
    style->SetFontFile("romans.shx");
    EXPECT_TRUE(textAt(82));
}

// What a definition draws is measured at each scale and kept until it
// changes. A block of one 10-unit line needs no plan at a pixel per unit,
// but once 200 lines are added to it, it does; a block of one circle needs
// none at a pixel per unit but one at 1,000, and one when inserted at scale
// 1,000 and seen at a pixel per unit. Every piece counts: the letters of a
// note, what the attributes of held references draw, the points of a solid
// circle's ring, each of 5,000 lines.
TEST(HitTest, WhatADefinitionDrawsIsMeasuredAtItsScaleUntilItChanges)
{
    Document doc;
    doc.SetScreenSize(1000, 1000);
    auto needsPlan = [&](const Entity& r, double px) {
        doc.ActiveView().SetCenter(r.Extents().Center());
        doc.ActiveView().SetHeight(doc.ScreenHeight() / px);
        doc.PlanKept().reset();
        selection::ViewPlan(doc).DepthOf(r);
        return doc.PlanKept() != nullptr;
    };
    Block* lines = doc.Blocks().Add({0, 0, 0}, "LINHAS");
    lines->AddLine({0, 0, 0}, {10, 0, 0});
    BlockReference* r = doc.ModelSpace().InsertBlock({0, 0, 0}, "LINHAS", 1, 1, 1, 0);
    EXPECT_FALSE(needsPlan(*r, 1));
    for (int i = 1; i <= 200; ++i) lines->AddLine({0, i * 0.05, 0}, {10, i * 0.05, 0});
    EXPECT_TRUE(needsPlan(*r, 1)) << "a block made heavy by an edit";

    doc.Blocks().Add({0, 0, 0}, "CIRCULO")->AddCircle({0, 0, 0}, 1);
    BlockReference* ring = doc.ModelSpace().InsertBlock({100, 0, 0}, "CIRCULO", 1, 1, 1, 0);
    EXPECT_FALSE(needsPlan(*ring, 1));
    EXPECT_TRUE(needsPlan(*ring, 1000)) << "at 1,000 pixels per unit";
    EXPECT_FALSE(needsPlan(*ring, 1)) << "and at one again";
    BlockReference* large = doc.ModelSpace().InsertBlock({5000, 0, 0}, "CIRCULO", 1000, 1000, 1, 0);
    EXPECT_TRUE(needsPlan(*large, 1)) << "inserted at scale 1,000";

    // Twenty references of a point with an attribute draw the attributes' letters.
    Block* mark = doc.Blocks().Add({0, 0, 0}, "MARCO");
    mark->AddPoint({0, 0, 0});
    mark->AddAttribute(1, 0, "", {1, 0, 0}, "NUM", "PV-12");
    Block* twenty = doc.Blocks().Add({0, 0, 0}, "VINTE");
    for (int i = 0; i < 20; ++i) twenty->InsertBlock({i * 3.0, 0, 0}, "MARCO", 1, 1, 1, 0);
    EXPECT_GT(KeptDefinition::Of(*twenty).Pieces(), kReferenceWork);
    // A solid circle is the points of its ring: no ordinary block, seen as a dot it is taken as the dot.
    Block* filled = doc.Blocks().Add({0, 0, 0}, "CHEIO");
    Circle* round = filled->AddCircle({0, 0, 0}, 10);
    Hatch* fill = filled->AddHatch(1, "SOLID", false);
    fill->AppendOuterLoop({round});
    fill->Evaluate();
    round->Delete();
    EXPECT_GT(KeptDefinition::Of(*filled).Pieces(), kReferenceWork);
    BlockReference* disc = doc.ModelSpace().InsertBlock({0, -100, 0}, "CHEIO", 1, 1, 1, 0);
    EXPECT_FALSE(SeenThroughDot(*disc));
    // A pick in a corner of its box, off the circle, looks at each point of
    // the ring, and is charged each.
    doc.ActiveView().SetCenter({0, -100, 0});
    doc.ActiveView().SetHeight(30);
    const std::size_t points = fill->LoopPoints(0, 0.5 * selection::PixelSize(doc)).size();
    ASSERT_GT(points, 40u);
    for (int pass = 0; pass < 2; ++pass) {
        const std::uint64_t from = WalkWork();
        EXPECT_EQ(selection::PickAt(doc, {9.6, -90.4, 0}), nullptr);
        EXPECT_GE(WalkWork() - from, points) << pass;
    }

    // A note of 20,000 letters beside two lines is no ordinary block: 2,000
    // references of it far below a dot are each taken as the dot (beside
    // them, the line they lie on).
    Document notes;
    heavy::Build(notes, {heavy::Case::LongNote, 2000});
    EXPECT_GT(KeptDefinition::Of(*notes.Blocks().Item("NOTA")).Pieces(), kReferenceWork);
    SelectionSet* ss = notes.SelectionSets().Add("SStmp");
    std::uint64_t before = WalkWork();
    ss->Select(acSelectionSetCrossing, {50, 50, 0}, {50.001, 50.001, 0});
    EXPECT_EQ(ss->Count(), 2001);
    EXPECT_LE(WalkWork() - before, 2000u * 10);

    // Measuring a block counts each of its pieces.
    Block* many = doc.Blocks().Add({0, 0, 0}, "MUITAS");
    heavy::ShortLines(*many, 5000);
    before = WalkWork();
    KeptDefinition::Of(*many).Pieces();
    EXPECT_GE(WalkWork() - before, 5000u);

    // A turned reference of a spline through 2,000 points takes its box from
    // the spline's control points, which hold it, not from its 24,000 samples.
    Block* curve = doc.Blocks().Add({0, 0, 0}, "CURVA");
    std::vector<double> fit;
    for (int i = 0; i < 2000; ++i) fit.insert(fit.end(), {i * 0.05, 5 * std::sin(i * 0.01), 0.0});
    Spline* s = curve->AddSpline(fit, {}, {});
    curve->Extents();
    before = WalkWork();
    BlockReference* turned = doc.ModelSpace().InsertBlock({0, 1000, 0}, "CURVA", 1, 1, 1, 0.3);
    const Box box = turned->Extents();
    EXPECT_LE(WalkWork() - before, 3u * 2002);
    const Transform t = turned->BlockTransform();
    Box exact;
    for (int i = 0; i <= 4000; ++i) {
        const double u = s->StartParameter() + (s->EndParameter() - s->StartParameter()) * i / 4000;
        exact.Add(t.Apply(s->PointAt(u)));
    }
    EXPECT_TRUE(box.Expanded(1e-9).Contains(exact));
    EXPECT_LT(box.Width(), exact.Width() * 1.01);
    EXPECT_LT(box.Height(), exact.Height() * 1.01);
}

// Each measure is taken once: 400 references of one 100,000-vertex polyline,
// each a quarter octave smaller than the one before, weigh a view at about
// one measure of the polyline, and the same view weighed again costs a look
// up for each reference; the drawing's extents after an edit of all of them
// are charged for it.
TEST(HitTest, EachMeasureOfADefinitionIsTakenOnceAndKeptUntilItChanges)
{
    Document doc;
    heavy::Build(doc, {heavy::Case::QuarterOctaves, 400});
    SpaceView v;
    v.space = &doc.ModelSpace();
    v.view = doc.ActiveView().VisibleBox();
    v.pxPerUnit = 1 / selection::PixelSize(doc);
    std::uint64_t before = WalkWork();
    PlanView(v);
    EXPECT_LE(WalkWork() - before, 5u * 100000);
    before = WalkWork();
    PlanView(v);
    EXPECT_LE(WalkWork() - before, 400u * 50) << "weighed again";

    // Three references of a 100,000-vertex contour, the view zoomed in octave
    // by octave on a point of the first: once its pieces are about a pixel
    // long, a new octave costs the pieces in view, never the contour again.
    Document contour;
    heavy::Build(contour, {heavy::Case::Contours, 3});
    const Box all = contour.ModelExtents();
    SpaceView z;
    z.space = &contour.ModelSpace();
    for (int octave = 0; octave <= 12; ++octave) {
        const double height = all.Height() / std::exp2(octave);
        z.view = octave == 0 ? all : Box::Around({8, 0, 0}, height / 2);
        z.pxPerUnit = 1000 / height;
        before = WalkWork();
        PlanView(z);
        if (octave >= 3) {
            EXPECT_LE(WalkWork() - before, 20000u) << "octave " << octave;
        }
    }

    // 3,200 lines all moved: the extents measure each again.
    Document moved;
    for (int i = 0; i < 3200; ++i) moved.ModelSpace().AddLine({i * 1.0, 0, 0}, {i * 1.0, 1, 0});
    EXPECT_EQ(moved.ModelExtents().max.x, 3199);
    for (Entity* e : moved.ModelSpace()) e->Move({0, 0, 0}, {0, 1, 0});
    before = WalkWork();
    EXPECT_EQ(moved.ModelExtents().max.y, 2);
    EXPECT_GE(WalkWork() - before, 3200u);
}

// Clips and the layers frozen in a viewport hold for every walk. A clipped
// external reference whose definition changes keeps its box within the clip;
// a crossing through a viewport over a block's line on a layer frozen there
// does not select the block, and one over its other line does.
TEST(HitTest, ClipsAndLayersFrozenInAViewportHoldForEveryWalk)
{
    Document doc;
    Block* x = doc.Blocks().Add({0, 0, 0}, "EXTERNO");
    x->SetXRefPath("externo.dxf");
    x->AddLine({0, 10, 0}, {100, 10, 0});
    auto* clipped = dynamic_cast<ExternalReference*>(doc.ModelSpace().InsertBlock({0, 0, 0}, "EXTERNO", 1, 1, 1, 0));
    ASSERT_NE(clipped, nullptr);
    clipped->SetClipBoundary({{0, 0, 0}, {50, 20, 0}});
    EXPECT_NEAR(clipped->Extents().max.x, 50, 1e-9);
    x->AddLine({0, 12, 0}, {100, 12, 0});
    EXPECT_NEAR(clipped->Extents().max.x, 50, 1e-9) << "after an edit of its definition";
    EXPECT_TRUE(doc.ModelSpace().QueryBox(Box::Around({80, 10, 0}, 0.5)).empty());

    Document sheet;
    sheet.Layers().Add("OCULTA");
    Block* b = sheet.Blocks().Add({0, 0, 0}, "DUAS");
    b->AddLine({0, 0, 0}, {10, 0, 0})->SetLayer("OCULTA");
    b->AddLine({0, 5, 0}, {10, 5, 0});
    BlockReference* r = sheet.ModelSpace().InsertBlock({0, 0, 0}, "DUAS", 1, 1, 1, 0);
    sheet.SetActiveSpace(acPaperSpace);
    PViewport* vp = sheet.PaperSpace().AddPViewport({50, 50, 0}, 100, 100);
    vp->Display(true);
    vp->View().Fit(Box::FromCorners({-1, -1, 0}, {11, 11, 0}));
    ViewportData frozen = vp->Data();
    frozen.frozenLayers = {sheet.Layers().Item("OCULTA")->Index()};
    vp->SetData(frozen);
    sheet.SetActivePViewport(*vp);
    sheet.SetMSpace(true);
    SelectionSet* ss = sheet.SelectionSets().Add("SStmp");
    ss->Select(acSelectionSetCrossing, {4, -0.5, 0}, {6, 0.5, 0});
    EXPECT_EQ(ss->Count(), 0) << "its line on a layer frozen there";
    EXPECT_EQ(selection::PickAt(sheet, {5, 0, 0}), nullptr);
    ss->Clear();
    ss->Select(acSelectionSetCrossing, {4, 4.5, 0}, {6, 5.5, 0});
    ASSERT_EQ(ss->Count(), 1);
    EXPECT_EQ(ss->Item(0), r);
}

namespace {
// What every walk but the frame answers at `c` in the view of `doc`, each
// weighing the view again: a crossing two pixels about it, a window from a
// hundred pixels below and left of it, a pick, a nested pick of what is
// picked, and an object snap.
struct Answers {
    std::vector<Entity*> crossing, window;
    Entity* picked = nullptr;
    std::vector<Entity*> part;  // the containers of the part picked, and it
    Point3d snapped;
    bool operator==(const Answers&) const = default;
};

// The most work any one walk did is added to `most`.
Answers WalkAt(Document& doc, const Point3d& c, std::uint64_t& most)
{
    Answers a;
    SelectionSet* ss = doc.SelectionSets().Find("SStmp");
    if (!ss) ss = doc.SelectionSets().Add("SStmp");
    doc.SetVariable("OSMODE", input::Osnap::End | input::Osnap::Mid | input::Osnap::Center | input::Osnap::Node |
                                  input::Osnap::Nearest);
    const double pixel = selection::PixelSize(doc);
    const Vector3d two(2 * pixel, 2 * pixel, 0);
    std::uint64_t before = 0;
    auto begin = [&] {
        doc.PlanKept().reset();
        before = WalkWork();
    };
    auto end = [&] { most = std::max(most, WalkWork() - before); };
    auto items = [&] {
        std::vector<Entity*> r;
        for (int i = 0; i < ss->Count(); ++i) r.push_back(ss->Item(i));
        ss->Clear();
        return r;
    };
    begin();
    ss->Select(acSelectionSetCrossing, c - two, c + two);
    end();
    a.crossing = items();
    begin();
    ss->Select(acSelectionSetWindow, c - two * 100, c + two);
    end();
    a.window = items();
    begin();
    a.picked = selection::PickAt(doc, c);
    end();
    if (a.picked) {
        begin();
        if (auto nested = PickNested(*a.picked, c, selection::kPickBoxPixels * pixel, selection::ViewPlan(doc))) {
            a.part = nested->containers;
            a.part.push_back(nested->entity);
        }
        end();
    }
    begin();
    a.snapped = input::Snap(doc, c);
    end();
    return a;
}
}  // namespace

// A grid of copies (MINSERT) is arithmetic: a walk reaches only the rows and
// columns its box meets, nearest its middle first, and stops once it has its
// answer; copies on one spot are one. Each walk of a grid (a crossing, a
// window, a pick, a nested pick, an object snap) answers as the same walk of
// each copy does, 1 apart, on one spot, spaced past the largest number (its
// far corners no numbers), spaced the other way, turned, turned over, nested
// in another grid over it, drawn by a dimension. With 32,767 ×
// 32,767 copies (files of a few hundred bytes) each walk does no more than a
// walk's work, and answers among a few copies as it does among 60 × 60; the
// extents after an edit of the block cost its corners.
TEST(HitTest, EveryWalkOfAGridOfCopiesReachesOnlyTheCopiesItsBoxMeets)
{
    const auto kWalk = static_cast<std::uint64_t>(2 * kViewBudget);  // a walk's work, and the view weighed
#ifdef QUORIL_TEST_ASAN
    constexpr bool sanitized = true;
#else
    constexpr bool sanitized = false;
#endif
    struct Case {
        const char* name;
        std::function<void(Document&, int)> build;  // `n` copies a side
        std::vector<Point3d> at;                    // where the walks are made
        // A view of a few copies: the first of `at` in it lies on a line, the next off any.
        Box zoomed;
        Vector3d far;  // from there to as many copies alike in the middle of 32,767 × 32,767
        // Whether walks there run out of a walk's work: under the sanitizers
        // they are left to the plain build (what they check is the bound).
        bool spends = false;
    };
    auto line = [](Document& d) { d.Blocks().Add({0, 0, 0}, "L")->AddLine({0, 0, 0}, {0.5, 0.5, 0}); };
    // A unit square crossed by its diagonal.
    auto square = [](Document& d) {
        Block* q = d.Blocks().Add({0, 0, 0}, "Q");
        q->AddLightWeightPolyline({0, 0, 1, 0, 1, 1, 0, 1, 0, 0});
        q->AddLine({0, 0, 0}, {1, 1, 0});
    };
    // A point of the turned grid, from the coordinates of its copies.
    auto turned = [](double x, double y) {
        return Point3d{5 + x * std::cos(kPi / 6) - y * std::sin(kPi / 6),
                       5 + x * std::sin(kPi / 6) + y * std::cos(kPi / 6)};
    };
    const std::vector<Case> cases = {
        {"1 apart",
         [&](Document& d, int n) {
             line(d);
             heavy::Grid(d.ModelSpace(), "L", n, n, 1, 1);
         },
         {{0.25, 0.25, 0}, {0.75, 0.25, 0}, {59.5, 59.5, 0}, {-3, 20, 0}, {29.25, 29.25, 0}, {29.4, 29.3, 0}},
         Box::FromCorners({28.9, 28.9, 0}, {30.1, 30.1, 0}),
         {16000, 16000, 0}},
        {"on one spot",
         [&](Document& d, int n) {
             line(d);
             heavy::Grid(d.ModelSpace(), "L", n, n, 1e-300, 1e-300, {10, 10, 0});
         },
         {{10.5, 10.5, 0}, {10, 10.4, 0}, {10.25, 10.25, 0}, {10.3, 10.2, 0}},
         Box::FromCorners({10.2, 10.2, 0}, {10.4, 10.4, 0}),
         {}},
        {"spaced past the largest number",
         [&](Document& d, int n) {
             line(d);
             heavy::Grid(d.ModelSpace(), "L", n, n, 1e307, 1e307);
         },
         {{0.5, 0.5, 0}, {0, 0.4, 0}, {0.25, 0.25, 0}, {0.3, 0.2, 0}},
         Box::FromCorners({0.2, 0.2, 0}, {0.4, 0.4, 0}),
         {}},
        {"spaced the other way",
         [&](Document& d, int n) {
             square(d);
             heavy::Grid(d.ModelSpace(), "Q", n, n / 2, -3, -2.5);
         },
         {{0.5, 0.5, 0}, {-1.5, 0.5, 0}, {-86.5, -147, 0}, {-2.5, -2.0, 0}, {-2.5, -2.2, 0}, {-1.5, -2.2, 0}},
         Box::FromCorners({-4, -4, 0}, {-1, -1, 0}),
         {-24000, -40000, 0}},
        {"turned",
         [&](Document& d, int n) {
             square(d);
             heavy::Grid(d.ModelSpace(), "Q", n / 2, n, 3, 2.5, {5, 5, 0}, kPi / 6);
         },
         {turned(0.5, 0.5), turned(177.5, 73), turned(3.5, 3), turned(3.5, 2.9), turned(5, 3)},
         Box::FromCorners(turned(3.5, 3) - Point3d{1.5, 1.5}, turned(3.5, 3) + Point3d{1.5, 1.5}),
         turned(48000, 20000) - turned(0, 0)},
        {"turned over",
         [&](Document& d, int n) {
             square(d);
             heavy::Grid(d.ModelSpace(), "Q", n, n, 3, 2.5, {5, 5, 0}, 0, {0, 0, -1});
         },
         {{-5.5, 5.5, 0}, {-3, 6, 0}, {-182.5, 153, 0}, {-8.5, 8, 0}, {-8.2, 7.6, 0}, {-9.5, 5.5, 0}},
         Box::FromCorners({-10, 5, 0}, {-7, 8, 0}),
         {-48000, 40000, 0}},
        {"nested in a grid over it",
         [&](Document& d, int n) {
             line(d);
             heavy::Grid(*d.Blocks().Add({0, 0, 0}, "G"), "L", n, n, 1, 1);
             heavy::Grid(d.ModelSpace(), "G", n, n, 1, 1);
         },
         {{118.5, 118.5, 0}, {3, 1.6, 0}, {40.25, 40.25, 0}, {40.75, 40.25, 0}},
         Box::FromCorners({39.9, 39.9, 0}, {41.1, 41.1, 0}),
         {32727, 32727, 0},
         true},
        {"drawn by a dimension",
         [&](Document& d, int n) {
             line(d);
             heavy::PictureDimension(d.ModelSpace(), heavy::Picture(d, "*D", 0, "L"));
             auto* held = dynamic_cast<BlockReference*>(d.Blocks().Item("*D1")->Item(0));
             BlockReferenceData g = held->Data();
             g.rows = g.columns = n;
             g.rowSpacing = g.columnSpacing = 1;
             held->SetData(g);
         },
         {{5, 0, 0}, {59.5, 59.5, 0}, {20.25, 20.25, 0}, {20.75, 20.25, 0}},
         Box::FromCorners({19.9, 19.9, 0}, {21.1, 21.1, 0}),
         {16000, 16000, 0}},
    };
    // The handles of what a walk answers: the same in two drawings built alike.
    auto handles = [](const Answers& a) {
        std::vector<std::string> r;
        for (const auto* list : {&a.crossing, &a.window, &a.part}) {
            for (const Entity* e : *list) r.push_back(e->Handle());
            r.push_back("|");
        }
        r.push_back(a.picked ? a.picked->Handle() : "-");
        return r;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Small enough to walk each copy: the answers of a walk of each.
        Document small;
        c.build(small, 60);
        std::map<std::pair<double, double>, Answers> near;
        for (const Box& view : {small.ModelExtents(), c.zoomed}) {
            small.ActiveView().Fit(view);
            for (const Point3d& p : c.at) {
                SCOPED_TRACE(testing::Message() << p.x << ", " << p.y << " in a view " << view.Width() << " wide");
                std::uint64_t most = 0;
                const Answers bounded = WalkAt(small, p, most);
                Unbudgeted whole;
                const Answers exact = WalkAt(small, p, most);
                EXPECT_EQ(bounded.crossing, exact.crossing);
                EXPECT_EQ(bounded.window, exact.window);
                EXPECT_EQ(bounded.picked, exact.picked);
                EXPECT_EQ(bounded.part, exact.part);
                EXPECT_EQ(Distance(bounded.snapped, exact.snapped), 0.0);
                if (view == c.zoomed && c.zoomed.Contains(p)) {
                    EXPECT_EQ(exact.picked != nullptr, near.empty()) << "on a line, and off any";
                    near[{p.x, p.y}] = bounded;
                }
            }
        }
        // As large as a file holds: bounded, and among a few copies as the small one.
        Document huge;
        c.build(huge, 32767);
        const Box middle = Box::FromCorners(c.zoomed.min + c.far, c.zoomed.max + c.far);
        for (const Box& view : {huge.ModelExtents(), c.zoomed, middle}) {
            if (sanitized && c.spends && view == middle) continue;
            huge.ActiveView().Fit(view);
            for (const Point3d& q : c.at) {
                const Point3d p = view == middle ? q + c.far : q;
                SCOPED_TRACE(testing::Message() << p.x << ", " << p.y << " in a view " << view.Width() << " wide");
                std::uint64_t most = 0;
                const Answers a = WalkAt(huge, p, most);
                EXPECT_LE(most, kWalk);
                if (view != huge.ModelExtents() && c.zoomed.Contains(q)) {
                    EXPECT_EQ(handles(a), handles(near[{q.x, q.y}]));
                    EXPECT_NEAR(Distance(a.snapped - (p - q), near[{q.x, q.y}].snapped), 0.0, 1e-9);
                }
            }
        }
        // The extents after an edit of the block each copy draws.
        const std::string block = huge.Blocks().Find("L") ? "L" : "Q";
        huge.Blocks().Item(block)->AddPoint({0, 0, 0})->Delete();
        const std::uint64_t before = WalkWork();
        EXPECT_TRUE(huge.ModelExtents().IsFinite());
        EXPECT_LE(WalkWork() - before, 4 * kReferenceWork);
    }
}
