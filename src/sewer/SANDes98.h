#pragma once
// The sewer panel: a user control on the main window's sewer tab. It loads the
// sewer catalogue when the tab is first chosen, keeps its settings in the
// host's property bag, and turns its fields and buttons into calls of its
// drawing object (designed and generic manholes and reaches, reach
// parameters, copied attributes, moved texts, elevations of points).
//
// Three tab sets share the panel's place; `Interface` chooses the one shown
// and moves the others out of sight (left 4000 twips):
//   0  SSDesenho (PV, TR, generic network, tools) with the stage list below it
//   1  SSTabBrivan (export, import, verification, quantities, bulk change,
//      themes) with the progress bar below it
//   2  SSPrefs (zoom values and verification tolerances)
// The network tab set's buttons and menus are laid out here; their commands
// come with the workers they call. The verification page prepares and runs
// a verification of the designed or the generic network, keeps its fault
// list (ErrList) and zooms to a fault clicked there.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "cad/Ponto.h"
#include "platform/ado/DataControl.h"
#include "platform/forms/Forms.h"
#include "sewer/clsSANDes.h"
#include "sewer/clsSANEdit.h"
#include "sewer/clsSANExp.h"
#include "sewer/clsSANImp.h"
#include "sewer/clsSANVerif.h"
#include "sewer/clsSANVerifGen.h"
#include "sewer/frmCalcCotaPT.h"
#include "shell/PicMnuUsrCtl.h"
#include "shell/ProgressBar.h"

class SANDes98 : public forms::UserControl {
public:
    explicit SANDes98(Init init);

    // Called by the main window with False each time the sewer tab is chosen:
    // the first call (or any with Recarregar) loads the catalogue, fills the
    // lists and menus and makes a new drawing object; later ones return at
    // once. A catalogue that cannot be loaded is told by the loader and leaves
    // the panel unstarted, so the next choice of the tab tries again.
    void Start(bool Recarregar);
    bool Iniciado() const { return Iniciado_; }

    // --- settings kept by the host (each setter marks the property changed)
    int PRECCOTA() const { return PRECCOTA_; }  // decimals of elevations
    void SetPRECCOTA(int v);
    int PRECDIST() const { return PRECDIST_; }  // decimals of distances
    void SetPRECDIST(int v);
    int PRECDECL() const { return PRECDECL_; }  // decimals of slopes
    void SetPRECDECL(int v);
    int PRECOORD() const { return PRECOORD_; }  // decimals of coordinates
    void SetPRECOORD(int v);
    // Stored and kept only: the fields follow their own separator rules.
    long SeparadorDecimal() const { return SeparadorDecimal_; }
    void SetSeparadorDecimal(long v);
    // Factor applied after zooming to the window of two points.
    double AcadZoomScale() const { return AcadZoomScale_; }
    void SetAcadZoomScale(double v);
    // View height when zooming centred on a point (0 leaves the view).
    int AcadZoomCenter() const { return AcadZoomCenter_; }
    void SetAcadZoomCenter(int v);
    // Tolerances of the elevation and slope checks and of the length checks.
    double TolVerifCota() const { return TolVerifCota_; }
    void SetTolVerifCota(double v);
    double TolVerifComp() const { return TolVerifComp_; }
    void SetTolVerifComp(double v);
    // Which tab set is shown (0, 1 or 2; any other value is kept, nothing moves).
    int Interface() const { return Interface_; }
    void SetInterface(int v);
    // hDC() and hWnd() come with the control.

    // ---------------------------------------------------------------- drawing tab set
    forms::TabControl& SSDesenho = ComAbas(Add<forms::TabControl>("SSDesenho"), 4);

