#pragma once
// Hatch: a pattern or solid fill bounded by loops. Loops come from objects
// (AppendOuterLoop / AppendInnerLoop take their geometry at that moment) or
// directly as data from a DXF file.
//
// What it fills: the loops its style (group 75) names, by the even-odd rule;
// a loop flagged as a text box takes no part. A hatch read with the lines of
// its pattern (groups 53 to 49, already turned and scaled as the file holds
// them) draws those lines, dashes and dots cut at the loops, in drawing units
// and through the transform of any reference that holds it. Where they would
// lie closer than kPatternTintPx pixels, or come to more than kPatternPieces
// pieces in what is looked at, it is a tint of its colour over the area. A
// pattern known by name only (as the automation makes one) has no lines to
// draw: it is shown as a hatched area.

#include <vector>

#include "platform/acad/Entity.h"
#include "platform/acad/EntityData.h"

namespace acad {

namespace HatchPatternType {
inline constexpr int UserDefined = 0;
inline constexpr int PreDefined = 1;
inline constexpr int CustomDefined = 2;
}  // namespace HatchPatternType

namespace HatchLoopType {
inline constexpr int Default = 0;
inline constexpr int External = 1;
inline constexpr int Polyline = 2;
inline constexpr int Derived = 4;
inline constexpr int Textbox = 8;
inline constexpr int Outermost = 16;
}  // namespace HatchLoopType

// Pattern lines closer together than this many pixels are drawn as a tint.
inline constexpr double kPatternTintPx = 2.0;
// Pieces of pattern lines one look at a hatch (a frame, a pick, a selection)
// may take; past them, the hatch is taken as its tint.
inline constexpr double kPatternPieces = 50000;

// A dash of a pattern line in world coordinates; a dot when a == b.
struct PatternPiece {
    Point3d a, b;
};

// What drawing a pattern's lines takes at a scale: an upper estimate of its
// pieces (no more than kPatternPieces) and of the pixels of line they ink.
struct PatternWork {
    double pieces = 0;
    double inkPx = 0;
};

class Hatch : public Entity {
public:
    Hatch(acad::Document& doc, const HatchData& data);
    std::string ObjectName() const override { return "AcDbHatch"; }
    std::string DxfName() const override { return "HATCH"; }

    std::string PatternName() const;
    int PatternType() const;
    void SetPattern(int patternType, const std::string& patternName);
    bool AssociativeHatch() const;
    void SetAssociativeHatch(bool b);
    double PatternAngle() const;
    void SetPatternAngle(double a);
    double PatternScale() const;
    void SetPatternScale(double s);
    double Elevation() const;
    int NumberOfLoops() const;
    // Boundary from closed objects (lines, arcs, circles, ellipses, polylines,
    // splines) that together form one loop.
    void AppendOuterLoop(const std::vector<Entity*>& objects);
    void AppendInnerLoop(const std::vector<Entity*>& objects);
    // Recomputes the fill from the loops (what -HATCHEDIT's rebuild does).
    void Evaluate();
    double Area() const;

    const HatchData& Data() const { return data_; }
    void SetData(const HatchData& d);
    void TransformBy(const Transform& t) override;
    // What is drawn: the pattern's pieces, or, drawn as a tint or filled, the
    // area; a pattern known by name only gives the outline of its area.
    void Emit(GeometrySink& sink, const Transform& t) const override;
    // The box of the loops it fills.
    Box Extents() const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

    // Loop `index` flattened to a closed ring of points (arcs split within
    // `tolerance`), in the coordinates of its plane (Placed takes them to the world).
    std::vector<Point3d> LoopPoints(int index, double tolerance) const;
    // `t` composed with the hatch's own coordinates: its plane, at its elevation
    // there (`t` itself in the XY plane).
    Transform Placed(const Transform& t) const;

    // Whether it draws pattern lines of its own (not solid, and read with them).
    bool HasPatternLines() const;
    // The loops it fills through `t`, each a ring within `tolerance` (in the
    // units `t` maps to), to be filled by the even-odd rule.
    std::vector<std::vector<Point3d>> FillRings(const Transform& t, double tolerance) const;
    // Appends to `out` the pieces of its pattern lines through `t` that lie in
    // `rings` (FillRings through the same `t`) and reach `reach` (empty: any),
    // each whole. False, `out` as it was, when the hatch is drawn as a tint
    // there instead: its lines are closer than kPatternTintPx at `pxPerUnit`
    // pixels per unit of `t`'s space (0: at no scale), or more than
    // kPatternPieces of them reach `reach`.
    bool PatternPieces(const std::vector<std::vector<Point3d>>& rings, const Transform& t, double pxPerUnit,
                       const Box& reach, std::vector<PatternPiece>& out) const;
    // The share of its area that its lines ink, one pixel wide, at `pxPerUnit`
    // pixels per unit of `t`'s space (at most 1): how dark its tint is.
    double PatternCover(const Transform& t, double pxPerUnit) const;
    // Drawing its pattern lines whole at `pxPerUnit` pixels per unit: nothing
    // when it has none, or they are a tint at that scale.
    PatternWork PatternWorkAt(double pxPerUnit) const;

private:
    void AppendLoop(const std::vector<Entity*>& objects, int flags);
    // The loops it fills, by index: its style's, text boxes left out.
    std::vector<std::size_t> FilledLoops() const;
    // The pattern lines of a user-defined pattern, made anew from its angle,
    // spacing and doubling.
    void RebuildUserLines();
    HatchData data_;
};

}  // namespace acad
