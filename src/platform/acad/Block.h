#pragma once
// Blocks: the entity containers of a drawing. Model space ("*Model_Space"), each
// layout's paper space ("*Paper_Space", "*Paper_Space0", ...), block definitions,
// anonymous blocks ("*U1", ...) and external-reference definitions are all blocks.
//
// Entities are kept in drawing order (creation order). Iterate with range-for:
//     for (acad::Entity* e : doc.ModelSpace()) ...
// Model space and paper spaces keep a spatial index, queried with QueryBox.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/acad/AcadObject.h"
#include "platform/acad/Entity.h"
#include "platform/acad/EntityData.h"
#include "platform/acad/Geometry.h"
#include "platform/acad/ObjectList.h"

namespace acad {

class Point;
class Line;
class Circle;
class Arc;
class Ellipse;
class Text;
class MText;
class AttributeDefinition;
class LWPolyline;
class Polyline2D;
class Polyline3D;
class Spline;
class Hatch;
class BlockReference;
class ExternalReference;
class DimAligned;
class Face3D;
class PViewport;
class Layout;
class SpatialIndex;
class KeptDefinition;

class Block : public AcadObject {
public:
    Block(acad::Document& doc, const std::string& name, const Point3d& origin);
    ~Block() override;
    std::string ObjectName() const override { return "AcDbBlockTableRecord"; }

    std::string Name() const;
    // Renames a definition (the references follow); spaces cannot be renamed.
    void SetName(const std::string& name);
    Point3d Origin() const { return origin_; }
    void SetOrigin(const Point3d& p);
    std::string Comments() const { return comments_; }
    void SetComments(const std::string& s) { comments_ = s; }
    bool IsLayout() const { return layout_ != nullptr; }
    bool IsModelSpace() const;
    bool IsPaperSpace() const { return IsLayout() && !IsModelSpace(); }
    bool IsXRef() const { return !xrefPath_.empty(); }
    bool IsAnonymous() const { return !name_.empty() && name_[0] == '*' && !IsLayout(); }
    std::filesystem::path Path() const { return xrefPath_; }  // of an external reference
    acad::Layout* Layout() const { return layout_; }

    // --- collection of entities
    int Count() const { return static_cast<int>(entities_.Count()); }
    Entity* Item(int index) const;  // KeyNotFound when out of range
    ObjectList<Entity>::iterator begin() const { return entities_.begin(); }
    ObjectList<Entity>::iterator end() const { return entities_.end(); }

    // --- creation members of the automation interface (same argument order)
    // Name of a block of the drawing, or a drawing file path (".dwg"/".dxf", or a
    // name with a folder), which defines a block named after the file first.
    BlockReference* InsertBlock(const Point3d& insertionPoint, const std::string& name, double xScale, double yScale,
                                double zScale, double rotation);
    Line* AddLine(const Point3d& startPoint, const Point3d& endPoint);
    Point* AddPoint(const Point3d& point);
    Circle* AddCircle(const Point3d& center, double radius);
    Arc* AddArc(const Point3d& center, double radius, double startAngle, double endAngle);
    Ellipse* AddEllipse(const Point3d& center, const Vector3d& majorAxis, double radiusRatio);
    Text* AddText(const std::string& textString, const Point3d& insertionPoint, double height);
    MText* AddMText(const Point3d& insertionPoint, double width, const std::string& text);
    AttributeDefinition* AddAttribute(double height, int mode, const std::string& prompt, const Point3d& insertionPoint,
                                      const std::string& tag, const std::string& value);
    // Flat x,y list (at least two vertices).
    LWPolyline* AddLightWeightPolyline(const std::vector<double>& verticesList);
    // Flat x,y,z list.
    Polyline2D* AddPolyline(const std::vector<double>& verticesList);
    Polyline3D* Add3DPoly(const std::vector<double>& pointsArray);
    // Flat x,y,z fit points, interpolated by a cubic spline.
    Spline* AddSpline(const std::vector<double>& pointsArray, const Vector3d& startTangent, const Vector3d& endTangent);
    Hatch* AddHatch(int patternType, const std::string& patternName, bool associativity);
    Face3D* Add3DFace(const Point3d& point1, const Point3d& point2, const Point3d& point3, const Point3d& point4);
    DimAligned* AddDimAligned(const Point3d& extLine1Point, const Point3d& extLine2Point, const Point3d& textPosition);
    // Attaches the drawing at `pathName` as block `name`: layers "<name>|<layer>".
    ExternalReference* AttachExternalReference(const std::string& pathName, const std::string& name,
                                               const Point3d& insertionPoint, double xScale, double yScale,
                                               double zScale, double rotation, bool overlay);
    // Paper space only.
    PViewport* AddPViewport(const Point3d& center, double width, double height);

