#pragma once
// A one-line input box: title, prompt, the text box, an optional numeric
// filter and optional acceptance by Enter. The caller sets the flags and
// texts, shows it modally over gMainForm, reads Cancel and Texto and unloads it.

#include <string>

#include "platform/forms/Forms.h"

class frmInput : public forms::Form {
public:
    frmInput();

    bool OK = false;
    bool Cancel = false;
    // The typed text, kept equal to Text1.
    std::string Texto;
    // Only digits, "-" and "." can be typed ("," becomes ".").
    bool SoNumeros = false;
    // Enter answers OK.
    bool EnterAceita = false;

    bool Check() const;
    void SetCheck(bool v);

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::Label& Titulo = Add<forms::Label>("Titulo");
    forms::Label& Mensagem = Add<forms::Label>("Mensagem");
    forms::TextBox& Text1 = Add<forms::TextBox>("Text1");
    forms::CheckBox& Check1 = Add<forms::CheckBox>("Check1");
    forms::CommandButton& CmdCancel = Add<forms::CommandButton>("CmdCancel");
    forms::CommandButton& CmdOK = Add<forms::CommandButton>("CmdOK");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Form_Paint();
    void Text1_Change();
    void Text1_KeyPress(int& KeyAscii);
    void CmdOK_Click();
    void CmdCancel_Click();
};
