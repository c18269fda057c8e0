#include "water/clsWATDes.h"

#include <cmath>
#include <vector>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/TextEntities.h"
#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"
#include "cad/modVista.h"
#include "platform/acad/SelectionSet.h"
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

void clsWATDes::Find(const std::string& Codigo, bool EmTubos, bool& EmConexoes, short /*Etapa*/,
                     ProgressBar& Progresso)
{
    if (!ConectaAcad()) return;

    // Only block references are read: with neither box ticked every block
    // reference is a candidate, as a code can only live in their attributes.
    FiltroTipos tipos;
    FiltroDados dados;
    if (EmTubos && !EmConexoes) {
        tipos = {2};
        dados = {acad::Variant("A-TUBO")};
    } else if (EmConexoes && !EmTubos) {
        tipos = {-4, 2, -4, 2, -4, -4};
        dados = {acad::Variant("<AND"), acad::Variant("A-*"),    acad::Variant("<NOT"),
                 acad::Variant("A-TUBO"), acad::Variant("NOT>"), acad::Variant("AND>")};
    } else if (EmConexoes && EmTubos) {
        tipos = {2};
        dados = {acad::Variant("A-*")};
    } else {
        tipos = {0};
        dados = {acad::Variant("INSERT")};
    }

    // Whatever ends the search, the cancel window goes and the main window
    // comes back.
    struct Fim {
        clsWATDes& des;
        ~Fim()
        {
            try {
                des.FechaCancelar();
                if (gMainForm && gMainForm->WindowState() == forms::vbMinimized)
                    gMainForm->SetWindowState(forms::vbNormal);
            } catch (...) {
            }
        }
    } fim{*this};

    AtivaJanelaAcad();
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->SelectOnScreen(tipos, dados);
    std::vector<acad::BlockReference*> blocos;
    blocos.reserve(static_cast<std::size_t>(ss->Count()));
    for (acad::Entity* e : *ss)
        if (auto* b = dynamic_cast<acad::BlockReference*>(e)) blocos.push_back(b);

    fCancel = std::make_unique<frmCancelar>();
    fCancel->Cancel = false;
    fCancel->SetMensagem("Localizar Código");
    PosicionaDialogo(*fCancel, gMsgLeft, gMsgTop);
    fCancel->Show(forms::vbModeless, gMainForm);

    Progresso.Progress_Start(static_cast<long long>(blocos.size()), "");
    std::vector<Ponto> achados;
    for (acad::BlockReference* b : blocos) {
        forms::DoEvents();
        if (!fCancel || fCancel->Cancel) return;
        for (acad::AttributeReference* a : b->GetAttributes()) {
            if (a->TagString().compare(0, 5, "CODIG") != 0) continue;
            const std::string texto = a->TextString();
            if (!texto.empty() && texto.find(Codigo) != std::string::npos) achados.push_back(b->InsertionPoint());
        }
        Progresso.Progress();
    }
    FechaCancelar();
    Progresso.Progress_Start(0, "");

    if (achados.empty()) {
        ExibeMensagem(0, "Localizar " + Codigo, "Nenhuma ocorrencia encontrada.");
        return;
    }
    if (gMainForm) gMainForm->SetWindowState(forms::vbMinimized);
    const std::string n = std::to_string(achados.size());
    int left = gMsgLeft, top = gMsgTop;
    for (std::size_t i = 0; i < achados.size(); ++i) {
        ZoomCentro(achados[i], 50);
        bool ok = false, cancel = false, check = false;
        ExibeMensagem(4, "Localizar Código - " + std::to_string(i + 1) + " de " + n, "Continuar?", ok, cancel, check,
                      "", left, top);
        if (!ok) break;
    }
}

void clsWATDes::FechaCancelar()
{
    if (!fCancel) return;
    gMsgLeft = static_cast<int>(std::lround(fCancel->Left()));
    gMsgTop = static_cast<int>(std::lround(fCancel->Top()));
    forms::Unload(*fCancel);
    fCancel.reset();
}
