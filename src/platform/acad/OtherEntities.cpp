#include "platform/acad/OtherEntities.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <utility>

#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/DxfKept.h"
#include "platform/acad/DxfText.h"
#include "platform/acad/EmitSupport.h"
#include "platform/acad/Spline.h"
#include "platform/acad/Error.h"
#include "platform/acad/Tables.h"
#include "platform/acad/TextEntities.h"
#include "platform/acad/TextMetrics.h"
#include "platform/acad/View.h"

namespace acad {

namespace {

bool NearlyIdentity(const Transform& t)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j)
            if (std::fabs(t.m[i][j] - (i == j ? 1.0 : 0.0)) > 1e-12 * (j == 3 ? 1.0 + std::fabs(t.m[i][j]) : 1.0))
                return false;
    return true;
}

// Carries the picture `pic` draws with its holder, moved by `t`, its
// placement `before` the move and `now` after: the picture's content takes
// what the placement does not. A block another reference or holder shares, or one with a name of its
// own, is copied first (into a new anonymous block named after `anonymous`),
// so that nothing else moves with it. Returns the copy, or null.
Block* CarryPicture(BlockReference& pic, const Transform& t, const Transform& before, const BlockReferenceData& now,
                    const char* anonymous)
{
    BlockReferenceData d = now;
    d.block = pic.Data().block;
    pic.SetData(d);
    const auto inverse = pic.BlockTransform().Inverse();
    Block* def = pic.Document().Blocks().ByIndex(d.block);
    if (!inverse || !def) return nullptr;
    const Transform content = *inverse * t * before;
    if (NearlyIdentity(content)) return nullptr;
    Block* copy = nullptr;
    const auto& refs = def->References();
    if (!def->IsAnonymous() ||
        std::any_of(refs.begin(), refs.end(), [&](const BlockReference* r) { return r != &pic; })) {
        copy = pic.Document().Blocks().Add(def->Origin(), anonymous);
        for (Entity* e : *def) {
            Entity* c = copy->AppendEntity(e->Clone());
            std::vector<int> types;
            std::vector<Variant> values;
            e->GetXData("", types, values);
            if (!types.empty()) c->SetXData(types, values);
        }
        d.block = pic.Document().Blocks().IndexOf(*copy);
        pic.SetData(d);
        def = copy;
    }
    for (Entity* e : *def) e->TransformBy(content);
    return copy;
}

// A picture's block that no one draws any more, and that no one named: it goes.
void ForgetPicture(std::unique_ptr<BlockReference>& pic)
{
    if (!pic) return;
    Block* def = pic->Document().Blocks().ByIndex(pic->Data().block);
    pic->Unlist();
    pic.reset();
    if (def && !def->IsErased() && def->IsAnonymous() && !def->IsReferenced()) try {
            def->Delete();
        } catch (const Error&) {
        }
}

}  // namespace

// ---------------------------------------------------------------- DimAligned

DimAligned::DimAligned(acad::Document& doc, const DimAlignedData& data) : Entity(doc), data_(data) {}

Point3d DimAligned::ExtLine1Point() const
{
    CheckAlive();
    return data_.extLine1Point;
}

void DimAligned::SetExtLine1Point(const Point3d& p)
{
    CheckWritable();
    detail::CheckFinite(p, "ponto da linha de extensão");
    data_.extLine1Point = p;
    DropPicture();
    GeometryChanged();
}

Point3d DimAligned::ExtLine2Point() const
{
    CheckAlive();
    return data_.extLine2Point;
}

void DimAligned::SetExtLine2Point(const Point3d& p)
{
    CheckWritable();
    detail::CheckFinite(p, "ponto da linha de extensão");
    data_.extLine2Point = p;
    DropPicture();
    GeometryChanged();
}

Point3d DimAligned::TextPosition() const
{
    CheckAlive();
    return data_.textPosition;
}

void DimAligned::SetTextPosition(const Point3d& p)
{
    CheckWritable();
    detail::CheckFinite(p, "posição do texto da cota");
    // The dimension line follows the text, as when the user drags it.
    data_.textPosition = p;
    data_.dimLinePoint = p;
    DropPicture();
    GeometryChanged();
}

std::string DimAligned::TextOverride() const
{
    CheckAlive();
    return data_.textOverride;
}

void DimAligned::SetTextOverride(const std::string& s)
{
    CheckWritable();
    data_.textOverride = s;
    DropPicture();
    GeometryChanged();
}

double DimAligned::Measurement() const
{
    CheckAlive();
    return Distance2d(data_.extLine1Point, data_.extLine2Point);
}

double DimAligned::TextRotation() const
{
    CheckAlive();
    return data_.textRotation;
}

void DimAligned::SetTextRotation(double r)
{
    CheckWritable();
    if (!std::isfinite(r)) ThrowInvalidInput("rotação do texto da cota");
    data_.textRotation = r;
    DropPicture();
    GeometryChanged();
}

std::string DimAligned::StyleName() const
{
    CheckAlive();
    return data_.dimStyle;
}

double DimAligned::TextHeight() const
{
    CheckAlive();
    return data_.textHeight;
}

void DimAligned::SetTextHeight(double h)
{
    CheckWritable();
    if (!(h > 0) || !std::isfinite(h)) ThrowInvalidInput("altura do texto da cota");
    data_.textHeight = h;
    DropPicture();
    GeometryChanged();
}

namespace {

// What a dimension writes: the measure with `decimals` places, or the text
// that overrides it, its "<>" replaced by the measure.
std::string MeasureText(double measure, int decimals, const std::string& override)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", std::clamp(decimals, 0, 8), measure);
    std::string measured = buf;
    if (override.empty()) return measured;
    if (override == " ") return "";  // a single blank hides the text
    std::string s = override;
    for (std::size_t at = s.find("<>"); at != std::string::npos; at = s.find("<>", at + measured.size()))
        s.replace(at, 2, measured);
    return s;
}

}  // namespace

std::string DimAligned::DisplayedText() const
{
    CheckAlive();
    return MeasureText(Distance2d(data_.extLine1Point, data_.extLine2Point), data_.decimals, data_.textOverride);
}

void DimAligned::SetData(const DimAlignedData& d)
{
    CheckAlive();
    data_ = d;
    GeometryChanged();
}

DimAligned::~DimAligned() = default;

void DimAligned::SetPicture(std::uint32_t block, Point3d at)
{
    CheckAlive();
    const acad::Block* def = Document().Blocks().ByIndex(block);
    const bool drawn = def && !def->IsLayout() && def->Count() > 0;
    if (const Block* owner = OwnerBlock(); drawn && owner) owner->CheckMayDraw(*def);
    // The block drawn before is left as it is: it may be another drawing's (a copy's index being mapped).
    if (picture_) picture_->Unlist();
    picture_.reset();
    if (drawn) {
        BlockReferenceData d;
        d.block = block;
        d.insertionPoint = at;
        picture_ = BlockReference::HeldBy(*this, d);
        picture_->Relist();
    }
    GeometryChanged();
}

