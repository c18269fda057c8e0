#include "topography/frmInsPoint.h"

#include "shell/modJanela.h"

using namespace forms;

frmInsPoint::frmInsPoint() : Form("frmInsPoint")
{
    SetBorderStyle(0);
    Move(0, 0, 4800, 2520);
    Picture1(1).Move(120, 120, 780, 780);
    Picture1(1).SetBorderStyle(0);
    Titulo.Move(1020, 150, 3660, 285);
    Titulo.SetFontBold(true);
    Titulo.SetCaption("Inserir Ponto");
    const char* rotulos[] = {"Nome :", "Cota :", "Info :"};
    for (int i = 0; i < 3; ++i) {
        Label1(i).Move(1020, 555 + i * 390, 720, 255);
        Label1(i).SetCaption(rotulos[i]);
        Label1(i).SetBackStyle(0);
        Text1(i).Move(1800, 525 + i * 390, 2880, 285);
    }
    cmdEnd.Move(2520, 1980, 975, 375);
    cmdEnd.SetCaption("Cancelar");
    cmdOK.Move(3600, 1980, 975, 375);
    cmdOK.SetCaption("OK");
    AplicaPele(*this, Shape1, &Picture1(1), true, {&Picture1(1), &Titulo});

    Paint += [this] { Form_Paint(); };
    Text1.GotFocus += [this](int Index) { Text1_GotFocus(Index); };
    Text1.KeyPress += [this](int Index, int& KeyAscii) { Text1_KeyPress(Index, KeyAscii); };
    cmdOK.Click += [this] { cmdOK_Click(); };
    cmdEnd.Click += [this] { cmdEnd_Click(); };
}

void frmInsPoint::Form_Paint() { Text1(0).SetFocus(); }

void frmInsPoint::Text1_GotFocus(int Index)
{
    Text1(Index).SetSelStart(0);
    Text1(Index).SetSelLength(20);
}

void frmInsPoint::Text1_KeyPress(int Index, int& KeyAscii)
{
    if (KeyAscii == vbKeyReturn) {
        KeyAscii = 0;
        Text1((Index + 1) % 3).SetFocus();
        return;
    }
    if (Index != 1 || KeyAscii == vbKeyBack) return;
    // The elevation is written with "." whatever the machine's separator.
    if (KeyAscii == ',') KeyAscii = '.';
    if (KeyAscii == '-' || KeyAscii == '.' || (KeyAscii >= '0' && KeyAscii <= '9')) return;
    KeyAscii = 0;
}

void frmInsPoint::cmdOK_Click()
{
    OK = true;
    Hide();
}

void frmInsPoint::cmdEnd_Click()
{
    OK = false;
    Hide();
}
