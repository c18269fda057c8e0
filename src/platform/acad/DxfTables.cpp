#include "platform/acad/DxfTables.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <typeindex>
#include <unordered_map>

#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Document.h"
#include "platform/acad/DxfKept.h"
#include "platform/acad/Error.h"
#include "platform/acad/Hatch.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/Spline.h"
#include "platform/acad/Tables.h"
#include "platform/acad/TextEntities.h"

namespace acad::dxf {

namespace {

constexpr bool kOpt = true;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const Point3d kUnset{kNaN, kNaN, kNaN};

// Address of a member of the record's data struct.
// NOLINTNEXTLINE(bugprone-macro-parentheses): T is a type, m a member name.
#define DXF_REF(T, m) (+[](void* d) -> void* { return &static_cast<T*>(d)->m; })

Field Row(int code, FieldType t, MemberRef r, double def = 0.0, bool opt = false, int mask = 0)
{
    Field f;
    f.code = code;
    f.type = t;
    f.ref = r;
    f.def = def;
    f.optional = opt;
    f.mask = mask;
    return f;
}
Field FReal(int c, MemberRef r, double def = 0, bool opt = false) { return Row(c, FieldType::Real, r, def, opt); }
Field FAngle(int c, MemberRef r, double def = 0, bool opt = false) { return Row(c, FieldType::Angle, r, def, opt); }
Field FInt(int c, MemberRef r, double def = 0, bool opt = false) { return Row(c, FieldType::Int, r, def, opt); }
Field FBool(int c, MemberRef r, double def = 0, bool opt = false) { return Row(c, FieldType::Bool, r, def, opt); }
Field FFlag(int c, MemberRef r, int mask) { return Row(c, FieldType::Flag, r, 0, kOpt, mask); }
Field FStr(int c, MemberRef r, bool opt = false) { return Row(c, FieldType::String, r, 0, opt); }
Field FPoint(int c, MemberRef r, bool opt = false) { return Row(c, FieldType::Point, r, 0, opt); }
Field FPoint2(int c, MemberRef r) { return Row(c, FieldType::Point2, r); }
Field FNormal(int c, MemberRef r) { return Row(c, FieldType::Normal, r, 0, kOpt); }
Field FReals(int c, MemberRef r) { return Row(c, FieldType::RealList, r); }
Field FPoints(int c, MemberRef r) { return Row(c, FieldType::PointList, r); }
Field FLayer(int c, MemberRef r) { return Row(c, FieldType::Layer, r); }
Field FLinetype(int c, MemberRef r, bool opt = false) { return Row(c, FieldType::Linetype, r, 0, opt); }
Field FStyle(int c, MemberRef r) { return Row(c, FieldType::TextStyle, r); }
Field FBlock(int c, MemberRef r) { return Row(c, FieldType::Block, r); }
Field FHandle(int c, MemberRef r) { return Row(c, FieldType::Handle, r, 0, kOpt); }
Field FAlignH(int c, MemberRef r) { return Row(c, FieldType::AlignH, r, 0, kOpt); }
Field FAlignV(int c, MemberRef r) { return Row(c, FieldType::AlignV, r, 0, kOpt); }
Field FCustom(int c, const CustomField& cf, std::initializer_list<int> more = {})
{
    Field f = Row(c, FieldType::Custom, nullptr);
    f.custom = &cf;
    std::size_t i = 0;
    for (int m : more) f.more[i++] = static_cast<std::int16_t>(m);
    return f;
}

// A custom row that only writes fixed groups (values the host does not keep but
// readers expect) and ignores them when read.
#define DXF_FIXED(body)                                                  \
    CustomField                                                          \
    {                                                                    \
        [](ReadContext&, void*) {}, [](WriteContext& ctx, const void*) { \
            GroupWriter& o = ctx.Out();                                  \
            body                                                         \
        }                                                                \
    }

template <class T>
T& As(void* d)
{
    return *static_cast<T*>(d);
}
template <class T>
const T& As(const void* d)
{
    return *static_cast<const T*>(d);
}

// Component k (0 x, 1 y, 2 z) of a point row's group.
double& Component(Point3d& p, int k) { return k == 0 ? p.x : k == 1 ? p.y : p.z; }

[[noreturn]] void Bad(ReadContext& ctx, const Record& rec, const std::string& what)
{
    std::string description;
    try {
        ctx.In().FailAt(rec.line, what);
    } catch (const Error& e) {
        description = e.Description();
    }
    throw UnusableRecord(rec.line, what, description);
}

bool IsSet(const Point3d& p) { return !std::isnan(p.x); }
void FillUnset(Point3d& p, const Point3d& with)
{
    if (!IsSet(p)) p = with;
    if (std::isnan(p.y)) p.y = 0;
    if (std::isnan(p.z)) p.z = 0;
}

}  // namespace

// ============================================================== the machinery

RecordLayout::RecordLayout(std::vector<const Subclass*> subclasses) : subclasses_(std::move(subclasses))
{
    std::vector<std::vector<const Field*>> byCode(1072);
    auto add = [&](int code, const Field* f) {
        if (code >= 0 && code < 1072) byCode[static_cast<std::size_t>(code)].push_back(f);
    };
    for (const Subclass* s : subclasses_)
        for (const Field& f : s->fields) {
            add(f.code, &f);
            switch (f.type) {
            case FieldType::Point:
            case FieldType::Normal:
            case FieldType::PointList:
                add(f.code + 10, &f);
                add(f.code + 20, &f);
                break;
            case FieldType::Point2: add(f.code + 10, &f); break;
            case FieldType::Custom:
                for (auto m : f.more)
                    if (m >= 0) add(m, &f);
                break;
            default: break;
            }
        }
    slot_.resize(byCode.size());
    for (std::size_t c = 0; c < byCode.size(); ++c) {
        // Only Flag rows share a code; otherwise the first row wins.
        auto& rows = byCode[c];
        if (rows.size() > 1 && rows[0]->type != FieldType::Flag) rows.erase(rows.begin() + 1, rows.end());
        slot_[c].first = static_cast<std::uint16_t>(rows_.size());
        slot_[c].count = static_cast<std::uint16_t>(rows.size());
        rows_.insert(rows_.end(), rows.begin(), rows.end());
    }
}

void ReadField(ReadContext& ctx, const Field& f, void* data)
{
    GroupReader& in = ctx.In();
    void* m = f.ref ? f.ref(data) : nullptr;
    // A value that does not read leaves the field as it is: its default.
    double real = 0;
    int integer = 0;
    switch (f.type) {
    case FieldType::Real: in.ReadReal(As<double>(m)); break;
    case FieldType::Angle: in.ReadAngle(As<double>(m)); break;
    case FieldType::Int: in.ReadInt(As<int>(m)); break;
    case FieldType::Bool:
        if (in.ReadInt(integer)) As<bool>(m) = integer != 0;
        break;
    case FieldType::Flag:
        if (in.ReadInt(integer)) As<bool>(m) = (integer & f.mask) != 0;
        break;
    case FieldType::String: in.TextInto(As<std::string>(m)); break;
    case FieldType::Point:
    case FieldType::Point2:
        if (in.ReadReal(real)) Component(As<Point3d>(m), (in.Code() - f.code) / 10) = real;
        break;
    case FieldType::Normal:
        if (in.ReadReal(real)) As<Extrusion>(m).SetComponent((in.Code() - f.code) / 10, real);
        break;
    case FieldType::RealList: As<std::vector<double>>(m).push_back(in.Real()); break;
    case FieldType::PointList: {
        auto& list = As<std::vector<Point3d>>(m);
        const int k = (in.Code() - f.code) / 10;
        if (k == 0 || list.empty()) list.emplace_back();
        Component(list.back(), k) = in.Real();
        break;
    }
    case FieldType::Layer: As<std::uint32_t>(m) = ctx.LayerIndex(in.Raw()); break;
    case FieldType::Linetype: As<std::uint32_t>(m) = ctx.LinetypeIndex(in.Raw()); break;
    case FieldType::TextStyle: As<std::uint32_t>(m) = ctx.TextStyleIndex(in.Raw()); break;
    case FieldType::Block: As<std::uint32_t>(m) = ctx.BlockIndex(in.Raw()); break;
    case FieldType::Handle: As<std::uint64_t>(m) = in.Handle(); break;
    case FieldType::AlignH: {
        int& a = As<int>(m);
        if (in.ReadInt(integer)) a = Alignment::FromModes(integer, Alignment::VerticalMode(a));
        break;
    }
    case FieldType::AlignV: {
        int& a = As<int>(m);
        if (in.ReadInt(integer)) a = Alignment::FromModes(Alignment::HorizontalMode(a), integer);
        break;
    }
    case FieldType::Custom: f.custom->read(ctx, data); break;
    }
}

void WriteSubclass(WriteContext& ctx, const Subclass& s, const void* data)
{
    GroupWriter& out = ctx.Out();
    if (s.marker) out.Keyword(100, s.marker);
    for (std::size_t i = 0; i < s.fields.size(); ++i) {
        const Field& f = s.fields[i];
        const void* m = f.ref ? f.ref(const_cast<void*>(data)) : nullptr;
        switch (f.type) {
        case FieldType::Real:
        case FieldType::Angle: {
            double v = As<double>(m);
            if (f.optional && v == f.def) break;
            if (f.type == FieldType::Real)
                out.Real(f.code, v);
            else
                out.Angle(f.code, v);
            break;
        }
        case FieldType::Int:
            if (!(f.optional && As<int>(m) == f.def)) out.Int(f.code, As<int>(m));
            break;
        case FieldType::Bool:
            if (!(f.optional && (As<bool>(m) ? 1.0 : 0.0) == f.def)) out.Int(f.code, As<bool>(m) ? 1 : 0);
            break;
        case FieldType::Flag: {
            bool first = true;
            for (std::size_t k = 0; k < i; ++k)
                if (s.fields[k].type == FieldType::Flag && s.fields[k].code == f.code) first = false;
            if (!first) break;
            int v = 0;
            for (const Field& g : s.fields)
                if (g.type == FieldType::Flag && g.code == f.code && As<bool>(g.ref(const_cast<void*>(data))))
                    v |= g.mask;
            out.Int(f.code, v);
            break;
        }
        case FieldType::String:
            if (!(f.optional && As<std::string>(m).empty())) out.String(f.code, As<std::string>(m));
            break;
        case FieldType::Point: {
            const auto& p = As<Point3d>(m);
            if (!(f.optional && p == Point3d{})) out.Point(f.code, p);
            break;
        }
        case FieldType::Point2: out.Point2(f.code, As<Point3d>(m)); break;
        case FieldType::Normal:
            if (!As<Extrusion>(m).IsZAxis()) out.Point(f.code, As<Extrusion>(m).Normal());
            break;
        case FieldType::RealList:
            for (double v : As<std::vector<double>>(m)) out.Real(f.code, v);
            break;
        case FieldType::PointList:
            for (const Point3d& p : As<std::vector<Point3d>>(m)) out.Point(f.code, p);
            break;
        case FieldType::Layer: out.String(f.code, ctx.LayerName(As<std::uint32_t>(m))); break;
        case FieldType::Linetype: {
            const std::string& name = ctx.LinetypeName(As<std::uint32_t>(m));
            if (!(f.optional && NamesEqual(name, "ByLayer"))) out.String(f.code, name);
            break;
        }
        case FieldType::TextStyle: out.String(f.code, ctx.TextStyleName(As<std::uint32_t>(m))); break;
        case FieldType::Block: out.String(f.code, ctx.BlockName(As<std::uint32_t>(m))); break;
        case FieldType::Handle:
            if (As<std::uint64_t>(m) != 0) out.Handle(f.code, As<std::uint64_t>(m));
            break;
        case FieldType::AlignH:
            if (int h = Alignment::HorizontalMode(As<int>(m)); h != 0 || !f.optional) out.Int(f.code, h);
            break;
        case FieldType::AlignV:
            if (int v = Alignment::VerticalMode(As<int>(m)); v != 0 || !f.optional) out.Int(f.code, v);
            break;
        case FieldType::Custom: f.custom->write(ctx, data); break;
        }
    }
}

void WriteFields(WriteContext& ctx, const RecordLayout& layout, const void* data)
{
    for (const Subclass* s : layout.Subclasses()) WriteSubclass(ctx, *s, data);
}

// ============================================================== AcDbEntity

const RecordLayout& CommonLayout()
{
    static const Subclass s{"AcDbEntity",
                            {
                                FBool(67, DXF_REF(CommonData, paperSpace), 0, kOpt),
                                FLayer(8, DXF_REF(CommonData, layer)),
                                FLinetype(6, DXF_REF(CommonData, linetype), kOpt),
                                FInt(62, DXF_REF(CommonData, color), 256, kOpt),
                                FInt(370, DXF_REF(CommonData, lineweight), -1, kOpt),
                                FReal(48, DXF_REF(CommonData, linetypeScale), 1, kOpt),
                                FBool(60, DXF_REF(CommonData, invisible), 0, kOpt),
                            }};
    static const RecordLayout layout({&s});
    return layout;
}

CommonData CommonOf(const Entity& e)
{
    CommonData c;
    const Block* b = e.OwnerBlock();
    if (!b)
        if (auto* ref = dynamic_cast<const BlockReference*>(e.Owner())) b = ref->OwnerBlock();
    c.paperSpace = b && b->IsPaperSpace();
    c.layer = e.LayerIndex();
    c.linetype = e.LinetypeIndex();
    c.color = e.Color();
    c.lineweight = e.Lineweight();
    c.linetypeScale = e.LinetypeScale();
    c.invisible = !e.Visible();
    return c;
}

void ApplyCommon(Entity& e, const CommonData& c)
{
    if (c.layer != e.LayerIndex()) e.SetLayerIndex(c.layer);
    if (c.linetype != e.LinetypeIndex()) e.SetLinetypeIndex(c.linetype);
    if (c.color != e.Color()) e.SetColor(c.color);
    if (c.lineweight != e.Lineweight()) e.SetLineweight(c.lineweight);
    if (c.linetypeScale != e.LinetypeScale()) e.SetLinetypeScale(c.linetypeScale);
    if (c.invisible) e.SetVisible(false);
}

// ============================================================== entity kinds

namespace {

template <class D>
class DataCodec : public EntityCodec {
public:
    using EntityCodec::EntityCodec;
    void Begin() override { data_ = D{}; }
    void* Data() override { return &data_; }
    D& Get() { return data_; }

protected:
    D data_;
};

// Kinds whose data struct is the entity's own: build and view need nothing else.
template <class D, class E>
class PlainCodec final : public DataCodec<D> {
public:
    using Check = void (*)(ReadContext&, const Record&, D&);
    PlainCodec(std::string name, const RecordLayout& layout, Check check = nullptr)
        : DataCodec<D>(std::move(name), layout), check_(check)
    {
    }
    std::unique_ptr<Entity> Build(ReadContext& ctx, Record& rec) override
    {
        if (check_) check_(ctx, rec, this->data_);
        // The data is read anew for the next record (Begin): kinds that can take
        // it over keep its lists without copying them.
        return std::make_unique<E>(ctx.Doc(), std::move(this->data_));
    }
    const void* View(const Entity& e) override { return &static_cast<const E&>(e).Data(); }

private:
    Check check_;
};

// --- POINT, LINE, CIRCLE, ARC, ELLIPSE, 3DFACE

const RecordLayout& PointLayout()
{
    static const Subclass s{
        "AcDbPoint", {FPoint(10, DXF_REF(PointData, position)), FReal(39, DXF_REF(PointData, thickness), 0, kOpt)}};
    static const RecordLayout l({&s});
    return l;
}

const RecordLayout& LineLayout()
{
    static const Subclass s{"AcDbLine",
                            {FReal(39, DXF_REF(LineData, thickness), 0, kOpt), FPoint(10, DXF_REF(LineData, start)),
                             FPoint(11, DXF_REF(LineData, end))}};
    static const RecordLayout l({&s});
    return l;
}

const Subclass& CircleSubclass()
{
    // ARC shares the circle's subclass: its data struct starts the same way.
    static const Subclass s{"AcDbCircle",
                            {FReal(39, DXF_REF(ArcData, thickness), 0, kOpt), FPoint(10, DXF_REF(ArcData, center)),
                             FReal(40, DXF_REF(ArcData, radius)), FNormal(210, DXF_REF(ArcData, extrusion))}};
    return s;
}

const RecordLayout& CircleLayout()
{
    static const Subclass s{
        "AcDbCircle",
        {FReal(39, DXF_REF(CircleData, thickness), 0, kOpt), FPoint(10, DXF_REF(CircleData, center)),
         FReal(40, DXF_REF(CircleData, radius)), FNormal(210, DXF_REF(CircleData, extrusion))}};
    static const RecordLayout l({&s});
    return l;
}

const RecordLayout& ArcLayout()
{
    static const Subclass a{"AcDbArc",
                            {FAngle(50, DXF_REF(ArcData, startAngle)), FAngle(51, DXF_REF(ArcData, endAngle))}};
    static const RecordLayout l({&CircleSubclass(), &a});
    return l;
}

const RecordLayout& EllipseLayout()
{
    static const Subclass s{
        "AcDbEllipse",
        {FPoint(10, DXF_REF(EllipseData, center)), FPoint(11, DXF_REF(EllipseData, majorAxis)),
         FNormal(210, DXF_REF(EllipseData, extrusion)), FReal(40, DXF_REF(EllipseData, radiusRatio)),
         FReal(41, DXF_REF(EllipseData, startParameter)), FReal(42, DXF_REF(EllipseData, endParameter))}};
    static const RecordLayout l({&s});
    return l;
}

void CheckRadius(ReadContext& ctx, const Record& rec, double r)
{
    if (!(r >= 0)) Bad(ctx, rec, "raio negativo");
}

void CheckCircle(ReadContext& ctx, const Record& rec, CircleData& d)
{
    if (!(d.radius > 0)) Bad(ctx, rec, "círculo de raio nulo ou negativo");
}
void CheckArc(ReadContext& ctx, const Record& rec, ArcData& d) { CheckRadius(ctx, rec, d.radius); }
void CheckEllipse(ReadContext& ctx, const Record& rec, EllipseData& d)
{
    if (!(d.majorAxis.Length() > 0)) Bad(ctx, rec, "elipse sem eixo maior");
    if (d.radiusRatio > 1 && std::isfinite(d.radiusRatio)) {
        // Written with the axes the other way round (a ratio of 1.0000001 after
        // rounding): the minor axis becomes the major one, as other readers take it.
        const Vector3d minor = Ellipse::MinorAxis(d);
        // One beyond the largest double could be saved only as another ellipse.
        if (!minor.IsFinite()) Bad(ctx, rec, "elipse com eixo maior grande demais para ser um número");
        d.majorAxis = minor;
        d.radiusRatio = 1.0 / d.radiusRatio;
        d.startParameter -= kPi / 2;
        d.endParameter -= kPi / 2;
        if (d.startParameter < 0) {
            d.startParameter += kTwoPi;
            d.endParameter += kTwoPi;
        }
    }
    if (!(d.radiusRatio > 0 && d.radiusRatio <= 1)) Bad(ctx, rec, "razão dos eixos da elipse fora de (0, 1]");
}

struct FaceRecord {
    Face3DData face;
    FaceRecord() { face.corners[3] = kUnset; }
};

const RecordLayout& FaceLayout()
{
    static const Subclass s{
        "AcDbFace",
        {FPoint(10, DXF_REF(FaceRecord, face.corners[0])), FPoint(11, DXF_REF(FaceRecord, face.corners[1])),
         FPoint(12, DXF_REF(FaceRecord, face.corners[2])), FPoint(13, DXF_REF(FaceRecord, face.corners[3])),
         FInt(70, DXF_REF(FaceRecord, face.invisibleEdges), 0, kOpt)}};
    static const RecordLayout l({&s});
    return l;
}

class FaceCodec final : public DataCodec<FaceRecord> {
public:
    FaceCodec() : DataCodec("3DFACE", FaceLayout()) {}
    std::unique_ptr<Entity> Build(ReadContext& ctx, Record&) override
    {
        // A triangle may leave out its fourth corner: it repeats the third.
        FillUnset(data_.face.corners[3], data_.face.corners[2]);
        return std::make_unique<Face3D>(ctx.Doc(), data_.face);
    }
    const void* View(const Entity& e) override
    {
        view_.face = static_cast<const Face3D&>(e).Data();
        return &view_;
    }

private:
    FaceRecord view_;
};

// --- SOLID, TRACE, XLINE, RAY

struct SolidRecord {
    SolidData solid;
    SolidRecord() { solid.corners[3] = kUnset; }
};

const RecordLayout& SolidLayout()
{
    static const Subclass s{
        "AcDbTrace",
        {FReal(39, DXF_REF(SolidRecord, solid.thickness), 0, kOpt), FPoint(10, DXF_REF(SolidRecord, solid.corners[0])),
         FPoint(11, DXF_REF(SolidRecord, solid.corners[1])), FPoint(12, DXF_REF(SolidRecord, solid.corners[2])),
         FPoint(13, DXF_REF(SolidRecord, solid.corners[3])), FNormal(210, DXF_REF(SolidRecord, solid.extrusion))}};
    static const RecordLayout l({&s});
    return l;
}

class SolidCodec final : public DataCodec<SolidRecord> {
public:
    explicit SolidCodec(bool trace) : DataCodec(trace ? "TRACE" : "SOLID", SolidLayout()), trace_(trace) {}
    std::unique_ptr<Entity> Build(ReadContext& ctx, Record&) override
    {
        // A triangle may leave out its fourth corner: it repeats the third.
        FillUnset(data_.solid.corners[3], data_.solid.corners[2]);
        return std::make_unique<Solid>(ctx.Doc(), data_.solid, trace_);
    }
    const void* View(const Entity& e) override
    {
        view_.solid = static_cast<const Solid&>(e).Data();
        return &view_;
    }

private:
    bool trace_;
    SolidRecord view_;
};

const RecordLayout& RayLayout(bool bothWays)
{
    static const Subclass x{"AcDbXline", {FPoint(10, DXF_REF(RayData, base)), FPoint(11, DXF_REF(RayData, direction))}};
    static const Subclass r{"AcDbRay", {FPoint(10, DXF_REF(RayData, base)), FPoint(11, DXF_REF(RayData, direction))}};
    static const RecordLayout lx({&x}), lr({&r});
    return bothWays ? lx : lr;
}

class RayCodec final : public DataCodec<RayData> {
public:
    explicit RayCodec(bool bothWays) : DataCodec(bothWays ? "XLINE" : "RAY", RayLayout(bothWays)), both_(bothWays) {}
    std::unique_ptr<Entity> Build(ReadContext& ctx, Record& rec) override
    {
        // Kept as the file gives it (made of length 1, it would save as other
        // digits each time): the line is drawn along it.
        const double len = data_.direction.Length();
        if (!(len > 0) || !std::isfinite(len)) Bad(ctx, rec, "linha sem direção");
        return std::make_unique<InfiniteLine>(ctx.Doc(), data_, both_);
    }
    const void* View(const Entity& e) override { return &static_cast<const InfiniteLine&>(e).Data(); }

private:
    bool both_;
};

// --- TEXT, ATTDEF, ATTRIB

struct TextAttr {
    TextData text;
    AttributeData attr;
};

template <class T>
TextData& TextOf(void* d);
template <>
TextData& TextOf<TextData>(void* d)
{
    return *static_cast<TextData*>(d);
}
template <>
TextData& TextOf<TextAttr>(void* d)
{
    return static_cast<TextAttr*>(d)->text;
}
#define DXF_TEXT(m) (+[](void* d) -> void* { return &TextOf<T>(d).m; })

// The AcDbText rows that texts and attributes share.
template <class T>
const Subclass& TextSubclass()
{
    static const Subclass s{
        "AcDbText",
        {FReal(39, DXF_TEXT(thickness), 0, kOpt), FPoint(10, DXF_TEXT(insertionPoint)), FReal(40, DXF_TEXT(height)),
         FStr(1, DXF_TEXT(text)), FAngle(50, DXF_TEXT(rotation), 0, kOpt), FReal(41, DXF_TEXT(widthFactor), 1, kOpt),
         FAngle(51, DXF_TEXT(oblique), 0, kOpt), FStyle(7, DXF_TEXT(style)), FFlag(71, DXF_TEXT(backward), 2),
         FFlag(71, DXF_TEXT(upsideDown), 4), FAlignH(72, DXF_TEXT(alignment)), FPoint(11, DXF_TEXT(alignmentPoint)),
         FNormal(210, DXF_TEXT(extrusion))}};
    return s;
}

const RecordLayout& TextLayout()
{
    using T = TextData;
    static const Subclass second{"AcDbText", {FAlignV(73, DXF_TEXT(alignment))}};
    static const RecordLayout l({&TextSubclass<TextData>(), &second});
    return l;
}

const RecordLayout& AttDefLayout()
{
    using T = TextAttr;
    static const CustomField fieldLength = DXF_FIXED(o.Int(73, 0););
    static const Subclass s{
        "AcDbAttributeDefinition",
        {FStr(3, DXF_REF(TextAttr, attr.prompt)), FStr(2, DXF_REF(TextAttr, attr.tag)),
         FInt(70, DXF_REF(TextAttr, attr.mode)), FCustom(73, fieldLength), FAlignV(74, DXF_TEXT(alignment)),
         FBool(280, DXF_REF(TextAttr, attr.lockPosition), 0, kOpt)}};
    static const RecordLayout l({&TextSubclass<TextAttr>(), &s});
    return l;
}

const RecordLayout& AttribLayout()
{
    using T = TextAttr;
    static const CustomField fieldLength = DXF_FIXED(o.Int(73, 0););
    static const Subclass s{
        "AcDbAttribute",
        {FStr(2, DXF_REF(TextAttr, attr.tag)), FInt(70, DXF_REF(TextAttr, attr.mode)), FCustom(73, fieldLength),
         FAlignV(74, DXF_TEXT(alignment)), FBool(280, DXF_REF(TextAttr, attr.lockPosition), 0, kOpt)}};
    static const RecordLayout l({&TextSubclass<TextAttr>(), &s});
    return l;
}

void FixText(ReadContext& ctx, const Record& rec, TextData& t)
{
    // Left-aligned texts may omit the alignment point; the engine keeps it equal
    // to the insertion point then.
    FillUnset(t.alignmentPoint, t.insertionPoint);
    if (!(t.height >= 0)) Bad(ctx, rec, "altura de texto negativa");
    if (t.widthFactor < 0) Bad(ctx, rec, "fator de largura de texto negativo");
    if (t.widthFactor == 0) t.widthFactor = 1;
}

class TextCodec final : public DataCodec<TextData> {
public:
    TextCodec() : DataCodec("TEXT", TextLayout()) {}
    void Begin() override
    {
        data_ = TextData{};
        data_.alignmentPoint = kUnset;
    }
    std::unique_ptr<Entity> Build(ReadContext& ctx, Record& rec) override
    {
        FixText(ctx, rec, data_);
        return std::make_unique<Text>(ctx.Doc(), data_);
    }
    const void* View(const Entity& e) override { return &static_cast<const TextBase&>(e).Text(); }
};

template <class E>
class AttributeCodec final : public DataCodec<TextAttr> {
public:
    AttributeCodec(std::string name, const RecordLayout& layout) : DataCodec(std::move(name), layout) {}
    void Begin() override
    {
        data_ = TextAttr{};
        data_.text.alignmentPoint = kUnset;
    }
    std::unique_ptr<Entity> Build(ReadContext& ctx, Record& rec) override
    {
        FixText(ctx, rec, data_.text);
        return std::make_unique<E>(ctx.Doc(), data_.text, data_.attr);
    }
    const void* View(const Entity& e) override
    {
        const auto& a = static_cast<const E&>(e);
        view_.text = a.Text();
        view_.attr = a.Attribute();
        return &view_;
    }

private:
    TextAttr view_;
};

// --- MTEXT

struct MTextRecord {
    MTextData data;
    Point3d direction = kUnset;  // 11: the text's X axis, in the world's coordinates
    std::string pieces;          // 3 and 1 as the file holds them, decoded whole
};

// The angle in the text's plane of a direction in the world's coordinates
// (nothing for a direction with no part in that plane).
std::optional<double> RotationOf(const Vector3d& direction, const Extrusion& extrusion)
{
    const Vector3d along = extrusion.FromWorld(direction);
    if (!(along.Length2d() > 0)) return std::nullopt;
    return std::atan2(along.y, along.x);
}

// The first of the two escapes of a character beyond U+FFFF, as EncodeText writes it.
bool HighSurrogateEscape(std::string_view s)
{
    return s.size() == 7 && s.substr(0, 4) == "\\U+D" && s[4] >= '8' && s[4] <= 'B';
}

const CustomField kMTextChunks{[](ReadContext& ctx, void* d) {
                                   // 3 holds 250-character pieces, 1 the last one: one text,
                                   // decoded as a whole (a character's escapes may lie across two).
                                   As<MTextRecord>(d).pieces.append(ctx.In().Piece());
                               },
                               [](WriteContext& ctx, const void* d) {
                                   std::string enc;
                                   EncodeText(As<MTextRecord>(d).data.text, enc);
                                   const std::string_view all(enc);
                                   std::size_t i = 0;
                                   while (all.size() - i > 250) {
                                       std::size_t n = 250;
                                       // Never cut an escape in two, nor part the two escapes of a
                                       // character: each piece reads on its own.
                                       for (std::size_t k = n - 6; k < n; ++k)
                                           if (all[i + k] == '\\') {
                                               n = k;
                                               break;
                                           }
                                       if (HighSurrogateEscape(all.substr(i + n - 7, 7))) n -= 7;
                                       ctx.Out().Keyword(3, all.substr(i, n));
                                       i += n;
                                   }
                                   ctx.Out().Keyword(1, all.substr(i));
                               }};

// The world's direction a text turned by `rotation` in the plane of `extrusion` is written as.
Vector3d DirectionOf(double rotation, const Extrusion& extrusion)
{
    const Vector3d along{std::cos(rotation), std::sin(rotation), 0.0};
    return extrusion.IsZAxis() ? along : extrusion.Ocs().ApplyVector(along);
}

const CustomField kMTextDirection{[](ReadContext& ctx, void* d) {
                                      GroupReader& in = ctx.In();
                                      auto& r = As<MTextRecord>(d);
                                      if (in.Code() == 50) {
                                          r.data.rotation = in.Angle();
                                          return;
                                      }
                                      Component(r.direction, (in.Code() - 11) / 10) = in.Real();
                                  },
                                  [](WriteContext& ctx, const void* d) {
                                      const MTextData& m = As<MTextRecord>(d).data;
                                      // The file's direction while it still reads as the text's
                                      // angle: one made from the angle would read as another angle.
                                      if (RotationOf(m.direction, m.extrusion) == m.rotation) {
                                          ctx.Out().Point(11, m.direction);
                                          return;
                                      }
                                      ctx.Out().Point(11, DirectionOf(m.rotation, m.extrusion));
                                  }};

// The background (90, 63, 421, 45, 441): the format wants all of 90, 63 and
// 45 when one is there.
const CustomField kMTextBackground{[](ReadContext& ctx, void* d) {
                                       GroupReader& in = ctx.In();
                                       MTextData& m = As<MTextRecord>(d).data;
                                       switch (in.Code()) {
                                       case 90: m.background = in.Int(); break;
                                       case 63: m.backgroundColor = in.Int(); break;
                                       case 421: m.backgroundRgb = in.Int() & 0xFFFFFF; break;
                                       case 45: m.backgroundScale = in.Real(); break;
                                       default: m.backgroundAlpha = in.Int(); break;
                                       }
                                   },
                                   [](WriteContext& ctx, const void* d) {
                                       const MTextData& m = As<MTextRecord>(d).data;
                                       if (m.background == 0) return;
                                       GroupWriter& o = ctx.Out();
                                       o.Int(90, m.background);
                                       o.Int(63, m.backgroundColor);
                                       if (m.backgroundRgb >= 0) o.Int(421, m.backgroundRgb);
                                       o.Real(45, m.backgroundScale);
                                       if (m.backgroundAlpha != 0) o.Int(441, m.backgroundAlpha);
                                   }};

const RecordLayout& MTextLayout()
{
    static const CustomField spacingStyle = DXF_FIXED(o.Int(73, 1););
    static const Subclass s{
        "AcDbMText",
        {FPoint(10, DXF_REF(MTextRecord, data.insertionPoint)), FReal(40, DXF_REF(MTextRecord, data.height)),
         FReal(41, DXF_REF(MTextRecord, data.width)), FReal(46, DXF_REF(MTextRecord, data.definedHeight), 0, kOpt),
         FInt(71, DXF_REF(MTextRecord, data.attachment)), FInt(72, DXF_REF(MTextRecord, data.drawingDirection)),
         FCustom(3, kMTextChunks, {1}), FStyle(7, DXF_REF(MTextRecord, data.style)),
         FNormal(210, DXF_REF(MTextRecord, data.extrusion)), FCustom(11, kMTextDirection, {21, 31, 50}),
         FCustom(73, spacingStyle), FReal(44, DXF_REF(MTextRecord, data.lineSpacing), 1, kOpt),
         FCustom(90, kMTextBackground, {63, 421, 45, 441})}};
    static const RecordLayout l({&s});
    return l;
}

double RealOf(const std::string& s)
{
    double v = 0;
    return ParseReal(s, v) && std::isfinite(v) ? v : 0.0;
}

// The columns a text of 2018 or later embeds in itself (101 and the groups after it).
void ColumnsFromEmbedded(const std::vector<RawGroup>& groups, MTextData& d)
{
    MTextColumns c;
    double total = 0;
    bool any = false;
    for (const RawGroup& g : groups) {
        switch (g.code) {
        case 40:
            if (!(d.width > 0)) d.width = std::max(0.0, RealOf(g.value));
            break;
        case 41: c.height = RealOf(g.value); break;
        case 42: total = RealOf(g.value); break;
        case 44: c.width = RealOf(g.value); break;
        case 45: c.gutter = RealOf(g.value); break;
        case 46: c.heights.push_back(RealOf(g.value)); break;
        case 71:
            c.type = static_cast<int>(RealOf(g.value));
            any = true;
            break;
        case 72: c.count = static_cast<int>(RealOf(g.value)); break;
        case 73: c.autoHeight = RealOf(g.value) != 0; break;
        default: break;
        }
    }
    if (!any || (c.type != MTextColumnType::Static && c.type != MTextColumnType::Dynamic)) return;
    // Dynamic columns of auto height may give no count: the total width tells it.
    if (c.count <= 0 && !c.heights.empty()) c.count = static_cast<int>(c.heights.size());
    if (c.count <= 0 && total > 0 && c.width + c.gutter > 0)
        c.count = static_cast<int>(std::lround(std::min((total + c.gutter) / (c.width + c.gutter), 1000.0)));
    if (c.autoHeight) c.heights.clear();
    d.columns = std::move(c);
}

}  // namespace

void WriteMTextEmbedded(GroupWriter& o, const MTextData& d, const std::vector<RawGroup>& groups)
{
    // What the text says of its place, width and columns as it is now (moved,
    // turned or scaled since it was read); the rest as read. A value that did
    // not change keeps its text.
    const MTextColumns& c = d.columns;
    const bool columned = c.type != MTextColumnType::None;
    std::size_t heights = 0;
    for (const RawGroup& g : groups) {
        std::optional<double> now;
        switch (g.code) {
        case 10: now = std::cos(d.rotation); break;
        case 20: now = std::sin(d.rotation); break;
        case 11: now = d.insertionPoint.x; break;
        case 21: now = d.insertionPoint.y; break;
        case 31: now = d.insertionPoint.z; break;
        case 40: now = d.width; break;
        case 41:
            if (columned) now = c.height;
            break;
        case 44:
            if (columned) now = c.width;
            break;
        case 45:
            if (columned) now = c.gutter;
            break;
        case 46:
            if (columned && !c.autoHeight && heights < c.heights.size()) now = c.heights[heights];
            ++heights;
            break;
        default: break;
        }
        double read = 0;
        if (now && ParseReal(g.value, read) && std::fabs(read - *now) > 1e-9 * std::max(1.0, std::fabs(*now)))
            o.Real(g.code, *now);
        else
            o.String(g.code, g.value);
    }
}

namespace {

// The columns an earlier file keeps in the text's extended data ("ACAD"):
// ACAD_MTEXT_COLUMN_INFO (75 type, 79 auto height, 76 count, 48 width, 49
// gutter, 50 the heights) and ACAD_MTEXT_DEFINED_HEIGHT (46).
void ColumnsFromXData(const std::vector<int>& codes, const std::vector<Variant>& values, MTextData& d)
{
    MTextColumns c;
    bool acad = false, info = false, defined = false, any = false;
    int key = 0, heights = 0;
    auto number = [](const Variant& v) { return v.IsNumber() ? v.AsDouble() : 0.0; };
    for (std::size_t i = 0; i < codes.size() && i < values.size(); ++i) {
        const Variant& v = values[i];
        if (codes[i] == 1001) {
            acad = v.IsString() && v.AsString() == "ACAD";
            // Data the application gives twice is kept, and saved, as the second gives it.
            if (acad) {
                c = MTextColumns{};
                info = defined = any = false;
                key = heights = 0;
            }
            continue;
        }
        if (!acad) continue;
        if (codes[i] == 1000 && v.IsString()) {
            const std::string& t = v.AsString();
            info = t == "ACAD_MTEXT_COLUMN_INFO_BEGIN";
            defined = t == "ACAD_MTEXT_DEFINED_HEIGHT_BEGIN";
            key = heights = 0;
            continue;
        }
        if (!info && !defined) continue;
        if (heights > 0 && codes[i] == 1040) {
            c.heights.push_back(number(v));
            --heights;
            continue;
        }
        if (key == 0) {
            key = static_cast<int>(number(v));
            continue;
        }
        const double value = number(v);
        switch (key) {
        case 75:
            c.type = static_cast<int>(value);
            any = true;
            break;
        case 79: c.autoHeight = value != 0; break;
        case 76: c.count = static_cast<int>(value); break;
        case 48: c.width = value; break;
        case 49: c.gutter = value; break;
        case 50: heights = static_cast<int>(std::clamp(value, 0.0, 1000.0)); break;
        case 46:
            if (defined) c.height = value;
            break;
        default: break;
        }
        key = 0;
    }
    if (!any || (c.type != MTextColumnType::Static && c.type != MTextColumnType::Dynamic)) return;
    if (!std::isfinite(c.width) || !std::isfinite(c.gutter) || !std::isfinite(c.height)) return;
    if (c.autoHeight) c.heights.clear();
    d.columns = std::move(c);
}

class MTextCodec final : public DataCodec<MTextRecord> {
public:
    MTextCodec() : DataCodec("MTEXT", MTextLayout()) {}
    std::unique_ptr<Entity> Build(ReadContext& ctx, Record& rec) override
    {
        DecodeText(data_.pieces, data_.data.text);
        if (!IsSet(data_.direction)) {
            // An angle (50, or none) is kept as the direction a save writes for
            // it, read back as the angle: so it reads the same after a save.
            const Vector3d world = DirectionOf(data_.data.rotation, data_.data.extrusion);
            if (const std::optional<double> back = RotationOf(world, data_.data.extrusion)) {
                data_.data.rotation = *back;
                data_.data.direction = world;
            }
        } else {
            FillUnset(data_.direction, {});
            // The world's direction, as an angle in the text's plane.
            if (const std::optional<double> a = RotationOf(data_.direction, data_.data.extrusion)) {
                data_.data.rotation = *a;
                data_.data.direction = data_.direction;
            }
        }
        if (!(data_.data.height >= 0)) Bad(ctx, rec, "altura de texto negativa");
        if (data_.data.attachment < 1 || data_.data.attachment > 9) data_.data.attachment = 1;
        if (!rec.embedded.empty())
            ColumnsFromEmbedded(rec.embedded, data_.data);
        else if (!rec.xdataCodes.empty())
            ColumnsFromXData(rec.xdataCodes, rec.xdataValues, data_.data);
        return std::make_unique<MText>(ctx.Doc(), data_.data);
    }
    const void* View(const Entity& e) override
    {
        view_.data = static_cast<const MText&>(e).Data();
        return &view_;
    }

private:
    MTextRecord view_;
};

// --- LWPOLYLINE

// Vertices announced by group 90, room made for them up to a bound: a damaged
// count neither fails the record nor asks for the memory it names.
constexpr long long kLwReserveMax = 4096;
const CustomField kLwCount{
    [](ReadContext& ctx, void* d) {
        long long n = 0;
        if (ParseInteger(ctx.In().Raw(), n) && n > 0)
            As<LWPolylineData>(d).geometry.vertices.reserve(static_cast<std::size_t>(std::min(n, kLwReserveMax)));
    },
    [](WriteContext& ctx, const void* d) {
        ctx.Out().Int(90, static_cast<long long>(As<LWPolylineData>(d).geometry.vertices.size()));
    }};

const CustomField kLwVertices{[](ReadContext& ctx, void* d) {
                                  GroupReader& in = ctx.In();
                                  auto& p = As<LWPolylineData>(d);
                                  auto& v = p.geometry.vertices;
                                  const int code = in.Code();
                                  if (code == 10) {
                                      v.push_back({{in.Real(), 0.0, 0.0}, 0.0});
                                      return;
                                  }
                                  if (v.empty()) return;  // a vertex part before any vertex
                                  const double x = in.Real();
                                  if (code == 20) {
                                      v.back().point.y = x;
                                  } else if (code == 42) {
                                      v.back().bulge = x;
                                  } else {
                                      auto& widths = code == 40 ? p.startWidths : p.endWidths;
                                      widths.resize(v.size(), 0.0);
                                      widths.back() = x;
                                  }
                              },
                              [](WriteContext& ctx, const void* d) {
                                  const auto& p = As<LWPolylineData>(d);
                                  GroupWriter& o = ctx.Out();
                                  const bool widths = !p.startWidths.empty() || !p.endWidths.empty();
                                  for (std::size_t i = 0; i < p.geometry.vertices.size(); ++i) {
                                      const auto& v = p.geometry.vertices[i];
                                      o.Point2(10, v.point);
                                      if (widths) {
                                          o.Real(40, i < p.startWidths.size() ? p.startWidths[i] : 0.0);
                                          o.Real(41, i < p.endWidths.size() ? p.endWidths[i] : 0.0);
                                      }
                                      if (v.bulge != 0.0) o.Real(42, v.bulge);
                                  }
                              }};

const RecordLayout& LWPolylineLayout()
{
    static const Subclass s{
        "AcDbPolyline",
        {FCustom(90, kLwCount), FFlag(70, DXF_REF(LWPolylineData, geometry.closed), 1),
         FFlag(70, DXF_REF(LWPolylineData, linetypeGeneration), 128),
         FReal(43, DXF_REF(LWPolylineData, constantWidth), 0, kOpt),
         FReal(38, DXF_REF(LWPolylineData, elevation), 0, kOpt), FReal(39, DXF_REF(LWPolylineData, thickness), 0, kOpt),
         FCustom(10, kLwVertices, {20, 40, 41, 42}), FNormal(210, DXF_REF(LWPolylineData, extrusion))}};
    static const RecordLayout l({&s});
    return l;
}

void CheckLWPolyline(ReadContext& ctx, const Record& rec, LWPolylineData& p)
{
    const std::size_t n = p.geometry.vertices.size();
    if (n == 0) Bad(ctx, rec, "polilinha sem vértices");
    if (!p.startWidths.empty() || !p.endWidths.empty()) {
        p.startWidths.resize(n, 0.0);
        p.endWidths.resize(n, 0.0);
    }
    for (std::size_t i = 0; i < n; ++i)
        if (p.startWidths.size() == n && (p.startWidths[i] < 0 || p.endWidths[i] < 0))
            Bad(ctx, rec, "largura negativa de segmento");
    if (p.constantWidth < 0) Bad(ctx, rec, "largura constante negativa");
}

// --- POLYLINE and VERTEX

namespace PolyFlag {
constexpr int Closed = 1, CurveFit = 2, SplineFit = 4, Is3d = 8, Mesh = 16, Polyface = 64, Plinegen = 128;
}
namespace VertexFlag {
constexpr int CurveFitExtra = 1, SplineFitVertex = 8, SplineFrame = 16, Is3d = 32;
}

int PolylineFlags(const PolylineRecord& r)
{
    int f = r.flags & (PolyFlag::Mesh | PolyFlag::Polyface);
    if (r.data.closed) f |= PolyFlag::Closed;
    if (r.data.type == PolylineType::FitCurve) f |= PolyFlag::CurveFit;
    if (r.data.type >= PolylineType::QuadSpline) f |= PolyFlag::SplineFit;
    if (r.is3d) f |= PolyFlag::Is3d;
    if (r.data.linetypeGeneration) f |= PolyFlag::Plinegen;
    return f;
}

const CustomField kPolyFollow = DXF_FIXED(o.Int(66, 1););
const CustomField kPolyElevation{[](ReadContext& ctx, void* d) {
                                     if (ctx.In().Code() == 30) As<PolylineRecord>(d).data.elevation = ctx.In().Real();
                                 },
                                 [](WriteContext& ctx, const void* d) {
                                     const auto& r = As<PolylineRecord>(d);
                                     ctx.Out().Point(10, {0.0, 0.0, r.is3d ? 0.0 : r.data.elevation});
                                 }};
const CustomField kPolyFlags{
    [](ReadContext& ctx, void* d) { As<PolylineRecord>(d).flags = ctx.In().Int(); },
    [](WriteContext& ctx, const void* d) { ctx.Out().Int(70, PolylineFlags(As<PolylineRecord>(d))); }};
const CustomField kPolySmooth{[](ReadContext& ctx, void* d) { As<PolylineRecord>(d).smoothType = ctx.In().Int(); },
                              [](WriteContext& ctx, const void* d) {
                                  const int t = As<PolylineRecord>(d).data.type;
                                  if (t >= PolylineType::QuadSpline)
                                      ctx.Out().Int(75, t == PolylineType::QuadSpline ? 5 : 6);
                              }};

std::vector<Field> PolylineRows()
{
    return {FCustom(66, kPolyFollow),
            FCustom(10, kPolyElevation, {20, 30}),
            FReal(39, DXF_REF(PolylineRecord, data.thickness), 0, kOpt),
            FCustom(70, kPolyFlags),
            FReal(40, DXF_REF(PolylineRecord, data.defaultStartWidth), 0, kOpt),
            FReal(41, DXF_REF(PolylineRecord, data.defaultEndWidth), 0, kOpt),
            FCustom(75, kPolySmooth)};
}

std::vector<Field> Polyline2DRows()
{
    std::vector<Field> rows = PolylineRows();
    rows.push_back(FNormal(210, DXF_REF(PolylineRecord, data.extrusion)));
    return rows;
}

const RecordLayout& PolylineLayout(bool is3d)
{
    static const Subclass s2{"AcDb2dPolyline", Polyline2DRows()};
    static const Subclass s3{"AcDb3dPolyline", PolylineRows()};
    static const RecordLayout l2({&s2}), l3({&s3});
    return is3d ? l3 : l2;
}

const CustomField kVertexStartWidth{[](ReadContext& ctx, void* d) {
                                        As<VertexRecord>(d).vertex.startWidth = ctx.In().Real();
                                        As<VertexRecord>(d).startGiven = true;
                                    },
                                    [](WriteContext& ctx, const void* d) {
                                        const double w = As<VertexRecord>(d).vertex.startWidth;
                                        if (w != 0) ctx.Out().Real(40, w);
                                    }};
const CustomField kVertexEndWidth{[](ReadContext& ctx, void* d) {
                                      As<VertexRecord>(d).vertex.endWidth = ctx.In().Real();
                                      As<VertexRecord>(d).endGiven = true;
                                  },
                                  [](WriteContext& ctx, const void* d) {
                                      const double w = As<VertexRecord>(d).vertex.endWidth;
                                      if (w != 0) ctx.Out().Real(41, w);
                                  }};

std::vector<Field> VertexRows()
{
    return {FPoint(10, DXF_REF(VertexRecord, vertex.point)), FCustom(40, kVertexStartWidth),
            FCustom(41, kVertexEndWidth), FReal(42, DXF_REF(VertexRecord, vertex.bulge), 0, kOpt),
            FInt(70, DXF_REF(VertexRecord, flags))};
}

const RecordLayout& VertexLayout(bool is3d)
{
    static const Subclass base{"AcDbVertex", {}};
    static const Subclass s2{"AcDb2dVertex", VertexRows()};
    static const Subclass s3{"AcDb3dPolylineVertex", VertexRows()};
    static const RecordLayout l2({&base, &s2}), l3({&base, &s3});
    return is3d ? l3 : l2;
}

class PolylineCodec final : public DataCodec<PolylineRecord> {
public:
    explicit PolylineCodec(bool is3d) : DataCodec("POLYLINE", PolylineLayout(is3d), Followers::Vertices, true) {}
    std::unique_ptr<Entity> Build(ReadContext& ctx, Record& rec) override
    {
        auto& r = data_;
        // Meshes and polyface meshes are not modelled: kept whole, vertices included.
        if (r.flags & (PolyFlag::Mesh | PolyFlag::Polyface)) return nullptr;
        r.is3d = (r.flags & PolyFlag::Is3d) != 0;
        PolylineData& d = r.data;
        d.closed = (r.flags & PolyFlag::Closed) != 0;
        d.linetypeGeneration = (r.flags & PolyFlag::Plinegen) != 0;
        if (r.flags & PolyFlag::SplineFit)
            d.type = r.smoothType == 5 ? PolylineType::QuadSpline : PolylineType::CubicSpline;
        else if ((r.flags & PolyFlag::CurveFit) && !r.is3d)
            d.type = PolylineType::FitCurve;
        for (const VertexRecord& v : r.vertices) {
            PolylineVertex pv = v.vertex;
            if (!r.is3d) pv.point.z = d.elevation;
            if (!r.is3d && !v.startGiven) pv.startWidth = d.defaultStartWidth;
            if (!r.is3d && !v.endGiven) pv.endWidth = d.defaultEndWidth;
            if (v.flags & (VertexFlag::CurveFitExtra | VertexFlag::SplineFitVertex)) {
                if (d.type != PolylineType::Simple) d.fitPoints.push_back(pv.point);
            } else {
                if (pv.startWidth < 0 || pv.endWidth < 0) Bad(ctx, rec, "largura negativa de vértice");
                d.vertices.push_back(pv);
            }
        }
        if (d.vertices.empty()) Bad(ctx, rec, "polilinha sem vértices");
        if (r.is3d) {
            d.elevation = 0;
            return std::make_unique<Polyline3D>(ctx.Doc(), d);
        }
        return std::make_unique<Polyline2D>(ctx.Doc(), d);
    }
    const void* View(const Entity& e) override
    {
        view_ = PolylineRecord{};
        view_.data = static_cast<const PolylineBase&>(e).Data();
        view_.is3d = dynamic_cast<const Polyline3D*>(&e) != nullptr;
        return &view_;
    }
    void Add(const VertexRecord& v) { data_.vertices.push_back(v); }

private:
    PolylineRecord view_;
};

class VertexCodec final : public DataCodec<VertexRecord> {
public:
    explicit VertexCodec(bool is3d) : DataCodec("VERTEX", VertexLayout(is3d)) {}
    std::unique_ptr<Entity> Build(ReadContext&, Record&) override { return nullptr; }
    const void* View(const Entity&) override { return &data_; }
};

// --- SPLINE

const CustomField kSplineFlags{[](ReadContext& ctx, void* d) {
                                   const int f = ctx.In().Int();
                                   As<SplineData>(d).closed = (f & 1) != 0;
                                   As<SplineData>(d).periodic = (f & 2) != 0;
                               },
                               [](WriteContext& ctx, const void* d) {
                                   const auto& s = As<SplineData>(d);
                                   ctx.Out().Int(
                                       70, (s.closed ? 1 : 0) | (s.periodic ? 2 : 0) | (s.weights.empty() ? 0 : 4));
                               }};
const CustomField kSplineCounts{[](ReadContext&, void*) {},
                                [](WriteContext& ctx, const void* d) {
                                    const auto& s = As<SplineData>(d);
                                    ctx.Out().Int(72, static_cast<long long>(s.knots.size()));
                                    ctx.Out().Int(73, static_cast<long long>(s.controlPoints.size()));
                                    ctx.Out().Int(74, static_cast<long long>(s.fitPoints.size()));
                                }};

const RecordLayout& SplineLayout()
{
    static const Subclass s{
        "AcDbSpline",
        {FCustom(70, kSplineFlags), FInt(71, DXF_REF(SplineData, degree)), FCustom(72, kSplineCounts, {73, 74}),
         FReal(42, DXF_REF(SplineData, knotTolerance)), FReal(43, DXF_REF(SplineData, controlTolerance)),
         FReal(44, DXF_REF(SplineData, fitTolerance), 1e-10, kOpt), FPoint(12, DXF_REF(SplineData, startTangent), kOpt),
         FPoint(13, DXF_REF(SplineData, endTangent), kOpt), FReals(40, DXF_REF(SplineData, knots)),
         FReals(41, DXF_REF(SplineData, weights)), FPoints(10, DXF_REF(SplineData, controlPoints)),
         FPoints(11, DXF_REF(SplineData, fitPoints))}};
    static const RecordLayout l({&s});
    return l;
}

// Makes a spline read from a file safe to evaluate, or says why it cannot be.
// Returns an empty text when the data is usable (possibly after repairs).
std::string RepairSpline(SplineData& s)
{
    if (s.degree < 1 || s.degree > 25) return "grau de spline fora de 1 a 25";
    if (s.controlPoints.empty()) {
        // A spline known only by its fit points: interpolate, as the host does.
        std::vector<Point3d> fit;
        for (const Point3d& p : s.fitPoints)
            if (fit.empty() || Distance(fit.back(), p) > 0) fit.push_back(p);
        if (fit.size() < 2) return "spline sem pontos de controle nem pontos de ajuste suficientes";
        try {
            SplineData made = Spline::Interpolate(fit, s.startTangent, s.endTangent);
            made.fitPoints = s.fitPoints;
            made.closed = s.closed;
            s = std::move(made);
        } catch (const Error& e) {
            return "spline com pontos de ajuste inválidos (" + e.Description() + ")";
        }
        return {};
    }
    const std::size_t n = s.controlPoints.size();
    const auto p = static_cast<std::size_t>(s.degree);
    if (n < p + 1) return "spline com menos pontos de controle que o grau pede";
    bool ok = s.knots.size() == n + p + 1;
    for (std::size_t i = 1; ok && i < s.knots.size(); ++i) ok = s.knots[i] >= s.knots[i - 1];
    if (ok) ok = s.knots[p] < s.knots[n];
    if (!ok) {
        // Unusable knots: a clamped uniform vector over the same control points.
        s.knots.assign(n + p + 1, 0.0);
        for (std::size_t i = 0; i < s.knots.size(); ++i)
            s.knots[i] = i <= p ? 0.0 : i >= n ? static_cast<double>(n - p) : static_cast<double>(i - p);
    }
    if (!s.weights.empty()) {
        bool usable = s.weights.size() == n;
        for (double w : s.weights) usable = usable && w > 0;
        if (!usable) s.weights.clear();
    }
    return {};
}

void CheckSpline(ReadContext& ctx, const Record& rec, SplineData& s)
{
    if (std::string why = RepairSpline(s); !why.empty()) Bad(ctx, rec, why);
}

// --- HATCH

// The elevation point (10, only its z counts) and the extrusion (210), which
// the format always writes together.
const CustomField kHatchElevation{[](ReadContext& ctx, void* d) {
                                      GroupReader& in = ctx.In();
                                      auto& h = As<HatchData>(d);
                                      if (in.Code() == 30)
                                          h.elevation = in.Real();
                                      else if (in.Code() >= 210)
                                          h.extrusion.SetComponent((in.Code() - 210) / 10, in.Real());
                                  },
                                  [](WriteContext& ctx, const void* d) {
                                      const auto& h = As<HatchData>(d);
                                      ctx.Out().Point(10, {0.0, 0.0, h.elevation});
                                      ctx.Out().Point(210, h.extrusion.Normal());
                                  }};

// Reads the next group of a structure; false (group given back) when it is not one of `codes`.
bool NextOf(GroupReader& in, std::initializer_list<int> codes)
{
    if (!in.Next()) return false;
    for (int c : codes)
        if (in.Code() == c) return true;
    in.Unget();
    return false;
}

void ReadSplineEdge(GroupReader& in, SplineData& s)
{
    s = SplineData{};
    while (NextOf(in, {94, 73, 74, 95, 96, 40, 10, 20, 42})) {
        switch (in.Code()) {
        case 94: s.degree = in.Int(); break;
        case 73:
        case 74:
        case 95:
        case 96: in.Int(); break;
        case 40: s.knots.push_back(in.Real()); break;
        case 10: s.controlPoints.push_back({in.Real(), 0.0, 0.0}); break;
        case 20:
            if (s.controlPoints.empty()) s.controlPoints.emplace_back();
            s.controlPoints.back().y = in.Real();
            break;
        case 42: s.weights.push_back(in.Real()); break;
        }
    }
}

void ReadEdge(GroupReader& in, HatchEdge& e)
{
    // Each edge kind has its own groups after the type (72).
    while (NextOf(in, {10, 20, 11, 21, 40, 50, 51, 73, 94})) {
        const int c = in.Code();
        if (e.kind == HatchEdge::SplineEdge) {
            in.Unget();
            ReadSplineEdge(in, e.spline);
            return;
        }
        const double v = c == 73 ? in.Int() : in.Real();
        switch (c) {
        case 10: (e.kind == HatchEdge::LineEdge ? e.start : e.center).x = v; break;
        case 20: (e.kind == HatchEdge::LineEdge ? e.start : e.center).y = v; break;
        case 11: (e.kind == HatchEdge::LineEdge ? e.end : e.majorAxis).x = v; break;
        case 21: (e.kind == HatchEdge::LineEdge ? e.end : e.majorAxis).y = v; break;
        case 40: (e.kind == HatchEdge::ArcEdge ? e.radius : e.ratio) = v; break;
        case 50: e.startAngle = v * (kPi / 180.0); break;
        case 51: e.endAngle = v * (kPi / 180.0); break;
        case 73: e.counterClockwise = v != 0; break;
        default: break;
        }
    }
}

const CustomField kHatchPaths{
    [](ReadContext& ctx, void* d) {
        GroupReader& in = ctx.In();
        auto& loops = As<HatchData>(d).loops;
        const int count = in.Int();
        for (int i = 0; i < count && NextOf(in, {92}); ++i) {
            HatchLoop loop;
            loop.flags = in.Int();
            loop.isPolyline = (loop.flags & 2) != 0;
            if (loop.isPolyline) {
                while (NextOf(in, {72, 73, 93, 10, 20, 42})) {
                    auto& v = loop.polyline.vertices;
                    switch (in.Code()) {
                    case 73: loop.polyline.closed = in.Int() != 0; break;
                    case 72:
                    case 93: in.Int(); break;
                    case 10: v.push_back({{in.Real(), 0.0, 0.0}, 0.0}); break;
                    case 20:
                        if (!v.empty()) v.back().point.y = in.Real();
                        break;
                    case 42:
                        if (!v.empty()) v.back().bulge = in.Real();
                        break;
                    }
                }
            } else {
                if (NextOf(in, {93})) in.Int();
                while (NextOf(in, {72})) {
                    const int kind = in.Int();
                    if (kind < 1 || kind > 4)
                        in.Fail("tipo de aresta de hachura desconhecido: " + std::to_string(kind));
                    HatchEdge e;
                    e.kind = static_cast<HatchEdge::Kind>(kind);
                    ReadEdge(in, e);
                    loop.edges.push_back(std::move(e));
                }
            }
            if (NextOf(in, {97})) {
                in.Int();
                while (NextOf(in, {330}))
                    if (std::uint64_t h = in.Handle()) loop.sourceHandles.push_back(h);
            }
            loops.push_back(std::move(loop));
        }
    },
    [](WriteContext& ctx, const void* d) {
        GroupWriter& o = ctx.Out();
        const auto& loops = As<HatchData>(d).loops;
        o.Int(91, static_cast<long long>(loops.size()));
        for (const HatchLoop& loop : loops) {
            o.Int(92, loop.isPolyline ? (loop.flags | 2) : (loop.flags & ~2));
            if (loop.isPolyline) {
                bool bulges = false;
                for (const auto& v : loop.polyline.vertices) bulges = bulges || v.bulge != 0.0;
                o.Int(72, bulges ? 1 : 0);
                o.Int(73, loop.polyline.closed ? 1 : 0);
                o.Int(93, static_cast<long long>(loop.polyline.vertices.size()));
                for (const auto& v : loop.polyline.vertices) {
                    o.Point2(10, v.point);
                    if (bulges) o.Real(42, v.bulge);
                }
            } else {
                o.Int(93, static_cast<long long>(loop.edges.size()));
                for (const HatchEdge& e : loop.edges) {
                    o.Int(72, e.kind);
                    switch (e.kind) {
                    case HatchEdge::LineEdge:
                        o.Point2(10, e.start);
                        o.Point2(11, e.end);
                        break;
                    case HatchEdge::ArcEdge:
                    case HatchEdge::EllipseEdge:
                        o.Point2(10, e.center);
                        if (e.kind == HatchEdge::EllipseEdge) o.Point2(11, e.majorAxis);
                        o.Real(40, e.kind == HatchEdge::ArcEdge ? e.radius : e.ratio);
                        o.Angle(50, e.startAngle);
                        o.Angle(51, e.endAngle);
                        o.Int(73, e.counterClockwise ? 1 : 0);
                        break;
                    case HatchEdge::SplineEdge: {
                        const SplineData& s = e.spline;
                        o.Int(94, s.degree);
                        o.Int(73, s.weights.empty() ? 0 : 1);
                        o.Int(74, s.periodic ? 1 : 0);
                        o.Int(95, static_cast<long long>(s.knots.size()));
                        o.Int(96, static_cast<long long>(s.controlPoints.size()));
                        for (double k : s.knots) o.Real(40, k);
                        for (std::size_t i = 0; i < s.controlPoints.size(); ++i) {
                            o.Point2(10, s.controlPoints[i]);
                            if (!s.weights.empty()) o.Real(42, i < s.weights.size() ? s.weights[i] : 1.0);
                        }
                        break;
                    }
                    }
                }
            }
            o.Int(97, static_cast<long long>(loop.sourceHandles.size()));
            for (std::uint64_t h : loop.sourceHandles) o.Handle(330, h);
        }
    }};

const CustomField kHatchPattern{[](ReadContext& ctx, void* d) {
                                    GroupReader& in = ctx.In();
                                    auto& lines = As<HatchData>(d).patternLines;
                                    in.Int();
                                    while (NextOf(in, {53, 43, 44, 45, 46, 79, 49})) {
                                        if (in.Code() == 53) {
                                            lines.emplace_back();
                                            lines.back().angle = in.Angle();
                                            continue;
                                        }
                                        if (lines.empty()) lines.emplace_back();
                                        HatchPatternLine& l = lines.back();
                                        switch (in.Code()) {
                                        case 43: l.base.x = in.Real(); break;
                                        case 44: l.base.y = in.Real(); break;
                                        case 45: l.offset.x = in.Real(); break;
                                        case 46: l.offset.y = in.Real(); break;
                                        case 79: in.Int(); break;
                                        case 49: l.dashes.push_back(in.Real()); break;
                                        }
                                    }
                                },
                                [](WriteContext& ctx, const void* d) {
                                    const auto& h = As<HatchData>(d);
                                    if (h.solid && h.patternLines.empty()) return;
                                    GroupWriter& o = ctx.Out();
                                    o.Int(78, static_cast<long long>(h.patternLines.size()));
                                    for (const HatchPatternLine& l : h.patternLines) {
                                        o.Angle(53, l.angle);
                                        o.Real(43, l.base.x);
                                        o.Real(44, l.base.y);
                                        o.Real(45, l.offset.x);
                                        o.Real(46, l.offset.y);
                                        o.Int(79, static_cast<long long>(l.dashes.size()));
                                        for (double dash : l.dashes) o.Real(49, dash);
                                    }
                                }};

const CustomField kHatchSeeds{[](ReadContext& ctx, void* d) {
                                  GroupReader& in = ctx.In();
                                  auto& seeds = As<HatchData>(d).seedPoints;
                                  in.Int();
                                  while (NextOf(in, {10, 20})) {
                                      if (in.Code() == 10)
                                          seeds.push_back({in.Real(), 0.0, 0.0});
                                      else if (!seeds.empty())
                                          seeds.back().y = in.Real();
                                  }
                              },
                              [](WriteContext& ctx, const void* d) {
                                  const auto& seeds = As<HatchData>(d).seedPoints;
                                  ctx.Out().Int(98, static_cast<long long>(seeds.size()));
                                  for (const Point3d& p : seeds) ctx.Out().Point2(10, p);
                              }};

const RecordLayout& HatchLayout()
{
    static const Subclass s{
        "AcDbHatch",
        {FCustom(10, kHatchElevation, {20, 30, 210, 220, 230}), FStr(2, DXF_REF(HatchData, patternName)),
         FBool(70, DXF_REF(HatchData, solid)), FBool(71, DXF_REF(HatchData, associative)), FCustom(91, kHatchPaths),
         FInt(75, DXF_REF(HatchData, style)), FInt(76, DXF_REF(HatchData, patternType)),
         FAngle(52, DXF_REF(HatchData, patternAngle), 0, kOpt), FReal(41, DXF_REF(HatchData, patternScale), 1, kOpt),
         FBool(77, DXF_REF(HatchData, patternDouble), 0, kOpt), FCustom(78, kHatchPattern), FCustom(98, kHatchSeeds)}};
    static const RecordLayout l({&s});
    return l;
}

void CheckHatch(ReadContext& ctx, const Record& rec, HatchData& h)
{
    for (HatchLoop& loop : h.loops) {
        if (loop.isPolyline && loop.polyline.vertices.size() < 2)
            Bad(ctx, rec, "contorno de hachura com menos de 2 vértices");
        if (!loop.isPolyline && loop.edges.empty()) Bad(ctx, rec, "contorno de hachura sem arestas");
        for (HatchEdge& e : loop.edges) {
            if (e.kind == HatchEdge::ArcEdge && !(e.radius > 0)) Bad(ctx, rec, "arco de contorno de hachura sem raio");
            if (e.kind == HatchEdge::EllipseEdge && (!(e.majorAxis.Length() > 0) || !(e.ratio > 0 && e.ratio <= 1)))
                Bad(ctx, rec, "elipse de contorno de hachura inválida");
            if (e.kind == HatchEdge::SplineEdge)
                if (std::string why = RepairSpline(e.spline); !why.empty()) Bad(ctx, rec, why);
        }
    }
    if (h.patternScale == 0) h.patternScale = 1;
}

// --- INSERT

const CustomField kInsertFollow{[](ReadContext&, void*) {},
                                [](WriteContext& ctx, const void*) {
                                    if (ctx.HasFollowers()) ctx.Out().Int(66, 1);
                                }};

const RecordLayout& InsertLayout()
{
    static const Subclass s{
        "AcDbBlockReference",
        {FCustom(66, kInsertFollow), FBlock(2, DXF_REF(BlockReferenceData, block)),
         FPoint(10, DXF_REF(BlockReferenceData, insertionPoint)),
         FReal(41, DXF_REF(BlockReferenceData, xScale), 1, kOpt),
         FReal(42, DXF_REF(BlockReferenceData, yScale), 1, kOpt),
         FReal(43, DXF_REF(BlockReferenceData, zScale), 1, kOpt),
         FAngle(50, DXF_REF(BlockReferenceData, rotation), 0, kOpt),
         FInt(70, DXF_REF(BlockReferenceData, columns), 1, kOpt), FInt(71, DXF_REF(BlockReferenceData, rows), 1, kOpt),
         FReal(44, DXF_REF(BlockReferenceData, columnSpacing), 0, kOpt),
         FReal(45, DXF_REF(BlockReferenceData, rowSpacing), 0, kOpt),
         FNormal(210, DXF_REF(BlockReferenceData, extrusion))}};
    static const RecordLayout l({&s});
    return l;
}

class InsertCodec final : public DataCodec<BlockReferenceData> {
public:
    InsertCodec() : DataCodec("INSERT", InsertLayout(), Followers::Attributes) {}
    std::unique_ptr<Entity> Build(ReadContext& ctx, Record& rec) override
    {
        if (data_.xScale == 0 || data_.yScale == 0 || data_.zScale == 0) Bad(ctx, rec, "fator de escala nulo");
        // A grid counts its rows and columns from 1 (0 or less in a damaged file: one).
        data_.columns = std::clamp(data_.columns, 1, 32767);
        data_.rows = std::clamp(data_.rows, 1, 32767);
        if (!std::isfinite(data_.columnSpacing)) data_.columnSpacing = 0;
        if (!std::isfinite(data_.rowSpacing)) data_.rowSpacing = 0;
        const Block* b = ctx.Doc().Blocks().ByIndex(data_.block);
        if (b && b->IsXRef()) return std::make_unique<ExternalReference>(ctx.Doc(), data_);
        return std::make_unique<BlockReference>(ctx.Doc(), data_);
    }
    const void* View(const Entity& e) override { return &static_cast<const BlockReference&>(e).Data(); }
};

// --- DIMENSION (aligned)

struct DimRecord {
    DimAlignedData dim;
    int type = 0;
    std::string block;
    Point3d clones;  // 12: where the picture is moved to (0: it is not)
};

const CustomField kDimBlock{[](ReadContext& ctx, void* d) { ctx.In().TextInto(As<DimRecord>(d).block); },
                            [](WriteContext& ctx, const void*) { ctx.Out().String(2, ctx.DimensionBlockName()); }};
// 1 aligned, 32 the block is this dimension's alone, 128 the text is where the user put it.
const CustomField kDimType{[](ReadContext& ctx, void* d) { As<DimRecord>(d).type = ctx.In().Int(); },
                           [](WriteContext& ctx, const void*) { ctx.Out().Int(70, 1 | 32 | 128); }};
const CustomField kDimMeasurement{[](ReadContext&, void*) {},
                                  [](WriteContext& ctx, const void* d) {
                                      const auto& m = As<DimRecord>(d).dim;
                                      ctx.Out().Int(71, 5);
                                      ctx.Out().Int(72, 1);
                                      ctx.Out().Real(41, 1.0);
                                      ctx.Out().Real(42, Distance(m.extLine1Point, m.extLine2Point));
                                  }};

const RecordLayout& DimensionLayout()
{
    static const Subclass s{
        "AcDbDimension",
        {FCustom(2, kDimBlock), FPoint(10, DXF_REF(DimRecord, dim.dimLinePoint)),
         FPoint(11, DXF_REF(DimRecord, dim.textPosition)), FPoint(12, DXF_REF(DimRecord, clones), kOpt),
         FCustom(70, kDimType), FStr(1, DXF_REF(DimRecord, dim.textOverride), kOpt), FCustom(71, kDimMeasurement),
         FAngle(53, DXF_REF(DimRecord, dim.textRotation), 0, kOpt), FStr(3, DXF_REF(DimRecord, dim.dimStyle))}};
    static const Subclass a{
        "AcDbAlignedDimension",
        {FPoint(13, DXF_REF(DimRecord, dim.extLine1Point)), FPoint(14, DXF_REF(DimRecord, dim.extLine2Point))}};
    static const RecordLayout l({&s, &a});
    return l;
}

// Dimension variables a dimension may override, as AutoCAD keeps them in its
// "ACAD" extended data: {"DSTYLE", "{", code, value, ..., "}"}.
namespace DimVar {
constexpr int Txt = 140, Asz = 41, Exo = 42, Exe = 44, Dec = 271, TxSty = 340;
}

class DimensionCodec final : public DataCodec<DimRecord> {
public:
    DimensionCodec() : DataCodec("DIMENSION", DimensionLayout(), Followers::None, true) {}
    std::unique_ptr<Entity> Build(ReadContext& ctx, Record& rec) override
    {
        // Only aligned dimensions are modelled; the others are kept whole.
        if ((data_.type & 7) != 1) return nullptr;
        DimAlignedData& d = data_.dim;
        // A style without a name is none the file could hold: the default one.
        if (d.dimStyle.empty()) d.dimStyle = "Standard";
        if (const DimStyleRecord* s = ctx.DimStyle(d.dimStyle)) {
            d.textHeight = s->textHeight;
            d.arrowSize = s->arrowSize;
            d.extensionOffset = s->extensionOffset;
            d.extensionBeyond = s->extensionBeyond;
            d.decimals = s->decimals;
            if (auto* st = dynamic_cast<TextStyle*>(ctx.ObjectOfHandle(s->textStyle))) d.style = st->Index();
        }
        TakeOverrides(ctx, rec, d);
        return std::make_unique<DimAligned>(ctx.Doc(), d);
    }
    const void* View(const Entity& e) override
    {
        const auto& d = static_cast<const DimAligned&>(e);
        view_.dim = d.Data();
        view_.clones = d.DrawnReference() ? d.DrawnReference()->Data().insertionPoint : Point3d{};
        return &view_;
    }
    void ExtraXData(WriteContext& ctx, const Entity& e, std::vector<int>& codes, std::vector<Variant>& values) override
    {
        const DimAlignedData& d = static_cast<const DimAligned&>(e).Data();
        // What differs from the style the dimension names, as that style is
        // saved and read back: the overrides are what the style does not give.
        const DimAlignedData defaults = StyleAsSaved(ctx, d.dimStyle);
        std::vector<std::pair<int, Variant>> vars;
        if (d.textHeight != defaults.textHeight) vars.emplace_back(DimVar::Txt, d.textHeight);
        if (d.arrowSize != defaults.arrowSize) vars.emplace_back(DimVar::Asz, d.arrowSize);
        if (d.extensionOffset != defaults.extensionOffset) vars.emplace_back(DimVar::Exo, d.extensionOffset);
        if (d.extensionBeyond != defaults.extensionBeyond) vars.emplace_back(DimVar::Exe, d.extensionBeyond);
        if (d.decimals != defaults.decimals) vars.emplace_back(DimVar::Dec, d.decimals);
        if (d.style != defaults.style)
            if (auto* st = ctx.Doc().TextStyles().ByIndex(d.style)) vars.emplace_back(DimVar::TxSty, st->Handle());
        if (vars.empty()) return;
        codes.insert(codes.end(), {1001, 1000, 1002});
        values.insert(values.end(), {Variant("ACAD"), Variant("DSTYLE"), Variant("{")});
        for (auto& [code, value] : vars) {
            codes.push_back(1070);
            values.emplace_back(code);
            codes.push_back(code == DimVar::Dec ? 1070 : code == DimVar::TxSty ? 1005 : 1040);
            values.push_back(value);
        }
        codes.push_back(1002);
        values.emplace_back("}");
    }
    std::string PictureBlock() const { return data_.block; }
    Point3d PicturePlace() const { return data_.clones; }

private:
    // The values a dimension reading style `name` back takes from it: those of
    // the kept record of that name, else of a style the writer makes.
    static DimAlignedData StyleAsSaved(WriteContext& ctx, const std::string& name)
    {
        DimAlignedData d;
        const KeptFileParts* kept = ctx.Doc().KeptFileParts();
        if (!kept) return d;
        for (const KeptDimStyle& k : kept->dimStyles) {
            if (!NamesEqual(k.name, name)) continue;
            for (const RawGroup& g : k.groups) {
                double v = 0;
                std::uint64_t h = 0;
                if (g.code == 340 && ParseHandle(g.value, h)) {
                    if (auto* st = dynamic_cast<TextStyle*>(ctx.Doc().FindByHandle(h))) d.style = st->Index();
                    continue;
                }
                if (!ParseReal(g.value, v) || !std::isfinite(v)) continue;
                if (g.code == 140) d.textHeight = v;
                if (g.code == 41) d.arrowSize = v;
                if (g.code == 42) d.extensionOffset = v;
                if (g.code == 44) d.extensionBeyond = v;
                if (g.code == 271) d.decimals = static_cast<int>(v);
            }
            break;
        }
        return d;
    }