void DimAligned::DropPicture() { ForgetPicture(picture_); }

void DimAligned::OnAdopted()
{
    if (picture_) picture_->Relist();
}

void DimAligned::OnErase()
{
    if (picture_) picture_->Unlist();
    Entity::OnErase();
}

void DimAligned::TransformBy(const Transform& t)
{
    CheckAlive();
    data_.extLine1Point = t.Apply(data_.extLine1Point);
    data_.extLine2Point = t.Apply(data_.extLine2Point);
    data_.dimLinePoint = t.Apply(data_.dimLinePoint);
    data_.textPosition = t.Apply(data_.textPosition);
    if (data_.textRotation != 0) data_.textRotation = NormalizeAngle(data_.textRotation + t.RotationAngle());
    if (picture_) {
        const Transform before = picture_->BlockTransform();
        BlockReferenceData now = picture_->Data();
        now.insertionPoint = t.Apply(now.insertionPoint);
        CarryPicture(*picture_, t, before, now, "*D");
    }
    GeometryChanged();
}

void DimAligned::Emit(GeometrySink& sink, const Transform& t) const
{
    if (picture_) {
        picture_->Emit(sink, t);
        return;
    }
    const Point3d& e1 = data_.extLine1Point;
    const Point3d& e2 = data_.extLine2Point;
    double len = Distance2d(e1, e2);
    if (!(len > 0)) {
        sink.Point(t.Apply(e1));
        return;
    }
    Vector3d u{(e2.x - e1.x) / len, (e2.y - e1.y) / len, 0.0};
    Vector3d n{-u.y, u.x, 0.0};
    double off = Dot(data_.dimLinePoint - e1, n);
    double side = off < 0 ? -1.0 : 1.0;
    Point3d d1 = e1 + n * off, d2 = e2 + n * off;
    // Extension lines, dimension line, and an arrowhead at each end.
    sink.Segment(t.Apply(e1 + n * (side * data_.extensionOffset)), t.Apply(d1 + n * (side * data_.extensionBeyond)));
    sink.Segment(t.Apply(e2 + n * (side * data_.extensionOffset)), t.Apply(d2 + n * (side * data_.extensionBeyond)));
    sink.Segment(t.Apply(d1), t.Apply(d2));
    const double a = data_.arrowSize;
    for (int end = 0; end < 2; ++end) {
        Point3d tip = end == 0 ? d1 : d2;
        Vector3d in = end == 0 ? u : -u;
        sink.Segment(t.Apply(tip), t.Apply(tip + in * a + n * (a / 6)));
        sink.Segment(t.Apply(tip), t.Apply(tip + in * a - n * (a / 6)));
    }
    const std::string written = DisplayedText();
    TextMetrics::DrawnText drawn;
    const bool coded = TextMetrics::ReadCodes(written, drawn);
    const std::string_view text = coded ? std::string_view(drawn.letters) : std::string_view(written);
    if (text.empty()) return;
    double rot = data_.textRotation != 0 ? data_.textRotation : AngleFromXAxis(e1, e2);
    if (rot > kPi / 2 + 1e-9 && rot <= 3 * kPi / 2 + 1e-9) rot = NormalizeAngle(rot + kPi);  // keep it readable
    const double h = data_.textHeight;
    const TextMetrics::Face face = TextMetrics::FaceOf(Document().TextStyles().ByIndex(data_.style));
    const double w = TextMetrics::Width(face, text) * h;
    Vector3d tu{std::cos(rot), std::sin(rot), 0.0};
    Vector3d tv{-tu.y, tu.x, 0.0};
    Point3d o = data_.textPosition - tu * (w / 2) - tv * (h / 2);
    TextPrimitive p;
    p.text = text;
    p.corners[0] = t.Apply(o);
    p.corners[1] = t.Apply(o + tu * w);
    p.corners[2] = t.Apply(o + tu * w + tv * h);
    p.corners[3] = t.Apply(o + tv * h);
    p.position = p.corners[0];
    Vector3d wu = t.ApplyVector(tu), wv = t.ApplyVector(tv);
    p.rotation = NormalizeAngle(std::atan2(wu.y, wu.x));
    p.height = h * wv.Length2d();
    p.upsideDown = Cross2d(wu, wv) < 0;
    sink.Text(p);
    const double all = TextMetrics::Width(face, text);
    if (!(all > 0)) return;
    for (const TextMetrics::DrawnText::Stroke& k : drawn.strokes) {
        const double from = w * TextMetrics::Width(face, text.substr(0, k.begin)) / all;
        const double to = from + w * TextMetrics::Width(face, text.substr(k.begin, k.end - k.begin)) / all;
        const Point3d at = o + tv * (h * (k.over ? TextMetrics::kOverline : TextMetrics::kUnderline));
        sink.Segment(t.Apply(at + tu * from), t.Apply(at + tu * to));
    }
}

std::unique_ptr<Entity> DimAligned::CloneTo(acad::Document& target) const
{
    auto c = detail::CloneWith(*this, target, data_);
    // The copy draws the same block; for another drawing, the caller maps its index.
    if (picture_) c->picture_ = BlockReference::HeldBy(*c, picture_->Data());
    return c;
}

// ---------------------------------------------------------------- Solid

Solid::Solid(acad::Document& doc, const SolidData& data, bool trace) : Entity(doc), data_(data), trace_(trace) {}

void Solid::SetData(const SolidData& d)
{
    CheckAlive();
    data_ = d;
    GeometryChanged();
}

std::vector<Point3d> Solid::Outline() const
{
    const Point3d* c = data_.corners;
    // The file lists the corners 1, 2, 4, 3 around the area; a triangle repeats the third.
    if (c[2] == c[3]) return {c[0], c[1], c[2]};
    return {c[0], c[1], c[3], c[2]};
}

void Solid::TransformBy(const Transform& world)
{
    CheckAlive();
    const Transform t = data_.extrusion.TransformBy(world);
    for (auto& p : data_.corners) p = t.Apply(p);
    GeometryChanged();
}

void Solid::Emit(GeometrySink& sink, const Transform& placed) const
{
    const Transform t = data_.extrusion.Through(placed);
    std::vector<Point3d> ring = Outline();
    for (auto& p : ring) p = t.Apply(p);
    sink.Fill(ring);
    // Its edges too: a solid thinner than a pixel still shows, and its corners snap.
    for (std::size_t i = 0; i < ring.size(); ++i) sink.Segment(ring[i], ring[(i + 1) % ring.size()]);
}

std::unique_ptr<Entity> Solid::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, data_, trace_);
}

