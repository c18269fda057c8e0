#include "platform/acad/ui/SceneRenderer.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <typeinfo>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Document.h"
#include "platform/acad/DrawPlan.h"
#include "platform/acad/EmitSupport.h"
#include "platform/acad/Hatch.h"
#include "platform/acad/KeptDefinition.h"
#include "platform/acad/Layout.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/Spline.h"
#include "platform/acad/SystemVariables.h"
#include "platform/acad/Tables.h"
#include "platform/acad/TextEntities.h"
#include "platform/acad/TextMetrics.h"
#include "platform/acad/ui/AciPalette.h"

namespace acad::ui {

namespace {

// Definitions with more entities than this are culled part by part against the view.
constexpr int kCullDefinitionsAbove = 32;
// Chords of arcs a frame draws at their finest.
constexpr double kChordsPerFrame = 2e6;
// Pixels of solid lines past which a frame steps its lines itself into the
// image (about five screens inked over).
constexpr double kSteppedLinePixels = 8e6;

// Cuts the segment to the rectangle (Liang–Barsky); false when nothing is left.
// Far-away coordinates of a deep zoom never reach the raster engine this way.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& r)
{
    double t0 = 0, t1 = 1;
    if (!ClipSpan(a.x(), a.y(), b.x(), b.y(), r.left(), r.top(), r.right(), r.bottom(), t0, t1)) return false;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const QPointF a0 = a;
    if (t1 < 1.0) b = QPointF(a0.x() + t1 * dx, a0.y() + t1 * dy);
    if (t0 > 0.0) a = QPointF(a0.x() + t0 * dx, a0.y() + t0 * dy);
    return true;
}

// Whether `p` lies within side `side` (0 left, 1 right, 2 top, 3 bottom) of
// `r`, and where the edge from `p` to `q` crosses that side: one pass of
// Sutherland–Hodgman's cut.
bool InsideSide(const QPointF& p, const QRectF& r, int side)
{
    switch (side) {
    case 0: return p.x() >= r.left();
    case 1: return p.x() <= r.right();
    case 2: return p.y() >= r.top();
    default: return p.y() <= r.bottom();
    }
}

QPointF CrossSide(const QPointF& p, const QPointF& q, const QRectF& r, int side)
{
    const double border = side == 0 ? r.left() : side == 1 ? r.right() : side == 2 ? r.top() : r.bottom();
    const double t = side < 2 ? (border - p.x()) / (q.x() - p.x()) : (border - p.y()) / (q.y() - p.y());
    return side < 2 ? QPointF(border, p.y() + t * (q.y() - p.y())) : QPointF(p.x() + t * (q.x() - p.x()), border);
}

// Cuts the convex polygon `in` (n points) to the rectangle (Sutherland–Hodgman)
// into `out`; the number of points left (0: nothing).
int ClipConvex(const QPointF* in, int n, const QRectF& r, QPointF* out)
{
    // Two buffers of the most a polygon of n points can become: n + 4.
    QPointF a[16], b[16];
    if (n > 12) return 0;
    std::copy(in, in + n, a);
    QPointF* src = a;
    QPointF* dst = b;
    int count = n;
    for (int side = 0; side < 4 && count > 0; ++side) {
        int m = 0;
        for (int i = 0; i < count; ++i) {
            const QPointF& p = src[i];
            const QPointF& q = src[(i + 1) % count];
            const bool pin = InsideSide(p, r, side), qin = InsideSide(q, r, side);
            if (pin) dst[m++] = p;
            if (pin != qin) dst[m++] = CrossSide(p, q, r, side);
        }
        std::swap(src, dst);
        count = m;
    }
    std::copy(src, src + count, out);
    return count;
}

// The plan's box `world` in the coordinates `t` takes to the world: the box of
// its corners taken back. Empty (nothing to cull by) when `t` cannot be
// undone, or when it tilts a plane (the world's X and Y then depend on z too,
// and a plan's box holds no box there).
Box InPlan(const Box& world, const Transform& t)
{
    Box local;
    if (t.m[0][2] != 0 || t.m[1][2] != 0) return local;
    if (const auto inv = t.Inverse())
        for (const Point3d& c :
             {world.min, world.max, Point3d(world.min.x, world.max.y), Point3d(world.max.x, world.min.y)})
            local.Add(inv->Apply(c));
    return local;
}

// A text face as a screen font: the face, and the cap height per pixel of font size.
struct FontFace {
    QFont font;
    double capRatio = 0.7;
};

// The screen font of a face, loaded on first use from the very file its widths
// were measured from (TextMetrics.h): drawn unkerned and unhinted, its letters
// fill the text's box as they are, and no face of the machine's own stands in.
const FontFace& ScreenFace(TextMetrics::Face f)
{
    static std::array<std::optional<FontFace>, TextMetrics::kFaceCount> faces;
    std::optional<FontFace>& slot = faces[static_cast<std::size_t>(f)];
    if (slot) return *slot;
    FontFace face;
    const int id = QFontDatabase::addApplicationFont(QString::fromStdString(TextMetrics::FaceFile(f)));
    const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    using F = TextMetrics::Face;
    const bool serif = f >= F::Serif && f <= F::SerifBoldItalic, mono = f >= F::Mono && f <= F::MonoBoldItalic;
    if (!families.isEmpty()) {
        face.font = QFont(families.first());
    } else {
        // The file is gone: the family by name, wherever the machine has it.
        face.font = QFont(f == F::Shape        ? QStringLiteral("DejaVu Sans")
                          : serif              ? QStringLiteral("Liberation Serif")
                          : mono               ? QStringLiteral("Liberation Mono")
                          : f >= F::SansNarrow ? QStringLiteral("Liberation Sans Narrow")
                                               : QStringLiteral("Liberation Sans"));
    }
    face.font.setStyleHint(serif ? QFont::Serif : mono ? QFont::Monospace : QFont::SansSerif);
    face.font.setBold(TextMetrics::IsBold(f));
    face.font.setItalic(TextMetrics::IsItalic(f));
    face.font.setKerning(false);
    face.font.setHintingPreference(QFont::PreferNoHinting);
    QFont probe = face.font;
    probe.setPixelSize(100);
    const double cap = QFontMetricsF(probe).capHeight();
    face.capRatio = cap > 0 ? cap / 100.0 : 0.7;
    slot = face;
    return *slot;
}

// The raster engine keeps the images of letters smaller than this (the font's
// pixel size by the scale of its transform); larger ones it fills from their
// outlines at every drawing.
constexpr double kKeptGlyphPx = 64;
// Images of large texts kept across frames: how many, and their bytes in all.
constexpr std::size_t kTextImages = 256;
constexpr qsizetype kTextImageBytes = qsizetype(16) << 20;

// A large text costs the raster engine a fill of its outlines each time it is
// drawn, about a tenth of a millisecond a letter, and texts stacked on one
// another pay it for each. Such a text, once it is drawn a second time the
// same way, is drawn into an image at its size, turn, colour and fraction of a
// pixel, and the image is copied wherever the text lands the same way again:
// pixel for pixel what drawing it would give. Making the image costs about half
// a drawing more, which a text drawn once (a view panned or zoomed) never pays.
class TextImages {
public:
    // Draws `text` from its image under `toDevice` (the font's pixels to the
    // device's), made now if not kept; `rest` is what the device adds past the
    // painter's world transform, which is left changed. False when the text's
    // image would be too large to keep: the caller draws it itself.
    bool Draw(QPainter& p, const QTransform& rest, const QString& text, const QFont& font, const QFontMetricsF& fm,
              QRgb rgb, const QTransform& toDevice);
    // Images not drawn since the last call give way first to new ones.
    void EndFlush() { ++flush_; }

private:
    struct Key {
        QString text, font;
        QRgb rgb;
        double m11, m12, m21, m22;
        double fx, fy;  // the origin's fraction of a pixel
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const
        {
            return qHashMulti(0, k.text, k.font, k.rgb, k.m11, k.m12, k.m21, k.m22, k.fx, k.fy);
        }
    };
    struct Image {
        QImage image;
        QPoint at;  // of its top left from the origin's whole pixel
        std::uint64_t used;
    };
    std::unordered_map<Key, Image, KeyHash> images_;
    std::unordered_set<Key, KeyHash> seenOnce_;
    qsizetype bytes_ = 0;
    std::uint64_t flush_ = 0;
};

bool TextImages::Draw(QPainter& p, const QTransform& rest, const QString& text, const QFont& font,
                      const QFontMetricsF& fm, QRgb rgb, const QTransform& toDevice)
{
    const double ox = std::floor(toDevice.dx()), oy = std::floor(toDevice.dy());
    if (!std::isfinite(ox) || !std::isfinite(oy)) return false;
    const double fx = toDevice.dx() - ox, fy = toDevice.dy() - oy;
    Key key{text, font.key(), rgb, toDevice.m11(), toDevice.m12(), toDevice.m21(), toDevice.m22(), fx, fy};
    auto it = images_.find(key);
    if (it == images_.end()) {
        if (seenOnce_.size() >= 4 * kTextImages) seenOnce_.clear();
        if (seenOnce_.insert(key).second) return false;
        seenOnce_.erase(key);
        const QTransform local(key.m11, key.m12, key.m21, key.m22, key.fx, key.fy);
        // Measured before it becomes whole pixels: a box past what an int holds is no image to keep.
        const QRectF exact = local.mapRect(fm.boundingRect(text)).adjusted(-2, -2, 2, 2);
        if (!(exact.width() * exact.height() * 4 <= static_cast<double>(kTextImageBytes / 4))) return false;
        const QRect box = exact.toAlignedRect();
        const qsizetype bytes = qsizetype(box.width()) * box.height() * 4;
        if (box.isEmpty() || bytes > kTextImageBytes / 4) return false;
        if (images_.size() >= kTextImages || bytes_ + bytes > kTextImageBytes) {
            for (auto old = images_.begin(); old != images_.end();) {
                if (old->second.used == flush_) {
                    ++old;
                    continue;
                }
                bytes_ -= old->second.image.sizeInBytes();
                old = images_.erase(old);
            }
            if (images_.size() >= kTextImages || bytes_ + bytes > kTextImageBytes) return false;
        }
        QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter q(&image);
        q.setRenderHints(p.renderHints());
        q.setTransform(local * QTransform::fromTranslate(-box.left(), -box.top()));
        q.setFont(font);
        q.setPen(QColor(rgb));
        q.drawText(QPointF(0, 0), text);
        q.end();
        bytes_ += image.sizeInBytes();
        it = images_.emplace(std::move(key), Image{std::move(image), box.topLeft(), flush_}).first;
    }
    Image& kept = it->second;
    kept.used = flush_;
    // Copied pixel for pixel: nothing of the painter's transform is left but the shift.
    p.setWorldTransform(QTransform::fromTranslate(ox + kept.at.x(), oy + kept.at.y()) * rest.inverted());
    p.drawImage(QPointF(0, 0), kept.image);
    return true;
}

// The font size, in pixels, letters' outlines are taken at: unhinted, they
// scale to any size.
constexpr int kOutlineEmPx = 256;
// How far a flattened curve of a letter's outline may stray from it, in pixels.
constexpr double kOutlineTolerancePx = 0.25;
// Pixels of a text's box past the view beyond which its letters are cut to
// those in view before they are drawn: the raster engine places letters in
// fixed point, which wraps a few tens of millions of pixels out.
constexpr double kFarTextPx = 32768;

// Whether the rectangle `r` and the box of the points meet, borders included.
inline bool MeetsBox(const QRectF& r, double x0, double y0, double x1, double y1)
{
    return x1 >= r.left() && x0 <= r.right() && y1 >= r.top() && y0 <= r.bottom();
}

// The polygon cut to the rectangle (Sutherland–Hodgman): inside it, it fills
// what the polygon fills, whatever its shape, with no point far out.
QPolygonF ClipPolygon(const QPolygonF& in, const QRectF& r)
{
    QPolygonF src = in, dst;
    for (int side = 0; side < 4 && src.size() > 0; ++side) {
        dst.clear();
        for (qsizetype i = 0; i < src.size(); ++i) {
            const QPointF& p = src[i];
            const QPointF& q = src[(i + 1) % src.size()];
            const bool pin = InsideSide(p, r, side), qin = InsideSide(q, r, side);
            if (pin) dst.append(p);
            if (pin != qin) dst.append(CrossSide(p, q, r, side));
        }
        std::swap(src, dst);
    }
    return src;
}

// The cubic from `a` to `d` as chords to within kOutlineTolerancePx, each
// chord's end appended: finely only where it may reach `keep`; a part whose
// control points all lie out of it is one chord, which lies out of it too.
void FlattenCubic(const QPointF& a, const QPointF& b, const QPointF& c, const QPointF& d, const QRectF& keep, int depth,
                  QPolygonF& out)
{
    const double ux = 3 * b.x() - 2 * a.x() - d.x(), uy = 3 * b.y() - 2 * a.y() - d.y();
    const double vx = 3 * c.x() - a.x() - 2 * d.x(), vy = 3 * c.y() - a.y() - 2 * d.y();
    const bool flat =
        std::max(ux * ux, vx * vx) + std::max(uy * uy, vy * vy) <= 16 * kOutlineTolerancePx * kOutlineTolerancePx;
    if (flat || depth >= 48 ||
        !MeetsBox(keep, std::min({a.x(), b.x(), c.x(), d.x()}), std::min({a.y(), b.y(), c.y(), d.y()}),
                  std::max({a.x(), b.x(), c.x(), d.x()}), std::max({a.y(), b.y(), c.y(), d.y()}))) {
        out.append(d);
        return;
    }
    const QPointF ab = (a + b) / 2, bc = (b + c) / 2, cd = (c + d) / 2, abc = (ab + bc) / 2, bcd = (bc + cd) / 2,
                  mid = (abc + bcd) / 2;
    FlattenCubic(a, ab, abc, mid, keep, depth + 1, out);
    FlattenCubic(mid, bcd, cd, d, keep, depth + 1, out);
}

// The outline `glyph` placed by `t`, as polygons cut to `keep`: what of it can
// be seen, however large or far it is.
QPainterPath OutlineInView(const QPainterPath& glyph, const QTransform& t, const QRectF& keep)
{
    QPainterPath out;
    out.setFillRule(Qt::WindingFill);
    QPolygonF contour;
    auto close = [&] {
        if (contour.size() < 3) return;
        // A contour whose box misses the view holds no part of it.
        const QRectF box = contour.boundingRect();
        if (MeetsBox(keep, box.left(), box.top(), box.right(), box.bottom())) {
            const QPolygonF cut = ClipPolygon(contour, keep);
            if (cut.size() >= 3) {
                out.addPolygon(cut);
                out.closeSubpath();
            }
        }
    };
    for (int i = 0; i < glyph.elementCount(); ++i) {
        const QPainterPath::Element e = glyph.elementAt(i);
        const QPointF at = t.map(QPointF(e.x, e.y));
        if (!std::isfinite(at.x()) || !std::isfinite(at.y())) return {};
        switch (e.type) {
        case QPainterPath::MoveToElement:
            close();
            contour = {at};
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 < glyph.elementCount() && !contour.isEmpty()) {
                const QPainterPath::Element c = glyph.elementAt(i + 1), d = glyph.elementAt(i + 2);
                FlattenCubic(contour.last(), at, t.map(QPointF(c.x, c.y)), t.map(QPointF(d.x, d.y)), keep, 0, contour);
                i += 2;
                break;
            }
            [[fallthrough]];
        default: contour.append(at); break;
        }
    }
    close();
    return out;
}

// The outlines of letters, each once per face, at kOutlineEmPx.
class LetterOutlines {
public:
    struct Letter {
        QPainterPath path;
        QRectF bounds;
        double advance = 0;
    };
    // Kept until the next Trim, which forgets them all once there are many.
    const Letter& Of(const FontFace* face, const QFont& font, const QString& letter)
    {
        auto [it, added] = letters_.try_emplace({face, letter});
        if (added) {
            it->second.path.addText(QPointF(0, 0), font, letter);
            it->second.bounds = it->second.path.boundingRect();
            it->second.advance = QFontMetricsF(font).horizontalAdvance(letter);
        }
        return it->second;
    }

