// Entities around a point (zoom first, nearest by kind, the excluded one) and
// the user's answers in the host: picks with attempts, nested picks, points,
// angles and windows with their Escape and Enter rules.

#include <QApplication>
#include <QWidget>

#include <cmath>

#include "CadTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "platform/forms/Application.h"

using namespace cadtest;

namespace {

class Selecao : public CadTest {
protected:
    Selecao()
    {
        Conecta();
        ZoomCentro(Ponto(0, 0), 100);
        Doc().Blocks().Add({0, 0, 0}, "E-PV")->AddCircle({0, 0, 0}, 0.5);
        Doc().Blocks().Add({0, 0, 0}, "A-REG")->AddCircle({0, 0, 0}, 0.5);
    }

    acad::BlockReference* Bloco(const std::string& nome, const Ponto& p)
    {
        return gModelSpace->InsertBlock(p, nome, 1, 1, 1, 0);
    }


    const FiltroTipos soBlocos{0};
    const FiltroDados insert{"INSERT"};
};

}  // namespace

TEST_F(Selecao, AWindowSelectionZoomsOnlyWhenItsCornersAreOffScreen)
{
    acad::Entity* b1 = Bloco("E-PV", {10, 10, 0});
    acad::Entity* b2 = Bloco("A-REG", {12, 12, 0});
    gModelSpace->AddLine({9, 9, 0}, {13, 13, 0});

    bool vazio = false;
    acad::SelectionSet* ss = SelecionaJanela(Ponto(8, 8), Ponto(14, 14), soBlocos, insert, vazio);
    EXPECT_EQ(ss->Name(), "SStmp");
    EXPECT_FALSE(vazio);
    ASSERT_EQ(ss->Count(), 2);
    EXPECT_EQ(ss->Item(0), b1);
    EXPECT_EQ(ss->Item(1), b2);
    EXPECT_EQ(Centro(), Ponto(0, 0, 0));  // both corners on screen: the view stays
    EXPECT_EQ(Altura(), 100);

    // A filter by block name with wildcards; the set is emptied first.
    ss = SelecionaJanela(Ponto(8, 8), Ponto(14, 14), {0, 2}, {"INSERT", "E-PV*"}, vazio);
    ASSERT_EQ(ss->Count(), 1);
    EXPECT_EQ(ss->Item(0), b1);

    // A window off screen: zoomed to it with a margin, and its entities found.
    acad::Entity* longe = Bloco("E-PV", {1000, 1000, 0});
    ss = SelecionaJanela(Ponto(990, 995), Ponto(1010, 1005), soBlocos, insert, vazio);
    EXPECT_FALSE(vazio);
    ASSERT_EQ(ss->Count(), 1);
    EXPECT_EQ(ss->Item(0), longe);
    EXPECT_NEAR(Centro().X, 1000, 1e-9);
    EXPECT_NEAR(Centro().Y, 1000, 1e-9);
    EXPECT_FALSE(PontoForaDaVista(Ponto(990, 995)));
    EXPECT_FALSE(PontoForaDaVista(Ponto(1010, 1005)));

    // By half side around a point off screen: centred there, height 200.
    ss = SelecionaJanela(Ponto(-500, 40), 3.0, soBlocos, insert, vazio);
    EXPECT_TRUE(vazio);
    EXPECT_EQ(ss->Count(), 0);
    EXPECT_EQ(Centro(), Ponto(-500, 40, 0));
    EXPECT_EQ(Altura(), 200);
    ss = SelecionaJanela(Ponto(-480, 40), 3.0, soBlocos, insert, vazio);  // on screen now
    EXPECT_EQ(Centro(), Ponto(-500, 40, 0));

    // A filter the host refuses reaches the caller.
    EXPECT_THROW(SelecionaJanela(Ponto(0, 0), 1.0, {-4, 0}, {"<OR", "INSERT"}, vazio), acad::Error);
}

