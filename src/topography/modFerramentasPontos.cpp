#include "topography/modFerramentasPontos.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <vector>

#include "cad/AoSair.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "platform/acad/Error.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/Tables.h"
#include "platform/forms/Application.h"
#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"
#include "shell/frmInput.h"
#include "shell/frmTips.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"
#include "topography/PontoTopografico.h"
#include "topography/frmTOPPts.h"

namespace {

// The entities the user selects on screen into a new "SS1", copied so that
// deleting some of them does not move the others.
std::vector<acad::Entity*> SelecionaNaTela(const FiltroTipos& Tipos, const FiltroDados& Dados)
{
    AtivaJanelaAcad();
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->SelectOnScreen(Tipos, Dados);
    std::vector<acad::Entity*> r;
    r.reserve(static_cast<std::size_t>(ss->Count()));
    for (acad::Entity* e : *ss) r.push_back(e);
    return r;
}

void CamadaSeFalta(acad::Document& Doc, const std::string& Nome)
{
    if (!Doc.Layers().Find(Nome)) Doc.Layers().Add(Nome);
}

}  // namespace

std::string ChaveDuplicado(double X, double Y, const std::string& Nome, const std::string& Cota,
                           const std::string& Descricao)
{
    return JoinCoords(Ponto(X, Y), 4) + "_" + Nome + "_" + Cota + "_" + Descricao;
}

// ---------------------------------------------------------------- texts

void RefazTextosPontos(ProgressBar& Barra)
{
    if (!ConectaAcad()) return;
    const std::vector<acad::Entity*> sel = SelecionaNaTela(
        {-4, -4, 0, -4, 8, 8, 8, -4, -4, 0, -4},
        {"<OR", "<AND", "TEXT", "<OR", "*_COTA*", "*_TEXTO*", "*_DESCRICAO*", "OR>", "AND>", "POINT", "OR>"});
    GetLayer(kCamadaPontoTexto, 170, "");
    GetLayer(kCamadaPontoCota, 170, "");
    GetLayer(kCamadaPontoDescricao, 3, "");
    {
        AoSair fim([&Barra] { Barra.Progress_Start(0, ""); });
        Barra.Progress_Start(static_cast<long long>(sel.size()));
        for (acad::Entity* e : sel) {
            if (e->IsErased()) {
                Barra.Progress();
                continue;
            }
            DadosPonto dados;
            if (auto* p = dynamic_cast<acad::Point*>(e)) {
                if (LePontoTopografico(p, dados)) {
                    PontoDesenhado feito;
                    DesenhaTextosPonto(Ponto(p->Coordinates()), dados, *gModelSpace, feito);
                }
            } else if (e->ObjectName() == "AcDbText") {
                e->Delete();
            }
            Barra.Progress();
        }
    }
    ExibeMensagem(0, "Refazer Textos dos Pontos", "Concluido");
}

// ---------------------------------------------------------------- search

void LocalizarPonto()
{
    std::string nome;
    {
        frmInput frm;
        frm.Titulo.SetCaption("Localizar Ponto");
        frm.Mensagem.SetCaption("Indique o nome do ponto a localizar.");
        frm.Show(forms::vbModal, gMainForm);
        const bool cancelou = frm.Cancel || !frm.OK;
        nome = frm.Texto;
        forms::Unload(frm);
        if (cancelou) return;
    }
    if (nome.empty()) return;
    if (!ConectaAcad()) return;
    AtivaJanelaAcad();
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->Select(acad::acSelectionSetAll, {}, {}, {0, 1001}, {"POINT", NomeLiteral(nome)});
    std::vector<Ponto> achados;
    for (acad::Entity* e : *ss)
        if (auto* p = dynamic_cast<acad::Point*>(e)) achados.push_back(Ponto(p->Coordinates()));

    AoSair restaura([] {
        if (gMainForm) gMainForm->SetWindowState(forms::vbNormal);
    });
    const std::string n = std::to_string(achados.size());
    int left = gMsgLeft, top = gMsgTop;
    for (std::size_t i = 0; i < achados.size(); ++i) {
        ZoomCentro(achados[i], 20);
        if (i + 1 >= achados.size()) break;
        if (gMainForm) gMainForm->SetWindowState(forms::vbMinimized);
        bool ok = false, cancel = false, check = false;
        ExibeMensagem(4, "Localizar Pontos",
                      "Ponto numero: " + nome + "\r\n" + std::to_string(i + 1) + " de " + n + ". Próximo?", ok, cancel,
                      check, "", left, top);
        if (!ok) break;
    }
}

