#pragma once
// Block references (INSERT) and external references.
//
// A reference owns its attribute references, created from the definition's
// attribute definitions in definition order. Its extents cover the nested
// geometry of the definition (recursively) and the attribute texts, so a
// crossing window that touches any drawn part finds it.

#include <functional>
#include <memory>
#include <vector>

#include "platform/acad/Entity.h"
#include "platform/acad/EntityData.h"

namespace acad {

class AttributeReference;
class Block;
class KeptDefinition;

class BlockReference : public Entity {
public:
    BlockReference(acad::Document& doc, const BlockReferenceData& data);
    ~BlockReference() override;
    std::string ObjectName() const override { return "AcDbBlockReference"; }
    std::string DxfName() const override { return "INSERT"; }

    std::string Name() const;                    // of the block definition
    void SetName(const std::string& blockName);  // re-points to another definition
    Point3d InsertionPoint() const;
    void SetInsertionPoint(const Point3d& p);
    double XScaleFactor() const;
    void SetXScaleFactor(double s);  // not 0
    double YScaleFactor() const;
    void SetYScaleFactor(double s);
    double ZScaleFactor() const;
    void SetZScaleFactor(double s);
    double Rotation() const;
    void SetRotation(double r);
    bool HasAttributes() const;
    // Attribute references in definition order (constant attributes excluded).
    std::vector<AttributeReference*> GetAttributes() const;
    // Constant attributes of the definition (they live there, not on the reference).
    std::vector<class AttributeDefinition*> GetConstantAttributes() const;

    acad::Block& Block() const;
    const BlockReferenceData& Data() const { return data_; }
    void SetData(const BlockReferenceData& d);
    // Definition space to world: base point → insertion point, scaled, rotated,
    // in the plane of its extrusion (of the first copy of a grid).
    Transform BlockTransform() const;

    // --- a grid of copies (MINSERT): rows and columns, spacing (the data's)
    // Copies drawn: the grid's distinct places (a spacing of 0 puts all the
    // copies of its axis on one); 1 for a plain reference.
    std::size_t Copies() const;
    // Where copy `i` (row-major: row × columns + column) lies from the first,
    // in the coordinates the reference is placed in.
    Vector3d CopyOffset(std::size_t i) const;
    // Definition space to world for copy `i`: BlockTransform() moved by its offset.
    Transform CopyTransform(std::size_t i) const;
    // The box of the first copy, attributes included, where it is placed.
    Box CopyBox() const;
    // How a walk goes through a grid's copies.
    struct CopyWalk {
        // Only the copies whose box meets this box (empty: every copy).
        std::function<Box()> reach;
        // Copies closer together than this along a row or a column (a pixel
        // for a frame, a coordinate's tolerance for a test) are taken one in
        // so many, and the last: each stands for those up to the next. 0: each.
        double step = 0;
        // The copies nearest the middle of the reach first, the reach asked
        // again as the walk goes: a walk whose reach narrows as it finds (the
        // nearest part so far) leaves the rest. Else in the grid's order.
        bool nearestFirst = false;
    };
    // Calls `visit(i)` for each copy the walk takes through `t`, until it
    // answers false. Found from the grid row by row, not by looking at each
    // copy: a walk of part of a large grid costs the copies it visits and the
    // rows they lie in. Every walk of a reference's copies goes through here.
    void EachCopy(const Transform& t, const CopyWalk& walk, const std::function<bool(std::size_t)>& visit) const;
    // How many copies EachCopy would visit with a reach that does not narrow,
    // counted row by row.
    double CountCopies(const Transform& t, const Box& reach, double step = 0) const;
    // What the copies of a grid through `t` that meet `reach` cost a frame at
    // `pxPerUnit` (0: at no scale, every copy): the copies it draws, a pixel
    // apart; or, each smaller than a dot, the pieces of EmitDots, counted as
    // CountSink counts them with lines up to `inkCapPx`.
    struct FrameCost {
        double copies = 0, dots = 0;
    };
    FrameCost CostOfCopies(const Transform& t, const Box& reach, double pxPerUnit, double inkCapPx) const;
    // The copies of a grid, each smaller than a dot at `pxPerUnit`, as the
    // window draws them where they meet `reach`: a dot each, but copies closer
    // than a pixel along a row (or a column) are a line, along both an area.
    void EmitDots(GeometrySink& sink, const Transform& t, const Box& reach, double pxPerUnit) const;
    // The copies at the grid's corners (up to four): the box of every copy is
    // within theirs.
    std::vector<std::size_t> CornerCopies() const;

    // --- a reference another entity draws a block through (DrawnReference)
    // Engine: a reference `holder` owns: it is listed with its definition
    // (which is then in use) while the holder lies in a container.
    static std::unique_ptr<BlockReference> HeldBy(Entity& holder, const BlockReferenceData& d);
    // The entity that holds it (null: it lies in a container itself).
    Entity* Holder() const;
    // The block it is drawn from: the one it lies in, or its holder's (null:
    // neither lies in one).
    acad::Block* Container() const;
    // Engine: joins the reference list of the definition it points to (leaving
    // the old one), or leaves it when neither it nor its holder lies in a
    // container any more.
    void Relist();
    // Engine: leaves its definition's list (its holder is being erased).
    void Unlist();
    BlockReference* DrawnReference() const override { return const_cast<BlockReference*>(this); }

