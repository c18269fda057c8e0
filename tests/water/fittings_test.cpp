// Placing a fitting: the point asked, the block on its stage's layer, its
// code attributes written and hidden, and the rotation left to the user.

#include <cmath>

#include "DesenhoAgua.h"
#include "cad/modSelecao.h"

using namespace watertest;

namespace {

class Conexoes : public DesenhoAgua {
protected:
    // Answers the rotation the fitting was left waiting for.
    void Gira(double Angulo)
    {
        ASSERT_TRUE(Doc().CommandLine().Active());
        EXPECT_EQ(Doc().CommandLine().ActiveCommandName(), "ROTATE");
        script->Angle(Angulo);
        Doc().CommandLine().Continue();
        EXPECT_FALSE(Doc().CommandLine().Active());
    }
    std::string UltimoComando() { return comandos.empty() ? "" : comandos.back(); }
    Conexoes()
    {
        fim = Doc().EndCommand.Connect([this](const std::string& n) { comandos.push_back(n); });
    }
    ~Conexoes() override { fim.Disconnect(); }
    std::vector<std::string> comandos;
    platform::Event<std::string>::Connection fim;
};

}  // namespace

TEST_F(Conexoes, EachStageOnItsLayerWithItsColourAndTheCodesHidden)
{
    Doc().Layers().Add("CONEXOES_2")->SetColor(1);
    const int cores[] = {7, 5, 6, 11};
    for (int etapa = 0; etapa < 4; ++etapa) {
        SCOPED_TRACE(etapa);
        const std::string e = std::to_string(etapa);
        const Ponto p(100.0 * etapa + 1234.5, 678);
        script->Point(p);
        des.InsertConex("A-TE", "Registros", "TEDN100x50", e, "X1", etapa == 1 ? "" : "X2", "", "X4");
        EXPECT_EQ(script->Prompts().back(), "Ponto de inserção: ");
        std::vector<acad::BlockReference*> b = Blocos("A-TE");
        ASSERT_EQ(b.size(), static_cast<std::size_t>(etapa + 1));
        acad::BlockReference* f = b.back();
        EXPECT_EQ(f->Layer(), "CONEXOES_" + e);
        EXPECT_EQ(Doc().Layers().Item("CONEXOES_" + e)->Color(), cores[etapa]);
        EXPECT_DOUBLE_EQ(f->XScaleFactor(), 0.5);
        EXPECT_DOUBLE_EQ(f->YScaleFactor(), 0.5);
        EXPECT_DOUBLE_EQ(f->ZScaleFactor(), 0.5);
        EXPECT_EQ(Ponto(f->InsertionPoint()), Ponto(p.X, p.Y, 0));
        EXPECT_EQ(Texto(f, "CODIGO"), "TEDN100x50");
        EXPECT_EQ(Texto(f, "MATERIAL"), "Registros");
        EXPECT_EQ(Texto(f, "ETAPA"), e);
        EXPECT_EQ(Texto(f, "CODIG1"), "X1");
        EXPECT_EQ(Texto(f, "CODIG2"), etapa == 1 ? "" : "X2");
        EXPECT_EQ(Texto(f, "CODIG3"), "");
        EXPECT_EQ(Texto(f, "CODIG4"), "X4");
        for (const char* t : {"CODIGO", "MATERIAL", "ETAPA", "CODIG1", "CODIG2", "CODIG3", "CODIG4"})
            if (acad::AttributeReference* a = Atributo(f, t)) {
                EXPECT_FALSE(a->Visible()) << t;
            }
        // Rotated about the insertion point by the angle the user gives.
        EXPECT_DOUBLE_EQ(f->Rotation(), 0.0);
        Gira(M_PI / 2);
        EXPECT_NEAR(f->Rotation(), M_PI / 2, 1e-9);
        EXPECT_NEAR(f->InsertionPoint().x, p.X, 1e-9);
        EXPECT_NEAR(f->InsertionPoint().y, p.Y, 1e-9);
        EXPECT_EQ(UltimoComando(), "ROTATE");
    }
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Conexoes, TheRotationIsAskedAboutTheExactInsertionPoint)
{
    // Two fittings: ROTATE with LAST turns only the new one, about its own point.
    script->Point({10, 10, 0});
    des.InsertConex("A-TE", "Registros", "TEDN50", "1", "", "", "", "");
    Gira(0.0);
    script->Point({1234.5, 678, 0});
    des.InsertConex("A-TE", "Registros", "TEDN50", "1", "", "", "", "");
    Gira(M_PI);
    std::vector<acad::BlockReference*> b = Blocos("A-TE");
    ASSERT_EQ(b.size(), 2u);
    EXPECT_DOUBLE_EQ(b[0]->Rotation(), 0.0);
    EXPECT_NEAR(b[1]->Rotation(), M_PI, 1e-9);
    EXPECT_NEAR(b[1]->InsertionPoint().x, 1234.5, 1e-9);
    // The definition is built once and reused as it is.
    const int n = Doc().Blocks().Item("A-TE")->Count();
    script->Point({50, 50, 0});
    des.InsertConex("A-TE", "Registros", "TEDN50", "1", "", "", "", "");
    Gira(0.0);
    EXPECT_EQ(Doc().Blocks().Item("A-TE")->Count(), n);

    // Placed while the one before still waits for its angle: that turn ends
    // first, and this one's command answers no other prompt.
    script->Point({80, 80, 0});
    des.InsertConex("A-TE", "Registros", "TEDN50", "1", "", "", "", "");
    script->Point({90, 90, 0});
    des.InsertConex("A-TE", "Registros", "TEDN50", "1", "", "", "", "");
    Gira(M_PI / 2);
    b = Blocos("A-TE");
    ASSERT_EQ(b.size(), 5u);
    EXPECT_DOUBLE_EQ(b[3]->Rotation(), 0.0);
    EXPECT_NEAR(b[4]->Rotation(), M_PI / 2, 1e-9);
}

