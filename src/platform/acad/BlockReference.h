#pragma once
// Block references (INSERT) and external references.
//
// A reference owns its attribute references, created from the definition's
// attribute definitions in definition order. Its extents cover the nested
// geometry of the definition (recursively) and the attribute texts, so a
// crossing window that touches any drawn part finds it.

#include <memory>
#include <vector>

#include "platform/acad/Entity.h"
#include "platform/acad/EntityData.h"

namespace acad {

class AttributeReference;
class Block;

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
    // in the plane of its extrusion.
    Transform BlockTransform() const;

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
    // Joins the reference list of the definition it points to (leaving the old one).
    void Relist();
    // Adds the extents of what it draws through `t`: the definition's measured
    // box placed when that is exact (no turn), else, turned, the box of its
    // definition's hull, or for an ordinary block each of its few parts; a
    // clip leaves no more than its boundary's box. The attributes too unless
    // `withAttributes` is false.
    void MeasureInto(const Transform& t, Box& box, bool withAttributes = true) const;
    // The box of its own attributes (world coordinates), measured once per change.
    const Box& AttributesBox() const;
    // The cached extents, measured first when stale (pending block changes not flushed).
    const Box& MeasuredExtents() const;
    friend class acad::Block;
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
