#pragma once
// The modeless window of a long operation: the name of the running step and
// a "Cancelar" button that only raises a flag. The operation follows this
// protocol:
//     frmCancelar frm;
//     PosicionaDialogo(frm, gMsgLeft, gMsgTop);     // centred while not positive
//     frm.SetMensagem("Verificando PVs...");
//     frm.Show(forms::vbModeless, gMainForm);
//     for (...) { forms::DoEvents(); if (frm.Cancel) break; ... }
//     gMsgLeft = lround(frm.Left()); gMsgTop = lround(frm.Top());
//     forms::Unload(frm);

#include <string>

#include "platform/forms/Forms.h"

class frmCancelar : public forms::Form {
public:
    frmCancelar();

    // Cancel requested: set by the button, read by the operation after each
    // yield; it stays True until the window is unloaded.
    bool Cancel = false;

    std::string Mensagem() const { return Label2.Caption(); }
    void SetMensagem(const std::string& Mensagem);

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::Label& Label2 = Add<forms::Label>("Label2");
    forms::CommandButton& CmdCancel = Add<forms::CommandButton>("CmdCancel");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Label2_MouseMove(int Button, int Shift, double X, double Y);
    void CmdCancel_Click();
};
