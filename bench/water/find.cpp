// Finding a code among 10,000 water blocks of one drawing: 7,000 fittings
// with their five code attributes and 3,000 pipe labels, all windowed, with
// the shipped catalogue the build puts in the program folder. Every modal
// form is closed at once, so the walk ends at its first question: what is
// measured is the selection and the scan of the code attributes.

#include "../QtBenchMain.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "platform/acad/Acad.h"
#include "platform/acad/SelectionSet.h"
#include "platform/acad/SelectionSets.h"
#include "platform/forms/Testing.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"
#include "water/WATDes.h"
#include "water/clsWATDb.h"
#include "water/clsWATDes.h"

namespace {

constexpr int kLado = 100;       // 100 x 100 blocks
constexpr int kConexoes = 7000;  // the first ones are fittings, the rest pipe labels
constexpr double kPasso = 10.0;

class Hospedeiro : public forms::Form {
public:
    Hospedeiro() : Form("Hospedeiro") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
};

struct Desenho {
    std::shared_ptr<acad::ScriptedInput> script = std::make_shared<acad::ScriptedInput>();
    std::unique_ptr<acad::Application> app = std::make_unique<acad::Application>();
    std::optional<acad::ActiveObjectRegistration> registro;

    Desenho()
    {
        gAcadProgID = "AutoCAD.Application";
        gLayerConf = "0-Conferencia";
        gBlocosPath = gImagensPath = QUORIL_BIN_DIR;
        gMdbPath = std::string(QUORIL_BIN_DIR) + "/rereva2000r.mdb";
        app->SetInputSource(script);
        app->SetSupportFolders({QUORIL_BIN_DIR});
        app->Documents().Add("Acad");
        registro.emplace(*app);
        if (!clsWATDb().LoadDb() || !ConectaAcad()) throw std::runtime_error("no catalogue or no drawing");
        MontaTiposTubo();
        CriaBlocoConexao("A-TE", false);
        CriaBlocoConexao("A-TUBO", false);
        for (int i = 0; i < kLado * kLado; ++i) {
            const acad::Point3d p{kPasso * (i % kLado), kPasso * (i / kLado), 0};
            const std::string n = std::to_string(i);
            if (i < kConexoes) {
                acad::BlockReference* b = gModelSpace->InsertBlock(p, "A-TE", 0.5, 0.5, 0.5, 0);
                SetAtributo("CODIGO", "TEFFDN" + std::to_string(50 * (1 + i % 12)) + "x50", b);
                SetAtributo("CODIG1", "X" + n, b);
                SetAtributo("CODIG2", i % 7 == 0 ? "ANEL" + n : "", b);
            } else {
                acad::BlockReference* b = gModelSpace->InsertBlock(p, "A-TUBO", 1, 1, 1, 0);
                SetAtributo("CODIGO", "FFK7DN" + std::to_string(50 * (1 + i % 12)) + "-" + n + "m", b);
            }
        }
        Mostra();
    }
    // The whole grid in view, as the user has it before windowing it (the
    // walk leaves the view on a hit).
    void Mostra()
    {
        const double meio = kPasso * kLado / 2;
        app->ZoomCenter({meio, meio, 0}, kPasso * kLado * 1.2);
    }
};

void BM_Find_10000Blocks(benchmark::State& state)
{
    Desenho d;
    Hospedeiro host;
    forms::Load(host);
    clsWATDes des;
    const double fim = kPasso * kLado + kPasso;
    for (auto _ : state) {
        d.Mostra();
        d.script->Window({-kPasso, -kPasso, 0}, {fim, fim, 0}).Enter();
        bool emConexoes = true;
        des.Find("DN600", true, emConexoes, 0, host.Barra);
    }
    state.counters["selected"] = gAcadDoc->SelectionSets().Item("SS1")->Count();
    state.counters["bar_max_reached"] = static_cast<double>(host.Barra.CurValue());
    forms::Unload(host);
}
BENCHMARK(BM_Find_10000Blocks)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv, [] { forms::SetTestDriver([](forms::Form&) {}); });
}
