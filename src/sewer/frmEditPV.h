#pragma once
// The manhole correction dialog: ground elevation, invert elevation and depth
// of a manhole whose depth disagrees with its elevations, kept consistent while
// the user edits (ground or invert changed: the depth follows; depth changed:
// the invert follows), with an add-and-subtract calculator whose display is
// also the button that puts it into the depth. The caller fills it, shows it
// modally, reads OK and the three fields and writes the manhole block.

#include <memory>
#include <string>

#include "platform/forms/Forms.h"
#include "sewer/DialogoDeCorrecao.h"

class clsSANDes;

class frmEditPV : public DialogoDeCorrecao {
public:
    frmEditPV();
    ~frmEditPV() override;

    // Decimals of every number the dialog writes (the caller's elevation decimals).
    int Decimais = 3;
    // While set, a change of the invert or the depth recomputes nothing.
    bool Guarda = false;
    // Set once "Não mostrar mais esta mensagem." has been ticked while shown.
    bool NaoOferecer = false;

    // Captions of the three fields.
    forms::ControlArray<forms::Label>& Label2 = AddArray<forms::Label>("Label2", {0, 1, 2});
    forms::TextBox& Text1 = Add<forms::TextBox>("Text1");  // ground elevation CT
    forms::TextBox& Text2 = Add<forms::TextBox>("Text2");  // invert elevation CS
    forms::TextBox& Text3 = Add<forms::TextBox>("Text3");  // depth CP
    // 0 "+", 1 "-", 4 "=", 5 the display (puts it into the depth).
    forms::ControlArray<forms::CommandButton>& CalcCmd = AddArray<forms::CommandButton>("CalcCmd", {0, 1, 4, 5});
    forms::CheckBox& Check1 = Add<forms::CheckBox>("Check1");

private:
    void Form_Load();
    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void CalcCmd_Click(int Index);
    bool Aceita() override;
    void Check1_Click();
    void RecalculaProfundidade();

    std::unique_ptr<clsSANDes> des_;
    double operando_ = 0;
    int operador_ = 0;
};
