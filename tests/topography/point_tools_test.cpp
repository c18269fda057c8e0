// The survey-point tools after the points are drawn: texts redrawn, a point
// found by name, elevations changed, duplicates removed, points without data
// set apart, unused applications purged, points copied between two drawings.

#include "DesenhoTopo.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/Tables.h"
#include "platform/forms/Application.h"
#include "shell/frmCancelar.h"
#include "shell/modMensagem.h"
#include "topography/modFerramentasPontos.h"

using namespace topotest;

namespace {

class Ferramentas : public DesenhoTopo {
protected:
    // The user's window over everything near the origin.
    void SelecionaTudo() { script->Crossing({-500, -500, 0}, {500, 500, 0}).Enter(); }
    std::vector<std::string> Titulos()
    {
        std::vector<std::string> t;
        for (const Caixa& c : caixas) t.push_back(c.Titulo);
        return t;
    }
};

}  // namespace

TEST_F(Ferramentas, TextsAreRedrawnFromTheDataAndTheSelectedTextsGo)
{
    Ponto_(0, 0, "P1", "12.5", "BORDO");
    Ponto_(20, 0, "P2", "13", "CANTO");
    PontoSemDados(40, 0);
    // A stray elevation text of a point without data: selected, so deleted.
    acad::Text* solto = Doc().ModelSpace().AddText("99", {40, 3, 0}, 1.5);
    solto->SetLayer(kCamadaPontoCota);
    // Texts not on a point layer stay.
    Doc().ModelSpace().AddText("RUA", {60, 0, 0}, 1.5);
    Todos<acad::Text>(kCamadaPontoTexto)[0]->SetTextString("ERRADO");

    SelecionaTudo();
    RefazTextosPontos(janela.Barra);
    EXPECT_EQ(TextosEm(kCamadaPontoTexto), (std::vector<std::string>{"P1", "P2"}));
    EXPECT_EQ(TextosEm(kCamadaPontoCota), (std::vector<std::string>{"12.5", "13"}));
    EXPECT_EQ(TextosEm(kCamadaPontoDescricao), (std::vector<std::string>{"BORDO", "CANTO"}));
    EXPECT_EQ(Todos<acad::Text>().size(), 7u);
    EXPECT_EQ(Todos<acad::Text>(kCamadaPontoCota)[0]->InsertionPoint(), acad::Point3d(0, 3, 0));
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Refazer Textos dos Pontos");
    EXPECT_EQ(caixas[0].Texto, "Concluido");
    EXPECT_EQ(janela.Barra.CurValue(), 0);

    // Run again on the points alone: the old texts were not selected and stay.
    caixas.clear();
    script->Point({0, 0, 0}).Enter();
    RefazTextosPontos(janela.Barra);
    EXPECT_EQ(TextosEm(kCamadaPontoTexto), (std::vector<std::string>{"P1", "P2", "P1"}));
}

TEST_F(Ferramentas, SearchZoomsToEachPointOfTheNameAsWrittenAndAsksBeforeTheNext)
{
    Ponto_(100, 0, "P.1", "1");
    Ponto_(200, 0, "P-1", "1");  // "." would match "-" as a pattern
    Ponto_(-100, 50, "M1", "2");
    Ponto_(-200, 50, "M1", "2");
    Ponto_(-300, 50, "M1", "2");

    digitado = "P.1";
    LocalizarPonto();
    EXPECT_EQ(Centro(), Ponto(100, 0, 0));
    EXPECT_DOUBLE_EQ(Altura(), 20);
    EXPECT_TRUE(caixas.empty());

    // Three of a name: two questions at most; "Não" at the first stops on the first.
    digitado = "M1";
    std::vector<Ponto> vistas;
    aoMostrar = [&](const Caixa&) {
        vistas.push_back(Centro());
        EXPECT_EQ(gMainForm->WindowState(), forms::vbMinimized);
    };
    respostas = {false};
    LocalizarPonto();
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Localizar Pontos");
    EXPECT_EQ(caixas[0].Texto, "Ponto numero: M1\r\n1 de 3. Próximo?");
    EXPECT_EQ(Centro(), vistas[0]);
    EXPECT_EQ(gMainForm->WindowState(), forms::vbNormal);

    caixas.clear();
    vistas.clear();
    respostas = {true, true};
    LocalizarPonto();
    ASSERT_EQ(caixas.size(), 2u);
    EXPECT_EQ(caixas[1].Texto, "Ponto numero: M1\r\n2 de 3. Próximo?");
    EXPECT_NE(vistas[0], vistas[1]);
    EXPECT_NE(Centro(), vistas[1]);

    // A cancelled dialog or an unknown name: no zoom, no message.
    caixas.clear();
    const Ponto antes = Centro();
    cancelaEntrada = true;
    LocalizarPonto();
    cancelaEntrada = false;
    digitado = "P*";
    LocalizarPonto();
    EXPECT_EQ(Centro(), antes);
    EXPECT_TRUE(caixas.empty());
}