TEST_F(Conexoes, CancelledPointOrUnknownStageInsertNothing)
{
    script->Enter();
    des.InsertConex("A-TE", "Registros", "TEDN50", "3", "", "", "", "");
    EXPECT_TRUE(Blocos("A-TE").empty());
    EXPECT_EQ(Doc().Layers().Find("CONEXOES_3"), nullptr);
    EXPECT_FALSE(Doc().CommandLine().Active());

    for (const char* e : {"4", "-1", "", "1a", "x"}) {
        des.InsertConex("A-TE", "Registros", "TEDN50", e, "", "", "", "");
        EXPECT_TRUE(Blocos("A-TE").empty()) << e;
    }
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_FALSE(Doc().CommandLine().Active());
}

TEST_F(Conexoes, OnlyTheLastAttributeOutsideTheSevenIsTurnedLevel)
{
    // A fitting block already in the drawing, with two attributes of its own.
    acad::Block* def = Doc().Blocks().Add({0, 0, 0}, "A-EXTRA");
    def->AddLine({-2, 0, 0}, {2, 0, 0});
    def->AddAttribute(1.5, 0, "", {0, 0, 0}, "CODIGO", "")->SetRotation(0.5);
    def->AddAttribute(1.5, 0, "", {0, 2, 0}, "OUTRA1", "a")->SetRotation(0.5);
    def->AddAttribute(1.5, 0, "", {0, 4, 0}, "CODIG1", "")->SetRotation(0.5);
    def->AddAttribute(1.5, 0, "", {0, 6, 0}, "OUTRA2", "b")->SetRotation(0.5);
    script->Point({20, 20, 0});
    des.InsertConex("A-EXTRA", "Diversos", "EXDN50", "0", "E1", "", "", "");
    std::vector<acad::BlockReference*> b = Blocos("A-EXTRA");
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(Texto(b[0], "OUTRA1"), "a");
    EXPECT_EQ(Texto(b[0], "OUTRA2"), "b");
    EXPECT_NEAR(Atributo(b[0], "OUTRA1")->Rotation(), 0.5, 1e-9);
    EXPECT_NEAR(Atributo(b[0], "OUTRA2")->Rotation(), 0.0, 1e-9);
    EXPECT_TRUE(Atributo(b[0], "OUTRA2")->Visible());
    EXPECT_FALSE(Atributo(b[0], "CODIG1")->Visible());
    EXPECT_EQ(Texto(b[0], "CODIG1"), "E1");
    Gira(0.0);
    EXPECT_EQ(Doc().Blocks().Item("A-EXTRA")->Count(), 5);
}
