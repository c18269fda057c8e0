#pragma once
// The options of the map-sheet commands, in one of three modes chosen by
// frmEstilo before it is shown:
//   0 "Gerar Arquivos": the title-block number (prefix, first number, step,
//     suffix) and the pattern of the file names;
//   1 "Gerar Layouts": the same with the layout-name prefix and the number of
//     layouts per file;
//   3 "Grade UTM": the spacing of the grid lines and the scale of their labels.
// The caller shows it modally over gMainForm, reads OK or Cancel and the
// controls, then unloads it.

#include "platform/forms/Forms.h"

class frmMARExe : public forms::Form {
public:
    frmMARExe();

    bool OK = false;
    bool Cancel = false;

    // Write-only: 0, 1 or 3 as above; any other value changes nothing.
    void SetfrmEstilo(int Estilo);

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::Label& Label1 = Add<forms::Label>("Label1");
    // 0 the layouts and files, 1 the UTM grid.
    forms::ControlArray<forms::Frame>& Frame1 = AddArray<forms::Frame>("Frame1", {0, 1});
    // In Frame1(0): 0 "No Selo:", 1 "Sufixo arquivo:", 2 "Incremento:",
    // 3 "No Layout:", 4 "Sufixo:", 5 and 9 "-", 6 "Layouts por arquivo:",
    // 10 "Inicial:"; in Frame1(1) (added by the constructor): 7 the spacing,
    // 8 "Escala: 1/".
    forms::ControlArray<forms::Label>& Label2 =
        AddArray<forms::Label>("Label2", {0, 1, 2, 3, 4, 5, 6, 9, 10}, Frame1(0));
    // 0 title prefix, 1 suffix, 2 first number, 3 step, 4 layout prefix.
    forms::ControlArray<forms::TextBox>& MARtxt = AddArray<forms::TextBox>("MARtxt", {0, 1, 2, 3, 4}, Frame1(0));
    forms::ComboBox& MarCbo = Add<forms::ComboBox>("MarCbo", Frame1(0));
    forms::ComboBox& NLayCbo = Add<forms::ComboBox>("NLayCbo", Frame1(0));
    forms::ComboBox& UTMCbo = Add<forms::ComboBox>("UTMCbo", Frame1(1));
    forms::ComboBox& UTMEscCbo = Add<forms::ComboBox>("UTMEscCbo", Frame1(1));
    forms::CommandButton& CmdOK = Add<forms::CommandButton>("CmdOK");
    forms::CommandButton& CmdCancel = Add<forms::CommandButton>("CmdCancel");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Form_Load();  // the lists and starting texts
    void Form_Resize();
    void MARtxt_KeyPress(int Index, int& KeyAscii);
    void MARtxt_LostFocus(int Index);
    void NLayCbo_KeyPress(int& KeyAscii);
    void CmdOK_Click();
    void CmdCancel_Click();
};
