#pragma once
// What is kept of each block definition: measured once, shared by every
// reference to it, and kept until it (or a definition it holds) changes.
//
// - Its measures: the box, the count and the convex hull of what a reference
//   draws, and the references it holds.
// - Its pieces (segments, chords, letters, points of boundaries, the
//   references it holds), in the order they are drawn, grouped in boxes. A
//   reference partly in view, or one that a pick, a window, a crossing or an
//   object snap looks into, asks them in its own coordinates (the query mapped
//   back through its placement), and costs the pieces there.
// - For each octave of scale, a copy of what it draws simplified to half a
//   pixel: consecutive pieces that fall in the same pixels are drawn once, so
//   the picture stays the same to within a pixel. The window draws a
//   reference from the copy at its scale; the copy's weight at each depth the
//   window may look into it is what the plan of a view shares the budget by.
//   What is kept per octave, of every definition together, is held to
//   kKeptScaleBytes: past it, the octaves used least recently are released
//   (and built again when a view needs them), once no walk holds them.
//
// The block, the plan, the window and the hit tests all read it here.

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/acad/Entity.h"
#include "platform/acad/Geometry.h"
#include "platform/acad/DrawCount.h"

namespace acad {

class Block;
class BlockReference;

// A reference that draws no more than this is drawn whole whatever the budget:
// the references of ordinary blocks (a city's manholes) are drawn whole.
constexpr double kReferenceWork = 100;
// Depth past which nesting is never looked into: a reference nested this deep
// is drawn as its outline (a damaged file may nest a block in itself).
constexpr int kWholeDepth = 32;
// What a reference takes at each depth it may be looked into (0: its outline).
using Levels = std::array<double, kWholeDepth + 1>;
// Pixels of line a view can show of one line: what a piece's ink is counted up to.
constexpr double kInkCapPx = 2000;
// What the copies and measures kept per octave of scale may weigh together,
// in bytes, once the walks in progress are over.
constexpr std::size_t kKeptScaleBytes = std::size_t{64} << 20;
// What they weigh now.
std::size_t KeptScaleBytes();

// While one lives, nothing kept per octave is released: the plan of a view
// and the frame drawn from it hold what they measured. The last to go
// releases the octaves used least recently past kKeptScaleBytes.
class ScalesInUse {
public:
    ScalesInUse();
    ~ScalesInUse();
    ScalesInUse(const ScalesInUse&) = delete;
    ScalesInUse& operator=(const ScalesInUse&) = delete;
};

// The octave of scale a reference drawn at `pxPerUnit` pixels per unit of its
// definition is drawn from: the least whole power of two no smaller.
int OctaveOf(double pxPerUnit);
// The largest factor by which `t` stretches a length along any axis, as seen
// in the plane (through a tilted extrusion, along z too).
double MaxScale(const Transform& t);
// The box of `b`'s corners through `t` (in the plane; empty stays empty).
Box PlaneBoxThrough(const Box& b, const Transform& t);

// The layer, colour and linetype a part is drawn in: parts alike in it draw
// alike, so that only pieces of parts alike in it may stand for one another.
struct DrawnStyleKey {
    std::uint32_t layer = 0, linetype = 0;
    int color = 0;
    double linetypeScale = 0;
    bool operator==(const DrawnStyleKey&) const = default;
    template <typename H>
    friend H AbslHashValue(H h, const DrawnStyleKey& s)
    {
        return H::combine(std::move(h), s.layer, s.linetype, s.color, s.linetypeScale);
    }
};
DrawnStyleKey DrawnStyle(const Entity& e);

// What decides the pixels a reference draws but where it lies: its
// definition, layer, colour and linetype, and the whole of its placement
// (scales, turn, mirror, extrusion), with the half pixel at `px` pixels per
// unit its origin falls in along each axis (z too: a tilted reference around
// it shows z). References placed alike draw the same pixels to within a
// pixel, so that of many a hair apart only the first need be drawn. None for
// a clipped reference.
struct PlacedAlike {
    std::uint32_t block = 0, layer = 0, linetype = 0;
    int color = 0;
    double linetypeScale = 0;
    std::array<double, 9> axes{};  // the images of the definition's axes, by row
    std::int64_t x = 0, y = 0, z = 0;
    bool operator==(const PlacedAlike&) const = default;
    template <typename H>
    friend H AbslHashValue(H h, const PlacedAlike& p)
    {
        return H::combine(std::move(h), p.block, p.layer, p.linetype, p.color, p.linetypeScale, p.axes, p.x, p.y, p.z);
    }
};
std::optional<PlacedAlike> PlacedAt(const BlockReference& r, double px);

// Pieces of what a definition draws, in the order they are drawn, in leaves
// of a few consecutive ones of one part, under a tree of boxes.
class PieceSet {
public:
    enum class Kind : std::uint8_t { Chain, Dots, Arcs, Texts, Rings, Wholes, References };
    // Consecutive pieces of one part and kind.
    struct Run {
        const Entity* part = nullptr;
        Kind kind = Kind::Chain;
        std::uint32_t first = 0;  // into the store of its kind (a chain: its first vertex)
        std::uint32_t count = 0;  // pieces
        bool opens = false;       // the first of its style after others: setting it costs a piece
    };

