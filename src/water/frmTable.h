#pragma once
// The fittings table editor ("Materiais"), opened modally by the main
// window's "Ver Tabela de conexões". So far only its window: the editor's
// lists, socket cells and update command are added by the water catalogue's work.

#include "platform/forms/Forms.h"

class frmTable : public forms::Form {
public:
    frmTable();

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::CommandButton& Command1 = Add<forms::CommandButton>("Command1");
    forms::CommandButton& cmdEnd = Add<forms::CommandButton>("cmdEnd");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Command1_Click();
    void cmdEnd_Click();
};
