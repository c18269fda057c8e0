#pragma once
// Polylines: lightweight (2-D with bulges and widths), the older 2-D polyline
// with its curve-fit types, and the 3-D polyline.
//
// Coordinates follow the automation interface: a flat array, x,y per vertex for
// the lightweight polyline (in its own plane, at Elevation), x,y,z per vertex for
// 2-D and 3-D polylines.

#include <memory>
#include <vector>

#include "platform/acad/Entity.h"
#include "platform/acad/EntityData.h"

namespace acad {

class LWPolyline : public Entity {
public:
    LWPolyline(acad::Document& doc, const LWPolylineData& data);
    // Takes the vertices over (a polyline just read), held without spare room.
    LWPolyline(acad::Document& doc, LWPolylineData&& data);
    ~LWPolyline() override;
    std::string ObjectName() const override { return "AcDbPolyline"; }
    std::string DxfName() const override { return "LWPOLYLINE"; }

    std::vector<double> Coordinates() const;
    // Replaces every vertex (an even count of values, at least 2 vertices);
    // bulges and widths of the vertices that remain are kept.
    void SetCoordinates(const std::vector<double>& xy);
    Point3d Coordinate(int index) const;  // x, y and the elevation
    void SetCoordinate(int index, const Point3d& p);
    int NumberOfVertices() const;
    double GetBulge(int index) const;
    void SetBulge(int index, double bulge);
    void GetWidth(int segment, double& startWidth, double& endWidth) const;
    void SetWidth(int segment, double startWidth, double endWidth);
    double ConstantWidth() const;  // fails with NotApplicable when the widths differ
    void SetConstantWidth(double w);
    // Inserts a vertex before `index` (index = NumberOfVertices appends).
    // Added at either end of an open polyline, only the new segment is
    // measured, so a long polyline grows at the cost of its new parts.
    void AddVertex(int index, const Point3d& point);
    bool Closed() const;
    void SetClosed(bool c);
    double Elevation() const;
    void SetElevation(double z);
    bool LinetypeGeneration() const;
    void SetLinetypeGeneration(bool b);
    double Length() const;
    double Area() const;

    const LWPolylineData& Data() const { return data_; }
    void SetData(const LWPolylineData& d);
    // Its vertices with the widths it is drawn with: a vertex's own widths when
    // either is more than zero, else the polyline's constant width.
    WideVertices Wide() const;
    void TransformBy(const Transform& t) override;
    // Kept for a long polyline: a selection asks it of every candidate. The
    // bands of its widths and their mitred corners, as the window draws them.
    Box Extents() const override;
    // With a reach (a selection near some of it), a long polyline leaves out
    // the segments, bands included, that lie wholly away from it.
    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

private:
    void CheckVertex(int index) const;
    static WideVertex WideAt(const void* data, std::size_t i);
    // True when any width is set (most polylines have none).
    bool HasWidths() const;
    // The box of what segments `first` to `last` (included) draw in the
    // polyline's plane: the segments with each arc's exact reach, and their
    // bands with the corners they lead away from (WideOutline).
    Box MeasureSegments(std::size_t first, std::size_t last) const;
    // Every change of what it draws: what is kept of a long polyline goes,
    // or grows when the change only added a new first (`atStart`) or last
    // segment, drawn within `grownBy`; then the container hears of it.
    void Changed(const Box* grownBy = nullptr, bool atStart = false);
    // What the segment from vertex i may cover: MeasureSegments(i, i), widened
    // by half its width more.
    Box SegmentReach(std::size_t i) const;
    LWPolylineData data_;
    // Measures kept for a long polyline (a short one is measured again
    // quicker than it is kept): its extents and the boxes of its runs of
    // segments, made when first asked.
    struct Kept;
    mutable std::unique_ptr<Kept> kept_;
};

// Shared by the 2-D and 3-D polylines (both are POLYLINE records in DXF).
class PolylineBase : public Entity {
public:
    std::vector<double> Coordinates() const;  // x,y,z per frame vertex
    void SetCoordinates(const std::vector<double>& xyz);
    Point3d Coordinate(int index) const;
    void SetCoordinate(int index, const Point3d& p);
    int NumberOfVertices() const;
    void AppendVertex(const Point3d& p);
    bool Closed() const;
    void SetClosed(bool c);
    double Length() const;

    const PolylineData& Data() const { return data_; }
    void SetData(const PolylineData& d);
    void TransformBy(const Transform& t) override;

protected:
    PolylineBase(acad::Document& doc, const PolylineData& data);
    void CheckVertex(int index) const;
    // Regenerates fitPoints from the frame when Type asks for a curve fit.
    virtual void Refit();
    PolylineData data_;
};

class Polyline2D : public PolylineBase {
public:
    Polyline2D(acad::Document& doc, const PolylineData& data);
    std::string ObjectName() const override { return "AcDb2dPolyline"; }
    std::string DxfName() const override { return "POLYLINE"; }

    double GetBulge(int index) const;
    void SetBulge(int index, double bulge);
    void GetWidth(int segment, double& startWidth, double& endWidth) const;
    void SetWidth(int segment, double startWidth, double endWidth);
    double ConstantWidth() const;
    void SetConstantWidth(double w);
    double Elevation() const;
    void SetElevation(double z);
    // PolylineType: 0 simple, 1 fit curve, 2 quadratic B-spline, 3 cubic B-spline.
    // Setting a spline type generates the fitted vertices, as the host does.
    int Type() const;
    void SetType(int type);
    bool LinetypeGeneration() const;
    void SetLinetypeGeneration(bool b);

    // A fitted curve thin; otherwise its segments, and the bands of its widths
    // with their mitred corners (WideOutline).
    void Emit(GeometrySink& sink, const Transform& t) const override;
    // Its vertices with their bulges, as drawn when it is not a fitted curve.
    BulgePolyline Frame() const;
    // Its vertices with their widths.
    WideVertices Wide() const;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

protected:
    void Refit() override;

private:
    static WideVertex WideAt(const void* data, std::size_t i);
};

class Polyline3D : public PolylineBase {
public:
    Polyline3D(acad::Document& doc, const PolylineData& data);
    std::string ObjectName() const override { return "AcDb3dPolyline"; }
    std::string DxfName() const override { return "POLYLINE"; }

    int Type() const;  // 0 simple, 2 quadratic, 3 cubic spline
    void SetType(int type);

    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

protected:
    void Refit() override;
};

}  // namespace acad