// ---------------------------------------------------------------- elevations

ResultadoCotas MudarCotas(ProgressBar& Barra)
{
    ResultadoCotas r;
    if (!ConectaAcad()) return r;
    auto frm = std::make_unique<frmTOPPts>();
    frm->List1.Clear();
    for (acad::Layer* l : gAcadDoc->Layers()) frm->List1.AddItem(l->Name());
    frm->Show(forms::vbModal, gMainForm);
    AoSair descarrega([&f = *frm] { forms::Unload(f); });
    if (frm->Cancel || !frm->OK) return r;

    const std::string incremento = frm->Incremento;
    const bool pontos = frm->Check1.Value() == forms::vbChecked;
    const bool textos = frm->Check2.Value() == forms::vbChecked;
    const std::vector<std::string> camadas = frm->CamadasEscolhidas();
    if (!IsNumero(incremento)) {
        ExibeMensagem(0, "Muda Cotas", "O incremento \"" + incremento + "\" não é um número.\r\nNada foi alterado.");
        return r;
    }
    const double inc = StrToDbl(incremento);

    FiltroTipos tipos{0};
    FiltroDados dados{"POINT"};
    if (!camadas.empty()) {
        tipos = {-4, 0, -4, 0, -4};
        dados = {"<OR", "POINT", "<AND", "TEXT", "<OR"};
        for (const std::string& c : camadas) {
            tipos.push_back(8);
            dados.emplace_back(NomeLiteral(c));
        }
        tipos.insert(tipos.end(), {-4, -4, -4});
        dados.insert(dados.end(), {"OR>", "AND>", "OR>"});
    }
    const std::vector<acad::Entity*> sel = SelecionaNaTela(tipos, dados);

    {
        AoSair fim([&Barra] { Barra.Progress_Start(0, ""); });
        Barra.SetEnabledTimer(true);
        Barra.Progress_Start(static_cast<long long>(sel.size()));
        for (acad::Entity* e : sel) {
            if (auto* p = dynamic_cast<acad::Point*>(e)) {
                std::vector<int> t;
                std::vector<acad::Variant> v;
                p->GetXData("", t, v);
                // Values 0, 1, 2 are the point's name, elevation and description.
                if (pontos && v.size() > 1 && v[1].IsString() && NumeroEscrito(v[1].AsString())) {
                    v[1] = acad::Variant(FormatNum(StrToDbl(v[1].AsString()) + inc, 3));
                    p->SetXData(t, v);
                    p->Update();
                    ++r.Pontos;
                }
            } else if (auto* tx = dynamic_cast<acad::Text*>(e); tx && textos) {
                const std::string s = tx->TextString();
                if (NumeroEscrito(s)) {
                    tx->SetTextString(FormatNum(StrToDbl(s) + inc, 3));
                    tx->Update();
                    ++r.Textos;
                }
            }
            Barra.Progress();
        }
    }
    ExibeMensagem(
        0, "Muda Cotas",
        "Foram modificados " + std::to_string(r.Pontos) + " pontos e " + std::to_string(r.Textos) + " textos.");
    return r;
}

// ---------------------------------------------------------------- duplicates

