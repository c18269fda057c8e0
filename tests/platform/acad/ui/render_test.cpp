// What the window draws of a sample drawing, checked by size and a few pixels:
// colours by index, ByLayer and ByBlock, frozen and switched-off layers, blocks
// (mirrored, layer "0" parts), attributes (invisible ones not drawn), hatches,
// polyline widths (corners joined), texts (tiny ones as boxes), clipped external references.

#include <gtest/gtest.h>

#include "UiHarness.h"
#include "../dxf_test_text.h"

#include <filesystem>

#include "platform/acad/DxfFile.h"
#include "platform/acad/HitTest.h"

#include <unistd.h>

using acad::Point3d;
using acad::ui::AciColor;
using uitest::HasColorNear;
using uitest::Harness;

namespace {

// Pixels of the image inside the rectangle that are not background.
int Inked(const QImage& img, const QRectF& r)
{
    int n = 0;
    const QRect px = r.toAlignedRect();
    for (int y = px.top(); y <= px.bottom(); ++y)
        for (int x = px.left(); x <= px.right(); ++x)
            if (img.valid(x, y) && img.pixelColor(x, y).rgb() != acad::ui::BackgroundColor().rgb()) ++n;
    return n;
}

class Render : public ::testing::Test {
protected:
    void SetUp() override
    {
        acad::Document& d = *h.doc;
        ms = &d.ModelSpace();
        h.app.ZoomWindow({0, 0, 0}, {100, 75, 0});
    }
    QRectF Pixels(const Point3d& a, const Point3d& b) const { return QRectF(h.PixelOf(a), h.PixelOf(b)).normalized(); }

    Harness h;
    acad::Block* ms = nullptr;
};

TEST_F(Render, ColoursLayersAndBlocks)
{
    acad::Document& d = *h.doc;
    ms->AddLine({5, 60, 0}, {45, 60, 0})->SetColor(1);
    d.Layers().Add("CONG");
    acad::Line* frozen = ms->AddLine({5, 55, 0}, {45, 55, 0});
    frozen->SetLayer("CONG");
    frozen->SetColor(3);
    d.Layers().Item("CONG")->SetFreeze(true);
    d.Layers().Add("DESL")->SetLayerOn(false);
    acad::Line* off = ms->AddLine({5, 50, 0}, {45, 50, 0});
    off->SetLayer("DESL");
    off->SetColor(4);
    d.Layers().Add("AZUL")->SetColor(5);
    ms->AddCircle({70, 60, 0}, 5)->SetLayer("AZUL");

    // A block with a ByBlock part and a ByLayer part on layer "0".
    acad::Block* bb = d.Blocks().Add({0, 0, 0}, "BB");
    bb->AddLine({0, 0, 0}, {10, 0, 0})->SetColor(acad::Color::ByBlock);
    bb->AddLine({0, 2, 0}, {10, 2, 0});
    acad::BlockReference* r1 = ms->InsertBlock({5, 40, 0}, "BB", 1, 1, 1, 0);
    r1->SetLayer("AZUL");
    r1->SetColor(6);
    acad::BlockReference* mirrored = ms->InsertBlock({40, 40, 0}, "BB", -1, 1, 1, 0);
    mirrored->SetColor(2);

    const QImage img = h.Grab();
    ASSERT_EQ(img.size(), h.view->size());
    EXPECT_EQ(img.pixelColor(2, 2).rgb(), acad::ui::BackgroundColor().rgb());
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({25, 60}), AciColor(1)));
    EXPECT_EQ(Inked(img, Pixels({10, 54, 0}, {40, 56, 0})), 0) << "frozen layer drawn";
    EXPECT_EQ(Inked(img, Pixels({10, 49, 0}, {40, 51, 0})), 0) << "layer switched off drawn";
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({75, 60}), AciColor(5)));
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({10, 40}), AciColor(6)));  // ByBlock: the reference's colour
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({10, 42}), AciColor(5)));  // layer "0": the reference's layer
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({35, 40}), AciColor(2)));  // mirrored to the left
    EXPECT_FALSE(HasColorNear(img, h.PixelOf({45, 40}), AciColor(2)));
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({35, 42}), AciColor(7)));

    // Thawing the layer shows it at the next paint.
    d.Layers().Item("CONG")->SetFreeze(false);
    EXPECT_TRUE(HasColorNear(h.Grab(), h.PixelOf({25, 55}), AciColor(3)));
    // A selection set highlighted draws its lines dashed: some pixels of the line go.
    acad::SelectionSet* ss = d.SelectionSets().Add("SS1");
    ss->Select(acad::acSelectionSetAll, {}, {}, {8}, {acad::Variant("CONG")});
    ss->Highlight(true);
    const QImage lit = h.Grab();
    EXPECT_LT(Inked(lit, Pixels({10, 54.5, 0}, {40, 55.5, 0})),
              Inked(h.Grab(), Pixels({10, 54.5, 0}, {40, 55.5, 0})) + 1);
    const QRectF span = Pixels({10, 55, 0}, {40, 55, 0}).adjusted(0, -1, 0, 1);
    ss->Highlight(false);
    EXPECT_LT(Inked(lit, span), Inked(h.Grab(), span));
}

