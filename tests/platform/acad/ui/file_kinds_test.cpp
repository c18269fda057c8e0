// Drawings other programs made, one small file for each kind of entity the
// host keeps from them (tests/platform/acad/kinds): each is drawn as the file
// means it, with no stray line; its box holds its ink; a pick and a crossing
// find it where it is drawn; and saving keeps what was read.

#include <gtest/gtest.h>

#include "UiHarness.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/acad/DxfFile.h"
#include "platform/acad/HitTest.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/SelectionSetQuery.h"
#include "support/MemoryLimit.h"

using acad::Point3d;
using acad::ui::AciColor;
using uitest::HasColorNear;
using uitest::Harness;

namespace {

std::string Fixture(const char* name)
{
    return (std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/platform/acad/kinds" / name).string();
}

class FileKinds : public ::testing::Test {
protected:
    acad::Document& Open(const char* name)
    {
        acad::Document* d = h.app.Documents().Open(Fixture(name));
        Harness::Process();
        return *d;
    }
    // The drawing seen from `a` to `b`, as the window draws it.
    QImage Seen(const Point3d& a, const Point3d& b)
    {
        h.app.ZoomWindow(a, b);
        return h.Grab();
    }
    // Ink of the drawing's colour (white, by layer "0") at the point.
    bool Ink(const QImage& img, const Point3d& p, int radius = 1)
    {
        return HasColorNear(img, h.PixelOf(p), AciColor(7), radius);
    }
    static void ExpectBox(const acad::Box& b, const Point3d& lo, const Point3d& hi, double tolerance = 1e-9)
    {
        EXPECT_NEAR(b.min.x, lo.x, tolerance);
        EXPECT_NEAR(b.min.y, lo.y, tolerance);
        EXPECT_NEAR(b.max.x, hi.x, tolerance);
        EXPECT_NEAR(b.max.y, hi.y, tolerance);
    }
    // The entities a crossing `half` units around `c` finds, by kind.
    static std::vector<std::string> Crossed(const acad::Document& doc, const Point3d& c, double half)
    {
        std::vector<std::string> kinds;
        for (const acad::Entity* e : acad::selection::ByWindow(doc, acad::Box::Around(c, half), true, {}))
            kinds.push_back(e->DxfName());
        return kinds;
    }
    // The drawing saved and opened again.
    std::unique_ptr<acad::Document> SavedAndRead(const acad::Document& doc)
    {
        auto back = std::make_unique<acad::Document>(&h.app);
        acad::ReadDxfText(*back, acad::WriteDxfText(doc), "de novo");
        return back;
    }
    using Kinds = std::vector<std::string>;
    Harness h;
};

}  // namespace

// The square (corners listed 1, 2, 4, 3 around it), the triangle (its fourth
// corner the third again) and the trace are filled areas, where their corners
// joined in the file's order would cross the square with a stray diagonal.
TEST_F(FileKinds, SolidsAndTracesAreFilledInTheFilesOrder)
{
    acad::Document& doc = Open("solid_trace.dxf");
    ExpectBox(doc.ModelExtents(), {0, 0}, {30, 22});
    const QImage img = Seen({-5, -5, 0}, {35, 25, 0});
    for (const Point3d& inside : {Point3d{2.5, 5}, Point3d{7.5, 8}, Point3d{25, 3}, Point3d{5, 21}})
        EXPECT_TRUE(Ink(img, inside, 0)) << inside.x << " " << inside.y;
    for (const Point3d& outside : {Point3d{15, 5}, Point3d{21, 8}, Point3d{29, 8}, Point3d{5, 15}})
        EXPECT_FALSE(Ink(img, outside)) << outside.x << " " << outside.y;
    // Picked and crossed inside the area, away from its edges.
    const acad::Entity* picked = acad::selection::PickAt(doc, {2.5, 5, 0});
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(picked->DxfName(), "SOLID");
    EXPECT_EQ(Crossed(doc, {5, 21, 0}, 0.1), Kinds{"TRACE"});
    // Saved, the same corners in the same order.
    auto back = SavedAndRead(doc);
    ExpectBox(back->ModelExtents(), {0, 0}, {30, 22});
    EXPECT_EQ(back->ModelSpace().Item(2)->DxfName(), "TRACE");
    EXPECT_NE(acad::selection::PickAt(*back, {7.5, 8, 0}), nullptr);
}

// A construction line through (5, 5) along (1, 1) and a ray from (0, −5)
// along +X beside the line from (0, 0) to (10, 10): the extents are the
// line's; the construction line is drawn wherever the view is, the ray only
// on its side; a crossing anywhere along them finds them, a window never holds them.
TEST_F(FileKinds, ConstructionLinesReachTheViewsEdgesAndStayOutOfTheExtents)
{
    acad::Document& doc = Open("xline_ray.dxf");
    ExpectBox(doc.ModelExtents(), {0, 0}, {10, 10});
    QImage img = Seen({50, 45, 0}, {60, 65, 0});
    EXPECT_TRUE(Ink(img, {55, 55}));
    EXPECT_TRUE(Ink(img, {50.5, 50.5}));  // to the view's edges
    EXPECT_TRUE(Ink(img, {59.5, 59.5}));
    EXPECT_FALSE(Ink(img, {55, 50}));
    img = Seen({995, -10, 0}, {1005, 0, 0});
    EXPECT_TRUE(Ink(img, {1000, -5}));
    img = Seen({-1005, -10, 0}, {-995, 0, 0});
    EXPECT_FALSE(Ink(img, {-1000, -5}));  // a ray runs one way

    h.app.ZoomWindow({-2000, -2000, 0}, {2000, 2000, 0});
    EXPECT_EQ(Crossed(doc, {1000, -5, 0}, 1), Kinds{"RAY"});
    EXPECT_EQ(Crossed(doc, {-1000, -5, 0}, 1), Kinds{});
    EXPECT_EQ(Crossed(doc, {-700, -700, 0}, 1), Kinds{"XLINE"});
    std::vector<std::string> inside;
    for (const acad::Entity* e : acad::selection::ByWindow(doc, acad::Box::Around({0, 0, 0}, 1900), false, {}))
        inside.push_back(e->DxfName());
    EXPECT_EQ(inside, Kinds{"LINE"});
    h.app.ZoomWindow({50, 50, 0}, {60, 60, 0});
    const acad::Entity* picked = acad::selection::PickAt(doc, {55, 55.01, 0});
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(picked->DxfName(), "XLINE");

    auto back = SavedAndRead(doc);
    ExpectBox(back->ModelExtents(), {0, 0}, {10, 10});
    EXPECT_EQ(back->ModelSpace().Item(1)->DxfName(), "XLINE");
    EXPECT_EQ(back->ModelSpace().Item(2)->DxfName(), "RAY");
}

// An image of 100 × 50 pixels of 0.1 unit at the origin draws its frame (the
// raster is not read); a wipeout over (22, 2)–(28, 8) hides the line drawn
// before it and not the one drawn after it.
TEST_F(FileKinds, ImagesShowTheirFrameAndWipeoutsHideWhatLiesBeforeThem)
{
    acad::Document& doc = Open("image_wipeout.dxf");
    ExpectBox(doc.ModelExtents(), {0, 0}, {30, 10});
    const QImage img = Seen({-2, -4, 0}, {32, 14, 0});
    EXPECT_TRUE(Ink(img, {5, 0}));
    EXPECT_TRUE(Ink(img, {10, 2.5}));
    EXPECT_TRUE(Ink(img, {5, 5}));
    EXPECT_FALSE(Ink(img, {5, 2.5}));
    EXPECT_TRUE(Ink(img, {21, 5}));
    EXPECT_FALSE(Ink(img, {23, 5}));  // under the wipeout
    EXPECT_FALSE(Ink(img, {27, 5}));
    EXPECT_TRUE(Ink(img, {29, 5}));
    EXPECT_TRUE(Ink(img, {25, 3}));  // over it
    EXPECT_EQ(Crossed(doc, {10, 2.5, 0}, 0.05), Kinds{"IMAGE"});
    EXPECT_EQ(Crossed(doc, {5, 2.5, 0}, 0.05), Kinds{});

    auto back = SavedAndRead(doc);
    ExpectBox(back->ModelExtents(), {0, 0}, {30, 10});
    EXPECT_EQ(back->ModelSpace().Item(2)->DxfName(), "WIPEOUT");
}

// A text leader from (0, 0) by (10, 9) and a dogleg to (18, 9), its note
// "NOTA" at (20, 10); a block leader from (40, 0) to a circle of radius 2 at
// (60, 10). Each draws its line, a filled arrowhead at its tip and its content.
TEST_F(FileKinds, MultileadersDrawTheirLinesArrowsAndContent)
{
    acad::Document& doc = Open("multileader.dxf");
    const acad::Box b = doc.ModelExtents();
    EXPECT_NEAR(b.min.x, 0, 1e-9);
    EXPECT_NEAR(b.min.y, 0, 1e-9);
    EXPECT_NEAR(b.max.x, 62, 1e-9);
    EXPECT_NEAR(b.max.y, 12, 1e-9);
    const QImage img = Seen({-5, -10, 0}, {65, 20, 0});
    EXPECT_TRUE(Ink(img, {5, 4.5}));  // the leader
    EXPECT_TRUE(Ink(img, {14, 9}));   // its dogleg
    EXPECT_TRUE(Ink(img, {45, 5}));
    EXPECT_TRUE(Ink(img, {62, 10}));   // the block's circle
    EXPECT_FALSE(Ink(img, {60, 10}));  // and not its middle
    // Inside the arrowhead, off the line: filled.
    EXPECT_TRUE(Ink(img, {40 + 1.5 * 0.7071 + 0.1, 1.5 * 0.7071 - 0.1}, 0));
    int text = 0;
    for (double x = 20; x < 26; x += 0.25)
        for (double y = 8; y < 10; y += 0.25) text += Ink(img, {x, y}, 0);
    EXPECT_GT(text, 5) << "the note drawn";
    EXPECT_EQ(Crossed(doc, {60, 12, 0}, 0.1), Kinds{"MULTILEADER"});

    auto back = SavedAndRead(doc);
    EXPECT_EQ(back->ModelExtents(), doc.ModelExtents());
}

// A table at (100, 50) names its block "*T1", a grid of 20 × 10: the block is
// drawn there, not lines through the table's point and direction.
TEST_F(FileKinds, TablesDrawTheirBlockAtTheirPlace)
{
    acad::Document& doc = Open("table.dxf");
    ExpectBox(doc.ModelExtents(), {100, 40}, {120, 50});
    const QImage img = Seen({95, 35, 0}, {125, 55, 0});
    EXPECT_TRUE(Ink(img, {105, 50}));
    EXPECT_TRUE(Ink(img, {105, 45}));
    EXPECT_TRUE(Ink(img, {110, 42}));
    EXPECT_FALSE(Ink(img, {115, 47.5}));
    EXPECT_EQ(Crossed(doc, {120, 45, 0}, 0.1), Kinds{"ACAD_TABLE"});

    auto back = SavedAndRead(doc);
    ExpectBox(back->ModelExtents(), {100, 40}, {120, 50});
    ASSERT_NE(back->Blocks().Find("*T1"), nullptr);
}

// A mesh of one square face whose vertices are listed crosswise draws the
// face's four edges, not the diagonals of the list.
TEST_F(FileKinds, MeshesDrawTheEdgesOfTheirFaces)
{
    acad::Document& doc = Open("mesh.dxf");
    ExpectBox(doc.ModelExtents(), {0, 0}, {10, 10});
    const QImage img = Seen({-2, -2, 0}, {12, 12, 0});
    for (const Point3d& edge : {Point3d{5, 0}, Point3d{10, 5}, Point3d{5, 10}, Point3d{0, 5}})
        EXPECT_TRUE(Ink(img, edge)) << edge.x << " " << edge.y;
    EXPECT_FALSE(Ink(img, {5, 5}));
    EXPECT_FALSE(Ink(img, {2.5, 2.5}));
}

// Kinds with nothing to draw here are kept and saved, and draw nothing: no
// stray line from a place to a direction (a tolerance at (50, 50) along +X),
// none from a solid's data.
TEST_F(FileKinds, SolidsRegionsAndProxiesAreKeptAndDrawNothing)
{
    const std::string file =
        "  0\nSECTION\n  2\nENTITIES\n"
        "  0\n3DSOLID\n  5\nA1\n  8\n0\n100\nAcDbModelerGeometry\n 70\n1\n  1\nabc\n"
        "  0\nREGION\n  5\nA2\n  8\n0\n100\nAcDbModelerGeometry\n 70\n1\n  1\ndef\n"
        "  0\nBODY\n  5\nA3\n  8\n0\n100\nAcDbModelerGeometry\n 70\n1\n  1\nghi\n"
        "  0\nACAD_PROXY_ENTITY\n  5\nA4\n  8\n0\n100\nAcDbProxyEntity\n 90\n498\n 91\n1\n"
        "  0\nTOLERANCE\n  5\nA5\n  8\n0\n100\nAcDbFcf\n  3\nStandard\n 10\n50\n 20\n50\n"
        " 30\n0\n  1\n{\\Fgdt;j}%%v0.1\n 11\n1\n 21\n0\n 31\n0\n"
        "  0\nLINE\n  5\nA6\n  8\n0\n 10\n0\n 20\n0\n 11\n10\n 21\n0\n"
        "  0\nENDSEC\n  0\nEOF\n";
    acad::Document& doc = *h.app.Documents().Add();
    acad::ReadDxfText(doc, file, "sem desenho.dxf");
    ASSERT_EQ(doc.ModelSpace().Count(), 6);
    ExpectBox(doc.ModelExtents(), {0, 0}, {10, 0});
    const QImage img = Seen({-10, -10, 0}, {60, 60, 0});
    EXPECT_FALSE(Ink(img, {25, 25}));
    EXPECT_FALSE(Ink(img, {50, 50}));
    const std::string saved = acad::WriteDxfText(doc);
    for (const char* kind : {"3DSOLID", "REGION", "BODY", "ACAD_PROXY_ENTITY", "TOLERANCE"})
        EXPECT_NE(saved.find(std::string("\r\n") + kind + "\r\n"), std::string::npos) << kind;
    EXPECT_NE(saved.find("\r\nghi\r\n"), std::string::npos);
}

// Each dimension draws the block of its picture (its group 2): a rotated one
// at 30 degrees, a radius, an angular and an aligned one, with their filled
// arrowheads and their texts as the file's program wrote them ("10", not
// "10.00"). Their boxes are their blocks'.
TEST_F(FileKinds, DimensionsDrawTheirOwnPicture)
{
    acad::Document& doc = Open("dimensions.dxf");
    std::vector<acad::Entity*> dims;
    for (acad::Entity* e : doc.ModelSpace())
        if (e->DxfName() == "DIMENSION") dims.push_back(e);
    ASSERT_EQ(dims.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        const acad::Block* picture = doc.Blocks().Find("*D" + std::to_string(i + 1));
        ASSERT_NE(picture, nullptr) << i;
        acad::Box drawn;
        for (const acad::Entity* part : *picture)
            if (const acad::Box b = part->Extents(); b.IsFinite()) drawn.Add(b);
        EXPECT_EQ(dims[i]->Extents(), drawn) << i;
    }
    // The aligned one, from (0, −30) to (10, −30), its line 5 above: arrowheads
    // filled (the file's are solids), where the host would draw two strokes,
    // and its line broken around its text.
    const QImage img = Seen({-2, -32, 0}, {12, -20, 0});
    EXPECT_TRUE(Ink(img, {0.6, -24.95}, 0));
    EXPECT_TRUE(Ink(img, {9.4, -25.05}, 0));
    EXPECT_TRUE(Ink(img, {2.5, -25}));
    EXPECT_FALSE(Ink(img, {4.2, -25}, 0));
    // Picked on its picture's dimension line.
    h.app.ZoomWindow({-2, -32, 0}, {12, -20, 0});
    EXPECT_EQ(acad::selection::PickAt(doc, {2.5, -25, 0}), dims[3]);

    // Saved, each names its own block again, which holds what it held.
    auto back = SavedAndRead(doc);
    for (int i = 0; i < 4; ++i) {
        const acad::Block* before = doc.Blocks().Find("*D" + std::to_string(i + 1));
        const acad::Block* after = back->Blocks().Find("*D" + std::to_string(i + 1));
        ASSERT_NE(after, nullptr) << i;
        EXPECT_EQ(after->Count(), before->Count()) << i;
    }
    std::vector<acad::Entity*> again;
    for (acad::Entity* e : back->ModelSpace())
        if (e->DxfName() == "DIMENSION") again.push_back(e);
    ASSERT_EQ(again.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(again[i]->Extents(), dims[i]->Extents()) << i;
}

// A grid of 5 × 5 unit squares, 3 apart: every copy is drawn, boxed, picked
// and crossed, and saved with its counts. Beside it, the grids a file of a
// few hundred bytes holds: 32,767 × 32,767 copies of a short line 1 apart, as
// many on one spot (1e-300 apart), as many of a grid as large over one another,
// a grid as large drawn by a dimension, a grid turned and spaced backwards and
// one turned over. Each is boxed by its corner copies; the drawing is drawn at
// its extents, and each grid closer in, picked on a line and not between two,
// crossed and snapped to, each walk in a moment; and saved with its counts and
// spacings.
TEST_F(FileKinds, MinsertGridsDrawBoxPickAndSaveEveryCopy)
{
    acad::Document& doc = Open("minsert.dxf");
    acad::Block& ms = doc.ModelSpace();
    ExpectBox(ms.Item(0)->Extents(), {0, 0}, {13, 13});
    const QImage img = Seen({-1, -1, 0}, {14, 14, 0});
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c) {
            EXPECT_TRUE(Ink(img, {3.0 * c + 0.5, 3.0 * r})) << r << " " << c;
            EXPECT_FALSE(Ink(img, {3.0 * c + 2, 3.0 * r + 0.5})) << r << " " << c;
        }
    acad::Entity* grid = ms.Item(0);
    EXPECT_EQ(acad::selection::PickAt(doc, {9.5, 6, 0}), grid);
    EXPECT_EQ(acad::selection::PickAt(doc, {11, 6.5, 0}), nullptr);
    EXPECT_EQ(Crossed(doc, {13, 12.5, 0}, 0.05), Kinds{"INSERT"});

    // The grids of a hostile file, and the middle of a line of a copy of each.
    const double turn = acad::kPi / 6;
    const struct {
        Point3d min, max, on;
    } grids[] = {{{100, 0}, {32866.5, 32766.5}, {16100.25, 16000.25}},
                 {{20, 0}, {20.5, 0.5}, {20.25, 0.25}},
                 {{-70000, 0}, {-4467.5, 65532.5}, {-37233.75, 32766.25}},
                 {{0, -40000}, {32766.5, -7233.5}, {16000.25, -24000.25 + 0.5}},
                 {{40 - 6 * std::cos(turn) - 0.5, -3 - 6 * std::cos(turn)},
                  {40 + std::cos(turn) + 3, 0.5 + std::cos(turn)},
                  {40 + 0.5 * std::cos(turn), 0.5 * std::sin(turn)}},
                 {{-65, 0}, {-60, 5}, {-60.5, 0}}};
    const acad::Box all = doc.ModelExtents();
    ExpectBox(all, {-70000, -40000}, {32866.5, 65532.5});
    acad::SelectionSet* ss = doc.SelectionSets().Add("SStmp");
    const auto walk = static_cast<std::uint64_t>(2 * acad::kViewBudget);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        acad::Entity* e = ms.Item(i + 1);
        ExpectBox(e->Extents(), grids[i].min, grids[i].max, 1e-9);
#ifdef QUORIL_TEST_ASAN
        // Off its lines, each walk of the grids over one another runs out of
        // a walk's work: the bound, which is what it checks, is left to the
        // plain build.
        if (i == 2) continue;
#endif
        std::uint64_t before = acad::WalkWork();
        for (const acad::Box& view : {all, acad::Box::Around(grids[i].on, 0.6)}) {
            Seen(view.min, view.max);
            EXPECT_LE(h.view->LastStats().Work(), acad::kViewBudget + acad::kReferenceWork * 7);
        }
        EXPECT_EQ(acad::selection::PickAt(doc, grids[i].on), e);
        EXPECT_EQ(acad::selection::PickAt(doc, grids[i].on + Point3d{0.1, -0.1}), nullptr);
        doc.SetVariable("OSMODE", acad::input::Osnap::Mid);
        EXPECT_LT(acad::Distance(acad::input::Snap(doc, grids[i].on + Point3d{0.001, -0.001}), grids[i].on), 1e-9);
        doc.SetVariable("OSMODE", 0);
        ss->Clear();
        h.app.ZoomWindow(all.min, all.max);
        ss->Select(acad::acSelectionSetCrossing, grids[i].min, grids[i].max);
        bool crossed = false;
        for (int k = 0; k < ss->Count(); ++k) crossed = crossed || ss->Item(k) == e;
        EXPECT_TRUE(crossed);
        EXPECT_LE(acad::WalkWork() - before, 8 * walk);
    }

