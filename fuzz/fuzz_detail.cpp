// A drawing read from arbitrary bytes, shown from its extents down to 1/4096
// of them, each view closer on something drawn, and judged at each against
// the same view without a budget (detail_oracle.h): a frame that draws every
// reference (none as its outline) inks what the frame without a budget inks,
// to within a pixel and in the same colours, and a crossing, a window, a
// pick, a nested pick and an object snap at points drawn answer as they do
// without a budget. Whatever the simplified copies of the definitions make of
// the file, they should never show or answer other than the file.
// In the CI's short run a crash, a hang or a sanitizer's report fails; what
// the views make apart is said, the first of each kind once a run, so that the
// input is kept for the test of generated drawings, which fails on any of it,
// without a mutation found at random stopping every landing.

#include <QGuiApplication>
#include <QImage>
#include <QPointF>
#include <QSizeF>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "detail_oracle.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/Work.h"
#include "platform/acad/ui/SceneRenderer.h"
#include "platform/acad/ui/ViewMapping.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 200;
constexpr int kZooms = 5;
// Past this many parts drawn looking all the way into every reference (the
// copies of a grid each), the frame without a budget takes longer than a
// fuzz input should: such a file is fuzz_view's matter.
constexpr double kWholeParts = 20000;

acad::View& Shown(acad::Document& doc)
{
    const acad::Layout& layout = doc.ActiveLayout();
    return layout.ModelType() ? doc.ModelView() : doc.PaperView(layout);
}

// Said once a run for each kind of difference (`kind`), with where it was.
void Differ(const std::string& where, const std::string& kind, const std::string& what = "")
{
    static std::vector<std::string> said;
    for (const std::string& k : said)
        if (k == kind) return;
    said.push_back(kind);
    std::fprintf(stderr, "apart: %s: %s%s\n", where.c_str(), kind.c_str(), what.c_str());
}

}  // namespace

// fontconfig, under Qt's font database, keeps caches it never frees: the
// window's first text is not a leak of the walks.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication* qt = new QGuiApplication(*argc, *argv);
    (void)qt;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    acad::Document doc;
    try {
        acad::ReadDxfText(doc, text, "fuzz");
    } catch (const acad::Error&) {
        return 0;  // what the reader refuses is fuzz_dxf's matter
    }
    if (detail_oracle::WholeParts(doc, acad::selection::CurrentSpace(doc), kWholeParts) >= kWholeParts) return 0;
    doc.SetScreenSize(kWidth, kHeight);
    doc.SetVariable("OSMODE", 1 | 2 | 4 | 8 | 64 | 512);
    acad::Box extents = acad::selection::CurrentSpace(doc).Extents();
    if (extents.IsEmpty() || !extents.IsFinite()) return 0;

    acad::ui::SceneRenderer renderer;
    acad::View& shown = Shown(doc);
    shown.SetAspectRatio(static_cast<double>(kWidth) / kHeight);
    shown.Fit(extents, acad::View::kExtentsMargin);
    const std::vector<double> heights = detail_oracle::Heights(shown.Height(), kZooms);
    detail_oracle::Numbers numbers(size);
    const QSize pixels(kWidth, kHeight);
    for (int k = 0; k < kZooms; ++k) {
        const double height = heights[static_cast<std::size_t>(k)];
        if (!(height > 0) || !std::isfinite(height)) return 0;
        if (!detail_oracle::Resolved(extents, height / kHeight)) return 0;
        shown.SetHeight(height);
        const std::string where = "zoom " + std::to_string(k);
        const acad::ui::ViewMapping mapping = acad::ui::ViewMapping::Of(shown, QSizeF(pixels));
        acad::ui::RenderStats drawn;
        const QImage bounded = detail_oracle::Draw(renderer, doc, mapping, pixels, &drawn);
        QImage whole;
        {
            acad::Unbudgeted all;
            whole = detail_oracle::Draw(renderer, doc, mapping, pixels);
        }
        if (drawn.coarse.empty()) {
            using detail_oracle::Colours;
            if (const std::string d = detail_oracle::InkedApart(whole, bounded, Colours::Any); !d.empty())
                Differ(where, "inked without a budget, not within it: ", d);
            if (const std::string d = detail_oracle::InkedApart(bounded, whole, Colours::Any); !d.empty())
                Differ(where, "inked within the budget, not without it: ", d);
            const std::string lost = detail_oracle::InkedApart(whole, bounded),
                              added = detail_oracle::InkedApart(bounded, whole);
            if (!lost.empty() || !added.empty())
                Differ(where, "colours apart: ", "without a budget " + lost + "; within it " + added);
        }
        std::vector<QPointF> points = detail_oracle::InkedPixels(whole, 2, numbers);
        const acad::Point3d next = points.empty() ? shown.Center() : mapping.ToWorld(points.back());
        points.push_back(QPointF(kWidth / 2.0, kHeight / 2.0));
        for (const QPointF& px : points)
            if (const std::string d = detail_oracle::WalksApart(doc, mapping.ToWorld(px)); !d.empty())
                Differ(where, "walks apart: ", d);
        shown.SetCenter(next);
    }
    return 0;
}
