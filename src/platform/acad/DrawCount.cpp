#include "platform/acad/DrawCount.h"

#include <algorithm>
#include <cmath>

#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/Hatch.h"
#include "platform/acad/KeptDefinition.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/Spline.h"
#include "platform/acad/Tables.h"
#include "platform/acad/TextEntities.h"
#include "platform/acad/TextMetrics.h"

namespace acad {

int ArcChords(double radiusPx, double sweep, double tolerancePx)
{
    const double step = 2.0 * std::acos(std::max(-1.0, 1.0 - tolerancePx / radiusPx));
    const double n = std::ceil(sweep / std::max(step, 1e-9));
    return n < 4096 ? std::max(2, static_cast<int>(n)) : 4096;  // NaN: the most
}

TextLook TextLookOf(double heightPx, double lengthPx, double areaPx, double letters)
{
    if (!(std::max(heightPx, lengthPx) >= kDotPx) || !std::isfinite(heightPx) || !std::isfinite(lengthPx))
        return TextLook::Dot;
    const double n = std::max(1.0, letters);
    // A letter's sides, and how thick it is across each (a slanted box is thinner than its sides).
    const double across = lengthPx / n, low = areaPx / lengthPx, narrow = areaPx / (n * heightPx);
    const double longest = std::max(across, heightPx);
    if (!(low >= kTinyTextPx)) return TextLook::Box;
    const double thinnest = std::min(low, narrow);
    if (narrow < kTinyTextPx && thinnest * kSqueezedLetter < longest) return TextLook::Block;
    if (thinnest * kSqueezedLetter < longest || !(longest <= kHugeLetterPx)) return TextLook::Outlines;
    return TextLook::Letters;
}

DashPattern::DashPattern(const std::vector<double>& lengths)
{
    double at = 0;
    bool gap = false;
    for (const double x : lengths) {
        if (!std::isfinite(x)) return;
        if (x < 0) {
            at -= x;
            gap = true;
            continue;
        }
        // A dash that follows one without a gap between them continues it.
        if (!inked_.empty() && inked_.back().to == at)
            inked_.back().to = at + x;
        else
            inked_.push_back({at, at + x});
        at += x;
    }
    period_ = at;
    if (!gap || !(period_ > 0) || !std::isfinite(period_)) {
        inked_.clear();
        period_ = 0;
    }
}

bool DashPattern::DashedAt(double pxPerUnit) const
{
    const double px = period_ * pxPerUnit;
    return !Solid() && px >= kDashPeriodPx && static_cast<double>(inked_.size()) <= px && std::isfinite(px);
}

bool DashPattern::Inks(double from, double to) const
{
    if (Solid() || to - from >= period_) return true;
    const double r = from - std::floor(from / period_) * period_;
    const double end = r + (to - from);
    // The stretch [r, end) meets a dash that runs into it, or holds a dot.
    auto meets = [&](const Stretch& s, double shift) {
        const double a = s.from + shift, b = s.to + shift;
        return a == b ? a >= r && a < end : a < end && b > r;
    };
    auto it = std::lower_bound(inked_.begin(), inked_.end(), r, [](const Stretch& s, double v) { return s.to < v; });
    for (; it != inked_.end() && it->from < end; ++it)
        if (meets(*it, 0)) return true;
    // Into the next period.
    for (it = inked_.begin(); it != inked_.end() && it->from + period_ < end; ++it)
        if (meets(*it, period_)) return true;
    return false;
}

const Layer* DrawnLayer(const Entity& e, const Layer* inherited)
{
    const Layer* own = e.Document().Layers().ByIndex(e.LayerIndex());
    return inherited && own && own->IsZero() ? inherited : own;
}

bool ShowsOwnPieces(const Entity& e, const Layer* inherited)
{
    const Layer* layer = DrawnLayer(e, inherited);
    return !layer || layer->LayerOn();
}

bool IsDrawn(const Entity& e, bool nested, const std::vector<char>& frozenHere, const Layer* inherited)
{
    if (!e.Visible() || e.IsErased()) return false;
    const Layer* layer = DrawnLayer(e, inherited);
    if (!layer) return true;
    if (layer->Freeze()) return false;
    if (layer->Index() < frozenHere.size() && frozenHere[layer->Index()]) return false;
    // A part on layer "0" whose holder is not known: its holder was drawn.
    if (nested && !inherited && layer->IsZero()) return true;
    if (layer->LayerOn()) return true;
    const BlockReference* r = e.DrawnReference();
    if (!r) return false;
    if (const Block* def = e.Document().Blocks().ByIndex(r->Data().block); def && KeptDefinition::Of(*def).OnLayersOfItsOwn())
        return true;
    for (const AttributeReference* a : r->GetAttributes()) {
        const Layer* own = e.Document().Layers().ByIndex(a->LayerIndex());
        if (a->Visible() && own && !own->IsZero()) return true;
    }
    return false;
}

bool IsDot(const Box& box, double pxPerUnit)
{
    return !box.IsEmpty() && std::max(box.Width(), box.Height()) * pxPerUnit < kDotPx;
}

double Letters(const TextPrimitive& t) { return static_cast<double>(TextMetrics::CharCount(t.text)); }

namespace {

// Pixel rows that take as long for a filled area's edges to cross as one
// piece: a spiky area costs by how far its edges run, not by its size.
constexpr double kEdgeRowsPx = 8.0;
// Letters whose width is measured in the time one piece is drawn: a text drawn
// as its box is still measured letter by letter.
constexpr double kMeasuredLetters = 8.0;
// Edges of a letter's outline that a row of pixels crosses, about: a row of a
// filled letter costs as many edges' rows (kEdgeRowsPx).
constexpr double kLetterCrossings = 4.0;
// The most of a line without end that a view shows, in pixels: twice the
// diagonal of a large screen.
constexpr double kRayInkPx = 8192.0;

// Filling a ring drawn at `px`: its vertices, its area and the rows its edges
// cross, the area no more than a view's worth, each edge's rows no more than a view's height.
double FillWork(const std::vector<Point3d>& ring, double px, double viewPx)
{
    double twice = 0, rows = 0;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        twice += (ring[j].x - ring[i].x) * (ring[j].y + ring[i].y);
        rows += std::min(std::fabs(ring[j].y - ring[i].y) * px, viewPx);
    }
    const double area = std::fabs(twice) / 2 * px * px;
    return static_cast<double>(ring.size()) + std::min(area, viewPx * viewPx) / kFillPx + rows / kEdgeRowsPx;
}

// A polyline the window draws with its widths, when they show.
double WidePieces(const BulgePolyline& pl, double widest, double px, const CountSink& count)
{
    const double length = pl.Length() * px;
    double pieces = 0;
    for (std::size_t i = 0; i < pl.SegmentCount(); ++i) {
        const auto arc =
            ArcFromBulge(pl.vertices[i].point, pl.vertices[(i + 1) % pl.vertices.size()].point, pl.vertices[i].bulge);
        pieces += arc ? ArcChords(arc->radius * px, arc->Sweep()) : 1;
    }
    return pieces + count.Band(length, widest * px);
}

}  // namespace

