#pragma once
// The water drawing class: places the fittings of the water network, draws
// the pipes between them with their label block "A-TUBO", and finds fittings
// and pipes by code. The water panel owns one for its whole life.
//
// Every operation connects to (or expects) the drawing host and the water
// catalogue loaded by clsWATDb::LoadDb; it keeps nothing between calls.

#include <memory>
#include <string>

class ProgressBar;
class frmCancelar;

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

private:
    // Unloads the cancel window, keeping where the user left it.
    void FechaCancelar();

    std::unique_ptr<frmCancelar> fCancel;  // alive only during one search
};
