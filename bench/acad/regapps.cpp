// Deleting the registered applications that erased survey points left behind,
// as the point menu's purge does it: sweeps that delete by position, ignoring
// refusals and positions past the shrinking end, until a sweep removes nothing.
// 45,000 unused applications and 500 still in use (target: under 0.1 s).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/acad/Acad.h"

namespace {

void BM_PurgeApplications45000(benchmark::State& state)
{
    int removed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<acad::Document>();
        for (int i = 0; i < 45500; ++i) {
            const std::string name = "PT" + std::to_string(i);
            if (i % 91 == 0)
                doc->ModelSpace().AddPoint({i * 1.0, 0, 0})->SetXData({1001, 1000}, {name, "812.3"});
            else
                doc->RegisteredApplications().Add(name);
        }
        acad::RegisteredApplications& apps = doc->RegisteredApplications();
        const int initial = apps.Count();
        state.ResumeTiming();
        for (int sweep = 0;; ++sweep) {
            const int a = apps.Count();
            for (int i = 0; i < a; ++i) {
                try {
                    apps.Item(i)->Delete();
                } catch (const acad::Error&) {
                }
            }
            const int now = apps.Count();
            if (now == a || now == 0) break;
        }
        removed = initial - apps.Count();
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["removed"] = removed;
}
BENCHMARK(BM_PurgeApplications45000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
