#pragma once
// What one view of a drawing draws, decided for the whole view, so that a
// frame, a selection, a pick (nested ones too) and the object snap each do an
// amount of work no larger than the entities of the space plus a fixed budget,
// whatever blocks, scales or viewports multiply, and all see the same thing.
//
// It rests on one count of what each kind of entity draws at a scale: line
// pieces and the chords of arcs, bulges, ellipses and splines, letters, hatch
// boundaries and filled area, and the length of line inked. The window draws
// by the same rules it is counted by (ArcChords, TextLookOf, SplineSpanPieces).
//
// The entities of the space are the file, and are drawn whole. What references
// multiply (their definitions' parts, their nested references) shares the
// view's budget: past it, the heaviest references are drawn with what lies
// nested past a depth as the outline of its box.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/acad/Entity.h"
#include "platform/acad/Geometry.h"
#include "platform/acad/Work.h"

namespace acad {

class Block;
class BlockReference;
class Document;
class PViewport;

// ---------------------------------------------------------------- the count

// How far a drawn chord may stray from its arc, in pixels.
constexpr double kArcTolerancePx = 0.3;
// Anything smaller than this many pixels is drawn as a dot.
constexpr double kDotPx = 1.5;
// Texts lower than this many pixels are drawn as their box: letters would be a smudge.
constexpr double kTinyTextPx = 4.0;
// Pixels of line that take as long to paint as one piece: large geometry on
// screen costs by its length, not by its count.
constexpr double kInkPx = 16.0;
// Pixels of filled area that take as long to paint as one piece.
constexpr double kFillPx = 256.0;

// Chords an arc of `radiusPx` pixels and `sweep` radians is drawn in, none
// straying more than `tolerancePx` from it.
int ArcChords(double radiusPx, double sweep, double tolerancePx = kArcTolerancePx);
// How a text whose cap height is `heightPx` and baseline `lengthPx` pixels is drawn.
enum class TextLook { Dot, Box, Letters };
TextLook TextLookOf(double heightPx, double lengthPx);

// Whether `e` is drawn: visible, its layer thawed (and not frozen in the
// viewport, `frozenHere` indexed by layer, empty: none) and on. A part
// `nested` in a block on layer "0" is drawn on the layer of the reference that
// holds it.
bool IsDrawn(const Entity& e, bool nested, const std::vector<char>& frozenHere = {});

// Whether the box of a reference is drawn as a dot at `pxPerUnit`.
bool IsDot(const Box& box, double pxPerUnit);

// Polylines whose widest piece is this many pixels wide or more are drawn as
// filled bands; thinner, the width does not show and they are plain lines.
constexpr double kWidePx = 2.0;
// The widest piece of a polyline that is drawn with its widths (0: none).
double WidestDrawn(const Entity& e);

// The work of drawing `e` (not a block reference) at `pxPerUnit` pixels per
// unit: one for the part, one for each piece (line piece, chord, dot, letter,
// vertex of a filled area) and the ink of its lines and areas, each line
// counted up to `inkCapPx` (what a view can show of it).
double Pieces(const Entity& e, double pxPerUnit, double inkCapPx);

// ---------------------------------------------------------------- the plan

// Depth past which nesting is never looked into: a reference nested this deep
// is drawn as its outline (a damaged file may nest a block in itself).
constexpr int kWholeDepth = 32;
// Work the references of a view may take together: about a tenth of a second
// of painting.
constexpr double kViewBudget = 1e6;
// A reference that draws no more than this is drawn whole whatever the budget:
// the references of ordinary blocks (a city's manholes) are drawn whole.
constexpr double kReferenceWork = 100;

class DrawPlan {
public:
    // How deep the window looks into `top`, an entity of the space: what lies
    // nested that deep is drawn as the outline of its box (0: `top` itself;
    // never more than kWholeDepth).
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
    // frames and selections of drawings without references weigh nothing.
    // `make` is kept until then, and must give a plan of the same scale and
    // the same layers frozen.
    static DrawPlan Deferred(double pxPerUnit, std::function<DrawPlan()> make, std::vector<char> frozenHere = {});

private:
    friend class Planner;
    // Whether `r` draws no more than an ordinary block here: drawn whole
    // whatever the budget, it needs no plan.
    bool Ordinary(const BlockReference& r) const;
    struct Depths;                                  // of the references not drawn whole
    mutable std::shared_ptr<const Depths> depths_;  // shared by the copies of a plan
    mutable std::function<DrawPlan()> make_;
    std::vector<char> frozen_;
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
// a plan: references drawn as dots or outlines are taken as such, entities not
// drawn are passed over. Counts its work (WalkWork).
class PlannedSink : public GeometrySink {
public:
    // `limit`: how deep the window looks into the entity of the space the sink
    // is shown (DrawPlan::DepthOf); `depth`: how deep the entity shown lies.
    PlannedSink(const DrawPlan& plan, int limit, int depth = 0);
    // The next entity emitted is one of the space, looked into `limit` deep.
    void Show(int limit);

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

protected:
    // Whether a reference whose box is `box` can matter to the sink (false:
    // passed over whole).
    virtual bool Wants(const Box& box)
    {
        (void)box;
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
    const DrawPlan& plan_;
    int limit_;
    int depth_;
};

// The four sides of `box`: how a reference is drawn past the depth the window
// looks into, and a view a sheet cannot afford.
void EmitOutline(GeometrySink& sink, const Box& box);


}  // namespace acad
