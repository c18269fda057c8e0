#include "topography/frmMARExe.h"

#include "shell/modJanela.h"

using namespace forms;

frmMARExe::frmMARExe() : Form("frmMARExe")
{
    SetBorderStyle(0);
    Move(0, 0, 5295, 3045);
    Picture1(1).Move(120, 120, 855, 855);
    Picture1(1).SetBorderStyle(0);
    Label1.Move(1080, 120, 4095, 285);
    Label1.SetFontBold(true);

    // ---- the sheet texts: "No Selo:" prefix - first number - suffix
    Frame1(0).Move(120, 1080, 5055, 1335);
    Frame1(0).SetBorderStyle(0);
    Label2(0).Move(0, 30, 1215, 225);
    Label2(0).SetCaption("No Selo:");
    MARtxt(0).Move(0, 255, 2175, 285);
    Label2(5).Move(2205, 285, 105, 225);
    Label2(5).SetCaption("-");
    Label2(10).Move(2340, 30, 855, 225);
    Label2(10).SetCaption("Inicial:");
    MARtxt(2).Move(2340, 255, 855, 285);
    MARtxt(2).SetText("0010");
    Label2(9).Move(3225, 285, 105, 225);
    Label2(9).SetCaption("-");
    Label2(4).Move(3360, 30, 855, 225);
    Label2(4).SetCaption("Sufixo:");
    MARtxt(1).Move(3360, 255, 855, 285);
    Label2(2).Move(4260, 30, 795, 225);
    Label2(2).SetCaption("Incremento:");
    MARtxt(3).Move(4260, 255, 795, 285);
    MARtxt(3).SetText("0010");
    Label2(3).Move(0, 645, 1215, 225);
    Label2(3).SetCaption("No Layout:");
    MARtxt(4).Move(0, 870, 1215, 285);
    Label2(1).Move(1350, 645, 1575, 225);
    Label2(1).SetCaption("Sufixo arquivo:");
    MarCbo.Move(1350, 870, 1575, 315);
    MarCbo.AddItem("Folha #");
    Label2(6).Move(3060, 645, 1995, 225);
    Label2(6).SetCaption("Layouts por arquivo:");
    NLayCbo.Move(3060, 870, 1995, 315);
    NLayCbo.AddItem("Não limitar");
    for (int i = 2; i <= 9; ++i) NLayCbo.AddItem(std::to_string(i));

    // ---- the UTM grid, out of sight until its mode is chosen
    Frame1(1).Move(120, 5000, 5055, 1335);
    Frame1(1).SetBorderStyle(0);
    Label2.AddElement(7, Frame1(1));
    Label2(7).Move(0, 30, 5055, 225);
    Label2(7).SetCaption("Distanciamento das linhas de Grade UTM:");
    UTMCbo.Move(0, 255, 1455, 315);
    for (const char* d : {"100", "200", "250", "500", "1000"}) UTMCbo.AddItem(d);
    Label2.AddElement(8, Frame1(1));
    Label2(8).Move(0, 675, 1455, 225);
    Label2(8).SetCaption("Escala: 1/");
    UTMEscCbo.Move(0, 900, 1455, 315);
    for (const char* e : {"500", "1000", "2000"}) UTMEscCbo.AddItem(e);

    CmdOK.Move(2880, 2520, 1035, 375);
    CmdOK.SetCaption("OK");
    CmdCancel.Move(4035, 2520, 1140, 375);
    CmdCancel.SetCaption("Cancelar");
    for (Label& l : Label2) l.SetBackStyle(0);
    AplicaPele(*this, Shape1, &Picture1(1), true, {&Picture1(1), &Label1});

    Load += [this] { Form_Load(); };
    MARtxt.KeyPress += [this](int Index, int& KeyAscii) { MARtxt_KeyPress(Index, KeyAscii); };
    MARtxt.LostFocus += [this](int Index) { MARtxt_LostFocus(Index); };
    NLayCbo.KeyPress += [this](int& KeyAscii) { NLayCbo_KeyPress(KeyAscii); };
    CmdOK.Click += [this] { CmdOK_Click(); };
    CmdCancel.Click += [this] { CmdCancel_Click(); };
}

void frmMARExe::Form_Load()
{
    UTMCbo.SetListIndex(0);
    UTMEscCbo.SetText("1000");
    MarCbo.SetListIndex(0);
    NLayCbo.SetListIndex(0);
}

void frmMARExe::SetfrmEstilo(int Estilo)
{
    switch (Estilo) {
    case 0:
    case 1: {
        const bool layouts = Estilo == 1;
        Label1.SetCaption(layouts ? "Gerar Layouts" : "Gerar Arquivos");
        Label2(3).SetVisible(layouts);
        Label2(6).SetVisible(layouts);
        MARtxt(4).SetVisible(layouts);
        NLayCbo.SetVisible(layouts);
        break;
    }
    case 3:
        Label1.SetCaption("Grade UTM");
        Frame1(0).SetTop(5000);
        Frame1(1).SetTop(1080);
        break;
    default:
        break;
    }
}

// Numbers and the hyphen only: the first number and the layout-name text
// take part in names, the layout count is a count.
namespace {
void SoNumeros(int& KeyAscii)
{
    if ((KeyAscii >= '0' && KeyAscii <= '9') || KeyAscii == '-' || KeyAscii == vbKeyBack) return;
    KeyAscii = 0;
}
}  // namespace

void frmMARExe::MARtxt_KeyPress(int Index, int& KeyAscii)
{
    if (Index == 2 || Index == 4) SoNumeros(KeyAscii);
}

void frmMARExe::NLayCbo_KeyPress(int& KeyAscii)
{
    SoNumeros(KeyAscii);
}

void frmMARExe::MARtxt_LostFocus(int Index)
{
    MARtxt(Index).SetSelStart(static_cast<int>(MARtxt(Index).Text().size()));
}

void frmMARExe::CmdOK_Click()
{
    OK = true;
    Cancel = false;
    Hide();
}

void frmMARExe::CmdCancel_Click()
{
    Cancel = true;
    OK = false;
    Hide();
}
