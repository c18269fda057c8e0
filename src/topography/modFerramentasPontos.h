#pragma once
// The survey-point tools of the topography panel's point menu, after the
// points are in the drawing: their texts redrawn, a point found by name, the
// elevations changed, duplicates removed, points without data set apart, the
// applications of erased points purged, and points copied to another drawing.
// Each connects first (ConectaAcad) and stops when that fails; each reports
// through the panel's bar and ends with the message the user reads.

#include <string>

class ProgressBar;

// Redraws the three texts of the chosen survey points from their data and
// deletes the chosen texts of the point layers ("*_COTA*", "*_TEXTO*",
// "*_DESCRICAO*"), whoever they belonged to. Points without data are left as
// they are. "Concluido" at the end.
void RefazTextosPontos(ProgressBar& Barra);

// Asks a point name ("Localizar Ponto") and zooms to each point of that name
// in turn, asking before the next one. The name is matched as written, never
// as a pattern.
void LocalizarPonto();

// What MudarCotas changed.
struct ResultadoCotas {
    long long Pontos = 0;
    long long Textos = 0;
};

// Adds an increment (frmTOPPts) to the elevation of the chosen survey points
// and to the numeric texts of the chosen layers, written with three decimals.
// A point's data is rewritten in place: it keeps its handle, colour and
// linetype. An elevation or a text that is not a number is left as it is and
// not counted. "Foram modificados N pontos e M textos." at the end.
ResultadoCotas MudarCotas(ProgressBar& Barra);

// Deletes, of the chosen survey points, each one that has an exact duplicate
// (same X and Y to four decimals, same name, elevation and description) in the
// 2 x 2 window around it; the one found later stays. Points without data take
// no part. Returns the number removed, after "Removidos N pontos.".
long long RemoverPontosDuplicados(ProgressBar& Barra);

// After the user's consent, moves the chosen points that carry no extended
// data to the layer "NO_XDATA" (created when missing). Returns their number.
long long PontosSemXData(ProgressBar& Barra);

// After the user's consent, deletes the registered applications that no
// object uses, in sweeps by position until a sweep removes nothing, with the
// cancel window open. Returns the number deleted (also when cancelled).
long long PurgeXData(ProgressBar& Barra);

// Copies chosen survey points from the drawing on screen to the drawing put on
// screen next, each on its layer; a point that cannot take its data there is
// not copied and is moved to "NO_TRANS" in the source. No control of the panel
// calls it. Returns the number copied.
long long TransferirPontos(ProgressBar& Barra);

// The key that tells two survey points apart in the duplicate search: X and Y
// to four decimals, then name, elevation and description.
std::string ChaveDuplicado(double X, double Y, const std::string& Nome, const std::string& Cota,
                           const std::string& Descricao);
