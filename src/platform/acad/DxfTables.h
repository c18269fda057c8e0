#pragma once
// The group codes of every record kind the drawing host reads and writes, as
// declarative tables: one table per DXF subclass, each row a group code, the
// field of the engine's data struct it maps to, its type and its default. One
// reader (DxfReader.cpp) and one writer (DxfWriter.cpp) walk these tables;
// nothing else in the file layer knows which code means what.
//
// Rows of type Custom handle the few structures a flat row cannot describe (a
// hatch's boundary paths, a polyline's vertex list, counts written before their
// lists); they are still rows of the table, found by their codes like any other.
//
// Engine-internal.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

#include <span>

#include "platform/acad/DxfText.h"
#include "platform/acad/EntityData.h"
#include "platform/acad/Error.h"
#include "platform/acad/Variant.h"

namespace acad {
class AcadObject;
class Document;
class Entity;
}  // namespace acad

namespace acad::dxf {

// A record the engine cannot take (a circle of no radius, a polyline without
// vertices): the reader leaves the record out and tells the person, as it does
// a record whose groups do not read. Uncaught, it is the file error naming the
// line.
class UnusableRecord : public DamagedGroup {
public:
    using DamagedGroup::DamagedGroup;
};

// What the fields may ask of the reader: the current group and the tables of
// the drawing being read (names resolve to record indices; an unknown name
// creates the record, as hand-written files expect).
class ReadContext {
public:
    virtual ~ReadContext() = default;
    virtual GroupReader& In() = 0;
    virtual Document& Doc() = 0;
    virtual std::uint32_t LayerIndex(std::string_view name) = 0;
    virtual std::uint32_t LinetypeIndex(std::string_view name) = 0;
    virtual std::uint32_t TextStyleIndex(std::string_view name) = 0;
    virtual std::uint32_t BlockIndex(std::string_view name) = 0;
    // Object read with this file handle so far (nullptr when none).
    virtual AcadObject* ObjectOfHandle(std::uint64_t handle) = 0;
    // Dimension style of that name read from the file (nullptr when none).
    virtual const struct DimStyleRecord* DimStyle(std::string_view name) = 0;
};

// What the fields may ask of the writer.
class WriteContext {
public:
    virtual ~WriteContext() = default;
    virtual GroupWriter& Out() = 0;
    virtual const Document& Doc() const = 0;
    virtual const std::string& LayerName(std::uint32_t index) const = 0;
    virtual const std::string& LinetypeName(std::uint32_t index) const = 0;
    virtual const std::string& TextStyleName(std::uint32_t index) const = 0;
    virtual const std::string& BlockName(std::uint32_t index) const = 0;
    virtual std::uint64_t LayerHandle(std::uint32_t index) const = 0;
    // Name of the block that draws the dimension being written.
    virtual const std::string& DimensionBlockName() const = 0;
    // True when the entity being written carries attribute references.
    virtual bool HasFollowers() const = 0;
    // The placeholder object every layer names as its plot style.
    virtual std::uint64_t PlotStyleHandle() const = 0;
};

enum class FieldType : std::uint8_t {
    Real,       // double
    Angle,      // double, radians in the engine, degrees in the file
    Int,        // int
    Bool,       // bool, 0 / 1 in the file
    Flag,       // bool, bit `mask` of the code's integer (rows of one code share a group)
    String,     // std::string (UTF-8)
    Point,      // Point3d at code, code + 10, code + 20
    Point2,     // Point3d, x and y only
    Normal,     // Vector3d extrusion; written only when not the Z axis
    RealList,   // std::vector<double>, one group per item
    PointList,  // std::vector<Point3d>, a point per item
    Layer,      // std::uint32_t index into the layers, by name
    Linetype,   // std::uint32_t index into the linetypes, by name
    TextStyle,  // std::uint32_t index into the text styles, by name
    Block,      // std::uint32_t index into the block records, by name
    Handle,     // std::uint64_t handle; written only when not 0
    AlignH,     // int text alignment: its horizontal mode (72)
    AlignV,     // int text alignment: its vertical mode (73 / 74)
    Custom,     // the row's own read and write functions
};

struct CustomField {
    // Reads the current group (ctx.In()); may read further groups of its structure.
    void (*read)(ReadContext& ctx, void* data);
    // Writes the row's groups.
    void (*write)(WriteContext& ctx, const void* data);
};

using MemberRef = void* (*)(void*);

struct Field {
    int code = 0;
    FieldType type = FieldType::Real;
    MemberRef ref = nullptr;
    double def = 0.0;       // default (numbers and booleans)
    bool optional = false;  // omitted on write when equal to the default
    int mask = 0;           // Flag rows
    const CustomField* custom = nullptr;
    std::array<std::int16_t, 8> more{-1, -1, -1, -1, -1, -1, -1, -1};  // further codes of a Custom row
};

struct Subclass {
    const char* marker;  // subclass marker (group 100), nullptr for none
    std::vector<Field> fields;
};

// The field rows of a record kind, with a lookup from code to row.
class RecordLayout {
public:
    explicit RecordLayout(std::vector<const Subclass*> subclasses);
    const std::vector<const Subclass*>& Subclasses() const { return subclasses_; }
    // Rows that read `code` (several only for Flag rows sharing one group).
    std::span<const Field* const> Find(int code) const
    {
        if (code < 0 || code >= static_cast<int>(slot_.size()) || slot_[code].count == 0) return {};
        return {rows_.data() + slot_[code].first, slot_[code].count};
    }

private:
    struct Slot {
        std::uint16_t first = 0;
        std::uint16_t count = 0;
    };
    std::vector<const Subclass*> subclasses_;
    std::vector<const Field*> rows_;  // grouped by code
    std::vector<Slot> slot_;
};

// Applies the current group to the row's field in `data`.
void ReadField(ReadContext& ctx, const Field& f, void* data);
// Writes every row of `layout` (subclass markers included) from `data`.
void WriteFields(WriteContext& ctx, const RecordLayout& layout, const void* data);
void WriteSubclass(WriteContext& ctx, const Subclass& s, const void* data);

// --- the common part of every entity (AcDbEntity)

struct CommonData {
    bool paperSpace = false;     // 67
    std::uint32_t layer = 0;     // 8
    std::uint32_t linetype = 0;  // 6 (the ByLayer record unless set)
    int color = 256;             // 62
    int lineweight = -1;         // 370
    double linetypeScale = 1.0;  // 48
    bool invisible = false;      // 60
};
const RecordLayout& CommonLayout();
// Common data of an entity, and back (the reader applies it before the entity
// joins its block, so that no setter has to re-index it).
CommonData CommonOf(const Entity& e);
void ApplyCommon(Entity& e, const CommonData& c);

// --- entity kinds

// One record of the file as the reader gathers it around the kind's own data.
struct Record {
    std::size_t line = 0;                   // of its (0, name) group
    std::uint64_t handle = 0;               // 5 (0 = none or not usable)
    std::uint64_t owner = 0;                // 330 before the first subclass marker
    std::uint64_t extensionDictionary = 0;  // 360 in 102 {ACAD_XDICTIONARY
    CommonData common;
    std::vector<int> xdataCodes;  // extended data, as AcadObject::SetXData takes it
    std::vector<Variant> xdataValues;
    std::vector<RawGroup> raw;       // groups kept whole (unmodelled kinds)
    std::vector<RawGroup> embedded;  // from (101, "Embedded Object") to the extended data
    std::string objectName;          // the first subclass marker after AcDbEntity
    bool drop = false;               // set by Build: the record is not kept at all
};

class EntityCodec {
public:
    enum class Followers { None, Attributes, Vertices };

