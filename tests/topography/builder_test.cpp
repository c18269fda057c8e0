// Topography blocks built in the drawing from the catalogue's rows: entity
// layers by block name, the rows' own layers and alignments, rebuilding, and
// names or rows that cannot be built, which leave the drawing's block as it
// was, with CECOLOR and the mouse pointer back.

#include <gtest/gtest.h>

#include <algorithm>

#include "TopoTestSupport.h"
#include "cad/modAcad.h"
#include "platform/acad/Acad.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Application.h"
#include "platform/forms/Types.h"
#include "topography/TOPDes.h"
#include "topography/clsTOPDb.h"

using namespace topotest;

namespace {

class BlocosTopo : public TopoTest {
protected:
    BlocosTopo()
    {
        clsTOPDb db;
        EXPECT_TRUE(db.LoadDb());
        Doc().SetVariable("CECOLOR", "3");
    }

    acad::Block* Bloco(const std::string& Nome) { return Doc().Blocks().Item(Nome); }

    bool TemCamada(const std::string& Nome)
    {
        for (const acad::Layer* l : Doc().Layers())
            if (l->Name() == Nome) return true;
        return false;
    }

    int Cor(const std::string& Camada) { return Doc().Layers().Item(Camada)->Color(); }

    std::vector<std::string> Tipos(acad::Block& B)
    {
        std::vector<std::string> t;
        for (acad::Entity* e : B) t.push_back(e->ObjectName());
        return t;
    }

    void CECOLORVolta() { EXPECT_EQ(Doc().GetVariable("CECOLOR").ToString(), "3"); }
};

TEST_F(BlocosTopo, EntitiesGoOnTheLayerOfTheBlockNameAndAttributesOnTheirRowsLayers)
{
    ASSERT_TRUE(DefineBloco("CAD_RUF", false));
    CECOLORVolta();
    EXPECT_EQ(forms::Screen.MousePointer(), forms::vbDefault);
    acad::Block& ruf = *Bloco("CAD_RUF");
    // In the rows' order: the attributes first, then the lines.
    const std::vector<std::string> tipos = Tipos(ruf);
    ASSERT_EQ(tipos.size(), 12u);
    EXPECT_EQ(std::count(tipos.begin(), tipos.begin() + 7, "AcDbAttributeDefinition"), 7);
    EXPECT_EQ(std::count(tipos.begin() + 7, tipos.end(), "AcDbLine"), 5);
    EXPECT_EQ(Cor("DefPoints"), 10);
    EXPECT_EQ(Cor("CADASTRO"), 250);
    EXPECT_EQ(Cor("CADASTRO_TEXTO"), 7);
    for (acad::Entity* e : ruf) EXPECT_EQ(e->Layer(), e->ObjectName() == "AcDbLine" ? "CADASTRO" : "CADASTRO_TEXTO");
    EXPECT_NE(Doc().TextStyles().Item("ARIAL"), nullptr);
    EXPECT_NE(Doc().TextStyles().Item("ROMANS"), nullptr);

    // Alignment 10 anchors NUMERO by its alignment point; UNIDADE (0) keeps
    // its insertion point only.
    auto* numero = dynamic_cast<acad::AttributeDefinition*>(ruf.Item(0));
    ASSERT_NE(numero, nullptr);
    EXPECT_EQ(numero->TagString(), "NUMERO");
    EXPECT_EQ(numero->Alignment(), 10);
    EXPECT_EQ(Ponto(numero->TextAlignmentPoint()), Ponto(0, 0, 0));
    auto* unidade = dynamic_cast<acad::AttributeDefinition*>(ruf.Item(5));
    ASSERT_NE(unidade, nullptr);
    EXPECT_EQ(unidade->TagString(), "UNIDADE");
    EXPECT_EQ(unidade->Alignment(), 0);
    EXPECT_EQ(Ponto(unidade->InsertionPoint()), Ponto(2.775, 1.675, 0));
    EXPECT_EQ(unidade->StyleName(), "ROMANS");

    // The grid and its line layer; the sheet; names the table does not know on "0".
    ASSERT_TRUE(DefineBloco("COM_GRADE", false));
    EXPECT_EQ(Cor("GRADE_10"), 42);
    EXPECT_EQ(Cor("GRADE_10_LINHA"), 7);
    ASSERT_TRUE(DefineBloco("QUADRICULA2", false));
    EXPECT_EQ(Cor("QUADRICULA"), 1);
    ASSERT_TRUE(DefineBloco("CAD_SBX", false));
    acad::Block& sbx = *Bloco("CAD_SBX");
    for (acad::Entity* e : sbx) {
        if (e->ObjectName() == "AcDbLine") {
            EXPECT_EQ(e->Layer(), "0");
        }
        if (auto* t = dynamic_cast<acad::Text*>(e)) {
            EXPECT_EQ(t->Layer(), "CADASTRO_TEXTO");
            EXPECT_EQ(t->Alignment(), 9);
            EXPECT_EQ(Ponto(t->TextAlignmentPoint()), Ponto(2, 0, 0));
        }
    }
    ASSERT_TRUE(DefineBloco("TOP_UTM", false));
    EXPECT_EQ(Cor("UTM"), 9);
    CECOLORVolta();
}

TEST_F(BlocosTopo, ABlockThereIsLeftAloneOrRebuiltToExactlyTheCurrentRows)
{
    // A block of that name already there, built by hand: false touches
    // nothing and makes no layer nor style.
    acad::Block* mao = Doc().Blocks().Add({0, 0, 0}, "CAD_COM");
    mao->AddCircle({0, 0, 0}, 9);
    ASSERT_TRUE(DefineBloco("CAD_COM", false));
    EXPECT_EQ(Bloco("CAD_COM")->Count(), 1);
    EXPECT_FALSE(TemCamada("DefPoints"));
    EXPECT_FALSE(TemCamada("CADASTRO"));
    EXPECT_THROW(Doc().TextStyles().Item("ARIAL"), acad::Error);

    // True: exactly the rows, the hand-drawn circle gone; twice is the same.
    ASSERT_TRUE(DefineBloco("CAD_COM", true));
    ASSERT_TRUE(DefineBloco("CAD_COM", true));
    acad::Block& com = *Bloco("CAD_COM");
    EXPECT_EQ(com.Count(), 13);
    for (acad::Entity* e : com) EXPECT_NE(e->ObjectName(), "AcDbCircle");
    // An insertion shows the new geometry.
    acad::BlockReference* ref = Doc().ModelSpace().InsertBlock({100, 100, 0}, "CAD_COM", 1, 1, 1, 0);
    EXPECT_EQ(ref->Name(), "CAD_COM");
    CECOLORVolta();
}

TEST_F(BlocosTopo, ANameWithoutRowsOrABadRowLeavesTheDrawingsBlockAsItWas)
{
    // A name the catalogue lacks: no block made.
    EXPECT_FALSE(DefineBloco("COM_NADA", false));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("COM_NADA"), std::string::npos);
    EXPECT_FALSE(ExisteBloco("COM_NADA"));

