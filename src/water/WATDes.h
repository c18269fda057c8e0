#pragma once
// The water blocks in the current drawing: the fittings, the pipe label
// "A-TUBO" and the quantity-table blocks, built from the water catalogue's
// geometry rows (gBlocosAgua); and the sockets of a fitting placed in the
// drawing, found from the catalogue's socket points.
//
// ExisteBloco, which tells whether the drawing holds a block, is shared by
// every area's builder (cad/BlocoDXF.h).

#include <string>
#include <vector>

#include "cad/BlocoDXF.h"
#include "cad/Ponto.h"
#include "platform/acad/Entity.h"
#include "platform/forms/PictureBox.h"

// Makes sure the current drawing holds the block `nome`, built from its rows
// of gBlocosAgua: blocks whose name begins with "A-" get the attributes
// CODIGO (visible, "TEXTO_CON"), MATERIAL and ETAPA (invisible, "0") first;
// then lines, arcs and circles on "0", socket points on "DefPoints",
// attributes and texts on the layers their rows name. A block already there
// is left as it is unless `redefinir`, which builds it again from an empty
// definition. A name without rows gives a definition with only what the name
// itself asks for.
// Connects first (ConectaAcad). CECOLOR is the same afterwards, whatever
// happened. A row that cannot be built gives a message naming the block and
// the row, and no half-built block is left: a new block is not created and a
// block being redefined keeps the content it had.
// True when the drawing holds the block afterwards.
bool CriaBlocoConexao(const std::string& nome, bool redefinir = false);

// The socket of the fitting `blk` nearest to `PtClique`, and what the fitting
// says of itself. The caller has connected and obtained the fitting and the
// point. Outputs a path does not reach keep the caller's values.
//   CodBase, sDP, sDS: its "CODIGO" split at the first "DN" and the "x" after
//       it (code, primary diameter, secondary diameter or "");
//   Material, Etapa: its "MATERIAL" and "ETAPA"; PtInsercao: its insertion point;
//   PtBolsa: the socket's position in the drawing (catalogue point placed by
//       the fitting's insertion point, rotation, |Y scale| and mirroring);
//   the tenth argument is neither read nor written;
//   DiamBolsa: sDP for a primary socket, else sDS; TubBolsa: the socket's piping;
//   Seguir: follow the chain of two-socket fittings out of that socket;
//   Percurso: X, Y of the socket, of each link of the chain met (the socket
//       reached and the next fitting's insertion point), then of the last
//       fitting reached (the fitting itself without a chain) once more;
//   Mostrar: show the socket in the box "Info Conexão".
// True when a socket was found. None is found for the pipe label "A-TUBO", an
// entity that is no block reference, a "CODIGO" without "DN", a material or
// code that the catalogue lacks (the fitting is then marked by a circle of
// radius 20 and the view centred on it), or no socket nearer than 5000.
bool InfoBolsa(acad::Entity* blk, std::string& CodBase, std::string& sDP, std::string& sDS, std::string& Material,
               std::string& Etapa, Ponto& PtInsercao, Ponto PtClique, Ponto& PtBolsa, std::string& NaoUsado,
               std::string& DiamBolsa, std::string& TubBolsa, bool Seguir, std::vector<double>& Percurso, bool Mostrar);

// ------------------------------------------------------------ block preview

// Draws the block `Bloco` of the water catalogue into `Pic`, 18 block units
// across its width, centred on its middle with the Y axis up, over grey axes
// through the centre: lines, arcs and circles in black, each socket point as
// a dot coloured by its order among the block's points (red, yellow, green,
// blue; a fifth and later in black), and the texts of its attribute rows in
// orange down the top left corner. Rows of other kinds, and rows whose
// numbers cannot be read, are not drawn. Returns the number of socket points
// drawn; a block without rows draws the axes only.
int DesenhaBlocoPic(forms::PictureBox& Pic, const std::string& Bloco);
