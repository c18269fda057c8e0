#pragma once
// Bulk change and thematic marking of the sewer network's blocks.
//
// Bulk change: `CHSelect` lets the user pick manhole and reach blocks ("E-PV*",
// "E-TR*"), optionally keeps only those whose material, pavement, contribution
// or stage equals a given value, and `CHChange` writes new values into every
// block kept. Themes: `TEMA_Select` picks blocks and tallies one attribute into
// `gTemas`, `TEMA_Print` marks each picked block on the verification layer in
// the colour of its class.
//
// The picks are picked through the drawing's selection set "SS1", but kept
// here, by object id, as soon as the user has picked: other commands re-create
// "SS1" freely, and a pick that lived there could be replaced between the two
// presses. Blocks erased in between are passed over; a pick whose drawing was
// closed is dropped.
//
// The panel makes one object each time its bulk-change or theme tab is chosen
// and sets `cProgress` before calling it.

#include <cstdint>
#include <string>
#include <vector>

#include "cad/Ponto.h"
#include "cad/modSelecao.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "shell/ProgressBar.h"

// One class of the last tally: the value (trimmed) and how many attributes
// carry it. The first class met is index 0.
struct TemaRec {
    std::string valor;
    int contagem = 0;
};

// The last tally, in the order the values were first met; one empty entry of
// count 0 when nothing was tallied. Read by the panel to fill its legend.
extern std::vector<TemaRec> gTemas;

// The AutoCAD colour index of the class at `Indice` of gTemas: 1, 2, 3 ...
// through 255, then 1 again (past the last index the host knows).
int CorDoTema(std::size_t Indice);

class clsSANEdit {
public:
    ProgressBar* cProgress = nullptr;

    // Writes the values into every attribute of the kept pick that carries
    // their tag ("" leaves that attribute as it is): MATERIAL or MAT, PAVMTO,
    // CONTRIB and ET (the stage trimmed). Turns the pick's highlight off.
    // False, with a message and nothing written, when the stage is not a whole
    // number.
    bool CHChange(const std::string& Material, const std::string& Pavimento, const std::string& Contrib,
                  const std::string& Etapa);
    // Lets the user pick "E-PV*" and "E-TR*" blocks; with any value given,
    // keeps only the blocks whose attributes of those tags equal the values
    // exactly (manholes carry only the stage). Highlights what is kept and
    // returns how many; 0 without a drawing.
    long CHSelect(const std::string& Material, const std::string& Pavimento, const std::string& Contrib,
                  const std::string& Etapa);
    // Clears the verification layer, lets the user pick ("Etapa": manholes and
    // reaches; "Material", "Pavimento", "Contribuição": reaches) and tallies
    // the class's attribute (trimmed) into gTemas. Without a drawing gTemas
    // keeps what it held.
    void TEMA_Select(const std::string& Classe);
    // Marks the blocks of the last TEMA_Select whose value (as written, not
    // trimmed) is a class of gTemas: an "ErroC" at a manhole, a thick line
    // along a reach, in the class's colour, on the verification layer.
    void TEMA_Print();

    // How many blocks the bulk-change pick holds (erased ones included).
    std::size_t Escolhidos() const { return escolha_.Ids.size(); }

private:
    // A pick kept by the worker: its drawing and the blocks' object ids.
    struct Conjunto {
        acad::Document* Doc = nullptr;
        std::vector<std::int32_t> Ids;
    };

    // One reach mark between p1 and p2, 2.0 units in from each end.
    void DrawTemaLine(const Ponto& p1, const Ponto& p2, int Cor);

    // The user's pick through "SS1" with the filter, taken over by the worker.
    static Conjunto Escolhe(const FiltroTipos& Tipos, const FiltroDados& Dados);
    // The drawing of the pick, if it is still open.
    static acad::Document* DesenhoAberto(const Conjunto& C);
    // The block of the id, unless it was erased meanwhile.
    static acad::BlockReference* Bloco(acad::Document& Doc, std::int32_t Id);
    void Inicia(std::size_t Maximo, const std::string& Caption);
    void Avanca();

    Conjunto escolha_;  // CHSelect → CHChange
    Conjunto tema_;     // TEMA_Select → TEMA_Print
    std::string classe_;
};