// ---------------------------------------------------------------- InfiniteLine

InfiniteLine::InfiniteLine(acad::Document& doc, const RayData& data, bool bothWays)
    : Entity(doc), data_(data), bothWays_(bothWays)
{
}

void InfiniteLine::SetData(const RayData& d)
{
    CheckAlive();
    data_ = d;
    GeometryChanged();
}

void InfiniteLine::TransformBy(const Transform& t)
{
    CheckAlive();
    data_.base = t.Apply(data_.base);
    const Vector3d d = t.ApplyVector(data_.direction);
    if (const double len = d.Length(); len > 0 && std::isfinite(len)) data_.direction = d / len;
    GeometryChanged();
}

Vector3d InfiniteLine::UnitDirection() const
{
    const double len = data_.direction.Length();
    return len > 0 && std::isfinite(len) ? data_.direction / len : data_.direction;
}

void InfiniteLine::Emit(GeometrySink& sink, const Transform& t) const
{
    sink.Ray(t.Apply(data_.base), t.ApplyVector(UnitDirection()), bothWays_);
}

Box InfiniteLine::Extents() const { return RayBox(data_.base, UnitDirection(), bothWays_); }

std::unique_ptr<Entity> InfiniteLine::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, data_, bothWays_);
}

// ---------------------------------------------------------------- Face3D

Face3D::Face3D(acad::Document& doc, const Face3DData& data) : Entity(doc), data_(data) {}

std::vector<double> Face3D::Coordinates() const
{
    CheckAlive();
    std::vector<double> r;
    for (const auto& p : data_.corners) {
        r.push_back(p.x);
        r.push_back(p.y);
        r.push_back(p.z);
    }
    return r;
}

void Face3D::SetCoordinates(const std::vector<double>& xyz)
{
    CheckWritable();
    if (xyz.size() != 12 && xyz.size() != 9) ThrowInvalidInput("coordenadas da face (3 ou 4 pontos x,y,z)");
    for (double d : xyz)
        if (!std::isfinite(d)) ThrowInvalidInput("coordenadas da face");
    for (std::size_t i = 0; i < 4; ++i) {
        std::size_t k = std::min<std::size_t>(i, xyz.size() / 3 - 1);
        data_.corners[i] = {xyz[3 * k], xyz[3 * k + 1], xyz[3 * k + 2]};
    }
    GeometryChanged();
}

Point3d Face3D::Coordinate(int index) const
{
    CheckAlive();
    if (index < 0 || index > 3)
        throw Error(ErrorCode::InvalidInput, "Índice de vértice da face fora do intervalo: " + std::to_string(index));
    return data_.corners[index];
}

void Face3D::SetCoordinate(int index, const Point3d& p)
{
    CheckWritable();
    if (index < 0 || index > 3)
        throw Error(ErrorCode::InvalidInput, "Índice de vértice da face fora do intervalo: " + std::to_string(index));
    detail::CheckFinite(p, "vértice da face");
    data_.corners[index] = p;
    GeometryChanged();
}

bool Face3D::GetInvisibleEdge(int index) const
{
    CheckAlive();
    if (index < 0 || index > 3)
        throw Error(ErrorCode::InvalidInput, "Índice de aresta fora do intervalo: " + std::to_string(index));
    return (data_.invisibleEdges >> index) & 1;
}

void Face3D::SetInvisibleEdge(int index, bool invisible)
{
    CheckWritable();
    if (index < 0 || index > 3)
        throw Error(ErrorCode::InvalidInput, "Índice de aresta fora do intervalo: " + std::to_string(index));
    if (invisible)
        data_.invisibleEdges |= 1 << index;
    else
        data_.invisibleEdges &= ~(1 << index);
    GeometryChanged();
}

void Face3D::SetData(const Face3DData& d)
{
    CheckAlive();
    data_ = d;
    GeometryChanged();
}

void Face3D::TransformBy(const Transform& t)
{
    CheckAlive();
    for (auto& p : data_.corners) p = t.Apply(p);
    GeometryChanged();
}

void Face3D::Emit(GeometrySink& sink, const Transform& t) const
{
    for (int i = 0; i < 4; ++i) {
        if ((data_.invisibleEdges >> i) & 1) continue;
        sink.Segment(t.Apply(data_.corners[i]), t.Apply(data_.corners[(i + 1) % 4]));
    }
}

std::unique_ptr<Entity> Face3D::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, data_);
}

// ---------------------------------------------------------------- PViewport

PViewport::PViewport(acad::Document& doc, const ViewportData& data)
    : Entity(doc), data_(data), view_(std::make_unique<acad::View>())
{
    SyncView();
}

PViewport::~PViewport() = default;

void PViewport::SyncView()
{
    if (data_.viewHeight > 0 && std::isfinite(data_.viewHeight)) view_->SetHeight(data_.viewHeight);
    view_->SetCenter(data_.viewCenter);
    if (data_.width > 0 && data_.height > 0) view_->SetAspectRatio(data_.width / data_.height);
}

const ViewportData& PViewport::Data() const
{
    data_.viewCenter = view_->Center();
    data_.viewHeight = view_->Height();
    return data_;
}

Point3d PViewport::Center() const
{
    CheckAlive();
    return data_.center;
}

void PViewport::SetCenter(const Point3d& c)
{
    CheckWritable();
    detail::CheckFinite(c, "centro da janela de visualização");
    data_.center = c;
    GeometryChanged();
}

double PViewport::Width() const
{
    CheckAlive();
    return data_.width;
}

void PViewport::SetWidth(double w)
{
    CheckWritable();
    if (!(w > 0) || !std::isfinite(w)) ThrowInvalidInput("largura da janela de visualização");
    data_.width = w;
    view_->SetAspectRatio(data_.width / data_.height);
    GeometryChanged();
}

double PViewport::Height() const
{
    CheckAlive();
    return data_.height;
}

void PViewport::SetHeight(double h)
{
    CheckWritable();
    if (!(h > 0) || !std::isfinite(h)) ThrowInvalidInput("altura da janela de visualização");
    data_.height = h;
    view_->SetAspectRatio(data_.width / data_.height);
    GeometryChanged();
}

void PViewport::Display(bool on)
{
    CheckWritable();
    data_.on = on;
    Document().NoteChange();
    Document().RedrawRequested.Raise();
}

bool PViewport::ViewportOn() const
{
    CheckAlive();
    return data_.on;
}

double PViewport::CustomScale() const
{
    CheckAlive();
    return view_->Height() > 0 ? data_.height / view_->Height() : 1.0;
}

void PViewport::SetCustomScale(double s)
{
    CheckWritable();
    if (!(s > 0) || !std::isfinite(s)) ThrowInvalidInput("escala da janela de visualização");
    view_->SetHeight(data_.height / s);
    Document().ViewChanged.Raise();
}

