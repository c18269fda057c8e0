// The quantities of a designed sewer network of 2,001 manholes and 2,000
// reaches drawn by the sewer drawing model (two stages, one reach in ten with
// a step and one in ten with a drop pipe): the quantities read and the table
// drawn, and the quantity spreadsheet written into a copy of the shipped
// template. Targets: the table under 1 s, the spreadsheet under 3 s.

#include "SewerBench.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/acad/Acad.h"
#include "platform/ado/DataControl.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"
#include "platform/os/ShellOpen.h"
#include "sewer/clsSANDb.h"
#include "sewer/clsSANDes.h"
#include "sewer/clsSANQtt.h"
#include "sewer/modBlocosSAN.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPorLinha = 50;
constexpr double kPasso = 60.0;

struct Rede : sewerbench::Host {
    explicit Rede(int Trechos)
    {
        clsSANDes des;
        std::vector<acad::BlockReference*> pvs;
        for (int i = 0; i <= Trechos; ++i) {
            const int linha = i / kPorLinha, coluna = i % kPorLinha;
            const double x = (linha % 2 ? kPorLinha - 1 - coluna : coluna) * kPasso;
            const double cs = 2000 - i * 0.6;
            pvs.push_back(des.DrawPV(Ponto(x, -linha * kPasso), 0.0, "E-PV", "PV-" + std::to_string(i),
                                     FormatNum(cs + 1.5 + (i % 7) * 0.2, 3), FormatNum(cs, 3),
                                     FormatNum(1.5 + (i % 7) * 0.2, 3), 1 + i % 2, false));
        }
        std::string codigo;
        for (int i = 0; i < Trechos; ++i) {
            acad::BlockReference* t = des.DrawTR(pvs[i], pvs[i + 1], i % 3 ? "150" : "200", "60.00", "0.010000", "PVC",
                                                 1 + i % 2, "T-" + std::to_string(i), "Asfalto", codigo);
            if (i % 10 == 3) {
                SetAtributo("DG", "O", t);
                SetAtributo("TCP", "0.300", t);
            } else if (i % 10 == 7) {
                SetAtributo("TQ", "O", t);
                SetAtributo("DG", "O", t);
                SetAtributo("TCP", "0.900", t);
            }
        }
        for (const char* b : {"RQ-A", "RQ-E", "RQ-I", "RQ-T"}) DefineBlocoSAN(b);
    }
};

Rede& DaRede(int Trechos)
{
    static std::unique_ptr<Rede> rede;
    if (!rede) rede = std::make_unique<Rede>(Trechos);
    return *rede;
}

struct Painel {
    forms::Form form{"frmBench"};
    ProgressBar& Barra = form.Add<ProgressBar>("Progress1");
    Painel() { form.Show(forms::vbModeless); }
};

void BM_QuantidadesETabela(benchmark::State& state)
{
    DaRede(static_cast<int>(state.range(0)));
    Painel painel;
    for (auto _ : state) {
        clsSANQtt qtt;
        qtt.cProgress = &painel.Barra;
        bool cancelado = false;
        qtt.QTTMateriais(cancelado);
        qtt.QTTPrint(Ponto(0, 500, 0));
        if (cancelado) state.SkipWithError("cancelado");
    }
    state.counters["reaches"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_QuantidadesETabela)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_PlanilhaDeInsumos(benchmark::State& state)
{
    DaRede(static_cast<int>(state.range(0)));
    Painel painel;
    const fs::path pasta = fs::temp_directory_path() / ("quoril-bench-insumos-" + std::to_string(::getpid()));
    fs::create_directories(pasta);
    const std::string destino = (pasta / "insumos.xls").string();
    os::ScopedDialogDriver dialogos([&](const os::DialogRequest& r) {
        if (r.kind == os::DialogKind::Save) return os::DialogAnswer::Path(destino);
        return os::DialogAnswer::Cancel();
    });
    os::SetLaunchHook([](const os::LaunchRequest&) { return true; });
    ado::DataControl dc;
    dc.SetConnect("Excel 8.0;");
    std::size_t linhas = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(destino);
        state.ResumeTiming();
        clsSANQtt qtt;
        qtt.cProgress = &painel.Barra;
        qtt.cDataControl = &dc;
        qtt.gOrcaXLS = std::string(QUORIL_BIN_DIR) + "/DadosOrca.xls";
        qtt.Insumos();
        linhas = qtt.Linhas().size();
    }
    state.counters["rows"] = static_cast<double>(linhas);
    fs::remove_all(pasta);
}
BENCHMARK(BM_PlanilhaDeInsumos)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return sewerbench::Main(argc, argv); }
