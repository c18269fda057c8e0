#pragma once
// The program's message box: a title, a message, one of six button layouts
// and an optional check box, in the dialog skin. Shown by ExibeMensagem.

#include "platform/forms/Forms.h"

class frmMsgBox : public forms::Form {
public:
    frmMsgBox();

    // Read after the box closes.
    bool OK = false;
    bool Cancel = false;
    bool CheckValue = false;

    // Button layout: 0 OK, 1 OK/Cancelar, 2 OK + check box, 3 OK/Cancelar +
    // check box, 4 Sim/Não, 5 Sim/Não + check box; any other value keeps the
    // design buttons and hides Cancel and the check box.
    long Estilo() const { return estilo_; }
    void SetEstilo(long Estilo);

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::Label& Titulo = Add<forms::Label>("Titulo");
    forms::Label& Mensagem = Add<forms::Label>("Mensagem");
    forms::CheckBox& Check1 = Add<forms::CheckBox>("Check1");
    forms::CommandButton& CmdCancel = Add<forms::CommandButton>("CmdCancel");
    forms::CommandButton& CmdOK = Add<forms::CommandButton>("CmdOK");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Form_Paint();
    void Mensagem_Change();
    void CmdOK_Click();
    void CmdCancel_Click();
    void AjustaAltura();

    long estilo_ = 0;
};