bool PViewport::DisplayLocked() const
{
    CheckAlive();
    return data_.locked;
}

void PViewport::SetDisplayLocked(bool b)
{
    CheckWritable();
    data_.locked = b;
}

acad::View& PViewport::View() { return *view_; }

const acad::View& PViewport::View() const { return *view_; }

void PViewport::SetData(const ViewportData& d)
{
    CheckAlive();
    data_ = d;
    SyncView();
    GeometryChanged();
}

void PViewport::TransformBy(const Transform& t)
{
    CheckAlive();
    data_.center = t.Apply(data_.center);
    data_.width *= t.ScaleFactor();
    data_.height *= t.ScaleFactor();
    GeometryChanged();
}

void PViewport::Emit(GeometrySink& sink, const Transform& t) const
{
    const double hw = data_.width / 2, hh = data_.height / 2;
    const Point3d& c = data_.center;
    std::vector<Point3d> frame{
        {c.x - hw, c.y - hh, c.z}, {c.x + hw, c.y - hh, c.z}, {c.x + hw, c.y + hh, c.z}, {c.x - hw, c.y + hh, c.z}};
    detail::EmitChain(sink, t, frame, true);
}

std::unique_ptr<Entity> PViewport::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, Data());
}

// ---------------------------------------------------------------- RawEntity

namespace {
bool ParseNumber(const std::string& s, double& v)
{
    const char* b = s.data();
    const char* e = s.data() + s.size();
    while (b < e && (*b == ' ' || *b == '\t')) ++b;
    while (e > b && (e[-1] == ' ' || e[-1] == '\t' || e[-1] == '\r')) --e;
    auto r = std::from_chars(b, e, v);
    return r.ec == std::errc() && r.ptr == e && std::isfinite(v);
}

// A count or an index a file gives as a number: held to what an int holds
// (a damaged file's 1e300 is no int).
int Whole(double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); }

std::string FormatNumber(double v)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// How Move, Rotate and Mirror carry a coordinate triple of a kept record.
enum class Role : std::uint8_t {
    Point,      // a place
    Direction,  // a vector: turned and scaled, not moved
    Unit,       // a direction kept of length 1
    Keep,       // not a place at all (a size in pixels, a scale)
};

// A coordinate triple: its x, y and z groups (z may be missing) and its role.
struct RawPoint {
    std::size_t x = SIZE_MAX, y = SIZE_MAX, z = SIZE_MAX;
    int code = 0;
    Role role = Role::Point;
};

// Where a group of a MULTILEADER lies: its context data, a leader of it, one
// of the leader's lines, or the properties after the context data.
enum class Section : std::uint8_t { Before, Context, Leader, LeaderLine, After };

Section Next(Section now, const RawGroup& g)
{
    if (g.code == 300 && g.value.rfind("CONTEXT_DATA{", 0) == 0) return Section::Context;
    if (g.code == 301) return Section::After;
    if (g.code == 302 && g.value.rfind("LEADER{", 0) == 0) return Section::Leader;
    if (g.code == 303) return Section::Context;
    if (g.code == 304 && now == Section::Leader && g.value.rfind("LEADER_LINE{", 0) == 0) return Section::LeaderLine;
    if (g.code == 305) return Section::Leader;
    return now;
}

bool IsMultiLeader(const std::string& kind) { return kind == "MULTILEADER" || kind == "MLEADER"; }

// What the triple whose x is `code` means in a record of `kind` (in `section`).
Role RoleOf(const std::string& kind, int code, Section section)
{
    if (kind == "IMAGE" || kind == "WIPEOUT") {
        if (code == 11 || code == 12) return Role::Direction;  // a pixel's width and height
        if (code == 13 || code == 14) return Role::Keep;       // the size in pixels, the clip in pixels
        return Role::Point;
    }
    if (kind == "ACAD_TABLE" || kind == "TOLERANCE" || kind == "SHAPE") return code == 11 ? Role::Unit : Role::Point;
    if (IsMultiLeader(kind)) {
        switch (section) {
        case Section::Context:
            if (code == 11 || code == 13 || code == 14 || code == 111 || code == 112) return Role::Unit;
            if (code == 16) return Role::Keep;
            return Role::Point;
        case Section::Leader: return code == 11 ? Role::Unit : Role::Point;
        case Section::LeaderLine: return Role::Point;
        default: return Role::Keep;  // the block's scale after the context data
        }
    }
    return Role::Point;
}

// The coordinate triples of a kept record, in order: x in 10..18 (and, for a
// multileader, 110..112), y ten and z twenty codes on.
std::vector<RawPoint> FindPoints(const std::string& kind, const std::vector<RawGroup>& g)
{
    std::vector<RawPoint> pts;
    std::map<int, std::size_t> open;  // x code → index into pts awaiting y/z
    const bool leader = IsMultiLeader(kind);
    Section section = Section::Before;
    auto isX = [&](int c) { return (c >= 10 && c <= 18) || (leader && c >= 110 && c <= 112); };
    for (std::size_t i = 0; i < g.size(); ++i) {
        const int c = g[i].code;
        if (leader) section = Next(section, g[i]);
        if (isX(c)) {
            open[c] = pts.size();
            pts.push_back({i, SIZE_MAX, SIZE_MAX, c, RoleOf(kind, c, section)});
        } else if (isX(c - 10)) {
            auto it = open.find(c - 10);
            if (it != open.end() && pts[it->second].y == SIZE_MAX) pts[it->second].y = i;
        } else if (isX(c - 20)) {
            auto it = open.find(c - 20);
            if (it != open.end() && pts[it->second].z == SIZE_MAX) pts[it->second].z = i;
        }
    }
    return pts;
}

bool ReadPoint(const std::vector<RawGroup>& g, const RawPoint& rp, Point3d& p)
{
    p = {};
    if (rp.y == SIZE_MAX || !ParseNumber(g[rp.x].value, p.x) || !ParseNumber(g[rp.y].value, p.y)) return false;
    if (rp.z != SIZE_MAX) ParseNumber(g[rp.z].value, p.z);
    return true;
}

// The groups of a kept record as the drawing reads them: the value of a
// code, the next triple of a code, and so on.
class GroupReading {
public:
    GroupReading(const std::string& kind, const std::vector<RawGroup>& g) : g_(g), points_(FindPoints(kind, g)) {}
    const std::vector<RawPoint>& Points() const { return points_; }
    // The first triple of `code` (nothing read: false).
    bool FirstPoint(int code, Point3d& p) const
    {
        for (const RawPoint& rp : points_)
            if (rp.code == code) return ReadPoint(g_, rp, p);
        return false;
    }
    // The value of the first group of `code`.
    const std::string* First(int code) const
    {
        for (const RawGroup& r : g_)
            if (r.code == code) return &r.value;
        return nullptr;
    }
    double Number(int code, double otherwise) const
    {
        double v = 0;
        const std::string* s = First(code);
        return s && ParseNumber(*s, v) ? v : otherwise;
    }

private:
    const std::vector<RawGroup>& g_;
    std::vector<RawPoint> points_;
};

