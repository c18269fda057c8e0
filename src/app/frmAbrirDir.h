#pragma once
// The folder picker of the catalogue database ("Abrir Projeto"): a drive
// list and a folder list; "OK" is enabled only for a folder that holds
// "rereva2000r.mdb", and refuses, saying why, a folder whose name holds a "\"
// or a line break. The caller shows it modally, reads OK and Dir1.Path() and
// unloads it.

#include "platform/forms/Forms.h"

class frmAbrirDir : public forms::Form {
public:
    frmAbrirDir();

    // Why a folder holding the database cannot be kept as the database folder
    // (its name, with the way to mend it), or "" when it can.
    static std::string Recusa(const std::string& Pasta);

    bool OK = false;
    bool Cancel = false;

    forms::PictureBox& Picture2 = Add<forms::PictureBox>("Picture2");
    forms::Label& Label2 = Add<forms::Label>("Label2");
    forms::DriveListBox& Drive1 = Add<forms::DriveListBox>("Drive1");
    forms::DirListBox& Dir1 = Add<forms::DirListBox>("Dir1");
    forms::Label& Label1 = Add<forms::Label>("Label1");
    forms::CommandButton& CmdCancel = Add<forms::CommandButton>("CmdCancel");
    forms::CommandButton& CmdOK = Add<forms::CommandButton>("CmdOK");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void CmdOK_Click();
    void CmdCancel_Click();
};
