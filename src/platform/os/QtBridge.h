#pragma once
// Qt side of the window handles, for the other platform layers (forms, the
// drawing host's window) only: the system's code never includes this header.

#include "platform/os/Window.h"

class QWidget;
class QWindow;

namespace os {

// The handle of the top-level window that holds `widget` (creating its native
// window if it has none yet). 0 for null.
WindowHandle HandleOf(QWidget* widget);
WindowHandle HandleOf(QWindow* window);

// The live window or widget behind a handle, or null when it no longer exists.
QWindow* WindowOf(WindowHandle handle);
QWidget* WidgetOf(WindowHandle handle);

}  // namespace os