TEST_F(Selecao, TheNearestEntityByKindSkippingTheExcludedOne)
{
    acad::Entity* pv = Bloco("E-PV", {10, 10, 0});
    acad::Entity* ponto = gModelSpace->AddPoint({10.5, 10, 0});
    acad::Entity* poli = gModelSpace->AddLightWeightPolyline({20, 20, 10.2, 10.1, 30, 10});
    const FiltroTipos tipos{-4, 0, 0, 0, -4};
    const FiltroDados dados{"<OR", "INSERT", "POINT", "LWPOLYLINE", "OR>"};

    bool vazio = true;
    // The polyline by its nearest vertex (10.2, 10.1).
    EXPECT_EQ(SelecionaObjetos(Ponto(10.3, 10.1), 50, tipos, dados, vazio, 0, 1.0), poli);
    EXPECT_FALSE(vazio);
    EXPECT_EQ(SelecionaObjetos(Ponto(10.45, 10), 50, tipos, dados, vazio, 0, 1.0), ponto);
    EXPECT_EQ(SelecionaObjetos(Ponto(10.45, 10), 50, tipos, dados, vazio, ponto->ObjectID(), 1.0), poli);
    EXPECT_EQ(SelecionaObjetos(Ponto(9.9, 10), 50, tipos, dados, vazio, 0, 1.0), pv);

    // Equal distances: the first one listed (drawing order) stays.
    acad::Entity* p2 = gModelSpace->AddPoint({50, 50, 0});
    acad::Entity* b2 = Bloco("E-PV", {52, 50, 0});
    EXPECT_EQ(SelecionaObjetos(Ponto(51, 50), 50, tipos, dados, vazio, 0, 2.0), p2);
    EXPECT_EQ(SelecionaObjetos(Ponto(51, 50), 50, tipos, dados, vazio, p2->ObjectID(), 2.0), b2);

    // One entity found is the result even when it is the excluded one.
    EXPECT_EQ(SelecionaObjetos(Ponto(30, 10), 50, tipos, dados, vazio, poli->ObjectID(), 0.5), poli);
    // Nothing found.
    EXPECT_EQ(SelecionaObjetos(Ponto(-30, -30), 50, tipos, dados, vazio, 0, 0.5), nullptr);
    EXPECT_TRUE(vazio);
    // Half side 0: only what passes through the point itself.
    EXPECT_EQ(SelecionaObjetos(Ponto(15.1, 15.05), 50, tipos, dados, vazio, 0, 0.0), poli);
    // Kinds without a position of their own are not measured.
    gModelSpace->AddLine({70, 69, 0}, {70, 71, 0});
    gModelSpace->AddLine({70.5, 69, 0}, {70.5, 71, 0});
    EXPECT_EQ(SelecionaObjetos(Ponto(70.2, 70), 50, {}, {}, vazio, 0, 1.0), nullptr);
    EXPECT_FALSE(vazio);
}

TEST_F(Selecao, SelectionAroundAPointZoomsAsItsViewHeightSays)
{
    acad::Entity* pv = Bloco("E-PV", {400, 300, 0});
    bool vazio = true;
    // A height of 0 or less: always centred, height 140.
    EXPECT_EQ(SelecionaObjetos(Ponto(400, 300), 0, soBlocos, insert, vazio, 0, 1.0), pv);
    EXPECT_EQ(Centro(), Ponto(400, 300, 0));
    EXPECT_EQ(Altura(), 140);
    SelecionaObjetos(Ponto(401, 301), -1, soBlocos, insert, vazio, 0, 1.0);
    EXPECT_EQ(Centro(), Ponto(401, 301, 0));
    // A height: only when the point is off screen.
    SelecionaObjetos(Ponto(420, 310), 60, soBlocos, insert, vazio, 0, 1.0);
    EXPECT_EQ(Centro(), Ponto(401, 301, 0));
    EXPECT_EQ(Altura(), 140);
    EXPECT_EQ(SelecionaObjetos(Ponto(-50, -50), 60, soBlocos, insert, vazio, 0, 1.0), nullptr);
    EXPECT_EQ(Centro(), Ponto(-50, -50, 0));
    EXPECT_EQ(Altura(), 60);
}

