#pragma once
// The information of a survey point (name, north, east, elevation,
// description): InfoPonto sets Mensagem and shows the window modally over
// gMainForm; "OK" unloads it.

#include "platform/forms/Forms.h"

class frmPointInfo : public forms::Form {
public:
    frmPointInfo();

    forms::PictureBox& Picture1 = Add<forms::PictureBox>("Picture1");
    forms::Label& Titulo = Add<forms::Label>("Titulo", Picture1);
    forms::Label& Mensagem = Add<forms::Label>("Mensagem");
    forms::CommandButton& CmdOK = Add<forms::CommandButton>("CmdOK");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void CmdOK_Click();
};
