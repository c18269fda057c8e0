#include "platform/acad/HitTest.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <utility>

#include "platform/acad/Block.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/View.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/Entity.h"
#include "platform/acad/TextEntities.h"

namespace acad {

bool IsShown(const Entity& e)
{
    if (!e.Visible()) return false;
    const Layer* layer = e.Document().Layers().ByIndex(e.LayerIndex());
    return !layer || (layer->LayerOn() && !layer->Freeze());
}


namespace {

double Tol(const Point3d& p) { return 1e-9 + 1e-12 * std::max(std::fabs(p.x), std::fabs(p.y)); }

// Does the closed polygon `ring` touch the box (edge crossing, or one inside the other)?
bool RingTouchesBox(const std::vector<Point3d>& ring, const Box& box)
{
    if (ring.empty()) return false;
    const Box grown = box.Expanded(Tol(box.min));
    for (const auto& p : ring)
        if (grown.Contains(p)) return true;
    for (std::size_t i = 0; i < ring.size(); ++i)
        if (SegmentIntersectsBox(ring[i], ring[(i + 1) % ring.size()], box)) return true;
    return PointInPolygon(box.Center(), ring);
}

bool RingTouchesPolygon(const std::vector<Point3d>& ring, const std::vector<Point3d>& poly)
{
    for (const auto& p : ring)
        if (PointInPolygon(p, poly)) return true;
    for (const auto& p : poly)
        if (PointInPolygon(p, ring)) return true;
    for (std::size_t i = 0; i < ring.size(); ++i)
        for (std::size_t j = 0; j < poly.size(); ++j)
            if (SegmentsIntersect(ring[i], ring[(i + 1) % ring.size()], poly[j], poly[(j + 1) % poly.size()]))
                return true;
    return false;
}

bool SegmentTouchesPolygon(const Point3d& a, const Point3d& b, const std::vector<Point3d>& poly)
{
    if (PointInPolygon(a, poly) || PointInPolygon(b, poly)) return true;
    for (std::size_t j = 0; j < poly.size(); ++j)
        if (SegmentsIntersect(a, b, poly[j], poly[(j + 1) % poly.size()])) return true;
    return false;
}

std::vector<Point3d> TextRing(const TextPrimitive& t)
{
    return {t.corners[0], t.corners[1], t.corners[2], t.corners[3]};
}

// Points along an arc, for the tests that have no exact arc form.
std::vector<Point3d> ArcPoints(const CircularArc& a)
{
    const double sweep = a.Sweep();
    const int n = std::max(8, static_cast<int>(std::ceil(sweep / (kPi / 64))));
    std::vector<Point3d> pts;
    for (int k = 0; k <= n; ++k) pts.push_back(a.PointAt(a.startAngle + sweep * k / n));
    return pts;
}

// Distance in the XY plane from `p` to the box (0 inside).
double BoxDistance(const Box& b, const Point3d& p)
{
    if (b.IsEmpty()) return std::numeric_limits<double>::infinity();
    return std::hypot(std::max({b.min.x - p.x, 0.0, p.x - b.max.x}), std::max({b.min.y - p.y, 0.0, p.y - b.max.y}));
}

Box BoxOf(const std::vector<Point3d>& pts)
{
    Box b;
    for (const auto& p : pts) b.Add(p);
    return b;
}

std::uint64_t g_work = 0;

// Base of the sinks below: looks into references as deep as the plan of the
// view says, and takes the outline of the box of one nested deeper, as the
// window draws it. Counts the nested parts it is shown.
class Planned : public GeometrySink {
public:
    // `limit`: how deep the window looks (DrawPlan::DepthOf); `depth`: how deep
    // the entity the sink is shown lies.
    Planned(int limit, int depth) : limit_(limit), depth_(depth) {}
    bool BeginNested(const Entity& e) override
    {
        ++g_work;
        if (!IsShown(e)) return false;
        ++depth_;
        return true;
    }
    void EndNested(const Entity&) override { --depth_; }

protected:
    // Whether the reference whose box is `bounds` may be looked into; when not,
    // its outline has been taken instead.
    bool LookInto(const Box& bounds)
    {
        if (depth_ < limit_) return true;
        if (bounds.IsEmpty()) return false;
        const Point3d c[4] = {bounds.min,
                              {bounds.max.x, bounds.min.y, bounds.min.z},
                              bounds.max,
                              {bounds.min.x, bounds.max.y, bounds.max.z}};
        for (int k = 0; k < 4; ++k) Segment(c[k], c[(k + 1) % 4]);
        return false;
    }

private:
    int limit_;
    int depth_;
};

// Base of the probes below: answers once, then ignores the rest. A reference is
// looked into only while the answer is open and its box reaches `reach`; for a
// window, one wholly outside fails it and (box windows) one wholly inside passes.
class Probe : public Planned {
public:
    enum class Kind { Crossing, WindowBox, WindowShape };
    Probe(Kind kind, const Box& reach, int limit)
        : Planned(limit, 0), kind_(kind), reach_(reach.Expanded(Tol(reach.min)))
    {
        hit = kind != Kind::Crossing;
    }
    bool BeginReference(const BlockReference& r, const Transform& t) override
    {
        if (hit == (kind_ == Kind::Crossing)) return false;
        const Box b = r.BoundsUnder(t);
        if (!b.Intersects(reach_)) {
            if (kind_ != Kind::Crossing) hit = false;
            return false;
        }
        if (kind_ == Kind::WindowBox && reach_.Contains(b)) {
            any = true;
            return false;
        }
        return LookInto(b);
    }
    bool hit = false;
    bool any = false;

private:
    Kind kind_;
    Box reach_;
};

class CrossBoxProbe : public Probe {
public:
    CrossBoxProbe(const Box& b, int limit) : Probe(Kind::Crossing, b, limit), box_(b), grown_(b.Expanded(Tol(b.min))) {}
    void Point(const Point3d& p) override { hit = hit || grown_.Contains(p); }
    void Segment(const Point3d& a, const Point3d& b) override { hit = hit || SegmentIntersectsBox(a, b, box_); }
    void Arc(const CircularArc& a) override { hit = hit || ArcIntersectsBox(a, box_); }
    void Text(const TextPrimitive& t) override { hit = hit || RingTouchesBox(TextRing(t), box_); }
    void Fill(const std::vector<Point3d>& ring) override { hit = hit || RingTouchesBox(ring, box_); }
    // A part must come within the tolerance of its own ends (at most twice the box's).
    Box Reach() const override { return box_.Expanded(4 * std::max(Tol(box_.min), Tol(box_.max))); }

private:
    Box box_, grown_;
};

class InsideBoxProbe : public Probe {
public:
    InsideBoxProbe(const Box& b, int limit) : Probe(Kind::WindowBox, b, limit), box_(b.Expanded(Tol(b.min))) {}
    void Point(const Point3d& p) override { Take(box_.Contains(p)); }
    void Segment(const Point3d& a, const Point3d& b) override { Take(box_.Contains(a) && box_.Contains(b)); }
    void Arc(const CircularArc& a) override { Take(box_.Contains(a.Extents())); }
    void Text(const TextPrimitive& t) override
    {
        for (const auto& c : t.corners) Take(box_.Contains(c));
    }
    void Fill(const std::vector<Point3d>& ring) override
    {
        for (const auto& p : ring) Take(box_.Contains(p));
    }

private:
    void Take(bool inside)
    {
        any = true;
        hit = hit && inside;
    }
    Box box_;
};

class CrossPolygonProbe : public Probe {
public:
    CrossPolygonProbe(const std::vector<Point3d>& poly, int limit)
        : Probe(Kind::Crossing, BoxOf(poly), limit), poly_(poly)
    {
    }
    void Point(const Point3d& p) override { hit = hit || PointInPolygon(p, poly_); }
    void Segment(const Point3d& a, const Point3d& b) override { hit = hit || SegmentTouchesPolygon(a, b, poly_); }
    void Arc(const CircularArc& a) override
    {
        if (hit) return;
        if (PointInPolygon(a.StartPoint(), poly_) || PointInPolygon(a.EndPoint(), poly_)) {
            hit = true;
            return;
        }
        for (std::size_t j = 0; j < poly_.size() && !hit; ++j)
            hit = ArcIntersectsSegment(a, poly_[j], poly_[(j + 1) % poly_.size()]);
    }
    void Text(const TextPrimitive& t) override { hit = hit || RingTouchesPolygon(TextRing(t), poly_); }
    void Fill(const std::vector<Point3d>& ring) override { hit = hit || RingTouchesPolygon(ring, poly_); }

private:
    const std::vector<Point3d>& poly_;
};

class InsidePolygonProbe : public Probe {
public:
    InsidePolygonProbe(const std::vector<Point3d>& poly, int limit)
        : Probe(Kind::WindowShape, BoxOf(poly), limit), poly_(poly)
    {
    }
    void Point(const Point3d& p) override { Take(PointInPolygon(p, poly_)); }
    void Segment(const Point3d& a, const Point3d& b) override { TakeChain({a, Midpoint(a, b), b}); }
    void Arc(const CircularArc& a) override { TakeChain(ArcPoints(a)); }
    void Text(const TextPrimitive& t) override { TakeChain(TextRing(t)); }
    void Fill(const std::vector<Point3d>& ring) override { TakeChain(ring); }

private:
    void Take(bool inside)
    {
        any = true;
        hit = hit && inside;
    }
    void TakeChain(const std::vector<Point3d>& pts)
    {
        for (const auto& p : pts) Take(PointInPolygon(p, poly_));
    }
    const std::vector<Point3d>& poly_;
};

class FenceProbe : public Probe {
public:
    FenceProbe(const std::vector<Point3d>& fence, int limit) : Probe(Kind::Crossing, BoxOf(fence), limit), fence_(fence)
    {
    }
    void Point(const Point3d& p) override
    {
        for (std::size_t i = 0; i + 1 < fence_.size() && !hit; ++i)
            hit = DistancePointSegment(p, fence_[i], fence_[i + 1]) <= Tol(p);
    }
    void Segment(const Point3d& a, const Point3d& b) override
    {
        for (std::size_t i = 0; i + 1 < fence_.size() && !hit; ++i)
            hit = SegmentsIntersect(a, b, fence_[i], fence_[i + 1]);
    }
    void Arc(const CircularArc& a) override
    {
        for (std::size_t i = 0; i + 1 < fence_.size() && !hit; ++i)
            hit = ArcIntersectsSegment(a, fence_[i], fence_[i + 1]);
    }
    void Text(const TextPrimitive& t) override { Ring(TextRing(t)); }
    void Fill(const std::vector<Point3d>& ring) override { Ring(ring); }

private:
    void Ring(const std::vector<Point3d>& ring)
    {
        for (std::size_t i = 0; i + 1 < fence_.size() && !hit; ++i) {
            if (PointInPolygon(fence_[i], ring) || PointInPolygon(fence_[i + 1], ring)) hit = true;
            for (std::size_t j = 0; j < ring.size() && !hit; ++j)
                hit = SegmentsIntersect(fence_[i], fence_[i + 1], ring[j], ring[(j + 1) % ring.size()]);
        }
    }
    const std::vector<Point3d>& fence_;
};

class DistanceProbe : public Planned {
public:
    DistanceProbe(const Point3d& p, double within, int limit, int depth) : Planned(limit, depth), p_(p), within_(within)
    {
    }
    // Only a reference whose box is nearer than the nearest part so far may hold a nearer one.
    bool BeginReference(const BlockReference& r, const Transform& t) override
    {
        const Box b = r.BoundsUnder(t);
        const double d = BoxDistance(b, p_);
        return d < best && d <= within_ && LookInto(b);
    }
    void Point(const Point3d& q) override { Take(Distance2d(p_, q)); }
    void Segment(const Point3d& a, const Point3d& b) override { Take(DistancePointSegment(p_, a, b)); }
    void Arc(const CircularArc& a) override { Take(DistancePointArc(p_, a)); }
    void Text(const TextPrimitive& t) override { Ring(TextRing(t)); }
    void Fill(const std::vector<Point3d>& ring) override { Ring(ring); }
    double best = std::numeric_limits<double>::infinity();

private:
    void Ring(const std::vector<Point3d>& ring)
    {
        if (PointInPolygon(p_, ring)) {
            Take(0.0);
            return;
        }
        for (std::size_t i = 0; i < ring.size(); ++i)
            Take(DistancePointSegment(p_, ring[i], ring[(i + 1) % ring.size()]));
    }
    void Take(double d) { best = std::min(best, d); }
    Point3d p_;
    double within_;
};

class EndpointProbe : public Planned {
public:
    EndpointProbe(const Point3d& p, double tol, int limit) : Planned(limit, 0), p_(p), tol_(tol) {}
    bool BeginReference(const BlockReference& r, const Transform& t) override
    {
        const Box b = r.BoundsUnder(t);
        return BoxDistance(b, p_) <= (best ? bestD_ : tol_) && LookInto(b);
    }
    void Point(const Point3d& q) override { Take(q); }
    void Segment(const Point3d& a, const Point3d& b) override
    {
        Take(a);
        Take(b);
    }
    void Arc(const CircularArc& a) override
    {
        if (a.IsFullCircle()) return;
        Take(a.StartPoint());
        Take(a.EndPoint());
    }
    void Text(const TextPrimitive&) override {}
    std::optional<Point3d> best;

private:
    void Take(const Point3d& q)
    {
        double d = Distance2d(p_, q);
        if (d <= tol_ && (!best || d < bestD_)) {
            best = q;
            bestD_ = d;
        }
    }
    Point3d p_;
    double tol_;
    double bestD_ = 0;
};

bool Drawn(const Entity& e) { return !e.IsErased() && e.Visible(); }

// `depth`: how deep `e` lies under the entity of the space.
double DistanceThrough(const Entity& e, const Transform& t, const Point3d& p, double within, int limit, int depth)
{
    DistanceProbe probe(p, within, limit, depth);
    e.Emit(probe, t);
    return probe.best;
}

}  // namespace

bool CrossesBox(const Entity& e, const Box& box) { return CrossesBox(e, box, PlanAlone(e)); }
bool InsideBox(const Entity& e, const Box& box) { return InsideBox(e, box, PlanAlone(e)); }
bool CrossesPolygon(const Entity& e, const std::vector<Point3d>& polygon)
{
    return CrossesPolygon(e, polygon, PlanAlone(e));
}
bool InsidePolygon(const Entity& e, const std::vector<Point3d>& polygon)
{
    return InsidePolygon(e, polygon, PlanAlone(e));
}
bool CrossesFence(const Entity& e, const std::vector<Point3d>& fence) { return CrossesFence(e, fence, PlanAlone(e)); }
double DistanceTo(const Entity& e, const Point3d& p, double within) { return DistanceTo(e, p, within, PlanAlone(e)); }
std::optional<NestedPick> PickNested(Entity& top, const Point3d& p, double tolerance)
{
    return PickNested(top, p, tolerance, PlanAlone(top));
}

bool CrossesBox(const Entity& e, const Box& box, const DrawPlan& plan)
{
    if (!Drawn(e) || box.IsEmpty() || !e.Extents().Expanded(Tol(box.min)).Intersects(box)) return false;
    CrossBoxProbe probe(box, plan.DepthOf(e));
    e.Emit(probe, Transform());
    return probe.hit;
}

bool InsideBox(const Entity& e, const Box& box, const DrawPlan& plan)
{
    if (!Drawn(e) || box.IsEmpty()) return false;
    InsideBoxProbe probe(box, plan.DepthOf(e));
    e.Emit(probe, Transform());
    return probe.any && probe.hit;
}

bool CrossesPolygon(const Entity& e, const std::vector<Point3d>& polygon, const DrawPlan& plan)
{
    if (!Drawn(e) || polygon.size() < 3) return false;
    if (const Box pb = BoxOf(polygon); !e.Extents().Expanded(Tol(pb.min)).Intersects(pb)) return false;
    CrossPolygonProbe probe(polygon, plan.DepthOf(e));
    e.Emit(probe, Transform());
    return probe.hit;
}

bool InsidePolygon(const Entity& e, const std::vector<Point3d>& polygon, const DrawPlan& plan)
{
    if (!Drawn(e) || polygon.size() < 3) return false;
    InsidePolygonProbe probe(polygon, plan.DepthOf(e));
    e.Emit(probe, Transform());
    return probe.any && probe.hit;
}

bool CrossesFence(const Entity& e, const std::vector<Point3d>& fence, const DrawPlan& plan)
{
    if (!Drawn(e) || fence.size() < 2) return false;
    if (const Box fb = BoxOf(fence); !e.Extents().Expanded(Tol(fb.min)).Intersects(fb)) return false;
    FenceProbe probe(fence, plan.DepthOf(e));
    e.Emit(probe, Transform());
    return probe.hit;
}

double DistanceTo(const Entity& e, const Point3d& p, double within, const DrawPlan& plan)
{
    if (!Drawn(e)) return std::numeric_limits<double>::infinity();
    return DistanceThrough(e, Transform(), p, within, plan.DepthOf(e), 0);
}

std::optional<NestedPick> PickNested(Entity& top, const Point3d& p, double tolerance, const DrawPlan& plan)
{
    if (!Drawn(top)) return std::nullopt;
    auto* ref = dynamic_cast<BlockReference*>(&top);
    if (!ref) {
        if (DistanceTo(top, p, tolerance, plan) <= tolerance) return NestedPick{&top, {}, Transform()};
        return std::nullopt;
    }
    const int limit = plan.DepthOf(top);
    // Attributes (drawn over the block) come first.
    for (AttributeReference* a : ref->GetAttributes())
        if (Drawn(*a) && !a->Invisible() && DistanceThrough(*a, Transform(), p, tolerance, limit, 1) <= tolerance)
            return NestedPick{a, {&top}, Transform()};
    // Then the nearest entity of the definition, looking into nested references
    // as deep as the window draws them.
    NestedPick pick;
    pick.containers.push_back(&top);
    Transform t = ref->BlockTransform();
    const Block* def = &ref->Block();
    for (int depth = 1; depth < kWholeDepth; ++depth) {
        Entity* best = nullptr;
        double bestD = tolerance;
        for (Entity* e : *def) {
            if (!e->Visible() || dynamic_cast<AttributeDefinition*>(e)) continue;
            const double d = DistanceThrough(*e, t, p, bestD, limit, depth);
            if (d <= bestD) {
                best = e;
                bestD = d;
            }
        }
        if (!best) return std::nullopt;
        auto* inner = dynamic_cast<BlockReference*>(best);
        if (!inner || depth >= limit) {
            pick.entity = best;
            pick.toWorld = t;
            return pick;
        }
        // Attributes of a nested reference live in the outer definition's space.
        for (AttributeReference* a : inner->GetAttributes())
            if (Drawn(*a) && !a->Invisible() && DistanceThrough(*a, t, p, tolerance, limit, depth + 1) <= tolerance) {
                pick.containers.push_back(inner);
                pick.entity = a;
                pick.toWorld = t;
                return pick;
            }
        pick.containers.push_back(inner);
        t = t * inner->BlockTransform();
        def = &inner->Block();
    }
    return std::nullopt;
}

std::optional<Point3d> NearestEndpoint(const Entity& e, const Point3d& p, double tolerance)
{
    if (!Drawn(e)) return std::nullopt;
    EndpointProbe probe(p, tolerance, PlanAlone(e).DepthOf(e));
    e.Emit(probe, Transform());
    return probe.best;
}

std::uint64_t HitTestWork() { return g_work; }

int ArcChords(double radiusPx, double sweep, double tolerancePx)
{
    const double step = 2.0 * std::acos(std::max(-1.0, 1.0 - tolerancePx / radiusPx));
    return std::clamp(static_cast<int>(std::ceil(sweep / std::max(step, 1e-9))), 2, 4096);
}

namespace {

// Work of what a view draws: parts, pieces and their length; the chords of
// arcs apart.
struct Work {
    double fixed = 0;
    double chords = 0;
    Work& operator+=(const Work& w)
    {
        fixed += w.fixed;
        chords += w.chords;
        return *this;
    }
};
// The work of a reference for each depth it may be looked into (0: its outline).
using Levels = std::array<Work, kWholeDepth + 1>;

// Steps of a view's estimate spent on references partly in view; past them
// they count as wholly in view (more than they draw).
constexpr long kEstimateSteps = 100000;
// Pixels of line that take as long to paint as one part or piece: large
// geometry on screen costs by its length, not by its count.
constexpr double kInkPx = 16.0;

double Chords(double radiusPx, double sweep)
{
    if (!(radiusPx >= kDotPx / 2) || !std::isfinite(radiusPx)) return 0.0;
    return ArcChords(radiusPx, sweep);
}

double ScaleOf(const BlockReference& r)
{
    const BlockReferenceData& d = r.Data();
    return std::max(std::fabs(d.xScale), std::fabs(d.yScale));
}

}  // namespace

// What a view draws, estimated as the window draws it: references out of view
// are passed over, those smaller than a dot are a dot, arcs are chords.
class ViewEstimate {
public:
    // `dots`: whether references smaller than a dot are drawn as one.
    ViewEstimate(const Box& view, double pxPerUnit, bool dots)
        : view_(view),
          px_(pxPerUnit),
          dotPx_(dots ? kDotPx : 0),
          diagPx_(std::hypot(view.Width(), view.Height()) * pxPerUnit)
    {
    }