    void Trim()
    {
        if (letters_.size() > 4096) letters_.clear();
    }

private:
    struct KeyHash {
        std::size_t operator()(const std::pair<const FontFace*, QString>& k) const
        {
            return qHashMulti(0, k.first, k.second);
        }
    };
    std::unordered_map<std::pair<const FontFace*, QString>, Letter, KeyHash> letters_;
};

// The letters of `text` one by one (a pair of surrogates is one): where each
// is in it and how long, where it starts along the baseline and its advance,
// in `fm`'s pixels; false stops.
template <typename F>
void EachLetter(const QString& text, const QFontMetricsF& fm, F&& f)
{
    double x = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const double advance = n == 1 ? fm.horizontalAdvance(text[i]) : fm.horizontalAdvance(text.mid(i, n));
        if (!f(i, n, x, advance)) return;
        x += advance;
        i += n;
    }
}

// The most points of a piece of a wide polyline filled as one: a strip of
// an arc's band, 31 of its steps.
constexpr int kStripPoints = 64;

// The image a painter draws straight into, with the shift of its device
// transform, when nothing of the painter's own (clip, scaling, blending) would
// change a solid line's pixels.
struct DirectImage {
    QImage* image = nullptr;
    QPointF shift;
    // Its pixels, taken once (asking the image detaches it each time).
    QRgb* bits = nullptr;
    qsizetype stride = 0;  // pixels from a row to the next
    int width = 0, height = 0;
};

std::optional<DirectImage> DirectImageOf(QPainter& p);

// A line drawn with its linetype's pattern.
struct DashedLine {
    QLineF line;   // cut to the area
    double phase;  // where along the pattern its first end lies, in pixels
    double scale;  // pixels per unit of the pattern's lengths
    const DashPattern* pattern;
};

// Strokes (lines and dots) wait to be drawn in one batch for each colour, so
// that a frame sets each colour once; areas and texts are drawn as they come.
// Where what is drawn overlaps, the later is on top: the area is cut into
// cells that remember the batch whose strokes wait there, and a stroke that
// lands where another colour waits, or an area or a text over waiting strokes,
// has those drawn first. So batches waiting together never overlap, and any
// of them may be drawn at any time. A batch marks its cells only once its box
// meets another's: a drawing of one colour, or of colours apart, marks none.
constexpr double kCellPx = 4;
// An area or a text over more cells than this has drawn first the batches
// whose boxes it meets, rather than those of its cells.
constexpr int kClearCells = 256;

class PaintSink final : public GeometrySink {
public:
    void Begin(QPainter& painter, const ViewMapping& mapping, const QRectF& area);
    // Pieces just outside an area still get drawn so that wide pens reach its border.
    static QRectF Around(const QRectF& area) { return area.adjusted(-4, -4, 4, 4); }
    void SetStyle(QRgb rgb, bool highlighted)
    {
        if (current_ && current_->rgb == rgb && current_->highlighted == highlighted) return;
        const std::uint64_t key = (static_cast<std::uint64_t>(highlighted) << 32) | rgb;
        auto it = index_.find(key);
        if (it == index_.end()) {
            it = index_.emplace(key, buckets_.size()).first;
            buckets_.push_back(Bucket{rgb, highlighted, {}, {}, {}});
        }
        current_ = &buckets_[it->second];
    }
    // The linetype what is emitted next is drawn in (null: solid), at
    // `pxPerUnit` pixels per unit of its lengths; `restartEach`: each segment
    // and arc starts its pattern again (a polyline's vertices without
    // linetype generation), else it runs on where one piece ends at the next.
    void SetDashes(const DashPattern* pattern, double pxPerUnit, bool restartEach)
    {
        dash_ = pattern && pattern->DashedAt(pxPerUnit) ? pattern : nullptr;
        dashScale_ = pxPerUnit;
        period_ = dash_ ? dash_->Period() * pxPerUnit : 0;
        restartEach_ = restartEach;
        fresh_ = true;
    }
    void SetFace(const FontFace* face) { face_ = face; }
    const QRectF& Bounds() const { return bounds_; }

    void Point(const Point3d& p) override { Dot(m_->ToPixel(p)); }
    void Dot(const QPointF& q)
    {
        if (!bounds_.contains(q)) {
            ++stats.culled;
            return;
        }
        Bucket& b = Open();
        if (Meets(b, q.x() - 1, q.y() - 1, q.x() + 1, q.y() + 1))
            ClaimBox(b, q.x() - 1, q.y() - 1, q.x() + 1, q.y() + 1);
        b.points.push_back(q);
        ++stats.points;
    }
    void Segment(const Point3d& a, const Point3d& b) override
    {
        if (restartEach_) fresh_ = true;
        Stroke(m_->ToPixel(a), m_->ToPixel(b));
    }
    // A construction line or a ray, to the edges of the view; its pattern
    // from its base.
    void Ray(const Point3d& base, const Vector3d& direction, bool bothWays) override
    {
        const QPointF a = m_->ToPixel(base), b = m_->ToPixel(base + direction);
        const Box box = Box::FromCorners({bounds_.left(), bounds_.top()}, {bounds_.right(), bounds_.bottom()});
        Point3d from, to;
        if (!ClipRay({a.x(), a.y()}, {b.x() - a.x(), b.y() - a.y()}, bothWays, box, from, to)) {
            ++stats.culled;
            return;
        }
        const QPointF p(from.x, from.y), q(to.x, to.y);
        if (dash_) {
            const double len = std::hypot(b.x() - a.x(), b.y() - a.y());
            RunOn(p, len > 0 ? ((p.x() - a.x()) * (b.x() - a.x()) + (p.y() - a.y()) * (b.y() - a.y())) / len : 0);
        }
        Stroke(p, q);
    }
    // The references are walked by the renderer itself, under the plan.
    bool BeginReference(const BlockReference&, const Transform&) override { return false; }
    // An area painted over what was drawn before it (a wipeout), in the background's colour.
    void Mask(const std::vector<Point3d>& ring, const QColor& background)
    {
        if (ring.size() < 3) return;
        QPolygonF poly;
        for (const auto& p : ring) poly.append(m_->ToPixel(p));
        const QRectF box = poly.boundingRect();
        if (!box.intersects(bounds_)) return;
        Clear(box);
        painter_->setPen(Qt::NoPen);
        painter_->setBrush(background);
        painter_->drawPolygon(poly);
        painter_->setBrush(Qt::NoBrush);
        stats.areas += ring.size();
    }
    // A solid line in pixels, whatever the linetype (a text's box).
    void Line(QPointF a, QPointF b)
    {
        if (!ClipSegment(a, b, bounds_)) {
            ++stats.culled;
            return;
        }
        Bucket& k = Open();
        if (Meets(k, a, b)) ClaimLine(k, a, b);
        k.lines.emplace_back(a, b);
        ++stats.segments;
    }
    void Arc(const CircularArc& arc) override;
    void Text(const TextPrimitive& t) override;
    void Fill(const std::vector<Point3d>& ring) override
    {
        if (ring.size() < 3) return;
        QPolygonF poly;
        poly.reserve(static_cast<int>(ring.size()));
        for (const auto& p : ring) poly.append(m_->ToPixel(p));
        QPainterPath path;
        path.addPolygon(poly);
        path.closeSubpath();
        FillPath(path, Qt::SolidPattern);
    }
    // An area in pixels, in the current colour (as opaque as `alpha`, 0 to 1).
    void FillPath(const QPainterPath& path, Qt::BrushStyle style, double alpha = 1.0)
    {
        const QRectF box = path.controlPointRect();
        if (!box.intersects(bounds_)) return;
        Clear(box);
        QColor c(current_->rgb);
        c.setAlphaF(static_cast<float>(alpha));
        painter_->fillPath(path, QBrush(c, current_->highlighted ? Qt::Dense4Pattern : style));
        stats.areas += static_cast<std::size_t>(path.elementCount());
    }
    // Before the pieces of one wide polyline: they are filled straight into
    // the image when nothing the painter does would change them.
    void BeginPieces() { immediate_ = current_->highlighted ? std::nullopt : DirectImageOf(*painter_); }
    // A small convex area in pixels (a piece of a wide polyline: at most 12
    // points), in the current colour. Each is filled on its own, so that many
    // lying over one another cost what each does; cut to the area first, so
    // that no far coordinate reaches the raster engine.
    void Piece(const QPointF* pts, int n);
    // An area of at most kStripPoints points that each row of pixels crosses
    // once (a stretch of an arc's band between the turns of its height): as
    // Piece, but false, drawing nothing, when it would have to be cut.
    bool Strip(const QPointF* pts, int n);

    // Draws the strokes still waiting.
    void Flush();

