#include "water/frmTable.h"

#include "shell/modJanela.h"

using namespace forms;

frmTable::frmTable() : Form("frmTable")
{
    SetBorderStyle(0);
    SetCaption("Materiais");
    Move(0, 0, 6000, 5400);
    Picture1(1).Move(120, 120, 780, 780);
    Picture1(1).SetBorderStyle(0);
    cmdEnd.Move(5625, 120, 255, 255);
    cmdEnd.SetCaption("X");
    Command1.Move(4905, 4905, 975, 375);
    Command1.SetCaption("Fechar");
    // Not kept on top: the user works beside it.
    AplicaPele(*this, Shape1, &Picture1(1), false, {&Picture1(1)});

    Command1.Click += [this] { Command1_Click(); };
    cmdEnd.Click += [this] { cmdEnd_Click(); };
}

void frmTable::Command1_Click()
{
    forms::Unload(*this);
}

void frmTable::cmdEnd_Click()
{
    forms::Unload(*this);
}
