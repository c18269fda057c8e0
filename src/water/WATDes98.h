#pragma once
// The water panel: a user control on the main window's water tab. It loads
// the water catalogue when the tab is first chosen, offers the fittings of a
// material as a picture menu with their diameters, keeps the preferred pipe
// of a material, and turns its buttons and lists into calls of its drawing
// object. Its settings live in the host's property bag.
//
// Three tab sets share the panel's place; `Interface` chooses the one shown
// and moves the others out of sight (left 4000 twips):
//   0  SSDesenho (fittings and search)
//   1  SSTools (quantities, conversion, verification) with ProgressBar2
//   2  SSLumbra (zones, nodes, export) with ProgressBar1

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Event.h"
#include "platform/forms/Forms.h"
#include "shell/PicMnuUsrCtl.h"
#include "shell/ProgressBar.h"
#include "water/clsWATDb.h"

class clsWATDes;
class ClsWATExp;
class clsHatchs;
class clsDelaunay;
class clsCommonDialog;
class ClsWatUpdate;

class WATDes98 : public forms::UserControl {
public:
    explicit WATDes98(Init init);
    ~WATDes98() override;

    // Called by the main window with False each time the water tab is chosen:
    // the first call loads the catalogue and fills the lists; later ones
    // return at once. A catalogue that cannot be loaded is told by the loader
    // and leaves the panel unstarted, so the next choice of the tab tries again.
    void Start(bool Recarregar);
    bool Iniciado() const { return Iniciado_; }

    // --- settings kept by the host (each setter marks the property changed)
    // Which tab set is shown (0, 1 or 2; any other value is kept, nothing moves).
    int Interface() const { return Interface_; }
    void SetInterface(int v);
    int AcadZoomCenter() const { return AcadZoomCenter_; }
    void SetAcadZoomCenter(int v);
    double AcadZoomScale() const { return AcadZoomScale_; }
    void SetAcadZoomScale(double v);
    int SeparadorDecimal() const { return SeparadorDecimal_; }
    void SetSeparadorDecimal(int v);
    int PRECCOTA() const { return PRECCOTA_; }  // decimals of elevations
    void SetPRECCOTA(int v);
    int PRECDIST() const { return PRECDIST_; }  // decimals of distances
    void SetPRECDIST(int v);
    long hwnd() const { return hWnd(); }

    // The codes the draw command gives the current fitting: its code with
    // "DN", the primary diameter and, with a secondary one, "x" and it; and
    // the four extra codes (CODIG1 to CODIG4), empty when unset.
    void CodigosDaConexao(std::string& Codigo, std::string (&Extras)[4]) const;

    // Raised by the export: False when it begins its work, True when it has ended.
    platform::Event<bool> Exportando;

    // ---------------------------------------------------------------- drawing tab set
    forms::TabControl& SSDesenho = ComAbas(Add<forms::TabControl>("SSDesenho"), 2);
    // Captions of the panel's fields, on every page.
    forms::ControlArray<forms::Label>& lblWat = AddArray<forms::Label>("lblWat", {0, 1}, SSDesenho.Page(0));
    forms::ComboBox& Material = Add<forms::ComboBox>("Material", SSDesenho.Page(0));
    forms::ComboBox& Etapa = Add<forms::ComboBox>("Etapa", SSDesenho.Page(0));
    PicMnuUsrCtl& WATMenu = Add<PicMnuUsrCtl>("WATMenu", SSDesenho.Page(0));
    forms::ListBox& WatDP = Add<forms::ListBox>("WatDP", SSDesenho.Page(0));
    forms::ListBox& WatDS = Add<forms::ListBox>("WatDS", SSDesenho.Page(0));
    forms::CommandButton& DesCmd = Add<forms::CommandButton>("DesCmd", SSDesenho.Page(0));
    forms::CommandButton& TuboCmd = Add<forms::CommandButton>("TuboCmd", SSDesenho.Page(0));
    forms::Frame& FERPic = Add<forms::Frame>("FERPic", SSDesenho.Page(0));
    forms::ControlArray<forms::Image>& FERimg = AddArray<forms::Image>("FERimg", {0, 1, 2, 3}, FERPic);
    forms::ControlArray<forms::Image>& FERimg2 = AddArray<forms::Image>("FERimg2", {0, 1, 2}, FERPic);
    forms::Image& Bu = Add<forms::Image>("Bu", FERPic);
    forms::Image& Bd = Add<forms::Image>("Bd", FERPic);

