#include "platform/os/QtBridge.h"
#include "platform/os/Window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace os {

namespace {

bool HasGui() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

// A window counts once the window system knows it; a widget that was never
// shown (nor asked for its handle) has no window yet.
bool IsLiveTopLevel(const QWindow* w) { return w && w->handle() && w->isTopLevel() && w->type() != Qt::Desktop; }

}  // namespace

QWindow* WindowOf(WindowHandle handle)
{
    if (!handle || !HasGui()) return nullptr;
    for (QWindow* w : QGuiApplication::allWindows())
        if (w->handle() && static_cast<WindowHandle>(w->winId()) == handle) return w;
    return nullptr;
}

QWidget* WidgetOf(WindowHandle handle)
{
    QWindow* window = WindowOf(handle);
    if (!window || !qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->windowHandle() == window) return widget;
    return nullptr;
}

WindowHandle HandleOf(QWidget* widget)
{
    if (!widget) return 0;
    return static_cast<WindowHandle>(widget->window()->winId());
}

WindowHandle HandleOf(QWindow* window)
{
    if (!window) return 0;
    return static_cast<WindowHandle>(window->winId());
}

std::vector<TopLevelWindow> TopLevelWindows()
{
    std::vector<TopLevelWindow> out;
    if (!HasGui()) return out;
    // Qt lists the newest window first, which is also the nearest to what the
    // window system's own enumeration (front to back) would give.
    for (QWindow* w : QGuiApplication::topLevelWindows()) {
        if (!IsLiveTopLevel(w)) continue;
        out.push_back({static_cast<WindowHandle>(w->winId()), w->title().toStdString(), w->isVisible()});
    }
    return out;
}

WindowHandle FindWindowByTitle(const std::string& title)
{
    const QString wanted = QString::fromStdString(title);
    const auto windows = TopLevelWindows();
    // Visible windows first: a hidden window with the same title must not
    // take the place of the one the user sees.
    for (bool visible : {true, false}) {
        for (const auto& w : windows)
            if (w.visible == visible && QString::fromStdString(w.title).compare(wanted, Qt::CaseInsensitive) == 0)
                return w.handle;
        if (wanted.isEmpty()) continue;
        for (const auto& w : windows)
            if (w.visible == visible && QString::fromStdString(w.title).startsWith(wanted, Qt::CaseInsensitive))
                return w.handle;
    }
    return 0;
}

std::string WindowTitle(WindowHandle handle)
{
    QWindow* w = WindowOf(handle);
    return w ? w->title().toStdString() : std::string();
}

bool WindowExists(WindowHandle handle) { return WindowOf(handle) != nullptr; }

bool ActivateWindow(WindowHandle handle)
{
    QWindow* window = WindowOf(handle);
    if (!window || !window->isVisible()) return false;
    if (QWidget* widget = WidgetOf(handle)) {
        if (widget->isMinimized()) widget->setWindowState(widget->windowState() & ~Qt::WindowMinimized);
        widget->raise();
        widget->activateWindow();
    } else {
        if (window->windowStates() & Qt::WindowMinimized)
            window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
        window->raise();
        window->requestActivate();
    }
    return true;
}

bool ActivateWindow(const std::string& title) { return ActivateWindow(FindWindowByTitle(title)); }

bool SendEscape(WindowHandle handle)
{
    if (!ActivateWindow(handle)) return false;
    // Sent to the window, not to a widget: the window hands each key to
    // whatever has its focus, as real typing does. Sent, not posted: a posted
    // key would wait for the next event loop, which is often the one of the
    // window's next question, and would cancel that question instead.
    const QString esc(QChar(27));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, esc);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier, esc);
    if (QWindow* window = WindowOf(handle)) QCoreApplication::sendEvent(window, &press);
    // The key may have closed the window (a dialog's Escape).
    if (QWindow* window = WindowOf(handle)) QCoreApplication::sendEvent(window, &release);
    return true;
}

bool SendEscape(const std::string& title) { return SendEscape(FindWindowByTitle(title)); }

bool SetTopmost(WindowHandle handle, bool topmost)
{
    QWindow* window = WindowOf(handle);
    if (!window) return false;
    if (QWidget* widget = WidgetOf(handle)) {
        // QWidget::setWindowFlags would hide the window; change the flag on
        // the live window and tell the widget without recreating anything.
        Qt::WindowFlags flags = widget->windowFlags();
        flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
        widget->overrideWindowFlags(flags);
        window->setFlags(flags);
    } else {
        window->setFlag(Qt::WindowStaysOnTopHint, topmost);
    }
    return true;
}

bool BeginSystemMove(WindowHandle handle)
{
    QWindow* window = WindowOf(handle);
    return window && window->startSystemMove();
}

}  // namespace os
