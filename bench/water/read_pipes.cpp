// Reading the pipes of a water network for the export: 2,000 DN 100 pipes of
// 50 m in one line through 2,001 fittings (a cap at each end; couplings,
// every fifth a tee, between them), each pipe a polyline with its "A-TUBO"
// label, with the shipped catalogue the build puts in the program folder.
// Every pipe end is walked through its fittings by their socket geometry.

#include "../QtBenchMain.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "platform/acad/Acad.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Testing.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"
#include "water/ClsWATExp.h"
#include "water/WATDes.h"
#include "water/clsWATDb.h"

namespace {

constexpr int kTubos = 2000;
constexpr double kPasso = 50.0;

class Hospedeiro : public forms::Form {
public:
    Hospedeiro() : Form("Hospedeiro") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
};

struct Desenho {
    std::shared_ptr<acad::ScriptedInput> script = std::make_shared<acad::ScriptedInput>();
    std::unique_ptr<acad::Application> app = std::make_unique<acad::Application>();
    std::optional<acad::ActiveObjectRegistration> registro;

    acad::BlockReference* Conexao(const std::string& Bloco, const std::string& Codigo, double x, double Rotacao)
    {
        acad::BlockReference* b = gModelSpace->InsertBlock({x, 0, 0}, Bloco, 0.5, 0.5, 0.5, Rotacao);
        SetAtributo("CODIGO", Codigo, b);
        SetAtributo("MATERIAL", "Ferro Fundido", b);
        SetAtributo("ETAPA", "0", b);
        return b;
    }

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
        for (const char* b : {"A-CAP", "A-LUVA", "A-TE", "A-TUBO"}) CriaBlocoConexao(b, false);
        GetLayer("T_100", 3, "");
        GetLayer("TRECHO", 170, "");

        // Socket distances at scale 0.5: cap 1.5, coupling 1, tee 2.
        std::vector<double> bolsa(kTubos + 1);
        for (int k = 0; k <= kTubos; ++k) {
            const double x = kPasso * k;
            if (k == 0) {
                Conexao("A-CAP", "CAPFFDN100", x, 3.141592653589793);
                bolsa[k] = 1.5;
            } else if (k == kTubos) {
                Conexao("A-CAP", "CAPFFDN100", x, 0);
                bolsa[k] = 1.5;
            } else if (k % 5 == 0) {
                Conexao("A-TE", "TEFFDN100x100", x, 0);
                bolsa[k] = 2;
            } else {
                Conexao("A-LUVA", "LUFFDN100", x, 0);
                bolsa[k] = 1;
            }
        }
        for (int k = 0; k < kTubos; ++k) {
            const double x0 = kPasso * k + bolsa[k], x1 = kPasso * (k + 1) - bolsa[k + 1];
            gModelSpace->AddLightWeightPolyline({x0, 0, x1, 0})->SetLayer("T_100");
            const double meio = (x0 + x1) / 2;
            acad::BlockReference* r = gModelSpace->InsertBlock({meio, 0, 0}, "A-TUBO", 1, 1, 1, 0);
            r->SetLayer("TRECHO");
            for (acad::AttributeReference* a : r->GetAttributes()) {
                const std::string tag = a->TagString();
                if (tag == "CODIGO")
                    a->SetTextString("FFK7DN100-50m");
                else if (tag == "MATERIAL")
                    a->SetTextString("Tubo FoFo K7 JGS");
                else if (tag == "ETAPA")
                    a->SetTextString("0");
                else if (tag == "CONTRIB")
                    a->SetTextString("NAO");
                else
                    continue;
                // The search for the polyline starts at the material's anchor.
                if (tag == "MATERIAL") {
                    a->SetAlignment(13);
                    a->SetTextAlignmentPoint({meio, 0, 0});
                }
                a->Update();
            }
        }
        app->ZoomCenter({kPasso * kTubos / 2, 0, 0}, 500);
    }
};

void BM_LerTrechos_2000Pipes_2001Fittings(benchmark::State& state)
{
    Desenho d;
    Hospedeiro host;
    forms::Load(host);
    ClsWATExp exp;
    exp.cProgress = &host.Barra;
    bool ok = false;
    for (auto _ : state) ok = exp.LerTrechos(1000.0, true);
    if (!ok || gNumTubosExp != kTubos) state.SkipWithError("the network was not read whole");
    state.counters["pipes"] = gNumTubosExp;
    state.counters["faults"] = exp.Falhas();
    forms::Unload(host);
}
BENCHMARK(BM_LerTrechos_2000Pipes_2001Fittings)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv, [] { forms::SetTestDriver([](forms::Form&) {}); });
}
