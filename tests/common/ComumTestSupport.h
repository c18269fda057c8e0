#pragma once
// What the common tools panel's tests share: a drawing host connected to a
// new drawing, the shipped catalogue (or a small one written in the temporary
// folder) loaded by the panel's start, the panel in a form of its own, and a
// look at the block references the panel inserted.

#include <filesystem>
#include <string>
#include <vector>

#include "cad/CadTestSupport.h"
#include "common/COMDes98.h"
#include "platform/acad/BlockReference.h"
#include "platform/forms/Forms.h"

namespace comumtest {

// A form holding only the panel "CM", shown.
struct FormComum {
    FormComum();
    ~FormComum();
    forms::Form form;
    COMDes98& CM;
};

class ComumTest : public cadtest::CadTest {
private:
    // Set before the panel is made: its pictures are those of the program folder.
    static std::string FigurasDoPrograma();
    std::string pastaFiguras_ = FigurasDoPrograma();

protected:
    ComumTest();
    ~ComumTest() override;

    // A catalogue in the temporary folder whose T_DXFs (without constraints)
    // holds `Linhas` (SQL), made the one the program reads; the panel's next
    // Start loads it.
    std::filesystem::path CatalogoPequeno(const std::string& Linhas);

    // The block references of model space named `Bloco`, in drawing order.
    std::vector<acad::BlockReference*> Insercoes(const std::string& Bloco);
    // The text of the attribute `Tag` of a block reference ("" when it has none).
    static std::string Atributo(acad::BlockReference* b, const std::string& Tag);
    // Types `Texto` into the box key by key, as a person does.
    static void Digita(forms::TextBox& Caixa, const std::string& Texto);

    FormComum painel;
    COMDes98& CM;
};

}  // namespace comumtest
