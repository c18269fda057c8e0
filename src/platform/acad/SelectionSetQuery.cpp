#include "platform/acad/SelectionSetQuery.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/acad/Block.h"
#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/HitTest.h"
#include "platform/acad/Layout.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/Tables.h"

namespace acad::selection {

namespace {

// The common part of two boxes; empty when they do not meet.
Box Intersection(const Box& a, const Box& b)
{
    Box r;
    r.min = {std::max(a.min.x, b.min.x), std::max(a.min.y, b.min.y), 0.0};
    r.max = {std::min(a.max.x, b.max.x), std::min(a.max.y, b.max.y), 0.0};
    return r;
}

// The broad phase compares extents exactly; a little slack keeps geometry that
// passes exactly through a zero-size window from being lost to rounding in its
// extents. The exact tests decide.
Box QueryBoxFor(const Box& b)
{
    const double scale = std::max({1.0, std::abs(b.min.x), std::abs(b.min.y), std::abs(b.max.x), std::abs(b.max.y)});
    return b.Expanded(1e-9 * scale);
}

}  // namespace

Block& CurrentSpace(const Document& doc)
{
    if (doc.ActiveSpace() == acModelSpace || doc.MSpace()) return doc.ModelSpace();
    return doc.PaperSpace();
}

double PixelSize(const Document& doc)
{
    const int h = doc.ScreenHeight();
    return doc.ActiveView().Height() / (h > 0 ? h : 1);
}

DrawPlan ViewPlan(const Document& doc)
{
    const double pixel = PixelSize(doc);
    SpaceView v;
    v.space = &CurrentSpace(doc);
    // The window draws what lies a few pixels past its border too.
    v.view = doc.ActiveView().VisibleBox().Expanded(4 * pixel);
    v.pxPerUnit = 1.0 / pixel;
    if (doc.ActiveSpace() != acModelSpace && doc.MSpace()) {
        // Inside a viewport, the layers frozen there are not drawn.
        v.frozen = FrozenIn(*doc.ActivePViewport());
    }
    return KeptPlanView(doc, v);
}

bool IsShown(const Entity& e, const DrawPlan& plan) { return IsDrawn(e, false, plan.FrozenHere()); }

std::vector<Entity*> ByWindow(const Document& doc, const Box& window, bool crossing, const SelectionFilter& filter)
{
    std::vector<Entity*> out;
    const Box w = Intersection(window, doc.ActiveView().VisibleBox());
    if (w.IsEmpty()) return out;
    const DrawPlan plan = ViewPlan(doc);
    for (Entity* e : CurrentSpace(doc).QueryBox(QueryBoxFor(w))) {
        if (!IsShown(*e, plan) || !filter.Matches(*e)) continue;
        if (crossing ? CrossesBox(*e, w, plan) : InsideBox(*e, w, plan)) out.push_back(e);
    }
    return out;
}

std::vector<Entity*> ByPolygon(const Document& doc, int mode, const std::vector<Point3d>& points,
                               const SelectionFilter& filter)
{
    if (mode != acSelectionSetFence && mode != acSelectionSetWindowPolygon && mode != acSelectionSetCrossingPolygon)
        throw Error(ErrorCode::InvalidInput, "Modo de seleção por polígono inválido: " + std::to_string(mode) +
                                                 " (2 cerca, 6 janela poligonal, 7 polígono cruzado)");
    const std::size_t needed = mode == acSelectionSetFence ? 2 : 3;
    if (points.size() < needed)
        throw Error(ErrorCode::InvalidInput, "Seleção por polígono com " + std::to_string(points.size()) +
                                                 " ponto(s): são precisos ao menos " + std::to_string(needed));
    std::vector<Entity*> out;
    Box bounds;
    for (const Point3d& p : points) bounds.Add(p);
    const Box view = doc.ActiveView().VisibleBox();
    const Box q = Intersection(bounds, view);
    if (q.IsEmpty()) return out;
    const DrawPlan plan = ViewPlan(doc);
    for (Entity* e : CurrentSpace(doc).QueryBox(QueryBoxFor(q))) {
        if (!IsShown(*e, plan) || !filter.Matches(*e)) continue;
        bool hit = false;
        switch (mode) {
        case acSelectionSetFence: hit = CrossesFence(*e, points, plan) && CrossesBox(*e, view, plan); break;
        case acSelectionSetCrossingPolygon: hit = CrossesPolygon(*e, points, plan) && CrossesBox(*e, view, plan); break;
        default: hit = InsidePolygon(*e, points, plan) && InsideBox(*e, view, plan); break;
        }
        if (hit) out.push_back(e);
    }
    return out;
}

std::vector<Entity*> All(const Document& doc, const SelectionFilter& filter)
{
    std::vector<Entity*> out;
    auto take = [&](const Block& space) {
        for (Entity* e : space)
            if (filter.Matches(*e)) out.push_back(e);
    };
    take(doc.ModelSpace());
    for (const Layout* layout : doc.Layouts().PaperLayouts()) take(layout->Block());
    return out;
}

Entity* PickAt(const Document& doc, const Point3d& p, const SelectionFilter& filter)
{
    const double tolerance = kPickBoxPixels * PixelSize(doc);
    Entity* best = nullptr;
    double bestDistance = std::numeric_limits<double>::infinity();
    const DrawPlan plan = ViewPlan(doc);
    for (Entity* e : CurrentSpace(doc).QueryBox(QueryBoxFor(Box::Around(p, tolerance)))) {
        if (!IsShown(*e, plan) || !filter.Matches(*e)) continue;
        const double d = DistanceTo(*e, p, std::min(tolerance, bestDistance), plan);
        if (d <= tolerance && d <= bestDistance) {
            best = e;
            bestDistance = d;
        }
    }
    return best;
}

}  // namespace acad::selection
