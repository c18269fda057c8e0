// Bulk change and thematic marking over a designed sewer network of 2,000
// reaches and 2,001 manholes (4,001 blocks picked by one crossing window):
// a filtered pick, a change of pavement and stage, a tally by stage and the
// marking of every block. Target: each under 0.5 s.

#include "SewerBench.h"

#include <QApplication>

#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/Acad.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "sewer/clsSANDb.h"
#include "sewer/clsSANDes.h"
#include "sewer/clsSANEdit.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"

namespace {

constexpr int kPorLinha = 50;
constexpr double kPasso = 60.0;

// The host, its drawing and a network of `Trechos` reaches, the second half
// of it in stage 2.
struct Rede : sewerbench::Host {
    int blocos = 0;

    explicit Rede(int Trechos)
    {

        clsSANDes des;
        std::vector<acad::BlockReference*> pvs;
        for (int i = 0; i <= Trechos; ++i) {
            const int linha = i / kPorLinha, coluna = i % kPorLinha;
            const double x = (linha % 2 ? kPorLinha - 1 - coluna : coluna) * kPasso;
            const double cs = 2000 - i * 0.6;
            pvs.push_back(des.DrawPV(Ponto(x, -linha * kPasso), 0.0, "E-PV", "PV-" + std::to_string(i),
                                     FormatNum(cs + 1.5, 3), FormatNum(cs, 3), "1.500", i * 2 < Trechos ? 1 : 2,
                                     false));
        }
        std::string codigo;
        for (int i = 0; i < Trechos; ++i)
            des.DrawTR(pvs[i], pvs[i + 1], "150", "60.00", "0.010000", "PVC", i * 2 < Trechos ? 1 : 2,
                       "T-" + std::to_string(i), i % 2 ? "Asfalto" : "Terra", codigo);
        blocos = 2 * Trechos + 1;
        app->ZoomExtents();
        if (!InsertBlockFile("ErroC")) throw std::runtime_error("no ErroC");
    }

    // The user's crossing over the whole network, then Enter.
    void Escolhe() { script->Crossing({-100, 100, 0}, {kPorLinha * kPasso + 100, -1e5, 0}).Enter(); }
};

std::unique_ptr<Rede> gRede;

// The network of that size, as drawn (a change of its attributes discards it).
Rede& DaRede(int Trechos)
{
    if (!gRede || gRede->blocos != 2 * Trechos + 1) {
        gRede.reset();
        gRede = std::make_unique<Rede>(Trechos);
    }
    return *gRede;
}

// The panel's progress bar.
struct Painel {
    forms::Form form{"frmBench"};
    ProgressBar& Barra = form.Add<ProgressBar>("Progress1");
    Painel() { form.Show(forms::vbModeless); }
};

void Contadores(benchmark::State& state, const Rede& rede, long kept)
{
    state.counters["blocks"] = rede.blocos;
    state.counters["kept"] = static_cast<double>(kept);
}

void BM_CHSelectFiltrado(benchmark::State& state)
{
    Rede& rede = DaRede(static_cast<int>(state.range(0)));
    Painel painel;
    clsSANEdit ed;
    ed.cProgress = &painel.Barra;
    long n = 0;
    for (auto _ : state) {
        rede.Escolhe();
        n = ed.CHSelect("PVC", "Asfalto", "", "1");
    }
    Contadores(state, rede, n);
}
BENCHMARK(BM_CHSelectFiltrado)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_CHChange(benchmark::State& state)
{
    Rede& rede = DaRede(static_cast<int>(state.range(0)));
    Painel painel;
    clsSANEdit ed;
    ed.cProgress = &painel.Barra;
    rede.Escolhe();
    const long n = ed.CHSelect("", "", "", "");
    bool par = false;
    for (auto _ : state) {
        // Every block's stage and every reach's pavement written.
        ed.CHChange("", par ? "Concreto" : "Terra", "", par ? "2" : "1");
        par = !par;
    }
    Contadores(state, rede, n);
    gRede.reset();
}
BENCHMARK(BM_CHChange)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_TEMA_Select(benchmark::State& state)
{
    Rede& rede = DaRede(static_cast<int>(state.range(0)));
    Painel painel;
    clsSANEdit ed;
    ed.cProgress = &painel.Barra;
    for (auto _ : state) {
        rede.Escolhe();
        ed.TEMA_Select("Pavimento");
    }
    Contadores(state, rede, static_cast<long>(gTemas.size()));
}
BENCHMARK(BM_TEMA_Select)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_TEMA_Print(benchmark::State& state)
{
    Rede& rede = DaRede(static_cast<int>(state.range(0)));
    Painel painel;
    clsSANEdit ed;
    ed.cProgress = &painel.Barra;
    rede.Escolhe();
    // By stage: every manhole gets a marker, every reach a line.
    ed.TEMA_Select("Etapa");
    for (auto _ : state) {
        ed.TEMA_Print();
        state.PauseTiming();
        LimpaConferencia();
        state.ResumeTiming();
    }
    ed.TEMA_Print();
    acad::SelectionSet* marcas = RecriaConjunto("SStmp");
    marcas->Select(5, {}, {}, {8}, {gLayerConf});
    state.counters["marks"] = marcas->Count();
    LimpaConferencia();
    Contadores(state, rede, static_cast<long>(gTemas.size()));
}
BENCHMARK(BM_TEMA_Print)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) { return sewerbench::Main(argc, argv); }
