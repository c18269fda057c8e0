#include "platform/acad/TextEntities.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/EmitSupport.h"
#include "platform/acad/Error.h"
#include "platform/acad/MTextLayout.h"
#include "platform/acad/TextMetrics.h"

namespace acad {

namespace {
bool UsesAlignmentPoint(int a) { return a != Alignment::Left && a != Alignment::Aligned && a != Alignment::Fit; }
bool UsesBaseline(int a) { return a == Alignment::Aligned || a == Alignment::Fit; }
}  // namespace

// ---------------------------------------------------------------- TextBase

TextBase::TextBase(acad::Document& doc, const TextData& data) : Entity(doc), text_(data) {}

std::string TextBase::TextString() const
{
    CheckAlive();
    return text_.text;
}

void TextBase::SetTextString(const std::string& s)
{
    CheckWritable();
    text_.text = s;
    DeriveInsertionPoint();
    GeometryChanged();
}

Point3d TextBase::InsertionPoint() const
{
    CheckAlive();
    return text_.extrusion.ToWorld(text_.insertionPoint);
}

void TextBase::SetInsertionPoint(const Point3d& world)
{
    CheckWritable();
    detail::CheckFinite(world, "ponto de inserção do texto");
    const Point3d p = text_.extrusion.FromWorld(world);
    // The whole text moves: the alignment point goes along, so that a later
    // change of alignment starts from where the text is.
    Vector3d delta = p - text_.insertionPoint;
    text_.insertionPoint = p;
    text_.alignmentPoint += delta;
    GeometryChanged();
}

Point3d TextBase::TextAlignmentPoint() const
{
    CheckAlive();
    return text_.extrusion.ToWorld(text_.alignmentPoint);
}

void TextBase::SetTextAlignmentPoint(const Point3d& p)
{
    CheckWritable();
    detail::CheckFinite(p, "ponto de alinhamento do texto");
    text_.alignmentPoint = text_.extrusion.FromWorld(p);
    DeriveInsertionPoint();
    GeometryChanged();
}

int TextBase::Alignment() const
{
    CheckAlive();
    return text_.alignment;
}

void TextBase::SetAlignment(int alignment)
{
    CheckWritable();
    if (alignment < 0 || alignment > 14)
        ThrowInvalidInput("alinhamento " + std::to_string(alignment) + " (use 0 a 14)");
    const int old = text_.alignment;
    if (old == alignment) return;
    // Make the insertion point match what is drawn before switching, so a text
    // going back to Left stays where it was shown.
    if (UsesAlignmentPoint(old)) DeriveInsertionPoint();
    if (UsesBaseline(alignment) && !UsesBaseline(old)) {
        Point3d o;
        Vector3d x, y;
        double w, h;
        Frame(o, x, y, w, h, text_.text);
        text_.alignmentPoint = o + x * (w > 0 ? w : text_.height);
    }
    text_.alignment = alignment;
    // From Left the alignment point is kept and the insertion point is left as
    // the caller knows it until the next change (callers read it back and make
    // it the alignment point); between other alignments it follows at once.
    if (UsesAlignmentPoint(old) && UsesAlignmentPoint(alignment)) DeriveInsertionPoint();
    GeometryChanged();
}

double TextBase::Height() const
{
    CheckAlive();
    return text_.height;
}

void TextBase::SetHeight(double h)
{
    CheckWritable();
    if (!(h > 0) || !std::isfinite(h)) ThrowInvalidInput("altura do texto (deve ser maior que zero)");
    text_.height = h;
    DeriveInsertionPoint();
    GeometryChanged();
}

double TextBase::Rotation() const
{
    CheckAlive();
    return text_.rotation;
}

void TextBase::SetRotation(double r)
{
    CheckWritable();
    if (!std::isfinite(r)) ThrowInvalidInput("rotação do texto");
    text_.rotation = NormalizeAngle(r);
    DeriveInsertionPoint();
    GeometryChanged();
}

double TextBase::ScaleFactor() const
{
    CheckAlive();
    return text_.widthFactor;
}

void TextBase::SetScaleFactor(double f)
{
    CheckWritable();
    if (!(f > 0) || !std::isfinite(f)) ThrowInvalidInput("fator de largura do texto");
    text_.widthFactor = f;
    DeriveInsertionPoint();
    GeometryChanged();
}

double TextBase::ObliqueAngle() const
{
    CheckAlive();
    return text_.oblique;
}

void TextBase::SetObliqueAngle(double a)
{
    CheckWritable();
    if (!std::isfinite(a) || std::fabs(a) > 85.0 * kPi / 180.0) ThrowInvalidInput("ângulo oblíquo do texto");
    text_.oblique = a;
    GeometryChanged();
}

std::string TextBase::StyleName() const
{
    CheckAlive();
    const TextStyle* s = Document().TextStyles().ByIndex(text_.style);
    return s ? s->Name() : "Standard";
}

void TextBase::SetStyleName(const std::string& name)
{
    CheckWritable();
    TextStyle* s = Document().TextStyles().Find(name);
    if (!s) ThrowKeyNotFound("Estilo de texto \"" + name + "\"");
    text_.style = s->Index();
    DeriveInsertionPoint();
    GeometryChanged();
}

bool TextBase::Backward() const
{
    CheckAlive();
    return text_.backward;
}

void TextBase::SetBackward(bool b)
{
    CheckWritable();
    text_.backward = b;
    DeriveInsertionPoint();
    GeometryChanged();
}

bool TextBase::UpsideDown() const
{
    CheckAlive();
    return text_.upsideDown;
}

void TextBase::SetUpsideDown(bool b)
{
    CheckWritable();
    text_.upsideDown = b;
    DeriveInsertionPoint();
    GeometryChanged();
}

double TextBase::Thickness() const
{
    CheckAlive();
    return text_.thickness;
}

void TextBase::SetThickness(double t)
{
    CheckWritable();
    text_.thickness = t;
    GeometryChanged();
}

void TextBase::SetText(const TextData& d)
{
    CheckAlive();
    text_ = d;
    GeometryChanged();
}

void TextBase::Frame(Point3d& origin, Vector3d& xAxis, Vector3d& yAxis, double& width, double& height,
                     std::string_view s) const
{
    const TextStyle* style = Document().TextStyles().ByIndex(text_.style);
    double rotation = text_.rotation;
    double h = text_.height;
    double wf = text_.widthFactor;
    // As wide as the letters drawn in the style's face, in heights.
    TextMetrics::DrawnText drawn;
    if (TextMetrics::ReadCodes(s, drawn)) s = drawn.letters;
    const double letters = TextMetrics::Width(TextMetrics::FaceOf(style), s);
    if (UsesBaseline(text_.alignment)) {
        // Aligned and Fit stretch the text between the two points.
        double len = Distance2d(text_.insertionPoint, text_.alignmentPoint);
        if (len > 0) {
            rotation = AngleFromXAxis(text_.insertionPoint, text_.alignmentPoint);
            if (letters > 0) {
                if (text_.alignment == Alignment::Aligned && wf > 0)
                    h = len / (letters * wf);
                else if (h > 0)
                    wf = len / (letters * h);
            }
        }
    }
    Vector3d u{std::cos(rotation), std::sin(rotation), 0.0};
    Vector3d v{-u.y, u.x, 0.0};
    xAxis = text_.backward ? -u : u;
    yAxis = text_.upsideDown ? -v : v;
    height = h;
    width = letters * h * wf;
    if (UsesAlignmentPoint(text_.alignment)) {
        Point3d off = TextMetrics::AlignmentOffset(text_.alignment, width, h);
        origin = text_.alignmentPoint - xAxis * off.x - yAxis * off.y;
        origin.z = text_.alignmentPoint.z;
    } else {
        origin = text_.insertionPoint;
    }
}

void TextBase::DeriveInsertionPoint()
{
    if (!UsesAlignmentPoint(text_.alignment)) return;
    Point3d o;
    Vector3d x, y;
    double w, h;
    Frame(o, x, y, w, h, text_.text);
    text_.insertionPoint = o;
}

void TextBase::TextBoxCorners(Point3d corners[4]) const
{
    CheckAlive();
    Point3d o;
    Vector3d x, y;
    double w, h;
    Frame(o, x, y, w, h, text_.text);
    corners[0] = text_.extrusion.ToWorld(o);
    corners[1] = text_.extrusion.ToWorld(o + x * w);
    corners[2] = text_.extrusion.ToWorld(o + x * w + y * h);
    corners[3] = text_.extrusion.ToWorld(o + y * h);
}

void TextBase::Strokes(std::string_view s, const TextMetrics::DrawnText& drawn,
                       std::vector<std::pair<Point3d, Point3d>>& out) const
{
    out.clear();
    if (drawn.strokes.empty()) return;
    Point3d o;
    Vector3d x, y;
    double w, h;
    Frame(o, x, y, w, h, s);
    const TextMetrics::Face face = TextMetrics::FaceOf(Document().TextStyles().ByIndex(text_.style));
    const std::string_view letters = drawn.letters;
    const double all = TextMetrics::Width(face, letters);
    if (!(all > 0)) return;
    for (const TextMetrics::DrawnText::Stroke& k : drawn.strokes) {
        const double from = w * TextMetrics::Width(face, letters.substr(0, k.begin)) / all;
        const double to = from + w * TextMetrics::Width(face, letters.substr(k.begin, k.end - k.begin)) / all;
        const Point3d at = o + y * (h * (k.over ? TextMetrics::kOverline : TextMetrics::kUnderline));
        out.emplace_back(at + x * from, at + x * to);
    }
}

void TextBase::EmitText(GeometrySink& sink, const Transform& placed, std::string_view s) const
{
    // The letters drawn: the codes of the text read.
    TextMetrics::DrawnText drawn;
    const bool coded = TextMetrics::ReadCodes(s, drawn);
    const std::string_view letters = coded ? std::string_view(drawn.letters) : s;
    if (letters.empty()) return;  // an empty text draws nothing, as the host has it
    const Transform t = text_.extrusion.Through(placed);
    Point3d o;
    Vector3d x, y;
    double w, h;
    Frame(o, x, y, w, h, s);
    TextPrimitive p;
    p.text = letters;
    p.corners[0] = t.Apply(o);
    p.corners[1] = t.Apply(o + x * w);
    p.corners[2] = t.Apply(o + x * w + y * h);
    p.corners[3] = t.Apply(o + y * h);
    p.position = p.corners[0];
    Vector3d tu = t.ApplyVector(x);
    Vector3d tv = t.ApplyVector(y);
    const double up = tv.Length2d();
    p.rotation = NormalizeAngle(std::atan2(tu.y, tu.x));
    p.height = h * up;
    p.widthFactor = up > 0 ? text_.widthFactor * tu.Length2d() / up : text_.widthFactor;
    p.oblique = text_.oblique;
    // Reading direction and up direction as drawn: mirrored when the frame turned.
    p.backward = false;
    p.upsideDown = Cross2d(tu, tv) < 0;
    p.face = static_cast<int>(TextMetrics::FaceOf(Document().TextStyles().ByIndex(text_.style)));
    sink.Text(p);
    if (!coded || drawn.strokes.empty()) return;
    std::vector<std::pair<Point3d, Point3d>> strokes;
    Strokes(s, drawn, strokes);
    for (const auto& [a, b] : strokes) sink.Segment(t.Apply(a), t.Apply(b));
}

void TextBase::Emit(GeometrySink& sink, const Transform& t) const { EmitText(sink, t, text_.text); }

Box TextBase::TextExtents(std::string_view s) const
{
    Box b;
    TextMetrics::DrawnText drawn;
    const bool coded = TextMetrics::ReadCodes(s, drawn);
    if (coded ? drawn.letters.empty() : s.empty()) return b;
    Point3d o;
    Vector3d x, y;
    double w, h;
    Frame(o, x, y, w, h, s);
    std::vector<Point3d> points = {o, o + x * w, o + x * w + y * h, o + y * h};
    if (coded && !drawn.strokes.empty()) {
        std::vector<std::pair<Point3d, Point3d>> strokes;
        Strokes(s, drawn, strokes);
        for (const auto& [from, to] : strokes) points.insert(points.end(), {from, to});
    }
    for (const Point3d& p : points) {
        const Point3d c = text_.extrusion.ToWorld(p);
        // A text too large for its box to be a number (a height of 1e308 read
        // from a file) has no box: the drawing's extents are those of the rest.
        if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z)) return Box();
        b.Add(c);
    }
    return b;
}

