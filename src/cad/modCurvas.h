#pragma once
// Coordinate lists from the host's curves, and work on such lists. Lists are
// flat vectors X0, Y0, X1, Y1, ... (3-D lists X0, Y0, Z0, ...); every function
// builds a new list and leaves its input alone. An empty list is a list like
// any other: its length is 0, nothing lies along it, and so on.

#include <optional>
#include <vector>

#include "cad/Ponto.h"
#include "platform/acad/Entity.h"

// The 2-D list of a line, an arc, a lightweight or 2-D polyline (arcs and
// bulged segments cut into chords of about `Passo` when it is positive; a
// closed polyline ends at its first vertex again) or a spline (points on the
// curve about `Passo` apart; the spline stays as it is). `Comprimento`
// receives the list's length. With `Referencia` the list starts at the end
// nearer to it. None for a spline-fitted 2-D polyline (message "Execute um
// Break em uma das extremidades da PolyLine.") and for any other kind (message
// "coords2d " + its object name); none without a message for no entity or one
// the host cannot read.
std::optional<std::vector<double>> CurvaParaPontos(acad::Entity* Entidade, double& Comprimento,
                                                   const std::optional<Ponto>& Referencia, double Passo);

// Sum of the segment lengths (0 for fewer than two vertices).
double ComprimentoPolilinha(const std::vector<double>& L);

// The point at distance `Distancia` from the list's start, with the index of
// its segment and that segment's direction; none (and `Segmento`, `Direcao`
// untouched) when the list is not longer than the distance.
std::optional<Ponto> PontoAoLongo(const std::vector<double>& L, double Distancia, int& Segmento, double& Direcao);

// The first vertex, then a point every `Espacamento` along the list (and every
// later vertex too when `MantemVertices`). Lets the window events run between
// points. A spacing that is not positive places no points.
std::vector<double> PontosEspacados(const std::vector<double>& L, double Espacamento, bool MantemVertices);

std::vector<double> Coords3DPara2D(const std::vector<double>& L);
std::vector<double> Coords2DPara3D(const std::vector<double>& L);

// The vertices from last to first.
std::vector<double> InverteCoords(const std::vector<double>& L);

// A followed by B; B's first vertex left out when it lies within 0.001 (in X
// and in Y) of A's last.
std::vector<double> JuntaCoords(const std::vector<double>& A, const std::vector<double>& B);

// A and B chained where an end of one meets an end of the other within 0.25 in
// X and in Y (reversed as needed: end–start, end–end, start–end, start–start
// are tried in that order); none when no ends meet.
std::optional<std::vector<double>> EncadeiaLinhas(const std::vector<double>& A, const std::vector<double>& B);

// How EncadeiaLinhas chains B onto A, from their ends: which of the two is
// reversed before B follows A. None when no ends meet.
struct Encadeamento {
    bool InverteA = false;
    bool InverteB = false;
};
std::optional<Encadeamento> ComoEncadear(const Ponto& InicioA, const Ponto& FimA, const Ponto& InicioB,
                                         const Ponto& FimB);
// Whether JuntaCoords leaves out the first vertex of what follows: it lies
// within 0.001 of the last one before it.
bool RepeteVertice(const Ponto& Ultimo, const Ponto& Seguinte);

// A ring (its last vertex repeating its first) without the vertices that lie
// within 0.01 (in X and in Y) of the next one and without its closing vertex;
// when `Fechada`, also without a last vertex that repeats the first.
std::vector<double> RemoveVerticesDuplicados(const std::vector<double>& L, bool Fechada);
