#include "platform/acad/DrawPlan.h"

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <deque>
#include <limits>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/Tables.h"
#include "platform/acad/TextEntities.h"

namespace acad {

// ---------------------------------------------------------------- the estimate

namespace {

constexpr double kHeavy = std::numeric_limits<double>::infinity();
// A reference drawn as a dot: it, and the dot.
constexpr double kDotWork = 2;

// Pieces an estimate may measure in definitions (each once at an octave of
// scale, and kept): past them, what is left counts as more than any budget.
// A copy is built while any are left, whatever its size (a definition of
// more pieces than these is drawn, not outlined for want of a measure), and
// charged what building it took. With the walks of references partly in
// view below, a view is weighed within its budget and one definition's copy.
constexpr long kEstimateSteps = 900000;
// References nested in references partly in view it may look at one by one:
// past them, such references are measured as drawn whole.
constexpr long kPartSteps = 400000;
// Pieces telling an ordinary reference may measure.
constexpr long kOrdinarySteps = 8 * static_cast<long>(kReferenceWork);


// Pieces as steps of a count: a measure past any budget stays a number.
long Steps(double pieces) { return static_cast<long>(std::min(pieces, 1e15)); }

// What `e` draws at `px`, charged to the walks' work.
double Charged(const Entity& e, double px, double cap)
{
    const double pieces = Pieces(e, px, cap);
    AddWork(1 + static_cast<std::uint64_t>(Steps(pieces)));
    return pieces;
}

// What the attributes of `r` draw at `px`, those `drawn` accepts.
template <typename Drawn>
double AttributePieces(const BlockReference& r, double px, double cap, Drawn drawn)
{
    if (!r.HasAttributes()) return 0;
    double work = 0;
    for (const AttributeReference* a : r.GetAttributes())
        if (drawn(*a)) work += Charged(*a, px, cap);
    return work;
}

const Levels& TooMuch()
{
    static const Levels kTooMuch = [] {
        Levels l;
        l.fill(kHeavy);
        l[0] = 0;
        return l;
    }();
    return kTooMuch;
}

}  // namespace

// What a reference takes at each depth it may be looked into: its
// definition's levels (kept in the definition, for every reference of it at
// about one scale) and what the reference adds to each (itself and its
// attributes); at 0, its outline.
struct Weight {
    const Levels* levels = nullptr;
    double add = 0;
    double outline = 0;
    double copies = 1;  // of a grid (MINSERT), those in view, each drawing it all
    double own = 0;     // what the entity draws besides its reference (a multileader's lines)
    double At(int depth) const
    {
        return own + (depth == 0 ? outline : copies * ((*levels)[static_cast<std::size_t>(depth)] + add));
    }
};

// Estimates what one view draws, as the window draws it: references out of
// view are passed over, those smaller than a dot are a dot, entities not drawn
// count nothing, and a reference weighs the copy of its definition at its
// scale. What it measures is kept in the definitions; what it looks at is
// charged to the walks' work.
class Estimate {
public:
    Estimate(const SpaceView& v, bool dots, long& steps)
        : view_(v.view),
          px_(v.pxPerUnit),
          dots_(dots),
          frozen_(v.frozen),
          cap_(2 * std::hypot(v.view.Width(), v.view.Height()) * v.pxPerUnit),
          steps_(steps)
    {
        if (!std::isfinite(cap_)) cap_ = 1e9;
    }

