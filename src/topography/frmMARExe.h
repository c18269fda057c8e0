#pragma once
// The options dialog of the sheet tools, in one of three modes chosen with
// SetfrmEstilo before it is shown: 0 "Gerar Arquivos" (one file per sheet),
// 1 "Gerar Layouts" (one layout per sheet, also used by the preview) and
// 3 "Grade UTM" (the spacing and label scale of the UTM grid).
//
// The caller sets the mode (and, for the sheets, the texts it proposes),
// shows it modally over gMainForm, reads OK, Cancel and the controls, and
// unloads it.

#include "platform/forms/Forms.h"

class frmMARExe : public forms::Form {
public:
    frmMARExe();

    bool OK = false;
    bool Cancel = false;

    // 0 files, 1 layouts, 3 UTM grid; any other value changes nothing.
    void SetfrmEstilo(int Estilo);

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::Label& Label1 = Add<forms::Label>("Label1");  // the title
    // 0 the sheet texts (files and layouts), 1 the UTM grid.
    forms::ControlArray<forms::Frame>& Frame1 = AddArray<forms::Frame>("Frame1", {0, 1});
    // 0 "No Selo:", 1 "Sufixo arquivo:", 2 "Incremento:", 3 "No Layout:",
    // 4 "Sufixo:", 5 and 9 "-", 6 "Layouts por arquivo:", 10 "Inicial:" (in
    // the sheet frame); 7 "Distanciamento das linhas de Grade UTM:",
    // 8 "Escala: 1/" (in the grid frame).
    forms::ControlArray<forms::Label>& Label2 =
        AddArray<forms::Label>("Label2", {0, 1, 2, 3, 4, 5, 6, 9, 10}, Frame1(0));
    // 0 title prefix, 1 suffix, 2 first number, 3 step, 4 layout prefix.
    forms::ControlArray<forms::TextBox>& MARtxt = AddArray<forms::TextBox>("MARtxt", {0, 1, 2, 3, 4}, Frame1(0));
    forms::ComboBox& MarCbo = Add<forms::ComboBox>("MarCbo", Frame1(0));   // file-name pattern
    forms::ComboBox& NLayCbo = Add<forms::ComboBox>("NLayCbo", Frame1(0)); // layouts per file
    forms::ComboBox& UTMCbo = Add<forms::ComboBox>("UTMCbo", Frame1(1));   // line spacing
    forms::ComboBox& UTMEscCbo = Add<forms::ComboBox>("UTMEscCbo", Frame1(1));  // label scale
    forms::CommandButton& CmdOK = Add<forms::CommandButton>("CmdOK");
    forms::CommandButton& CmdCancel = Add<forms::CommandButton>("CmdCancel");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Form_Load();
    void MARtxt_KeyPress(int Index, int& KeyAscii);
    void MARtxt_LostFocus(int Index);
    void NLayCbo_KeyPress(int& KeyAscii);
    void CmdOK_Click();
    void CmdCancel_Click();
};
