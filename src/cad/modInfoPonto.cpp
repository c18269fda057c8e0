#include "cad/modInfoPonto.h"

#include <charconv>
#include <vector>

#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Error.h"
#include "shell/frmPointInfo.h"
#include "shell/modGlobais.h"

namespace {

// A number as plain text, up to 15 significant digits, "." as decimal point
// whatever the locale: the elevation of a free position reaches attributes.
std::string TextoDoNumero(double Valor)
{
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, Valor, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

}  // namespace

void InfoPonto(bool Mostra, bool DesenhaCirculo, Ponto& P, std::string& Nome, std::string& Cota, std::string& Descricao,
               const std::string& Prompt, bool PosicaoLivre)
{
    if (!ConectaAcad()) return;
    AtivaJanelaAcad();

    if (PosicaoLivre) {
        const std::optional<Ponto> livre = GetPonto(std::nullopt, Prompt);
        if (!livre) return;
        P = *livre;
        Nome = "Sem nome";
        Cota = TextoDoNumero(P.Z);
        Descricao = "Não tem";
        P.Z = 0;
    } else {
        Ponto escolhido;
        bool falhou = true;
        std::vector<acad::BlockReference*> contexto;
        acad::Entity* objeto = PegaCoordenadas(Prompt, 1, DesenhaCirculo, escolhido, falhou, contexto);
        auto* ponto = acad::As<acad::Point>(objeto);
        if (falhou || !ponto) return;
        try {
            P = ponto->Coordinates();
            // All applications at once: the first value is the point's own
            // application, i.e. its name; then its elevation and description.
            std::vector<int> tipos;
            std::vector<acad::Variant> valores;
            ponto->GetXData("", tipos, valores);
            if (valores.size() > 0) Nome = valores[0].ToString();
            if (valores.size() > 1) Cota = valores[1].ToString();
            if (valores.size() > 2) Descricao = valores[2].ToString();
        } catch (const acad::Error&) {
        }
    }

    if (Mostra) {
        frmPointInfo frm;
        frm.Mensagem.SetCaption("Nome: " + Nome + "\r\n" + "N: " + FormatNum(P.Y, 3) + "\r\n" +
                                "E: " + FormatNum(P.X, 3) + "\r\n" + "Cota: " + Cota + "\r\n" + "Info: " + Descricao);
        frm.Show(forms::vbModal, gMainForm);
        forms::Unload(frm);
    }
}
