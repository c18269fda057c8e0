// The triangulation of 50,000 survey points at UTM coordinates, about 6 m
// apart, against the library's own Delaunay triangulation of the same points
// (exact predicates, range insertion). Ours is measured whole: enclosing
// triangle, insertion and the removal of the triangles that touch it.

#include <benchmark/benchmark.h>

#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "terrain/clsDelaunay.h"
#include "terrain/modTerreno.h"

namespace {

using K = CGAL::Exact_predicates_inexact_constructions_kernel;
using Vb = CGAL::Triangulation_vertex_base_with_info_2<int32_t, K>;
using DtInfo = CGAL::Delaunay_triangulation_2<K, CGAL::Triangulation_data_structure_2<Vb>>;
using Dt = CGAL::Delaunay_triangulation_2<K>;

// A survey: a 224 × 224 grid 6 m apart, each point moved up to 1.4 m, to the
// centimetre, in random order.
std::vector<VerticeRec> Levantamento(int n)
{
    std::mt19937 g(2026);
    std::uniform_real_distribution<double> mexe(-1.4, 1.4);
    const int lado = static_cast<int>(std::ceil(std::sqrt(n)));
    std::vector<VerticeRec> v;
    for (int i = 0; i < lado && static_cast<int>(v.size()) < n; ++i)
        for (int j = 0; j < lado && static_cast<int>(v.size()) < n; ++j)
            v.push_back({std::round((734000 + 6.0 * i + mexe(g)) * 100) / 100,
                         std::round((7456000 + 6.0 * j + mexe(g)) * 100) / 100, 700 + 0.01 * i});
    std::shuffle(v.begin(), v.end(), g);
    return v;
}

void Carrega(const std::vector<VerticeRec>& v)
{
    gVertices.assign(v.size() + 4, VerticeRec{});
    std::copy(v.begin(), v.end(), gVertices.begin() + 1);
    gNumVertices = static_cast<int32_t>(v.size());
}

using Tri = std::array<int32_t, 3>;

std::vector<Tri> Ordena(std::vector<Tri> t)
{
    for (Tri& k : t) std::sort(k.begin(), k.end());
    std::sort(t.begin(), t.end());
    return t;
}

// Our triangles must be the library's triangulation of the points with the
// same three enclosing vertices, less the triangles that touch them.
void Confere(const std::vector<VerticeRec>& v)
{
    const int32_t n = static_cast<int32_t>(v.size());
    Carrega(v);
    clsDelaunay d;
    gNumTriangulos = d.Triangulate(n);
    std::vector<Tri> nossos;
    for (int32_t t = 1; t <= gNumTriangulos; ++t)
        nossos.push_back({gTriangulos[t].vv0, gTriangulos[t].vv1, gTriangulos[t].vv2});
    std::vector<std::pair<K::Point_2, int32_t>> pts;
    for (int32_t i = 1; i <= n + 3; ++i) pts.emplace_back(K::Point_2(gVertices[i].X, gVertices[i].Y), i);
    DtInfo dt(pts.begin(), pts.end());
    std::vector<Tri> deles;
    for (auto f = dt.finite_faces_begin(); f != dt.finite_faces_end(); ++f) {
        const Tri k{f->vertex(0)->info(), f->vertex(1)->info(), f->vertex(2)->info()};
        if (k[0] <= n && k[1] <= n && k[2] <= n) deles.push_back(k);
    }
    if (Ordena(nossos) != Ordena(deles)) {
        std::fprintf(stderr, "os triângulos diferem da triangulação de referência\n");
        std::exit(1);
    }
}

void BM_Triangulate(benchmark::State& state)
{
    const std::vector<VerticeRec> v = Levantamento(static_cast<int>(state.range(0)));
    Confere(v);
    clsDelaunay d;
    for (auto _ : state) {
        state.PauseTiming();
        Carrega(v);
        state.ResumeTiming();
        benchmark::DoNotOptimize(d.Triangulate(static_cast<int32_t>(v.size())));
    }
    state.counters["triangulos"] = gNumTriangulos;
}
BENCHMARK(BM_Triangulate)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_ReferenceDelaunay(benchmark::State& state)
{
    const std::vector<VerticeRec> v = Levantamento(static_cast<int>(state.range(0)));
    std::vector<K::Point_2> pts;
    for (const VerticeRec& p : v) pts.emplace_back(p.X, p.Y);
    for (auto _ : state) {
        Dt dt;
        dt.insert(pts.begin(), pts.end());
        benchmark::DoNotOptimize(dt.number_of_faces());
    }
}
BENCHMARK(BM_ReferenceDelaunay)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
