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
#include "platform/acad/Hatch.h"
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
    double t0 = 0.0, t1 = 1.0;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const QPointF a0 = a;
    if (t1 < 1.0) b = QPointF(a0.x() + t1 * dx, a0.y() + t1 * dy);
    if (t0 > 0.0) a = QPointF(a0.x() + t0 * dx, a0.y() + t0 * dy);
    return true;
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
    // An area in pixels, in the current colour.
    void FillPath(const QPainterPath& path, Qt::BrushStyle style)
    {
        if (!path.controlPointRect().intersects(bounds_)) return;
        fills_.push_back(FillItem{path, current_->rgb, style, current_->highlighted});
        stats.areas += static_cast<std::size_t>(path.elementCount());
    }

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

// The image a painter draws straight into, with the shift of its device
// transform, when nothing of the painter's own (clip, scaling, blending) would
// change a solid line's pixels.
struct DirectImage {
    QImage* image = nullptr;
    QPointF shift;
};

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
    return DirectImage{image, QPointF(t.dx(), t.dy())};
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

void PaintSink::Flush()
{
    QPainter& p = *painter_;
    const QTransform base = p.worldTransform();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const FillItem& f : fills_) {
        const QColor c(f.rgb);
        p.fillPath(f.path, QBrush(c, f.highlighted ? Qt::Dense4Pattern : f.style));
    }
    fills_.clear();
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

// The point at fraction `u` of a polyline's arc piece that starts at `from`
// (the arc runs either way between the vertices, as the bulge's sign says).
Point3d PointAlong(const CircularArc& arc, const Point3d& from, double u)
{
    const bool forward = Distance2d(arc.StartPoint(), from) <= Distance2d(arc.EndPoint(), from);
    return arc.PointAt(arc.startAngle + arc.Sweep() * (forward ? u : 1 - u));
}

// One vertex of a polyline that has widths.
struct WideVertex {
    Point3d point;
    double bulge = 0.0;
    double startWidth = 0.0;
    double endWidth = 0.0;
};

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
    bool DrawWide(const std::vector<WideVertex>& vertices, bool closed, const Transform& t);
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
    if (!IsDrawn(e, in.layer != nullptr, plan_.FrozenHere())) return;
    const Layer* own = doc_->Layers().ByIndex(e.LayerIndex());
    // Parts on layer "0" take the layer of the reference that holds them.
    const Layer* layer = in.layer && own && own->IsZero() ? in.layer : own;
    int color = e.Color();
    if (color == Color::ByLayer) color = layer ? std::abs(layer->Color()) : Color::White;
    if (color == Color::ByBlock) color = in.byBlockColor;
    const bool highlighted = in.highlighted || e.IsHighlighted() || (selected_ && selected_->count(&e));
    ++sink_.stats.entities;
    sink_.SetStyle(Rgb(color), highlighted);

    // The common kinds go straight to Emit.
    const std::type_info& type = typeid(e);
    if (type == typeid(Line) || type == typeid(Circle) || type == typeid(Arc) || type == typeid(acad::Point)) {
        e.Emit(sink_, t);
        return;
    }
    if (const auto* ref = dynamic_cast<const BlockReference*>(&e)) {
        // Nested ones too: out of view, or a dot on screen, it is not looked into.
        const Box ext = ref->BoundsUnder(t);
        if (!ext.IsEmpty() && !ext.Intersects(visible_)) return;
        if (plan_.IsDot(ext)) {
            sink_.Point(ext.Center());
            return;
        }
        if (in.depth == 0) {
            top_ = ref;
            topDepth_ = plan_.DepthOf(*ref);
        }
        if (in.depth >= topDepth_) {
            EmitOutline(sink_, ext);
            if (sink_.stats.coarse.empty()) sink_.stats.coarse = top_->Name();
            return;
        }
        DrawReference(*ref, t, Inherit{color, layer, highlighted, in.depth + 1});
        return;
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
            sink_.SetStyle(Rgb(color), highlighted);
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
    Box keep;
    if (const auto inv = t.Inverse()) {
        const Box& v = visible_;
        for (const Point3d& c : {v.min, v.max, Point3d(v.min.x, v.max.y), Point3d(v.max.x, v.min.y)})
            keep.Add(inv->Apply(c));
    }
    SampleSplineWithin(s.Data(), 0.5 / pxPerUnit, keep, [&](const std::vector<Point3d>& pts) {
        if (pts.size() == 1) sink_.Point(t.Apply(pts[0]));
        for (std::size_t i = 0; i + 1 < pts.size(); ++i) sink_.Segment(t.Apply(pts[i]), t.Apply(pts[i + 1]));
    });
}

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
    if (const Block* def = doc_->Blocks().ByIndex(ref.Data().block)) {
        Box local;
        const bool cull = def->Count() > kCullDefinitionsAbove;
        if (cull) {
            if (const auto inv = inner.Inverse()) {
                const Box& v = visible_;
                for (const Point3d& c : {v.min, v.max, Point3d(v.min.x, v.max.y), Point3d(v.max.x, v.min.y)})
                    local.Add(inv->Apply(c));
            }
        }
        for (const Entity* part : *def) {
            if (const auto* ad = dynamic_cast<const AttributeDefinition*>(part)) {
                // Only constant attributes draw inside a reference; the others are
                // drawn by the reference's own attributes.
                if (ad->Constant() && !ad->Invisible()) DrawEntity(*ad, inner, child, true);
                continue;
            }
            if (cull && !local.IsEmpty() && !part->Extents().Intersects(local)) continue;
            DrawEntity(*part, inner, child);
        }
    }
    // Attributes are held in the coordinates of the reference's own space.
    for (const AttributeReference* a : ref.GetAttributes()) DrawEntity(*a, t, child);
    if (clipped) {
        sink_.Flush();
        painter_->restore();
    }
}

