#include "platform/acad/KeptDefinition.h"

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>
#include <absl/hash/hash.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <functional>
#include <iterator>
#include <limits>
#include <list>
#include <optional>
#include <set>
#include <tuple>

#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/EmitSupport.h"
#include "platform/acad/Hatch.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/Spline.h"
#include "platform/acad/Tables.h"
#include "platform/acad/TextEntities.h"
#include "platform/acad/Work.h"

namespace acad {

// ---------------------------------------------------------------- scales and boxes

int OctaveOf(double pxPerUnit)
{
    if (!(pxPerUnit > 0)) return std::numeric_limits<int>::min() / 2;
    if (!std::isfinite(pxPerUnit)) return std::numeric_limits<int>::max() / 2;
    const double l = std::ceil(std::log2(pxPerUnit) - 1e-9);
    return static_cast<int>(std::clamp(l, -1e6, 1e6));
}

double MaxScale(const Transform& t)
{
    // Z too: through a tilted extrusion, the heights of the pieces are seen.
    return std::max(
        {std::hypot(t.m[0][0], t.m[1][0]), std::hypot(t.m[0][1], t.m[1][1]), std::hypot(t.m[0][2], t.m[1][2])});
}

Box PlaneBoxThrough(const Box& b, const Transform& t)
{
    if (b.IsEmpty()) return b;
    Box r;
    for (int k = 0; k < 4; ++k) r.Add(t.Apply({k & 1 ? b.max.x : b.min.x, k & 2 ? b.max.y : b.min.y, b.min.z}));
    return r;
}

DrawnStyleKey DrawnStyle(const Entity& e) { return {e.LayerIndex(), e.LinetypeIndex(), e.Color(), e.LinetypeScale()}; }

std::optional<PlacedAlike> PlacedAt(const BlockReference& r, double px)
{
    if (const auto* x = dynamic_cast<const ExternalReference*>(&r); x && x->ClipEnabled()) return std::nullopt;
    if (r.Copies() > 1) return std::nullopt;  // a grid: its rows and columns are its own
    const Transform t = r.BlockTransform();
    PlacedAlike key;
    key.block = r.Data().block;
    key.layer = r.LayerIndex();
    key.linetype = r.LinetypeIndex();
    key.color = r.Color();
    key.linetypeScale = r.LinetypeScale();
    std::array<std::int64_t, 3> half{};
    constexpr double kFar = 4e18;
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) key.axes[3 * i + j] = t.m[i][j];
        const double cell = std::floor(t.m[i][3] * 2 * px);
        if (!(std::fabs(cell) < kFar)) return std::nullopt;
        half[i] = static_cast<std::int64_t>(cell);
    }
    key.x = half[0];
    key.y = half[1];
    key.z = half[2];
    return key;
}

namespace {

// Pieces of one part a leaf groups.
constexpr std::uint32_t kLeaf = 16;
// Boxes a node of the tree groups.
constexpr std::uint32_t kFan = 8;

Box BoxOfPoints(const Point3d* p, std::size_t n)
{
    Box b;
    for (std::size_t i = 0; i < n; ++i) b.Add(p[i]);
    return b;
}

// The text `p` (emitted without a transform) as emitted through `t`.
TextPrimitive TextThrough(const TextPrimitive& p, const Transform& t)
{
    TextPrimitive q = p;
    for (int i = 0; i < 4; ++i) q.corners[i] = t.Apply(p.corners[i]);
    q.position = q.corners[0];
    const Vector3d u{std::cos(p.rotation), std::sin(p.rotation), 0.0};
    const Vector3d up = p.corners[3] - p.corners[0];
    const double h = up.Length2d();
    const Vector3d v = h > 0 ? up / h : Vector3d{-u.y, u.x, 0.0};
    const Vector3d tu = t.ApplyVector(u), tv = t.ApplyVector(v);
    const double lv = tv.Length2d();
    q.rotation = NormalizeAngle(std::atan2(tu.y, tu.x));
    q.height = p.height * lv;
    if (lv > 0) q.widthFactor = p.widthFactor * tu.Length2d() / lv;
    if (t.IsMirroring()) q.upsideDown = !p.upsideDown;
    return q;
}

// Cuts the segment to the box (in the plane, Liang–Barsky); false when
// nothing of it is left.
bool ClipToBox(Point3d& a, Point3d& b, const Box& box)
{
    double t0 = 0, t1 = 1;
    if (!ClipSpan(a.x, a.y, b.x, b.y, box.min.x, box.min.y, box.max.x, box.max.y, t0, t1)) return false;
    const Point3d a0 = a, b0 = b;
    a = Lerp(a0, b0, t0);
    b = Lerp(a0, b0, t1);
    return true;
}

// Counts what is emitted as every walk counts it: a piece for each point,
// segment and arc, each letter of a text, and each point of a filled ring.
class PieceCount final : public GeometrySink {
public:
    // What a part draws through a reference (a dimension's picture) is counted as that reference's.
    bool BeginReference(const BlockReference&, const Transform&) override { return false; }
    void Point(const Point3d&) override { ++n; }
    void Segment(const Point3d&, const Point3d&) override { ++n; }
    void Arc(const CircularArc&) override { ++n; }
    void Text(const TextPrimitive& t) override { n += std::max(1.0, Letters(t)); }
    void Fill(const std::vector<Point3d>& ring) override { n += static_cast<double>(ring.size()); }
    double n = 0;
};

// What a part emits inside a reference, counted.
double EmittedPieces(const Entity& e)
{
    PieceCount count;
    detail::EmitAsPart(e, count, Transform());
    return count.n;
}

// Gathers the points that hold what is emitted: the ends of segments, the
// corners of texts, the points of rings, and round each arc a polygon whose
// sides touch it (a thirty-second of a turn each), which holds the arc
// within half a percent of its radius.
class HullSink final : public GeometrySink {
public:
    // Off while a part's own pieces are gathered: the reference it draws through is taken apart.
    bool BeginReference(const BlockReference&, const Transform&) override { return intoReferences; }
    bool intoReferences = true;
    void Point(const Point3d& p) override { points.push_back(p); }
    void Segment(const Point3d& a, const Point3d& b) override
    {
        points.push_back(a);
        points.push_back(b);
    }
    void Arc(const CircularArc& arc) override
    {
        const double sweep = arc.Sweep();
        const int n = std::max(1, static_cast<int>(std::ceil(sweep / (kPi / 16))));
        const double step = sweep / n, out = arc.radius / std::cos(step / 2);
        points.push_back(arc.StartPoint());
        points.push_back(arc.EndPoint());
        for (int k = 0; k < n; ++k) points.push_back(Polar(arc.center, arc.startAngle + (k + 0.5) * step, out));
    }
    void Text(const TextPrimitive& t) override
    {
        points.insert(points.end(), std::begin(t.corners), std::end(t.corners));
    }
    void Fill(const std::vector<Point3d>& ring) override { points.insert(points.end(), ring.begin(), ring.end()); }
    void Corners(const Box& b)
    {
        if (b.IsEmpty() || !b.IsFinite()) return;
        points.push_back(b.min);
        points.push_back({b.max.x, b.min.y, b.min.z});
        points.push_back(b.max);
        points.push_back({b.min.x, b.max.y, b.max.z});
    }
    std::vector<Point3d> points;
};

// Hulls of nested definitions larger than this give a reference that holds
// them the corners of their box there, not every vertex.
constexpr std::size_t kNestedHullVertices = 32;
// Hulls looked into below this depth give the boxes of the references instead.
constexpr int kHullDepth = 32;
thread_local int g_hullDepth = 0;

// A reference's scale: its largest.
double ScaleOf(const BlockReference& r)
{
    const BlockReferenceData& d = r.Data();
    return std::max(std::fabs(d.xScale), std::fabs(d.yScale));
}

// A reference drawn as the outline of its box `b` at `px`: it, and four pieces.
double OutlineWork(const Box& b, double px)
{
    if (b.IsEmpty()) return 1;
    return 5 + std::min(2 * (b.Width() + b.Height()) * px, 2 * kInkCapPx) / kInkPx;
}

// What the attributes of `r` draw at `px`.
double AttributesWork(const BlockReference& r, double px)
{
    double work = 0;
    for (const AttributeReference* a : r.GetAttributes()) {
        if (!a->Visible()) continue;
        CountSink count(px, kInkCapPx);
        a->Emit(count, Transform());
        work += 1 + count.n;
    }
    return work;
}

}  // namespace

