// Repaint of a 100,000-entity drawing in the host's window: at extents, zoomed
// in, and while panning (target: a repaint under 50 ms). The drawing is a
// network-like grid: street lines, lot polylines, manhole circles, labels and
// manhole blocks with three attributes each. Then the drawings that test the
// bounds: a million plain lines, and a small file of blocks nested 30 deep, each
// inserting the one below twice (a thousand million lines if all were drawn):
// target under 1 s to open and 100 ms to repaint at extents. Last, files of
// references nested three deep over large circles, and every heavy drawing
// (heavy_drawings.h: those whose blocks, scales or viewports multiply what a
// view draws, one per kind of entity, up to 2,000 large texts stacked on one
// another) against 100,000 plain lines: at most 20 times as long at extents;
// 20,000 ordinary manholes drawn whole in under 10 times; a wide polyline that
// lies over itself (a noisy track, a bulged zigzag) at most twice as long as
// the same polyline without width. And a zones drawing of 500 hatches drawn
// with the pattern lines of their file; a text of 200 letters fitted into a
// unit, and one of 20 slanted letters, zoomed in; a grid of 4,000 × 4,000
// copies of a line drawn, crossed and picked. Linetypes: the 100,000 lines in
// two colours one after the other, and dashed, and a polyline of 100,000
// vertices dashed at its extents and zoomed in. Each at most 20 times as long
// as the 100,000 plain lines.

#include "../QtBenchMain.h"
#include "../../tests/platform/acad/dxf_test_text.h"
#include "../../tests/platform/acad/heavy_drawings.h"

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/HitTest.h"
#include "platform/acad/KeptDefinition.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/ui/AciPalette.h"
#include "platform/acad/ui/DrawingView.h"
#include "platform/acad/ui/MainWindow.h"
#include "platform/acad/ui/SceneRenderer.h"

namespace {

constexpr int kEntities = 100000;
constexpr double kPitch = 30.0;
const QSize kScreen(1600, 1000);

std::unique_ptr<acad::Document> MakeDrawing()
{
    auto doc = std::make_unique<acad::Document>();
    const char* layers[] = {"REDE", "LOTES", "PV", "TEXTO_PV", "E-PV", "EIXO_RUA", "QUADRA", "NUMERO"};
    for (int i = 0; i < 8; ++i) doc->Layers().Add(layers[i])->SetColor(1 + (i * 31) % 254);
    acad::Block* pv = doc->Blocks().Add({0, 0, 0}, "E-PV");
    pv->AddCircle({0, 0, 0}, 1.5);
    pv->AddLine({-1.5, 0, 0}, {1.5, 0, 0});
    pv->AddLine({0, -1.5, 0}, {0, 1.5, 0});
    pv->AddAttribute(1.2, 0, "", {2, 1, 0}, "NUMERO", "");
    pv->AddAttribute(1.0, 0, "", {2, -0.5, 0}, "CT", "");
    pv->AddAttribute(1.0, 0, "", {2, -2, 0}, "CP", "");
    acad::Block& ms = doc->ModelSpace();
    const int side = 317;
    int n = 0;
    for (int i = 0; i < side && n < kEntities; ++i) {
        for (int j = 0; j < side && n < kEntities; ++j, ++n) {
            const double x = i * kPitch, y = j * kPitch;
            acad::Entity* e = nullptr;
            switch (n % 10) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4:
                e = ms.AddLine({x, y, 0}, {x + kPitch * 0.9, y + (n % 3) * 4.0, 0});
                e->SetLayer(n % 2 ? "REDE" : "EIXO_RUA");
                break;
            case 5:
            case 6:
                e = ms.AddLightWeightPolyline({x, y, x + 20, y, x + 20, y + 15, x, y + 15, x, y});
                e->SetLayer("LOTES");
                break;
            case 7:
                e = ms.AddCircle({x + 10, y + 10, 0}, 1.2);
                e->SetLayer("PV");
                break;
            case 8:
                e = ms.AddText("PV-" + std::to_string(n), {x + 2, y + 2, 0}, 2.0);
                e->SetLayer("TEXTO_PV");
                break;
            default: {
                auto* ref = ms.InsertBlock({x + 15, y + 5, 0}, "E-PV", 1, 1, 1, 0.1 * (n % 7));
                ref->SetLayer("E-PV");
                auto atts = ref->GetAttributes();
                atts[0]->SetTextString(std::to_string(n));
                atts[1]->SetTextString("812.35");
                atts[2]->SetTextString("1.20");
                e = ref;
            }
            }
        }
    }
    return doc;
}

acad::Document& Drawing()
{
    static std::unique_ptr<acad::Document> doc = MakeDrawing();
    return *doc;
}

acad::View ExtentsView(const acad::Document& doc)
{
    acad::View v({0, 0, 0}, 1, double(kScreen.width()) / kScreen.height());
    v.Fit(doc.ModelExtents());
    return v;
}