// The triple at group `i` of the record, when the group starts one.
const RawPoint* PointAt(const std::vector<RawPoint>& pts, std::size_t i)
{
    auto it = std::lower_bound(pts.begin(), pts.end(), i, [](const RawPoint& p, std::size_t at) { return p.x < at; });
    return it != pts.end() && it->x == i ? &*it : nullptr;
}

// What a dimension or a leader takes from its dimension style (group 3) and
// from the overrides its own "ACAD" extended data lists after "DSTYLE": sizes
// already by the style's overall scale (DIMSCALE).
struct DimensionLook {
    double arrow = 0.18, text = 0.18, offset = 0.0625, beyond = 0.18, linear = 1;
    int decimals = 4;
    std::uint64_t textStyle = 0, leaderArrow = 0;
};

DimensionLook LookOf(const Entity& e, const std::string* styleName)
{
    DimensionLook look;
    double scale = 1;
    auto take = [&](int code, const std::string& value, bool handle) {
        double v = 0;
        std::uint64_t h = 0;
        if (handle) {
            if (!dxf::ParseHandle(value, h)) return;
            if (code == 340) look.textStyle = h;
            if (code == 341) look.leaderArrow = h;
            return;
        }
        if (!ParseNumber(value, v) || !std::isfinite(v)) return;
        switch (code) {
        case 40: scale = v > 0 ? v : 1; break;
        case 41: look.arrow = v; break;
        case 42: look.offset = v; break;
        case 44: look.beyond = v; break;
        case 140: look.text = v; break;
        case 144: look.linear = v != 0 ? v : 1; break;
        case 271: look.decimals = static_cast<int>(std::clamp(v, 0.0, 8.0)); break;
        default: break;
        }
    };
    const dxf::KeptFileParts* kept = e.Document().KeptFileParts();
    if (kept && styleName)
        for (const dxf::KeptDimStyle& s : kept->dimStyles) {
            if (!NamesEqual(s.name, *styleName)) continue;
            for (const RawGroup& g : s.groups) take(g.code, g.value, g.code == 340 || g.code == 341);
            break;
        }
    std::vector<int> codes;
    std::vector<Variant> values;
    e.GetXData("ACAD", codes, values);
    bool inside = false;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == 1000 && values[i].IsString() && values[i].AsString() == "DSTYLE") inside = true;
        if (!inside || codes[i] != 1070 || i + 1 >= codes.size()) continue;
        const int code = values[i].AsInt();
        const Variant& v = values[++i];
        if (codes[i] == 1005 && v.IsString())
            take(code, v.AsString(), true);
        else if (v.IsNumber())
            take(code, FormatNumber(v.AsDouble()), false);
    }
    look.arrow *= scale;
    look.text *= scale;
    look.offset *= scale;
    look.beyond *= scale;
    return look;
}

// A closed filled arrowhead, its tip at `tip`, pointing away from `from`.
std::vector<Point3d> Arrowhead(const Point3d& tip, const Point3d& from, double size)
{
    const double len = Distance2d(tip, from);
    if (!(size > 0) || !(len > 0)) return {};
    const Vector3d u = (from - tip) / len, n{-u.y, u.x, 0.0};
    return {tip, tip + u * size + n * (size / 6), tip + u * size - n * (size / 6)};
}
}  // namespace

RawEntity::RawEntity(acad::Document& doc, std::string dxfName, std::string objectName, std::vector<RawGroup> groups)
    : Entity(doc), dxfName_(std::move(dxfName)), objectName_(std::move(objectName)), groups_(std::move(groups))
{
    Shape();
}

RawEntity::~RawEntity() = default;

void RawEntity::SetGroups(std::vector<RawGroup> groups)
{
    CheckAlive();
    Changed([&] {
        groups_ = std::move(groups);
        Shape();
    });
    GeometryChanged();
}

template <class Change>
void RawEntity::Changed(Change change)
{
    if (!NamesBlock()) {
        change();  // nothing it draws can be refused
        return;
    }
    std::vector<RawGroup> groups = groups_;
    std::optional<BlockReferenceData> placed;
    if (block_) placed = block_->Data();
    try {
        change();
    } catch (const Error&) {
        groups_ = std::move(groups);
        if (placed && block_) block_->SetData(*placed);  // the same block, back in its place
        Shape(true);
        throw;
    }
}

bool RawEntity::NamesBlock() const
{
    // A leader draws the block its style names for its arrowhead.
    return objectName_ == "AcDbDimension" || dxfName_ == "ACAD_TABLE" || dxfName_ == "LEADER" ||
           IsMultiLeader(dxfName_);
}

void RawEntity::FindBlock()
{
    if (!NamesBlock()) return;
    Shape();
    GeometryChanged();
}

const Block* RawEntity::NamedBlock() const
{
    const Block* b = nullptr;
    if (!namedBy_.empty())
        b = Document().Blocks().Find(namedBy_);
    else if (namedHandle_)
        b = dynamic_cast<const Block*>(Document().FindByHandle(namedHandle_));
    return b && !b->IsLayout() ? b : nullptr;
}

void RawEntity::OnAdopted()
{
    if (block_) block_->Relist();
}

void RawEntity::OnErase()
{
    if (block_) block_->Unlist();
    Entity::OnErase();
}