    EntityCodec(std::string dxfName, const RecordLayout& layout, Followers followers = Followers::None,
                bool keepRaw = false)
        : name_(std::move(dxfName)), layout_(&layout), followers_(followers), keepRaw_(keepRaw)
    {
    }
    virtual ~EntityCodec() = default;

    const std::string& DxfName() const { return name_; }
    const RecordLayout& Layout() const { return *layout_; }
    Followers FollowedBy() const { return followers_; }
    // The reader also keeps the record's groups raw, for kinds that may turn
    // out to be ones the engine does not model (other dimensions, meshes).
    bool KeepsRaw() const { return keepRaw_; }

    // Reading: Begin resets the data to the defaults, the reader fills it row
    // by row, Build makes the entity (nullptr: keep the record as raw groups,
    // or drop it when Build sets rec.drop).
    virtual void Begin() = 0;
    virtual void* Data() = 0;
    virtual std::unique_ptr<Entity> Build(ReadContext& ctx, Record& rec) = 0;
    // Writing: the entity's data laid out for the rows.
    virtual const void* View(const Entity& e) = 0;
    // Extended data the kind keeps for itself (a dimension's style overrides
    // under "ACAD"), written after the entity's own.
    virtual void ExtraXData(WriteContext& ctx, const Entity& e, std::vector<int>& codes, std::vector<Variant>& values)
    {
        (void)ctx, (void)e, (void)codes, (void)values;
    }

private:
    std::string name_;
    const RecordLayout* layout_;
    Followers followers_;
    bool keepRaw_;
};

// The embedded object of a text of 2018 and later (its columns), as read but
// with the text's place, width and columns as they are now.
void WriteMTextEmbedded(GroupWriter& o, const MTextData& d, const std::vector<RawGroup>& groups);

// Data of the records that belong to a POLYLINE.
struct VertexRecord {
    PolylineVertex vertex;
    int flags = 0;  // 70
    // Whether the vertex gave its widths (40, 41): without them it takes the polyline's.
    bool startGiven = false, endGiven = false;
};
struct PolylineRecord {
    PolylineData data;
    int flags = 0;       // 70
    int smoothType = 0;  // 75
    bool is3d = false;
    std::vector<VertexRecord> vertices;
};
// Vertex records of a polyline as the writer puts them (frame, then fit points).
std::vector<VertexRecord> VertexRecordsOf(const Entity& polyline);

// The entity kinds the host models. Each reader and writer makes its own set:
// codecs hold the data of the record being read.
class CodecSet {
public:
    CodecSet();
    ~CodecSet();
    CodecSet(const CodecSet&) = delete;
    CodecSet& operator=(const CodecSet&) = delete;

