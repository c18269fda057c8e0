// The topography block catalogue read from real databases: the shipped one,
// read again at every start, and catalogues that cannot load, which are told
// once, naming the file and what is missing, and keep the blocks loaded before.

#include <gtest/gtest.h>

#include <algorithm>

#include "TopoTestSupport.h"
#include "platform/forms/Application.h"
#include "platform/forms/Types.h"
#include "shell/modGlobais.h"
#include "topography/TOPDes.h"
#include "topography/clsTOPDb.h"

using namespace topotest;

namespace {

class CatalogoTopo : public TopoTest {
protected:
    bool Carrega()
    {
        mensagens.Limpa();
        return db.LoadDb();
    }

    // One message naming the file and the fault; the shipped blocks stay.
    void EsperaFalha(const std::string& Sql, bool CriaTabela, const std::vector<std::string>& Trechos)
    {
        SCOPED_TRACE(Sql);
        CatalogoDoPrograma();
        ASSERT_TRUE(Carrega());
        const std::vector<BlocoDefRec> antes = gBlocosTopo;
        const std::filesystem::path banco = pasta / "rereva2000r.mdb";
        std::filesystem::remove(banco);
        if (CriaTabela)
            CatalogoPequeno(Sql);
        else {
            cadtest::ExecutaSql(banco, Sql);
            gMdbPath = banco.string();
        }
        EXPECT_FALSE(Carrega());
        ASSERT_EQ(mensagens.Lista().size(), 1u);
        EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
        const std::string& texto = mensagens.Lista()[0].Texto;
        EXPECT_NE(texto.find(gMdbPath), std::string::npos) << texto;
        for (const std::string& t : Trechos) EXPECT_NE(texto.find(t), std::string::npos) << t << " em " << texto;
        ASSERT_EQ(gBlocosTopo.size(), antes.size());
        for (std::size_t i = 0; i < antes.size(); ++i) {
            EXPECT_EQ(gBlocosTopo[i].Bloco, antes[i].Bloco);
            EXPECT_EQ(gBlocosTopo[i].Linhas.size(), antes[i].Linhas.size());
        }
        EXPECT_EQ(forms::Screen.MousePointer(), forms::vbDefault);
    }

    clsTOPDb db;
};

TEST_F(CatalogoTopo, TheShippedCatalogueGivesEachBlockOnceWithItsRowsByKindThenList)
{
    ASSERT_TRUE(Carrega());
    ASSERT_TRUE(Carrega()) << "lido de novo a cada início";
    EXPECT_TRUE(mensagens.Lista().empty());
    EXPECT_EQ(forms::Screen.MousePointer(), forms::vbDefault);
    ASSERT_EQ(gBlocosTopo.size(), 20u);
    for (std::size_t i = 1; i < gBlocosTopo.size(); ++i) EXPECT_LT(gBlocosTopo[i - 1].Bloco, gBlocosTopo[i].Bloco);
    EXPECT_EQ(gBlocosTopo.front().Bloco, "CAD_COM");
    EXPECT_EQ(gBlocosTopo.back().Bloco, "TOP_UTM");

    // CAD_RUF: its seven attributes in the order of their lists, then its five lines.
    const auto ruf =
        std::find_if(gBlocosTopo.begin(), gBlocosTopo.end(), [](const BlocoDefRec& b) { return b.Bloco == "CAD_RUF"; });
    ASSERT_NE(ruf, gBlocosTopo.end());
    ASSERT_EQ(ruf->Linhas.size(), 12u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(ruf->Linhas[i].S1, "Attribute");
        EXPECT_EQ(ruf->Linhas[i].S4.substr(0, 3), "0" + std::to_string(i + 1) + ",");
    }
    for (std::size_t i = 7; i < 12; ++i) {
        EXPECT_EQ(ruf->Linhas[i].S1, "Line");
        EXPECT_EQ(ruf->Linhas[i].S4, "") << "S4 ausente lido como texto vazio";
    }
    // The grid label: one row.
    EXPECT_EQ(gBlocosTopo.back().Linhas.size(), 1u);
}

TEST_F(CatalogoTopo, ACatalogueThatCannotLoadIsToldOnceAndTheBlocksLoadedBeforeStay)
{
    // No database at all.
    {
        CatalogoDoPrograma();
        ASSERT_TRUE(Carrega());
        gMdbPath = (pasta / "falta.mdb").string();
        EXPECT_FALSE(Carrega());
        ASSERT_EQ(mensagens.Lista().size(), 1u);
        EXPECT_NE(mensagens.Lista()[0].Texto.find("falta.mdb"), std::string::npos);
        EXPECT_EQ(gBlocosTopo.size(), 20u);
    }
    EsperaFalha("CREATE TABLE Outra (x TEXT);", false, {"T_DXFs"});
    EsperaFalha(
        "CREATE TABLE T_DXFs (Bloco TEXT, S2 TEXT, S3 TEXT, S4 TEXT);"
        "INSERT INTO T_DXFs VALUES ('A','1,1','2,2',NULL);",
        false, {"T_DXFs", "S1"});
    EsperaFalha("INSERT INTO T_DXFs VALUES ('A','Line','0,0','1,1',NULL),('A',NULL,'0,0','1,1',NULL);", true,
                {"T_DXFs", "S1", "vazio"});
    EsperaFalha("INSERT INTO T_DXFs VALUES ('A','Point',NULL,NULL,NULL);", true, {"T_DXFs", "S2"});
    EsperaFalha("", true, {"T_DXFs", "não há linhas"});
}

TEST_F(CatalogoTopo, AFailedLoadIsTriedAgainAtTheNextStart)
{
    gMdbPath = (pasta / "falta.mdb").string();
    EXPECT_FALSE(Carrega());
    EXPECT_TRUE(gBlocosTopo.empty());
    CatalogoPequeno(
        "INSERT INTO T_DXFs VALUES ('B','Line','0,0','1,1',NULL),('A','Point','0,0',NULL,NULL),"
        "('B','Arc','0,0','1,0,3.14',NULL);");
    ASSERT_TRUE(Carrega());
    ASSERT_EQ(gBlocosTopo.size(), 2u);
    EXPECT_EQ(gBlocosTopo[0].Bloco, "A");
    EXPECT_EQ(gBlocosTopo[0].Linhas[0].S3, "");
    ASSERT_EQ(gBlocosTopo[1].Linhas.size(), 2u);
    EXPECT_EQ(gBlocosTopo[1].Linhas[0].S1, "Arc");
    EXPECT_EQ(gBlocosTopo[1].Linhas[1].S1, "Line");
}

}  // namespace
