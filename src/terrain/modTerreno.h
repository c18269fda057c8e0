#pragma once
// The terrain model: the survey points kept by the triangulation, the
// vertices and triangles of the surface, and the elevation lookups. One model
// per program run; clsDelaunay::Execute and clsDelaunay::DbLoad replace it.
//
// The arrays are 1-based like the stored tables (their `Index` columns):
// entry 0 of gVertices and gTriangulos is never part of the model.

#include <cstdint>
#include <vector>

struct VerticeRec {
    double X = 0;
    double Y = 0;
    double Z = 0;
};

struct TrianguloRec {
    int32_t vv0 = 0;
    int32_t vv1 = 0;
    int32_t vv2 = 0;
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