TEST_F(Ferramentas, ElevationsChangeInPlaceAndTextsOnlyOnChosenLayers)
{
    acad::Point* p = Ponto_(0, 0, "P1", "12.000", "");
    p->SetColor(3);
    p->SetLinetype("ByBlock");
    const std::string handle = p->Handle();
    acad::Point* ruim = Ponto_(20, 0, "P2", "X1", "");  // no number: left alone
    acad::Text* letras = Doc().ModelSpace().AddText("abc", {40, 0, 0}, 1.5);
    letras->SetLayer(kCamadaPontoCota);

    // Layers chosen: points and the numeric texts of those layers.
    noTOPPts = [](frmTOPPts& f) {
        forms::user::Type(f.Text1, "-1,5");
        EXPECT_EQ(f.Incremento, "-1.5");
        for (int i = 0; i < f.List1.ListCount(); ++i)
            if (f.List1.List(i) == kCamadaPontoCota || f.List1.List(i) == kCamadaPontoTexto)
                f.List1.SetSelected(i, true);
        forms::user::Click(f.CmdOK);
    };
    SelecionaTudo();
    ResultadoCotas r = MudarCotas(janela.Barra);
    EXPECT_EQ(r.Pontos, 1);
    EXPECT_EQ(r.Textos, 1);  // "12.000" became "10.500"; "abc", "X1" and the names are no numbers
    ASSERT_FALSE(p->IsErased());
    EXPECT_EQ(p->Handle(), handle);
    EXPECT_EQ(p->Color(), 3);
    EXPECT_EQ(p->Linetype(), "ByBlock");
    DadosPonto d;
    ASSERT_TRUE(LePontoTopografico(p, d));
    EXPECT_EQ(d.Cota, "10.500");
    ASSERT_TRUE(LePontoTopografico(ruim, d));
    EXPECT_EQ(d.Cota, "X1");
    EXPECT_EQ(TextosEm(kCamadaPontoCota), (std::vector<std::string>{"10.500", "X1", "abc"}));
    EXPECT_EQ(caixas.back().Titulo, "Muda Cotas");
    EXPECT_EQ(caixas.back().Texto, "Foram modificados 1 pontos e 1 textos.");

    // No layer chosen: texts are not even selected, "Textos" ticked or not.
    noTOPPts = [](frmTOPPts& f) {
        forms::user::Type(f.Text1, "1");
        forms::user::Click(f.CmdOK);
    };
    SelecionaTudo();
    r = MudarCotas(janela.Barra);
    EXPECT_EQ(r.Pontos, 1);
    EXPECT_EQ(r.Textos, 0);
    ASSERT_TRUE(LePontoTopografico(p, d));
    EXPECT_EQ(d.Cota, "11.500");

    // "Pontos" unticked: no point changes; a cancelled dialog selects nothing.
    noTOPPts = [](frmTOPPts& f) {
        forms::user::Type(f.Text1, "1");
        forms::user::Click(f.Check1);
        forms::user::Click(f.CmdOK);
    };
    SelecionaTudo();
    EXPECT_EQ(MudarCotas(janela.Barra).Pontos, 0);
    caixas.clear();
    noTOPPts = [](frmTOPPts& f) { forms::user::Click(f.CmdCancel); };
    EXPECT_EQ(MudarCotas(janela.Barra).Pontos, 0);
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(script->Remaining(), 0u);
    ASSERT_TRUE(LePontoTopografico(p, d));
    EXPECT_EQ(d.Cota, "11.500");
}