long long RemoverPontosDuplicados(ProgressBar& Barra)
{
    long long removidos = 0;
    if (!ConectaAcad()) return 0;
    const std::vector<acad::Entity*> sel = SelecionaNaTela({0}, {"POINT"});
    std::vector<Ponto> posicoes;
    {
        AoSair fim([&Barra] { Barra.Progress_Start(0, ""); });
        Barra.Progress_Start(static_cast<long long>(sel.size()));
        posicoes.reserve(sel.size());
        for (acad::Entity* e : sel) {
            if (auto* p = dynamic_cast<acad::Point*>(e)) posicoes.push_back(Ponto(p->Coordinates()));
            Barra.Progress();
        }

        Barra.Progress_Start(std::max<long long>(0, static_cast<long long>(posicoes.size()) - 1));
        std::vector<acad::Point*> janela;
        std::vector<std::string> chaves;
        for (const Ponto& pos : posicoes) {
            bool vazio = true;
            acad::SelectionSet* ss = SelecionaJanela(pos, 1.0, {0}, {"POINT"}, vazio);
            if (!vazio && ss->Count() > 1) {
                janela.clear();
                chaves.clear();
                for (acad::Entity* e : *ss) {
                    auto* p = dynamic_cast<acad::Point*>(e);
                    DadosPonto d;
                    // Points without data have no key: they are nobody's duplicate.
                    if (!p || !LePontoTopografico(p, d)) continue;
                    const acad::Point3d c = p->Coordinates();
                    janela.push_back(p);
                    chaves.push_back(ChaveDuplicado(c.x, c.y, d.Nome, d.Cota, d.Descricao));
                }
                for (std::size_t a = 0; a < janela.size(); ++a) {
                    for (std::size_t b = a + 1; b < janela.size(); ++b) {
                        if (chaves[a] != chaves[b]) continue;
                        janela[a]->Delete();
                        ++removidos;
                        break;  // a is gone: it is compared no more
                    }
                }
            }
            Barra.Progress();
        }
    }
    ExibeMensagem(0, "Remover Pontos Duplicados", "Removidos " + std::to_string(removidos) + " pontos.");
    return removidos;
}

// ---------------------------------------------------------------- points without data

long long PontosSemXData(ProgressBar& Barra)
{
    {
        bool ok = false, cancel = false, check = false;
        int left = 0, top = 0;
        ExibeMensagem(1, "Pontos sem XData",
                      "Este comando cria um Layer NO_XDATA e transfere para ele "
                      "todos os pontos do desenho que não possuam o XData.",
                      ok, cancel, check, "", left, top);
        if (!ok) return 0;
    }
    if (!ConectaAcad()) return 0;
    const std::vector<acad::Entity*> sel = SelecionaNaTela({0}, {"POINT"});
    CamadaSeFalta(*gAcadDoc, "NO_XDATA");
    long long sem = 0;
    {
        AoSair fim([&Barra] { Barra.Progress_Start(0, ""); });
        Barra.SetEnabledTimer(true);
        Barra.Progress_Start(static_cast<long long>(sel.size()));
        for (acad::Entity* e : sel) {
            if (!e->HasXData()) {
                e->SetLayer("NO_XDATA");
                e->Update();
                ++sem;
            }
            Barra.Progress();
        }
    }
    ExibeMensagem(0, "",
                  "Dos " + std::to_string(sel.size()) + " pontos do desenho foram\r\nlocalizados " +
                      std::to_string(sem) + " pontos sem Xdata");
    return sem;
}

// ---------------------------------------------------------------- purge

