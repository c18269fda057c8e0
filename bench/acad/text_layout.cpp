// Texts measured as wide as their letters: the box of a multi-line text
// wrapped at its width (its lines laid out word by word, each letter measured
// once), and the boxes of many single-line texts. Both must stay linear in the
// letters: ten times the letters, about ten times the time.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/acad/Acad.h"

namespace {

// A text of `letters` letters in words of 2 to 9, paragraphs of 60 words, 40 wide.
std::string Paragraphs(long letters)
{
    std::string s;
    long words = 0;
    while (static_cast<long>(s.size()) < letters) {
        const long n = 2 + (words * 7) % 8;
        for (long k = 0; k < n; ++k) s += static_cast<char>('a' + (words + k) % 26);
        s += ++words % 60 == 0 ? "\\P" : " ";
    }
    return s;
}

void BM_MTextWrapBox(benchmark::State& state)
{
    acad::Document doc;
    acad::MText* m = doc.ModelSpace().AddMText({0, 0, 0}, 40, Paragraphs(state.range(0)));
    m->SetHeight(2.5);
    acad::Point3d lo, hi;
    for (auto _ : state) {
        m->GetBoundingBox(lo, hi);
        benchmark::DoNotOptimize(lo);
    }
    state.counters["height"] = hi.y - lo.y;
}
BENCHMARK(BM_MTextWrapBox)->Arg(2000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TextBoxes(benchmark::State& state)
{
    acad::Document doc;
    for (long i = 0; i < state.range(0); ++i)
        doc.ModelSpace().AddText("PV-" + std::to_string(1000 + i) + " CT 812,35", {i * 1.0, 0, 0}, 2.0);
    acad::Point3d lo, hi;
    for (auto _ : state)
        for (acad::Entity* e : doc.ModelSpace()) {
            e->GetBoundingBox(lo, hi);
            benchmark::DoNotOptimize(lo);
        }
}
BENCHMARK(BM_TextBoxes)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