TEST_F(Selecao, PicksTakeTheirAttemptsAndRefuseOtherKinds)
{
    acad::Entity* pv = Bloco("E-PV", {10, 10, 0});
    acad::Entity* linha = gModelSpace->AddLine({0, 20, 0}, {10, 20, 0});
    Ponto escolhido(-1, -1);
    bool falhou = false;

    script->Point({5, 20, 0});
    EXPECT_EQ(AtivaAcad("Selecione: ", 1, escolhido, falhou, ""), linha);
    EXPECT_FALSE(falhou);
    EXPECT_EQ(escolhido, Ponto(5, 20, 0));

    // A line where a block is wanted uses an attempt; so does Escape.
    script->Point({5, 20, 0}).Escape().Point({10.5, 10, 0});
    EXPECT_EQ(AtivaAcad("Selecione o PV: ", 3, escolhido, falhou, "AcDbBlockReference"), pv);
    EXPECT_FALSE(falhou);
    EXPECT_EQ(script->Remaining(), 0u);

    // A refused pick still gives back where the user clicked; Escape gives nothing.
    script->Point({5, 20, 0});
    escolhido = Ponto(-1, -1);
    EXPECT_EQ(AtivaAcad("Selecione o PV: ", 1, escolhido, falhou, "AcDbBlockReference"), nullptr);
    EXPECT_TRUE(falhou);
    EXPECT_EQ(escolhido, Ponto(5, 20, 0));
    script->Point({6, 20, 0}).Escape();
    EXPECT_EQ(AtivaAcad("Selecione o PV: ", 2, escolhido, falhou, "AcDbBlockReference"), nullptr);
    EXPECT_EQ(escolhido, Ponto(6, 20, 0));

    // 0 or 1: one attempt; 2: two.
    for (int tentativas : {0, 1, 2}) {
        script->Escape().Escape().Escape();
        escolhido = Ponto(-1, -1);
        EXPECT_EQ(AtivaAcad("Selecione: ", tentativas, escolhido, falhou, "AcDbBlockReference"), nullptr);
        EXPECT_TRUE(falhou);
        EXPECT_EQ(escolhido, Ponto(-1, -1));
        EXPECT_EQ(script->Remaining(), tentativas == 2 ? 1u : 2u);
        while (script->Remaining() > 0) script->Ask({});  // what the attempts left unasked
    }

    // A pick on empty space, then nobody left to ask: failed, no hang.
    script->Point({-40, -40, 0});
    EXPECT_EQ(AtivaAcad("Selecione: ", 5, escolhido, falhou, ""), nullptr);
    EXPECT_TRUE(falhou);
}

TEST_F(Selecao, NestedPicksReachAttributesAndPartsAndCircleAPickedPoint)
{
    acad::Block* def = Doc().Blocks().Add({0, 0, 0}, "T-PT");
    acad::Entity* parte = def->AddLine({-1, 0, 0}, {1, 0, 0});
    def->AddAttribute(0.5, 0, "", {0, 2, 0}, "NOME", "P1");
    acad::BlockReference* ref = Bloco("T-PT", {30, 30, 0});
    acad::Entity* atributo = ref->GetAttributes().at(0);
    acad::Entity* ponto = gModelSpace->AddPoint({10, 10, 0});

    Ponto escolhido;
    bool falhou = true;
    std::vector<acad::BlockReference*> contexto;
    script->Point({30.5, 30, 0});
    EXPECT_EQ(PegaCoordenadas("Selecione: ", 1, false, escolhido, falhou, contexto), parte);
    EXPECT_FALSE(falhou);
    EXPECT_EQ(contexto, std::vector<acad::BlockReference*>{ref});

    script->Escape().Point({30.1, 32.1, 0});
    EXPECT_EQ(PegaCoordenadas("Selecione: ", 2, false, escolhido, falhou, contexto), atributo);
    EXPECT_EQ(escolhido, Ponto(30.1, 32.1, 0));

    // The picked survey point gets a circle through where the user clicked.
    const int antes = gModelSpace->Count();
    script->Point({10.1, 10, 0});
    EXPECT_EQ(PegaCoordenadas("Selecione o ponto: ", 1, true, escolhido, falhou, contexto), ponto);
    ASSERT_EQ(gModelSpace->Count(), antes + 1);
    auto* circulo = acad::As<acad::Circle>(gModelSpace->LastEntity());
    ASSERT_NE(circulo, nullptr);
    EXPECT_EQ(Ponto(circulo->Center()), Ponto(10, 10, 0));
    EXPECT_NEAR(circulo->Radius(), 0.1, 1e-9);
    // A polyline has coordinates too: the circle goes around its first vertex.
    acad::Entity* poli = gModelSpace->AddLightWeightPolyline({50, 0, 60, 0, 60, 10});
    script->Point({60, 5, 0});
    EXPECT_EQ(PegaCoordenadas("Selecione: ", 1, true, escolhido, falhou, contexto), poli);
    ASSERT_EQ(gModelSpace->Count(), antes + 3);
    circulo = acad::As<acad::Circle>(gModelSpace->LastEntity());
    ASSERT_NE(circulo, nullptr);
    EXPECT_EQ(Ponto(circulo->Center()), Ponto(50, 0, 0));
    EXPECT_NEAR(circulo->Radius(), std::hypot(10.0, 5.0), 1e-9);
    // Objects without coordinates (a part of a block) get no circle.
    script->Point({30.5, 30, 0});
    PegaCoordenadas("Selecione: ", 1, true, escolhido, falhou, contexto);
    EXPECT_EQ(gModelSpace->Count(), antes + 3);

    script->Escape();
    EXPECT_EQ(PegaCoordenadas("Selecione: ", 0, false, escolhido, falhou, contexto), nullptr);
    EXPECT_TRUE(falhou);
}

