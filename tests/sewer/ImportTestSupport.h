#pragma once
// The import worker over the sewer tests' host: design tables written into the
// scratch folder, the file dialogs, the material picker and the report window
// answered from queues, everything else as in every sewer test.

#include <deque>
#include <string>
#include <vector>

#include "SewerTestSupport.h"
#include "TabelaTestSupport.h"
#include "platform/os/Dialogs.h"
#include "sewer/clsSANImp.h"

namespace sewertest {

// A file's bytes, to tell that an output left it as it was ("" when missing).
std::string Conteudo(const std::string& Arquivo);

class ImportTest : public SewerTest {
protected:
    ImportTest();
    ~ImportTest() override;

    // Writes the table into the scratch folder and opens it through the
    // worker's file dialog.
    void AbreTabela(const std::string& Nome, const std::vector<RegistroDbf>& Registros, bool CltatNumerico = false);
    // The manhole block of that number in the active drawing; null when none.
    acad::BlockReference* PVDoDesenho(const std::string& Numero);
    int Desenhos() { return app->Documents().Count(); }

    clsSANImp imp;
    // The answers of the next file dialogs: a path, or "" to cancel.
    std::deque<std::string> arquivos;
    // The answers of the material picker: a catalogue name, or "" to cancel.
    std::deque<std::string> materiais;
    // What the picker showed each time, and the reports shown.
    std::vector<std::string> perguntas;
    std::vector<std::string> relatorios;
    std::vector<os::DialogRequest> dialogos;

private:
    forms::TestDriver formas_;
    os::DialogDriver arquivos_;
};

}  // namespace sewertest
