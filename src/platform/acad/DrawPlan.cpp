#include "platform/acad/DrawPlan.h"

#include <absl/container/flat_hash_map.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <limits>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/EmitSupport.h"
#include "platform/acad/Hatch.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/Spline.h"
#include "platform/acad/Tables.h"
#include "platform/acad/TextEntities.h"
#include "platform/acad/TextMetrics.h"

namespace acad {

// ---------------------------------------------------------------- the count

int ArcChords(double radiusPx, double sweep, double tolerancePx)
{
    const double step = 2.0 * std::acos(std::max(-1.0, 1.0 - tolerancePx / radiusPx));
    const double n = std::ceil(sweep / std::max(step, 1e-9));
    return n < 4096 ? std::max(2, static_cast<int>(n)) : 4096;  // NaN: the most
}

TextLook TextLookOf(double heightPx, double lengthPx)
{
    if (!(std::max(heightPx, lengthPx) >= kDotPx)) return TextLook::Dot;
    if (heightPx < kTinyTextPx) return TextLook::Box;
    return TextLook::Letters;
}

bool IsDrawn(const Entity& e, bool nested, const std::vector<char>& frozenHere)
{
    if (!e.Visible() || e.IsErased()) return false;
    const Layer* layer = e.Document().Layers().ByIndex(e.LayerIndex());
    if (!layer) return true;
    if (layer->Freeze()) return false;
    if (layer->Index() < frozenHere.size() && frozenHere[layer->Index()]) return false;
    // Parts on layer "0" take the layer of the reference that holds them, which is drawn.
    if (nested && layer->IsZero()) return true;
    return layer->LayerOn();
}

bool IsDot(const Box& box, double pxPerUnit)
{
    return !box.IsEmpty() && std::max(box.Width(), box.Height()) * pxPerUnit < kDotPx;
}

namespace {

// Pixel rows that take as long for a filled area's edges to cross as one
// piece: a spiky area costs by how far its edges run, not by its size.
constexpr double kEdgeRowsPx = 8.0;
// Letters whose width is measured in the time one piece is drawn: a text drawn
// as its box is still measured letter by letter.
constexpr double kMeasuredLetters = 8.0;
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

// What the window draws of what an entity emits, counted as it draws it.
class CountSink final : public GeometrySink {
public:
    CountSink(double px, double inkCap) : px_(px), cap_(inkCap) {}
    // What an entity draws through a reference (a dimension's picture) is counted as a reference's.
    bool BeginReference(const BlockReference&, const Transform&) override { return false; }
    void Point(const Point3d&) override { n += 1; }
    void Segment(const Point3d& a, const Point3d& b) override { n += 1 + Ink(Distance2d(a, b) * px_); }
    void Arc(const CircularArc& a) override
    {
        const double r = a.radius * px_;
        if (!(r >= kDotPx / 2) || !std::isfinite(r)) {
            n += 1;
            return;
        }
        n += ArcChords(r, a.Sweep()) + Ink(r * a.Sweep());
    }
    void Text(const TextPrimitive& t) override
    {
        const double h = Distance2d(t.corners[0], t.corners[3]) * px_;
        const double w = Distance2d(t.corners[0], t.corners[1]) * px_;
        // Each letter is painted as a glyph.
        const double letters = static_cast<double>(TextMetrics::CharCount(t.text));
        n += letters / kMeasuredLetters;
        switch (TextLookOf(h, w)) {
        case TextLook::Dot: n += 1; break;
        case TextLook::Box: n += 4 + Ink(2 * (h + w)); break;
        case TextLook::Letters: n += 1 + letters; break;
        }
    }
    void Fill(const std::vector<Point3d>& ring) override
    {
        if (ring.size() >= 3) n += FillWork(ring, px_, cap_);
    }
    // A line without end inks what a view shows of it: with no view to cap
    // it, a large screen's worth.
    void Ray(const Point3d&, const Vector3d&, bool) override { n += 1 + Ink(std::min(cap_, kRayInkPx)); }
    double Ink(double lengthPx) const { return std::min(lengthPx, cap_) / kInkPx; }
    // Filling a band `lengthPx` long and `widthPx` wide.
    double Band(double lengthPx, double widthPx) const
    {
        return (std::min(lengthPx * widthPx, cap_ * cap_) / kFillPx) + 2 * std::min(lengthPx, cap_) / kEdgeRowsPx;
    }
    double Cap() const { return cap_; }
    double n = 0;

private:
    double px_, cap_;
};

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

// ---------------------------------------------------------------- the estimate

namespace {

// The work of a reference for each depth it may be looked into (0: its outline).
using Levels = std::array<double, kWholeDepth + 1>;
constexpr double kHeavy = std::numeric_limits<double>::infinity();
// A reference drawn as a dot: it, and the dot.
constexpr double kDotWork = 2;

// Pieces an estimate may measure in definitions (each once at a scale): past
// them, what is left counts as more than any budget. With the walks of
// references partly in view below, a view is weighed within its budget.
constexpr long kEstimateSteps = 900000;
// Parts of references partly in view it may look at one by one, and pieces of
// them it may measure (each part once at a scale): past them, such
// references are measured as drawn whole.
constexpr long kPartSteps = 100000;

double ScaleOf(const BlockReference& r)
{
    const BlockReferenceData& d = r.Data();
    return std::max(std::fabs(d.xScale), std::fabs(d.yScale));
}

// Scales a quarter of an octave apart share one measure of a definition, taken
// at the larger end: references that differ by a hair in scale are not
// measured each on its own.
int ScaleStep(double scale)
{
    if (!(scale > 0) || !std::isfinite(scale)) return std::numeric_limits<int>::min();
    return static_cast<int>(std::ceil(std::log2(scale) * 4 - 1e-9));
}
double StepScale(int step) { return step == std::numeric_limits<int>::min() ? 0.0 : std::exp2(step / 4.0); }

Box BoxThrough(const Box& b, const Transform& t)
{
    if (b.IsEmpty()) return b;
    Box r;
    for (int k = 0; k < 4; ++k) r.Add(t.Apply({k & 1 ? b.max.x : b.min.x, k & 2 ? b.max.y : b.min.y, b.min.z}));
    return r;
}

// Pieces as steps of a count: a measure past any budget stays a number.
long Steps(double pieces) { return static_cast<long>(std::min(pieces, 1e15)); }

// What `e` draws at `px`, charged to the walks' work; as a part of a
// definition (`part`), what a reference draws of it.
double Charged(const Entity& e, double px, double cap, bool part)
{
    double pieces = 0;
    if (part && dynamic_cast<const AttributeDefinition*>(&e)) {
        CountSink count(px, cap);
        if (detail::EmitAsPart(e, count, Transform())) pieces = 1 + count.n;
    } else {
        pieces = Pieces(e, px, cap);
    }
    AddWork(1 + static_cast<std::uint64_t>(Steps(pieces)));
    return pieces;
}
double PartPieces(const Entity& e, double px, double cap) { return Charged(e, px, cap, true); }

// What the attributes of `r` draw at `px`, those `drawn` accepts.
template <typename Drawn>
double AttributePieces(const BlockReference& r, double px, double cap, Drawn drawn)
{
    if (!r.HasAttributes()) return 0;
    double work = 0;
    for (const AttributeReference* a : r.GetAttributes())
        if (drawn(*a)) work += PartPieces(*a, px, cap);
    return work;
}

constexpr double kUncapped = std::numeric_limits<double>::infinity();

// What a reference of `def` draws at `px` pixels per unit (its scale in), all
// layers drawn and its lines counted whole: no less than a view's plan counts
// for it. Counted up to an ordinary block's worth only: past it, as more than
// any budget. Kept in the definition for each scale step until the
// definitions change, so that telling an ordinary reference costs a look up.
double DrawnWork(const Block& def, double px, int depth = 0)
{
    Block::KeptWork& kept = def.WorkKept();
    if (const std::uint64_t now = def.Document().DefinitionsRevision(); kept.at != now) {
        kept.at = now;
        kept.byStep.clear();
    }
    const int step = ScaleStep(px);
    for (const auto& [at, work] : kept.byStep)
        if (at == step) return work;  // one being measured holds itself: too much
    if (depth >= kWholeDepth) return kHeavy;
    kept.byStep.emplace_back(step, kHeavy);
    const double stepPx = StepScale(step);
    double work = 0;
    for (const Entity* e : def) {
        if (work > kReferenceWork) break;
        if (!e->Visible()) continue;
        const BlockReference* r = e->DrawnReference();
        if (!r || r != e) work += PartPieces(*e, stepPx, kUncapped);  // a dimension's own pieces too
        if (!r) continue;
        AddWork(1);
        if (IsDot(r->Extents(), stepPx)) {
            work += kDotWork;
            continue;
        }
        double copy =
            1 + AttributePieces(*r, stepPx, kUncapped, [](const AttributeReference& a) { return a.Visible(); });
        if (const Block* inner = def.Document().Blocks().ByIndex(r->Data().block))
            copy += DrawnWork(*inner, stepPx * ScaleOf(*r), depth + 1);
        work += copy * static_cast<double>(r->Copies());
    }
    const double measured = work > kReferenceWork ? kHeavy : work;
    for (auto& [at, kept] : def.WorkKept().byStep)
        if (at == step) kept = measured;
    return measured;
}

}  // namespace

// What a reference takes at each depth it may be looked into: its
// definition's levels (shared by the references of it at about one scale) and
// what the reference adds to each (itself and its attributes); at 0, its outline.
struct Weight {
    const Levels* levels = nullptr;
    double add = 0;
    double outline = 0;
    double copies = 1;  // of a grid (MINSERT), those in view, each drawing it all
    double own = 0;     // what the entity draws besides its reference (a multileader's lines)
    double At(int depth) const
    {
        return own + (depth == 0 ? outline : copies * ((*levels)[static_cast<std::size_t>(depth)] + add));
    }
};

// Estimates what one view draws, as the window draws it: references out of
// view are passed over, those smaller than a dot are a dot, entities not drawn
// count nothing. Every part it looks at and every piece it measures is
// charged to the walks' work: a measure that many references share (a
// definition at a scale, one part of one) is taken once.
class Estimate {
public:
    Estimate(const SpaceView& v, bool dots, long& steps)
        : view_(v.view),
          px_(v.pxPerUnit),
          dots_(dots),
          frozen_(v.frozen),
          cap_(2 * std::hypot(v.view.Width(), v.view.Height()) * v.pxPerUnit),
          steps_(steps)
    {
        if (!std::isfinite(cap_)) cap_ = 1e9;
    }