bool SceneRenderer::Impl::DrawWideEntity(const Entity& e, const Transform& t)
{
    // Decided as the count decides it, before any vertex is copied: a fitted
    // curve, or one without widths, is drawn thin.
    if (!(WidestDrawn(e) * m_->scale * t.ScaleFactor() >= kWidePx)) return false;
    std::vector<WideVertex> v;
    bool closed = false;
    if (const auto* lw = dynamic_cast<const LWPolyline*>(&e)) {
        const LWPolylineData& d = lw->Data();
        for (std::size_t i = 0; i < d.geometry.vertices.size(); ++i) {
            WideVertex w{d.geometry.vertices[i].point, d.geometry.vertices[i].bulge, d.constantWidth, d.constantWidth};
            if (i < d.startWidths.size() && i < d.endWidths.size() && (d.startWidths[i] > 0 || d.endWidths[i] > 0)) {
                w.startWidth = d.startWidths[i];
                w.endWidth = d.endWidths[i];
            }
            v.push_back(w);
        }
        closed = d.geometry.closed;
    } else if (const auto* pl = dynamic_cast<const Polyline2D*>(&e)) {
        const PolylineData& d = pl->Data();
        for (const auto& pv : d.vertices) v.push_back(WideVertex{pv.point, pv.bulge, pv.startWidth, pv.endWidth});
        closed = d.closed;
    } else {
        return false;
    }
    return DrawWide(v, closed, t);
}

