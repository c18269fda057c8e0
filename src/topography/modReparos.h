#pragma once
// Repairs of a topography drawing and one measurement, each a button of the
// panel's "Misc." tab: a hatch rebuilt from its boundary, the length of the
// street axes, splines turned into polylines through their control points,
// and the selected entities brought down to elevation 0. Each connects to the
// drawing host first and stops without a change when it cannot.

#include <string>

class ProgressBar;

// The user picks a hatch; the host rebuilds it from its boundary with its own
// settings, near the origin where its arithmetic is exact, and it goes back
// where it was.
void CorrigeHatch();

// Shows the total length, in km, of the lightweight polylines of layer
// "EIXO_RUA".
void MedirLevantamento(ProgressBar& Progresso);

// `Ordem` (the panel's box) is the order the splines are raised to, 4 to 26;
// any other text is told and nothing is selected. The user selects splines;
// each becomes a polyline through its control points on the current layer,
// fitted as a cubic B-spline when the order is not above its count of control
// points. A spline whose order is already `Ordem` or more keeps its order.
void SplineParaPline(const std::string& Ordem, ProgressBar& Progresso);

// The user selects entities; blocks, lines, texts, arcs, circles, ellipses,
// points, polylines and splines are brought to elevation 0, any other kind is
// left as it is.
void CoordenadaZZero(ProgressBar& Progresso);
