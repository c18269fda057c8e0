#pragma once
// Small drawings whose blocks multiply what a view would draw, one per kind of
// entity, for the tests and benchmarks of the host's bounded work: each is a
// few entities of its own and references that draw millions of pieces if
// drawn whole.

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dxf_test_text.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"

#include <unistd.h>

namespace heavy {

// `count` short lines in `b`, spread over a 10 × 10 square.
// `rows` × `columns` copies of `block` at `at`, spaced `dx` along the turned X
// axis and `dy` along its Y axis, in the plane of `normal` (`at` in its
// coordinates).
inline acad::BlockReference* Grid(acad::Block& in, const std::string& block, int rows, int columns, double dx,
                                  double dy, const acad::Point3d& at = {}, double rotation = 0,
                                  const acad::Vector3d& normal = acad::kZAxis)
{
    acad::BlockReference* r = in.InsertBlock({0, 0, 0}, block, 1, 1, 1, rotation);
    acad::BlockReferenceData d = r->Data();
    d.insertionPoint = at;
    d.extrusion = normal;
    d.rows = rows;
    d.columns = columns;
    d.columnSpacing = dx;
    d.rowSpacing = dy;
    r->SetData(d);
    return r;
}

inline void ShortLines(acad::Block& b, int count)
{
    const int side = static_cast<int>(std::ceil(std::sqrt(count)));
    const double pitch = 10.0 / side;
    for (int i = 0; i < count; ++i) {
        const double x = (i % side) * pitch, y = (i / side) * pitch;
        b.AddLine({x, y, 0}, {x + 0.7 * pitch, y + 0.3 * pitch, 0});
    }
}

// `count` references of `name`, side by side in rows of `perRow`, `pitch`
// units apart; each `grow` larger in scale than the one before.
inline void References(acad::Block& space, const std::string& name, int count, int perRow = 100, double grow = 0,
                       double pitch = 12)
{
    for (int i = 0; i < count; ++i) {
        const double s = 1 + i * grow;
        space.InsertBlock({(i % perRow) * pitch, (i / perRow) * pitch, 0}, name, s, s, s, 0);
    }
}

// "PEDRA", 50 short lines, and "LEVE", nine references of it: a block of 450
// pieces that holds no part of its own, lighter than a heavy block each.
inline void LightBlock(acad::Document& doc)
{
    ShortLines(*doc.Blocks().Add({0, 0, 0}, "PEDRA"), 50);
    acad::Block* light = doc.Blocks().Add({0, 0, 0}, "LEVE");
    for (int i = 0; i < 9; ++i) light->InsertBlock({(i % 3) * 3.5, (i / 3) * 3.5, 0}, "PEDRA", 0.3, 0.3, 1, 0);
}

// Every kind of entity a block may hold. The first seven draw many pieces as
// one part; the last four draw a block (a dimension its picture, a table its
// block, a multileader its content, a grid of references its copies).
enum class Kind {
    Polyline,
    LightPolylineBulged,
    MText,
    Spline,
    Hatch,
    Ellipses,
    Text,
    Line,
    Arc,
    Circle,
    WidePolyline,
    Polyline3D,
    Attribute,
    PatternHatch,
    Point,
    PatternLinesHatch,
    Solid,
    ConstructionLine,
    Image,
    Wipeout,
    Mesh,
    Dimension,
    Table,
    MultiLeader,
    Grid,
};

inline const char* NameOf(Kind k)
{
    switch (k) {
    case Kind::Polyline: return "POLYLINE";
    case Kind::LightPolylineBulged: return "LWPOLYLINE";
    case Kind::MText: return "MTEXT";
    case Kind::Spline: return "SPLINE";
    case Kind::Hatch: return "HATCH SOLID";
    case Kind::Ellipses: return "ELLIPSE";
    case Kind::Text: return "TEXT";
    case Kind::Line: return "LINE";
    case Kind::Arc: return "ARC";
    case Kind::Circle: return "CIRCLE";
    case Kind::WidePolyline: return "LWPOLYLINE wide";
    case Kind::Polyline3D: return "POLYLINE 3D";
    case Kind::Attribute: return "ATTDEF";
    case Kind::PatternHatch: return "HATCH";
    case Kind::Point: return "POINT";
    case Kind::PatternLinesHatch: return "HATCH lines";
    case Kind::Solid: return "SOLID";
    case Kind::ConstructionLine: return "XLINE";
    case Kind::Image: return "IMAGE";
    case Kind::Wipeout: return "WIPEOUT";
    case Kind::Mesh: return "MESH";
    case Kind::Dimension: return "DIMENSION";
    case Kind::Table: return "ACAD_TABLE";
    case Kind::MultiLeader: return "MULTILEADER";
    case Kind::Grid: return "MINSERT";
    }
    return "";
}

inline std::vector<Kind> EveryKind()
{
    return {Kind::Line,
            Kind::Arc,
            Kind::Circle,
            Kind::Ellipses,
            Kind::LightPolylineBulged,
            Kind::WidePolyline,
            Kind::Polyline,
            Kind::Polyline3D,
            Kind::Spline,
            Kind::Text,
            Kind::MText,
            Kind::Attribute,
            Kind::PatternHatch,
            Kind::Hatch,
            Kind::Point,
            Kind::Solid,
            Kind::Image,
            Kind::Wipeout,
            Kind::ConstructionLine,
            Kind::Mesh,
            Kind::Dimension,
            Kind::Table,
            Kind::MultiLeader,
            Kind::Grid,
            Kind::PatternLinesHatch};
}

// A kept record of `kind` made of groups, in `b`.
inline acad::RawEntity* Raw(acad::Block& b, const std::string& kind, const std::string& objectName,
                            std::vector<acad::RawGroup> groups)
{
    return b.Append(std::make_unique<acad::RawEntity>(b.Document(), kind, objectName, std::move(groups)));
}

inline std::string Num(double v) { return std::to_string(v); }

// A coordinate triple of a kept record: x at `code`, y and z ten and twenty on.
inline void Triple(std::vector<acad::RawGroup>& g, int code, const acad::Point3d& p)
{
    g.insert(g.end(), {{code, Num(p.x)}, {code + 10, Num(p.y)}, {code + 20, Num(p.z)}});
}

// An anonymous block ("*D", "*T") of `lines` short lines in a 10 × 10 square, or
// holding a reference of `block` when one is named.
inline acad::Block& Picture(acad::Document& doc, const char* anonymous, int lines, const std::string& block = "")
{
    acad::Block* b = doc.Blocks().Add({0, 0, 0}, anonymous);
    if (block.empty())
        ShortLines(*b, lines);
    else
        b->InsertBlock({0, 0, 0}, block, 1, 1, 1, 0);
    return *b;
}

// A dimension from (0, 0) to (10, 0) that draws `picture`.
inline void PictureDimension(acad::Block& b, const acad::Block& picture, const acad::Point3d& at = {})
{
    acad::DimAligned* d = b.AddDimAligned({0, 0, 0}, {10, 0, 0}, {5, 2, 0});
    d->SetPicture(b.Document().Blocks().IndexOf(picture), at);
}

// A table at `at` that names `block`.
inline void Table(acad::Block& b, const acad::Block& block, const acad::Point3d& at = {})
{
    std::vector<acad::RawGroup> g{{100, "AcDbBlockReference"}, {2, block.Name()}};
    Triple(g, 10, at);
    g.push_back({100, "AcDbTable"});
    Triple(g, 11, {1, 0, 0});
    Raw(b, "ACAD_TABLE", "AcDbBlockReference", g);
}

// A multileader with a leader of `vertices` vertices across the square, and
// `block` as its content when one is given, else a note.
inline void MultiLeader(acad::Block& b, int vertices, const acad::Block* block = nullptr)
{
    std::vector<acad::RawGroup> g{{100, "AcDbMLeader"}, {300, "CONTEXT_DATA{"}, {40, "1"}, {140, "0.5"}, {41, "0.5"}};
    if (block) {
        g.insert(g.end(), {{290, "0"}, {296, "1"}, {341, block->Handle()}});
        Triple(g, 15, {5, 5, 0});
        Triple(g, 16, {1, 1, 1});
        g.push_back({46, "0"});
    } else {
        g.insert(g.end(), {{290, "1"}, {304, "NOTA DE CAMPO"}});
        Triple(g, 12, {5, 9, 0});
        Triple(g, 13, {1, 0, 0});
        g.insert(g.end(), {{43, "0"}, {171, "1"}});
    }
    g.push_back({302, "LEADER{"});
    Triple(g, 10, {10, 10, 0});
    g.push_back({304, "LEADER_LINE{"});
    for (int i = 0; i < vertices; ++i) Triple(g, 10, {i * 10.0 / vertices, (i % 2) * 1.0, 0});
    g.insert(g.end(), {{305, "}"}, {303, "}"}, {301, "}"}, {170, "1"}, {172, block ? "1" : "2"}});
    Raw(b, "MULTILEADER", "AcDbMLeader", g);
}

// What `b` holds of `kind`: about a thousand pieces seen whole in a 10 × 10
// square (in one entity for the kinds that draw many pieces as one part).
inline void HeavyEntities(acad::Block& b, Kind kind)
{
    std::vector<double> zigzag;  // 1000 vertices across the square
    for (int i = 0; i < 1000; ++i) {
        zigzag.push_back(i * 0.01);
        zigzag.push_back(i % 2 ? 10.0 : 0.0);
    }
    auto xyz = [&] {
        std::vector<double> v;
        for (std::size_t i = 0; i < zigzag.size(); i += 2) v.insert(v.end(), {zigzag[i], zigzag[i + 1], i * 1e-4});
        return v;
    };
    auto hatch = [&](const char* pattern) {
        // An area bounded by the zigzag closed along the bottom.
        std::vector<double> ring = zigzag;
        ring.insert(ring.end(), {9.99, -1.0, 0.0, -1.0});
        acad::LWPolyline* boundary = b.AddLightWeightPolyline(ring);
        boundary->SetClosed(true);
        acad::Hatch* h = b.AddHatch(acad::HatchPatternType::PreDefined, pattern, false);
        h->AppendOuterLoop({boundary});
        boundary->Delete();
        return h;
    };
    switch (kind) {
    case Kind::Polyline: {
        std::vector<double> v = xyz();
        for (std::size_t i = 2; i < v.size(); i += 3) v[i] = 0;
        b.AddPolyline(v);
        break;
    }
    case Kind::LightPolylineBulged: {
        // Fifty half circles, each drawn in tens of chords.
        std::vector<double> xy;
        for (int i = 0; i <= 50; ++i) xy.insert(xy.end(), {i * 0.2, 0.0});
        acad::LWPolyline* pl = b.AddLightWeightPolyline(xy);
        for (int i = 0; i < 50; ++i) pl->SetBulge(i, 1.0);
        break;
    }
    case Kind::MText: {
        std::string text;
        for (int line = 0; line < 40; ++line) text += std::string(100, static_cast<char>('A' + line % 26)) + "\\P";
        b.AddMText({0, 10, 0}, 10, text)->SetHeight(0.2);
        break;
    }
    case Kind::Spline: {
        std::vector<double> fit;
        for (int i = 0; i < 400; ++i) fit.insert(fit.end(), {i * 0.025, 5 + 5 * std::sin(i * 0.7), 0.0});
        b.AddSpline(fit, {}, {});
        break;
    }
    case Kind::Hatch: hatch("SOLID"); break;
    case Kind::PatternHatch: hatch("ANSI31"); break;
    case Kind::PatternLinesHatch: {
        // Its own lines, as a file gives them: dashed, crossed, 0.05 apart,
        // each cut some five hundred times by the zigzag.
        acad::Hatch* h = hatch("TRAMA");
        acad::HatchData d = h->Data();
        d.patternLines = {{0.0, {0, 0, 0}, {0.01, 0.05, 0}, {0.03, -0.02}},
                          {acad::kPi / 2, {0, 0, 0}, {-0.05, 0, 0}, {}}};
        h->SetData(d);
        break;
    }
    case Kind::Ellipses:
        for (int i = 0; i < 40; ++i) b.AddEllipse({5, 5, 0}, {5 - i * 0.1, 0, 0}, 0.5);
        break;
    case Kind::Text:
        for (int i = 0; i < 10; ++i) b.AddText(std::string(100, 'W'), {0, i * 1.0, 0}, 0.1);
        break;
    case Kind::Line: ShortLines(b, 500); break;
    case Kind::Arc:
        for (int i = 0; i < 200; ++i) b.AddArc({5, 5, 0}, 0.02 + i * 0.024, 0.1, 6.0);
        break;
    case Kind::Circle:
        for (int i = 0; i < 200; ++i) b.AddCircle({5, 5, 0}, 0.02 + i * 0.024);
        break;
    case Kind::WidePolyline: b.AddLightWeightPolyline(zigzag)->SetConstantWidth(0.05); break;
    case Kind::Polyline3D: b.Add3DPoly(xyz()); break;
    case Kind::Attribute:
        for (int i = 0; i < 10; ++i) {
            acad::AttributeDefinition* a =
                b.AddAttribute(0.1, 0, "", {0, i * 1.0, 0}, "T" + std::to_string(i), std::string(100, 'W'));
            a->SetConstant(true);
        }
        break;
    case Kind::Point:
        for (int i = 0; i < 1000; ++i) b.AddPoint({(i % 32) * 0.3, (i / 32) * 0.3, 0});
        break;
    case Kind::Solid:
        for (int i = 0; i < 125; ++i) {
            acad::SolidData d;
            const acad::Point3d o{(i % 11) * 0.9, (i / 11) * 0.9, 0};
            d.corners[0] = o;
            d.corners[1] = o + acad::Point3d{0.5, 0, 0};
            d.corners[2] = o + acad::Point3d{0, 0.5, 0};
            d.corners[3] = o + acad::Point3d{0.5, 0.5, 0};
            b.Append(std::make_unique<acad::Solid>(b.Document(), d));
        }
        break;
    case Kind::ConstructionLine:
        for (int i = 0; i < 1000; ++i)
            b.Append(std::make_unique<acad::InfiniteLine>(
                b.Document(), acad::RayData{{i * 0.01, 5, 0}, {std::cos(i * 0.1), std::sin(i * 0.1), 0}}, i % 2 == 0));
        break;
    case Kind::Image:
    case Kind::Wipeout:
        for (int i = 0; i < 250; ++i) {
            std::vector<acad::RawGroup> g{{100, "AcDbRasterImage"}};
            Triple(g, 10, {(i % 16) * 0.6, (i / 16) * 0.6, 0});
            Triple(g, 11, {0.005, 0, 0});
            Triple(g, 12, {0, 0.005, 0});
            g.insert(g.end(), {{13, "100"}, {23, "100"}});
            Raw(b, kind == Kind::Image ? "IMAGE" : "WIPEOUT", "AcDbRasterImage", g);
        }
        break;
    case Kind::Mesh: {
        // 250 quadrilaterals: a strip of 251 × 2 vertices.
        std::vector<acad::RawGroup> g{{100, "AcDbSubDMesh"}, {71, "2"}, {92, "502"}};
        for (int i = 0; i < 251; ++i) {
            Triple(g, 10, {i * 0.04, 0, 0});
            Triple(g, 10, {i * 0.04, 10, 0});
        }
        g.push_back({93, std::to_string(250 * 5)});
        for (int i = 0; i < 250; ++i)
            for (int k : {4, 2 * i, 2 * i + 2, 2 * i + 3, 2 * i + 1}) g.push_back({90, std::to_string(k)});
        Raw(b, "MESH", "AcDbSubDMesh", g);
        break;
    }
    case Kind::Dimension: {
        const acad::Block& picture = Picture(b.Document(), "*D", 100);
        for (int i = 0; i < 10; ++i) PictureDimension(b, picture, {0, i * 0.1, 0});
        break;
    }
    case Kind::Table: {
        const acad::Block& cells = Picture(b.Document(), "*T", 100);
        for (int i = 0; i < 10; ++i) Table(b, cells, {0, i * 0.1, 0});
        break;
    }
    case Kind::MultiLeader: MultiLeader(b, 1000); break;
    case Kind::Grid: {
        ShortLines(*b.Document().Blocks().Add({0, 0, 0}, "Q"), 10);
        acad::BlockReference* r = b.InsertBlock({0, 0, 0}, "Q", 0.1, 0.1, 1, 0);
        acad::BlockReferenceData d = r->Data();
        d.rows = d.columns = 10;
        d.rowSpacing = d.columnSpacing = 1;
        r->SetData(d);
        break;
    }
    }
}

// What multiplies a block of `kind` at the top of `doc`, beside "N" (twenty
// references of "E"): 100 dimensions, tables or multileaders drawing a block
// that holds "N", stacked at the origin, or a grid of 1000 × 1000 copies of
// "E" a thousandth apart. Nothing for the other kinds.
inline void TopLevel(acad::Document& doc, Kind kind)
{
    acad::Block& ms = doc.ModelSpace();
    switch (kind) {
    case Kind::Dimension: {
        const acad::Block& picture = Picture(doc, "*D", 0, "N");
        for (int i = 0; i < 100; ++i) PictureDimension(ms, picture);
        break;
    }
    case Kind::Table: {
        const acad::Block& cells = Picture(doc, "*T", 0, "N");
        for (int i = 0; i < 100; ++i) Table(ms, cells);
        break;
    }
    case Kind::MultiLeader: {
        const acad::Block* n = doc.Blocks().Find("N");
        for (int i = 0; i < 100; ++i) MultiLeader(ms, 4, n);
        break;
    }
    case Kind::Grid: {
        acad::BlockReference* r = ms.InsertBlock({0, 0, 0}, "E", 1, 1, 1, 0);
        acad::BlockReferenceData d = r->Data();
        d.rows = d.columns = 1000;
        d.rowSpacing = d.columnSpacing = 1e-3;
        r->SetData(d);
        break;
    }
    default: break;
    }
}

// Block "E" holds about a thousand pieces of `kind` (HeavyEntities), and
// "P", one reference of "E": the light block it is reached through.
inline void OneHeavyEntity(acad::Document& doc, Kind kind)
{
    HeavyEntities(*doc.Blocks().Add({0, 0, 0}, "E"), kind);
    doc.Blocks().Add({0, 0, 0}, "P")->InsertBlock({0, 0, 0}, "E", 1, 1, 1, 0);
}

// "PV", a manhole of 30 parts (a ring, its cover, steps and a cross), and
// `count` references of it `pitch` units apart: an ordinary network.
inline void Manholes(acad::Document& doc, int count, double pitch = 12)
{
    acad::Block* pv = doc.Blocks().Add({0, 0, 0}, "PV");
    pv->AddCircle({0, 0, 0}, 1.5);
    pv->AddCircle({0, 0, 0}, 1.2);
    for (int i = 0; i < 24; ++i) {
        const double a = i * acad::kTwoPi / 24;
        pv->AddLine({1.2 * std::cos(a), 1.2 * std::sin(a), 0}, {1.5 * std::cos(a), 1.5 * std::sin(a), 0});
    }
    pv->AddLine({-1, 0, 0}, {1, 0, 0});
    pv->AddLine({0, -1, 0}, {0, 1, 0});
    pv->AddLine({-0.5, -0.5, 0}, {0.5, 0.5, 0});
    pv->AddLine({-0.5, 0.5, 0}, {0.5, -0.5, 0});
    References(doc.ModelSpace(), "PV", count, 150, 0, pitch);
}

}  // namespace heavy

