#pragma once
// The graphical selections behind selection sets, user picks and the command
// line: which space they look at, what the current view lets them see, and the
// exact tests per mode. Selections by window, crossing, polygon and fence see
// only what is shown in the current view (frozen, switched-off and invisible
// entities are never found); picks at a point look at the whole space; "all"
// sees every entity of model space and the paper spaces.

#include <vector>

#include "platform/acad/Filter.h"
#include "platform/acad/HitTest.h"
#include "platform/acad/Geometry.h"

namespace acad {

class Block;
class Document;
class Entity;

// AcSelect: selection modes as the automation interface numbers them.
inline constexpr int acSelectionSetWindow = 0;
inline constexpr int acSelectionSetCrossing = 1;
inline constexpr int acSelectionSetFence = 2;
inline constexpr int acSelectionSetPrevious = 3;
inline constexpr int acSelectionSetLast = 4;
inline constexpr int acSelectionSetAll = 5;
inline constexpr int acSelectionSetWindowPolygon = 6;
inline constexpr int acSelectionSetCrossingPolygon = 7;

namespace selection {

// Pick box and object-snap aperture, in pixels of the drawing window.
inline constexpr double kPickBoxPixels = 3.0;
inline constexpr double kAperturePixels = 10.0;

// Where selections and picks look: model space, or the active layout's paper
// space (model space again while working inside one of its viewports).
Block& CurrentSpace(const Document& doc);
// Size of one pixel of the drawing window in drawing units (current view and SCREENSIZE).
double PixelSize(const Document& doc);
// What the window draws of the current space in the active view (DrawPlan.h):
// selections, picks and the object snap see it so.
DrawPlan ViewPlan(const Document& doc);
// Shown on screen: visible, on a layer that is on and thawed (HitTest.h), and
// not frozen in the viewport the plan is for.
using acad::IsShown;
bool IsShown(const Entity& e, const DrawPlan& plan);

// Window (wholly inside) or crossing (any drawn part inside or touching) within
// the part of `window` that the current view shows; drawing order.
std::vector<Entity*> ByWindow(const Document& doc, const Box& window, bool crossing, const SelectionFilter& filter);
// Fence (acSelectionSetFence: open line through the points), window polygon or
// crossing polygon, limited to the current view like windows; drawing order.
// InvalidInput for another mode or too few points.
std::vector<Entity*> ByPolygon(const Document& doc, int mode, const std::vector<Point3d>& points,
                               const SelectionFilter& filter);
// Every entity of model space, then of each paper space in tab order, whatever
// its layer's state.
std::vector<Entity*> All(const Document& doc, const SelectionFilter& filter);
// The shown entity nearest to `p` within the pick box (the one drawn last among
// equals), nullptr when there is none.
Entity* PickAt(const Document& doc, const Point3d& p, const SelectionFilter& filter = {});

}  // namespace selection
}  // namespace acad