    RenderStats stats;

private:
    struct Bucket {
        QRgb rgb;
        bool highlighted;
        std::vector<QLineF> lines;
        std::vector<DashedLine> dashed;
        std::vector<QPointF> points;
        // While it holds strokes not yet drawn: the mark of the cells they
        // lie in (0: none), whether they are marked there, and their box.
        std::uint32_t token = 0;
        bool marked = false;
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    };
    struct TextItem {
        QString text;
        QPointF p0, p1, p3;  // baseline start, baseline end, top of the start
        QRgb rgb;
        bool highlighted;
        const FontFace* face;
        bool outlines;  // filled from its letters' outlines (TextLook::Outlines)
    };
    void DrawLetters(QPainter& p, const QTransform& base, const QTransform& rest, const TextItem& t);
    void DrawOutlines(QPainter& p, const TextItem& t);
    // A line in pixels in the current linetype.
    void Stroke(QPointF a, QPointF b);
    // The pattern runs on from `at`, `along` pixels into it.
    void RunOn(const QPointF& at, double along)
    {
        fresh_ = false;
        dashAt_ = at;
        phase_ = std::fmod(along, period_);
        if (!std::isfinite(phase_)) phase_ = 0;
    }
    void ArcPiece(const QPointF& c, double r, double start, double sweep);
    // The current batch, waiting to be drawn.
    Bucket& Open();
    // Takes a stroke's box (pixels) into `b`'s; true when the stroke is to
    // be marked in the cells: `b` marks its cells, having met another
    // batch's box, as the batches it meets do from then on.
    bool Meets(Bucket& b, double x0, double y0, double x1, double y1);
    bool Meets(Bucket& b, const QPointF& p, const QPointF& q)
    {
        return Meets(b, std::min(p.x(), q.x()), std::min(p.y(), q.y()), std::max(p.x(), q.x()), std::max(p.y(), q.y()));
    }
    // Marks in the cells the strokes `b` holds.
    void Mark(Bucket& b);
    // Marks the cells a stroke of `b` inks (those within half a pixel of the
    // line), drawing first what waits there in another colour.
    void ClaimLine(Bucket& b, const QPointF& p, const QPointF& q);
    void ClaimBox(Bucket& b, double x0, double y0, double x1, double y1);
    void Claim(std::uint32_t& cell, std::uint32_t token)
    {
        if (cell == token) return;
        if (cell != 0) {
            Bucket& other = buckets_[owner_[cell]];
            if (other.token == cell) Draw(other, true);
        }
        cell = token;
    }
    // Draws what waits under `box` (pixels) before something is drawn over it.
    void Clear(const QRectF& box);
    // Draws the strokes of `b`; `early`: before the frame's end, to keep the
    // drawing order.
    void Draw(Bucket& b, bool early);
    void DrawText(const TextItem& t);

    QPainter* painter_ = nullptr;
    const ViewMapping* m_ = nullptr;
    QRectF area_, bounds_;
    std::vector<Bucket> buckets_;
    std::unordered_map<std::uint64_t, std::size_t> index_;
    Bucket* current_ = nullptr;
    const FontFace* face_ = nullptr;
    std::size_t chords_ = 0;  // of arcs in this space
    // The cells: the token of the batch whose strokes wait in each; tokens
    // name batches (owner_), a batch taking a new one each time it starts waiting.
    std::vector<std::uint32_t> cells_, owner_;
    int cols_ = 0, rows_ = 0;
    int waiting_ = 0;                       // batches waiting
    std::vector<std::size_t> waitingList_;  // which (some of them drawn since)
    double drawnPixels_ = 0;                // of solid lines drawn so far in this space
    bool heavy_ = false;                    // lines are stepped into the image at the end of the frame
    // The linetype and where its pattern stands.
    const DashPattern* dash_ = nullptr;
    double dashScale_ = 0, period_ = 0, phase_ = 0;
    QPointF dashAt_;
    bool restartEach_ = false, fresh_ = true;
    std::optional<DirectImage> immediate_;
    TextImages textImages_;
    LetterOutlines outlines_;
};

void PaintSink::Arc(const CircularArc& arc)
{
    const QPointF c = m_->ToPixel(arc.center);
    const double r = arc.radius * m_->scale;
    if (!(r >= 0.0) || !std::isfinite(r)) return;
    if (r < kDotPx / 2) {
        Dot(c);
        return;
    }
    const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    if (!box.intersects(bounds_)) {
        ++stats.culled;
        return;
    }
    if (restartEach_) fresh_ = true;
    const double sweep = arc.Sweep();
    const double diag = std::hypot(bounds_.width(), bounds_.height());
    if (r <= 4 * diag) {
        ArcPiece(c, r, arc.startAngle, sweep);
        return;
    }
    // A huge arc (deep zoom): only the angles that can reach the window are drawn.
    const QPointF mid = bounds_.center();
    const double d = std::hypot(mid.x() - c.x(), mid.y() - c.y());
    if (std::fabs(d - r) > diag) return;
    const double toMid = std::atan2(-(mid.y() - c.y()), mid.x() - c.x());  // world angle (Y up)
    const double half = std::min(kPi, 1.5 * std::asin(std::min(1.0, diag / r)));
    double u0 = NormalizeAngle(toMid - half - arc.startAngle);
    for (double shift : {0.0, -kTwoPi}) {
        const double from = std::max(0.0, u0 + shift), to = std::min(sweep, u0 + shift + 2 * half);
        if (to <= from) continue;
        // The pattern from the arc's start, as far along as the piece begins.
        const double start = arc.startAngle + from;
        if (dash_) RunOn(QPointF(c.x() + r * std::cos(start), c.y() - r * std::sin(start)), r * from);
        ArcPiece(c, r, start, to - from);
    }
}

void PaintSink::ArcPiece(const QPointF& c, double r, double start, double sweep)
{
    // Past the chords a frame may draw, arcs are drawn coarser the more there
    // are: a screen full of large circles takes its time by their length only.
    const double over = static_cast<double>(chords_) / kChordsPerFrame;
    const double tolerance = over > 1 ? kArcTolerancePx * over * over : kArcTolerancePx;
    const int n = ArcChords(r, sweep, tolerance);
    chords_ += static_cast<std::size_t>(n);
    // Each chord's end is the last one turned by the step: one sine and cosine
    // per arc, not per chord; the last end is the arc's own.
    const double turn = sweep / n, ct = std::cos(turn), st = std::sin(turn);
    double ux = std::cos(start), uy = std::sin(start);
    QPointF prev(c.x() + r * ux, c.y() - r * uy);
    for (int k = 1; k <= n; ++k) {
        const double vx = ux * ct - uy * st;
        uy = ux * st + uy * ct;
        ux = vx;
        const QPointF q = k == n ? QPointF(c.x() + r * std::cos(start + sweep), c.y() - r * std::sin(start + sweep))
                                 : QPointF(c.x() + r * ux, c.y() - r * uy);
        Stroke(prev, q);
        prev = q;
    }
}

void PaintSink::Text(const TextPrimitive& t)
{
    const QPointF p0 = m_->ToPixel(t.corners[0]), p1 = m_->ToPixel(t.corners[1]), p2 = m_->ToPixel(t.corners[2]),
                  p3 = m_->ToPixel(t.corners[3]);
    const QRectF box = QPolygonF({p0, p1, p2, p3}).boundingRect();
    if (!box.intersects(bounds_)) {
        ++stats.culled;
        return;
    }
    const QPointF along = p1 - p0, up = p3 - p0;
    const double h = std::hypot(up.x(), up.y()), w = std::hypot(along.x(), along.y());
    const TextLook look = TextLookOf(h, w, std::fabs(along.x() * up.y() - along.y() * up.x()), Letters(t));
    if (look == TextLook::Dot) {
        Dot(box.center());
        return;
    }
    const FontFace* face = t.face >= 0 && t.face < static_cast<int>(TextMetrics::kFaceCount)
                               ? &ScreenFace(static_cast<TextMetrics::Face>(t.face))
                               : face_;
    if (look == TextLook::Block) {
        // Cut to the view first: such a box may reach far out of it.
        const QPointF quad[4] = {p0, p1, p2, p3};
        QPointF cut[16];
        const int n = ClipConvex(quad, 4, bounds_, cut);
        if (n < 3) return;
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(cut, cut + n)));
        path.closeSubpath();
        FillPath(path, Qt::SolidPattern);
        return;
    }
    if (look == TextLook::Box || !face) {
        Line(p0, p1);
        Line(p1, p2);
        Line(p2, p3);
        Line(p3, p0);
        return;
    }
    // Letters of a colour of their own (a multi-line text's inline colour) are drawn in it.
    const QRgb rgb = t.color < 0 ? current_->rgb
                     : (t.color & Color::TrueColor) != 0
                         ? qRgb((t.color >> 16) & 0xFF, (t.color >> 8) & 0xFF, t.color & 0xFF)
                         : AciColor(t.color).rgb();
    const TextItem item{QString::fromUtf8(t.text.data(), static_cast<qsizetype>(t.text.size())),
                        p0,
                        p1,
                        p3,
                        rgb,
                        current_->highlighted,
                        face,
                        look == TextLook::Outlines};
    stats.letters += static_cast<std::size_t>(item.text.size());
    Clear(box);
    DrawText(item);
}

void PaintSink::DrawText(const TextItem& t)
{
    QPainter& p = *painter_;
    const QTransform base = p.worldTransform();
    // What the device adds past the painter's world transform (a screen's pixel ratio).
    p.setWorldTransform(QTransform());
    const QTransform rest = p.deviceTransform();
    if (t.outlines) {
        p.setWorldTransform(base);
        DrawOutlines(p, t);
    } else {
        DrawLetters(p, base, rest, t);
    }
    p.setWorldTransform(base);
    if (t.highlighted) {
        // Its box, dashed, cut to the view.
        p.setPen(QPen(QColor(t.rgb), 0, Qt::DashLine));
        const QPointF c[4] = {t.p0, t.p1, t.p1 + t.p3 - t.p0, t.p3};
        for (int k = 0; k < 4; ++k) {
            QPointF a = c[k], b = c[(k + 1) % 4];
            if (ClipSegment(a, b, bounds_)) p.drawLine(a, b);
        }
    }
    ++stats.texts;
}

std::optional<DirectImage> DirectImageOf(QPainter& p)
{
    QPaintDevice* d = p.device();
    if (!d || d->devType() != QInternal::Image || p.hasClipping() ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver)
        return std::nullopt;
    auto* image = static_cast<QImage*>(d);
    if (image->format() != QImage::Format_RGB32 && image->format() != QImage::Format_ARGB32_Premultiplied)
        return std::nullopt;
    const QTransform t = p.deviceTransform();
    if (t.type() > QTransform::TxTranslate) return std::nullopt;
    return DirectImage{image,
                       QPointF(t.dx(), t.dy()),
                       reinterpret_cast<QRgb*>(image->bits()),
                       image->bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb)),
                       image->width(),
                       image->height()};
}

double LinePixels(const std::vector<QLineF>& lines)
{
    double n = 0;
    for (const QLineF& l : lines) n += std::max(std::fabs(l.dx()), std::fabs(l.dy())) + 1;
    return n;
}

// Cuts a line to the rectangle by the axes in turn, as the raster engine does
// before it steps a line; false when nothing is left.
bool RoughClip(double& x1, double& y1, double& x2, double& y2, const QRectF& r)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return false;
    // One axis of one end onto a border: the other coordinate follows the line.
    auto onto = [](double& u1, double& v1, double u2, double v2, double border) {
        v1 += (v2 - v1) / (u2 - u1) * (border - u1);
        u1 = border;
    };
    const double lo[2] = {r.left(), r.top()}, hi[2] = {r.right(), r.bottom()};
    double* u[2][2] = {{&x1, &x2}, {&y1, &y2}};
    double* v[2][2] = {{&y1, &y2}, {&x1, &x2}};
    for (int axis = 0; axis < 2; ++axis) {
        double &a = *u[axis][0], &b = *u[axis][1], &va = *v[axis][0], &vb = *v[axis][1];
        if (a < lo[axis]) {
            if (b <= lo[axis]) return false;
            onto(a, va, b, vb, lo[axis]);
        } else if (a > hi[axis]) {
            if (b >= hi[axis]) return false;
            onto(a, va, b, vb, hi[axis]);
        }
        if (b < lo[axis])
            onto(b, vb, a, va, lo[axis]);
        else if (b > hi[axis])
            onto(b, vb, a, va, hi[axis]);
    }
    return true;
}

