#pragma once
// The drawing area of the host's window: shows the active document (model
// space or the active layout), pans and zooms it (middle button, Space + drag,
// wheel at the cursor), and turns clicks into answers to the request being
// asked: points with a rubber band from the base point, corners with a rubber
// rectangle, picks, on-screen windows (left to right) and crossings (right to
// left), right clicks. The engine's view (VIEWCTR, VIEWSIZE, SCREENSIZE) is the
// one shown: the area writes to it and repaints when it changes.

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
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

    // Redraws the drawing at the next paint (the drawing or its view may have changed).
    void Invalidate();
    // Repaints when the shown drawing, its layers or its view changed since the
    // last paint; called when the event loop is idle.
    void CheckForChanges();
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
    };
    Signature CurrentSignature() const;
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
    QImage cache_;
    Signature drawn_;
    bool dirty_ = true;
    std::uint64_t epoch_ = 0;
    std::unordered_set<const Entity*> selected_;
    std::size_t renders_ = 0;

    // Pointer state.
    std::optional<QPointF> cursor_;
    std::optional<Point3d> snap_;
    std::optional<QPointF> panFrom_;
    bool spaceHeld_ = false;
    bool pannedWithSpace_ = false;
    std::optional<Point3d> boxStart_;  // first corner of an on-screen window
    QPointF boxStartPixel_;
};

}  // namespace acad::ui
