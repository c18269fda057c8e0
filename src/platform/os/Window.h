#pragma once
// The program's top-level windows, found and acted on by title, as the system
// finds the drawing host's window and brings it to the front.
//
// A WindowHandle is the native identifier of a top-level window (0 = none);
// like a window handle it is only a number: every function checks that the
// window still exists before touching it.

#include <cstdint>
#include <string>
#include <vector>

namespace os {

using WindowHandle = std::uintptr_t;

struct TopLevelWindow {
    WindowHandle handle = 0;
    std::string title;
    bool visible = false;
};

// Every top-level window the program has created, hidden ones included, in
// the order they were created (stable from call to call).
std::vector<TopLevelWindow> TopLevelWindows();

// The window whose title equals `title` (case-insensitive); failing that, one
// whose title begins with it. 0 when none.
WindowHandle FindWindowByTitle(const std::string& title);

std::string WindowTitle(WindowHandle window);
bool WindowExists(WindowHandle window);

// Brings the window to the front and gives it the keyboard focus; a minimised
// window is restored first, so that the user can work in it. False when no
// such window exists.
bool ActivateWindow(WindowHandle window);
bool ActivateWindow(const std::string& title);

// Activates the window and gives it one press and one release of the Escape
// key; the key reaches the widget that has the focus in that window, as typed
// keys would. Delivered at once: the key acts on what the window is doing now
// and is not kept for a question it asks later. False when no such window
// exists.
bool SendEscape(WindowHandle window);
bool SendEscape(const std::string& title);

// Keeps the window above the others (or stops doing so) without moving,
// resizing, hiding or re-showing it.
bool SetTopmost(WindowHandle window, bool topmost = true);

// Lets the window system move the window with the mouse as if its title bar
// had been grabbed (for borderless windows dragged by a banner). False when
// the window system cannot do it; the caller then moves the window itself.
bool BeginSystemMove(WindowHandle window);

}  // namespace os
