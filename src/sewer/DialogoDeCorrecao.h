#pragma once
// What the correction dialogs share: the dialog skin (banner, title,
// explanation line, frame), "OK", "Cancelar" and the close box, and the two
// flags they leave for the caller. Each dialog says when "OK" may close it.

#include <string>

#include "platform/forms/Forms.h"

class DialogoDeCorrecao : public forms::Form {
public:
    bool OK = false;
    bool Cancel = false;

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::Label& Titulo = Add<forms::Label>("Titulo");
    forms::Label& Label1 = Add<forms::Label>("Label1");
    forms::CommandButton& CmdCancel = Add<forms::CommandButton>("CmdCancel");
    forms::CommandButton& CmdOK = Add<forms::CommandButton>("CmdOK");
    forms::CommandButton& cmdEnd = Add<forms::CommandButton>("cmdEnd");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

protected:
    // Width and height in twips: the buttons at the bottom right, the close
    // box at the top right, the title and the explanation beside the banner.
    DialogoDeCorrecao(const std::string& Nome, double Largura, double Altura);
    // "OK" closes the dialog only when this agrees (and tells the user why not).
    virtual bool Aceita() { return true; }

private:
    void Fecha(bool Aceito);
};