TEST_F(Render, AttributesHatchesWidthsAndTexts)
{
    acad::Document& d = *h.doc;
    acad::Block* att = d.Blocks().Add({0, 0, 0}, "ATT");
    att->AddAttribute(4, 0, "", {0, 0, 0}, "A", "WWWW");
    att->AddAttribute(4, acad::AttributeMode::Invisible, "", {0, -8, 0}, "B", "WWWW");
    ms->InsertBlock({60, 30, 0}, "ATT", 1, 1, 1, 0);

    acad::LWPolyline* square = ms->AddLightWeightPolyline({5, 5, 25, 5, 25, 25, 5, 25});
    square->SetClosed(true);
    acad::Hatch* solid = ms->AddHatch(acad::HatchPatternType::PreDefined, "SOLID", false);
    solid->AppendOuterLoop({square});
    solid->SetColor(1);
    acad::LWPolyline* square2 = ms->AddLightWeightPolyline({30, 5, 50, 5, 50, 25, 30, 25});
    square2->SetClosed(true);
    acad::Hatch* pattern = ms->AddHatch(acad::HatchPatternType::PreDefined, "ANSI31", false);
    pattern->AppendOuterLoop({square2});
    pattern->SetColor(3);

    acad::LWPolyline* wide = ms->AddLightWeightPolyline({55, 5, 95, 5, 95, 20});
    wide->SetConstantWidth(4);
    wide->SetColor(4);

    ms->AddText("ABC", {5, 65, 0}, 6)->SetColor(2);
    const double tiny = 2.5 * h.PixelSize();
    acad::Text* small = ms->AddText("minúsculo", {60, 65, 0}, tiny);
    small->SetColor(6);

    const QImage img = h.Grab();
    EXPECT_GT(Inked(img, Pixels({60, 30, 0}, {72, 34, 0})), 20);  // visible attribute
    EXPECT_EQ(Inked(img, Pixels({60, 22, 0}, {72, 26, 0})), 0);   // invisible attribute
    EXPECT_EQ(img.pixelColor(h.PixelOf({15, 15}).toPoint()).rgb(), AciColor(1).rgb());
    // The pattern leaves gaps between its strokes.
    const QRectF inside = Pixels({33, 8, 0}, {47, 22, 0});
    const int inked = Inked(img, inside);
    EXPECT_GT(inked, 10);
    EXPECT_LT(inked, inside.width() * inside.height() * 0.8);
    // The width shows across the polyline (half of 4 on each side).
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({75, 6.5}), AciColor(4), 0));
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({75, 3.5}), AciColor(4), 0));
    EXPECT_FALSE(HasColorNear(img, h.PixelOf({75, 8}), AciColor(4), 0));
    // Its corner is joined: the outer edges meet, no notch between the two pieces.
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({96.5, 3.5}), AciColor(4), 0));
    // Letters in the text's box, in the text's colour; the tiny text is its box.
    EXPECT_GT(Inked(img, Pixels({5, 65, 0}, {5 + 3 * 0.8 * 6, 71, 0})), 30);
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({5 + 2, 68}), AciColor(2), 6));
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({60, 65}), AciColor(6), 1));
    EXPECT_GT(h.view->LastStats().texts, 0u);
}