// Solid one-pixel lines stepped pixel by pixel into the image: the raster
// engine's cost per pixel would hold the window for seconds on a screen inked
// over many times (thousands of large overlapping circles). Each line gets the
// pixels the raster engine gives a one-pixel line with square ends, so that a
// stepped frame looks as a drawn one does: its ends are taken to a 64th of a
// pixel (cut toward zero) and run half a pixel further each way; it is walked
// along its longer axis one pixel at a time, from the pixel whose middle the
// start passes; the other axis, in 16.16 fixed point, is taken at the
// middle of each step when it grows and at the step's start when it falls.
// `mask` lets through the steps a line inks (all of them, but for a
// linetype's gaps): Point(item) for a line of no length, and Along(item, the
// line's ends, steep) the test of each step.
template <typename Item, typename Mask>
void StepLines(const DirectImage& target, const std::vector<Item>& lines, QRgb rgb, const Mask& mask)
{
    QImage& img = *target.image;
    const int w = img.width(), h = img.height();
    const qsizetype stride = img.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    auto* bits = reinterpret_cast<QRgb*>(img.bits());
    const QRgb ink = qRgb(qRed(rgb), qGreen(rgb), qBlue(rgb));
    auto put = [&](std::int64_t x, std::int64_t y) {
        if (x >= 0 && y >= 0 && x < w && y < h) bits[static_cast<qsizetype>(y) * stride + x] = ink;
    };
    const QRectF rough(-1, -1, w + 2, h + 2);
    for (const Item& item : lines) {
        const QLineF& l = mask.LineOf(item);
        double ax = l.x1() + target.shift.x(), ay = l.y1() + target.shift.y();
        double bx = l.x2() + target.shift.x(), by = l.y2() + target.shift.y();
        if (ax == bx && ay == by) {
            if (mask.Point(item)) put(std::lround(ax), std::lround(ay));  // a point
            continue;
        }
        const QLineF ends(ax, ay, bx, by);
        if (!RoughClip(ax, ay, bx, by, rough)) continue;
        auto fixed = [](double v) { return static_cast<std::int64_t>(v * 64.0); };
        const std::int64_t x1 = fixed(ax), y1 = fixed(ay), x2 = fixed(bx), y2 = fixed(by);
        const bool steep = std::llabs(x2 - x1) < std::llabs(y2 - y1);
        std::int64_t m1 = steep ? y1 : x1, n1 = steep ? x1 : y1, m2 = steep ? y2 : x2, n2 = steep ? x2 : y2;
        if (m1 == m2) continue;
        if (m1 > m2) {
            std::swap(m1, m2);
            std::swap(n1, n2);
        }
        const auto inks = mask.Along(item, ends, steep);
        const std::int64_t inc = (n2 - n1) * 65536 / (m2 - m1);
        std::int64_t n = n1 * 1024 - (inc >> 1);
        m1 -= 32;
        m2 += 32;
        const std::int64_t first = (m1 + 32) >> 6, stop = (m2 + 32) >> 6;
        n += ((first * 64) + (inc > 0 ? 32 : 0) - m1) * inc >> 6;
        for (std::int64_t m = first; m < stop; ++m, n += inc) {
            if (!inks(m)) continue;
            if (steep)
                put(n >> 16, m);
            else
                put(m, n >> 16);
        }
    }
}

// Every step of a solid line.
struct Solid {
    static const QLineF& LineOf(const QLineF& l) { return l; }
    static bool Point(const QLineF&) { return true; }
    static auto Along(const QLineF&, const QLineF&, bool)
    {
        return [](std::int64_t) { return true; };
    }
};

// The steps of a line drawn with its linetype's pattern: those where the
// stretch of the line a pixel stands for (half a step either side of its
// middle, along the line) meets the pattern's ink. A dashed line costs its
// pixels, whatever its dashes.
struct Dashes {
    static const QLineF& LineOf(const DashedLine& d) { return d.line; }
    static bool Point(const DashedLine& d) { return d.pattern->Inks(d.phase / d.scale, d.phase / d.scale); }
    static auto Along(const DashedLine& d, const QLineF& ends, bool steep)
    {
        // Along the line from its first end, per pixel along the longer axis.
        const double om = steep ? ends.y1() : ends.x1(), em = steep ? ends.y2() : ends.x2();
        const double per = ends.length() / (em - om), half = 0.5 * std::fabs(per), inv = 1 / d.scale;
        return [&d, om, per, half, inv](std::int64_t m) {
            const double along = d.phase + (static_cast<double>(m) + 0.5 - om) * per;
            return d.pattern->Inks((along - half) * inv, (along + half) * inv);
        };
    }
};

// ceil(v): for the small numbers of pixels (a piece is cut to the area first).
inline int CeilPx(double v)
{
    const int i = static_cast<int>(v);
    return i < v ? i + 1 : i;
}

// `v` to the nearest 64th (halves away from zero), for the small numbers of pixels.
inline double Sixty4th(double v)
{
    return static_cast<double>(static_cast<std::int64_t>(v * 64 + (v < 0 ? -0.5 : 0.5))) / 64;
}

// Pixels x0 to x1 (not included) of a row: four at a time along a long span.
inline void FillSpan(QRgb* line, int x0, int x1, QRgb ink)
{
    using Four = std::uint32_t __attribute__((vector_size(16)));
    const Four four = {ink, ink, ink, ink};
    int x = x0;
    for (; x + 4 <= x1; x += 4) std::memcpy(line + x, &four, sizeof four);
    for (; x < x1; ++x) line[x] = ink;
}

// A polygon that each row crosses once (a convex one, a strip) filled
// straight into the image, with the pixels the raster engine gives it without
// antialiasing: those whose middles lie inside, a middle on a left or top edge
// counted in, on a right or bottom one out.
void FillMonotone(const DirectImage& target, const QPointF* pts, int n, QRgb rgb)
{
    const int w = target.width, h = target.height;
    const qsizetype stride = target.stride;
    QRgb* bits = target.bits;
    const QRgb ink = qRgb(qRed(rgb), qGreen(rgb), qBlue(rgb));
    double xs[kStripPoints], ys[kStripPoints];
    int rows[kStripPoints];  // the first row whose middle is at or below each point
    int top = 0, bottom = 0;
    for (int k = 0; k < n; ++k) {
        // To the 64th of a pixel, as the raster engine takes an outline.
        xs[k] = Sixty4th(pts[k].x() + target.shift.x());
        ys[k] = Sixty4th(pts[k].y() + target.shift.y());
        rows[k] = CeilPx(ys[k] - 0.5);
        if (ys[k] < ys[top]) top = k;
        if (ys[k] > ys[bottom]) bottom = k;
    }
    // The two chains of edges that run down from the top vertex, one each
    // way round, as the rows each edge serves (those whose middles lie from
    // its top to its bottom) and its x at the first of them and per row, in
    // 16.16 fixed point: each row is then two additions and its span.
    struct Edge {
        int rowEnd;
        std::int64_t x, dx;
    };
    auto chain = [&](int step, Edge* out) {
        int count = 0;
        for (int p = top; p != bottom;) {
            const int q = p + step < n ? p + step : p + step - n;
            const int r0 = rows[p], r1 = rows[q];
            if (r1 > r0) {
                const double slope = (xs[q] - xs[p]) / (ys[q] - ys[p]);
                out[count++] = Edge{r1, static_cast<std::int64_t>((xs[p] + (r0 + 0.5 - ys[p]) * slope) * 65536.0),
                                    static_cast<std::int64_t>(slope * 65536.0)};
            }
            p = q;
        }
        return count;
    };
    Edge a[kStripPoints], b[kStripPoints];
    const int na = chain(1, a), nb = chain(n - 1, b);
    if (na == 0 || nb == 0) return;
    int row = rows[top];
    const int end = std::min(h, rows[bottom]);
    // ceil(x − ½) of a 16.16 number: the pixels whose middles lie at or past it.
    auto first = [](std::int64_t x) { return static_cast<int>((x + 0x7FFF) >> 16); };
    for (int ia = 0, ib = 0; row < end;) {
        Edge& ea = a[ia];
        Edge& eb = b[ib];
        const int stop = std::min({ea.rowEnd, eb.rowEnd, end});
        for (; row < stop; ++row, ea.x += ea.dx, eb.x += eb.dx) {
            if (row < 0) continue;
            const int x0 = std::max(0, first(std::min(ea.x, eb.x)));
            const int x1 = std::min(w, first(std::max(ea.x, eb.x)));
            FillSpan(bits + static_cast<qsizetype>(row) * stride, x0, x1, ink);
        }
        if (row == ea.rowEnd && ++ia == na) break;
        if (row == eb.rowEnd && ++ib == nb) break;
    }
}

// The dashes and dots of a line as lines of their own (a dot as a line of no
// length), for a painter that cannot be stepped into.
void AddDashes(const DashedLine& d, std::vector<QLineF>& out)
{
    const double len = d.line.length(), period = d.pattern->Period() * d.scale;
    if (!(len > 0)) {
        if (d.pattern->Inks(d.phase / d.scale, d.phase / d.scale)) out.push_back(d.line);
        return;
    }
    const QPointF a = d.line.p1(), along = (d.line.p2() - a) / len;
    for (double base = std::floor(d.phase / period) * period; base <= d.phase + len; base += period)
        for (const DashPattern::Stretch& s : d.pattern->Inked()) {
            const double from = std::max(base + s.from * d.scale, d.phase);
            const double to = std::min(base + s.to * d.scale, d.phase + len);
            if (from <= to) out.emplace_back(a + along * (from - d.phase), a + along * (to - d.phase));
        }
}

bool PaintSink::Strip(const QPointF* pts, int n)
{
    double x0 = pts[0].x(), x1 = x0, y0 = pts[0].y(), y1 = y0;
    for (int k = 1; k < n; ++k) {
        x0 = std::min(x0, pts[k].x());
        x1 = std::max(x1, pts[k].x());
        y0 = std::min(y0, pts[k].y());
        y1 = std::max(y1, pts[k].y());
    }
    if (!(x1 >= bounds_.left() && x0 <= bounds_.right() && y1 >= bounds_.top() && y0 <= bounds_.bottom())) {
        ++stats.culled;
        return true;
    }
    if (x0 < bounds_.left() || x1 > bounds_.right() || y0 < bounds_.top() || y1 > bounds_.bottom()) return false;
    stats.areas += static_cast<std::size_t>(n);
    Clear(QRectF(QPointF(x0, y0), QPointF(x1, y1)));
    if (immediate_) {
        FillMonotone(*immediate_, pts, n, current_->rgb);
        return true;
    }
    painter_->setPen(Qt::NoPen);
    painter_->setBrush(QBrush(QColor(current_->rgb), current_->highlighted ? Qt::Dense4Pattern : Qt::SolidPattern));
    painter_->drawPolygon(pts, n);
    painter_->setBrush(Qt::NoBrush);
    return true;
}

void PaintSink::Piece(const QPointF* pts, int n)
{
    double x0 = pts[0].x(), x1 = x0, y0 = pts[0].y(), y1 = y0;
    for (int k = 1; k < n; ++k) {
        x0 = std::min(x0, pts[k].x());
        x1 = std::max(x1, pts[k].x());
        y0 = std::min(y0, pts[k].y());
        y1 = std::max(y1, pts[k].y());
    }
    if (!(x1 >= bounds_.left() && x0 <= bounds_.right() && y1 >= bounds_.top() && y0 <= bounds_.bottom())) {
        ++stats.culled;
        return;
    }
    QPointF cut[16];
    if (x0 < bounds_.left() || x1 > bounds_.right() || y0 < bounds_.top() || y1 > bounds_.bottom()) {
        n = ClipConvex(pts, n, bounds_, cut);
        if (n < 3) return;
        pts = cut;
    }
    stats.areas += static_cast<std::size_t>(n);
    Clear(QRectF(QPointF(x0, y0), QPointF(x1, y1)));
    if (immediate_) {
        FillMonotone(*immediate_, pts, n, current_->rgb);
        return;
    }
    painter_->setPen(Qt::NoPen);
    painter_->setBrush(QBrush(QColor(current_->rgb), current_->highlighted ? Qt::Dense4Pattern : Qt::SolidPattern));
    painter_->drawConvexPolygon(pts, n);
    painter_->setBrush(Qt::NoBrush);
}