    Levels Reference(const BlockReference& r, const Transform& t, int depth)
    {
        const Box b = r.BoundsUnder(t);
        Levels lv{};
        if (!b.IsEmpty() && !b.Intersects(view_)) return lv;
        if (!b.IsEmpty() && std::max(b.Width(), b.Height()) * px_ < dotPx_) {
            lv.fill(Work{1, 0});
            return lv;
        }
        const Block* def = r.Document().Blocks().ByIndex(r.Data().block);
        const Transform inner = t * r.BlockTransform();
        if (def && depth < kWholeDepth) {
            steps_ -= static_cast<long>(def->Count());
            if (view_.Contains(b) || steps_ < 0)
                lv = Definition(*def, std::fabs(t.ScaleFactor()) * ScaleOf(r), depth + 1);
            else
                lv = Parts(*def, inner, std::fabs(inner.ScaleFactor()), depth + 1);
        }
        const Work attributes{1 + AttributesOf(r), 0};
        for (int L = 1; L <= kWholeDepth; ++L) lv[static_cast<std::size_t>(L)] += attributes;
        lv[0] = Outline(b, 1.0);
        return lv;
    }

    Work Plain(const Entity& e, double scale) const
    {
        if (const auto* c = dynamic_cast<const Circle*>(&e)) return Curve(c->Radius() * scale * px_, kTwoPi);
        if (const auto* a = dynamic_cast<const Arc*>(&e)) return Curve(a->Radius() * scale * px_, a->TotalAngle());
        if (const auto* l = dynamic_cast<const Line*>(&e))
            return {2 + Ink(Distance2d(l->StartPoint(), l->EndPoint()) * scale * px_), 0};
        if (const auto* l = dynamic_cast<const LWPolyline*>(&e)) return {1.0 + l->NumberOfVertices(), 0};
        if (dynamic_cast<const TextBase*>(&e)) return {5, 0};
        return {2, 0};
    }