    // Engine: attaches an attribute read from a file (or copied); returns it.
    AttributeReference* AppendAttribute(std::unique_ptr<AttributeReference> attribute);
    // Engine: creates the attribute references from the definition (InsertBlock).
    void CreateAttributesFromDefinition();

    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    Box Extents() const override;
    // A box holding all the reference draws when emitted through `t`: its
    // extents, carried through `t` (exact unless `t` turns it).
    Box BoundsUnder(const Transform& t) const;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

    // Engine: the cached extents are stale (the placement or an attribute changed).
    void InvalidateExtents();
    // Engine: the definition changed; the attributes' box, held apart, stays.
    void InvalidateDefinitionExtents() { extentsValid_ = false; }
    // Engine: the cached extents, stale or not, without measuring (tests of the caches).
    bool ExtentsCached() const { return extentsValid_; }
    // Engine (the document's flush of block changes): measures again the
    // references [first, last) of `def`, whose content changed, and gives each new
    // box to its container. A reference placed without a turn takes the
    // definition's box through its scales and insertion point directly, the box
    // of its attributes kept when they did not change.
    static void RemeasureAfterEdit(const acad::Block& def, BlockReference* const* first, BlockReference* const* last);
    // The same, one reference at a time: the definition measured once.
    class Remeasure {
    public:
        explicit Remeasure(const acad::Block& def);
        void operator()(BlockReference& r) const;
        // Asks memory for what measuring `r` reads, ahead of it.
        static void Ahead(const BlockReference* r);

    private:
        Box drawn_;
        Point3d base_;
        bool direct_ = false, drawnEmpty_ = false;
    };

protected:
    void OnErase() override;
    void OnAdopted() override;
    // Replaces the placement and carries the attributes along.
    void ChangePlacement(const BlockReferenceData& d);
    // BlockTransform for a definition whose base point is `base`.
    Transform Placement(const Point3d& base) const;
    // Copies of the attributes for a clone (added when the clone is).
    void CloneAttributesInto(BlockReference& copy, acad::Document& target) const;
    BlockReferenceData data_;
    // The clip boundary in the definition's coordinates, when there is one.
    virtual const std::vector<Point3d>* ClipPolygon() const { return nullptr; }

private:
    friend class AttributeReference;
    friend class Document;
    // Next to the placement: re-measuring every reference of an edited definition
    // reads only these lines.
    mutable bool extentsValid_ = false;
    mutable bool attributesValid_ = false;
    mutable Box extents_;
    mutable Box attributesBox_;
    std::vector<AttributeReference*> attributes_;  // owned by the document, like every object
    // Copies waiting for the reference to be added to a block (Clone / CloneTo).
    std::vector<std::unique_ptr<AttributeReference>> pending_;
    // Adds the extents of what it draws through `t`, every copy of a grid (the
    // corner copies hold the rest): the definition's measured box placed when
    // that is exact (no turn), else, turned, the box of its definition's hull,
    // or for an ordinary block each of its few parts; a clip leaves no more
    // than its boundary's box. The attributes too unless `withAttributes` is false.
    void MeasureInto(const Transform& t, Box& box, bool withAttributes = true) const;
    // The same for one copy, emitted through `t`.
    void MeasureCopyInto(const Transform& t, Box& box, bool withAttributes) const;
    // What one copy draws, through `t`.
    void EmitCopy(GeometrySink& sink, const Transform& t) const;
    // The box of its own attributes (world coordinates), measured once per change.
    const Box& AttributesBox() const;
    // The cached extents, measured first when stale (pending block changes not flushed).
    const Box& MeasuredExtents() const;
    friend class acad::Block;
    friend class KeptDefinition;
    acad::Block* listedIn_ = nullptr;  // the definition whose reference list holds it
    std::uint32_t listSlot_ = 0;       // its place in that list
};

// Reference to a block whose content comes from another drawing file. The
// referenced drawing's layers appear as "<name>|<layer>" and its content is
// readable through Blocks(name). A clip boundary limits what is drawn.
class ExternalReference : public BlockReference {
public:
    ExternalReference(acad::Document& doc, const BlockReferenceData& data);
    std::string DxfName() const override { return "INSERT"; }

    std::string Path() const;  // of the definition
    // Clip boundary in the definition's coordinates (empty = not clipped).
    const std::vector<Point3d>& ClipBoundary() const { return clip_; }
    // Polygon in world coordinates (at least 3 points; 2 = rectangle corners);
    // an empty list removes the clip.
    void SetClipBoundary(const std::vector<Point3d>& worldPoints);
    bool ClipEnabled() const { return !clip_.empty(); }

    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

protected:
    const std::vector<Point3d>* ClipPolygon() const override { return clip_.empty() ? nullptr : &clip_; }

private:
    std::vector<Point3d> clip_;
};

}  // namespace acad
