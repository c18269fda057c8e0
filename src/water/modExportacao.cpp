#include "water/modExportacao.h"

#include "cad/modAcad.h"
#include "cad/modVista.h"
#include "platform/acad/Block.h"
#include "shell/ProgressBar.h"
#include "shell/modMensagem.h"
#include "terrain/clsHatchs.h"
#include "terrain/modRegioes.h"
#include "terrain/modTerreno.h"
#include "water/ClsWATExp.h"
#include "platform/ProcessState.h"

std::vector<std::int32_t> gZonaDaRegiao;

namespace {
const platform::ProcessStateReset kResetExportacao([] { gZonaDaRegiao.clear(); });
}  // namespace

bool NomeiaZonas(clsHatchs& Zonas)
{
    gZonaDaRegiao.assign(gHatchZonas.size(), -1);
    for (std::size_t k = 0; k < gZonas.size(); ++k) {
        const int r = RegiaoDoPonto(gHatchZonas, gZonas[k].Ponto);
        if (r < 0) continue;
        if (const std::int32_t outra = gZonaDaRegiao[static_cast<std::size_t>(r)]; outra >= 0) {
            ExibeMensagem(0, "Atenção",
                          "As zonas \"" + gZonas[static_cast<std::size_t>(outra)].Nome + "\" e \"" + gZonas[k].Nome +
                              "\" estão na mesma hachura: cada zona precisa de uma hachura própria.\r\n\r\n"
                              "Operação cancelada.");
            return false;
        }
        gZonaDaRegiao[static_cast<std::size_t>(r)] = static_cast<std::int32_t>(k);
        Zonas.SetTipo(r, gZonas[k].Nome);
        gHatchZonas[static_cast<std::size_t>(r)].Nome = gZonas[k].Nome;
    }
    return true;
}

int RegiaoDeZona(const Ponto& P)
{
    // Hatches that name no zone (a cover, a pattern over part of a zone) are
    // not looked at: drawn over a zone they would otherwise hide it.
    return RegiaoDoPonto(gHatchZonas, P,
                         [](std::size_t r) { return r < gZonaDaRegiao.size() && gZonaDaRegiao[r] >= 0; });
}

int ZonaDoNo(const Ponto& P)
{
    const int r = RegiaoDeZona(P);
    return r < 0 ? -1 : gZonaDaRegiao[static_cast<std::size_t>(r)];
}

bool DadosAosNodes(ProgressBar& Barra, std::vector<std::string>& SemCota)
{
    SemCota.clear();
    bool todosEmZona = true;
    Barra.Progress_Start(gNumNos, "Dados aos Nodes...");
    for (std::int32_t i = 0; i < gNumNos; ++i) {
        NoRec& no = gNos[static_cast<std::size_t>(i)];
        if (const int z = ZonaDoNo(no.Ponto); z >= 0) {
            no.Zona = gZonas[static_cast<std::size_t>(z)].Nome;
            ++gZonas[static_cast<std::size_t>(z)].TotalNodes;
        } else {
            gModelSpace->AddCircle(no.Ponto, 50.0);
            ZoomCentro(no.Ponto, 150.0);
            ExibeMensagem(0, "Atenção", "NODE fora de Zona");
            todosEmZona = false;
        }
        bool noModelo = false;
        no.Elevation = CotaNoPonto(no.Ponto, noModelo);
        if (!noModelo) SemCota.push_back(no.Label);
        Barra.Progress();
    }
    Barra.Progress_Start(0, "");
    return todosEmZona;
}

std::string MensagemSemCota(const std::vector<std::string>& SemCota)
{
    std::string lista;
    for (const std::string& l : SemCota) lista += (lista.empty() ? "" : ", ") + l;
    return (SemCota.size() == 1 ? "O node " + lista + " está fora" : "Os nodes " + lista + " estão fora") +
           " do modelo do terreno: a cota exportada será 0.";
}