TEST_F(Ferramentas, DuplicatesGoOnceAndPointsWithoutDataTakeNoPart)
{
    // Three identical: the first two go, the third stays.
    acad::Point* a = Ponto_(0, 0, "A", "1", "X");
    acad::Point* b = Ponto_(0, 0, "A", "1", "X");
    acad::Point* c = Ponto_(0, 0, "A", "1", "X");
    // Not duplicates: 0.5 apart, or another description.
    acad::Point* d1 = Ponto_(50, 0, "D", "1", "");
    acad::Point* d2 = Ponto_(50.5, 0, "D", "1", "");
    acad::Point* e1 = Ponto_(100, 0, "E", "1", "X");
    acad::Point* e2 = Ponto_(100, 0, "E", "1", "Y");
    // Two bare points at one place are nobody's duplicates.
    acad::Point* s1 = PontoSemDados(150, 0);
    acad::Point* s2 = PontoSemDados(150, 0);
    // Equal to four decimals.
    acad::Point* q1 = Ponto_(200, 0, "Q", "2", "");
    acad::Point* q2 = Ponto_(200.00001, 0, "Q", "2", "");

    SelecionaTudo();
    EXPECT_EQ(RemoverPontosDuplicados(janela.Barra), 3);
    EXPECT_TRUE(a->IsErased());
    EXPECT_TRUE(b->IsErased());
    EXPECT_FALSE(c->IsErased());
    for (acad::Point* p : {d1, d2, e1, e2, s1, s2, q2}) EXPECT_FALSE(p->IsErased());
    EXPECT_TRUE(q1->IsErased());
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Remover Pontos Duplicados");
    EXPECT_EQ(caixas[0].Texto, "Removidos 3 pontos.");
    EXPECT_EQ(janela.Barra.CurValue(), 0);
}

TEST_F(Ferramentas, PointsWithoutDataGoToTheirLayerAfterConsent)
{
    Ponto_(0, 0, "A", "1");
    acad::Point* s = PontoSemDados(10, 0);
    // Declined: nothing selected, no layer.
    respostas = {false};
    EXPECT_EQ(PontosSemXData(janela.Barra), 0);
    EXPECT_EQ(Doc().Layers().Find("NO_XDATA"), nullptr);
    EXPECT_EQ(caixas[0].Titulo, "Pontos sem XData");

    caixas.clear();
    SelecionaTudo();
    EXPECT_EQ(PontosSemXData(janela.Barra), 1);
    EXPECT_EQ(s->Layer(), "NO_XDATA");
    EXPECT_EQ(Todos<acad::Point>("PONTO").size(), 1u);
    ASSERT_EQ(caixas.size(), 2u);
    EXPECT_EQ(caixas[1].Titulo, "");
    EXPECT_EQ(caixas[1].Texto, "Dos 2 pontos do desenho foram\r\nlocalizados 1 pontos sem Xdata");

    // All with data: the layer is there, none counted.
    caixas.clear();
    script->Crossing({-5, -5, 0}, {5, 5, 0}).Enter();
    EXPECT_EQ(PontosSemXData(janela.Barra), 0);
    EXPECT_EQ(caixas[1].Texto, "Dos 1 pontos do desenho foram\r\nlocalizados 0 pontos sem Xdata");
}

