#pragma once
// Aligned dimension, 3-D face, solid and trace, construction lines and rays,
// paper-space viewport, and the keeper of entity kinds the host does not model.
//
// A dimension read from a file draws the block that holds its picture (group
// 2, "*D..."), at the origin or moved to group 12, as the file's program drew
// it; a table draws its block ("*T...") at its place. The entity holds a
// reference to that block (DrawnReference), which every walk counts and
// bounds as any reference.

#include <memory>
#include <vector>

#include "platform/acad/Entity.h"
#include "platform/acad/EntityData.h"

namespace acad {

class BlockReference;
class MText;

class DimAligned : public Entity {
public:
    DimAligned(acad::Document& doc, const DimAlignedData& data);
    std::string ObjectName() const override { return "AcDbAlignedDimension"; }
    std::string DxfName() const override { return "DIMENSION"; }

    Point3d ExtLine1Point() const;
    void SetExtLine1Point(const Point3d& p);
    Point3d ExtLine2Point() const;
    void SetExtLine2Point(const Point3d& p);
    Point3d TextPosition() const;
    void SetTextPosition(const Point3d& p);
    std::string TextOverride() const;
    void SetTextOverride(const std::string& s);
    double Measurement() const;
    double TextRotation() const;
    void SetTextRotation(double r);
    std::string StyleName() const;  // dimension style
    double TextHeight() const;
    void SetTextHeight(double h);
    // What is written on the dimension line (the override, with "<>" replaced).
    std::string DisplayedText() const;

    const DimAlignedData& Data() const { return data_; }
    void SetData(const DimAlignedData& d);
    // Engine: draws the file's picture, block `block` placed at `at` (the
    // origin, or group 12); a block with nothing in it leaves the dimension
    // drawn from its points. An edit of the dimension's points or text lets
    // the picture go, and it is drawn from them again. (`at` is taken by
    // value: it may be the place of the picture this one replaces.)
    void SetPicture(std::uint32_t block, Point3d at);
    BlockReference* DrawnReference() const override { return picture_.get(); }
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;
    ~DimAligned() override;

protected:
    void OnAdopted() override;
    void OnErase() override;

private:
    void DropPicture();
    DimAlignedData data_;
    std::unique_ptr<BlockReference> picture_;
};

// SOLID and TRACE: a filled triangle or quadrilateral, its corners in the
// file's order (1, 2, 4, 3 around the area).
class Solid : public Entity {
public:
    Solid(acad::Document& doc, const SolidData& data, bool trace = false);
    std::string ObjectName() const override { return trace_ ? "AcDbTrace" : "AcDbSolid"; }
    std::string DxfName() const override { return trace_ ? "TRACE" : "SOLID"; }

    const SolidData& Data() const { return data_; }
    void SetData(const SolidData& d);
    // The corners around the area (three when the last two coincide).
    std::vector<Point3d> Outline() const;
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

private:
    SolidData data_;
    bool trace_;
};

// XLINE and RAY: a line without end both ways, or from its base one way. It
// has no extents: its box reaches infinity, so the drawing's extents leave it
// out, and the window draws it to the view's edges.
class InfiniteLine : public Entity {
public:
    InfiniteLine(acad::Document& doc, const RayData& data, bool bothWays);
    std::string ObjectName() const override { return bothWays_ ? "AcDbXline" : "AcDbRay"; }
    std::string DxfName() const override { return bothWays_ ? "XLINE" : "RAY"; }

    const RayData& Data() const { return data_; }
    void SetData(const RayData& d);
    bool BothWays() const { return bothWays_; }
    // The direction of length 1, as it is drawn and measured (kept as given).
    Vector3d UnitDirection() const;
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    Box Extents() const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

private:
    RayData data_;
    bool bothWays_;
};

class Face3D : public Entity {
public:
    Face3D(acad::Document& doc, const Face3DData& data);
    std::string ObjectName() const override { return "AcDbFace"; }
    std::string DxfName() const override { return "3DFACE"; }

    std::vector<double> Coordinates() const;  // 4 corners, x,y,z each
    void SetCoordinates(const std::vector<double>& xyz);
    Point3d Coordinate(int index) const;  // 0..3
    void SetCoordinate(int index, const Point3d& p);
    bool GetInvisibleEdge(int index) const;
    void SetInvisibleEdge(int index, bool invisible);

    const Face3DData& Data() const { return data_; }
    void SetData(const Face3DData& d);
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

private:
    Face3DData data_;
};

class View;

// A window in a layout onto model space. Its frame is drawn in paper space; its
// view (centre and height in model space) is what Application zooms change while
// the document works in the viewport's model space (Document::MSpace).
class PViewport : public Entity {
public:
    PViewport(acad::Document& doc, const ViewportData& data);
    ~PViewport() override;
    std::string ObjectName() const override { return "AcDbViewport"; }
    std::string DxfName() const override { return "VIEWPORT"; }

