#pragma once
// Block replacement ("Blocos" tab of the topography panel): insertions of one
// block replaced by insertions of another, at the same point, rotation and
// layer, their scales times a block factor, and the old attribute texts
// carried to the new block through a map of tags, with each attribute's
// place, alignment, rotation, upside-down flag and height (times a text
// factor). The panel holds the lists and the map rows; this module reads the
// drawing and does the replacement.

#include <string>
#include <vector>

#include "cad/Ponto.h"

namespace acad {
class BlockReference;
class SelectionSet;
}  // namespace acad
class ProgressBar;

// One row of the map: the old block's tag and the new block's tag chosen for
// it, and what the old attribute of the insertion being replaced holds.
struct MapaAtributoRec {
    std::string TagAntigo;
    std::string TagNovo;  // "" when none is chosen: the row carries nothing
    std::string Valor;
    bool Invertido = false;  // upside down
    int Alinhamento = 0;     // the host's alignment code; 0 = left
    Ponto Posicao;           // the insertion point when left aligned, else the alignment point
    double Rotacao = 0;
    double Altura = 0;
    // The insertion being replaced has an attribute of tag TagAntigo: without
    // it the row writes nothing (no value of another insertion is carried).
    bool Lido = false;
};

// The item of the replacement list that opens the file dialog.
inline constexpr const char* kArquivoBloco = ".Arquivo...";

// The drawing's block names a user may choose, in the order of its block
// table: spaces, anonymous blocks and every other name beginning with "*" left
// out.
std::vector<std::string> BlocosDoDesenho();

// The set `Conjunto` made anew and filled with every insertion of the block
// `Nome` in the drawing, in drawing order.
acad::SelectionSet* InsercoesDoBloco(const std::string& Conjunto, const std::string& Nome);

// The tags of the attributes of the first insertion in `Insercoes`, in
// attribute order (empty when the set is empty).
std::vector<std::string> TagsDaPrimeira(const acad::SelectionSet& Insercoes);

// The block of a drawing file defined in the drawing (the file inserted into
// model space at the origin, the insertion deleted at once); returns the
// block's name, the file's name without folder and extension.
std::string DefineBlocoDeArquivo(const std::string& Arquivo);

// The tags of the replacement block as its insertions show them: a temporary
// insertion at the origin, so that there is one, the set "SS2" (returned in
// `Conjunto`) filled with every insertion of the block, the tags of its first
// one; the temporary insertion is deleted whatever happens.
std::vector<std::string> TagsDoBlocoNovo(const std::string& BlocoNovo, acad::SelectionSet*& Conjunto);

// Why a run cannot start, in the user's words ("" when it can): the
// replacement must be a block of the drawing, and both factors numbers above 0.
std::string ConfereTroca(const std::string& BlocoNovo, const std::string& EscalaBloco, const std::string& EscalaTexto);

// Replaces each insertion of `Insercoes` in turn by an insertion of
// `BlocoNovo` in the same block (model space as a rule): same point, rotation
// and layer; X and Y scales times `Fb`, Z scale X scale times `Fb`. Each new
// attribute named by a row's TagNovo gets that row's old attribute: its text
// (when not empty), place, alignment, rotation, upside-down flag and height
// times `Ft`. The rows are read afresh from each insertion. The new insertion
// is made whole before the old one is deleted; when a step fails, the new one
// is taken away and the old one stays. One step of `Barra` per insertion.
// Returns how many were replaced.
long TrocaInsercoes(const std::vector<acad::BlockReference*>& Insercoes, const std::string& BlocoNovo, double Fb,
                    double Ft, std::vector<MapaAtributoRec>& Mapa, ProgressBar& Barra);
