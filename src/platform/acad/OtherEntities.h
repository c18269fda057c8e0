#pragma once
// Aligned dimension, 3-D face, paper-space viewport, and the keeper of entity
// kinds the host does not model.

#include <vector>

#include "platform/acad/Entity.h"
#include "platform/acad/EntityData.h"

namespace acad {

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
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

private:
    DimAlignedData data_;
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

// Entity of a kind the host does not model (SOLID, LEADER, ...), kept as its
// raw DXF groups so that a drawing read and saved again keeps it. Points in groups
// 10..18 give it extents and follow Move/Rotate.
class RawEntity : public Entity {
public:
    RawEntity(acad::Document& doc, std::string dxfName, std::string objectName, std::vector<RawGroup> groups);
    std::string ObjectName() const override { return objectName_; }
    std::string DxfName() const override { return dxfName_; }

    const std::vector<RawGroup>& Groups() const { return groups_; }
    void SetGroups(std::vector<RawGroup> groups);
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

private:
    std::string dxfName_;
    std::string objectName_;
    std::vector<RawGroup> groups_;
};

}  // namespace acad