Box TextBase::Extents() const { return TextExtents(text_.text); }

void TextBase::TransformBy(const Transform& world)
{
    CheckAlive();
    const Transform t = text_.extrusion.TransformBy(world);
    Vector3d u{std::cos(text_.rotation), std::sin(text_.rotation), 0.0};
    Vector3d v{-u.y, u.x, 0.0};
    Vector3d tu = t.ApplyVector(u), tv = t.ApplyVector(v);
    text_.insertionPoint = t.Apply(text_.insertionPoint);
    text_.alignmentPoint = t.Apply(text_.alignmentPoint);
    text_.rotation = NormalizeAngle(std::atan2(tu.y, tu.x));
    if (tv.Length2d() > 0) text_.height *= tv.Length2d();
    if (tu.Length2d() > 0 && tv.Length2d() > 0) text_.widthFactor *= tu.Length2d() / tv.Length2d();
    // A mirror turns the text over (the host's MIRRTEXT 1): drawn upside down along
    // the mirrored baseline, which reads as the mirror image.
    if (Cross2d(tu, tv) < 0) text_.upsideDown = !text_.upsideDown;
    DeriveInsertionPoint();
    GeometryChanged();
}

// ---------------------------------------------------------------- Text

Text::Text(acad::Document& doc, const TextData& data) : TextBase(doc, data) {}