    // What walks the pieces is given, part by part in drawing order.
    class Visitor {
    public:
        virtual ~Visitor() = default;
        // The pieces that follow are of `part`: false passes them over.
        virtual bool Begin(const Entity& part, Kind kind) = 0;
        virtual void End(const Entity& part) = 0;
        // Where the pieces of the part go, through the walk's transform.
        virtual GeometrySink& Sink() = 0;
        // A part drawn whole by its own kind (a copy's hatch or wide polyline).
        virtual void Whole(const Entity& part) = 0;
        // A reference the definition holds.
        virtual void Reference(const BlockReference& r) = 0;
        // Nothing more can change what the visitor makes of the pieces.
        virtual bool Done() const { return false; }
    };

    // Walks the pieces whose leaves' boxes meet `box` (the definition's
    // coordinates; an empty box: every piece) through `t`, in drawing order
    // (`lastFirst`: the parts drawn last first). Charges the boxes it looks
    // at to WalkWork.
    void Walk(const Box& box, const Transform& t, Visitor& v, bool lastFirst = false) const;
    // What the pieces but the references cost to draw (a copy's; 0 for the exact pieces).
    double Cost() const { return cost_; }
    // What those in leaves whose boxes meet `box` cost; of those across its
    // border, what lies within drawn at `px` (no more than this set's scale).
    // (The exact pieces hold no costs: those are counted piece by piece at `px`.)
    double CostWithin(const Box& box, double px) const;
    // What the pieces but the references cost drawn at `px`, each counted.
    double CostAt(double px) const;
    std::size_t Size() const { return pieces_; }
    // What it takes in memory, about (its pieces' store counted whole, shared or not).
    std::size_t Bytes() const;
    // The references held, in drawing order.
    const std::vector<const BlockReference*>& References() const { return store_->references; }
    const Box& Bounds() const { return bounds_; }

private:
    friend class PieceBuilder;
    friend class KeptDefinition;
    // A few pieces in drawing order, from piece `begin` of run `run` on.
    struct Leaf {
        Box box;
        std::uint32_t run = 0, begin = 0, count = 0;
        float cost = 0;
    };
    struct Node {
        Box box;
        double cost = 0;
        std::uint32_t first = 0, count = 0;  // into the level below (level 0: into order_)
    };
    struct KeptText {
        TextPrimitive p;
        std::uint32_t at = 0, size = 0;  // its letters in the store's chars
    };
    struct Ring {
        std::uint32_t first = 0, count = 0;  // into the store's points
    };
    template <typename F>
    void EachPiece(const Leaf& leaf, F f) const;
    Box PieceBox(const Run& run, std::uint32_t i) const;
    // Piece `i` of `run` through `t` (`same`: `t` is the identity).
    void EmitPiece(const Run& run, std::uint32_t i, const Transform& t, bool same, GeometrySink& sink) const;
    // The leaves whose boxes meet `box` (all for an empty one), in drawing order.
    void LeavesMeeting(const Box& box, std::vector<std::uint32_t>& hits, std::uint64_t& looked) const;
    // What piece `i` of `run` costs drawn at this set's scale (counted by
    // `count`): of what lies `within` that box only, when given.
    double PieceCost(const Run& run, std::uint32_t i, CountSink& count, const Box* within = nullptr) const;
    void Index();
    // The same pieces, each costing what drawing it at `px` costs.
    std::unique_ptr<PieceSet> CostedAt(double px) const;

    // The pieces themselves, shared by the copies of octaves that draw the same.
    struct Store {
        std::vector<Run> runs;
        std::vector<Point3d> points;
        std::vector<CircularArc> arcs;
        std::vector<KeptText> texts;
        std::string chars;
        std::vector<Ring> rings;
        std::vector<const BlockReference*> references;
        std::vector<Box> referenceBoxes;  // of the references, in their coordinates
        std::vector<Box> boxes;           // of the parts drawn whole
    };
    std::shared_ptr<Store> store_ = std::make_shared<Store>();
    std::vector<Leaf> leaves_;
    std::vector<std::uint32_t> order_;     // leaves, near ones together
    std::vector<std::vector<Node>> tree_;  // tree_[0] over order_, each level over the one below; the last a root
    Box bounds_;
    double cost_ = 0;
    double px_ = 0;  // the scale the pieces cost at (0: the exact pieces, which cost nothing)
    std::size_t pieces_ = 0;
    bool simplified_ = false;  // some piece was left out or stood in for
};

class KeptDefinition {
public:
    explicit KeptDefinition(const Block& def);
    ~KeptDefinition();
    KeptDefinition(const KeptDefinition&) = delete;
    KeptDefinition& operator=(const KeptDefinition&) = delete;