// ---------------------------------------------------------------- pieces

// Fills a set of pieces, part by part, leaf by leaf; with `px`, each piece
// costs what drawing it at `px` pixels per unit costs.
class PieceBuilder final : public GeometrySink {
public:
    using Kind = PieceSet::Kind;
    PieceBuilder(PieceSet& out, double px) : out_(out), st_(*out.store_), px_(px), count_(px, kInkCapPx)
    {
        out.px_ = px;
    }

    void Part(const Entity& part) { part_ = &part; }
    void Point(const Point3d& p) override
    {
        Start(Kind::Dots, static_cast<std::uint32_t>(st_.points.size()));
        st_.points.push_back(p);
        Box b;
        b.Add(p);
        Add(b, px_ > 0 ? 1 : 0);
    }
    void Segment(const Point3d& a, const Point3d& b) override
    {
        const bool joined = !st_.runs.empty() && st_.runs.back().part == part_ && st_.runs.back().kind == Kind::Chain &&
                            st_.points.back() == a;
        if (!joined) {
            Start(Kind::Chain, static_cast<std::uint32_t>(st_.points.size()), true);
            st_.points.push_back(a);
        }
        st_.points.push_back(b);
        Box box;
        box.Add(a);
        box.Add(b);
        Add(box, Cost([&](CountSink& c) { c.Segment(a, b); }));
    }
    void Arc(const CircularArc& arc) override
    {
        Start(Kind::Arcs, static_cast<std::uint32_t>(st_.arcs.size()));
        st_.arcs.push_back(arc);
        Add(arc.Extents(), Cost([&](CountSink& c) { c.Arc(arc); }));
    }
    void Text(const TextPrimitive& t) override
    {
        Start(Kind::Texts, static_cast<std::uint32_t>(st_.texts.size()));
        PieceSet::KeptText kept;
        kept.p = t;
        kept.p.text = {};
        kept.at = static_cast<std::uint32_t>(st_.chars.size());
        kept.size = static_cast<std::uint32_t>(t.text.size());
        st_.chars.append(t.text);
        st_.texts.push_back(kept);
        Add(BoxOfPoints(t.corners, 4), Cost([&](CountSink& c) { c.Text(t); }));
    }
    void Fill(const std::vector<Point3d>& ring) override
    {
        if (ring.empty()) return;
        Start(Kind::Rings, static_cast<std::uint32_t>(st_.rings.size()));
        st_.rings.push_back({static_cast<std::uint32_t>(st_.points.size()), static_cast<std::uint32_t>(ring.size())});
        st_.points.insert(st_.points.end(), ring.begin(), ring.end());
        Add(BoxOfPoints(ring.data(), ring.size()), Cost([&](CountSink& c) { c.Fill(ring); }));
    }
    // A part drawn whole by its own kind.
    void Whole(const Entity& part, const Box& box)
    {
        part_ = &part;
        Start(Kind::Wholes, static_cast<std::uint32_t>(st_.boxes.size()), true);
        st_.boxes.push_back(box);
        Add(box, px_ > 0 ? acad::Pieces(part, px_, kInkCapPx) : 0);
    }
    void Reference(const BlockReference& r, const Box& box)
    {
        part_ = &r;
        Start(Kind::References, static_cast<std::uint32_t>(st_.references.size()), true);
        st_.references.push_back(&r);
        st_.referenceBoxes.push_back(box);
        Add(box, 0);
    }
    // The pieces are all in: the tree over them.
    void Finish() { out_.Index(); }

private:
    template <typename F>
    double Cost(F count)
    {
        if (!(px_ > 0)) return 0;
        count_.n = 0;
        count(count_);
        return count_.n;
    }
    // The next piece is of the current part and `kind`: a run of its own
    // unless the last run is of both (a chain only when the caller joins it).
    void Start(Kind kind, std::uint32_t first, bool fresh = false)
    {
        auto& runs = st_.runs;
        if (!fresh && !runs.empty() && runs.back().part == part_ && runs.back().kind == kind) return;
        // The window sets the style again only where it changes.
        const bool opens = runs.empty() || runs.back().kind == Kind::Wholes || runs.back().kind == Kind::References ||
                           DrawnStyle(*runs.back().part) != DrawnStyle(*part_);
        runs.push_back(PieceSet::Run{part_, kind, first, 0, opens});
        opening_ = opens && kind != Kind::Wholes && kind != Kind::References && px_ > 0;
    }
    void Add(const Box& box, double cost)
    {
        // Setting the style of the parts that follow costs a piece.
        if (opening_) cost += 1;
        opening_ = false;
        const auto run = static_cast<std::uint32_t>(st_.runs.size() - 1);
        PieceSet::Run& r = st_.runs.back();
        if (out_.leaves_.empty() || out_.leaves_.back().count >= kLeaf)
            out_.leaves_.push_back(PieceSet::Leaf{Box(), run, r.count, 0, 0.0f});
        PieceSet::Leaf& leaf = out_.leaves_.back();
        leaf.box.Add(box);
        leaf.cost += static_cast<float>(cost);
        ++leaf.count;
        ++r.count;
        ++out_.pieces_;
        if (r.kind != Kind::References) out_.cost_ += cost;
        if (box.IsFinite()) out_.bounds_.Add(box);
    }

    PieceSet& out_;
    PieceSet::Store& st_;
    const Entity* part_ = nullptr;
    double px_;
    CountSink count_;
    bool opening_ = false;
};

void PieceSet::Index()
{
    tree_.clear();
    order_.resize(leaves_.size());
    if (leaves_.empty()) return;
    // Leaves near one another under one node: ordered along a curve that
    // fills the plane (interleaved bits of their centres).
    std::vector<std::pair<std::uint64_t, std::uint32_t>> keyed(leaves_.size());
    const double w = std::max(bounds_.Width(), 1e-300), h = std::max(bounds_.Height(), 1e-300);
    auto spread = [](std::uint32_t v) {
        std::uint64_t x = v;
        x = (x | (x << 16)) & 0x0000FFFF0000FFFFull;
        x = (x | (x << 8)) & 0x00FF00FF00FF00FFull;
        x = (x | (x << 4)) & 0x0F0F0F0F0F0F0F0Full;
        x = (x | (x << 2)) & 0x3333333333333333ull;
        x = (x | (x << 1)) & 0x5555555555555555ull;
        return x;
    };
    for (std::uint32_t i = 0; i < leaves_.size(); ++i) {
        const Point3d c = leaves_[i].box.Center();
        const double fx = std::clamp((c.x - bounds_.min.x) / w, 0.0, 1.0);
        const double fy = std::clamp((c.y - bounds_.min.y) / h, 0.0, 1.0);
        const auto gx = static_cast<std::uint32_t>(std::isfinite(fx) ? fx * 65535 : 0);
        const auto gy = static_cast<std::uint32_t>(std::isfinite(fy) ? fy * 65535 : 0);
        keyed[i] = {spread(gx) | (spread(gy) << 1), i};
    }
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i) order_[i] = keyed[i].second;
    std::vector<Node> level;
    for (std::uint32_t i = 0; i < order_.size(); i += kFan) {
        Node n;
        n.first = i;
        n.count = std::min<std::uint32_t>(kFan, static_cast<std::uint32_t>(order_.size()) - i);
        for (std::uint32_t k = i; k < i + n.count; ++k) {
            n.box.Add(leaves_[order_[k]].box);
            n.cost += leaves_[order_[k]].cost;
        }
        level.push_back(n);
    }
    tree_.push_back(std::move(level));
    while (tree_.back().size() > 1) {
        const std::vector<Node>& below = tree_.back();
        std::vector<Node> up;
        for (std::uint32_t i = 0; i < below.size(); i += kFan) {
            Node n;
            n.first = i;
            n.count = std::min<std::uint32_t>(kFan, static_cast<std::uint32_t>(below.size()) - i);
            for (std::uint32_t k = i; k < i + n.count; ++k) {
                n.box.Add(below[k].box);
                n.cost += below[k].cost;
            }
            up.push_back(n);
        }
        tree_.push_back(std::move(up));
    }
}

