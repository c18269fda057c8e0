#pragma once
// Hatch: a pattern or solid fill bounded by loops. Loops come from objects
// (AppendOuterLoop / AppendInnerLoop take their geometry at that moment) or
// directly as data from a DXF file.

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
    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

    // Loop `index` flattened to a closed ring of points (arcs split within
    // `tolerance`), in the coordinates of its plane (Placed takes them to the world).
    std::vector<Point3d> LoopPoints(int index, double tolerance) const;
    // `t` composed with the hatch's own coordinates: its plane, at its elevation
    // there (`t` itself in the XY plane).
    Transform Placed(const Transform& t) const;

private:
    void AppendLoop(const std::vector<Entity*>& objects, int flags);
    HatchData data_;
};

}  // namespace acad
