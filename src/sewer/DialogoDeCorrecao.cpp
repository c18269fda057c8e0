#include "sewer/DialogoDeCorrecao.h"

#include "shell/modJanela.h"

DialogoDeCorrecao::DialogoDeCorrecao(const std::string& Nome, double Largura, double Altura) : Form(Nome)
{
    SetBorderStyle(0);
    Move(0, 0, Largura, Altura);
    Picture1(1).Move(120, 120, 780, 780);
    Picture1(1).SetBorderStyle(0);
    Titulo.Move(1020, 150, Largura - 1455, 285);
    Titulo.SetFontBold(true);
    cmdEnd.Move(Largura - 375, 120, 255, 255);
    cmdEnd.SetCaption("X");
    Label1.Move(1020, 480, Largura - 1140, 600);
    CmdCancel.Move(Largura - 2295, Altura - 540, 1035, 375);
    CmdCancel.SetCaption("Cancelar");
    CmdOK.Move(Largura - 1155, Altura - 540, 1035, 375);
    CmdOK.SetCaption("OK");
    AplicaPele(*this, Shape1, &Picture1(1), true, {&Picture1(1), &Titulo});

    Load += [this] {
        OK = false;
        Cancel = false;
    };
    CmdOK.Click += [this] {
        if (Aceita()) Fecha(true);
    };
    CmdCancel.Click += [this] { Fecha(false); };
    cmdEnd.Click += [this] { Fecha(false); };
}

void DialogoDeCorrecao::Fecha(bool Aceito)
{
    OK = Aceito;
    Cancel = !Aceito;
    Hide();
}
