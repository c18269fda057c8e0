#pragma once
// Ponto: the point every part of the system passes around.
//
// A point is X (east), Y (north) and, optionally, Z, in drawing units: two or
// three values, as the drawing host and the system's texts give them. The host
// always gives three; a point read from an "x,y" pair or from a flat coordinate
// list has two. Code that cares whether the point had a Z tests `TemZ`; code
// that does not simply reads `Z`, which is 0 when the point has none.
//
//     Ponto a(10, 20);          // two values: TemZ false, Z reads 0
//     Ponto b(10, 20, 5);       // three values
//     Ponto c = Ponto3D(x, y, 0);
//     gModelSpace->AddCircle(b, 2.0);          // converts to the host's point
//     Ponto d = line->StartPoint();            // and back (three values)
//
// Every point that the geometry services build has three values with Z = 0
// unless stated otherwise. Plane geometry uses only X and Y; Z is carried.
//
// "No point" (the Null of a cancelled request, the "1" of a text that is not a
// pair) is std::optional<Ponto> without a value.
//
// Coordinate lists are flat std::vector<double>: X0, Y0, X1, Y1, ... (two
// values per vertex; three for the "3-D lists" of the curve services), the form
// the host uses for lightweight polyline coordinates.

#include "platform/acad/Geometry.h"

struct Ponto {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;    // 0 when the point has no Z
    bool TemZ = true;  // three values (X, Y, Z) or two (X, Y)

    // (0, 0, 0)
    constexpr Ponto() = default;
    constexpr Ponto(double x, double y) : X(x), Y(y), Z(0.0), TemZ(false) {}
    constexpr Ponto(double x, double y, double z) : X(x), Y(y), Z(z), TemZ(true) {}
    // The host's points have three values.
    constexpr Ponto(const acad::Point3d& p) : X(p.x), Y(p.y), Z(p.z), TemZ(true) {}
    constexpr operator acad::Point3d() const { return {X, Y, Z}; }

    // Number of values: 2 or 3.
    constexpr int Elementos() const { return TemZ ? 3 : 2; }

    constexpr bool operator==(const Ponto&) const = default;
};