void RawEntity::Shape(bool keepBlock)
{
    chains_.clear();
    rings_.clear();
    fills_.clear();
    mask_.clear();
    text_.reset();
    const GroupReading r(dxfName_, groups_);
    const std::string& kind = dxfName_;
    // The block it draws, where it draws it.
    const Block* drawn = nullptr;
    BlockReferenceData place;
    namedBy_.clear();
    namedHandle_ = 0;
    auto named = [&](int code) -> const Block* {
        const std::string* name = r.First(code);
        if (name) namedBy_ = *name;
        return name ? Document().Blocks().Find(*name) : nullptr;
    };
    if (objectName_ == "AcDbDimension") {
        // Its picture, at the origin or moved to the point clones of it are put at.
        drawn = named(2);
        r.FirstPoint(12, place.insertionPoint);
        if ((!drawn || drawn->Count() == 0) && (Whole(r.Number(70, 0)) & 7) == 0) ShapeLinearDimension();
    } else if (kind == "ACAD_TABLE") {
        drawn = named(2);
        r.FirstPoint(10, place.insertionPoint);
        Point3d dir;
        if (r.FirstPoint(11, dir) && dir.Length2d() > 0) place.rotation = NormalizeAngle(std::atan2(dir.y, dir.x));
    } else if (kind == "IMAGE" || kind == "WIPEOUT") {
        Point3d at, u, v, size;
        if (r.FirstPoint(10, at) && r.FirstPoint(11, u) && r.FirstPoint(12, v) && r.FirstPoint(13, size)) {
            // Its clip when it is on, in pixels from the top left corner of the
            // image (two corners of a rectangle, or a polygon); else its frame.
            std::vector<Point3d> pixels;
            const bool clipped = kind == "WIPEOUT" || r.Number(280, 0) != 0;
            if (clipped)
                for (const RawPoint& p : r.Points())
                    if (Point3d q; p.code == 14 && ReadPoint(groups_, p, q)) pixels.push_back(q);
            if (pixels.size() == 2)
                pixels = {pixels[0], {pixels[1].x, pixels[0].y}, pixels[1], {pixels[0].x, pixels[1].y}};
            if (pixels.size() < 3)
                pixels = {{-0.5, -0.5}, {size.x - 0.5, -0.5}, {size.x - 0.5, size.y - 0.5}, {-0.5, size.y - 0.5}};
            if (pixels.size() > 3 && pixels.front() == pixels.back()) pixels.pop_back();
            std::vector<Point3d> ring;
            for (const Point3d& p : pixels) ring.push_back(at + u * (p.x + 0.5) + v * (size.y - 0.5 - p.y));
            if (kind == "WIPEOUT")
                mask_ = std::move(ring);
            else
                rings_.push_back(std::move(ring));
        }
    } else if (kind == "MESH") {
        // Its vertices, then its faces: each a count and that many vertex indices.
        std::vector<Point3d> vertices;
        for (const RawPoint& p : r.Points())
            if (Point3d q; p.code == 10 && ReadPoint(groups_, p, q)) vertices.push_back(q);
        std::size_t i = 0;
        while (i < groups_.size() && groups_[i].code != 93) ++i;
        double size = 0;
        if (i < groups_.size() && ParseNumber(groups_[i].value, size)) {
            std::vector<std::size_t> list;
            for (++i; i < groups_.size() && groups_[i].code == 90 && list.size() < size; ++i) {
                double k = 0;
                if (!ParseNumber(groups_[i].value, k) || k < 0) break;
                list.push_back(static_cast<std::size_t>(Whole(k)));
            }
            for (std::size_t at = 0; at < list.size();) {
                const std::size_t n = list[at++];
                if (n > list.size() - at) break;
                std::vector<Point3d> face;
                for (std::size_t k = 0; k < n; ++k)
                    if (list[at + k] < vertices.size()) face.push_back(vertices[list[at + k]]);
                at += n;
                if (face.size() >= 2) rings_.push_back(std::move(face));
            }
        }
    } else if (kind == "POLYLINE") {
        ShapeMeshPolyline();
    } else if (kind == "LEADER") {
        std::vector<Point3d> vertices;
        for (const RawPoint& p : r.Points())
            if (Point3d q; p.code == 10 && ReadPoint(groups_, p, q)) vertices.push_back(q);
        ShapeLeader(vertices, drawn, place);
    } else if (IsMultiLeader(kind)) {
        ShapeMultiLeader(drawn, place);
    }
    if (keepBlock) return;
    if (drawn && !drawn->IsLayout() && drawn->Count() > 0) {
        place.block = Document().Blocks().IndexOf(*drawn);
        if (const Block* owner = OwnerBlock(); owner && (!block_ || block_->Data().block != place.block))
            owner->CheckMayDraw(*drawn);
        if (block_) {
            if (block_->Data().block != place.block || !(block_->Data().insertionPoint == place.insertionPoint) ||
                block_->Data().rotation != place.rotation || block_->Data().xScale != place.xScale ||
                block_->Data().yScale != place.yScale)
                block_->SetData(place);
        } else {
            block_ = BlockReference::HeldBy(*this, place);
            block_->Relist();
        }
    } else if (block_) {
        block_->Unlist();
        block_.reset();
    }
}

void RawEntity::ShapeLeader(const std::vector<Point3d>& vertices, const Block*& drawn, BlockReferenceData& place)
{
    if (vertices.size() < 2) return;
    const GroupReading r(dxfName_, groups_);
    const DimensionLook look = LookOf(*this, r.First(3));
    // Its arrowhead (group 71, on unless it says 0): the block its style names,
    // at its tip along its first segment, or a closed filled one.
    if (r.Number(71, 1) != 0 && look.arrow > 0) {
        const auto* head =
            look.leaderArrow ? dynamic_cast<const Block*>(Document().FindByHandle(look.leaderArrow)) : nullptr;
        if (head && !head->IsLayout() && head->Count() > 0) {
            drawn = head;
            place.insertionPoint = vertices[0];
            place.xScale = place.yScale = place.zScale = look.arrow;
            place.rotation = NormalizeAngle(std::atan2(vertices[0].y - vertices[1].y, vertices[0].x - vertices[1].x));
        } else if (auto tip = Arrowhead(vertices[0], vertices[1], look.arrow); !tip.empty()) {
            fills_.push_back(std::move(tip));
        }
    }
    // A spline path (group 72 = 1) runs through its vertices.
    if (Whole(r.Number(72, 0)) == 1 && vertices.size() >= 3)
        chains_.push_back(SampleSpline(Spline::Interpolate(vertices, {}, {})));
    else
        chains_.push_back(vertices);
}

void RawEntity::ShapeLinearDimension()
{
    const GroupReading r(dxfName_, groups_);
    Point3d e1, e2, on;
    if (!r.FirstPoint(13, e1) || !r.FirstPoint(14, e2) || !r.FirstPoint(10, on)) return;
    const double angle = r.Number(50, 0) * kPi / 180;
    if (!std::isfinite(angle)) return;
    const Vector3d u{std::cos(angle), std::sin(angle), 0}, n{-u.y, u.x, 0};
    const DimensionLook look = LookOf(*this, r.First(3));
    // The dimension line runs through its point (10) along its angle (50),
    // between the feet of the points measured.
    const Point3d d1 = e1 + n * Dot(on - e1, n), d2 = e2 + n * Dot(on - e2, n);
    for (const auto& [e, d] : {std::pair{e1, d1}, std::pair{e2, d2}}) {
        const double away = Dot(d - e, n);
        if (!(std::fabs(away) > look.offset)) continue;
        const double side = away < 0 ? -1 : 1;
        chains_.push_back({e + n * (side * look.offset), d + n * (side * look.beyond)});
    }
    chains_.push_back({d1, d2});
    if (Distance2d(d1, d2) > 2 * look.arrow) {
        if (auto head = Arrowhead(d1, d2, look.arrow); !head.empty()) fills_.push_back(std::move(head));
        if (auto head = Arrowhead(d2, d1, look.arrow); !head.empty()) fills_.push_back(std::move(head));
    }
    const std::string* override = r.First(1);
    const std::string text =
        MeasureText(std::fabs(Dot(e2 - e1, u)) * look.linear, look.decimals, override ? *override : std::string());
    if (text.empty() || !(look.text > 0)) return;
    MTextData d;
    d.text = text;
    // Its middle (11), or above the middle of its line.
    if (!r.FirstPoint(11, d.insertionPoint)) d.insertionPoint = (d1 + d2) * 0.5 + n * look.text;
    d.height = look.text;
    d.attachment = 5;
    double turn = r.First(53) ? r.Number(53, 0) * kPi / 180 : angle;
    turn = NormalizeAngle(turn);
    if (turn > kPi / 2 + 1e-9 && turn <= 3 * kPi / 2 + 1e-9) turn = NormalizeAngle(turn + kPi);  // kept readable
    d.rotation = turn;
    if (auto* st = dynamic_cast<TextStyle*>(Document().FindByHandle(look.textStyle))) d.style = st->Index();
    text_ = std::make_unique<MText>(Document(), d);
    text_->CopyCommonFrom(*this);
}

