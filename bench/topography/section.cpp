// A topographic section along a polyline of 2,000 vertices, each on a survey
// point, in a drawing of 2,000 survey points with the host's window shown on
// the offscreen platform: the polyline picked and read, then drawn in a
// window (frame, grid, profile pieces, labels). Target: under 2 s.

#include "../QtBenchMain.h"

#include <QApplication>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "platform/acad/Acad.h"
#include "platform/acad/ui/DrawingView.h"
#include "platform/acad/ui/DrawingWindow.h"
#include "platform/acad/ui/MainWindow.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "shell/ProgressBar.h"
#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"
#include "topography/PontoTopografico.h"
#include "topography/clsTOPSec.h"

namespace {

constexpr int kVertices = 2000;

class Hospedeiro : public forms::Form {
public:
    Hospedeiro() : Form("Hospedeiro") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
    forms::TextBox& Progressiva = Add<forms::TextBox>("Progressiva");
    forms::TextBox& Escala = Add<forms::TextBox>("Escala");
    forms::CommandButton& Seleciona = Add<forms::CommandButton>("Seleciona");
    forms::CommandButton& Desenha = Add<forms::CommandButton>("Desenha");
};

void BM_Section2000VertexPolyline(benchmark::State& state)
{
    Hospedeiro host;
    forms::ScopedTestDriver driver([](forms::Form& f) {
        if (auto* b = dynamic_cast<frmMsgBox*>(&f)) forms::user::Click(b->CmdOK);
    });
    gMainForm = &host;
    std::size_t pecas = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto script = std::make_shared<acad::ScriptedInput>();
        auto app = std::make_unique<acad::Application>();
        app->SetInputSource(script);
        app->Documents().Add("Acad");
        std::optional<acad::ActiveObjectRegistration> registro;
        registro.emplace(*app);
        gAcadProgID = "AutoCAD.Application";
        ConectaAcad();
        CamadasPontoTopografico();
        std::vector<double> xy;
        for (int k = 0; k < kVertices; ++k) {
            const double x = 10.0 * k, y = 30.0 * std::sin(k / 40.0);
            DesenhaPontoTopografico(Ponto(x, y, 0),
                                    {"S" + std::to_string(k), FormatNum(800 + 25 * std::sin(k / 150.0), 3), ""});
            xy.push_back(x);
            xy.push_back(y);
        }
        gModelSpace->AddLightWeightPolyline(xy);
        auto janela = std::make_unique<acad::ui::DrawingWindow>(*app);
        janela->Window()->resize(1600, 1000);
        janela->Show();
        app->SetInputSource(script);  // the window would ask a person
        app->ZoomExtents();
        for (int k = 0; k < 5; ++k) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        host.Progressiva.SetText("0");
        script->Point({0, 0, 0});                              // the first vertex
        script->Point({0, -1000, 0}).Point({20100, -700, 0});  // the window
        clsTOPSec secao;
        secao.ProgresTxt = &host.Progressiva;
        secao.EscalaTxt = &host.Escala;
        secao.CmdSelect = &host.Seleciona;
        secao.CmdDraw = &host.Desenha;
        secao.ProgBar = &host.Barra;
        secao.Exagero = 10;
        secao.Equidist = 1;
        state.ResumeTiming();

        secao.Selecionar();
        secao.Desenhar();

        state.PauseTiming();
        pecas = secao.Pecas().size();
        if (secao.Vertices().size() != kVertices + 1 || pecas == 0) state.SkipWithError("the section was not drawn");
        janela.reset();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        registro.reset();
        app.reset();
        gAcadApp = nullptr;
        gAcadDoc = nullptr;
        gModelSpace = nullptr;
        gAcadUtil = nullptr;
        state.ResumeTiming();
    }
    state.counters["pieces"] = static_cast<double>(pecas);
    gMainForm = nullptr;
}
BENCHMARK(BM_Section2000VertexPolyline)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
