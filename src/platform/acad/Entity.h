#pragma once
// Entities: drawable objects held by a block (model space, a layout, a block
// definition) or, for attribute references, by a block reference.
//
// Each entity kind keeps its geometry in a plain data struct (EntityData.h);
// the entity adds the common properties (layer, colour, linetype, ...), the
// automation members, and keeps the drawing's spatial index in step: every
// setter that moves a drawn part reports the change to its container.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/acad/AcadObject.h"
#include "platform/acad/Geometry.h"

namespace acad {

class Block;
class BlockReference;

// Colours are AutoCAD colour indexes.
namespace Color {
inline constexpr int ByBlock = 0;
inline constexpr int Red = 1;
inline constexpr int Yellow = 2;
inline constexpr int Green = 3;
inline constexpr int Cyan = 4;
inline constexpr int Blue = 5;
inline constexpr int Magenta = 6;
inline constexpr int White = 7;
inline constexpr int ByLayer = 256;
// A true colour: this bit with 0xRRGGBB.
inline constexpr int TrueColor = 1 << 24;
}  // namespace Color

// Text drawn on screen, in world coordinates (after any block transform).
struct TextPrimitive {
    std::string_view text;
    Point3d position;       // left end of the baseline
    double height = 0.0;    // cap height
    double rotation = 0.0;  // of the baseline
    double widthFactor = 1.0;
    double oblique = 0.0;
    bool backward = false;
    bool upsideDown = false;
    // The face its letters are measured in (a TextMetrics::Face); -1: its style's.
    int face = -1;
    // Its own colour, where the text gives its letters one: an index 1..255, or
    // Color::TrueColor with 0xRRGGBB; -1: the colour its entity is drawn in.
    int color = -1;
    Point3d corners[4];  // extents box: bottom-left, bottom-right, top-right, top-left
};

// What an entity draws, in world coordinates: the one description used for
// extents, selection (crossing, window, fence, point), picking and the window's
// drawing. Entities emit exact circular arcs; shapes that are not (ellipses,
// splines, arcs under a non-uniform block scale) arrive as chains of segments.
class GeometrySink {
public:
    virtual ~GeometrySink() = default;
    virtual void Point(const Point3d& p) = 0;
    virtual void Segment(const Point3d& a, const Point3d& b) = 0;
    virtual void Arc(const CircularArc& arc) = 0;
    // The text's characters are valid only during the call.
    virtual void Text(const TextPrimitive& text) = 0;
    // Solid area (solid hatch, 3-D face interior): a closed ring of points.
    virtual void Fill(const std::vector<Point3d>& ring) { (void)ring; }
    // A line without end from `base` along `direction` (a ray), or both ways
    // (`bothWays`, a construction line). A sink that draws or tests a region
    // takes the piece within its Reach(); without one, the piece runs to
    // infinity, so that a box of it is no number and has no place in extents,
    // a window never holds it, and it reaches every crossing.
    virtual void Ray(const Point3d& base, const Vector3d& direction, bool bothWays);
    // Asked before the parts of an entity nested in a block reference are emitted;
    // a sink may answer false to skip it (the window skips frozen layers).
    virtual bool BeginNested(const class Entity& e)
    {
        (void)e;
        return true;
    }
    virtual void EndNested(const class Entity& e) { (void)e; }
    // Asked before anything of a block reference emitted through `t` (nested or
    // not): a sink may answer false to pass over all of it, when the box that
    // holds it (BlockReference::BoundsUnder) cannot matter: out of reach, or
    // smaller than what the sink resolves.
    virtual bool BeginReference(const class BlockReference& r, const Transform& t)
    {
        (void)r;
        (void)t;
        return true;
    }
    // Parts wholly outside this box cannot change what the sink makes of the
    // entity, so a long curve may leave them out; empty: every part counts.
    virtual Box Reach() const { return Box(); }
    // Nothing more emitted can change what the sink makes of the entity: a
    // definition's parts may stop coming.
    virtual bool Done() const { return false; }
    // Whether filled areas can change what the sink makes of the entity (an
    // object snap takes none).
    virtual bool TakesFills() const { return true; }
    // Pixels a unit spans where what the sink makes is seen (0: at no scale),
    // for what is drawn by its size on screen (a hatch pattern's tint).
    virtual double PixelsPerUnit() const { return 0; }
    // A grid of copies of a reference (MINSERT) is walked copy by copy: only
    // the copies whose box meets this box are looked at (empty: every copy),
    // and each is asked for first, with the box that holds it (where it is
    // emitted): a sink may answer false to pass over it, as BeginReference
    // does for a whole reference.
    // The reach is asked again as the walk goes: it may narrow (the nearest
    // part so far), and the copies nearest its middle come first.
    virtual Box CopyReach() const { return Reach(); }
    virtual bool WantsCopy(const class BlockReference& r, const Box& box)
    {
        (void)r;
        (void)box;
        return true;
    }
    // Asked before each copy of the grid of `r` emitted through `t`: false
    // ends the walk of its copies (nothing more can change what the sink
    // makes of it, or the sink takes the rest otherwise).
    virtual bool MoreCopies(const class BlockReference& r, const Transform& t)
    {
        (void)r;
        (void)t;
        return !Done();
    }
};

class Entity : public AcadObject {
public:
    // DXF entity type name ("LINE", "INSERT", ...): what selection filters test (group 0).
    virtual std::string DxfName() const = 0;

