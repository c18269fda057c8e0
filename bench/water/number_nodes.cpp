// Numbering the 5,000 node circles of a nodes drawing: every pair of circles
// (12.5 million) tested for overlap, one in 25 overlapping a neighbour and
// shrunk, then the nodes numbered from top to bottom (50 rows of equal
// height, drawn in shuffled order). Before each run the circles get back
// their first sizes.

#include "../QtBenchMain.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "platform/acad/Acad.h"
#include "platform/forms/Testing.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"
#include "water/ClsWATExp.h"
#include "water/modNodes.h"

namespace {

constexpr int kColunas = 100, kLinhas = 50;  // 5,000 nodes
constexpr double kPasso = 20.0;

class Hospedeiro : public forms::Form {
public:
    Hospedeiro() : Form("Hospedeiro") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
};

struct Desenho {
    std::shared_ptr<acad::ScriptedInput> script = std::make_shared<acad::ScriptedInput>();
    std::unique_ptr<acad::Application> app = std::make_unique<acad::Application>();
    std::optional<acad::ActiveObjectRegistration> registro;
    std::vector<std::pair<acad::BlockReference*, double>> nos;

    Desenho()
    {
        gAcadProgID = "AutoCAD.Application";
        gBlocosPath = QUORIL_BIN_DIR;
        app->SetInputSource(script);
        app->Documents().Add("Acad");
        registro.emplace(*app);
        if (!ConectaAcad() || !InsertBlockFile("ErroC")) throw std::runtime_error("no drawing or no node block");
        std::vector<int> ordem(kColunas * kLinhas);
        for (std::size_t i = 0; i < ordem.size(); ++i) ordem[i] = static_cast<int>(i);
        std::shuffle(ordem.begin(), ordem.end(), std::mt19937(17));
        for (int k : ordem) {
            const double r = k % 25 == 0 ? 12.0 : 4.0;
            const acad::Point3d p{kPasso * (k % kColunas), kPasso * (k / kColunas), 0};
            nos.emplace_back(gModelSpace->InsertBlock(p, "ErroC", r, r, r, 0), r);
        }
    }
    void Restaura()
    {
        for (auto& [b, r] : nos) {
            b->SetXScaleFactor(r);
            b->SetYScaleFactor(r);
        }
    }
};

void BM_NumeraNodes_5000Nodes(benchmark::State& state)
{
    Desenho d;
    Hospedeiro host;
    forms::Load(host);
    for (auto _ : state) {
        state.PauseTiming();
        d.Restaura();
        state.ResumeTiming();
        NumeraNodes(host.Barra);
    }
    state.counters["nodes"] = gNumNos;
    state.counters["pairs"] = static_cast<double>(gNumNos) * (gNumNos - 1) / 2;
    forms::Unload(host);
}
BENCHMARK(BM_NumeraNodes_5000Nodes)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv, [] { forms::SetTestDriver([](forms::Form&) {}); });
}
