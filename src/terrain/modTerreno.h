#pragma once
// The terrain model: the survey points kept by the triangulation, the
// vertices and triangles of the surface, and the elevation lookups. One model
// per program run; clsDelaunay::Execute and clsDelaunay::DbLoad replace it.
//
// The arrays are 1-based like the stored tables (their `Index` columns):
// entry 0 of gVertices and gTriangulos is never part of the model.
// Coordinates and elevations are doubles: at UTM ordinates single precision
// moves a survey point by up to half a metre.

#include <cstdint>
#include <vector>

#include "cad/Ponto.h"

struct VerticeRec {
    double X = 0;
    double Y = 0;
    double Z = 0;
};

struct TrianguloRec {
    int32_t vv0 = 0;  // indexes into gVertices
    int32_t vv1 = 0;
    int32_t vv2 = 0;
    // The triangle's box in plan. MaxX = MaxY = 0 marks a triangle disabled
    // by the finishing pass: no box test with survey coordinates accepts it.
    double MaxX = 0;
    double MinX = 0;
    double MaxY = 0;
    double MinY = 0;
};

// Kept survey points, entries 0..gNumPontos-1 (the rest of the array, one
// entry per POINT read, stays zero).
extern std::vector<VerticeRec> gPontos;
extern int32_t gNumPontos;
// Vertices 1..gNumVertices; the three entries after them hold the enclosing
// triangle used while triangulating.
extern std::vector<VerticeRec> gVertices;
extern int32_t gNumVertices;
// Triangles 1..gNumTriangulos.
extern std::vector<TrianguloRec> gTriangulos;
extern int32_t gNumTriangulos;

// The ground elevation at P (only X and Y are read): on the plane of the
// first triangle, in index order, whose box holds P and whose three sides P
// sees under 360° (within 0.01°); for a point lying on a side, along that
// side; failing both (or when that gave exactly 0), the Z of the last model
// vertex within 0.01 of P in X and in Y. 0 when the model gives none.
double CotaNoPonto(const Ponto& P);
// The same; `NoModelo` tells whether a triangle, a side or a vertex of the
// model gave the elevation (false: the 0 is not the ground's).
double CotaNoPonto(const Ponto& P, bool& NoModelo);

// Elevation at (x, y) on the plane through the vertices of triangle t; 0 when
// the triangle is degenerate in plan (or t is not a triangle of the model).
double CotaNoPlano(double x, double y, int32_t t);

// Angle at A between A→B and A→C in degrees, 0..180, from X and Y only. 0 when
// B or C coincides with A and when the three lie exactly on a line (so a point
// on a side of a triangle never sees it under 360°).
double AnguloVertice(const VerticeRec& A, const VerticeRec& B, const VerticeRec& C);

// The lookups keep a grid of the triangles and vertices, rebuilt on the first
// lookup after the model changed. The model's writers call this after writing
// the arrays (clsDelaunay does); so must any other code that edits them.
void MalhaAlterada();