    // Captions beside the fields; lblDes(0) and lblDes(10), the two "C.Terreno:",
    // open the elevation dialog.
    forms::ControlArray<forms::Label>& lblDes = AddArray<forms::Label>("lblDes", {0, 1, 2, 3, 7, 8}, SSDesenho.Page(0));
    // Number fields: 0 ground, 1 invert, 2 depth, 3 number of the PV; 4 length,
    // 5 slope, 6 drop of the TR; 7 ground and 8 number of the generic PV.
    forms::ControlArray<forms::TextBox>& DesTxt = AddArray<forms::TextBox>("DesTxt", {0, 1, 2, 3}, SSDesenho.Page(0));
    // Name prefixes: 0 of generic PVs, 1 of designed PVs.
    forms::ControlArray<forms::TextBox>& DesTxtS = AddArray<forms::TextBox>("DesTxtS", {1}, SSDesenho.Page(0));
    // Spinner labels: a drag over one steps the number (lblMouseI) or the list
    // entry (lblMouse) that its Tag names.
    forms::ControlArray<forms::Label>& lblMouseI = AddArray<forms::Label>("lblMouseI", {0, 1, 2, 3}, SSDesenho.Page(0));
    forms::ControlArray<forms::Label>& lblMouse = AddArray<forms::Label>("lblMouse", {0}, SSDesenho.Page(0));
    forms::ComboBox& DesPVcbo = Add<forms::ComboBox>("DesPVcbo", SSDesenho.Page(0));
    forms::CheckBox& CalcCotasUseObjZChk = Add<forms::CheckBox>("CalcCotasUseObjZChk", SSDesenho.Page(0));
    forms::CommandButton& DesInsertPVcmd = Add<forms::CommandButton>("DesInsertPVcmd", SSDesenho.Page(0));

    // Pipe material: 0 of the designed TR, 1 of the generic TR.
    forms::ControlArray<forms::ComboBox>& DesMatTuboCbo =
        AddArray<forms::ComboBox>("DesMatTuboCbo", {0}, SSDesenho.Page(1));
    forms::ListBox& DesTuboDiamlst = Add<forms::ListBox>("DesTuboDiamlst", SSDesenho.Page(1));
    // Pavement: 0 of the generic TR, 1 of the designed TR.
    forms::ControlArray<forms::ComboBox>& DesPavmtoCbo =
        AddArray<forms::ComboBox>("DesPavmtoCbo", {0}, SSDesenho.Page(2));
    // 0 "Param." (pick the two PVs), 1 "&Inserir" (draw the TR).
    forms::ControlArray<forms::CommandButton>& DesInsertTRcmd =
        AddArray<forms::CommandButton>("DesInsertTRcmd", {0, 1}, SSDesenho.Page(1));
    forms::CommandButton& CopyAttTRCmd = Add<forms::CommandButton>("CopyAttTRCmd", SSDesenho.Page(1));

    forms::CheckBox& DesGenChk = Add<forms::CheckBox>("DesGenChk", SSDesenho.Page(2));
    forms::CommandButton& DesInsertPVGenCmd = Add<forms::CommandButton>("DesInsertPVGenCmd", SSDesenho.Page(2));
    forms::Frame& DesGenContribFra = Add<forms::Frame>("DesGenContribFra", SSDesenho.Page(2));
    forms::ControlArray<forms::OptionButton>& DesGenContribOpt =
        AddArray<forms::OptionButton>("DesGenContribOpt", {0, 1, 2}, DesGenContribFra);
    forms::CommandButton& DesInsertTRGenCmd = Add<forms::CommandButton>("DesInsertTRGenCmd", SSDesenho.Page(2));

    forms::CommandButton& DesMoveAttCmd = Add<forms::CommandButton>("DesMoveAttCmd", SSDesenho.Page(3));
    forms::CommandButton& PointInfoCmd = Add<forms::CommandButton>("PointInfoCmd", SSDesenho.Page(3));
    forms::TextBox& Notas = Add<forms::TextBox>("Notas", SSDesenho.Page(3));
    // 0 inserts the date, 1 the time.
    forms::ControlArray<forms::CommandButton>& NotasCmd =
        AddArray<forms::CommandButton>("NotasCmd", {0, 1}, SSDesenho.Page(3));

    // The construction stage of what is drawn, under the drawing tab set.
    forms::ComboBox& DesEtapaCbo = Add<forms::ComboBox>("DesEtapaCbo");