TEST_F(Ferramentas, PurgeLeavesTheApplicationsInUseAndStopsWhenCancelled)
{
    for (int i = 0; i < 300; ++i) Ponto_(i, 0, "E" + std::to_string(i), "1")->Delete();
    Ponto_(0, 100, "VIVO1", "1");
    Ponto_(5, 100, "VIVO2", "1");
    const int antes = Doc().RegisteredApplications().Count();

    // Declined in the report window: nothing at all.
    aceitaTips = false;
    EXPECT_EQ(PurgeXData(janela.Barra), 0);
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(Doc().RegisteredApplications().Count(), antes);
    aceitaTips = true;

    // Cancelled from the cancel window after a few deletions: what was removed
    // is reported, the window's place is kept.
    int passos = 0;
    std::string mensagem;
    const forms::YieldHook anterior = forms::SetYieldHook([&] {
        for (forms::Form* f : forms::Forms())
            if (auto* c = dynamic_cast<frmCancelar*>(f); c && ++passos == 20) {
                mensagem = c->Mensagem();
                c->Move(600, 700, c->Width(), c->Height());
                forms::user::Click(c->CmdCancel);
            }
    });
    const long long parcial = PurgeXData(janela.Barra);
    forms::SetYieldHook(anterior);
    EXPECT_EQ(mensagem, "Purgando XData não utilizado...");
    EXPECT_GT(parcial, 0);
    EXPECT_LT(parcial, 300);
    EXPECT_EQ(gMsgLeft, 600);
    EXPECT_EQ(gMsgTop, 700);
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Texto, "Foram eliminados " + std::to_string(parcial) + " Registros Extend Data não utilizados");
    for (forms::Form* f : forms::Forms()) EXPECT_EQ(dynamic_cast<frmCancelar*>(f), nullptr);

    // To the end: every unused application goes, those in use and "ACAD" stay.
    caixas.clear();
    EXPECT_EQ(PurgeXData(janela.Barra), 300 - parcial);
    EXPECT_NE(Doc().RegisteredApplications().Find("VIVO1"), nullptr);
    EXPECT_NE(Doc().RegisteredApplications().Find("VIVO2"), nullptr);
    EXPECT_EQ(Doc().RegisteredApplications().Find("E7"), nullptr);
    EXPECT_EQ(Doc().RegisteredApplications().Count(), antes - 300);

    // All in use: nothing deleted, reported as 0.
    caixas.clear();
    EXPECT_EQ(PurgeXData(janela.Barra), 0);
    EXPECT_EQ(caixas[0].Texto, "Foram eliminados 0 Registros Extend Data não utilizados");
    EXPECT_EQ(janela.Barra.CurValue(), 0);
}

TEST_F(Ferramentas, PointsAreCopiedBetweenTwoOpenDrawings)
{
    acad::Document& origem = Doc();
    origem.Layers().Add("LEVANTAMENTO");
    acad::Point* a = Ponto_(1, 2, "A", "812.3", "MURO");
    a->SetLayer("LEVANTAMENTO");
    acad::Point* b = Ponto_(3, 4, "B", "813", "");
    acad::Point* s = PontoSemDados(5, 6);
    acad::Document& destino = *app->Documents().Add("Acad");
    origem.Activate();

    // The user puts the destination on screen when asked to.
    aoMostrar = [&](const Caixa& c) {
        if (c.Texto == "Coloque na tela o desenho de destino e então clique em OK.") destino.Activate();
    };
    SelecionaTudo();
    EXPECT_EQ(TransferirPontos(janela.Barra), 2);
    EXPECT_EQ(tips, 1);
    ASSERT_EQ(caixas.size(), 2u);
    EXPECT_EQ(caixas[0].Texto, "Coloque na tela o desenho com os pontos a serem transferidos e então clique em OK");
    EXPECT_EQ(caixas[0].Titulo, "Atenção");

    const std::vector<acad::Point*> novos = Todos<acad::Point>(destino);
    ASSERT_EQ(novos.size(), 2u);
    DadosPonto d;
    ASSERT_TRUE(LePontoTopografico(novos[0], d));
    EXPECT_EQ(d.Nome, "A");
    EXPECT_EQ(d.Cota, "812.3");
    EXPECT_EQ(d.Descricao, "MURO");
    EXPECT_EQ(novos[0]->Layer(), "LEVANTAMENTO");
    EXPECT_EQ(novos[0]->Coordinates(), acad::Point3d(1, 2, 0));
    EXPECT_EQ(novos[1]->Layer(), "PONTO");
    EXPECT_NE(destino.RegisteredApplications().Find("B"), nullptr);
    // The source keeps its points; the one without data is marked.
    EXPECT_FALSE(a->IsErased());
    EXPECT_FALSE(b->IsErased());
    EXPECT_EQ(s->Layer(), "NO_TRANS");
    EXPECT_EQ(a->Layer(), "LEVANTAMENTO");

    // Declined: nothing asked, nothing copied.
    aceitaTips = false;
    caixas.clear();
    EXPECT_EQ(TransferirPontos(janela.Barra), 0);
    EXPECT_TRUE(caixas.empty());
}

TEST(ChavesENomes, KeysAndLiteralNames)
{
    EXPECT_EQ(ChaveDuplicado(10.123456, -2, "P1", "3,5", ""), "10.1235,-2.0000_P1_3,5_");
    EXPECT_EQ(NomeLiteral("P.1#[a]-b~@"), "P`.1`#`[a`]`-b`~`@");
    EXPECT_EQ(NomeLiteral("P1"), "P1");
}
