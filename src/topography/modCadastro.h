#pragma once
// The building registry of the topography panel: one insertion of a building
// block per building, on layer "CADASTRO", its kind told by the block's name
// and its number, name, apartments and shops by its attributes; the marker of
// a low threshold beside a building; and the table that counts the buildings
// of each kind and sums their ECONOMIAS. The common tools panel inserts and
// rebuilds the same blocks.

#include <array>
#include <string>

class ProgressBar;

// One building type of the "Cadastro" tab, by the index of its picture (0 to 5).
struct TipoCadastroRec {
    const char* Bloco;
    const char* Legenda;  // shown beside "Tipo:"
    bool Visiveis[4];     // Nome, Número, Aptos, Comercios
    int Foco;             // the box that takes the focus
};
inline constexpr TipoCadastroRec kTiposCadastro[6] = {
    {"CAD_RUF", "Residencial UniFamiliar", {false, true, false, false}, 1},
    {"CAD_RMF", "Residencial Multifamiliar", {false, true, true, false}, 1},
    {"CAD_MIX", "Edificação Mista", {true, true, true, true}, 0},
    {"CAD_COM", "Edificação Comercial", {true, true, false, true}, 0},
    {"CAD_IND", "Edificação Industrial", {true, true, false, false}, 0},
    {"CAD_SVP", "Serviços Públicos", {true, true, false, false}, 0},
};

// The tags written from the four boxes, in box order.
inline constexpr const char* kTagsCadastro[4] = {"NOME", "NUMERO", "APTOS", "COM"};

// Asks the insertion point and inserts `Bloco` there on "CADASTRO", its four
// tags written from `Textos` (Nome, Número, Aptos, Comercios: a field the
// type hides comes as ""). Every kind but the two residential ones is left
// turning about its insertion point, the host waiting for the user's angle.
// The caller has connected.
void InsereEdificacao(const std::string& Bloco, const std::array<std::string, 4>& Textos);

// The user picks a building and shows a direction: the marker "CAD_SBX" goes
// 3.5 units (a residential building) or 6.9462 units (any other block) from
// its insertion point that way, turned to it. A pick that is not a block
// reference ends the command without a word. The caller has connected.
void InsereSoleiraBaixa();

// Counts of the six building kinds of the drawing and the sums of their
// ECONOMIAS, in the order of kTiposCadastro. A text that is not a number
// counts 0; each sum is brought to the nearest whole number (halves to even)
// after each addition.
struct QuantidadesRec {
    std::array<long long, 6> Quantidade{};
    std::array<double, 6> Economias{};
    long long TotalQuantidade() const;
    double TotalEconomias() const;
};
// Reads every "CAD_*" insertion of the drawing through the document's active
// selection set, stepping `Progresso`.
QuantidadesRec ContaEdificacoes(ProgressBar& Progresso);

// The quantity table: counts the buildings, asks where and inserts "CAD_QTT"
// (from the block folder when the drawing lacks it) on the current layer with
// its fourteen values. The caller has connected.
void DesenhaQuantidades(ProgressBar& Progresso);