void PaintSink::Begin(QPainter& painter, const ViewMapping& mapping, const QRectF& area)
{
    painter_ = &painter;
    m_ = &mapping;
    area_ = area;
    bounds_ = Around(area);
    current_ = nullptr;
    chords_ = 0;
    buckets_.clear();
    index_.clear();
    cols_ = std::max(1, static_cast<int>(std::ceil(bounds_.width() / kCellPx)) + 1);
    rows_ = std::max(1, static_cast<int>(std::ceil(bounds_.height() / kCellPx)) + 1);
    cells_.assign(static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_), 0);
    owner_.assign(1, 0);
    waiting_ = 0;
    waitingList_.clear();
    drawnPixels_ = 0;
    heavy_ = false;
    dash_ = nullptr;
    restartEach_ = false;
    painter.setRenderHint(QPainter::Antialiasing, false);
}

PaintSink::Bucket& PaintSink::Open()
{
    Bucket& b = *current_;
    if (b.token == 0) {
        // Those drawn since they were listed go (this one too, if listed).
        std::erase_if(waitingList_, [&](std::size_t i) { return buckets_[i].token == 0; });
        b.token = static_cast<std::uint32_t>(owner_.size());
        owner_.push_back(static_cast<std::uint32_t>(current_ - buckets_.data()));
        waitingList_.push_back(owner_.back());
        b.marked = false;
        b.x0 = b.y0 = std::numeric_limits<double>::infinity();
        b.x1 = b.y1 = -std::numeric_limits<double>::infinity();
        ++waiting_;
    }
    return b;
}

bool PaintSink::Meets(Bucket& b, double x0, double y0, double x1, double y1)
{
    if (x0 >= b.x0 && x1 <= b.x1 && y0 >= b.y0 && y1 <= b.y1) return b.marked;
    b.x0 = std::min(b.x0, x0);
    b.y0 = std::min(b.y0, y0);
    b.x1 = std::max(b.x1, x1);
    b.y1 = std::max(b.y1, y1);
    if (waiting_ < 2) return b.marked;
    // Its box grew: the batches it meets now (a pixel apart or less) mark
    // their cells, and so does it.
    bool met = false;
    for (const std::size_t i : waitingList_) {
        Bucket& o = buckets_[i];
        if (&o == &b || o.token == 0 || (o.marked && b.marked) ||
            !(o.x0 <= b.x1 + 1 && b.x0 - 1 <= o.x1 && o.y0 <= b.y1 + 1 && b.y0 - 1 <= o.y1))
            continue;
        Mark(o);
        met = true;
    }
    if (met) Mark(b);
    return b.marked;
}

void PaintSink::Mark(Bucket& b)
{
    if (b.marked) return;
    b.marked = true;
    for (const QLineF& l : b.lines) ClaimLine(b, l.p1(), l.p2());
    for (const DashedLine& d : b.dashed) ClaimLine(b, d.line.p1(), d.line.p2());
    for (const QPointF& q : b.points) ClaimBox(b, q.x() - 1, q.y() - 1, q.x() + 1, q.y() + 1);
}

// The cell `v` (in cells from the first) lies in, of 0 to `last`; far
// coordinates, and those that are no number, in the nearest.
inline int CellIndex(double v, int last) { return v > 0 ? (v < last ? static_cast<int>(v) : last) : 0; }

void PaintSink::ClaimBox(Bucket& b, double x0, double y0, double x1, double y1)
{
    const int c0 = CellIndex((x0 - bounds_.left()) / kCellPx, cols_ - 1);
    const int c1 = CellIndex((x1 - bounds_.left()) / kCellPx, cols_ - 1);
    const int r0 = CellIndex((y0 - bounds_.top()) / kCellPx, rows_ - 1);
    const int r1 = CellIndex((y1 - bounds_.top()) / kCellPx, rows_ - 1);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) Claim(cells_[static_cast<std::size_t>(r) * cols_ + c], b.token);
}

void PaintSink::ClaimLine(Bucket& b, const QPointF& p, const QPointF& q)
{
    // In cells, half a pixel wider each way: a line's pixels lie within
    // half a pixel of it, its ends half a pixel past them.
    constexpr double margin = 0.5 / kCellPx;
    const double ax = (p.x() - bounds_.left()) / kCellPx, ay = (p.y() - bounds_.top()) / kCellPx;
    const double bx = (q.x() - bounds_.left()) / kCellPx, by = (q.y() - bounds_.top()) / kCellPx;
    const double lx = std::min(ax, bx) - margin, hx = std::max(ax, bx) + margin;
    const double ly = std::min(ay, by) - margin, hy = std::max(ay, by) + margin;
    const int c0 = CellIndex(lx, cols_ - 1), c1 = CellIndex(hx, cols_ - 1);
    const int r0 = CellIndex(ly, rows_ - 1), r1 = CellIndex(hy, rows_ - 1);
    if ((c1 - c0 + 1) * (r1 - r0 + 1) <= 4) {
        // The few cells of its box (they hold it: a box is convex).
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) Claim(cells_[static_cast<std::size_t>(r) * cols_ + c], b.token);
        return;
    }
    // Column by column of the longer axis: the cells of the other axis the
    // line crosses in each.
    const bool steep = std::fabs(by - ay) > std::fabs(bx - ax);
    double u0 = steep ? ay : ax, v0 = steep ? ax : ay, u1 = steep ? by : bx, v1 = steep ? bx : by;
    if (u0 > u1) {
        std::swap(u0, u1);
        std::swap(v0, v1);
    }
    const double slope = (v1 - v0) / (u1 - u0);
    const int uMax = steep ? rows_ - 1 : cols_ - 1, vMax = steep ? cols_ - 1 : rows_ - 1;
    const int first = CellIndex(u0 - margin, uMax), last = CellIndex(u1 + margin, uMax);
    for (int u = first; u <= last; ++u) {
        const double s = std::clamp(static_cast<double>(u), u0, u1), t = std::clamp(u + 1.0, u0, u1);
        const double va = v0 + slope * (s - u0), vb = v0 + slope * (t - u0);
        const int lo = CellIndex(std::min(va, vb) - margin, vMax);
        const int hi = CellIndex(std::max(va, vb) + margin, vMax);
        for (int v = lo; v <= hi; ++v) {
            const std::size_t cell =
                steep ? static_cast<std::size_t>(u) * cols_ + v : static_cast<std::size_t>(v) * cols_ + u;
            Claim(cells_[cell], b.token);
        }
    }
}

void PaintSink::Clear(const QRectF& box)
{
    if (waiting_ == 0) return;
    const double x0 = box.left(), y0 = box.top(), x1 = box.right(), y1 = box.bottom();
    const int c0 = CellIndex((x0 - bounds_.left()) / kCellPx, cols_ - 1);
    const int c1 = CellIndex((x1 - bounds_.left()) / kCellPx, cols_ - 1);
    const int r0 = CellIndex((y0 - bounds_.top()) / kCellPx, rows_ - 1);
    const int r1 = CellIndex((y1 - bounds_.top()) / kCellPx, rows_ - 1);
    const bool large = (c1 - c0 + 1) * (r1 - r0 + 1) > kClearCells;
    for (Bucket& b : buckets_) {
        if (!b.token || !(b.x0 <= x1 + 1 && x0 - 1 <= b.x1 && b.y0 <= y1 + 1 && y0 - 1 <= b.y1)) continue;
        if (large)
            Draw(b, true);
        else
            Mark(b);
    }
    if (large || waiting_ == 0) return;
    for (int r = r0; r <= r1 && waiting_ > 0; ++r)
        for (int c = c0; c <= c1; ++c) {
            const std::uint32_t cell = cells_[static_cast<std::size_t>(r) * cols_ + c];
            if (cell == 0) continue;
            Bucket& b = buckets_[owner_[cell]];
            if (b.token == cell) Draw(b, true);
        }
}

void PaintSink::Stroke(QPointF a, QPointF b)
{
    if (!dash_) {
        Line(a, b);
        return;
    }
    const double len = std::hypot(b.x() - a.x(), b.y() - a.y());
    if (fresh_ || a != dashAt_) phase_ = 0;
    const double start = phase_;
    RunOn(b, phase_ + len);
    QPointF ca = a, cb = b;
    if (!ClipSegment(ca, cb, bounds_)) {
        ++stats.culled;
        return;
    }
    double at = std::fmod(start + std::hypot(ca.x() - a.x(), ca.y() - a.y()), period_);
    if (!std::isfinite(at)) at = 0;
    Bucket& k = Open();
    if (Meets(k, ca, cb)) ClaimLine(k, ca, cb);
    k.dashed.push_back(DashedLine{QLineF(ca, cb), at, dashScale_, dash_});
    ++stats.segments;
}

void PaintSink::Draw(Bucket& b, bool early)
{
    QPainter& p = *painter_;
    const QColor c(b.rgb);
    std::optional<DirectImage> direct;
    if (!b.highlighted) direct = DirectImageOf(p);
    if (!b.lines.empty()) {
        if (!b.highlighted) drawnPixels_ += LinePixels(b.lines);
        // Lines drawn early are few at a time, and stepped: the raster
        // engine's pixels without its cost of setting up a pen.
        if (direct && (early || heavy_)) {
            StepLines(*direct, b.lines, b.rgb, Solid());
            stats.stepped += b.lines.size();
        } else {
            p.setPen(QPen(c, 0, b.highlighted ? Qt::DashLine : Qt::SolidLine));
            p.drawLines(b.lines.data(), static_cast<int>(b.lines.size()));
        }
        b.lines.clear();
    }
    if (!b.dashed.empty()) {
        if (direct) {
            StepLines(*direct, b.dashed, b.rgb, Dashes());
            stats.stepped += b.dashed.size();
        } else {
            // Highlighted, the whole line in the highlight's dashes.
            std::vector<QLineF> pieces;
            for (const DashedLine& d : b.dashed)
                if (b.highlighted)
                    pieces.push_back(d.line);
                else
                    AddDashes(d, pieces);
            p.setPen(QPen(c, 0, b.highlighted ? Qt::DashLine : Qt::SolidLine));
            p.drawLines(pieces.data(), static_cast<int>(pieces.size()));
        }
        b.dashed.clear();
    }
    if (!b.points.empty()) {
        p.setPen(QPen(c, 2, Qt::SolidLine, Qt::SquareCap));
        p.drawPoints(b.points.data(), static_cast<int>(b.points.size()));
        b.points.clear();
    }
    b.token = 0;
    --waiting_;
}

void PaintSink::Flush()
{
    // An ordinary frame's lines are drawn by the raster engine; those of one
    // whose solid lines would ink many screens over are stepped straight into
    // its image.
    double pixels = drawnPixels_;
    for (const Bucket& b : buckets_)
        if (b.token && !b.highlighted && pixels <= kSteppedLinePixels) pixels += LinePixels(b.lines);
    heavy_ = pixels > kSteppedLinePixels;
    for (Bucket& b : buckets_)
        if (b.token) Draw(b, false);
    heavy_ = false;
    textImages_.EndFlush();
}

void PaintSink::DrawLetters(QPainter& p, const QTransform& base, const QTransform& rest, const TextItem& t)
{
    const double h = std::hypot(t.p3.x() - t.p0.x(), t.p3.y() - t.p0.y());
    QFont font = t.face->font;
    font.setPixelSize(std::clamp(static_cast<int>(std::lround(h / t.face->capRatio)), 1, 512));
    const QFontMetricsF fm(font);
    double cap = fm.capHeight();
    if (!(cap > 0)) cap = fm.ascent() * 0.7;
    // A long text reaching far out of view is measured letter by letter (the
    // raster engine's own sum wraps past a few tens of millions of pixels),
    // and drawn from the letters in view alone.
    const QRectF box = QPolygonF({t.p0, t.p1, t.p1 + t.p3 - t.p0, t.p3}).boundingRect();
    const bool far = !bounds_.adjusted(-kFarTextPx, -kFarTextPx, kFarTextPx, kFarTextPx).contains(box);
    double adv = 0;
    if (far)
        EachLetter(t.text, fm, [&](qsizetype, qsizetype, double, double advance) {
            adv += advance;
            return true;
        });
    else
        adv = fm.horizontalAdvance(t.text);
    if (!(adv > 0) || !(cap > 0)) return;
    // The letters are stretched onto the text's box: baseline from p0 to p1,
    // cap height up to p3, whatever the rotation, mirroring or slant.
    QTransform onto((t.p1.x() - t.p0.x()) / adv, (t.p1.y() - t.p0.y()) / adv, -(t.p3.x() - t.p0.x()) / cap,
                    -(t.p3.y() - t.p0.y()) / cap, t.p0.x(), t.p0.y());
    QString text = t.text;
    if (far) {
        const double top = -fm.ascent(), bottom = fm.descent();
        qsizetype from = -1, to = 0;
        double start = 0;
        EachLetter(t.text, fm, [&](qsizetype i, qsizetype n, double x, double advance) {
            const QRectF letter = onto.mapRect(QRectF(x, top, advance, bottom - top).adjusted(-cap, 0, cap, 0));
            if (!letter.intersects(bounds_)) return from < 0;
            if (from < 0) {
                from = i;
                start = x;
            }
            to = i + n;
            return true;
        });
        if (from < 0) return;
        text = t.text.mid(from, to - from);
        onto = QTransform::fromTranslate(start, 0) * onto;
    }
    const QTransform toDevice = onto * base * rest;
    const double px = font.pixelSize();
    const bool large = px * px * std::fabs(toDevice.determinant()) >= kKeptGlyphPx * kKeptGlyphPx;
    const bool kept = large && textImages_.Draw(p, rest, text, font, fm, t.rgb, toDevice);
    p.setWorldTransform(onto * base);
    if (!kept) {
        p.setFont(font);
        p.setPen(QColor(t.rgb));
        p.drawText(QPointF(0, 0), text);
    }
}