std::unique_ptr<Entity> Text::CloneTo(acad::Document& target) const { return detail::CloneWith(*this, target, text_); }

// ---------------------------------------------------------------- attributes

AttributeBase::AttributeBase(acad::Document& doc, const TextData& text, const AttributeData& attr)
    : TextBase(doc, text), attr_(attr)
{
}

std::string AttributeBase::TagString() const
{
    CheckAlive();
    return attr_.tag;
}

void AttributeBase::SetTagString(const std::string& tag)
{
    CheckWritable();
    if (tag.empty() || tag.find(' ') != std::string::npos)
        ThrowInvalidInput("identificador de atributo \"" + tag + "\" (não pode ser vazio nem ter espaços)");
    attr_.tag = tag;
    Document().NoteChange();
}

int AttributeBase::Mode() const
{
    CheckAlive();
    return attr_.mode;
}

void AttributeBase::SetMode(int mode)
{
    CheckWritable();
    if (mode < 0 || mode > 15) ThrowInvalidInput("modo do atributo " + std::to_string(mode));
    attr_.mode = mode;
    GeometryChanged();
}

namespace {
void SetBit(int& mode, int bit, bool on)
{
    if (on)
        mode |= bit;
    else
        mode &= ~bit;
}
}  // namespace

bool AttributeBase::Invisible() const { return (Mode() & AttributeMode::Invisible) != 0; }
void AttributeBase::SetInvisible(bool b)
{
    CheckWritable();
    SetBit(attr_.mode, AttributeMode::Invisible, b);
    GeometryChanged();
}
bool AttributeBase::Constant() const { return (Mode() & AttributeMode::Constant) != 0; }
void AttributeBase::SetConstant(bool b)
{
    CheckWritable();
    SetBit(attr_.mode, AttributeMode::Constant, b);
    GeometryChanged();
}
bool AttributeBase::Verify() const { return (Mode() & AttributeMode::Verify) != 0; }
void AttributeBase::SetVerify(bool b)
{
    CheckWritable();
    SetBit(attr_.mode, AttributeMode::Verify, b);
}
bool AttributeBase::Preset() const { return (Mode() & AttributeMode::Preset) != 0; }
void AttributeBase::SetPreset(bool b)
{
    CheckWritable();
    SetBit(attr_.mode, AttributeMode::Preset, b);
}
bool AttributeBase::LockPosition() const
{
    CheckAlive();
    return attr_.lockPosition;
}
void AttributeBase::SetLockPosition(bool b)
{
    CheckWritable();
    attr_.lockPosition = b;
}