    // What a reference of the space draws looking `depth` levels into it,
    // less its definition's own parts when `ownFree` (they are drawn whatever
    // the budget). Valid while the estimate lives.
    Weight Top(const BlockReference& r, bool ownFree)
    {
        static const Levels kDots = [] {
            Levels l;
            l.fill(kDotWork);
            return l;
        }();
        static const Levels kNothing{};
        AddWork(1);
        const Box b = r.Extents();
        if (dots_ && IsDot(b, px_)) return Weight{&kDots, 0, kDotWork};
        // A grid draws the copies in view a pixel apart, each as a reference of
        // its own; copies too small to see, the pixels they ink.
        double copies = 1;
        if (r.Copies() > 1) {
            const BlockReference::FrameCost cost = r.CostOfCopies(Transform(), view_, dots_ ? px_ : 0, cap_);
            if (cost.dots > 0) return Weight{&kDots, 0, Outline(b, px_), cost.dots / kDotWork};
            copies = cost.copies;
        }
        const Weight w{&kNothing, 1 + Attributes(r, px_), Outline(b, px_), copies};
        const Block* def = r.Document().Blocks().ByIndex(r.Data().block);
        if (!def) return w;
        const Transform t = r.BlockTransform();
        if (view_.Contains(b) || partSteps_ < 0 || r.Copies() > 1) {
            // The same for every reference of the definition at about that scale.
            KeptDefinition& kept = KeptDefinition::Of(*def);
            const int octave = OctaveOf(px_ * MaxScale(t));
            const Levels* l = ownFree ? kept.HeldAt(octave, steps_) : kept.LevelsAt(octave, steps_);
            return Weight{l ? l : &TooMuch(), w.add, w.outline, copies};
        }
        return Weight{&partly_.emplace_back(Part(*def, t, !ownFree)), w.add, w.outline};
    }

    // A reference placed alike with one claimed before it: its attributes.
    Weight Alike(const BlockReference& r)
    {
        static const Levels kNothing{};
        AddWork(1);
        return Weight{&kNothing, 1 + Attributes(r, px_), 0};
    }

    double PixelsPerUnit() const { return px_; }

    // The plain work of an entity of the space (not a reference).
    double Plain(const Entity& e) const { return Charged(e, px_, cap_); }
    // The layers frozen in the view.
    const std::vector<char>& Frozen() const { return frozen_; }

    // A reference, or a view, drawn as the outline of its box `b`: it, and four pieces.
    double Outline(const Box& b, double px) const
    {
        if (b.IsEmpty()) return 1;
        return 5 + std::min(2 * (b.Width() + b.Height()) * px, 2 * cap_) / kInkPx;
    }

private:
    double Attributes(const BlockReference& r, double px) const
    {
        return AttributePieces(r, px, cap_, [this](const AttributeReference& a) { return IsDrawn(a, true, frozen_); });
    }

