#include "platform/acad/BlockReference.h"

#include <algorithm>
#include <cmath>

#include "platform/acad/Block.h"
#include "platform/acad/Document.h"
#include "platform/acad/DrawCount.h"
#include "platform/acad/KeptDefinition.h"
#include "platform/acad/Work.h"
#include "platform/acad/EmitSupport.h"
#include "platform/acad/Error.h"
#include "platform/acad/TextEntities.h"
#include "platform/acad/Work.h"

namespace acad {

namespace {
// Nesting deeper than this is a cycle in a damaged file; drawing stops there.
constexpr int kMaxNesting = 32;
thread_local int g_nesting = 0;

struct NestingGuard {
    NestingGuard() { ++g_nesting; }
    ~NestingGuard() { --g_nesting; }
};

// True when `t` maps axes onto axes (no turn): a box then goes to the box of
// the transformed content exactly.
bool KeepsAxes(const Transform& t)
{
    double diag = 0.0, off = 0.0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double& m = i == j ? diag : off;
            m = std::max(m, std::fabs(t.m[i][j]));
        }
    return off <= 1e-12 * diag;
}

Box BoxThrough(const Box& b, const Transform& t)
{
    if (b.IsEmpty()) return b;
    Box r;
    if (t.m[0][1] == 0 && t.m[0][2] == 0 && t.m[1][0] == 0 && t.m[1][2] == 0 && t.m[2][0] == 0 && t.m[2][1] == 0) {
        // Each axis onto itself: two corners give the same box as eight.
        r.Add(t.Apply(b.min));
        r.Add(t.Apply(b.max));
        return r;
    }
    for (int k = 0; k < 8; ++k)
        r.Add(t.Apply({k & 1 ? b.max.x : b.min.x, k & 2 ? b.max.y : b.min.y, k & 4 ? b.max.z : b.min.z}));
    return r;
}

void CheckScale(double s, const char* what)
{
    if (!std::isfinite(s) || s == 0.0) ThrowInvalidInput(std::string(what) + " (não pode ser zero)");
}
}  // namespace

BlockReference::BlockReference(acad::Document& doc, const BlockReferenceData& data) : Entity(doc), data_(data) {}

BlockReference::~BlockReference() = default;

acad::Block& BlockReference::Block() const
{
    acad::Block* b = Document().Blocks().ByIndex(data_.block);
    if (!b) ThrowKeyNotFound("Definição de bloco da referência");
    return *b;
}

std::string BlockReference::Name() const
{
    CheckAlive();
    return Block().Name();
}

void BlockReference::SetName(const std::string& blockName)
{
    CheckWritable();
    acad::Block* b = Document().Blocks().Find(blockName);
    if (!b || b->IsLayout()) ThrowKeyNotFound("Bloco \"" + blockName + "\"");
    if (const acad::Block* in = Container()) in->CheckMayDraw(*b);
    data_.block = Document().Blocks().IndexOf(*b);
    Relist();
    InvalidateExtents();
    GeometryChanged();
}

Point3d BlockReference::InsertionPoint() const
{
    CheckAlive();
    return data_.extrusion.ToWorld(data_.insertionPoint);
}

namespace {
// The placement with one field changed.
template <typename T>
BlockReferenceData With(const BlockReferenceData& d, T BlockReferenceData::*field, T value)
{
    BlockReferenceData r = d;
    r.*field = value;
    return r;
}
}  // namespace

void BlockReference::SetInsertionPoint(const Point3d& p)
{
    CheckWritable();
    detail::CheckFinite(p, "ponto de inserção");
    ChangePlacement(With(data_, &BlockReferenceData::insertionPoint, data_.extrusion.FromWorld(p)));
}

double BlockReference::XScaleFactor() const
{
    CheckAlive();
    return data_.xScale;
}

void BlockReference::SetXScaleFactor(double s)
{
    CheckWritable();
    CheckScale(s, "escala X");
    ChangePlacement(With(data_, &BlockReferenceData::xScale, s));
}

double BlockReference::YScaleFactor() const
{
    CheckAlive();
    return data_.yScale;
}

void BlockReference::SetYScaleFactor(double s)
{
    CheckWritable();
    CheckScale(s, "escala Y");
    ChangePlacement(With(data_, &BlockReferenceData::yScale, s));
}

double BlockReference::ZScaleFactor() const
{
    CheckAlive();
    return data_.zScale;
}

void BlockReference::SetZScaleFactor(double s)
{
    CheckWritable();
    CheckScale(s, "escala Z");
    ChangePlacement(With(data_, &BlockReferenceData::zScale, s));
}

double BlockReference::Rotation() const
{
    CheckAlive();
    return data_.rotation;
}

void BlockReference::SetRotation(double r)
{
    CheckWritable();
    if (!std::isfinite(r)) ThrowInvalidInput("rotação");
    ChangePlacement(With(data_, &BlockReferenceData::rotation, NormalizeAngle(r)));
}

bool BlockReference::HasAttributes() const
{
    CheckAlive();
    return std::any_of(attributes_.begin(), attributes_.end(), [](auto* a) { return !a->IsErased(); });
}

std::vector<AttributeReference*> BlockReference::GetAttributes() const
{
    CheckAlive();
    std::vector<AttributeReference*> r;
    r.reserve(attributes_.size());
    for (auto* a : attributes_)
        if (!a->IsErased()) r.push_back(a);
    return r;
}

std::vector<AttributeDefinition*> BlockReference::GetConstantAttributes() const
{
    CheckAlive();
    std::vector<AttributeDefinition*> r;
    for (Entity* e : Block())
        if (auto* ad = dynamic_cast<AttributeDefinition*>(e); ad && ad->Constant()) r.push_back(ad);
    return r;
}

