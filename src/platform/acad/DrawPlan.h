#pragma once
// What one view of a drawing draws, decided for the whole view, so that a
// frame does an amount of work no larger than the entities of the space plus
// a fixed budget, whatever blocks, scales or viewports multiply.
//
// It rests on one count of what each kind of entity draws at a scale
// (DrawCount.h) and on what is kept of each definition (KeptDefinition.h): a
// reference is drawn from the copy of its definition simplified to half a
// pixel at its scale, which is what it weighs.
//
// The entities of the space are the file, and are drawn whole. What references
// multiply (their definitions' parts, their nested references) shares the
// view's budget: when even the simplified copies exceed it, the references
// are drawn whole in the order of the file while it lasts; the one it runs
// out on, with what lies nested past a depth as the outline of its box, and
// the rest as outlines. The budget decides how detailed the picture is, never
// what exists: selections, picks and object snaps answer from the geometry
// (a plan gives them its scale, its dots and its frozen layers), and only a
// nesting no file of drawings holds (a walk of more than a budget's work)
// makes them take what is left as outlines.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/acad/Entity.h"
#include "platform/acad/Geometry.h"
#include "platform/acad/KeptDefinition.h"
#include "platform/acad/DrawCount.h"
#include "platform/acad/Work.h"

namespace acad {

class Block;
class BlockReference;
class Document;
class PViewport;

// ---------------------------------------------------------------- the plan

// Work the references of a view may take together: about a tenth of a second
// of painting. A walk (a selection, a pick, a snap) takes no more than this
// either, but for a nesting no drawing holds.
constexpr double kViewBudget = 1e6;

// The depth of a reference placed alike with one drawn before it
// (PlacedAlike): drawing it again would ink the same pixels, so that only its
// attributes are drawn. When the budget cannot pay for every reference of a
// view, those within a pixel of one drawn before them are drawn so too.
constexpr int kDrawnAlike = -1;

class DrawPlan {
public:
    // How deep the window looks into `top`, an entity of the space: what lies
    // nested that deep is drawn as the outline of its box (0: `top` itself;
    // never more than kWholeDepth; kDrawnAlike).
    int DepthOf(const Entity& top) const;
    // Whether a reference whose box (where it is drawn) is `box` is drawn as a dot.
    bool IsDot(const Box& box) const { return dots_ && acad::IsDot(box, px_); }
    // Whether the space's own entities are drawn: a viewport that a sheet's
    // budget cannot hold shows only the outline of what it looks at.
    bool Whole() const { return whole_; }
    // Layers frozen in the viewport the plan is for (indexed by layer; empty: none).
    const std::vector<char>& FrozenHere() const { return frozen_; }
    double PixelsPerUnit() const { return px_; }

    // The plan `make` gives, made only once a reference of the space is met:
    // frames of drawings without references weigh nothing. `make` is kept
    // until then, and must give a plan of the same scale and the same layers
    // frozen.
    static DrawPlan Deferred(double pxPerUnit, std::function<DrawPlan()> make, std::vector<char> frozenHere = {});

