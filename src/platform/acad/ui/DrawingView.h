#pragma once
// The drawing area of the host's window: shows the active document (model
// space or the active layout), pans and zooms it (middle button, Space + drag,
// wheel at the cursor), and turns clicks into answers to the request being
// asked: points with a rubber band from the base point, corners with a rubber
// rectangle, picks, on-screen windows (left to right) and crossings (right to
// left), right clicks. The engine's view (VIEWCTR, VIEWSIZE, SCREENSIZE) is the
// one shown: the area writes to it and repaints when it changes.

#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <unordered_set>

#include "platform/acad/InputSource.h"
#include "platform/acad/ui/SceneRenderer.h"
#include "platform/acad/ui/ViewMapping.h"

namespace acad {
class Application;
class Document;
class Entity;
}  // namespace acad

namespace acad::ui {

// While the program keeps changing the drawing (a loop that yields to the event
// queue at every step), the drawing is redrawn at most every kRepaintIntervalMs
// and once more when the changes stop; view changes (zoom, pan, resize, another
// layout or document) and layer changes are drawn at once.
class DrawingView : public QWidget {
    Q_OBJECT
public:
    explicit DrawingView(acad::Application& app, QWidget* parent = nullptr);
    ~DrawingView() override;

    // The request the clicks answer (null: none). The request must outlive the call
    // to SetRequest(nullptr) that ends it.
    void SetRequest(const InputRequest* request);
    // Space held down: a left drag pans instead of answering.
    void SetSpaceHeld(bool held);
    // True when the view was panned while Space was held (Space then is no Enter).
    bool PannedWithSpace() const { return pannedWithSpace_; }

    // The document shown (the application's active one), or null.
    Document* ShownDocument() const;
    // Pixels of the area to the space shown (model, or the layout's paper space).
    std::optional<ViewMapping> DisplayMapping() const;
    // Pixels to the space where points are given: the one shown, or model space
    // inside the active viewport while the document works there.
    std::optional<ViewMapping> InputMapping() const;

    void PanBy(const QPointF& pixels);
    // Zooms by `factor` (> 1 closer) keeping the point under `pixel` in place.
    void ZoomAt(const QPointF& pixel, double factor);
    void ZoomExtents();

    static constexpr int kRepaintIntervalMs = 200;

    // The drawing or its view may have changed: redrawn at the next paint, or
    // when the interval since the last redraw is over.
    void Invalidate();
    // Repaints when the shown drawing, its layers or its view changed since the
    // last paint; called when the event loop is idle.
    void CheckForChanges();
    // True while the picture shown is older than the drawing (a redraw is due).
    bool RepaintPending() const;
    // Tells the document the area's size in pixels (SCREENSIZE).
    void SyncScreenSize();

    // Called with each answer the person gives with the mouse.
    std::function<void(const InputAnswer&)> onAnswer;
    // Right click while nothing is asked (the document's BeginRightClick).
    std::function<void(const Point3d&)> onIdleRightClick;
    // The point under the cursor, in the space where points are given.
    std::function<void(const Point3d&)> onCursor;
    // Errors of engine calls made from mouse actions (zoom extents, ...).
    std::function<void(const std::string&)> onError;

    // What the last paint drew, and how many entities a selection in progress
    // shows highlighted (for tests and benchmarks).
    const RenderStats& LastStats() const { return stats_; }
    std::size_t HighlightedCount() const { return selected_.size(); }
    // How many times the drawing was rendered (not counting paints of the kept picture).
    std::size_t Renders() const { return renders_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Signature {
        const Document* doc = nullptr;
        std::uint64_t revision = 0, definitions = 0, layers = 0, epoch = 0;
        const void* layout = nullptr;
        bool mspace = false;
        double view[6] = {0, 0, 0, 0, 0, 0};
        int width = 0, height = 0;
        std::size_t selected = 0;
        bool operator==(const Signature&) const = default;
        // The same but for the drawing's content (what the program's loops change).
        bool SameApartFromContent(const Signature& o) const;
    };
    Signature CurrentSignature() const;
    // Asks for a paint now, or when the repaint interval is over if only the
    // drawing's content changed since the last redraw.
    void Schedule();
    // Milliseconds left of the repaint interval (0: a redraw may happen now).
    int IntervalLeft() const;
    void Render();
    void Answer(const InputAnswer& answer);
    void FinishBox(const QPointF& pixel);
    void UpdateCursor(const QPointF& pixel);
    void DrawOverlay(QPainter& p);
    std::optional<Point3d> World(const QPointF& pixel) const;
    std::optional<QPointF> Pixel(const Point3d& world) const;
    bool Snaps() const;

    acad::Application& app_;
    const InputRequest* request_ = nullptr;
    SceneRenderer renderer_;
    RenderStats stats_;
    std::set<std::pair<const Document*, std::string>> coarseSaid_;  // blocks said to be drawn in outline
    QImage cache_;
    Signature drawn_;
    bool dirty_ = true;
    std::uint64_t epoch_ = 0;
    std::unordered_set<const Entity*> selected_;
    std::size_t renders_ = 0;
    QElapsedTimer sinceRender_;
    class QTimer* throttle_ = nullptr;
    bool due_ = false;  // the interval is over: the next paint redraws

    // Pointer state.
    std::optional<QPointF> cursor_;
    std::optional<Point3d> snap_;
    std::optional<Point3d> tracked_;  // where a click would answer, when not under the cursor
    std::optional<QPointF> panFrom_;
    bool spaceHeld_ = false;
    bool pannedWithSpace_ = false;
    std::optional<Point3d> boxStart_;  // first corner of an on-screen window
    QPointF boxStartPixel_;
};

}  // namespace acad::ui
