// The water panel's zones and nodes through the real panel and drawing host:
// zone blocks from the program folder's block files with what the boxes
// took, node circles resized, overlapping ones shrunk, and the nodes numbered
// from top to bottom.

#include <cmath>

#include "PainelAgua.h"
#include "cad/modDesenho.h"
#include "platform/acad/Tables.h"
#include "water/ClsWATExp.h"

using namespace watertest;
using namespace forms;

namespace {

class ZonasNodes : public PainelAguaTest {
protected:
    ZonasNodes() { WC.SetInterface(2); }

    // A node circle of radius r, MENSAGEM empty.
    acad::BlockReference* Node(double x, double y, double r)
    {
        EXPECT_TRUE(InsertBlockFile("ErroC"));
        return gModelSpace->InsertBlock({x, y, 0}, "ErroC", r, r, r, 0);
    }
    static std::string Numero(acad::BlockReference* b) { return Texto(b, "MENSAGEM"); }
};

}  // namespace

TEST_F(ZonasNodes, AZoneBlockTakesTheNameAndTheValueAsTheBoxesTookThem)
{
    EXPECT_EQ(WC.ZonLbl.Caption(),
              "Uma zona é definida por um Hatch e um bloco com atributos.\r\nA cor e o padrão do Hatch não são "
              "considerados nem a orientação ou escala do bloco mas sim o ponto de inserção do bloco e os dados nos "
              "atributos.");
    user::ChooseTab(WC.SSLumbra, 0);
    // The name box takes every key; a value box a number with "." only.
    user::Type(WC.ZonTxt(0), "Zona 1,a-");
    EXPECT_EQ(WC.ZonTxt(0).Text(), "Zona 1,a-");
    user::Type(WC.ZonTxt(2), "a0,3b5");
    EXPECT_EQ(WC.ZonTxt(2).Text(), "0.35");
    user::PressKey(WC.ZonTxt(2), vbKeyBack);
    EXPECT_EQ(WC.ZonTxt(2).Text(), "0.3");
    user::Type(WC.ZonTxt(2), "5");

    Doc().SetActiveLayer(*Doc().Layers().Add("ZONAS"));
    script->Point({120, 80, 0});
    user::Click(WC.ZonCmd(0));
    EXPECT_EQ(script->Prompts().back(), "Ponto de inserção:");
    std::vector<acad::BlockReference*> z = Blocos("Zon_PorM");
    ASSERT_EQ(z.size(), 1u);
    EXPECT_EQ(Texto(z[0], "NOME"), "Zona 1,a-");
    EXPECT_EQ(Texto(z[0], "VPM"), "0.35");
    EXPECT_EQ(Ponto(z[0]->InsertionPoint()), Ponto(120, 80, 0));
    EXPECT_EQ(z[0]->XScaleFactor(), 1);
    EXPECT_EQ(z[0]->YScaleFactor(), 1);
    EXPECT_EQ(z[0]->Rotation(), 0);
    EXPECT_EQ(z[0]->Layer(), "ZONAS");

    // A total: its own box and block; the value is kept as typed.
    user::Type(WC.ZonTxt(1), "-12.");
    script->Point({300, 80, 0});
    user::Click(WC.ZonCmd(1));
    z = Blocos("Zon_Total");
    ASSERT_EQ(z.size(), 1u);
    EXPECT_EQ(Texto(z[0], "NOME"), "Zona 1,a-");
    EXPECT_EQ(Texto(z[0], "VTZ"), "-12.");
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(ZonasNodes, AZoneWithoutNameOrNumberOrPointInsertsNothing)
{
    user::ChooseTab(WC.SSLumbra, 0);
    const auto nada = [&] {
        EXPECT_TRUE(Blocos("Zon_PorM").empty());
        EXPECT_TRUE(Blocos("Zon_Total").empty());
        EXPECT_TRUE(script->Requests().empty());
    };
    // A name of blanks is none: the focus goes to it.
    user::Type(WC.ZonTxt(0), "   ");
    user::Type(WC.ZonTxt(2), "1");
    user::Focus(WC.ZonTxt(2));
    user::Click(WC.ZonCmd(0));
    EXPECT_TRUE(WC.ZonTxt(0).HasFocus());
    nada();

    // The value of the other kind does not count.
    WC.ZonTxt(0).SetText("Norte");
    user::Click(WC.ZonCmd(1));
    EXPECT_TRUE(WC.ZonTxt(1).HasFocus());
    nada();

    // What the keys let through but is no number: a message and the focus.
    for (const char* v : {"1..2", "-.", "-", "1-2", "."}) {
        SCOPED_TRACE(v);
        WC.ZonTxt(1).SetText("");
        user::Type(WC.ZonTxt(1), v);
        EXPECT_EQ(WC.ZonTxt(1).Text(), v);
        caixas.clear();
        user::Focus(WC.ZonTxt(0));
        user::Click(WC.ZonCmd(1));
        ASSERT_EQ(caixas.size(), 1u);
        EXPECT_EQ(caixas[0].Texto, std::string("O valor \"") + v + "\" não é um número.");
        // The form comes back to the front once the box has gone.
        DoEvents();
        EXPECT_TRUE(WC.ZonTxt(1).HasFocus());
        nada();
    }

    // A point not given inserts nothing, and the block file is not needed twice.
    WC.ZonTxt(1).SetText("7");
    script->Enter();
    user::Click(WC.ZonCmd(1));
    EXPECT_TRUE(Blocos("Zon_Total").empty());
    EXPECT_EQ(script->Remaining(), 0u);

    // A block file missing from the database folder: its message, nothing asked.
    gBlocosPath = pasta.Caminho().string();
    caixas.clear();
    const std::size_t pedidos = script->Requests().size();
    user::Click(WC.ZonCmd(0));
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_NE(caixas[0].Texto.find("Zon_PorM"), std::string::npos);
    EXPECT_EQ(script->Requests().size(), pedidos);
    EXPECT_TRUE(Blocos("Zon_PorM").empty());
}

TEST_F(ZonasNodes, ANodeCircleIsResizedFromItsCentre)
{
    acad::BlockReference* no = Node(10, 20, 2);
    user::ChooseTab(WC.SSLumbra, 1);
    script->Point({10, 20, 0}).Point({13, 24, 0});
    user::Click(WC.NODScaleCmd);
    ASSERT_GE(script->Requests().size(), 2u);
    EXPECT_EQ(script->Requests()[0].prompt, "Selecione círculo:");
    EXPECT_EQ(script->Requests()[1].prompt, "Raio:");
    EXPECT_EQ(Ponto(*script->Requests()[1].basePoint), Ponto(10, 20, 0));
    EXPECT_DOUBLE_EQ(no->XScaleFactor(), 5);
    EXPECT_DOUBLE_EQ(no->YScaleFactor(), 5);

    // Nothing changes for a cancelled radius, a radius of 0, a pick on
    // nothing or on another block; and nothing is said.
    script->Point({10, 20, 0}).Enter();
    user::Click(WC.NODScaleCmd);
    script->Point({10, 20, 0}).Point({10, 20, 0});
    user::Click(WC.NODScaleCmd);
    script->Point({500, 500, 0});
    user::Click(WC.NODScaleCmd);
    ASSERT_TRUE(InsertBlockFile("Zon_PorM"));
    gModelSpace->InsertBlock({100, 20, 0}, "Zon_PorM", 1, 1, 1, 0);
    script->Point({100, 20, 0});
    user::Click(WC.NODScaleCmd);
    EXPECT_DOUBLE_EQ(no->XScaleFactor(), 5);
    EXPECT_DOUBLE_EQ(no->YScaleFactor(), 5);
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(caixas.empty());
}

TEST_F(ZonasNodes, OverlappingCirclesShrinkToTouch)
{
    user::ChooseTab(WC.SSLumbra, 1);
    // 10 apart with radii 8 and 4: both 5. Touching ones stay. Two at one
    // point have no distance to share and keep their sizes.
    acad::BlockReference* a = Node(0, 0, 8);
    acad::BlockReference* b = Node(10, 0, 4);
    acad::BlockReference* c = Node(0, 100, 5);
    acad::BlockReference* d = Node(10, 100, 5);
    acad::BlockReference* e = Node(0, 200, 3);
    acad::BlockReference* f = Node(0, 200, 2);
    // A chain: the first pair's new size counts for the next pair, so the
    // third circle, which met the first at its old size, keeps its own.
    acad::BlockReference* g = Node(0, 300, 6);
    acad::BlockReference* h = Node(6, 300, 1);
    acad::BlockReference* k = Node(-5, 300, 1);
    user::Click(WC.NODNumeraCmd);
    for (auto [no, r] : std::vector<std::pair<acad::BlockReference*, double>>{
             {a, 5}, {b, 5}, {c, 5}, {d, 5}, {e, 3}, {f, 2}, {g, 3}, {h, 3}, {k, 1}}) {
        EXPECT_DOUBLE_EQ(no->XScaleFactor(), r);
        EXPECT_DOUBLE_EQ(no->YScaleFactor(), r);
    }
    ASSERT_EQ(gNumNos, 9);
    for (const NoRec& n : gNos)
        EXPECT_DOUBLE_EQ(n.Raio,
                         dynamic_cast<acad::BlockReference*>(Doc().ObjectIdToObject(n.ObjectID))->XScaleFactor());
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(WC.ProgressBar1.Caption(), "");
}

TEST_F(ZonasNodes, NodesAreNumberedFromTopToBottomAndTiesKeepTheirOrder)
{
    user::ChooseTab(WC.SSLumbra, 1);
    // Heights 30, 50, 10 in drawing order.
    acad::BlockReference* n30 = Node(0, 30, 1);
    acad::BlockReference* n50 = Node(100, 50, 1);
    acad::BlockReference* n10 = Node(200, 10, 1);
    SetAtributo("MENSAGEM", "7", n10);
    user::Click(WC.NODNumeraCmd);
    EXPECT_EQ(Numero(n50), "1");
    EXPECT_EQ(Numero(n30), "2");
    EXPECT_EQ(Numero(n10), "3");
    ASSERT_EQ(gNumNos, 3);
    ASSERT_EQ(gNos.size(), 3u);
    EXPECT_EQ(gNos[0].ObjectID, n50->ObjectID());
    EXPECT_EQ(gNos[0].Ponto, Ponto(100, 50, 0));
    EXPECT_DOUBLE_EQ(gNos[0].Raio, 1);
    EXPECT_EQ(gNos[2].ObjectID, n10->ObjectID());

    // Numbered again, in order already: each keeps its number.
    user::Click(WC.NODNumeraCmd);
    EXPECT_EQ(Numero(n50), "1");
    EXPECT_EQ(Numero(n30), "2");
    EXPECT_EQ(Numero(n10), "3");

    // Ties: the one drawn first comes first, even when a higher node drawn
    // after both is taken out before them.
    acad::BlockReference* t1 = Node(0, -100, 1);
    acad::BlockReference* t2 = Node(50, -100, 1);
    acad::BlockReference* t3 = Node(100, -100, 1);
    acad::BlockReference* alto = Node(300, 1000, 1);
    user::Click(WC.NODNumeraCmd);
    EXPECT_EQ(Numero(alto), "1");
    EXPECT_EQ(Numero(n50), "2");
    EXPECT_EQ(Numero(n30), "3");
    EXPECT_EQ(Numero(n10), "4");
    EXPECT_EQ(Numero(t1), "5");
    EXPECT_EQ(Numero(t2), "6");
    EXPECT_EQ(Numero(t3), "7");
    ASSERT_EQ(gNumNos, 7);
    for (std::size_t i = 1; i < gNos.size(); ++i) EXPECT_GE(gNos[i - 1].Ponto.Y, gNos[i].Ponto.Y);
    EXPECT_EQ(gNos[4].ObjectID, t1->ObjectID());
}

TEST_F(ZonasNodes, WithoutNodesNothingIsNumberedAndTheTableStays)
{
    user::ChooseTab(WC.SSLumbra, 1);
    gNos.assign(2, NoRec());
    gNos[1].Label = "12";
    gNumNos = 2;
    ASSERT_TRUE(InsertBlockFile("Zon_PorM"));
    gModelSpace->InsertBlock({0, 0, 0}, "Zon_PorM", 1, 1, 1, 0);
    user::Click(WC.NODNumeraCmd);
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Texto, "Nenhum Node encontrado.");
    EXPECT_EQ(gNumNos, 2);
    ASSERT_EQ(gNos.size(), 2u);
    EXPECT_EQ(gNos[1].Label, "12");
}

TEST_F(ZonasNodes, EachNodeButtonTellsWhatItDoes)
{
    user::ChooseTab(WC.SSLumbra, 1);
    user::Hover(WC.NODLerDesenhoCmd);
    EXPECT_EQ(WC.NODLbl.Caption(),
              "Com o desenho da REDE aberto este comando construirá um novo desenho para definição dos NODES. Os "
              "NODES serão representados por círculos. A cor  é apenas informativa.");
    user::Hover(WC.NODNumeraCmd);
    EXPECT_EQ(WC.NODLbl.Caption(),
              "Este comando irá numerar os nodes de cima para baixo. Isso finaliza a preparação deste arquivo. Os "
              "NODES que se cruzam serão ajustados. ");
    user::Hover(WC.NODScaleCmd);
    EXPECT_EQ(WC.NODLbl.Caption(),
              "Cada extremidade de TRECHO está representada por um círculo cor MAGENTA. O círculo do NODE deverá "
              "conter as extremidades que se deseja juntar. Deve ser evitado que os círculos se cruzem.");
}