    // Whether a walk made under this copy of the plan (from its first asking)
    // did more work than a walk may: a view's budget.
    bool Spent() const;

private:
    friend class Planner;
    // Whether `r` draws no more than an ordinary block here: drawn whole
    // whatever the budget, it needs no plan.
    bool Ordinary(const BlockReference& r) const;
    struct Depths;                                  // of the references not drawn whole
    mutable std::shared_ptr<const Depths> depths_;  // shared by the copies of a plan
    mutable std::function<DrawPlan()> make_;
    std::vector<char> frozen_;
    mutable std::uint64_t walkFrom_ = ~std::uint64_t{0};  // the work done when the walk began
    double px_ = 0;
    bool dots_ = false;
    bool whole_ = true;
};

// The layers frozen in a viewport, indexed by layer.
std::vector<char> FrozenIn(const PViewport& vp);

// A space seen in a view: the box it shows, at `pxPerUnit`, with the layers
// frozen there.
struct SpaceView {
    const Block* space = nullptr;
    Box view;
    double pxPerUnit = 0;
    std::vector<char> frozen;
};
// The plan for drawing the entities of a space that lie in `view`; it depends
// on nothing else (not on the order they are drawn in).
DrawPlan PlanView(const SpaceView& view);
// PlanView of a view of `doc`, kept in the document for what is asked next in
// the same view until the drawing (its entities, definitions or layers)
// changes: every pick and object snap of a mouse move weighs the view once.
DrawPlan KeptPlanView(const Document& doc, const SpaceView& view);
// The plans of a sheet: `paper` and each of `viewports` (model space through
// them), which share one budget. The viewport that shows most is the file,
// drawn as model space would be; the others draw the model again, so what they
// draw is counted as references' is.
std::vector<DrawPlan> PlanSheet(const SpaceView& paper, const std::vector<SpaceView>& viewports);
// The plan for one entity alone, in no view: what a test asked outside any
// view may look into.
DrawPlan PlanAlone(const Entity& e);

// Whether selections and picks look into a reference the window draws as a
// dot all the same: one of an ordinary block, whose few pieces all lie under
// the dot, so that a window on a point finds what passes through it there.
// Others, however few their parts, are taken as the dot, which covers their box.
bool SeenThroughDot(const BlockReference& r);

// Base of the sinks that walk what an entity draws as the window draws it under
// a plan, whatever its budget: references drawn as dots are taken as such,
// entities not drawn are passed over. Counts its work (WalkWork).
class PlannedSink : public GeometrySink {
public:
    // `limit`: how deep it looks into the entity of the space it is shown;
    // `depth`: how deep the entity shown lies.
    explicit PlannedSink(const DrawPlan& plan, int limit = kWholeDepth, int depth = 0);
    // The next entity emitted is one of the space, looked into `limit` deep.
    void Show(int limit);
    // The parts emitted next are held by a reference drawn on `layer` (a
    // definition walked on its own, as a nested pick does).
    void HeldOn(const Layer* layer) { layers_.assign(1, layer); }

    bool BeginNested(const Entity& e) final;
    void EndNested(const Entity& e) final;
    bool BeginReference(const BlockReference& r, const Transform& t) final;
    void Point(const Point3d& p) final;
    void Segment(const Point3d& a, const Point3d& b) final;
    void Arc(const CircularArc& a) final;
    void Text(const TextPrimitive& t) final;
    void Fill(const std::vector<Point3d>& ring) final;
    double PixelsPerUnit() const override { return plan_.PixelsPerUnit(); }
    void Ray(const Point3d& base, const Vector3d& direction, bool bothWays) final;
    // A copy of a grid is passed over as Wants says, and drawn as a dot as a reference would be.
    bool WantsCopy(const BlockReference& r, const Box& box) final;
    // The copies of a grid are walked while the answer is open, and a walk's work lasts.
    bool MoreCopies(const BlockReference& r, const Transform& t) final;

protected:
    // Whether a reference whose box is `box` can matter to the sink (false:
    // passed over whole).
    virtual bool Wants(const Box& box)
    {
        (void)box;
        return true;
    }
    // Whether to look into `e`, drawn, nested `depth` deep under the entity shown.
    virtual bool Enters(const Entity& e, int depth)
    {
        (void)e;
        (void)depth;
        return true;
    }
    virtual void OnPoint(const Point3d& p) = 0;
    virtual void OnSegment(const Point3d& a, const Point3d& b) = 0;
    virtual void OnArc(const CircularArc& a) = 0;
    virtual void OnText(const TextPrimitive& t) = 0;
    virtual void OnFill(const std::vector<Point3d>& ring) { (void)ring; }
    // A line without end: by default, its piece within Reach() (to infinity
    // without one), as a segment.
    virtual void OnRay(const Point3d& base, const Vector3d& direction, bool bothWays);

private:
    // Whether what the holder being walked draws on its own layer shows: a
    // reference on a layer that is off draws only its parts on layers of their own.
    bool HolderShows() const;

    const DrawPlan& plan_;
    int limit_;
    int depth_;
    // The layers the holders being walked are drawn on, the innermost last
    // (null: not known, the entity shown lies nested).
    std::vector<const Layer*> layers_;
};

// The four sides of `box`: how a reference is drawn past the depth the window
// looks into, and a view a sheet cannot afford.
void EmitOutline(GeometrySink& sink, const Box& box);

}  // namespace acad
