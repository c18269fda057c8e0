#pragma once
// The record editor of a design table: fourteen fields of the current reach
// record in text boxes bound to the table, stepped through in one of nine
// orders. A changed record is written into the dBase file when the user moves
// to another record, changes the order or closes the window with "X"; a value
// the file refuses is told in the "Atenção" box and the record stays.

#include <string>

#include "platform/ado/Ado.h"
#include "platform/forms/Forms.h"

class frmDBF : public forms::Form {
public:
    frmDBF();

    std::string FilePath;  // the table's folder, with its trailing separator
    std::string Filename;  // the table's file name with its extension

    // Opens the table named by FilePath and Filename in CLTAT order and binds
    // the text boxes. A table that cannot be opened is told in a message
    // naming it, and the result is false: the window is not to be shown.
    bool Start();

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::Label& Label1 = Add<forms::Label>("Label1");
    forms::ControlArray<forms::Label>& lblLabels =
        AddArray<forms::Label>("lblLabels", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    forms::ControlArray<forms::TextBox>& txtFields =
        AddArray<forms::TextBox>("txtFields", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    forms::ComboBox& Combo1 = Add<forms::ComboBox>("Combo1");
    forms::Label& lblStatus = Add<forms::Label>("lblStatus");
    forms::CommandButton& cmdFirst = Add<forms::CommandButton>("cmdFirst");
    forms::CommandButton& cmdPrevious = Add<forms::CommandButton>("cmdPrevious");
    forms::CommandButton& cmdNext = Add<forms::CommandButton>("cmdNext");
    forms::CommandButton& cmdLast = Add<forms::CommandButton>("cmdLast");
    forms::CommandButton& CmdBack = Add<forms::CommandButton>("CmdBack");
    forms::CommandButton& CmdFront = Add<forms::CommandButton>("CmdFront");
    forms::CommandButton& cmdEnd = Add<forms::CommandButton>("cmdEnd");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Form_KeyDown(int& KeyCode, int Shift);
    void Form_QueryUnload(int& Cancel, int UnloadMode);
    void Form_Unload();
    void Combo1_Click();
    void adoPrimaryRS_MoveComplete();
    // The moves; each tells a failure in the "Atenção" box and returns false.
    bool cmdFirst_Click();
    bool cmdLast_Click();
    bool cmdNext_Click();
    bool cmdPrevious_Click();
    void CmdBack_Click();
    void CmdFront_Click();
    void cmdEnd_Click();

    // A refusal told in the "Atenção" box; one not asked for by the user (the
    // program closing the window) only when it is not the one last told.
    void Recusa(const std::string& Motivo, bool Pedido = true);
    // A typed text that its field refused (letters in a number field) keeps
    // the records where they are: told here, false.
    bool TextosAceitos(bool Pedido = true);
    // Writes the pending change of the current record; false (told) when the file refuses it.
    bool GravaPendente(bool Pedido = true);
    // Runs a move of the record set, telling a failure.
    template <class F>
    bool Navega(F Passo);
    void Liga();
    void Fecha();

    ado::Connection db_;
    ado::Recordset adoPrimaryRS;
    std::string consulta_;   // the base query
    int ordem_ = -1;         // the order the records are read in
    bool trocando_ = false;  // Combo1 being put back after a refused change
    std::string contada_;    // the refusal last told of the change pending
};

// An editor window that is not in use (a new one, or one closed before):
// several tables may be open side by side, each window living on after the
// command that opened it.
frmDBF& NovoEditorDBF();
