#pragma once
// The design-table import: the user opens a design table (OpenTable), which
// is checked for empty required fields, its material names resolved against
// the sewer catalogue (the picker frmList asks for names it does not know),
// the PV and TR tables filled from its records and the whole network drawn
// into a new drawing (DrawCmd), which the user is then offered to save. The
// same object recovers a generic network from the reach lines of an older
// drawing (CaptureOld).
//
// The sewer panel makes one each time its import tab is chosen and sets the
// public variables from its controls and settings before any call. The PV and
// TR tables stay filled after an import for the panel's other commands.

#include <memory>
#include <string>

#include "platform/ado/Ado.h"
#include "platform/forms/Forms.h"
#include "sewer/clsSANDes.h"
#include "sewer/clsTabela1.h"
#include "shell/ProgressBar.h"
#include "shell/clsCommonDialog.h"
#include "shell/modArquivos.h"

namespace platform {
class FileReplacement;
}

class clsSANImp {
public:
    ProgressBar* cProgress = nullptr;
    forms::Label* cLabel = nullptr;     // shows the open table's file name
    ado::DataControl* cData = nullptr;  // bound to the final workbook
    double gAcadZoomCenter = 400.0;     // view height of the centred zooms
    double gAcadZoomScale = 0.4;        // factor after a window zoom
    int gPRECCOTA = 3;
    int gPRECDECL = 6;
    int gPRECDIST = 2;
    int gPRECOORD = 4;
    // Full path of the open table less ".dbf"; "" while none is open.
    std::string IMPFilename;

    // Recovers the generic network from the lines on "REDE" that carry
    // extended data: a generic manhole numbered 1, 2, 3 ... at every line end
    // that has none, then a generic reach along every line whose two ends
    // have one, with the line's pavement and contribution. Works on the active
    // drawing and offers to save it.
    void CaptureOld();
    // Draws every manhole of the PV table and notes its block's object id.
    void DrawPVs();
    // Draws every reach of the TR table between its two manholes.
    void DrawTRs();
    // Lets the user choose a design table and opens it.
    void OpenTable();
    // Draws the open table's network into a new drawing.
    void DrawCmd();
    // Writes the open table into a copy of the final workbook template
    // "dadosfinais.xls" that the user names, then opens it with its program.
    void SaveXLS();
    // Lets the user choose a design table and opens it in the record editor,
    // beside the panel.
    void EditTable();

    // The open table; null while none is.
    clsTabela1* Tabela() const { return tabela_.get(); }

private:
    void NewSANDes();
    // Saves the active drawing under the name the user chooses.
    void SalvaDesenho(const std::string& Nome, const std::string& Filtro);
    void Avanca(int Passos = 1);
    // The rows of the final workbook, into the sheet bound to cData (the
    // copy that replaces the user's workbook); the reaches that could not be
    // written are named in one message at the end. False when the rows could
    // not be saved into the file.
    bool WriteXLSRows(const platform::FileReplacement& Copia);

    std::unique_ptr<clsSANDes> des_;
    std::unique_ptr<clsTabela1> tabela_;
    // The open table's file, which no output of the program may replace.
    std::unique_ptr<ArquivoEmUso> emUso_;
    std::unique_ptr<clsCommonDialog> dlg_;
    // What the running pass is at, named in the message of a failure.
    std::string registro_;
};