void AttributeBase::SetAttribute(const AttributeData& d)
{
    CheckAlive();
    attr_ = d;
    GeometryChanged();
}

void AttributeBase::Emit(GeometrySink& sink, const Transform& t) const
{
    if (attr_.mode & AttributeMode::Invisible) return;
    TextBase::Emit(sink, t);
}

Box AttributeBase::Extents() const
{
    if (attr_.mode & AttributeMode::Invisible) return Box();
    return TextBase::Extents();
}

AttributeDefinition::AttributeDefinition(acad::Document& doc, const TextData& text, const AttributeData& attr)
    : AttributeBase(doc, text, attr)
{
}

std::string AttributeDefinition::PromptString() const
{
    CheckAlive();
    return attr_.prompt;
}

void AttributeDefinition::SetPromptString(const std::string& s)
{
    CheckWritable();
    attr_.prompt = s;
}

std::unique_ptr<Entity> AttributeDefinition::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, text_, attr_);
}

void AttributeDefinition::Emit(GeometrySink& sink, const Transform& t) const
{
    // On its own (model space, a definition being edited) the definition shows its tag.
    EmitText(sink, t, attr_.tag);
}

Box AttributeDefinition::Extents() const { return TextExtents(attr_.tag); }

AttributeReference::AttributeReference(acad::Document& doc, const TextData& text, const AttributeData& attr)
    : AttributeBase(doc, text, attr)
{
}

