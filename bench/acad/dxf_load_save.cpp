// Load and save of a 100,000-entity drawing: lines, lightweight polylines,
// texts and block references with attributes, as a sewer network drawing
// holds them. Target: under 0.5 s each.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include <unistd.h>

#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"

namespace {

constexpr int kEntities = 100000;

void BuildNetwork(acad::Document& doc, int count)
{
    using acad::Point3d;
    doc.Layers().Add("REDE");
    doc.Layers().Add("TEXTO_PV");
    acad::Block* pv = doc.Blocks().Add({0, 0, 0}, "E-PV");
    pv->AddCircle({0, 0, 0}, 1.0);
    pv->AddAttribute(1.5, 0, "", {2, 0, 0}, "NOME", "");
    pv->AddAttribute(1.5, 0, "", {2, -2, 0}, "CT", "");
    acad::Block& ms = doc.ModelSpace();
    for (int i = 0; i < count; ++i) {
        const double x = (i % 400) * 25.0, y = (i / 400) * 25.0;
        switch (i % 20) {
        case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7: {  // 40 %
            acad::Line* l = ms.AddLine({x, y, 100.0 + i * 0.001}, {x + 20.5, y + 3.25, 99.5});
            l->SetLayer("REDE");
            break;
        }
        case 8: case 9: case 10: case 11: case 12: {  // 25 %
            auto* p = ms.AddLightWeightPolyline({x, y, x + 5, y + 1, x + 10, y, x + 15, y + 2, x + 20, y});
            p->SetBulge(1, 0.25);
            break;
        }
        case 13: case 14: case 15: case 16: {  // 20 %
            auto* t = ms.AddText("PV-" + std::to_string(i), {x, y + 3, 0}, 2.5);
            t->SetLayer("TEXTO_PV");
            break;
        }
        default: {  // 15 %, two attributes each
            auto* r = ms.InsertBlock({x, y, 0}, "E-PV", 1, 1, 1, 0);
            auto attrs = r->GetAttributes();
            attrs[0]->SetTextString("PV-" + std::to_string(i));
            attrs[1]->SetTextString("102.35");
            break;
        }
        }
    }
}

std::filesystem::path BenchFile()
{
    return std::filesystem::temp_directory_path() / ("quoril-bench-dxf-" + std::to_string(::getpid()) + ".dwg");
}

void BM_DxfSave(benchmark::State& state)
{
    acad::Document doc;
    BuildNetwork(doc, kEntities);
    const auto path = BenchFile();
    for (auto _ : state) acad::WriteDxf(doc, path);
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}

void BM_DxfLoad(benchmark::State& state)
{
    const auto path = BenchFile();
    {
        acad::Document doc;
        BuildNetwork(doc, kEntities);
        acad::WriteDxf(doc, path);
    }
    std::size_t read = 0;
    for (auto _ : state) {
        auto doc = std::make_unique<acad::Document>();
        acad::ReadDxf(*doc, path);
        read = static_cast<std::size_t>(doc->ModelSpace().Count());
        state.PauseTiming();  // freeing the drawing is not part of loading it
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["entities"] = static_cast<double>(read);
    std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_DxfSave)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DxfLoad)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