    // Whether a reference draws no more than an ordinary block (past its own
    // parts) in any view: drawn whole in every plan.
    bool Light(const BlockReference& r)
    {
        const Block* def = r.Document().Blocks().ByIndex(r.Data().block);
        if (!def) return true;
        const double scale = ScaleOf(r);
        auto found = light_.find({def, scale});
        if (found == light_.end()) {
            const Work& whole = Definition(*def, scale, 1)[kWholeDepth];
            const double nested = whole.fixed + whole.chords - Own(r) + AttributesOf(r);
            found = light_.emplace(std::make_pair(def, scale), nested <= kReferenceWork).first;
        }
        return found->second;
    }

    // The work of what a reference of the space draws itself (its definition's
    // own parts and its attributes): drawn whatever the budget, as the
    // space's own entities are.
    double Own(const BlockReference& r)
    {
        const double own = AttributesOf(r);
        const Block* def = r.Document().Blocks().ByIndex(r.Data().block);
        if (!def) return own;
        const double scale = ScaleOf(r);
        auto found = own_.find({def, scale});
        if (found == own_.end()) {
            double parts = 0;
            for (const Entity* e : *def) {
                if (!e->Visible() || dynamic_cast<const BlockReference*>(e) ||
                    dynamic_cast<const AttributeDefinition*>(e))
                    continue;
                const Work w = Plain(*e, scale);
                parts += w.fixed + w.chords;
            }
            found = own_.emplace(std::make_pair(def, scale), parts).first;
        }
        return own + found->second;
    }

private:
    static double AttributesOf(const BlockReference& r)
    {
        double work = 0;
        for (const AttributeReference* a : r.GetAttributes())
            if (!a->IsErased() && a->Visible()) work += 5;
        return work;
    }
    // Painting a line `px` long, of which no more than the view's diagonal shows.
    double Ink(double px) const { return std::min(px, 2 * diagPx_) / kInkPx; }
    Work Curve(double radiusPx, double sweep) const { return {1 + Ink(radiusPx * sweep), Chords(radiusPx, sweep)}; }
    // The outline of `box` drawn at `scale`.
    Work Outline(const Box& box, double scale) const
    {
        return {5 + Ink(2 * (box.Width() + box.Height()) * scale * px_), 0};
    }

