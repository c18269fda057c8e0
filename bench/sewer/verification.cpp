// Verification of a designed sewer network drawn by the sewer drawing model,
// every option chosen, at 2,000 and 20,000 reaches (one manhole more than
// reaches). A clean network, and the same with one reach in twenty off in its
// slope, whose faults are marked, raised and listed. Target: the run with
// faults at 20,000 under 1.5 s, and the time growing linearly with the size.

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
#include "platform/acad/Acad.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "sewer/clsSANDb.h"
#include "sewer/clsSANDes.h"
#include "sewer/clsSANVerif.h"
#include "sewer/modConfSAN.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"

namespace {

constexpr int kPorLinha = 50;
constexpr double kPasso = 60.0;

const char* const kOpcoes[] = {"VERIFICAR PVs",     "PV: Nomes duplicados", "PV: Profundidades", "PV: Etapas",
                               "VERIFICAR TRECHOS", "TR: Nomes duplicados", "TR: Declividades",  "TR: Materiais",
                               "TR: Comprimentos",  "TR: Pavimentos",       "TR: Etapas"};

// The host, its drawing and a network of `Trechos` reaches.
struct Rede : sewerbench::Host {
    std::vector<acad::BlockReference*> trechos;

    explicit Rede(int Trechos)
    {

        // A snake of rows of 50 manholes, 60 apart, every reach 60 long at
        // 0.01: each invert 0.6 below the one before.
        clsSANDes des;
        std::vector<acad::BlockReference*> pvs;
        for (int i = 0; i <= Trechos; ++i) {
            const int linha = i / kPorLinha, coluna = i % kPorLinha;
            const double x = (linha % 2 ? kPorLinha - 1 - coluna : coluna) * kPasso;
            const double cs = 2000 - i * 0.6;
            pvs.push_back(des.DrawPV(Ponto(x, -linha * kPasso), 0.0, "E-PV", "PV-" + std::to_string(i),
                                     FormatNum(cs + 1.5, 3), FormatNum(cs, 3), "1.500", 1, false));
        }
        std::string codigo;
        for (int i = 0; i < Trechos; ++i)
            trechos.push_back(des.DrawTR(pvs[i], pvs[i + 1], "150", "60.00", "0.010000", "PVC", 1,
                                         "T-" + std::to_string(i), "Asfalto", codigo));
    }
};

// One network at a time: the one of the size asked for, made when first asked.
Rede& DaRede(int Trechos)
{
    static std::unique_ptr<Rede> rede;
    if (!rede || static_cast<int>(rede->trechos.size()) != Trechos) {
        rede.reset();
        rede = std::make_unique<Rede>(Trechos);
    }
    return *rede;
}

// The panel's lists and progress bar.
struct Painel {
    forms::Form form{"frmBench"};
    forms::ListBox& Opcoes = form.Add<forms::ListBox>("SANERROptlst");
    forms::ListBox& Falhas = form.Add<forms::ListBox>("SANERRlst");
    ProgressBar& Barra = form.Add<ProgressBar>("Progress1");
    Painel()
    {
        Opcoes.SetMultiSelect(forms::vbMultiSelectSimple);
        form.Show(forms::vbModeless);
    }
};

// One run as the panel makes it: prepare, every option chosen, execute.
int Verifica(Painel& P)
{
    LimpaConferencia();
    P.Falhas.Clear();
    LimpaErrCount();
    clsSANVerif verif;
    verif.SetcListBox1(&P.Opcoes);
    verif.SetcListBox2(&P.Falhas);
    verif.cProgress = &P.Barra;
    verif.ConfereErroMsg +=
        [&P](int Tipo, std::int32_t Id, std::int32_t PVm, std::int32_t PVj, const std::string& Mensagem, Ponto Pt1,
             std::optional<Ponto> Pt2) { RegistraErro(P.Falhas, Tipo, Id, PVm, PVj, Mensagem, Pt1, Pt2); };
    verif.Prepare();
    verif.SetcListBox1(nullptr);  // the options are put in place, not clicked open
    P.Opcoes.Clear();
    for (const char* o : kOpcoes) P.Opcoes.AddItem(o);
    for (int i = 0; i < P.Opcoes.ListCount(); ++i) P.Opcoes.SetSelected(i, true);
    verif.SetcListBox1(&P.Opcoes);
    verif.Execute();
    return P.Falhas.ListCount();
}

void BM_VerificaRedeLimpa(benchmark::State& state)
{
    Rede& rede = DaRede(static_cast<int>(state.range(0)));
    Painel painel;
    int falhas = 0;
    for (auto _ : state) falhas = Verifica(painel);
    state.counters["faults"] = falhas;
    state.counters["reaches"] = static_cast<double>(rede.trechos.size());
}
BENCHMARK(BM_VerificaRedeLimpa)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_VerificaRedeComFalhas(benchmark::State& state)
{
    Rede& rede = DaRede(static_cast<int>(state.range(0)));
    for (std::size_t i = 0; i < rede.trechos.size(); i += 20) SetAtributo("DEC", "0.020000", rede.trechos[i]);
    Painel painel;
    int falhas = 0;
    for (auto _ : state) falhas = Verifica(painel);
    for (std::size_t i = 0; i < rede.trechos.size(); i += 20) SetAtributo("DEC", "0.010000", rede.trechos[i]);
    state.counters["faults"] = falhas;
    state.counters["reaches"] = static_cast<double>(rede.trechos.size());
}
BENCHMARK(BM_VerificaRedeComFalhas)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return sewerbench::Main(argc, argv); }