void BlockReference::SetData(const BlockReferenceData& d)
{
    CheckAlive();
    if (d.block != data_.block)
        if (const acad::Block* in = Container())
            if (const acad::Block* b = Document().Blocks().ByIndex(d.block)) in->CheckMayDraw(*b);
    data_ = d;
    Relist();
    InvalidateExtents();
    GeometryChanged();
}

Transform BlockReference::BlockTransform() const
{
    const acad::Block* b = Document().Blocks().ByIndex(data_.block);
    return Placement(b ? b->Origin() : Point3d{});
}

Transform BlockReference::Placement(const Point3d& base) const
{
    // Placed in the plane of its extrusion, where its insertion point lies.
    const Transform placed =
        Transform::Insertion(base, data_.insertionPoint, data_.xScale, data_.yScale, data_.zScale, data_.rotation);
    return data_.extrusion.IsZAxis() ? placed : data_.extrusion.Ocs() * placed;
}

void BlockReference::ChangePlacement(const BlockReferenceData& d)
{
    const Transform before = BlockTransform();
    data_ = d;
    if (auto inv = before.Inverse()) {
        const Transform delta = BlockTransform() * *inv;
        for (auto* a : attributes_)
            if (!a->IsErased()) a->TransformBy(delta);
        for (auto& a : pending_) a->TransformBy(delta);
    }
    InvalidateExtents();
    GeometryChanged();
}

AttributeReference* BlockReference::AppendAttribute(std::unique_ptr<AttributeReference> attribute)
{
    CheckAlive();
    if (!attribute) ThrowInvalidInput("atributo nulo");
    if (&attribute->Document() != &Document()) throw Error(ErrorCode::WrongDocument, "Atributo de outro desenho");
    AttributeReference* a = Document().Adopt(std::move(attribute));
    a->SetOwner(this, false);
    attributes_.push_back(a);
    InvalidateExtents();
    GeometryChanged();
    return a;
}

void BlockReference::CreateAttributesFromDefinition()
{
    CheckAlive();
    const Transform t = BlockTransform();
    const acad::Layer* zero = Document().Layers().Find("0");
    for (Entity* e : Block()) {
        auto* def = dynamic_cast<AttributeDefinition*>(e);
        if (!def || def->Constant()) continue;
        AttributeData ad = def->Attribute();
        ad.prompt.clear();
        auto a = std::make_unique<AttributeReference>(Document(), def->Text(), ad);
        a->CopyCommonFrom(*def);
        // Attributes defined on layer "0" take the reference's layer, like the rest of the block.
        if (zero && def->LayerIndex() == zero->Index()) a->SetLayerIndex(LayerIndex());
        a->TransformBy(t);
        AppendAttribute(std::move(a));
    }
}

void BlockReference::Relist()
{
    // Only references in a container, or held by an entity in one, are listed
    // (copies being made are not).
    const bool placed = Container() != nullptr;
    acad::Block* now = placed && !IsErased() ? Document().Blocks().ByIndex(data_.block) : nullptr;
    if (now == listedIn_) return;
    if (listedIn_) listedIn_->RemoveReference(*this);
    if (now) now->AddReference(*this);
}

void BlockReference::Unlist()
{
    if (listedIn_) listedIn_->RemoveReference(*this);
}

std::unique_ptr<BlockReference> BlockReference::HeldBy(Entity& holder, const BlockReferenceData& d)
{
    auto r = std::make_unique<BlockReference>(holder.Document(), d);
    r->SetOwner(&holder, false);
    return r;
}

Entity* BlockReference::Holder() const { return OwnerBlock() ? nullptr : dynamic_cast<Entity*>(Owner()); }

acad::Block* BlockReference::Container() const
{
    if (acad::Block* owner = OwnerBlock()) return owner;
    const Entity* holder = Holder();
    return holder && !holder->IsErased() ? holder->OwnerBlock() : nullptr;
}

// ---------------------------------------------------------------- a grid of copies

namespace {
// Distinct places along one axis of a grid: a spacing of 0 (or none that is
// a number) puts every copy of the axis on one.
std::size_t Places(int count, double spacing)
{
    return count > 1 && spacing != 0 && std::isfinite(spacing) ? static_cast<std::size_t>(count) : 1;
}

// The whole numbers k with k·w in [lo, hi], within [0, last]: [first, end).
void StepsWithin(double w, double lo, double hi, double last, double& first, double& end)
{
    if (w == 0) {
        if (!(lo <= 0 && 0 <= hi)) end = first;
        return;
    }
    double a = lo / w, b = hi / w;
    if (a > b) std::swap(a, b);
    // A copy that touches the box counts, rounding or not.
    const double slack = 1e-9 * std::max(1.0, last);
    first = std::max(first, std::ceil(a - slack));
    end = std::min(end, std::floor(b + slack) + 1);
    end = std::min(end, last + 1);
    if (!(end > first)) end = first;
}
}  // namespace

std::size_t BlockReference::Copies() const
{
    return Places(data_.columns, data_.columnSpacing) * Places(data_.rows, data_.rowSpacing);
}

Vector3d BlockReference::CopyOffset(std::size_t i) const
{
    const std::size_t columns = Places(data_.columns, data_.columnSpacing);
    if (Copies() == 1) return {};
    const double x = static_cast<double>(i % columns) * data_.columnSpacing;
    const double y = static_cast<double>(i / columns) * data_.rowSpacing;
    // The grid turns with the reference, in the plane of its extrusion; it is not scaled.
    const double c = std::cos(data_.rotation), s = std::sin(data_.rotation);
    const Vector3d inPlane{x * c - y * s, x * s + y * c, 0.0};
    return data_.extrusion.IsZAxis() ? inPlane : data_.extrusion.Ocs().ApplyVector(inPlane);
}