    // A definition wholly in view at `scale`, its parts `depth` deep; the same
    // for every reference that draws it so.
    const Levels& Definition(const Block& def, double scale, int depth)
    {
        auto found = known_.find({&def, scale});
        if (found != known_.end()) return found->second;
        static const Levels kNone{};
        // A definition that holds itself (a damaged drawing) adds nothing more.
        if (!open_.insert(&def).second) return kNone;
        Levels lv{};
        const Box b = def.DrawnExtents();
        if (!b.IsEmpty() && std::max(b.Width(), b.Height()) * scale * px_ < dotPx_)
            lv.fill(Work{1, 0});
        else
            lv = Parts(def, std::nullopt, scale, depth);
        open_.erase(&def);
        return known_.emplace(std::make_pair(&def, scale), lv).first->second;
    }

    // The parts of a definition drawn through `t` (none: wholly in view).
    Levels Parts(const Block& def, const std::optional<Transform>& t, double scale, int depth)
    {
        Levels lv{};
        Work flat{1, 0};
        for (const Entity* e : def) {
            if (!e->Visible()) continue;
            if (const auto* ad = dynamic_cast<const AttributeDefinition*>(e)) {
                if (ad->Constant() && !ad->Invisible()) flat.fixed += 5;
                continue;
            }
            const auto* r = dynamic_cast<const BlockReference*>(e);
            if (!r) {
                flat += Plain(*e, scale);
                continue;
            }
            if (depth >= kWholeDepth) continue;
            const Levels* nested = nullptr;
            Levels partly;
            if (t) {
                partly = Reference(*r, *t, depth);
                nested = &partly;
            } else {
                const Block* inner = def.Document().Blocks().ByIndex(r->Data().block);
                if (!inner) continue;
                nested = &Definition(*inner, scale * ScaleOf(*r), depth + 1);
                const Work attributes{AttributesOf(*r), 0};
                for (int L = 1; L <= kWholeDepth; ++L) lv[static_cast<std::size_t>(L)] += attributes;
            }
            for (int L = 1; L <= kWholeDepth; ++L)
                lv[static_cast<std::size_t>(L)] += (*nested)[static_cast<std::size_t>(L - 1)];
        }
        for (int L = 1; L <= kWholeDepth; ++L) lv[static_cast<std::size_t>(L)] += flat;
        lv[0] = Outline(def.DrawnExtents(), scale);
        return lv;
    }

