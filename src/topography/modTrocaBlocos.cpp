#include "topography/modTrocaBlocos.h"

#include <filesystem>

#include "cad/InsercaoProvisoria.h"
#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/SelectionSet.h"
#include "platform/acad/TextEntities.h"
#include "shell/ProgressBar.h"
#include "topography/modFerramentasPontos.h"

namespace {

constexpr int kTodos = 5;  // acSelectionSetAll

acad::BlockReference* Referencia(acad::Entity* e) { return dynamic_cast<acad::BlockReference*>(e); }

// A factor box: a number above zero, or why not.
std::string ConfereFator(const std::string& Rotulo, const std::string& Texto)
{
    if (!IsNumero(Texto) || !(StrToDbl(Texto) > 0)) return Rotulo + " informe um número maior que zero.";
    return "";
}

}  // namespace

std::vector<std::string> BlocosDoDesenho()
{
    std::vector<std::string> nomes;
    for (acad::Block* b : gAcadDoc->Blocks()) {
        const std::string nome = b->Name();
        if (nome.empty() || nome[0] == '*') continue;
        nomes.push_back(nome);
    }
    return nomes;
}

// The name filter matches the name itself, whatever wildcard characters it holds.
acad::SelectionSet* InsercoesDoBloco(const std::string& Conjunto, const std::string& Nome)
{
    acad::SelectionSet* ss = RecriaConjunto(Conjunto);
    ss->Select(kTodos, {}, {}, {0, 2}, {acad::Variant("INSERT"), acad::Variant(NomeLiteral(Nome))});
    return ss;
}

std::vector<std::string> TagsDaPrimeira(const acad::SelectionSet& Insercoes)
{
    std::vector<std::string> tags;
    for (acad::Entity* e : Insercoes) {
        if (acad::BlockReference* r = Referencia(e)) {
            for (acad::AttributeReference* a : r->GetAttributes()) tags.push_back(a->TagString());
            break;
        }
    }
    return tags;
}

std::string DefineBlocoDeArquivo(const std::string& Arquivo)
{
    // The host names the block after the file, as it does for any drawing
    // inserted by its path.
    acad::BlockReference* r = gModelSpace->InsertBlock({0, 0, 0}, Arquivo, 1, 1, 1, 0);
    std::string nome = r->Name();
    r->Delete();
    return nome;
}

std::vector<std::string> TagsDoBlocoNovo(const std::string& BlocoNovo, acad::SelectionSet*& Conjunto)
{
    InsercaoProvisoria provisoria(gModelSpace->InsertBlock({0, 0, 0}, BlocoNovo, 1, 1, 1, 0));
    Conjunto = InsercoesDoBloco("SS2", BlocoNovo);
    return TagsDaPrimeira(*Conjunto);
}

std::string ConfereTroca(const std::string& BlocoNovo, const std::string& EscalaBloco, const std::string& EscalaTexto)
{
    if (BlocoNovo.empty() || BlocoNovo == kArquivoBloco) return "Escolha em \"Por este:\" o bloco que entra no lugar.";
    const acad::Block* b = gAcadDoc->Blocks().Find(BlocoNovo);
    if (!b || BlocoNovo[0] == '*') return "O bloco " + BlocoNovo + " não existe neste desenho.";
    std::string porque = ConfereFator("Escala Bloco:", EscalaBloco);
    if (porque.empty()) porque = ConfereFator("Escala Texto:", EscalaTexto);
    return porque;
}

long TrocaInsercoes(const std::vector<acad::BlockReference*>& Insercoes, const std::string& BlocoNovo, double Fb,
                    double Ft, std::vector<MapaAtributoRec>& Mapa, ProgressBar& Barra)
{
    long trocadas = 0;
    for (acad::BlockReference* antiga : Insercoes) {
        // What this insertion holds, and nothing of the one before.
        for (MapaAtributoRec& m : Mapa) {
            m.Valor.clear();
            m.Lido = false;
        }
        for (acad::AttributeReference* a : antiga->GetAttributes()) {
            for (MapaAtributoRec& m : Mapa) {
                if (a->TagString() != m.TagAntigo) continue;
                m.Valor = a->TextString();
                m.Alinhamento = a->Alignment();
                m.Posicao = m.Alinhamento != 0 ? a->TextAlignmentPoint() : a->InsertionPoint();
                m.Rotacao = a->Rotation();
                m.Altura = a->Height();
                m.Invertido = a->UpsideDown();
                m.Lido = true;
            }
        }

        const Ponto P = antiga->InsertionPoint();
        const double xs = antiga->XScaleFactor();
        const double ys = antiga->YScaleFactor();
        const double r = antiga->Rotation();
        const std::string L = antiga->Layer();
        acad::Block* onde = antiga->OwnerBlock();
        if (!onde) onde = gModelSpace;

        acad::BlockReference* nova = onde->InsertBlock(P, BlocoNovo, xs * Fb, ys * Fb, xs * Fb, r);
        InsercaoProvisoria provisoria(nova);
        nova->SetLayer(L);
        for (acad::AttributeReference* a : nova->GetAttributes()) {
            for (const MapaAtributoRec& m : Mapa) {
                if (!m.Lido || m.TagNovo.empty() || m.TagNovo != a->TagString()) continue;
                if (!m.Valor.empty()) a->SetTextString(m.Valor);
                if (a->Alignment() != 0)
                    a->SetTextAlignmentPoint(m.Posicao);
                else
                    a->SetInsertionPoint(m.Posicao);
                a->SetAlignment(m.Alinhamento);
                a->SetRotation(m.Rotacao);
                a->SetUpsideDown(m.Invertido);
                a->SetHeight(Ft * m.Altura);
                a->Update();
            }
        }
        nova->Update();
        antiga->Delete();
        provisoria.Mantem();
        ++trocadas;
        Barra.Progress();
    }
    return trocadas;
}