Transform BlockReference::CopyTransform(std::size_t i) const
{
    if (i == 0) return BlockTransform();
    return Transform::Translation(CopyOffset(i)) * BlockTransform();
}

std::vector<std::size_t> BlockReference::CornerCopies() const
{
    const std::size_t columns = Places(data_.columns, data_.columnSpacing);
    const std::size_t n = Copies();
    std::vector<std::size_t> corners{0, columns - 1, n - columns, n - 1};
    std::sort(corners.begin(), corners.end());
    corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
    return corners;
}

Box BlockReference::CopyBox() const
{
    const Box& all = Extents();
    if (Copies() == 1 || all.IsEmpty()) return all;
    // The grid's box is the first copy's widened by the corners' offsets.
    Point3d lo, hi;
    for (std::size_t k : CornerCopies()) {
        const Vector3d o = CopyOffset(k);
        lo = {std::min(lo.x, o.x), std::min(lo.y, o.y), 0.0};
        hi = {std::max(hi.x, o.x), std::max(hi.y, o.y), 0.0};
    }
    Box one = all;
    one.min = all.min - lo;
    one.max = all.max - hi;
    if (one.IsFinite() && !one.IsEmpty()) return one;
    // Corners too far to be numbers (a spacing near the largest double) have
    // no box to take it from: the first copy is measured.
    Box first;
    MeasureCopyInto(Transform(), first, true);
    return first;
}

namespace {
// A grid seen through `t`: its distinct places along each axis, the step from
// one column to the next (u) and from one row to the next (v), and the box
// of the first copy (in X and Y).
struct GridShape {
    double columns = 1, rows = 1;
    Vector3d u, v;
    Box first;
    // The same grid walked column by column.
    GridShape Transposed() const { return GridShape{rows, columns, v, u, first}; }
};

GridShape ShapeOf(const BlockReference& ref, const Transform& t, const Box& one)
{
    const BlockReferenceData& d = ref.Data();
    GridShape g;
    g.columns = static_cast<double>(Places(d.columns, d.columnSpacing));
    g.rows = static_cast<double>(Places(d.rows, d.rowSpacing));
    for (int k = 0; k < 4; ++k)
        g.first.Add(t.Apply({k & 1 ? one.max.x : one.min.x, k & 2 ? one.max.y : one.min.y, one.min.z}));
    if (g.columns > 1) g.u = t.ApplyVector(ref.CopyOffset(1));
    if (g.rows > 1) g.v = t.ApplyVector(ref.CopyOffset(static_cast<std::size_t>(g.columns)));
    return g;
}

// Copy (r, c) lies at first + c·u + r·v, and meets `reach` when
// reach.min − first.max ≤ c·u + r·v ≤ reach.max − first.min.
// The rows some column of which may meet it: [r0, r1).
void RowsWithin(const GridShape& g, const Box& reach, double& r0, double& r1)
{
    r0 = 0;
    r1 = g.rows;
    const double lo[2] = {reach.min.x - g.first.max.x, reach.min.y - g.first.max.y};
    const double hi[2] = {reach.max.x - g.first.min.x, reach.max.y - g.first.min.y};
    const double uw[2] = {g.u.x, g.u.y}, vw[2] = {g.v.x, g.v.y};
    for (int a = 0; a < 2; ++a) {
        const double span = (g.columns - 1) * uw[a];
        StepsWithin(vw[a], lo[a] - std::max(0.0, span), hi[a] - std::min(0.0, span), g.rows - 1, r0, r1);
    }
}

// The columns of row `r` that meet it: [c0, c1).
void ColumnsWithin(const GridShape& g, const Box& reach, double r, double& c0, double& c1)
{
    c0 = 0;
    c1 = g.columns;
    StepsWithin(g.u.x, reach.min.x - g.first.max.x - r * g.v.x, reach.max.x - g.first.min.x - r * g.v.x, g.columns - 1,
                c0, c1);
    StepsWithin(g.u.y, reach.min.y - g.first.max.y - r * g.v.y, reach.max.y - g.first.min.y - r * g.v.y, g.columns - 1,
                c0, c1);
}

// The places of one axis of `n` a walk visits: each, or where they lie closer
// than its step, one in `k` and the last, each standing for those up to the
// next it visits.
struct Stride {
    double n = 1, k = 1;
    Stride(double count, const Vector3d& w, double step) : n(count)
    {
        const double length = w.Length2d();
        if (count > 1 && step > 0 && length < step) k = length > 0 ? std::clamp(std::floor(step / length), 1.0, n) : n;
    }
    // The place visited after `i` (n: none), and before it (−1: none).
    double Next(double i) const { return i >= n - 1 ? n : std::min(n - 1, (std::floor(i / k) + 1) * k); }
    double Prev(double i) const { return i <= 0 ? -1 : (std::ceil(i / k) - 1) * k; }
    // The places visited that stand for those of [a, b): from the last at or
    // below a to the first at or above b − 1.
    double From(double a) const { return a >= n - 1 ? n - 1 : std::floor(a / k) * k; }
    double To(double b) const { return b - 1 <= 0 ? 0 : std::min(n - 1, std::ceil((b - 1) / k) * k); }
    // How many places are visited in [from, to] (both visited).
    double Count(double from, double to) const
    {
        if (to < from) return 0;
        double m = std::floor(to / k) - std::ceil(from / k) + 1;
        if (to == n - 1 && std::fmod(n - 1, k) != 0) ++m;
        return m;
    }
    // The place visited nearest `x`, within [from, to] (both visited).
    double Near(double x, double from, double to) const
    {
        x = std::clamp(x, from, to);
        double m = std::round(x / k) * k;
        if (m >= n - 1 || std::fabs(n - 1 - x) < std::fabs(x - m)) m = n - 1;
        return std::clamp(m, from, to);
    }
};

// Where along `w` the point `d` lies, in steps of `w`.
double Along(const Vector3d& w, const Vector3d& d)
{
    const double w2 = w.x * w.x + w.y * w.y;
    return w2 > 0 ? (d.x * w.x + d.y * w.y) / w2 : 0.0;
}

// The places of [from, to] along a stride, from `start` outward both ways:
// `visit(i)` answers false to stop; `bounds(from, to)` gives them again after
// each (the reach may narrow). False when the walk was stopped.
template <typename Visit, typename Bounds>
bool MiddleOut(const Stride& s, double start, double from, double to, Visit visit, Bounds bounds)
{
    double up = start, down = s.Prev(start);
    for (;;) {
        bool any = false;
        if (up <= to && up >= from) {
            if (!visit(up)) return false;
            any = true;
            up = s.Next(up);
            bounds(from, to);
        }
        if (down >= from && down <= to) {
            if (!visit(down)) return false;
            any = true;
            down = s.Prev(down);
            bounds(from, to);
        }
        if (!any) return true;
    }
}

// Calls `visit(r, c)` for each copy a walk visits, until it answers false.
template <typename Visit>
void WalkGrid(const GridShape& g, const BlockReference::CopyWalk& walk, Visit visit)
{
    const Stride cs(g.columns, g.u, walk.step), rs(g.rows, g.v, walk.step);
    Box asked = walk.reach ? walk.reach() : Box();
    if (asked.IsEmpty()) {
        for (double r = 0; r < g.rows; r = rs.Next(r)) {
            AddWork(1);
            for (double c = 0; c < g.columns; c = cs.Next(c))
                if (!visit(r, c)) return;
        }
        return;
    }
    // The copies a walk passes over lie within a step of one it visits: those
    // just out of reach stand for those just in it.
    auto widened = [&](const Box& b) { return walk.step > 0 ? b.Expanded(walk.step) : b; };
    Box reach = widened(asked);
    auto rows = [&](double& from, double& to) {
        double r0, r1;
        RowsWithin(g, reach, r0, r1);
        from = r1 > r0 ? rs.From(r0) : 1;
        to = r1 > r0 ? rs.To(r1) : 0;
    };
    double r0, r1;
    rows(r0, r1);
    if (r1 < r0) return;
    if (!walk.nearestFirst) {
        // In the order of the grid, row by row: copies lying over one another
        // are drawn as the file means them.
        for (double r = r0; r <= r1; r = rs.Next(r)) {
            AddWork(1);
            double c0, c1;
            ColumnsWithin(g, reach, r, c0, c1);
            if (!(c1 > c0)) continue;
            for (double c = cs.From(c0), last = cs.To(c1); c <= last; c = cs.Next(c))
                if (!visit(r, c)) return;
        }
        return;
    }
    // The copies nearest the middle of the reach first: a walk whose reach
    // narrows as it finds (the nearest part so far) then leaves the rest.
    const Point3d middle = reach.Center(), first = g.first.Center();
    // A reach asked again that has not changed, or is no longer any, is kept.
    auto again = [&] {
        const Box now = walk.reach();
        if (now.IsEmpty() || now == asked) return false;
        asked = now;
        reach = widened(now);
        return true;
    };
    MiddleOut(
        rs, rs.Near(Along(g.v, middle - first), r0, r1), r0, r1,
        [&](double r) {
            AddWork(1);
            auto columns = [&](double& from, double& to) {
                double c0, c1;
                ColumnsWithin(g, reach, r, c0, c1);
                from = c1 > c0 ? cs.From(c0) : 1;
                to = c1 > c0 ? cs.To(c1) : 0;
            };
            double c0, c1;
            columns(c0, c1);
            if (c1 < c0) return true;
            return MiddleOut(
                cs, cs.Near(Along(g.u, middle - first - g.v * r), c0, c1), c0, c1,
                [&](double c) { return visit(r, c); },
                [&](double& from, double& to) {
                    if (again()) columns(from, to);
                });
        },
        [&](double& from, double& to) {
            again();
            rows(from, to);
        });
}
}  // namespace

