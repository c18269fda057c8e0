// The survey-point clean-up on drawings of real size, with the host's window
// shown on the offscreen platform, every dialog answered at once:
// - duplicates removed from 50,000 survey points on an 8-unit grid, 5,000 of
//   them exact copies of others (target: under 3 s);
// - the purge of the 45,000 applications left by erased survey points, with
//   5,000 points still using theirs (target: under 2 s).

#include "../QtBenchMain.h"

#include <QApplication>

#include <memory>
#include <optional>
#include <string>

#include "cad/modAcad.h"
#include "platform/acad/Acad.h"
#include "platform/acad/ui/DrawingView.h"
#include "platform/acad/ui/DrawingWindow.h"
#include "platform/acad/ui/MainWindow.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "shell/ProgressBar.h"
#include "shell/frmMsgBox.h"
#include "shell/frmTips.h"
#include "shell/modGlobais.h"
#include "topography/PontoTopografico.h"
#include "topography/modFerramentasPontos.h"

namespace {

constexpr int kPontos = 50000;
constexpr int kDuplicados = 5000;
constexpr int kApagados = 45000;
constexpr int kLado = 250;

class Hospedeiro : public forms::Form {
public:
    Hospedeiro() : Form("Hospedeiro") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
};

// A connected drawing in a shown window; the user's answers scripted.
struct Desenho {
    std::shared_ptr<acad::ScriptedInput> script = std::make_shared<acad::ScriptedInput>();
    std::unique_ptr<acad::Application> app = std::make_unique<acad::Application>();
    std::optional<acad::ActiveObjectRegistration> registro;
    std::unique_ptr<acad::ui::DrawingWindow> janela;

    Desenho()
    {
        gAcadProgID = "AutoCAD.Application";
        app->SetInputSource(script);
        app->Documents().Add("Acad");
        registro.emplace(*app);
        ConectaAcad();
        CamadasPontoTopografico();
    }
    void Mostra()
    {
        janela = std::make_unique<acad::ui::DrawingWindow>(*app);
        janela->Window()->resize(1600, 1000);
        janela->Show();
        app->SetInputSource(script);  // the window would ask a person
        app->ZoomExtents();
        for (int k = 0; k < 5; ++k) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    std::size_t Redesenhos() const { return janela->Window()->View()->Renders(); }
    ~Desenho()
    {
        janela.reset();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        registro.reset();
        app.reset();
        gAcadApp = nullptr;
        gAcadDoc = nullptr;
        gModelSpace = nullptr;
        gAcadUtil = nullptr;
    }
};

Ponto NoGrid(int i) { return Ponto(1000.0 + (i % kLado) * 8.0, 2000.0 + (i / kLado) * 8.0, 0); }

forms::TestDriver Responde()
{
    return [](forms::Form& f) {
        if (auto* b = dynamic_cast<frmMsgBox*>(&f))
            forms::user::Click(b->CmdOK);
        else if (auto* t = dynamic_cast<frmTips*>(&f))
            forms::user::Click(t->cmdOK);
    };
}

void BM_RemoverPontosDuplicados50000Points5000Duplicates(benchmark::State& state)
{
    Hospedeiro host;
    forms::ScopedTestDriver driver(Responde());
    gMainForm = &host;
    long long removidos = 0;
    std::size_t redesenhos = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            Desenho d;
            for (int i = 0; i < kPontos - kDuplicados; ++i)
                DesenhaPontoTopografico(NoGrid(i), {"P" + std::to_string(i), "812.35", i % 3 ? "" : "BORDO"});
            for (int i = 0; i < kDuplicados; ++i) {
                const int k = i * 9;  // spread over the survey
                DesenhaPontoTopografico(NoGrid(k), {"P" + std::to_string(k), "812.35", k % 3 ? "" : "BORDO"});
            }
            d.Mostra();
            d.script->Crossing({0, 0, 0}, {4000, 4000, 0}).Enter();
            const std::size_t antes = d.Redesenhos();
            state.ResumeTiming();

            removidos = RemoverPontosDuplicados(host.Barra);

            state.PauseTiming();
            redesenhos = d.Redesenhos() - antes;
        }
        state.ResumeTiming();
    }
    if (removidos != kDuplicados) state.SkipWithError("not every duplicate was removed");
    state.counters["removed"] = static_cast<double>(removidos);
    state.counters["window_redraws"] = static_cast<double>(redesenhos);
    gMainForm = nullptr;
}
BENCHMARK(BM_RemoverPontosDuplicados50000Points5000Duplicates)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void BM_PurgeXData45000Applications(benchmark::State& state)
{
    Hospedeiro host;
    forms::ScopedTestDriver driver(Responde());
    gMainForm = &host;
    long long eliminados = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            Desenho d;
            for (int i = 0; i < kApagados + kDuplicados; ++i) {
                const PontoDesenhado p = DesenhaPontoTopografico(NoGrid(i), {"P" + std::to_string(i), "812.35", ""});
                // Erased with its texts, as a person does: the application stays.
                if (i < kApagados)
                    for (acad::Entity* e :
                         {static_cast<acad::Entity*>(p.Ponto), static_cast<acad::Entity*>(p.Nome),
                          static_cast<acad::Entity*>(p.Cota), static_cast<acad::Entity*>(p.Descricao)})
                        e->Delete();
            }
            d.Mostra();
            state.ResumeTiming();

            eliminados = PurgeXData(host.Barra);

            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    if (eliminados != kApagados) state.SkipWithError("not every unused application was purged");
    state.counters["removed"] = static_cast<double>(eliminados);
    gMainForm = nullptr;
}
BENCHMARK(BM_PurgeXData45000Applications)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
