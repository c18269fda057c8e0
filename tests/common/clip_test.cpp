// Sector clipping and the building blocks rebuilt: the XCLIP command text
// with its near-duplicate vertices dropped, a base map clipped through the
// host's command line, cancelled picks and refused references, and the six
// building blocks built again from the catalogue with CAD_SBX untouched.

#include <gtest/gtest.h>

#include "ComumTestSupport.h"
#include "cad/modAcad.h"
#include "common/modClipSetor.h"
#include "platform/acad/Acad.h"
#include "platform/forms/Testing.h"
#include "topography/TOPDes.h"

using namespace comumtest;
using namespace forms;

namespace {

class Clip : public ComumTest {
protected:
    Clip()
    {
        // The town's base map: a few streets, attached at the origin.
        {
            acad::Document base;
            base.ModelSpace().AddLine({-50, -50, 0}, {150, 100, 0});
            base.ModelSpace().AddLine({-50, 100, 0}, {150, -50, 0});
            base.SaveAs((pasta / "BASE.dwg").string());
        }
        xref =
            gModelSpace->AttachExternalReference((pasta / "BASE.dwg").string(), "BASE", {0, 0, 0}, 1, 1, 1, 0, false);
        contorno = gModelSpace->AddLightWeightPolyline({0, 0, 100, 0, 100, 0.005, 100, 50});
        Doc().SetVariable("CMDECHO", 1);
        user::ChooseTab(CM.SSTab1, 0);
    }