    auto back = SavedAndRead(doc);
    ExpectBox(back->ModelExtents(), all.min, all.max);
    for (int i = 0; i < ms.Count(); ++i)
        ExpectBox(back->ModelSpace().Item(i)->Extents(), ms.Item(i)->Extents().min, ms.Item(i)->Extents().max);
    const std::string saved = acad::WriteDxfText(*back);
    EXPECT_NE(saved.find("\r\n 70\r\n5\r\n 71\r\n5\r\n 44\r\n3"), std::string::npos);
    for (int i : {0, 1, 2, 3, 5, 6}) {
        const auto& was = static_cast<acad::BlockReference*>(ms.Item(i))->Data();
        const auto& read = static_cast<acad::BlockReference*>(back->ModelSpace().Item(i))->Data();
        EXPECT_EQ(std::tie(read.rows, read.columns, read.rowSpacing, read.columnSpacing),
                  std::tie(was.rows, was.columns, was.rowSpacing, was.columnSpacing))
            << i;
    }
}

// What a person does with such drawings: moving, turning, copying and
// mirroring each kind carries what it draws (an image's pixel vectors stay
// vectors, a dimension's picture moves with it, a copy turned apart leaves the
// original's picture where it was); a purge keeps the blocks dimensions and
// tables draw; an edited dimension is drawn from its points again; and the
// drawing saved and opened again draws the same.
TEST_F(FileKinds, EditsCarryWhatEachKindDraws)
{
    acad::Document& doc = *h.app.Documents().Add();
    for (const char* name : {"image_wipeout.dxf", "table.dxf", "dimensions.dxf", "minsert.dxf", "xline_ray.dxf",
                             "multileader.dxf", "solid_trace.dxf", "mesh.dxf"}) {
        SCOPED_TRACE(name);
        acad::Document& file = Open(name);
        for (acad::Entity* e : file.ModelSpace()) {
            const acad::Box before = e->Extents();
            e->Move({0, 0, 0}, {100, 50, 0});
            const acad::Box after = e->Extents();
            if (!before.IsFinite()) continue;  // a construction line: checked below
            SCOPED_TRACE(e->DxfName());
            ExpectBox(after, before.min + Point3d{100, 50}, before.max + Point3d{100, 50}, 1e-6);
        }
        // A quarter turn about the origin, then three more: where it was.
        for (acad::Entity* e : file.ModelSpace()) {
            const acad::Box before = e->Extents();
            e->Rotate({0, 0, 0}, acad::kPi / 2);
            const acad::Box turned = e->Extents();
            if (before.IsFinite())
                ExpectBox(turned, {-before.max.y, before.min.x}, {-before.min.y, before.max.x}, 1e-6);
            for (int k = 0; k < 3; ++k) e->Rotate({0, 0, 0}, acad::kPi / 2);
            if (before.IsFinite()) ExpectBox(e->Extents(), before.min, before.max, 1e-6);
        }
        auto back = SavedAndRead(file);
        EXPECT_EQ(back->ModelExtents(), file.ModelExtents());
        h.app.Documents().Close(file);
    }
    h.app.SetActiveDocument(doc);

    // A dimension copied and mirrored apart: the original keeps its picture
    // where it was; the copy draws a picture of its own.
    acad::Document& dims = Open("dimensions.dxf");
    acad::Entity* rotated = dims.ModelSpace().Item(0);
    const acad::Box original = rotated->Extents();
    acad::Entity* mirrored = rotated->Mirror({0, -100, 0}, {0, 100, 0});
    ExpectBox(mirrored->Extents(), {-original.max.x, original.min.y}, {-original.min.x, original.max.y}, 1e-6);
    EXPECT_EQ(rotated->Extents(), original);
    ASSERT_NE(mirrored->DrawnReference(), nullptr);
    EXPECT_NE(mirrored->DrawnReference()->Name(), rotated->DrawnReference()->Name());
    // The blocks dimensions draw are in use: a purge leaves them.
    dims.PurgeAll();
    dims.PurgeAll();
    for (const char* picture : {"*D1", "*D2", "*D3", "*D4"}) EXPECT_NE(dims.Blocks().Find(picture), nullptr);
    // An edit of the aligned one's text: drawn from its points, its picture gone.
    auto* aligned = dynamic_cast<acad::DimAligned*>(dims.ModelSpace().Item(4));
    ASSERT_NE(aligned, nullptr);
    aligned->SetTextOverride("<> m");
    EXPECT_EQ(aligned->DrawnReference(), nullptr);
    EXPECT_EQ(dims.Blocks().Find("*D4"), nullptr);
    EXPECT_EQ(aligned->DisplayedText(), "10 m");  // its style's places: none

    // Inserted into another drawing as a block, dimensions and tables draw
    // their blocks, copied with them.
    h.app.SetActiveDocument(doc);
    for (const char* name : {"dimensions.dxf", "table.dxf", "multileader.dxf", "minsert.dxf"}) {
        SCOPED_TRACE(name);
        acad::Document fresh;
        acad::ReadDxf(fresh, Fixture(name));
        const acad::BlockReference* inserted = doc.ModelSpace().InsertBlock({0, 0, 0}, Fixture(name), 1, 1, 1, 0);
        EXPECT_EQ(inserted->Extents(), fresh.ModelExtents());
    }

    // A grid turned a quarter: its rows run along −X.
    acad::Document& grid = Open("minsert.dxf");
    grid.ModelSpace().Item(0)->Rotate({0, 0, 0}, acad::kPi / 2);
    ExpectBox(grid.ModelSpace().Item(0)->Extents(), {-13, 0}, {0, 13}, 1e-9);
    h.app.ZoomWindow({-14, -1, 0}, {1, 14, 0});
    EXPECT_EQ(acad::selection::PickAt(grid, {-6, 9.5, 0}), grid.ModelSpace().Item(0));
}

