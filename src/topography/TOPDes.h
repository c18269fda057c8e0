#pragma once
// The topography and common-tools blocks (building types "CAD_*", the sheet
// "QUADRICULA2", the grid "TOP_UTM", the cadastre blocks "COM_*") are rows of
// the catalogue table T_DXFs, loaded into gBlocosTopo by clsTOPDb::LoadDb and
// built into the current drawing by DefineBloco. ExisteBloco, which tells
// whether the drawing holds a block, is shared by every area's builder
// (cad/BlocoDXF.h).

#include <string>
#include <utility>
#include <vector>

#include "cad/BlocoDXF.h"

// One element per block name of T_DXFs, in ascending name order; the rows of
// each in the table's order (S1, then S4). Replaced whole by every load that
// succeeds.
extern std::vector<BlocoDefRec> gBlocosTopo;

// Set by nothing: both panels read the catalogue at every start.
extern short gTopoCarregado;

// The layer of a block's lines, arcs, points and circles, chosen by its exact
// name, and the layers that come with it (name and colour), made by the
// builder. "0" with nothing to make for a name the table does not know.
struct CamadaBlocoTopo {
    std::string Camada;
    int Cor = 0;                                      // 0: the layer is not made
    std::vector<std::pair<std::string, int>> Outras;  // also made
};
CamadaBlocoTopo CamadaDoBlocoTopo(const std::string& Nome);

// Builds the block `Nome` from its rows of gBlocosTopo into the current drawing
// (the caller has connected). A block already there is left untouched, with
// nothing made, unless `Redefinir`, which builds it again from the rows.
// Every row is read and drawn into a hidden draft first: a name without rows
// or a row that cannot be built gives one message naming the block and the
// row, and the drawing keeps the definition it had (or none). CECOLOR and the
// mouse pointer are the same afterwards, whatever happened.
// True when the drawing holds the block built from its rows afterwards (or
// held it already and `Redefinir` was false).
bool DefineBloco(const std::string& Nome, bool Redefinir);
