// The pipe-type table built from the loaded water catalogue: one entry per
// fitting slot of every pipe material, the empty slot 0 included.

#include <gtest/gtest.h>

#include "WaterTestSupport.h"
#include "cad/CadTestSupport.h"
#include "shell/modGlobais.h"
#include "water/clsWATDb.h"

using namespace watertest;

TEST(TiposTubo, OneEntryPerSlotOfEveryPipeMaterial)
{
    cadtest::Mensagens mensagens;
    cadtest::PastaTemporaria pasta;
    // One pipe material (the name counts ten characters, twelve bytes) with
    // two pipe types, and a material that is not one.
    gMdbPath = EscreveCatalogo(pasta.Caminho(),
                               "INSERT INTO A_CodDiam VALUES (1,'50',1),(2,'100',2),(3,'150',3);"
                               "INSERT INTO A_Materiais VALUES ('Tubulações PVC','Tubo PVC',2,1),"
                               "('Tubulacoes X','Tubo X',2,1);"
                               "INSERT INTO A_Conexoes VALUES ('T1','Tubo A','Tubulações PVC','A-TUBO',0,'0000'),"
                               "('T2','Tubo B','Tubulações PVC','A-TUBO',0,'0100'),"
                               "('X1','Tubo X','Tubulacoes X','A-TUBO',0,'0000');"
                               "INSERT INTO A_Diams VALUES ('T1','50',NULL),('T2','150',NULL),('T2','100',NULL),"
                               "('X1','50',NULL);"
                               "INSERT INTO A_DXFs VALUES ('A-TUBO','Line','0,0','1,0',NULL);",
                               {"Tubulações PVC", "Tubulacoes X"})
                   .string();
    gImagensPath = pasta.Caminho().string();
    ASSERT_TRUE(clsWATDb().LoadDb());
    EXPECT_TRUE(MaterialDeTubos("Tubulações PVC"));
    EXPECT_FALSE(MaterialDeTubos("Tubulacoes X"));
    EXPECT_FALSE(MaterialDeTubos("Tubulaçõe"));

    MontaTiposTubo();
    ASSERT_EQ(gTiposTubo.size(), 3u);
    EXPECT_TRUE(gTiposTubo[0].Nome.empty());
    EXPECT_TRUE(gTiposTubo[0].ListaDN.empty());
    EXPECT_EQ(gTiposTubo[1].Nome, "Tubo A");
    EXPECT_EQ(gTiposTubo[1].ListaDN, "_50_");
    EXPECT_EQ(gTiposTubo[2].Codigo, "T2");
    EXPECT_EQ(gTiposTubo[2].ListaDN, "_100_150_");
    EXPECT_EQ(gTiposTubo[2].NomeCatalogo, "Tubo B");
    ASSERT_EQ(gTiposTubo[2].Diametros.size(), 2u);

    // A code that the catalogue pipes lack has no catalogue name; the last
    // equal catalogue pipe names it.
    gTubosCat.erase(gTubosCat.begin());
    gTubosCat.push_back({"T2", "Outro B", "Tubulações PVC", false, {}});
    MontaTiposTubo();
    ASSERT_EQ(gTiposTubo.size(), 3u);
    EXPECT_EQ(gTiposTubo[1].NomeCatalogo, "");
    EXPECT_EQ(gTiposTubo[2].NomeCatalogo, "Outro B");
}

TEST(TiposTubo, TheShippedCatalogue)
{
    cadtest::Mensagens mensagens;
    gMdbPath = (PastaDoPrograma() / "rereva2000r.mdb").string();
    gImagensPath = PastaDoPrograma().string();
    ASSERT_TRUE(clsWATDb().LoadDb());
    MontaTiposTubo();
    // Three pipe materials of 2, 3 and 4 pipe types, each with its empty slot.
    ASSERT_EQ(gTiposTubo.size(), 12u);
    std::size_t vazios = 0;
    for (const TipoTuboRec& t : gTiposTubo) {
        if (t.Nome.empty()) {
            ++vazios;
            continue;
        }
        EXPECT_EQ(t.NomeCatalogo, t.Nome);
        EXPECT_EQ(t.ListaDN.front(), '_');
        EXPECT_EQ(t.ListaDN.back(), '_');
        EXPECT_NE(t.ListaDN.find("_" + t.Diametros[0].DP + "_"), std::string::npos);
    }
    EXPECT_EQ(vazios, 3u);
}
