#pragma once
// The main window: a small, borderless window kept on top beside the drawing
// host, hosting the four panels on its tabs. Its load is the program's start
// (branding, the start-up settings, the catalogue database's folder, the
// decimals of the panels, the build number); afterwards it only routes the
// user's actions. Unloading it ends the program.

#include <memory>
#include <string>

#include "common/COMDes98.h"
#include "platform/forms/Forms.h"
#include "platform/os/Status.h"
#include "sewer/SANDes98.h"
#include "topography/TOPDes98.h"
#include "water/WATDes98.h"

class frmAbrirDir;
class frmTable;

class Form1 : public forms::Form {
public:
    Form1();
    ~Form1() override;

    // Decimal places handed to the panels at start-up.
    int PRECCOTA = 3;  // elevations
    int PRECDIST = 2;  // distances
    int PRECOORD = 4;  // coordinates
    int PRECDECL = 6;  // slopes

    // Icon, caption, brand label, gLogo and gBanner of a brand ("QUORIL",
    // "TELDRA"); any other brand leaves them as they are.
    void AplicaMarca(const std::string& Marca);

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {0});
    forms::CommandButton& cmdMinimize = Add<forms::CommandButton>("cmdMinimize");
    forms::CommandButton& cmdEnd = Add<forms::CommandButton>("cmdEnd");
    forms::TabControl& SSIniciar = ComAbas(Add<forms::TabControl>("SSIniciar"), 5);

    // Tab 0: the about pages.
    forms::TabControl& SSQuoril = ComAbas(Add<forms::TabControl>("SSQuoril", SSIniciar.Page(0)), 4);
    forms::Label& AplicativoLbl = Add<forms::Label>("AplicativoLbl", SSQuoril.Page(0));
    forms::ControlArray<forms::Label>& AutorLbl = AddArray<forms::Label>("AutorLbl", {0, 1, 2}, SSQuoril.Page(1));
    forms::ControlArray<forms::Image>& AutorImg = AddArray<forms::Image>("AutorImg", {0, 1, 2}, SSQuoril.Page(1));
    forms::Label& ColaboracaoLbl = Add<forms::Label>("ColaboracaoLbl", SSQuoril.Page(2));
    forms::ControlArray<forms::Label>& Label1 = AddArray<forms::Label>("Label1", {0, 1, 2}, SSQuoril.Page(3));
    forms::Label& VersaoLbl = Add<forms::Label>("VersaoLbl", SSQuoril.Page(3));
    forms::CommandButton& MdbPathCmd = Add<forms::CommandButton>("MdbPathCmd", SSQuoril.Page(3));

    // Tabs 1 to 4: the panels.
    SANDes98& SD = Add<SANDes98>("SD", SSIniciar.Page(1));
    forms::ControlArray<forms::OptionButton>& ESGOption1 =
        AddArray<forms::OptionButton>("ESGOption1", {0, 1, 2}, SSIniciar.Page(1));
    WATDes98& WC = Add<WATDes98>("WC", SSIniciar.Page(2));
    forms::ControlArray<forms::OptionButton>& AGUOption1 =
        AddArray<forms::OptionButton>("AGUOption1", {0, 1, 2}, SSIniciar.Page(2));
    forms::CommandButton& TableCmd = Add<forms::CommandButton>("TableCmd", SSIniciar.Page(2));
    COMDes98& CM = Add<COMDes98>("CM", SSIniciar.Page(3));
    TOPDes98& TD = Add<TOPDes98>("TD", SSIniciar.Page(4));

private:
    // The tab count is a design value the pages below need before they exist.
    static forms::TabControl& ComAbas(forms::TabControl& Tabs, int Count)
    {
        Tabs.SetTabs(Count);
        return Tabs;
    }

    void Form1_Form_Load();
    void Form1_SSIniciar_Click(int PreviousTab);
    void Form1_ESGOption1_Click(int Index);
    void Form1_AGUOption1_Click(int Index);
    void Form1_AGUOption1_MouseMove(int Index, int Button, int Shift, double X, double Y);
    void Form1_TableCmd_Click();
    void Form1_MdbPathCmd_Click();
    void Form1_WC_Exportando(bool Value);
    void Form1_Picture1_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void Form1_Picture1_DblClick(int Index);
    void Form1_cmdMinimize_Click();
    void Form1_cmdEnd_Click();
    void Form1_AutorLbl_MouseMove(int Index, int Button, int Shift, double X, double Y);

    void CarregaFigurasDoDesenho();
    bool EscolhePastaBanco(std::string& Pasta, forms::Form* Owner);
    os::Status GravaIniFile(const std::string& Pasta);

    int autorAnterior_ = 0;
    // Made at their first use and kept while the window lives (a window
    // destroyed inside the click that showed it would still be sent that
    // click's pending events).
    std::unique_ptr<frmAbrirDir> picker_;
    std::unique_ptr<frmTable> tabela_;
};