    // What is kept of `def`, forgotten first when it changed.
    static KeptDefinition& Of(const Block& def);

    // The box of what a reference draws, in the definition's coordinates,
    // but for what reaches infinity (constant attributes with their value).
    // The definitions held are measured first, deepest first, so that
    // however deep the nesting no measure recurses through it.
    const Box& Extents();
    // What a reference draws looking all the way in, counted as every walk
    // counts it: each part, and each point, segment, arc, letter and point of a
    // filled ring it emits (those of the references it holds and their
    // attributes too); exact only up to a little past kReferenceWork.
    double Pieces();
    // The convex hull of what a reference draws: a turned reference takes its
    // box from it instead of walking its parts.
    const ConvexHull& Hull();
    // The references it holds (not erased), measured with the extents.
    const std::vector<BlockReference*>& Held();
    // Whether it draws anything on a layer other than "0" (its references'
    // definitions and attributes too): a reference on a layer that is off
    // still draws that.
    bool OnLayersOfItsOwn();

    // Its pieces as its parts emit them.
    const PieceSet& Exact();
    // The copy references drawn at up to 2^octave pixels per unit draw
    // (held while a ScalesInUse lives; else until the next copy is asked).
    const PieceSet& Copy(int octave);
    // What a reference drawn from the copy of `octave` takes at each depth up
    // to `reach` (the deeper ones are not measured, and hold no number to use);
    // null when measuring it would take more of `steps` than is left. A
    // definition held inside is measured one depth less far, so that however
    // deep the nesting (a damaged file's) no measure recurses past kWholeDepth.
    const Levels* LevelsAt(int octave, long& steps, int reach = kWholeDepth);
    // Of that, what the references it holds take (their outlines at depth 1).
    const Levels* HeldAt(int octave, long& steps, int reach = kWholeDepth);
    // What measuring the copy of `octave` still costs (0 once kept).
    double CopyCost(int octave) const;
    // Whether the exact pieces drawn at 2^octave pixels per unit are about
    // what a copy of that octave would keep: then they are what is drawn, no
    // copy is built, and what they cost is counted where asked (in a view,
    // only the pieces in it).
    bool DrawsExact(int octave);
    // What references drawn at 2^octave pixels per unit draw of it: the
    // exact pieces or the copy of that octave.
    const PieceSet& Drawn(int octave) { return DrawsExact(octave) ? Exact() : Copy(octave); }

    // One octave kept, in the order of use of all definitions' octaves.
    struct ScaleUse {
        KeptDefinition* kept;
        int octave;
        std::size_t bytes;
    };

private:
    void Refresh();
    void Forget();
    // The octave was used: the most recent, weighing what it holds now.
    void Touch(int octave);
    // Its copy and measures are released.
    void Release(int octave);
    void Measure();
    void Build(int octave, const PieceSet& source, PieceSet& out);

    const Block& def_;
    std::uint64_t at_ = ~std::uint64_t{0};  // the change it holds for
    bool measured_ = false, measuring_ = false;
    Box extents_;
    double pieces_ = 0;
    bool ownLayers_ = false;
    std::vector<BlockReference*> held_;
    bool hulled_ = false, hulling_ = false;
    ConvexHull hull_;
    std::unique_ptr<PieceSet> exact_;
    std::map<const Entity*, std::pair<std::uint32_t, std::uint32_t>> partRuns_;  // of the exact pieces
    // Of the exact pieces, once asked: the length of each (a dot 0, a text
    // its height, a ring its box's longer side), and their sum; none when a part is drawn whole by its kind at some scale or a
    // reference is held (a copy is built for those).
    std::optional<std::vector<float>> lengths_;
    double inkLength_ = 0;
    std::map<int, double> exactCosts_;  // what the exact pieces cost at the octaves they are drawn at
    std::map<int, bool> drawsExact_;    // DrawsExact, once asked
    std::map<int, std::unique_ptr<PieceSet>> copies_;
    struct Measured {
        Levels held{}, all{};
        int heldReach = 0, allReach = 0;  // the depths they hold (0: not measured)
    };
    std::map<int, Measured> levels_;
    std::map<int, std::list<ScaleUse>::iterator> uses_;  // of the octaves in copies_ or levels_
    bool leveling_ = false;
    friend class ScalesInUse;
};

// Emits what a reference draws of `def` (its parts, constant attributes with
// their value) through `t` into `sink`: of a heavy definition, only the
// pieces whose boxes meet the sink's reach. `lastFirst`: the parts drawn last
// (on top) first.
void EmitDefinition(const Block& def, GeometrySink& sink, const Transform& t, bool lastFirst = false);

}  // namespace acad
