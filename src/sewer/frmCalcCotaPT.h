#pragma once
// How the ground elevation of a manhole is to be taken from the drawing: at
// one point ("Sobre o Ponto") or interpolated between two ("Interpolado").
// The panel shows it modally over gMainForm, reads Opcao and EvidenciarErro,
// runs the computation and unloads it; the dialog computes nothing.

#include "platform/forms/Forms.h"

class frmCalcCotaPT : public forms::Form {
public:
    frmCalcCotaPT();

    // 0 closed without a choice, 1 "Sobre o Ponto", 2 "Interpolado".
    int Opcao = 0;
    // The check box "Evidenciar Erro de Zirizev" at its last change.
    bool EvidenciarErro = false;

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::Label& Titulo = Add<forms::Label>("Titulo");
    forms::Label& Label1 = Add<forms::Label>("Label1");
    forms::CommandButton& Command1 = Add<forms::CommandButton>("Command1");
    forms::CommandButton& Command2 = Add<forms::CommandButton>("Command2");
    forms::CheckBox& Check1 = Add<forms::CheckBox>("Check1");
    forms::Label& Label2 = Add<forms::Label>("Label2");
    forms::CommandButton& cmdEnd = Add<forms::CommandButton>("cmdEnd");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Command1_Click();
    void Command2_Click();
    void cmdEnd_Click();
    void Check1_Click();
};