    // What a reference of the space draws looking `depth` levels into it,
    // less its definition's own parts when `ownFree` (they are drawn whatever
    // the budget). Valid while the estimate lives.
    Weight Top(const BlockReference& r, bool ownFree)
    {
        static const Levels kDots = [] {
            Levels l;
            l.fill(kDotWork);
            return l;
        }();
        static const Levels kNothing{};
        AddWork(1);
        const Box b = r.Extents();
        if (dots_ && IsDot(b, px_)) return Weight{&kDots, 0, kDotWork};
        // A grid draws the copies in view, each as a reference of its own.
        const double copies = r.CountCopies(Transform(), view_);
        if (r.Copies() > 1 && dots_ && IsDot(r.CopyBox(), px_)) return Weight{&kDots, 0, Outline(b, px_), copies};
        const Weight w{&kNothing, 1 + Attributes(r, px_), Outline(b, px_), copies};
        const Block* def = r.Document().Blocks().ByIndex(r.Data().block);
        if (!def) return w;
        if (view_.Contains(b) || partSteps_ < 0 || r.Copies() > 1) {
            // The same for every reference of the definition at about that scale.
            const double scale = ScaleOf(r);
            auto [at, fresh] = wholes_.try_emplace(std::make_tuple(def, ScaleStep(scale), ownFree));
            if (fresh) at->second = Deepen([&](int upTo) { return Definition(*def, scale, upTo, !ownFree); });
            return Weight{&at->second, w.add, w.outline, copies};
        }
        partly_.push_back(Deepen([&](int upTo) { return Parts(*def, r.BlockTransform(), upTo, !ownFree); }));
        return Weight{&partly_.back(), w.add, w.outline};
    }

