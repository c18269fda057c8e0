#pragma once
// What the terrain tests share: survey points written into the host's drawing
// as the survey convention writes them, the progress captions a run showed,
// the triangulation exactly as first written (kept to compare with), and the
// checks that a set of triangles is a Delaunay triangulation.

#include <array>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "../cad/CadTestSupport.h"
#include "platform/forms/Forms.h"
#include "shell/ProgressBar.h"
#include "terrain/modTerreno.h"

namespace terraintest {

using Triangulo = std::array<int32_t, 3>;

// A survey point: a POINT at (x, y, 0) whose extended data are the name (as
// its application), the elevation text and a description.
acad::Point* PoePonto(acad::Document& Doc, double x, double y, const std::string& Cota, const std::string& Nome = "",
                      const std::string& Descricao = "");

// A progress bar on a form of its own that notes every caption a run starts
// with, in order (repeats of the same caption kept once).
class BarraEspiao {
public:
    BarraEspiao();
    ~BarraEspiao();
    ProgressBar& Barra() { return *barra_; }
    const std::vector<std::string>& Legendas() const { return legendas_; }

private:
    std::unique_ptr<forms::Form> form_;
    ProgressBar* barra_;
    std::vector<std::string> legendas_;
};

// The model's triangles 1..gNumTriangulos, each with its vertex numbers in
// ascending order, sorted: the set, whatever order a triangulation chose.
std::vector<Triangulo> ConjuntoDaMalha();

// The triangulation as first written: every vertex inserted into a triangle
// around them all, every triangle tested with an approximate circumcircle
// (ordinates within 1.0 count as level), at single precision; the triangles
// that touch the enclosing one removed. Reads gVertices 1..n (and writes
// n+1..n+3); returns the triangles as ConjuntoDaMalha does.
std::vector<Triangulo> TriangulacaoOriginal(int32_t n);

// Empty when the triangles (of gVertices) form a Delaunay triangulation: no
// triangle flat, every side shared by at most two triangles and then in
// opposite directions, no vertex 1..n inside a circumcircle (exact tests);
// otherwise what is wrong.
std::string FalhaDelaunay(const std::vector<Triangulo>& Tri, int32_t n);

// n points with ordinates at least 1.0 apart and coordinates exact at single
// precision, in random order.
std::vector<VerticeRec> PontosEspacados(int n, unsigned semente);

// Loads the points into gVertices 1..n (gNumVertices = n).
void CarregaVertices(const std::vector<VerticeRec>& Pontos);

}  // namespace terraintest
