#include "platform/acad/ui/DrawingView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "platform/acad/Application.h"
#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/SystemVariables.h"
#include "platform/acad/ui/AciPalette.h"

namespace acad::ui {

namespace {

// A press and release farther apart than this is a drag, not a click.
constexpr double kDragPixels = 5.0;
// One notch of the wheel.
constexpr double kWheelFactor = 1.25;

bool PointLike(InputKind k) { return k == InputKind::Point || k == InputKind::Corner || k == InputKind::Angle; }

}  // namespace

DrawingView::DrawingView(acad::Application& app, QWidget* parent) : QWidget(parent), app_(app)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::BlankCursor);  // the crosshair is drawn by the view
    setMinimumSize(200, 150);
    throttle_ = new QTimer(this);
    throttle_->setSingleShot(true);
    throttle_->setTimerType(Qt::PreciseTimer);
    connect(throttle_, &QTimer::timeout, this, [this] {
        due_ = true;
        update();
    });
}

DrawingView::~DrawingView() = default;

Document* DrawingView::ShownDocument() const
{
    if (app_.Documents().Count() == 0) return nullptr;
    try {
        return app_.ActiveDocument();
    } catch (const Error&) {
        return nullptr;
    }
}

std::optional<ViewMapping> DrawingView::DisplayMapping() const
{
    Document* doc = ShownDocument();
    if (!doc) return std::nullopt;
    const QSizeF area(width(), height());
    const Layout& layout = doc->ActiveLayout();
    if (layout.ModelType()) return ViewMapping::Of(doc->ModelView(), area);
    return ViewMapping::Of(doc->PaperView(layout), area);
}

std::optional<ViewMapping> DrawingView::InputMapping() const
{
    auto m = DisplayMapping();
    Document* doc = ShownDocument();
    if (!m || !doc || doc->ActiveSpace() == acModelSpace || !doc->MSpace()) return m;
    try {
        return m->ThroughViewport(*doc->ActivePViewport());
    } catch (const Error&) {
        return m;
    }
}

std::optional<Point3d> DrawingView::World(const QPointF& pixel) const
{
    const auto m = InputMapping();
    if (!m) return std::nullopt;
    return m->ToWorld(pixel);
}

std::optional<QPointF> DrawingView::Pixel(const Point3d& world) const
{
    const auto m = InputMapping();
    if (!m) return std::nullopt;
    return m->ToPixel(world);
}

void DrawingView::SetRequest(const InputRequest* request)
{
    request_ = request;
    boxStart_.reset();
    snap_.reset();
    tracked_.reset();
    selected_.clear();
    if (request && request->selected) selected_.insert(request->selected->begin(), request->selected->end());
    if (cursor_) UpdateCursor(*cursor_);
    update();
}

void DrawingView::SetSpaceHeld(bool held)
{
    spaceHeld_ = held;
    if (held) pannedWithSpace_ = false;
}

void DrawingView::Invalidate()
{
    ++epoch_;
    Schedule();
}

bool DrawingView::Signature::SameApartFromContent(const Signature& o) const
{
    Signature a = o;
    a.revision = revision;
    a.definitions = definitions;
    a.epoch = epoch;
    return a == *this;
}

int DrawingView::IntervalLeft() const
{
    if (due_ || !sinceRender_.isValid()) return 0;
    const qint64 left = kRepaintIntervalMs - sinceRender_.elapsed();
    return left > 0 ? static_cast<int>(left) : 0;
}

void DrawingView::Schedule()
{
    const int left = IntervalLeft();
    if (dirty_ || left == 0 || !CurrentSignature().SameApartFromContent(drawn_)) {
        update();
        return;
    }
    // Changes keep coming: the drawing is redrawn once the interval is over,
    // with whatever it holds by then.
    if (!throttle_->isActive()) throttle_->start(left);
}

bool DrawingView::RepaintPending() const { return dirty_ || !(CurrentSignature() == drawn_); }

