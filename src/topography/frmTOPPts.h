#pragma once
// The dialog of the elevation change: the increment, whether points and texts
// change, and the layers whose texts change (any number of them chosen). The
// caller fills List1 with the drawing's layers, shows it modally over
// gMainForm, reads OK, Cancel, Incremento, the boxes and the chosen layers,
// then unloads it.

#include <string>
#include <vector>

#include "platform/forms/Forms.h"

class frmTOPPts : public forms::Form {
public:
    frmTOPPts();

    bool OK = false;
    bool Cancel = false;
    // The increment as typed, kept equal to Text1.
    std::string Incremento;

    // The chosen entries of List1, in list order.
    std::vector<std::string> CamadasEscolhidas() const;

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    // 0 "Este comando altera o valor do XData em pontos topográficos.",
    // 1 "Incremento :", 2 "Alterar textos nos Layers :".
    forms::ControlArray<forms::Label>& Label1 = AddArray<forms::Label>("Label1", {0, 1, 2});
    forms::TextBox& Text1 = Add<forms::TextBox>("Text1");
    forms::CheckBox& Check1 = Add<forms::CheckBox>("Check1");  // "Pontos"
    forms::CheckBox& Check2 = Add<forms::CheckBox>("Check2");  // "Textos"
    forms::ListBox& List1 = Add<forms::ListBox>("List1");
    forms::CommandButton& CmdCancel = Add<forms::CommandButton>("CmdCancel");
    forms::CommandButton& CmdOK = Add<forms::CommandButton>("CmdOK");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Text1_Change();
    void Text1_KeyPress(int& KeyAscii);
    void CmdOK_Click();
    void CmdCancel_Click();
};
