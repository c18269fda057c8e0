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
// polyline, without zone blocks: the engineer places them.
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

} // namespace e2e::fixtures