void PaintSink::DrawOutlines(QPainter& p, const TextItem& t)
{
    QFont font = t.face->font;
    font.setPixelSize(kOutlineEmPx);
    const QFontMetricsF fm(font);
    double cap = fm.capHeight();
    if (!(cap > 0)) cap = fm.ascent() * 0.7;
    outlines_.Trim();
    std::vector<std::pair<const LetterOutlines::Letter*, double>> letters;  // and where each starts
    double adv = 0;
    for (qsizetype i = 0; i < t.text.size();) {
        const qsizetype n =
            t.text[i].isHighSurrogate() && i + 1 < t.text.size() && t.text[i + 1].isLowSurrogate() ? 2 : 1;
        const LetterOutlines::Letter& letter = outlines_.Of(t.face, font, t.text.mid(i, n));
        letters.emplace_back(&letter, adv);
        adv += letter.advance;
        i += n;
    }
    if (!(adv > 0) || !(cap > 0)) return;
    const QTransform onto((t.p1.x() - t.p0.x()) / adv, (t.p1.y() - t.p0.y()) / adv, -(t.p3.x() - t.p0.x()) / cap,
                          -(t.p3.y() - t.p0.y()) / cap, t.p0.x(), t.p0.y());
    const QColor ink(t.rgb);
    // Each letter on its own: the raster engine fills many letters as one
    // area in time that grows faster than their number.
    for (const auto& [letter, x] : letters) {
        const QTransform at = QTransform::fromTranslate(x, 0) * onto;
        const QRectF box = at.mapRect(letter->bounds);
        if (letter->path.isEmpty() || !MeetsBox(bounds_, box.left(), box.top(), box.right(), box.bottom())) continue;
        const QPainterPath cut = OutlineInView(letter->path, at, bounds_);
        if (!cut.isEmpty()) p.fillPath(cut, ink);
    }
}

}  // namespace

class SceneRenderer::Impl {
public:
    friend class SceneRenderer;
    RenderStats Draw(QPainter& painter, const Document& doc, const ViewMapping& mapping,
                     const std::unordered_set<const Entity*>* selected);

private:
    // What a nested entity takes from the references around it.
    struct Inherit {
        int byBlockColor = Color::White;
        const Layer* layer = nullptr;  // the reference's layer, for entities on layer "0"
        bool highlighted = false;
        int depth = 0;
        // The reference's linetype and the scale of its lengths, for entities ByBlock.
        std::uint32_t linetype = 0;
        double linetypeScale = 1;
        // Whether what the reference draws on its own layer shows (the layer is
        // on): on a layer that is off, only its parts on layers of their own draw.
        bool shows = true;
    };

    // `plan`: decided for the sheet the space is seen in (null: for this view
    // alone); `dashPx`: pixels per unit of a linetype's lengths (a sheet's,
    // for model space seen through its viewports).
    void DrawSpace(const Block& space, const ViewMapping& mapping, const QRectF& area, const DrawPlan* plan,
                   double dashPx);
    void DrawEntity(const Entity& e, const Transform& t, const Inherit& in, bool constantAttribute = false);
    void DrawReference(const BlockReference& ref, const Transform& t, const Inherit& child);
    class CopyDrawer;
    // What a reference through `t` draws of `def`, from the copy at its scale
    // (`local`: the view in the definition's coordinates; empty: all of it).
    void DrawCopy(const Block& def, const Transform& t, const Box& local, const Inherit& child);
    // The colour and layer `e` is drawn in, set on the sink, and what its
    // parts inherit from it; false when it is not drawn.
    bool Style(const Entity& e, const Inherit& in, Inherit* child = nullptr);
    // The linetype `e` is drawn in and the scale of its lengths: its own, its
    // layer's (ByLayer: a part on layer "0" takes the reference's layer) or
    // the reference's (ByBlock, at the reference's scale too).
    std::pair<std::uint32_t, double> LinetypeOf(const Entity& e, const Inherit& in) const;
    // Sets on the sink the pattern `e` is drawn in through `t` (none: solid).
    void Dashes(const Entity& e, const Inherit& in, const Transform& t);
    const DashPattern* PatternOf(std::uint32_t linetype);
    void DrawWide(const WideVertices& v, const Transform& t);
    bool DrawWideEntity(const Entity& e, const Transform& t);
    void DrawHatch(const Hatch& h, const Transform& t);
    void DrawSpline(const Spline& s, const Transform& t);
    const FontFace* FaceFor(std::uint32_t styleIndex);
    const Box& ExtentsOf(const Block& space);
    QRgb Rgb(int aci) const { return aci >= 1 && aci <= 255 ? palette_[aci] : palette_[7]; }

    struct SpaceExtents {
        const Document* doc = nullptr;
        std::uint64_t revision = 0, definitions = 0;
        Box box;
    };

    const Document* doc_ = nullptr;
    QPainter* painter_ = nullptr;
    const ViewMapping* m_ = nullptr;
    Box visible_;
    const std::unordered_set<const Entity*>* selected_ = nullptr;
    const BlockReference* top_ = nullptr;  // the reference of the space being drawn
    DrawPlan plan_;                        // of the space being drawn
    int topDepth_ = kWholeDepth;           // how deep top_ is looked into
    std::unordered_map<const Block*, SpaceExtents> extents_;
    QRgb palette_[256];
    // Linetypes: the records ByBlock, ByLayer and Continuous, the global
    // scale, pixels per unit of a pattern's lengths in the space being drawn,
    // and the patterns of this frame by linetype (null: solid).
    std::uint32_t byBlock_ = 0, byLayer_ = 0, continuous_ = 0;
    double ltScale_ = 1, dashPx_ = 1;
    std::vector<std::optional<DashPattern>> patterns_;
    std::vector<char> patternKnown_;
    PaintSink sink_;
    std::vector<PatternPiece> pieces_;  // of the hatch being drawn
};

SceneRenderer::SceneRenderer() : impl_(std::make_unique<Impl>())
{
    for (int i = 0; i < 256; ++i) impl_->palette_[i] = AciColor(i).rgb();
}
SceneRenderer::~SceneRenderer() = default;

RenderStats SceneRenderer::Draw(QPainter& painter, const Document& doc, const ViewMapping& mapping,
                                const std::unordered_set<const Entity*>* selected)
{
    return impl_->Draw(painter, doc, mapping, selected);
}

RenderStats SceneRenderer::Impl::Draw(QPainter& painter, const Document& doc, const ViewMapping& mapping,
                                      const std::unordered_set<const Entity*>* selected)
{
    // What the frame draws from is kept until it is over.
    const ScalesInUse holding;
    doc_ = &doc;
    painter_ = &painter;
    selected_ = selected && !selected->empty() ? selected : nullptr;
    sink_.stats = {};
    const Linetypes& linetypes = doc.Linetypes();
    auto indexOf = [&](const char* name) {
        const Linetype* lt = linetypes.Find(name);
        return lt ? lt->Index() : ~std::uint32_t{0};
    };
    byBlock_ = indexOf("ByBlock");
    byLayer_ = indexOf("ByLayer");
    continuous_ = indexOf("Continuous");
    patterns_.assign(linetypes.RecordCount(), std::nullopt);
    patternKnown_.assign(linetypes.RecordCount(), 0);
    ltScale_ = doc.Variables().LtScale();
    const QRectF area(QPointF(0, 0), mapping.size);
    const Layout& layout = doc.ActiveLayout();
    if (layout.ModelType()) {
        DrawSpace(doc.ModelSpace(), mapping, area, nullptr, mapping.scale);
        return sink_.stats;
    }
    // Seen through a viewport, model space's linetypes keep the sheet's
    // lengths when PSLTSCALE is on: a dash is as long on the sheet whatever
    // the viewport's scale.
    const bool sheetLengths = doc.GetVariable("PSLTSCALE").AsInt() != 0;
    // Model space through each viewport of the sheet, then the sheet itself on
    // top; what they draw is decided for the sheet as a whole.
    struct Port {
        QRectF frame;
        ViewMapping inside;
    };
    std::vector<Port> ports;
    std::vector<SpaceView> views;
    for (const PViewport* vp : doc.Viewports(layout)) {
        if (vp->Data().number == 1 || !vp->ViewportOn() || !vp->Visible()) continue;
        const Layer* l = doc.Layers().ByIndex(vp->LayerIndex());
        if (l && (l->Freeze() || !l->LayerOn())) continue;
        const double hw = vp->Width() / 2, hh = vp->Height() / 2;
        const Point3d c = vp->Center();
        const QRectF frame =
            mapping.PixelRect(Box::FromCorners({c.x - hw, c.y - hh}, {c.x + hw, c.y + hh})).intersected(area);
        if (frame.isEmpty() || !(vp->View().Height() > 0)) continue;
        SpaceView v;
        v.space = &doc.ModelSpace();
        v.frozen = FrozenIn(*vp);
        ports.push_back(Port{frame, mapping.ThroughViewport(*vp)});
        v.view = ports.back().inside.WorldBox(PaintSink::Around(frame));
        v.pxPerUnit = ports.back().inside.scale;
        views.push_back(std::move(v));
    }
    SpaceView sheet;
    sheet.space = &layout.Block();
    sheet.view = mapping.WorldBox(PaintSink::Around(area));
    sheet.pxPerUnit = mapping.scale;
    const std::vector<DrawPlan> plans = PlanSheet(sheet, views);
    for (std::size_t i = 0; i < ports.size(); ++i) {
        painter.save();
        painter.setClipRect(ports[i].frame, Qt::IntersectClip);
        DrawSpace(doc.ModelSpace(), ports[i].inside, ports[i].frame, &plans[i + 1],
                  sheetLengths ? mapping.scale : ports[i].inside.scale);
        painter.restore();
    }
    DrawSpace(layout.Block(), mapping, area, &plans[0], mapping.scale);
    return sink_.stats;
}

void SceneRenderer::Impl::DrawSpace(const Block& space, const ViewMapping& mapping, const QRectF& area,
                                    const DrawPlan* plan, double dashPx)
{
    m_ = &mapping;
    dashPx_ = dashPx;
    sink_.Begin(*painter_, mapping, area);
    visible_ = mapping.WorldBox(sink_.Bounds());
    const Box& extents = ExtentsOf(space);
    const bool all = visible_.Contains(extents);
    if (plan) {
        plan_ = *plan;
    } else {
        // Decided for the whole view, as selections and picks decide it, once a
        // reference asks.
        plan_ = DrawPlan::Deferred(mapping.scale, [&space, view = visible_, px = mapping.scale] {
            SpaceView v;
            v.space = &space;
            v.view = view;
            v.pxPerUnit = px;
            return PlanView(v);
        });
    }
    if (!plan_.Whole()) {
        // A viewport the sheet cannot afford to draw again: the outline of what it looks at.
        sink_.SetStyle(Rgb(Color::White), false);
        sink_.SetDashes(nullptr, 0, false);
        if (!extents.IsEmpty()) EmitOutline(sink_, extents);
    } else {
        // ByBlock, an entity of the space is drawn Continuous.
        Inherit top;
        top.linetype = continuous_;
        if (all) {
            // All of it in view: the drawing order is the block's own, no query needed.
            for (const Entity* e : space) DrawEntity(*e, Transform(), top);
        } else {
            for (const Entity* e : space.QueryBox(visible_)) DrawEntity(*e, Transform(), top);
        }
    }
    sink_.Flush();
}

