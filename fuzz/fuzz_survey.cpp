// The survey-point import on arbitrary bytes, as the point menu runs it on a
// text file, into a new drawing of a host connected as the program connects:
// every line is drawn as a point or reported as skipped, the closing message
// names the skipped lines, and nothing is written beside the file. The drawing holds as
// many points as the import says it drew.

#include "FuzzCaixas.h"
#include "FuzzFolder.h"

#include "cad/modAcad.h"
#include "cad/modVista.h"
#include "platform/acad/Acad.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"
#include "shell/ProgressBar.h"
#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"
#include "topography/modPontosTopo.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// Boxes shown; the import is run without its closing box (a box costs more
// than the read of a small file), so none may be shown at all.
int gCaixas = 0;


}  // namespace

// fontconfig, under Qt's font database, keeps caches it never frees: the
// message box's first showing is not a leak of the reader.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzing::RespondeCaixas(gCaixas);  // no other form belongs in an import
    gAcadProgID = "AutoCAD.Application";
    gLayerConf = "0-Conferencia";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzzing::Folder pasta;
    static forms::Form form("frmFuzzPontos");
    static ProgressBar& barra = form.Add<ProgressBar>("Barra");

    const std::string arquivo = pasta.Write("pontos.txt", data, size);
    gCaixas = 0;
    ResultadoImportacao r;
    std::size_t pontos = 0;
    {
        fuzzing::ZeraConexao();
        acad::Application app;
        app.Documents().Add("Acad");
        acad::ActiveObjectRegistration registro(app);
        r = ImportaArquivoPontos(arquivo, barra, false);
        for (acad::Entity* e : app.ActiveDocument()->ModelSpace())
            if (e->ObjectName() == "AcDbPoint") ++pontos;
        fuzzing::ZeraConexao();
    }

    if (gCaixas != 0) std::abort();
    const std::string mensagem = MensagemImportacao(r);
    if (!mensagem.starts_with("Foram inseridos " + std::to_string(r.Inseridos) + " pontos.")) std::abort();
    if (r.NaoImportadas.empty() != (mensagem.find("Linhas não importadas: ") == std::string::npos)) std::abort();
    if (static_cast<long long>(pontos) != r.Inseridos) std::abort();
    if (r.Inseridos + static_cast<long long>(r.NaoImportadas.size()) > r.Linhas) std::abort();
    long long anterior = 0;
    for (long long n : r.NaoImportadas) {
        if (n <= anterior || n > r.Linhas) std::abort();
        anterior = n;
    }
    std::size_t arquivos = 0;
    for (const auto& entry : std::filesystem::directory_iterator(pasta.Path())) {
        (void)entry;
        ++arquivos;
    }
    if (arquivos != 1) std::abort();  // the import wrote something beside the file
    return 0;
}
