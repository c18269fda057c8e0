#include "platform/acad/HitTest.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/Entity.h"
#include "platform/acad/KeptDefinition.h"
#include "platform/acad/TextEntities.h"

namespace acad {

bool IsShown(const Entity& e) { return IsDrawn(e, false); }


namespace {

// Does the closed polygon `ring` touch the box (edge crossing, or one inside the other)?
bool RingTouchesBox(const std::vector<Point3d>& ring, const Box& box)
{
    if (ring.empty()) return false;
    const Box grown = box.Expanded(CoordinateTolerance(box.min));
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

// Base of the probes below: answers once, then ignores the rest. A reference is
// looked into only while the answer is open and its box reaches `reach`; for a
// window, one wholly outside fails it and (box windows) one wholly inside passes.
class Probe : public PlannedSink {
public:
    enum class Kind { Crossing, WindowBox, WindowShape };
    Probe(Kind kind, const Box& reach, const DrawPlan& plan, int limit)
        : PlannedSink(plan, limit), kind_(kind), reach_(reach.Expanded(CoordinateTolerance(reach.min)))
    {
        hit = kind != Kind::Crossing;
    }
    bool hit = false;
    bool any = false;
    // Answered: nothing more can change it.
    bool Done() const override { return hit == (kind_ == Kind::Crossing); }
    // Only the copies of a grid that meet the window can lie in it or cross
    // it; one out of it is offered apart, and fails a window.
    Box CopyReach() const override { return kind_ == Kind::Crossing ? Reach() : reach_; }

protected:
    bool Wants(const Box& b) override
    {
        if (hit == (kind_ == Kind::Crossing)) return false;
        if (!b.Intersects(reach_)) {
            if (kind_ != Kind::Crossing) hit = false;
            return false;
        }
        if (kind_ == Kind::WindowBox && reach_.Contains(b)) {
            any = true;
            return false;
        }
        return true;
    }

private:
    Kind kind_;
    Box reach_;
};

class CrossBoxProbe : public Probe {
public:
    CrossBoxProbe(const Box& b, const DrawPlan& plan, int limit)
        : Probe(Kind::Crossing, b, plan, limit), box_(b), grown_(b.Expanded(CoordinateTolerance(b.min)))
    {
    }
    // A part must come within the tolerance of its own ends (at most twice the box's).
    Box Reach() const override
    {
        return box_.Expanded(4 * std::max(CoordinateTolerance(box_.min), CoordinateTolerance(box_.max)));
    }

protected:
    void OnPoint(const Point3d& p) override { hit = hit || grown_.Contains(p); }
    void OnSegment(const Point3d& a, const Point3d& b) override { hit = hit || SegmentIntersectsBox(a, b, box_); }
    void OnArc(const CircularArc& a) override { hit = hit || ArcIntersectsBox(a, box_); }
    void OnText(const TextPrimitive& t) override { hit = hit || RingTouchesBox(TextRing(t), box_); }
    void OnFill(const std::vector<Point3d>& ring) override { hit = hit || RingTouchesBox(ring, box_); }

private:
    Box box_, grown_;
};

class InsideBoxProbe : public Probe {
public:
    InsideBoxProbe(const Box& b, const DrawPlan& plan, int limit)
        : Probe(Kind::WindowBox, b, plan, limit), box_(b.Expanded(CoordinateTolerance(b.min)))
    {
    }

protected:
    void OnPoint(const Point3d& p) override { Take(box_.Contains(p)); }
    void OnSegment(const Point3d& a, const Point3d& b) override { Take(box_.Contains(a) && box_.Contains(b)); }
    void OnArc(const CircularArc& a) override { Take(box_.Contains(a.Extents())); }
    void OnText(const TextPrimitive& t) override
    {
        for (const auto& c : t.corners) Take(box_.Contains(c));
    }
    void OnFill(const std::vector<Point3d>& ring) override
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

// Parts wholly outside the box of a polygon or fence cannot cross it.
Box ReachOf(const std::vector<Point3d>& pts)
{
    const Box b = BoxOf(pts);
    return b.Expanded(4 * std::max(CoordinateTolerance(b.min), CoordinateTolerance(b.max)));
}

class CrossPolygonProbe : public Probe {
public:
    CrossPolygonProbe(const std::vector<Point3d>& poly, const DrawPlan& plan, int limit)
        : Probe(Kind::Crossing, BoxOf(poly), plan, limit), poly_(poly)
    {
    }
    Box Reach() const override { return ReachOf(poly_); }

protected:
    void OnPoint(const Point3d& p) override { hit = hit || PointInPolygon(p, poly_); }
    void OnSegment(const Point3d& a, const Point3d& b) override { hit = hit || SegmentTouchesPolygon(a, b, poly_); }
    void OnArc(const CircularArc& a) override
    {
        if (hit) return;
        if (PointInPolygon(a.StartPoint(), poly_) || PointInPolygon(a.EndPoint(), poly_)) {
            hit = true;
            return;
        }
        for (std::size_t j = 0; j < poly_.size() && !hit; ++j)
            hit = ArcIntersectsSegment(a, poly_[j], poly_[(j + 1) % poly_.size()]);
    }
    void OnText(const TextPrimitive& t) override { hit = hit || RingTouchesPolygon(TextRing(t), poly_); }
    void OnFill(const std::vector<Point3d>& ring) override { hit = hit || RingTouchesPolygon(ring, poly_); }

private:
    const std::vector<Point3d>& poly_;
};

class InsidePolygonProbe : public Probe {
public:
    InsidePolygonProbe(const std::vector<Point3d>& poly, const DrawPlan& plan, int limit)
        : Probe(Kind::WindowShape, BoxOf(poly), plan, limit), poly_(poly)
    {
    }

protected:
    void OnPoint(const Point3d& p) override { Take(PointInPolygon(p, poly_)); }
    void OnSegment(const Point3d& a, const Point3d& b) override { TakeChain({a, Midpoint(a, b), b}); }
    void OnArc(const CircularArc& a) override { TakeChain(ArcPoints(a)); }
    void OnText(const TextPrimitive& t) override { TakeChain(TextRing(t)); }
    void OnFill(const std::vector<Point3d>& ring) override { TakeChain(ring); }

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
    FenceProbe(const std::vector<Point3d>& fence, const DrawPlan& plan, int limit)
        : Probe(Kind::Crossing, BoxOf(fence), plan, limit), fence_(fence)
    {
    }
    Box Reach() const override { return ReachOf(fence_); }

protected:
    void OnPoint(const Point3d& p) override
    {
        for (std::size_t i = 0; i + 1 < fence_.size() && !hit; ++i)
            hit = DistancePointSegment(p, fence_[i], fence_[i + 1]) <= CoordinateTolerance(p);
    }
    void OnSegment(const Point3d& a, const Point3d& b) override
    {
        for (std::size_t i = 0; i + 1 < fence_.size() && !hit; ++i)
            hit = SegmentsIntersect(a, b, fence_[i], fence_[i + 1]);
    }
    void OnArc(const CircularArc& a) override
    {
        for (std::size_t i = 0; i + 1 < fence_.size() && !hit; ++i)
            hit = ArcIntersectsSegment(a, fence_[i], fence_[i + 1]);
    }
    void OnText(const TextPrimitive& t) override { Ring(TextRing(t)); }
    void OnFill(const std::vector<Point3d>& ring) override { Ring(ring); }

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

class DistanceProbe : public PlannedSink {
public:
    DistanceProbe(const Point3d& p, double within, const DrawPlan& plan, int limit, int depth)
        : PlannedSink(plan, limit, depth), p_(p), within_(within)
    {
    }
    double best = std::numeric_limits<double>::infinity();
    // Only what comes as near as the nearest part so far, and within reach.
    Box Reach() const override
    {
        const double r = std::min(best, within_);
        if (!std::isfinite(r)) return Box();
        return Box::Around(p_, r + CoordinateTolerance(p_));
    }

    // Nothing is nearer than a part the point lies on.
    bool Done() const override { return best <= 0; }

protected:
    // Only a reference whose box is nearer than the nearest part so far may hold a nearer one.
    bool Wants(const Box& b) override
    {
        const double d = BoxDistance(b, p_);
        return d < best && d <= within_;
    }
    void OnPoint(const Point3d& q) override { Take(Distance2d(p_, q)); }
    void OnSegment(const Point3d& a, const Point3d& b) override { Take(DistancePointSegment(p_, a, b)); }
    void OnArc(const CircularArc& a) override { Take(DistancePointArc(p_, a)); }
    void OnText(const TextPrimitive& t) override { Ring(TextRing(t)); }
    void OnFill(const std::vector<Point3d>& ring) override { Ring(ring); }
    void OnRay(const Point3d& base, const Vector3d& direction, bool bothWays) override
    {
        Take(DistancePointRay(p_, base, direction, bothWays));
    }

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

protected:
    virtual void Take(double d) { best = std::min(best, d); }
    Point3d p_;
    double within_;
};

// The part of a definition nearest to a point within `within`, looking into
// the references it holds; of those as near, the last drawn (on top). Given
// the parts last first, it takes an earlier one only when it is nearer, so
// that on a point where many lie one on the other, the first found ends it.
class NearestPartProbe final : public DistanceProbe {
public:
    NearestPartProbe(const Point3d& p, double within, const DrawPlan& plan)
        : DistanceProbe(p, within, plan, kWholeDepth, 0)
    {
        best = within;
    }
    Entity* part = nullptr;
    bool Done() const override { return part && best <= 0; }

protected:
    // The definition's own parts, but for attribute definitions (a
    // reference's attributes are picked on their own).
    bool Enters(const Entity& e, int depth) override
    {
        if (depth > 0) return true;
        if (dynamic_cast<const AttributeDefinition*>(&e)) return false;
        current_ = const_cast<Entity*>(&e);
        return true;
    }
    bool Wants(const Box& b) override { return Nearer(BoxDistance(b, p_)); }
    void Take(double d) override
    {
        if (!Nearer(d)) return;
        best = d;
        part = current_;
    }

private:
    bool Nearer(double d) const { return part ? d < best : d <= best; }
    Entity* current_ = nullptr;
};

bool Drawn(const Entity& e) { return !e.IsErased() && e.Visible(); }

// `depth`: how deep `e` lies under the entity of the space.
double DistanceThrough(const Entity& e, const Transform& t, const Point3d& p, double within, const DrawPlan& plan,
                       int limit, int depth)
{
    DistanceProbe probe(p, within, plan, limit, depth);
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
    if (!Drawn(e) || box.IsEmpty() || !e.Extents().Expanded(CoordinateTolerance(box.min)).Intersects(box)) return false;
    CrossBoxProbe probe(box, plan, kWholeDepth);
    e.Emit(probe, Transform());
    return probe.hit;
}

bool InsideBox(const Entity& e, const Box& box, const DrawPlan& plan)
{
    if (!Drawn(e) || box.IsEmpty()) return false;
    InsideBoxProbe probe(box, plan, kWholeDepth);
    e.Emit(probe, Transform());
    return probe.any && probe.hit;
}

bool CrossesPolygon(const Entity& e, const std::vector<Point3d>& polygon, const DrawPlan& plan)
{
    if (!Drawn(e) || polygon.size() < 3) return false;
    if (const Box pb = BoxOf(polygon); !e.Extents().Expanded(CoordinateTolerance(pb.min)).Intersects(pb)) return false;
    CrossPolygonProbe probe(polygon, plan, kWholeDepth);
    e.Emit(probe, Transform());
    return probe.hit;
}

bool InsidePolygon(const Entity& e, const std::vector<Point3d>& polygon, const DrawPlan& plan)
{
    if (!Drawn(e) || polygon.size() < 3) return false;
    InsidePolygonProbe probe(polygon, plan, kWholeDepth);
    e.Emit(probe, Transform());
    return probe.any && probe.hit;
}

bool CrossesFence(const Entity& e, const std::vector<Point3d>& fence, const DrawPlan& plan)
{
    if (!Drawn(e) || fence.size() < 2) return false;
    if (const Box fb = BoxOf(fence); !e.Extents().Expanded(CoordinateTolerance(fb.min)).Intersects(fb)) return false;
    FenceProbe probe(fence, plan, kWholeDepth);
    e.Emit(probe, Transform());
    return probe.hit;
}

double DistanceTo(const Entity& e, const Point3d& p, double within, const DrawPlan& plan)
{
    if (!Drawn(e)) return std::numeric_limits<double>::infinity();
    return DistanceThrough(e, Transform(), p, within, plan, kWholeDepth, 0);
}

std::optional<NestedPick> PickNested(Entity& top, const Point3d& p, double tolerance, const DrawPlan& plan)
{
    if (!Drawn(top)) return std::nullopt;
    auto* ref = dynamic_cast<BlockReference*>(&top);
    if (!ref || (plan.IsDot(ref->Extents()) && !SeenThroughDot(*ref))) {
        // Drawn as itself, or as a dot: nothing inside it is seen.
        if (DistanceTo(top, p, tolerance, plan) <= tolerance) return NestedPick{&top, {}, Transform()};
        return std::nullopt;
    }
    const std::vector<char>& frozen = plan.FrozenHere();
    // The layer the reference looked into is drawn on, which its parts and
    // attributes on layer "0" take.
    const Layer* held = DrawnLayer(top, nullptr);
    auto shownAttribute = [&](const AttributeReference& a) { return IsDrawn(a, true, frozen, held) && !a.Invisible(); };
    // Only the copies of a grid near the pick are looked into, nearest first;
    // copies closer together than a coordinate's tolerance are one place.
    const Box near = Box::Around(p, tolerance + CoordinateTolerance(p));
    const double step = Budgeted() ? CoordinateTolerance(p) : 0.0;
    NestedPick pick;
    pick.containers.push_back(&top);
    BlockReference* cur = ref;
    Transform outer;  // the space `cur` is placed in, to world
    for (int depth = 1; depth <= kWholeDepth; ++depth) {
        // Its attributes (drawn over the block) come first; they live in the space it is placed in.
        const std::vector<AttributeReference*> attributes = cur->GetAttributes();
        std::optional<NestedPick> onAttribute;
        if (!attributes.empty())
            cur->EachCopy(outer, {[&near] { return near; }, step, true}, [&](std::size_t i) {
                if (plan.Spent()) return false;
                AddWork(1);
                const Transform at = i == 0 ? outer : outer * Transform::Translation(cur->CopyOffset(i));
                for (AttributeReference* a : attributes)
                    if (shownAttribute(*a) &&
                        DistanceThrough(*a, at, p, tolerance, plan, kWholeDepth, depth) <= tolerance) {
                        onAttribute = pick;
                        onAttribute->entity = a;
                        onAttribute->toWorld = at;
                        return false;
                    }
                return true;
            });
        if (onAttribute) return onAttribute;
        // Then the nearest part of the definition, looking into the references
        // it holds, and so on inward: each level asks its definition's pieces
        // near the point, copy by copy of a grid, while the nearest part so far
        // leaves any nearer to find.
        NearestPartProbe probe(p, tolerance, plan);
        probe.HeldOn(held);
        Transform bestAt;
        const Block* def = &cur->Block();
        cur->EachCopy(outer, {[&probe] { return probe.Reach(); }, step, true}, [&](std::size_t i) {
            if (probe.Done() || plan.Spent()) return false;
            AddWork(1);
            const Transform t = outer * cur->CopyTransform(i);
            const Entity* before = probe.part;
            const double was = probe.best;
            EmitDefinition(*def, probe, t, true);
            if (probe.part != before || probe.best != was) bestAt = t;
            return true;
        });
        Entity* best = probe.part;
        if (!best) return std::nullopt;
        auto* inner = dynamic_cast<BlockReference*>(best);
        if (!inner || depth == kWholeDepth || plan.Spent() ||
            (plan.IsDot(inner->BoundsUnder(bestAt)) && !SeenThroughDot(*inner))) {
            pick.entity = best;
            pick.toWorld = bestAt;
            return pick;
        }
        pick.containers.push_back(inner);
        outer = bestAt;
        cur = inner;
        held = DrawnLayer(*inner, held);
    }
    return std::nullopt;
}

}  // namespace acad
