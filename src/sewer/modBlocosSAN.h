#pragma once
// The sewer blocks in the current drawing: built from the catalogue's geometry
// rows (gBlocosSAN) rather than read from files. The fault marker "ErroC",
// which the drawing and the verification classes place the same way, is
// InsertErrorMarker (cad/BlocoDXF.h).

#include <string>

#include "cad/BlocoDXF.h"

// ExisteBloco (cad/BlocoDXF.h) tells whether the drawing holds a block: one
// answer for every area's blocks.

// Makes sure the current drawing holds the block `Bloco`, built from its rows
// of gBlocosSAN: geometry on "PV" (colour 8) for "E-PV...", on "FLUXO" (12) for
// "E-TRSAN" and "E-TRCGEN", on "0" for the others; attributes and texts on the
// layers their rows name. A block already there is left as it is unless
// `Redefinir`, which empties it and builds it again from the rows.
// Connects first (ConectaAcad). CECOLOR is restored on every path. A row that
// cannot be built gives a message naming the block and the row, and the half
// built definition is removed, so a later call builds it again.
// True when the drawing holds the block afterwards.
bool DefineBlocoSAN(const std::string& Bloco, bool Redefinir = false);
