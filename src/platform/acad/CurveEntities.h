#pragma once
// Simple entities: point, line, circle, arc, ellipse.

#include "platform/acad/Entity.h"
#include "platform/acad/EntityData.h"

namespace acad {

class Point : public Entity {
public:
    Point(acad::Document& doc, const PointData& data);
    std::string ObjectName() const override { return "AcDbPoint"; }
    std::string DxfName() const override { return "POINT"; }

    Point3d Coordinates() const;
    void SetCoordinates(const Point3d& p);
    double Thickness() const;
    void SetThickness(double t);

    const PointData& Data() const { return data_; }
    void SetData(const PointData& d);
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

private:
    PointData data_;
};

class Line : public Entity {
public:
    Line(acad::Document& doc, const LineData& data);
    std::string ObjectName() const override { return "AcDbLine"; }
    std::string DxfName() const override { return "LINE"; }

    Point3d StartPoint() const;
    void SetStartPoint(const Point3d& p);
    Point3d EndPoint() const;
    void SetEndPoint(const Point3d& p);
    double Length() const;
    double Angle() const;  // from the X axis, [0, 2π)
    Vector3d Delta() const;
    double Thickness() const;
    void SetThickness(double t);

    const LineData& Data() const { return data_; }
    void SetData(const LineData& d);
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    Box Extents() const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

private:
    LineData data_;
};

class Circle : public Entity {
public:
    Circle(acad::Document& doc, const CircleData& data);
    std::string ObjectName() const override { return "AcDbCircle"; }
    std::string DxfName() const override { return "CIRCLE"; }

    Point3d Center() const;
    void SetCenter(const Point3d& c);
    double Radius() const;
    void SetRadius(double r);  // > 0
    double Diameter() const;
    double Circumference() const;
    double Area() const;

    const CircleData& Data() const { return data_; }
    void SetData(const CircleData& d);
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

private:
    CircleData data_;
};

class Arc : public Entity {
public:
    Arc(acad::Document& doc, const ArcData& data);
    std::string ObjectName() const override { return "AcDbArc"; }
    std::string DxfName() const override { return "ARC"; }

    Point3d Center() const;
    void SetCenter(const Point3d& c);
    double Radius() const;
    void SetRadius(double r);
    double StartAngle() const;
    void SetStartAngle(double a);
    double EndAngle() const;
    void SetEndAngle(double a);
    Point3d StartPoint() const;
    Point3d EndPoint() const;
    double TotalAngle() const;
    double ArcLength() const;

    const ArcData& Data() const { return data_; }
    void SetData(const ArcData& d);
    CircularArc Geometry() const;
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

private:
    ArcData data_;
};

class Ellipse : public Entity {
public:
    Ellipse(acad::Document& doc, const EllipseData& data);
    std::string ObjectName() const override { return "AcDbEllipse"; }
    std::string DxfName() const override { return "ELLIPSE"; }

    Point3d Center() const;
    void SetCenter(const Point3d& c);
    Vector3d MajorAxis() const;
    void SetMajorAxis(const Vector3d& v);
    double RadiusRatio() const;
    void SetRadiusRatio(double r);  // (0, 1]
    double MajorRadius() const;
    double MinorRadius() const;
    double StartParameter() const;
    double EndParameter() const;
    Point3d PointAtParameter(double t) const;

    const EllipseData& Data() const { return data_; }
    void SetData(const EllipseData& d);
    // Its minor axis: the major turned a quarter in its plane, at its ratio.
    static Vector3d MinorAxis(const EllipseData& d);
    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

private:
    EllipseData data_;
};

}  // namespace acad