// What leaders, a dimension without its picture, an elevated polyline and a
// polyline with widths per vertex mean (leaders_widths.dxf, dimension style
// "Standard" with arrows of 2 and texts of 2):
// - a leader from (10, 5) to its tip at (0, 0), group 71 = 1: a filled arrow
//   at the tip, 2 long and a third as wide (one whose style names the block of
//   its arrowhead draws that block); a leader with group 72 = 1: a
//   curve through (30, 0), (35, 8) and (40, 0), above the chords between them;
// - a rotated dimension from (50, 0) to (60, 0), its line at y 5, whose block
//   "*D99" is missing: drawn from its points, its extension lines from 0.5
//   above them to 1 past its line, and its measure "10";
// - a polyline from (0, 0) to (5, 2) in the plane whose normal is +X, at
//   elevation 7: drawn, boxed and snapped at x = 7 (its end at (7, 5, 2)),
//   and saved with its elevation;
// - a 2-D polyline from (70, 0), 1 wide, by half a circle above to (80, 0),
//   then tapering from 1 to 0.2 to (85, 0); and one from (90, 0) by half a
//   circle below to (100, 0) whose vertices take the polyline's width, 0.8.
TEST_F(FileKinds, LeadersUnpicturedDimensionsElevationsAndVertexWidthsAreDrawnAsTheirFilesMean)
{
    acad::Document& doc = Open("leaders_widths.dxf");
    // The arrowhead, 1.2 from its tip: filled 0.15 off its axis, empty 0.3 off.
    const acad::Vector3d axis{10 / std::hypot(10.0, 5.0), 5 / std::hypot(10.0, 5.0), 0}, across{-axis.y, axis.x, 0};
    const Point3d at = Point3d{0, 0, 0} + axis * 1.2;
    QImage img = Seen({-1, -1, 0}, {3, 2, 0});
    EXPECT_TRUE(Ink(img, at + across * 0.15, 0));
    EXPECT_TRUE(Ink(img, at - across * 0.15, 0));
    EXPECT_FALSE(Ink(img, at + across * 0.3, 0));
    EXPECT_FALSE(Ink(img, Point3d{0, 0, 0} - axis * 0.2, 0)) << "nothing past the tip";
    // One whose style "SETA" names its arrowhead's block, a circle of radius
    // 0.5: drawn 2 times as large about its tip (0, −10), and no arrow.
    img = Seen({-2, -12, 0}, {3, -8, 0});
    EXPECT_TRUE(Ink(img, {-1, -10}));
    EXPECT_TRUE(Ink(img, {0, -9}));
    EXPECT_FALSE(Ink(img, Point3d{0, -10, 0} + axis * 1.4 + across * 0.15, 0));
    // The curved leader passes above the chord from (30, 0) to (35, 8).
    img = Seen({29, -1, 0}, {41, 9, 0});
    EXPECT_FALSE(Ink(img, {32.5, 4}, 1));
    int above = 0;
    for (double y = 4.5; y < 7.5; y += 0.05) above += Ink(img, {32.5, y}, 0);
    EXPECT_GT(above, 0);
    EXPECT_TRUE(Ink(img, {35, 8}, 2));
    // The dimension drawn from its points.
    img = Seen({48, -1, 0}, {62, 8, 0});
    EXPECT_TRUE(Ink(img, {50, 3}));
    EXPECT_TRUE(Ink(img, {60, 3}));
    EXPECT_TRUE(Ink(img, {52.5, 5}));
    EXPECT_TRUE(Ink(img, {50, 5.9}));
    EXPECT_FALSE(Ink(img, {50, 0.3}));
    EXPECT_FALSE(Ink(img, {50, 6.3}));
    int measure = 0;
    for (double x = 54; x < 56; x += 0.1)
        for (double y = 4; y < 7; y += 0.1) measure += Ink(img, {x, y}, 0);
    EXPECT_GT(measure, 10) << "its measure written";
    EXPECT_EQ(Crossed(doc, {57.5, 5, 0}, 0.1), Kinds{"DIMENSION"});
    // The elevated polyline, where its plane puts it.
    img = Seen({-1, -1, 0}, {9, 6, 0});
    EXPECT_TRUE(Ink(img, {7, 2.5}));
    EXPECT_FALSE(Ink(img, {0, 2.5}, 2));
    acad::Entity* raised = nullptr;
    for (acad::Entity* e : doc.ModelSpace())
        if (e->DxfName() == "LWPOLYLINE") raised = e;
    ASSERT_NE(raised, nullptr);
    EXPECT_NEAR(raised->Extents().min.x, 7, 1e-9);
    EXPECT_NEAR(raised->Extents().max.x, 7, 1e-9);
    doc.SetVariable("OSMODE", acad::input::Osnap::End);
    const Point3d end = acad::input::Snap(doc, {7.05, 5.05, 0});
    EXPECT_NEAR(end.x, 7, 1e-9);
    EXPECT_NEAR(end.y, 5, 1e-9);
    EXPECT_NEAR(end.z, 2, 1e-9);
    doc.SetVariable("OSMODE", 0);
    // The wide half circle is a band 1 wide about radius 5; the taper narrows.
    img = Seen({69, -1, 0}, {86, 6, 0});
    EXPECT_TRUE(Ink(img, {75, 5.4}, 0));
    EXPECT_TRUE(Ink(img, {75, 4.6}, 0));
    EXPECT_FALSE(Ink(img, {75, 5.7}, 0));
    EXPECT_TRUE(Ink(img, {80.5, 0.4}, 0));
    EXPECT_FALSE(Ink(img, {84.5, 0.3}, 0));
    img = Seen({89, -6, 0}, {106, 1, 0});
    EXPECT_TRUE(Ink(img, {95, -5.3}, 0));
    EXPECT_TRUE(Ink(img, {95, -4.7}, 0));
    EXPECT_FALSE(Ink(img, {95, -5.6}, 0));
    EXPECT_TRUE(Ink(img, {102.5, 0.3}, 0));

    auto back = SavedAndRead(doc);
    EXPECT_EQ(back->ModelExtents(), doc.ModelExtents());
    const std::string saved = acad::WriteDxfText(*back);
    EXPECT_NE(saved.find("AcDbPolyline\r\n 90\r\n2\r\n 70\r\n0\r\n 38\r\n7"), std::string::npos);
}