DrawingView::Signature DrawingView::CurrentSignature() const
{
    Signature s;
    s.width = width();
    s.height = height();
    s.epoch = epoch_;
    s.selected = selected_.size();
    Document* doc = ShownDocument();
    if (!doc) return s;
    s.doc = doc;
    s.revision = doc->Revision();
    s.definitions = doc->DefinitionsRevision();
    // Switching a layer on or off is not a change of the drawing's content.
    std::uint64_t h = 1469598103934665603ull;
    for (const Layer* l : doc->Layers()) {
        const std::uint64_t v = (static_cast<std::uint64_t>(l->Color()) << 3) | (l->LayerOn() << 1) | l->Freeze();
        h = (h ^ v ^ reinterpret_cast<std::uintptr_t>(l)) * 1099511628211ull;
    }
    s.layers = h;
    s.layout = &doc->ActiveLayout();
    s.mspace = doc->ActiveSpace() == acPaperSpace && doc->MSpace();
    if (const auto m = DisplayMapping()) {
        s.view[0] = m->origin.x;
        s.view[1] = m->origin.y;
        s.view[2] = m->scale;
    }
    if (s.mspace) {
        if (const auto m = InputMapping()) {
            s.view[3] = m->origin.x;
            s.view[4] = m->origin.y;
            s.view[5] = m->scale;
        }
    }
    return s;
}

void DrawingView::CheckForChanges()
{
    if (!(CurrentSignature() == drawn_)) Schedule();
}

void DrawingView::SyncScreenSize()
{
    Document* doc = ShownDocument();
    if (!doc || width() <= 0 || height() <= 0) return;
    if (doc->ScreenWidth() == width() && doc->ScreenHeight() == height()) return;
    try {
        doc->SetScreenSize(width(), height());
    } catch (const Error& e) {
        if (onError) onError(e.Description());
    }
}

void DrawingView::Render()
{
    const qreal dpr = devicePixelRatioF();
    const QSize pixels(std::max(1, static_cast<int>(width() * dpr)), std::max(1, static_cast<int>(height() * dpr)));
    if (cache_.size() != pixels) {
        cache_ = QImage(pixels, QImage::Format_RGB32);
        cache_.setDevicePixelRatio(dpr);
    }
    cache_.fill(BackgroundColor());
    ++renders_;
    sinceRender_.restart();
    due_ = false;
    throttle_->stop();
    drawn_ = CurrentSignature();
    stats_ = {};
    Document* doc = ShownDocument();
    const auto m = DisplayMapping();
    if (doc && m) {
        QPainter p(&cache_);
        try {
            stats_ = renderer_.Draw(p, *doc, *m, &selected_);
            if (!stats_.coarse.empty() && coarseSaid_.emplace(doc, stats_.coarse).second)
                input::Message(*doc, "O bloco \"" + stats_.coarse +
                                         "\" tem partes demais para desenhar por inteiro nesta escala: parte dele "
                                         "aparece só como contorno.");
        } catch (const std::exception& e) {
            // A drawing the engine cannot draw whole still shows what came before.
            if (onError) onError(e.what());
        }
    }
    dirty_ = false;
}

void DrawingView::paintEvent(QPaintEvent*)
{
    const Signature now = CurrentSignature();
    if (dirty_ || !(now == drawn_)) {
        const int left = IntervalLeft();
        if (dirty_ || left == 0 || !now.SameApartFromContent(drawn_))
            Render();
        else if (!throttle_->isActive())
            throttle_->start(left);  // the pointer moved meanwhile: the kept picture, redrawn later
    }
    QPainter p(this);
    p.drawImage(QPointF(0, 0), cache_);
    DrawOverlay(p);
}

