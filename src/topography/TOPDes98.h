#pragma once
// The topography panel: a user control on the main window's topography tab.
// Six tabs (SSTopo) of commands: buildings ("Cadastro"), map sheets
// ("Margens"), block replacement ("Blocos"), survey points ("Pontos", the
// picture menu PtoMenu), sections ("Seções") and repairs ("Misc."), each with
// its progress bar. The main window calls Start each time the tab is chosen;
// every command attaches to the drawing host itself (ConectaAcad). Its
// settings live in the host's property bag.

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "shell/PicMnuUsrCtl.h"
#include "shell/ProgressBar.h"
#include "topography/modTrocaBlocos.h"

namespace acad {
class SelectionSet;
}
class clsTOPDb;
class clsTOPSec;

class TOPDes98 : public forms::UserControl {
public:
    explicit TOPDes98(Init init);
    ~TOPDes98() override;

    // Called by the main window each time the topography tab is chosen: reads
    // the block catalogue (a failure is told by the loader and keeps the
    // catalogue it had) and builds the survey-point menu.
    void Start();

    // --- settings kept by the host (each setter marks the property changed)
    double MARVPDimX() const { return MARVPDimX_; }  // viewport width on paper of a map sheet
    void SetMARVPDimX(double v);
    double MARVPDimY() const { return MARVPDimY_; }  // viewport height on paper of a map sheet
    void SetMARVPDimY(double v);
    double MAREscala() const { return MAREscala_; }  // sheet scale denominator
    void SetMAREscala(double v);
    int AcadZoomCenter() const { return AcadZoomCenter_; }
    void SetAcadZoomCenter(int v);
    double AcadZoomScale() const { return AcadZoomScale_; }
    void SetAcadZoomScale(double v);
    long SeparadorDecimal() const { return SeparadorDecimal_; }
    void SetSeparadorDecimal(long v);
    int PRECCOTA() const { return PRECCOTA_; }  // decimals of elevations
    void SetPRECCOTA(int v);
    int PRECOORD() const { return PRECOORD_; }  // decimals of coordinates
    void SetPRECOORD(int v);
    int PRECDIST() const { return PRECDIST_; }  // decimals of distances
    void SetPRECDIST(int v);
    long hwnd() const { return hWnd(); }

    // The section worker while "Seções" is the last tab chosen; null otherwise.
    clsTOPSec* Secao() const { return Secao_.get(); }
    // The building type last chosen on "Cadastro" (0 to 5) and its block
    // ("" until a type is chosen).
    int TipoCadastro() const { return TipoCadastro_; }
    const std::string& BlocoCadastro() const { return BlocoCadastro_; }

    forms::TabControl& SSTopo = ComAbas(Add<forms::TabControl>("SSTopo"), 6);

    // ---------------------------------------------------------------- 0 "Cadastro"
    forms::PictureBox& Picture1 = Add<forms::PictureBox>("Picture1", SSTopo.Page(0));
    // 0 "Nome :", 1 "Número :", 2 "Aptos :", 3 "Comercios :".
    forms::ControlArray<forms::TextBox>& CADtxt = AddArray<forms::TextBox>("CADtxt", {0, 1, 2, 3}, Picture1);
    forms::ControlArray<forms::Label>& CADlbl = AddArray<forms::Label>("CADlbl", {0, 1, 2, 3}, Picture1);
    forms::CommandButton& CADInsertCmd = Add<forms::CommandButton>("CADInsertCmd", SSTopo.Page(0));
    forms::Label& CADlbl2 = Add<forms::Label>("CADlbl2", SSTopo.Page(0));
    forms::Frame& CADFrm = Add<forms::Frame>("CADFrm", SSTopo.Page(0));
    // The building types; the markers beside them: Bu hovered, Bd pressed.
    forms::ControlArray<forms::Image>& Im = AddArray<forms::Image>("Im", {0, 1, 2, 3, 4, 5, 6, 7}, CADFrm);
    forms::Image& Bu = Add<forms::Image>("Bu", CADFrm);
    forms::Image& Bd = Add<forms::Image>("Bd", CADFrm);
    ProgressBar& ProgressBar1 = Add<ProgressBar>("ProgressBar1", SSTopo.Page(0));

    // ---------------------------------------------------------------- 1 "Margens"
    // 0 "Preparação em ModelSpace:", 1 "Constução das Pranchas em PaperSpace:".
    forms::ControlArray<forms::Label>& MARlbl = AddArray<forms::Label>("MARlbl", {0, 1}, SSTopo.Page(1));
    forms::CommandButton& InsQuaCmd = Add<forms::CommandButton>("InsQuaCmd", SSTopo.Page(1));
    forms::CommandButton& NumQuadCmd = Add<forms::CommandButton>("NumQuadCmd", SSTopo.Page(1));
    forms::CommandButton& InsUTMCmd = Add<forms::CommandButton>("InsUTMCmd", SSTopo.Page(1));
    // 0 "Em Arquivos individuais", 1 "Em Layouts", 2 "Modo Preview".
    forms::ControlArray<forms::CommandButton>& MarArqs =
        AddArray<forms::CommandButton>("MarArqs", {0, 1, 2}, SSTopo.Page(1));
    ProgressBar& MARProgress = Add<ProgressBar>("MARProgress", SSTopo.Page(1));
    forms::Label& MARProgressLbl = Add<forms::Label>("MARProgressLbl", SSTopo.Page(1));

