#include "topography/TOPDes.h"

#include <exception>

#include "cad/AoSair.h"
#include "cad/GuardaVariaveis.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "platform/acad/Error.h"
#include "platform/forms/Application.h"
#include "platform/forms/Types.h"
#include "shell/modMensagem.h"
#include "platform/ProcessState.h"

std::vector<BlocoDefRec> gBlocosTopo;
short gTopoCarregado = 0;

namespace {
const platform::ProcessStateReset kResetTOPDes([] {
    gBlocosTopo.clear();
    gTopoCarregado = 0;
});
}  // namespace

namespace {

const BlocoDefRec* RegistroDoBloco(const std::string& Nome)
{
    for (const BlocoDefRec& b : gBlocosTopo)
        if (b.Bloco == Nome) return &b;
    return nullptr;
}

void Preenche(acad::Block& Def, const BlocoDefRec& Rec, const std::string& Camada, std::string& Onde)
{
    for (std::size_t i = 0; i < Rec.Linhas.size(); ++i) {
        Onde = " (" + DescreveLinhaDXF(i, Rec.Linhas[i]) + ")";
        DesenhaLinhaDXF(Def, Rec.Linhas[i], Camada);
    }
    Onde.clear();
}

}  // namespace

CamadaBlocoTopo CamadaDoBlocoTopo(const std::string& Nome)
{
    if (Nome == "COM_GRADE") return {"GRADE_10", 42, {{"GRADE_10_LINHA", 7}}};
    if (Nome == "COM_QUADRA" || Nome == "COM_QUADRAD" || Nome == "COM_QUADRADD") return {"COD_QUADRA", 5, {}};
    if (Nome == "COM_LOTE") return {"COD_LOTE", 170, {}};
    if (Nome == "COM_SETA") return {"GRADE_10", 42, {}};
    for (const char* n : {"CAD_COM", "CAD_IND", "CAD_MIX", "CAD_RUF", "CAD_RMF", "CAD_SVP"})
        if (Nome == n) return {"CADASTRO", 250, {}};
    for (const char* n : {"COM_HSIM", "COM_HNAO", "COM_HSIMC", "COM_HNAOC"})
        if (Nome == n) return {"LIGACAO", 5, {}};
    if (Nome == "QUADRICULA2") return {"QUADRICULA", 1, {}};
    return {"0", 0, {}};
}

bool DefineBloco(const std::string& Nome, bool Redefinir)
{
    if (!gAcadDoc) return false;
    const bool existia = ExisteBloco(Nome);
    if (existia && !Redefinir) return true;

    // Nothing is touched for a name the catalogue does not know: a block
    // being redefined would otherwise be left empty.
    const BlocoDefRec* rec = RegistroDoBloco(Nome);
    if (!rec || rec->Linhas.empty()) {
        ExibeMensagem(0, "Atenção",
                      "O bloco " + Nome + " não tem linhas na tabela T_DXFs do catálogo.\r" +
                          (existia ? "O bloco do desenho não foi alterado." : "O bloco não foi criado."));
        return false;
    }
    const BlocoDefRec linhas = *rec;

    // The hourglass while the block is built; the pointer as it was on every path.
    const int ponteiro = forms::Screen.MousePointer();
    forms::Screen.SetMousePointer(forms::vbHourglass);
    AoSair voltaPonteiro([ponteiro] { forms::Screen.SetMousePointer(ponteiro); });
    std::string onde;
    std::string erro;
    std::string oQue = "construir";
    {
        GuardaVariaveis cecolor{"CECOLOR"};
        acad::Block* rascunho = nullptr;
        acad::Block* def = nullptr;
        try {
            GetLayer("DefPoints", 10, "");
            const CamadaBlocoTopo camada = CamadaDoBlocoTopo(Nome);
            if (camada.Cor != 0) GetLayer(camada.Camada, camada.Cor, "");
            for (const auto& [outra, cor] : camada.Outras) GetLayer(outra, cor, "");
            gAcadDoc->SetVariable("CECOLOR", "BYLAYER");
            PreparaEstilosDXF();
            // Every row is built first where nobody sees it: a row that cannot
            // be built then leaves the block as it was.
            rascunho = gAcadDoc->Blocks().Add({0, 0, 0}, "*U");
            Preenche(*rascunho, linhas, camada.Camada, onde);
            ApagaBlocoDXF(rascunho);
            rascunho = nullptr;

            oQue = "criar";
            def = gAcadDoc->Blocks().Add({0, 0, 0}, Nome);
            oQue = "construir";
            def->Clear();
            Preenche(*def, linhas, camada.Camada, onde);
        } catch (const acad::Error& e) {
            erro = e.Description();
        } catch (const std::exception& e) {
            erro = e.what();
        }
        ApagaBlocoDXF(rascunho);
        if (!erro.empty() && !existia) ApagaBlocoDXF(def);
    }
    if (erro.empty()) return true;
    ExibeMensagem(0, "Atenção", "Não foi possível " + oQue + " o bloco " + Nome + onde + ":\r" + erro);
    return false;
}