std::unique_ptr<Entity> AttributeReference::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, text_, attr_);
}

BlockReference* AttributeReference::OwnerReference() const { return dynamic_cast<BlockReference*>(Owner()); }

// ---------------------------------------------------------------- MText

MText::MText(acad::Document& doc, const MTextData& data) : Entity(doc), data_(data) {}

std::string MText::TextString() const
{
    CheckAlive();
    return data_.text;
}

void MText::SetTextString(const std::string& s)
{
    CheckWritable();
    data_.text = s;
    GeometryChanged();
}

Point3d MText::InsertionPoint() const
{
    CheckAlive();
    return data_.insertionPoint;
}

void MText::SetInsertionPoint(const Point3d& p)
{
    CheckWritable();
    detail::CheckFinite(p, "ponto de inserção do texto");
    data_.insertionPoint = p;
    GeometryChanged();
}

double MText::Height() const
{
    CheckAlive();
    return data_.height;
}

void MText::SetHeight(double h)
{
    CheckWritable();
    if (!(h > 0) || !std::isfinite(h)) ThrowInvalidInput("altura do texto (deve ser maior que zero)");
    data_.height = h;
    GeometryChanged();
}

double MText::Width() const
{
    CheckAlive();
    return data_.width;
}

void MText::SetWidth(double w)
{
    CheckWritable();
    if (!(w >= 0) || !std::isfinite(w)) ThrowInvalidInput("largura do texto");
    data_.width = w;
    GeometryChanged();
}

double MText::Rotation() const
{
    CheckAlive();
    return data_.rotation;
}