void DrawingView::DrawOverlay(QPainter& p)
{
    if (!cursor_) return;
    const QPointF c = *cursor_;
    // The rubber band ends where a click would answer: the snap, held to ortho's lines.
    const QPointF to = tracked_ ? Pixel(*tracked_).value_or(c) : c;
    p.setRenderHint(QPainter::Antialiasing, false);
    auto box = [&](const QPointF& a, const QPointF& b) {
        // Window (left to right) solid and blue, crossing (right to left) dashed and green.
        const bool crossing = b.x() < a.x();
        const QColor edge = crossing ? QColor(80, 220, 80) : QColor(90, 140, 255);
        QColor fill = edge;
        fill.setAlpha(40);
        p.setPen(QPen(edge, 0, crossing ? Qt::DashLine : Qt::SolidLine));
        p.setBrush(fill);
        p.drawRect(QRectF(a, b).normalized());
        p.setBrush(Qt::NoBrush);
    };
    if (request_ && request_->basePoint) {
        if (const auto base = Pixel(*request_->basePoint)) {
            if (request_->kind == InputKind::Corner) {
                if (request_->selected) {
                    box(*base, to);
                } else {
                    p.setPen(QPen(QColor(230, 230, 230), 0, Qt::DashLine));
                    p.drawRect(QRectF(*base, to).normalized());
                }
            } else if (request_->kind == InputKind::Point || request_->kind == InputKind::Angle) {
                p.setPen(QPen(QColor(230, 230, 230), 0, Qt::DashLine));
                p.drawLine(*base, to);
            }
        }
    }
    if (boxStart_)
        if (const auto a = Pixel(*boxStart_)) box(*a, c);
    if (snap_) {
        // The object snap's marker.
        if (const auto s = Pixel(*snap_)) {
            p.setPen(QPen(QColor(255, 200, 0), 2));
            p.drawRect(QRectF(s->x() - 5, s->y() - 5, 10, 10));
        }
    }
    // Crosshair, with the pick box when an object is wanted.
    p.setPen(QPen(QColor(200, 200, 200), 0));
    const bool pickBox = !request_ || request_->kind == InputKind::Entity || request_->kind == InputKind::SubEntity ||
                         request_->kind == InputKind::Selection;
    const double gap = pickBox ? selection::kPickBoxPixels + 1 : 0;
    const double arm = 20;
    p.drawLine(QPointF(c.x() - arm - gap, c.y()), QPointF(c.x() - gap, c.y()));
    p.drawLine(QPointF(c.x() + gap, c.y()), QPointF(c.x() + arm + gap, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - arm - gap), QPointF(c.x(), c.y() - gap));
    p.drawLine(QPointF(c.x(), c.y() + gap), QPointF(c.x(), c.y() + arm + gap));
    if (pickBox) p.drawRect(QRectF(c.x() - gap + 1, c.y() - gap + 1, 2 * gap - 2, 2 * gap - 2));
}

void DrawingView::resizeEvent(QResizeEvent*)
{
    SyncScreenSize();
    dirty_ = true;
}

bool DrawingView::Snaps() const
{
    Document* doc = ShownDocument();
    if (!doc || !request_ || !PointLike(request_->kind)) return false;
    const int mode = doc->Variables().OsMode();
    return mode != 0 && !(mode & input::Osnap::Suspended);
}

void DrawingView::UpdateCursor(const QPointF& pixel)
{
    cursor_ = pixel;
    snap_.reset();
    tracked_.reset();
    const auto w = World(pixel);
    if (!w) return;
    if (Snaps()) {
        try {
            const Point3d s = input::Snap(*ShownDocument(), *w);
            if (!(s == *w)) snap_ = s;
        } catch (const Error&) {
        }
    }
    Point3d at = snap_.value_or(*w);
    if (request_ && request_->basePoint && (request_->kind == InputKind::Point || request_->kind == InputKind::Angle)) {
        try {
            at = input::Ortho(*ShownDocument(), request_->basePoint, at);
        } catch (const Error&) {
        }
    }
    if (!(at == *w)) tracked_ = at;
    if (onCursor) onCursor(at);
}

void DrawingView::Answer(const InputAnswer& answer)
{
    boxStart_.reset();
    if (onAnswer) onAnswer(answer);
}