    // --- engine members
    // Takes ownership of a new entity (from the DXF reader or a copy): gives it an
    // id and a handle, the current layer when it has none set, and indexes it.
    template <typename T>
    T* Append(std::unique_ptr<T> entity)
    {
        T* raw = entity.get();
        AppendEntity(std::unique_ptr<Entity>(entity.release()));
        return raw;
    }
    Entity* AppendEntity(std::unique_ptr<Entity> entity);
    // Last entity in drawing order (the "LAST" of the command line), or nullptr.
    Entity* LastEntity() const;
    // Entities whose extents touch `box` (XY), in drawing order. Only model and
    // paper spaces keep an index; other blocks are scanned.
    std::vector<Entity*> QueryBox(const Box& box) const;
    // Extents of all entities (for EXTMIN/EXTMAX and zoom extents), but for
    // those whose box reaches infinity.
    Box Extents() const;
    // The definitions revision at which this definition, or one it holds,
    // last changed: what is kept of it (KeptDefinition) holds until then.
    std::uint64_t ChangedAt() const { return changedAt_; }
    // Deletes every entity (redefinition of a block's content).
    void Clear();
    // Called by entities: their drawn parts changed (or they were erased);
    // `grownBy`: they only gained parts, drawn within that box.
    void EntityChanged(Entity& e, const Box* grownBy = nullptr);
    void EntityErased(Entity& e);
    // The block-change flush measured `e` again: `box` is its extents now.
    void EntityRemeasured(Entity& e, const Box& box);
    // True while some block reference (not erased) uses this definition.
    bool IsReferenced() const;
    // True when this is `other`, or draws it at any depth (DrawnBlock): an
    // entity of `other` drawing this would make a block draw itself.
    bool Reaches(const Block& other) const;
    // Refuses (InvalidInput) to let an entity of this block draw `drawn`: a
    // space, or a block that draws this one at any depth, which would be drawn
    // without end. Every change that makes an entity of a block draw a block
    // asks here first (but while the drawing is read: Blocks::Unchecked).
    void CheckMayDraw(const Block& drawn) const;
    void SetXRefPath(const std::filesystem::path& p) { xrefPath_ = p; }
    void SetLayout(acad::Layout* l) { layout_ = l; }
    // Indexes the block's live entities in one go (nothing when already indexed).
    void EnableSpatialIndex();
    // Engine: no index while a drawing is read (queries scan, erasures have no
    // index to leave); EnableSpatialIndex after the read indexes what is left.
    void SuspendSpatialIndex();
    void SetNameRaw(const std::string& name) { name_ = name; }  // engine: swaps of "*Paper_Space" names
    // Bumped whenever the content changes.
    std::uint64_t ContentVersion() const { return contentVersion_; }
    // Live references to this definition, from any container (engine: the
    // references keep the list as they are added, re-pointed and erased).
    const std::vector<BlockReference*>& References() const { return references_; }
    void AddReference(BlockReference& r);
    void RemoveReference(BlockReference& r);

protected:
    void OnErase() override;

private:
    std::string name_;
    std::string comments_;
    Point3d origin_;
    std::filesystem::path xrefPath_;
    acad::Layout* layout_ = nullptr;
    ObjectList<Entity> entities_;
    std::unique_ptr<SpatialIndex> index_;
    std::uint64_t contentVersion_ = 1;
    std::uint32_t recordIndex_ = 0;  // position in Blocks' records
    std::vector<BlockReference*> references_;
    bool changePending_ = false;  // in the document's list of changed definitions
    std::uint64_t changedAt_ = 0;
    // What is kept of it for its references (complete only in KeptDefinition.cpp).
    mutable std::shared_ptr<KeptDefinition> kept_;
    friend class KeptDefinition;
    friend class Blocks;
    friend class Document;
};

// The block table.
class Blocks {
public:
    explicit Blocks(acad::Document& doc) : doc_(doc) {}

