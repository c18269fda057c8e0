#include "water/clsWATDes.h"

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/TextEntities.h"
#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"
#include "water/WATDes.h"
#include "water/clsWATDb.h"

namespace {

// The stage index "0" to "3" as a number; -1 for anything else, which the
// four-entry stage table cannot colour.
int IndiceEtapa(const std::string& Etapa)
{
    if (Etapa.size() != 1 || Etapa[0] < '0' || Etapa[0] > '3') return -1;
    const int i = Etapa[0] - '0';
    return i < static_cast<int>(gEtapasAgua.size()) ? i : -1;
}

}  // namespace

clsWATDes::clsWATDes() = default;
clsWATDes::~clsWATDes() = default;

void clsWATDes::InsertConex(const std::string& Bloco, const std::string& Material, const std::string& Codigo,
                            const std::string& Etapa, const std::string& Cod1, const std::string& Cod2,
                            const std::string& Cod3, const std::string& Cod4)
{
    if (!ConectaAcad()) return;
    const int etapa = IndiceEtapa(Etapa);
    if (etapa < 0) return;
    if (!CriaBlocoConexao(Bloco, false)) return;
    const std::optional<Ponto> ponto = GetPonto(std::nullopt, "Ponto de inserção: ");
    if (!ponto) return;

    acad::BlockReference* blk = gModelSpace->InsertBlock(*ponto, Bloco, 0.5, 0.5, 0.5, 0.0);
    const std::string camada = "CONEXOES_" + Etapa;
    GetLayer(camada, gEtapasAgua[etapa].Cor, "");
    blk->SetLayer(camada);

    acad::AttributeReference* outro = nullptr;
    for (acad::AttributeReference* a : blk->GetAttributes()) {
        const std::string tag = a->TagString();
        const std::string* valor = nullptr;
        if (tag == "CODIGO") valor = &Codigo;
        else if (tag == "MATERIAL") valor = &Material;
        else if (tag == "ETAPA") valor = &Etapa;
        else if (tag == "CODIG1") valor = &Cod1;
        else if (tag == "CODIG2") valor = &Cod2;
        else if (tag == "CODIG3") valor = &Cod3;
        else if (tag == "CODIG4") valor = &Cod4;
        if (valor) {
            a->SetTextString(*valor);
            a->SetVisible(false);
            a->Update();
        } else {
            outro = a;
        }
    }

    gAcadDoc->SendCommand("ROTATE\rLAST\r\r" + JoinCoords(*ponto, 8) + "\r");
    if (outro) {
        outro->SetRotation(0.0);
        outro->Update();
    }
}

void clsWATDes::DrawTubo(const std::string&, const std::string&, const std::string&) {}

void clsWATDes::Find(const std::string&, bool, bool&, short, ProgressBar&) {}