bool SceneRenderer::Impl::DrawWide(const std::vector<WideVertex>& v, bool closed, const Transform& t)
{
    const std::size_t n = v.size();
    if (n < 2) return false;
    double widest = 0.0;
    for (const auto& w : v) widest = std::max({widest, w.startWidth, w.endWidth});
    const double pxPerUnit = m_->scale * t.ScaleFactor();
    // Thinner than a couple of pixels the width does not show: plain lines then.
    if (widest * pxPerUnit < kWidePx) return false;
    const std::size_t segments = closed ? n : n - 1;
    auto constant = [&](std::size_t i) { return v[i].startWidth > 0 && v[i].startWidth == v[i].endWidth; };
    auto sameRun = [&](std::size_t i, std::size_t j) {
        return constant(i) && constant(j) && v[i].startWidth == v[j].startWidth;
    };
    // A closed ring starts where a run starts, so that no run is cut at the first vertex.
    std::size_t first = 0;
    bool ring = closed;
    if (closed) {
        while (first < segments && sameRun((first + segments - 1) % segments, first)) ++first;
        if (first == segments)
            first = 0;  // one width all round
        else
            ring = false;
    }

    // Pieces of one constant width are one band along their centre line, so
    // that their corners are mitred as drawing programs join them; a tapering
    // piece is a band of its own.
    QPainterPath run, bands;
    bands.setFillRule(Qt::WindingFill);
    double runWidth = 0.0;
    auto endRun = [&] {
        if (run.elementCount() > 1) {
            QPainterPathStroker stroker;
            stroker.setWidth(runWidth * pxPerUnit);
            stroker.setCapStyle(Qt::FlatCap);
            stroker.setJoinStyle(Qt::MiterJoin);
            stroker.setMiterLimit(4.0);
            sink_.FillPath(stroker.createStroke(run), Qt::SolidPattern);
        }
        run = QPainterPath();
    };
    for (std::size_t s = 0; s < segments; ++s) {
        const std::size_t i = (first + s) % segments;
        const WideVertex& a = v[i];
        const Point3d& p0 = a.point;
        const Point3d& p1 = v[(i + 1) % n].point;
        const auto arc = ArcFromBulge(p0, p1, a.bulge);
        const int k = arc ? ArcChords(arc->radius * pxPerUnit, arc->Sweep()) : 1;
        auto along = [&](int j) { return arc ? PointAlong(*arc, p0, static_cast<double>(j) / k) : (j == 0 ? p0 : p1); };
        if (s == 0 || !sameRun((i + segments - 1) % segments, i)) endRun();
        if (a.startWidth <= 0 && a.endWidth <= 0) {
            // A piece without width inside a wide polyline: a thin line or arc.
            for (int j = 1; j <= k; ++j) sink_.Segment(t.Apply(along(j - 1)), t.Apply(along(j)));
            continue;
        }
        if (constant(i)) {
            if (run.elementCount() == 0) run.moveTo(m_->ToPixel(t.Apply(p0)));
            runWidth = a.startWidth;
            for (int j = 1; j <= k; ++j) run.lineTo(m_->ToPixel(t.Apply(along(j))));
            continue;
        }
        // Samples along the piece, each with the two sides at half the width.
        QPolygonF left, right;
        for (int j = 0; j <= k; ++j) {
            const double u = static_cast<double>(j) / k;
            const Point3d at = along(j);
            Vector3d normal;
            if (arc) {
                normal = (at - arc->center) / arc->radius;
            } else {
                const Vector3d d = p1 - p0;
                const double len = d.Length2d();
                if (!(len > 0)) break;
                normal = {-d.y / len, d.x / len, 0.0};
            }
            const double width = a.startWidth + (a.endWidth - a.startWidth) * u;
            left.append(m_->ToPixel(t.Apply(at + normal * (width / 2))));
            right.prepend(m_->ToPixel(t.Apply(at - normal * (width / 2))));
        }
        if (left.size() < 2) continue;
        bands.addPolygon(left + right);
        bands.closeSubpath();
    }
    if (ring) run.closeSubpath();
    endRun();
    if (!bands.isEmpty()) sink_.FillPath(bands, Qt::SolidPattern);
    return true;
}

void SceneRenderer::Impl::DrawHatch(const Hatch& h, const Transform& t)
{
    const double pxPerUnit = m_->scale * std::max(1e-12, t.ScaleFactor());
    const double tolerance = 0.5 / pxPerUnit;
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (int i = 0; i < h.NumberOfLoops(); ++i) {
        const std::vector<Point3d> ring = h.LoopPoints(i, tolerance);
        if (ring.size() < 3) continue;
        QPolygonF poly;
        poly.reserve(static_cast<int>(ring.size()));
        for (const Point3d& p : ring) poly.append(m_->ToPixel(t.Apply(p)));
        path.addPolygon(poly);
        path.closeSubpath();
    }
    if (path.isEmpty()) return;
    // Patterns are shown as a plain diagonal hatching of the screen.
    sink_.FillPath(path, h.Data().solid ? Qt::SolidPattern : Qt::BDiagPattern);
}

}  // namespace acad::ui
