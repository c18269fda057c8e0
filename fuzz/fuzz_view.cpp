// A drawing read from arbitrary bytes, then walked as a person would walk it in
// the window: its extents measured, frames of the current space at its
// extents and zoomed in twice (by the window's own renderer), and at each of
// those views a crossing, a window, a pick, a nested pick and an object snap.
// None crashes, overflows the stack or hangs, whatever blocks, grids, texts or
// viewports the file holds, and each does no more work than the pieces the
// file stores plus the view's budget.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/HitTest.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/ui/AciPalette.h"
#include "platform/acad/ui/SceneRenderer.h"
#include "walk_bound.h"

namespace {

// The window's drawing area, smaller than a person's: the bounds do not depend
// on it, and each frame paints it once.
constexpr int kWidth = 320;
constexpr int kHeight = 200;

// The work done since the last call must be within what the file stores at
// the view's scale, `own`, plus `budgets` views' budgets; else the walk named
// by `what` is unbounded.
class Bound {
public:
    void From(double own)
    {
        own_ = own;
        before_ = acad::WalkWork();
    }
    void Check(double budgets)
    {
        const auto work = static_cast<double>(acad::WalkWork() - before_);
        if (work > own_ + budgets * acad::kViewBudget) std::abort();
        before_ = acad::WalkWork();
    }

private:
    double own_ = 0;
    std::uint64_t before_ = 0;
};

// The view the window shows (the model, or the active sheet) and the one
// selections look through (the model through the active viewport, in a sheet).
acad::View& Shown(acad::Document& doc)
{
    const acad::Layout& layout = doc.ActiveLayout();
    return layout.ModelType() ? doc.ModelView() : doc.PaperView(layout);
}

// One frame of `doc` as the window paints it.
void Frame(acad::Document& doc, acad::ui::SceneRenderer& renderer, Bound& bound)
{
    const acad::View& view = Shown(doc);
    const double own = walk_bound::OwnPieces(doc, kHeight / view.Height());
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(acad::ui::BackgroundColor());
    bound.From(own);
    acad::ui::RenderStats drawn;
    {
        QPainter painter(&image);
        drawn = renderer.Draw(painter, doc, acad::ui::ViewMapping::Of(view, QSizeF(kWidth, kHeight)));
    }
    if (static_cast<double>(drawn.Work()) > own + acad::kViewBudget) std::abort();  // painted too much
    bound.Check(1);                                                                 // weighed too much
}

// The walks a person makes in the current view, around `at`: each one in a
// view just changed, so that it weighs the view again.
void Walks(acad::Document& doc, const acad::Point3d& at, Bound& bound)
{
    const double pixel = acad::selection::PixelSize(doc);
    const acad::Vector3d two(2 * pixel, 2 * pixel, 0);
    auto step = [&] {
        bound.Check(2);
        doc.PlanKept().reset();
    };
    doc.PlanKept().reset();
    bound.From(walk_bound::OwnPieces(doc, 1 / pixel));
    (void)acad::selection::ByWindow(doc, acad::Box::FromCorners(at - two, at + two), true, {});
    step();
    (void)acad::selection::ByWindow(doc, acad::Box::FromCorners(at - two * 100, at + two), false, {});
    step();
    acad::Entity* picked = acad::selection::PickAt(doc, at);
    step();
    if (picked) (void)acad::PickNested(*picked, at, 3 * pixel, acad::selection::ViewPlan(doc));
    step();
    (void)acad::input::Snap(doc, at);
    step();
}

// A corner of the first entity of the current space that has one: where a
// view zoomed in holds part of something.
std::optional<acad::Point3d> CornerOfFirst(const acad::Document& doc)
{
    for (const acad::Entity* e : acad::selection::CurrentSpace(doc))
        if (const acad::Box b = e->Extents(); !b.IsEmpty() && b.IsFinite()) return b.min;
    return std::nullopt;
}

}  // namespace

// fontconfig, under Qt's font database, keeps caches it never frees: the
// window's first text is not a leak of the walks.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The fonts the window draws texts in; kept to the end, past the static
    // objects it would outlive.
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
    doc.SetScreenSize(kWidth, kHeight);
    doc.SetVariable("OSMODE", 1 | 2 | 4 | 8 | 64 | 512);
    Bound bound;

    // Extents, measured after an edit of every definition as after opening.
    bound.From(walk_bound::OwnPieces(doc, 1));
    acad::Box extents = acad::selection::CurrentSpace(doc).Extents();
    (void)doc.ModelExtents();
    bound.Check(1);
    if (extents.IsEmpty() || !extents.IsFinite()) extents = acad::Box::FromCorners({0, 0, 0}, {12, 9, 0});

    acad::ui::SceneRenderer renderer;
    acad::View& shown = Shown(doc);
    shown.SetAspectRatio(static_cast<double>(kWidth) / kHeight);
    shown.Fit(extents, acad::View::kExtentsMargin);
    Frame(doc, renderer, bound);
    Walks(doc, extents.Center(), bound);

    // Zoomed in eightfold on the middle, then on a corner of the first
    // entity, sixty-four times closer still: references partly in view.
    auto zoomIn = [&](double factor) {
        if (!(shown.Height() / factor > 0)) return false;  // closer than a double tells
        shown.SetHeight(shown.Height() / factor);
        return true;
    };
    if (!zoomIn(8)) return 0;
    Frame(doc, renderer, bound);
    Walks(doc, shown.Center(), bound);
    const std::optional<acad::Point3d> corner = CornerOfFirst(doc);
    if (!corner) return 0;
    shown.SetCenter(*corner);
    if (!zoomIn(64)) return 0;
    Frame(doc, renderer, bound);
    Walks(doc, *corner, bound);
    return 0;
}
