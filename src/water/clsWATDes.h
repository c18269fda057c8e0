#pragma once
// The water drawing class: places the fittings of the water network, draws
// the pipes between them with their label block "A-TUBO", and finds fittings
// and pipes by code, moves the code labels of fittings and pipes and ties
// dimensions. The water panel owns one for its whole life.
//
// Every operation connects to (or expects) the drawing host and the water
// catalogue loaded by clsWATDb::LoadDb. Only the label movers and the tie
// dimension keep something between calls: the tool a right click in the
// drawing repeats, and the object snap to give back when the dimension ends.

#include <memory>
#include <string>

#include "platform/Event.h"
#include "platform/acad/Geometry.h"

class ProgressBar;
class frmCancelar;
namespace acad {
class Document;
class Entity;
}  // namespace acad

class clsWATDes {
public:
    clsWATDes();
    ~clsWATDes();
    clsWATDes(const clsWATDes&) = delete;
    clsWATDes& operator=(const clsWATDes&) = delete;

    // Asks "Ponto de inserção: " and inserts the fitting block `Bloco` (built
    // from the catalogue when the drawing lacks it) at scale 0.5 on the layer
    // "CONEXOES_" + `Etapa`, in the stage's colour; writes and hides CODIGO,
    // MATERIAL, ETAPA and CODIG1 to CODIG4, then leaves ROTATE asking for the
    // angle about the insertion point. A stage other than "0" to "3" or a
    // cancelled point inserts nothing.
    void InsertConex(const std::string& Bloco, const std::string& Material, const std::string& Codigo,
                     const std::string& Etapa, const std::string& Cod1, const std::string& Cod2,
                     const std::string& Cod3, const std::string& Cod4);

    // Draws one pipe between two fittings picked by the user, or along a
    // picked line, polyline or spline whose ends touch two fittings: the
    // polyline on "T_" + diameter (+ "_" + stage) and its label "A-TUBO".
    // `Tubulacao` and `Diametro` empty: both come from the fittings' sockets.
    void DrawTubo(const std::string& Tubulacao, const std::string& Diametro, const std::string& Etapa);

    // Lets the user select fittings and/or pipe labels and walks through every
    // code attribute (CODIGO, CODIG1..CODIG4) containing `Codigo`
    // (case-sensitive), one stop per matching attribute. `Etapa` is not used.
    void Find(const std::string& Codigo, bool EmTubos, bool& EmConexoes, short Etapa, ProgressBar& Progresso);

    // ---- label movers and tie dimension
    // Asks for a fitting ("Selecione objeto:") and a point ("Destino:"): the
    // code labels CODIG1, CODIG2, CODIGO, CODIG3, CODIG4 go there, 1.95 apart
    // from +3.9 down to -3.9, aligned away from the fitting, and a leader on
    // "TEXTO_CON" replaces the one at the old place. No point hides them.
    void MoverAtt();
    // Asks for a pipe label "A-TUBO" and a point: no point puts the code back
    // beside the pipe; a point and a second one ("Rotação:") turn it there;
    // a point alone moves it there with a leader.
    void MoverAttTubo();
    // Starts the host's aligned dimension on the layer "Amarracao" with the
    // nearest-point snap; when the command ends, the dimension it drew shows
    // the text typed at "Distância:" and OSMODE is given back.
    void DimUno();

    // "MoverAtt" or "MoverAttTubo" while a right click in the drawing repeats
    // that mover, "DimUno" while the tie dimension waits for its command to
    // end; "" otherwise. Any command that ends in the drawing empties it.
    const std::string& Ferramenta() const { return Ferramenta_; }
    // The drawing whose right clicks and command ends this object hears; null
    // when none (also once that drawing is closed).
    acad::Document* DocumentoObservado();

private:
    // Unloads the cancel window, keeping where the user left it.
    void FechaCancelar();

    std::unique_ptr<frmCancelar> fCancel;  // alive only during one search

    // Hears `Doc`'s right clicks and command ends instead of the drawing heard
    // so far (none with null).
    void SetCurDoc(acad::Document* Doc);
    void CurDoc_BeginRightClick(const acad::Point3d& PickPoint);
    void CurDoc_EndCommand(const std::string& CommandName);
    // Gives the dimension drawn by DIMALIGNED (`Cotou`) its text and layer,
    // and OSMODE back to `Doc`.
    void TerminaDimUno(acad::Document& Doc, bool Cotou);

    // The drawing heard, and its two events. A closed drawing takes its
    // events with it: the connections then report themselves gone.
    acad::Document* CurDoc = nullptr;
    platform::Event<acad::Point3d>::Connection CliqueDireito_;
    platform::Event<std::string>::Connection FimComando_;
    std::string Ferramenta_;
    int OsmodeSalvo_ = 0;
    // Model space's last entity when the tie dimension started: whatever the
    // command leaves last after it is what the command drew.
    const acad::Entity* UltimoAntesDaCota_ = nullptr;
    // A mover is asking: a right click then answers it and repeats nothing.
    bool Movendo_ = false;
};