void DrawingView::FinishBox(const QPointF& pixel)
{
    const auto w = World(pixel);
    if (!boxStart_ || !w) return;
    const Point3d a = *boxStart_;
    // Dragged to the left a crossing, to the right a window.
    if (pixel.x() < boxStartPixel_.x())
        Answer(InputAnswer::CrossingOf(a, *w));
    else
        Answer(InputAnswer::WindowOf(a, *w));
}

void DrawingView::mousePressEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    UpdateCursor(pos);
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spaceHeld_)) {
        panFrom_ = pos;
        if (spaceHeld_) pannedWithSpace_ = true;
        return;
    }
    const auto w = World(pos);
    if (!w) return;
    if (event->button() == Qt::RightButton) {
        if (request_)
            Answer(InputAnswer::RightClick(*w));
        else if (onIdleRightClick)
            onIdleRightClick(*w);
        return;
    }
    if (event->button() != Qt::LeftButton || !request_) return;
    switch (request_->kind) {
    case InputKind::String: return;  // only typed answers
    case InputKind::Selection: {
        if (boxStart_) {
            FinishBox(pos);
            return;
        }
        Document* doc = ShownDocument();
        Entity* hit = nullptr;
        try {
            hit = doc ? selection::PickAt(*doc, *w) : nullptr;
        } catch (const Error&) {
        }
        if (hit) {
            Answer(InputAnswer::PickPoint(*w));
            return;
        }
        // Empty space opens a window: a second click (or the end of a drag) closes it.
        boxStart_ = *w;
        boxStartPixel_ = pos;
        update();
        return;
    }
    default: Answer(InputAnswer::PickPoint(*w)); return;
    }
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    if (panFrom_ && (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)) {
        panFrom_.reset();
        return;
    }
    if (event->button() == Qt::LeftButton && boxStart_ && request_ && request_->kind == InputKind::Selection) {
        const QPointF d = pos - boxStartPixel_;
        if (std::hypot(d.x(), d.y()) > kDragPixels) FinishBox(pos);
    }
}

void DrawingView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    if (panFrom_) {
        const QPointF d = pos - *panFrom_;
        panFrom_ = pos;
        PanBy(d);
    }
    UpdateCursor(pos);
    update();
}

void DrawingView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        ZoomExtents();
        return;
    }
    // A double click is two clicks to whoever asks.
    mousePressEvent(event);
}

void DrawingView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) return;
    ZoomAt(event->position(), std::pow(kWheelFactor, notches));
    UpdateCursor(event->position());
}

void DrawingView::leaveEvent(QEvent*)
{
    cursor_.reset();
    snap_.reset();
    tracked_.reset();
    update();
}

void DrawingView::PanBy(const QPointF& pixels)
{
    Document* doc = ShownDocument();
    const auto m = InputMapping();
    if (!doc || !m || (pixels.x() == 0 && pixels.y() == 0)) return;
    View& v = doc->ActiveView();
    const Point3d c = v.Center();
    v.SetCenter({c.x - pixels.x() / m->scale, c.y + pixels.y() / m->scale, c.z});
    doc->ViewChanged.Raise();
}

void DrawingView::ZoomAt(const QPointF& pixel, double factor)
{
    Document* doc = ShownDocument();
    const auto m = InputMapping();
    if (!doc || !m || !(factor > 0) || !std::isfinite(factor)) return;
    View& v = doc->ActiveView();
    const double h = v.Height();
    const double nh = std::clamp(h / factor, 1e-9, 1e12);
    if (nh == h) return;
    // The point under the cursor stays where it is.
    const Point3d w = m->ToWorld(pixel);
    const Point3d c = v.Center();
    const double k = nh / h;
    v.SetHeight(nh);
    v.SetCenter({w.x - (w.x - c.x) * k, w.y - (w.y - c.y) * k, c.z});
    doc->ViewChanged.Raise();
}

void DrawingView::ZoomExtents()
{
    if (!ShownDocument()) return;
    try {
        app_.ZoomExtents();
    } catch (const Error& e) {
        if (onError) onError(e.Description());
    }
}

}  // namespace acad::ui
