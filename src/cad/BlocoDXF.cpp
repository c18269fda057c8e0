#include "cad/BlocoDXF.h"

#include <cmath>
#include <optional>
#include <stdexcept>

#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/TextEntities.h"
#include "platform/ado/Error.h"
#include "platform/os/TextFile.h"
#include "shell/modCatalogo.h"
#include "shell/modGlobais.h"

namespace {

Ponto PontoDXF(const std::string& Texto, const std::string& OQue)
{
    const std::optional<Ponto> p = SplitCoords(Texto);
    if (!p) throw std::invalid_argument(OQue + " não é um ponto \"x,y\": \"" + Texto + "\"");
    return *p;
}

double NumeroDXF(const std::string& Texto, const std::string& OQue)
{
    if (!IsNumero(Texto)) throw std::invalid_argument(OQue + " não é um número: \"" + Texto + "\"");
    return StrToDbl(Texto);
}

std::string ElementoDXF(const std::vector<std::string>& Lista, std::size_t i, const std::string& OQue)
{
    if (i >= Lista.size()) throw std::invalid_argument("falta o elemento " + std::to_string(i) + " (" + OQue + ")");
    return Lista[i];
}

// Alignment first, then the point it anchors: with any alignment but left the
// host places the text by its alignment point.
void Alinha(acad::TextBase& Texto, int Alinhamento, const Ponto& P)
{
    Texto.SetAlignment(Alinhamento);
    if (Texto.Alignment() != 0) Texto.SetTextAlignmentPoint(P);
}

// A column value of the current row: text, "" for an empty one where that is
// allowed, a clear failure where it is not.
std::string Coluna(ado::Recordset& Rs, const std::string& Tabela, const std::string& Nome, bool AceitaVazio)
{
    ado::Value v;
    try {
        v = Rs.Fields(Nome).Value();
    } catch (const ado::Error& e) {
        throw ErroCatalogo("Tabela " + Tabela + ": " + e.Description());
    }
    if (v.IsNull()) {
        if (AceitaVazio) return "";
        throw ErroCatalogo("Tabela " + Tabela + ": o campo " + Nome + " está vazio.");
    }
    return v.ToText();
}

}  // namespace

std::vector<std::string> ListaDXF(const std::string& Texto)
{
    std::vector<std::string> lista;
    std::size_t inicio = 0;
    for (;;) {
        const std::size_t virgula = Texto.find(',', inicio);
        lista.push_back(Texto.substr(inicio, virgula == std::string::npos ? std::string::npos : virgula - inicio));
        if (virgula == std::string::npos) break;
        inicio = virgula + 1;
    }
    return lista;
}

int InteiroDXF(const std::vector<std::string>& Lista, std::size_t i, const std::string& OQue)
{
    const std::string texto = ElementoDXF(Lista, i, OQue);
    const double v = IsNumero(texto) && !texto.empty() ? StrToDbl(texto) : NAN;
    if (!std::isfinite(v) || v != std::trunc(v) || std::fabs(v) > 2147483647.0)
        throw std::invalid_argument(OQue + " não é um número inteiro: \"" + texto + "\"");
    return static_cast<int>(v);
}

std::vector<BlocoDefRec> LeBlocosDXF(ado::Recordset& Rs, const std::string& Tabela)
{
    std::vector<BlocoDefRec> blocos;
    while (!Rs.Eof()) {
        const std::string nome = Coluna(Rs, Tabela, "Bloco", false);
        // The query sorts by block name: a new name starts a new block.
        if (blocos.empty() || blocos.back().Bloco != nome) blocos.push_back({nome, {}});
        blocos.back().Linhas.push_back({Coluna(Rs, Tabela, "S1", false), Coluna(Rs, Tabela, "S2", false),
                                        Coluna(Rs, Tabela, "S3", true), Coluna(Rs, Tabela, "S4", true)});
        Rs.MoveNext();
    }
    return blocos;
}

