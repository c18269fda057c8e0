// Hatch regions at the size of a city's zone and pavement drawings:
// - reading back a DXF file of 500 hatches with 100,000 boundary vertices
//   written by the drawing host (400 polyline paths with some bulged sides,
//   100 paths of line edges), at UTM coordinates, 50 pattern names;
// - 100,000 zone lookups over 200 regions (one per hatch) of 200-vertex loops.

#include "../QtBenchMain.h"

#include <cmath>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "terrain/clsHatchs.h"
#include "terrain/modRegioes.h"

namespace {

constexpr int kHatchs = 500, kVerticesPorHatch = 200, kComArestas = 100;
constexpr double kX0 = 350000, kY0 = 7500000, kPassoGrade = 400;

// The vertices of an irregular closed ring around (cx, cy).
std::vector<acad::Point3d> Anel(double cx, double cy, int n, double raio)
{
    std::vector<acad::Point3d> p;
    for (int k = 0; k < n; ++k) {
        const double t = 2 * M_PI * k / n;
        const double r = raio + 0.2 * raio * std::sin(5 * t) + 0.05 * raio * std::cos(13 * t);
        p.push_back({cx + r * std::cos(t), cy + r * std::sin(t), 0});
    }
    return p;
}

std::filesystem::path ArquivoDeHachuras()
{
    const std::filesystem::path pasta = std::filesystem::temp_directory_path() / "quoril-bench-terrain";
    std::filesystem::create_directories(pasta);
    std::filesystem::path arquivo = pasta / "hachuras.dxf";
    acad::Document doc;
    for (int h = 0; h < kHatchs; ++h) {
        const double cx = kX0 + (h % 25) * kPassoGrade, cy = kY0 + (h / 25) * kPassoGrade;
        acad::Hatch* hatch =
            doc.ModelSpace().AddHatch(acad::HatchPatternType::PreDefined, "ZONA" + std::to_string(h % 50), false);
        acad::HatchData d = hatch->Data();
        acad::HatchLoop loop;
        loop.flags = acad::HatchLoopType::External | acad::HatchLoopType::Outermost;
        const std::vector<acad::Point3d> anel = Anel(cx, cy, kVerticesPorHatch, 150);
        if (h < kComArestas) {
            for (std::size_t k = 0; k < anel.size(); ++k) {
                acad::HatchEdge e;
                e.kind = acad::HatchEdge::LineEdge;
                e.start = anel[k];
                e.end = anel[(k + 1) % anel.size()];
                loop.edges.push_back(e);
            }
        } else {
            loop.isPolyline = true;
            loop.flags |= acad::HatchLoopType::Polyline;
            loop.polyline.closed = true;
            for (std::size_t k = 0; k < anel.size(); ++k)
                loop.polyline.vertices.push_back({anel[k], k % 20 == 0 ? 0.2 : 0.0});
        }
        d.loops.push_back(loop);
        hatch->SetData(d);
    }
    acad::WriteDxf(doc, arquivo);
    return arquivo;
}

void BM_ReadHatchs_500Hatches_100kVertices(benchmark::State& state)
{
    static const std::filesystem::path arquivo = ArquivoDeHachuras();
    for (auto _ : state) {
        clsHatchs h;
        h.SetCaminhoDXF(arquivo.string());
        h.ReadHatchs();
        if (gNumHatchs != 50 || h.Loops().size() != static_cast<std::size_t>(kHatchs))
            throw std::runtime_error("hatch file read back wrong");
        benchmark::DoNotOptimize(gHatchs.data());
    }
    state.counters["regions"] = gNumHatchs;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(arquivo)) / 1e6;
}
BENCHMARK(BM_ReadHatchs_500Hatches_100kVertices)->Unit(benchmark::kMillisecond);

void BM_ZonaDoPonto_100kPoints_200Regions(benchmark::State& state)
{
    // 200 zones of 200-vertex loops on a 20 × 10 grid, one region per hatch.
    gHatchs.clear();
    gNumHatchs = 0;
    clsHatchs zonas;
    zonas.RegiaoPorHatch = true;
    for (int z = 0; z < 200; ++z) {
        const double cx = kX0 + (z % 20) * kPassoGrade, cy = kY0 + (z / 20) * kPassoGrade;
        std::vector<double> L;
        for (const acad::Point3d& p : Anel(cx, cy, 200, 170)) {
            L.push_back(p.x);
            L.push_back(p.y);
        }
        L.push_back(L[0]);
        L.push_back(L[1]);
        zonas.AddLoop(L, "ZONA", 1);
        zonas.MontaLoops();
    }
    zonas.IndexaRegioes();
    gHatchZonas = gHatchs;

    std::mt19937 gerador(18);
    std::uniform_real_distribution<double> x(kX0 - 200, kX0 + 20 * kPassoGrade), y(kY0 - 200, kY0 + 10 * kPassoGrade);
    std::vector<Ponto> pontos;
    for (int i = 0; i < 100000; ++i) pontos.emplace_back(x(gerador), y(gerador));

    long long dentro = 0;
    for (auto _ : state) {
        dentro = 0;
        for (const Ponto& p : pontos) {
            int indice = -1;
            if (!ZonaDoPonto(p, indice).empty()) ++dentro;
        }
        benchmark::DoNotOptimize(dentro);
    }
    state.counters["inside"] = static_cast<double>(dentro);
}
BENCHMARK(BM_ZonaDoPonto_100kPoints_200Regions)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
