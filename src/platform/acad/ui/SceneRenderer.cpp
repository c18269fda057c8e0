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
        auto inside = [&](const QPointF& p) {
            switch (side) {
            case 0: return p.x() >= r.left();
            case 1: return p.x() <= r.right();
            case 2: return p.y() >= r.top();
            default: return p.y() <= r.bottom();
            }
        };
        auto cross = [&](const QPointF& p, const QPointF& q) {
            const double t = side == 0   ? (r.left() - p.x()) / (q.x() - p.x())
                             : side == 1 ? (r.right() - p.x()) / (q.x() - p.x())
                             : side == 2 ? (r.top() - p.y()) / (q.y() - p.y())
                                         : (r.bottom() - p.y()) / (q.y() - p.y());
            return QPointF(p.x() + t * (q.x() - p.x()), p.y() + t * (q.y() - p.y()));
        };
        int m = 0;
        for (int i = 0; i < count; ++i) {
            const QPointF& p = src[i];
            const QPointF& q = src[(i + 1) % count];
            const bool pin = inside(p), qin = inside(q);
            if (pin) dst[m++] = p;
            if (pin != qin) dst[m++] = cross(p, q);
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
        const QRect box = local.mapRect(fm.boundingRect(text)).adjusted(-2, -2, 2, 2).toAlignedRect();
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

// The most points of a piece of a wide polyline filled as one: a strip of
// an arc's band, 31 of its steps.
constexpr int kStripPoints = 64;
constexpr std::uint8_t kStripFlag = 0x80;

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

class PaintSink final : public GeometrySink {
public:
    void Begin(QPainter& painter, const ViewMapping& mapping, const QRectF& area)
    {
        painter_ = &painter;
        m_ = &mapping;
        area_ = area;
        bounds_ = Around(area);
        current_ = nullptr;
        chords_ = 0;
    }
    // Pieces just outside an area still get drawn so that wide pens reach its border.
    static QRectF Around(const QRectF& area) { return area.adjusted(-4, -4, 4, 4); }
    void SetStyle(QRgb rgb, bool highlighted)
    {
        if (current_ && current_->rgb == rgb && current_->highlighted == highlighted) return;
        const std::uint64_t key = (static_cast<std::uint64_t>(highlighted) << 32) | rgb;
        auto it = index_.find(key);
        if (it == index_.end()) {
            it = index_.emplace(key, buckets_.size()).first;
            buckets_.push_back(Bucket{rgb, highlighted, {}, {}});
        }
        current_ = &buckets_[it->second];
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
        current_->points.push_back(q);
        ++stats.points;
    }
    void Segment(const Point3d& a, const Point3d& b) override { Line(m_->ToPixel(a), m_->ToPixel(b)); }
    // A construction line or a ray, to the edges of the view.
    void Ray(const Point3d& base, const Vector3d& direction, bool bothWays) override
    {
        const QPointF a = m_->ToPixel(base), b = m_->ToPixel(base + direction);
        const Box box = Box::FromCorners({bounds_.left(), bounds_.top()}, {bounds_.right(), bounds_.bottom()});
        Point3d from, to;
        if (!ClipRay({a.x(), a.y()}, {b.x() - a.x(), b.y() - a.y()}, bothWays, box, from, to)) {
            ++stats.culled;
            return;
        }
        Line(QPointF(from.x, from.y), QPointF(to.x, to.y));
    }
    // The references are walked by the renderer itself, under the plan.
    bool BeginReference(const BlockReference&, const Transform&) override { return false; }
    // An area painted over what was drawn before it (a wipeout), in the background's colour.
    void Mask(const std::vector<Point3d>& ring, const QColor& background)
    {
        if (ring.size() < 3) return;
        QPolygonF poly;
        for (const auto& p : ring) poly.append(m_->ToPixel(p));
        if (!poly.boundingRect().intersects(bounds_)) return;
        Flush();
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setPen(Qt::NoPen);
        painter_->setBrush(background);
        painter_->drawPolygon(poly);
        painter_->setBrush(Qt::NoBrush);
        stats.areas += ring.size();
    }
    void Line(QPointF a, QPointF b)
    {
        if (!ClipSegment(a, b, bounds_)) {
            ++stats.culled;
            return;
        }
        current_->lines.emplace_back(a, b);
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
        if (!path.controlPointRect().intersects(bounds_)) return;
        fills_.push_back(FillItem{path, current_->rgb, style, current_->highlighted, alpha, 0, 0});
        stats.areas += static_cast<std::size_t>(path.elementCount());
    }
    // Before the pieces of one wide polyline: they are filled straight into
    // the image as they come when nothing the painter does would change them
    // and no area gathered before them waits to go under them.
    void BeginPieces();
    // A small convex area in pixels (a piece of a wide polyline: at most 12
    // points), in the current colour. Each is filled on its own, so that many
    // lying over one another cost what each does; cut to the area first, so
    // that no far coordinate reaches the raster engine.
    void Piece(const QPointF* pts, int n);
    // An area of at most kStripPoints points that each row of pixels crosses
    // once (a stretch of an arc's band between the turns of its height): as
    // Piece, but false, drawing nothing, when it would have to be cut.
    bool Strip(const QPointF* pts, int n);

    // Draws what was collected: areas under lines, lines, dots, then letters.
    void Flush();

    RenderStats stats;

private:
    struct Bucket {
        QRgb rgb;
        bool highlighted;
        std::vector<QLineF> lines;
        std::vector<QPointF> points;
    };
    struct TextItem {
        QString text;
        QPointF p0, p1, p3;  // baseline start, baseline end, top of the start
        QRgb rgb;
        bool highlighted;
        const FontFace* face;
    };
    struct FillItem {
        QPainterPath path;
        QRgb rgb;
        Qt::BrushStyle style;
        bool highlighted;
        double alpha;
        // Or pieces: `pieces` of them from the `firstPiece`-th on.
        std::size_t firstPiece;
        std::size_t pieces;
    };
    void ArcPiece(const QPointF& c, double r, double start, double sweep);

    QPainter* painter_ = nullptr;
    const ViewMapping* m_ = nullptr;
    QRectF area_, bounds_;
    std::vector<Bucket> buckets_;
    std::unordered_map<std::uint64_t, std::size_t> index_;
    Bucket* current_ = nullptr;
    const FontFace* face_ = nullptr;
    std::size_t chords_ = 0;  // of arcs in this space
    std::vector<TextItem> texts_;
    std::vector<FillItem> fills_;
    std::vector<QPointF> piecePoints_;
    // Points of each piece; kStripFlag marks a strip (not convex).
    std::vector<std::uint8_t> pieceSizes_;
    void Queue(const QPointF* pts, int n, std::uint8_t flag);
    std::optional<DirectImage> immediate_;
    TextImages textImages_;
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
        if (to > from) ArcPiece(c, r, arc.startAngle + from, to - from);
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
        Line(prev, q);
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
    const double h = std::hypot(p3.x() - p0.x(), p3.y() - p0.y());
    const double w = std::hypot(p1.x() - p0.x(), p1.y() - p0.y());
    const TextLook look = TextLookOf(h, w);
    if (look == TextLook::Dot) {
        Dot(box.center());
        return;
    }
    const FontFace* face = t.face >= 0 && t.face < static_cast<int>(TextMetrics::kFaceCount)
                               ? &ScreenFace(static_cast<TextMetrics::Face>(t.face))
                               : face_;
    if (look == TextLook::Box || !face) {
        Line(p0, p1);
        Line(p1, p2);
        Line(p2, p3);
        Line(p3, p0);
        return;
    }
    texts_.push_back(TextItem{QString::fromUtf8(t.text.data(), static_cast<qsizetype>(t.text.size())), p0, p1, p3,
                              current_->rgb, current_->highlighted, face});
    stats.letters += static_cast<std::size_t>(texts_.back().text.size());
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
void StepLines(const DirectImage& target, const std::vector<QLineF>& lines, QRgb rgb)
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
    for (const QLineF& l : lines) {
        double ax = l.x1() + target.shift.x(), ay = l.y1() + target.shift.y();
        double bx = l.x2() + target.shift.x(), by = l.y2() + target.shift.y();
        if (ax == bx && ay == by) {
            put(std::lround(ax), std::lround(ay));  // a point
            continue;
        }
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
        const std::int64_t inc = (n2 - n1) * 65536 / (m2 - m1);
        std::int64_t n = n1 * 1024 - (inc >> 1);
        m1 -= 32;
        m2 += 32;
        const std::int64_t first = (m1 + 32) >> 6, stop = (m2 + 32) >> 6;
        n += ((first * 64) + (inc > 0 ? 32 : 0) - m1) * inc >> 6;
        for (std::int64_t m = first; m < stop; ++m, n += inc) {
            if (steep)
                put(n >> 16, m);
            else
                put(m, n >> 16);
        }
    }
}

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
    if (immediate_) {
        FillMonotone(*immediate_, pts, n, current_->rgb);
        return true;
    }
    Queue(pts, n, kStripFlag);
    return true;
}

