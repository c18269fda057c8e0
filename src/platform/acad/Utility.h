#pragma once
// The document's user-input object. Each request goes to the application's
// InputSource with the prompt exactly as given; the person's answer comes back
// as the automation interface returns it, or as its failures:
//   Escape                      → acad::Error Cancelled   (0x80020009, Number() -2147352567)
//   Enter / right click alone   → acad::Error EmptyInput  (0x80210020)
//   a pick on empty space (GetEntity, GetSubEntity) → Cancelled, as the host does
//   no input source installed   → acad::Error NoInputSource
// Picked points follow the object snaps that OSMODE asks for (endpoint 1,
// midpoint 2, centre 4, node 8, insertion 64, nearest 512) and, when picked
// with a base point (points and angles, not a rectangle's corner), ORTHOMODE:
// on the line through the base at SNAPANG or SNAPANG + 90°, whichever is
// nearer. Typed coordinates are taken as typed. Answers that do not fit the request are asked again.

#include <optional>
#include <string>
#include <vector>

#include "platform/acad/Geometry.h"
#include "platform/acad/InputSource.h"

namespace acad {

class Document;
class Entity;
class BlockReference;

class Utility {
public:
    explicit Utility(Document& doc);
    ~Utility() = default;
    Utility(const Utility&) = delete;
    Utility& operator=(const Utility&) = delete;

    // A point; the rubber band starts at `point` when given.
    Point3d GetPoint(const std::optional<Point3d>& point = std::nullopt, const std::string& prompt = "");
    // The opposite corner of a rectangle from `point`.
    Point3d GetCorner(const Point3d& point, const std::string& prompt = "");
    // An angle in radians in [0, 2π): given as such, typed in degrees, or shown by a
    // point (from `point`, or from a first point asked when `point` is not given).
    double GetAngle(const std::optional<Point3d>& point = std::nullopt, const std::string& prompt = "");
    // The entity of the current space picked by the person (a block reference
    // when one of its parts or attributes is picked) and the point picked.
    void GetEntity(Entity*& object, Point3d& pickedPoint, const std::string& prompt = "");
    // The innermost entity picked, nested ones included: for a part of a block
    // reference the entity of the definition, the transform from the definition
    // to world and the block references that hold it, innermost first. An
    // attribute comes back alone (identity transform, no references), as the
    // host gives it.
    void GetSubEntity(Entity*& object, Point3d& pickedPoint, Transform& transMatrix,
                      std::vector<BlockReference*>& contextData, const std::string& prompt = "");
    // A text; without `hasSpaces` a space ends it. Enter alone gives "".
    std::string GetString(bool hasSpaces, const std::string& prompt = "");
    // Writes to the command line (nothing happens when nobody is there to read it).
    void Prompt(const std::string& message);
    double AngleFromXAxis(const Point3d& startPoint, const Point3d& endPoint) const;
    Point3d PolarPoint(const Point3d& point, double angle, double distance) const;

private:
    Point3d AskPoint(InputKind kind, const std::optional<Point3d>& base, const std::string& prompt);
    Entity* AskPick(InputKind kind, const std::string& prompt, Point3d& picked);

    Document& doc_;
};

}  // namespace acad