void CountSink::Point(const Point3d&) { n += 1; }

void CountSink::Segment(const Point3d& a, const Point3d& b) { n += 1 + Ink(Distance2d(a, b) * px_); }

void CountSink::Arc(const CircularArc& a)
{
    const double r = a.radius * px_;
    if (!(r >= kDotPx / 2) || !std::isfinite(r)) {
        n += 1;
        return;
    }
    n += ArcChords(r, a.Sweep()) + Ink(r * a.Sweep());
}

void CountSink::Text(const TextPrimitive& t)
{
    const Vector3d along = (t.corners[1] - t.corners[0]) * px_, up = (t.corners[3] - t.corners[0]) * px_;
    const double h = up.Length2d(), w = along.Length2d(), area = std::fabs(Cross2d(along, up));
    const double letters = Letters(t);
    n += letters / kMeasuredLetters;
    // A row of a filled letter costs its edges' rows; a row of a letter copied from its image, nothing more.
    auto rows = [&](double px) { return kLetterCrossings * std::min(px, cap_) / kEdgeRowsPx; };
    switch (TextLookOf(h, w, area, letters)) {
    case TextLook::Dot: n += 1; break;
    case TextLook::Box: n += 4 + Ink(2 * (h + w)); break;
    case TextLook::Block: Fill(std::vector<Point3d>(t.corners, t.corners + 4)); break;
    case TextLook::Letters: n += 1 + letters * (1 + (h >= kFilledLetterPx ? rows(h) : 0)); break;
    case TextLook::Outlines:
        // Each letter filled over the rows it spans (up to a view's height),
        // all of them over no more than a view's area.
        n += 1 + letters * (1 + rows(std::max(h, w / std::max(1.0, letters)))) + std::min(area, cap_ * cap_) / kFillPx;
        break;
    }
}