template <typename F>
void PieceSet::EachPiece(const Leaf& leaf, F f) const
{
    std::uint32_t run = leaf.run, i = leaf.begin;
    for (std::uint32_t n = 0; n < leaf.count; ++n) {
        while (i >= store_->runs[run].count) {
            ++run;
            i = 0;
        }
        f(store_->runs[run], i);
        ++i;
    }
}

Box PieceSet::PieceBox(const Run& run, std::uint32_t i) const
{
    const Store& st = *store_;
    const std::uint32_t at = run.first + i;
    switch (run.kind) {
    case Kind::Chain: return BoxOfPoints(&st.points[at], 2);
    case Kind::Dots: return BoxOfPoints(&st.points[at], 1);
    case Kind::Arcs: return st.arcs[at].Extents();
    case Kind::Texts: return BoxOfPoints(st.texts[at].p.corners, 4);
    case Kind::Rings: return BoxOfPoints(&st.points[st.rings[at].first], st.rings[at].count);
    case Kind::Wholes: return st.boxes[at];
    case Kind::References: return st.referenceBoxes[at];
    }
    return Box();
}

namespace {

// Lists of leaves for the walks in progress, one a level of nesting, kept
// for the next walks: a frame walks thousands of references.
std::vector<std::uint32_t>& Scratch(std::size_t depth)
{
    thread_local std::deque<std::vector<std::uint32_t>> lists;  // a deque: growing keeps those in use
    if (lists.size() <= depth) lists.resize(depth + 1);
    lists[depth].clear();
    return lists[depth];
}
thread_local std::size_t g_walkDepth = 0;

}  // namespace

void PieceSet::LeavesMeeting(const Box& box, std::vector<std::uint32_t>& hits, std::uint64_t& looked) const
{
    if (box.IsEmpty() || box.Contains(bounds_)) {
        hits.resize(leaves_.size());
        for (std::uint32_t i = 0; i < hits.size(); ++i) hits[i] = i;
        looked += 1;
        return;
    }
    if (tree_.empty()) return;
    std::vector<std::pair<std::size_t, std::uint32_t>> stack{{tree_.size() - 1, 0}};
    while (!stack.empty()) {
        const auto [level, i] = stack.back();
        stack.pop_back();
        const Node& n = tree_[level][i];
        ++looked;
        if (!n.box.Intersects(box)) continue;
        for (std::uint32_t k = n.first; k < n.first + n.count; ++k) {
            if (level > 0) {
                stack.emplace_back(level - 1, k);
                continue;
            }
            ++looked;
            if (leaves_[order_[k]].box.Intersects(box)) hits.push_back(order_[k]);
        }
    }
    std::sort(hits.begin(), hits.end());
}

void PieceSet::Walk(const Box& box, const Transform& t, Visitor& v, bool lastFirst) const
{
    std::uint64_t looked = 0;
    std::vector<std::uint32_t>& hits = Scratch(g_walkDepth);
    LeavesMeeting(box, hits, looked);
    if (lastFirst) std::reverse(hits.begin(), hits.end());
    AddWork(looked);
    struct Depth {
        Depth() { ++g_walkDepth; }
        ~Depth() { --g_walkDepth; }
    } depth;
    const bool all = box.IsEmpty() || box.Contains(bounds_);
    const bool fills = v.Sink().TakesFills();
    const bool same = t.IsIdentity();
    GeometrySink& sink = v.Sink();
    const Entity* open = nullptr;
    bool taking = false, inside = all;
    // The end of the last segment drawn: the start of the next one along a chain.
    std::uint32_t endAt = ~0u;
    Point3d end;
    auto piece = [&](const Run& run, std::uint32_t i) {
        if ((run.kind == Kind::Rings && !fills) || v.Done()) return;
        if (!inside && !PieceBox(run, i).Intersects(box)) return;
        if (run.part != open) {
            if (open && taking) v.End(*open);
            open = run.part;
            taking = v.Begin(*open, run.kind);
        }
        if (!taking) return;
        switch (run.kind) {
        case Kind::Wholes: v.Whole(*run.part); break;
        case Kind::References: v.Reference(*store_->references[run.first + i]); break;
        case Kind::Chain: {
            const std::uint32_t at = run.first + i;
            const Point3d& a = store_->points[at];
            const Point3d& b = store_->points[at + 1];
            const Point3d from = at == endAt ? end : (same ? a : t.Apply(a));
            end = same ? b : t.Apply(b);
            endAt = at + 1;
            sink.Segment(from, end);
            break;
        }
        default: EmitPiece(run, i, t, same, sink); break;
        }
    };
    // `hits` may grow under the walks nested in this one: indexed, not iterated.
    for (std::size_t h = 0; h < hits.size(); ++h) {
        if (v.Done()) break;
        const Leaf& leaf = leaves_[hits[h]];
        inside = all || box.Contains(leaf.box);
        if (!lastFirst) {
            EachPiece(leaf, piece);
            continue;
        }
        // The leaf's pieces too, last first.
        std::vector<std::pair<const Run*, std::uint32_t>> pieces;
        EachPiece(leaf, [&](const Run& run, std::uint32_t i) { pieces.emplace_back(&run, i); });
        for (auto it = pieces.rbegin(); it != pieces.rend() && !v.Done(); ++it) piece(*it->first, it->second);
    }
    if (open && taking) v.End(*open);
}

void PieceSet::EmitPiece(const Run& run, std::uint32_t i, const Transform& t, bool same, GeometrySink& sink) const
{
    const Store& st = *store_;
    const std::uint32_t at = run.first + i;
    auto through = [&](const Point3d& p) { return same ? p : t.Apply(p); };
    switch (run.kind) {
    case Kind::Chain: sink.Segment(through(st.points[at]), through(st.points[at + 1])); break;
    case Kind::Dots: sink.Point(through(st.points[at])); break;
    case Kind::Arcs: detail::EmitArc(sink, t, st.arcs[at]); break;
    case Kind::Texts: {
        const KeptText& kept = st.texts[at];
        TextPrimitive p = same ? kept.p : TextThrough(kept.p, t);
        p.text = std::string_view(st.chars.data() + kept.at, kept.size);
        sink.Text(p);
        break;
    }
    case Kind::Rings: {
        const Ring& ring = st.rings[at];
        std::vector<Point3d> pts(st.points.begin() + ring.first, st.points.begin() + ring.first + ring.count);
        if (!same)
            for (Point3d& p : pts) p = t.Apply(p);
        sink.Fill(pts);
        break;
    }
    case Kind::Wholes:
    case Kind::References: break;
    }
}

double PieceSet::PieceCost(const Run& run, std::uint32_t i, CountSink& count, const Box* within) const
{
    const Store& st = *store_;
    const std::uint32_t at = run.first + i;
    count.n = 0;
    switch (run.kind) {
    case Kind::Chain: {
        Point3d a = st.points[at], b = st.points[at + 1];
        // Of a line crossing the view, only what lies in it is inked.
        if (within && !ClipToBox(a, b, *within)) return 0;
        count.Segment(a, b);
        break;
    }
    case Kind::Dots: count.Point(st.points[at]); break;
    case Kind::Arcs: count.Arc(st.arcs[at]); break;
    case Kind::Texts: {
        TextPrimitive p = st.texts[at].p;
        p.text = std::string_view(st.chars.data() + st.texts[at].at, st.texts[at].size);
        count.Text(p);
        break;
    }
    case Kind::Rings: {
        const Ring& ring = st.rings[at];
        count.Fill({st.points.begin() + ring.first, st.points.begin() + ring.first + ring.count});
        break;
    }
    case Kind::Wholes: count.n = acad::Pieces(*run.part, px_, kInkCapPx); break;
    case Kind::References: break;
    }
    // Setting the style of the parts that follow costs a piece.
    if (i == 0 && run.opens && run.kind != Kind::Wholes && run.kind != Kind::References) count.n += 1;
    return count.n;
}

