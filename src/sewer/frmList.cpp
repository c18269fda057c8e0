#include "sewer/frmList.h"

#include "shell/modJanela.h"

using namespace forms;

frmList::frmList() : Form("frmList")
{
    SetBorderStyle(0);
    SetCaption("Materiais");
    Move(0, 0, 4200, 4440);
    Picture1.Move(120, 120, 780, 780);
    Picture1.SetBorderStyle(0);
    Label1.Move(1020, 150, 2700, 645);
    Label1.SetFontBold(true);
    Label1.SetCaption("Materiais :");
    cmdEnd.Move(3825, 120, 255, 255);
    cmdEnd.SetCaption("X");
    List1.Move(120, 1020, 3960, 2280);
    Label2.Move(120, 3390, 3960, 285);
    Label2.SetBorderStyle(1);
    Command1(1).Move(1980, 3870, 1035, 375);
    Command1(1).SetCaption("&Cancelar");
    Command1(0).Move(3045, 3870, 1035, 375);
    Command1(0).SetCaption("&OK");
    AplicaPele(*this, Shape1, &Picture1, true, {&Picture1, &Label1});

    List1.Click += [this] { List1_Click(); };
    Command1.Click += [this](int Index) { Command1_Click(Index); };
    cmdEnd.Click += [this] { Hide(); };
}

void frmList::SelectMaterial(Form* Owner, const std::string& Material)
{
    Selected = Material;
    Show(vbModal, Owner);
}

void frmList::List1_Click()
{
    if (List1.ListIndex() >= 0) Label2.SetCaption(List1.List(List1.ListIndex()));
}

void frmList::Command1_Click(int Index)
{
    if (Index == 0) Selected = Label2.Caption();
    Label1.SetCaption("Material: ");
    Hide();
}