    Box view_;
    double px_;
    double dotPx_;
    double diagPx_;
    long steps_ = kEstimateSteps;
    std::map<std::pair<const Block*, double>, Levels> known_;
    std::set<const Block*> open_;  // being measured
    std::map<std::pair<const Block*, double>, double> own_;
    std::map<std::pair<const Block*, double>, bool> light_;
};

DrawPlan PlanView(const std::vector<Entity*>& shown, const Box& view, double pxPerUnit, bool dots)
{
    DrawPlan plan;
    if (!(pxPerUnit > 0) || !std::isfinite(pxPerUnit)) return plan;
    ViewEstimate estimate(view, pxPerUnit, dots);
    // A reference's own parts are drawn whatever the budget (a large external
    // reference of plain geometry is drawn whole, as the same geometry in the
    // space would be); the budget bounds what its nested references draw.
    struct Shown {
        const Entity* e;
        Levels levels;
        double own;
        double Budgeted(int depth) const
        {
            const Work& w = levels[static_cast<std::size_t>(depth)];
            return depth == 0 ? w.fixed + w.chords : std::max(0.0, w.fixed + w.chords - own);
        }
    };
    std::vector<Shown> references;
    for (const Entity* e : shown) {
        if (!e->Visible()) continue;
        if (const auto* r = dynamic_cast<const BlockReference*>(e))
            references.push_back(Shown{e, estimate.Reference(*r, Transform(), 0), estimate.Own(*r)});
    }
    // What each reference may take: all it draws when they fit together, else
    // an equal share of the budget (those that draw less take less), never
    // less than an ordinary block draws.
    std::vector<double> whole;
    whole.reserve(references.size());
    for (const Shown& r : references) whole.push_back(r.Budgeted(kWholeDepth));
    std::sort(whole.begin(), whole.end());
    double allowance = std::numeric_limits<double>::infinity();
    double left = kViewBudget;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        const double share = left / static_cast<double>(whole.size() - i);
        if (whole[i] > share) {
            allowance = std::max(share, kReferenceWork);
            break;
        }
        left -= whole[i];
    }
    for (const Shown& r : references) {
        int depth = kWholeDepth;
        while (depth > 0 && r.Budgeted(depth) > allowance) --depth;
        if (depth < kWholeDepth) plan.depths_.emplace(r.e, depth);
    }
    return plan;
}