void PaintSink::Queue(const QPointF* pts, int n, std::uint8_t flag)
{
    if (fills_.empty() || fills_.back().pieces == 0 || fills_.back().rgb != current_->rgb ||
        fills_.back().highlighted != current_->highlighted)
        fills_.push_back(
            FillItem{{}, current_->rgb, Qt::SolidPattern, current_->highlighted, 1.0, pieceSizes_.size(), 0});
    ++fills_.back().pieces;
    pieceSizes_.push_back(static_cast<std::uint8_t>(n | flag));
    piecePoints_.insert(piecePoints_.end(), pts, pts + n);
}

void PaintSink::BeginPieces()
{
    const bool waiting = std::any_of(fills_.begin(), fills_.end(), [](const FillItem& f) { return f.pieces == 0; });
    immediate_ = waiting || current_->highlighted ? std::nullopt : DirectImageOf(*painter_);
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
    if (immediate_) {
        FillMonotone(*immediate_, pts, n, current_->rgb);
        return;
    }
    Queue(pts, n, 0);
}

void PaintSink::Flush()
{
    QPainter& p = *painter_;
    const QTransform base = p.worldTransform();
    p.setRenderHint(QPainter::Antialiasing, false);
    const std::optional<DirectImage> filledDirect = piecePoints_.empty() ? std::nullopt : DirectImageOf(p);
    std::size_t at = 0;  // the first point of the next piece
    for (const FillItem& f : fills_) {
        QColor c(f.rgb);
        if (f.pieces == 0) {
            c.setAlphaF(static_cast<float>(f.alpha));
            p.fillPath(f.path, QBrush(c, f.highlighted ? Qt::Dense4Pattern : f.style));
            continue;
        }
        const std::size_t end = f.firstPiece + f.pieces;
        if (filledDirect && !f.highlighted) {
            for (std::size_t k = f.firstPiece; k < end; ++k) {
                const int n = pieceSizes_[k] & ~kStripFlag;
                FillMonotone(*filledDirect, piecePoints_.data() + at, n, f.rgb);
                at += static_cast<std::size_t>(n);
            }
            continue;
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QBrush(c, f.highlighted ? Qt::Dense4Pattern : Qt::SolidPattern));
        for (std::size_t k = f.firstPiece; k < end; ++k) {
            const int n = pieceSizes_[k] & ~kStripFlag;
            if (pieceSizes_[k] & kStripFlag)
                p.drawPolygon(piecePoints_.data() + at, n);
            else
                p.drawConvexPolygon(piecePoints_.data() + at, n);
            at += static_cast<std::size_t>(n);
        }
        p.setBrush(Qt::NoBrush);
    }
    fills_.clear();
    piecePoints_.clear();
    pieceSizes_.clear();
    // An ordinary frame is drawn by the raster engine; one whose solid lines
    // would ink many screens over is stepped straight into its image.
    std::optional<DirectImage> direct;
    double pixels = 0;
    for (const Bucket& b : buckets_)
        if (!b.highlighted && pixels <= kSteppedLinePixels) pixels += LinePixels(b.lines);
    if (pixels > kSteppedLinePixels) direct = DirectImageOf(p);
    for (Bucket& b : buckets_) {
        if (b.lines.empty() && b.points.empty()) continue;
        const QColor c(b.rgb);
        if (!b.lines.empty()) {
            if (direct && !b.highlighted) {
                StepLines(*direct, b.lines, b.rgb);
                stats.stepped += b.lines.size();
            } else {
                p.setPen(QPen(c, 0, b.highlighted ? Qt::DashLine : Qt::SolidLine));
                p.drawLines(b.lines.data(), static_cast<int>(b.lines.size()));
            }
            b.lines.clear();
        }
        if (!b.points.empty()) {
            p.setPen(QPen(c, 2, Qt::SolidLine, Qt::SquareCap));
            p.drawPoints(b.points.data(), static_cast<int>(b.points.size()));
            b.points.clear();
        }
    }
    // What the device adds past the painter's world transform (a screen's pixel ratio).
    p.setWorldTransform(QTransform());
    const QTransform rest = p.deviceTransform();
    for (const TextItem& t : texts_) {
        const double h = std::hypot(t.p3.x() - t.p0.x(), t.p3.y() - t.p0.y());
        QFont font = t.face->font;
        font.setPixelSize(std::clamp(static_cast<int>(std::lround(h / t.face->capRatio)), 1, 512));
        const QFontMetricsF fm(font);
        double cap = fm.capHeight();
        if (!(cap > 0)) cap = fm.ascent() * 0.7;
        const double adv = fm.horizontalAdvance(t.text);
        if (!(adv > 0) || !(cap > 0)) continue;
        // The letters are stretched onto the text's box: baseline from p0 to p1,
        // cap height up to p3, whatever the rotation, mirroring or slant.
        const QTransform onto((t.p1.x() - t.p0.x()) / adv, (t.p1.y() - t.p0.y()) / adv, -(t.p3.x() - t.p0.x()) / cap,
                              -(t.p3.y() - t.p0.y()) / cap, t.p0.x(), t.p0.y());
        const QTransform toDevice = onto * base * rest;
        const double px = font.pixelSize();
        const bool large = px * px * std::fabs(toDevice.determinant()) >= kKeptGlyphPx * kKeptGlyphPx;
        const bool kept = large && textImages_.Draw(p, rest, t.text, font, fm, t.rgb, toDevice);
        p.setWorldTransform(onto * base);
        if (!kept) {
            p.setFont(font);
            p.setPen(QColor(t.rgb));
            p.drawText(QPointF(0, 0), t.text);
        }
        if (t.highlighted) {
            p.setPen(QPen(QColor(t.rgb), 0, Qt::DashLine));
            p.drawRect(QRectF(0, -cap, adv, cap));
        }
        ++stats.texts;
    }
    p.setWorldTransform(base);
    texts_.clear();
    textImages_.EndFlush();
    current_ = nullptr;
    index_.clear();
    buckets_.clear();
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
    };

    // `plan`: decided for the sheet the space is seen in (null: for this view alone).
    void DrawSpace(const Block& space, const ViewMapping& mapping, const QRectF& area, const DrawPlan* plan);
    void DrawEntity(const Entity& e, const Transform& t, const Inherit& in, bool constantAttribute = false);
    void DrawReference(const BlockReference& ref, const Transform& t, const Inherit& child);
    class CopyDrawer;
    // What a reference through `t` draws of `def`, from the copy at its scale
    // (`local`: the view in the definition's coordinates; empty: all of it).
    void DrawCopy(const Block& def, const Transform& t, const Box& local, const Inherit& child);
    // The colour and layer `e` is drawn in, set on the sink, and what its
    // parts inherit from it; false when it is not drawn.
    bool Style(const Entity& e, const Inherit& in, Inherit* child = nullptr);
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
    doc_ = &doc;
    painter_ = &painter;
    selected_ = selected && !selected->empty() ? selected : nullptr;
    sink_.stats = {};
    const QRectF area(QPointF(0, 0), mapping.size);
    const Layout& layout = doc.ActiveLayout();
    if (layout.ModelType()) {
        DrawSpace(doc.ModelSpace(), mapping, area, nullptr);
        return sink_.stats;
    }
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
        DrawSpace(doc.ModelSpace(), ports[i].inside, ports[i].frame, &plans[i + 1]);
        painter.restore();
    }
    DrawSpace(layout.Block(), mapping, area, &plans[0]);
    return sink_.stats;
}

