#include "platform/acad/ui/DrawingWindow.h"

#include <QApplication>
#include <QPointer>

#include "platform/acad/Application.h"
#include "platform/acad/ui/MainWindow.h"
#include "platform/os/QtBridge.h"

namespace acad::ui {

namespace {

void EnsureApplication()
{
    if (QCoreApplication::instance()) return;
    // Tools and tests that made none: an application for the run, never torn down
    // among the static objects at exit.
    static int argc = 1;
    static char name[] = "quorilcad";
    static char* argv[] = {name, nullptr};
    static QApplication* own = new QApplication(argc, argv);
    own->setQuitOnLastWindowClosed(false);
}

}  // namespace

struct DrawingWindow::Impl {
    acad::Application& app;
    QPointer<MainWindow> window;
    platform::ScopedConnection closed;
};

DrawingWindow::DrawingWindow(acad::Application& app) : impl_(new Impl{app, nullptr, {}})
{
    EnsureApplication();
    impl_->window = new MainWindow(app);
    impl_->closed = impl_->window->Closed += [this] { Closed.Raise(); };
}

DrawingWindow::~DrawingWindow()
{
    impl_->closed.Reset();
    delete impl_->window.data();
}

void DrawingWindow::Show()
{
    MainWindow* w = impl_->window;
    if (!w || w->IsClosed()) return;
    w->show();
    // Headless platforms have no stacking and say so on every call.
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        w->raise();
        w->activateWindow();
    }
    impl_->app.SetVisible(true);
}

bool DrawingWindow::Close()
{
    MainWindow* w = impl_->window;
    if (!w || w->IsClosed()) return true;
    w->close();
    return w->IsClosed();
}

bool DrawingWindow::IsOpen() const { return impl_->window && !impl_->window->IsClosed(); }

os::WindowHandle DrawingWindow::Handle() const { return impl_->window ? os::HandleOf(impl_->window.data()) : 0; }

MainWindow* DrawingWindow::Window() const { return impl_->window; }

}  // namespace acad::ui