TEST_F(Selecao, PointsAskAgainAfterEscapeAndEnterAnswersNothing)
{
    // The host's window comes to the front, over the program's own.
    forms::DoEvents();
    QWidget host;
    host.setWindowTitle(QString::fromStdString(app->Caption()));
    host.show();
    QWidget painel;
    painel.setWindowTitle("QuorilCAD");
    painel.show();
    painel.activateWindow();
    QApplication::processEvents();

    script->Escape().Escape().Point({3, 4, 0});
    EXPECT_EQ(GetPonto(std::nullopt, "Ponto de inserção: "), Ponto(3, 4, 0));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &host);
    EXPECT_EQ(script->Prompts(), std::vector<std::string>(3, "Ponto de inserção: "));
    EXPECT_FALSE(script->Requests().back().basePoint);

    script->Point({7, 8, 0});
    EXPECT_EQ(GetPonto(Ponto(1, 1), "Destino: "), Ponto(7, 8, 0));
    EXPECT_EQ(script->Requests().back().basePoint, acad::Point3d(1, 1, 0));

    script->Enter();
    EXPECT_EQ(GetPonto(std::nullopt, "Ponto: "), std::nullopt);
    // Nobody left to answer: nothing, not an endless question.
    EXPECT_EQ(GetPonto(std::nullopt, "Ponto: "), std::nullopt);
}

TEST_F(Selecao, AnglesAskAgainAfterEnterAndEscapeAnswersNothing)
{
    script->Enter().Angle(PI / 3);
    auto a = GetValorUsuario(Ponto(0, 0), "Direção: ");
    ASSERT_TRUE(a);
    EXPECT_NEAR(*a, PI / 3, 1e-12);
    EXPECT_EQ(script->Requests().size(), 2u);
    EXPECT_EQ(script->Requests().back().kind, acad::InputKind::Angle);

    script->Point({0, -5, 0});  // shown by a point from the base
    a = GetValorUsuario(Ponto(0, 0), "Direção: ");
    ASSERT_TRUE(a);
    EXPECT_NEAR(*a, 1.5 * PI, 1e-9);

    script->Escape();
    EXPECT_EQ(GetValorUsuario(std::nullopt, "Direção: "), std::nullopt);
}

TEST_F(Selecao, WindowsComeBackOrderedOrNotAtAll)
{
    std::optional<Ponto> ie, sd;
    script->Point({10, 2, 0}).Escape().Point({4, 8, 0});
    GetJanela(ie, sd, "Primeiro ponto: ");
    EXPECT_EQ(ie, Ponto(4, 2, 0));
    EXPECT_EQ(sd, Ponto(10, 8, 0));
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Primeiro ponto: ", "Segundo ponto: ", "Segundo ponto: "}));
    EXPECT_EQ(script->Requests().back().kind, acad::InputKind::Corner);
    EXPECT_EQ(script->Requests().back().basePoint, acad::Point3d(10, 2, 0));

    script->Escape().Enter();
    GetJanela(ie, sd, "Primeiro ponto: ");
    EXPECT_FALSE(ie);
    EXPECT_FALSE(sd);

    ie = Ponto(1, 1);
    sd = Ponto(2, 2);
    script->Point({0, 0, 0}).Enter();
    GetJanela(ie, sd, "Primeiro ponto: ");
    EXPECT_FALSE(ie);
    EXPECT_FALSE(sd);
}
