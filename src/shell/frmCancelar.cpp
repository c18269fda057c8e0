#include "shell/frmCancelar.h"

#include "shell/modJanela.h"

using namespace forms;

frmCancelar::frmCancelar() : Form("frmCancelar")
{
    SetBorderStyle(0);
    Move(0, 0, 4200, 1455);
    Picture1(1).Move(120, 120, 780, 780);
    Picture1(1).SetBorderStyle(0);
    Label2.Move(1020, 150, 3060, 600);
    Label2.SetFontBold(true);
    CmdCancel.Move(2985, 945, 1095, 375);
    CmdCancel.SetCaption("Cancelar");
    AplicaPele(*this, Shape1, &Picture1(1), true, {&Picture1(1)});

    Label2.MouseMove += [this](int Button, int Shift, double X, double Y) { Label2_MouseMove(Button, Shift, X, Y); };
    CmdCancel.Click += [this] { CmdCancel_Click(); };
}

void frmCancelar::SetMensagem(const std::string& Mensagem) { Label2.SetCaption(Mensagem); }

// The step's name is the handle most of the window offers.
void frmCancelar::Label2_MouseMove(int Button, int, double, double) { ArrastaJanela(*this, Button); }

// Only the flag: the operation sees it at its next poll and closes the window itself.
void frmCancelar::CmdCancel_Click() { Cancel = true; }