const Box& SceneRenderer::Impl::ExtentsOf(const Block& space)
{
    // Measured again only after the drawing changed: panning and zooming reuse it.
    if (extents_.size() > 64) extents_.clear();  // spaces of drawings closed long ago
    SpaceExtents& known = extents_[&space];
    if (known.doc != doc_ || known.revision != doc_->Revision() || known.definitions != doc_->DefinitionsRevision()) {
        known.doc = doc_;
        known.revision = doc_->Revision();
        known.definitions = doc_->DefinitionsRevision();
        known.box = space.Extents();
    }
    return known.box;
}

const FontFace* SceneRenderer::Impl::FaceFor(std::uint32_t styleIndex)
{
    return &ScreenFace(TextMetrics::FaceOf(doc_->TextStyles().ByIndex(styleIndex)));
}

void SceneRenderer::Impl::DrawEntity(const Entity& e, const Transform& t, const Inherit& in, bool constantAttribute)
{
    Inherit child;
    if (!Style(e, in, &child)) return;
    child.depth = in.depth + 1;
    Dashes(e, in, t);

    // The common kinds go straight to Emit.
    const std::type_info& type = typeid(e);
    if (type == typeid(Line) || type == typeid(Circle) || type == typeid(Arc) || type == typeid(acad::Point)) {
        e.Emit(sink_, t);
        return;
    }
    if (const BlockReference* ref = e.DrawnReference()) {
        // Nested ones too: out of view, or a dot on screen, it is not looked into.
        const Box ext = ref->BoundsUnder(t);
        if (!ext.IsEmpty() && !ext.Intersects(visible_)) {
        } else if (plan_.IsDot(ext)) {
            if (child.shows) sink_.Point(ext.Center());
        } else {
            bool inside = true;
            if (in.depth == 0) {
                top_ = ref;
                topDepth_ = plan_.DepthOf(*ref);
                if (topDepth_ == kDrawnAlike) {
                    // One before it placed alike drew its pixels: its attributes are its own.
                    if (!child.highlighted) {
                        for (const AttributeReference* a : ref->GetAttributes()) DrawEntity(*a, t, child);
                        inside = false;
                    } else {
                        topDepth_ = kWholeDepth;
                    }
                }
            }
            if (!inside) {
            } else if (in.depth >= topDepth_) {
                sink_.SetDashes(nullptr, 0, false);
                EmitOutline(sink_, ext);
                if (sink_.stats.coarse.empty()) sink_.stats.coarse = top_->Name();
            } else {
                DrawReference(*ref, t, child);
            }
        }
        if (ref == &e || !child.shows) return;
        // A dimension's, a table's or a multileader's own pieces, besides its block.
        sink_.SetStyle(Rgb(child.byBlockColor), child.highlighted);
        Dashes(e, in, t);
        if (const auto* raw = dynamic_cast<const RawEntity*>(&e); raw && raw->Note())
            sink_.SetFace(FaceFor(raw->Note()->Data().style));
        e.Emit(sink_, t);
        return;
    }
    if (const auto* raw = dynamic_cast<const RawEntity*>(&e)) {
        if (!raw->Mask().empty()) {
            // A wipeout hides what was drawn before it, in the order of the drawing.
            std::vector<Point3d> ring;
            for (const Point3d& p : raw->Mask()) ring.push_back(t.Apply(p));
            sink_.Mask(ring, BackgroundColor());
            sink_.SetStyle(Rgb(child.byBlockColor), child.highlighted);
            if (child.highlighted) detail::EmitChain(sink_, Transform(), ring, true);
            return;
        }
        if (raw->Note()) sink_.SetFace(FaceFor(raw->Note()->Data().style));
    }
    if (const auto* text = dynamic_cast<const TextBase*>(&e)) {
        sink_.SetDashes(nullptr, 0, false);
        sink_.SetFace(FaceFor(text->Text().style));
        if (constantAttribute)
            text->TextBase::Emit(sink_, t);  // a constant attribute shows its value, not its tag
        else
            e.Emit(sink_, t);
        return;
    }
    if (const auto* mtext = dynamic_cast<const MText*>(&e)) {
        sink_.SetDashes(nullptr, 0, false);
        sink_.SetFace(FaceFor(mtext->Data().style));
        if (mtext->HasBackgroundFill()) {
            // The fill beneath, in its own colour: the window's, or the one the text names.
            const MTextData& d = mtext->Data();
            QRgb fill = BackgroundColor().rgb();
            if (!(d.background & MTextBackground::Window))
                fill = d.backgroundRgb >= 0
                           ? qRgb((d.backgroundRgb >> 16) & 0xFF, (d.backgroundRgb >> 8) & 0xFF, d.backgroundRgb & 0xFF)
                           : Rgb(d.backgroundColor);
            sink_.SetStyle(fill, false);
            mtext->EmitBackground(sink_, t);
            sink_.SetStyle(Rgb(child.byBlockColor), child.highlighted);
        }
        mtext->EmitContent(sink_, t);
        return;
    }
    if (const auto* dim = dynamic_cast<const DimAligned*>(&e)) {
        sink_.SetFace(FaceFor(dim->Data().style));
        e.Emit(sink_, t);
        return;
    }
    if (const auto* hatch = dynamic_cast<const Hatch*>(&e)) {
        // Its pattern's lines carry their own dashes.
        sink_.SetDashes(nullptr, 0, false);
        DrawHatch(*hatch, t);
        return;
    }
    if (const auto* vp = dynamic_cast<const PViewport*>(&e)) {
        if (vp->Data().number == 1) return;  // the sheet's own view has no frame
    }
    if (const auto* spline = dynamic_cast<const Spline*>(&e)) {
        DrawSpline(*spline, t);
        return;
    }
    if (DrawWideEntity(e, t)) return;
    e.Emit(sink_, t);
}

void SceneRenderer::Impl::DrawSpline(const Spline& s, const Transform& t)
{
    // As many points as the zoom shows (half a pixel), and only the spans that
    // may reach the screen: a long spline seen whole is a few points per pixel.
    const double pxPerUnit = m_->scale * std::max(1e-12, t.ScaleFactor());
    const Box keep = InPlan(visible_, t);
    SampleSplineWithin(s.Data(), 0.5 / pxPerUnit, keep, [&](const std::vector<Point3d>& pts) {
        if (pts.size() == 1) sink_.Point(t.Apply(pts[0]));
        for (std::size_t i = 0; i + 1 < pts.size(); ++i) sink_.Segment(t.Apply(pts[i]), t.Apply(pts[i + 1]));
    });
}

namespace {
// The box of a grid's copy `one` (in the space the grid is placed in) through `t`, in X and Y.
Box CopyBoxAt(const Box& one, const Transform& t)
{
    Box b;
    for (int k = 0; k < 4; ++k)
        b.Add(t.Apply({k & 1 ? one.max.x : one.min.x, k & 2 ? one.max.y : one.min.y, one.min.z}));
    return b;
}
}  // namespace

void SceneRenderer::Impl::DrawReference(const BlockReference& ref, const Transform& t, const Inherit& child)
{
    const Transform inner = t * ref.BlockTransform();
    bool clipped = false;
    if (const auto* xref = dynamic_cast<const ExternalReference*>(&ref); xref && xref->ClipEnabled()) {
        QPolygonF poly;
        for (const Point3d& p : xref->ClipBoundary()) poly.append(m_->ToPixel(inner.Apply(p)));
        QPainterPath path;
        path.addPolygon(poly);
        path.closeSubpath();
        // The clip applies when things are painted: what was gathered so far goes first.
        sink_.Flush();
        painter_->save();
        painter_->setClipPath(path, Qt::IntersectClip);
        clipped = true;
    }
    const Block* def = doc_->Blocks().ByIndex(ref.Data().block);
    const std::vector<AttributeReference*> attributes = ref.GetAttributes();
    // Each copy of a grid in view, drawn as a reference is: a dot when it is smaller than one.
    const bool grid = ref.Copies() > 1;
    const Box one = grid ? ref.CopyBox() : Box();
    auto drawCopy = [&](std::size_t i) {
        const Transform shift = i == 0 ? t : t * Transform::Translation(ref.CopyOffset(i));
        const Transform at = i == 0 ? inner : t * ref.CopyTransform(i);
        if (grid) {
            ++sink_.stats.entities;  // each copy visited
            const Box b = CopyBoxAt(one, shift);
            if (plan_.IsDot(b)) {
                sink_.SetStyle(Rgb(child.byBlockColor), child.highlighted);
                if (child.shows) sink_.Point(b.Center());
                return true;
            }
        }
        if (def) {
            const Box local = InPlan(visible_, at);
            if (Budgeted()) {
                DrawCopy(*def, at, local, child);
            } else {
                // Without a budget, each part as it is.
                const bool cull = def->Count() > kCullDefinitionsAbove;
                for (const Entity* part : *def) {
                    if (const auto* ad = dynamic_cast<const AttributeDefinition*>(part)) {
                        // Only constant attributes draw inside a reference; the others are
                        // drawn by the reference's own attributes.
                        if (ad->Constant() && !ad->Invisible()) DrawEntity(*ad, at, child, true);
                        continue;
                    }
                    if (cull && !local.IsEmpty() && !part->Extents().Intersects(local)) continue;
                    DrawEntity(*part, at, child);
                }
            }
        }
        // Attributes are held in the coordinates of the reference's own space.
        for (const AttributeReference* a : attributes) DrawEntity(*a, shift, child);
        return true;
    };
    if (!grid) {
        drawCopy(0);
    } else if (!Budgeted()) {
        ref.EachCopy(t, {[this] { return visible_; }}, drawCopy);
    } else if (plan_.IsDot(CopyBoxAt(one, t))) {
        // Copies too small to see: the pixels they ink.
        sink_.SetStyle(Rgb(child.byBlockColor), child.highlighted);
        if (child.shows) ref.EmitDots(sink_, t, visible_, m_->scale);
    } else {
        // Copies closer than a pixel: one in so many, each a pixel or less from those it stands for.
        ref.EachCopy(t, {[this] { return visible_; }, 1 / m_->scale}, drawCopy);
    }
    if (clipped) {
        sink_.Flush();
        painter_->restore();
    }
}

// Draws the pieces of a copy of a definition, each in the colour and on the
// layer of its part as DrawEntity gives them.
class SceneRenderer::Impl::CopyDrawer final : public PieceSet::Visitor {
public:
    CopyDrawer(Impl& r, const Transform& t, const Inherit& in) : r_(r), t_(t), in_(in) {}
    bool Begin(const Entity& part, PieceSet::Kind kind) override
    {
        // Parts drawn by their own kind, and references, take their style there.
        if (kind == PieceSet::Kind::Wholes || kind == PieceSet::Kind::References) {
            styled_ = false;
            return true;
        }
        // The style is set again only where it changes.
        const DrawnStyleKey style = DrawnStyle(part);
        const bool highlighted = part.IsHighlighted();
        if (!styled_ || style != style_ || highlighted != highlighted_) {
            styled_ = true;
            style_ = style;
            highlighted_ = highlighted;
            drawn_ = r_.Style(part, in_);
        }
        if (!drawn_) return false;
        // Each part's pattern starts at its own start.
        if (kind == PieceSet::Kind::Texts)
            r_.sink_.SetDashes(nullptr, 0, false);
        else
            r_.Dashes(part, in_, t_);
        if (const auto* text = dynamic_cast<const TextBase*>(&part))
            r_.sink_.SetFace(r_.FaceFor(text->Text().style));
        else if (const auto* mtext = dynamic_cast<const MText*>(&part))
            r_.sink_.SetFace(r_.FaceFor(mtext->Data().style));
        else if (const auto* dim = dynamic_cast<const DimAligned*>(&part))
            r_.sink_.SetFace(r_.FaceFor(dim->Data().style));
        return true;
    }
    void End(const Entity&) override {}
    GeometrySink& Sink() override { return r_.sink_; }
    void Whole(const Entity& part) override { r_.DrawEntity(part, t_, in_); }
    void Reference(const BlockReference& ref) override { r_.DrawEntity(ref, t_, in_); }

private:
    Impl& r_;
    const Transform& t_;
    const Inherit& in_;
    bool styled_ = false, drawn_ = false, highlighted_ = false;
    DrawnStyleKey style_;
};

