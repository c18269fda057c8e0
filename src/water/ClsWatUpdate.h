#pragma once
// Turns a water drawing of the old block format into the current one:
// fittings "R-" + name (attributes "CÓDIGO", "MAT") become "A-" blocks rebuilt
// from the catalogue (attributes CODIGO, MATERIAL); each pipe line labelled by
// an "R-TUBO" (attributes "TUBO", "ETAPA") becomes a polyline from socket to
// socket of the fittings at its ends, labelled by an "A-TUBO". What the
// automatic pass cannot convert is offered label by label to the user.
//
// LTSCALE is 100 while the conversion runs and comes back however it ends.

#include <functional>
#include <string>

#include "cad/Ponto.h"

class ProgressBar;
namespace acad {
class BlockReference;
class Entity;
}  // namespace acad

class ClsWatUpdate {
public:
    // Asks for the confirmation, converts the drawing in use and ends with
    // the manual phase; nothing happens without a "Sim" and a connection.
    void Update(ProgressBar& Progresso);

    // The user picks one "R-TUBO" ("Selecione Código") and its pipe line
    // ("Selecione linha do tubo:"), and the pair is converted; a wrong pick
    // ends silently, a pipe without a fitting at both ends says "Corrija as
    // conexões".
    void RepareTuboManual();

    // Where the repeated message boxes were left (twips; below 1: centred).
    int MsgLeft = 0;
    int MsgTop = 0;

private:
    // What an old label says of its pipe.
    struct Rotulo {
        std::string Codigo;    // "TUBO"
        std::string Etapa;     // "ETAPA", without the blanks around
        std::string Material;  // of the pipe type; "" when the catalogue lacks it
        std::string Tipo, Diametro;
        bool TemDiametro = false;  // the code holds "DN" and a "-" after it
        Ponto Ancora;
        int Alinhamento = 0;
        double Rotacao = 0.0;
        double EscalaY = 1.0;
        bool Espelhado = false;
    };
    static Rotulo LeRotulo(acad::BlockReference& R);

    bool ConverteTubo(acad::Entity* Tubo, const std::string& Material, const Ponto& Ancora, int Alinhamento,
                      const std::string& Codigo, double Rotacao, double EscalaY, bool Espelhado,
                      const std::string& Etapa, acad::BlockReference* Antigo);
    bool ConverteTubo(acad::Entity* Tubo, const Rotulo& L, acad::BlockReference* Antigo)
    {
        return ConverteTubo(Tubo, L.Material, L.Ancora, L.Alinhamento, L.Codigo, L.Rotacao, L.EscalaY, L.Espelhado,
                            L.Etapa, Antigo);
    }

    void RedefineBlocos(ProgressBar& Progresso);
    void CorrigeConexoes(ProgressBar& Progresso);
    void ConverteAutomatico(ProgressBar& Progresso);
    void FaseManual(const std::function<void()>& RestauraLtscale);
};