// Faults each of these would show (clips_meshes_patterns.dxf, all on layer
// "K" but the last two lines): an image clipped to its top strip of pixels
// draws that strip, not the bottom one; a wipeout (20, 0), (30, 0), (20, 10)
// hides the line at y 1 below its slope, not above; a polygon mesh closed in
// M closes its columns; a pattern line shifted 0.5 along from the one below
// starts its dashes there; and with layer "0" off, a line of the model on it
// is not drawn, while a block's layer-"0" line inserted on a layer that is on is.
TEST_F(FileKinds, ClipsMeshClosuresPatternShiftsAndLayerZeroAreAsTheirFilesSay)
{
    Open("clips_meshes_patterns.dxf");
    QImage img = Seen({-1, -1, 0}, {11, 6, 0});
    EXPECT_TRUE(Ink(img, {2.5, 4.95}));
    EXPECT_TRUE(Ink(img, {2.5, 3.95}));
    EXPECT_FALSE(Ink(img, {2.5, 1.05}));
    EXPECT_FALSE(Ink(img, {7.5, 0}));
    img = Seen({14, -2, 0}, {36, 11, 0});
    EXPECT_TRUE(Ink(img, {16, 1}));
    EXPECT_FALSE(Ink(img, {25, 1}));
    EXPECT_FALSE(Ink(img, {28, 1}));
    EXPECT_TRUE(Ink(img, {29.7, 1}));
    img = Seen({38, -1, 0}, {57, 21, 0});
    EXPECT_TRUE(Ink(img, {40, 10}));
    EXPECT_TRUE(Ink(img, {50, 10}));
    img = Seen({59, -1, 0}, {71, 5, 0});
    EXPECT_TRUE(Ink(img, {61, 1}));
    EXPECT_FALSE(Ink(img, {62, 1}));
    EXPECT_TRUE(Ink(img, {62, 3}));
    EXPECT_FALSE(Ink(img, {61, 3}));
    img = Seen({78, -2, 0}, {92, 7, 0});
    EXPECT_FALSE(Ink(img, {85, 0}, 2));
    EXPECT_TRUE(Ink(img, {85, 5}));
}