std::unique_ptr<PieceSet> PieceSet::CostedAt(double px) const
{
    auto out = std::make_unique<PieceSet>();
    out->store_ = store_;
    out->leaves_ = leaves_;
    out->order_ = order_;
    out->tree_ = tree_;
    out->bounds_ = bounds_;
    out->pieces_ = pieces_;
    out->simplified_ = simplified_;
    out->px_ = px;
    CountSink count(px, kInkCapPx);
    for (Leaf& leaf : out->leaves_) {
        double cost = 0;
        out->EachPiece(leaf, [&](const Run& run, std::uint32_t i) {
            const double c = out->PieceCost(run, i, count);
            cost += c;
            if (run.kind != Kind::References) out->cost_ += c;
        });
        leaf.cost = static_cast<float>(cost);
    }
    for (std::size_t level = 0; level < out->tree_.size(); ++level)
        for (Node& n : out->tree_[level]) {
            n.cost = 0;
            for (std::uint32_t k = n.first; k < n.first + n.count; ++k)
                n.cost += level == 0 ? out->leaves_[out->order_[k]].cost : out->tree_[level - 1][k].cost;
        }
    AddWork(pieces_);
    return out;
}

double PieceSet::CostWithin(const Box& box, double px) const
{
    if (tree_.empty() || box.IsEmpty()) return 0;
    double cost = 0;
    std::uint64_t looked = 0;
    CountSink count(px_ > 0 ? std::min(px, px_) : px, kInkCapPx);
    std::vector<std::pair<std::size_t, std::uint32_t>> stack{{tree_.size() - 1, 0}};
    while (!stack.empty()) {
        const auto [level, i] = stack.back();
        stack.pop_back();
        const Node& n = tree_[level][i];
        ++looked;
        if (!n.box.Intersects(box)) continue;
        if (box.Contains(n.box) && px_ > 0) {
            cost += n.cost;
            continue;
        }
        for (std::uint32_t k = n.first; k < n.first + n.count; ++k) {
            if (level > 0) {
                stack.emplace_back(level - 1, k);
                continue;
            }
            ++looked;
            const Leaf& leaf = leaves_[order_[k]];
            if (!leaf.box.Intersects(box)) continue;
            if (box.Contains(leaf.box) && px_ > 0) {
                cost += leaf.cost;
                continue;
            }
            // A leaf across the border (or of the exact pieces): what of each
            // of its pieces lies within.
            EachPiece(leaf, [&](const Run& run, std::uint32_t p) {
                if (run.kind == Kind::References) return;
                if (const Box b = PieceBox(run, p); box.Contains(b))
                    cost += PieceCost(run, p, count);
                else if (b.Intersects(box))
                    cost += PieceCost(run, p, count, &box);
            });
            looked += leaf.count;
        }
    }
    AddWork(looked);
    return cost;
}

double PieceSet::CostAt(double px) const
{
    double cost = 0;
    CountSink count(px, kInkCapPx);
    for (const Run& run : store_->runs)
        if (run.kind != Kind::References)
            for (std::uint32_t i = 0; i < run.count; ++i) cost += PieceCost(run, i, count);
    AddWork(pieces_);
    return cost;
}

std::size_t PieceSet::Bytes() const
{
    std::size_t n = sizeof(*this) + leaves_.capacity() * sizeof(Leaf) + order_.capacity() * sizeof(std::uint32_t);
    for (const std::vector<Node>& level : tree_) n += level.capacity() * sizeof(Node);
    const Store& st = *store_;
    return n + sizeof(Store) + st.runs.capacity() * sizeof(Run) + st.points.capacity() * sizeof(Point3d) +
           st.arcs.capacity() * sizeof(CircularArc) + st.texts.capacity() * sizeof(KeptText) + st.chars.capacity() +
           st.rings.capacity() * sizeof(Ring) + st.references.capacity() * sizeof(void*) +
           (st.referenceBoxes.capacity() + st.boxes.capacity()) * sizeof(Box);
}

// ---------------------------------------------------------------- what is kept per scale

namespace {

// The octaves kept of every definition, the most recently used first.
struct KeptScales {
    std::list<KeptDefinition::ScaleUse> used;
    std::size_t bytes = 0;
    int holders = 0;  // ScalesInUse alive
};

KeptScales& Scales()
{
    // Never destroyed: definitions of drawings still open at exit leave it last.
    static KeptScales* const scales = new KeptScales;
    return *scales;
}

}  // namespace

std::size_t KeptScaleBytes() { return Scales().bytes; }

ScalesInUse::ScalesInUse() { ++Scales().holders; }

ScalesInUse::~ScalesInUse()
{
    KeptScales& s = Scales();
    if (--s.holders > 0) return;
    while (s.bytes > kKeptScaleBytes && !s.used.empty()) {
        const KeptDefinition::ScaleUse last = s.used.back();
        last.kept->Release(last.octave);
    }
}

void KeptDefinition::Touch(int octave)
{
    KeptScales& s = Scales();
    std::size_t bytes = sizeof(Measured) + sizeof(ScaleUse);
    if (const auto copy = copies_.find(octave); copy != copies_.end()) bytes += copy->second->Bytes();
    const auto [at, added] = uses_.try_emplace(octave);
    if (added) {
        s.used.push_front(ScaleUse{this, octave, 0});
        at->second = s.used.begin();
    } else {
        s.used.splice(s.used.begin(), s.used, at->second);
    }
    s.bytes = s.bytes - at->second->bytes + bytes;
    at->second->bytes = bytes;
}

void KeptDefinition::Release(int octave)
{
    if (const auto at = uses_.find(octave); at != uses_.end()) {
        KeptScales& s = Scales();
        s.bytes -= at->second->bytes;
        s.used.erase(at->second);
        uses_.erase(at);
    }
    copies_.erase(octave);
    levels_.erase(octave);
}

// ---------------------------------------------------------------- what is kept

KeptDefinition::KeptDefinition(const Block& def) : def_(def) {}

KeptDefinition::~KeptDefinition()
{
    while (!uses_.empty()) Release(uses_.begin()->first);
}

KeptDefinition& KeptDefinition::Of(const Block& def)
{
    if (!def.kept_) def.kept_ = std::make_shared<KeptDefinition>(def);
    KeptDefinition& kept = *def.kept_;
    kept.Refresh();
    return kept;
}

void KeptDefinition::Refresh()
{
    // Definitions changed since the last query mark those that hold them first.
    Document& doc = def_.Document();
    doc.FlushBlockChanges();
    const std::uint64_t now = std::max(def_.ChangedAt(), doc.AllExtentsChangedAt());
    if (now == at_) return;
    at_ = now;
    Forget();
}

void KeptDefinition::Forget()
{
    if (measuring_ || hulling_ || leveling_) return;  // in use: a damaged file holding itself
    measured_ = false;
    extents_ = Box();
    pieces_ = 0;
    held_.clear();
    hulled_ = false;
    hull_ = ConvexHull();
    exact_.reset();
    partRuns_.clear();
    lengths_.reset();
    inkLength_ = 0;
    exactCosts_.clear();
    drawsExact_.clear();
    while (!uses_.empty()) Release(uses_.begin()->first);
    copies_.clear();
    levels_.clear();
}

const Box& KeptDefinition::Extents()
{
    if (measured_ || measuring_) return extents_;
    // The definitions this one holds are measured first, deepest first, so that
    // measuring any of them finds the ones below measured already: however
    // deep the nesting, no measure recurses through it.
    struct Open {
        KeptDefinition* kept;
        ObjectList<Entity>::iterator next;  // the next part to look at
    };
    std::vector<Open> path{{this, def_.begin()}};
    measuring_ = true;
    while (!path.empty()) {
        Open& top = path.back();
        KeptDefinition* held = nullptr;
        while (!held && top.next != top.kept->def_.end()) {
            const BlockReference* r = (*top.next)->DrawnReference();
            ++top.next;
            if (!r) continue;
            const Block* d = def_.Document().Blocks().ByIndex(r->Data().block);
            if (!d) continue;
            KeptDefinition& k = Of(*d);
            // One on the path holds itself (a damaged file): it adds nothing more.
            if (!k.measured_ && !k.measuring_) held = &k;
        }
        if (held) {
            held->measuring_ = true;
            path.push_back(Open{held, held->def_.begin()});
            continue;
        }
        KeptDefinition* done = top.kept;
        path.pop_back();
        done->measuring_ = false;
        done->Measure();
    }
    return extents_;
}

