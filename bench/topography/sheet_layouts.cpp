// The printable sheets of a map, with the host's window shown on the
// offscreen platform as a person sees it while the walk runs:
// - 200 sheet layouts (one per sheet, copied from the template with its
//   viewport zoomed, its title block and its 3 x 3 key map written): under 3 s;
// - 20 files, one per sheet, from a drawing of 20,000 entities: under 2 s.
// The sheet list is given as the sheet reading leaves it.

#include "../QtBenchMain.h"

#include <QApplication>

#include <filesystem>
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
#include "topography/clsTOPMar.h"
#include "topography/frmMARExe.h"

namespace {

namespace fs = std::filesystem;

constexpr double kW = 786, kH = 499;

class Hospedeiro : public forms::Form {
public:
    Hospedeiro() : Form("HospedeiroMargens") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
};

// A drawing of `Folhas` sheets, 20 to a row, with `Entidades` lines spread
// over them, and the template layout: a viewport, the title block and the
// key map. Saved in `Pasta` so that files can be written beside it.
acad::Document& Desenho(acad::Application& app, int Folhas, int Entidades, const fs::path& Pasta)
{
    acad::Document& doc = *app.Documents().Add("Acad");
    doc.Layers().Add("NUM_QUADRICULA");
    acad::Block& ms = doc.ModelSpace();
    const int colunas = 20, linhas = (Folhas + colunas - 1) / colunas;
    for (int i = 0; i < Entidades; ++i) {
        const double x = 650000 + (i % 400) * (colunas * kW / 400),
                     y = 7450000 - (i / 400) * (linhas * kH / (Entidades / 400.0 + 1));
        ms.AddLine({x, y, 0}, {x + 8, y - 3, 0});
    }
    acad::Block* selo = doc.Blocks().Add({0, 0, 0}, "SELO");
    selo->AddLine({0, 0, 0}, {120, 0, 0});
    selo->AddAttribute(4.0, 0, "", {5, 5, 0}, "NUMERO", "0000");
    acad::Block* ind = doc.Blocks().Add({0, 0, 0}, "INDICE");
    ind->AddLine({0, 0, 0}, {40, 0, 0});
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            ind->AddAttribute(2.0, 0, "", {10.0 * c, -5.0 * r, 0}, "XL" + std::to_string(r) + "C" + std::to_string(c),
                              "");
    acad::Layout* modelo = doc.Layouts().Item("Layout1");
    modelo->Block().AddPViewport({200, 150, 0}, 393, 249.5);
    modelo->Block().InsertBlock({280, 10, 0}, "SELO", 1, 1, 1, 0);
    modelo->Block().InsertBlock({280, 60, 0}, "INDICE", 1, 1, 1, 0);
    doc.SetActiveLayout(*modelo);
    fs::create_directories(Pasta);
    doc.SaveAs((Pasta / "Mapa-ABC.dwg").string());
    return doc;
}

void Folhas(clsTOPMar& m, int n)
{
    for (int k = 1; k <= n; ++k) {
        QuadriculaRec q;
        q.Numero = k;
        q.Linha = (k - 1) / 20 + 1;
        q.Coluna = (k - 1) % 20 + 1;
        q.X = 650000 + (q.Coluna - 1) * kW;
        q.Y = 7450000 - (q.Linha - 1) * kH;
        q.Largura = kW;
        q.Altura = kH;
        m.Quads.push_back(q);
    }
    m.NumQuads = n;
}

void Margens(benchmark::State& state, int Modo, int NumFolhas, int Entidades)
{
    Hospedeiro host;
    const fs::path raiz = fs::temp_directory_path() / ("quoril_bench_margens_" + std::to_string(Modo));
    forms::ScopedTestDriver dialogo([](forms::Form& f) {
        if (auto* d = dynamic_cast<frmMARExe*>(&f)) d->CmdOK.SetValue(true);
    });
    std::size_t layouts = 0, arquivos = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(raiz);
        auto app = std::make_unique<acad::Application>();
        auto script = std::make_shared<acad::ScriptedInput>();
        acad::Document& doc = Desenho(*app, NumFolhas, Entidades, raiz);
        std::optional<acad::ActiveObjectRegistration> registro;
        registro.emplace(*app);
        gAcadProgID = "AutoCAD.Application";
        auto janela = std::make_unique<acad::ui::DrawingWindow>(*app);
        janela->Window()->resize(1600, 1000);
        janela->Show();
        for (int k = 0; k < 5; ++k) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        // The user's two picks come from a script, not from the window.
        app->SetInputSource(script);
        script->Point({286, 16, 0});
        script->Point({300, 60, 0});
        clsTOPMar m;
        m.ProgressBar = &host.Barra;
        Folhas(m, NumFolhas);
        state.ResumeTiming();

        m.MARLayout(Modo);

        state.PauseTiming();
        layouts = doc.Layouts().PaperLayouts().size();
        arquivos = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(raiz)) ++arquivos;
        const bool feito = Modo == 1 ? layouts == static_cast<std::size_t>(NumFolhas) + 1
                                     : arquivos == static_cast<std::size_t>(NumFolhas) + 1;
        if (!feito || script->Remaining() != 0) state.SkipWithError("the walk did not make every sheet");
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
    fs::remove_all(raiz);
    state.counters["layouts"] = static_cast<double>(layouts);
    state.counters["files"] = static_cast<double>(arquivos);
}

void BM_MARLayout200SheetLayoutsWindowShown(benchmark::State& state) { Margens(state, 1, 200, 2000); }
BENCHMARK(BM_MARLayout200SheetLayoutsWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_MARLayout20FilesFrom20000EntitiesWindowShown(benchmark::State& state) { Margens(state, 0, 20, 20000); }
BENCHMARK(BM_MARLayout20FilesFrom20000EntitiesWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
