#pragma once
// Test drawings written by the drawing host itself, of the size a script asks
// for, so that a script can start from what a user brings: a survey, a zones
// drawing, a water network drawn in the old block format. Each writes PATH (a
// ".dwg") and throws std::runtime_error when it cannot.

#include <string>

namespace e2e::fixtures {

// The kinds the `fixture` statement knows, for its check and its messages.
bool KnownKind(const std::string& kind);
std::string KindList();

// N survey points on a square grid 10 units apart, from the origin along X
// first: point k (from 1) is named "P<k>", its elevation text is 100 plus a
// quarter of k with three decimals ("100.250"), its description "BORDO" for
// odd k and "" for even k. Each is a POINT on layer "PONTO" carrying its name
// (as its application), elevation and description as extended data, with
// the three texts 5, 3 and 1 units above it on "PONTO_TEXTO", "PONTO_COTA"
// and "PONTO_DESCRICAO" (height 1.5).
void Survey(int n, const std::string& path);

// N survey points along X, 10 units apart from the origin, and a polyline on
// layer "0" through them: point k (from 1) is named "S<k>", its elevation
// text is 100 plus the remainder of k by 3 with three decimals (S1 "101.000",
// S3 "100.000"), its description "" - the drawing of a topographic section.
void Section(int n, const std::string& path);

// What erased survey points leave behind: N registered applications "E<k>"
// that no object uses (their points were drawn and erased), one survey point
// "P1" at the origin (elevation "100.000") still using its own, and one POINT
// without extended data at (0, -10).
void Erased(int n, const std::string& path);

// A topography drawing: the survey points of Survey(n) and, on layer
// "PAVIMENTO", two pavement hatches that cover the survey's square 5 units
// beyond its points: its lower half of the pattern "ASFALTO", its upper half
// of "PARALELEPIPEDO". A hatch of "ANSI31" on layer "QUADRAS" covers the whole
// square and is no pavement.
void Topography(int n, const std::string& path);

// N square zone hatches of 100 units side by side along X from the origin,
// all of the one pattern "ANSI31" on layer "ZONAS", each bounded by a closed
// polyline, without zone blocks: the engineer places them. Drawn after them,
// a hatch "NET" on layer "QUADRAS" over the strip X 60..90 of the first
// square, which no zone block names.
void ZoneHatches(int n, const std::string& path);

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

// --- topography: buildings and repairs

// N entities spread on a square grid `spacing` apart from the origin, X
// first, on layer "DIVERSOS": by k (from 1) a LINE 10 long along X, a CIRCLE
// of radius 5, a TEXT "E<k>" of height 2, a POINT and a 10 x 10 LWPOLYLINE
// square, in turn, each with its first point at its grid node.
void Spread(int n, const std::string& path, double spacing = 100);

// N buildings 30 units apart along X from the origin, on layer "CADASTRO":
// by k (from 1) a "CAD_RUF", "CAD_RUF", "CAD_COM" in turn (so three give two
// single-family buildings and a commercial one), NUMERO k and ECONOMIAS
// "<k>". The blocks are squares with the attributes NUMERO, NOME, APTOS, COM
// and ECONOMIAS, as the building registry defines them.
void Buildings(int n, const std::string& path);

// N street axes on layer "EIXO_RUA", 100 units apart along Y: lightweight
// polylines 1500 (odd k) and 250 (even k) long, the 250 one with a bend.
// Beside them, not street axes: a 999-long polyline on "LOTES" and an
// 800-long LINE on "EIXO_RUA", below Y = -100.
void Streets(int n, const std::string& path);

// N splines on layer "CURVAS", 50 units apart along Y from the origin: by k
// (from 1) one through 10 fit points (12 control points) and one through 6
// (8 control points) in turn, 10 units apart along X.
void Splines(int n, const std::string& path);

// N hatches "ANSI31" of scale 2.5 on layer "HACHURA", far from the origin:
// hatch k fills the 100 x 80 closed polyline whose lower left corner is
// (650000 + 200(k-1), 7400000).
void FarHatches(int n, const std::string& path);

// N sets of entities above the ground on layer "ELEVADO", set k starting at
// X0 = 200(k-1): a LINE (X0,0,5)-(X0+10,0,7); an INSERT of "MARCO" at
// (X0+20,0,12); a TEXT at (X0+30,0,3); an MTEXT at (X0+40,0,4); an ARC, a
// CIRCLE and an ELLIPSE centred at (X0+50,0,6), (X0+60,0,6), (X0+70,0,6); a
// LWPOLYLINE from (X0,20) at elevation 8; a 2-D POLYLINE from (X0+20,20) at
// elevation 9; a 3-D POLYLINE (X0+40,20,1) (X0+50,21,2) (X0+60,22,3); a
// SPLINE through (X0+70,20,1) (X0+80,25,2) (X0+90,20,3); a POINT at
// (X0,40,10); and a solid HATCH at elevation 2 in a square from (X0+20,40).
void Elevated(int n, const std::string& path);

// ---- the parcel grid of the common tools panel

// A city block for the parcel grid: the outline of the rectangle (0,0) to
// (200,100), 600 units round, drawn in N lightweight polylines of equal
// length on layer "GRADE_10_LINHA" (width 3), from the origin east first and
// back to it, with a city block number COM_QUADRA at (100,50) whose SETOR is
// "7" and QUADRA "12"; and a curved outline on layer "0": the closed polyline
// (300,0), (400,0), (400,100), (300,100) whose edge from (400,0) to (400,100)
// is a half circle bulging east, with a COM_QUADRA at (350,50), 7 and 13.
void Grid(int n, const std::string& path);

// ---- the common tools panel's drawings

// A sector to clip from the town's base map. The base map, written beside
// PATH as "BASE.dwg", holds N streets: lines across the square -50..150,
// 200 / N apart along X. PATH holds it attached as the external reference
// "BASE" at the origin; the sector outline, an open polyline on layer "0"
// through (0,0), (100,0), (100,0.005) and (100,50); a plain block "MARCO" (a
// circle of radius 2) at (300,0); and two buildings of an older catalogue: a
// "CAD_RUF" (one line and the attribute NUMERO) at (200,100) with NUMERO "42",
// and a "CAD_SBX" (one line and the attribute ANTIGO) at (220,100).
void Sector(int n, const std::string& path);

// --- common tools: buildings and water meters

// Buildings to give an address, 30 units apart along X from the origin on
// layer "CADASTRO", and a tick of a parcel grid. The block "CAD_RUF" has the
// registry's tags NUMERO, NOME, APTOS, COM, ECONOMIAS, UNIDADE and S-Q-L. By
// k (from 1): odd k inserted with all seven, S-Q-L "1-1-<k>" (numbered
// before); even k inserted at scale 2 before the block had UNIDADE and
// S-Q-L, so that the insertion has neither. Every building has NUMERO "<k>"
// and ECONOMIAS "<k>". A "CAD_SBX" marker (one line) stands at (0,-20), and
// a "COM_GRADE" tick (one line, attribute LOTE "120") at (0,-40) with the
// extended data of sector 7, city block 12, parcel 120 ("7-12", "120").
void Numbering(int n, const std::string& path);

// Map sheets: N entities spread evenly over the square from (0, 0) to
// (1000, 1000), on a square grid of ceil(sqrt(N)) columns from the corner
// (0, 0), X first, in turn a LINE 10 long to the east, a CIRCLE of radius 5
// and a POINT, on layer "0".
void Scatter(int n, const std::string& path);

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

}  // namespace e2e::fixtures
