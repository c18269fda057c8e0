#include "shell/frmPointInfo.h"

#include "shell/modJanela.h"

using namespace forms;

frmPointInfo::frmPointInfo() : Form("frmPointInfo")
{
    SetBorderStyle(0);
    Move(0, 0, 3600, 2235);
    // A title strip instead of the banner: the window only informs.
    Picture1.Move(120, 120, 3360, 330);
    Picture1.SetBorderStyle(0);
    Picture1.SetBackColor(vbActiveTitleBar);
    Titulo.Move(60, 45, 3240, 255);
    Titulo.SetCaption("Ponto");
    Titulo.SetFontBold(true);
    Titulo.SetForeColor(vbTitleBarText);
    Titulo.SetBackStyle(0);
    Mensagem.Move(240, 570, 3240, 1050);
    CmdOK.Move(1312, 1710, 975, 375);
    CmdOK.SetCaption("OK");
    CmdOK.SetDefault(true);
    AplicaPele(*this, Shape1, nullptr, true, {&Picture1, &Titulo});

    CmdOK.Click += [this] { CmdOK_Click(); };
}

void frmPointInfo::CmdOK_Click() { forms::Unload(*this); }
