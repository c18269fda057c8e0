#include "common/modClipSetor.h"

#include <cmath>
#include <optional>

#include "cad/AoSair.h"
#include "cad/modAcad.h"
#include "cad/modCurvas.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/Error.h"
#include "shell/ProgressBar.h"
#include "shell/modMensagem.h"
#include "topography/TOPDes.h"

std::vector<double> SemVerticesProximos(const std::vector<double>& L)
{
    std::vector<double> R;
    for (std::size_t k = 0; k + 1 < L.size(); k += 2) {
        if (R.size() >= 2 && std::fabs(L[k] - R[R.size() - 2]) < 0.01 && std::fabs(L[k + 1] - R.back()) < 0.01)
            continue;
        R.push_back(L[k]);
        R.push_back(L[k + 1]);
    }
    return R;
}

std::string ComandoXClip(const std::string& Handle, const std::vector<double>& Contorno)
{
    const std::string CR = "\r";
    std::string t = "_XCLIP" + CR + "(Handent " + acad::CommandWord(Handle) + ")" + CR + CR + "NEW" + CR + "P" + CR;
    for (std::size_t k = 0; k + 1 < Contorno.size(); k += 2)
        t += JoinCoords(Ponto(Contorno[k], Contorno[k + 1]), 4) + CR;
    return t + CR;
}

void ClipSetor()
{
    if (!ConectaAcad()) return;
    Ponto escolhido;
    bool falhou = false;
    acad::Entity* contorno = AtivaAcad("Selecione contorno:", 2, escolhido, falhou, "");
    if (falhou || !contorno) return;
    double comprimento = 0;
    const std::optional<std::vector<double>> lista = CurvaParaPontos(contorno, comprimento, std::nullopt, 0.5);
    if (!lista) return;
    const std::vector<double> vertices = SemVerticesProximos(*lista);

    acad::Entity* referencia = AtivaAcad("Selecione XREF:", 2, escolhido, falhou, "AcDbBlockReference");
    if (falhou || !referencia) return;
    const std::string handle = referencia->Handle();

    gAcadDoc->SetVariable("CMDECHO", 0);
    try {
        gAcadDoc->SendCommand(ComandoXClip(handle, vertices));
    } catch (const acad::Error& e) {
        ExibeMensagem(0, "Clip Setor", e.Description());
    }
}

void AtualizaBlocosCadastro(ProgressBar& Barra)
{
    if (!ConectaAcad()) return;
    // The bar is cleared however the rebuild ends.
    AoSair limpa([&Barra] { Barra.Progress_Start(0); });
    Barra.Progress_Start(7);
    for (const char* nome : {"CAD_COM", "CAD_IND", "CAD_MIX", "CAD_RUF", "CAD_RMF", "CAD_SVP"}) {
        Barra.Progress();
        DefineBloco(nome, true);
    }
}
