// Window selection on a large drawing: a crossing window that touches 0.1 % of a
// 100,000-entity drawing (target: well under 1 ms), and a whole-drawing
// selection with a layer filter for comparison.

#include <benchmark/benchmark.h>

#include <memory>

#include "platform/acad/Acad.h"

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

}  // namespace

BENCHMARK_MAIN();