    // ---------------------------------------------------------------- network tab set
    forms::TabControl& SSTabBrivan = ComAbas(Add<forms::TabControl>("SSTabBrivan"), 6);
    // Capture, numbering and export.
    forms::CommandButton& SANCaptureCmd = Add<forms::CommandButton>("SANCaptureCmd", SSTabBrivan.Page(0));
    forms::CheckBox& SANAutoNumColChk = Add<forms::CheckBox>("SANAutoNumColChk", SSTabBrivan.Page(0));
    forms::TextBox& SANColIniTxt = Add<forms::TextBox>("SANColIniTxt", SSTabBrivan.Page(0));
    forms::CheckBox& SANAutoNumPVChk = Add<forms::CheckBox>("SANAutoNumPVChk", SSTabBrivan.Page(0));
    forms::TextBox& SANPVIniTxt = Add<forms::TextBox>("SANPVIniTxt", SSTabBrivan.Page(0));
    forms::TextBox& SANPrefixtxt = Add<forms::TextBox>("SANPrefixtxt", SSTabBrivan.Page(0));
    forms::Frame& frmColetor = Add<forms::Frame>("frmColetor", SSTabBrivan.Page(0));
    forms::Label& SANColetorLbl = Add<forms::Label>("SANColetorLbl", frmColetor);
    forms::CommandButton& SANNumereCmd = Add<forms::CommandButton>("SANNumereCmd", frmColetor);
    forms::CommandButton& SANSaveDXFCmd = Add<forms::CommandButton>("SANSaveDXFCmd", SSTabBrivan.Page(0));
    // Import of design tables.
    PicMnuUsrCtl& ImpMenu = Add<PicMnuUsrCtl>("ImpMenu", SSTabBrivan.Page(1));
    forms::Label& IMPLbl = Add<forms::Label>("IMPLbl", SSTabBrivan.Page(1));
    forms::CommandButton& SanRecuperaCmd = Add<forms::CommandButton>("SanRecuperaCmd", SSTabBrivan.Page(1));
    // Bound by the import to its final workbook ("Excel 8.0;").
    ado::DataControl Data2;
    // Verification.
    forms::CheckBox& CONFChk = Add<forms::CheckBox>("CONFChk", SSTabBrivan.Page(2));
    forms::ControlArray<forms::CommandButton>& CONFCmd =
        AddArray<forms::CommandButton>("CONFCmd", {0, 1}, SSTabBrivan.Page(2));
    forms::CommandButton& ConfLimpaCmd = Add<forms::CommandButton>("ConfLimpaCmd", SSTabBrivan.Page(2));
    forms::ListBox& SANERROptlst = Add<forms::ListBox>("SANERROptlst", SSTabBrivan.Page(2));
    forms::ListBox& SANERRlst = Add<forms::ListBox>("SANERRlst", SSTabBrivan.Page(2));
    // Quantities.
    PicMnuUsrCtl& InsMenu = Add<PicMnuUsrCtl>("InsMenu", SSTabBrivan.Page(3));
    // Bound by the quantity spreadsheet to the workbook it writes.
    ado::DataControl Data1;
    // Bulk change.
    forms::CheckBox& CHchk = Add<forms::CheckBox>("CHchk", SSTabBrivan.Page(4));
    forms::ComboBox& CHMatCbo = Add<forms::ComboBox>("CHMatCbo", SSTabBrivan.Page(4));
    forms::ComboBox& CHPavCbo = Add<forms::ComboBox>("CHPavCbo", SSTabBrivan.Page(4));
    forms::ComboBox& CHConCbo = Add<forms::ComboBox>("CHConCbo", SSTabBrivan.Page(4));
    forms::ComboBox& CHEtCbo = Add<forms::ComboBox>("CHEtCbo", SSTabBrivan.Page(4));
    forms::CommandButton& CHSelectCmd = Add<forms::CommandButton>("CHSelectCmd", SSTabBrivan.Page(4));
    forms::CommandButton& CHChangeCmd = Add<forms::CommandButton>("CHChangeCmd", SSTabBrivan.Page(4));
    forms::Label& CHlbl = Add<forms::Label>("CHlbl", SSTabBrivan.Page(4));
    // Themes.
    forms::ComboBox& TEMACbo = Add<forms::ComboBox>("TEMACbo", SSTabBrivan.Page(5));
    forms::CommandButton& TEMAPesqCmd = Add<forms::CommandButton>("TEMAPesqCmd", SSTabBrivan.Page(5));
    forms::FlexGrid& TEMAFlg = Add<forms::FlexGrid>("TEMAFlg", SSTabBrivan.Page(5));
    forms::CommandButton& TEMAPrintCmd = Add<forms::CommandButton>("TEMAPrintCmd", SSTabBrivan.Page(5));

