#pragma once
// Drawings whose blocks hold what a simplified copy of a definition is most
// easily wrong about, for the judge of the view's levels of detail
// (detail_oracle.h) and the seeds of the fuzz target that mutates them:
// arcs both ways, circles of two complementary halves (arcs, and bulged
// polyline vertices), texts, patterns, widths, 3-D content seen through a
// tilted extrusion; references nested, mirrored, seen from below or tilted,
// scaled unevenly or negatively, at one insertion point in their own
// coordinates; grids of copies, references a fraction of a pixel apart, and
// the same at a survey's coordinates far from the origin. Built from a fixed
// seed: the same drawing everywhere.

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "detail_oracle.h"
#include "platform/acad/Acad.h"
#include "platform/acad/Hatch.h"

namespace detail_drawings {

inline acad::Vector3d Unit(const acad::Vector3d& v) { return v / v.Length(); }

// Seen from below, and tilted: the normals references are placed along.
inline const acad::Vector3d kBelow{0, 0, -1};
inline const acad::Vector3d kTilted = Unit({0.3, -0.5, 0.8});

inline double Degrees(double d) { return d * std::numbers::pi / 180; }

// A reference whose insertion point is `ocs` in the plane of `normal`.
inline acad::BlockReference* PlaceInPlane(acad::Block& space, const std::string& name, const acad::Point3d& ocs,
                                          double sx, double sy, double rotation, const acad::Vector3d& normal)
{
    acad::BlockReference* r = space.InsertBlock({0, 0, 0}, name, sx, sy, 1, rotation);
    acad::BlockReferenceData d = r->Data();
    d.extrusion = normal;
    d.insertionPoint = ocs;
    r->SetData(d);
    return r;
}

// A reference whose insertion point lies at `world`, placed along `normal`.
inline acad::BlockReference* Place(acad::Block& space, const std::string& name, const acad::Point3d& world, double sx,
                                   double sy, double rotation, const acad::Vector3d& normal = acad::kZAxis)
{
    const acad::Point3d ocs = acad::OcsOf(normal).Inverse().value_or(acad::Transform()).Apply(world);
    return PlaceInPlane(space, name, ocs, sx, sy, rotation, normal);
}

// A grid of copies of `name` at `world`.
inline acad::BlockReference* Grid(acad::Block& space, const std::string& name, const acad::Point3d& world, int rows,
                                  int columns, double dx, double dy, const acad::Vector3d& normal = acad::kZAxis)
{
    acad::BlockReference* r = Place(space, name, world, 1, 1, 0, normal);
    acad::BlockReferenceData d = r->Data();
    d.rows = rows;
    d.columns = columns;
    d.columnSpacing = dx;
    d.rowSpacing = dy;
    r->SetData(d);
    return r;
}

inline acad::LWPolyline* Polyline(acad::Block& b, const std::vector<double>& xy, const std::vector<double>& bulges,
                                  bool closed)
{
    acad::LWPolyline* p = b.AddLightWeightPolyline(xy);
    for (std::size_t i = 0; i < bulges.size(); ++i) p->SetBulge(static_cast<int>(i), bulges[i]);
    p->SetClosed(closed);
    return p;
}

// The definitions every generated drawing holds.
inline void Blocks(acad::Document& doc)
{
    // A manhole: its circle as two arcs that complete each other, another as
    // two bulged vertices, an arc across angle zero and a half turning
    // clockwise.
    acad::Block* arcs = doc.Blocks().Add({0, 0, 0}, "ARCOS");
    arcs->AddArc({0, 0, 0}, 1, Degrees(37), Degrees(217))->SetColor(1);
    arcs->AddArc({0, 0, 0}, 1, Degrees(217), Degrees(37))->SetColor(1);
    arcs->AddArc({0, 0, 0}, 0.75, Degrees(300), Degrees(60))->SetColor(2);
    Polyline(*arcs, {-0.5, 0, 0.5, 0}, {1, 1}, true)->SetColor(3);
    Polyline(*arcs, {-0.3, 0, 0.3, 0}, {-1}, false)->SetColor(4);
    arcs->AddLine({0, 0, 0}, {1.5, 0, 0})->SetColor(1);

    acad::Block* texts = doc.Blocks().Add({0, 0, 0}, "TEXTOS");
    texts->AddText("PV-12", {0, 0, 0}, 0.4)->SetColor(2);
    acad::MText* note = texts->AddMText({0, -0.6, 0}, 3, "Poço de visita\\Pcota 512,30");
    note->SetHeight(0.25);
    note->SetColor(6);

    acad::Block* hatches = doc.Blocks().Add({0, 0, 0}, "HACHURAS");
    acad::LWPolyline* square = Polyline(*hatches, {0, 0, 2, 0, 2, 2, 0, 2}, {}, true);
    acad::Hatch* lines = hatches->AddHatch(acad::HatchPatternType::PreDefined, "ANSI31", false);
    lines->SetPatternScale(0.05);
    lines->AppendOuterLoop({square});
    lines->SetColor(4);
    acad::LWPolyline* other = Polyline(*hatches, {2.5, 0, 4, 0, 4, 1.5}, {}, true);
    acad::Hatch* cross = hatches->AddHatch(acad::HatchPatternType::PreDefined, "ANSI37", false);
    cross->SetPatternScale(0.04);
    cross->SetPatternAngle(Degrees(15));
    cross->AppendOuterLoop({other});
    cross->SetColor(5);
    acad::LWPolyline* wide = Polyline(*hatches, {0, -1, 2, -1, 3, -0.2, 4, -1}, {0, 0.6, 0}, false);
    wide->SetConstantWidth(0.15);
    wide->SetColor(30);

    // Lines stacked one above another and a polyline that climbs and falls
    // over the same plan: apart only in z.
    acad::Block* heights = doc.Blocks().Add({0, 0, 0}, "ALTURAS");
    for (int z = 0; z < 10; ++z) heights->AddLine({0, 0, z * 0.3}, {2, 0, z * 0.3})->SetColor(5);
    heights->Add3DPoly({0, 0.5, 0, 0, 0.5, 3, 0.001, 0.5, 3, 0.001, 0.5, 0, 2, 0.5, 0})->SetColor(6);

    // An L: a mirror or a turn shows.
    acad::Block* l = doc.Blocks().Add({0, 0, 0}, "L");
    l->AddLine({0, 0, 0}, {1.5, 0, 0})->SetColor(3);
    l->AddLine({1.5, 0, 0}, {1.5, 0.6, 0})->SetColor(3);

    // Ones at one insertion point in their own coordinates, seen from above,
    // from below and tilted: three places in the block's.
    acad::Block* nest = doc.Blocks().Add({0, 0, 0}, "NINHO");
    for (const acad::Vector3d& n : {acad::kZAxis, kBelow, kTilted}) PlaceInPlane(*nest, "L", {2, 0, 0}, 1, 1, 0, n);
    PlaceInPlane(*nest, "ARCOS", {0, 2, 0}, -1, 1, 0, acad::kZAxis);
    PlaceInPlane(*nest, "ARCOS", {0, 2, 0}, 1, 1, 0, kBelow);
    Place(*nest, "ALTURAS", {-3, -1, 0}, 1, 1, 0, kTilted);
    Place(*nest, "TEXTOS", {-3, 1, 0}, -0.8, -0.8, 0);
    Place(*nest, "HACHURAS", {0, -3, 0}, 0.5, 1.5, Degrees(20));
}

// One drawing: the blocks, and references to them around `origin` in every
// way a reference is placed; `numbers` turns and scales them a little apart.
inline void Build(acad::Document& doc, const acad::Point3d& origin, detail_oracle::Numbers& numbers)
{
    Blocks(doc);
    acad::Block& ms = doc.ModelSpace();
    const char* names[] = {"ARCOS", "TEXTOS", "HACHURAS", "ALTURAS", "L", "NINHO"};
    struct Placing {
        double sx, sy, rotation;
        acad::Vector3d normal;
    };
    const Placing placings[] = {
        {1, 1, 0, acad::kZAxis}, {-1, 1, 0, acad::kZAxis}, {2, 0.5, 0.4, acad::kZAxis}, {-1.5, -0.75, 0, acad::kZAxis},
        {1, 1, 0.3, kBelow},     {1, 1, 0, kTilted},       {0.7, -1.3, 1.1, kTilted},
    };
    for (std::size_t i = 0; i < std::size(names); ++i)
        for (std::size_t k = 0; k < std::size(placings); ++k) {
            const Placing& p = placings[k];
            const double grow = numbers.Uniform(0.9, 1.1), turn = numbers.Uniform(-0.05, 0.05);
            Place(ms, names[i], origin + acad::Vector3d(k * 9.0, i * 9.0, 0), p.sx * grow, p.sy * grow,
                  p.rotation + turn, p.normal);
        }
    // Two at one insertion point in their own coordinates, seen from above
    // and from below: 20 units right of the origin, and 20 left of it.
    if (origin.x == 0 && origin.y == 0)
        for (const acad::Vector3d& n : {acad::kZAxis, kBelow}) PlaceInPlane(ms, "NINHO", {20, -8, 0}, 1, 1, 0, n);
    // Grids of copies, seen from above and from below.
    Grid(ms, "ARCOS", origin + acad::Vector3d(70, 0, 0), 3, 4, 2.5, 2.5);
    Grid(ms, "L", origin + acad::Vector3d(70, 15, 0), 5, 5, 1.8, 1.2, kBelow);
    Grid(ms, "NINHO", origin + acad::Vector3d(70, 30, 0), 2, 2, 9, 9);
    // References a fraction of a pixel apart at the extents (a unit is about
    // 10 pixels there): a fifth and three fifths of one, and a hair.
    for (const double apart : {0.02, 0.06, 1e-7})
        for (int k = 0; k < 6; ++k) {
            const double y = apart == 0.02 ? 45 : apart == 0.06 ? 50 : 55;
            Place(ms, "NINHO", origin + acad::Vector3d(70 + k * apart, y, 0), 1, 1, 0);
            Place(ms, "ARCOS", origin + acad::Vector3d(80 + k * apart, y, 0), 1, 1, 0, k % 2 ? kBelow : acad::kZAxis);
        }
}

// The generated drawings: near the origin, and at a survey's coordinates.
struct Generated {
    const char* name;
    acad::Point3d origin;
    std::uint64_t seed;
};
inline const Generated kGenerated[] = {
    {"gerado-origem", {0, 0, 0}, 61},
    {"gerado-longe", {330000, 7390000, 0}, 62},
};

inline void Build(acad::Document& doc, const Generated& g)
{
    detail_oracle::Numbers numbers(g.seed);
    Build(doc, g.origin, numbers);
}

}  // namespace detail_drawings
