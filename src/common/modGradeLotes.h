#pragma once
// The parcel grid: parcels along a city block are numbered by their distance
// from a chosen corner, measured along the block's perimeter. A grid run puts
// an arrow (COM_SETA) at the start and a tick (COM_GRADE) every 10 units along
// the perimeter polyline, each labelled with its distance and tied by extended
// data (application "<sector>-<block>", then the distance) to its city block;
// a parcel number block (COM_LOTE) is then captured from any tick.
//
// The panel hands its worker the controls it writes (the number boxes, the
// undo button, the progress bar) before the calls; every command but "Desfaz"
// connects to the drawing host itself.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cad/Ponto.h"
#include "platform/acad/Entity.h"

namespace acad {
class Document;
}
namespace forms {
class TextBox;
class Control;
}  // namespace forms
class ProgressBar;

// Merges into the lightweight polyline P the pieces of perimeter (lightweight
// polylines on "GRADE_10_LINHA") whose ends meet its ends, pass after pass,
// until none is left; every piece merged is deleted. Anything else than a
// lightweight polyline is left alone.
void LeCoordsPline(acad::Entity* P);

// The vertices of a perimeter in the order a grid run walks them from the
// start point `Inicio` (a vertex, within 0.001), the side point `Lado`
// choosing the direction (see the run). A closed perimeter (`Fechada`, its
// closing vertex left out) returns to its start vertex. None when `Inicio` is
// no vertex.
std::optional<std::vector<double>> OrdenaPerimetro(const std::vector<double>& L, bool Fechada, const Ponto& Inicio,
                                                   const Ponto& Lado);

class GradeLotes {
public:
    // The panel's controls, handed in before the calls (any may be null).
    forms::TextBox* SetorTxt = nullptr;
    forms::TextBox* QuadraTxt = nullptr;
    forms::TextBox* LoteTxt = nullptr;
    forms::Control* GRUndo = nullptr;
    ProgressBar* Progress = nullptr;

    // "Perímetro": a perimeter polyline (width 3, colour 6) drawn along the
    // curve the user picks, arcs cut into chords of 0.5.
    void Perimetro();
    // "Poly Join": merges the pieces into the polyline the user picks, zooms
    // to it and gives it the colour `Cor` (1 to 6).
    void PolyJoin(int Cor);
    // "Executa": the grid run along the perimeter found at the start point.
    void Executa();
    // "Desfaz": takes back the last run that consumed its perimeter: erases
    // what is left of its arrow and ticks and draws the perimeter again.
    void Desfaz();
    // "Apagar Grade": from a picked tick or arrow, erases every tick and arrow
    // of the same sector and city block. Any other pick does nothing.
    void ApagaGrade();
    // The parcel capture from a tick: fills the sector, block and parcel
    // boxes from it and inserts COM_LOTE where the user points. True when a
    // parcel block was inserted.
    bool InsereLoteGrade();

    // The coordinates of the perimeter polyline the last run consumed, and
    // whether it was closed.
    std::vector<double> CoordsPerimetro;
    bool PerimetroFechado = false;
    // The arrow and ticks of the last run (object ids in `DocGrade`): the
    // run's own list, so that "Desfaz" takes back that run only, whatever
    // used the shared selection sets since.
    std::vector<std::int32_t> SelGrade;
    acad::Document* DocGrade = nullptr;

private:
    void Habilita(bool v);
};