void KeptDefinition::Measure()
{
    measuring_ = true;
    Box box;
    double pieces = 0;
    bool ownLayers = false;
    const auto& layers = def_.Document().Layers();
    auto onItsOwn = [&layers](const Entity& e) {
        const Layer* layer = layers.ByIndex(e.LayerIndex());
        return layer && !layer->IsZero();
    };
    held_.clear();
    for (Entity* e : def_) {
        BlockReference* r = e->DrawnReference();
        if (r) held_.push_back(r);
        if (!e->Visible()) continue;
        ++pieces;
        ownLayers = ownLayers || onItsOwn(*e);
        if (r) {
            if (!ownLayers) {
                const Block* d = def_.Document().Blocks().ByIndex(r->Data().block);
                ownLayers = d && d->kept_ && !d->kept_->measuring_ && d->kept_->ownLayers_;
                for (const AttributeReference* a : r->GetAttributes())
                    ownLayers = ownLayers || (a->Visible() && onItsOwn(*a));
            }
            // Each copy of a grid draws the definition and the attributes again.
            const auto copies = static_cast<double>(r->Copies());
            // Measured first (Extents), but for one that holds itself.
            if (const Block* d = def_.Document().Blocks().ByIndex(r->Data().block); d && d->kept_)
                if (!d->kept_->measuring_) pieces += d->kept_->pieces_ * copies;
            // What its attributes draw, letter by letter.
            for (const AttributeReference* a : r->GetAttributes())
                if (a->Visible() && pieces <= kReferenceWork) pieces += (1 + EmittedPieces(*a)) * copies;
            if (r != e && pieces <= kReferenceWork) pieces += EmittedPieces(*e);  // a dimension's own pieces
        } else if (pieces <= kReferenceWork) {
            // Past an ordinary block's worth only the parts are counted: that
            // is all that is asked of the count then.
            pieces += EmittedPieces(*e);
        }
        Box part;
        if (dynamic_cast<AttributeDefinition*>(e)) {
            // As a reference draws it: constant attributes only, with their value.
            detail::ExtentsSink sink;
            if (!detail::EmitAsPart(*e, sink, Transform())) continue;
            part = sink.box;
        } else {
            part = e->Extents();
        }
        // What reaches infinity has no place in a reference's box, which is
        // that of the rest, as for the drawing's extents.
        if (part.IsFinite()) box.Add(part);
    }
    // One charge for all it looked at.
    AddWork(static_cast<std::uint64_t>(def_.Count()) +
            static_cast<std::uint64_t>(std::min(pieces, 2 * kReferenceWork)));
    measuring_ = false;
    extents_ = box;
    pieces_ = pieces;
    ownLayers_ = ownLayers;
    measured_ = true;
}

double KeptDefinition::Pieces()
{
    Extents();
    return pieces_;
}

const std::vector<BlockReference*>& KeptDefinition::Held()
{
    Extents();
    return held_;
}

bool KeptDefinition::OnLayersOfItsOwn()
{
    Extents();
    return ownLayers_;
}

const ConvexHull& KeptDefinition::Hull()
{
    Extents();
    // A definition that holds itself (a damaged file) adds nothing more.
    if (hulled_ || hulling_) return hull_;
    hulling_ = true;
    ++g_hullDepth;
    HullSink sink;
    Box zs;
    for (Entity* e : def_) {
        if (!e->Visible()) continue;
        if (const auto* s = dynamic_cast<const Spline*>(e)) {
            // A spline lies inside the hull of its control points (its frame,
            // when it has no curve to draw).
            if (const std::vector<Point3d>* hold = HullPoints(s->Data())) {
                sink.points.insert(sink.points.end(), hold->begin(), hold->end());
                continue;
            }
        }
        const BlockReference* r = e->DrawnReference();
        if (!r) {
            detail::EmitAsPart(*e, sink, Transform());
            continue;
        }
        if (r != e) {
            // A dimension's or a table's own pieces, then its block as a reference's.
            sink.intoReferences = false;
            detail::EmitAsPart(*e, sink, Transform());
            sink.intoReferences = true;
        }
        const Block* inner = def_.Document().Blocks().ByIndex(r->Data().block);
        if (!inner) continue;
        KeptDefinition& k = Of(*inner);
        const bool clipped = r->ClipPolygon() != nullptr;
        const auto copies = static_cast<double>(r->Copies());
        if (k.Pieces() * copies <= kReferenceWork && !clipped) {
            r->Emit(sink, Transform());  // few pieces, exactly where they are
            continue;
        }
        if (copies > 1) {
            sink.Corners(r->Extents());  // a grid: the box of its corner copies
            continue;
        }
        sink.Corners(r->AttributesBox());
        const ConvexHull* nested = g_hullDepth < kHullDepth && !clipped ? &k.Hull() : nullptr;
        if (!nested || nested->Vertices().size() > kNestedHullVertices) {
            sink.Corners(nested ? nested->Through(r->BlockTransform()) : r->Extents());
            continue;
        }
        const Transform t = r->BlockTransform();
        for (const Point3d& v : nested->Vertices()) sink.Point(t.Apply(v));
        zs.Add(nested->Through(t));
    }
    AddWork(sink.points.size());
    hull_ = ConvexHull(std::move(sink.points));
    if (!zs.IsEmpty()) hull_.WidenZ(zs.min.z, zs.max.z);
    hulled_ = true;
    --g_hullDepth;
    hulling_ = false;
    return hull_;
}

const PieceSet& KeptDefinition::Exact()
{
    if (exact_) return *exact_;
    auto set = std::make_unique<PieceSet>();
    PieceBuilder builder(*set, 0);
    std::uint64_t parts = 0;
    for (Entity* e : def_) {
        if (!e->Visible()) continue;
        ++parts;
        const auto first = static_cast<std::uint32_t>(set->store_->runs.size());
        if (const BlockReference* r = e->DrawnReference(); r == e) {
            builder.Reference(*r, r->Extents());
        } else if (r || dynamic_cast<const InfiniteLine*>(e)) {
            // Drawn whole by its own kind: a dimension or a table with its
            // block, a line without end to the edges of the view it is seen in
            // (its box reaches infinity).
            builder.Whole(*e, e->Extents());
        } else {
            builder.Part(*e);
            detail::EmitAsPart(*e, builder, Transform());
        }
        partRuns_[e] = {first, static_cast<std::uint32_t>(set->store_->runs.size())};
    }
    builder.Finish();
    AddWork(parts + set->Size());
    exact_ = std::move(set);
    return *exact_;
}