void SceneRenderer::Impl::DrawCopy(const Block& def, const Transform& t, const Box& local, const Inherit& child)
{
    // The copy simplified to half a pixel at the scale it is drawn at: what
    // lies in view of it.
    const PieceSet& copy = KeptDefinition::Of(def).Drawn(OctaveOf(m_->scale * MaxScale(t)));
    CopyDrawer drawer(*this, t, child);
    copy.Walk(local.IsEmpty() || !local.IsFinite() ? Box() : local, t, drawer);
}

bool SceneRenderer::Impl::Style(const Entity& e, const Inherit& in, Inherit* child)
{
    if (!IsDrawn(e, in.layer != nullptr, plan_.FrozenHere(), in.layer)) return false;
    // Parts on layer "0" take the layer of the reference that holds them.
    const Layer* layer = DrawnLayer(e, in.layer);
    int color = e.Color();
    if (color == Color::ByLayer) color = layer ? std::abs(layer->Color()) : Color::White;
    if (color == Color::ByBlock) color = in.byBlockColor;
    const bool highlighted = in.highlighted || e.IsHighlighted() || (selected_ && selected_->count(&e));
    ++sink_.stats.entities;
    sink_.SetStyle(Rgb(color), highlighted);
    if (child) {
        const auto [linetype, scale] = LinetypeOf(e, in);
        *child = Inherit{color, layer, highlighted, in.depth, linetype, scale, !layer || layer->LayerOn()};
    }
    return true;
}

std::pair<std::uint32_t, double> SceneRenderer::Impl::LinetypeOf(const Entity& e, const Inherit& in) const
{
    std::uint32_t linetype = e.LinetypeIndex();
    double scale = e.LinetypeScale();
    if (linetype == byLayer_) {
        const Layer* layer = DrawnLayer(e, in.layer);
        linetype = layer ? layer->LinetypeIndex() : continuous_;
    } else if (linetype == byBlock_) {
        linetype = in.linetype;
        scale *= in.linetypeScale;
    }
    return {linetype, scale};
}

const DashPattern* SceneRenderer::Impl::PatternOf(std::uint32_t linetype)
{
    if (linetype >= patterns_.size()) return nullptr;
    if (!patternKnown_[linetype]) {
        patternKnown_[linetype] = 1;
        if (const Linetype* lt = doc_->Linetypes().ByIndex(linetype); lt && !lt->IsErased())
            if (DashPattern p(lt->Pattern()); !p.Solid()) patterns_[linetype] = std::move(p);
    }
    return patterns_[linetype] ? &*patterns_[linetype] : nullptr;
}

void SceneRenderer::Impl::Dashes(const Entity& e, const Inherit& in, const Transform& t)
{
    const auto [linetype, scale] = LinetypeOf(e, in);
    const DashPattern* pattern = PatternOf(linetype);
    if (!pattern) {
        sink_.SetDashes(nullptr, 0, false);
        return;
    }
    // A polyline's pattern starts again at each vertex, unless it is
    // generated along the whole polyline.
    bool restartEach = false;
    if (const auto* lw = dynamic_cast<const LWPolyline*>(&e))
        restartEach = !lw->Data().linetypeGeneration;
    else if (const auto* pl = dynamic_cast<const Polyline2D*>(&e))
        restartEach = !pl->Data().linetypeGeneration && pl->Data().fitPoints.empty();
    else if (const auto* p3 = dynamic_cast<const Polyline3D*>(&e))
        restartEach = p3->Data().fitPoints.empty();
    sink_.SetDashes(pattern, scale * ltScale_ * t.ScaleFactor() * dashPx_, restartEach);
}

bool SceneRenderer::Impl::DrawWideEntity(const Entity& e, const Transform& t)
{
    WideVertices v;
    Transform placed;
    const BulgePolyline* centre = nullptr;
    BulgePolyline frame;
    if (const auto* lw = dynamic_cast<const LWPolyline*>(&e)) {
        v = lw->Wide();
        placed = lw->Data().extrusion.Through(t);
        centre = &lw->Data().geometry;
    } else if (const auto* pl = dynamic_cast<const Polyline2D*>(&e); pl && pl->Data().fitPoints.empty()) {
        v = pl->Wide();
        placed = pl->Data().extrusion.Through(t);
    } else {
        return false;
    }
    // Decided as the count decides it, before any vertex is read: thinner
    // than a couple of pixels the width does not show, and the centre line
    // alone is drawn.
    if (!(WidestDrawn(e) * m_->scale * placed.ScaleFactor() >= kWidePx)) {
        if (!centre) {
            frame = static_cast<const Polyline2D&>(e).Frame();
            centre = &frame;
        }
        detail::EmitBulgePolyline(sink_, placed, *centre);
        return true;
    }
    DrawWide(v, placed);
    return true;
}

namespace {

// The pieces of a wide polyline as pixels: each band, each of an arc band's
// steps (as many as its centre line would be drawn in) and each corner an
// area of its own, so that the frame's work and memory follow the pieces
// however the polyline lies over itself.
class PixelPieces final : public WideSink {
public:
    PixelPieces(PaintSink& sink, const ViewMapping& m, const Transform& t, double pxPerUnit)
        : sink_(sink), m_(m), t_(t), identity_(t.IsIdentity()), px_(pxPerUnit)
    {
    }
    void Band(std::size_t, const Point3d q[4]) override
    {
        const QPointF p[4] = {Px(q[0]), Px(q[1]), Px(q[2]), Px(q[3])};
        sink_.Piece(p, 4);
    }
    void ArcBand(std::size_t, const CircularArc& arc, bool fromStart, double fromWidth, double toWidth) override
    {
        const double sweep = arc.Sweep();
        const int k = ArcChords(arc.radius * px_, sweep);
        const double w0 = fromStart ? fromWidth : toWidth, w1 = fromStart ? toWidth : fromWidth;
        // Each step's sides turned by one rotation from the last: a sine and
        // cosine per arc, not per step.
        const double ct = std::cos(sweep / k), st = std::sin(sweep / k);
        double ux = std::cos(arc.startAngle), uy = std::sin(arc.startAngle);
        auto side = [&](double u, double sign) {
            const double r = std::max(0.0, arc.radius + sign * (w0 + (w1 - w0) * u) / 2);
            return Px({arc.center.x + r * ux, arc.center.y + r * uy, arc.center.z});
        };
        outer_.assign(1, side(0, 1));
        inner_.assign(1, side(0, -1));
        for (int j = 1; j <= k; ++j) {
            const double vx = ux * ct - uy * st;
            uy = ux * st + uy * ct;
            ux = vx;
            if (j == k) {
                ux = std::cos(arc.startAngle + sweep);
                uy = std::sin(arc.startAngle + sweep);
            }
            const double u = static_cast<double>(j) / k;
            outer_.push_back(side(u, 1));
            inner_.push_back(side(u, -1));
        }
        // Stretches between the turns of the band's height (and of at most
        // kStripPoints points) are filled whole: each row crosses them once.
        auto way = [](double dy) { return dy > 0 ? 1 : dy < 0 ? -1 : 0; };
        std::size_t from = 0;
        int heading = 0;
        for (std::size_t j = 0; j < static_cast<std::size_t>(k); ++j) {
            const int o = way(outer_[j + 1].y() - outer_[j].y()), i = way(inner_[j + 1].y() - inner_[j].y());
            const bool turns = (o != 0 && heading != 0 && o != heading) || (i != 0 && heading != 0 && i != heading) ||
                               (o != 0 && i != 0 && o != i);
            if (turns || 2 * (j - from + 2) > static_cast<std::size_t>(kStripPoints)) {
                StripOf(from, j);
                from = j;
                heading = 0;
            }
            if (heading == 0) heading = o != 0 ? o : i;
        }
        StripOf(from, static_cast<std::size_t>(k));
    }
    void Join(std::size_t, const Point3d* ring, int n) override
    {
        QPointF p[5];
        for (int k = 0; k < n; ++k) p[k] = Px(ring[k]);
        // A corner that reaches less than half a pixel past its bands' ends
        // changes no pixel the eye would miss (most of a smooth curve's).
        const QPointF out = p[2] - p[1];
        if (out.x() * out.x() + out.y() * out.y() < 0.25) return;
        sink_.Piece(p, n);
    }

private:
    QPointF Px(const Point3d& p) const { return m_.ToPixel(identity_ ? p : t_.Apply(p)); }
    // The band's steps `from` to `to` as one strip, or step by step when it
    // would have to be cut to the window.
    void StripOf(std::size_t from, std::size_t to)
    {
        if (to <= from) return;
        QPointF ring[kStripPoints];
        int n = 0;
        for (std::size_t j = from; j <= to; ++j) ring[n++] = outer_[j];
        for (std::size_t j = to + 1; j-- > from;) ring[n++] = inner_[j];
        if (sink_.Strip(ring, n)) return;
        for (std::size_t j = from; j < to; ++j) {
            const QPointF p[4] = {outer_[j], outer_[j + 1], inner_[j + 1], inner_[j]};
            sink_.Piece(p, 4);
        }
    }
    std::vector<QPointF> outer_, inner_;
    PaintSink& sink_;
    const ViewMapping& m_;
    const Transform& t_;
    bool identity_;
    double px_;
};

}  // namespace

void SceneRenderer::Impl::DrawWide(const WideVertices& v, const Transform& t)
{
    const std::size_t n = v.count, segments = v.SegmentCount();
    if (segments == 0) {
        if (n == 1) sink_.Point(t.Apply(v[0].point));
        return;
    }
    const double pxPerUnit = m_->scale * t.ScaleFactor();
    // What is in view, in the polyline's own coordinates: a segment whose
    // band and corners lie wholly away from it is passed over.
    const Box local = InPlan(visible_, t);
    sink_.BeginPieces();
    PixelPieces pieces(sink_, *m_, t, pxPerUnit);
    // Runs of segments in view are walked whole (a corner's neighbour is then
    // at hand); the ones in between are passed over.
    std::size_t run = segments;
    for (std::size_t i = 0; i < segments; ++i) {
        const WideVertex a = v[i];
        const Point3d b = v[(i + 1) % n].point;
        const double widest = std::max(a.startWidth, a.endWidth);
        if (!local.IsEmpty()) {
            // The arc lies within half its chord and its height of the chord's
            // middle; a corner within the mitre limit of the vertex.
            const double chord = std::fabs(b.x - a.point.x) + std::fabs(b.y - a.point.y);
            const double reach = chord / 2 * (1 + std::fabs(a.bulge)) + (kMitreLimit + 1) * std::max(0.0, widest);
            if (std::isfinite(reach) && !Box::Around(Midpoint(a.point, b), reach).Intersects(local)) {
                if (run < i) WideOutline(v, run, i - 1, pieces);
                run = segments;
                continue;
            }
        }
        if (run == segments) run = i;
        // A piece without width inside a wide polyline: a thin line or arc.
        if (!(widest > 0)) detail::EmitBulgePolyline(sink_, t, BulgePolyline{{{a.point, a.bulge}, {b, 0.0}}, false});
    }
    if (run < segments) WideOutline(v, run, segments - 1, pieces);
}

void SceneRenderer::Impl::DrawHatch(const Hatch& h, const Transform& reference)
{
    // In the plane of its extrusion, where its loops and pattern lines lie.
    const Transform t = h.Placed(reference);
    const std::vector<std::vector<Point3d>> rings = h.FillRings(t, 0.5 / m_->scale);
    if (rings.empty()) return;
    // A pattern known by name only is shown as a diagonal hatching of the screen.
    Qt::BrushStyle style = h.Data().solid ? Qt::SolidPattern : Qt::BDiagPattern;
    double alpha = 1.0;
    if (h.HasPatternLines()) {
        // Its own lines, those that cross the view.
        pieces_.clear();
        if (h.PatternPieces(rings, t, m_->scale, visible_, pieces_)) {
            for (const PatternPiece& p : pieces_) {
                if (p.a == p.b)
                    sink_.Point(p.a);
                else
                    sink_.Segment(p.a, p.b);
            }
            return;
        }
        // Too close to tell apart: a tint as dark as they ink the area.
        style = Qt::SolidPattern;
        alpha = std::clamp(h.PatternCover(t, m_->scale), 0.25, 1.0);
    }
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const std::vector<Point3d>& ring : rings) {
        QPolygonF poly;
        poly.reserve(static_cast<int>(ring.size()));
        for (const Point3d& p : ring) poly.append(m_->ToPixel(p));
        path.addPolygon(poly);
        path.closeSubpath();
    }
    sink_.FillPath(path, style, alpha);
}

}  // namespace acad::ui