void SceneRenderer::Impl::DrawSpace(const Block& space, const ViewMapping& mapping, const QRectF& area,
                                    const DrawPlan* plan)
{
    m_ = &mapping;
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
        if (!extents.IsEmpty()) EmitOutline(sink_, extents);
    } else if (all) {
        // All of it in view: the drawing order is the block's own, no query needed.
        for (const Entity* e : space) DrawEntity(*e, Transform(), Inherit{});
    } else {
        for (const Entity* e : space.QueryBox(visible_)) DrawEntity(*e, Transform(), Inherit{});
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
            sink_.Point(ext.Center());
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
                EmitOutline(sink_, ext);
                if (sink_.stats.coarse.empty()) sink_.stats.coarse = top_->Name();
            } else {
                DrawReference(*ref, t, child);
            }
        }
        if (ref == &e) return;
        // A dimension's, a table's or a multileader's own pieces, besides its block.
        sink_.SetStyle(Rgb(child.byBlockColor), child.highlighted);
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
        sink_.SetFace(FaceFor(text->Text().style));
        if (constantAttribute)
            text->TextBase::Emit(sink_, t);  // a constant attribute shows its value, not its tag
        else
            e.Emit(sink_, t);
        return;
    }
    if (const auto* mtext = dynamic_cast<const MText*>(&e)) {
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
                sink_.Point(b.Center());
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
        ref.EmitDots(sink_, t, visible_, m_->scale);
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
        const std::uint64_t style = DrawnStyle(part);
        const bool highlighted = part.IsHighlighted();
        if (!styled_ || style != style_ || highlighted != highlighted_) {
            styled_ = true;
            style_ = style;
            highlighted_ = highlighted;
            drawn_ = r_.Style(part, in_);
        }
        if (!drawn_) return false;
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
    std::uint64_t style_ = 0;
};

