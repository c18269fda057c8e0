#pragma once
// The water quantity take-off: the pipe labels and fittings the user picks
// on screen, counted by stage, type and diameter, and drawn as a table of
// "RQ-A", "RQ-E", "RQ-I" and "RQ-T" blocks. Pipes count in metres of their
// nominal length, fittings one by one; every socket of a fitting and every
// whole 6 m of pipe adds a ring of the socket's ring type.
//
// Diameters are kept filled on the left with "!" to 5 characters, so that
// compared as text they sort as numbers; the "!" go when the table is written.
// Rows are told apart by type, stage and diameter: the material of the first
// label met stays with the row.

#include <memory>
#include <string>
#include <vector>

#include "cad/Ponto.h"

class ProgressBar;
class frmCancelar;
namespace acad {
class SelectionSet;
}

struct ItemTubo {
    int Etapa = 0;
    std::string Material;
    std::string Codigo;
    std::string Descricao;
    std::string Diametro;
    double Quantidade = 0.0;  // metres
};

struct ItemConexao {
    int Etapa = 0;
    std::string Material;  // "~~~~" for rings: after every material name
    std::string Codigo;
    std::string Descricao;
    std::string Diametro;  // one padded diameter, or two joined by "x"
    long long Quantidade = 0;
};

class clsWATQtt {
public:
    clsWATQtt();
    ~clsWATQtt();
    clsWATQtt(const clsWATQtt&) = delete;
    clsWATQtt& operator=(const clsWATQtt&) = delete;

    // Set by the caller before INS_Capture; may stay null.
    ProgressBar* Progresso = nullptr;

    // Asks "Ponto de inserção: ", lets the user pick pipe labels and fittings
    // ("A-*") and draws the table there (pipe rows only with SomenteTubos).
    // Cancelado is true when the user stopped (the point refused, the cancel
    // window) or nothing was found; a table already begun stays as drawn.
    void INS_Capture(bool& Cancelado, bool SomenteTubos);

    // The steps, public for the tests of their rules.
    void LerTubos(acad::SelectionSet& ss, bool& Cancelado);
    void LerConexoes(acad::SelectionSet& ss, bool& Cancelado, bool Ignorar);
    void AddTubo(const std::string& Codigo, const std::string& Material, const std::string& Diametro,
                 double Comprimento, int Etapa);
    void AddConexao(const std::string& Codigo, const std::string& Material, const std::string& Diametro, int Etapa,
                    long long Quantidade);
    void DrawQuantitativos(bool SomenteTubos, bool& Cancelado);

    const std::vector<ItemTubo>& Tubos() const { return tubos_; }
    const std::vector<ItemConexao>& Conexoes() const { return conexoes_; }
    double TotalTubos() const { return total_; }
    // Where the next row goes; the tests place the table without a prompt.
    void SetPontoInsercao(const Ponto& P) { ponto_ = P; }

private:
    bool Parou();
    void Passo();
    template <class Item>
    void DescreveEOrdena(std::vector<Item>& Lista, bool& Cancelado);

    std::vector<ItemTubo> tubos_;
    std::vector<ItemConexao> conexoes_;
    Ponto ponto_;
    double total_ = 0.0;
    std::unique_ptr<frmCancelar> cancelar_;
};

// "50" → "!!!50": filled on the left with "!" to 5 characters.
std::string PreencheDiametro(const std::string& Diametro);
