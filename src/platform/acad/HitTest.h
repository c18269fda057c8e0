#pragma once
// Geometric tests of what entities draw (Entity::Emit), shared by selection
// sets, picking and the window. A block reference is tested through its nested
// geometry and attribute texts; texts through their box (TextMetrics.h).

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <unordered_map>
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

// What one view of a space draws, decided for the whole of it, so that a frame,
// a selection and a pick each do a bounded amount of work and see the same
// thing: references nested `depth` deep (the space's own are at 0) count as the
// outline of their box. Ordinary drawings are drawn whole.
constexpr int kWholeDepth = 32;
// How far a drawn chord may stray from its arc, in pixels.
constexpr double kArcTolerancePx = 0.3;
// Chords the window draws an arc of `radiusPx` pixels and `sweep` radians in,
// none straying more than `tolerancePx` from it: the same count for the
// window and for the estimate of what it draws.
int ArcChords(double radiusPx, double sweep, double tolerancePx = kArcTolerancePx);
class ViewEstimate;
class DrawPlan {
public:
    // How deep the window looks into `top`, an entity of the space.
    int DepthOf(const Entity& top) const;

    // The plan `make` gives, made only once a reference is met that draws more
    // than an ordinary block at `pxPerUnit` (the others are drawn whole in any
    // plan): frames and selections of ordinary drawings do not weigh the whole
    // view first.
    static DrawPlan Deferred(double pxPerUnit, std::function<DrawPlan()> make);

private:
    friend DrawPlan PlanView(const std::vector<Entity*>&, const Box&, double, bool);
    mutable std::unordered_map<const Entity*, int> depths_;  // of those not drawn whole
    mutable std::function<DrawPlan()> make_;
    std::shared_ptr<ViewEstimate> light_;  // which references are ordinary
};
// Work (nested parts visited, pieces drawn and their length) the references of
// a view may take together past their own parts, which are drawn whatever it
// is, as the space's own entities are: about a tenth of a second of painting.
// Each may take at least `kReferenceWork`, so that references of ordinary
// blocks, however many, are drawn whole.
constexpr double kViewBudget = 5e5;
constexpr double kReferenceWork = 2000;
// Anything smaller than this many pixels the window draws as a dot.
constexpr double kDotPx = 1.5;
// The plan for drawing `shown` (the entities of a space in `view`) at
// `pxPerUnit` pixels per drawing unit; it depends on nothing else. The window
// draws a reference smaller than a dot as one (`dots`); selections and picks
// look into it all the same, so that a small window on a point finds what
// passes through it, and count all it holds: they may look less deep than the
// window only where it draws dots.
DrawPlan PlanView(const std::vector<Entity*>& shown, const Box& view, double pxPerUnit, bool dots);
// The plan for one entity alone, in no view: what a test asked outside any
// view may look into.
DrawPlan PlanAlone(const Entity& e);

// Nested parts the tests below have looked into since the program started: how
// tests hold their work bounded.
std::uint64_t HitTestWork();

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
// A reference drawn as its outline is itself the innermost entity.
std::optional<NestedPick> PickNested(Entity& top, const Point3d& p, double tolerance);
std::optional<NestedPick> PickNested(Entity& top, const Point3d& p, double tolerance, const DrawPlan& plan);

// Nearest endpoint (line ends, polyline vertices, arc ends, points, insertion
// points; nested geometry included) within `tolerance` of `p`: the object snap
// OSMODE 1 asks for.
std::optional<Point3d> NearestEndpoint(const Entity& e, const Point3d& p, double tolerance);

}  // namespace acad