void SceneRenderer::Impl::DrawCopy(const Block& def, const Transform& t, const Box& local, const Inherit& child)
{
    // The copy simplified to half a pixel at the scale it is drawn at: what
    // lies in view of it.
    const PieceSet& copy = KeptDefinition::Of(def).Copy(OctaveOf(m_->scale * MaxScale(t)));
    CopyDrawer drawer(*this, t, child);
    copy.Walk(local.IsEmpty() || !local.IsFinite() ? Box() : local, t, drawer);
}

bool SceneRenderer::Impl::Style(const Entity& e, const Inherit& in, Inherit* child)
{
    if (!IsDrawn(e, in.layer != nullptr, plan_.FrozenHere())) return false;
    const Layer* own = doc_->Layers().ByIndex(e.LayerIndex());
    // Parts on layer "0" take the layer of the reference that holds them.
    const Layer* layer = in.layer && own && own->IsZero() ? in.layer : own;
    int color = e.Color();
    if (color == Color::ByLayer) color = layer ? std::abs(layer->Color()) : Color::White;
    if (color == Color::ByBlock) color = in.byBlockColor;
    const bool highlighted = in.highlighted || e.IsHighlighted() || (selected_ && selected_->count(&e));
    ++sink_.stats.entities;
    sink_.SetStyle(Rgb(color), highlighted);
    if (child) *child = Inherit{color, layer, highlighted, in.depth};
    return true;
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
