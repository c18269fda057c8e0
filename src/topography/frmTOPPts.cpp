#include "topography/frmTOPPts.h"

#include "shell/modJanela.h"

using namespace forms;

frmTOPPts::frmTOPPts() : Form("frmTOPPts")
{
    SetBorderStyle(0);
    Move(0, 0, 4800, 4440);
    Picture1(1).Move(120, 120, 780, 780);
    Picture1(1).SetBorderStyle(0);
    Label1(0).Move(1020, 150, 3660, 480);
    Label1(0).SetWordWrap(true);
    Label1(0).SetCaption("Este comando altera o valor do XData em pontos topográficos.");
    Label1(1).Move(1020, 795, 1080, 255);
    Label1(1).SetCaption("Incremento :");
    Text1.Move(2160, 765, 1200, 285);
    Check1.Move(1020, 1155, 1200, 255);
    Check1.SetCaption("Pontos");
    Check1.SetValue(vbChecked);
    Check2.Move(2400, 1155, 1200, 255);
    Check2.SetCaption("Textos");
    Check2.SetValue(vbChecked);
    Label1(2).Move(120, 1515, 4560, 255);
    Label1(2).SetCaption("Alterar textos nos Layers :");
    List1.Move(120, 1800, 4560, 1980);
    List1.SetMultiSelect(vbMultiSelectSimple);
    CmdCancel.Move(2520, 3900, 975, 375);
    CmdCancel.SetCaption("Cancelar");
    CmdOK.Move(3600, 3900, 975, 375);
    CmdOK.SetCaption("OK");
    for (int i = 0; i < 3; ++i) Label1(i).SetBackStyle(0);
    AplicaPele(*this, Shape1, &Picture1(1), true, {&Picture1(1)});

    Text1.Change += [this] { Text1_Change(); };
    Text1.KeyPress += [this](int& KeyAscii) { Text1_KeyPress(KeyAscii); };
    CmdOK.Click += [this] { CmdOK_Click(); };
    CmdCancel.Click += [this] { CmdCancel_Click(); };
}

std::vector<std::string> frmTOPPts::CamadasEscolhidas() const
{
    std::vector<std::string> r;
    for (int i = 0; i < List1.ListCount(); ++i)
        if (List1.Selected(i)) r.push_back(List1.List(i));
    return r;
}

void frmTOPPts::Text1_Change() { Incremento = Text1.Text(); }

void frmTOPPts::Text1_KeyPress(int& KeyAscii)
{
    if (KeyAscii == vbKeyBack || KeyAscii == vbKeyReturn) return;
    if (KeyAscii == ',') KeyAscii = '.';
    if (KeyAscii == '-' || KeyAscii == '.' || (KeyAscii >= '0' && KeyAscii <= '9')) return;
    KeyAscii = 0;
}

void frmTOPPts::CmdOK_Click()
{
    OK = true;
    Cancel = false;
    Hide();
}

void frmTOPPts::CmdCancel_Click()
{
    Cancel = true;
    OK = false;
    Hide();
}
