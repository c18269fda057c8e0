// The sewer catalogue loaded from the database: what the arrays hold, and a
// database that cannot be read, which is told and changes nothing.

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "SewerTestSupport.h"
#include "platform/ado/Ado.h"
#include "platform/forms/Application.h"
#include "platform/forms/Types.h"
#include "sewer/clsSANDb.h"
#include "shell/modCatalogo.h"
#include "shell/modGlobais.h"

using namespace sewertest;

namespace {

class Catalogo : public SewerTest {
protected:
    // A copy of the shipped catalogue, spoilt by `Sql`, loaded.
    bool CarregaCopia(const std::string& Sql)
    {
        const std::filesystem::path copia = pasta / "rereva2000r.mdb";
        std::filesystem::copy_file(PastaCatalogo() / "rereva2000r.mdb", copia,
                                   std::filesystem::copy_options::overwrite_existing);
        ExecutaSql(copia, Sql);
        gMdbPath = copia.string();
        mensagens.Limpa();
        return clsSANDb().LoadDb();
    }

    // The one message of a failed load names the table and what is missing.
    void EsperaFalha(const std::string& Sql, const std::vector<std::string>& Trechos)
    {
        const std::size_t materiais = gMateriais.size(), pavimentos = gPavimentos.size(), blocos = gBlocosSAN.size();
        EXPECT_FALSE(CarregaCopia(Sql));
        ASSERT_EQ(mensagens.Lista().size(), 1u);
        EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
        for (const std::string& t : Trechos) EXPECT_NE(mensagens.Lista()[0].Texto.find(t), std::string::npos) << t;
        // Nothing half-loaded: the arrays read before the failure kept the old catalogue too.
        EXPECT_EQ(gMateriais.size(), materiais);
        EXPECT_EQ(gPavimentos.size(), pavimentos);
        EXPECT_EQ(gBlocosSAN.size(), blocos);
        EXPECT_EQ(gEtapas.size(), 5u);
    }
};

}  // namespace

TEST_F(Catalogo, TheShippedCatalogueFillsEveryArrayInItsOrder)
{
    // Manhole types: only those to insert, by nominal diameter (as text).
    std::vector<std::string> tipos;
    for (const PVBlockRec& t : gPVBlocos) tipos.push_back(t.Abrev);
    EXPECT_EQ(tipos,
              (std::vector<std::string>{"PV-1000", "PV-1200", "PV-1500", "PV-2000", "CJ-2200", "CJ-2400", "PV-ESP"}));
    EXPECT_EQ(gPVBlocos[0].Bloco, "E-PV");
    EXPECT_DOUBLE_EQ(gPVBlocos[0].AlturaMax, 2.5);  // stored in millimetres
    EXPECT_DOUBLE_EQ(gPVBlocos[0].Chamine, 1.0);
    EXPECT_EQ(gPVBlocos[0].DiamSaida, 400);
    EXPECT_EQ(gPVBlocos[0].NumEntradas, 4);
    EXPECT_EQ(gPVBlocos.back().Bloco, "E-PV250");
    EXPECT_DOUBLE_EQ(gPVBlocos.back().DwgDiam, 1.25);

    // Materials by name, each with its diameters in catalogue order.
    std::vector<std::string> materiais;
    for (const MaterialRec& m : gMateriais) materiais.push_back(m.Material);
    EXPECT_EQ(materiais, (std::vector<std::string>{"Cerâmico", "Concreto", "Ferro Fundido", "PEAD", "PVC"}));
    const MaterialRec& pvc = gMateriais.back();
    EXPECT_EQ(pvc.CodMaterial, "1");
    EXPECT_EQ(pvc.ListaDegraus, "_100_|500|_150_|500|_200_|500|_250_|600|_300_|600|_350_|600|_400_|600|_");
    ASSERT_EQ(pvc.Diametros.size(), 7u);
    EXPECT_EQ(pvc.Diametros[1].Diametro, "150");
    EXPECT_DOUBLE_EQ(pvc.Diametros[1].DegrauAte, 500);

    ASSERT_EQ(gCoresTR.size(), 13u);
    EXPECT_EQ(gCoresTR[1].Diametro, 150);
    EXPECT_EQ(gCoresTR[1].Cor, 1);

    ASSERT_EQ(gEtapas.size(), 5u);
    EXPECT_EQ(gEtapas[0].Sufixo, "_EX");
    EXPECT_EQ(gEtapas[1].Sufixo, "");  // empty in the table
    EXPECT_EQ(gEtapas[1].Descricao, "1a. Etapa");
    EXPECT_EQ(gEtapas[2].LineType, "DASHDOT");

    ASSERT_EQ(gPavimentos.size(), 8u);
    EXPECT_EQ(gPavimentos[2].Nome, "Paralelepípedo");

    // Blocks by name, rows by kind and then by S4.
    std::vector<std::string> blocos;
    for (const BlocoDefRec& b : gBlocosSAN) blocos.push_back(b.Bloco);
    EXPECT_EQ(blocos, (std::vector<std::string>{"E-PV", "E-PV1200", "E-PV1500", "E-PV2000", "E-PV250", "E-PV600",
                                                "E-PVCJ2200", "E-PVCJ2400", "E-PVGEN", "E-PVTIL", "E-TRCGEN", "E-TRSAN",
                                                "RQ-A", "RQ-E", "RQ-I", "RQ-T"}));
    const BlocoDefRec& pv = gBlocosSAN[0];
    ASSERT_EQ(pv.Linhas.size(), 7u);
    EXPECT_EQ(pv.Linhas[0].S1, "Attribute");
    EXPECT_EQ(pv.Linhas[0].S4, "01,NUMERO,N_PV,0,0,2,ROMANS");
    EXPECT_EQ(pv.Linhas[5].S1, "Circle");
    EXPECT_EQ(pv.Linhas[5].S4, "");  // empty in the table
}