long long PurgeXData(ProgressBar& Barra)
{
    {
        frmTips tips;
        tips.SetOKButton(true);
        tips.SetCancelButton(true);
        tips.SetMensagem(
            "Este comando remove resíduos de XData (Registered Applications) "
            "de pontos topográficos gerados pelo Zirizev "
            "que foram removidos do desenho. \r\n\r\n"
            "Esta operação precisa de várias varreduras e "
            "pode demorar alguns minutos.");
        tips.Show(forms::vbModal, gMainForm);
        const bool seguir = tips.OK && !tips.Cancel;
        forms::Unload(tips);
        if (!seguir) return 0;
    }
    if (!ConectaAcad()) return 0;

    auto cancelar = std::make_unique<frmCancelar>();
    cancelar->Cancel = false;
    PosicionaDialogo(*cancelar, gMsgLeft, gMsgTop);
    cancelar->SetMensagem("Purgando XData não utilizado...");
    cancelar->Show(forms::vbModeless, gMainForm);

    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->Select(acad::acSelectionSetAll, {}, {}, {0}, {"POINT"});
    const int pontos = ss->Count();

    acad::RegisteredApplications& apps = gAcadDoc->RegisteredApplications();
    const int inicial = apps.Count();
    bool cancelado = false;
    {
        AoSair fim([&Barra] { Barra.Progress_Start(0, ""); });
        for (int varredura = 1;; ++varredura) {
            const int a = apps.Count();
            Barra.SetEnabledTimer(true);
            Barra.Progress_Start(a, std::to_string(a) + " para " + std::to_string(pontos) + " pontos");
            for (int i = 0; i < a; ++i) {
                forms::DoEvents();
                if (cancelar->Cancel) {
                    cancelado = true;
                    break;
                }
                // By position while the table shrinks: the application after each
                // deleted one is skipped and reached by the next sweep; those in
                // use are refused, and positions past the end no longer exist.
                try {
                    apps.Item(i)->Delete();
                } catch (const acad::Error&) {
                }
                Barra.Progress();
            }
            const int agora = apps.Count();
            Barra.Progress_Start(agora, "");
            if (cancelado || agora == 0 || (varredura > 1 && agora == a)) break;
        }
    }
    gMsgLeft = static_cast<int>(std::lround(cancelar->Left()));
    gMsgTop = static_cast<int>(std::lround(cancelar->Top()));
    forms::Unload(*cancelar);
    const long long eliminados = inicial - apps.Count();
    ExibeMensagem(0, "", "Foram eliminados " + std::to_string(eliminados) + " Registros Extend Data não utilizados");
    return eliminados;
}

// ---------------------------------------------------------------- transfer

long long TransferirPontos(ProgressBar& Barra)
{
    {
        frmTips tips;
        tips.SetOKButton(true);
        tips.SetCancelButton(true);
        tips.SetMensagem(
            "Este comando transfere pontos topográficos de um desenho "
            "para outro.\r\n\r\n"
            "Caso o ponto não possa ser "
            "transferido ele é colocado num Layer chamado NO_TRANS.");
        tips.Show(forms::vbModal, gMainForm);
        const bool seguir = tips.OK && !tips.Cancel;
        forms::Unload(tips);
        if (!seguir) return 0;
    }
    ExibeMensagem(0, "Atenção",
                  "Coloque na tela o desenho com os pontos a serem transferidos e"
                  " então clique em OK");
    if (!ConectaAcad()) return 0;
    acad::Document* origem = gAcadDoc;
    CamadaSeFalta(*origem, "NO_TRANS");
    const std::vector<acad::Entity*> sel = SelecionaNaTela({0}, {"POINT"});

    ExibeMensagem(0, "Atenção", "Coloque na tela o desenho de destino e então clique em OK.");
    if (!ConectaAcad()) return 0;
    acad::Document* destino = gAcadDoc;
    std::vector<std::string> camadas;
    for (acad::Layer* l : destino->Layers()) camadas.push_back(l->Name());

    long long copiados = 0;
    AoSair fim([&Barra] { Barra.Progress_Start(0, ""); });
    Barra.SetEnabledTimer(true);
    Barra.Progress_Start(static_cast<long long>(sel.size()));
    for (acad::Entity* e : sel) {
        auto* fonte = dynamic_cast<acad::Point*>(e);
        if (!fonte || fonte->IsErased()) {
            Barra.Progress();
            continue;
        }
        std::vector<int> t;
        std::vector<acad::Variant> v;
        fonte->GetXData("", t, v);
        const std::string camada = fonte->Layer();
        acad::Point* novo = destino->ModelSpace().AddPoint(fonte->Coordinates());
        try {
            novo->SetXData(t, v);
        } catch (const acad::Error&) {
            // Left without data: refused below.
        }
        if (std::find(camadas.begin(), camadas.end(), camada) == camadas.end()) destino->Layers().Add(camada);
        novo->SetLayer(camada);
        novo->Update();
        if (!novo->HasXData()) {
            novo->Delete();
            fonte->SetLayer("NO_TRANS");
            fonte->Update();
        } else {
            ++copiados;
        }
        Barra.Progress();
    }
    return copiados;
}