namespace heavy {

// The drawings the bounds are held on, each with the view they are seen in.
enum class Case {
    BlocksOfLines,     // 3,000 references of a block of 3,000 short lines
    LightBlocks,       // `count` references of "LEVE"
    ThroughLight,      // `count` references of "P", through which one heavy entity of `kind`
    DistinctScales,    // `count` references of the block of 3,000 lines, each at its own scale
    BesideDots,        // 2,000 references of "G" too small to see, beside one seen large
    OnHiddenLayers,    // 1,000 references of "G" on a frozen and on a switched-off layer, one shown
    Manholes,          // `count` manholes of 30 parts
    SubDotBesideLine,  // `count` references far below a dot of 100 polylines of 2,000 vertices, beside a long line
    PartlyInView,      // `count` references a hair apart of a 200,000-vertex zigzag, a part of each in view
    Rotated,           // `count` references of a block of 50,000 short lines, each at its own rotation
    ClippedNested,     // a drawing of 26 nested levels attached as an external reference and clipped
    StackedTexts,      // `count` texts of 20 letters on top of one another, about 64 pixels high
    StackedHatch,      // `count` references on one another of a pattern hatch with 500 islands
    Contours,          // `count` references of a 100,000-vertex contour, 20 units apart
    QuarterOctaves,    // `count` references of a 100,000-vertex polyline, each a quarter octave smaller
    SheetOfViewports,  // a sheet of 8 viewports onto `count` references of a 25,000-vertex polyline
    LongNote,          // `count` references far below a dot of two lines and a 20,000-letter note, beside a line
    Splines,           // `count` references of 100 splines through 2,000 points each
    NoisyTrack,        // a digitized track of `count` vertices, 10 wide, driven 20 times over one road
    BulgedZigzag,      // a zigzag of `count` vertices, each segment an arc, 0.01 wide
};

struct Drawing {
    Case what = Case::LightBlocks;
    int count = 20000;
    Kind kind = Kind::Polyline;
    // The references one on the other, so that whatever looks at the middle
    // of one looks at all of them.
    bool stacked = false;
    // Each reference at its own turn (LongNote, Splines).
    bool turned = false;
    // The wide polylines drawn without their width, as the yardstick of their frame.
    bool thin = false;
};

// A closed ring of `count` vertices about (cx, cy), `radius` units out and
// wavering by a tenth of it: a contour line, many vertices to each pixel.
inline std::vector<double> Contour(int count, double cx, double cy, double radius)
{
    std::vector<double> xy;
    xy.reserve(2 * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double a = i * acad::kTwoPi / count;
        const double r = radius * (1 + 0.1 * std::sin(a * 37) + 0.02 * std::sin(a * 5000));
        xy.insert(xy.end(), {cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return xy;
}

// Fills `doc` with the drawing and sets its view: the drawing's extents, but
// where a case says otherwise.
inline void Build(acad::Document& doc, const Drawing& d)
{
    acad::Block& ms = doc.ModelSpace();
    const double pitch = d.stacked ? 0 : 12;
    auto blockOfLines = [&] { ShortLines(*doc.Blocks().Add({0, 0, 0}, "H"), 3000); };
    // "G": a hundred references of "H" in a 10 × 10 square, 600,000 pieces
    // that one view can draw whole, but not many times over.
    auto blockOfBlocks = [&] {
        blockOfLines();
        acad::Block* g = doc.Blocks().Add({0, 0, 0}, "G");
        for (int i = 0; i < 100; ++i) g->InsertBlock({(i % 10) * 1.0, (i / 10) * 1.0, 0}, "H", 0.1, 0.1, 1, 0);
    };
    switch (d.what) {
    case Case::BlocksOfLines:
        blockOfLines();
        References(ms, "H", 3000, 100, 0, pitch);
        break;
    case Case::LightBlocks:
        // Packed, so that each is seen some pixels wide at the extents.
        LightBlock(doc);
        References(ms, "LEVE", d.count, 300, 0, pitch / 3);
        break;
    case Case::ThroughLight:
        OneHeavyEntity(doc, d.kind);
        References(ms, "P", d.count, 30, 0, pitch);
        break;
    case Case::DistinctScales:
        blockOfLines();
        References(ms, "H", d.count, 200, 1e-9, pitch);
        break;
    case Case::BesideDots:
        blockOfBlocks();
        // Two thousand, each a thousandth of a unit wide, under the large one's corner.
        for (int i = 0; i < 2000; ++i) ms.InsertBlock({(i % 50) * 0.02, (i / 50) * 0.02, 0}, "G", 1e-4, 1e-4, 1, 0);
        ms.InsertBlock({0, 0, 0}, "G", 10, 10, 1, 0);
        break;
    case Case::OnHiddenLayers: {
        blockOfBlocks();
        doc.Layers().Add("CONGELADO");
        doc.Layers().Add("DESLIGADO");
        for (int i = 0; i < 1000; ++i)
            ms.InsertBlock({(i % 100) * 0.5, (i / 100) * 0.5, 0}, "G", 1, 1, 1, 0)
                ->SetLayer(i % 2 ? "CONGELADO" : "DESLIGADO");
        ms.InsertBlock({0, 0, 0}, "G", 5, 5, 1, 0);
        doc.Layers().Item("CONGELADO")->SetFreeze(true);
        doc.Layers().Item("DESLIGADO")->SetLayerOn(false);
        break;
    }
    case Case::Manholes: Manholes(doc, d.count); break;
    case Case::SubDotBesideLine: {
        acad::Block* k = doc.Blocks().Add({0, 0, 0}, "K");
        for (int p = 0; p < 100; ++p) {
            std::vector<double> xy;
            for (int i = 0; i < 2000; ++i) xy.insert(xy.end(), {i * 0.005, p * 0.1 + (i % 2) * 0.05});
            k->AddLightWeightPolyline(xy);
        }
        for (int i = 0; i < d.count; ++i) ms.InsertBlock({50, 50, 0}, "K", 1e-6, 1e-6, 1, 0);
        ms.AddLine({0, 50, 0}, {100, 50, 0});
        break;
    }
    case Case::PartlyInView: {
        // From x 0 to 1,000: reference 0 runs from (496, 0) to (496.005, 10).
        std::vector<double> xy;
        for (int i = 0; i < 200000; ++i) xy.insert(xy.end(), {i * 0.005, (i % 2) * 10.0});
        doc.Blocks().Add({0, 0, 0}, "Z")->AddLightWeightPolyline(xy);
        for (int i = 0; i < d.count; ++i) ms.InsertBlock({i * 1e-4, 0, 0}, "Z", 1, 1, 1, 0);
        // The left half of each.
        doc.ActiveView().Fit(acad::Box::FromCorners({0, 0, 0}, {500, 10, 0}));
        return;
    }
    case Case::Rotated:
        ShortLines(*doc.Blocks().Add({0, 0, 0}, "R"), 50000);
        for (int i = 0; i < d.count; ++i)
            ms.InsertBlock({(i % 100) * 15.0, (i / 100) * 15.0, 0}, "R", 1, 1, 1, 0.001 + i * 1e-4);
        break;
    case Case::ClippedNested: {
        const auto file =
            std::filesystem::temp_directory_path() / ("heavy-nested-" + std::to_string(::getpid()) + ".dxf");
        acad::Document source;
        acad::ReadDxfText(source, dxf_test::NestedBlocks(26), "aninhado.dxf");
        acad::WriteDxf(source, file);
        auto* x = ms.AttachExternalReference(file.string(), "ANINHADO", {0, 0, 0}, 1, 1, 1, 0, false);
        std::filesystem::remove(file);
        x->SetClipBoundary({{100, 100, 0}, {4000, 100, 0}, {4000, 3000, 0}, {100, 3000, 0}});
        break;
    }
    case Case::StackedTexts:
        for (int i = 0; i < d.count; ++i) ms.AddText("TEXTOS EMPILHADOS 20", {0, 0, 0}, 1);
        break;
    case Case::StackedHatch: {
        // A 100 × 100 square with 500 round islands of 200 vertices, in rows of 25.
        acad::Block* b = doc.Blocks().Add({0, 0, 0}, "ILHAS");
        acad::LWPolyline* outer = b->AddLightWeightPolyline({0, 0, 100, 0, 100, 100, 0, 100});
        outer->SetClosed(true);
        acad::Hatch* h = b->AddHatch(acad::HatchPatternType::PreDefined, "ANSI31", false);
        h->AppendOuterLoop({outer});
        outer->Delete();
        for (int i = 0; i < 500; ++i) {
            const double x = 3 + (i % 25) * 3.9, y = 3 + (i / 25) * 4.8;
            acad::LWPolyline* island = b->AddLightWeightPolyline(Contour(200, x, y, 1));
            island->SetClosed(true);
            h->AppendInnerLoop({island});
            island->Delete();
        }
        for (int i = 0; i < d.count; ++i) ms.InsertBlock({0, 0, 0}, "ILHAS", 1, 1, 1, 0);
        break;
    }
    case Case::Contours:
        doc.Blocks().Add({0, 0, 0}, "CURVA")->AddLightWeightPolyline(Contour(100000, 0, 0, 8))->SetClosed(true);
        for (int i = 0; i < d.count; ++i) ms.InsertBlock({i * 20.0, 0, 0}, "CURVA", 1, 1, 1, 0);
        break;
    case Case::QuarterOctaves: {
        std::vector<double> xy;
        for (int i = 0; i < 100000; ++i) xy.insert(xy.end(), {i * 0.001, 5 + 5 * std::sin(i * 0.37)});
        doc.Blocks().Add({0, 0, 0}, "OITAVA")->AddLightWeightPolyline(xy);
        for (int i = 0; i < d.count; ++i) {
            const double s = std::exp2(-i / 4.0);
            ms.InsertBlock({0, 0, 0}, "OITAVA", s, s, 1, 0);
        }
        break;
    }
    case Case::SheetOfViewports: {
        std::vector<double> xy;
        for (int i = 0; i < 25000; ++i) xy.insert(xy.end(), {i * 0.0004, 5 + 5 * std::sin(i * 0.37)});
        doc.Blocks().Add({0, 0, 0}, "FOLHA")->AddLightWeightPolyline(xy);
        for (int i = 0; i < d.count; ++i) {
            const double s = 1 + i * 0.01;
            ms.InsertBlock({(i % 20) * 25.0, (i / 20) * 25.0, 0}, "FOLHA", s, s, 1, 0);
        }
        const acad::Box model = doc.ModelExtents();
        doc.SetActiveSpace(acad::acPaperSpace);
        const acad::Point3d c = model.Center();
        for (int i = 0; i < 8; ++i) {
            acad::PViewport* vp =
                doc.PaperSpace().AddPViewport({(i % 4) * 110.0 + 50, (i / 4) * 80.0 + 35, 0}, 100, 70);
            vp->Display(true);
            // The whole model, then closer and closer to its middle.
            const double half = model.Width() / 2 / std::exp2(i);
            vp->View().Fit(
                acad::Box::FromCorners(c - acad::Vector3d(half, half, 0), c + acad::Vector3d(half, half, 0)));
        }
        doc.ActiveView().Fit(doc.PaperSpace().Extents());
        // Walks are made through the first viewport, which shows the whole model.
        doc.SetActivePViewport(*doc.Viewports(doc.ActiveLayout()).back());
        doc.SetMSpace(true);
        return;
    }
    case Case::LongNote: {
        // The note on one line, without a width to wrap it at.
        acad::Block* k = doc.Blocks().Add({0, 0, 0}, "NOTA");
        k->AddMText({0, 10, 0}, 0, std::string(20000, 'N'))->SetHeight(0.05);
        k->AddLine({0, 0, 0}, {10, 0, 0});
        k->AddLine({0, 0, 0}, {0, 10, 0});
        for (int i = 0; i < d.count; ++i)
            ms.InsertBlock({50, 50, 0}, "NOTA", 1e-6, 1e-6, 1, d.turned ? 0.001 + i * 1e-4 : 0);
        ms.AddLine({0, 50, 0}, {100, 50, 0});
        break;
    }
    case Case::Splines: {
        acad::Block* b = doc.Blocks().Add({0, 0, 0}, "CURVAS");
        for (int k = 0; k < 100; ++k) {
            std::vector<double> fit;
            for (int i = 0; i < 2000; ++i) fit.insert(fit.end(), {i * 0.005, k * 0.1 + 0.04 * std::sin(i * 0.7), 0.0});
            b->AddSpline(fit, {}, {});
        }
        for (int i = 0; i < d.count; ++i)
            ms.InsertBlock({(i % 100) * 15.0, (i / 100) * 15.0, 0}, "CURVAS", 1, 1, 1, d.turned ? 0.001 + i * 1e-4 : 0);
        break;
    }
    case Case::NoisyTrack: {
        // A vehicle's track digitized every 3 units with a unit of noise,
        // driven back and forth 20 times along one winding road 3,000 units
        // long: the band lies over its neighbours' and over its other passes.
        std::vector<double> xy;
        unsigned seed = 12345;
        auto noise = [&seed] {
            seed = seed * 1103515245u + 12345u;
            return static_cast<double>((seed >> 8) & 0xFFFF) / 65535.0 - 0.5;
        };
        const int perPass = std::max(1, d.count / 20);
        for (int i = 0; i < d.count; ++i) {
            const int along = (i / perPass) % 2 ? perPass - 1 - i % perPass : i % perPass;
            const double x = along * 3.0;
            xy.insert(xy.end(), {x + 2 * noise(), 300 * std::sin(x / 400) + 2 * noise()});
        }
        ms.AddLightWeightPolyline(xy)->SetConstantWidth(d.thin ? 0 : 10);
        break;
    }
    case Case::BulgedZigzag: {
        // Up and down across a 5 x 1 strip, each segment bowed a quarter of its length aside.
        std::vector<double> xy;
        for (int i = 0; i < d.count; ++i) xy.insert(xy.end(), {i * 5.0 / d.count, (i % 2) * 1.0});
        acad::LWPolyline* pl = ms.AddLightWeightPolyline(xy);
        acad::LWPolylineData data = pl->Data();
        for (auto& v : data.geometry.vertices) v.bulge = 0.5;
        data.constantWidth = d.thin ? 0 : 0.01;
        pl->SetData(data);
        break;
    }
    }
    doc.ActiveView().Fit(doc.ModelExtents());
}

inline std::string NameOf(const Drawing& d)
{
    switch (d.what) {
    case Case::BlocksOfLines: return "blocks of lines";
    case Case::LightBlocks: return std::to_string(d.count) + " light blocks";
    case Case::ThroughLight: return std::string("through light blocks, a ") + NameOf(d.kind);
    case Case::DistinctScales: return "distinct scales";
    case Case::BesideDots: return "beside dots";
    case Case::OnHiddenLayers: return "on hidden layers";
    case Case::Manholes: return std::to_string(d.count) + " manholes";
    case Case::SubDotBesideLine: return "below a dot beside a line";
    case Case::PartlyInView: return "partly in view";
    case Case::Rotated: return "rotated";
    case Case::ClippedNested: return "clipped nested";
    case Case::StackedTexts: return "stacked texts";
    case Case::StackedHatch: return std::to_string(d.count) + " stacked hatches";
    case Case::Contours: return "contours";
    case Case::QuarterOctaves: return "quarter octaves";
    case Case::SheetOfViewports: return "sheet of viewports";
    case Case::LongNote: return d.turned ? "long note, turned" : "long note";
    case Case::Splines: return d.turned ? "splines, turned" : "splines";
    case Case::NoisyTrack: return d.thin ? "noisy track without width" : "noisy track 10 wide";
    case Case::BulgedZigzag: return d.thin ? "bulged zigzag without width" : "bulged zigzag 0.01 wide";
    }
    return "";
}

}  // namespace heavy

namespace heavy {

// The drawings the benchmarks time, in their order.
inline const std::vector<Drawing>& Benchmarked()
{
    static const std::vector<Drawing> all = {
        {Case::BlocksOfLines},
        {Case::LightBlocks, 20000},
        {Case::LightBlocks, 100000},
        {Case::ThroughLight, 600, Kind::Polyline},
        {Case::ThroughLight, 600, Kind::LightPolylineBulged},
        {Case::ThroughLight, 600, Kind::MText},
        {Case::ThroughLight, 600, Kind::Spline},
        {Case::ThroughLight, 600, Kind::Hatch},
        {Case::ThroughLight, 600, Kind::Ellipses},
        {Case::ThroughLight, 600, Kind::Text},
        {Case::DistinctScales, 20000},
        {Case::BesideDots},
        {Case::OnHiddenLayers},
        {Case::Manholes, 20000},
        {Case::SubDotBesideLine, 20000},
        {Case::PartlyInView, 1000},
        {Case::Rotated, 20000},
        {Case::ClippedNested},
        {Case::StackedTexts, 2000},
        {Case::StackedHatch, 20},
        {Case::Contours, 50},
        {Case::QuarterOctaves, 400},
        {Case::SheetOfViewports, 200},
        {Case::LongNote, 20000},
        {Case::LongNote, 20000, Kind::Polyline, false, true},
        {Case::Splines, 20000},
        {Case::Splines, 20000, Kind::Polyline, false, true},
        {Case::NoisyTrack, 20000},
        {Case::NoisyTrack, 20000, Kind::Polyline, false, false, true},
        {Case::BulgedZigzag, 100000},
        {Case::BulgedZigzag, 100000, Kind::Polyline, false, false, true},
    };
    return all;
}

// Benchmarked()[index], built once for the run.
inline acad::Document& Built(std::size_t index)
{
    static std::map<std::size_t, std::unique_ptr<acad::Document>> docs;
    auto& doc = docs[index];
    if (!doc) {
        doc = std::make_unique<acad::Document>();
        Build(*doc, Benchmarked()[index]);
    }
    return *doc;
}

}  // namespace heavy