    Point3d Center() const;
    void SetCenter(const Point3d& c);
    double Width() const;
    void SetWidth(double w);
    double Height() const;
    void SetHeight(double h);
    // Switches the viewport on or off (the automation's Display(True)).
    void Display(bool on);
    bool ViewportOn() const;
    double CustomScale() const;  // paper units per model unit
    void SetCustomScale(double s);
    bool DisplayLocked() const;
    void SetDisplayLocked(bool b);

    // The model-space view seen through the viewport.
    acad::View& View();
    const acad::View& View() const;

    const ViewportData& Data() const;  // view centre and height as last zoomed
    void SetData(const ViewportData& d);
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

private:
    void SyncView();
    mutable ViewportData data_;
    std::unique_ptr<acad::View> view_;
};

// Entity of a kind the host does not model in full, kept as its raw DXF
// groups so that a drawing read and saved again keeps it. It draws what the
// file means by it, read from those groups:
// - a dimension of any kind (and ARC_DIMENSION): the block of its picture;
// - ACAD_TABLE: the block the table names, at its place;
// - IMAGE: its clip boundary, or its frame (the raster file is not read);
// - WIPEOUT: its boundary, filled with the background over what was drawn
//   before it (Mask);
// - MULTILEADER: its leader lines, arrowheads, and its text or block;
// - MESH, and a polyface or polygon mesh (POLYLINE): the edges of its faces;
// - LEADER: the line through its vertices.
// Other kinds (3DSOLID, REGION, BODY, proxy entities, ...) draw nothing.
// Move, Rotate and Mirror carry its points (groups 10..18, as points or as
// directions as its kind has them) and the picture it draws.
class RawEntity : public Entity {
public:
    RawEntity(acad::Document& doc, std::string dxfName, std::string objectName, std::vector<RawGroup> groups);
    ~RawEntity() override;
    std::string ObjectName() const override { return objectName_; }
    std::string DxfName() const override { return dxfName_; }

    const std::vector<RawGroup>& Groups() const { return groups_; }
    void SetGroups(std::vector<RawGroup> groups);
    // Engine: finds again the block it draws (by name or handle), once every
    // block of the file it was read from is there.
    void FindBlock();
    // Engine: draws block `index` (named in the groups as the kind names it),
    // where a copy for another drawing had its block mapped.
    void SetBlock(std::uint32_t index);
    // The area a WIPEOUT hides (empty for any other kind).
    const std::vector<Point3d>& Mask() const { return mask_; }
    // The text a MULTILEADER draws (null: none).
    const MText* Note() const { return text_.get(); }
    BlockReference* DrawnReference() const override { return block_.get(); }
    // The block its groups name for it to draw (by name, or a multileader's by
    // handle), whether it draws it yet or not: a block that was empty, or not
    // there, when it was last shaped is drawn from the file once read again.
    const Block* NamedBlock() const;
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

protected:
    void OnAdopted() override;
    void OnErase() override;

private:
    // Reads what it draws from its groups; `keepBlock`: all but the block it
    // draws, which stays as it is. A block its container may not draw
    // (Block::CheckMayDraw) is refused, the block it drew kept.
    void Shape(bool keepBlock = false);
    // Runs `change` (of its groups, and of its block's place); a block it
    // would then draw that Shape refuses leaves it as it was, and the refusal
    // goes on.
    template <class Change>
    void Changed(Change change);
    // Whether its kind names a block to draw (a dimension, a table, a multileader).
    bool NamesBlock() const;
    // TransformBy's change: its points, and the place and content of its block.
    void MoveBy(const Transform& t);
    void ShapeMultiLeader(const acad::Block*& drawn, BlockReferenceData& place);
    void ShapeMeshPolyline();
    // A leader's path and arrowhead; the block of its arrowhead, when its style names one.
    void ShapeLeader(const std::vector<Point3d>& vertices, const acad::Block*& drawn, BlockReferenceData& place);
    // A linear or rotated dimension whose picture is missing, from its points.
    void ShapeLinearDimension();
    std::string dxfName_;
    std::string objectName_;
    std::vector<RawGroup> groups_;
    // What it draws, read from the groups.
    std::vector<std::vector<Point3d>> chains_;  // open lines
    std::vector<std::vector<Point3d>> rings_;   // closed outlines
    std::vector<std::vector<Point3d>> fills_;   // filled areas (arrowheads)
    std::vector<Point3d> mask_;
    std::unique_ptr<MText> text_;
    std::unique_ptr<BlockReference> block_;
    std::string namedBy_;            // the name of the block it draws (a dimension's, a table's)
    std::uint64_t namedHandle_ = 0;  // or its handle (a multileader's)
};

}  // namespace acad