    // A definition drawn through `t` into a view that holds only part of it:
    // what lies out of view is not drawn. Past the steps of such walks, what
    // is left is measured as drawn whole, which is more. Measured at the
    // depths up to `reach` only: one nested inside, one depth less far, so
    // that however deep the nesting this walk never goes past kWholeDepth.
    Levels Part(const Block& def, const Transform& t, bool own, int reach = kWholeDepth)
    {
        KeptDefinition& kept = KeptDefinition::Of(def);
        const int octave = OctaveOf(px_ * MaxScale(t));
        const auto back = t.Inverse();
        auto whole = [&]() -> Levels {
            const Levels* l = own ? kept.LevelsAt(octave, steps_, reach) : kept.HeldAt(octave, steps_, reach);
            return l ? *l : TooMuch();
        };
        if (partSteps_ < 0 || !back) return whole();
        Levels k{};
        if (own) {
            // What its own pieces draw in view, from the copy at its scale.
            const bool exact = kept.DrawsExact(octave);
            if (!exact && kept.CopyCost(octave) > 0 && steps_ <= 0) return TooMuch();
            const std::uint64_t measured = WalkWork();
            const PieceSet& copy = kept.Drawn(octave);
            const std::uint64_t looked = WalkWork();
            steps_ -= static_cast<long>(looked - measured);
            const double in = copy.CostWithin(PlaneBoxThrough(view_, *back), px_ * MaxScale(t));
            partSteps_ -= static_cast<long>(WalkWork() - looked);
            for (int L = 1; L <= kWholeDepth; ++L) k[static_cast<std::size_t>(L)] += in;
        }
        const double px = px_ * MaxScale(t);
        for (const BlockReference* r : kept.Held()) {
            AddWork(1);
            if (--partSteps_ < 0) return whole();
            // A dimension's or a table's picture is drawn as its holder is.
            const Entity& holder = r->Holder() ? *r->Holder() : static_cast<const Entity&>(*r);
            if (r->IsErased() || !IsDrawn(holder, true, frozen_)) continue;
            const Box b = r->BoundsUnder(t);
            if (!b.IsEmpty() && !b.Intersects(view_)) continue;
            if (dots_ && IsDot(b, px_)) {
                for (int L = 1; L <= kWholeDepth; ++L) k[static_cast<std::size_t>(L)] += kDotWork;
                continue;
            }
            k[1] += Outline(b, px_);
            if (reach == 1) continue;  // looked into no further
            const double attributes = 1 + Attributes(*r, px);
            const Block* inner = def.Document().Blocks().ByIndex(r->Data().block);
            Levels nested{};
            if (inner) {
                const Transform inside = t * r->BlockTransform();
                if (view_.Contains(b) || r->Copies() > 1) {
                    const Levels* l =
                        KeptDefinition::Of(*inner).LevelsAt(OctaveOf(px_ * MaxScale(inside)), steps_, reach - 1);
                    nested = l ? *l : TooMuch();
                } else {
                    nested = Part(*inner, inside, true, reach - 1);
                }
            }
            // Each copy of a grid in view draws it all again.
            double copies = 1;
            if (r->Copies() > 1) {
                const BlockReference::FrameCost cost = r->CostOfCopies(t, view_, dots_ ? px_ : 0, cap_);
                if (cost.dots > 0) {
                    for (int L = 2; L <= reach; ++L) k[static_cast<std::size_t>(L)] += cost.dots;
                    continue;
                }
                copies = cost.copies;
            }
            for (int L = 2; L <= reach; ++L)
                k[static_cast<std::size_t>(L)] += copies * (attributes + nested[static_cast<std::size_t>(L - 1)]);
        }
        return k;
    }

    Box view_;
    double px_;
    bool dots_;
    const std::vector<char>& frozen_;
    double cap_;
    long& steps_;
    long partSteps_ = kPartSteps;
    std::deque<Levels> partly_;  // Top's, of references partly in view
};

// ---------------------------------------------------------------- the plan

namespace {

// A view that holds everything: nothing is passed over as out of it.
Box Everywhere()
{
    constexpr double kFar = 1e300;
    return Box::FromCorners({-kFar, -kFar, 0}, {kFar, kFar, 0});
}

// The entities of a space in a view, in drawing order.
std::vector<Entity*> Shown(const SpaceView& v)
{
    if (!v.space) return {};
    if (v.view.Contains(v.space->Extents())) return {v.space->begin(), v.space->end()};
    return v.space->QueryBox(v.view);
}

}  // namespace

namespace {
// Whether references placed at `a` and `b` draw the same, a pixel apart at most.
bool WithinAPixel(const PlacedAlike& a, const PlacedAlike& b)
{
    auto near = [](std::int64_t u, std::int64_t v) { return u - v <= 2 && v - u <= 2; };
    return a.block == b.block && a.layer == b.layer && a.linetype == b.linetype && a.color == b.color &&
           a.linetypeScale == b.linetypeScale && a.axes == b.axes && near(a.x, b.x) && near(a.y, b.y) && near(a.z, b.z);
}
}  // namespace

struct DrawPlan::Depths {
    absl::flat_hash_map<const Entity*, int> of;
};

// What the references of one or more views take of a budget they share.
class Planner {
public:
    // One claim on the budget: a reference of a space, or a viewport that
    // draws the model again (`top` null).
    struct Claim {
        std::size_t plan;
        const Entity* top;
        Weight weight;  // what of its work the budget pays for
        int depth = kWholeDepth;
        bool alike = false;  // placed alike with one claimed before it
        // Within a pixel of one claimed before it, and what it takes drawn as alike with it.
        bool near = false;
        Weight asNear{};
    };

