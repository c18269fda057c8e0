// Memory per simple entity: heap growth of a drawing over 100,000 lines, per line
// (entity, identity, handle lookup, drawing order and spatial index included).
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>

#include "platform/acad/Acad.h"

namespace {

std::size_t HeapInUse()
{
    struct mallinfo2 mi = mallinfo2();
    return mi.uordblks + mi.hblkhd;
}

void BM_MemoryPerLine(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    double perEntity = 0;
    for (auto _ : state) {
        auto doc = std::make_unique<acad::Document>();
        doc->Layers().Add("REDE");
        doc->SetActiveLayer(*doc->Layers().Item("REDE"));
        const std::size_t before = HeapInUse();
        for (int i = 0; i < n; ++i) {
            const double x = 300000.0 + (i % 1000) * 3.0, y = 7000000.0 + (i / 1000) * 3.0;
            doc->ModelSpace().AddLine({x, y, 0}, {x + 2.0, y + 1.0, 0});
        }
        const std::size_t after = HeapInUse();
        perEntity = static_cast<double>(after - before) / n;
        benchmark::DoNotOptimize(doc.get());
    }
    state.counters["bytes_per_entity"] = perEntity;
}

void BM_MemoryPerPoint(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    double perEntity = 0;
    for (auto _ : state) {
        auto doc = std::make_unique<acad::Document>();
        const std::size_t before = HeapInUse();
        for (int i = 0; i < n; ++i)
            doc->ModelSpace().AddPoint({300000.0 + (i % 1000) * 3.0, 7000000.0 + (i / 1000) * 3.0, 0});
        perEntity = static_cast<double>(HeapInUse() - before) / n;
        benchmark::DoNotOptimize(doc.get());
    }
    state.counters["bytes_per_entity"] = perEntity;
}

}  // namespace

BENCHMARK(BM_MemoryPerLine)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryPerPoint)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
