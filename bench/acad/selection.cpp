// Window selection on a large drawing: a crossing window that touches 0.1 % of a
// 100,000-entity drawing (target: well under 1 ms), and a whole-drawing
// selection with a layer filter for comparison. Picks: an ordinary one in a
// network of lines and manholes, and one on references nested a thousand wide
// (target: well under 100 ms). Then the work bounded over a whole selection: a
// crossing window on thousands of heavy references, and a pick that must see a
// small reference drawn after heavy ones as the window draws it. Last, a
// crossing window of four pixels and a pick at the middle of each drawing whose
// blocks multiply what a view draws (heavy_drawings.h), and the object snap
// there and on blocks nested 26 deep, against the frame of 100,000 plain lines
// (BM_RepaintPlainLines100000): at most 20 times as long, the snap 5 times.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <vector>

#include "../../tests/platform/acad/dxf_test_text.h"
#include "../../tests/platform/acad/heavy_drawings.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/HitTest.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/SelectionSetQuery.h"

namespace {

constexpr int kSide = 317;  // 317 × 317 ≈ 100,000 cells with a line each (plus a few texts)

std::unique_ptr<acad::Document> MakeDrawing()
{
    auto doc = std::make_unique<acad::Document>();
    doc->Layers().Add("REDE");
    acad::Block& ms = doc->ModelSpace();
    for (int i = 0; i < kSide; ++i) {
        for (int j = 0; j < kSide; ++j) {
            if (i * kSide + j >= 100000) break;
            acad::Line* l = ms.AddLine({10.0 * i, 10.0 * j, 0}, {10.0 * i + 5, 10.0 * j + 5, 0});
            if ((i + j) % 7 == 0) l->SetLayer("REDE");
        }
    }
    doc->ActiveView().Fit(doc->ModelExtents());
    return doc;
}

void BM_CrossingWindowTouching100Of100000(benchmark::State& state)
{
    auto doc = MakeDrawing();
    acad::SelectionSet* ss = doc->SelectionSets().Add("SStmp");
    // 10 × 10 cells in the middle of the drawing.
    const acad::Point3d a(1502, 1502, 0), b(1598, 1598, 0);
    for (auto _ : state) {
        ss->Clear();
        ss->Select(acad::acSelectionSetCrossing, a, b);
        benchmark::DoNotOptimize(ss->Count());
    }
    state.counters["selected"] = ss->Count();
    state.counters["entities"] = doc->ModelSpace().Count();
}
BENCHMARK(BM_CrossingWindowTouching100Of100000)->Unit(benchmark::kMicrosecond);

void BM_SelectAllOnLayer(benchmark::State& state)
{
    auto doc = MakeDrawing();
    acad::SelectionSet* ss = doc->SelectionSets().Add("SS1");
    for (auto _ : state) {
        ss->Clear();
        ss->Select(acad::acSelectionSetAll, {}, {}, {0, 8}, {"LINE", "REDE"});
        benchmark::DoNotOptimize(ss->Count());
    }
    state.counters["selected"] = ss->Count();
}
BENCHMARK(BM_SelectAllOnLayer)->Unit(benchmark::kMillisecond);

// A pick between the lines of blocks nested `levels` deep, a thousand wide,
// zoomed in so that the pick box falls in the gap: nothing is found, the worst
// case. The entity (PickAt) and then the nested part (PickNested), as a pick of
// a point's information asks for both.
void BM_PickNestedHeavy(benchmark::State& state)
{
    acad::Document doc;
    acad::ReadDxfText(doc, dxf_test::WideNestedBlocks(static_cast<int>(state.range(0)), 1000), "largo.dxf");
    doc.ActiveView().SetCenter({0.5, 0.5, 0});
    doc.ActiveView().SetHeight(0.02);
    acad::Entity* top = doc.ModelSpace().Item(0);
    const acad::Point3d p(0.5, 0.5005, 0);
    bool found = false;
    for (auto _ : state) {
        found = acad::selection::PickAt(doc, p) != nullptr;
        found = acad::PickNested(*top, p, 1e-4).has_value() || found;
    }
    state.counters["found"] = found;
}
BENCHMARK(BM_PickNestedHeavy)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// A crossing window in the empty middle of 5,000 references of a block of
// 82,040 large circles nested three deep (target: under 1 s): nothing is found.
void BM_CrossingOnCircleBlocks(benchmark::State& state)
{
    acad::Document doc;
    acad::ReadDxfText(doc, dxf_test::CircleBlocks(static_cast<int>(state.range(0))), "circulos.dxf");
    doc.ActiveView().Fit(doc.ModelExtents());
    acad::SelectionSet* ss = doc.SelectionSets().Add("SStmp");
    const acad::Point3d c = doc.ModelExtents().Center();
    for (auto _ : state) {
        ss->Clear();
        ss->Select(acad::acSelectionSetCrossing, c, c + acad::Vector3d(1, 1, 0));
        benchmark::DoNotOptimize(ss->Count());
    }
    state.counters["selected"] = ss->Count();
}
BENCHMARK(BM_CrossingOnCircleBlocks)->Arg(5000)->Unit(benchmark::kMillisecond);

// A pick on the line of a small reference drawn after three of those blocks.
void BM_PickSmallAfterHeavy(benchmark::State& state)
{
    acad::Document doc;
    acad::ReadDxfText(doc, dxf_test::CircleBlocks(3), "circulos.dxf");
    acad::Block* small = doc.Blocks().Add({0, 0, 0}, "S");
    small->AddLine({0, 0, 0}, {10, 10, 0});
    doc.ModelSpace().InsertBlock({30, 0, 0}, "S", 1, 1, 1, 0);
    doc.ActiveView().Fit(doc.ModelExtents());
    acad::Entity* picked = nullptr;
    for (auto _ : state) {
        picked = acad::selection::PickAt(doc, {35, 5, 0});
        benchmark::DoNotOptimize(picked);
    }
    state.counters["found"] = picked == doc.ModelSpace().Item(3);
}
BENCHMARK(BM_PickSmallAfterHeavy)->Unit(benchmark::kMillisecond);

// An ordinary pick: on a line of the 100,000-line drawing, among manholes.
void BM_PickInNetwork(benchmark::State& state)
{
    auto doc = MakeDrawing();
    acad::Block* pv = doc->Blocks().Add({0, 0, 0}, "PV");
    pv->AddCircle({0, 0, 0}, 1);
    pv->AddLine({-1, 0, 0}, {1, 0, 0});
    for (int i = 0; i < kSide; i += 3)
        for (int j = 0; j < kSide; j += 3) doc->ModelSpace().InsertBlock({10.0 * i, 10.0 * j, 0}, "PV", 1, 1, 1, 0);
    doc->ActiveView().SetCenter({1500, 1500, 0});
    doc->ActiveView().SetHeight(100);
    acad::Entity* picked = nullptr;
    for (auto _ : state) {
        picked = acad::selection::PickAt(*doc, {1502.5, 1502.5, 0});
        benchmark::DoNotOptimize(picked);
    }
    state.counters["found"] = picked != nullptr;
}
BENCHMARK(BM_PickInNetwork)->Unit(benchmark::kMicrosecond);

// A crossing window four pixels wide at the middle of the view, in a view
// just changed (later ones in the same view reuse its weighing).
void BM_CrossingHeavy(benchmark::State& state)
{
    const std::size_t index = static_cast<std::size_t>(state.range(0));
    acad::Document& doc = heavy::Built(index);
    state.SetLabel(heavy::NameOf(heavy::Benchmarked()[index]));
    acad::SelectionSet* ss = doc.SelectionSets().Add("SStmp");
    const acad::Point3d c = doc.ActiveView().Center();
    const double pixel = acad::selection::PixelSize(doc);
    for (auto _ : state) {
        doc.PlanKept().reset();  // as in a view just changed: the view weighed again
        ss->Clear();
        ss->Select(acad::acSelectionSetCrossing, c - acad::Vector3d(2 * pixel, 2 * pixel, 0),
                   c + acad::Vector3d(2 * pixel, 2 * pixel, 0));
        benchmark::DoNotOptimize(ss->Count());
    }
    state.counters["selected"] = ss->Count();
    doc.SelectionSets().Item("SStmp")->Delete();
}
BENCHMARK(BM_CrossingHeavy)
    ->DenseRange(0, static_cast<int>(heavy::Benchmarked().size()) - 1)
    ->Unit(benchmark::kMillisecond);

// A pick at the middle of the view, then the part under it (GetSubEntity's two steps).
void BM_PickHeavy(benchmark::State& state)
{
    const std::size_t index = static_cast<std::size_t>(state.range(0));
    acad::Document& doc = heavy::Built(index);
    state.SetLabel(heavy::NameOf(heavy::Benchmarked()[index]));
    const acad::Point3d c = doc.ActiveView().Center();
    bool found = false;
    for (auto _ : state) {
        doc.PlanKept().reset();
        acad::Entity* e = acad::selection::PickAt(doc, c);
        found = e && acad::PickNested(*e, c, 3 * acad::selection::PixelSize(doc), acad::selection::ViewPlan(doc));
    }
    state.counters["found"] = found;
}
BENCHMARK(BM_PickHeavy)
    ->DenseRange(0, static_cast<int>(heavy::Benchmarked().size()) - 1)
    ->Unit(benchmark::kMillisecond);

// The object snap at the middle of the view of `doc`, as each mouse move asks
// it while a point is asked, in a view just changed.
void SnapAtTheMiddle(benchmark::State& state, acad::Document& doc)
{
    doc.SetVariable("OSMODE", 1 | 2 | 4 | 8 | 512);
    const acad::Point3d c = doc.ActiveView().Center();
    acad::Point3d snapped;
    for (auto _ : state) {
        doc.PlanKept().reset();
        snapped = acad::input::Snap(doc, c);
        benchmark::DoNotOptimize(snapped);
    }
    state.counters["moved"] = acad::Distance2d(snapped, c);
}

void BM_SnapHeavy(benchmark::State& state)
{
    const std::size_t index = static_cast<std::size_t>(state.range(0));
    state.SetLabel(heavy::NameOf(heavy::Benchmarked()[index]));
    SnapAtTheMiddle(state, heavy::Built(index));
}
BENCHMARK(BM_SnapHeavy)
    ->DenseRange(0, static_cast<int>(heavy::Benchmarked().size()) - 1)
    ->Unit(benchmark::kMillisecond);

// On a small file of blocks nested 26 deep, each inserting the one below twice.
void BM_SnapNested26(benchmark::State& state)
{
    acad::Document doc;
    acad::ReadDxfText(doc, dxf_test::NestedBlocks(26), "aninhado.dxf");
    doc.ActiveView().Fit(doc.ModelExtents());
    SnapAtTheMiddle(state, doc);
}
BENCHMARK(BM_SnapNested26)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
