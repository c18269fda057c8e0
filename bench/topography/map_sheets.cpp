// Map sheets with the host's window shown on the offscreen platform, as a
// person sees them while the commands run:
// - a grid of sheets at 1:500 (393 x 249.5) over the extents of a 10 km
//   square drawing of 200,000 entities: 1,000 cells, one crossing window
//   each. Target: under 2 s;
// - numbering 2,000 sheets inserted in no order. Target: under 1 s;
// - the UTM grid every 100 over 1,000 sheets of 786 x 499 (13 lines and
//   labels each). Target: under 2 s.
// The sheet dialogs are answered by a driver as a person would.

#include "../QtBenchMain.h"

#include <QApplication>

#include <memory>
#include <optional>
#include <string>

#include "cad/modAcad.h"
#include "platform/acad/Acad.h"
#include "platform/acad/ui/DrawingWindow.h"
#include "platform/acad/ui/MainWindow.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"
#include "topography/TOPDes.h"
#include "topography/clsTOPMar.h"
#include "topography/frmMARExe.h"
#include "topography/frmMARQua.h"

namespace {

class Hospedeiro : public forms::Form {
public:
    Hospedeiro() : Form("Hospedeiro") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
};

// The catalogue rows of the two blocks these commands build.
void Catalogo()
{
    gBlocosTopo = {
        {"QUADRICULA2",
         {{"Attribute", "0.012", "0.004,-0.004", "01,NUMERO,NUM_QUADRICULA,0,6,3,ROMANS"},
          {"Line", "0,-1", "1,-1", ""},
          {"Line", "1,-1", "1,0", ""},
          {"Line", "1,0", "0,0", ""},
          {"Line", "0,0", "0,-1", ""}}},
        {"TOP_UTM", {{"Attribute", "2", "0,0.5", "01,UTM,UTM,0,2,9,ROMANS"}}},
    };
}

// A host with one drawing filled by `Desenha`, registered and shown, the
// CAD link attached to it.
class Sessao {
public:
    template <class F>
    // NOLINTNEXTLINE(bugprone-forwarding-reference-overload): a session is never copied or moved.
    explicit Sessao(F&& Desenha)
    {
        app = std::make_unique<acad::Application>();
        doc = app->Documents().Add("Acad");
        Desenha(*doc);
        registro.emplace(*app);
        gAcadProgID = "AutoCAD.Application";
        janela = std::make_unique<acad::ui::DrawingWindow>(*app);
        janela->Window()->resize(1600, 1000);
        janela->Show();
        app->ZoomExtents();
        for (int k = 0; k < 5; ++k) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ConectaAcad();
        DefineBloco("QUADRICULA2", false);
    }
    ~Sessao()
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
    int Conta(const std::string& Bloco)
    {
        acad::SelectionSet* ss = doc->SelectionSets().Add("BENCH");
        ss->Select(acad::acSelectionSetAll, {}, {}, {2}, {Bloco});
        const int n = ss->Count();
        ss->Delete();
        return n;
    }

    std::unique_ptr<acad::Application> app;
    acad::Document* doc = nullptr;
    std::optional<acad::ActiveObjectRegistration> registro;
    std::unique_ptr<acad::ui::DrawingWindow> janela;
};

// Sheets of W x H on a grid of `Colunas` columns, inserted in a scrambled
// order (a stride coprime with the count).
void Folhas(acad::Document& doc, int N, int Colunas, double W, double H)
{
    gAcadDoc = &doc;
    gModelSpace = &doc.ModelSpace();
    Catalogo();
    DefineBloco("QUADRICULA2", false);
    doc.Layers().Add("NUM_QUADRICULA");
    for (int i = 0; i < N; ++i) {
        const int k = static_cast<int>((static_cast<long long>(i) * 7919) % N);
        const double x = 650000 + (k % Colunas) * W, y = 7000000 - (k / Colunas) * H;
        acad::BlockReference* b = doc.ModelSpace().InsertBlock({x, y, 0}, "QUADRICULA2", W, H, W, 0);
        b->SetLayer("NUM_QUADRICULA");
    }
}

void BM_InsertQuadGrid1to500Over10kmSquare200000Entities(benchmark::State& state)
{
    Hospedeiro host;
    forms::ScopedTestDriver driver([](forms::Form& f) {
        if (auto* q = dynamic_cast<frmMARQua*>(&f)) {
            q->Combo1.SetText("500");
            forms::user::Click(q->Check1);
            forms::user::Click(q->cmdOK);
        }
    });
    int folhas = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Catalogo();
        {
            Sessao s([](acad::Document& doc) {
                acad::Block& ms = doc.ModelSpace();
                for (int i = 0; i < 200000; ++i) {
                    const double x = (i % 500) * 20.0, y = (i / 500) * 25.0;
                    if (i % 2)
                        ms.AddLine({x, y, 0}, {x + 8, y + 3, 0});
                    else
                        ms.AddCircle({x + 4, y + 4, 0}, 2);
                }
            });
            clsTOPMar mar;
            mar.ProgressBar = &host.Barra;
            state.ResumeTiming();

            mar.InsertQuad();

            state.PauseTiming();
            folhas = s.Conta("QUADRICULA2");
        }
        state.ResumeTiming();
    }
    if (folhas != 1000) state.SkipWithError("the grid has not 1,000 sheets");
    state.counters["sheets"] = folhas;
}
BENCHMARK(BM_InsertQuadGrid1to500Over10kmSquare200000Entities)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void BM_NumerarQuads2000Sheets(benchmark::State& state)
{
    Hospedeiro host;
    for (auto _ : state) {
        state.PauseTiming();
        {
            Sessao s([](acad::Document& doc) { Folhas(doc, 2000, 40, 786, 499); });
            clsTOPMar mar;
            mar.ProgressBar = &host.Barra;
            state.ResumeTiming();

            if (mar.NumerarQuads() || mar.NumQuads != 2000) state.SkipWithError("not every sheet was numbered");

            state.PauseTiming();
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_NumerarQuads2000Sheets)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_InsertUTM1000Sheets(benchmark::State& state)
{
    Hospedeiro host;
    forms::ScopedTestDriver driver([](forms::Form& f) {
        if (auto* e = dynamic_cast<frmMARExe*>(&f)) forms::user::Click(e->CmdOK);
    });
    int rotulos = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            Sessao s([](acad::Document& doc) { Folhas(doc, 1000, 25, 786, 499); });
            clsTOPMar mar;
            mar.ProgressBar = &host.Barra;
            state.ResumeTiming();

            mar.InsertUTM();

            state.PauseTiming();
            rotulos = s.Conta("TOP_UTM");
        }
        state.ResumeTiming();
    }
    if (rotulos < 12000) state.SkipWithError("the grid is not drawn in every sheet");
    state.counters["labels"] = rotulos;
}
BENCHMARK(BM_InsertUTM1000Sheets)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
