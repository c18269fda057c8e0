#pragma once
// Geometric tests of what entities draw (Entity::Emit), shared by selection
// sets and picking. A block reference is tested through its nested geometry
// and attribute texts, as the window draws them under the plan of the view
// (DrawPlan.h); texts through their box (TextMetrics.h).

#include <limits>
#include <optional>
#include <vector>

#include "platform/acad/DrawPlan.h"
#include "platform/acad/Geometry.h"

namespace acad {

class Entity;

// Whether an entity of a space is drawn at all: visible, and its layer on and
// thawed. Nested entities that are not drawn (IsDrawn) are skipped by every
// test below, so a block is never found through geometry on a frozen layer.
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

// DistanceTo under the plan of the view the pick is made in.
double DistanceTo(const Entity& e, const Point3d& p, double within, const DrawPlan& plan);
bool CrossesBox(const Entity& e, const Box& box, const DrawPlan& plan);
bool InsideBox(const Entity& e, const Box& box, const DrawPlan& plan);
bool CrossesPolygon(const Entity& e, const std::vector<Point3d>& polygon, const DrawPlan& plan);
bool InsidePolygon(const Entity& e, const std::vector<Point3d>& polygon, const DrawPlan& plan);
bool CrossesFence(const Entity& e, const std::vector<Point3d>& fence, const DrawPlan& plan);

// Nested pick (GetSubEntity): the innermost entity drawn within `tolerance` of
// `p`, looking inside block references (attributes first), with the chain of
// references from the outermost and the transform from the innermost
// definition's space to world.
struct NestedPick {
    Entity* entity = nullptr;
    std::vector<Entity*> containers;  // outermost first
    Transform toWorld;
};
// A reference drawn as its outline or as a dot is itself the innermost entity.
std::optional<NestedPick> PickNested(Entity& top, const Point3d& p, double tolerance);
std::optional<NestedPick> PickNested(Entity& top, const Point3d& p, double tolerance, const DrawPlan& plan);

}  // namespace acad