    EntityCodec* Find(std::string_view dxfName) const;  // nullptr: not modelled
    EntityCodec* For(const Entity& e) const;            // nullptr: RawEntity
    EntityCodec& Attribute() const;                     // ATTRIB
    EntityCodec& Vertex(bool is3d) const;               // VERTEX
    // A POLYLINE being read takes its VERTEX records.
    void AddVertex(EntityCodec& polyline, const VertexRecord& v) const;
    // Group 2 of the DIMENSION just read: the block of its picture; group 12:
    // where the picture is moved to.
    std::string DimensionBlock() const;
    Point3d DimensionPicturePlace() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// --- symbol table records, layouts and header variables

// Data of a symbol table record, laid out for its rows.
struct LayerRecord {
    std::string name;
    int flags = 0;  // 70: 1 frozen, 4 locked, 16 dependent, 32 resolved
    int color = 7;  // 62: negative = off
    std::uint32_t linetype = 0;
    bool plottable = true;        // 290
    int lineweight = -3;          // 370
    std::uint64_t plotStyle = 0;  // 390
};
struct LinetypeRecord {
    std::string name;
    int flags = 0;
    std::string description;
    std::vector<double> pattern;  // 49
};
struct TextStyleRecord {
    std::string name;
    int flags = 0;  // 70: 1 shape file entry (a font of complex linetypes), 4 vertical
    double height = 0.0;
    double width = 1.0;
    double oblique = 0.0;
    int generation = 0;
    double lastHeight = 0.2;
    std::string fontFile;
    std::string bigFontFile;
};
struct AppIdRecord {
    std::string name;
    int flags = 0;
};
struct BlockRecordData {
    std::string name;
    std::uint64_t layout = 0;  // 340
};
struct VportRecord {
    std::string name = "*ACTIVE";
    Point3d lowerLeft{0, 0, 0};
    Point3d upperRight{1, 1, 0};
    Point3d center;
    double height = 9.0;
    double aspect = 4.0 / 3.0;
    double snapAngle = 0.0;
};
struct DimStyleRecord {
    std::string name = "Standard";
    double arrowSize = 0.18;          // DIMASZ 41
    double extensionOffset = 0.0625;  // DIMEXO 42
    double extensionBeyond = 0.18;    // DIMEXE 44
    double textHeight = 0.18;         // DIMTXT 140
    int decimals = 4;                 // DIMDEC 271
    std::uint64_t textStyle = 0;      // DIMTXSTY 340
};
struct BlockBeginData {  // BLOCK
    std::string name;
    int flags = 0;  // 70: 1 anonymous, 2 attributes, 4 xref, 8 overlay, 16 dependent, 32 resolved
    Point3d base;
    std::string xrefPath;     // 1
    std::string description;  // 4
};
struct LayoutRecord {
    std::string name;
    int flags = 0;
    int tabOrder = 0;
    Point3d limitsMin, limitsMax, insertionBase, extentsMin, extentsMax;
    std::uint64_t block = 0;  // 330 in AcDbLayout
    std::vector<RawGroup> plotSettings;
};

const RecordLayout& LayerLayout();
const RecordLayout& LinetypeLayout();
const RecordLayout& TextStyleLayout();
const RecordLayout& AppIdLayout();
const RecordLayout& BlockRecordLayout();
const RecordLayout& VportLayout();
const RecordLayout& DimStyleLayout();
const RecordLayout& BlockBeginLayout();
const RecordLayout& LayoutLayout();  // AcDbLayout part (plot settings are kept raw)

// Header variables the host keeps: name in the file, the engine's variable, its
// group code and kind.
struct HeaderVar {
    const char* dxfName;     // "$LTSCALE"
    const char* engineName;  // "LTSCALE" (nullptr: written with the default only)
    int code;                // 40; 10 = a point (10/20/30)
    enum Kind { Int, Real, Angle, Text, Point3, Point2, Handle } kind;
    const char* defaultValue;  // as written when the engine has no such variable
};
const std::vector<HeaderVar>& HeaderVars();

}  // namespace acad::dxf
