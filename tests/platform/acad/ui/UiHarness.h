#pragma once
// A drawing host with its window, shown offscreen, and synthesized mouse and
// key events to answer its requests the way a person would.

#include <QImage>
#include <QPointF>
#include <QSize>

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "platform/acad/Acad.h"
#include "platform/acad/ui/CommandPanel.h"
#include "platform/acad/ui/DrawingView.h"
#include "platform/acad/ui/DrawingWindow.h"
#include "platform/acad/ui/MainWindow.h"
#include "platform/acad/ui/AciPalette.h"

namespace uitest {

class Harness {
public:
    // The drawing view's size in pixels, whatever the fonts of the window around it.
    static constexpr QSize kViewSize{900, 571};

    Harness();
    ~Harness();

    acad::Application app;
    acad::Document* doc = nullptr;
    std::unique_ptr<acad::ui::DrawingWindow> window;
    acad::ui::MainWindow* main = nullptr;
    acad::ui::DrawingView* view = nullptr;
    acad::ui::CommandPanel* panel = nullptr;

    // Runs `action` from the event loop once the next request waits for the
    // person (one action per request, in order). A request with no action left
    // fails the test and is answered with Escape, so no test ever hangs.
    void OnRequest(std::function<void()> action);
    std::size_t PendingActions() const { return actions_.size(); }

    // Pixel of a point of the space where points are given, and back.
    QPointF PixelOf(const acad::Point3d& p) const;
    acad::Point3d WorldAt(const QPointF& px) const;
    double PixelSize() const;  // drawing units per pixel

    void Press(const QPointF& px, Qt::MouseButton button = Qt::LeftButton);
    void Release(const QPointF& px, Qt::MouseButton button = Qt::LeftButton);
    void Move(const QPointF& px, Qt::MouseButtons held = Qt::NoButton);
    void Click(const QPointF& px, Qt::MouseButton button = Qt::LeftButton);
    void Drag(const QPointF& from, const QPointF& to, Qt::MouseButton button = Qt::LeftButton);
    void Wheel(const QPointF& px, int notches);
    // Keys go where the person's keys go: the command line.
    void Key(int key, bool press = true, bool autoRepeat = false);
    void Tap(int key);
    void Type(const QString& text);
    void TypeLine(const QString& text);  // text, then Enter

    // Lets pending events run (idle work included).
    static void Process();
    // Lets the event loop run until the window shows the drawing as it is now (a
    // drawing that keeps changing is redrawn only every so often).
    void WaitForPicture();
    // The drawing area's picture, once it is up to date.
    QImage Grab();

private:
    std::deque<std::function<void()>> actions_;
    platform::ScopedConnection waiting_;
};

// The colour of the pixel, or of one within `radius` pixels, equals `color`.
bool HasColorNear(const QImage& image, const QPointF& px, const QColor& color, int radius = 2);

}  // namespace uitest
