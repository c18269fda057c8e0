// Sewer block definitions built from the catalogue's geometry rows, and the
// fault marker "ErroC".

#include <gtest/gtest.h>

#include "SewerTestSupport.h"
#include "cad/modDesenho.h"
#include "sewer/clsSANDb.h"
#include "sewer/clsSANDes.h"
#include "sewer/modBlocosSAN.h"
#include "shell/modGlobais.h"

using namespace sewertest;

namespace {

class Definicoes : public SewerTest {
protected:
    std::string Cecolor() { return Doc().GetVariable("CECOLOR").ToString(); }
    int CorDaCamada(const std::string& Nome) { return Doc().Layers().Item(Nome)->Color(); }
    // Kind and layer of each entity of a definition, in order.
    std::vector<std::string> Conteudo(const std::string& Bloco)
    {
        std::vector<std::string> v;
        for (acad::Entity* e : *Doc().Blocks().Item(Bloco)) {
            std::string s = e->ObjectName() + "@" + e->Layer();
            if (auto* a = dynamic_cast<acad::AttributeDefinition*>(e)) s += ":" + a->TagString();
            v.push_back(s);
        }
        return v;
    }
};

}  // namespace

TEST_F(Definicoes, AManholeBlockIsBuiltFromItsRowsOnItsLayers)
{
    Doc().SetVariable("CECOLOR", "3");
    EXPECT_FALSE(ExisteBloco("E-PV"));
    ASSERT_TRUE(DefineBlocoSAN("E-PV"));
    EXPECT_TRUE(ExisteBloco("E-PV"));
    // Attributes first (rows by kind, then by S4), so the inserts list them in
    // that order; geometry on "PV", texts on the layers their rows name.
    EXPECT_EQ(Conteudo("E-PV"),
              (std::vector<std::string>{"AcDbAttributeDefinition@N_PV:NUMERO", "AcDbAttributeDefinition@Texto_PV:CT",
                                        "AcDbAttributeDefinition@Texto_PV:CS", "AcDbAttributeDefinition@Texto_PV:CP",
                                        "AcDbAttributeDefinition@Texto_PV:ET", "AcDbCircle@PV", "AcDbCircle@PV"}));
    EXPECT_EQ(CorDaCamada("PV"), 8);
    EXPECT_EQ(CorDaCamada("N_PV"), 2);
    EXPECT_EQ(CorDaCamada("DefPoints"), 10);
    EXPECT_EQ(Cecolor(), "3");  // as it was, not BYLAYER

    auto* et = dynamic_cast<acad::AttributeDefinition*>(Doc().Blocks().Item("E-PV")->Item(4));
    ASSERT_NE(et, nullptr);
    EXPECT_EQ(et->Mode(), 1);  // invisible
    EXPECT_EQ(et->StyleName(), "ROMANS");
    EXPECT_EQ(Doc().TextStyles().Item("ROMANS")->FontFile(), "Romans.shx");
    EXPECT_EQ(Doc().TextStyles().Item("ARIAL")->TypeFace(), "Arial");

    // The reach's name: centred, so anchored by its alignment point.
    ASSERT_TRUE(DefineBlocoSAN("E-TRSAN"));
    for (acad::Entity* e : *Doc().Blocks().Item("E-TRSAN")) {
        auto* a = dynamic_cast<acad::AttributeDefinition*>(e);
        if (!a || a->TagString() != "TRECHO") continue;
        EXPECT_EQ(a->Alignment(), 13);
        EXPECT_EQ(Ponto(a->TextAlignmentPoint()), Ponto(0, 3.1578, 0));
        EXPECT_EQ(a->Layer(), "Num_Trecho");
    }
    EXPECT_EQ(CorDaCamada("FLUXO"), 12);

    // "E-PVGEN" begins with "E-PV"; the quantity blocks draw on "0", texts included.
    ASSERT_TRUE(DefineBlocoSAN("E-PVGEN"));
    EXPECT_EQ(Conteudo("E-PVGEN").back(), "AcDbLine@PV");
    ASSERT_TRUE(DefineBlocoSAN("RQ-T"));
    EXPECT_EQ(Conteudo("RQ-T"),
              (std::vector<std::string>{"AcDbAttributeDefinition@QUANTITATIVOS:TOTAL", "AcDbLine@0", "AcDbLine@0",
                                        "AcDbLine@0", "AcDbLine@0", "AcDbText@QUANTITATIVOS"}));
}