namespace {

// A piece at half-pixel resolution: the style it is drawn in (its part's
// layer and colour), its kind, the cells its ends fall in (of a segment either
// way round, of an arc in the order it turns) and, of an arc, the cell of its
// centre, its radius and its length in cells: two halves of one circle differ
// in the order of their ends, a sliver and the rest of its circle in length.
// Cells take z as well as x and y: seen through a tilted extrusion, pieces
// one above the other are drawn apart.
struct Cell {
    std::int64_t x = 0, y = 0, z = 0;
    bool operator==(const Cell&) const = default;
    auto Tied() const { return std::tie(x, y, z); }
    template <typename H>
    friend H AbslHashValue(H h, const Cell& c)
    {
        return H::combine(std::move(h), c.x, c.y, c.z);
    }
};

// The style is the number a build gave it (see StyleIds), so that the keys
// of segments and dots, by far the most, stay small.
struct SpanKey {
    std::uint32_t style = 0;
    std::uint8_t kind = 0;
    Cell a, b;
    bool operator==(const SpanKey&) const = default;
    template <typename H>
    friend H AbslHashValue(H h, const SpanKey& k)
    {
        return H::combine(std::move(h), k.style, k.kind, k.a, k.b);
    }
};

struct CellKey {
    SpanKey span;
    Cell c{};
    std::int64_t r = 0, length = 0;
    bool operator==(const CellKey&) const = default;
    template <typename H>
    friend H AbslHashValue(H h, const CellKey& k)
    {
        return H::combine(std::move(h), k.span, k.c, k.r, k.length);
    }
};

// A number for each style a build meets, asked once per part (its pieces come together).
class StyleIds {
public:
    std::uint32_t Of(const Entity& part)
    {
        if (&part != last_) {
            last_ = &part;
            id_ = ids_.try_emplace(DrawnStyle(part), static_cast<std::uint32_t>(ids_.size())).first->second;
        }
        return id_;
    }

private:
    absl::flat_hash_map<DrawnStyleKey, std::uint32_t> ids_;
    const Entity* last_ = nullptr;
    std::uint32_t id_ = 0;
};

DrawnStyleKey StyleOf(const Entity& e) { return DrawnStyle(e); }

// Whether a part is drawn whole by its own kind at `px` (a hatch's fill and
// holes, a polyline's bands once its width shows, a dimension or a table with
// the block it draws through, a line without end to the view's edges, a text
// over its fill, and the kinds of other programs drawn by what they hold: a
// wipeout's mask, a multileader's note in its own face).
bool DrawnWhole(const Entity& e, double px)
{
    if (dynamic_cast<const Hatch*>(&e) || dynamic_cast<const InfiniteLine*>(&e) || dynamic_cast<const RawEntity*>(&e) ||
        e.DrawnReference())
        return true;
    if (const auto* m = dynamic_cast<const MText*>(&e); m && m->HasBackgroundFill()) return true;
    return WidestDrawn(e) * px >= kWidePx;
}

}  // namespace

const PieceSet& KeptDefinition::Copy(int octave)
{
    if (const auto found = copies_.find(octave); found != copies_.end()) {
        Touch(octave);
        return *found->second;
    }
    const double px = std::ldexp(1.0, octave);
    // A coarser copy that left nothing out draws what any finer octave
    // draws, but for a polyline whose width comes to show: the same pieces,
    // costing what they cost at this scale.
    for (auto it = copies_.begin(); it != copies_.end() && it->first < octave; ++it) {
        const PieceSet& coarser = *it->second;
        if (coarser.simplified_) continue;
        const auto& runs = coarser.store_->runs;
        if (std::any_of(runs.begin(), runs.end(), [&](const PieceSet::Run& r) {
                return r.kind != PieceSet::Kind::Wholes && r.kind != PieceSet::Kind::References &&
                       DrawnWhole(*r.part, px);
            }))
            continue;
        const PieceSet& costed = *(copies_[octave] = coarser.CostedAt(px));
        Touch(octave);
        return costed;
    }
    // Each copy from the nearest finer one, else from the pieces themselves:
    // the definition is measured once, each octave derived from that.
    const auto finer = copies_.upper_bound(octave);
    const PieceSet& source = finer == copies_.end() ? Exact() : *finer->second;
    auto out = std::make_unique<PieceSet>();
    Build(octave, source, *out);
    AddWork(source.Size());
    const PieceSet& built = *(copies_[octave] = std::move(out));
    Touch(octave);
    return built;
}

bool KeptDefinition::DrawsExact(int octave)
{
    // A copy keeps a piece whose ends fall in cells (half a pixel) apart,
    // unless one alike was drawn there: when it would keep nearly all, it is
    // nearly the pieces themselves.
    constexpr double kMostKept = 0.75;
    if (const auto decided = drawsExact_.find(octave); decided != drawsExact_.end()) return decided->second;
    if (!lengths_) {
        const PieceSet& exact = Exact();
        const PieceSet::Store& st = *exact.store_;
        std::vector<float> lengths;
        lengths.reserve(exact.Size());
        bool plain = true;
        double sum = 0;
        auto add = [&](double l) {
            lengths.push_back(static_cast<float>(l));
            sum += l;
        };
        for (const PieceSet::Run& r : st.runs) {
            if (r.kind == PieceSet::Kind::Wholes || r.kind == PieceSet::Kind::References ||
                DrawnWhole(*r.part, std::numeric_limits<double>::max())) {
                plain = false;
                break;
            }
            for (std::uint32_t i = 0; i < r.count; ++i) switch (r.kind) {
                case PieceSet::Kind::Chain: add(Distance(st.points[r.first + i], st.points[r.first + i + 1])); break;
                case PieceSet::Kind::Dots: add(0); break;
                case PieceSet::Kind::Arcs: add(st.arcs[r.first + i].Length()); break;
                case PieceSet::Kind::Texts: {
                    const Point3d* c = st.texts[r.first + i].p.corners;
                    add(Distance(c[0], c[3]));
                    break;
                }
                case PieceSet::Kind::Rings: {
                    const PieceSet::Ring& ring = st.rings[r.first + i];
                    const Box b = BoxOfPoints(&st.points[ring.first], ring.count);
                    add(b.IsEmpty() ? 0 : std::max(b.Width(), b.Height()));
                    break;
                }
                case PieceSet::Kind::Wholes:
                case PieceSet::Kind::References: break;
                }
        }
        if (!plain) lengths.clear();
        lengths_ = std::move(lengths);
        inkLength_ = plain ? sum : 0;
    }
    bool& decided = drawsExact_[octave];
    const std::vector<float>& lengths = *lengths_;
    const Box& b = Exact().Bounds();
    if (lengths.empty() || !std::isfinite(inkLength_) || b.IsEmpty() || !b.IsFinite()) return decided = false;
    // A piece `l` long lying any way across cells `c` wide has its ends in
    // two of them with a chance of 4l / πc (its spans along both axes over c).
    const double px = std::ldexp(1.0, octave), across = 4 / kPi * 2 * px;
    double kept = 0;
    for (const float l : lengths) kept += std::min(1.0, l * across);
    // Pieces that ink more than twice the pixels of their box lie over one
    // another: a copy draws those once.
    return decided = kept >= kMostKept * static_cast<double>(lengths.size()) &&
                     inkLength_ * px <= 2 * (b.Width() * px + 2) * (b.Height() * px + 2);
}

double KeptDefinition::CopyCost(int octave) const
{
    if (copies_.count(octave) || exactCosts_.count(octave)) return 0;
    if (const auto finer = copies_.upper_bound(octave); finer != copies_.end())
        return static_cast<double>(finer->second->Size());
    if (exact_) return static_cast<double>(exact_->Size());
    // Not measured yet: at least a piece for each part.
    return static_cast<double>(def_.Count());
}