    // Claims of the references of `shown` in the view of `estimate`. In the
    // file (a space shown once), a definition referenced only there draws its
    // own parts as the space's entities are drawn, whatever the budget.
    static void ClaimReferences(std::vector<Claim>& claims, std::size_t plan, const std::vector<Entity*>& shown,
                                Estimate& estimate, bool file)
    {
        // References placed alike since anything was drawn over where they
        // lie (`placedBox`): one drawn again would ink what the first inked,
        // with nothing between them on top of it.
        absl::flat_hash_set<PlacedAlike> placed, nearby;
        Box placedBox;
        std::optional<PlacedAlike> last;
        auto drawnOver = [&](const Entity& e) {
            if (placed.empty()) return;
            const Box box = e.Extents();
            if (!box.IsEmpty() && box.IsFinite() && !box.Intersects(placedBox)) return;
            placed.clear();
            nearby.clear();
            placedBox = Box();
        };
        const double px = estimate.PixelsPerUnit();
        for (const Entity* e : shown) {
            if (!IsDrawn(*e, false, estimate.Frozen())) continue;
            const BlockReference* r = e->DrawnReference();
            if (!r) {
                drawnOver(*e);
                last.reset();
                continue;
            }
            // A dimension's or a table's own pieces besides its block.
            const double own = r != e ? estimate.Plain(*e) : 0;
            const auto key = PlacedAt(*r, px);
            if (key && placed.contains(*key)) {
                claims.push_back(Claim{plan, r, estimate.Alike(*r), kWholeDepth, true});
                claims.back().weight.own = own;
                continue;
            }
            // One that draws what the last drew, a pixel from it at most,
            // inks the same colours about the same pixels: it hides nothing
            // of those placed before.
            if (!key || !last || !WithinAPixel(*key, *last)) drawnOver(*e);
            last = key;
            if (key) {
                placed.insert(*key);
                placedBox.Add(e->Extents());
            }
            // The half pixels of whole pixels: within a pixel of one before it.
            const auto pixel = PlacedAt(*r, px / 2);
            const bool near = pixel && !nearby.insert(*pixel).second;
            const Block* def = r->Document().Blocks().ByIndex(r->Data().block);
            // Not a grid's: each copy draws the parts again.
            const bool ownFree = file && def && def->References().size() == 1 && r->Copies() == 1;
            claims.push_back(Claim{plan, r, estimate.Top(*r, ownFree)});
            claims.back().weight.own = own;
            if (near) {
                claims.back().near = true;
                claims.back().asNear = estimate.Alike(*r);
                claims.back().asNear.own = own;
            }
        }
    }

    // Gives the claims, in the order of the file, all they draw while the
    // budget lasts: the claim it runs out on the deepest depth whose work fits
    // what is left, and the rest likewise (most then their outlines). A
    // reference that draws no more than an ordinary block is always drawn whole.
    static void Allocate(std::vector<Claim>& claims, double budget)
    {
        // A budget that cannot pay for them all draws of references within a
        // pixel of one another the first only, before it draws any as outlines.
        double all = 0;
        for (const Claim& c : claims)
            if (!c.alike && !(c.top && c.weight.At(kWholeDepth) <= kReferenceWork)) all += c.weight.At(kWholeDepth);
        if (!(all <= budget))
            for (Claim& c : claims)
                if (c.near) {
                    c.alike = true;
                    c.weight = c.asNear;
                }
        double left = budget;
        for (Claim& c : claims) {
            const double whole = c.weight.At(kWholeDepth);
            if (c.top && (c.alike || whole <= kReferenceWork)) continue;
            if (whole <= left) {
                left -= whole;
                continue;
            }
            int depth = kWholeDepth;
            while (depth > 0 && !(c.weight.At(depth) <= left)) --depth;
            c.depth = depth;
            left -= std::min(c.weight.At(depth), std::max(left, 0.0));
        }
    }