    // The plain work of an entity of the space (not a reference).
    double Plain(const Entity& e) const { return Charged(e, px_, cap_, false); }
    // The layers frozen in the view.
    const std::vector<char>& Frozen() const { return frozen_; }

    // A reference, or a view, drawn as the outline of its box `b`: it, and four pieces.
    double Outline(const Box& b, double px) const
    {
        if (b.IsEmpty()) return 1;
        return 5 + std::min(2 * (b.Width() + b.Height()) * px, 2 * cap_) / kInkPx;
    }

private:
    // A definition drawn whole at a scale, looking `L` levels into it (its own
    // parts at 1 and deeper, its references at L - 1): valid up to `upTo`.
    struct Known {
        Levels levels{};
        double own = 0;
        int upTo = -1;
        int deepest = 0;  // levels of nesting below the definition that were looked into
    };

    // A definition's work looked into a level deeper at a time, as long as the
    // level fits the view's budget and the estimate's steps: deeper ones count
    // as more than any budget.
    Levels Deepen(const std::function<Known(int)>& measure)
    {
        Levels w;
        w.fill(kHeavy);
        for (int upTo = 1; upTo <= kWholeDepth; ++upTo) {
            const Known k = measure(upTo);
            if (!(k.levels[upTo] < kHeavy)) break;  // the steps ran out
            for (int L = 1; L <= upTo; ++L) w[L] = k.levels[L];
            if (w[upTo] > kViewBudget) break;
            if (k.deepest < upTo) {
                // Nothing lies nested deeper: every level past it draws the same.
                for (int L = upTo + 1; L <= kWholeDepth; ++L) w[L] = w[upTo];
                break;
            }
        }
        return w;
    }

