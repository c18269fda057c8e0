// The design-table import and the recovery from reach lines at their real
// size: a design table of 2,000 and of 20,000 reaches (as many manholes plus
// one, in a serpentine) drawn into a new drawing through "Desenhar", and a
// drawing of 2,000 reach lines with their extended data turned into a generic
// network. Targets: each under 2 s at 2,000; the drawing of 20,000 reaches
// within 12 times that of 2,000.

#include "SewerBench.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "platform/acad/Acad.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"
#include "sewer/clsSANDb.h"
#include "sewer/clsSANImp.h"
#include "sewer/modRedeSAN.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPorLinha = 50;
constexpr double kPasso = 60.0;

const std::vector<sewerbench::CampoDbf> kCampos = {
    {"CLTAT", 'C', 10, 0}, {"PVM", 'C', 10, 0},  {"CXM", 'N', 14, 3},   {"CYM", 'N', 14, 3},   {"CTM", 'N', 10, 3},
    {"CCM", 'N', 10, 3},   {"PRFM", 'N', 8, 3},  {"PVJ", 'C', 10, 0},   {"CXJ", 'N', 14, 3},   {"CYJ", 'N', 14, 3},
    {"CTJ", 'N', 10, 3},   {"CCJ", 'N', 10, 3},  {"PRFJ", 'N', 8, 3},   {"ETAPA", 'N', 2, 0},  {"DIAM", 'N', 6, 3},
    {"COMP", 'N', 8, 3},   {"DECL", 'N', 10, 3}, {"PAVIM", 'C', 20, 0}, {"MATER", 'C', 20, 0}, {"CONTRIB", 'C', 5, 0},
};

std::string Num(double v, int d)
{
    char b[64];
    std::snprintf(b, sizeof b, "%.*f", d, v);
    return b;
}

Ponto Lugar(int i)
{
    const int linha = i / kPorLinha, coluna = i % kPorLinha;
    return Ponto((linha % 2 ? kPorLinha - 1 - coluna : coluna) * kPasso, -linha * kPasso);
}

// A dBase III design table of `Trechos` reaches, PV i → PV i + 1.
void EscreveTabela(const fs::path& Arquivo, int Trechos)
{
    sewerbench::EscreveDbf(Arquivo, kCampos, Trechos, [](int i) -> std::vector<std::string> {
        const Ponto m = Lugar(i), j = Lugar(i + 1);
        const double cs = 2000 - i * 0.6;
        return {std::to_string(i + 1),
                std::to_string(i),
                Num(m.X, 3),
                Num(m.Y, 3),
                Num(cs + 1.5, 3),
                Num(cs, 3),
                "1.500",
                std::to_string(i + 1),
                Num(j.X, 3),
                Num(j.Y, 3),
                Num(cs + 0.9, 3),
                Num(cs - 0.6, 3),
                "1.500",
                "1",
                "0.150",
                "60.000",
                "0.010",
                i % 2 ? "Asfalto" : "Terra",
                "PVC",
                "SIM"};
    });
}

struct Host : sewerbench::Host {
    fs::path pasta = fs::temp_directory_path() / ("quoril-bench-import-" + std::to_string(::getpid()));
    forms::Form form{"frmBench"};
    ProgressBar& Barra = form.Add<ProgressBar>("Progress1");

    Host()
    {
        fs::create_directories(pasta);
        form.Show(forms::vbModeless);
    }
    ~Host() { fs::remove_all(pasta); }
};

// The table is chosen; every save is declined.
os::DialogAnswer Responde(const os::DialogRequest& r, const std::string& Tabela)
{
    if (r.kind == os::DialogKind::Open) return os::DialogAnswer::Path(Tabela);
    return os::DialogAnswer::Cancel();
}

void BM_DesignTableDraw(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Host h;
    const std::string tabela = (h.pasta / "rede.dbf").string();
    EscreveTabela(tabela, n);
    os::ScopedDialogDriver dialogos([&](const os::DialogRequest& r) { return Responde(r, tabela); });
    clsSANImp imp;
    imp.cProgress = &h.Barra;
    imp.OpenTable();
    if (imp.IMPFilename.empty()) throw std::runtime_error("table not opened");
    for (auto _ : state) {
        imp.DrawCmd();
        state.PauseTiming();
        // Each run draws into a drawing of its own: close it.
        h.app->Documents().Close(*gAcadDoc);
        state.ResumeTiming();
    }
    state.counters["manholes"] = gNumPVs;
    state.counters["reaches"] = gNumTRs;
}
BENCHMARK(BM_DesignTableDraw)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_CaptureOld(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Host h;
    os::ScopedDialogDriver dialogos([&](const os::DialogRequest& r) { return Responde(r, ""); });
    clsSANImp imp;
    imp.cProgress = &h.Barra;
    std::size_t pvs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        h.app->Documents().Add("Acad");
        ConectaAcad();
        GetLayer("REDE", 0, "");
        for (int i = 0; i < n; ++i) {
            const Ponto a = Lugar(i), b = Lugar(i + 1);
            acad::Line* l =
                gModelSpace->AddLine(Ponto(a.X, a.Y, 2000 - i * 0.6), Ponto(b.X, b.Y, 2000 - (i + 1) * 0.6));
            l->SetLayer("REDE");
            l->SetXData({1001, 1000, 1000, 1000, 1000},
                        {std::string("NUMEROTRE"), std::to_string(i + 1), std::to_string(i),
                         std::string(i % 2 ? "Asfalto" : "Terra"), std::string("SIM")});
        }
        state.ResumeTiming();
        imp.CaptureOld();
        state.PauseTiming();
        pvs = 0;
        for (acad::Entity* e : gAcadDoc->ModelSpace())
            if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == "E-PVGEN") ++pvs;
        h.app->Documents().Close(*gAcadDoc);
        state.ResumeTiming();
    }
    state.counters["manholes"] = static_cast<double>(pvs);
}
BENCHMARK(BM_CaptureOld)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return sewerbench::Main(argc, argv); }