    // Under the network tab set.
    ProgressBar& Progress1 = Add<ProgressBar>("Progress1");

    // ---------------------------------------------------------------- preferences
    forms::TabControl& SSPrefs = ComAbas(Add<forms::TabControl>("SSPrefs"), 1);
    // 0 AcadZoomCenter, 1 AcadZoomScale in tenths.
    forms::ControlArray<forms::HScrollBar>& PrefScr1 = AddArray<forms::HScrollBar>("PrefScr1", {0, 1}, SSPrefs.Page(0));
    // 0 TolVerifCota, 1 TolVerifComp, typed with "," as decimal separator.
    forms::ControlArray<forms::TextBox>& PrefsTxt = AddArray<forms::TextBox>("PrefsTxt", {0, 1}, SSPrefs.Page(0));
    forms::Label& Label1 = Add<forms::Label>("Label1", SSPrefs.Page(0));

private:
    // The tab count is a design value the pages below need before they exist.
    static forms::TabControl& ComAbas(forms::TabControl& Tabs, int Count)
    {
        Tabs.SetTabs(Count);
        return Tabs;
    }

    void ArrumaControles();
    void MostraConjunto(int Conjunto);
    void CreateSANDes();

    // quantities: the table in the drawing (button 1) and the spreadsheet (2);
    // the menu is off while either runs.
    void InsertQuantities();
    void InsMenu_Click(int Index);
    void InsMenu_Mouse(const std::string& Texto);

    // host
    static const forms::Settings<SANDes98> kSettings;
    void MostraPreferencias();
    void UserControl_Paint();
    void UserControl_Resize();

    // drawing commands
    void DesInsertPVcmd_Click();
    void DesInsertTRcmd_Click(int Index);
    void DesInsertTRGenCmd_Click();
    void DesInsertPVGenCmd_Click();
    void CopyAttTRCmd_Click();
    void DesMatTuboCbo_Click(int Index);
    void DesMoveAttCmd_Click();
    void SANAutoNumColChk_Click();
    void SANAutoNumPVChk_Click();
    void SANColIniTxt_Change();

    // numeric fields and spinners
    void DesTxt_GotFocus(int Index);
    void DesTxt_Change(int Index);
    void DesTxt_KeyPress(int Index, int& KeyAscii);
    void DesTxt_LostFocus(int Index);
    void lblDes_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void lblDes_MouseMove(int Index, int Button, int Shift, double X, double Y);
    void SSDesenho_AtualizaRotulos();
    void lblMouseI_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void lblMouseI_MouseMove(int Index, int Button, int Shift, double X, double Y);
    void lblMouseI_MouseUp(int Index, int Button, int Shift, double X, double Y);
    void lblMouse_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void lblMouse_MouseMove(int Index, int Button, int Shift, double X, double Y);
    void lblMouse_MouseUp(int Index, int Button, int Shift, double X, double Y);
    void CalcCotasUseObjZChk_Click();
    void PrefScr1_Change(int Index);
    void PrefsTxt_Change(int Index);
    void PrefsTxt_KeyPress(int Index, int& KeyAscii);

    // notes and point information
    void NotasCmd_Click(int Index);
    void PointInfoCmd_Click();

    // verification
    void CONFCmd_Click(int Index);
    void PreparaVerificacao(bool Generica);
    void ExecutaVerificacao(bool Generica);
    void CONFChk_Click();
    void ConfLimpaCmd_Click();
    void SANERRlst_Click();
    // Both verification objects' fault events.
    void MyClsSANVerif_ConfereErroMsg(int ErrType, std::int32_t ObjectId, std::int32_t PVmId, std::int32_t PVjId,
                                      const std::string& Mensagem, const Ponto& Pt1, const std::optional<Ponto>& Pt2);