void CountSink::Fill(const std::vector<Point3d>& ring)
{
    if (ring.size() >= 3) n += FillWork(ring, px_, cap_);
}

void CountSink::Ray(const Point3d&, const Vector3d&, bool) { n += 1 + Ink(std::min(cap_, kRayInkPx)); }

double CountSink::Ink(double lengthPx) const { return std::min(lengthPx, cap_) / kInkPx; }

double CountSink::Band(double lengthPx, double widthPx) const
{
    return (std::min(lengthPx * widthPx, cap_ * cap_) / kFillPx) + 2 * std::min(lengthPx, cap_) / kEdgeRowsPx;
}

double WidestDrawn(const Entity& e)
{
    double widest = 0;
    if (const auto* lw = dynamic_cast<const LWPolyline*>(&e)) {
        const LWPolylineData& d = lw->Data();
        widest = d.constantWidth;
        for (double w : d.startWidths) widest = std::max(widest, w);
        for (double w : d.endWidths) widest = std::max(widest, w);
    } else if (const auto* pl = dynamic_cast<const Polyline2D*>(&e)) {
        if (!pl->Data().fitPoints.empty()) return 0;  // a fitted curve is drawn thin
        for (const auto& v : pl->Data().vertices) widest = std::max({widest, v.startWidth, v.endWidth});
    }
    return widest;
}

double Pieces(const Entity& e, double pxPerUnit, double inkCapPx)
{
    CountSink count(pxPerUnit, inkCapPx);
    if (const auto* s = dynamic_cast<const Spline*>(&e)) {
        const std::size_t n = SplinePieces(s->Data(), 0.5 / std::max(pxPerUnit, 1e-300));
        const Box b = s->Extents();
        return 1 + static_cast<double>(n) + count.Ink((b.Width() + b.Height()) * pxPerUnit);
    }
    if (const auto* h = dynamic_cast<const Hatch*>(&e)) {
        // Its area, and the lines of its own pattern where they are drawn.
        const PatternWork lines = h->PatternWorkAt(pxPerUnit);
        double pieces = 1 + lines.pieces + std::min(lines.inkPx, count.Cap() * count.Cap()) / kInkPx;
        const double tolerance = 0.5 / std::max(pxPerUnit, 1e-300);
        for (int i = 0; i < h->NumberOfLoops(); ++i) {
            const std::vector<Point3d> ring = h->LoopPoints(i, tolerance);
            if (ring.size() >= 3) pieces += FillWork(ring, pxPerUnit, count.Cap());
        }
        return pieces;
    }
    if (const double widest = WidestDrawn(e); widest * pxPerUnit >= kWidePx) {
        if (const auto* lw = dynamic_cast<const LWPolyline*>(&e))
            return 1 + WidePieces(lw->Data().geometry, widest, pxPerUnit, count);
        if (const auto* pl = dynamic_cast<const Polyline2D*>(&e))
            return 1 + WidePieces(pl->Frame(), widest, pxPerUnit, count);
    }
    if (const auto* vp = dynamic_cast<const PViewport*>(&e); vp && vp->Data().number == 1) return 1;
    e.Emit(count, Transform());
    return 1 + count.n;
}

}  // namespace acad
