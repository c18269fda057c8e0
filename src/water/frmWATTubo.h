#pragma once
// The pipe dialog: the diameter as title, the pipe types that exist in that
// diameter, the contribution and the length that goes into the pipe's label;
// for a long reach it can also mark a cutting point along the route.
//
// The pipe drawing creates it, shows Frame1(1) for a reach longer than 500,
// sets lCaption, Text1's text, Coords and TuboPref in that order, shows it
// modally over gMainForm, reads Text1, Contrib, TuboPref and Cancel, and
// unloads it.

#include <string>
#include <vector>

#include "platform/forms/Forms.h"

class frmWATTubo : public forms::Form {
public:
    frmWATTubo();

    bool OK = false;
    // Closed with "Cancelar" or "Marcar >>".
    bool Cancel = false;
    // The pipe's route, X0, Y0, X1, Y1, ... from the first fitting's insertion
    // point; only "Marcar >>" reads it.
    std::vector<double> Coords;
    // "SIM", "NAO" or "UNI".
    std::string Contrib;

    // The diameter caption ("DN" + diameter): the title, and the pipe types of
    // that diameter added to the list after "Indefinido".
    void SetlCaption(const std::string& v);

    // The chosen pipe type name. Setting it selects the first item of that
    // text, or leaves the selection alone when the list has none.
    std::string TuboPref() const;
    void SetTuboPref(const std::string& NewTuboPref);

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::Label& Titulo = Add<forms::Label>("Titulo");
    forms::ControlArray<forms::Frame>& Frame1 = AddArray<forms::Frame>("Frame1", {0, 2, 1});
    forms::TextBox& Text1 = Add<forms::TextBox>("Text1", Frame1(0));
    forms::ControlArray<forms::Label>& Label1 = AddArray<forms::Label>("Label1", {0}, Frame1(0));
    forms::ControlArray<forms::OptionButton>& Option1 = AddArray<forms::OptionButton>("Option1", {0, 1, 2}, Frame1(2));
    forms::ComboBox& Combo1 = Add<forms::ComboBox>("Combo1");
    forms::TextBox& CortarTxt = Add<forms::TextBox>("CortarTxt", Frame1(1));
    forms::CommandButton& CortarCmd = Add<forms::CommandButton>("CortarCmd", Frame1(1));
    forms::CommandButton& CmdOK = Add<forms::CommandButton>("CmdOK");
    forms::CommandButton& CmdCancel = Add<forms::CommandButton>("CmdCancel");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Form_Load();
    void Form_Paint();
    void Combo1_Click();
    void Option1_Click(int Index);
    void CmdOK_Click();
    void CmdCancel_Click();
    void CortarCmd_Click();

    std::string tuboPref_;
};
