#pragma once
// Test drawings written by the drawing host itself, of the size a script asks
// for, so that a script can start from what a user brings: a survey, a zones
// drawing, a water network drawn in the old block format. Each writes PATH (a
// ".dwg") and throws std::runtime_error when it cannot.

#include <string>

namespace e2e::fixtures {

// N survey points on a square grid 10 units apart, from the origin along X
// first: point k (from 1) is named "P<k>", its elevation text is 100 plus a
// quarter of k with three decimals ("100.250"), its description "BORDO" for
// odd k and "" for even k. Each is a POINT on layer "PONTO" carrying its name
// (as its application), elevation and description as extended data, with
// the three texts 5, 3 and 1 units above it on "PONTO_TEXTO", "PONTO_COTA"
// and "PONTO_DESCRICAO" (height 1.5).
void Survey(int n, const std::string& path);

// N square zones of 100 units side by side along X from the origin: each a
// solid hatch on layer "ZONAS" bounded by a closed polyline, with a zone
// block "Zon_PorM" (taken from `blockFolder`/Zon_PorM.dwg) at its middle
// whose NOME is "Z<k>" and VPM is 10 times k.
void Zones(int n, const std::string& path, const std::string& blockFolder);

// N pipes of the old block format along X, 100 units apart: pipe k is a LINE
// from (100(k-1), 0) 80 units long on layer "T_50", labelled by a block
// "R-TUBO" on layer "TRECHO" at its middle with TUBO "PVCDN50-X" and ETAPA
// "0", and a fitting block "R-TE" at each end with CÓDIGO "TEDN50" and MAT
// "PVC".
void OldWater(int n, const std::string& path);

// Map sheets: N entities spread evenly over the square from (0, 0) to
// (1000, 1000), on a square grid of ceil(sqrt(N)) columns from the corner
// (0, 0), X first, in turn a LINE 10 long to the east, a CIRCLE of radius 5
// and a POINT, on layer "0".
void Spread(int n, const std::string& path);

// Map sheets read from a reference: PATH attaches, as the reference "FOLHAS"
// at (1000, 1000), the drawing "<PATH without .dwg>-folhas.dwg" written beside
// it, which holds N sheets: insertions of "QUADRICULA2" (a unit frame, its
// attribute NUMERO first) at scale 786 x 499 on layer "NUM_QUADRICULA", three
// to a row from the top-left corner (0, 0) eastward, rows southward; sheet k
// numbered "k". PATH itself holds no sheet.
void SheetsXRef(int n, const std::string& path);

// ---- map sheets and their template layout

// N map sheets of 786 by 499, four to a row from (650000, 7450000) eastwards
// and rows southwards: sheet k (from 1) an insertion of "QUADRICULA2" (a unit
// frame whose attribute NUMERO holds k) at its top-left corner, scaled to the
// sheet, on layer "NUM_QUADRICULA", with a line across it on layer "0". The
// paper-space layout "Modelo" is the template of the sheet layouts: a
// viewport of 393 by 249.5 centred on (200, 150), the title block "SELO"
// (attribute NUMERO "0000", height 4, at (285, 15)) inserted at (280, 10),
// and the key map "INDICE" inserted at (280, 60): a line from there to
// (320, 60) and the attributes XL1C1 to XL3C3, cell XLrCc at
// (280 + 10c, 60 - 5r).
void Sheets(int n, const std::string& path);

} // namespace e2e::fixtures
