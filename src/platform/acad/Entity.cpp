#include "platform/acad/Entity.h"

#include <algorithm>
#include <cmath>

#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/EmitSupport.h"
#include "platform/acad/Error.h"
#include "platform/acad/Tables.h"

namespace acad {

namespace {
constexpr std::uint8_t kInvisible = 1;
constexpr std::uint8_t kHighlighted = 2;
constexpr std::uint8_t kOwnerIsBlock = 4;
}  // namespace

Entity::Entity(acad::Document& doc)
    : AcadObject(doc),
      ltscale_(static_cast<float>(doc.CurrentLinetypeScale())),
      layer_(doc.CurrentLayerIndex()),
      linetype_(doc.CurrentLinetypeIndex()),
      color_(static_cast<std::int16_t>(doc.CurrentColor()))
{
}

std::string Entity::Layer() const
{
    CheckAlive();
    const acad::Layer* l = Document().Layers().ByIndex(layer_);
    return l ? l->Name() : "0";
}

void Entity::SetLayer(const std::string& name)
{
    CheckWritable();
    acad::Layer* l = Document().Layers().Find(name);
    if (!l) ThrowKeyNotFound("Layer \"" + name + "\"");
    layer_ = l->Index();
    Document().NoteChange();
}

int Entity::Color() const
{
    CheckAlive();
    return color_;
}

void Entity::SetColor(int color)
{
    CheckWritable();
    if (color < 0 || color > 256) ThrowInvalidInput("cor " + std::to_string(color) + " (use 0 a 256)");
    color_ = static_cast<std::int16_t>(color);
    Document().NoteChange();
}

std::string Entity::Linetype() const
{
    CheckAlive();
    const acad::Linetype* lt = Document().Linetypes().ByIndex(linetype_);
    return lt ? lt->Name() : "ByLayer";
}

void Entity::SetLinetype(const std::string& name)
{
    CheckWritable();
    acad::Linetype* lt = Document().Linetypes().Find(name);
    if (!lt) ThrowKeyNotFound("Tipo de linha \"" + name + "\"");
    linetype_ = lt->Index();
    Document().NoteChange();
}

double Entity::LinetypeScale() const
{
    CheckAlive();
    return static_cast<double>(ltscale_);
}

void Entity::SetLinetypeScale(double s)
{
    CheckWritable();
    if (!(s > 0) || !std::isfinite(s)) ThrowInvalidInput("escala do tipo de linha");
    ltscale_ = static_cast<float>(s);
    Document().NoteChange();
}

bool Entity::Visible() const
{
    CheckAlive();
    return (flags8_ & kInvisible) == 0;
}

void Entity::SetVisible(bool v)
{
    CheckWritable();
    if (v)
        flags8_ &= static_cast<std::uint8_t>(~kInvisible);
    else
        flags8_ |= kInvisible;
    GeometryChanged();
}

bool Entity::IsHighlighted() const { return (flags8_ & kHighlighted) != 0; }

void Entity::Highlight(bool on)
{
    CheckAlive();
    if (on)
        flags8_ |= kHighlighted;
    else
        flags8_ &= static_cast<std::uint8_t>(~kHighlighted);
    Document().RedrawRequested.Raise();
}

int Entity::Lineweight() const { return lineweight_; }

void Entity::SetLineweight(int lw)
{
    CheckAlive();
    lineweight_ = static_cast<std::int16_t>(lw);
}

void Entity::GetBoundingBox(Point3d& minPoint, Point3d& maxPoint) const
{
    CheckAlive();
    Box b = Extents();
    if (b.IsEmpty()) throw Error(ErrorCode::NullExtents, "O objeto " + ObjectName() + " não tem extensão desenhada");
    minPoint = b.min;
    maxPoint = b.max;
}

Box Entity::Extents() const
{
    detail::ExtentsSink sink;
    Emit(sink, Transform());
    return sink.box;
}

void Entity::Move(const Point3d& fromPoint, const Point3d& toPoint)
{
    CheckWritable();
    TransformBy(Transform::Translation(toPoint - fromPoint));
}

void Entity::Rotate(const Point3d& basePoint, double rotationAngle)
{
    CheckWritable();
    TransformBy(Transform::RotationZ(rotationAngle, basePoint));
}

namespace {
Entity* AddCopy(const Entity& source, std::unique_ptr<Entity> copy)
{
    Block* block = source.OwnerBlock();
    if (!block) throw Error(ErrorCode::NotApplicable, "Um atributo não pode ser copiado sozinho, só com o seu bloco");
    Entity* e = block->AppendEntity(std::move(copy));
    std::vector<int> types;
    std::vector<Variant> values;
    source.GetXData("", types, values);
    if (!types.empty()) e->SetXData(types, values);
    return e;
}
}  // namespace

Entity* Entity::Mirror(const Point3d& point1, const Point3d& point2)
{
    CheckAlive();
    if (Distance2d(point1, point2) <= 0) ThrowInvalidInput("os dois pontos do eixo de espelhamento coincidem");
    auto copy = Clone();
    copy->TransformBy(Transform::Mirror(point1, point2));
    return AddCopy(*this, std::move(copy));
}

Entity* Entity::Copy()
{
    CheckAlive();
    return AddCopy(*this, Clone());
}

void Entity::Update()
{
    CheckAlive();
    OnUpdate();
    Document().RedrawRequested.Raise();
}

std::unique_ptr<Entity> Entity::Clone() const { return CloneTo(Document()); }

AcadObject* Entity::Owner() const { return owner_; }

Block* Entity::OwnerBlock() const { return (flags8_ & kOwnerIsBlock) ? static_cast<Block*>(owner_) : nullptr; }

void Entity::SetOwner(AcadObject* owner, bool isBlock)
{
    owner_ = owner;
    if (isBlock)
        flags8_ |= kOwnerIsBlock;
    else
        flags8_ &= static_cast<std::uint8_t>(~kOwnerIsBlock);
}

void Entity::SetLayerIndex(std::uint32_t layerIndex)
{
    CheckAlive();
    if (!Document().Layers().ByIndex(layerIndex)) ThrowKeyNotFound("Layer de índice " + std::to_string(layerIndex));
    layer_ = layerIndex;
}

void Entity::SetLinetypeIndex(std::uint32_t linetypeIndex)
{
    CheckAlive();
    if (!Document().Linetypes().ByIndex(linetypeIndex))
        ThrowKeyNotFound("Tipo de linha de índice " + std::to_string(linetypeIndex));
    linetype_ = linetypeIndex;
}

void Entity::CopyCommonFrom(const Entity& o)
{
    layer_ = o.layer_;
    linetype_ = o.linetype_;
    color_ = o.color_;
    ltscale_ = o.ltscale_;
    lineweight_ = o.lineweight_;
    flags8_ = static_cast<std::uint8_t>((flags8_ & ~kInvisible) | (o.flags8_ & kInvisible));
}

void Entity::CheckWritable() const
{
    CheckAlive();
    const acad::Layer* l = Document().Layers().ByIndex(layer_);
    if (l && l->Lock()) throw Error(ErrorCode::LockedLayer, "O objeto está no layer travado \"" + l->Name() + "\"");
}

void Entity::GeometryChanged(const Box* grownBy)
{
    if (Block* b = OwnerBlock()) {
        b->EntityChanged(*this, grownBy);
    } else if (auto* ref = dynamic_cast<BlockReference*>(owner_)) {
        ref->InvalidateExtents();
        if (Block* b = ref->OwnerBlock()) b->EntityChanged(*ref);
    }
    Document().NoteChange();
}

void Entity::OnErase()
{
    if (Block* b = OwnerBlock()) {
        b->EntityErased(*this);
    } else if (auto* ref = dynamic_cast<BlockReference*>(owner_)) {
        ref->InvalidateExtents();
        if (Block* b = ref->OwnerBlock()) b->EntityChanged(*ref);
    }
}

void GeometrySink::Ray(const Point3d& base, const Vector3d& direction, bool bothWays)
{
    if (const Box reach = Reach(); !reach.IsEmpty()) {
        Point3d a, b;
        if (ClipRay(base, direction, bothWays, reach, a, b)) Segment(a, b);
        return;
    }
    // Infinite only along the axes it runs in: no coordinate becomes 0 × ∞.
    const Box far = RayBox(base, direction, bothWays);
    auto end = [&](double sign) {
        Point3d p = base;
        if (direction.x != 0) p.x = (direction.x * sign > 0) ? far.max.x : far.min.x;
        if (direction.y != 0) p.y = (direction.y * sign > 0) ? far.max.y : far.min.y;
        if (direction.z != 0) p.z = (direction.z * sign > 0) ? far.max.z : far.min.z;
        return p;
    };
    Segment(bothWays ? end(-1) : base, end(1));
}

// ---------------------------------------------------------------- emission helpers

namespace detail {

bool ExtentsSink::BeginReference(const BlockReference& r, const Transform& t)
{
    box.Add(r.BoundsUnder(t));
    return false;
}

void CheckFinite(const Point3d& p, const char* what)
{
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) ThrowInvalidInput(what);
}

namespace {
// Segments per full turn for curves that cannot stay exact arcs.
constexpr int kTurnPieces = 128;

int PiecesFor(double sweep)
{
    return std::clamp(static_cast<int>(std::ceil(kTurnPieces * std::fabs(sweep) / kTwoPi)), 4, 4096);
}
}  // namespace

void EmitArc(GeometrySink& sink, const Transform& t, const CircularArc& arc)
{
    if (t.IsSimilarity()) {
        CircularArc out;
        out.center = t.Apply(arc.center);
        out.radius = arc.radius * t.ScaleFactor();
        if (arc.IsFullCircle()) {
            out.startAngle = 0.0;
            out.endAngle = kTwoPi;
        } else {
            Point3d s = t.Apply(arc.StartPoint());
            Point3d e = t.Apply(arc.EndPoint());
            // A mirror turns the arc clockwise: swap its ends to keep it counter-clockwise.
            if (t.IsMirroring()) std::swap(s, e);
            out.startAngle = AngleFromXAxis(out.center, s);
            out.endAngle = out.startAngle + arc.Sweep();
        }
        sink.Arc(out);
        return;
    }
    double sweep = arc.Sweep();
    int n = PiecesFor(sweep);
    Point3d prev = t.Apply(arc.PointAt(arc.startAngle));
    for (int k = 1; k <= n; ++k) {
        Point3d p = t.Apply(arc.PointAt(arc.startAngle + sweep * k / n));
        sink.Segment(prev, p);
        prev = p;
    }
}

void EmitBulgePolyline(GeometrySink& sink, const Transform& t, const BulgePolyline& pl)
{
    const std::size_t n = pl.vertices.size();
    if (n == 1) {
        sink.Point(t.Apply(pl.vertices[0].point));
        return;
    }
    for (std::size_t i = 0; i < pl.SegmentCount(); ++i) {
        const Point3d& a = pl.vertices[i].point;
        const Point3d& b = pl.vertices[(i + 1) % n].point;
        if (auto arc = ArcFromBulge(a, b, pl.vertices[i].bulge)) {
            arc->center.z = a.z;
            EmitArc(sink, t, *arc);
        } else {
            sink.Segment(t.Apply(a), t.Apply(b));
        }
    }
}

void EmitChain(GeometrySink& sink, const Transform& t, const std::vector<Point3d>& pts, bool closed)
{
    if (pts.size() == 1) {
        sink.Point(t.Apply(pts[0]));
        return;
    }
    if (t.IsIdentity()) {  // as stored: a long chain is walked without a product per point
        for (std::size_t i = 0; i + 1 < pts.size(); ++i) sink.Segment(pts[i], pts[i + 1]);
    } else {
        for (std::size_t i = 0; i + 1 < pts.size(); ++i) sink.Segment(t.Apply(pts[i]), t.Apply(pts[i + 1]));
    }
    if (closed && pts.size() > 2) sink.Segment(t.Apply(pts.back()), t.Apply(pts.front()));
}

void EmitEllipse(GeometrySink& sink, const Transform& t, const Point3d& center, const Vector3d& majorAxis, double ratio,
                 double startParam, double endParam)
{
    double sweep = endParam - startParam;
    if (sweep <= 0) sweep += kTwoPi;
    if (sweep > kTwoPi) sweep = kTwoPi;
    Vector3d minor = Vector3d{-majorAxis.y, majorAxis.x, 0.0} * ratio;
    auto at = [&](double u) { return center + majorAxis * std::cos(u) + minor * std::sin(u); };
    int n = PiecesFor(sweep);
    Point3d prev = t.Apply(at(startParam));
    for (int k = 1; k <= n; ++k) {
        Point3d p = t.Apply(at(startParam + sweep * k / n));
        sink.Segment(prev, p);
        prev = p;
    }
}

}  // namespace detail
}  // namespace acad
