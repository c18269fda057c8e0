#pragma once
// The block-geometry rows of the catalogue (tables "E_DXFs", "A_DXFs",
// "T_DXFs"): each row names its block, the kind of entity ("Line", "Point",
// "Arc", "Circle", "Attribute", "Text", compared with case) and three texts of
// parameters. One format for the sewer, water and topography catalogues; each
// area has its own loader and builder, and they share what is here: the
// reading of a table, the drawing of one row, the text styles the rows name
// and the look-up of a block in the drawing; and, beside them, the fault
// marker (the block "ErroC" on the verification layer). A build keeps the
// user's CECOLOR with GuardaVariaveis: a failed build must not leave the user
// drawing BYLAYER.
//
// Parameters: a point is "x,y" or "x,y,z" (SplitCoords); a number is read by
// StrToDbl ("" is 0); a list is split on "," into elements numbered from 0.
//
//   kind        S2           S3                          S4
//   Line        start point  end point
//   Point       position
//   Circle      centre       radius
//   Arc         centre       "radius,start,end" (radians; the water table
//                            keeps the radius alone here and the angles in S4)
//   Attribute   height       insertion point             "n,tag,layer,mode,alignment,colour,style"
//   Text        height       insertion point             "text,layer,style,alignment,colour"

#include <string>
#include <vector>

#include "cad/Ponto.h"
#include "cad/modAcad.h"
#include "platform/acad/Block.h"
#include "platform/acad/Entity.h"
#include "platform/acad/Error.h"
#include "platform/acad/Variant.h"
#include "platform/ado/Recordset.h"

// One row: a missing S3 or S4 is the empty text.
struct DXFRowRec {
    std::string S1;
    std::string S2;
    std::string S3;
    std::string S4;
};

// One block of a loaded catalogue and its rows, in the loader's order.
struct BlocoDefRec {
    std::string Bloco;
    std::vector<DXFRowRec> Linhas;
};

// The elements of a parameter list.
std::vector<std::string> ListaDXF(const std::string& Texto);

// Element `i` of a list as a whole number; a missing element or one that is
// not a whole number throws std::invalid_argument naming `OQue`.
int InteiroDXF(const std::vector<std::string>& Lista, std::size_t i, const std::string& OQue);

// The rows of an open recordset ordered by block name into one BlocoDefRec per
// name, in the order met (the rows of one block are adjacent). "Bloco", "S1"
// and "S2" must hold a value; an empty "S3" or "S4" becomes "". Failures throw
// ErroCatalogo naming `Tabela` and the column.
std::vector<BlocoDefRec> LeBlocosDXF(ado::Recordset& Rs, const std::string& Tabela);

// Adds the entity of one row (format above, sewer and topography reading of
// "Arc") to the block definition. Lines, points, circles and arcs go on
// `CamadaGeometria`; attributes and texts on the layer of their list, got with
// its colour. Null for a kind the format does not know. A parameter that cannot
// be read throws std::invalid_argument, a refusal of the host acad::Error.
acad::Entity* DesenhaLinhaDXF(acad::Block& Bloco, const DXFRowRec& Linha, const std::string& CamadaGeometria);

// True when the drawing's block table has an entry `Bloco`; any failure of the
// lookup (no drawing, no such block) is false and never reaches the caller.
bool ExisteBloco(const std::string& Bloco);

// The text styles the rows name, made sure of before a build: "ARIAL" (the
// font Arial, not bold, not italic, character set 0, pitch and family 34) and
// "ROMANS" (the font file "Romans.shx").
void PreparaEstilosDXF();

// "linha N: S1 | S2 | S3 | S4" (N from 1): how a failure names its row.
std::string DescreveLinhaDXF(std::size_t i, const DXFRowRec& L);

// Deletes a block definition, quietly: used to take away what a failed build
// left. Null is allowed.
void ApagaBlocoDXF(acad::Block* Def);

// A fault marker: the block "ErroC" (made available from its block file) at
// `Pt` with the same scale in X, Y and Z, its "MENSAGEM" attributes set to
// `Mensagem`, on the verification layer gLayerConf (colour 6, set on every
// marker) and in AutoCAD colour `Cor` (256: the layer's). The caller has
// connected. False, with the block file's own message shown, when "ErroC"
// cannot be had.
bool InsertErrorMarker(const Ponto& Pt, double Escala, const std::string& Mensagem, int Cor);