TEST_F(Catalogo, StageListsStoreTheCataloguesStageNotThePosition)
{
    EXPECT_EQ(EtapaDoItem(2), 2);
    ASSERT_TRUE(CarregaCopia("UPDATE E_TRLayerParam SET Etapa = Etapa * 10 + 5;"));
    EXPECT_EQ(EtapaDoItem(0), 5);
    EXPECT_EQ(EtapaDoItem(2), 25);
    EXPECT_EQ(EtapaDoItem(-1), -1);  // nothing chosen
    EXPECT_EQ(EtapaDoItem(5), -1);
}

TEST_F(Catalogo, AnEmptyTableGivesAnEmptyArray)
{
    ASSERT_TRUE(CarregaCopia("DELETE FROM E_Pavimentos; DELETE FROM E_DXFs WHERE Bloco LIKE 'RQ-%';"));
    EXPECT_TRUE(mensagens.Lista().empty());
    EXPECT_TRUE(gPavimentos.empty());
    EXPECT_EQ(gBlocosSAN.size(), 12u);
}

TEST_F(Catalogo, AMissingDatabaseTableColumnOrValueIsToldAndChangesNothing)
{
    EsperaFalha("DROP TABLE E_Pavimentos;", {"E_Pavimentos", "não encontrada"});
    EsperaFalha("ALTER TABLE E_PVBlocks DROP COLUMN Chamine;", {"E_PVBlocks", "Chamine"});
    EsperaFalha(
        "DROP TABLE E_TRLayerColor; CREATE TABLE E_TRLayerColor (Diametro SMALLINT, Cor SMALLINT);"
        "INSERT INTO E_TRLayerColor VALUES (100, 8), (150, NULL);",
        {"E_TRLayerColor", "Cor", "vazio"});
    EsperaFalha(
        "DROP TABLE E_DXFs; CREATE TABLE E_DXFs (Bloco TEXT, S1 TEXT, S2 TEXT, S3 TEXT, S4 TEXT);"
        "INSERT INTO E_DXFs VALUES ('E-PV', 'Circle', NULL, '1', NULL);",
        {"E_DXFs", "S2", "vazio"});

    gMdbPath = (pasta / "nada" / "rereva2000r.mdb").string();
    mensagens.Limpa();
    EXPECT_FALSE(clsSANDb().LoadDb());
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("nada/rereva2000r.mdb"), std::string::npos);
    EXPECT_EQ(gEtapas.size(), 5u);
}

TEST_F(Catalogo, AFailureOfMemoryOrOfTheProgramIsToldInPortuguese)
{
    // The reading the sewer and water loaders share: the library's English
    // text never reaches the person; the catalogue's own faults keep theirs.
    const auto Le = [](const std::function<void()>& Falha) {
        forms::Screen.SetMousePointer(forms::vbHourglass);
        std::string erro = LeCatalogo([&](const ado::Connection&) { Falha(); });
        EXPECT_EQ(forms::Screen.MousePointer(), forms::vbDefault);
        return erro;
    };
    EXPECT_EQ(Le([] { throw std::bad_alloc(); }), "Memória insuficiente para carregar o catálogo.");
    EXPECT_EQ(Le([] { throw std::out_of_range("vector::_M_range_check"); }), "Erro interno ao carregar o catálogo.");
    EXPECT_EQ(Le([] { throw ErroCatalogo("Tabela E_Pavimentos: o campo Nome está vazio."); }),
              "Tabela E_Pavimentos: o campo Nome está vazio.");
    EXPECT_EQ(Le([] {}), "");
}
