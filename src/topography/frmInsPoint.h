#pragma once
// The dialog "Inserir Ponto": name, elevation and description of one survey
// point. The caller shows it modally over gMainForm, reads OK and the three
// boxes, then unloads it.

#include "platform/forms/Forms.h"

class frmInsPoint : public forms::Form {
public:
    frmInsPoint();

    bool OK = false;

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::Label& Titulo = Add<forms::Label>("Titulo");
    // 0 "Nome :", 1 "Cota :", 2 "Info :".
    forms::ControlArray<forms::Label>& Label1 = AddArray<forms::Label>("Label1", {0, 1, 2});
    // 0 name, 1 elevation, 2 description.
    forms::ControlArray<forms::TextBox>& Text1 = AddArray<forms::TextBox>("Text1", {0, 1, 2});
    forms::CommandButton& cmdEnd = Add<forms::CommandButton>("cmdEnd");
    forms::CommandButton& cmdOK = Add<forms::CommandButton>("cmdOK");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Form_Paint();
    void Text1_GotFocus(int Index);
    void Text1_KeyPress(int Index, int& KeyAscii);
    void cmdOK_Click();
    void cmdEnd_Click();
};