    // Moves the DSTYLE overrides out of the record's extended data into the dimension.
    static void TakeOverrides(ReadContext& ctx, Record& rec, DimAlignedData& d)
    {
        auto& c = rec.xdataCodes;
        auto& v = rec.xdataValues;
        for (std::size_t i = 0; i + 2 < c.size(); ++i) {
            if (c[i] != 1001 || !v[i].IsString() || !NamesEqual(v[i].AsString(), "ACAD")) continue;
            if (c[i + 1] != 1000 || !v[i + 1].IsString() || v[i + 1].AsString() != "DSTYLE") continue;
            std::size_t end = i + 1;
            while (end < c.size() && c[end] != 1001) ++end;
            for (std::size_t k = i + 2; k + 1 < end; ++k) {
                if (c[k] != 1070) continue;
                const int var = v[k].AsInt();
                const Variant& val = v[k + 1];
                if (var == DimVar::Txt && val.IsNumber()) d.textHeight = val.AsDouble();
                if (var == DimVar::Asz && val.IsNumber()) d.arrowSize = val.AsDouble();
                if (var == DimVar::Exo && val.IsNumber()) d.extensionOffset = val.AsDouble();
                if (var == DimVar::Exe && val.IsNumber()) d.extensionBeyond = val.AsDouble();
                if (var == DimVar::Dec && val.IsNumber()) d.decimals = val.AsInt();
                if (var == DimVar::TxSty && val.IsString()) {
                    std::uint64_t h;
                    if (ParseHandle(val.AsString(), h))
                        if (auto* st = dynamic_cast<TextStyle*>(ctx.ObjectOfHandle(h))) d.style = st->Index();
                }
                ++k;
            }
            c.erase(c.begin() + static_cast<std::ptrdiff_t>(i), c.begin() + static_cast<std::ptrdiff_t>(end));
            v.erase(v.begin() + static_cast<std::ptrdiff_t>(i), v.begin() + static_cast<std::ptrdiff_t>(end));
            return;
        }
    }
    DimRecord view_;
};

// --- VIEWPORT

struct ViewportRecord {
    ViewportData data;
    int status = 1;  // 68
    int flags = 0;   // 90
};

namespace ViewportFlag {
constexpr int AlwaysOn = 32768, Locked = 16384, Off = 131072;
}

const CustomField kViewportStatus{
    [](ReadContext& ctx, void* d) { As<ViewportRecord>(d).status = ctx.In().Int(); },
    [](WriteContext& ctx, const void* d) { ctx.Out().Int(68, As<ViewportRecord>(d).data.on ? 1 : 0); }};
const CustomField kViewportFlags{[](ReadContext& ctx, void* d) { As<ViewportRecord>(d).flags = ctx.In().Int(); },
                                 [](WriteContext& ctx, const void* d) {
                                     const auto& v = As<ViewportRecord>(d).data;
                                     ctx.Out().Int(90, ViewportFlag::AlwaysOn | (v.locked ? ViewportFlag::Locked : 0) |
                                                           (v.on ? 0 : ViewportFlag::Off));
                                 }};
const CustomField kViewportFrozen{[](ReadContext& ctx, void* d) {
                                      if (auto* layer = dynamic_cast<Layer*>(ctx.ObjectOfHandle(ctx.In().Handle())))
                                          As<ViewportRecord>(d).data.frozenLayers.push_back(layer->Index());
                                  },
                                  [](WriteContext& ctx, const void* d) {
                                      for (std::uint32_t i : As<ViewportRecord>(d).data.frozenLayers)
                                          if (std::uint64_t h = ctx.LayerHandle(i)) ctx.Out().Handle(331, h);
                                  }};
const CustomField kViewportView =
    DXF_FIXED(o.Point2(13, {}); o.Point2(14, {10, 10}); o.Point2(15, {10, 10}); o.Point(16, kZAxis); o.Point(17, {});
              o.Real(42, 50); o.Real(43, 0); o.Real(44, 0););
const CustomField kViewportSnap = DXF_FIXED(o.Real(50, 0););
const CustomField kViewportZoom = DXF_FIXED(o.Int(72, 1000););
const CustomField kViewportTail =
    DXF_FIXED(o.String(1, ""); o.Int(281, 0); o.Int(71, 1); o.Int(74, 0); o.Point(110, {}); o.Point(111, {1, 0, 0});
              o.Point(112, {0, 1, 0}); o.Int(79, 0); o.Real(146, 0););

const RecordLayout& ViewportLayout()
{
    static const Subclass s{
        "AcDbViewport",
        {FPoint(10, DXF_REF(ViewportRecord, data.center)), FReal(40, DXF_REF(ViewportRecord, data.width)),
         FReal(41, DXF_REF(ViewportRecord, data.height)), FCustom(68, kViewportStatus),
         FInt(69, DXF_REF(ViewportRecord, data.number)), FPoint2(12, DXF_REF(ViewportRecord, data.viewCenter)),
         FCustom(13, kViewportView), FReal(45, DXF_REF(ViewportRecord, data.viewHeight)), FCustom(50, kViewportSnap),
         FAngle(51, DXF_REF(ViewportRecord, data.twistAngle)), FCustom(72, kViewportZoom),
         FCustom(331, kViewportFrozen), FCustom(90, kViewportFlags), FCustom(1, kViewportTail)}};
    static const RecordLayout l({&s});
    return l;
}

class ViewportCodec final : public DataCodec<ViewportRecord> {
public:
    ViewportCodec() : DataCodec("VIEWPORT", ViewportLayout()) {}
    std::unique_ptr<Entity> Build(ReadContext& ctx, Record& rec) override
    {
        // Viewport 1 is the layout's own paper view, which the host keeps itself.
        if (data_.data.number == 1) {
            rec.drop = true;
            return nullptr;
        }
        ViewportData& v = data_.data;
        v.on = data_.status != 0 && !(data_.flags & ViewportFlag::Off);
        v.locked = (data_.flags & ViewportFlag::Locked) != 0;
        if (!(v.width >= 0 && v.height >= 0)) Bad(ctx, rec, "tamanho de viewport negativo");
        if (!(v.viewHeight > 0)) v.viewHeight = v.height > 0 ? v.height : 1.0;
        return std::make_unique<PViewport>(ctx.Doc(), v);
    }
    const void* View(const Entity& e) override
    {
        view_.data = static_cast<const PViewport&>(e).Data();
        return &view_;
    }

private:
    ViewportRecord view_;
};

}  // namespace

// ============================================================== the set of codecs

struct CodecSet::Impl {
    std::vector<std::unique_ptr<EntityCodec>> all;
    std::unordered_map<std::string_view, EntityCodec*> byName;
    std::unordered_map<std::type_index, EntityCodec*> byType;
    EntityCodec* attrib = nullptr;
    EntityCodec* vertex2 = nullptr;
    EntityCodec* vertex3 = nullptr;
    EntityCodec* polyline3 = nullptr;
    EntityCodec* dimension = nullptr;