void MText::SetRotation(double r)
{
    CheckWritable();
    if (!std::isfinite(r)) ThrowInvalidInput("rotação do texto");
    data_.rotation = NormalizeAngle(r);
    GeometryChanged();
}

int MText::AttachmentPoint() const
{
    CheckAlive();
    return data_.attachment;
}

void MText::SetAttachmentPoint(int a)
{
    CheckWritable();
    if (a < 1 || a > 9) ThrowInvalidInput("ponto de fixação " + std::to_string(a) + " (use 1 a 9)");
    data_.attachment = a;
    GeometryChanged();
}

std::string MText::StyleName() const
{
    CheckAlive();
    const TextStyle* s = Document().TextStyles().ByIndex(data_.style);
    return s ? s->Name() : "Standard";
}

void MText::SetStyleName(const std::string& name)
{
    CheckWritable();
    TextStyle* s = Document().TextStyles().Find(name);
    if (!s) ThrowKeyNotFound("Estilo de texto \"" + name + "\"");
    data_.style = s->Index();
    GeometryChanged();
}

void MText::SetData(const MTextData& d)
{
    CheckAlive();
    data_ = d;
    GeometryChanged();
}

void MText::TransformBy(const Transform& world)
{
    CheckAlive();
    // Its insertion point is the world's; its directions are its plane's.
    data_.insertionPoint = world.Apply(data_.insertionPoint);
    const Transform t = data_.extrusion.TransformBy(world);
    Vector3d u{std::cos(data_.rotation), std::sin(data_.rotation), 0.0};
    Vector3d v{-u.y, u.x, 0.0};
    Vector3d tu = t.ApplyVector(u), tv = t.ApplyVector(v);
    data_.rotation = NormalizeAngle(std::atan2(tu.y, tu.x));
    const double across = tu.Length2d(), up = tv.Length2d();
    if (up > 0) {
        data_.height *= up;
        data_.definedHeight *= up;
        data_.columns.height *= up;
        for (double& h : data_.columns.heights) h *= up;
    }
    if (across > 0) {
        data_.width *= across;
        data_.columns.width *= across;
        data_.columns.gutter *= across;
    }
    GeometryChanged();
}

MTextLayout MText::Layout() const
{
    return LayOutMText(data_, TextMetrics::FaceOf(Document().TextStyles().ByIndex(data_.style)));
}

bool MText::HasBackgroundFill() const
{
    return (data_.background & (MTextBackground::Color | MTextBackground::Window)) != 0;
}

namespace {
// Where the layout's coordinates lie: x along the reading direction, y up,
// from the insertion point.
struct MTextAxes {
    Point3d origin;
    Vector3d u, v;
    Point3d At(double x, double y) const { return origin + u * x + v * y; }
};
MTextAxes AxesOf(const MTextData& d)
{
    // The reading direction lies in the plane of its extrusion; the insertion
    // point is held in the world's coordinates.
    const Vector3d u{std::cos(d.rotation), std::sin(d.rotation), 0.0};
    const Vector3d v{-u.y, u.x, 0.0};
    if (d.extrusion.IsZAxis()) return {d.insertionPoint, u, v};
    const Transform ocs = d.extrusion.Ocs();
    return {d.insertionPoint, ocs.ApplyVector(u), ocs.ApplyVector(v)};
}

// The rectangle of a column as the background and the frame take it: past
// the text's box by (scale - 1) heights.
std::array<Point3d, 4> FrameCorners(const MTextData& d, const MTextRect& r, const Transform& t)
{
    const double scale = std::isfinite(d.backgroundScale) ? d.backgroundScale : 1.5;
    const double m = std::max(0.0, d.height * (scale - 1));
    const MTextAxes a = AxesOf(d);
    return {t.Apply(a.At(r.left - m, r.bottom - m)), t.Apply(a.At(r.right + m, r.bottom - m)),
            t.Apply(a.At(r.right + m, r.top + m)), t.Apply(a.At(r.left - m, r.top + m))};
}
}  // namespace

