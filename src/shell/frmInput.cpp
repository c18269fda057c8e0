#include "shell/frmInput.h"

#include "shell/modJanela.h"

using namespace forms;

frmInput::frmInput() : Form("frmInput")
{
    SetBorderStyle(0);
    Move(0, 0, 4800, 2010);
    Picture1(1).Move(120, 120, 780, 780);
    Picture1(1).SetBorderStyle(0);
    Titulo.Move(1020, 150, 3660, 285);
    Titulo.SetFontBold(true);
    Mensagem.Move(1020, 480, 3660, 435);
    Text1.Move(1020, 960, 3660, 285);
    // Shown by the callers that give it a caption.
    Check1.Move(120, 1560, 2280, 255);
    Check1.SetVisible(false);
    CmdCancel.Move(2520, 1500, 975, 375);
    CmdCancel.SetCaption("Cancelar");
    CmdOK.Move(3600, 1500, 975, 375);
    CmdOK.SetCaption("OK");
    AplicaPele(*this, Shape1, &Picture1(1), true, {&Picture1(1), &Titulo});

    Paint += [this] { Form_Paint(); };
    Text1.Change += [this] { Text1_Change(); };
    Text1.KeyPress += [this](int& KeyAscii) { Text1_KeyPress(KeyAscii); };
    CmdOK.Click += [this] { CmdOK_Click(); };
    CmdCancel.Click += [this] { CmdCancel_Click(); };
}

bool frmInput::Check() const { return Check1.Value() == vbChecked; }

void frmInput::SetCheck(bool v) { Check1.SetValue(v ? vbChecked : vbUnchecked); }

void frmInput::Form_Paint() { Text1.SetFocus(); }

void frmInput::Text1_Change() { Texto = Text1.Text(); }

void frmInput::Text1_KeyPress(int& KeyAscii)
{
    if (KeyAscii == vbKeyReturn && EnterAceita) {
        KeyAscii = 0;
        CmdOK_Click();
        return;
    }
    if (!SoNumeros) return;
    if (KeyAscii == vbKeyBack || KeyAscii == vbKeyReturn) return;
    // Whatever the machine's separator, the number is written with ".".
    if (KeyAscii == ',') KeyAscii = '.';
    if (KeyAscii == '-' || KeyAscii == '.' || (KeyAscii >= '0' && KeyAscii <= '9')) return;
    KeyAscii = 0;
}

void frmInput::CmdOK_Click()
{
    OK = true;
    Cancel = false;
    Hide();
}

void frmInput::CmdCancel_Click()
{
    Cancel = true;
    OK = false;
    Hide();
}
