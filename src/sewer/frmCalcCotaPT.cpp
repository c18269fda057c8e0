#include "sewer/frmCalcCotaPT.h"

#include "shell/modJanela.h"

using namespace forms;

frmCalcCotaPT::frmCalcCotaPT() : Form("frmCalcCotaPT")
{
    SetBorderStyle(0);
    Move(0, 0, 4680, 3150);
    Picture1(1).Move(120, 120, 780, 780);
    Picture1(1).SetBorderStyle(0);
    Titulo.Move(1020, 150, 3060, 285);
    Titulo.SetCaption("Cota do Terreno");
    Titulo.SetFontBold(true);
    Label1.Move(1020, 555, 3060, 255);
    Label1.SetCaption("Selecione opção:");
    Command1.Move(1020, 900, 1560, 375);
    Command1.SetCaption("Sobre o Ponto");
    Command2.Move(2700, 900, 1560, 375);
    Command2.SetCaption("Interpolado");
    Check1.Move(1020, 1380, 3240, 255);
    Check1.SetCaption("Evidenciar Erro de Zirizev");
    Label2.Move(240, 1740, 4200, 855);
    Label2.SetWordWrap(true);
    Label2.SetCaption(
        "Obs: Se voce utilizar um XRef para coleta de Pontos, verifique antes se as coordenadas do "
        "XRef correspondem com as coordenadas verdadeiras.");
    cmdEnd.Move(4260, 120, 300, 255);
    cmdEnd.SetCaption("X");
    AplicaPele(*this, Shape1, &Picture1(1), true, {&Picture1(1), &Titulo});

    Command1.Click += [this] { Command1_Click(); };
    Command2.Click += [this] { Command2_Click(); };
    cmdEnd.Click += [this] { cmdEnd_Click(); };
    Check1.Click += [this] { Check1_Click(); };
}

void frmCalcCotaPT::Command1_Click()
{
    Opcao = 1;
    Hide();
}

void frmCalcCotaPT::Command2_Click()
{
    Opcao = 2;
    Hide();
}

void frmCalcCotaPT::cmdEnd_Click()
{
    Opcao = 0;
    Hide();
}

void frmCalcCotaPT::Check1_Click() { EvidenciarErro = Check1.Value() != vbUnchecked; }