    // `inside`: the references each viewport claimed for (by plan), looked
    // into one level less than it.
    static void Apply(const std::vector<Claim>& claims, std::vector<DrawPlan>& plans,
                      const std::map<std::size_t, std::vector<const Entity*>>& inside = {})
    {
        std::vector<std::shared_ptr<DrawPlan::Depths>> depths(plans.size());
        auto of = [&](std::size_t plan) -> auto&
        {
            if (!depths[plan]) depths[plan] = std::make_shared<DrawPlan::Depths>();
            return depths[plan]->of;
        };
        for (const Claim& c : claims) {
            if (c.top) {
                if (c.alike)
                    of(c.plan)[c.top] = kDrawnAlike;
                else if (c.depth < kWholeDepth)
                    of(c.plan)[c.top] = c.depth;
                continue;
            }
            // A viewport looked into `depth` deep: the model's own entities at
            // 1, its references one level less.
            plans[c.plan].whole_ = c.depth >= 1;
            const auto found = inside.find(c.plan);
            if (c.depth == kWholeDepth || found == inside.end()) continue;
            for (const Entity* top : found->second) of(c.plan)[top] = std::max(0, c.depth - 1);
        }
        for (std::size_t i = 0; i < plans.size(); ++i) plans[i].depths_ = std::move(depths[i]);
    }

    static DrawPlan Fresh(const SpaceView& v, bool dots)
    {
        DrawPlan p;
        p.px_ = v.pxPerUnit;
        p.dots_ = dots;
        p.frozen_ = v.frozen;
        return p;
    }