TEST_F(Render, ClippedExternalReferenceAndNewDrawingsShown)
{
    const auto dir = std::filesystem::temp_directory_path() / ("acadui-xref-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        acad::Document base;
        base.ModelSpace().AddLine({0, 0, 0}, {30, 0, 0})->SetColor(1);
        acad::WriteDxf(base, dir / "base.dxf");
    }
    acad::ExternalReference* x =
        ms->AttachExternalReference((dir / "base.dxf").string(), "REDE", {50, 45, 0}, 1, 1, 1, 0, false);
    QImage img = h.Grab();
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({75, 45}), AciColor(1)));
    x->SetClipBoundary({{50, 40, 0}, {60, 50, 0}});
    img = h.Grab();
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({55, 45}), AciColor(1)));
    EXPECT_FALSE(HasColorNear(img, h.PixelOf({75, 45}), AciColor(1)));

    // A new drawing becomes the one shown; the first is shown again when activated.
    acad::Document* second = h.app.Documents().Add("Acad");
    Harness::Process();
    EXPECT_EQ(h.view->ShownDocument(), second);
    EXPECT_FALSE(HasColorNear(h.Grab(), h.PixelOf({55, 45}), AciColor(1)));
    h.app.SetActiveDocument(*h.doc);
    EXPECT_TRUE(HasColorNear(h.Grab(), h.PixelOf({55, 45}), AciColor(1)));
    std::filesystem::remove_all(dir);
}

// Blocks nested 30 deep, each level twice: the file opens, is drawn at extents
// and closer in with bounded work, in part as outlines (said once on the
// command line), and its lines are picked.
TEST_F(Render, BlocksNestedManyTimesOverDrawInAMoment)
{
    const auto file = std::filesystem::temp_directory_path() / ("acadui-nested-" + std::to_string(::getpid()) + ".dxf");
    acad::Document source;
    acad::ReadDxfText(source, dxf_test::NestedBlocks(30), "aninhado.dxf");
    acad::WriteDxf(source, file);
    acad::Document* doc = h.app.Documents().Open(file.string());
    Harness::Process();
    h.app.ZoomExtents();
    EXPECT_GT(Inked(h.Grab(), QRectF(QPointF(0, 0), QSizeF(h.view->size()))), 100);
    // Closer in, fewer parts are dots: past the budget the rest are outlines.
    for (int k = 0; k < 4; ++k) {
        h.Wheel(QPointF(h.view->width() / 2.0, h.view->height() / 2.0), 1);
        h.Grab();
        const acad::ui::RenderStats drawn = h.view->LastStats();
        EXPECT_LE(drawn.Work(), static_cast<std::size_t>(acad::kViewBudget)) << k;
    }
    const QString said = h.panel->History();
    EXPECT_EQ(said.count(QStringLiteral("\"B30\" tem partes demais")), 1) << said.toStdString();
    acad::Entity* picked = nullptr;
    Point3d at;
    h.OnRequest([&] { h.Click(h.PixelOf({16383.9, 16383.9})); });
    doc->Utility().GetEntity(picked, at, "Selecione: ");
    EXPECT_EQ(picked, doc->ModelSpace().Item(0));
    std::filesystem::remove(file);
}

// References of a block of 82,040 large circles nested three deep: a frame at
// extents does a bounded amount of work for the whole of them, and a small
// reference drawn after them is drawn whole, and picked on its line.
TEST_F(Render, HeavyReferencesDrawABoundedFrameThatPicksSee)
{
    const auto file =
        std::filesystem::temp_directory_path() / ("acadui-circles-" + std::to_string(::getpid()) + ".dxf");
    acad::Document source;
    acad::ReadDxfText(source, dxf_test::CircleBlocks(3), "circulos.dxf");
    source.Blocks().Add({0, 0, 0}, "S")->AddLine({0, 0, 0}, {10, 10, 0})->SetColor(1);
    source.ModelSpace().InsertBlock({30, 0, 0}, "S", 1, 1, 1, 0);
    acad::WriteDxf(source, file);
    acad::Document* doc = h.app.Documents().Open(file.string());
    Harness::Process();
    h.app.ZoomExtents();
    const QImage img = h.Grab();
    const acad::ui::RenderStats drawn = h.view->LastStats();
    EXPECT_LE(drawn.Work(), static_cast<std::size_t>(acad::kViewBudget));
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({35, 5}), AciColor(1)));
    acad::Entity* picked = nullptr;
    Point3d at;
    h.OnRequest([&] { h.Click(h.PixelOf({35, 5})); });
    doc->Utility().GetEntity(picked, at, "Selecione: ");
    EXPECT_EQ(picked, doc->ModelSpace().Item(3));
    // Its line, inside it.
    acad::Transform toWorld;
    std::vector<acad::BlockReference*> containers;
    h.OnRequest([&] { h.Click(h.PixelOf({35, 5})); });
    doc->Utility().GetSubEntity(picked, at, toWorld, containers, "Selecione: ");
    EXPECT_EQ(picked, doc->Blocks().Item("S")->Item(0));
    std::filesystem::remove(file);
}

