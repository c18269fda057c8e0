#include "topography/PontoTopografico.h"

#include <vector>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "platform/acad/Block.h"
#include "platform/acad/Error.h"
#include "platform/acad/Tables.h"
#include "platform/os/TextFile.h"

namespace {

constexpr double kAlturaTexto = 1.5;

// Straight up the Y axis; the point's Z is kept, as the host's polar point does.
Ponto Acima(const Ponto& P, double d) { return Ponto(P.X, P.Y + d, P.Z); }

acad::Text* Texto(acad::Block& Espaco, const std::string& Valor, const Ponto& P, const char* Camada)
{
    acad::Text* t = Espaco.AddText(Valor, P, kAlturaTexto);
    t->SetLayer(Camada);
    t->Update();
    return t;
}

}  // namespace

void CamadasPontoTopografico()
{
    GetLayer(kCamadaPonto, 10, "");
    GetLayer(kCamadaPontoTexto, 170, "");
    GetLayer(kCamadaPontoCota, 170, "");
    GetLayer(kCamadaPontoDescricao, 3, "");
}

bool NomePontoValido(const std::string& Nome) { return os::IsValidUtf8(Nome) && acad::IsValidSymbolName(Nome); }

void DesenhaTextosPonto(const Ponto& P, const DadosPonto& Dados, acad::Block& Espaco, PontoDesenhado& Feito)
{
    Feito.Nome = Texto(Espaco, Dados.Nome, Acima(P, 5.0), kCamadaPontoTexto);
    Feito.Cota = Texto(Espaco, Dados.Cota, Acima(P, 3.0), kCamadaPontoCota);
    Feito.Descricao = Texto(Espaco, Dados.Descricao, Acima(P, 1.0), kCamadaPontoDescricao);
}

PontoDesenhado DesenhaPontoTopografico(const Ponto& P, const DadosPonto& Dados, acad::Block* Espaco)
{
    acad::Block& espaco = Espaco ? *Espaco : *gModelSpace;
    if (!NomePontoValido(Dados.Nome))
        throw acad::Error(acad::ErrorCode::InvalidInput, "Nome de ponto inválido: \"" + Dados.Nome + "\"");
    PontoDesenhado feito;
    try {
        feito.Ponto = espaco.AddPoint(P);
        feito.Ponto->SetXData({1001, 1000, 1000}, {Dados.Nome, Dados.Cota, Dados.Descricao});
        feito.Ponto->SetLayer(kCamadaPonto);
        feito.Ponto->Update();
        DesenhaTextosPonto(P, Dados, espaco, feito);
    } catch (...) {
        // Half a survey point is none: what was drawn of it goes.
        for (acad::Entity* e : {static_cast<acad::Entity*>(feito.Ponto), static_cast<acad::Entity*>(feito.Nome),
                                static_cast<acad::Entity*>(feito.Cota), static_cast<acad::Entity*>(feito.Descricao)}) {
            try {
                if (e) e->Delete();
            } catch (const acad::Error&) {
            }
        }
        throw;
    }
    return feito;
}

bool LePontoTopografico(const acad::Entity* Entidade, DadosPonto& Dados)
{
    const auto* ponto = dynamic_cast<const acad::Point*>(Entidade);
    if (!ponto) return false;
    std::vector<int> tipos;
    std::vector<acad::Variant> valores;
    try {
        ponto->GetXData("", tipos, valores);
    } catch (const acad::Error&) {
        return false;
    }
    if (valores.empty()) return false;
    Dados.Nome = valores[0].ToString();
    Dados.Cota = valores.size() > 1 ? valores[1].ToString() : "";
    Dados.Descricao = valores.size() > 2 ? valores[2].ToString() : "";
    return true;
}