    // --- common automation members
    std::string Layer() const;
    void SetLayer(const std::string& name);  // the layer must exist (KeyNotFound otherwise)
    int Color() const;
    void SetColor(int color);  // 0 ByBlock .. 256 ByLayer
    std::string Linetype() const;
    void SetLinetype(const std::string& name);  // must be loaded ("ByLayer", "ByBlock" always are)
    double LinetypeScale() const;
    void SetLinetypeScale(double s);
    bool Visible() const;
    void SetVisible(bool v);
    void GetBoundingBox(Point3d& minPoint, Point3d& maxPoint) const;  // NullExtents when nothing is drawn
    void Move(const Point3d& fromPoint, const Point3d& toPoint);
    void Rotate(const Point3d& basePoint, double rotationAngle);
    // Mirrored copy about the line p1-p2, added to the same container; returns it.
    Entity* Mirror(const Point3d& point1, const Point3d& point2);
    // Copy in place, added to the same container.
    Entity* Copy();
    // Asks the window to redraw the entity; geometry is always current anyway.
    void Update();
    void Highlight(bool on);

    // --- engine members
    // Applies a transform to the geometry (Move, Rotate, Mirror and block explosion
    // use it); kinds that cannot take a non-uniform scale approximate or refuse.
    virtual void TransformBy(const Transform& t) = 0;
    // Emits what the entity draws, through `t` (identity for top-level entities).
    virtual void Emit(GeometrySink& sink, const Transform& t) const = 0;
    // Extents in world coordinates of what it draws (empty box when nothing).
    virtual Box Extents() const;
    // The block reference through which it draws a block definition: itself
    // for a reference, the picture of a dimension, the block of a table; null
    // for every other entity. Every walk counts and bounds what that reference
    // draws as a reference's (its copies included); the entity's Emit draws
    // it, with its own pieces besides, if any.
    virtual BlockReference* DrawnReference() const { return nullptr; }
    // A copy of the entity (geometry and common properties, no identity, no xdata)
    // for the same document, not yet added anywhere.
    std::unique_ptr<Entity> Clone() const;
    // The same for another document. Table and block indices inside the copy
    // still refer to this document's records: the caller maps them (see
    // Document::ImportAsBlock) before adding the copy.
    virtual std::unique_ptr<Entity> CloneTo(acad::Document& target) const = 0;

    // Container: the block holding the entity (nullptr for attribute references,
    // whose owner is their block reference).
    Block* OwnerBlock() const;
    AcadObject* Owner() const;
    // Drawing order within the container (increasing).
    std::uint32_t DrawOrder() const { return static_cast<std::uint32_t>(ObjectID()); }

    std::uint32_t LayerIndex() const { return layer_; }
    void SetLayerIndex(std::uint32_t layerIndex);
    std::uint32_t LinetypeIndex() const { return linetype_; }
    void SetLinetypeIndex(std::uint32_t linetypeIndex);
    bool IsHighlighted() const;
    int Lineweight() const;  // DXF 370; -1 ByLayer (default)
    void SetLineweight(int lw);
    // Copies layer, colour, linetype, scale, lineweight and visibility from `o`.
    void CopyCommonFrom(const Entity& o);

protected:
    explicit Entity(acad::Document& doc);

    // Every geometric setter calls this after changing the geometry: refreshes the
    // spatial index, the owner block reference's extents and the revision count.
    // `grownBy`: the geometry only gained parts, drawn within that box, so that
    // a long entity growing piece by piece is not measured whole each time.
    void GeometryChanged(const Box* grownBy = nullptr);
    // Automation setters call this first: fails on an erased entity or one on a
    // locked layer. Engine setters (SetData, SetLayerIndex, ...) check only erasure,
    // so the file reader can fill entities of locked layers.
    void CheckWritable() const;
    void OnErase() override;
    // Update() calls this first (texts re-derive their insertion point here).
    virtual void OnUpdate() {}
    // Called by the container once the entity has its id and handle.
    virtual void OnAdopted() {}

private:
    friend class Block;
    friend class BlockReference;
    friend class SpatialIndex;
    // Kept small: a drawing holds hundreds of thousands of entities. Drawing order
    // is the creation order of ids, so it needs no field of its own.
    void SetOwner(AcadObject* owner, bool isBlock);
    AcadObject* owner_ = nullptr;  // Block, or BlockReference for attributes
    float ltscale_ = 1.0f;
    std::uint32_t layer_ = 0;
    std::uint32_t linetype_ = 0;             // index of "ByLayer" unless set
    std::uint32_t indexSlot_ = 0xFFFFFFFFu;  // opaque key of the spatial index
    std::int16_t color_ = acad::Color::ByLayer;
    std::int16_t lineweight_ = -1;
};

}  // namespace acad
