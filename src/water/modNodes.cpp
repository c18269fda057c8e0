#include "water/modNodes.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Error.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/Tables.h"
#include "shell/ProgressBar.h"
#include "shell/modMensagem.h"
#include "water/ClsWATExp.h"

namespace {

// The node block. Block names do not tell case apart in a drawing.
const char* const kNode = "ErroC";

}  // namespace

void EscalaNode()
{
    try {
        Ponto onde;
        bool falhou = true;
        acad::Entity* e = AtivaAcad("Selecione círculo:", 1, onde, falhou, "AcDbBlockReference");
        auto* no = dynamic_cast<acad::BlockReference*>(e);
        if (falhou || !no || !acad::NamesEqual(no->Name(), kNode)) return;
        const Ponto centro = no->InsertionPoint();
        const std::optional<Ponto> ponto = GetPonto(centro, "Raio:");
        if (!ponto) return;
        // A radius of 0 is no scale the host takes; refusing it up front keeps
        // X and Y alike.
        const double r = Distancia(centro, *ponto);
        if (!(r > 0)) return;
        no->SetXScaleFactor(r);
        no->SetYScaleFactor(r);
        no->Update();
    } catch (const acad::Error&) {
    }
}

void NumeraNodes(ProgressBar& Barra)
{
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->Select(acad::acSelectionSetAll, {}, {}, {0, 2}, {acad::Variant("INSERT"), acad::Variant(kNode)});
    std::vector<acad::BlockReference*> blocos;
    blocos.reserve(static_cast<std::size_t>(ss->Count()));
    for (acad::Entity* e : *ss)
        if (auto* b = dynamic_cast<acad::BlockReference*>(e)) blocos.push_back(b);
    if (blocos.empty()) {
        ExibeMensagem(0, "Numerar os Nodes", "Nenhum Node encontrado.");
        return;
    }

    const std::size_t n = blocos.size();
    gNos.assign(n, NoRec());
    gNumNos = 0;
    for (acad::BlockReference* b : blocos) {
        NoRec& no = gNos[static_cast<std::size_t>(gNumNos)];
        no.ObjectID = b->ObjectID();
        no.Raio = b->XScaleFactor();
        no.Ponto = b->InsertionPoint();
        ++gNumNos;
    }
    Barra.Progress_Start(2 * static_cast<long long>(n - 1), "Aguarde...");

    // Overlapping circles would join the same pipe end to two nodes: both
    // shrink to touch. Circles at one point have no distance to share and
    // keep their sizes.
    for (std::size_t i = 0; i + 1 < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            const double d = Distancia(gNos[i].Ponto, gNos[j].Ponto);
            if (!(d - (gNos[j].Raio + gNos[i].Raio) < 0) || !(d > 0)) continue;
            for (std::size_t k : {i, j}) {
                blocos[k]->SetXScaleFactor(d / 2);
                blocos[k]->SetYScaleFactor(d / 2);
                blocos[k]->Update();
                gNos[k].Raio = blocos[k]->XScaleFactor();
            }
        }
        Barra.Progress();
    }

    // From top to bottom; at one height the node selected first comes first.
    std::vector<std::size_t> ordem(n);
    for (std::size_t i = 0; i < n; ++i) ordem[i] = i;
    std::stable_sort(ordem.begin(), ordem.end(),
                     [](std::size_t a, std::size_t b) { return gNos[a].Ponto.Y > gNos[b].Ponto.Y; });
    std::vector<NoRec> nos(n);
    for (std::size_t i = 0; i < n; ++i) {
        nos[i] = std::move(gNos[ordem[i]]);
        SetAtributo("MENSAGEM", std::to_string(i + 1), blocos[ordem[i]]);
        Barra.Progress();
    }
    gNos = std::move(nos);
    Barra.Progress_Start(0, "");
}