    acad::ExternalReference* xref = nullptr;
    acad::LWPolyline* contorno = nullptr;
};

TEST_F(Clip, TheOutlineWithoutNearDuplicatesClipsTheReference)
{
    EXPECT_EQ(ComandoXClip("2A", SemVerticesProximos({0, 0, 100, 0, 100, 0.005, 100, 50})),
              "_XCLIP\r(Handent \"2A\")\r\rNEW\rP\r0.0000,0.0000\r100.0000,0.0000\r100.0000,50.0000\r\r");
    // Each vertex is measured against the one kept before it, not the one before.
    EXPECT_EQ(SemVerticesProximos({0, 0, 0.006, 0, 0.012, 0, 0.018, 0.004}), (std::vector<double>{0, 0, 0.012, 0}));
    EXPECT_TRUE(SemVerticesProximos({}).empty());

    script->Point({50, 0, 0}).Point({150, 100, 0});
    user::Click(CM.SETClipCmd);
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Selecione contorno:", "Selecione XREF:"}));
    const auto& limite = xref->ClipBoundary();
    ASSERT_EQ(limite.size(), 3u);
    EXPECT_DOUBLE_EQ(limite[1].x, 100);
    EXPECT_DOUBLE_EQ(limite[1].y, 0);
    EXPECT_DOUBLE_EQ(limite[2].y, 50);
    EXPECT_EQ(Doc().GetVariable("CMDECHO").AsInt(), 0);
    EXPECT_FALSE(Doc().CommandActive());
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Clip, ACancelledPickSendsNothing)
{
    // Each pick has two attempts.
    script->Escape().Escape();
    user::Click(CM.SETClipCmd);
    script->Point({50, 0, 0}).Escape().Escape();
    user::Click(CM.SETClipCmd);
    // A pick on empty space counts as a failed attempt too.
    script->Point({50, 0, 0}).Point({500, 500, 0}).Point({600, 600, 0});
    user::Click(CM.SETClipCmd);
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(xref->ClipBoundary().empty());
    EXPECT_EQ(Doc().GetVariable("CMDECHO").AsInt(), 1) << "nothing was sent";
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Clip, ABlockThatIsNotAReferenceIsToldAndNothingIsClipped)
{
    Doc().Blocks().Add({0, 0, 0}, "MARCO")->AddCircle({0, 0, 0}, 2);
    gModelSpace->InsertBlock({300, 0, 0}, "MARCO", 1, 1, 1, 0);
    script->Point({50, 0, 0}).Point({302, 0, 0});
    user::Click(CM.SETClipCmd);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Clip Setor");
    EXPECT_NE(mensagens.Lista()[0].Texto.find("nenhuma referência externa"), std::string::npos)
        << mensagens.Lista()[0].Texto;
    EXPECT_TRUE(xref->ClipBoundary().empty());
    EXPECT_FALSE(Doc().CommandActive()) << "the refused command does not wait";

    // A line picked as the reference: not a block, refused twice, nothing sent.
    mensagens.Limpa();
    Doc().SetVariable("CMDECHO", 1);
    script->Point({50, 0, 0}).Point({100, 25, 0}).Point({100, 25, 0});
    user::Click(CM.SETClipCmd);
    EXPECT_TRUE(mensagens.Lista().empty());
    EXPECT_EQ(Doc().GetVariable("CMDECHO").AsInt(), 1);
}

class Atualiza : public ComumTest {
protected:
    // Each building block a square and the registry's tags; CAD_SBX a circle.
    static std::string Linhas(const std::string& Extra)
    {
        std::string sql;
        for (const char* b : {"CAD_COM", "CAD_IND", "CAD_MIX", "CAD_RUF", "CAD_RMF", "CAD_SVP"}) {
            const std::string n = b;
            sql += "INSERT INTO T_DXFs VALUES ('" + n +
                   "', 'Line', '0,0', '4,0', NULL);"
                   "INSERT INTO T_DXFs VALUES ('" +
                   n + "', 'Attribute', '1', '0,1', '01,NUMERO,CADASTRO,0,0,250,ROMANS');";
            if (!Extra.empty()) sql += "INSERT INTO T_DXFs VALUES ('" + n + "', " + Extra + ");";
        }
        sql += "INSERT INTO T_DXFs VALUES ('CAD_SBX', 'Circle', '0,0', '1', NULL);";
        if (!Extra.empty()) sql += "INSERT INTO T_DXFs VALUES ('CAD_SBX', " + Extra + ");";
        return sql;
    }
    static std::size_t Entidades(acad::Block* b)
    {
        std::size_t n = 0;
        for (acad::Entity* e : *b) {
            (void)e;
            ++n;
        }
        return n;
    }
};

TEST_F(Atualiza, TheSixBuildingBlocksAreBuiltAgainAndCadSbxIsLeft)
{
    CatalogoPequeno(Linhas(""));
    CM.Start();
    for (const char* b : {"CAD_COM", "CAD_IND", "CAD_MIX", "CAD_RUF", "CAD_RMF", "CAD_SVP", "CAD_SBX"})
        ASSERT_TRUE(DefineBloco(b, false)) << b;
    acad::BlockReference* casa = gModelSpace->InsertBlock({10, 10, 0}, "CAD_RUF", 1, 1, 1, 0);
    for (acad::AttributeReference* a : casa->GetAttributes()) a->SetTextString("42");

    // The catalogue now draws a second line in every block.
    CatalogoPequeno(Linhas("'Line', '0,0', '0,4', NULL"));
    CM.Start();
    user::ChooseTab(CM.SSTab1, 3);
    user::Click(CM.UpgradeCmd);
    for (const char* b : {"CAD_COM", "CAD_IND", "CAD_MIX", "CAD_RUF", "CAD_RMF", "CAD_SVP"})
        EXPECT_EQ(Entidades(Doc().Blocks().Find(b)), 3u) << b;
    EXPECT_EQ(Entidades(Doc().Blocks().Find("CAD_SBX")), 1u) << "CAD_SBX is not rebuilt";
    // The insertion shows the new geometry and keeps its value.
    EXPECT_EQ(Atributo(casa, "NUMERO"), "42");
    EXPECT_EQ(CM.Progress.CurValue(), 0) << "the bar is cleared";
    EXPECT_TRUE(mensagens.Lista().empty());

    // A catalogue without one of them: told, the others still rebuilt, the bar cleared.
    CatalogoPequeno(Linhas("'Line', '0,0', '-4,0', NULL") + "DELETE FROM T_DXFs WHERE Bloco = 'CAD_MIX';");
    CM.Start();
    user::Click(CM.UpgradeCmd);
    EXPECT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(Entidades(Doc().Blocks().Find("CAD_MIX")), 3u) << "kept as it was";
    EXPECT_EQ(Entidades(Doc().Blocks().Find("CAD_SVP")), 3u);
    EXPECT_EQ(CM.Progress.CurValue(), 0);
}

}  // namespace