    double Attributes(const BlockReference& r, double px) const
    {
        return AttributePieces(r, px, cap_, [this](const AttributeReference& a) { return IsDrawn(a, true, frozen_); });
    }

    // What a part draws at `px`, measured once for every reference partly in
    // view that draws it at that scale.
    double SharedPart(const Entity& e, double px)
    {
        auto [at, fresh] = parts_.try_emplace(std::make_pair(&e, px), 0.0);
        if (fresh) {
            at->second = PartPieces(e, px, cap_);
            partSteps_ -= Steps(at->second);
        }
        return at->second;
    }

    // The parts of a definition one looks at: all, or only its references
    // when its own parts are drawn whatever the budget (or were measured
    // already). `take` answers false to stop; false when it did.
    template <typename F>
    static bool EachPart(const Block& def, bool own, F take)
    {
        if (own) {
            for (const Entity* e : def)
                if (!take(*e)) return false;
        } else {
            for (const BlockReference* r : def.HeldReferences())
                if (!r->IsErased() && !take(r->Holder() ? *r->Holder() : static_cast<const Entity&>(*r))) return false;
        }
        return true;
    }

    // Adds to `k` a reference `r` the definition holds, whose box is `b`
    // drawn at `px`: a dot, or its outline one level in and, deeper, itself,
    // its attributes and what its definition draws (`nested`, to `k.upTo` - 1).
    void AddNested(Known& k, const BlockReference& r, const Box& b, double px, double pxInside, const Known* nested)
    {
        if (dots_ && IsDot(b, px)) {
            for (int L = 1; L <= k.upTo; ++L) k.levels[L] += kDotWork;
            return;
        }
        if (k.upTo >= 1) k.levels[1] += Outline(b, px);
        const double attributes = 1 + Attributes(r, pxInside);
        const auto copies = static_cast<double>(r.Copies());
        for (int L = 2; L <= k.upTo; ++L) k.levels[L] += copies * (attributes + (nested ? nested->levels[L - 1] : 0));
        k.deepest = std::max(k.deepest, 1 + (nested ? nested->deepest : 0));
    }

    // A definition drawn whole at `scale`, looked into `upTo` levels; without
    // its own parts unless `own`. Its parts other than references are measured
    // once: looking deeper walks its references only.
    const Known& Definition(const Block& def, double scale, int upTo, bool own = true)
    {
        static const Known kNone{};
        static const Known kTooMuch = [] {
            Known k;
            k.levels.fill(kHeavy);
            k.levels[0] = 0;
            k.upTo = kWholeDepth;
            return k;
        }();
        const int step = ScaleStep(scale);
        Known& k = known_[{&def, step, own}];
        if (k.upTo >= upTo) return k;
        // A definition that holds itself (a damaged drawing) adds nothing more.
        if (!open_.insert(&def).second) return kNone;
        const bool first = k.upTo < 0;
        const double s = StepScale(step);
        const double px = px_ * s;
        Known fresh;
        fresh.upTo = upTo;
        fresh.own = k.own;
        --steps_;
        const bool ownPass = own && first;
        const bool done = EachPart(def, ownPass, [&](const Entity& e) {
            AddWork(1);
            --steps_;
            if (!IsDrawn(e, true, frozen_)) return steps_ >= 0;
            const BlockReference* r = e.DrawnReference();
            if (!r || (r != &e && ownPass)) {
                // Its own pieces (a dimension's besides its picture).
                const double pieces = PartPieces(e, px, cap_);
                fresh.own += pieces;
                steps_ -= Steps(pieces);
                if (!r) return steps_ >= 0;
            }
            const Block* inner = def.Document().Blocks().ByIndex(r->Data().block);
            const Known* nested = inner && upTo > 1 ? &Definition(*inner, s * ScaleOf(*r), upTo - 1) : nullptr;
            AddNested(fresh, *r, r->Extents(), px, px, nested);
            return steps_ >= 0;
        });
        open_.erase(&def);
        // Looked up again: the measures of the definitions it holds may have grown the map.
        Known& kept = known_[{&def, step, own}];
        if (!done || steps_ < 0) {
            kept = kTooMuch;
            return kept;
        }
        for (int L = 1; L <= upTo; ++L) fresh.levels[L] += fresh.own;
        kept = fresh;
        return kept;
    }

