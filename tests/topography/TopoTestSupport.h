#pragma once
// What the topography tests share: a drawing host connected to a new drawing,
// the shipped catalogue or a small one written in the temporary folder, the
// panel in a form of its own, and answers to the point dialog.

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "cad/CadTestSupport.h"
#include "platform/forms/Forms.h"
#include "topography/TOPDes98.h"
#include "topography/frmInsPoint.h"

namespace topotest {

// A form holding only the panel "TD", shown; a name of its own (kept
// settings are found by it) or a new one.
struct FormTopo {
    explicit FormTopo(const std::string& Nome = "");
    ~FormTopo();
    forms::Form form;
    TOPDes98& TD;
};

class TopoTest : public cadtest::CadTest {
protected:
    TopoTest();
    ~TopoTest() override;

    // A catalogue in the temporary folder whose T_DXFs (without constraints,
    // so a test may leave any value Null) holds `Linhas` (SQL), made the one
    // the program reads.
    std::filesystem::path CatalogoPequeno(const std::string& Linhas);
    // The shipped catalogue.
    void CatalogoDoPrograma();

    // The next frmInsPoint shown is handed to `usuario` (who presses a button).
    void RespondeInsercao(std::function<void(frmInsPoint&)> usuario);
    // Answers left unused.
    std::size_t RespostasPendentes() const { return insercoes_.size(); }

    // The entities of model space of one kind ("AcDbPoint", "AcDbText").
    std::size_t Conta(const std::string& Tipo);

private:
    std::deque<std::function<void(frmInsPoint&)>> insercoes_;
    forms::TestDriver anterior_;
    std::string pastaFiguras_;
};

}  // namespace topotest
