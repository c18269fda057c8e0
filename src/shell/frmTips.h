#pragma once
// The report window: a title and a long, scrollable text (verification
// counts, import results, notes), with optional "OK" and "Cancelar" buttons
// and an optional "Não mostrar mais esta mensagem." check box. The caller
// fills it, shows it modally over gMainForm, reads OK, Cancel and NaoMostrar
// and unloads it.

#include <string>

#include "platform/forms/Forms.h"

class frmTips : public forms::Form {
public:
    frmTips();

    bool OK = false;
    bool Cancel = false;
    // The state of the "Não mostrar mais esta mensagem." check box.
    bool NaoMostrar = false;
    // Typing beyond 254 characters is refused with a message while this is on.
    bool LimiteTexto = true;

    std::string Titulo() const { return Label1.Caption(); }
    void SetTitulo(const std::string& Titulo);
    std::string Mensagem() const { return Text1.Text(); }
    // A report set by code is shown whole, however long.
    void SetMensagem(const std::string& Mensagem);
    bool OKButton() const { return cmdOK.Visible(); }
    void SetOKButton(bool v);
    bool CancelButton() const { return CancelCmd.Visible(); }
    void SetCancelButton(bool v);
    bool NoMoreChk() const { return Check1.Visible(); }
    void SetNoMoreChk(bool v);

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::Label& Label1 = Add<forms::Label>("Label1");
    forms::TextBox& Text1 = Add<forms::TextBox>("Text1");
    forms::CheckBox& Check1 = Add<forms::CheckBox>("Check1");
    forms::CommandButton& CancelCmd = Add<forms::CommandButton>("CancelCmd");
    forms::CommandButton& cmdOK = Add<forms::CommandButton>("cmdOK");
    forms::CommandButton& cmdEnd = Add<forms::CommandButton>("cmdEnd");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void cmdOK_Click();
    void CancelCmd_Click();
    void cmdEnd_Click();
    void Check1_Click();
    void Text1_Change();

    bool textoPorCodigo_ = false;
    std::size_t limite_ = 254;  // characters
};