    // ---- network tabs: tab change, bulk change, themes, progress text
    void SSTabBrivan_Click(int PreviousTab);
    void CHSelectCmd_Click();
    void CHChangeCmd_Click();
    // The four bulk-change values: a list's text, "" for "Não usar".
    void CHValores(std::string& Material, std::string& Pavimento, std::string& Contrib, std::string& Etapa);
    void TEMAPesqCmd_Click();
    void TEMAPrintCmd_Click();
    void TEMAFlg_CopiaTexto(int& KeyCode, int Shift);
    void Progress1_TimerMsg(const std::string& Texto);
    // Bulk change and themes: new at each choice of their tabs, released at
    // every tab change.
    std::unique_ptr<clsSANEdit> MyClsSANEdit;
    // ---- capture, collector numbering and DXF export
    void SANCaptureCmd_Click();
    void SANNumereCmd_Click();
    void SANSaveDXFCmd_Click();
    // The worker of all three: new at each capture, so that the DXF handles
    // of its exports start afresh; the numbering and the exports that follow
    // use the object of the last capture, whose handles run on.
    std::unique_ptr<clsSANExp> MyClsSANExp;
    // The object of the last capture (a new one when there was none), its
    // panel settings given.
    clsSANExp& Exportacao();
    int NumColetores = 0;  // collector starts found by the last capture
    int ColetorAtual = 0;  // collectors numbered since that capture
    // ---- end of capture, collector numbering and DXF export

    // ---- import of design tables: the worker is new at each choice of the
    // import tab and released at every tab change.
    void NovoSANImp();
    void ImpMenu_Click(int Index);
    void ImpMenu_Mouse(const std::string& Descricao);
    void SanRecuperaCmd_Click();
    std::unique_ptr<clsSANImp> MyClsSANImp;

    // The list a list spinner drives: a combo or a list box.
    struct ListaSpin {
        forms::ComboBox* Combo = nullptr;
        forms::ListBox* Lista = nullptr;
        explicit operator bool() const { return Combo || Lista; }
        int ListIndex() const { return Combo ? Combo->ListIndex() : Lista->ListIndex(); }
        int ListCount() const { return Combo ? Combo->ListCount() : Lista->ListCount(); }
        void SetListIndex(int i) const { Combo ? Combo->SetListIndex(i) : Lista->SetListIndex(i); }
    };
    ListaSpin ListaDaTag(const std::string& Tag);

    // The TR's two PVs picked by "Param.": each pick repeated until a PV block
    // with a readable invert (CS) is picked. False when the user gave up.
    bool EscolhePV(const std::string& Prompt, std::int32_t Excluido, std::int32_t& Id, double& CS);

    // settings
    int PRECCOTA_ = 3, PRECDIST_ = 2, PRECDECL_ = 6, PRECOORD_ = 4;
    long SeparadorDecimal_ = 1;
    double AcadZoomScale_ = 0.4;
    int AcadZoomCenter_ = 400;
    double TolVerifCota_ = 0.01, TolVerifComp_ = 0.1;
    int Interface_ = 0;

    bool Iniciado_ = false;
    std::unique_ptr<clsSANDes> Des_;  // the drawing object, new at each full start
    std::unique_ptr<frmCalcCotaPT> cotaDlg_;
    // The verification prepared last: at most one of them holds an object.
    std::unique_ptr<clsSANVerif> MyClsSANVerif;
    std::unique_ptr<clsSANVerifGen> MyClsSANVerifGen;

    // Shared by the drawing commands. The PVs of "Param." are kept by object
    // id: the drawing they came from may be closed meanwhile.
    bool UsarPontoCalculado = false;
    std::optional<Ponto> PontoCalculado;
    std::int32_t PV1Obj = 0, PV2Obj = 0;
    double CS1 = 0, CS2 = 0;
    double Comprimento = 0;
    std::string TrechoNome;
    int CampoComFoco = 0;
    bool UsarZObjeto = false;

    // Numeric spinner drag.
    std::string SpinCampo;
    int SpinX0 = 0, SpinY0 = 0;
    double SpinValor0 = 0;
    bool SpinLido = false;  // the field held a number when the drag began
    // List spinner drag.
    std::string ListaCampo;
    int ListaX0 = 0;
    int ListaIndice0 = 0, ListaContagem = 0;
    int ListaPasso = 0;
};