void KeptDefinition::Build(int octave, const PieceSet& source, PieceSet& out)
{
    const double px = std::ldexp(1.0, octave);
    const double perCell = 2 * px;  // cells half a pixel wide
    constexpr double kFarCell = 4e18;
    PieceBuilder b(out, px);
    StyleIds styles;
    absl::flat_hash_set<SpanKey> seen;
    absl::flat_hash_set<CellKey> seenArcs;  // and rings
    absl::flat_hash_set<PlacedAlike> alike;
    std::set<const Entity*> wholes;
    bool simplified = false;
    auto cell = [&](const Point3d& p, Cell& c) {
        const double x = std::floor(p.x * perCell), y = std::floor(p.y * perCell), z = std::floor(p.z * perCell);
        if (!(std::fabs(x) < kFarCell) || !(std::fabs(y) < kFarCell) || !(std::fabs(z) < kFarCell)) return false;
        c = {static_cast<std::int64_t>(x), static_cast<std::int64_t>(y), static_cast<std::int64_t>(z)};
        return true;
    };
    // Whether a piece of `part` at cells `a`, `b` is new (or too far out to
    // tell): one drawn alike there already draws its pixels.
    auto fresh = [&](const Entity* part, std::uint8_t kind, const Point3d& a, const Point3d& c,
                     const CircularArc* arc = nullptr) {
        SpanKey k{styles.Of(*part), kind, {}, {}};
        if (!cell(a, k.a) || !cell(c, k.b)) return true;
        if (arc) {
            CellKey ak{k};
            const double r = std::floor(arc->radius * perCell), length = std::floor(arc->Length() * perCell);
            if (!cell(arc->center, ak.c) || !(r < kFarCell) || !(length < kFarCell)) return true;
            ak.r = static_cast<std::int64_t>(r);
            ak.length = static_cast<std::int64_t>(length);
            if (seenArcs.insert(ak).second) return true;
            simplified = true;
            return false;
        }
        if (k.b.Tied() < k.a.Tied()) std::swap(k.a, k.b);
        if (seen.insert(k).second) return true;
        simplified = true;
        return false;
    };
    auto dot = [&](const Entity* part, const Point3d& p) {
        simplified = true;
        if (!fresh(part, 1, p, p)) return;
        b.Part(*part);
        b.Point(p);
    };
    auto whole = [&](const Entity* part) {
        if (!wholes.insert(part).second) return;
        const Box box = part->Extents();
        // A wipeout inks nothing: however small, it is no dot.
        const auto* raw = dynamic_cast<const RawEntity*>(part);
        if (IsDot(box, px) && !(raw && !raw->Mask().empty())) {
            dot(part, box.Center());
            return;
        }
        b.Whole(*part, box);
    };
    // How far the pieces of each part drawn in each cell reach, in quarters
    // of it: a vertex within that adds nothing to the pixels.
    struct Reach {
        std::int64_t x0, x1, y0, y1;
    };
    absl::flat_hash_map<SpanKey, Reach> reached;
    auto Reaches = [&](const Entity* part, const Point3d& p) {
        SpanKey k{styles.Of(*part), 2, {}, {}};
        if (!cell(p, k.a)) return true;
        const double qx = std::floor(p.x * perCell * 4), qy = std::floor(p.y * perCell * 4);
        if (!(std::fabs(qx) < kFarCell) || !(std::fabs(qy) < kFarCell)) return true;
        const auto x = static_cast<std::int64_t>(qx), y = static_cast<std::int64_t>(qy);
        const auto [at, added] = reached.try_emplace(k, Reach{x, x, y, y});
        if (added) return true;
        Reach& r = at->second;
        if (x >= r.x0 && x <= r.x1 && y >= r.y0 && y <= r.y1) return false;
        r.x0 = std::min(r.x0, x);
        r.x1 = std::max(r.x1, x);
        r.y0 = std::min(r.y0, y);
        r.y1 = std::max(r.y1, y);
        return true;
    };
    // A piece stands for one drawn alike before it only while nothing of
    // another style has been drawn over where those kept so far lie (`kept`):
    // drawn again, it would be on top of that.
    Box kept;
    std::optional<DrawnStyleKey> keptStyle;  // of the part drawn last (none: a reference, of every style)
    auto over = [&](const Box& box, const std::optional<DrawnStyleKey>& style) {
        if (!(style && keptStyle && *style == *keptStyle) &&
            (box.IsEmpty() || !box.IsFinite() || kept.IsEmpty() || box.Intersects(kept))) {
            seen.clear();
            seenArcs.clear();
            reached.clear();
            alike.clear();
            kept = Box();
        }
        if (box.IsFinite()) kept.Add(box);
        keptStyle = style;
    };
    const Entity* lastPart = nullptr;
    std::function<void(const PieceSet&, const PieceSet::Run&)> run = [&](const PieceSet& s, const PieceSet::Run& r) {
        using Kind = PieceSet::Kind;
        const Entity* part = r.part;
        if (r.kind == Kind::References) {
            for (std::uint32_t i = 0; i < r.count; ++i) {
                const BlockReference& ref = *s.store_->references[r.first + i];
                // Of references placed alike, the first (their attributes differ).
                if (const auto key = PlacedAt(ref, px); key && !ref.HasAttributes() && alike.contains(*key)) {
                    simplified = true;
                    continue;
                }
                over(ref.Extents(), std::nullopt);
                lastPart = nullptr;
                if (const auto key = PlacedAt(ref, px); key && !ref.HasAttributes()) alike.insert(*key);
                b.Reference(ref, ref.Extents());
            }
            return;
        }
        if (part != lastPart) {
            over(part->Extents(), StyleOf(*part));
            lastPart = part;
        }
        if (DrawnWhole(*part, px)) {
            whole(part);
            return;
        }
        // The bands of a polyline whose width does not show at this scale:
        // the window draws its centre line alone.
        if (r.kind == Kind::Rings && WidestDrawn(*part) > 0) return;
        if (r.kind == Kind::Wholes) {
            // Drawn whole at a finer scale, thin at this one: its own pieces.
            const PieceSet& exact = Exact();
            const auto [first, end] = partRuns_[part];
            for (std::uint32_t k = first; k < end; ++k) run(exact, exact.store_->runs[k]);
            return;
        }
        b.Part(*part);
        switch (r.kind) {
        case Kind::Chain: {
            // Of the vertices that fall in the cell of the one kept before
            // them, only those furthest each way are kept (the chain draws the
            // same pixels through them), and a piece between two cells that
            // some piece of the part joins already is passed over (a zigzag
            // many times over the same pixels).
            const Point3d* v = &s.store_->points[r.first];
            Point3d last = v[0];
            Cell l;
            bool near = cell(last, l);
            std::array<std::uint32_t, 4> far{};  // furthest left, right, down, up (0: none)
            auto beyond = [&](std::uint32_t i) {
                const Point3d& p = v[i];
                if (!far[0] || p.x < v[far[0]].x) far[0] = i;
                if (!far[1] || p.x > v[far[1]].x) far[1] = i;
                if (!far[2] || p.y < v[far[2]].y) far[2] = i;
                if (!far[3] || p.y > v[far[3]].y) far[3] = i;
            };
            auto to = [&](const Point3d& p, bool across) {
                const bool drawn = across ? fresh(part, 0, last, p) : Reaches(part, p);
                if (drawn) b.Segment(last, p);
                if (across) Reaches(part, p);
                last = p;
            };
            Reaches(part, last);
            for (std::uint32_t i = 1; i <= r.count; ++i) {
                Cell c;
                const bool in = cell(v[i], c);
                if (i < r.count && near && in && c == l) {
                    simplified = true;
                    beyond(i);
                    continue;
                }
                if (far[0]) {
                    std::array<std::uint32_t, 4> kept = far;
                    std::sort(kept.begin(), kept.end());
                    for (std::size_t k = 0; k < kept.size(); ++k)
                        if (k == 0 || kept[k] != kept[k - 1]) to(v[kept[k]], false);
                    far = {};
                }
                to(v[i], true);
                l = c;
                near = in;
            }
            break;
        }
        case Kind::Dots:
            for (std::uint32_t i = 0; i < r.count; ++i) {
                const Point3d& p = s.store_->points[r.first + i];
                if (fresh(part, 1, p, p)) b.Point(p);
            }
            break;
        case Kind::Arcs:
            for (std::uint32_t i = 0; i < r.count; ++i) {
                const CircularArc& a = s.store_->arcs[r.first + i];
                if (a.radius * px < kDotPx / 2)
                    dot(part, a.center);
                else if (fresh(part, 3, a.StartPoint(), a.EndPoint(), &a))
                    b.Arc(a);
            }
            break;
        case Kind::Texts:
            for (std::uint32_t i = 0; i < r.count; ++i) {
                const PieceSet::KeptText& kept = s.store_->texts[r.first + i];
                const Point3d* c = kept.p.corners;
                TextPrimitive p = kept.p;
                p.text = std::string_view(s.store_->chars.data() + kept.at, kept.size);
                const Vector3d along = (c[1] - c[0]) * px, up = (c[3] - c[0]) * px;
                if (TextLookOf(up.Length2d(), along.Length2d(), std::fabs(Cross2d(along, up)), Letters(p)) ==
                    TextLook::Dot) {
                    dot(part, Midpoint(c[0], c[2]));
                    continue;
                }
                b.Text(p);
            }
            break;
        case Kind::Rings:
            for (std::uint32_t i = 0; i < r.count; ++i) {
                const PieceSet::Ring& ring = s.store_->rings[r.first + i];
                std::vector<Point3d> kept;
                Cell l, f;
                bool any = false;
                for (std::uint32_t k = 0; k < ring.count; ++k) {
                    const Point3d& p = s.store_->points[ring.first + k];
                    Cell c;
                    const bool near = cell(p, c);
                    if (near && any && c == l) continue;
                    if (!any) f = c;
                    any = true;
                    l = c;
                    kept.push_back(p);
                }
                if (kept.size() > 1 && l == f) kept.pop_back();
                if (kept.size() < ring.count) simplified = true;
                if (kept.size() < 3) {
                    if (!kept.empty()) dot(part, kept.front());
                    continue;
                }
                // One whose vertices fall in the cells of one drawn alike
                // fills the same pixels (the bands of a wide zigzag).
                std::uint64_t cells = 1469598103934665603ull;
                for (const Point3d& p : kept) {
                    Cell c;
                    cell(p, c);
                    for (const std::int64_t v : {c.x, c.y, c.z})
                        cells = (cells ^ static_cast<std::uint64_t>(v)) * 1099511628211ull;
                }
                CellKey k{{styles.Of(*part),
                           4,
                           {static_cast<std::int64_t>(cells), static_cast<std::int64_t>(kept.size()), 0},
                           {}}};
                if (!seenArcs.insert(k).second) {
                    simplified = true;
                    continue;
                }
                b.Fill(kept);
            }
            break;
        case Kind::Wholes:
        case Kind::References: break;
        }
    };
    for (const PieceSet::Run& r : source.store_->runs) run(source, r);
    b.Finish();
    out.simplified_ = simplified || source.simplified_;
}