namespace {
// `ring`, a convex polygon, cut to `box` (in X and Y).
std::vector<Point3d> CutToBox(std::vector<Point3d> ring, const Box& box)
{
    for (int side = 0; side < 4 && !ring.empty(); ++side) {
        // How far in from this side of the box.
        auto in = [&](const Point3d& p) {
            switch (side) {
            case 0: return p.x - box.min.x;
            case 1: return box.max.x - p.x;
            case 2: return p.y - box.min.y;
            default: return box.max.y - p.y;
            }
        };
        std::vector<Point3d> kept;
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const Point3d& a = ring[i];
            const Point3d& b = ring[(i + 1) % ring.size()];
            const double da = in(a), db = in(b);
            if (da >= 0) kept.push_back(a);
            if ((da >= 0) != (db >= 0)) kept.push_back(Lerp(a, b, da / (da - db)));
        }
        ring = std::move(kept);
    }
    return ring;
}
}  // namespace

void BlockReference::EmitDots(GeometrySink& sink, const Transform& t, const Box& reach, double pxPerUnit) const
{
    const Box one = CopyBox();
    if (one.IsEmpty() || !(pxPerUnit > 0)) return;
    const GridShape g = ShapeOf(*this, t, one);
    // Each dot is drawn at the middle of its copy's box.
    const Point3d first = g.first.Center();
    const bool columnsTouch = g.u.Length2d() * pxPerUnit <= 1, rowsTouch = g.v.Length2d() * pxPerUnit <= 1;
    if (columnsTouch && rowsTouch) {
        // One area: the dots' middles from corner to corner, each inking the
        // pixel about it.
        const double half = 0.5 / pxPerUnit;
        std::vector<Point3d> corners;
        for (double r : {0.0, g.rows - 1})
            for (double c : {0.0, g.columns - 1})
                for (int k = 0; k < 4; ++k)
                    corners.push_back(first + g.u * c + g.v * r + Point3d{k & 1 ? half : -half, k & 2 ? half : -half});
        std::vector<Point3d> ring = ConvexHull(std::move(corners)).Vertices();
        if (!reach.IsEmpty()) ring = CutToBox(std::move(ring), reach);
        if (ring.size() >= 3) sink.Fill(ring);
        return;
    }
    if (columnsTouch || rowsTouch) {
        // A line for each row whose dots touch (or each column).
        const GridShape lines = columnsTouch ? g : g.Transposed();
        double r0 = 0, r1 = lines.rows;
        if (!reach.IsEmpty()) RowsWithin(lines, reach, r0, r1);
        for (double r = r0; r < r1; ++r) {
            AddWork(1);
            double c0 = 0, c1 = lines.columns;
            if (!reach.IsEmpty()) ColumnsWithin(lines, reach, r, c0, c1);
            if (!(c1 > c0)) continue;
            const Point3d a = first + lines.u * c0 + lines.v * r;
            if (c1 - c0 < 2)
                sink.Point(a);
            else
                sink.Segment(a, first + lines.u * (c1 - 1) + lines.v * r);
        }
        return;
    }
    // Apart: a dot each.
    WalkGrid(g, CopyWalk{[&reach] { return reach; }}, [&](double r, double c) {
        sink.Point(first + g.u * c + g.v * r);
        return true;
    });
}

