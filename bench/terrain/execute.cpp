// The terrain model of a topography drawing with 50,000 survey points at UTM
// coordinates, about 6 m apart (POINTs with their name, elevation text and
// description as extended data, and their three texts): the whole Execute with the panel's progress
// bar, then 10,000 elevation lookups spread over the surveyed area.

#include "../QtBenchMain.h"

#include <cmath>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>

#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "platform/acad/Acad.h"
#include "platform/acad/CurveEntities.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"
#include "terrain/clsDelaunay.h"
#include "terrain/modTerreno.h"

namespace {

constexpr int kLado = 224;  // 224 × 224 = 50,176 points, 6 m apart

class Hospedeiro : public forms::Form {
public:
    Hospedeiro() : Form("Hospedeiro") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
};

struct Desenho {
    std::shared_ptr<acad::ScriptedInput> script = std::make_shared<acad::ScriptedInput>();
    std::unique_ptr<acad::Application> app = std::make_unique<acad::Application>();
    std::optional<acad::ActiveObjectRegistration> registro;
    Hospedeiro form;

    Desenho()
    {
        gAcadProgID = "AutoCAD.Application";
        app->SetInputSource(script);
        app->Documents().Add("Acad");
        registro.emplace(*app);
        if (!ConectaAcad()) throw std::runtime_error("no drawing");
        std::mt19937 g(2026);
        std::uniform_real_distribution<double> mexe(-1.4, 1.4);
        int k = 0;
        for (int i = 0; i < kLado; ++i)
            for (int j = 0; j < kLado; ++j) {
                const double x = std::round((734000 + 6.0 * i + mexe(g)) * 100) / 100;
                const double y = std::round((7456000 + 6.0 * j + mexe(g)) * 100) / 100;
                const std::string nome = "P" + std::to_string(++k), cota = FormatNum(700 + 0.01 * i + 0.02 * j, 3);
                acad::Point* p = gModelSpace->AddPoint({x, y, 0});
                p->SetXData({1001, 1000, 1000}, {nome, cota, "TN"});
                // The three texts of every survey point: the selection passes them over.
                gModelSpace->AddText(nome, {x, y + 5, 0}, 1.5);
                gModelSpace->AddText(cota, {x, y + 3, 0}, 1.5);
                gModelSpace->AddText("TN", {x, y + 1, 0}, 1.5);
            }
        form.Barra.Move(0, 0, 4000, 255);
    }
};

Desenho* gDesenho = nullptr;

void BM_Execute(benchmark::State& state)
{
    clsDelaunay d;
    d.cProgress = &gDesenho->form.Barra;
    for (auto _ : state) d.Execute();
    state.counters["pontos"] = gNumVertices;
    state.counters["triangulos"] = gNumTriangulos;
}
BENCHMARK(BM_Execute)->Name("BM_Execute/50176")->Unit(benchmark::kMillisecond);

void BM_CotaNoPonto(benchmark::State& state)
{
    if (gNumTriangulos == 0) clsDelaunay().Execute();
    std::mt19937 g(7);
    std::uniform_real_distribution<double> u(0, 6.0 * (kLado - 1));
    std::vector<Ponto> pts;
    for (int i = 0; i < 10000; ++i) pts.emplace_back(734000 + u(g), 7456000 + u(g));
    CotaNoPonto(pts[0]);  // the lookup grid, built once per model
    int fora = 0;
    for (auto _ : state) {
        fora = 0;
        for (const Ponto& p : pts) {
            bool no;
            benchmark::DoNotOptimize(CotaNoPonto(p, no));
            fora += !no;
        }
    }
    state.counters["fora"] = fora;
}
BENCHMARK(BM_CotaNoPonto)->Name("BM_CotaNoPonto/10000")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    std::unique_ptr<Desenho> d;
    return RunQtBenchmarks(argc, argv, [&] {
        d = std::make_unique<Desenho>();
        gDesenho = d.get();
    });
}
