// Repaint of a drawing holding one spline of 20,000 control points, at its
// extents (target: under 20 ms a repaint), and zoomed in on its middle.

#include "../QtBenchMain.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "platform/acad/Acad.h"
#include "platform/acad/Spline.h"
#include "platform/acad/ui/AciPalette.h"
#include "platform/acad/ui/SceneRenderer.h"

namespace {

void BM_RepaintSpline20000ControlPoints(benchmark::State& state)
{
    acad::Document doc;
    acad::SplineData d;
    const int n = 20000;
    for (int i = 0; i < n; ++i) d.controlPoints.push_back({i * 2.0, 50.0 * std::sin(i * 0.01) + (i % 2) * 3.0, 0});
    for (int k = 0; k < 4; ++k) d.knots.push_back(0.0);
    for (int k = 1; k <= n - 4; ++k) d.knots.push_back(static_cast<double>(k));
    for (int k = 0; k < 4; ++k) d.knots.push_back(static_cast<double>(n - 3));
    doc.ModelSpace().Append(std::make_unique<acad::Spline>(doc, d));
    const QSize screen(1600, 1000);
    acad::View v({0, 0, 0}, 1, double(screen.width()) / screen.height());
    v.Fit(doc.ModelExtents());
    v.SetHeight(v.Height() / static_cast<double>(state.range(0)));
    acad::ui::SceneRenderer renderer;
    QImage img(screen, QImage::Format_RGB32);
    acad::ui::RenderStats s;
    for (auto _ : state) {
        img.fill(acad::ui::BackgroundColor());
        QPainter p(&img);
        s = renderer.Draw(p, doc, acad::ui::ViewMapping::Of(v, QSizeF(screen)));
    }
    state.counters["segments"] = static_cast<double>(s.segments);
}
BENCHMARK(BM_RepaintSpline20000ControlPoints)
    ->ArgName("zoom")
    ->Arg(1)
    ->Arg(64)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