    template <class C, class... Args>
    C* Add(std::initializer_list<std::type_index> types, bool byName_, Args&&... args)
    {
        auto c = std::make_unique<C>(std::forward<Args>(args)...);
        C* raw = c.get();
        if (byName_) byName.emplace(raw->DxfName(), raw);
        for (const auto& t : types) byType.emplace(t, raw);
        all.push_back(std::move(c));
        return raw;
    }
};

CodecSet::CodecSet() : impl_(std::make_unique<Impl>())
{
    Impl& m = *impl_;
    m.Add<PlainCodec<PointData, acad::Point>>({typeid(acad::Point)}, true, "POINT", PointLayout());
    m.Add<PlainCodec<LineData, Line>>({typeid(Line)}, true, "LINE", LineLayout());
    m.Add<PlainCodec<CircleData, Circle>>({typeid(Circle)}, true, "CIRCLE", CircleLayout(), &CheckCircle);
    m.Add<PlainCodec<ArcData, Arc>>({typeid(Arc)}, true, "ARC", ArcLayout(), &CheckArc);
    m.Add<PlainCodec<EllipseData, acad::Ellipse>>({typeid(acad::Ellipse)}, true, "ELLIPSE", EllipseLayout(),
                                                  &CheckEllipse);
    m.Add<TextCodec>({typeid(Text)}, true);
    m.Add<AttributeCodec<AttributeDefinition>>({typeid(AttributeDefinition)}, true, "ATTDEF", AttDefLayout());
    m.attrib = m.Add<AttributeCodec<AttributeReference>>({typeid(AttributeReference)}, false, "ATTRIB", AttribLayout());
    m.Add<MTextCodec>({typeid(MText)}, true);
    m.Add<PlainCodec<LWPolylineData, LWPolyline>>({typeid(LWPolyline)}, true, "LWPOLYLINE", LWPolylineLayout(),
                                                  &CheckLWPolyline);
    m.Add<PolylineCodec>({typeid(Polyline2D)}, true, false);
    m.polyline3 = m.Add<PolylineCodec>({typeid(Polyline3D)}, false, true);
    m.vertex2 = m.Add<VertexCodec>({}, false, false);
    m.vertex3 = m.Add<VertexCodec>({}, false, true);
    m.Add<PlainCodec<SplineData, Spline>>({typeid(Spline)}, true, "SPLINE", SplineLayout(), &CheckSpline);
    m.Add<PlainCodec<HatchData, Hatch>>({typeid(Hatch)}, true, "HATCH", HatchLayout(), &CheckHatch);
    m.Add<InsertCodec>({typeid(BlockReference), typeid(ExternalReference)}, true);
    m.dimension = m.Add<DimensionCodec>({typeid(DimAligned)}, true);
    m.Add<FaceCodec>({typeid(Face3D)}, true);
    m.Add<SolidCodec>({}, true, false);
    m.Add<SolidCodec>({}, true, true);
    m.Add<RayCodec>({}, true, true);
    m.Add<RayCodec>({}, true, false);
    m.Add<ViewportCodec>({typeid(PViewport)}, true);
}

CodecSet::~CodecSet() = default;

EntityCodec* CodecSet::Find(std::string_view dxfName) const
{
    auto it = impl_->byName.find(dxfName);
    return it == impl_->byName.end() ? nullptr : it->second;
}

EntityCodec* CodecSet::For(const Entity& e) const
{
    // Kinds one class holds with two names (SOLID and TRACE, XLINE and RAY) go by name.
    if (typeid(e) == typeid(Solid) || typeid(e) == typeid(InfiniteLine)) return Find(e.DxfName());
    auto it = impl_->byType.find(typeid(e));
    return it == impl_->byType.end() ? nullptr : it->second;
}

EntityCodec& CodecSet::Attribute() const { return *impl_->attrib; }

EntityCodec& CodecSet::Vertex(bool is3d) const { return is3d ? *impl_->vertex3 : *impl_->vertex2; }

void CodecSet::AddVertex(EntityCodec& polyline, const VertexRecord& v) const
{
    static_cast<PolylineCodec&>(polyline).Add(v);
}

std::string CodecSet::DimensionBlock() const { return static_cast<DimensionCodec*>(impl_->dimension)->PictureBlock(); }

Point3d CodecSet::DimensionPicturePlace() const
{
    return static_cast<DimensionCodec*>(impl_->dimension)->PicturePlace();
}

std::vector<VertexRecord> VertexRecordsOf(const Entity& polyline)
{
    std::vector<VertexRecord> out;
    const auto& pl = static_cast<const PolylineBase&>(polyline);
    const PolylineData& d = pl.Data();
    const bool is3d = dynamic_cast<const Polyline3D*>(&polyline) != nullptr;
    const bool spline = d.type >= PolylineType::QuadSpline;
    const int dim = is3d ? VertexFlag::Is3d : 0;
    for (const PolylineVertex& v : d.vertices) out.push_back({v, dim | (spline ? VertexFlag::SplineFrame : 0)});
    if (d.type != PolylineType::Simple)
        for (const Point3d& p : d.fitPoints)
            out.push_back(
                {{p, 0.0, 0.0, 0.0}, dim | (spline ? VertexFlag::SplineFitVertex : VertexFlag::CurveFitExtra)});
    return out;
}

// ============================================================== table records

namespace {
const Subclass kSymbolTableRecord{"AcDbSymbolTableRecord", {}};
}

const RecordLayout& LayerLayout()
{
    static const CustomField plotStyle{[](ReadContext&, void*) {},
                                       [](WriteContext& ctx, const void*) {
                                           if (std::uint64_t h = ctx.PlotStyleHandle()) ctx.Out().Handle(390, h);
                                       }};
    static const Subclass s{"AcDbLayerTableRecord",
                            {FStr(2, DXF_REF(LayerRecord, name)), FInt(70, DXF_REF(LayerRecord, flags)),
                             FInt(62, DXF_REF(LayerRecord, color)), FLinetype(6, DXF_REF(LayerRecord, linetype)),
                             FBool(290, DXF_REF(LayerRecord, plottable), 1, kOpt),
                             FInt(370, DXF_REF(LayerRecord, lineweight)), FCustom(390, plotStyle)}};
    static const RecordLayout l({&kSymbolTableRecord, &s});
    return l;
}

const RecordLayout& LinetypeLayout()
{
    static const CustomField dashes{[](ReadContext& ctx, void* d) {
                                        if (ctx.In().Code() == 49)
                                            As<LinetypeRecord>(d).pattern.push_back(ctx.In().Real());
                                    },
                                    [](WriteContext& ctx, const void* d) {
                                        const auto& p = As<LinetypeRecord>(d).pattern;
                                        double total = 0;
                                        for (double x : p) total += std::fabs(x);
                                        GroupWriter& o = ctx.Out();
                                        o.Int(72, 65);
                                        o.Int(73, static_cast<long long>(p.size()));
                                        o.Real(40, total);
                                        for (double x : p) {
                                            o.Real(49, x);
                                            o.Int(74, 0);
                                        }
                                    }};
    static const Subclass s{"AcDbLinetypeTableRecord",
                            {FStr(2, DXF_REF(LinetypeRecord, name)), FInt(70, DXF_REF(LinetypeRecord, flags)),
                             FStr(3, DXF_REF(LinetypeRecord, description)), FCustom(72, dashes, {49})}};
    static const RecordLayout l({&kSymbolTableRecord, &s});
    return l;
}

const RecordLayout& TextStyleLayout()
{
    static const Subclass s{
        "AcDbTextStyleTableRecord",
        {FStr(2, DXF_REF(TextStyleRecord, name)), FInt(70, DXF_REF(TextStyleRecord, flags)),
         FReal(40, DXF_REF(TextStyleRecord, height)), FReal(41, DXF_REF(TextStyleRecord, width)),
         FAngle(50, DXF_REF(TextStyleRecord, oblique)), FInt(71, DXF_REF(TextStyleRecord, generation)),
         FReal(42, DXF_REF(TextStyleRecord, lastHeight)), FStr(3, DXF_REF(TextStyleRecord, fontFile)),
         FStr(4, DXF_REF(TextStyleRecord, bigFontFile))}};
    static const RecordLayout l({&kSymbolTableRecord, &s});
    return l;
}

const RecordLayout& AppIdLayout()
{
    static const Subclass s{"AcDbRegAppTableRecord",
                            {FStr(2, DXF_REF(AppIdRecord, name)), FInt(70, DXF_REF(AppIdRecord, flags))}};
    static const RecordLayout l({&kSymbolTableRecord, &s});
    return l;
}

const RecordLayout& BlockRecordLayout()
{
    static const Subclass s{"AcDbBlockTableRecord",
                            {FStr(2, DXF_REF(BlockRecordData, name)), FHandle(340, DXF_REF(BlockRecordData, layout))}};
    static const RecordLayout l({&kSymbolTableRecord, &s});
    return l;
}

const RecordLayout& VportLayout()
{
    static const CustomField view = DXF_FIXED(o.Point2(13, {}); o.Point2(14, {0.5, 0.5}); o.Point2(15, {0.5, 0.5});
                                              o.Point(16, kZAxis); o.Point(17, {}););
    static const CustomField lens = DXF_FIXED(o.Real(42, 50); o.Real(43, 0); o.Real(44, 0););
    static const CustomField modes =
        DXF_FIXED(o.Real(51, 0); o.Int(71, 0); o.Int(72, 1000); o.Int(73, 1); o.Int(74, 3); o.Int(75, 0); o.Int(76, 0);
                  o.Int(77, 0); o.Int(78, 0); o.Int(281, 0); o.Int(65, 1); o.Point(110, {}); o.Point(111, {1, 0, 0});
                  o.Point(112, {0, 1, 0}); o.Int(79, 0); o.Real(146, 0););
    static const CustomField flags = DXF_FIXED(o.Int(70, 0););
    static const Subclass s{
        "AcDbViewportTableRecord",
        {FStr(2, DXF_REF(VportRecord, name)), FCustom(70, flags), FPoint2(10, DXF_REF(VportRecord, lowerLeft)),
         FPoint2(11, DXF_REF(VportRecord, upperRight)), FPoint2(12, DXF_REF(VportRecord, center)), FCustom(13, view),
         FReal(40, DXF_REF(VportRecord, height)), FReal(41, DXF_REF(VportRecord, aspect)), FCustom(42, lens),
         FAngle(50, DXF_REF(VportRecord, snapAngle)), FCustom(51, modes)}};
    static const RecordLayout l({&kSymbolTableRecord, &s});
    return l;
}

const RecordLayout& DimStyleLayout()
{
    static const CustomField flags = DXF_FIXED(o.Int(70, 0););
    static const Subclass s{
        "AcDbDimStyleTableRecord",
        {FStr(2, DXF_REF(DimStyleRecord, name)), FCustom(70, flags), FReal(41, DXF_REF(DimStyleRecord, arrowSize)),
         FReal(42, DXF_REF(DimStyleRecord, extensionOffset)), FReal(44, DXF_REF(DimStyleRecord, extensionBeyond)),
         FReal(140, DXF_REF(DimStyleRecord, textHeight)), FInt(271, DXF_REF(DimStyleRecord, decimals)),
         FHandle(340, DXF_REF(DimStyleRecord, textStyle))}};
    static const RecordLayout l({&kSymbolTableRecord, &s});
    return l;
}

const RecordLayout& BlockBeginLayout()
{
    static const CustomField name2{
        [](ReadContext&, void*) {},
        [](WriteContext& ctx, const void* d) { ctx.Out().String(3, As<BlockBeginData>(d).name); }};
    static const Subclass s{
        "AcDbBlockBegin",
        {FStr(2, DXF_REF(BlockBeginData, name)), FInt(70, DXF_REF(BlockBeginData, flags)),
         FPoint(10, DXF_REF(BlockBeginData, base)), FCustom(3, name2), FStr(1, DXF_REF(BlockBeginData, xrefPath)),
         FStr(4, DXF_REF(BlockBeginData, description), kOpt)}};
    static const RecordLayout l({&s});
    return l;
}

const RecordLayout& LayoutLayout()
{
    static const CustomField ucs =
        DXF_FIXED(o.Real(146, 0); o.Point(13, {}); o.Point(16, {1, 0, 0}); o.Point(17, {0, 1, 0}); o.Int(76, 0););
    static const Subclass s{
        "AcDbLayout",
        {FStr(1, DXF_REF(LayoutRecord, name)), FInt(70, DXF_REF(LayoutRecord, flags)),
         FInt(71, DXF_REF(LayoutRecord, tabOrder)), FPoint2(10, DXF_REF(LayoutRecord, limitsMin)),
         FPoint2(11, DXF_REF(LayoutRecord, limitsMax)), FPoint(12, DXF_REF(LayoutRecord, insertionBase)),
         FPoint(14, DXF_REF(LayoutRecord, extentsMin)), FPoint(15, DXF_REF(LayoutRecord, extentsMax)),
         FCustom(146, ucs), FHandle(330, DXF_REF(LayoutRecord, block))}};
    static const RecordLayout l({&s});
    return l;
}

const std::vector<HeaderVar>& HeaderVars()
{
    using K = HeaderVar::Kind;
    static const std::vector<HeaderVar> vars{
        {"$ACADVER", nullptr, 1, K::Text, "AC1015"},
        {"$ACADMAINTVER", nullptr, 70, K::Int, "6"},
        {"$DWGCODEPAGE", nullptr, 3, K::Text, "ANSI_1252"},
        {"$INSBASE", "INSBASE", 10, K::Point3, "0,0,0"},
        {"$EXTMIN", "EXTMIN", 10, K::Point3, "1e20,1e20,1e20"},
        {"$EXTMAX", "EXTMAX", 10, K::Point3, "-1e20,-1e20,-1e20"},
        {"$LIMMIN", "LIMMIN", 10, K::Point2, "0,0"},
        {"$LIMMAX", "LIMMAX", 10, K::Point2, "12,9"},
        {"$ORTHOMODE", "ORTHOMODE", 70, K::Int, "0"},
        {"$LTSCALE", "LTSCALE", 40, K::Real, "1"},
        {"$TEXTSIZE", "TEXTSIZE", 40, K::Real, "0.2"},
        {"$TEXTSTYLE", "TEXTSTYLE", 7, K::Text, "Standard"},
        {"$CLAYER", "CLAYER", 8, K::Text, "0"},
        {"$CELTYPE", "CELTYPE", 6, K::Text, "ByLayer"},
        {"$CECOLOR", "CECOLOR", 62, K::Int, "256"},
        {"$CELTSCALE", "CELTSCALE", 40, K::Real, "1"},
        {"$PSLTSCALE", "PSLTSCALE", 70, K::Int, "1"},
        {"$DIMSTYLE", nullptr, 2, K::Text, "Standard"},
        {"$PDMODE", "PDMODE", 70, K::Int, "0"},
        {"$PDSIZE", "PDSIZE", 40, K::Real, "0"},
        {"$OSMODE", "OSMODE", 70, K::Int, "0"},
        {"$TILEMODE", "TILEMODE", 70, K::Int, "1"},
        {"$ATTMODE", "ATTMODE", 70, K::Int, "1"},
        {"$MIRRTEXT", "MIRRTEXT", 70, K::Int, "1"},
        {"$LUNITS", "LUNITS", 70, K::Int, "2"},
        {"$LUPREC", "LUPREC", 70, K::Int, "4"},
        {"$AUNITS", "AUNITS", 70, K::Int, "0"},
        {"$AUPREC", "AUPREC", 70, K::Int, "0"},
        {"$ANGDIR", "ANGDIR", 70, K::Int, "0"},
        {"$LIMCHECK", "LIMCHECK", 70, K::Int, "0"},
        {"$PLINEGEN", "PLINEGEN", 70, K::Int, "0"},
        {"$PLINEWID", "PLINEWID", 40, K::Real, "0"},
        {"$SPLINESEGS", "SPLINESEGS", 70, K::Int, "8"},
        {"$SPLINETYPE", "SPLINETYPE", 70, K::Int, "6"},
        {"$THICKNESS", "THICKNESS", 40, K::Real, "0"},
        {"$ELEVATION", "ELEVATION", 40, K::Real, "0"},
        {"$FILLETRAD", "FILLETRAD", 40, K::Real, "0"},
        {"$DIMSCALE", "DIMSCALE", 40, K::Real, "1"},
        {"$DIMASZ", "DIMASZ", 40, K::Real, "0.18"},
        {"$DIMEXO", "DIMEXO", 40, K::Real, "0.0625"},
        {"$DIMEXE", "DIMEXE", 40, K::Real, "0.18"},
        {"$DIMTXT", "DIMTXT", 40, K::Real, "0.18"},
        {"$DIMDEC", "DIMDEC", 70, K::Int, "4"},
        {"$DIMZIN", "DIMZIN", 70, K::Int, "0"},
        {"$HANDSEED", nullptr, 5, K::Handle, "20000"},
    };
    return vars;
}

}  // namespace acad::dxf