    // A definition drawn through `t` into a view that holds only part of it:
    // what lies out of view is not drawn. Past the steps of such walks, what
    // is left is measured as drawn whole, which is more.
    Known Parts(const Block& def, const Transform& t, int upTo, bool own = true)
    {
        const double scale = std::fabs(t.ScaleFactor());
        if (partSteps_ < 0) return Definition(def, scale, upTo, own);
        Known k;
        k.upTo = upTo;
        if (!open_.insert(&def).second) return k;
        const double px = px_ * StepScale(ScaleStep(scale));
        const bool done = EachPart(def, own, [&](const Entity& e) {
            AddWork(1);
            if (--partSteps_ < 0) return false;
            if (!IsDrawn(e, true, frozen_)) return true;
            const BlockReference* r = e.DrawnReference();
            if (!r || (r != &e && own)) {
                if (BoxThrough(e.Extents(), t).Intersects(view_)) k.own += SharedPart(e, px);
                if (!r) return partSteps_ >= 0;
            }
            const Box b = r->BoundsUnder(t);
            if (!b.IsEmpty() && !b.Intersects(view_)) return true;
            const Block* inner = def.Document().Blocks().ByIndex(r->Data().block);
            Known nested;
            if (inner && upTo > 1) {
                if (view_.Contains(b) || r->Copies() > 1)
                    nested = Definition(*inner, scale * ScaleOf(*r), upTo - 1);
                else
                    nested = Parts(*inner, t * r->BlockTransform(), upTo - 1);
            }
            AddNested(k, *r, b, px_, px, &nested);
            return partSteps_ >= 0;
        });
        open_.erase(&def);
        if (!done || partSteps_ < 0) return Definition(def, scale, upTo, own);
        for (int L = 1; L <= upTo; ++L) k.levels[L] += k.own;
        return k;
    }

    Box view_;
    double px_;
    bool dots_;
    const std::vector<char>& frozen_;
    double cap_;
    long& steps_;
    long partSteps_ = kPartSteps;
    std::map<std::tuple<const Block*, int, bool>, Known> known_;
    std::map<std::tuple<const Block*, int, bool>, Levels> wholes_;         // Top's, by definition, scale and own
    std::deque<Levels> partly_;                                            // Top's, of references partly in view
    absl::flat_hash_map<std::pair<const Entity*, double>, double> parts_;  // SharedPart's
    std::set<const Block*> open_;                                          // being measured
};

// ---------------------------------------------------------------- the plan

namespace {

// A view that holds everything: nothing is passed over as out of it.
Box Everywhere()
{
    constexpr double kFar = 1e300;
    return Box::FromCorners({-kFar, -kFar, 0}, {kFar, kFar, 0});
}

// The entities of a space in a view, in drawing order.
std::vector<Entity*> Shown(const SpaceView& v)
{
    if (!v.space) return {};
    if (v.view.Contains(v.space->Extents())) return {v.space->begin(), v.space->end()};
    return v.space->QueryBox(v.view);
}

}  // namespace

struct DrawPlan::Depths {
    absl::flat_hash_map<const Entity*, int> of;
};

// What the references of one or more views take of a budget they share.
class Planner {
public:
    // One claim on the budget: a reference of a space, or a viewport that
    // draws the model again (`top` null).
    struct Claim {
        std::size_t plan;
        const Entity* top;
        Weight weight;  // what of its work the budget pays for
        int depth = kWholeDepth;
    };

    // Claims of the references of `shown` in the view of `estimate`. In the
    // file (a space shown once), a definition referenced only there draws its
    // own parts as the space's entities are drawn, whatever the budget.
    static void ClaimReferences(std::vector<Claim>& claims, std::size_t plan, const std::vector<Entity*>& shown,
                                Estimate& estimate, bool file)
    {
        for (const Entity* e : shown) {
            const BlockReference* r = e->DrawnReference();
            if (!r || !IsDrawn(*e, false, estimate.Frozen())) continue;
            const Block* def = r->Document().Blocks().ByIndex(r->Data().block);
            const bool ownFree = file && def && def->References().size() == 1;
            claims.push_back(Claim{plan, r, estimate.Top(*r, ownFree)});
            // A dimension's or a table's own pieces besides its block.
            if (r != e) claims.back().weight.own = estimate.Plain(*e);
        }
    }

