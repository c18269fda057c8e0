#pragma once
// Buildings and water meters of the cadastre: a building of the registry gets
// its address (sector, city block, parcel and unit) in its attributes, and a
// water meter is placed beside it carrying the same address, also as its
// extended data, which is how the meters of one address are found again.
//
// The address comes from the panel's boxes; numbers are whole numbers of any
// size written without leading zeros, the unit in at least two digits.

#include <optional>
#include <string>

#include "common/modCadastro.h"

namespace acad {
class BlockReference;
class Entity;
}  // namespace acad

// One address, its parts already normalised (NumeroCadastro, UnidadeCadastro).
struct EnderecoCadastro {
    std::string Setor, Quadra, Lote, Unidade;

    std::string SQL() const { return Setor + "-" + Quadra + "-" + Lote; }
    // The name of a meter's application and its one string.
    std::string SQLU() const { return SQL() + "-" + Unidade; }
    std::string CamadaSetor() const { return NomeCamadaSetor(Setor); }
};

// The blocks of the building registry that take an address ("CAD_SBX", the
// low-threshold marker, does not).
bool EdificacaoNumeravel(const std::string& Bloco);

// The four water meters, by the index of their picture (0 to 3); "" outside.
std::string BlocoHidrometro(int Indice);

// Gives the building its address, on the sector layer (made when missing):
// S-Q-L and UNIDADE written, NUMERO, NOME, APTOS and COM as they were. A
// building without an S-Q-L text (an empty one, or none because it was
// inserted before its block had the tag) is inserted again from its block's
// present definition at the same point, rotation and scale, every attribute
// that both have keeping its text, its extended data kept; the old insertion
// goes only once the new one is complete. The numbered building, or null
// when `Edificacao` is not a block of the registry that takes an address, or
// when its block's definition has no S-Q-L either (the user is told to run
// "Atualiza Blocos Cadastro" first); nothing changes then. The caller has
// connected.
acad::BlockReference* EnderecaEdificacao(acad::Entity& Edificacao, const EnderecoCadastro& Endereco);

// Places one water meter of `Bloco` (built from the catalogue when the
// drawing lacks it) on the sector layer: asks its point and its direction
// with running object snaps off (OSMODE back as it was on every path),
// writes UNIDADE (kept horizontal) and S-Q-L, and the address as extended
// data. The meter, or null when the user gave no point or no direction or the
// block could not be built. The caller has connected.
acad::BlockReference* InsereHidrometro(const std::string& Bloco, const EnderecoCadastro& Endereco);