BlockReference::FrameCost BlockReference::CostOfCopies(const Transform& t, const Box& reach, double pxPerUnit,
                                                       double inkCapPx) const
{
    FrameCost cost;
    if (!(pxPerUnit > 0) || !std::isfinite(pxPerUnit)) {
        cost.copies = CountCopies(t, reach);
        return cost;
    }
    if (const Box one = CopyBox(); IsDot(PlaneBoxThrough(one, t), pxPerUnit)) {
        const GridShape g = ShapeOf(*this, t, one);
        if (g.u.Length2d() * pxPerUnit > 1 && g.v.Length2d() * pxPerUnit > 1) {
            // A dot each, counted row by row, not walked.
            cost.dots = std::max(CountCopies(t, reach), 1.0);
            return cost;
        }
        CountSink count(pxPerUnit, inkCapPx);
        EmitDots(count, t, reach, pxPerUnit);
        cost.dots = std::max(count.n, 1.0);
        return cost;
    }
    cost.copies = CountCopies(t, reach, 1 / pxPerUnit);
    return cost;
}

void BlockReference::EachCopy(const Transform& t, const CopyWalk& walk,
                              const std::function<bool(std::size_t)>& visit) const
{
    if (Copies() == 1) {
        visit(0);
        return;
    }
    const Box one = CopyBox();
    if (one.IsEmpty() && walk.reach && !walk.reach().IsEmpty()) return;
    const GridShape g = ShapeOf(*this, t, one);
    WalkGrid(g, walk, [&](double r, double c) { return visit(static_cast<std::size_t>(r * g.columns + c)); });
}

double BlockReference::CountCopies(const Transform& t, const Box& reach, double step) const
{
    if (Copies() == 1) return 1;
    const Box one = CopyBox();
    if (one.IsEmpty() && !reach.IsEmpty()) return 0;
    const GridShape g = ShapeOf(*this, t, one);
    const Stride cs(g.columns, g.u, step), rs(g.rows, g.v, step);
    const Box within = step > 0 && !reach.IsEmpty() ? reach.Expanded(step) : reach;
    double from = 0, to = g.rows - 1;
    if (!within.IsEmpty()) {
        double r0, r1;
        RowsWithin(g, within, r0, r1);
        if (!(r1 > r0)) return 0;
        from = rs.From(r0);
        to = rs.To(r1);
    }
    double n = 0;
    for (double r = from; r <= to; r = rs.Next(r)) {
        AddWork(1);
        double c0 = 0, c1 = g.columns;
        if (!within.IsEmpty()) ColumnsWithin(g, within, r, c0, c1);
        if (c1 > c0) n += cs.Count(cs.From(c0), cs.To(c1));
    }
    return n;
}

void BlockReference::OnAdopted()
{
    Relist();
    auto pending = std::move(pending_);
    pending_.clear();
    for (auto& a : pending) AppendAttribute(std::move(a));
}

void BlockReference::CloneAttributesInto(BlockReference& copy, acad::Document& target) const
{
    for (auto* a : attributes_) {
        if (a->IsErased()) continue;
        std::unique_ptr<Entity> c = a->CloneTo(target);
        copy.pending_.emplace_back(static_cast<AttributeReference*>(c.release()));
    }
}

namespace {
// Rotation and scales of `t` applied after the placement (insertion point, rotation, scales).
BlockReferenceData Transformed(const BlockReferenceData& d, const Transform& t)
{
    BlockReferenceData r = d;
    Vector3d u{std::cos(d.rotation), std::sin(d.rotation), 0.0};
    Vector3d v{-u.y, u.x, 0.0};
    Vector3d c0 = t.ApplyVector(u * d.xScale);
    Vector3d c1 = t.ApplyVector(v * d.yScale);
    double len = c0.Length2d();
    if (!(len > 0)) return r;
    double sx = d.xScale < 0 ? -1.0 : 1.0;
    r.xScale = sx * len;
    r.rotation = NormalizeAngle(std::atan2(c0.y * sx, c0.x * sx));
    Vector3d v2{-std::sin(r.rotation), std::cos(r.rotation), 0.0};
    r.yScale = Dot(c1, v2);
    if (r.yScale == 0.0) r.yScale = d.yScale;
    r.zScale = d.zScale * (t.m[2][2] != 0 ? t.m[2][2] : 1.0);
    r.insertionPoint = t.Apply(d.insertionPoint);
    return r;
}
}  // namespace

