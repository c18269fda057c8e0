// The hatch reader on arbitrary bytes, as the file the host's export names:
// the hatches become closed loops and regions, or the file is refused with a
// message and no region is left; it never crashes, leaks or hangs, and the
// file read is neither removed nor joined by another. The regions read answer
// the point lookups.
//
// The first byte chooses one region per pattern name or one per hatch.

#include "FuzzCaixas.h"
#include "FuzzFolder.h"

#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"
#include "shell/frmMsgBox.h"
#include "terrain/clsHatchs.h"
#include "terrain/modRegioes.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

int gCaixas = 0;

}  // namespace

// fontconfig, under Qt's font database, keeps caches it never frees: the
// message box's first showing is not a leak of the reader.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzing::RespondeCaixas(gCaixas);  // the reader shows nothing but messages
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    static fuzzing::Folder pasta;
    const std::string arquivo = pasta.Write("hachuras.dxf", data + 1, size - 1);
    gCaixas = 0;
    bool lido = false;
    {
        clsHatchs h;
        h.RegiaoPorHatch = (data[0] & 1) != 0;
        h.SetCaminhoDXF(arquivo);
        lido = h.ReadHatchs();
        if (!lido && (!gHatchs.empty() || gNumHatchs != 0 || !h.Loops().empty() || gCaixas == 0)) std::abort();
        if (static_cast<std::size_t>(gNumHatchs) != gHatchs.size()) std::abort();
        for (const clsHatchs::LoopRegiao& l : h.Loops()) {
            if (l.Pontos.size() < 2 || l.Pontos.size() % 2) std::abort();
            std::string nome;
            h.Info_Pavto(Ponto(l.Pontos[0] + 0.01, l.Pontos[1] + 0.01), nome);
        }
    }
    if (!std::filesystem::exists(arquivo)) std::abort();
    std::size_t arquivos = 0;
    for (const auto& entry : std::filesystem::directory_iterator(pasta.Path())) {
        (void)entry;
        ++arquivos;
    }
    if (arquivos != 1) std::abort();
    gHatchs.clear();
    gNumHatchs = 0;
    return 0;
}