    // Gives each claim the deepest depth whose work fits what it may take: all
    // it draws when the claims fit together, else an equal share of the budget
    // (those that draw less take less, lightest first); a reference that draws
    // no more than an ordinary block is always drawn whole.
    static void Allocate(std::vector<Claim>& claims, double budget)
    {
        std::vector<std::pair<double, std::size_t>> order;
        order.reserve(claims.size());
        for (std::size_t i = 0; i < claims.size(); ++i) order.emplace_back(claims[i].weight.At(kWholeDepth), i);
        std::sort(order.begin(), order.end());
        double allowance = kHeavy;
        double left = budget;
        for (std::size_t k = 0; k < order.size(); ++k) {
            const double share = left / static_cast<double>(order.size() - k);
            if (!(order[k].first <= share)) {
                allowance = share;
                break;
            }
            left -= order[k].first;
        }
        for (Claim& c : claims) {
            if (c.weight.At(kWholeDepth) <= std::max(allowance, c.top ? kReferenceWork : 0.0)) continue;
            int depth = kWholeDepth;
            while (depth > 0 && !(c.weight.At(depth) <= allowance)) --depth;
            c.depth = depth;
        }
    }

    // `inside`: the references each viewport claimed for (by plan), looked
    // into one level less than it.
    static void Apply(const std::vector<Claim>& claims, std::vector<DrawPlan>& plans,
                      const std::map<std::size_t, std::vector<const Entity*>>& inside = {})
    {
        std::vector<std::shared_ptr<DrawPlan::Depths>> depths(plans.size());
        auto of = [&](std::size_t plan) -> auto&
        {
            if (!depths[plan]) depths[plan] = std::make_shared<DrawPlan::Depths>();
            return depths[plan]->of;
        };
        for (const Claim& c : claims) {
            if (c.top) {
                if (c.depth < kWholeDepth) of(c.plan)[c.top] = c.depth;
                continue;
            }
            // A viewport looked into `depth` deep: the model's own entities at
            // 1, its references one level less.
            plans[c.plan].whole_ = c.depth >= 1;
            const auto found = inside.find(c.plan);
            if (c.depth == kWholeDepth || found == inside.end()) continue;
            for (const Entity* top : found->second) of(c.plan)[top] = std::max(0, c.depth - 1);
        }
        for (std::size_t i = 0; i < plans.size(); ++i) plans[i].depths_ = std::move(depths[i]);
    }

    static DrawPlan Fresh(const SpaceView& v, bool dots)
    {
        DrawPlan p;
        p.px_ = v.pxPerUnit;
        p.dots_ = dots;
        p.frozen_ = v.frozen;
        return p;
    }