void BlockReference::TransformBy(const Transform& t)
{
    CheckAlive();
    const Transform inPlane = data_.extrusion.TransformBy(t);
    data_ = Transformed(data_, inPlane);
    for (auto* a : attributes_)
        if (!a->IsErased()) a->TransformBy(t);
    for (auto& a : pending_) a->TransformBy(t);  // a copy being placed before it is added
    InvalidateExtents();
    GeometryChanged();
}

void BlockReference::Emit(GeometrySink& sink, const Transform& t) const
{
    if (!sink.BeginReference(*this, t)) return;
    if (Copies() == 1) {
        EmitCopy(sink, t);
        return;
    }
    const Box one = CopyBox();
    // A copy out of reach is offered first, one at a corner (when any copy is
    // out of reach, one at a corner is): a window learns at once that the
    // grid reaches out of it.
    if (const Box reach = sink.CopyReach(); !reach.IsEmpty())
        for (std::size_t k : CornerCopies())
            if (const Box b = BoxThrough(one, t * Transform::Translation(CopyOffset(k))); !b.Intersects(reach)) {
                sink.WantsCopy(*this, b);
                break;
            }
    // Copies closer together than a coordinate's tolerance are one place.
    CopyWalk walk{[&sink] { return sink.CopyReach(); }, Budgeted() ? CoordinateTolerance(t.Apply(one.min)) : 0.0, true};
    EachCopy(t, walk, [&](std::size_t i) {
        if (!sink.MoreCopies(*this, t)) return false;
        const Transform at = t * Transform::Translation(CopyOffset(i));
        if (sink.WantsCopy(*this, BoxThrough(one, at))) EmitCopy(sink, at);
        return true;
    });
}

void BlockReference::EmitCopy(GeometrySink& sink, const Transform& t) const
{
    const acad::Block* def = Document().Blocks().ByIndex(data_.block);
    if (def && g_nesting < kMaxNesting) {
        NestingGuard guard;
        EmitDefinition(*def, sink, t * BlockTransform());
    }
    for (auto* a : attributes_) {
        if (a->IsErased() || !a->Visible() || !sink.BeginNested(*a)) continue;
        a->Emit(sink, t);  // attributes are held in world coordinates
        sink.EndNested(*a);
    }
}

Box BlockReference::Extents() const
{
    // Definitions changed since the last query mark their references stale first.
    Document().FlushBlockChanges();
    return MeasuredExtents();
}

const Box& BlockReference::MeasuredExtents() const
{
    if (!extentsValid_) {
        Box box;
        MeasureInto(Transform(), box, false);
        if (Copies() == 1) {
            box.Add(AttributesBox());
        } else if (const Box& a = AttributesBox(); !a.IsEmpty()) {
            for (std::size_t k : CornerCopies()) {
                const Vector3d o = CopyOffset(k);
                box.Add(Box::FromCorners(a.min + o, a.max + o));
            }
        }
        extents_ = box;
        extentsValid_ = true;
    }
    return extents_;
}

