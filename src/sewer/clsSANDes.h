#pragma once
// The sewer drawing class: designed manholes (PV) and reaches (TR), the
// generic network drawn before design, the moving of their attribute texts,
// the field rules that keep a manhole's and a reach's numbers consistent, and
// the elevation of a point. The sewer panel owns one; the design-table import
// and the capture use it too.
//
// Every number it writes goes through FormatNum with the decimals below, which
// the owner sets before any call. Failures of the drawing host that no step
// absorbs (a locked layer, say) reach the caller as acad::Error.

#include <optional>
#include <string>
#include <vector>

#include "cad/Ponto.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/TextEntities.h"

class clsSANDes {
public:
    int gPRECCOTA = 3;  // elevations
    int gPRECDECL = 6;  // slopes
    int gPRECDIST = 2;  // distances
    int gPRECOORD = 4;  // coordinates

    // --- designed manhole
    // Inserts the manhole block `Tipo` on layer "PV" and writes "NUMERO", "CT",
    // "CS", "CP" and "ET" (the stage number). Without `InsPoint` it asks
    // "Ponto de inserção: ", without `Rotation` "Direção: " from that point.
    // An automatic "E-PV250" is marked "Verificar dimensão do PV". Null when
    // there is no connection, no block or the user gave no point or direction.
    acad::BlockReference* DrawPV(const std::optional<Ponto>& InsPoint, std::optional<double> Rotation,
                                 const std::string& Tipo, const std::string& Numero, const std::string& Cter,
                                 const std::string& CSol, const std::string& Prof, int Etapa, bool Automatico);
    // Drawing size (DwgDiam) of the first manhole type of that block; 0 when none.
    double ValorParam(const std::string& Bloco) const;

    // --- designed reach
    // Draws the reach from manhole PVM (upstream) to PVJ: the flow line between
    // the two symbols' rims on the layer of its diameter and stage, and the block
    // "E-TRSAN" at the middle with the reach's attributes. `HasTQorDG` receives
    // the drop code: "" none, "D" a step, "T" a drop pipe. The caller has
    // connected. A length, slope, diameter or manhole invert that is not a
    // number, or two manholes at one place, draw nothing and are told to the
    // user; the result is then null.
    acad::BlockReference* DrawTR(acad::BlockReference* PVM, acad::BlockReference* PVJ, const std::string& Diam,
                                 const std::string& Comp, const std::string& Decl, const std::string& MAT, int Etapa,
                                 const std::string& Trecho, const std::string& Pavmto, std::string& HasTQorDG);

    // --- generic network (the caller has connected)
    // Inserts "E-PVGEN" at `Pt` (asked with "Selecione local: " when absent) on
    // the current layer with "NUMERO", "CT" (3 decimals) and "ET". Null when no
    // point was given or the elevation is not a number (told to the user).
    acad::BlockReference* InsertPVGen(const std::optional<Ponto>& Pt, const std::string& Numero,
                                      const std::string& Cota, int Etapa);
    // Asks for two generic manholes ("Selecione PV 1: ", "Selecione PV 2: ") and
    // draws the reach between them; a cancelled pick ends it quietly.
    void InsertTRGen(int Etapa, const std::string& Contrib, const std::string& PAVIM, const std::string& Material);
    // Draws the generic reach "E-TRCGEN" from PV1 to PV2 with its line, and
    // warns "Sentido desfavorável" and "Este Trecho é maior que 100 metros"
    // until the user ticks "Não mostrar mais esta mensagem." in each. Null when
    // nothing was drawn.
    acad::BlockReference* InsertTRGenObjs(acad::BlockReference* PV1, acad::BlockReference* PV2, int Etapa,
                                          const std::string& Contrib, const std::string& PAVIM,
                                          const std::string& Material);

    // --- attribute texts
    // Lets the user pick texts (or blocks) of the sewer blocks and place them,
    // until a pick finds nothing.
    void MoverAtt();
    // The elevation texts of a manhole, or the texts of a reach, arranged at
    // `Destino` (asked when absent) with a leader from the manhole's rim.
    void MoveAtt2(acad::BlockReference* Bloco, std::optional<Ponto> Destino);
    // The number of a manhole, or the drop texts of a reach, moved to a point
    // the user picks, with a leader.
    void MoveAtt3(acad::BlockReference* Bloco);

    // --- field rules: inputs are read first; a text that is not a number
    // leaves every text as it was (false). An empty field (or a lone "." or
    // ",") is 0.
    bool Val_PVCtTer(int Decimais, std::string& CtTer, std::string& CtSol, std::string& CtPrf);
    bool Val_PVCtSol(int Decimais, std::string& CtTer, std::string& CtSol, std::string& CtPrf);
    bool Val_PVCtPrf(int Decimais, std::string& CtTer, std::string& CtSol, std::string& CtPrf);
    // Altura = (CSol1 − CSol2) − Compr × Decl.
    bool Val_TRDecl(int Decimais, double CSol1, double CSol2, const std::string& Compr, std::string& Decl,
                    std::string& Altura);
    // Decl = ((CSol1 − CSol2) − Altura) / Compr; a length of 0 changes nothing.
    bool Val_TRAltr(int Decimais, double CSol1, double CSol2, const std::string& Compr, std::string& Decl,
                    std::string& Altura);

    // --- elevation of a point: the elevation text, "" when none was obtained.
    // `MarcarErro` circles the picked survey point; with `UseObjZ` any position
    // is taken and its Z is the elevation.
    std::string CalcCotaPoint(std::optional<Ponto>& Pt, bool MarcarErro, bool UseObjZ);
    // Asks the manhole's place and two points and interpolates their elevations
    // along the line through them (beyond either point the line is extended).
    std::string CalcCotaInterp(std::optional<Ponto>& Pt, bool MarcarErro, bool UseObjZ);

private:
    std::string MakeTRName(double Diametro, int Etapa);
    std::string PipeKindCode(double Queda, const std::string& Material, const std::string& Diametro) const;
    void MoveAttPick(bool& Stop);
    void MoveTRTexts(acad::BlockReference* Bloco);

    // Warnings switched off by the user for the life of the object.
    bool semAvisoSentido_ = false;
    bool semAvisoComprimento_ = false;
};
