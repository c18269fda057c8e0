// The parcel grid over the real drawing host and catalogue: ticks every 10
// units along open and closed perimeters, their labels, rotations and
// extended data, the walking order chosen by the start and side points, the
// city block found by polygon or picked, pieces joined into the perimeter,
// undo, erasing one grid among others, and the parcel captured from a tick.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "ComumTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "common/modGradeLotes.h"
#include "platform/acad/Acad.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "topography/TOPDes.h"

using namespace comumtest;

namespace {

struct Tique {
    Ponto Posicao;
    double Rotacao = 0;
    std::string Lote, Quadra, App, Rotulo;
    bool LoteVisivel = false, QuadraVisivel = false;
    double RotacaoTexto = 0;
    std::string Camada;
};

class Grade : public ComumTest {
protected:
    Grade() { Doc().SetVariable("OSMODE", acad::Variant(4)); }

    void Clica(forms::Control& Botao, int Aba)
    {
        forms::user::ChooseTab(CM.SSTab1, Aba);
        forms::user::Click(Botao);
    }
    void Roda() { Clica(CM.GRExecCmd, 1); }
    void Desfaz() { Clica(CM.GRUndo, 1); }
    void Apaga() { Clica(CM.DelGradeCmd, 3); }
    void Captura() { Clica(CM.DrwCmd(4), 2); }

    acad::LWPolyline* Perimetro(const std::vector<double>& xy, bool Fechada = false)
    {
        Doc().Layers().Add("GRADE_10_LINHA");
        acad::LWPolyline* p = Doc().ModelSpace().AddLightWeightPolyline(xy);
        p->SetLayer("GRADE_10_LINHA");
        p->SetConstantWidth(3.0);
        p->SetClosed(Fechada);
        return p;
    }

    acad::BlockReference* Quadra(const Ponto& P, const std::string& Setor, const std::string& Numero)
    {
        EXPECT_TRUE(DefineBloco("COM_QUADRA", false));
        acad::BlockReference* b = Doc().ModelSpace().InsertBlock(P, "COM_QUADRA", 1, 1, 1, 0);
        for (acad::AttributeReference* a : b->GetAttributes()) {
            if (a->TagString() == "SETOR") a->SetTextString(Setor);
            if (a->TagString() == "QUADRA") a->SetTextString(Numero);
        }
        return b;
    }

    std::vector<acad::BlockReference*> Blocos(const std::string& Nome)
    {
        std::vector<acad::BlockReference*> r;
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == Nome) r.push_back(b);
        return r;
    }

    static void LeDados(acad::Entity* e, std::string& App, std::string& Texto)
    {
        std::vector<int> t;
        std::vector<acad::Variant> v;
        e->GetXData("", t, v);
        App = t.size() > 0 ? v[0].ToString() : "";
        Texto = t.size() > 1 ? v[1].ToString() : "";
    }

    std::vector<Tique> Tiques()
    {
        std::vector<Tique> r;
        for (acad::BlockReference* b : Blocos("COM_GRADE")) {
            Tique t;
            t.Posicao = Ponto(b->InsertionPoint());
            t.Rotacao = b->Rotation();
            t.Camada = b->Layer();
            for (acad::AttributeReference* a : b->GetAttributes()) {
                if (a->TagString() == "LOTE") {
                    t.Lote = a->TextString();
                    t.LoteVisivel = !a->Invisible();
                    t.RotacaoTexto = a->Rotation();
                } else {
                    t.Quadra = a->TextString();
                    t.QuadraVisivel = !a->Invisible();
                }
            }
            LeDados(b, t.App, t.Rotulo);
            r.push_back(t);
        }
        return r;
    }

    // A run answered with the start point, the side point and, when given,
    // the pick of the city block.
    void Executa(const Ponto& Inicio, const Ponto& Lado, std::optional<Ponto> Escolha = std::nullopt)
    {
        script->Point(Inicio).Point(Lado);
        if (Escolha) script->Point(*Escolha);
        Roda();
        EXPECT_EQ(script->Remaining(), 0u);
        EXPECT_EQ(Doc().GetVariable("OSMODE").AsInt(), 4);
    }