void RawEntity::ShapeMeshPolyline()
{
    // The header, then its VERTEX records (each from its (0, VERTEX) group).
    struct Vertex {
        Point3d at;
        int flags = 0;
        int index[4] = {0, 0, 0, 0};  // a face record's corners, from 1; below 0: the edge from it is hidden
    };
    std::vector<Vertex> vertices;
    double header[3] = {0, 0, 0};  // 70 flags, 71 and 72 counts
    for (const RawGroup& g : groups_) {
        if (g.code == 0) {
            if (g.value == "VERTEX")
                vertices.emplace_back();
            else
                break;
            continue;
        }
        double v = 0;
        if (!ParseNumber(g.value, v)) continue;
        if (vertices.empty()) {
            if (g.code >= 70 && g.code <= 72) header[g.code - 70] = v;
            continue;
        }
        Vertex& x = vertices.back();
        if (g.code == 10) x.at.x = v;
        if (g.code == 20) x.at.y = v;
        if (g.code == 30) x.at.z = v;
        if (g.code == 70) x.flags = Whole(v);
        if (g.code >= 71 && g.code <= 74) x.index[g.code - 71] = Whole(v);
    }
    const int flags = Whole(header[0]);
    std::vector<Point3d> points;
    for (const Vertex& v : vertices)
        if (!(v.flags & 128) || (v.flags & 64)) points.push_back(v.at);
    if (flags & 64) {
        // A polyface mesh: the visible edges of its faces.
        for (const Vertex& v : vertices) {
            if (!(v.flags & 128) || (v.flags & 64)) continue;
            int n = 0;
            while (n < 4 && v.index[n] != 0) ++n;
            for (int k = 0; k < n; ++k) {
                const int from = v.index[k], to = v.index[(k + 1) % n];
                const auto a = static_cast<std::size_t>(std::abs(from) - 1),
                           b = static_cast<std::size_t>(std::abs(to) - 1);
                if (from > 0 && a < points.size() && b < points.size() && a != b)
                    chains_.push_back({points[a], points[b]});
            }
        }
    } else if (flags & 16) {
        // A polygon mesh: its M × N vertices, row by row, each row and column a line.
        const auto m = static_cast<std::size_t>(std::max(0, Whole(header[1])));
        const auto n = static_cast<std::size_t>(std::max(0, Whole(header[2])));
        if (m == 0 || n == 0 || m * n > points.size()) return;
        for (std::size_t i = 0; i < m; ++i) {
            std::vector<Point3d> row(points.begin() + static_cast<std::ptrdiff_t>(i * n),
                                     points.begin() + static_cast<std::ptrdiff_t>((i + 1) * n));
            if (flags & 32)
                rings_.push_back(std::move(row));
            else
                chains_.push_back(std::move(row));
        }
        for (std::size_t j = 0; j < n; ++j) {
            std::vector<Point3d> column;
            for (std::size_t i = 0; i < m; ++i) column.push_back(points[i * n + j]);
            if (flags & 1)
                rings_.push_back(std::move(column));
            else
                chains_.push_back(std::move(column));
        }
    }
}

void RawEntity::ShapeMultiLeader(const Block*& drawn, BlockReferenceData& place)
{
    struct Leader {
        Point3d last;
        bool hasLast = false;
        Vector3d dogleg{1, 0, 0};
        double doglegLength = 0;
        std::vector<std::vector<Point3d>> lines;
    };
    std::vector<Leader> leaders;
    const std::vector<RawPoint> pts = FindPoints(dxfName_, groups_);
    double arrow = 0, height = 0, width = 0, spacing = 1, rotation = 0;
    int attachment = 1, leaderType = 1, content = -1;
    bool hasText = false, hasBlock = false, dogleg = true;
    std::string text;
    std::uint64_t style = 0, block = 0;
    Point3d textAt, textDirection{1, 0, 0}, blockAt, blockScale{1, 1, 1};
    Section section = Section::Before;
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        const RawGroup& g = groups_[i];
        const Section was = section;
        section = Next(section, g);
        if (section != was) {
            if (section == Section::Leader && was == Section::Context) leaders.emplace_back();
            if (section == Section::LeaderLine && !leaders.empty()) leaders.back().lines.emplace_back();
            continue;
        }
        const RawPoint* rp = PointAt(pts, i);
        Point3d q;
        const bool point = rp && ReadPoint(groups_, *rp, q);
        double v = 0;
        const bool number = ParseNumber(g.value, v);
        std::uint64_t h = 0;
        switch (section) {
        case Section::Context:
            if (g.code == 140 && number) arrow = v;
            if (g.code == 41 && number) height = v;
            if (g.code == 43 && number) width = v;
            if (g.code == 45 && number) spacing = v;
            if (g.code == 171 && number) attachment = Whole(v);
            if (g.code == 290 && number) hasText = v != 0;
            if (g.code == 296 && number) hasBlock = v != 0;
            if (g.code == 304) text = g.value;
            if (g.code == 340 && dxf::ParseHandle(g.value, h)) style = h;
            if (g.code == 341 && dxf::ParseHandle(g.value, h)) block = h;
            if (g.code == 46 && number) rotation = v;  // radians, as the file keeps it
            if (point && g.code == 12) textAt = q;
            if (point && g.code == 13) textDirection = q;
            if (point && g.code == 15) blockAt = q;
            if (point && g.code == 16) blockScale = q;
            break;
        case Section::Leader:
            if (leaders.empty()) break;
            if (point && g.code == 10) {
                leaders.back().last = q;
                leaders.back().hasLast = true;
            }
            if (point && g.code == 11) leaders.back().dogleg = q;
            if (g.code == 40 && number) leaders.back().doglegLength = v;
            break;
        case Section::LeaderLine:
            if (point && g.code == 10 && !leaders.empty() && !leaders.back().lines.empty())
                leaders.back().lines.back().push_back(q);
            break;
        case Section::After:
            if (g.code == 170 && number) leaderType = Whole(v);
            if (g.code == 291 && number) dogleg = v != 0;
            if (g.code == 172 && number) content = Whole(v);
            break;
        case Section::Before: break;
        }
    }
    for (const Leader& l : leaders) {
        if (leaderType == 0) break;  // leader lines not shown
        for (const auto& line : l.lines) {
            std::vector<Point3d> chain = line;
            if (l.hasLast) chain.push_back(l.last);
            if (chain.size() < 2) continue;
            if (auto head = Arrowhead(chain[0], chain[1], arrow); !head.empty()) fills_.push_back(std::move(head));
            chains_.push_back(std::move(chain));
        }
        if (dogleg && leaderType != 2 && l.hasLast && l.doglegLength > 0 && l.dogleg.Length2d() > 0)
            chains_.push_back({l.last, l.last + l.dogleg * (l.doglegLength / l.dogleg.Length())});
    }
    if ((content == 2 || (content < 0 && hasText)) && hasText && !text.empty() && height > 0) {
        MTextData d;
        d.text = text;
        d.insertionPoint = textAt;
        d.height = height;
        d.width = width > 0 ? width : 0.0;
        d.rotation = textDirection.Length2d() > 0 ? NormalizeAngle(std::atan2(textDirection.y, textDirection.x)) : 0.0;
        d.attachment = attachment >= 1 && attachment <= 9 ? attachment : 1;
        d.lineSpacing = spacing > 0 ? spacing : 1.0;
        if (auto* s = dynamic_cast<TextStyle*>(Document().FindByHandle(style))) d.style = s->Index();
        text_ = std::make_unique<MText>(Document(), d);
        text_->CopyCommonFrom(*this);
    }
    if ((content == 1 || (content < 0 && hasBlock)) && hasBlock) namedHandle_ = block;
    if ((content == 1 || (content < 0 && hasBlock)) && hasBlock)
        if (auto* b = dynamic_cast<const Block*>(Document().FindByHandle(block))) {
            drawn = b;
            place.insertionPoint = blockAt;
            place.xScale = blockScale.x != 0 ? blockScale.x : 1.0;
            place.yScale = blockScale.y != 0 ? blockScale.y : 1.0;
            place.zScale = blockScale.z != 0 ? blockScale.z : 1.0;
            place.rotation = NormalizeAngle(rotation);
        }
}

