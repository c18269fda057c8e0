#include "common/modEdificacoes.h"

#include <algorithm>
#include <map>
#include <vector>

#include "cad/GuardaVariaveis.h"
#include "cad/InsercaoProvisoria.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modSelecao.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/TextEntities.h"
#include "shell/modMensagem.h"
#include "topography/TOPDes.h"

namespace {

constexpr const char* kEdificacoes[] = {"CAD_MIX", "CAD_RMF", "CAD_RUF", "CAD_COM", "CAD_IND", "CAD_SVP"};
constexpr const char* kHidrometros[] = {"COM_HSIM", "COM_HNAO", "COM_HSIMC", "COM_HNAOC"};

void EscreveAtributo(acad::BlockReference& B, const std::string& Tag, const std::string& Valor,
                     std::optional<double> Rotacao = {})
{
    for (acad::AttributeReference* a : B.GetAttributes()) {
        if (a->TagString() != Tag) continue;
        a->SetTextString(Valor);
        if (Rotacao) a->SetRotation(*Rotacao);
        a->Update();
    }
}

// The building inserted again from its block's present definition: same
// point, rotation and scale; the texts of the attributes that both have, the
// last one of a tag counting as GetAtributo reads it; its extended data.
// Null, and the old insertion kept, when the definition has no S-Q-L either:
// the new one could not hold the address.
acad::BlockReference* Reinsere(acad::BlockReference& Antiga)
{
    std::map<std::string, std::string> textos;
    for (acad::AttributeReference* a : Antiga.GetAttributes()) textos[a->TagString()] = a->TextString();
    std::vector<int> tipos;
    std::vector<acad::Variant> valores;
    Antiga.GetXData("", tipos, valores);

    InsercaoProvisoria nova(gModelSpace->InsertBlock(Antiga.InsertionPoint(), Antiga.Name(), Antiga.XScaleFactor(),
                                                     Antiga.YScaleFactor(), Antiga.ZScaleFactor(), Antiga.Rotation()));
    if (!GetAtributo("S-Q-L", &*nova)) return nullptr;
    for (acad::AttributeReference* a : nova->GetAttributes()) {
        const auto t = textos.find(a->TagString());
        if (t == textos.end()) continue;
        a->SetTextString(t->second);
        a->Update();
    }
    if (!tipos.empty()) nova->SetXData(tipos, valores);
    nova->SetLayer(Antiga.Layer());
    Antiga.Delete();
    return nova.Mantem();
}

}  // namespace

bool EdificacaoNumeravel(const std::string& Bloco)
{
    return std::any_of(std::begin(kEdificacoes), std::end(kEdificacoes), [&](const char* n) { return Bloco == n; });
}

std::string BlocoHidrometro(int Indice) { return Indice >= 0 && Indice < 4 ? kHidrometros[Indice] : ""; }

acad::BlockReference* EnderecaEdificacao(acad::Entity& Edificacao, const EnderecoCadastro& Endereco)
{
    auto* b = dynamic_cast<acad::BlockReference*>(&Edificacao);
    if (!b || !EdificacaoNumeravel(b->Name())) return nullptr;
    GetLayer(Endereco.CamadaSetor(), 0, "");
    const std::optional<std::string> sql = GetAtributo("S-Q-L", b);
    if (!sql || sql->empty()) {
        acad::BlockReference* nova = Reinsere(*b);
        if (!nova) {
            ExibeMensagem(0, "Edificações",
                          "O bloco " + b->Name() +
                              " deste desenho não tem o atributo S-Q-L. Use \"Atualiza Blocos Cadastro\" (aba "
                              "Editar) e numere a edificação de novo.");
            return nullptr;
        }
        b = nova;
    }
    b->SetLayer(Endereco.CamadaSetor());
    b->Update();
    EscreveAtributo(*b, "S-Q-L", Endereco.SQL());
    EscreveAtributo(*b, "UNIDADE", Endereco.Unidade);
    return b;
}

acad::BlockReference* InsereHidrometro(const std::string& Bloco, const EnderecoCadastro& Endereco)
{
    if (!DefineBloco(Bloco, false)) return nullptr;
    // Running object snaps are off while the meter's point and direction are
    // asked, and back as they were however the command ends.
    GuardaVariaveis osmode{"OSMODE"};
    GetLayer(Endereco.CamadaSetor(), 0, "");
    gAcadDoc->SetVariable("OSMODE", acad::Variant(0));
    const std::optional<Ponto> p = GetPonto(std::nullopt, "Ponto de inserção:");
    if (!p) return nullptr;
    const std::optional<double> angulo = GetValorUsuario(p, "Direção:");
    if (!angulo) return nullptr;

    InsercaoProvisoria h(gModelSpace->InsertBlock(*p, Bloco, 1, 1, 1, *angulo));
    h->SetLayer(Endereco.CamadaSetor());
    const std::string app = Endereco.SQLU();
    h->SetXData({1001, 1000}, {acad::Variant(app), acad::Variant(app)});
    h->Update();
    EscreveAtributo(*h, "UNIDADE", Endereco.Unidade, 0.0);
    EscreveAtributo(*h, "S-Q-L", Endereco.SQL());
    return h.Mantem();
}