namespace {
void AddPoint(Box& b, double x, double y, double z)
{
    b.min.x = std::min(b.min.x, x);
    b.min.y = std::min(b.min.y, y);
    b.min.z = std::min(b.min.z, z);
    b.max.x = std::max(b.max.x, x);
    b.max.y = std::max(b.max.y, y);
    b.max.z = std::max(b.max.z, z);
}

void AddBox(Box& b, const Box& o)
{
    if (o.IsEmpty()) return;
    AddPoint(b, o.min.x, o.min.y, o.min.z);
    AddPoint(b, o.max.x, o.max.y, o.max.z);
}

bool IsFinite(const Point3d& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
}  // namespace

BlockReference::Remeasure::Remeasure(const acad::Block& def) : base_(def.Origin())
{
    // The definition's box once for all its references, measured as MeasureInto
    // would (inside one more level of nesting).
    direct_ = g_nesting < kMaxNesting;
    if (direct_) {
        NestingGuard guard;
        drawn_ = KeptDefinition::Of(def).Extents();
    }
    drawnEmpty_ = drawn_.IsEmpty();
    direct_ = direct_ && (drawnEmpty_ || (IsFinite(drawn_.min) && IsFinite(drawn_.max))) && IsFinite(base_);
}

void BlockReference::Remeasure::operator()(BlockReference& r) const
{
    if (r.IsErased()) return;
    acad::Block* owner = r.OwnerBlock();
    if (!owner) return;
    const BlockReferenceData& d = r.data_;
    if (direct_ && d.rotation == 0.0 && d.extrusion.IsZAxis() && !r.ClipPolygon() && r.Copies() == 1 &&
        std::isfinite(d.xScale) && std::isfinite(d.yScale) && std::isfinite(d.zScale) && IsFinite(d.insertionPoint)) {
        // Transform::Insertion without a turn, and its Apply on the box's two
        // corners: the same sums in the same order, the terms that are zero left
        // out (they change no finite result), so the box is the one MeasureInto gives.
        Box box;
        if (!drawnEmpty_) {
            const double tx = (0.0 + d.xScale * -base_.x) + d.insertionPoint.x;
            const double ty = (0.0 + d.yScale * -base_.y) + d.insertionPoint.y;
            const double tz = (0.0 + d.zScale * -base_.z) + d.insertionPoint.z;
            Box placed;
            AddPoint(placed, d.xScale * drawn_.min.x + tx, d.yScale * drawn_.min.y + ty, d.zScale * drawn_.min.z + tz);
            AddPoint(placed, d.xScale * drawn_.max.x + tx, d.yScale * drawn_.max.y + ty, d.zScale * drawn_.max.z + tz);
            AddBox(box, placed);
        }
        AddBox(box, r.AttributesBox());
        r.extents_ = box;
        r.extentsValid_ = true;
    }
    owner->EntityRemeasured(r, r.MeasuredExtents());
}

void BlockReference::Remeasure::Ahead(const BlockReference* r)
{
    // The references lie far apart (each among its attributes): asking for
    // the one a few steps on now keeps the walk from waiting on memory.
    const char* at = reinterpret_cast<const char*>(r);
    for (std::size_t off = 0; off < sizeof(BlockReference); off += 64) __builtin_prefetch(at + off);
    // Its attributes lie apart from it too, but are read only when their box
    // is not kept.
    if (!r->attributesValid_)
        for (const AttributeReference* a : r->attributes_) {
            const char* p = reinterpret_cast<const char*>(a);
            for (std::size_t off = 0; off < sizeof(AttributeReference); off += 64) __builtin_prefetch(p + off);
        }
}

void BlockReference::RemeasureAfterEdit(const acad::Block& def, BlockReference* const* first,
                                        BlockReference* const* last)
{
    if (first == last) return;
    const Remeasure remeasure(def);
    constexpr std::ptrdiff_t kAhead = 8;
    for (; first != last; ++first) {
        if (last - first > kAhead) Remeasure::Ahead(first[kAhead]);
        remeasure(**first);
    }
}

Box BlockReference::BoundsUnder(const Transform& t) const
{
    return t.IsIdentity() ? Extents() : BoxThrough(Extents(), t);
}

const Box& BlockReference::AttributesBox() const
{
    if (!attributesValid_) {
        Box box;
        for (auto* a : attributes_)
            if (!a->IsErased() && a->Visible()) box.Add(a->Extents());
        attributesBox_ = box;
        attributesValid_ = true;
    }
    return attributesBox_;
}

void BlockReference::MeasureInto(const Transform& t, Box& box, bool withAttributes) const
{
    if (Copies() == 1) {
        MeasureCopyInto(t, box, withAttributes);
        return;
    }
    for (std::size_t k : CornerCopies())
        MeasureCopyInto(t * Transform::Translation(CopyOffset(k)), box, withAttributes);
}

void BlockReference::MeasureCopyInto(const Transform& t, Box& box, bool withAttributes) const
{
    const acad::Block* def = Document().Blocks().ByIndex(data_.block);
    if (def) {
        NestingGuard guard;
        const Transform placed = Placement(def->Origin());
        const Transform T = t.IsIdentity() ? placed : t * placed;
        Box drawn;
        KeptDefinition& kept = KeptDefinition::Of(*def);
        if (g_nesting > kMaxNesting || KeepsAxes(T)) {
            drawn = BoxThrough(kept.Extents(), T);
        } else if (kept.Pieces() > kReferenceWork) {
            // Turned, and more than an ordinary block: its definition's hull,
            // measured once for every reference, not its parts.
            const ConvexHull& hull = kept.Hull();
            AddWork(1 + static_cast<std::uint64_t>(std::log2(1.0 + static_cast<double>(hull.Vertices().size()))));
            drawn = hull.Through(T);
        } else {
            // The few parts of an ordinary block, each where it lies.
            for (Entity* e : *def) {
                if (!e->Visible()) continue;
                AddWork(1);
                if (auto* inner = dynamic_cast<BlockReference*>(e)) {
                    inner->MeasureInto(T, drawn);
                    continue;
                }
                detail::ExtentsSink sink;
                detail::EmitAsPart(*e, sink, T);
                if (sink.box.IsFinite()) drawn.Add(sink.box);  // as the definition's drawn extents leave it out
            }
        }
        // A clip leaves no more than what lies in its boundary's box.
        if (const std::vector<Point3d>* clip = ClipPolygon(); clip && !drawn.IsEmpty()) {
            Box limit;
            for (const Point3d& p : *clip) limit.Add(T.Apply(p));
            drawn.min = {std::max(drawn.min.x, limit.min.x), std::max(drawn.min.y, limit.min.y), drawn.min.z};
            drawn.max = {std::min(drawn.max.x, limit.max.x), std::min(drawn.max.y, limit.max.y), drawn.max.z};
        }
        box.Add(drawn);
    }
    if (!withAttributes) return;
    for (auto* a : attributes_) {
        if (a->IsErased() || !a->Visible()) continue;
        detail::ExtentsSink sink;
        a->Emit(sink, t);
        box.Add(sink.box);
    }
}

void BlockReference::InvalidateExtents()
{
    extentsValid_ = false;
    attributesValid_ = false;
}

std::unique_ptr<Entity> BlockReference::CloneTo(acad::Document& target) const
{
    auto c = std::make_unique<BlockReference>(target, data_);
    c->CopyCommonFrom(*this);
    CloneAttributesInto(*c, target);
    return c;
}

void BlockReference::OnErase()
{
    // The attributes belong to the reference and go with it.
    for (auto* a : attributes_)
        if (!a->IsErased()) a->Delete();
    if (listedIn_) listedIn_->RemoveReference(*this);
    Entity::OnErase();
}

// ---------------------------------------------------------------- ExternalReference

ExternalReference::ExternalReference(acad::Document& doc, const BlockReferenceData& data) : BlockReference(doc, data) {}

std::string ExternalReference::Path() const
{
    CheckAlive();
    return Block().Path().string();
}

void ExternalReference::SetClipBoundary(const std::vector<Point3d>& worldPoints)
{
    CheckWritable();
    if (worldPoints.empty()) {
        clip_.clear();
        InvalidateExtents();
        GeometryChanged();
        return;
    }
    std::vector<Point3d> pts = worldPoints;
    if (pts.size() == 2) {
        Box b = Box::FromCorners(pts[0], pts[1]);
        pts = {{b.min.x, b.min.y}, {b.max.x, b.min.y}, {b.max.x, b.max.y}, {b.min.x, b.max.y}};
    }
    if (pts.size() < 3) ThrowInvalidInput("contorno de recorte (pelo menos dois cantos ou três vértices)");
    auto inv = BlockTransform().Inverse();
    if (!inv) ThrowInvalidInput("referência externa com escala nula");
    for (auto& p : pts) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) ThrowInvalidInput("vértice do contorno de recorte");
        p = inv->Apply({p.x, p.y, InsertionPoint().z});
    }
    clip_ = std::move(pts);
    InvalidateExtents();
    GeometryChanged();
}

