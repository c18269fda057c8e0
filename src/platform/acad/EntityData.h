#pragma once
// The geometry and own properties of each entity kind, as plain structs. The
// DXF reader and writer map their group-code tables onto these fields; the
// entity classes wrap them with the automation members. Common properties
// (layer, colour, linetype, ...) live in Entity, not here.
//
// Planar kinds keep their points in the coordinates of their own plane (the
// object coordinate system of their extrusion, 210), as the file does: the Z
// axis, the world's, for nearly all. The ellipse alone keeps world points and
// the extrusion only as its plane's normal.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/acad/Geometry.h"

namespace acad {

struct PointData {           // POINT
    Point3d position;        // 10
    double thickness = 0.0;  // 39
};

struct LineData {   // LINE
    Point3d start;  // 10
    Point3d end;    // 11
    double thickness = 0.0;
};

struct CircleData {       // CIRCLE
    Point3d center;       // 10
    double radius = 0.0;  // 40
    double thickness = 0.0;
    Extrusion extrusion;  // 210
};

struct ArcData {  // ARC (angles in radians; DXF holds degrees)
    Point3d center;
    double radius = 0.0;
    double startAngle = 0.0;  // 50
    double endAngle = 0.0;    // 51
    double thickness = 0.0;
    Extrusion extrusion;  // 210
};

struct EllipseData {               // ELLIPSE
    Point3d center;                // 10
    Vector3d majorAxis{1, 0, 0};   // 11, relative to the centre
    double radiusRatio = 1.0;      // 40, minor / major
    double startParameter = 0.0;   // 41
    double endParameter = kTwoPi;  // 42
    Extrusion extrusion;           // 210: the normal of its plane (the minor axis is normal × major)
};

// Text justification as the automation interface numbers it (AcAlignment).
namespace Alignment {
inline constexpr int Left = 0;
inline constexpr int Center = 1;
inline constexpr int Right = 2;
inline constexpr int Aligned = 3;
inline constexpr int Middle = 4;
inline constexpr int Fit = 5;
inline constexpr int TopLeft = 6;
inline constexpr int TopCenter = 7;
inline constexpr int TopRight = 8;
inline constexpr int MiddleLeft = 9;
inline constexpr int MiddleCenter = 10;
inline constexpr int MiddleRight = 11;
inline constexpr int BottomLeft = 12;
inline constexpr int BottomCenter = 13;
inline constexpr int BottomRight = 14;
// DXF horizontal (72) and vertical (73 / 74 for attribute definitions) modes.
int HorizontalMode(int alignment);
int VerticalMode(int alignment);
int FromModes(int horizontal, int vertical);
}  // namespace Alignment

// Attribute mode flags (DXF 70 of ATTDEF/ATTRIB; the `mode` of AddAttribute).
namespace AttributeMode {
inline constexpr int Invisible = 1;
inline constexpr int Constant = 2;
inline constexpr int Verify = 4;
inline constexpr int Preset = 8;
}  // namespace AttributeMode

// Single-line text: TEXT, and the text part of ATTDEF and ATTRIB.
struct TextData {
    std::string text;                 // 1 (ATTDEF: the default value)
    Point3d insertionPoint;           // 10
    Point3d alignmentPoint;           // 11, the position when alignment is not Left
    double height = 0.0;              // 40
    double rotation = 0.0;            // 50 (radians)
    double widthFactor = 1.0;         // 41
    double oblique = 0.0;             // 51 (radians)
    std::uint32_t style = 0;          // 7, index into the document's text styles
    int alignment = Alignment::Left;  // 72/73
    bool backward = false;            // 71 bit 2
    bool upsideDown = false;          // 71 bit 4
    double thickness = 0.0;
    Extrusion extrusion;  // 210
};

struct AttributeData {   // what ATTDEF / ATTRIB add to the text
    std::string tag;     // 2
    std::string prompt;  // 3 (definitions only)
    int mode = 0;        // 70, AttributeMode flags
    bool lockPosition = false;
};

// The columns of a multi-column text, as files of 2018 and later embed them in
// the text and earlier ones keep them in its extended data ("ACAD").
namespace MTextColumnType {
inline constexpr int None = 0;
inline constexpr int Static = 1;
inline constexpr int Dynamic = 2;
}  // namespace MTextColumnType

struct MTextColumns {
    int type = MTextColumnType::None;
    int count = 0;                // 0: as many as the text fills
    double width = 0.0;           // of each column (0: the text's width)
    double gutter = 0.0;          // between two columns
    bool autoHeight = true;       // every column `height` high
    double height = 0.0;          // the columns' height (0: no limit)
    std::vector<double> heights;  // each column's own, when not auto (the last takes the rest)
};

// MTEXT background flags (90).
namespace MTextBackground {
inline constexpr int Color = 1;   // filled with its colour (63 / 421)
inline constexpr int Window = 2;  // filled with the window's colour
inline constexpr int Frame = 16;  // framed
}  // namespace MTextBackground

struct MTextData {                 // MTEXT
    std::string text;              // 1 + 3 chunks, with its format codes
    Point3d insertionPoint;        // 10, in the world's coordinates
    double height = 0.0;           // 40
    double width = 0.0;            // 41, reference rectangle width
    double rotation = 0.0;         // from 11 or 50 (radians), in the plane of its extrusion
    int attachment = 1;            // 71: 1 top left .. 9 bottom right
    int drawingDirection = 1;      // 72
    double lineSpacing = 1.0;      // 44
    std::uint32_t style = 0;       // 7
    Extrusion extrusion;           // 210
    double definedHeight = 0.0;    // 46, the height of the columns
    int background = 0;            // 90, MTextBackground flags
    double backgroundScale = 1.5;  // 45: the fill reaches (scale - 1) × height past the text's box
    int backgroundColor = 0;       // 63, a colour index
    int backgroundRgb = -1;        // 421, 0xRRGGBB (-1: the colour index)
    int backgroundAlpha = 0;       // 441, kept as read
    MTextColumns columns;          // read from the embedded object or the extended data, which keep them
    // The texts of the further columns of earlier files (MTEXT records of their
    // own that the writer keeps as read): drawn after the text, each from the top
    // of the next column.
    std::vector<std::string> linkedColumns;
    // 11, the text's X axis in the world's coordinates as the file gave it
    // (zero: none); written again while it still reads as `rotation`.
    Vector3d direction{0, 0, 0};
};

struct LWPolylineData {               // LWPOLYLINE
    BulgePolyline geometry;           // 10/20 + 42 per vertex, closed = 70 bit 1
    std::vector<double> startWidths;  // 40 per vertex (empty = all 0)
    std::vector<double> endWidths;    // 41 per vertex
    double constantWidth = 0.0;       // 43
    double elevation = 0.0;           // 38
    double thickness = 0.0;           // 39
    bool linetypeGeneration = false;  // 70 bit 128
    Extrusion extrusion;              // 210
};

// Curve-fit types of a 2-D polyline (AcPolylineType).
namespace PolylineType {
inline constexpr int Simple = 0;
inline constexpr int FitCurve = 1;
inline constexpr int QuadSpline = 2;
inline constexpr int CubicSpline = 3;
}  // namespace PolylineType

struct PolylineVertex {  // VERTEX
    Point3d point;
    double bulge = 0.0;
    double startWidth = 0.0;
    double endWidth = 0.0;
};

struct PolylineData {                      // POLYLINE (2-D or 3-D) with its VERTEX records
    std::vector<PolylineVertex> vertices;  // the frame (control) vertices
    std::vector<Point3d> fitPoints;        // generated for Type 1..3 (flags 8 / 16 vertices)
    bool closed = false;                   // 70 bit 1
    int type = PolylineType::Simple;
    double elevation = 0.0;          // z of 10 for 2-D polylines
    double defaultStartWidth = 0.0;  // 40
    double defaultEndWidth = 0.0;    // 41
    double thickness = 0.0;
    bool linetypeGeneration = false;  // 70 bit 128
    Extrusion extrusion;              // 210 (2-D polylines)
};

struct SplineData {                      // SPLINE
    int degree = 3;                      // 71
    std::vector<double> knots;           // 40
    std::vector<Point3d> controlPoints;  // 10
    std::vector<double> weights;         // 41 (empty = non-rational)
    std::vector<Point3d> fitPoints;      // 11
    Vector3d startTangent;               // 12 (zero = free)
    Vector3d endTangent;                 // 13
    bool closed = false;                 // 70 bit 1
    bool periodic = false;               // 70 bit 2
    double knotTolerance = 1e-10;        // 42
    double controlTolerance = 1e-10;     // 43
    double fitTolerance = 1e-10;         // 44
};

// One edge of a hatch boundary loop that is not a polyline.
struct HatchEdge {
    enum Kind { LineEdge = 1, ArcEdge = 2, EllipseEdge = 3, SplineEdge = 4 } kind = LineEdge;
    Point3d start, end;       // line
    Point3d center;           // arc / ellipse
    double radius = 0.0;      // arc
    Vector3d majorAxis;       // ellipse, relative to the centre
    double ratio = 1.0;       // ellipse minor / major
    double startAngle = 0.0;  // arc / ellipse, radians
    double endAngle = 0.0;
    // A clockwise edge holds its angles mirrored, as the file format does: it runs
    // clockwise from −startAngle to −endAngle.
    bool counterClockwise = true;
    SplineData spline;  // spline edge
};

struct HatchLoop {
    int flags = 1;  // 92: 1 external, 2 polyline, 16 outermost, ...
    bool isPolyline = false;
    BulgePolyline polyline;                    // when isPolyline
    std::vector<HatchEdge> edges;              // otherwise
    std::vector<std::uint64_t> sourceHandles;  // 330: boundary objects of an associative hatch
};

struct HatchPatternLine {  // 53, 43/44, 45/46, 79 + 49...
    double angle = 0.0;    // radians
    Point3d base;
    Vector3d offset;
    std::vector<double> dashes;
};

struct HatchData {                      // HATCH
    std::string patternName = "SOLID";  // 2
    bool solid = true;                  // 70
    bool associative = false;           // 71
    int patternType = 1;                // 76: 0 user, 1 predefined, 2 custom
    double patternAngle = 0.0;          // 52 (radians)
    double patternScale = 1.0;          // 41
    bool patternDouble = false;         // 77
    int style = 0;                      // 75: 0 normal, 1 outer, 2 ignore
    double elevation = 0.0;
    Extrusion extrusion;           // 210
    std::vector<HatchLoop> loops;  // 91 + loop data
    std::vector<HatchPatternLine> patternLines;
    std::vector<Point3d> seedPoints;  // 98 + 10
};

struct BlockReferenceData {   // INSERT
    std::uint32_t block = 0;  // index into the document's block records (2 = name)
    Point3d insertionPoint;   // 10
    double xScale = 1.0;      // 41
    double yScale = 1.0;      // 42
    double zScale = 1.0;      // 43
    double rotation = 0.0;    // 50 (radians)
    Extrusion extrusion;      // 210
    // A grid of copies (MINSERT): columns along the turned X axis, rows along
    // its Y axis, spaced in the reference's own units (not scaled).
    int columns = 1;             // 70
    int rows = 1;                // 71
    double columnSpacing = 0.0;  // 44
    double rowSpacing = 0.0;     // 45
};

struct DimAlignedData {                 // DIMENSION, aligned (70 = 1)
    Point3d extLine1Point;              // 13
    Point3d extLine2Point;              // 14
    Point3d dimLinePoint;               // 10: a point on the dimension line
    Point3d textPosition;               // 11
    std::string textOverride;           // 1 ("" = measured value, "<>" = measured value)
    double textRotation = 0.0;          // 53
    std::uint32_t style = 0;            // text style used for the measurement
    double textHeight = 0.18;           // DIMTXT in force when created
    double arrowSize = 0.18;            // DIMASZ
    double extensionOffset = 0.0625;    // DIMEXO
    double extensionBeyond = 0.18;      // DIMEXE
    int decimals = 4;                   // DIMDEC
    std::string dimStyle = "Standard";  // 3
};

struct SolidData {           // SOLID, TRACE: a filled triangle or quadrilateral
    Point3d corners[4];      // 10..13; the third and fourth are drawn in that order swapped
    double thickness = 0.0;  // 39
    Extrusion extrusion;     // 210: the corners lie in its plane
};

struct RayData {                  // XLINE, RAY
    Point3d base;                 // 10
    Vector3d direction{1, 0, 0};  // 11, of any length, as a file gives it: drawn along it
};

struct Face3DData {  // 3DFACE
    Point3d corners[4];
    int invisibleEdges = 0;  // 70: bit i = edge i hidden
};

struct ViewportData {                         // VIEWPORT (paper space)
    Point3d center;                           // 10, in paper space
    double width = 0.0;                       // 40
    double height = 0.0;                      // 41
    Point3d viewCenter;                       // 12, model-space point at the viewport's centre
    double viewHeight = 1.0;                  // 45, model-space height shown
    double twistAngle = 0.0;                  // 51
    int number = 2;                           // 69: 1 is the paper-space view itself
    bool on = true;                           // 90 bit 17 (off when clear)
    bool locked = false;                      // 90 bit 14
    std::vector<std::uint32_t> frozenLayers;  // 341
};

// Entity kinds the host does not model, kept whole so a file round-trips.
struct RawGroup {
    int code = 0;
    std::string value;
};

}  // namespace acad
