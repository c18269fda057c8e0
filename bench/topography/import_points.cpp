// Importing a survey file of 50,000 points (45,000 distinct names, so 45,000
// applications; X with decimal commas on every tenth line) into a drawing of
// 20,000 lines, with the host's window shown on the offscreen platform, as a
// person sees it while the import runs: two passes over the file, one yield a
// line in each, a point and three texts a line. Target: under 5 s.

#include "../QtBenchMain.h"

#include <QApplication>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "cad/modAcad.h"
#include "platform/acad/Acad.h"
#include "platform/acad/ui/DrawingView.h"
#include "platform/acad/ui/DrawingWindow.h"
#include "platform/acad/ui/MainWindow.h"
#include "platform/forms/Forms.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"
#include "topography/modPontosTopo.h"

namespace {

constexpr int kPontos = 50000;
constexpr int kNomes = 45000;
constexpr int kLinhas = 20000;

class Hospedeiro : public forms::Form {
public:
    Hospedeiro() : Form("Hospedeiro") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
};

std::string EscreveArquivo()
{
    const std::filesystem::path f = std::filesystem::temp_directory_path() / "quoril_bench_pontos.txt";
    std::ofstream o(f, std::ios::binary);
    for (int i = 0; i < kPontos; ++i) {
        const int k = i < kNomes ? i : i - kNomes;  // the last 5,000 repeat names
        const double x = 1000.0 + (i % 250) * 8.0, y = 2000.0 + (i / 250) * 8.0;
        std::string sx = std::to_string(x);
        if (i % 10 == 0) sx[sx.find('.')] = ',';
        o << "P" << k << '\t' << sx << '\t' << y << '\t' << 800 + (i % 97) * 0.125 << '\t'
          << (i % 3 == 0 ? "BORDO" : "") << "\r\n";
    }
    return f.string();
}

void BM_ImportarPontosTxt50000PointsWindowShown(benchmark::State& state)
{
    const std::string arquivo = EscreveArquivo();
    Hospedeiro host;
    std::size_t redesenhos = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto app = std::make_unique<acad::Application>();
        acad::Document* doc = app->Documents().Add("Acad");
        acad::Block& ms = doc->ModelSpace();
        for (int i = 0; i < kLinhas; ++i) {
            const double x = 1000.0 + (i % 200) * 10.0, y = 2000.0 + (i / 200) * 10.0;
            ms.AddLine({x, y, 0}, {x + 8, y + 3, 0});
        }
        std::optional<acad::ActiveObjectRegistration> registro;
        registro.emplace(*app);
        gAcadProgID = "AutoCAD.Application";
        auto janela = std::make_unique<acad::ui::DrawingWindow>(*app);
        janela->Window()->resize(1600, 1000);
        janela->Show();
        app->ZoomExtents();
        for (int k = 0; k < 5; ++k) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const std::size_t antes = janela->Window()->View()->Renders();
        state.ResumeTiming();

        const ResultadoImportacao r = ImportaArquivoPontos(arquivo, host.Barra, false);

        state.PauseTiming();
        if (r.Inseridos != kPontos) state.SkipWithError("not every point was imported");
        redesenhos = janela->Window()->View()->Renders() - antes;
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
    state.counters["window_redraws"] = static_cast<double>(redesenhos);
    std::filesystem::remove(arquivo);
}
BENCHMARK(BM_ImportarPontosTxt50000PointsWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
