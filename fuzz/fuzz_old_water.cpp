// The conversion of an old-format water drawing on a fuzzed DXF drawing, as
// the water panel's "Automático" runs it: the drawing is opened (or refused
// with the reader's error), the user confirms the checks, the fittings and
// pipes are converted, and the manual phase is declined at its first
// question. The converted drawing saves and opens again, and no message
// speaks another library's words.

#include "FuzzFolder.h"
#include "FuzzProgram.h"

#include "platform/acad/DxfFile.h"
#include "shell/ProgressBar.h"
#include "shell/modPainel.h"
#include "water/ClsWatUpdate.h"
#include "water/clsWATDb.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::vector<fuzzing::Caixa> gCaixas;

}  // namespace

// fontconfig, under Qt's font database, keeps caches it never frees.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzing::IniciaPrograma([](forms::Form& f) {
        auto* box = dynamic_cast<frmMsgBox*>(&f);
        if (!box) return false;
        gCaixas.push_back({box->Titulo.Caption(), box->Mensagem.Caption()});
        // The manual phase is declined; everything else goes on.
        forms::user::Click(box->Titulo.Caption() == "Converter antigos" ? box->CmdCancel : box->CmdOK);
        return true;
    });
    if (!clsWATDb().LoadDb()) std::abort();
    MontaTiposTubo();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzzing::Folder pasta;
    static forms::Form form("frmFuzzAntigos");
    static ProgressBar& barra = form.Add<ProgressBar>("Barra");

    const std::string arquivo = pasta.Write("antigo.dwg", data, size);
    gCaixas.clear();
    fuzzing::Host host;
    try {
        host.app.Documents().Open(arquivo);
        host.app.ZoomExtents();  // the engineer looks at the whole network
    } catch (const acad::Error&) {
        return 0;  // refused by the reader: the DXF target's business
    }
    {
        // As the panel runs it: a failure is the command's message.
        ClsWatUpdate upd;
        Protegido([&] { upd.Update(barra); });
    }
    for (const fuzzing::Caixa& c : gCaixas)
        if (fuzzing::TextoDeBiblioteca(c.Texto)) std::abort();
    const std::string salvo = acad::WriteDxfText(*host.app.ActiveDocument());
    acad::Document denovo;
    try {
        acad::ReadDxfText(denovo, salvo, "convertido");
    } catch (const acad::Error&) {
        std::abort();  // the converted drawing does not open again
    }
    return 0;
}