    // ---------------------------------------------------------------- 2 "Blocos"
    // 0 "Trocar este:", 1 "Por este:", 2 "Escala Bloco:", 3 "Escala Texto:".
    forms::ControlArray<forms::Label>& TRBlkCap = AddArray<forms::Label>("TRBlkCap", {0, 1, 2, 3}, SSTopo.Page(2));
    // The block to replace and its replacement (".Arquivo..." last: a drawing file).
    forms::ComboBox& TRBlkCbo1 = Add<forms::ComboBox>("TRBlkCbo1", SSTopo.Page(2));
    forms::ComboBox& TRBlkCbo2 = Add<forms::ComboBox>("TRBlkCbo2", SSTopo.Page(2));
    // The attribute map: row i of the frame, 315 twips high, is the old tag
    // TRBlkLbl(i) and the new tag chosen in TRBlkCbo3(i); rows beyond 0 are
    // loaded as a block needs them and hidden, never unloaded. The scroll bar
    // moves the frame up inside the picture box, four rows in sight.
    forms::PictureBox& TRblkPic = Add<forms::PictureBox>("TRblkPic", SSTopo.Page(2));
    forms::Frame& TRBlkFrm = Add<forms::Frame>("TRBlkFrm", TRblkPic);
    forms::ControlArray<forms::Label>& TRBlkLbl = AddArray<forms::Label>("TRBlkLbl", {0}, TRBlkFrm);
    forms::ControlArray<forms::ComboBox>& TRBlkCbo3 = AddArray<forms::ComboBox>("TRBlkCbo3", {0}, TRBlkFrm);
    forms::VScrollBar& TRBlkScr = Add<forms::VScrollBar>("TRBlkScr", SSTopo.Page(2));
    // 0 block factor, 1 text-height factor.
    forms::ControlArray<forms::TextBox>& TRBlkTxt = AddArray<forms::TextBox>("TRBlkTxt", {0, 1}, SSTopo.Page(2));
    // "Inicia" fills the lists, "Executa" replaces.
    forms::CommandButton& TRBlkExecutaCmd = Add<forms::CommandButton>("TRBlkExecutaCmd", SSTopo.Page(2));
    ProgressBar& BLKProgress = Add<ProgressBar>("BLKProgress", SSTopo.Page(2));

    // ---------------------------------------------------------------- 3 "Pontos"
    PicMnuUsrCtl& PtoMenu = Add<PicMnuUsrCtl>("PtoMenu", SSTopo.Page(3));
    forms::Label& lblPtos = Add<forms::Label>("lblPtos", SSTopo.Page(3));
    ProgressBar& PTSProgress = Add<ProgressBar>("PTSProgress", SSTopo.Page(3));
    forms::Label& PTSProgresslbl = Add<forms::Label>("PTSProgresslbl", SSTopo.Page(3));

    // ---------------------------------------------------------------- 4 "Seções"
    // 0 start station ("Progressiva :"), 1 horizontal over vertical scale,
    // 2 equidistance ("Equidistancia :").
    forms::ControlArray<forms::TextBox>& SECtxt = AddArray<forms::TextBox>("SECtxt", {0, 1, 2}, SSTopo.Page(4));
    // 0 "Selecione Polyline", 1 "Desenhar".
    forms::ControlArray<forms::CommandButton>& SECCmd =
        AddArray<forms::CommandButton>("SECCmd", {0, 1}, SSTopo.Page(4));
    // Results: 0 points, 1 lowest, 2 highest elevation, 3 difference, 4 largest
    // difference, 5 length.
    forms::ControlArray<forms::Label>& SEClbl = AddArray<forms::Label>("SEClbl", {0, 1, 2, 3, 4, 5}, SSTopo.Page(4));
    // Captions: 0 "Pontos:", 1 "Menor Cota:", 2 "Maior Cota:", 3 "Diferença:",
    // 4 "Maior diferença:", 5 "Comprimento:", 6 "Progressiva :",
    // 7 "Esc.Vert./Hor.", 8 "/ 1", 9 "Equidistancia :".
    forms::ControlArray<forms::Label>& SECcap =
        AddArray<forms::Label>("SECcap", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, SSTopo.Page(4));
    ProgressBar& SECProgress = Add<ProgressBar>("SECProgress", SSTopo.Page(4));