// A reference on a layer switched off hides only what it draws on that layer,
// which its parts on layer "0" take: its parts and attributes on layers of
// their own still draw, and are picked and crossed where they are drawn. On a
// frozen layer, all of it is hidden; so is one that holds nothing else.
TEST_F(FileKinds, AReferenceOnALayerSwitchedOffHidesOnlyItsPartsOnLayerZero)
{
    acad::Document& doc = Open("layers_off.dxf");
    const QImage img = Seen({-2, -3, 0}, {44, 3, 0});
    // Pixels of colour `aci` in the box from `lo` to `hi`.
    auto inked = [&](const Point3d& lo, const Point3d& hi, int aci) {
        const QPointF a = h.PixelOf(lo), b = h.PixelOf(hi);
        int n = 0;
        for (int y = static_cast<int>(std::min(a.y(), b.y())); y <= static_cast<int>(std::max(a.y(), b.y())); ++y)
            for (int x = static_cast<int>(std::min(a.x(), b.x())); x <= static_cast<int>(std::max(a.x(), b.x())); ++x)
                n += img.valid(x, y) && QColor(img.pixel(x, y)) == AciColor(aci);
        return n;
    };
    const int yellow = 2, red = 1, blue = 5, green = 3;
    // Switched off: its cover (blue) and number (green) only.
    EXPECT_EQ(inked({-1.5, -1.5, 0}, {3.5, 1.5, 0}, yellow), 0);
    EXPECT_GT(inked({-1, -1.7, 0}, {1, -1.3, 0}, blue), 10);
    EXPECT_GT(inked({1.4, 0.4, 0}, {3, 1.2, 0}, green), 5);
    // Frozen: nothing.
    EXPECT_EQ(inked({8, -2, 0}, {13.5, 1.5, 0}, blue) + inked({8, -2, 0}, {13.5, 1.5, 0}, green), 0);
    // On: all of it, its parts on layer "0" in its layer's red.
    EXPECT_GT(inked({18.5, -1.2, 0}, {21.2, 1.2, 0}, red), 10);
    EXPECT_GT(inked({21.4, -0.9, 0}, {23, -0.1, 0}, red), 5);
    EXPECT_GT(inked({19, -1.7, 0}, {21, -1.3, 0}, blue), 10);
    // Nested on layer "0" in one switched off: the cover only. Holding nothing else: nothing.
    EXPECT_EQ(inked({28, -1.5, 0}, {44, 1.5, 0}, yellow), 0);
    EXPECT_GT(inked({29, -1.7, 0}, {31, -1.3, 0}, blue), 10);

    auto picked = [&](const Point3d& p) -> std::string {
        const acad::Entity* e = acad::selection::PickAt(doc, p);
        return e ? e->Layer() + "@" + std::to_string(static_cast<int>(std::lround(e->Extents().min.x))) : "";
    };
    EXPECT_EQ(picked({0, -1.5, 0}), "PV_OFF@-1");
    EXPECT_EQ(picked({-1, 0, 0}), "");
    EXPECT_EQ(picked({10, -1.5, 0}), "");
    EXPECT_EQ(picked({19, 0, 0}), "PV_ON@19");
    EXPECT_EQ(picked({30, -1.5, 0}), "PV_OFF@29");
    EXPECT_EQ(picked({39, 0, 0}), "");
    EXPECT_EQ(Crossed(doc, {-1, 0, 0}, 0.2), Kinds{});
    EXPECT_EQ(Crossed(doc, {0, -1.5, 0}, 0.2), Kinds{"INSERT"});
    EXPECT_EQ(Crossed(doc, {39, 0, 0}, 0.2), Kinds{});
    acad::Entity* off = acad::selection::PickAt(doc, {0, -1.5, 0});
    ASSERT_NE(off, nullptr);
    const acad::DrawPlan plan = acad::selection::ViewPlan(doc);
    const auto cover = acad::PickNested(*off, {0, -1.5, 0}, 0.1, plan);
    ASSERT_TRUE(cover);
    EXPECT_EQ(cover->entity->Layer(), "TAMPA");
    EXPECT_FALSE(acad::PickNested(*off, {-1, 0, 0}, 0.1, plan));
    EXPECT_FALSE(acad::PickNested(*off, {2.2, -0.5, 0}, 0.3, plan)) << "its attribute on layer \"0\"";
    doc.SetVariable("OSMODE", acad::input::Osnap::End | acad::input::Osnap::Center);
    EXPECT_EQ(acad::input::Snap(doc, {1.03, -1.47, 0}), (Point3d{1, -1.5, 0}));
    EXPECT_EQ(acad::input::Snap(doc, {0.03, 0.98, 0}), (Point3d{0.03, 0.98, 0})) << "the hidden circle's centre";
    EXPECT_EQ(acad::input::Snap(doc, {20.03, 0.98, 0}), (Point3d{20, 0, 0}));
    doc.SetVariable("OSMODE", 0);

    // Saved, the layers keep their switches.
    const auto back = SavedAndRead(doc);
    EXPECT_FALSE(back->Layers().Item("PV_OFF")->LayerOn());
    EXPECT_TRUE(back->Layers().Item("PV_FRIO")->Freeze());
}