void RawEntity::SetBlock(std::uint32_t index)
{
    CheckAlive();
    const acad::Block* b = Document().Blocks().ByIndex(index);
    if (!b) return;
    Changed([&] {
        // Named where the kind names it: by name (group 2), or by handle (a multileader's 341).
        const bool byHandle = IsMultiLeader(dxfName_);
        Section section = Section::Before;
        for (RawGroup& g : groups_) {
            if (byHandle) section = Next(section, g);
            if (!byHandle && g.code == 2) {
                g.value = b->Name();
                break;
            }
            if (byHandle && section == Section::Context && g.code == 341) {
                g.value = b->Handle();
                break;
            }
        }
        Shape();
    });
    GeometryChanged();
}

void RawEntity::TransformBy(const Transform& t)
{
    CheckAlive();
    // A name read again may find a block it did not (one made since).
    Changed([&] { MoveBy(t); });
    GeometryChanged();
}

void RawEntity::MoveBy(const Transform& t)
{
    const Transform before = block_ ? block_->BlockTransform() : Transform();
    for (const auto& rp : FindPoints(dxfName_, groups_)) {
        if (rp.role == Role::Keep) continue;
        Point3d p;
        if (!ReadPoint(groups_, rp, p)) continue;
        if (rp.z != SIZE_MAX && !ParseNumber(groups_[rp.z].value, p.z)) continue;
        Point3d q = rp.role == Role::Point ? t.Apply(p) : t.ApplyVector(p);
        if (rp.role == Role::Unit)
            if (const double len = q.Length(); len > 0 && std::isfinite(len)) q = q / len;
        groups_[rp.x].value = FormatNumber(q.x);
        groups_[rp.y].value = FormatNumber(q.y);
        if (rp.z != SIZE_MAX) groups_[rp.z].value = FormatNumber(q.z);
    }
    if (block_ && IsMultiLeader(dxfName_)) {
        // Its block turns and scales as a reference does: its place (group 15) moved
        // above, its scales (16) and turn (46) follow.
        block_->TransformBy(t);
        const BlockReferenceData& d = block_->Data();
        Section section = Section::Before;
        for (RawGroup& g : groups_) {
            section = Next(section, g);
            if (section != Section::Context) continue;
            if (g.code == 16) g.value = FormatNumber(d.xScale);
            if (g.code == 26) g.value = FormatNumber(d.yScale);
            if (g.code == 36) g.value = FormatNumber(d.zScale);
            if (g.code == 46) g.value = FormatNumber(d.rotation);
        }
    } else if (block_ && dxfName_ != "LEADER") {
        // A picture or a table: its place is read again from the groups, its
        // content takes the rest of the move. (A leader's arrowhead is placed
        // from its vertices again.)
        Shape();
        if (block_)
            if (Block* copy = CarryPicture(*block_, t, before, block_->Data(), dxfName_ == "ACAD_TABLE" ? "*T" : "*D"))
                for (RawGroup& g : groups_)
                    if (g.code == 2) {
                        g.value = copy->Name();
                        break;
                    }
    }
    Shape();
}

void RawEntity::Emit(GeometrySink& sink, const Transform& t) const
{
    for (const auto& chain : chains_) detail::EmitChain(sink, t, chain, false);
    for (const auto& ring : rings_) detail::EmitChain(sink, t, ring, true);
    auto fill = [&](const std::vector<Point3d>& area) {
        std::vector<Point3d> ring;
        ring.reserve(area.size());
        for (const Point3d& p : area) ring.push_back(t.Apply(p));
        sink.Fill(ring);
    };
    for (const auto& area : fills_) fill(area);
    // What a wipeout hides is found where it lies, as an area.
    if (mask_.size() >= 3) fill(mask_);
    if (text_) text_->Emit(sink, t);
    if (block_) block_->Emit(sink, t);
}

std::unique_ptr<Entity> RawEntity::CloneTo(acad::Document& target) const
{
    auto c = detail::CloneWith(*this, target, dxfName_, objectName_, groups_);
    // The copy draws the same block; for another drawing, the caller maps its index (SetBlock).
    if (block_ && &target != &Document()) {
        if (c->block_) c->block_.reset();
        c->block_ = BlockReference::HeldBy(*c, block_->Data());
    }
    return c;
}

}  // namespace acad