    // ---------------------------------------------------------------- 5 "Misc."
    forms::CommandButton& KMTopogCmd = Add<forms::CommandButton>("KMTopogCmd", SSTopo.Page(5));
    forms::CommandButton& CorrigeHatchCmd = Add<forms::CommandButton>("CorrigeHatchCmd", SSTopo.Page(5));
    forms::TextBox& MISCSpl2PlTxt = Add<forms::TextBox>("MISCSpl2PlTxt", SSTopo.Page(5));
    forms::CommandButton& MISCSpl2PlCmd = Add<forms::CommandButton>("MISCSpl2PlCmd", SSTopo.Page(5));
    forms::CommandButton& MISCZzeroCmd = Add<forms::CommandButton>("MISCZzeroCmd", SSTopo.Page(5));
    ProgressBar& MISCProgress = Add<ProgressBar>("MISCProgress", SSTopo.Page(5));
    forms::Label& MISCProgresslbl = Add<forms::Label>("MISCProgresslbl", SSTopo.Page(5));

private:
    // The tab count is a design value the pages below need before they exist.
    static forms::TabControl& ComAbas(forms::TabControl& Tabs, int Count)
    {
        Tabs.SetTabs(Count);
        return Tabs;
    }

    void ArrumaControles();

    // host
    static const forms::Settings<TOPDes98> kSettings;
    void UserControl_Resize();

    void SSTopo_Click(int PreviousTab);
    // The point menu's commands by item (1 to 9), after connecting.
    void PtoMenu_Click(int Index);
    void PtoMenu_Mouse(const std::string& Descricao);
    void Im_MouseDown(int Index);
    void Im_MouseMove(int Index);
    void Im_MouseUp(int Index);
    void MISCSpl2PlTxt_KeyPress(int& KeyAscii);
    // "Margens": the sheet files (0), layouts (1) or preview (2).
    void MarArqs_Click(int Index);

    // "Margens": each press makes a new map sheet worker.
    void InsQuaCmd_Click();
    void NumQuadCmd_Click();
    void InsUTMCmd_Click();

    // "Seções": select the polyline (0) or draw it (1), and the entries.
    void SECCmd_Click(int Index);
    void SECtxt_KeyPress(int Index, int& KeyAscii);
    void SECtxt_LostFocus(int Index);

    // "Cadastro": the building types, their insertion, marker and table.
    void SelecionaTipoCadastro(int Index);
    void CADInsertCmd_Click();
    void QuantidadesCadastro();
    void CADtxt_GotFocus(int Index);
    void CADtxt_KeyDown(int Index, int& KeyCode);

    // "Misc.": repairs and the street length.
    void CorrigeHatchCmd_Click();
    void KMTopogCmd_Click();
    void MISCSpl2PlCmd_Click();
    void MISCZzeroCmd_Click();

    // "Blocos": block replacement
    void TRBlkExecutaCmd_Click();
    void TRBlkInicia();
    void TRBlkExecuta();
    bool TRBlkLinhasDoBloco(const std::string& Nome);
    void TRBlkListas();
    void TRBlkCbo1_Click();
    void TRBlkCbo2_Click();
    void TRBlkCbo3_Click(int Index);
    void TRBlkScr_Change();
    void TRBlkTxt_KeyPress(int Index, int& KeyAscii);
    // The rows of the block to replace that the user sees (row 0 always).
    int TRBlkLinhas() const { return LinhasAtributo_ > 1 ? LinhasAtributo_ : 1; }

    // settings
    double MARVPDimX_ = 786;
    double MARVPDimY_ = 499;
    double MAREscala_ = 1000;
    int AcadZoomCenter_ = 400;
    double AcadZoomScale_ = 0.4;
    long SeparadorDecimal_ = 1;
    int PRECCOTA_ = 3, PRECOORD_ = 4, PRECDIST_ = 2;

    std::unique_ptr<clsTOPDb> Db_;            // made by the first Start
    std::unique_ptr<clsTOPSec> Secao_;        // made when "Seções" is chosen
    acad::SelectionSet* Conjunto_ = nullptr;  // the "SS1" set of the last point tool
    int ImAnterior_ = -1;                     // the building-type button last hovered
    int TipoCadastro_ = 0;
    std::string BlocoCadastro_;


    // "Blocos"
    bool ListasProntas = false;   // the two block lists are filled
    std::string BlocoNovo;        // the replacement block
    int UltimaLinhaAtributo = 0;  // highest map row loaded
    int LinhasAtributo_ = 0;      // attributes of the block to replace (its rows in use)
    std::vector<MapaAtributoRec> MapaAtributos;
    acad::SelectionSet* ConjuntoNovo = nullptr;  // "SS2": the replacement block's insertions
    std::vector<std::string> TagsNovas_;         // the replacement's tags, offered beside every row
    int Cbo2Anterior_ = 0;                       // the replacement's place in its list
};
