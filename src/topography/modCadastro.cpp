#include "topography/modCadastro.h"

#include <cmath>
#include <stdexcept>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/SelectionSet.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Application.h"
#include "shell/ProgressBar.h"
#include "topography/TOPDes.h"

namespace {

// ECONOMIAS is typed by hand in the drawing: anything that is not a number
// counts nothing rather than stopping the count.
double Economias(acad::Entity* Edificacao)
{
    const std::optional<std::string> texto = GetAtributo("ECONOMIAS", Edificacao);
    if (!texto) return 0;
    try {
        const double v = StrToDbl(*texto);
        return std::isfinite(v) ? v : 0;
    } catch (const std::invalid_argument&) {
        return 0;
    }
}

}  // namespace

void InsereEdificacao(const std::string& Bloco, const std::array<std::string, 4>& Textos)
{
    if (!DefineBloco(Bloco, false)) return;
    GetLayer("CADASTRO", 250, "");
    const std::optional<Ponto> ponto = GetPonto(std::nullopt, "Ponto de inserção: ");
    if (!ponto) return;

    acad::BlockReference* b = gModelSpace->InsertBlock(*ponto, Bloco, 1, 1, 1, 0);
    b->SetLayer("CADASTRO");
    b->Update();
    for (acad::AttributeReference* a : b->GetAttributes()) {
        const std::string tag = a->TagString();
        for (int i = 0; i < 4; ++i) {
            if (tag != kTagsCadastro[i]) continue;
            a->SetTextString(Textos[static_cast<std::size_t>(i)]);
            a->Update();
        }
    }
    if (Bloco != "CAD_RUF" && Bloco != "CAD_RMF")
        gAcadDoc->SendCommand("ROTATE\rLAST\r\r" + JoinCoords(*ponto, 8) + "\r");
    AtivaJanelaAcad();
}

void InsereSoleiraBaixa()
{
    if (!DefineBloco("CAD_SBX", false)) return;
    Ponto clique;
    bool falhou = false;
    acad::Entity* e = AtivaAcad("Selecione objeto: ", 0, clique, falhou, "");
    if (falhou || !e || e->ObjectName() != "AcDbBlockReference") return;
    auto* edificacao = static_cast<acad::BlockReference*>(e);
    const std::string nome = edificacao->Name();
    const double afastamento = nome == "CAD_RMF" || nome == "CAD_RUF" ? 3.5 : 6.9462;

    const acad::Point3d p = edificacao->InsertionPoint();
    const std::optional<Ponto> q = GetPonto(Ponto(p), "Direção: ");
    if (!q) return;
    const double angulo = gAcadUtil->AngleFromXAxis(p, *q);
    const acad::Point3d s = gAcadUtil->PolarPoint(p, angulo, afastamento);
    // The marker goes on the buildings' layer, which a drawing may not have yet.
    GetLayer("CADASTRO", 250, "");
    acad::BlockReference* marca = gModelSpace->InsertBlock(s, "CAD_SBX", 1, 1, 1, angulo);
    marca->SetLayer("CADASTRO");
    marca->Update();
}

long long QuantidadesRec::TotalQuantidade() const
{
    long long t = 0;
    for (long long q : Quantidade) t += q;
    return t;
}

double QuantidadesRec::TotalEconomias() const
{
    double t = 0;
    for (double e : Economias) t += e;
    return t;
}

QuantidadesRec ContaEdificacoes(ProgressBar& Progresso)
{
    acad::SelectionSet& ss = gAcadDoc->ActiveSelectionSet();
    ss.Clear();
    ss.Select(5, {}, {}, {2}, {acad::Variant("CAD_*")});
    const std::vector<acad::Entity*> achados = ss.Items();

    QuantidadesRec q;
    Progresso.Progress_Start(static_cast<long long>(achados.size()));
    for (acad::Entity* e : achados) {
        forms::DoEvents();
        if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && !b->IsErased()) {
            const std::string nome = b->Name();
            for (std::size_t k = 0; k < 6; ++k) {
                if (nome != kTiposCadastro[k].Bloco) continue;
                ++q.Quantidade[k];
                // Rounded after each addition, halves to even, as the table
                // has always summed them.
                q.Economias[k] = std::nearbyint(q.Economias[k] + Economias(b));
            }
        }
        Progresso.Progress();
    }
    Progresso.Progress_Start(0);
    return q;
}

void DesenhaQuantidades(ProgressBar& Progresso)
{
    const QuantidadesRec q = ContaEdificacoes(Progresso);
    const std::optional<Ponto> ponto = GetPonto(std::nullopt, "Ponto de inserção:");
    if (!ponto) return;
    if (!InsertBlockFile("CAD_QTT")) return;
    acad::BlockReference* tabela = gModelSpace->InsertBlock(*ponto, "CAD_QTT", 1, 1, 1, 0);

    static const char* const tipos[6] = {"RUF", "RMF", "MIX", "COM", "IND", "SVP"};
    auto valor = [&](const std::string& tag) -> std::optional<double> {
        if (tag == "QTT_TOTAL") return static_cast<double>(q.TotalQuantidade());
        if (tag == "ECO_TOTAL") return q.TotalEconomias();
        for (std::size_t k = 0; k < 6; ++k) {
            if (tag == std::string("QTT_") + tipos[k]) return static_cast<double>(q.Quantidade[k]);
            if (tag == std::string("ECO_") + tipos[k]) return q.Economias[k];
        }
        return std::nullopt;
    };
    for (acad::AttributeReference* a : tabela->GetAttributes()) {
        const std::optional<double> v = valor(a->TagString());
        if (!v) continue;
        a->SetTextString(FormatNum(*v, 0));
        a->Update();
    }
}
