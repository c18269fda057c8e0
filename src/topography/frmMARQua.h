#pragma once
// The sheet size dialog of the sheet insertion ("Bloco Quadrícula"): the
// viewport's size on paper in millimetres, the scale, and whether to cover the
// whole drawing (or limits picked with "Limites >>") with a grid of sheets.
//
// The worker sets the three sizes, shows it modally over gMainForm, reads OK,
// Cancel, the sizes, AplicAll, ExtMin and ExtMax, and unloads it. When the
// drawing's active space is paper space, the dialog proposes the active
// viewport's size in place of the one it was given.

#include <optional>
#include <string>

#include "cad/Ponto.h"
#include "platform/forms/Forms.h"

class frmMARQua : public forms::Form {
public:
    frmMARQua();

    bool OK = false;
    bool Cancel = false;
    bool AplicAll = false;        // "Aplicar" ticked
    std::optional<Ponto> ExtMin;  // the picked limits, empty until picked
    std::optional<Ponto> ExtMax;

    // Read from the boxes as typed ("," or "." as decimal point); written as
    // text.
    double MARVPDimX() const;
    void SetMARVPDimX(double v);
    double MARVPDimY() const;
    void SetMARVPDimY(double v);
    double MAREscala() const;
    void SetMAREscala(double v);

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::Label& Titulo = Add<forms::Label>("Titulo");
    // 0 "Dimensões da Viewport no papel :", 1 "Aplicar em todo o desenho:".
    forms::ControlArray<forms::Frame>& Frame1 = AddArray<forms::Frame>("Frame1", {0, 1});
    // 0 horizontal, 1 vertical.
    forms::ControlArray<forms::TextBox>& Text1 = AddArray<forms::TextBox>("Text1", {0, 1}, Frame1(0));
    // 0 "Horizontal :", 1 "mm", 2 "Vertical :", 3 "mm".
    forms::ControlArray<forms::Label>& Label1 = AddArray<forms::Label>("Label1", {0, 1, 2, 3}, Frame1(0));
    forms::Label& Label2 = Add<forms::Label>("Label2");  // "Escala: 1/"
    forms::ComboBox& Combo1 = Add<forms::ComboBox>("Combo1");
    forms::CheckBox& Check1 = Add<forms::CheckBox>("Check1", Frame1(1));
    forms::CommandButton& LimitesCmd = Add<forms::CommandButton>("LimitesCmd", Frame1(1));
    forms::CommandButton& cmdOK = Add<forms::CommandButton>("cmdOK");
    forms::CommandButton& CancelCmd = Add<forms::CommandButton>("CancelCmd");
    forms::CommandButton& cmdEnd = Add<forms::CommandButton>("cmdEnd");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Form_Resize();
    void Check1_Click();
    void LimitesCmd_Click();
    void cmdOK_Click();
    void CancelCmd_Click();
};
