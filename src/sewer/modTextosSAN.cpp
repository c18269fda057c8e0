#include "sewer/modTextosSAN.h"

#include <string>

#include "cad/modAcad.h"
#include "platform/acad/Error.h"
#include "platform/ProcessState.h"

std::array<bool, 11> gSysVarsTexto{};

namespace {

const char* const CamadasTexto[9] = {"GEN_TextosPV", "GEN_Texto_TR", "GEN_Texto_TR2", "GEN_Texto_TR3", "N_PV",
                                     "Texto_PV",     "TRECHOS",      "Num_Trecho",    "GEN_Coletor"};
// The order in which they are frozen.
const char* const OrdemCongela[9] = {"GEN_Texto_TR", "GEN_Texto_TR2", "GEN_Texto_TR3", "N_PV",       "GEN_TextosPV",
                                     "Texto_PV",     "TRECHOS",       "Num_Trecho",    "GEN_Coletor"};

// A restore without a save would thaw layers the user froze himself.
bool g_salvo = false;

const platform::ProcessStateReset kResetTextosSAN([] {
    gSysVarsTexto = {};
    g_salvo = false;
});

void Congela(const std::string& Nome, bool Congelada)
{
    try {
        gAcadDoc->Layers().Item(Nome)->SetFreeze(Congelada);
    } catch (const acad::Error&) {
    }
}

}  // namespace

void SalvaLayersTexto(bool Salvar)
{
    if (!gAcadDoc) return;
    if (Salvar) {
        for (std::size_t i = 0; i < 9; ++i) {
            try {
                gSysVarsTexto[i] = gAcadDoc->Layers().Item(CamadasTexto[i])->Freeze();
            } catch (const acad::Error&) {
            }
        }
        g_salvo = true;
        for (const char* nome : OrdemCongela) Congela(nome, true);
    } else if (g_salvo) {
        for (std::size_t i = 0; i < 9; ++i) Congela(CamadasTexto[i], gSysVarsTexto[i]);
    }
}
