#pragma once
// The fittings table editor ("Materiais"), opened modally by the main
// window's "Ver Tabela de conexões": the water catalogue browsed fitting by
// fitting (code, block, diameters and a drawing of the block with its sockets
// in colour) and, socket by socket, the row of "A_Bolsas" corrected: the pipe
// that fits it, its ring and whether it takes the primary or the branch
// diameter. Each change is written at once and made in the catalogue arrays.
//
// It reads the catalogue arrays of clsWATDb; when they are empty it loads
// them first, and when that load fails (the loader says why) it closes again.
// Only the first four sockets of a fitting have a row.

#include <string>
#include <vector>

#include "platform/ado/Ado.h"
#include "platform/forms/Forms.h"
#include "water/clsWATDb.h"

class frmTable : public forms::Form {
public:
    frmTable();

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::ComboBox& Combo1 = Add<forms::ComboBox>("Combo1");
    forms::ComboBox& Combo2 = Add<forms::ComboBox>("Combo2");
    forms::VScrollBar& VScroll1 = Add<forms::VScrollBar>("VScroll1");
    // Captions "  Código :", "  Bloco :", "  Diâmetros :" and "Deriv.".
    forms::ControlArray<forms::Label>& Label1 = AddArray<forms::Label>("Label1", {0, 1, 2, 3});
    forms::Label& lblCodigo = Add<forms::Label>("lblCodigo");
    forms::Label& lblBloco = Add<forms::Label>("lblBloco");
    forms::ListBox& List1 = Add<forms::ListBox>("List1");
    forms::ListBox& List2 = Add<forms::ListBox>("List2");
    forms::PictureBox& Picture2 = Add<forms::PictureBox>("Picture2");
    // Rows 0 to 3: one socket each; row 4: the headings.
    forms::ControlArray<forms::Frame>& Frame1 = AddArray<forms::Frame>("Frame1", {0, 1, 2, 3, 4});
    // The socket's number ("Bolsas"), its pipe, ring and gauge cells.
    forms::ControlArray<forms::Label>& Label2 = AddArray<forms::Label>("Label2", {});
    forms::ControlArray<forms::Label>& Label3 = AddArray<forms::Label>("Label3", {});
    forms::ControlArray<forms::Label>& Label4 = AddArray<forms::Label>("Label4", {});
    forms::ControlArray<forms::Label>& Label5 = AddArray<forms::Label>("Label5", {});
    forms::ListBox& List3 = Add<forms::ListBox>("List3");
    forms::ListBox& List4 = Add<forms::ListBox>("List4");
    forms::CommandButton& UpgCmd = Add<forms::CommandButton>("UpgCmd");
    forms::CommandButton& Command1 = Add<forms::CommandButton>("Command1");
    forms::CommandButton& cmdEnd = Add<forms::CommandButton>("cmdEnd");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Form_Load();
    void Form_Unload(int& Cancel);
    void Combo1_Click();
    void Combo2_Click();
    void VScroll1_Change();
    void List1_Click();
    void List2_Click();
    void Celula_Click(forms::Label& Celula);
    void List4_Click();
    void UpgCmd_Click();
    void Command1_Click();
    void cmdEnd_Click();

    // Connects to the catalogue database when not connected; false (with a
    // message) when it cannot.
    bool Conecta();
    // The row of the current cell, 0 to 3; -1 when it is no socket cell of
    // the fitting shown.
    int LinhaAtual() const;

    forms::Label* celulaAtual_ = &lblBloco;
    ado::Connection cn_;
    int indiceMaterial_ = 0;
    std::vector<ConexaoAguaRec> conexoes_;
    int indiceConexao_ = 0;
    ConexaoAguaRec conexao_;
    std::vector<DiametroAguaRec> diametros_;
};
