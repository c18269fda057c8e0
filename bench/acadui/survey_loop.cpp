// A program loop that changes the drawing and yields to the event queue once per
// step, with the host's window shown and without it: 2,000 survey points (a point
// and three texts each, each updated, then one yield) into a drawing of 20,000
// lines. Target with the window shown: under 0.3 s. The window is a real Qt
// window on the offscreen platform.

#include "../QtBenchMain.h"

#include <QApplication>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/acad/Acad.h"
#include "platform/acad/ui/DrawingView.h"
#include "platform/acad/ui/DrawingWindow.h"
#include "platform/acad/ui/MainWindow.h"

namespace {

constexpr int kLines = 20000;
constexpr int kPoints = 2000;

void FillLines(acad::Document& doc)
{
    acad::Block& ms = doc.ModelSpace();
    for (int i = 0; i < kLines; ++i) {
        const double x = (i % 200) * 10.0, y = (i / 200) * 10.0;
        ms.AddLine({x, y, 0}, {x + 8, y + 3, 0});
    }
}

// The loop as the topography panel runs it: each point with its name, elevation
// and description texts, each entity updated, then a yield.
void SurveyLoop(acad::Document& doc)
{
    acad::Block& ms = doc.ModelSpace();
    for (int i = 0; i < kPoints; ++i) {
        const double x = 5.0 + (i % 50) * 40.0, y = 5.0 + (i / 50) * 25.0;
        ms.AddPoint({x, y, 812.0})->Update();
        ms.AddText("P" + std::to_string(i), {x + 1, y + 1, 0}, 1.5)->Update();
        ms.AddText("812.35", {x + 1, y - 1, 0}, 1.5)->Update();
        ms.AddText("BL", {x + 1, y - 3, 0}, 1.5)->Update();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void BM_SurveyLoop2000PointsInto20000Lines(benchmark::State& state)
{
    const bool shown = state.range(0) != 0;
    std::size_t renders = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto app = std::make_unique<acad::Application>();
        acad::Document* doc = app->Documents().Add("Acad");
        FillLines(*doc);
        std::unique_ptr<acad::ui::DrawingWindow> window;
        if (shown) {
            window = std::make_unique<acad::ui::DrawingWindow>(*app);
            window->Window()->resize(1600, 1000);
            window->Show();
            app->ZoomExtents();
            for (int k = 0; k < 5; ++k) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        const std::size_t before = shown ? window->Window()->View()->Renders() : 0;
        state.ResumeTiming();
        SurveyLoop(*doc);
        state.PauseTiming();
        if (shown) renders = window->Window()->View()->Renders() - before;
        window.reset();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        app.reset();
        state.ResumeTiming();
    }
    state.counters["renders_in_loop"] = static_cast<double>(renders);
}
BENCHMARK(BM_SurveyLoop2000PointsInto20000Lines)
    ->ArgName("window")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