    // The plan of `shown`, the entities of one view.
    static DrawPlan One(const SpaceView& v, bool dots, const std::vector<Entity*>& shown)
    {
        std::vector<DrawPlan> plans{Fresh(v, dots)};
        long steps = kEstimateSteps;
        Estimate estimate(v, dots, steps);
        std::vector<Claim> claims;
        ClaimReferences(claims, 0, shown, estimate, true);
        Allocate(claims, kViewBudget);
        Apply(claims, plans);
        return plans[0];
    }
};

DrawPlan PlanView(const SpaceView& v)
{
    if (!(v.pxPerUnit > 0) || !std::isfinite(v.pxPerUnit)) return Planner::Fresh(v, true);
    return Planner::One(v, true, Shown(v));
}

std::vector<DrawPlan> PlanSheet(const SpaceView& paper, const std::vector<SpaceView>& viewports)
{
    std::vector<DrawPlan> plans{Planner::Fresh(paper, true)};
    for (const SpaceView& v : viewports) plans.push_back(Planner::Fresh(v, true));
    long steps = kEstimateSteps;
    std::deque<Estimate> estimates;  // the claims point into them
    std::deque<Levels> drawn;        // what each viewport other than the file draws
    std::vector<Planner::Claim> claims;
    std::map<std::size_t, std::vector<const Entity*>> inside;
    if (paper.pxPerUnit > 0 && std::isfinite(paper.pxPerUnit))
        Planner::ClaimReferences(claims, 0, Shown(paper), estimates.emplace_back(paper, true, steps), true);
    // The viewport that shows most (the first of those that show as much) is the file.
    std::size_t file = viewports.size();
    double most = -1;
    for (std::size_t i = 0; i < viewports.size(); ++i) {
        const SpaceView& v = viewports[i];
        const double area = v.view.Width() * v.view.Height() * v.pxPerUnit * v.pxPerUnit;
        if (v.pxPerUnit > 0 && std::isfinite(v.pxPerUnit) && area > most) {
            most = area;
            file = i;
        }
    }
    // What the other viewports draw of the model's own entities is measured up
    // to the budget, which they share: past it, the rest count as too much.
    // The file is weighed first: the steps the others leave do not decide it.
    if (file < viewports.size())
        Planner::ClaimReferences(claims, file + 1, Shown(viewports[file]),
                                 estimates.emplace_back(viewports[file], true, steps), true);
    double measured = 0;
    for (std::size_t i = 0; i < viewports.size(); ++i) {
        const SpaceView& v = viewports[i];
        if (i == file || !(v.pxPerUnit > 0) || !std::isfinite(v.pxPerUnit)) continue;
        Estimate& estimate = estimates.emplace_back(v, true, steps);
        const bool all = v.space && v.view.Contains(v.space->Extents());
        double plain = 0;
        std::vector<Planner::Claim> references;
        if (v.space && (!all || measured + static_cast<double>(v.space->Count()) <= kViewBudget)) {
            const std::vector<Entity*> shown = Shown(v);
            for (const Entity* e : shown) {
                if (measured + plain > kViewBudget) break;
                if (e->DrawnReference() || !IsDrawn(*e, false, v.frozen)) continue;
                plain += estimate.Plain(*e);
            }
            if (measured + plain <= kViewBudget) Planner::ClaimReferences(references, i + 1, shown, estimate, false);
        } else {
            plain = kHeavy;
        }
        measured += plain;
        Levels& levels = drawn.emplace_back();
        for (int L = 1; L <= kWholeDepth; ++L) {
            levels[static_cast<std::size_t>(L)] = measured > kViewBudget ? kHeavy : plain;
            for (const Planner::Claim& r : references) levels[static_cast<std::size_t>(L)] += r.weight.At(L - 1);
        }
        std::vector<const Entity*>& tops = inside[i + 1];
        for (const Planner::Claim& r : references) tops.push_back(r.top);
        // Drawn as an outline: the box of what it looks at.
        const double outline = v.space ? estimate.Outline(v.view, v.pxPerUnit) : 0;
        claims.push_back(Planner::Claim{i + 1, nullptr, Weight{&levels, 0, outline}});
    }
    Planner::Allocate(claims, kViewBudget);
    Planner::Apply(claims, plans, inside);
    return plans;
}

namespace {

// The states of the layers of `doc` (thawed, on), which decide what is drawn.
std::vector<bool> LayerStates(const Document& doc)
{
    std::vector<bool> states;
    for (std::uint32_t i = 0; i < doc.Layers().RecordCount(); ++i) {
        const Layer* l = doc.Layers().ByIndex(i);
        states.push_back(l && !l->Freeze());
        states.push_back(l && l->LayerOn());
    }
    return states;
}

}  // namespace

struct Document::KeptPlan {
    const Block* space;
    std::uint64_t revision, definitions;
    std::vector<bool> layers;
    Box view;
    DrawPlan plan;  // its scale and frozen layers are the view's