    forms::TextBox& FindTxt = Add<forms::TextBox>("FindTxt", SSDesenho.Page(1));
    // 0 "em Tubulações", 1 "em Conexões".
    forms::ControlArray<forms::CheckBox>& FindChk = AddArray<forms::CheckBox>("FindChk", {0, 1}, SSDesenho.Page(1));
    forms::ComboBox& FindCbo = Add<forms::ComboBox>("FindCbo", SSDesenho.Page(1));
    forms::CommandButton& FindCmd = Add<forms::CommandButton>("FindCmd", SSDesenho.Page(1));
    forms::ComboBox& PrefMatCbo = Add<forms::ComboBox>("PrefMatCbo", SSDesenho.Page(1));
    forms::ComboBox& PrefTubCbo = Add<forms::ComboBox>("PrefTubCbo", SSDesenho.Page(1));
    ProgressBar& ProgressBar3 = Add<ProgressBar>("ProgressBar3", SSDesenho.Page(1));

    // ---------------------------------------------------------------- tools tab set
    forms::TabControl& SSTools = ComAbas(Add<forms::TabControl>("SSTools"), 3);
    forms::CommandButton& QttCmd = Add<forms::CommandButton>("QttCmd", SSTools.Page(0));
    forms::CheckBox& QttChk = Add<forms::CheckBox>("QttChk", SSTools.Page(0));
    forms::CommandButton& AntigosCmd = Add<forms::CommandButton>("AntigosCmd", SSTools.Page(1));
    forms::CommandButton& AntigosManCmd = Add<forms::CommandButton>("AntigosManCmd", SSTools.Page(1));
    forms::CommandButton& InfoConexCmd = Add<forms::CommandButton>("InfoConexCmd", SSTools.Page(1));
    forms::CommandButton& Command3 = Add<forms::CommandButton>("Command3", SSTools.Page(1));
    forms::CommandButton& WatVerifCmd = Add<forms::CommandButton>("WatVerifCmd", SSTools.Page(2));
    forms::CommandButton& WarVerifLimpaCmd = Add<forms::CommandButton>("WarVerifLimpaCmd", SSTools.Page(2));
    forms::HScrollBar& WatVerifScr = Add<forms::HScrollBar>("WatVerifScr", SSTools.Page(2));
    forms::Label& WatVerifLbl = Add<forms::Label>("WatVerifLbl", SSTools.Page(2));
    ProgressBar& ProgressBar2 = Add<ProgressBar>("ProgressBar2");

    // ---------------------------------------------------------------- zones, nodes, export
    forms::TabControl& SSLumbra = ComAbas(Add<forms::TabControl>("SSLumbra"), 3);
    forms::Label& ZonLbl = Add<forms::Label>("ZonLbl", SSLumbra.Page(0));
    // 0 zone name, 1 total value, 2 value per metre.
    forms::ControlArray<forms::TextBox>& ZonTxt = AddArray<forms::TextBox>("ZonTxt", {0, 1, 2}, SSLumbra.Page(0));
    // 0 a zone valued per metre, 1 a zone with a total value.
    forms::ControlArray<forms::CommandButton>& ZonCmd =
        AddArray<forms::CommandButton>("ZonCmd", {0, 1}, SSLumbra.Page(0));
    forms::Label& NODLbl = Add<forms::Label>("NODLbl", SSLumbra.Page(1));
    forms::CommandButton& NODLerDesenhoCmd = Add<forms::CommandButton>("NODLerDesenhoCmd", SSLumbra.Page(1));
    forms::CommandButton& NODNumeraCmd = Add<forms::CommandButton>("NODNumeraCmd", SSLumbra.Page(1));
    forms::CommandButton& NODScaleCmd = Add<forms::CommandButton>("NODScaleCmd", SSLumbra.Page(1));
    forms::TextBox& ExpFileTxt = Add<forms::TextBox>("ExpFileTxt", SSLumbra.Page(2));
    forms::CommandButton& ExpFileCmd = Add<forms::CommandButton>("ExpFileCmd", SSLumbra.Page(2));
    forms::CommandButton& ExpCmd = Add<forms::CommandButton>("ExpCmd", SSLumbra.Page(2));
    ProgressBar& ProgressBar1 = Add<ProgressBar>("ProgressBar1");

private:
    // The tab count is a design value the pages below need before they exist.
    static forms::TabControl& ComAbas(forms::TabControl& Tabs, int Count)
    {
        Tabs.SetTabs(Count);
        return Tabs;
    }

    void ArrumaControles();
    void MostraConjunto(int v);

    // host
    static const forms::Settings<WATDes98> kSettings;
    void UserControl_Resize();