TEST_F(Definicoes, AnExistingBlockIsLeftAloneUnlessRedefined)
{
    ASSERT_TRUE(DefineBlocoSAN("E-PV"));
    Doc().Layers().Item("PV")->SetColor(1);
    Doc().SetVariable("CECOLOR", "BYBLOCK");
    Doc().TextStyles().Item("ROMANS")->SetFontFile("txt");
    ASSERT_TRUE(DefineBlocoSAN("E-PV"));
    EXPECT_EQ(CorDaCamada("PV"), 1);
    EXPECT_EQ(Cecolor(), "BYBLOCK");
    EXPECT_EQ(Doc().TextStyles().Item("ROMANS")->FontFile(), "txt");

    // Rebuilt on request: the same content again, not twice.
    Doc().Blocks().Item("E-PV")->AddLine({0, 0, 0}, {5, 5, 0});
    ASSERT_TRUE(DefineBlocoSAN("E-PV", true));
    EXPECT_EQ(Conteudo("E-PV").size(), 7u);
    EXPECT_EQ(CorDaCamada("PV"), 8);
}

TEST_F(Definicoes, ABrokenRowIsToldAndLeavesNoHalfBlockAndTheColourBack)
{
    Doc().SetVariable("CECOLOR", "5");
    gBlocosSAN.push_back({"E-TESTE",
                          {{"Circle", "0,0", "1", ""},
                           {"Estranho", "1", "2", "3"},
                           {"Attribute", "1", "0,0", "01,NUMERO,N_PV,zero,0,2,ROMANS"}}});
    EXPECT_FALSE(DefineBlocoSAN("E-TESTE"));
    EXPECT_FALSE(ExisteBloco("E-TESTE"));
    EXPECT_EQ(Cecolor(), "5");
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto,
              "Não foi possível construir o bloco E-TESTE (linha 3: Attribute | 1 | 0,0 | "
              "01,NUMERO,N_PV,zero,0,2,ROMANS):\nmodo não é um número inteiro: \"zero\"");

    // Mended in the catalogue, the next call builds it; an unknown kind adds nothing.
    gBlocosSAN.back().Linhas[2].S4 = "01,NUMERO,N_PV,0,0,2,ROMANS";
    ASSERT_TRUE(DefineBlocoSAN("E-TESTE"));
    EXPECT_EQ(Conteudo("E-TESTE"), (std::vector<std::string>{"AcDbCircle@0", "AcDbAttributeDefinition@N_PV:NUMERO"}));

    // A name the catalogue has no rows for: an empty definition.
    ASSERT_TRUE(DefineBlocoSAN("SEM-LINHAS"));
    EXPECT_TRUE(Conteudo("SEM-LINHAS").empty());
    EXPECT_EQ(Cecolor(), "5");
}

TEST_F(Definicoes, AnAutomaticSpecialManholeIsMarkedForItsSize)
{
    GetLayer("0-Conferencia", 2, "");
    acad::BlockReference* pv = des.DrawPV(Ponto(10, 10), 0.0, "E-PV250", "PV-9", "100", "98", "2", 1, true);
    ASSERT_NE(pv, nullptr);
    const auto marcas = Blocos("ErroC");
    ASSERT_EQ(marcas.size(), 1u);
    EXPECT_EQ(Ponto(marcas[0]->InsertionPoint()), Ponto(10, 10, 0));
    EXPECT_DOUBLE_EQ(marcas[0]->XScaleFactor(), 10.0);
    EXPECT_DOUBLE_EQ(marcas[0]->ZScaleFactor(), 10.0);
    EXPECT_EQ(marcas[0]->Layer(), "0-Conferencia");
    EXPECT_EQ(marcas[0]->Color(), 256);
    EXPECT_EQ(CorDaCamada("0-Conferencia"), 6);  // set back at every marker
    EXPECT_EQ(Atributos(marcas[0]).at("MENSAGEM"), "Verificar dimensão do PV");

    // Only automatic "E-PV250": neither a drawn one nor an automatic "E-PV".
    des.DrawPV(Ponto(30, 10), 0.0, "E-PV250", "PV-10", "100", "98", "2", 1, false);
    des.DrawPV(Ponto(50, 10), 0.0, "E-PV", "PV-11", "100", "98", "2", 1, true);
    EXPECT_EQ(Blocos("ErroC").size(), 1u);

    // Without the block file the marker is not placed, and the user is told.
    gBlocosPath = pasta.Caminho().string();
    Blocos("ErroC")[0]->Delete();
    Doc().Blocks().Item("ErroC")->Delete();
    EXPECT_FALSE(InsertErrorMarker(Ponto(0, 0), 1, "x", 1));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("ErroC não foi encontrado"), std::string::npos);
}
