#pragma once
// Geometric tests of what entities draw (Entity::Emit), shared by selection
// sets, picking and the window. A block reference is tested through its nested
// geometry and attribute texts; texts through their box (TextMetrics.h).

#include <limits>
#include <optional>
#include <vector>

#include "platform/acad/Geometry.h"

namespace acad {

class Entity;

// Whether the entity is drawn at all: visible, and its layer on and thawed.
// Nested entities that are not drawn are skipped by every test below, so a
// block is never found through geometry on a frozen layer.
bool IsShown(const Entity& e);

// Crossing: some drawn part lies inside or crosses the box (borders count). A
// zero-size box asks whether the geometry passes through that point (within a
// tolerance of 1e-9 relative to the coordinates).
bool CrossesBox(const Entity& e, const Box& box);
// Window: every drawn part lies inside the box (and something is drawn).
bool InsideBox(const Entity& e, const Box& box);
// Crossing polygon: some drawn part lies inside or crosses the closed polygon.
bool CrossesPolygon(const Entity& e, const std::vector<Point3d>& polygon);
// Window polygon: every drawn part lies inside the polygon.
bool InsidePolygon(const Entity& e, const std::vector<Point3d>& polygon);
// Fence: the open polyline touches some drawn part.
bool CrossesFence(const Entity& e, const std::vector<Point3d>& fence);
// Distance in the XY plane from `p` to the nearest drawn part (infinity when
// nothing is drawn). Text counts as its filled box. Parts farther than `within`
// may be passed over: the answer is then only known to be beyond it.
double DistanceTo(const Entity& e, const Point3d& p, double within = std::numeric_limits<double>::infinity());

// Nested parts one test (or one pick, across the entities it measures) looks
// into. Past them, a block reference not yet looked into counts as the outline
// of its box, as the window draws it: blocks nested many times over then answer
// in a moment instead of holding the user up for minutes.
constexpr long kPartBudget = 100000;
// DistanceTo drawing on `partsLeft`, shared by the tests of one pick.
double DistanceTo(const Entity& e, const Point3d& p, double within, long& partsLeft);

// Nested pick (GetSubEntity): the innermost entity drawn within `tolerance` of
// `p`, looking inside block references (attributes first), with the chain of
// references from the outermost and the transform from the innermost
// definition's space to world.
struct NestedPick {
    Entity* entity = nullptr;
    std::vector<Entity*> containers;  // outermost first
    Transform toWorld;
};
std::optional<NestedPick> PickNested(Entity& top, const Point3d& p, double tolerance);

// Nearest endpoint (line ends, polyline vertices, arc ends, points, insertion
// points; nested geometry included) within `tolerance` of `p`: the object snap
// OSMODE 1 asks for.
std::optional<Point3d> NearestEndpoint(const Entity& e, const Point3d& p, double tolerance);

}  // namespace acad
