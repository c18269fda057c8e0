// Long splines: a 20,000-control-point spline read from a drawing file and
// selected by a crossing window, and a spline built through 20,000 fit points
// (time, and the heap the construction peaks at). Targets: the file read under
// 50 ms; a crossing pick on it under 0.5 ms; the fit under 0.2 s and 50 MB.

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/Spline.h"

namespace {

// A winding cubic spline with `n` control points and a clamped uniform knot vector.
acad::SplineData Winding(int n)
{
    acad::SplineData d;
    d.degree = 3;
    for (int i = 0; i < n; ++i) d.controlPoints.push_back({i * 2.0, 50.0 * std::sin(i * 0.01) + (i % 2) * 3.0, 0});
    for (int k = 0; k < 4; ++k) d.knots.push_back(0.0);
    for (int k = 1; k <= n - 4; ++k) d.knots.push_back(static_cast<double>(k));
    for (int k = 0; k < 4; ++k) d.knots.push_back(static_cast<double>(n - 3));
    return d;
}

const std::string& WindingFile()
{
    static const std::string text = [] {
        acad::Document doc;
        doc.ModelSpace().Append(std::make_unique<acad::Spline>(doc, Winding(20000)));
        return acad::WriteDxfText(doc);
    }();
    return text;
}

void BM_SplineRead20000ControlPoints(benchmark::State& state)
{
    const std::string& text = WindingFile();
    for (auto _ : state) {
        acad::Document doc;
        acad::ReadDxfText(doc, text, "spline.dxf");
        benchmark::DoNotOptimize(doc.ModelSpace().Count());
    }
    state.counters["file_kB"] = static_cast<double>(text.size()) / 1024.0;
}
BENCHMARK(BM_SplineRead20000ControlPoints)->Unit(benchmark::kMillisecond)->UseRealTime();

// A small crossing window on the curve, as a pick on screen: the spline found.
void BM_CrossingPickOnSpline(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    acad::Document doc;
    auto* sp = doc.ModelSpace().Append(std::make_unique<acad::Spline>(doc, Winding(n)));
    doc.ActiveView().Fit(doc.ModelExtents());
    const acad::Point3d on = sp->PointAt(n / 2 + 0.5);
    acad::SelectionSet* ss = doc.SelectionSets().Add("SStmp");
    for (auto _ : state) {
        ss->Clear();
        ss->Select(acad::acSelectionSetCrossing, {on.x - 1, on.y - 1, 0}, {on.x + 1, on.y + 1, 0});
        benchmark::DoNotOptimize(ss->Count());
    }
    state.counters["selected"] = ss->Count();
}
BENCHMARK(BM_CrossingPickOnSpline)->Arg(20000)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Peak resident size grown by `fn` (the kernel's high-water mark, reset first;
// the heap's free pages go back to the system before, so that each run counts).
template <typename Fn>
double PeakGrowthMB(Fn&& fn)
{
    auto field = [](const char* name) {
        std::ifstream in("/proc/self/status");
        std::string line;
        while (std::getline(in, line))
            if (line.rfind(name, 0) == 0) return std::stod(line.substr(std::string(name).size())) / 1024.0;
        return 0.0;
    };
    malloc_trim(0);
    {
        std::ofstream("/proc/self/clear_refs") << "5";
    }
    const double before = field("VmRSS:");
    fn();
    return field("VmHWM:") - before;
}

void BM_SplineFitPoints(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<double> xyz;
    for (int i = 0; i < n; ++i) {
        xyz.push_back(i * 1.5);
        xyz.push_back(30.0 * std::sin(i * 0.02));
        xyz.push_back(0.0);
    }
    double peak = 0;
    for (auto _ : state) {
        acad::Document doc;
        peak = std::max(peak, PeakGrowthMB([&] {
                            auto* sp = doc.ModelSpace().AddSpline(xyz, {}, {});
                            benchmark::DoNotOptimize(sp);
                        }));
    }
    state.counters["peak_MB"] = peak;
}
BENCHMARK(BM_SplineFitPoints)->ArgName("fit")->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
