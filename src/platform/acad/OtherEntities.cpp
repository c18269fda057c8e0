#include "platform/acad/OtherEntities.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>

#include "platform/acad/Document.h"
#include "platform/acad/EmitSupport.h"
#include "platform/acad/Error.h"
#include "platform/acad/TextMetrics.h"
#include "platform/acad/View.h"

namespace acad {

namespace {
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
    GeometryChanged();
}

std::string DimAligned::DisplayedText() const
{
    CheckAlive();
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", std::clamp(data_.decimals, 0, 8),
                  Distance2d(data_.extLine1Point, data_.extLine2Point));
    std::string measured = buf;
    if (data_.textOverride.empty()) return measured;
    if (data_.textOverride == " ") return "";  // a single blank hides the text
    std::string s = data_.textOverride;
    for (std::size_t at = s.find("<>"); at != std::string::npos; at = s.find("<>", at + measured.size()))
        s.replace(at, 2, measured);
    return s;
}

void DimAligned::SetData(const DimAlignedData& d)
{
    CheckAlive();
    data_ = d;
    GeometryChanged();
}

void DimAligned::TransformBy(const Transform& t)
{
    CheckAlive();
    data_.extLine1Point = t.Apply(data_.extLine1Point);
    data_.extLine2Point = t.Apply(data_.extLine2Point);
    data_.dimLinePoint = t.Apply(data_.dimLinePoint);
    data_.textPosition = t.Apply(data_.textPosition);
    if (data_.textRotation != 0) data_.textRotation = NormalizeAngle(data_.textRotation + t.RotationAngle());
    GeometryChanged();
}

void DimAligned::Emit(GeometrySink& sink, const Transform& t) const
{
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
    const std::string text = DisplayedText();
    if (text.empty()) return;
    double rot = data_.textRotation != 0 ? data_.textRotation : AngleFromXAxis(e1, e2);
    if (rot > kPi / 2 + 1e-9 && rot <= 3 * kPi / 2 + 1e-9) rot = NormalizeAngle(rot + kPi);  // keep it readable
    const double h = data_.textHeight;
    const double w = TextMetrics::TextWidth(text, h, 1.0, Document().TextStyles().ByIndex(data_.style));
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
}

std::unique_ptr<Entity> DimAligned::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, data_);
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

RawEntity::RawEntity(acad::Document& doc, std::string dxfName, std::string objectName, std::vector<RawGroup> groups)
    : Entity(doc), dxfName_(std::move(dxfName)), objectName_(std::move(objectName)), groups_(std::move(groups))
{
}

void RawEntity::SetGroups(std::vector<RawGroup> groups)
{
    CheckAlive();
    groups_ = std::move(groups);
    GeometryChanged();
}

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

std::string FormatNumber(double v)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// Points held in groups 10..18 (x), 20..28 (y), 30..38 (z), in the order their x appears.
struct RawPoint {
    std::size_t x = SIZE_MAX, y = SIZE_MAX, z = SIZE_MAX;
};

std::vector<RawPoint> FindPoints(const std::vector<RawGroup>& g)
{
    std::vector<RawPoint> pts;
    std::map<int, std::size_t> open;  // code 10..18 → index into pts awaiting y/z
    for (std::size_t i = 0; i < g.size(); ++i) {
        int c = g[i].code;
        if (c >= 10 && c <= 18) {
            open[c] = pts.size();
            pts.push_back({i, SIZE_MAX, SIZE_MAX});
        } else if (c >= 20 && c <= 28) {
            auto it = open.find(c - 10);
            if (it != open.end() && pts[it->second].y == SIZE_MAX) pts[it->second].y = i;
        } else if (c >= 30 && c <= 38) {
            auto it = open.find(c - 20);
            if (it != open.end() && pts[it->second].z == SIZE_MAX) pts[it->second].z = i;
        }
    }
    return pts;
}
}  // namespace

void RawEntity::TransformBy(const Transform& t)
{
    CheckAlive();
    for (const auto& rp : FindPoints(groups_)) {
        if (rp.y == SIZE_MAX) continue;
        Point3d p;
        if (!ParseNumber(groups_[rp.x].value, p.x) || !ParseNumber(groups_[rp.y].value, p.y)) continue;
        if (rp.z != SIZE_MAX && !ParseNumber(groups_[rp.z].value, p.z)) continue;
        Point3d q = t.Apply(p);
        groups_[rp.x].value = FormatNumber(q.x);
        groups_[rp.y].value = FormatNumber(q.y);
        if (rp.z != SIZE_MAX) groups_[rp.z].value = FormatNumber(q.z);
    }
    GeometryChanged();
}

void RawEntity::Emit(GeometrySink& sink, const Transform& t) const
{
    std::vector<Point3d> pts;
    for (const auto& rp : FindPoints(groups_)) {
        Point3d p;
        if (rp.y == SIZE_MAX || !ParseNumber(groups_[rp.x].value, p.x) || !ParseNumber(groups_[rp.y].value, p.y))
            continue;
        if (rp.z != SIZE_MAX) ParseNumber(groups_[rp.z].value, p.z);
        pts.push_back(p);
    }
    if (!pts.empty()) detail::EmitChain(sink, t, pts, false);
}

std::unique_ptr<Entity> RawEntity::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, dxfName_, objectName_, groups_);
}

}  // namespace acad
