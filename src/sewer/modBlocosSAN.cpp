#include "sewer/modBlocosSAN.h"

#include <stdexcept>

#include "cad/BlocoDXF.h"
#include "cad/GuardaVariaveis.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "platform/acad/Error.h"
#include "sewer/clsSANDb.h"
#include "shell/modMensagem.h"

namespace {

std::string CamadaDaGeometria(const std::string& Bloco)
{
    if (Bloco.compare(0, 4, "E-PV") == 0) {
        GetLayer("PV", 8, "");
        return "PV";
    }
    if (Bloco == "E-TRSAN" || Bloco == "E-TRCGEN") {
        GetLayer("FLUXO", 12, "");
        return "FLUXO";
    }
    return "0";
}

}  // namespace

bool DefineBlocoSAN(const std::string& Bloco, bool Redefinir)
{
    if (!ConectaAcad()) return false;
    const bool existe = ExisteBloco(Bloco);
    if (existe && !Redefinir) return true;

    acad::Block* def = nullptr;
    std::string onde;
    std::string erro;
    {
        try {
            def = gAcadDoc->Blocks().Add({0, 0, 0}, Bloco);
            if (existe) def->Clear();
        } catch (const acad::Error& e) {
            ExibeMensagem(0, "Atenção", "Não foi possível criar o bloco " + Bloco + ":\r" + e.Description());
            return false;
        }
        GuardaVariaveis cecolor{"CECOLOR"};
        try {
            GetLayer("DefPoints", 10, "");
            const std::string camada = CamadaDaGeometria(Bloco);
            gAcadDoc->SetVariable("CECOLOR", "BYLAYER");
            PreparaEstilosDXF();
            const BlocoDefRec* rec = nullptr;
            for (const BlocoDefRec& b : gBlocosSAN) {
                if (b.Bloco == Bloco) {
                    rec = &b;
                    break;
                }
            }
            // A name without rows keeps an empty definition.
            if (rec) {
                for (std::size_t i = 0; i < rec->Linhas.size(); ++i) {
                    onde = " (" + DescreveLinhaDXF(i, rec->Linhas[i]) + ")";
                    DesenhaLinhaDXF(*def, rec->Linhas[i], camada);
                }
            }
        } catch (const acad::Error& e) {
            erro = e.Description();
        } catch (const std::exception& e) {
            erro = e.what();
        }
    }
    if (erro.empty()) return true;

    // Half a block is worse than none: the next call builds it again.
    ApagaBlocoDXF(def);
    ExibeMensagem(0, "Atenção", "Não foi possível construir o bloco " + Bloco + onde + ":\r" + erro);
    return false;
}