// A screen inked over many times (thousands of large circles) has its lines
// stepped straight into the image: every circle still shows, to the image's
// last row and column, and the line drawn after them too.
TEST_F(Render, AScreenInkedOverManyTimesStillShowsEveryLine)
{
    for (int i = 0; i < 15000; ++i) ms->AddCircle({50 + i % 100 * 0.005, 37.5 + i / 100 * 0.005, 0}, 30)->SetColor(3);
    ms->AddLine({2, 5, 0}, {12, 5, 0})->SetColor(1);
    const QImage img = h.Grab();
    EXPECT_GT(h.view->LastStats().stepped, 0u);
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({7, 5}), AciColor(1)));
    for (const Point3d& p : {Point3d{20, 37.5, 0}, Point3d{80.5, 37.5, 0}, Point3d{50, 7.5, 0}, Point3d{50, 68, 0}})
        EXPECT_TRUE(HasColorNear(img, h.PixelOf(p), AciColor(3))) << p.x << "," << p.y;

    // Zoomed onto the circles' edge, which crosses the image's borders.
    h.app.ZoomWindow({28, 58}, {30, 60});
    const QImage edge = h.Grab();
    EXPECT_GT(h.view->LastStats().stepped, 0u);
    const int w = edge.width(), ht = edge.height();
    EXPECT_GT(Inked(edge, QRectF(0, 0, 1, ht)), 0) << "first column";
    EXPECT_GT(Inked(edge, QRectF(w - 1, 0, 1, ht)), 0) << "last column";
    EXPECT_GT(Inked(edge, QRectF(0, 0, w, 1)), 0) << "first row";
    EXPECT_GT(Inked(edge, QRectF(0, ht - 1, w, 1)), 0) << "last row";

    // An ordinary frame is the raster engine's.
    h.app.ZoomWindow({0, 0, 0}, {10, 10, 0});
    h.Grab();
    EXPECT_EQ(h.view->LastStats().stepped, 0u);
}

}  // namespace

// A spline is drawn along its curve whatever the zoom: a few points per pixel
// when seen whole, its own spans in full when zoomed in on part of it.
TEST_F(Render, SplinesFollowTheirCurveAtEveryZoom)
{
    std::vector<double> fit;
    for (int i = 0; i <= 400; ++i) {
        fit.push_back(5 + i * 0.225);
        fit.push_back(37 + 20 * std::sin(i * 0.05));
        fit.push_back(0);
    }
    acad::Spline* s = ms->AddSpline(fit, {}, {});
    s->SetColor(3);
    const std::vector<double> U = s->Knots();
    auto onCurve = [&](int k) {
        const Point3d q =
            s->PointAt(U[static_cast<std::size_t>(k + 3)] * 0.5 + U[static_cast<std::size_t>(k + 4)] * 0.5);
        return HasColorNear(h.Grab(), h.PixelOf(q), AciColor(3), 1);
    };
    for (int k : {17, 150, 333}) EXPECT_TRUE(onCurve(k)) << k;
    // Far from the curve nothing is drawn.
    EXPECT_EQ(Inked(h.Grab(), Pixels({40, 66, 0}, {60, 70, 0})), 0);
    // Zoomed in 40× on one stretch: still on the curve there.
    const Point3d mid = s->PointAt(U[203]);
    h.app.ZoomCenter(mid, 2.0);
    EXPECT_TRUE(HasColorNear(h.Grab(), h.PixelOf(mid), AciColor(3), 1));
    EXPECT_TRUE(onCurve(200));
}