    // The plan of `shown`, the entities of one view.
    static DrawPlan One(const SpaceView& v, bool dots, const std::vector<Entity*>& shown)
    {
        const ScalesInUse holding;  // the claims point into the measures kept
        std::vector<DrawPlan> plans{Fresh(v, dots)};
        long steps = kEstimateSteps;
        Estimate estimate(v, dots, steps);
        std::vector<Claim> claims;
        ClaimReferences(claims, 0, shown, estimate, true);
        Allocate(claims, kViewBudget);
        Apply(claims, plans);
        return plans[0];
    }
};

DrawPlan PlanView(const SpaceView& v)
{
    if (!(v.pxPerUnit > 0) || !std::isfinite(v.pxPerUnit)) return Planner::Fresh(v, true);
    return Planner::One(v, true, Shown(v));
}

std::vector<DrawPlan> PlanSheet(const SpaceView& paper, const std::vector<SpaceView>& viewports)
{
    const ScalesInUse holding;  // the claims point into the measures kept
    std::vector<DrawPlan> plans{Planner::Fresh(paper, true)};
    for (const SpaceView& v : viewports) plans.push_back(Planner::Fresh(v, true));
    long steps = kEstimateSteps;
    std::deque<Estimate> estimates;  // the claims point into them
    std::deque<Levels> drawn;        // what each viewport other than the file draws
    std::vector<Planner::Claim> claims;
    std::map<std::size_t, std::vector<const Entity*>> inside;
    if (paper.pxPerUnit > 0 && std::isfinite(paper.pxPerUnit))
        Planner::ClaimReferences(claims, 0, Shown(paper), estimates.emplace_back(paper, true, steps), true);
    // The viewport that shows most (the first of those that show as much) is the file.
    std::size_t file = viewports.size();
    double most = -1;
    for (std::size_t i = 0; i < viewports.size(); ++i) {
        const SpaceView& v = viewports[i];
        const double area = v.view.Width() * v.view.Height() * v.pxPerUnit * v.pxPerUnit;
        if (v.pxPerUnit > 0 && std::isfinite(v.pxPerUnit) && area > most) {
            most = area;
            file = i;
        }
    }
    // What the other viewports draw of the model's own entities is measured up
    // to the budget, which they share: past it, the rest count as too much.
    // The file is weighed first: the steps the others leave do not decide it.
    if (file < viewports.size())
        Planner::ClaimReferences(claims, file + 1, Shown(viewports[file]),
                                 estimates.emplace_back(viewports[file], true, steps), true);
    double measured = 0;
    for (std::size_t i = 0; i < viewports.size(); ++i) {
        const SpaceView& v = viewports[i];
        if (i == file || !(v.pxPerUnit > 0) || !std::isfinite(v.pxPerUnit)) continue;
        Estimate& estimate = estimates.emplace_back(v, true, steps);
        const bool all = v.space && v.view.Contains(v.space->Extents());
        double plain = 0;
        std::vector<Planner::Claim> references;
        if (v.space && (!all || measured + static_cast<double>(v.space->Count()) <= kViewBudget)) {
            const std::vector<Entity*> shown = Shown(v);
            for (const Entity* e : shown) {
                if (measured + plain > kViewBudget) break;
                if (e->DrawnReference() || !IsDrawn(*e, false, v.frozen)) continue;
                plain += estimate.Plain(*e);
            }
            if (measured + plain <= kViewBudget) Planner::ClaimReferences(references, i + 1, shown, estimate, false);
        } else {
            plain = kHeavy;
        }
        measured += plain;
        Levels& levels = drawn.emplace_back();
        for (int L = 1; L <= kWholeDepth; ++L) {
            levels[static_cast<std::size_t>(L)] = measured > kViewBudget ? kHeavy : plain;
            for (const Planner::Claim& r : references) levels[static_cast<std::size_t>(L)] += r.weight.At(L - 1);
        }
        std::vector<const Entity*>& tops = inside[i + 1];
        for (const Planner::Claim& r : references) tops.push_back(r.top);
        // Drawn as an outline: the box of what it looks at.
        const double outline = v.space ? estimate.Outline(v.view, v.pxPerUnit) : 0;
        claims.push_back(Planner::Claim{i + 1, nullptr, Weight{&levels, 0, outline}});
    }
    Planner::Allocate(claims, kViewBudget);
    Planner::Apply(claims, plans, inside);
    return plans;
}

namespace {

// The states of the layers of `doc` (thawed, on), which decide what is drawn.
std::vector<bool> LayerStates(const Document& doc)
{
    std::vector<bool> states;
    for (std::uint32_t i = 0; i < doc.Layers().RecordCount(); ++i) {
        const Layer* l = doc.Layers().ByIndex(i);
        states.push_back(l && !l->Freeze());
        states.push_back(l && l->LayerOn());
    }
    return states;
}

}  // namespace

struct Document::KeptPlan {
    const Block* space;
    std::uint64_t revision, definitions;
    std::vector<bool> layers;
    Box view;
    DrawPlan plan;  // its scale and frozen layers are the view's