    std::size_t Conta(const std::string& Nome) { return Blocos(Nome).size(); }
    std::size_t Polilinhas()
    {
        std::size_t n = 0;
        for (acad::Entity* e : Doc().ModelSpace()) n += e->ObjectName() == "AcDbPolyline";
        return n;
    }
};

void Perto(const Ponto& A, const Ponto& B)
{
    EXPECT_NEAR(A.X, B.X, 1e-6);
    EXPECT_NEAR(A.Y, B.Y, 1e-6);
}

TEST_F(Grade, OpenPerimetersGetTicksStrictlyBeforeTheirEndWithLabelsDataAndTheArrowAtTheStart)
{
    // 35 units from the first vertex: ticks at 10, 20 and 30, all labels hidden.
    Quadra({100, 100, 0}, "007", "012");
    Perimetro({0, 0, 35, 0});
    Executa({0, 0, 0}, {5, 5, 0}, Ponto(105, 100, 0));
    std::vector<Tique> t = Tiques();
    ASSERT_EQ(t.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        Perto(t[i].Posicao, Ponto(10.0 * (i + 1), 0));
        EXPECT_EQ(t[i].Lote, std::to_string(10 * (i + 1)));
        EXPECT_FALSE(t[i].LoteVisivel);
        EXPECT_EQ(t[i].Quadra, "012");
        EXPECT_FALSE(t[i].QuadraVisivel);
        // The application is the block's attributes as they stand; the layer normalised.
        EXPECT_EQ(t[i].App, "007-012");
        EXPECT_EQ(t[i].Rotulo, t[i].Lote);
        EXPECT_EQ(t[i].Camada, "SETOR_7");
    }
    ASSERT_EQ(Conta("COM_SETA"), 1u);
    acad::BlockReference* seta = Blocos("COM_SETA")[0];
    Perto(Ponto(seta->InsertionPoint()), Ponto(0, 0));
    std::string app, texto;
    LeDados(seta, app, texto);
    EXPECT_EQ(app + "|" + texto, "007-012|0");
    EXPECT_EQ(CM.QuadraTxt.Text(), "12");
    EXPECT_EQ(Polilinhas(), 0u);  // the perimeter is consumed
    EXPECT_TRUE(CM.GRUndo.Enabled());
    EXPECT_TRUE(mensagens.Lista().empty());

    // Exactly 30 units, started at its last vertex: no tick on the end vertex.
    Perimetro({100, 50, 70, 50});
    Executa({70, 50, 0}, {80, 55, 0}, Ponto(105, 100, 0));
    t = Tiques();
    ASSERT_EQ(t.size(), 5u);
    Perto(t[3].Posicao, Ponto(80, 50));
    Perto(t[4].Posicao, Ponto(90, 50));
}

TEST_F(Grade, ATickOnAnInnerVertexTakesTheFollowingEdgeAndOnlyTheHundredsAreShown)
{
    Quadra({500, 500, 0}, "7", "12");
    Perimetro({0, 0, 10, 0, 10, 25});
    Executa({0, 0, 0}, {2, 5, 0}, Ponto(505, 500, 0));
    std::vector<Tique> t = Tiques();
    ASSERT_EQ(t.size(), 3u);
    Perto(t[0].Posicao, Ponto(10, 0));
    EXPECT_NEAR(t[0].Rotacao, t[1].Rotacao, 1e-9);
    Perto(t[1].Posicao, Ponto(10, 10));

    // Along 1020 units: 100, 200 and 1000 shown; 110 and 1010 hidden.
    Perimetro({0, -100, 1020, -100});
    Executa({0, -100, 0}, {5, -95, 0}, Ponto(505, 500, 0));
    std::map<std::string, bool> visivel;
    for (const Tique& q : Tiques()) visivel[q.Lote] = q.LoteVisivel;
    EXPECT_EQ(visivel.size(), 101u);
    EXPECT_TRUE(visivel.at("100"));
    EXPECT_TRUE(visivel.at("200"));
    EXPECT_TRUE(visivel.at("1000"));
    EXPECT_FALSE(visivel.at("110"));
    EXPECT_FALSE(visivel.at("1010"));
    EXPECT_EQ(visivel.count("1020"), 0u);
}

