#pragma once
// The reach correction dialog: a slope, step height or length fault of a
// designed reach explained in a sentence, the reach's numbers on a schematic
// profile of its two manholes and the pipe between them, the faulty value in
// an edit field over its place in the profile, and a small calculator whose
// display is also the button that copies it into the field. The caller fills
// it, shows it modally, reads OK and Text1 and writes the reach block.
//
// The profile is fixed in twips and never scaled to the data: only the step
// variant changes it (DrawDegrau).

#include <string>

#include "platform/forms/Forms.h"
#include "sewer/DialogoDeCorrecao.h"

class frmEditTR : public DialogoDeCorrecao {
public:
    frmEditTR();

    // Set once "Não mostrar mais esta mensagem." has been ticked while shown.
    bool NaoOferecer = false;

    // The fault's type: puts Text1 over the label of the faulty value (6 and 8
    // the slope, 7 the step height, 11 the length) with that label's caption.
    void SetErrType(int Tipo);
    int ErrType() const { return errType_; }
    // The profile with a step or drop pipe at the downstream manhole, or with
    // the pipe straight into its invert.
    void DrawDegrau(bool ComDegrau);

    // The profile: pipe (Line1), dimension and leader lines (Line2), the two
    // manhole shafts (Shape2) and arrow marks (Shape4).
    forms::ControlArray<forms::Line>& Line1 = AddArray<forms::Line>("Line1", {0, 1, 2});
    forms::ControlArray<forms::Line>& Line2 =
        AddArray<forms::Line>("Line2", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
    forms::ControlArray<forms::Shape>& Shape2 = AddArray<forms::Shape>("Shape2", {0, 1});
    forms::ControlArray<forms::Shape>& Shape4 = AddArray<forms::Shape>("Shape4", {0, 1, 2, 3, 4, 5, 6, 7});
    // Numbers of the profile: 0-2 CT, CP, CS upstream; 3-5 downstream; 6 length;
    // 7 slope; 8 TCS; 9 TCP; 10 fall between the inverts; 11 clear length;
    // 12, 13 the manholes' diameters.
    forms::ControlArray<forms::Label>& Label3 =
        AddArray<forms::Label>("Label3", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    forms::TextBox& Text1 = Add<forms::TextBox>("Text1");
    // 0 "+", 1 "-", 2 "x", 3 "/", 4 "=", 5 the display (copies it into Text1).
    forms::ControlArray<forms::CommandButton>& CalcCmd = AddArray<forms::CommandButton>("CalcCmd", {0, 1, 2, 3, 4, 5});
    forms::CheckBox& Check1 = Add<forms::CheckBox>("Check1");

private:
    void Form_Load();
    void Label3_Click(int Index);
    void Text1_Click();
    void CalcCmd_Click(int Index);
    bool Aceita() override;
    void Check1_Click();

    int errType_ = 0;
    double operando_ = 0;
    int operador_ = 0;
};
