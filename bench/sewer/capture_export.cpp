// The generic network handed to the design program, as the panel's "Salvar
// DXF" does it: the verification layer erased, the network captured, its
// collectors walked and numbered, and the DXF file written. A network of n
// reaches and n + 1 manholes: a trunk of n / 2 reaches, one collector, with
// ten branches of n / 20 reaches joining it; at 2,000 and 20,000 reaches.
// Targets: under 1 s at 2,000; 20,000 within 12 times that.

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
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"
#include "sewer/clsSANDb.h"
#include "sewer/clsSANDes.h"
#include "sewer/clsSANExp.h"
#include "sewer/modRedeSAN.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"

namespace {

constexpr double kPasso = 60.0;
constexpr int kRamais = 10;  // branches, of a tenth of the trunk each

struct Rede : sewerbench::Host {
    int pvs = 0, trechos = 0;

    explicit Rede(int Trechos)
    {
        const int principal = Trechos / 2, ramal = principal / kRamais;
        clsSANDes des;
        const auto pv = [&](double x, double y, double ct, const std::string& nome) {
            ++pvs;
            return des.InsertPVGen(Ponto(x, y), nome, FormatNum(ct, 3), 1);
        };
        const auto tr = [&](acad::BlockReference* a, acad::BlockReference* b) {
            ++trechos;
            des.InsertTRGenObjs(a, b, 1, "SIM", "Asfalto", "PVC");
        };
        std::vector<acad::BlockReference*> tronco;
        for (int i = 0; i <= principal; ++i)
            tronco.push_back(pv(i * kPasso, 0, 2000 - i * 0.5, "T" + std::to_string(i)));
        for (int i = 0; i < principal; ++i) tr(tronco[i], tronco[i + 1]);
        SetAtributo("COLETOR", "1", tronco[0]);
        for (int r = 0; r < kRamais; ++r) {
            const int junta = ramal * r + ramal / 2;
            const double x = junta * kPasso;
            acad::BlockReference* anterior = nullptr;
            for (int k = ramal; k >= 1; --k) {
                acad::BlockReference* p =
                    pv(x, k * kPasso, 2100 + k, "R" + std::to_string(r) + "-" + std::to_string(k));
                if (anterior)
                    tr(anterior, p);
                else
                    SetAtributo("COLETOR", std::to_string(r + 2), p);
                anterior = p;
            }
            tr(anterior, tronco[static_cast<std::size_t>(junta)]);
        }
    }
};

struct Painel {
    forms::Form form{"frmBench"};
    ProgressBar& Barra = form.Add<ProgressBar>("Progress1");
    Painel() { form.Show(forms::vbModeless); }
};

void BM_SewerExportLongCollector(benchmark::State& state)
{
    Rede rede(static_cast<int>(state.range(0)));
    Painel painel;
    clsSANExp exp;  // the panel's, kept across exports
    exp.cProgress = &painel.Barra;
    const std::string arquivo = (std::filesystem::temp_directory_path() / "quoril_bench_rede.dxf").string();
    os::ScopedDialogDriver dialogo([&](const os::DialogRequest&) { return os::DialogAnswer::Path(arquivo); });
    int coletores = 0;
    for (auto _ : state) {
        LimpaConferencia();
        bool numerados = false;
        int menor = 0;
        coletores = exp.CaptureRedeGen(numerados, menor, gListPLs);
        if (!numerados) state.SkipWithError("numbering not complete");
        exp.CaptureAuto(1, false, false, 1, "");
        exp.SaveDXF();
    }
    state.counters["collectors"] = coletores;
    state.counters["manholes"] = gNumPVs;
    state.counters["reaches"] = gNumTRs;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(arquivo));
    std::filesystem::remove(arquivo);
}
BENCHMARK(BM_SewerExportLongCollector)
    ->Arg(2000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return sewerbench::Main(argc, argv); }