    void MyclsWATDb_FirstPIC(const forms::Picture& Pic);
    void Material_Click();
    void WATMenu_Click(int Index);
    void WatDP_Click();
    void WatDP_DblClick();
    void WatDS_Click();
    void WatDS_DblClick();
    void DesenhaDoClique();
    void DesenhaDoDuploClique();
    bool CliqueDesenhou_ = false;  // the last click on a diameter drew
    void DesCmd_Click();
    void TuboCmd_Click();
    void FindCmd_Click();
    void PrefMatCbo_Click();
    void PrefTubCbo_Click();
    void SSLumbra_Click();

    // zones, nodes, the material repair and the verification layer
    void ZonCmd_Click(int Index);
    void ZonTxt_KeyPress(int Index, int& KeyAscii);
    void NODScaleCmd_Click();
    void NODNumeraCmd_Click();
    void NODLerDesenhoCmd_MouseMove();
    void NODNumeraCmd_MouseMove();
    void NODScaleCmd_MouseMove();
    void Command3_Click();
    void WarVerifLimpaCmd_Click();
    void WatVerifScr_Change();
    // ---- the nodes drawing and the continuity check, through the export's pipe reader
    void NODLerDesenhoCmd_Click();
    void WatVerifCmd_Click();
    // Tells that the pipe reading marked faults (`Cancelada`: the command stops).
    static void AvisaFalhas(const ClsWATExp& Exp, bool Cancelada);
    std::unique_ptr<ClsWATExp> ExpNodes_;  // the nodes drawing's reader, made on first use

    // ---- the export to the hydraulic-model database ("MDB")
    void ExpFileCmd_Click();
    void ExpCmd_Click();
    bool ExportaRede(const std::string& Rede, const std::string& Topografia, const std::string& Zonas,
                     const std::string& Nodes);
    // The output database chosen with ExpFileCmd; "" until then.
    std::string ExpArquivo_;
    // The dialog and the workers of the export, made on first use and kept.
    std::unique_ptr<clsCommonDialog> ExpDlg_;
    std::unique_ptr<ClsWATExp> Exp_;
    std::unique_ptr<clsHatchs> HatchZonas_, HatchPavimentos_;
    std::unique_ptr<clsDelaunay> Delaunay_;

    // ---- the quantity table and the conversion of old drawings
    void QttCmd_Click();
    void AntigosCmd_Click();
    void AntigosManCmd_Click();
    std::unique_ptr<ClsWatUpdate> Atualiza_;  // a new one at every conversion command
    // ---- the picture tools of "Conexões" and the socket information of "Verif."
    void ArrumaFerramentas();
    void FERimg_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void FERimg_MouseMove(int Index, int Button, int Shift, double X, double Y);
    void FERimg_MouseUp(int Index, int Button, int Shift, double X, double Y);
    void FERimg2_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void FERimg2_MouseMove(int Index, int Button, int Shift, double X, double Y);
    void FERimg2_MouseUp(int Index, int Button, int Shift, double X, double Y);
    void InfoConexCmd_Click();
    // `Bu` laid beneath the tool under the mouse, `Bd` beneath the one pressed;
    // parked out of sight otherwise.
    void Destaca(forms::Image& Fundo, const forms::Image& Ferramenta);
    static void Estaciona(forms::Image& Fundo, double Left);
    // The tool the mouse last moved over (the two rows share the highlight); null when none.
    const forms::Image* FerramentaSobMouse_ = nullptr;

    // settings
    int Interface_ = 1;
    int AcadZoomCenter_ = 400;
    double AcadZoomScale_ = 0.4;
    int SeparadorDecimal_ = 1;
    int PRECCOTA_ = 3, PRECDIST_ = 2;

    // the current choice
    bool Iniciado_ = false;
    std::string MaterialAtual;
    PicMnuRec MenuAtual;
    std::vector<ConexaoAguaRec> ConexoesAtuais;  // element 0 empty
    ConexaoAguaRec ConexaoAtual;
    DiametroAguaRec DiametroAtual;
    std::vector<std::string> DSAtuais;
    std::string DSAtual;
    std::string MaterialPref;
    std::string TuboPref;
    // The preferred pipes confirmed in this run, by material: the catalogue
    // arrays lose them whenever they are read again.
    std::map<std::string, std::string> TubosEscolhidos_;
    void ReaplicaTubosPreferenciais();
    platform::ScopedConnection CatalogoRecarregado_;
    std::unique_ptr<clsWATDes> Des_;  // the drawing object, made by the first start
};
