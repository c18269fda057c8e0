#pragma once
// The choice dialog of a correction: the catalogue's valid values for a stage,
// a material, a pavement, a material and its diameter, or a contribution code,
// offered in place of a value the catalogue does not know. It writes nothing:
// the caller reads the choice and writes it into the drawing.

#include <string>

#include "platform/forms/Forms.h"
#include "sewer/DialogoDeCorrecao.h"

class frmEditList : public DialogoDeCorrecao {
public:
    frmEditList();

    // Check1 "Repassar para todas as ocorrencias semelhantes." is ticked.
    bool Repassar = false;
    // Check2 "Não mostrar mais esta mensagem." is ticked.
    bool NaoMostrar = false;
    // The value chosen in List1 ("" until a line is clicked): for "Etapa" the
    // stage number of the line, otherwise its text.
    std::string Escolha1;
    // The diameter chosen in List2 ("Diametro" only).
    std::string Escolha2;

    // Which list to offer: "Etapa", "Material", "Pavimento", "Diametro" or
    // "Contribuicao"; setting it fills the lists.
    void SetObjetivo(const std::string& Objetivo);
    // The explanation line.
    std::string Mensagem() const { return Label1.Caption(); }
    void SetMensagem(const std::string& Mensagem);

    forms::ListBox& List1 = Add<forms::ListBox>("List1");
    forms::ListBox& List2 = Add<forms::ListBox>("List2");
    forms::Label& Label2 = Add<forms::Label>("Label2");
    forms::Label& Label3 = Add<forms::Label>("Label3");
    forms::CheckBox& Check1 = Add<forms::CheckBox>("Check1");
    forms::CheckBox& Check2 = Add<forms::CheckBox>("Check2");

private:
    void Form_Load();
    void List1_Click();
    void List2_Click();
    bool Aceita() override;
    void Check1_Click();
    void Check2_Click();

    std::string objetivo_;
};