    bool Fits(const Document& doc, const SpaceView& v) const
    {
        return space == v.space && revision == doc.Revision() && definitions == doc.DefinitionsRevision() &&
               view.min == v.view.min && view.max == v.view.max && plan.PixelsPerUnit() == v.pxPerUnit &&
               plan.FrozenHere() == v.frozen && layers == LayerStates(doc);
    }
};

DrawPlan KeptPlanView(const Document& doc, const SpaceView& v)
{
    if (const auto& kept = doc.PlanKept(); kept && kept->Fits(doc, v)) return kept->plan;
    return DrawPlan::Deferred(
        v.pxPerUnit,
        [&doc, v] {
            DrawPlan plan = PlanView(v);
            doc.PlanKept() = std::make_shared<Document::KeptPlan>(
                Document::KeptPlan{v.space, doc.Revision(), doc.DefinitionsRevision(), LayerStates(doc), v.view, plan});
            return plan;
        },
        v.frozen);
}

DrawPlan PlanAlone(const Entity& e)
{
    if (!e.DrawnReference()) return DrawPlan{};
    // Outside a view nothing has a size on screen: the parts count, not their length.
    SpaceView v;
    v.view = Everywhere();
    v.pxPerUnit = 1e-300;
    return Planner::One(v, false, {const_cast<Entity*>(&e)});
}

DrawPlan DrawPlan::Deferred(double pxPerUnit, std::function<DrawPlan()> make, std::vector<char> frozenHere)
{
    DrawPlan plan;
    plan.px_ = pxPerUnit;
    plan.frozen_ = std::move(frozenHere);
    plan.dots_ = true;
    plan.make_ = std::move(make);
    return plan;
}

bool DrawPlan::Ordinary(const BlockReference& r) const
{
    if (dots_ && acad::IsDot(r.Extents(), px_)) return true;  // a dot, or seen through as an ordinary block
    const Block* def = r.Document().Blocks().ByIndex(r.Data().block);
    const double attributes =
        AttributePieces(r, px_, kUncapped, [this](const AttributeReference& a) { return IsDrawn(a, true, frozen_); });
    return (1 + attributes + (def ? DrawnWork(*def, px_ * ScaleOf(r)) : 0)) * static_cast<double>(r.Copies()) <=
           kReferenceWork;
}

int DrawPlan::DepthOf(const Entity& top) const
{
    // A dimension or a table is looked into as the reference it draws through.
    const BlockReference* r = top.DrawnReference();
    if (make_) {
        // An ordinary reference is drawn whole whatever the plan: the view is
        // weighed only once a heavier one is met.
        if (!r || Ordinary(*r)) return kWholeDepth;
        const std::function<DrawPlan()> make = std::move(make_);
        make_ = nullptr;
        depths_ = make().depths_;
    }
    if (!depths_) return kWholeDepth;
    const auto found = depths_->of.find(r ? static_cast<const Entity*>(r) : &top);
    return found == depths_->of.end() ? kWholeDepth : found->second;
}

// ---------------------------------------------------------------- walking under a plan

bool SeenThroughDot(const BlockReference& r)
{
    const Block* def = r.Document().Blocks().ByIndex(r.Data().block);
    return !def || def->DrawnPieces() * static_cast<double>(r.Copies()) <= kReferenceWork;
}

namespace {
std::array<Point3d, 4> Corners(const Box& b)
{
    return {b.min, {b.max.x, b.min.y, b.min.z}, b.max, {b.min.x, b.max.y, b.max.z}};
}
}  // namespace

void EmitOutline(GeometrySink& sink, const Box& box)
{
    const std::array<Point3d, 4> c = Corners(box);
    for (std::size_t k = 0; k < 4; ++k) sink.Segment(c[k], c[(k + 1) % 4]);
}

std::vector<char> FrozenIn(const PViewport& vp)
{
    std::vector<char> frozen(vp.Document().Layers().RecordCount(), 0);
    for (std::uint32_t i : vp.Data().frozenLayers)
        if (i < frozen.size()) frozen[i] = 1;
    return frozen;
}

PlannedSink::PlannedSink(const DrawPlan& plan, int limit, int depth)
    : plan_(plan), limit_(std::min(limit, kWholeDepth)), depth_(depth)
{
}

void PlannedSink::Show(int limit)
{
    limit_ = std::min(limit, kWholeDepth);
    depth_ = 0;
}

bool PlannedSink::BeginNested(const Entity& e)
{
    AddWork(1);
    if (!IsDrawn(e, true, plan_.FrozenHere())) return false;
    ++depth_;
    return true;
}

void PlannedSink::EndNested(const Entity&) { --depth_; }

bool PlannedSink::BeginReference(const BlockReference& r, const Transform& t)
{
    const Box b = r.BoundsUnder(t);
    if (!Wants(b)) return false;
    if (plan_.IsDot(b) && !SeenThroughDot(r)) {
        // Drawn as a dot, which covers its box.
        Point(b.Center());
        const std::array<Point3d, 4> c = Corners(b);
        Fill({c.begin(), c.end()});
        return false;
    }
    if (depth_ < limit_) return true;
    if (!b.IsEmpty()) EmitOutline(*this, b);
    return false;
}

void PlannedSink::Point(const Point3d& p)
{
    AddWork(1);
    OnPoint(p);
}

void PlannedSink::Segment(const Point3d& a, const Point3d& b)
{
    AddWork(1);
    OnSegment(a, b);
}

void PlannedSink::Arc(const CircularArc& a)
{
    AddWork(1);
    OnArc(a);
}

void PlannedSink::Text(const TextPrimitive& t)
{
    AddWork(1);
    OnText(t);
}

void PlannedSink::Fill(const std::vector<Point3d>& ring)
{
    AddWork(ring.size());
    OnFill(ring);
}

void PlannedSink::Ray(const Point3d& base, const Vector3d& direction, bool bothWays)
{
    AddWork(1);
    OnRay(base, direction, bothWays);
}

void PlannedSink::OnRay(const Point3d& base, const Vector3d& direction, bool bothWays)
{
    GeometrySink::Ray(base, direction, bothWays);  // the piece in reach, as a segment
}

bool PlannedSink::WantsCopy(const BlockReference& r, const Box& box)
{
    AddWork(1);
    if (!Wants(box)) return false;
    if (plan_.IsDot(box) && !SeenThroughDot(r)) {
        // A copy drawn as a dot, which covers its box.
        Point(box.Center());
        const std::array<Point3d, 4> c = Corners(box);
        Fill({c.begin(), c.end()});
        return false;
    }
    return true;
}

}  // namespace acad