// Repaints the whole screen once per iteration, at the view `next` gives
// (it may move the view between repaints), and reports what the last one drew.
void RepaintLoop(benchmark::State& state, const acad::Document& doc, const std::function<acad::View()>& next)
{
    acad::ui::SceneRenderer renderer;
    QImage img(kScreen, QImage::Format_RGB32);
    acad::ui::RenderStats s;
    for (auto _ : state) {
        const acad::View v = next();
        img.fill(acad::ui::BackgroundColor());
        QPainter p(&img);
        s = renderer.Draw(p, doc, acad::ui::ViewMapping::Of(v, QSizeF(kScreen)));
    }
    state.counters["drawn"] = static_cast<double>(s.entities);
    state.counters["segments"] = static_cast<double>(s.segments);
    state.counters["work"] = static_cast<double>(s.Work());
    state.counters["texts"] = static_cast<double>(s.texts);
    state.counters["model"] = doc.ModelSpace().Count();
    state.counters["outlined"] = s.coarse.empty() ? 0 : 1;
}

// Zoomed in by the factor from the extents (1: every entity drawn); closer in,
// fewer entities and legible texts and attributes.
void BM_RepaintZoomed(benchmark::State& state)
{
    acad::View v = ExtentsView(Drawing());
    v.SetHeight(v.Height() / static_cast<double>(state.range(0)));
    RepaintLoop(state, Drawing(), [&] { return v; });
}
BENCHMARK(BM_RepaintZoomed)->Arg(1)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole drawing again after each change to it (a line moved between repaints).
void BM_RepaintAfterEdit100000(benchmark::State& state)
{
    acad::Document& doc = Drawing();
    const acad::View v = ExtentsView(doc);
    auto* line = dynamic_cast<acad::Line*>(doc.ModelSpace().Item(0));
    int n = 0;
    RepaintLoop(state, doc, [&] {
        line->SetEndPoint({10.0 + (++n % 2), 0, 0});
        return v;
    });
}
BENCHMARK(BM_RepaintAfterEdit100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Panning across the drawing zoomed in 8×: one repaint per step of a tenth of the screen.
void BM_RepaintWhilePanning(benchmark::State& state)
{
    acad::View v = ExtentsView(Drawing());
    v.SetHeight(v.Height() / 8);
    const acad::Box all = Drawing().ModelExtents();
    double x = all.min.x;
    RepaintLoop(state, Drawing(), [&] {
        x += v.Width() / 10;
        if (x > all.max.x) x = all.min.x;
        v.SetCenter({x, all.Center().y, 0});
        return v;
    });
}
BENCHMARK(BM_RepaintWhilePanning)->Unit(benchmark::kMillisecond)->UseRealTime();

// A screen full of legible labels: 2,000 texts about 10 pixels high, some turned.
void BM_RepaintLabels(benchmark::State& state)
{
    acad::Document doc;
    for (int i = 0; i < 40; ++i)
        for (int j = 0; j < 50; ++j)
            doc.ModelSpace()
                .AddText(std::to_string(1000 + i * 50 + j), {i * 40.0, j * 20.0, 0}, 10.0)
                ->SetRotation((i + j) % 5 == 0 ? 0.3 : 0.0);
    const acad::View v = ExtentsView(doc);
    RepaintLoop(state, doc, [&] { return v; });
}
BENCHMARK(BM_RepaintLabels)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenNested(benchmark::State& state)
{
    const std::string text = dxf_test::NestedBlocks(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        acad::Document doc;
        acad::ReadDxfText(doc, text, "aninhado.dxf");
        benchmark::DoNotOptimize(doc.ModelExtents());
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_OpenNested)->Arg(20)->Arg(26)->Arg(30)->Unit(benchmark::kMillisecond)->UseRealTime();

const acad::Document& Nested30()
{
    static std::unique_ptr<acad::Document> doc = [] {
        auto d = std::make_unique<acad::Document>();
        acad::ReadDxfText(*d, dxf_test::NestedBlocks(30), "aninhado.dxf");
        return d;
    }();
    return *doc;
}

void BM_RepaintNestedAtExtents(benchmark::State& state)
{
    const acad::View v = ExtentsView(Nested30());
    RepaintLoop(state, Nested30(), [&] { return v; });
}
BENCHMARK(BM_RepaintNestedAtExtents)->Unit(benchmark::kMillisecond)->UseRealTime();

// Picking a part of the nested blocks at the middle of the screen, a pixel's reach.
void BM_PickNestedAtExtents(benchmark::State& state)
{
    const acad::Document& doc = Nested30();
    const acad::View v = ExtentsView(doc);
    acad::Entity* top = doc.ModelSpace().Item(0);
    const double pixel = v.Height() / kScreen.height();
    bool found = false;
    for (auto _ : state) found = acad::PickNested(*top, v.Center(), pixel).has_value();
    state.counters["found"] = found;
}
BENCHMARK(BM_PickNestedAtExtents)->Unit(benchmark::kMillisecond)->UseRealTime();

// `count` short plain lines, `perRow` to a row.
std::unique_ptr<acad::Document> PlainLines(int count, int perRow)
{
    auto d = std::make_unique<acad::Document>();
    for (int i = 0; i < count; ++i) {
        const double x = (i % perRow) * 10.0, y = (i / perRow) * 10.0;
        d->ModelSpace().AddLine({x, y, 0}, {x + 7.5, y + 3.0 * (i % 3), 0});
    }
    return d;
}

void BM_RepaintMillionLines(benchmark::State& state)
{
    static const std::unique_ptr<acad::Document> doc = PlainLines(1000000, 1000);
    const acad::View v = ExtentsView(*doc);
    RepaintLoop(state, *doc, [&] { return v; });
}
BENCHMARK(BM_RepaintMillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick of the heavy drawings below: 100,000 plain lines at extents.
const acad::Document& PlainLines100000()
{
    static const std::unique_ptr<acad::Document> doc = PlainLines(100000, 317);
    return *doc;
}

void BM_RepaintPlainLines100000(benchmark::State& state)
{
    const acad::View v = ExtentsView(PlainLines100000());
    RepaintLoop(state, PlainLines100000(), [&] { return v; });
}
BENCHMARK(BM_RepaintPlainLines100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same lines in two colours, one after the other: where they overlap, the
// later is drawn on top.
void BM_RepaintTwoColoursInterleaved100000(benchmark::State& state)
{
    static const std::unique_ptr<acad::Document> doc = [] {
        auto d = PlainLines(100000, 317);
        int i = 0;
        for (acad::Entity* e : d->ModelSpace()) e->SetColor(1 + 4 * (i++ % 2));
        return d;
    }();
    const acad::View v = ExtentsView(*doc);
    RepaintLoop(state, *doc, [&] { return v; });
}
BENCHMARK(BM_RepaintTwoColoursInterleaved100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The linetype of the sewers that exist (DASHED, 0.6 long with its gap), at a
// scale where its dashes show at the extents of the 100,000 plain lines.
acad::Linetype& Dashed(acad::Document& d, double scale)
{
    acad::Linetype* lt = d.Linetypes().Add("DASHED");
    lt->SetPattern({0.6, -0.3});
    d.SetVariable("LTSCALE", scale);
    return *lt;
}

// The 100,000 plain lines dashed.
void BM_RepaintDashedLines100000(benchmark::State& state)
{
    static const std::unique_ptr<acad::Document> doc = [] {
        auto d = PlainLines(100000, 317);
        Dashed(*d, 6);
        for (acad::Entity* e : d->ModelSpace()) e->SetLinetype("DASHED");
        return d;
    }();
    const acad::View v = ExtentsView(*doc);
    RepaintLoop(state, *doc, [&] { return v; });
}
BENCHMARK(BM_RepaintDashedLines100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// One polyline of 100,000 vertices whose dashed pattern is a tenth of its
// length, generated along it: at its extents (0) and zoomed in 100 times on
// its middle (1).
void BM_RepaintDashedPolyline(benchmark::State& state)
{
    static const std::unique_ptr<acad::Document> doc = [] {
        auto d = std::make_unique<acad::Document>();
        std::vector<double> xy;
        for (int i = 0; i < 100000; ++i)
            xy.insert(xy.end(), {(i % 1000) * 10.0 + (i % 3) * 2.5, (i / 1000) * 40.0 + (i % 7)});
        acad::LWPolyline* pl = d->ModelSpace().AddLightWeightPolyline(xy);
        pl->SetLinetypeGeneration(true);
        Dashed(*d, pl->Length() / 10 / 0.9);
        pl->SetLinetype("DASHED");
        return d;
    }();
    acad::View v = ExtentsView(*doc);
    if (state.range(0) == 1) v.SetHeight(v.Height() / 100);
    RepaintLoop(state, *doc, [&] { return v; });
}
BENCHMARK(BM_RepaintDashedPolyline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
// A grid of 4,000 × 4,000 copies (MINSERT) of one short line, 1 apart: a
// file of a few hundred bytes. At the extents each copy is a fraction of a
// pixel; drawn, crossed over the extents and picked at the middle, each at
// most 20 times the 100,000 plain lines.
acad::Document& Grid4000()
{
    static const std::unique_ptr<acad::Document> doc = [] {
        auto d = std::make_unique<acad::Document>();
        d->Blocks().Add({0, 0, 0}, "L")->AddLine({0, 0, 0}, {0.5, 0.5, 0});
        acad::BlockReference* r = d->ModelSpace().InsertBlock({0, 0, 0}, "L", 1, 1, 1, 0);
        acad::BlockReferenceData g = r->Data();
        g.rows = g.columns = 4000;
        g.rowSpacing = g.columnSpacing = 1;
        r->SetData(g);
        d->SetScreenSize(kScreen.width(), kScreen.height());
        d->ActiveView().Fit(d->ModelExtents());
        return d;
    }();
    return *doc;
}

void BM_RepaintGrid4000(benchmark::State& state)
{
    const acad::View v = ExtentsView(Grid4000());
    RepaintLoop(state, Grid4000(), [&] { return v; });
}
BENCHMARK(BM_RepaintGrid4000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Each walk weighs its view again, as after any change to the drawing.
void BM_CrossingGrid4000(benchmark::State& state)
{
    acad::Document& doc = Grid4000();
    acad::SelectionSet* ss = doc.SelectionSets().Add("CRUZA");
    const acad::Box all = doc.ModelExtents();
    for (auto _ : state) {
        doc.PlanKept().reset();
        ss->Clear();
        ss->Select(acad::acSelectionSetCrossing, all.min, all.max);
    }
    state.counters["selected"] = ss->Count();
    doc.SelectionSets().Item("CRUZA")->Delete();
}
BENCHMARK(BM_CrossingGrid4000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PickGrid4000(benchmark::State& state)
{
    acad::Document& doc = Grid4000();
    const acad::Point3d middle = doc.ModelExtents().Center();
    const acad::Entity* picked = nullptr;
    for (auto _ : state) {
        doc.PlanKept().reset();
        picked = acad::selection::PickAt(doc, middle);
    }
    state.counters["picked"] = picked != nullptr;
}
BENCHMARK(BM_PickGrid4000)->Unit(benchmark::kMillisecond)->UseRealTime();

// A small file of references of a block X of 40 references of Y, of 50 of Z, of
// 40 large circles (82,040 parts per X), all around one spot.
const acad::Document& CircleBlocks(int references)
{
    static std::map<int, std::unique_ptr<acad::Document>> docs;
    auto& doc = docs[references];
    if (!doc) {
        doc = std::make_unique<acad::Document>();
        acad::ReadDxfText(*doc, dxf_test::CircleBlocks(references), "circulos.dxf");
    }
    return *doc;
}

void BM_RepaintCircleBlocksAtExtents(benchmark::State& state)
{
    const acad::Document& doc = CircleBlocks(static_cast<int>(state.range(0)));
    const acad::View v = ExtentsView(doc);
    RepaintLoop(state, doc, [&] { return v; });
}
BENCHMARK(BM_RepaintCircleBlocksAtExtents)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same zoomed in 8× on the edge of the circles.
void BM_RepaintCircleBlocksZoomed(benchmark::State& state)
{
    const acad::Document& doc = CircleBlocks(static_cast<int>(state.range(0)));
    acad::View v = ExtentsView(doc);
    v.SetHeight(v.Height() / 8);
    v.SetCenter({v.Center().x + 100, v.Center().y, 0});
    RepaintLoop(state, doc, [&] { return v; });
}
BENCHMARK(BM_RepaintCircleBlocksZoomed)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// As many large circles straight in model space (82,040).
void BM_RepaintFlatCircles(benchmark::State& state)
{
    static std::unique_ptr<acad::Document> doc = [] {
        auto d = std::make_unique<acad::Document>();
        acad::ReadDxfText(*d, dxf_test::CircleBlocks(0, true), "circulos.dxf");
        return d;
    }();
    const acad::View v = ExtentsView(*doc);
    RepaintLoop(state, *doc, [&] { return v; });
}
BENCHMARK(BM_RepaintFlatCircles)->Unit(benchmark::kMillisecond)->UseRealTime();

// Peak memory of the process so far, in megabytes.
double PeakMegabytes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// What `doc` shows (its model's view, or its sheet's) on the screen.
acad::View ShownView(acad::Document& doc)
{
    const acad::View& shown = doc.ActiveLayout().ModelType() ? doc.ActiveView() : doc.PaperView(doc.ActiveLayout());
    acad::View v({0, 0, 0}, 1, double(kScreen.width()) / kScreen.height());
    v.Fit(shown.VisibleBox(), 0);
    return v;
}

// Each heavy drawing at its view (heavy::Benchmarked, by index).
void BM_RepaintHeavy(benchmark::State& state)
{
    const std::size_t index = static_cast<std::size_t>(state.range(0));
    acad::Document& doc = heavy::Built(index);
    state.SetLabel(heavy::NameOf(heavy::Benchmarked()[index]));
    const acad::View v = ShownView(doc);
    RepaintLoop(state, doc, [&] { return v; });
    state.counters["peakMB"] = PeakMegabytes();
}
BENCHMARK(BM_RepaintHeavy)
    ->DenseRange(0, static_cast<int>(heavy::Benchmarked().size()) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The 1,000 zigzags a hair apart seen at (496, 5), a unit high (0) down to a
// thousandth of one (3): the lines that cross the view are drawn, not the
// outlines of the references.
void BM_RepaintZigzagsZoomedIn(benchmark::State& state)
{
    const std::size_t index = 15;
    acad::Document& doc = heavy::Built(index);
    state.SetLabel(heavy::NameOf(heavy::Benchmarked()[index]));
    const acad::View v({496, 5, 0}, std::pow(10.0, -static_cast<double>(state.range(0))),
                       double(kScreen.width()) / kScreen.height());
    acad::ui::SceneRenderer renderer;
    QImage img(kScreen, QImage::Format_RGB32);
    acad::ui::RenderStats s;
    for (auto _ : state) {
        img.fill(acad::ui::BackgroundColor());
        QPainter p(&img);
        s = renderer.Draw(p, doc, acad::ui::ViewMapping::Of(v, QSizeF(kScreen)));
    }
    state.counters["segments"] = static_cast<double>(s.segments);
    state.counters["outlined"] = s.coarse.empty() ? 0 : 1;
    state.counters["entities"] = static_cast<double>(s.entities);
    state.counters["work"] = static_cast<double>(s.Work());
    state.counters["stepped"] = static_cast<double>(s.stepped);
}
BENCHMARK(BM_RepaintZigzagsZoomedIn)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100 2-D polylines of 1,000 vertices: as many pieces as the 100,000 plain lines.
void BM_RepaintPolylines(benchmark::State& state)
{
    static const std::unique_ptr<acad::Document> doc = [] {
        auto d = std::make_unique<acad::Document>();
        for (int k = 0; k < 100; ++k) {
            std::vector<double> xyz;
            for (int i = 0; i < 1000; ++i)
                xyz.insert(xyz.end(), {(i % 317) * 10.0 + (i % 3) * 2.5, k * 30.0 + (i / 317) * 10.0, 0});
            d->ModelSpace().AddPolyline(xyz);
        }
        return d;
    }();
    const acad::View v = ExtentsView(*doc);
    RepaintLoop(state, *doc, [&] { return v; });
}
BENCHMARK(BM_RepaintPolylines)->Unit(benchmark::kMillisecond)->UseRealTime();

// A sheet of 200 viewports, each showing the whole of the 100,000 plain lines.
void BM_RepaintSheetOfViewports(benchmark::State& state)
{
    static const std::unique_ptr<acad::Document> doc = [] {
        auto d = PlainLines(100000, 317);
        const acad::Box model = d->ModelExtents();
        d->SetActiveSpace(acad::acPaperSpace);
        acad::Block& sheet = d->PaperSpace();
        for (int i = 0; i < 200; ++i) {
            acad::PViewport* vp = sheet.AddPViewport({(i % 20) * 30.0, (i / 20) * 20.0, 0}, 28, 18);
            vp->Display(true);
            vp->View().Fit(model);
        }
        d->ActiveView().Fit(sheet.Extents());
        return d;
    }();
    const acad::View v = doc->ActiveView();
    RepaintLoop(state, *doc, [&] { return v; });
}
BENCHMARK(BM_RepaintSheetOfViewports)->Unit(benchmark::kMillisecond)->UseRealTime();

// 33 references each nested in the next over 10 lines: drawn, at least as an outline.
void BM_RepaintNested33(benchmark::State& state)
{
    static const std::unique_ptr<acad::Document> doc = [] {
        auto d = std::make_unique<acad::Document>();
        heavy::ShortLines(*d->Blocks().Add({0, 0, 0}, "N0"), 10);
        for (int k = 1; k <= 33; ++k)
            d->Blocks()
                .Add({0, 0, 0}, "N" + std::to_string(k))
                ->InsertBlock({0, 0, 0}, "N" + std::to_string(k - 1), 1, 1, 1, 0);
        d->ModelSpace().InsertBlock({0, 0, 0}, "N33", 1, 1, 1, 0);
        return d;
    }();
    const acad::View v = ExtentsView(*doc);
    RepaintLoop(state, *doc, [&] { return v; });
}
BENCHMARK(BM_RepaintNested33)->Unit(benchmark::kMillisecond)->UseRealTime();

// A zones drawing: 500 hatches of 200-vertex loops 300 units across, each
// with the two families of lines its file holds (45° lines 3.175 apart, and
// dashed ones across them), drawn at extents (a tint: the lines lie closer
// than two pixels) and zoomed in by the factor on one of them (the lines of
// the hatches in view, cut at their loops).
void BM_RepaintPatternZones(benchmark::State& state)
{
    static const std::unique_ptr<acad::Document> doc = [] {
        auto d = std::make_unique<acad::Document>();
        for (int h = 0; h < 500; ++h) {
            const double cx = (h % 25) * 400.0, cy = (h / 25) * 400.0;
            acad::HatchLoop loop;
            loop.flags = acad::HatchLoopType::External | acad::HatchLoopType::Polyline;
            loop.isPolyline = true;
            for (int k = 0; k < 200; ++k) {
                const double a = k * acad::kTwoPi / 200, r = 150 * (1 + 0.1 * std::sin(7 * a));
                loop.polyline.vertices.push_back({{cx + r * std::cos(a), cy + r * std::sin(a), 0}, 0.0});
            }
            loop.polyline.closed = true;
            acad::HatchData data;
            data.patternName = "ZONA";
            data.solid = false;
            data.loops = {loop};
            data.patternLines = {{acad::kPi / 4, {0, 0, 0}, {-2.2450640303, 2.2450640303, 0}, {}},
                                 {-acad::kPi / 4, {0, 0, 0}, {4.49, 4.49, 0}, {3.175, -1.5875}}};
            d->ModelSpace().AddHatch(acad::HatchPatternType::CustomDefined, "ZONA", false)->SetData(data);
        }
        return d;
    }();
    const double factor = static_cast<double>(state.range(0));
    const acad::View whole = ExtentsView(*doc);
    acad::View v = whole;
    v.SetCenter({4800, 3600, 0});  // on the middle of one
    v.SetHeight(whole.Height() / factor);
    RepaintLoop(state, *doc, [&] { return v; });
}
BENCHMARK(BM_RepaintPatternZones)->Arg(1)->Arg(16)->Arg(128)->Unit(benchmark::kMillisecond)->UseRealTime();

// Repaints `v` panned each time to another place within 37 pixels, as a view
// being moved: no frame draws a text the way one before it did.
void PanningLoop(benchmark::State& state, const acad::Document& doc, const acad::View& v)
{
    const double pixel = v.Height() / kScreen.height();
    double step = 0;
    RepaintLoop(state, doc, [&] {
        acad::View w = v;
        step = std::fmod(step + 0.6180339887498949, 1.0);
        w.SetCenter({v.Center().x + 37 * step * pixel, v.Center().y, 0});
        return w;
    });
}

// A file of one text: `letters` "W" 2.5 high from the origin, with the
// groups `more` gives it.
std::unique_ptr<acad::Document> OneText(int letters, const std::string& more)
{
    auto d = std::make_unique<acad::Document>();
    acad::ReadDxfText(*d,
                      "0\nSECTION\n2\nENTITIES\n0\nTEXT\n8\n0\n10\n0\n20\n0\n30\n0\n40\n2.5\n1\n" +
                          std::string(static_cast<std::size_t>(letters), 'W') + "\n" + more + "0\nENDSEC\n0\nEOF\n",
                      "texto.dxf");
    return d;
}

// 200 "W" fitted between (0, 0) and (1, 0), 2.5 high, at its extents (1: each
// letter two pixels wide) and zoomed in by the factor on its middle (8: each
// 16 pixels wide and 8,000 high), panned.
void BM_RepaintFittedText(benchmark::State& state)
{
    static const std::unique_ptr<acad::Document> doc = OneText(200, "72\n5\n11\n1\n21\n0\n31\n0\n");
    acad::View v = ExtentsView(*doc);
    v.SetHeight(v.Height() / static_cast<double>(state.range(0)));
    PanningLoop(state, *doc, v);
}
BENCHMARK(BM_RepaintFittedText)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

// 20 "W" with an oblique angle of 80°, at its extents and zoomed in by the
// factor on its first letters (16: letters some 900 pixels high; 1024: some
// 60,000), panned.
void BM_RepaintObliqueText(benchmark::State& state)
{
    static const std::unique_ptr<acad::Document> doc = OneText(20, "51\n80\n");
    acad::View v = ExtentsView(*doc);
    v.SetCenter({2, 1, 0});
    v.SetHeight(v.Height() / static_cast<double>(state.range(0)));
    PanningLoop(state, *doc, v);
}
BENCHMARK(BM_RepaintObliqueText)->Arg(1)->Arg(16)->Arg(1024)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window itself: a wheel zoom step and a pan step redrawn through the
// drawing area (engine view updated, drawing rendered, crosshair drawn).
void BM_WindowZoomAndPan(benchmark::State& state)
{
    acad::Application app;
    acad::Document* doc = app.Documents().Add("Acad");
    // The lines, polylines, circles and texts of the big drawing, copied into the application's document.
    for (acad::Entity* e : Drawing().ModelSpace()) {
        if (dynamic_cast<acad::BlockReference*>(e)) continue;  // blocks are the source drawing's
        doc->ModelSpace().AppendEntity(e->CloneTo(*doc));
    }
    acad::ui::MainWindow w(app);
    w.resize(kScreen + QSize(0, 160));
    w.show();
    QApplication::processEvents();
    acad::ui::DrawingView* view = w.View();
    app.ZoomExtents();
    const QPointF middle(view->width() / 2.0, view->height() / 2.0);
    int step = 0;
    for (auto _ : state) {
        if (step % 2 == 0)
            view->ZoomAt(middle, (step / 2) % 8 < 4 ? 1.25 : 0.8);
        else
            view->PanBy(QPointF(37, -21));
        ++step;
        view->repaint();
    }
    state.counters["drawn"] = static_cast<double>(view->LastStats().entities);
    state.counters["model"] = doc->ModelSpace().Count();
}
BENCHMARK(BM_WindowZoomAndPan)->Unit(benchmark::kMillisecond)->UseRealTime();

// Levels of detail of large definitions: the first frame of a block never
// drawn before, a block zoomed through every octave, and many blocks under a
// drifting view, each frame against the 100,000 plain lines of the same run
// (at most 20 times as long), and what the process holds after them against
// what the file itself takes (at most 3 times, and levelling off).

// What the process holds now, in megabytes: freed heap given back first, so
// that only what is still in use counts.
double ResidentMegabytes()
{
    malloc_trim(0);
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// One frame of `doc` at `v`, in milliseconds.
double FrameMs(acad::ui::SceneRenderer& renderer, QImage& img, const acad::Document& doc, const acad::View& v,
               acad::ui::RenderStats& s)
{
    const auto start = std::chrono::steady_clock::now();
    img.fill(acad::ui::BackgroundColor());
    {
        QPainter p(&img);
        s = renderer.Draw(p, doc, acad::ui::ViewMapping::Of(v, QSizeF(kScreen)));
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The frame of the 100,000 plain lines at extents in this run, in
// milliseconds: the median of 21, as drawn again and again.
double YardstickMs()
{
    static const double ms = [] {
        const acad::Document& doc = PlainLines100000();
        const acad::View v = ExtentsView(doc);
        acad::ui::SceneRenderer renderer;
        QImage img(kScreen, QImage::Format_RGB32);
        acad::ui::RenderStats s;
        FrameMs(renderer, img, doc, v, s);
        std::vector<double> times;
        for (int i = 0; i < 21; ++i) times.push_back(FrameMs(renderer, img, doc, v, s));
        std::nth_element(times.begin(), times.begin() + 10, times.end());
        return times[10];
    }();
    return ms;
}

// A block "CONTORNO" of one closed contour of `vertices` vertices, 500 units
// out from the origin, referenced once.
std::unique_ptr<acad::Document> ContourBlock(int vertices)
{
    auto d = std::make_unique<acad::Document>();
    d->Blocks()
        .Add({0, 0, 0}, "CONTORNO")
        ->AddLightWeightPolyline(heavy::Contour(vertices, 0, 0, 500))
        ->SetClosed(true);
    d->ModelSpace().InsertBlock({0, 0, 0}, "CONTORNO", 1, 1, 1, 0);
    return d;
}

// The first vertex of the contour of "CONTORNO".
acad::Point3d FirstVertex(const acad::Document& doc)
{
    return dynamic_cast<const acad::LWPolyline&>(*doc.Blocks().Item("CONTORNO")->Item(0)).Coordinate(0);
}

// The definition's first vertex set again where it is: an edit of the
// definition, after which nothing kept of it holds.
void TouchDefinition(acad::Document& doc, const std::string& name)
{
    auto* pl = dynamic_cast<acad::LWPolyline*>(doc.Blocks().Item(name)->Item(0));
    pl->SetCoordinate(0, pl->Coordinate(0));
    benchmark::DoNotOptimize(doc.ModelExtents());
    doc.PlanKept().reset();
}

// A 2,000,000-vertex contour in a block referenced once: the first frame at
// view height 100 and 10 on the contour (the ring about 1,100 units across),
// after its definition changed (0) or of a document just read (1). `again`:
// the frame after it.
void BM_FirstFrameContour2M(benchmark::State& state)
{
    static std::unique_ptr<acad::Document> edited = ContourBlock(2000000);
    const double height = static_cast<double>(state.range(0));
    const bool fresh = state.range(1) == 1;
    QImage img(kScreen, QImage::Format_RGB32);
    acad::ui::RenderStats s;
    double first = 0, worst = 0, again = 0;
    for (auto _ : state) {
        std::unique_ptr<acad::Document> read;
        if (fresh) {
            read = ContourBlock(2000000);
            benchmark::DoNotOptimize(read->ModelExtents());
        } else {
            TouchDefinition(*edited, "CONTORNO");
        }
        const acad::Document& doc = fresh ? *read : *edited;
        const acad::View v(FirstVertex(doc), height, double(kScreen.width()) / kScreen.height());
        acad::ui::SceneRenderer renderer;
        first = FrameMs(renderer, img, doc, v, s);
        state.SetIterationTime(first / 1000);
        worst = std::max(worst, first);
        again = FrameMs(renderer, img, doc, v, s);
    }
    const double yard = YardstickMs();
    state.counters["lines100k_ms"] = yard;
    state.counters["first_x"] = first / yard;
    state.counters["worst_x"] = worst / yard;
    state.counters["again_ms"] = again;
    state.counters["segments"] = static_cast<double>(s.segments);
    state.counters["outlined"] = s.coarse.empty() ? 0 : 1;
}
BENCHMARK(BM_FirstFrameContour2M)
    ->ArgsProduct({{100, 10}, {0, 1}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// A 1,000,000-vertex contour in a block referenced once, zoomed in from its
// extents through 35 octaves on a point of it (the height halved each step),
// and out again (the argument: how many ways, in and out by turns):
// the benchmark's time is the worst frame, `oNN_x` each frame of the first
// way in against the 100,000 lines, `over20x` the frames of a way over 20
// times as long. Memory:
// what the file took (the process before and after it was built), and what
// the document holds with all kept for it (the process over what it held
// before) after each way in and out.
void BM_ZoomOctaves1M(benchmark::State& state)
{
    constexpr int kOctaves = 35;
    const int wayCount = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        const double yard = YardstickMs();
        acad::ui::SceneRenderer renderer;
        QImage img(kScreen, QImage::Format_RGB32);
        img.fill(acad::ui::BackgroundColor());
        acad::ui::RenderStats s;
        const double before = ResidentMegabytes();
        std::unique_ptr<acad::Document> doc = ContourBlock(1000000);
        benchmark::DoNotOptimize(doc->ModelExtents());
        const double file = ResidentMegabytes() - before;
        const acad::Point3d on = FirstVertex(*doc);
        const acad::View whole = ExtentsView(*doc);
        double worst = 0, most = 0;
        const char* ways[] = {"in1", "out1", "in2", "out2"};
        for (int way = 0; way < wayCount; ++way) {
            double worstOfWay = 0;
            int slow = 0;
            for (int i = 0; i <= kOctaves; ++i) {
                const int octave = way % 2 == 0 ? i : kOctaves - i;
                acad::View v = whole;
                if (octave > 0) v.SetCenter(on);
                v.SetHeight(whole.Height() / std::exp2(octave));
                const double ms = FrameMs(renderer, img, *doc, v, s);
                if (way == 0) {
                    char name[16];
                    std::snprintf(name, sizeof name, "o%02d_x", octave);
                    state.counters[name] = ms / yard;
                }
                if (ms > worstOfWay) worstOfWay = ms;
                if (ms > 20 * yard) ++slow;
            }
            state.counters[std::string("over20x_") + ways[way]] = slow;
            const double held = ResidentMegabytes() - before;
            state.counters[std::string("doc_") + ways[way] + "_MB"] = held;
            state.counters[std::string("worst_") + ways[way] + "_x"] = worstOfWay / yard;
            worst = std::max(worst, worstOfWay);
            most = std::max(most, held);
        }
        state.SetIterationTime(worst / 1000);
        state.counters["lines100k_ms"] = yard;
        state.counters["worst_ms"] = worst;
        state.counters["worst_x"] = worst / yard;
        state.counters["file_MB"] = file;
        state.counters["doc_x_file"] = most / file;
        state.counters["kept_MB"] = static_cast<double>(acad::KeptScaleBytes()) / (1024.0 * 1024.0);
        state.counters["rss_MB"] = ResidentMegabytes();
        doc.reset();
        state.counters["run_s"] =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
}
BENCHMARK(BM_ZoomOctaves1M)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond)->UseManualTime();

// 1,000 definitions of a 10,000-vertex contour each (each its own radius and
// phase), referenced once each, 20 units apart in rows of 40. The view, a
// quarter of the extents high, then an eighth, a sixteenth and a quarter
// again, one pass each, drifts across the drawing row by row.
// What the document holds with all kept for it (the process over what it
// held before it was built) after each pass, against what the file took.
void BM_DriftOverDefinitions(benchmark::State& state)
{
    constexpr int kDefinitions = 1000, kVertices = 10000, kPerRow = 40;
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        const double yard = YardstickMs();
        acad::ui::SceneRenderer renderer;
        QImage img(kScreen, QImage::Format_RGB32);
        img.fill(acad::ui::BackgroundColor());
        acad::ui::RenderStats s;
        const double before = ResidentMegabytes();
        auto doc = std::make_unique<acad::Document>();
        for (int i = 0; i < kDefinitions; ++i) {
            const std::string name = "CURVA" + std::to_string(i);
            std::vector<double> xy = heavy::Contour(kVertices, 0, 0, 7 + (i % 13) * 0.1);
            std::rotate(xy.begin(), xy.begin() + 2 * (i % 97), xy.end());
            doc->Blocks().Add({0, 0, 0}, name)->AddLightWeightPolyline(xy)->SetClosed(true);
            doc->ModelSpace().InsertBlock({(i % kPerRow) * 20.0, (i / kPerRow) * 20.0, 0}, name, 1, 1, 1, 0);
        }
        const acad::Box all = doc->ModelExtents();
        const double file = ResidentMegabytes() - before;
        const acad::View whole = ExtentsView(*doc);
        double worst = 0, held = 0, most = 0;
        int frames = 0;
        const int octaves[] = {2, 3, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            acad::View v = whole;
            v.SetHeight(whole.Height() / std::exp2(octaves[pass]));
            // Six rows of ten steps, whatever the zoom: the closer, the sparser.
            for (int row = 0; row < 6; ++row)
                for (int step = 0; step < 10; ++step) {
                    const int col = row % 2 ? 9 - step : step;
                    v.SetCenter({all.min.x + (col + 0.5) * all.Width() / 10,
                                 all.min.y + (row + 0.5) * all.Height() / 6, 0});
                    worst = std::max(worst, FrameMs(renderer, img, *doc, v, s));
                    ++frames;
                }
            held = ResidentMegabytes() - before;
            most = std::max(most, held);
            state.counters["doc_pass" + std::to_string(pass + 1) + "_MB"] = held;
        }
        state.SetIterationTime(worst / 1000);
        state.counters["lines100k_ms"] = yard;
        state.counters["frames"] = frames;
        state.counters["worst_ms"] = worst;
        state.counters["worst_x"] = worst / yard;
        state.counters["file_MB"] = file;
        state.counters["doc_x_file"] = most / file;
        state.counters["kept_MB"] = static_cast<double>(acad::KeptScaleBytes()) / (1024.0 * 1024.0);
        state.counters["rss_MB"] = ResidentMegabytes();
        doc.reset();
        state.counters["run_s"] =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
}
BENCHMARK(BM_DriftOverDefinitions)->Iterations(1)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