    // ... and one the drawing holds keeps its content.
    Doc().Blocks().Add({0, 0, 0}, "COM_NADA")->AddCircle({0, 0, 0}, 2);
    mensagens.Limpa();
    EXPECT_FALSE(DefineBloco("COM_NADA", true));
    EXPECT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(Bloco("COM_NADA")->Count(), 1);

    // A catalogue whose second row of CAD_RUF cannot be read: the message
    // names the block and the row; a new block is not made, an old one keeps
    // its entities.
    CatalogoPequeno(
        "INSERT INTO T_DXFs VALUES ('CAD_RUF','Line','0,0','1,1',NULL),"
        "('CAD_RUF','Line','0,0','x,1',NULL),('COM_LOTE','Text','2','0,0','L,LOTE_T,ROMANS,0');");
    clsTOPDb db;
    ASSERT_TRUE(db.LoadDb());
    mensagens.Limpa();
    EXPECT_FALSE(DefineBloco("CAD_RUF", false));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("CAD_RUF"), std::string::npos);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("linha 2"), std::string::npos) << mensagens.Lista()[0].Texto;
    EXPECT_FALSE(ExisteBloco("CAD_RUF"));

    Doc().Blocks().Add({0, 0, 0}, "CAD_RUF")->AddPoint({1, 2, 0});
    EXPECT_FALSE(DefineBloco("CAD_RUF", true));
    ASSERT_EQ(Bloco("CAD_RUF")->Count(), 1);
    EXPECT_EQ(Bloco("CAD_RUF")->Item(0)->ObjectName(), "AcDbPoint");

    // A text row without its colour: named too.
    mensagens.Limpa();
    EXPECT_FALSE(DefineBloco("COM_LOTE", false));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("COM_LOTE"), std::string::npos);
    EXPECT_FALSE(ExisteBloco("COM_LOTE"));

    // Nothing anonymous left behind by the drafts.
    for (int i = 0; i < Doc().Blocks().Count(); ++i)
        EXPECT_NE(Doc().Blocks().Item(i)->Name().substr(0, 2), "*U") << Doc().Blocks().Item(i)->Name();
    CECOLORVolta();
    EXPECT_EQ(forms::Screen.MousePointer(), forms::vbDefault);
}

}  // namespace
