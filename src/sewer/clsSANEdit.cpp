#include "sewer/clsSANEdit.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/acad/Error.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/SelectionSet.h"
#include "platform/acad/TextEntities.h"
#include "shell/modPainel.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "platform/ProcessState.h"

std::vector<TemaRec> gTemas;

namespace {
const platform::ProcessStateReset kResetSANEdit([] { gTemas.clear(); });
}  // namespace

namespace {

// The marker block. Its file is "ErroC.dwg"; block names are compared without
// case in the drawing, file names are not on every system.
const char* const kMarca = "ErroC";

bool Manhole(const acad::BlockReference& B)
{
    std::string n = B.Name().substr(0, 4);
    std::transform(n.begin(), n.end(), n.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return n == "E-PV";
}

bool Inteiro(const std::string& Texto)
{
    return !Texto.empty() &&
           std::all_of(Texto.begin(), Texto.end(), [](unsigned char c) { return c >= '0' && c <= '9'; });
}

// Manholes and reaches, or reaches only.
const FiltroTipos kTiposRede = {-4, 2, 2, -4};
const FiltroDados kDadosRede = {std::string("<OR"), std::string("E-PV*"), std::string("E-TR*"), std::string("OR>")};
const FiltroTipos kTiposTR = {2};
const FiltroDados kDadosTR = {std::string("E-TR*")};

// The tag a class is tallied by ("Material" also by MATERIAL); "" for a name
// that is none of the four.
std::string TagDaClasse(const std::string& Classe)
{
    if (Classe == "Etapa") return "ET";
    if (Classe == "Pavimento") return "PAVMTO";
    if (Classe == "Material") return "MAT";
    if (Classe == "Contribuição") return "CONTRIB";
    return "";
}

}  // namespace

int CorDoTema(std::size_t Indice) { return static_cast<int>(Indice % 255) + 1; }

// ---------------------------------------------------------------- picks

clsSANEdit::Conjunto clsSANEdit::Escolhe(const FiltroTipos& Tipos, const FiltroDados& Dados)
{
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->SelectOnScreen(Tipos, Dados);
    Conjunto c;
    c.Doc = gAcadDoc;
    c.Ids.reserve(static_cast<std::size_t>(ss->Count()));
    for (acad::Entity* e : *ss) c.Ids.push_back(e->ObjectID());
    return c;
}

acad::Document* clsSANEdit::DesenhoAberto(const Conjunto& C)
{
    return gAcadApp && AbertoNoHost(*gAcadApp, C.Doc) ? C.Doc : nullptr;
}

acad::BlockReference* clsSANEdit::Bloco(acad::Document& Doc, std::int32_t Id)
{
    try {
        return dynamic_cast<acad::BlockReference*>(Doc.ObjectIdToObject(Id));
    } catch (const acad::Error&) {
        return nullptr;  // erased since it was picked
    }
}

void clsSANEdit::Inicia(std::size_t Maximo, const std::string& Caption)
{
    if (cProgress) cProgress->Progress_Start(static_cast<long long>(Maximo), Caption);
}

void clsSANEdit::Avanca()
{
    if (cProgress) cProgress->Progress();
}

// ---------------------------------------------------------------- bulk change

long clsSANEdit::CHSelect(const std::string& Material, const std::string& Pavimento, const std::string& Contrib,
                          const std::string& Etapa)
{
    if (!ConectaAcad()) return 0;
    escolha_ = Escolhe(kTiposRede, kDadosRede);
    acad::Document& doc = *escolha_.Doc;

    const bool filtrar = !(Material.empty() && Pavimento.empty() && Contrib.empty() && Etapa.empty());
    if (filtrar) {
        Inicia(escolha_.Ids.size(), "Filtrando...");
        std::vector<std::int32_t> mantidos;
        mantidos.reserve(escolha_.Ids.size());
        for (std::int32_t id : escolha_.Ids) {
            acad::BlockReference* b = Bloco(doc, id);
            bool remove = !b;
            if (b) {
                if (Manhole(*b) && Etapa.empty()) {
                    remove = true;  // a manhole carries only the stage
                } else {
                    for (const acad::AttributeReference* a : b->GetAttributes()) {
                        const std::string tag = a->TagString();
                        const std::string* criterio = nullptr;
                        if (tag == "ET")
                            criterio = &Etapa;
                        else if (tag == "MATERIAL" || tag == "MAT")
                            criterio = &Material;
                        else if (tag == "PAVMTO")
                            criterio = &Pavimento;
                        else if (tag == "CONTRIB")
                            criterio = &Contrib;
                        if (criterio && !criterio->empty() && a->TextString() != *criterio) {
                            remove = true;
                            break;
                        }
                    }
                }
            }
            if (!remove) mantidos.push_back(id);
            Avanca();
        }
        Inicia(0, "");
        escolha_.Ids = std::move(mantidos);
    }
    for (std::int32_t id : escolha_.Ids)
        if (acad::BlockReference* b = Bloco(doc, id)) b->Highlight(true);
    return static_cast<long>(escolha_.Ids.size());
}

bool clsSANEdit::CHChange(const std::string& Material, const std::string& Pavimento, const std::string& Contrib,
                          const std::string& Etapa)
{
    const std::string etapa = Apara(Etapa);
    if (!etapa.empty() && !Inteiro(etapa)) {
        ExibeMensagem(0, "Atenção",
                      "Etapa \"" + Etapa + "\" não é um número inteiro." + "\r\n\r\n" + "Nenhum objeto foi alterado.");
        return false;
    }
    acad::Document* doc = DesenhoAberto(escolha_);
    if (!doc) {
        escolha_ = {};
        return true;
    }
    Inicia(escolha_.Ids.size(), "Alterando...");
    for (std::int32_t id : escolha_.Ids) {
        if (acad::BlockReference* b = Bloco(*doc, id)) {
            for (acad::AttributeReference* a : b->GetAttributes()) {
                const std::string tag = a->TagString();
                const std::string* valor = nullptr;
                if (tag == "ET")
                    valor = &etapa;
                else if (tag == "MATERIAL" || tag == "MAT")
                    valor = &Material;
                else if (tag == "PAVMTO")
                    valor = &Pavimento;
                else if (tag == "CONTRIB")
                    valor = &Contrib;
                if (!valor || valor->empty()) continue;
                a->SetTextString(*valor);
                a->Update();
            }
        }
        Avanca();
    }
    Inicia(0, "");
    for (std::int32_t id : escolha_.Ids)
        if (acad::BlockReference* b = Bloco(*doc, id)) b->Highlight(false);
    return true;
}

// ---------------------------------------------------------------- themes

void clsSANEdit::TEMA_Select(const std::string& Classe)
{
    if (!ConectaAcad()) return;
    AtivaJanelaAcad();
    LimpaConferencia();
    classe_ = Classe;
    tema_ = Classe == "Etapa" ? Escolhe(kTiposRede, kDadosRede) : Escolhe(kTiposTR, kDadosTR);

    const std::string tag = TagDaClasse(Classe);
    const bool material = tag == "MAT";
    Inicia(tema_.Ids.size(), "Verif. Classes...");
    gTemas.clear();
    std::unordered_map<std::string, std::size_t> indice;
    for (std::int32_t id : tema_.Ids) {
        if (acad::BlockReference* b = Bloco(*tema_.Doc, id)) {
            for (const acad::AttributeReference* a : b->GetAttributes()) {
                const std::string t = a->TagString();
                if (tag.empty() || !(t == tag || (material && t == "MATERIAL"))) continue;
                std::string valor = Apara(a->TextString());
                const auto [it, novo] = indice.try_emplace(valor, gTemas.size());
                if (novo)
                    gTemas.push_back({std::move(valor), 1});
                else
                    ++gTemas[it->second].contagem;
            }
        }
        Avanca();
    }
    Inicia(0, "");
    if (gTemas.empty()) gTemas.push_back({"", 0});
}

void clsSANEdit::TEMA_Print()
{
    acad::Document* doc = DesenhoAberto(tema_);
    if (!doc) return;
    if (doc != gAcadDoc) {
        // The marks belong in the drawing that was picked; another command has
        // since moved on to another drawing.
        ExibeMensagem(0, "Atenção",
                      "O desenho pesquisado não é o desenho em uso."
                      "\r\n\r\n"
                      "Pesquise novamente.");
        return;
    }
    if (!InsertBlockFile(kMarca)) return;

    // The first class of each value, as the marks look it up.
    std::unordered_map<std::string, std::size_t> classe;
    for (std::size_t i = 0; i < gTemas.size(); ++i) classe.try_emplace(gTemas[i].valor, i);
    const auto Procura = [&](const std::optional<std::string>& Valor) -> std::optional<std::size_t> {
        if (!Valor) return std::nullopt;
        const auto it = classe.find(*Valor);
        if (it == classe.end()) return std::nullopt;
        return it->second;
    };
    const std::string tag = TagDaClasse(classe_);
    const auto Ponta = [](acad::BlockReference* b, const char* Principal, const char* Reserva) {
        std::optional<std::string> texto = GetAtributo(Principal, b);
        if (!texto) texto = GetAtributo(Reserva, b);
        return texto ? SplitCoords(*texto) : std::nullopt;
    };

    bool camada = false;
    const auto Camada = [&] {
        if (!camada) GetLayer(gLayerConf, 0, "");
        camada = true;
    };

    Inicia(tema_.Ids.size(), "Aplicando " + classe_);
    for (std::int32_t id : tema_.Ids) {
        acad::BlockReference* b = tag.empty() ? nullptr : Bloco(*doc, id);
        if (b && Manhole(*b)) {
            if (classe_ == "Etapa") {
                if (const auto i = Procura(GetAtributo("ET", b))) {
                    Camada();
                    acad::BlockReference* m = gModelSpace->InsertBlock(b->InsertionPoint(), kMarca, 2.0, 2.0, 2.0, 0);
                    m->SetColor(CorDoTema(*i));
                    m->SetLayer(gLayerConf);
                    m->Update();
                }
            }
        } else if (b) {
            const std::optional<Ponto> p1 = Ponta(b, "IPV1", "PV1");
            const std::optional<Ponto> p2 = Ponta(b, "IPV2", "PV2");
            std::optional<std::string> valor;
            if (tag == "MAT") {
                valor = GetAtributo("MATERIAL", b);
                if (!valor) valor = GetAtributo("MAT", b);
            } else {
                valor = GetAtributo(tag, b);
            }
            // A reach whose ends cannot be read has nowhere to be marked.
            if (p1 && p2)
                if (const auto i = Procura(valor)) {
                    Camada();
                    DrawTemaLine(*p1, *p2, CorDoTema(*i));
                }
        }
        Avanca();
    }
    Inicia(0, "");
}

void clsSANEdit::DrawTemaLine(const Ponto& p1, const Ponto& p2, int Cor)
{
    const acad::Point3d a = gAcadUtil->PolarPoint(p1, gAcadUtil->AngleFromXAxis(p1, p2), 2.0);
    const acad::Point3d b = gAcadUtil->PolarPoint(p2, gAcadUtil->AngleFromXAxis(p2, a), 2.0);
    acad::LWPolyline* linha = gModelSpace->AddLightWeightPolyline({a.x, a.y, b.x, b.y});
    GetLayer(gLayerConf, 0, "");
    linha->SetLayer(gLayerConf);
    linha->SetConstantWidth(0.5);
    linha->SetColor(Cor);
    linha->Update();
}