namespace {
// Passes on only what lies inside a polygon (segments are cut at its edges).
class ClipSink : public GeometrySink {
public:
    ClipSink(GeometrySink& out, std::vector<Point3d> polygon) : out_(out), poly_(std::move(polygon)) {}

    void Point(const Point3d& p) override
    {
        if (PointInPolygon(p, poly_)) out_.Point(p);
    }
    void Segment(const Point3d& a, const Point3d& b) override
    {
        // What lies out of the sink's reach cannot matter to it.
        if (const Box reach = out_.Reach(); !reach.IsEmpty() && !SegmentIntersectsBox(a, b, reach)) return;
        std::vector<double> ts{0.0, 1.0};
        const std::size_t n = poly_.size();
        for (std::size_t i = 0; i < n; ++i) {
            const Point3d& c = poly_[i];
            const Point3d& d = poly_[(i + 1) % n];
            double den = Cross2d(b - a, d - c);
            if (den == 0) continue;
            double t = Cross2d(c - a, d - c) / den;
            double u = Cross2d(c - a, b - a) / den;
            if (t > 0 && t < 1 && u >= 0 && u <= 1) ts.push_back(t);
        }
        std::sort(ts.begin(), ts.end());
        for (std::size_t i = 0; i + 1 < ts.size(); ++i) {
            if (ts[i + 1] - ts[i] <= 0) continue;
            Point3d p0 = Lerp(a, b, ts[i]), p1 = Lerp(a, b, ts[i + 1]);
            if (PointInPolygon(Midpoint(p0, p1), poly_)) out_.Segment(p0, p1);
        }
    }
    void Arc(const CircularArc& arc) override
    {
        // An arc no edge of the boundary crosses lies wholly in or out of it.
        bool crossed = false;
        for (std::size_t i = 0; i < poly_.size() && !crossed; ++i)
            crossed = ArcIntersectsSegment(arc, poly_[i], poly_[(i + 1) % poly_.size()]);
        if (!crossed) {
            if (PointInPolygon(arc.StartPoint(), poly_)) out_.Arc(arc);
            return;
        }
        double sweep = arc.Sweep();
        int pieces = std::max(4, static_cast<int>(std::ceil(sweep / (kPi / 32))));
        Point3d prev = arc.StartPoint();
        for (int k = 1; k <= pieces; ++k) {
            Point3d p = arc.PointAt(arc.startAngle + sweep * k / pieces);
            Segment(prev, p);
            prev = p;
        }
    }
    void Text(const TextPrimitive& t) override
    {
        Point3d c = Midpoint(t.corners[0], t.corners[2]);
        if (PointInPolygon(c, poly_)) out_.Text(t);
    }
    void Fill(const std::vector<Point3d>& ring) override
    {
        for (const auto& p : ring)
            if (PointInPolygon(p, poly_)) {
                out_.Fill(ring);
                return;
            }
    }
    void Ray(const Point3d& base, const Vector3d& direction, bool bothWays) override
    {
        // Cut to the boundary's box first: the cut then is that of a segment.
        Box box;
        for (const auto& p : poly_) box.Add(p);
        Point3d a, b;
        if (ClipRay(base, direction, bothWays, box, a, b)) Segment(a, b);
    }
    bool BeginNested(const Entity& e) override { return out_.BeginNested(e); }
    void EndNested(const Entity& e) override { out_.EndNested(e); }
    bool BeginReference(const BlockReference& r, const Transform& t) override { return out_.BeginReference(r, t); }
    Box Reach() const override { return out_.Reach(); }
    bool Done() const override { return out_.Done(); }
    bool TakesFills() const override { return out_.TakesFills(); }
    Box CopyReach() const override { return out_.CopyReach(); }
    bool WantsCopy(const BlockReference& r, const Box& box) override { return out_.WantsCopy(r, box); }
    bool MoreCopies(const BlockReference& r, const Transform& t) override { return out_.MoreCopies(r, t); }

private:
    GeometrySink& out_;
    std::vector<Point3d> poly_;
};
}  // namespace

void ExternalReference::Emit(GeometrySink& sink, const Transform& t) const
{
    if (clip_.empty()) {
        BlockReference::Emit(sink, t);
        return;
    }
    const Transform T = t * BlockTransform();
    std::vector<Point3d> world;
    world.reserve(clip_.size());
    for (const auto& p : clip_) world.push_back(T.Apply(p));
    ClipSink clip(sink, std::move(world));
    BlockReference::Emit(clip, t);
}

std::unique_ptr<Entity> ExternalReference::CloneTo(acad::Document& target) const
{
    auto c = std::make_unique<ExternalReference>(target, data_);
    c->CopyCommonFrom(*this);
    c->clip_ = clip_;
    CloneAttributesInto(*c, target);
    return c;
}

}  // namespace acad