TEST_F(Grade, AClosedRectangleIsWalkedRoundFromItsStartVertexTheWayTheSidePointChooses)
{
    struct Caso {
        Ponto Inicio, Lado, Primeiro;
    } casos[] = {
        // third vertex, forward (side point ahead along V2-V3, above: outside)
        {{40, 20, 0}, {30, 25, 0}, {30, 20}},
        // third vertex, backward (side point behind V2 along V2-V3: to its right, outside)
        {{40, 20, 0}, {45, 10, 0}, {40, 10}},
        // first vertex, forward (below: outside)
        {{0, 0, 0}, {5, -5, 0}, {10, 0}},
        // first vertex, backward
        {{0, 0, 0}, {-5, 5, 0}, {0, 10}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(JoinCoords(c.Inicio, 0) + " " + JoinCoords(c.Lado, 0));
        Quadra({20, 10, 0}, "7", "12");
        Perimetro({0, 0, 40, 0, 40, 20, 0, 20}, true);
        Executa(c.Inicio, c.Lado);
        const std::vector<Tique> t = Tiques();
        // 120 units round: 10 .. 110, none on the start vertex again.
        ASSERT_EQ(t.size(), 11u);
        Perto(t[0].Posicao, c.Primeiro);
        EXPECT_EQ(t[10].Lote, "110");
        EXPECT_EQ(t[0].App, "7-12");
        // Every tick points to the side of the side point: outside here.
        for (const Tique& q : t) {
            const Ponto ponta = PontoPolar(q.Posicao, q.Rotacao + PI / 2, 1.0);
            const bool dentro = ponta.X > 0 && ponta.X < 40 && ponta.Y > 0 && ponta.Y < 20;
            EXPECT_FALSE(dentro) << JoinCoords(q.Posicao, 3);
        }
        for (acad::BlockReference* b : Blocos("COM_GRADE")) b->Delete();
        for (acad::BlockReference* b : Blocos("COM_SETA")) b->Delete();
        for (acad::BlockReference* b : Blocos("COM_QUADRA")) b->Delete();
    }
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Grade, AStartPointOffEveryVertexFailsAndBadAnswersEndWithTheirMessage)
{
    Quadra({20, 10, 0}, "7", "12");
    acad::LWPolyline* p = Perimetro({0, 0, 40, 0, 40, 20, 0, 20}, true);
    // Typed, so that no end-point snap takes it to the vertex.
    script->Text("39.998,20").Point({30, 25, 0});
    Roda();
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_EQ(Doc().GetVariable("OSMODE").AsInt(), 4);
    ASSERT_EQ(mensagens.Textos(), std::vector<std::string>{"Falhou"});
    EXPECT_FALSE(p->IsErased());
    EXPECT_EQ(Conta("COM_GRADE") + Conta("COM_SETA"), 0u);
    EXPECT_FALSE(CM.GRUndo.Enabled());  // no other end step

    const struct {
        std::vector<acad::InputAnswer> Respostas;
        std::string Texto;
    } casos[] = {
        {{acad::InputAnswer::Enter()}, "Faltou ponto inicial"},
        {{acad::InputAnswer::PickPoint({300, 300, 0})}, "Não selecionou polilinha"},
        {{acad::InputAnswer::PickPoint({0, 0, 0}), acad::InputAnswer::Enter()}, "Faltou o ponto do Lado da grade"},
    };
    for (const auto& c : casos) {
        mensagens.Limpa();
        CM.GRUndo.SetEnabled(false);
        for (const auto& r : c.Respostas) script->Then(r);
        Roda();
        EXPECT_EQ(script->Remaining(), 0u);
        ASSERT_EQ(mensagens.Lista().size(), 1u);
        EXPECT_EQ(mensagens.Lista()[0].Titulo, "GRADE_10");
        EXPECT_EQ(mensagens.Lista()[0].Texto, c.Texto);
        EXPECT_EQ(Doc().GetVariable("OSMODE").AsInt(), 4);
        EXPECT_TRUE(CM.GRUndo.Enabled());
        EXPECT_FALSE(p->IsErased());
    }

    // A city block whose numbers are no whole numbers: told, nothing drawn.
    for (acad::BlockReference* b : Blocos("COM_QUADRA")) b->Delete();
    Quadra({20, 10, 0}, "7", "");
    mensagens.Limpa();
    Executa({0, 0, 0}, {5, -5, 0});
    ASSERT_EQ(mensagens.Textos(), std::vector<std::string>{"O bloco COM_QUADRA não tem números de Setor e Quadra."});
    EXPECT_EQ(Conta("COM_GRADE") + Conta("COM_SETA"), 0u);
    EXPECT_FALSE(p->IsErased());
}

TEST_F(Grade, TheCityBlockIsFoundByPolygonOrPickedAndAWrongPickEndsTheRun)
{
    // Two blocks inside: neither is taken, the user picks the second.
    Quadra({10, 10, 0}, "7", "12");
    Quadra({30, 10, 0}, "8", "13");
    Perimetro({0, 0, 40, 0, 40, 20, 0, 20}, true);
    Executa({0, 0, 0}, {5, -5, 0}, Ponto(35, 10, 0));
    ASSERT_EQ(Tiques().size(), 11u);
    EXPECT_EQ(Tiques()[0].App, "8-13");
    EXPECT_EQ(Tiques()[0].Camada, "SETOR_8");

    // A pick that is not a city block: the run ends with OSMODE back and nothing drawn.
    for (acad::BlockReference* b : Blocos("COM_GRADE")) b->Delete();
    CM.GRUndo.SetEnabled(false);
    acad::LWPolyline* p = Perimetro({100, 0, 140, 0});
    Doc().ModelSpace().AddCircle({200, 0, 0}, 2);
    Executa({100, 0, 0}, {105, 5, 0}, Ponto(202, 0, 0));
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_EQ(Conta("COM_GRADE"), 0u);
    EXPECT_FALSE(p->IsErased());
    EXPECT_FALSE(CM.GRUndo.Enabled());
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Grade, TickTextsTurnToBeReadUprightAndRotationsStayBelowAWholeTurn)
{
    Quadra({500, 500, 0}, "7", "12");
    // Walked so that a tick's rotation is 3 radians (side point on the right).
    const double a = 3 + PI;
    Perimetro({0, 0, 30 * std::cos(a), 30 * std::sin(a)});
    const Ponto direita = PontoPolar(PontoPolar({0, 0, 0}, a, 5), a - PI / 2, 5);
    Executa({0, 0, 0}, direita, Ponto(505, 500, 0));
    std::vector<Tique> t = Tiques();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_NEAR(t[0].Rotacao, 3.0, 1e-9);
    EXPECT_NEAR(t[0].RotacaoTexto, 3.0 + PI, 1e-9);

    // Walked south with the side point to the west: rotation π/2, texts kept at π/2.
    for (acad::BlockReference* b : Blocos("COM_GRADE")) b->Delete();
    Perimetro({100, 0, 100, -30});
    Executa({100, 0, 0}, {95, -5, 0}, Ponto(505, 500, 0));
    t = Tiques();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_NEAR(t[0].Rotacao, PI / 2, 1e-9);
    EXPECT_NEAR(t[0].RotacaoTexto, PI / 2, 1e-9);
}

TEST_F(Grade, PiecesMeetingTheEndsAreJoinedEveryJoinedPieceIsDeletedAndArcsBecomePoints)
{
    // A piece drawn twice (once each way) at the start, both in one
    // window, a piece at the other end, and a stray piece on another layer.
    acad::LWPolyline* p = Perimetro({0, 0, 10, 0});
    acad::LWPolyline* miuda = Perimetro({0, 0, 0, 10});
    acad::LWPolyline* longa = Perimetro({0, 10, 0, 0});
    acad::LWPolyline* fim = Perimetro({10, 0, 20, 0});
    acad::LWPolyline* outra = Doc().ModelSpace().AddLightWeightPolyline({20, 0, 30, 0});
    LeCoordsPline(p);
    EXPECT_FALSE(p->IsErased());
    EXPECT_TRUE(miuda->IsErased());
    EXPECT_TRUE(longa->IsErased());
    EXPECT_TRUE(fim->IsErased());
    EXPECT_FALSE(outra->IsErased());
    const std::vector<Ponto> v = cadtest::Vertices(p->Coordinates());
    ASSERT_EQ(v.size(), 5u);
    Perto(v.front(), Ponto(0, 0));
    Perto(v[1], Ponto(0, 10));
    Perto(v.back(), Ponto(20, 0));
    EXPECT_EQ(Polilinhas(), 2u);

    // Through the command: the joined polyline takes the swatch's colour.
    acad::LWPolyline* a = Perimetro({100, 0, 110, 0});
    acad::LWPolyline* b = Perimetro({110, 0, 110, 10});
    CM.GRScr.SetValue(3);
    script->Point({105, 0, 0});
    Clica(CM.GRJoinCmd, 1);
    EXPECT_TRUE(b->IsErased());
    EXPECT_EQ(a->Color(), 3);
    EXPECT_EQ(a->NumberOfVertices(), 3);

    // A picked polyline that starts with a half circle bulging south (centre
    // (210,0), radius 10), a piece meeting its start: joined, it holds the
    // arc as points and no arc is left on any vertex, so the grid run then
    // walks the outline it shows.
    acad::LWPolyline* curva = Perimetro({200, 0, 220, 0, 240, 0});
    curva->SetBulge(0, 1.0);
    acad::LWPolyline* antes = Perimetro({185, 0, 200, 0});
    script->Point({230, 0, 0});
    Clica(CM.GRJoinCmd, 1);
    EXPECT_TRUE(antes->IsErased());
    std::vector<Ponto> w = cadtest::Vertices(curva->Coordinates());
    ASSERT_GT(w.size(), 20u);
    for (int i = 0; i < curva->NumberOfVertices(); ++i) EXPECT_EQ(curva->GetBulge(i), 0.0) << i;
    if (w.front().X < w.back().X) std::reverse(w.begin(), w.end());
    Perto(w[0], Ponto(240, 0));
    Perto(w.back(), Ponto(185, 0));
    for (std::size_t i = 1; i + 1 < w.size(); ++i) {
        EXPECT_NEAR(std::hypot(w[i].X - 210, w[i].Y), 10, 1e-6) << i;
        EXPECT_LE(w[i].Y, 1e-9) << i;
    }
    Quadra({210, -5, 0}, "7", "15");
    Executa({185, 0, 0}, {190, 5, 0});
    const std::vector<Tique> t = Tiques();
    ASSERT_EQ(t.size(), 6u);  // 15 along the piece, 31.4 round the arc, 20 along the line
    Perto(t[0].Posicao, Ponto(195, 0));
    EXPECT_NEAR(t[2].Posicao.X, 210 + 10 * std::cos(PI + 1.5), 0.01);
    EXPECT_NEAR(t[2].Posicao.Y, 10 * std::sin(PI + 1.5), 0.01);
    EXPECT_NEAR(t[5].Posicao.X, 220 + 45 - 10 * PI, 0.01);
    EXPECT_NEAR(t[5].Posicao.Y, 0, 1e-6);

    // Picked: an open polyline whose last vertex keeps the bulge of the
    // closed one it came from, which draws nothing. Joined, it stays the
    // straight line it shows, with no bulge left on any vertex.
    acad::LWPolyline* aberta = Perimetro({300, 0, 310, 0, 320, 0});
    aberta->SetBulge(2, 1.0);
    acad::LWPolyline* inicio = Perimetro({290, 0, 300, 0});
    script->Point({315, 0, 0});
    Clica(CM.GRJoinCmd, 1);
    EXPECT_TRUE(inicio->IsErased());
    EXPECT_EQ(aberta->Coordinates(), (std::vector<double>{320, 0, 310, 0, 300, 0, 290, 0}));
    for (int i = 0; i < aberta->NumberOfVertices(); ++i) EXPECT_EQ(aberta->GetBulge(i), 0.0) << i;
}

TEST_F(Grade, UndoTakesBackOnlyARunThatConsumedItsPerimeter)
{
    // Before any run: nothing changes.
    Quadra({20, 10, 0}, "7", "12");
    Perimetro({0, 0, 40, 0, 40, 20, 0, 20}, true);
    CM.GRUndo.SetEnabled(true);
    Desfaz();
    EXPECT_EQ(Polilinhas(), 1u);
    EXPECT_FALSE(CM.GRUndo.Enabled());

    Executa({0, 0, 0}, {5, -5, 0});
    ASSERT_EQ(Conta("COM_GRADE"), 11u);
    EXPECT_EQ(Polilinhas(), 0u);
    // Another command re-creates the shared sets; a tick is erased by hand.
    ASSERT_TRUE(ConectaAcad());
    Blocos("COM_GRADE")[3]->Delete();
    Desfaz();
    EXPECT_EQ(Conta("COM_GRADE") + Conta("COM_SETA"), 0u);
    EXPECT_EQ(Conta("COM_QUADRA"), 1u);
    ASSERT_EQ(Polilinhas(), 1u);
    acad::LWPolyline* volta = nullptr;
    for (acad::Entity* e : Doc().ModelSpace())
        if (auto* l = dynamic_cast<acad::LWPolyline*>(e)) volta = l;
    EXPECT_EQ(volta->Layer(), "GRADE_10_LINHA");
    EXPECT_EQ(volta->ConstantWidth(), 3.0);
    EXPECT_TRUE(volta->Closed());
    EXPECT_EQ(volta->Coordinates(), (std::vector<double>{0, 0, 40, 0, 40, 20, 0, 20}));
    EXPECT_FALSE(CM.GRUndo.Enabled());

    // The perimeter back runs again; a later failed run leaves nothing to undo.
    Executa({0, 0, 0}, {5, -5, 0});
    ASSERT_EQ(Conta("COM_GRADE"), 11u);
    script->Enter();
    Roda();
    mensagens.Limpa();
    Desfaz();
    EXPECT_EQ(Conta("COM_GRADE"), 11u);
    EXPECT_EQ(Polilinhas(), 0u);
}

TEST_F(Grade, ErasingAGridTakesOnlyTheTicksAndArrowOfItsCityBlock)
{
    Quadra({20, 10, 0}, "7", "12");
    Quadra({120, 10, 0}, "7", "13");
    Perimetro({0, 0, 40, 0, 40, 20, 0, 20}, true);
    Perimetro({100, 0, 140, 0, 140, 20, 100, 20}, true);
    Executa({0, 0, 0}, {5, -5, 0});
    Executa({100, 0, 0}, {105, -5, 0});
    ASSERT_EQ(Conta("COM_GRADE"), 22u);
    // A meter of the same city block, and a parcel block carrying the grid's application.
    ASSERT_TRUE(DefineBloco("COM_HSIM", false));
    acad::BlockReference* hidrometro = Doc().ModelSpace().InsertBlock({60, 60, 0}, "COM_HSIM", 1, 1, 1, 0);
    hidrometro->SetXData({1001, 1000},
                         {acad::Variant(std::string("7-12-120-01")), acad::Variant(std::string("7-12-120-01"))});
    ASSERT_TRUE(DefineBloco("COM_LOTE", false));
    acad::BlockReference* lote = Doc().ModelSpace().InsertBlock({80, 60, 0}, "COM_LOTE", 1, 1, 1, 0);
    lote->SetXData({1001, 1000}, {acad::Variant(std::string("7-12")), acad::Variant(std::string("10"))});

    // Picking the meter, or anything without a grid's data, erases nothing.
    script->Point({61, 60, 0});
    Apaga();
    script->Point({120, 10 + 5, 0});
    Apaga();
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_EQ(Conta("COM_GRADE"), 22u);
    EXPECT_FALSE(hidrometro->IsErased());

    // A tick of the first grid: its ticks and arrow go, the rest stays.
    const Tique primeiro = Tiques()[0];
    script->Point(primeiro.Posicao);
    Apaga();
    const std::vector<Tique> t = Tiques();
    ASSERT_EQ(t.size(), 11u);
    for (const Tique& q : t) EXPECT_EQ(q.App, "7-13");
    EXPECT_EQ(Conta("COM_SETA"), 1u);
    EXPECT_FALSE(hidrometro->IsErased());
    EXPECT_FALSE(lote->IsErased());
    EXPECT_EQ(Conta("COM_QUADRA"), 2u);
}

TEST_F(Grade, AParcelIsCapturedFromATickWithItsNumbersAndLayer)
{
    Quadra({20, 10, 0}, "007", "012");
    Perimetro({0, 0, 100, 0, 100, 50, 0, 50}, true);
    Executa({0, 0, 0}, {5, -5, 0});
    Ponto em120;
    for (const Tique& q : Tiques())
        if (q.Lote == "120") em120 = q.Posicao;
    Perto(em120, Ponto(100, 20));

    CM.SetorTxt.SetText("3");
    script->Point(em120).Point({50, 25, 0});
    Captura();
    EXPECT_EQ(CM.UnidTxt.Text(), "01");
    EXPECT_EQ(CM.SetorTxt.Text(), "7");
    EXPECT_EQ(CM.QuadraTxt.Text(), "12");
    EXPECT_EQ(CM.LoteTxt.Text(), "120");
    ASSERT_EQ(Conta("COM_LOTE"), 1u);
    acad::BlockReference* lote = Blocos("COM_LOTE")[0];
    EXPECT_EQ(lote->Layer(), "SETOR_7");
    Perto(Ponto(lote->InsertionPoint()), Ponto(50, 25));
    std::string loteTxt, sq;
    for (acad::AttributeReference* a : lote->GetAttributes()) {
        if (a->TagString() == "LOTE") loteTxt = a->TextString();
        if (a->TagString() == "S-Q") sq = a->TextString();
    }
    EXPECT_EQ(loteTxt, "120");
    EXPECT_EQ(sq, "7-12");

    // The arrow is no tick; a cancelled point inserts nothing.
    script->Point({0, 0, 0});
    Captura();
    script->Point(em120).Escape().Enter();
    Captura();
    EXPECT_EQ(Conta("COM_LOTE"), 1u);
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(mensagens.Lista().empty());

    // A tick that lost its extended data: told, the boxes kept.
    acad::BlockReference* solto = Doc().ModelSpace().InsertBlock({300, 300, 0}, "COM_GRADE", 1, 1, 1, 0);
    (void)solto;
    script->Point({300, 300.5, 0});
    Captura();
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"Item da grade sem Setor, Quadra e Lote."});
    EXPECT_EQ(CM.LoteTxt.Text(), "120");
    EXPECT_EQ(Conta("COM_LOTE"), 1u);
}

}  // namespace