namespace {

// A view that holds everything: nothing is passed over as out of it.
Box Everywhere()
{
    constexpr double kFar = 1e300;
    return Box::FromCorners({-kFar, -kFar, 0}, {kFar, kFar, 0});
}

}  // namespace

DrawPlan DrawPlan::Deferred(double pxPerUnit, std::function<DrawPlan()> make)
{
    DrawPlan plan;
    plan.make_ = std::move(make);
    plan.light_ = std::make_shared<ViewEstimate>(Everywhere(), pxPerUnit, false);
    return plan;
}

int DrawPlan::DepthOf(const Entity& top) const
{
    if (make_) {
        const auto* r = dynamic_cast<const BlockReference*>(&top);
        if (!r || light_->Light(*r)) return kWholeDepth;
        const std::function<DrawPlan()> make = std::move(make_);
        make_ = nullptr;
        depths_ = make().depths_;
    }
    const auto found = depths_.find(&top);
    return found == depths_.end() ? kWholeDepth : found->second;
}

DrawPlan PlanAlone(const Entity& e)
{
    if (!dynamic_cast<const BlockReference*>(&e)) return DrawPlan{};
    // Outside a view nothing has a size on screen: the parts count, not their length.
    const std::vector<Entity*> one{const_cast<Entity*>(&e)};
    return PlanView(one, Everywhere(), 1e-300, false);
}

}  // namespace acad
