#pragma once
// Numbers as text and plane geometry: no state and no drawing host.
//
// Texts written by the system use "." as decimal point and texts read may use
// "." or ",", whatever the machine's locale. Angles are radians counter-
// clockwise from east (AnguloDeflexao alone gives degrees). Coordinate lists
// are flat vectors X0, Y0, X1, Y1, ... (see Ponto.h).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cad/Ponto.h"

// Appends `P` to a flat coordinate list, reads its vertex `k` back, and counts
// its vertices (an odd trailing coordinate is no vertex).
inline void Acrescenta(std::vector<double>& L, const Ponto& P)
{
    L.push_back(P.X);
    L.push_back(P.Y);
}
inline Ponto Vertice(const std::vector<double>& L, std::size_t k) { return Ponto(L[2 * k], L[2 * k + 1]); }
inline std::size_t NVertices(const std::vector<double>& L) { return L.size() / 2; }

// π as the system has always taken it (15 significant digits).
inline constexpr double PI = 3.14159265358979;

// `Valor` with `Decimais` decimals (none when 0 or less), rounded half away
// from zero as a 15-digit decimal, "." as decimal point, no thousands
// separator: (2.5, 0) → "3", (1234.5678, 2) → "1234.57", (0.1, 3) → "0.100".
std::string FormatNum(double Valor, int Decimais);

// Reads "1.5" and "1,5" (blanks around, a sign and an exponent allowed) as 1.5;
// "", "." and "," read as 0. Anything else throws std::invalid_argument with a
// message that quotes the text.
double StrToDbl(const std::string& Texto);

// True when StrToDbl reads the text.
bool IsNumero(const std::string& Texto);
// True when StrToDbl reads the text and it has at least one digit: "", "."
// and "-" are no coordinate and no elevation.
bool NumeroEscrito(const std::string& Texto);

// A followed by B.
std::vector<double> AppendArray(const std::vector<double>& A, const std::vector<double>& B);

Ponto Ponto3D(double x, double y, double z);

// Plane distance (X and Y).
double Distancia(const Ponto& P1, const Ponto& P2);

// Direction of P1→P2 in [0, 2π). A horizontal difference below 0.0001 counts as
// vertical: π/2 when Y1 < Y2, else 3π/2 (also for two equal points).
double Azimute(const Ponto& P1, const Ponto& P2);

// (X + d·cos, Y + d·sin, 0): P's Z is not carried.
Ponto PontoPolar(const Ponto& P, double Angulo, double Distancia);

// Intersection of the line through P1, P2 with the line through P3, P4; no
// point when the lines are parallel. With P4 empty the second line is the
// perpendicular to the first through P3, and P4 receives its second point.
std::optional<Ponto> Intersecao(const Ponto& P1, const Ponto& P2, const Ponto& P3, std::optional<Ponto>& P4);
std::optional<Ponto> Intersecao(const Ponto& P1, const Ponto& P2, const Ponto& P3, const Ponto& P4);

// Angle at C between the directions to P1 and P2, in degrees (0 to 180); 0 when
// a direction is undefined, and 0 for exactly opposite directions.
double AnguloDeflexao(const Ponto& C, const Ponto& P1, const Ponto& P2);

// "x,y" → (x, y, 0) and "x,y,z" → (x, y, z), each part read by StrToDbl; no
// point when the text has no comma, more than two, or a part is not a number.
std::optional<Ponto> SplitCoords(const std::string& Texto);

// FormatNum(X, n) + "," + FormatNum(Y, n); Z is not written.
std::string JoinCoords(const Ponto& P, int n);

// Corner of the square of half side d around P: upper right when `Superior`,
// else lower left.
Ponto JanelaPonto(const Ponto& P, bool Superior, double d);

// The polyline of vertex list L with the arc segments of bulge list B (one
// bulge per vertex; the last vertex's closes back to vertex 0; missing ones
// count as 0) cut into chords of about `Passo`. Arcs not longer than `Passo`
// (or any arc when `Passo` is not positive) stay one chord. A cut arc runs
// from its start to its end, so its end vertex follows it a second time.
std::vector<double> DensifyBulges(const std::vector<double>& L, const std::vector<double>& B, double Passo);

// The arc of centre C and radius R walked counterclockwise from angle A1 to A2
// (a whole circle when they differ by a whole turn): Fix(length / Passo) + 1
// points, or its two ends when that is 0 or `Passo` is not positive.
std::vector<double> ArcoPontos(const Ponto& C, double R, double A1, double A2, double Passo);

// The arc of the ellipse of centre C, major-axis vector `Eixo` and minor/major
// `Razao`, walked counterclockwise in its parameter from `Inicio` to `Fim` (a
// whole ellipse when they differ by a whole turn): Fix(major radius·sweep /
// Passo) + 1 points at equal parameter steps, or its two ends when that is 0
// or `Passo` is not positive.
std::vector<double> CirculoPontos(const Ponto& C, const Ponto& Eixo, double Razao, double Passo, double Inicio,
                                  double Fim);

// Chords of about `Passo` in a curve of length `Comprimento`: Fix(L / Passo),
// 0 when `Passo` is not positive. A step so small that the points would not
// fit in memory throws std::invalid_argument.
long long DivisoesDoArco(double Comprimento, double Passo);

// The greatest and the least of three values (pass one twice to order two).
void OrdenaJanela(double a, double b, double c, double& Maior, double& Menor);