void MText::EmitBackground(GeometrySink& sink, const Transform& t, const MTextLayout& layout) const
{
    if (!HasBackgroundFill()) return;
    for (const MTextRect& r : layout.columns) {
        const auto c = FrameCorners(data_, r, t);
        if (c[0].IsFinite() && c[2].IsFinite()) sink.Fill(std::vector<Point3d>(c.begin(), c.end()));
    }
}

void MText::EmitContent(GeometrySink& sink, const Transform& t, const MTextLayout& layout) const
{
    const MTextAxes a = AxesOf(data_);
    const Vector3d tu = t.ApplyVector(a.u), tv = t.ApplyVector(a.v);
    const double across = tu.Length2d(), up = tv.Length2d();
    TextPrimitive p;
    p.rotation = NormalizeAngle(std::atan2(tu.y, tu.x));
    p.upsideDown = Cross2d(tu, tv) < 0;
    for (const MTextRun& r : layout.runs) {
        if (r.begin == r.end) continue;
        p.text = std::string_view(layout.letters).substr(r.begin, r.end - r.begin);
        p.corners[0] = t.Apply(a.At(r.x, r.y));
        p.corners[1] = t.Apply(a.At(r.x + r.width, r.y));
        p.corners[2] = t.Apply(a.At(r.x + r.width, r.y + r.height));
        p.corners[3] = t.Apply(a.At(r.x, r.y + r.height));
        // A line too large for its box to be a number (a height of 1e308 read
        // from a file) is not drawn, as a single-line text of that size is not.
        if (!p.corners[0].IsFinite() || !p.corners[2].IsFinite()) continue;
        p.position = p.corners[0];
        p.height = r.height * up;
        p.widthFactor = up > 0 ? r.widthFactor * across / up : r.widthFactor;
        p.oblique = r.oblique;
        p.face = static_cast<int>(r.face);
        p.color = r.color;
        sink.Text(p);
        // Under- and overlines as long as the letters, a fifth of their height off them.
        if (r.underline) {
            const double y = r.y + r.height * TextMetrics::kUnderline;
            sink.Segment(t.Apply(a.At(r.x, y)), t.Apply(a.At(r.x + r.width, y)));
        }
        if (r.overline) {
            const double y = r.y + r.height * TextMetrics::kOverline;
            sink.Segment(t.Apply(a.At(r.x, y)), t.Apply(a.At(r.x + r.width, y)));
        }
    }
    if (data_.background & MTextBackground::Frame) {
        for (const MTextRect& r : layout.columns) {
            const auto c = FrameCorners(data_, r, t);
            if (!c[0].IsFinite() || !c[2].IsFinite()) continue;
            for (std::size_t k = 0; k < 4; ++k) sink.Segment(c[k], c[(k + 1) % 4]);
        }
    }
}

void MText::EmitBackground(GeometrySink& sink, const Transform& t) const
{
    if (HasBackgroundFill()) EmitBackground(sink, t, Layout());
}

void MText::EmitContent(GeometrySink& sink, const Transform& t) const { EmitContent(sink, t, Layout()); }

void MText::Emit(GeometrySink& sink, const Transform& t) const
{
    const MTextLayout layout = Layout();
    EmitBackground(sink, t, layout);
    EmitContent(sink, t, layout);
}

std::unique_ptr<Entity> MText::CloneTo(acad::Document& target) const { return detail::CloneWith(*this, target, data_); }

bool detail::EmitAsPart(const Entity& e, GeometrySink& sink, const Transform& t)
{
    if (const auto* ad = dynamic_cast<const AttributeDefinition*>(&e)) {
        if (!ad->Constant() || ad->Invisible()) return false;
        ad->TextBase::Emit(sink, t);
        return true;
    }
    e.Emit(sink, t);
    return true;
}

}  // namespace acad
