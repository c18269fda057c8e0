// VB's drawing methods on a persistent layer over the background colour and
// the Picture of forms, user controls and picture boxes.

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/forms/Private.h"

namespace forms::detail {

int& PaintDepth()
{
    static int depth = 0;
    return depth;
}

QPointF CanvasData::ToPx(double x, double y) const
{
    return {scale->XToTwips(x) / kTwipsPerPixel, scale->YToTwips(y) / kTwipsPerPixel};
}

double CanvasData::WPx(double w) const { return scale->WToTwips(w) / kTwipsPerPixel; }
double CanvasData::HPx(double h) const { return scale->HToTwips(h) / kTwipsPerPixel; }

QImage& CanvasData::Layer()
{
    const int w = std::max(1, static_cast<int>(std::lround(scale->ClientWidthTwips() / kTwipsPerPixel)));
    const int h = std::max(1, static_cast<int>(std::lround(scale->ClientHeightTwips() / kTwipsPerPixel)));
    if (layer.isNull() || layer.width() < w || layer.height() < h) {
        QImage grown(std::max(w, layer.width()), std::max(h, layer.height()), QImage::Format_ARGB32_Premultiplied);
        grown.fill(Qt::transparent);
        if (!layer.isNull()) {
            QPainter p(&grown);
            p.drawImage(0, 0, layer);
        }
        layer = std::move(grown);
    }
    return layer;
}

void CanvasData::Changed()
{
    if (!painting && scale->widget) scale->widget->update();
}

QPen CanvasData::Pen(std::optional<long> color) const
{
    if (drawStyle == vbInvisible) return QPen(Qt::NoPen);
    QPen pen(ToQColor(color.value_or(owner->self->ForeColor())));
    pen.setWidth(std::max(1, drawWidth));
    pen.setCapStyle(drawWidth > 1 ? Qt::RoundCap : Qt::SquareCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (drawWidth == 1) {
        switch (drawStyle) {
        case vbDash: pen.setStyle(Qt::DashLine); break;
        case vbDot: pen.setStyle(Qt::DotLine); break;
        case vbDashDot: pen.setStyle(Qt::DashDotLine); break;
        case vbDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
        default: break;
        }
    }
    return pen;
}

QBrush FillBrush(int fillStyle, long fillColor)
{
    const QColor c = ToQColor(fillColor);
    switch (fillStyle) {
    case vbFSSolid: return QBrush(c);
    case vbHorizontalLine: return QBrush(c, Qt::HorPattern);
    case vbVerticalLine: return QBrush(c, Qt::VerPattern);
    case vbUpwardDiagonal: return QBrush(c, Qt::BDiagPattern);
    case vbDownwardDiagonal: return QBrush(c, Qt::FDiagPattern);
    case vbCross: return QBrush(c, Qt::CrossPattern);
    case vbDiagonalCross: return QBrush(c, Qt::DiagCrossPattern);
    default: return QBrush(Qt::NoBrush);
    }
}

void CanvasData::PaintSurface(QPainter& p, const QRect& clip) const
{
    p.fillRect(clip, ToQColor(owner->self->BackColor()));
    if (const QImage* pic = ImageOf(picture)) p.drawImage(0, 0, *pic);
    if (!layer.isNull()) p.drawImage(0, 0, layer);
}

QImage CanvasData::Composite() const
{
    const int w = std::max(1, static_cast<int>(std::lround(scale->ClientWidthTwips() / kTwipsPerPixel)));
    const int h = std::max(1, static_cast<int>(std::lround(scale->ClientHeightTwips() / kTwipsPerPixel)));
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    PaintSurface(p, img.rect());
    return img;
}

void BindSurface(Control* owner, ControlHost* host, ControlData& d, ContainerData& inside, CanvasData& cv,
                 std::function<void()> paint)
{
    d.own = &inside;
    d.canvas = &cv;
    d.clickOnRelease = true;
    inside.owner = owner;
    inside.host = host;
    inside.scaled = true;
    cv.owner = &d;
    cv.scale = &inside;
    cv.onPaint = std::move(paint);
}

void SurfaceWidget::paintEvent(QPaintEvent* e)
{
    CanvasData* cv = cv_;
    if (!cv) return;
    ++PaintDepth();
    if (cv->paintPending && cv->onPaint && !cv->autoRedraw) {
        Dispatching dispatching;
        cv->paintPending = false;
        cv->painting = true;
        cv->onPaint();
        cv->painting = false;
    }
    QPainter p(this);
    cv->PaintSurface(p, e->rect());
    --PaintDepth();
}

void SurfaceWidget::showEvent(QShowEvent* e)
{
    if (cv_) cv_->paintPending = true;
    QWidget::showEvent(e);
}

void SurfaceWidget::resizeEvent(QResizeEvent* e)
{
    if (cv_) cv_->paintPending = true;
    QWidget::resizeEvent(e);
}

}  // namespace forms::detail

namespace forms {

using namespace detail;

Canvas::Canvas() : cv_(std::make_unique<CanvasData>()) {}
Canvas::~Canvas() = default;

void Canvas::Cls()
{
    if (!cv_->layer.isNull()) cv_->layer.fill(Qt::transparent);
    cv_->currentX = ScaleLeft();
    cv_->currentY = ScaleTop();
    cv_->Changed();
}

void Canvas::Line(double x1, double y1, double x2, double y2, std::optional<long> color, int box)
{
    CanvasData& c = *cv_;
    QPainter p(&c.Layer());
    const QPointF a = c.ToPx(x1, y1), b = c.ToPx(x2, y2);
    const QPoint pa(static_cast<int>(std::floor(a.x())), static_cast<int>(std::floor(a.y())));
    const QPoint pb(static_cast<int>(std::floor(b.x())), static_cast<int>(std::floor(b.y())));
    const QPen pen = c.Pen(color);
    if (box == vbLineOnly) {
        p.setPen(pen);
        p.drawLine(pa, pb);
    } else {
        const QRect r = QRect(pa, pb).normalized();
        if (box == vbLineBoxFilled) {
            p.fillRect(r, ToQColor(color.value_or(cv_->owner->self->ForeColor())));
        } else {
            const QBrush brush = FillBrush(c.fillStyle, c.fillColor);
            if (brush.style() != Qt::NoBrush) p.fillRect(r, brush);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(r.topLeft(), QSize(r.width() - 1, r.height() - 1)));
        }
    }
    c.currentX = x2;
    c.currentY = y2;
    c.Changed();
}

void Canvas::LineTo(double x2, double y2, std::optional<long> color, int box)
{
    Line(cv_->currentX, cv_->currentY, x2, y2, color, box);
}

void Canvas::Circle(double x, double y, double radius, std::optional<long> color, std::optional<double> start,
                    std::optional<double> end, double aspect)
{
    CanvasData& c = *cv_;
    if (aspect <= 0) aspect = 1;
    double rx, ry;
    if (aspect <= 1) {
        rx = std::abs(c.WPx(radius));
        ry = rx * aspect;
    } else {
        ry = std::abs(c.HPx(radius));
        rx = ry / aspect;
    }
    const QPointF centre = c.ToPx(x, y);
    const QRectF rect(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);
    QPainter p(&c.Layer());
    p.setPen(c.Pen(color));
    if (!start && !end) {
        p.setBrush(FillBrush(c.fillStyle, c.fillColor));
        p.drawEllipse(rect);
    } else {
        constexpr double kDeg = 180.0 / std::numbers::pi;
        const double s = start.value_or(0), e = end.value_or(2 * std::numbers::pi);
        const bool pieStart = s < 0 || (s == 0 && std::signbit(s));
        const bool pieEnd = e < 0 || (e == 0 && std::signbit(e));
        const double a0 = std::abs(s) * kDeg;
        double span = std::abs(e) * kDeg - a0;
        if (span <= 0) span += 360;
        QPainterPath path;
        if (pieStart) {
            path.moveTo(centre);
            path.arcTo(rect, a0, span);
        } else {
            path.arcMoveTo(rect, a0);
            path.arcTo(rect, a0, span);
        }
        if (pieEnd) path.lineTo(centre);
        if (pieStart && pieEnd) {
            path.closeSubpath();
            p.setBrush(FillBrush(c.fillStyle, c.fillColor));
        } else {
            p.setBrush(Qt::NoBrush);
        }
        p.drawPath(path);
    }
    c.currentX = x;
    c.currentY = y;
    c.Changed();
}

void Canvas::PSet(double x, double y, std::optional<long> color)
{
    CanvasData& c = *cv_;
    QPainter p(&c.Layer());
    const QPointF pt = c.ToPx(x, y);
    const QColor col = ToQColor(color.value_or(cv_->owner->self->ForeColor()));
    if (c.drawWidth <= 1) {
        p.setPen(col);
        p.drawPoint(QPoint(static_cast<int>(std::floor(pt.x())), static_cast<int>(std::floor(pt.y()))));
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(col);
        p.drawEllipse(pt, c.drawWidth / 2.0, c.drawWidth / 2.0);
    }
    c.currentX = x;
    c.currentY = y;
    c.Changed();
}

long Canvas::Point(double x, double y) const
{
    const CanvasData& c = *cv_;
    const QPointF pt = c.ToPx(x, y);
    const int px = static_cast<int>(std::floor(pt.x())), py = static_cast<int>(std::floor(pt.y()));
    const int w = static_cast<int>(std::lround(c.scale->ClientWidthTwips() / kTwipsPerPixel));
    const int h = static_cast<int>(std::lround(c.scale->ClientHeightTwips() / kTwipsPerPixel));
    if (px < 0 || py < 0 || px >= w || py >= h) return -1;
    if (c.layer.valid(px, py)) {
        const QColor col = c.layer.pixelColor(px, py);
        if (col.alpha() != 0) return FromQColor(col);
    }
    if (const QImage* pic = ImageOf(c.picture); pic && pic->valid(px, py)) return FromQColor(pic->pixelColor(px, py));
    return ResolveColor(cv_->owner->self->BackColor());
}

void Canvas::Print(const std::string& text, bool newLine)
{
    CanvasData& c = *cv_;
    const QFont font = MakeQFont(cv_->owner->self->Font());
    const QFontMetricsF fm(font);
    QPainter p(&c.Layer());
    p.setFont(font);
    p.setPen(ToQColor(cv_->owner->self->ForeColor()));
    const QStringList lines = FromVbText(text).split(QChar('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QPointF at = c.ToPx(c.currentX, c.currentY);
        const double wpx = fm.horizontalAdvance(lines[i]);
        if (!c.fontTransparent)
            p.fillRect(QRectF(at, QSizeF(wpx, fm.height())), ToQColor(cv_->owner->self->BackColor()));
        p.drawText(QPointF(at.x(), at.y() + fm.ascent()), lines[i]);
        if (i + 1 < lines.size() || newLine) {
            c.currentX = ScaleLeft();
            c.currentY += c.scale->HFromTwips(Tw(fm.height()));
        } else {
            c.currentX += c.scale->WFromTwips(Tw(wpx));
        }
    }
    c.Changed();
}

double Canvas::TextWidth(const std::string& text) const
{
    const QFontMetricsF fm(MakeQFont(cv_->owner->self->Font()));
    double w = 0;
    for (const QString& line : FromVbText(text).split(QChar('\n'))) w = std::max(w, fm.horizontalAdvance(line));
    return cv_->scale->WFromTwips(Tw(w));
}

double Canvas::TextHeight(const std::string& text) const
{
    const QFontMetricsF fm(MakeQFont(cv_->owner->self->Font()));
    const auto lines = FromVbText(text).split(QChar('\n')).size();
    return cv_->scale->HFromTwips(Tw(fm.height() * static_cast<double>(lines)));
}

void Canvas::PaintPicture(const forms::Picture& picture, double x1, double y1, std::optional<double> width1,
                          std::optional<double> height1, std::optional<double> x2, std::optional<double> y2,
                          std::optional<double> width2, std::optional<double> height2, long)
{
    CanvasData& c = *cv_;
    const QImage* src = ImageOf(picture);
    if (!src) Fail(481, "Invalid picture: PaintPicture of an empty picture");
    const double sx = x2 ? c.WPx(*x2) : 0, sy = y2 ? c.HPx(*y2) : 0;
    const double sw = width2 ? c.WPx(*width2) : src->width() - sx;
    const double sh = height2 ? c.HPx(*height2) : src->height() - sy;
    const QPointF at = c.ToPx(x1, y1);
    const double dw = width1 ? c.WPx(*width1) : sw, dh = height1 ? c.HPx(*height1) : sh;
    QPainter p(&c.Layer());
    p.drawImage(QRectF(at.x(), at.y(), dw, dh), *src, QRectF(sx, sy, sw, sh));
    c.Changed();
}

double Canvas::CurrentX() const { return cv_->currentX; }
void Canvas::SetCurrentX(double v) { cv_->currentX = v; }
double Canvas::CurrentY() const { return cv_->currentY; }
void Canvas::SetCurrentY(double v) { cv_->currentY = v; }
int Canvas::DrawWidth() const { return cv_->drawWidth; }

void Canvas::SetDrawWidth(int pixels)
{
    if (pixels < 1) Fail(380, "Invalid property value: DrawWidth " + std::to_string(pixels));
    cv_->drawWidth = pixels;
}

int Canvas::DrawStyle() const { return cv_->drawStyle; }
void Canvas::SetDrawStyle(int style) { cv_->drawStyle = style; }
int Canvas::FillStyle() const { return cv_->fillStyle; }
void Canvas::SetFillStyle(int style) { cv_->fillStyle = style; }
long Canvas::FillColor() const { return cv_->fillColor; }
void Canvas::SetFillColor(long color) { cv_->fillColor = color; }
bool Canvas::FontTransparent() const { return cv_->fontTransparent; }
void Canvas::SetFontTransparent(bool v) { cv_->fontTransparent = v; }
bool Canvas::AutoRedraw() const { return cv_->autoRedraw; }
void Canvas::SetAutoRedraw(bool v) { cv_->autoRedraw = v; }

int Canvas::ScaleMode() const { return cv_->scale->scaleMode; }
void Canvas::SetScaleMode(int mode) { cv_->scale->SetScaleMode(mode); }
double Canvas::ScaleLeft() const { return cv_->scale->scaleLeft; }
double Canvas::ScaleTop() const { return cv_->scale->scaleTop; }
double Canvas::ScaleWidth() const { return cv_->scale->WFromTwips(cv_->scale->ClientWidthTwips()); }
double Canvas::ScaleHeight() const { return cv_->scale->HFromTwips(cv_->scale->ClientHeightTwips()); }

namespace {

// Setting one of the four scale values keeps the other three: VB then uses a user scale.
void UserScale(ContainerData& s, std::optional<double> left, std::optional<double> top, std::optional<double> width,
               std::optional<double> height)
{
    const double l = s.scaleLeft, t = s.scaleTop;
    const double w = s.WFromTwips(s.ClientWidthTwips()), h = s.HFromTwips(s.ClientHeightTwips());
    const double nw = width.value_or(w), nh = height.value_or(h);
    if (nw == 0 || nh == 0) Fail(380, "Invalid property value: a scale of zero size");
    s.scaleMode = vbUser;
    s.scaleLeft = left.value_or(l);
    s.scaleTop = top.value_or(t);
    s.scaleWidth = nw;
    s.scaleHeight = nh;
}

}  // namespace

void Canvas::SetScaleLeft(double v) { UserScale(*cv_->scale, v, {}, {}, {}); }
void Canvas::SetScaleTop(double v) { UserScale(*cv_->scale, {}, v, {}, {}); }
void Canvas::SetScaleWidth(double v) { UserScale(*cv_->scale, {}, {}, v, {}); }
void Canvas::SetScaleHeight(double v) { UserScale(*cv_->scale, {}, {}, {}, v); }
void Canvas::Scale(double x1, double y1, double x2, double y2) { UserScale(*cv_->scale, x1, y1, x2 - x1, y2 - y1); }
void Canvas::Scale() { cv_->scale->SetScaleMode(vbTwips); }

forms::Picture Canvas::Image() const { return MakePicture(cv_->Composite()); }

}  // namespace forms