    bool Fits(const Document& doc, const SpaceView& v) const
    {
        return space == v.space && revision == doc.Revision() && definitions == doc.DefinitionsRevision() &&
               view.min == v.view.min && view.max == v.view.max && plan.PixelsPerUnit() == v.pxPerUnit &&
               plan.FrozenHere() == v.frozen && layers == LayerStates(doc);
    }
};

DrawPlan KeptPlanView(const Document& doc, const SpaceView& v)
{
    if (const auto& kept = doc.PlanKept(); kept && kept->Fits(doc, v)) return kept->plan;
    return DrawPlan::Deferred(
        v.pxPerUnit,
        [&doc, v] {
            DrawPlan plan = PlanView(v);
            doc.PlanKept() = std::make_shared<Document::KeptPlan>(
                Document::KeptPlan{v.space, doc.Revision(), doc.DefinitionsRevision(), LayerStates(doc), v.view, plan});
            return plan;
        },
        v.frozen);
}

DrawPlan PlanAlone(const Entity& e)
{
    if (!e.DrawnReference()) return DrawPlan{};
    // Outside a view nothing has a size on screen: the parts count, not their length.
    SpaceView v;
    v.view = Everywhere();
    v.pxPerUnit = 1e-300;
    return Planner::One(v, false, {const_cast<Entity*>(&e)});
}

DrawPlan DrawPlan::Deferred(double pxPerUnit, std::function<DrawPlan()> make, std::vector<char> frozenHere)
{
    DrawPlan plan;
    plan.px_ = pxPerUnit;
    plan.frozen_ = std::move(frozenHere);
    plan.dots_ = true;
    plan.make_ = std::move(make);
    return plan;
}

bool DrawPlan::Ordinary(const BlockReference& r) const
{
    if (dots_ && acad::IsDot(r.Extents(), px_)) return true;  // a dot, or seen through as an ordinary block
    const Block* def = r.Document().Blocks().ByIndex(r.Data().block);
    // Its attributes' ink up to what a view shows of a line: a huge text costs
    // what the window can paint of it, not its whole size on screen.
    double work = 1 + AttributePieces(r, px_, kInkCapPx,
                                      [this](const AttributeReference& a) { return IsDrawn(a, true, frozen_); });
    if (def) {
        // Measured at the reference's own scale, kept in its definition. One
        // heavier than an ordinary block is not measured here: the view's
        // plan measures it, once.
        const ScalesInUse holding;
        KeptDefinition& kept = KeptDefinition::Of(*def);
        const int octave = OctaveOf(px_ * MaxScale(r.BlockTransform()));
        if (kept.Pieces() * static_cast<double>(r.Copies()) > kReferenceWork && kept.CopyCost(octave) > 0) return false;
        long steps = kOrdinarySteps;
        const Levels* levels = kept.LevelsAt(octave, steps);
        if (!levels) return false;
        work += (*levels)[kWholeDepth];
    }
    // Each copy of a grid draws it all again.
    return work * static_cast<double>(r.Copies()) <= kReferenceWork;
}

int DrawPlan::DepthOf(const Entity& top) const
{
    if (!Budgeted()) return kWholeDepth;
    // A dimension or a table is looked into as the reference it draws through.
    const BlockReference* r = top.DrawnReference();
    if (make_) {
        // An ordinary reference is drawn whole whatever the plan: the view is
        // weighed only once a heavier one is met.
        if (!r || Ordinary(*r)) return kWholeDepth;
        const std::function<DrawPlan()> make = std::move(make_);
        make_ = nullptr;
        depths_ = make().depths_;
    }
    if (!depths_) return kWholeDepth;
    const auto found = depths_->of.find(r ? static_cast<const Entity*>(r) : &top);
    return found == depths_->of.end() ? kWholeDepth : found->second;
}

// ---------------------------------------------------------------- walking under a plan

bool DrawPlan::Spent() const
{
    if (!Budgeted()) return false;
    if (walkFrom_ == ~std::uint64_t{0}) walkFrom_ = WalkWork();
    return static_cast<double>(WalkWork() - walkFrom_) > kViewBudget;
}

bool SeenThroughDot(const BlockReference& r)
{
    const Block* def = r.Document().Blocks().ByIndex(r.Data().block);
    return !def || KeptDefinition::Of(*def).Pieces() * static_cast<double>(r.Copies()) <= kReferenceWork;
}

namespace {
std::array<Point3d, 4> Corners(const Box& b)
{
    return {b.min, {b.max.x, b.min.y, b.min.z}, b.max, {b.min.x, b.max.y, b.max.z}};
}
}  // namespace

void EmitOutline(GeometrySink& sink, const Box& box)
{
    const std::array<Point3d, 4> c = Corners(box);
    for (std::size_t k = 0; k < 4; ++k) sink.Segment(c[k], c[(k + 1) % 4]);
}

std::vector<char> FrozenIn(const PViewport& vp)
{
    std::vector<char> frozen(vp.Document().Layers().RecordCount(), 0);
    for (std::uint32_t i : vp.Data().frozenLayers)
        if (i < frozen.size()) frozen[i] = 1;
    return frozen;
}

PlannedSink::PlannedSink(const DrawPlan& plan, int limit, int depth)
    : plan_(plan), limit_(std::min(limit, kWholeDepth)), depth_(depth)
{
}

void PlannedSink::Show(int limit)
{
    limit_ = std::min(limit, kWholeDepth);
    depth_ = 0;
    layers_.clear();
}

bool PlannedSink::HolderShows() const { return layers_.empty() || !layers_.back() || layers_.back()->LayerOn(); }

bool PlannedSink::BeginNested(const Entity& e)
{
    AddWork(1);
    const Layer* inherited = layers_.empty() ? nullptr : layers_.back();
    if (!IsDrawn(e, true, plan_.FrozenHere(), inherited) || !Enters(e, depth_)) return false;
    const Layer* drawn = DrawnLayer(e, inherited);
    // A part on layer "0" of a holder not known is drawn on that holder's layer.
    layers_.push_back(!inherited && drawn && drawn->IsZero() ? nullptr : drawn);
    ++depth_;
    return true;
}

void PlannedSink::EndNested(const Entity&)
{
    --depth_;
    if (!layers_.empty()) layers_.pop_back();
}

bool PlannedSink::BeginReference(const BlockReference& r, const Transform& t)
{
    // The entity shown: what it holds on layer "0" is drawn on its layer.
    if (depth_ == 0) layers_.assign(1, DrawnLayer(r.Holder() ? *r.Holder() : static_cast<const Entity&>(r), nullptr));
    const Box b = r.BoundsUnder(t);
    if (!Wants(b)) return false;
    if (plan_.IsDot(b) && !SeenThroughDot(r)) {
        // Drawn as a dot, which covers its box; nothing, when its layer is off.
        if (!HolderShows()) return false;
        Point(b.Center());
        const std::array<Point3d, 4> c = Corners(b);
        Fill({c.begin(), c.end()});
        return false;
    }
    // Looked into whatever the view's budget, but for a nesting deeper than
    // any drawing holds, or a walk that did a budget's work already.
    if (depth_ < limit_ && !plan_.Spent()) return true;
    if (!b.IsEmpty()) EmitOutline(*this, b);
    return false;
}

void PlannedSink::Point(const Point3d& p)
{
    AddWork(1);
    OnPoint(p);
}

void PlannedSink::Segment(const Point3d& a, const Point3d& b)
{
    AddWork(1);
    OnSegment(a, b);
}

void PlannedSink::Arc(const CircularArc& a)
{
    AddWork(1);
    OnArc(a);
}

void PlannedSink::Text(const TextPrimitive& t)
{
    // Laid out already: a walk tests its box.
    AddWork(1);
    OnText(t);
}

void PlannedSink::Fill(const std::vector<Point3d>& ring)
{
    if (!TakesFills()) return;
    AddWork(ring.size());
    OnFill(ring);
}

void PlannedSink::Ray(const Point3d& base, const Vector3d& direction, bool bothWays)
{
    AddWork(1);
    OnRay(base, direction, bothWays);
}

void PlannedSink::OnRay(const Point3d& base, const Vector3d& direction, bool bothWays)
{
    GeometrySink::Ray(base, direction, bothWays);  // the piece in reach, as a segment
}

bool PlannedSink::MoreCopies(const BlockReference& r, const Transform& t)
{
    if (Done()) return false;
    if (!plan_.Spent()) return true;
    // A walk that did a budget's work already takes the rest as the outline of the grid.
    if (const Box b = r.BoundsUnder(t); !b.IsEmpty()) EmitOutline(*this, b);
    return false;
}

bool PlannedSink::WantsCopy(const BlockReference& r, const Box& box)
{
    AddWork(1);
    if (!Wants(box)) return false;
    if (plan_.IsDot(box) && !SeenThroughDot(r)) {
        // A copy drawn as a dot, which covers its box; nothing, when its layer is off.
        if (!HolderShows()) return false;
        Point(box.Center());
        const std::array<Point3d, 4> c = Corners(box);
        Fill({c.begin(), c.end()});
        return false;
    }
    return true;
}

}  // namespace acad
