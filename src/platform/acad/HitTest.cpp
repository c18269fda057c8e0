#include "platform/acad/HitTest.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/acad/Block.h"
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

// Base of the sinks below: counts the nested parts they are shown against the
// budget, and once it is spent stands a reference for the outline of its box.
class Budgeted : public GeometrySink {
public:
    explicit Budgeted(long* shared) : left_(shared ? *shared : own_) {}
    bool BeginNested(const Entity& e) override
    {
        --left_;
        return IsShown(e);
    }

protected:
    // Whether the reference whose box is `bounds` may be looked into; when not,
    // its outline has been taken instead.
    bool LookInto(const Box& bounds)
    {
        if (left_ > 0) return true;
        if (bounds.IsEmpty()) return false;
        const Point3d c[4] = {bounds.min,
                              {bounds.max.x, bounds.min.y, bounds.min.z},
                              bounds.max,
                              {bounds.min.x, bounds.max.y, bounds.max.z}};
        for (int k = 0; k < 4; ++k) Segment(c[k], c[(k + 1) % 4]);
        return false;
    }

private:
    long own_ = kPartBudget;
    long& left_;
};

// Base of the probes below: answers once, then ignores the rest. A reference is
// looked into only while the answer is open and its box reaches `reach`; for a
// window, one wholly outside fails it and (box windows) one wholly inside passes.
class Probe : public Budgeted {
public:
    enum class Kind { Crossing, WindowBox, WindowShape };
    Probe(Kind kind, const Box& reach) : Budgeted(nullptr), kind_(kind), reach_(reach.Expanded(Tol(reach.min)))
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
    explicit CrossBoxProbe(const Box& b) : Probe(Kind::Crossing, b), box_(b), grown_(b.Expanded(Tol(b.min))) {}
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
    explicit InsideBoxProbe(const Box& b) : Probe(Kind::WindowBox, b), box_(b.Expanded(Tol(b.min))) {}
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
    explicit CrossPolygonProbe(const std::vector<Point3d>& poly) : Probe(Kind::Crossing, BoxOf(poly)), poly_(poly) {}
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
    explicit InsidePolygonProbe(const std::vector<Point3d>& poly) : Probe(Kind::WindowShape, BoxOf(poly)), poly_(poly)
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
    explicit FenceProbe(const std::vector<Point3d>& fence) : Probe(Kind::Crossing, BoxOf(fence)), fence_(fence) {}
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

class DistanceProbe : public Budgeted {
public:
    DistanceProbe(const Point3d& p, double within, long* partsLeft) : Budgeted(partsLeft), p_(p), within_(within) {}
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

class EndpointProbe : public Budgeted {
public:
    EndpointProbe(const Point3d& p, double tol) : Budgeted(nullptr), p_(p), tol_(tol) {}
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

double DistanceThrough(const Entity& e, const Transform& t, const Point3d& p, double within, long& partsLeft)
{
    DistanceProbe probe(p, within, &partsLeft);
    e.Emit(probe, t);
    return probe.best;
}

}  // namespace

bool CrossesBox(const Entity& e, const Box& box)
{
    if (!Drawn(e) || box.IsEmpty() || !e.Extents().Expanded(Tol(box.min)).Intersects(box)) return false;
    CrossBoxProbe probe(box);
    e.Emit(probe, Transform());
    return probe.hit;
}

bool InsideBox(const Entity& e, const Box& box)
{
    if (!Drawn(e) || box.IsEmpty()) return false;
    InsideBoxProbe probe(box);
    e.Emit(probe, Transform());
    return probe.any && probe.hit;
}

bool CrossesPolygon(const Entity& e, const std::vector<Point3d>& polygon)
{
    if (!Drawn(e) || polygon.size() < 3) return false;
    Box pb;
    for (const auto& p : polygon) pb.Add(p);
    if (!e.Extents().Expanded(Tol(pb.min)).Intersects(pb)) return false;
    CrossPolygonProbe probe(polygon);
    e.Emit(probe, Transform());
    return probe.hit;
}

bool InsidePolygon(const Entity& e, const std::vector<Point3d>& polygon)
{
    if (!Drawn(e) || polygon.size() < 3) return false;
    InsidePolygonProbe probe(polygon);
    e.Emit(probe, Transform());
    return probe.any && probe.hit;
}

bool CrossesFence(const Entity& e, const std::vector<Point3d>& fence)
{
    if (!Drawn(e) || fence.size() < 2) return false;
    Box fb;
    for (const auto& p : fence) fb.Add(p);
    if (!e.Extents().Expanded(Tol(fb.min)).Intersects(fb)) return false;
    FenceProbe probe(fence);
    e.Emit(probe, Transform());
    return probe.hit;
}

double DistanceTo(const Entity& e, const Point3d& p, double within)
{
    long partsLeft = kPartBudget;
    return DistanceTo(e, p, within, partsLeft);
}

double DistanceTo(const Entity& e, const Point3d& p, double within, long& partsLeft)
{
    if (!Drawn(e)) return std::numeric_limits<double>::infinity();
    return DistanceThrough(e, Transform(), p, within, partsLeft);
}

std::optional<NestedPick> PickNested(Entity& top, const Point3d& p, double tolerance)
{
    if (!Drawn(top)) return std::nullopt;
    auto* ref = dynamic_cast<BlockReference*>(&top);
    if (!ref) {
        if (DistanceTo(top, p, tolerance) <= tolerance) return NestedPick{&top, {}, Transform()};
        return std::nullopt;
    }
    // Attributes (drawn over the block) come first.
    for (AttributeReference* a : ref->GetAttributes())
        if (Drawn(*a) && !a->Invisible() && DistanceTo(*a, p, tolerance) <= tolerance)
            return NestedPick{a, {&top}, Transform()};
    // Then the nearest entity of the definition, looking into nested references.
    NestedPick pick;
    pick.containers.push_back(&top);
    Transform t = ref->BlockTransform();
    const Block* def = &ref->Block();
    for (int depth = 0; depth < 32; ++depth) {
        // One budget for all the entities of a level, not one each: a definition
        // of a thousand heavy references must not cost a thousand budgets.
        long partsLeft = kPartBudget;
        Entity* best = nullptr;
        double bestD = tolerance;
        for (Entity* e : *def) {
            if (!e->Visible() || dynamic_cast<AttributeDefinition*>(e)) continue;
            double d = DistanceThrough(*e, t, p, bestD, partsLeft);
            if (d <= bestD) {
                best = e;
                bestD = d;
            }
        }
        if (!best) return std::nullopt;
        auto* inner = dynamic_cast<BlockReference*>(best);
        if (!inner) {
            pick.entity = best;
            pick.toWorld = t;
            return pick;
        }
        // Attributes of a nested reference live in the outer definition's space.
        for (AttributeReference* a : inner->GetAttributes())
            if (Drawn(*a) && !a->Invisible() && DistanceThrough(*a, t, p, tolerance, partsLeft) <= tolerance) {
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
    EndpointProbe probe(p, tolerance);
    e.Emit(probe, Transform());
    return probe.best;
}

}  // namespace acad