acad::Entity* DesenhaLinhaDXF(acad::Block& Bloco, const DXFRowRec& Linha, const std::string& CamadaGeometria)
{
    // Names and texts go into the drawing as they are: bytes that are no
    // text (a damaged table) would make the saved drawing unreadable.
    for (const std::string* p : {&Linha.S2, &Linha.S3, &Linha.S4})
        if (!os::IsValidUtf8(*p)) throw std::invalid_argument("parâmetro com bytes que não formam texto UTF-8");
    acad::Entity* e = nullptr;
    if (Linha.S1 == "Line") {
        e = Bloco.AddLine(PontoDXF(Linha.S2, "início da linha"), PontoDXF(Linha.S3, "fim da linha"));
        e->SetLayer(CamadaGeometria);
    } else if (Linha.S1 == "Point") {
        e = Bloco.AddPoint(PontoDXF(Linha.S2, "ponto"));
        e->SetLayer(CamadaGeometria);
    } else if (Linha.S1 == "Circle") {
        e = Bloco.AddCircle(PontoDXF(Linha.S2, "centro do círculo"), NumeroDXF(Linha.S3, "raio do círculo"));
        e->SetLayer(CamadaGeometria);
    } else if (Linha.S1 == "Arc") {
        const std::vector<std::string> arco = ListaDXF(Linha.S3);
        e = Bloco.AddArc(PontoDXF(Linha.S2, "centro do arco"), NumeroDXF(ElementoDXF(arco, 0, "raio"), "raio do arco"),
                         NumeroDXF(ElementoDXF(arco, 1, "ângulo inicial"), "ângulo inicial do arco"),
                         NumeroDXF(ElementoDXF(arco, 2, "ângulo final"), "ângulo final do arco"));
        e->SetLayer(CamadaGeometria);
    } else if (Linha.S1 == "Attribute") {
        const std::vector<std::string> lista = ListaDXF(Linha.S4);
        const Ponto p = PontoDXF(Linha.S3, "posição do atributo");
        // The whole list is read before anything is added.
        const std::string tag = ElementoDXF(lista, 1, "tag");
        const std::string camada = ElementoDXF(lista, 2, "camada");
        const int modo = InteiroDXF(lista, 3, "modo");
        const int alinhamento = InteiroDXF(lista, 4, "alinhamento");
        const int cor = InteiroDXF(lista, 5, "cor da camada");
        const std::string estilo = ElementoDXF(lista, 6, "estilo de texto");
        auto* a = Bloco.AddAttribute(NumeroDXF(Linha.S2, "altura do atributo"), modo, "", p, tag, "");
        Alinha(*a, alinhamento, p);
        a->SetStyleName(estilo);
        GetLayer(camada, cor, "");
        a->SetLayer(camada);
        e = a;
    } else if (Linha.S1 == "Text") {
        const std::vector<std::string> lista = ListaDXF(Linha.S4);
        const Ponto p = PontoDXF(Linha.S3, "posição do texto");
        const std::string texto = ElementoDXF(lista, 0, "texto");
        const std::string camada = ElementoDXF(lista, 1, "camada");
        const std::string estilo = ElementoDXF(lista, 2, "estilo de texto");
        const int alinhamento = InteiroDXF(lista, 3, "alinhamento");
        const int cor = InteiroDXF(lista, 4, "cor da camada");
        auto* t = Bloco.AddText(texto, p, NumeroDXF(Linha.S2, "altura do texto"));
        t->SetStyleName(estilo);
        Alinha(*t, alinhamento, p);
        GetLayer(camada, cor, "");
        t->SetLayer(camada);
        e = t;
    } else {
        return nullptr;
    }
    e->Update();
    return e;
}

bool ExisteBloco(const std::string& Bloco) { return gAcadDoc && gAcadDoc->Blocks().Find(Bloco) != nullptr; }

void PreparaEstilosDXF()
{
    gAcadDoc->TextStyles().Add("ARIAL")->SetFont("Arial", false, false, 0, 34);
    gAcadDoc->TextStyles().Add("ROMANS")->SetFontFile("Romans.shx");
}

std::string DescreveLinhaDXF(std::size_t i, const DXFRowRec& L)
{
    return "linha " + std::to_string(i + 1) + ": " + L.S1 + " | " + L.S2 + " | " + L.S3 + " | " + L.S4;
}

void ApagaBlocoDXF(acad::Block* Def)
{
    try {
        if (Def) Def->Delete();
    } catch (const acad::Error&) {
    }
}

bool InsertErrorMarker(const Ponto& Pt, double Escala, const std::string& Mensagem, int Cor)
{
    if (!InsertBlockFile("ErroC")) return false;
    acad::BlockReference* marca = gModelSpace->InsertBlock(Pt, "ErroC", Escala, Escala, Escala, 0);
    for (acad::AttributeReference* a : marca->GetAttributes())
        if (a->TagString() == "MENSAGEM") a->SetTextString(Mensagem);
    GetLayer(gLayerConf, 6, "");
    marca->SetLayer(gLayerConf);
    marca->SetColor(Cor);
    marca->Update();
    return true;
}