const Levels* KeptDefinition::HeldAt(int octave, long& steps, int reach)
{
    static const Levels kNothing{};
    reach = std::clamp(reach, 1, kWholeDepth);
    if (const auto found = levels_.find(octave); found != levels_.end() && found->second.heldReach >= reach) {
        Touch(octave);
        return &found->second.held;
    }
    // A definition that holds itself (a damaged drawing) adds nothing more.
    if (leveling_) return &kNothing;
    leveling_ = true;
    Levels held{};
    const double px = std::ldexp(1.0, octave);
    bool done = true;
    for (const BlockReference* r : Held()) {
        // A dimension's or a table's picture is shown as its holder is.
        const Entity& holder = r->Holder() ? *r->Holder() : static_cast<const Entity&>(*r);
        if (r->IsErased() || !holder.Visible()) continue;
        --steps;
        AddWork(1);
        const Box b = r->Extents();
        if (IsDot(b, px)) {
            for (int L = 1; L <= kWholeDepth; ++L) held[static_cast<std::size_t>(L)] += 2;
            continue;
        }
        held[1] += OutlineWork(b, px);
        if (reach == 1) continue;  // looked into no further
        const double attributes = 1 + AttributesWork(*r, px);
        const Block* inner = def_.Document().Blocks().ByIndex(r->Data().block);
        const Levels* nested = inner ? Of(*inner).LevelsAt(OctaveOf(px * ScaleOf(*r)), steps, reach - 1) : &kNothing;
        if (!nested || steps < 0) {
            done = false;
            break;
        }
        // Each copy of a grid draws it all again, those a pixel apart;
        // copies too small to see, the pixels they ink.
        double copies = 1;
        if (r->Copies() > 1) {
            const BlockReference::FrameCost cost = r->CostOfCopies(Transform(), Box(), px, kInkCapPx);
            if (cost.dots > 0) {
                for (int L = 2; L <= reach; ++L) held[static_cast<std::size_t>(L)] += cost.dots;
                continue;
            }
            copies = cost.copies;
        }
        for (int L = 2; L <= reach; ++L)
            held[static_cast<std::size_t>(L)] += copies * (attributes + (*nested)[static_cast<std::size_t>(L - 1)]);
    }
    leveling_ = false;
    if (!done) return nullptr;
    Measured& m = levels_[octave];
    m.held = held;
    m.heldReach = reach;
    Touch(octave);
    return &m.held;
}

const Levels* KeptDefinition::LevelsAt(int octave, long& steps, int reach)
{
    reach = std::clamp(reach, 1, kWholeDepth);
    if (const auto found = levels_.find(octave); found != levels_.end() && found->second.allReach >= reach) {
        Touch(octave);
        return &found->second.all;
    }
    const Levels* held = HeldAt(octave, steps, reach);
    if (!held) return nullptr;
    const Levels heldNow = *held;
    // A copy not built yet is built while any steps are left, and charged
    // what building it took: what it costs to draw is known only then, and
    // it is kept for every view after.
    if (CopyCost(octave) > 0 && steps <= 0) return nullptr;
    const std::uint64_t measured = WalkWork();
    double own = 0;
    if (DrawsExact(octave)) {
        const auto [at, added] = exactCosts_.try_emplace(octave, 0);
        if (added) at->second = Exact().CostAt(std::ldexp(1.0, octave));
        own = at->second;
    } else {
        own = Copy(octave).Cost();
    }
    steps -= static_cast<long>(WalkWork() - measured);
    Measured& m = levels_[octave];
    for (int L = 1; L <= kWholeDepth; ++L)
        m.all[static_cast<std::size_t>(L)] = own + heldNow[static_cast<std::size_t>(L)];
    m.allReach = reach;
    Touch(octave);
    return &m.all;
}

// ---------------------------------------------------------------- walks

namespace {

// Where in a definition drawn through `t` (undone by `back`) lies what can
// reach `reach`, a box of the world's x and y. Through a tilted placement the
// world's x and y depend on z too: the reach at each height that the
// definition's pieces (within `extents`) take there.
Box ReachIn(const Box& reach, const Transform& t, const Transform& back, const Box& extents)
{
    if (t.m[0][2] == 0 && t.m[1][2] == 0) return PlaneBoxThrough(reach, back);
    if (extents.IsEmpty()) return extents;
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (int k = 0; k < 8; ++k) {
        const double z = t.Apply({k & 1 ? extents.max.x : extents.min.x, k & 2 ? extents.max.y : extents.min.y,
                                  k & 4 ? extents.max.z : extents.min.z})
                             .z;
        low = std::min(low, z);
        high = std::max(high, z);
    }
    Box local;
    for (int k = 0; k < 8; ++k)
        local.Add(
            back.Apply({k & 1 ? reach.max.x : reach.min.x, k & 2 ? reach.max.y : reach.min.y, k & 4 ? high : low}));
    return local;
}

// A sink given the pieces of a definition, part by part.
class SinkVisitor final : public PieceSet::Visitor {
public:
    SinkVisitor(GeometrySink& sink, const Transform& t) : sink_(sink), t_(t) {}
    bool Begin(const Entity& part, PieceSet::Kind) override { return sink_.BeginNested(part); }
    void End(const Entity& part) override { sink_.EndNested(part); }
    GeometrySink& Sink() override { return sink_; }
    void Whole(const Entity& part) override { detail::EmitAsPart(part, sink_, t_); }
    void Reference(const BlockReference& r) override { r.Emit(sink_, t_); }
    bool Done() const override { return sink_.Done(); }

private:
    GeometrySink& sink_;
    const Transform& t_;
};

}  // namespace

void EmitDefinition(const Block& def, GeometrySink& sink, const Transform& t, bool lastFirst)
{
    const Box reach = sink.Reach();
    std::optional<Transform> back;
    if (!reach.IsEmpty() && reach.IsFinite()) {
        KeptDefinition& kept = KeptDefinition::Of(def);
        if (kept.Pieces() > kReferenceWork) back = t.Inverse();
        if (back) {
            const Box local = ReachIn(reach, t, *back, kept.Extents());
            if (local.IsFinite()) {
                SinkVisitor v(sink, t);
                kept.Exact().Walk(local, t, v, lastFirst);
                return;
            }
        }
    }
    std::vector<Entity*> parts(def.begin(), def.end());
    if (lastFirst) std::reverse(parts.begin(), parts.end());
    for (Entity* e : parts) {
        if (!e->Visible()) continue;
        if (auto* ad = dynamic_cast<AttributeDefinition*>(e)) {
            // Only constant attributes draw inside a reference (with their value);
            // the others are drawn by the reference's own attributes.
            if (!ad->Constant() || ad->Invisible() || !sink.BeginNested(*e)) continue;
            ad->TextBase::Emit(sink, t);
            sink.EndNested(*e);
            continue;
        }
        if (!sink.BeginNested(*e)) continue;
        e->Emit(sink, t);
        sink.EndNested(*e);
        if (sink.Done()) return;
    }
}

}  // namespace acad