    int Count() const { return static_cast<int>(list_.Count()); }
    Block* Item(int index) const;
    Block* Item(const std::string& name) const;  // case-insensitive; KeyNotFound
    // Adds a definition; an existing name (any case) gives the existing definition
    // untouched. "*U" names an anonymous block ("*U1", "*U2", ...), as do "*D"
    // (a dimension's picture), "*T" (a table's) and "*X".
    Block* Add(const Point3d& insertionPoint, const std::string& name);
    // The definition as a drawing file names it, at the origin: any name but an
    // empty one (no anonymous numbering either: "*U" is that name).
    Block* AddAsWritten(const std::string& name);
    ObjectList<Block>::iterator begin() const { return list_.begin(); }
    ObjectList<Block>::iterator end() const { return list_.end(); }

    Block* Find(const std::string& name) const;  // nullptr when absent
    // Engine: index of a block in the document's block records (never reused).
    std::uint32_t IndexOf(const Block& b) const;
    Block* ByIndex(std::uint32_t index) const;
    void NoteErased(const Block& b) { list_.NoteErased(&b); }

    // Engine: while one lives, no change is checked for a block that would
    // draw itself (Block::CheckMayDraw): a drawing being read names blocks
    // still to come, and is looked through as a whole once read (LoopFinder).
    class Unchecked {
    public:
        explicit Unchecked(Blocks& blocks) : blocks_(blocks) { ++blocks_.unchecked_; }
        ~Unchecked() { --blocks_.unchecked_; }
        Unchecked(const Unchecked&) = delete;
        Unchecked& operator=(const Unchecked&) = delete;

    private:
        Blocks& blocks_;
    };
    bool Checked() const { return unchecked_ == 0; }

private:
    friend class Block;
    friend class Document;
    void Renamed(Block& b, const std::string& oldName);
    Block* Define(const Point3d& insertionPoint, const std::string& name);  // the name checked
    acad::Document& doc_;
    ObjectList<Block> list_;
    std::vector<Block*> records_;                     // every block ever created, by index
    std::unordered_map<std::string, Block*> byName_;  // upper-case name → block
    int anonymousCounter_ = 0;
    int unchecked_ = 0;
};

// The block `e` draws besides its own pieces, whatever the way: a reference's
// (INSERT, MINSERT, an external reference), a dimension's picture, a table's
// or a multileader's block (all through Entity::DrawnReference), and the model
// space a sheet's viewport shows. Null when none. No entity draws a space
// (Block::CheckMayDraw), so no loop runs through a viewport.
const Block* DrawnBlock(const Entity& e);

// Finds what makes a block draw itself: walking depth first from a
// definition through the blocks its entities draw (DrawnBlock), an entity
// that draws a block on the path that led to it.
class LoopFinder {
public:
    // The first such entity from `root`; null when there is none. What one
    // call found free of loops is not walked again by the next.
    const Entity* From(const Block& root);

private:
    std::unordered_map<const Block*, char> state_;  // 1: on the path; 2: free of loops
};

}  // namespace acad
