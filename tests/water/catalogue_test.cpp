// The water catalogue loaded from real databases: the shipped one with its
// material tree, sockets, extra codes, blocks and colours; small catalogues for
// the edge cases; catalogues that cannot load, which are told once and change
// nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "WaterTestSupport.h"
#include "cad/CadTestSupport.h"
#include "platform/forms/Application.h"
#include "platform/forms/Testing.h"
#include "platform/forms/Types.h"
#include "shell/modGlobais.h"
#include "water/clsWATDb.h"

using namespace watertest;

namespace {

// Two materials: "Registros" (a fitting without a block, one fitting of two
// codes, one with secondary diameters, extra codes) and the pipe material
// "Tubulações PVC".
const std::string kPequeno =
    "INSERT INTO A_CodDiam VALUES (1,'50',1),(2,'100',2),(3,'150',3);"
    "INSERT INTO A_Materiais VALUES ('Tubulações PVC','Tubo PVC',2,1),('Registros','Tubo X',2,2);"
    "INSERT INTO A_Conexoes VALUES ('T1','Tubo A','Tubulações PVC','A-TUBO',0,'0000'),"
    "('T2','Tubo B','Tubulações PVC','A-TUBO',0,'0100'),('R1','Registro','Registros','A-REG',0,'0000'),"
    "('R2','Registro','Registros','A-REG',0,'0000'),('V1','Válvula','Registros',NULL,1,NULL),"
    "('TE','Tê','Registros','A-TE',1,'0001'),('AN','Anel X','Registros',NULL,0,NULL);"
    "INSERT INTO A_Diams VALUES ('T1','50',NULL),('T1','100',NULL),('T2','150',NULL),('T2','100',NULL),"
    "('R1','50',NULL),('R2','100',NULL),('V1','100',NULL),('TE','100',NULL),('TE','150','100'),('TE','150','50');"
    "INSERT INTO A_Bolsas VALUES ('R1','1',1,'AN','Tubo X'),('R1','2',1,'AN','Tubo X'),('TE','3',1,'AN','Tubo X'),"
    "('TE','2',0,NULL,'Tubo PVC'),('TE','1',1,'AN','Tubo X');"
    "INSERT INTO A_ConExtra VALUES ('TE','CODIG2','X2'),('TE','CODIG1','X1'),('R1','CODIG1','Y');"
    "INSERT INTO A_DXFs VALUES ('A-TE','Line','0,0','10,0',NULL),('A-TE','Point','0,0','12.5,1.5708','1'),"
    "('A-TE','Point','1,0','3,0','2'),('A-TE','Point','2,0','4,3.1416','3'),('A-REG','Point','0,0','1,0','1'),"
    "('A-REG','Point','0,0','2,0','2'),('A-TUBO','Line','0,0','1,0',NULL);";

const std::vector<std::string> kMateriaisPequeno = {"Registros", "Tubulações PVC"};

class CatalogoAgua : public ::testing::Test {
protected:
    CatalogoAgua()
    {
        gImagensPath = PastaDoPrograma().string();
        gMdbPath = (PastaDoPrograma() / "rereva2000r.mdb").string();
        db.FirstPIC += [this](const forms::Picture& p) { figuras.push_back(p); };
    }

    bool Carrega()
    {
        figuras.clear();
        mensagens.Limpa();
        return db.LoadDb();
    }

    // The small catalogue, spoilt by `Sql`, in the temporary folder.
    bool CarregaPequeno(const std::string& Sql = "")
    {
        gMdbPath = EscreveCatalogo(pasta.Caminho(), kPequeno + Sql, kMateriaisPequeno).string();
        gImagensPath = pasta.Caminho().string();
        return Carrega();
    }

    // One message naming what is missing; the shipped catalogue loaded before stays.
    void EsperaFalha(const std::string& Sql, const std::vector<std::string>& Trechos)
    {
        SCOPED_TRACE(Sql);
        gImagensPath = PastaDoPrograma().string();
        gMdbPath = (PastaDoPrograma() / "rereva2000r.mdb").string();
        ASSERT_TRUE(Carrega());
        EXPECT_FALSE(CarregaPequeno(Sql));
        ASSERT_EQ(mensagens.Lista().size(), 1u);
        EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
        for (const std::string& t : Trechos) EXPECT_NE(mensagens.Lista()[0].Texto.find(t), std::string::npos) << t;
        EXPECT_TRUE(figuras.empty());
        EXPECT_EQ(gConexoes.size(), 50u);
        EXPECT_EQ(gMateriaisAgua.size(), 8u);
        EXPECT_EQ(gBlocosAgua.size(), 20u);
        EXPECT_EQ(gCoresDiam.size(), 16u);
        EXPECT_EQ(forms::Screen.MousePointer(), 0);
    }

    const MaterialAguaRec& Material(const std::string& Nome)
    {
        for (const MaterialAguaRec& m : gMateriaisAgua)
            if (m.Material == Nome) return m;
        ADD_FAILURE() << "sem o material " << Nome;
        static const MaterialAguaRec vazio;
        return vazio;
    }

    const BlocoDefAguaRec* Bloco(const std::string& Nome)
    {
        for (const BlocoDefAguaRec& b : gBlocosAgua)
            if (b.Bloco == Nome) return &b;
        return nullptr;
    }

    cadtest::PastaTemporaria pasta;
    cadtest::Mensagens mensagens;
    clsWATDb db;
    std::vector<forms::Picture> figuras;
};

}  // namespace

TEST_F(CatalogoAgua, TheShippedCatalogueFillsEveryArray)
{
    ASSERT_TRUE(Carrega());
    EXPECT_TRUE(mensagens.Lista().empty());
    EXPECT_EQ(forms::Screen.MousePointer(), 0);

    EXPECT_EQ(gDiametros.size(), 16u);
    EXPECT_EQ(gAneis, (std::vector<std::string>{"ANPBA", "ANDEF", "ANJGS"}));
    EXPECT_EQ(gTubosCat.size(), 9u);
    EXPECT_EQ(gConexoes.size(), 50u);

    // The tree: the eight materials in name order, an empty fitting 0, one
    // button per fitting (every shipped fitting has a block), both from 1.
    const std::vector<std::pair<std::string, std::size_t>> arvore = {
        {"Diversos", 4},        {"Ferro Fundido", 11}, {"PEAD", 6},
        {"PVC DEFoFo", 7},      {"PVC PBA", 7},        {"Tubulações Ferro Fundido", 2},
        {"Tubulações PEAD", 3}, {"Tubulações PVC", 4}};
    ASSERT_EQ(gMateriaisAgua.size(), arvore.size());
    std::size_t pontos = 0;
    for (std::size_t i = 0; i < arvore.size(); ++i) {
        const MaterialAguaRec& m = gMateriaisAgua[i];
        SCOPED_TRACE(m.Material);
        EXPECT_EQ(m.Material, arvore[i].first);
        ASSERT_EQ(m.Conexoes.size(), arvore[i].second + 1);
        EXPECT_TRUE(m.Conexoes[0].Conexao.empty() && m.Conexoes[0].Codigo.empty() && m.Conexoes[0].Diametros.empty());
        EXPECT_EQ(m.Menu.Name, m.Material);
        EXPECT_EQ(m.Menu.Picture, m.Material + ".bmp");
        EXPECT_EQ(m.Menu.BackPicture, m.Material + "_Back.bmp");
        EXPECT_TRUE(m.Menu.PicFlat && m.Menu.PicUp && m.Menu.PicDown);
        EXPECT_GT(m.Menu.DimX, 0);
        ASSERT_EQ(m.Menu.Botoes.size(), m.Conexoes.size());
        EXPECT_TRUE(m.Menu.Botoes[0].Key.empty());
        for (std::size_t k = 1; k < m.Conexoes.size(); ++k) {
            const ConexaoAguaRec& c = m.Conexoes[k];
            EXPECT_EQ(m.Menu.Botoes[k].Key, c.Codigo);
            EXPECT_EQ(m.Menu.Botoes[k].Description, c.Conexao);
            EXPECT_EQ(m.Menu.Botoes[k].Texto, c.Bloco);
            EXPECT_FALSE(c.Diametros.empty()) << c.Conexao;
            // Secondary diameters in the diameters' order; none is one empty text.
            for (const DiametroAguaRec& d : c.Diametros) {
                ASSERT_FALSE(d.DS.empty());
                EXPECT_EQ(d.TemDS, !d.DS[0].empty());
                if (!d.TemDS) {
                    EXPECT_EQ(d.DS.size(), 1u);
                }
                auto pos = [](const std::string& s) { return std::find(gDiametros.begin(), gDiametros.end(), s); };
                for (std::size_t j = 1; j < d.DS.size(); ++j) EXPECT_LT(pos(d.DS[j - 1]), pos(d.DS[j]));
            }
            EXPECT_EQ(c.NumBolsas, static_cast<int>(c.Bolsas.size()));
            pontos += c.Bolsas.size();
            // Every socket point of the fitting's block is one of its sockets.
            const BlocoDefAguaRec* b = Bloco(c.Bloco);
            ASSERT_NE(b, nullptr) << c.Bloco;
            if (c.NumBolsas > 0) {
                EXPECT_EQ(c.NumBolsas, b->NumPontos) << c.Conexao;
            }
            for (const BolsaPontoRec& p : c.Bolsas) EXPECT_FALSE(p.Tubulacao.empty());
        }
    }
    EXPECT_EQ(pontos, 69u);
    const MaterialAguaRec& pvc = Material("Tubulações PVC");
    EXPECT_EQ(pvc.Conexoes[1].Codigo, "PBA12");
    ASSERT_EQ(pvc.Conexoes[1].Diametros.size(), 3u);
    EXPECT_EQ(pvc.Conexoes[1].Diametros[2].DP, "100");
    EXPECT_EQ(pvc.Conexoes[1].Diametros[2].DS, std::vector<std::string>{""});

    EXPECT_EQ(gTubosConexao.size(), 9u);
    EXPECT_EQ(gTubosConexao.back(), pvc.Conexoes.back().Conexao);

    // Ringed sockets of the fittings list.
    std::size_t aneis = 0;
    for (const ConexaoRec& c : gConexoes) {
        EXPECT_EQ(c.TemBolsas, !c.Bolsas.empty());
        aneis += c.Bolsas.size();
    }
    EXPECT_EQ(aneis, 56u);

    // Extra codes only on their own fitting, by attribute.
    const MaterialAguaRec& fofo = Material("Ferro Fundido");
    for (const ConexaoAguaRec& c : fofo.Conexoes) {
        if (c.Codigo == "RGFFL") {
            ASSERT_TRUE(c.TemExtras);
            ASSERT_EQ(c.Extras.size(), 2u);
            EXPECT_EQ(c.Extras[0].Att, "CODIG1");
            EXPECT_EQ(c.Extras[0].Cod, "RCFC");
            EXPECT_EQ(c.Extras[1].Cod, "CXREG");
        } else if (c.Codigo == "VRP") {
            EXPECT_EQ(c.Extras.size(), 1u);
        } else {
            EXPECT_FALSE(c.TemExtras) << c.Codigo;
        }
    }

    // Blocks: every fitting block and the quantity-table blocks, 223 rows.
    EXPECT_EQ(gBlocosAgua.size(), 20u);
    std::size_t linhas = 0;
    for (const BlocoDefAguaRec& b : gBlocosAgua) {
        linhas += b.Linhas.size();
        EXPECT_EQ(b.NumPontos, static_cast<int>(b.Pontos.size()));
    }
    EXPECT_EQ(linhas, 223u);
    for (const char* n : {"A-CAP", "A-TE", "A-TUBO", "A-VRP", "RQ-A", "RQ-E", "RQ-I", "RQ-T"})
        EXPECT_NE(Bloco(n), nullptr) << n;
    EXPECT_EQ(Bloco("RQ-A")->NumPontos, 0);

    ASSERT_EQ(gCoresDiam.size(), 16u);
    for (std::size_t i = 0; i < gCoresDiam.size(); ++i) EXPECT_EQ(gCoresDiam[i].Diametro, gDiametros[i]);

    ASSERT_EQ(gEtapasAgua.size(), 4u);
    EXPECT_EQ(gEtapasAgua[2].Nome, "Segunda Etata");
    EXPECT_EQ(gEtapasAgua[3].LineType, "DESATIVAR");
    EXPECT_EQ(gEtapasAgua[3].Cor, 11);

    // Once per load, with the first material's flat picture.
    ASSERT_EQ(figuras.size(), 1u);
    EXPECT_TRUE(figuras[0] == gMateriaisAgua[0].Menu.PicFlat);
    ASSERT_TRUE(Carrega());
    EXPECT_EQ(figuras.size(), 1u);
    EXPECT_EQ(gMateriaisAgua.size(), 8u);
}

TEST_F(CatalogoAgua, SmallCatalogueEdgeCases)
{
    ASSERT_TRUE(CarregaPequeno());
    EXPECT_TRUE(mensagens.Lista().empty());
    ASSERT_EQ(gMateriaisAgua.size(), 2u);
    const MaterialAguaRec& reg = gMateriaisAgua[0];
    EXPECT_EQ(reg.Material, "Registros");
    EXPECT_EQ(reg.Tubulacao, "Tubo X");

    // A fitting without a block has its entry but no button: button k and
    // fitting k differ. Two codes of one name make one fitting.
    ASSERT_EQ(reg.Conexoes.size(), 4u);
    EXPECT_EQ(reg.Conexoes[1].Conexao, "Válvula");
    EXPECT_EQ(reg.Conexoes[1].Bloco, "");
    EXPECT_TRUE(reg.Conexoes[1].HasDS);
    EXPECT_EQ(reg.Conexoes[2].Codigo, "R1");
    ASSERT_EQ(reg.Conexoes[2].Diametros.size(), 2u);
    EXPECT_EQ(reg.Conexoes[2].Diametros[1].DP, "100");
    ASSERT_EQ(reg.Menu.Botoes.size(), 3u);
    EXPECT_EQ(reg.Menu.Botoes[1].Key, "R1");
    EXPECT_EQ(reg.Menu.Botoes[2].Key, "TE");
    EXPECT_EQ(reg.Menu.Botoes[2].Texto, "A-TE");
    EXPECT_EQ(reg.Menu.Botoes[2].ExtraColumns, 1);
    EXPECT_EQ(reg.Menu.DimY, 2);

    // Secondary diameters: none → one empty text; several → in diameter order.
    const ConexaoAguaRec& te = reg.Conexoes[3];
    ASSERT_EQ(te.Diametros.size(), 2u);
    EXPECT_EQ(te.Diametros[0].DP, "100");
    EXPECT_EQ(te.Diametros[0].DS, std::vector<std::string>{""});
    EXPECT_FALSE(te.Diametros[0].TemDS);
    EXPECT_EQ(te.Diametros[1].DS, (std::vector<std::string>{"50", "100"}));
    EXPECT_TRUE(te.Diametros[1].TemDS);

    // Socket points: the last fitting with points gets them like the others.
    ASSERT_EQ(te.NumBolsas, 3);
    EXPECT_FLOAT_EQ(te.Bolsas[0].DistanciaBolsa, 12.5f);
    EXPECT_FLOAT_EQ(te.Bolsas[0].AnguloBolsa, 1.5708f);
    EXPECT_EQ(te.Bolsas[1].Numero, 2);
    EXPECT_FALSE(te.Bolsas[1].Principal);
    EXPECT_EQ(te.Bolsas[1].Anel, "");
    EXPECT_EQ(te.Bolsas[1].Tubulacao, "Tubo PVC");
    EXPECT_EQ(reg.Conexoes[2].NumBolsas, 2);
    EXPECT_EQ(reg.Conexoes[1].NumBolsas, 0);

    // Extra codes by attribute, only on their own fitting.
    ASSERT_EQ(te.Extras.size(), 2u);
    EXPECT_EQ(te.Extras[0].Cod, "X1");
    EXPECT_EQ(te.Extras[1].Cod, "X2");
    EXPECT_TRUE(reg.Conexoes[2].TemExtras);
    EXPECT_EQ(reg.Conexoes[2].Extras.size(), 1u);

    // Ringed sockets: the last code of the table gets its own.
    EXPECT_EQ(gAneis, std::vector<std::string>{"AN"});
    ASSERT_EQ(gConexoes.size(), 7u);
    EXPECT_EQ(gConexoes[3].Codigo, "TE");
    EXPECT_TRUE(gConexoes[3].TemBolsas);
    EXPECT_EQ(gConexoes[3].Bolsas.size(), 2u);
    EXPECT_EQ(gConexoes[1].Bolsas.size(), 2u);
    EXPECT_FALSE(gConexoes[2].TemBolsas);

    EXPECT_EQ(gTubosConexao, (std::vector<std::string>{"Tubo A", "Tubo B"}));
    EXPECT_EQ(gTubosCat.size(), 2u);

    // A block without points.
    ASSERT_EQ(gBlocosAgua.size(), 3u);
    EXPECT_EQ(gBlocosAgua[2].Bloco, "A-TUBO");
    EXPECT_EQ(gBlocosAgua[2].NumPontos, 0);
    EXPECT_TRUE(gBlocosAgua[2].Pontos.empty());
    EXPECT_EQ(gBlocosAgua[1].NumPontos, 3);
    EXPECT_FLOAT_EQ(gBlocosAgua[1].Pontos[2].AnguloBolsa, 3.1416f);

    // Two materials: still once.
    ASSERT_EQ(figuras.size(), 1u);
    EXPECT_TRUE(figuras[0] == reg.Menu.PicFlat);
}

TEST_F(CatalogoAgua, WithoutSocketRowsTheRestStillLoads)
{
    ASSERT_TRUE(
        CarregaPequeno("DELETE FROM A_Bolsas; DELETE FROM A_ConExtra; DELETE FROM A_Conexoes WHERE "
                       "codigo IN ('AN','T2');"));
    for (const MaterialAguaRec& m : gMateriaisAgua)
        for (const ConexaoAguaRec& c : m.Conexoes) EXPECT_EQ(c.NumBolsas, 0);
    EXPECT_TRUE(gAneis.empty());
    EXPECT_EQ(gBlocosAgua.size(), 3u);
    EXPECT_EQ(gCoresDiam.size(), 3u);
    // One material alone raises the picture at the end of the rows.
    ASSERT_TRUE(CarregaPequeno("DELETE FROM A_Conexoes WHERE material = 'Tubulações PVC';"));
    EXPECT_EQ(gMateriaisAgua.size(), 1u);
    EXPECT_EQ(figuras.size(), 1u);
}

TEST_F(CatalogoAgua, ACatalogueThatCannotLoadIsToldAndChangesNothing)
{
    EsperaFalha("UPDATE A_Materiais SET DimX = NULL;", {"A_Materiais", "DimX"});
    EsperaFalha("UPDATE A_Conexoes SET conexao = NULL WHERE codigo = 'TE';", {"A_Conexoes", "conexao"});
    EsperaFalha("UPDATE A_Conexoes SET TLHW = '0x' WHERE codigo = 'TE';", {"TLHW", "TE"});
    EsperaFalha("UPDATE A_DXFs SET S3 = '12.5' WHERE S1 = 'Point' AND Bloco = 'A-TE';", {"A_DXFs", "A-TE", "S3"});
    EsperaFalha("UPDATE A_Bolsas SET Tubulacao = NULL WHERE Codigo = 'R1';", {"A_Bolsas", "Tubulacao"});
    EsperaFalha("DROP TABLE A_DXFs;", {"A_DXFs"});
    EsperaFalha("ALTER TABLE A_CodDiam DROP COLUMN Color;", {"A_CodDiam", "Color"});
    EsperaFalha("DELETE FROM A_CodDiam;", {"A_CodDiam"});

    // A missing picture is named.
    gMdbPath = EscreveCatalogo(pasta.Caminho(), kPequeno, kMateriaisPequeno).string();
    std::filesystem::remove(pasta / "Tubulações PVC_Move.bmp");
    gImagensPath = pasta.Caminho().string();
    EXPECT_FALSE(Carrega());
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("Tubulações PVC_Move.bmp"), std::string::npos);
    EXPECT_EQ(gMateriaisAgua.size(), 8u);

    // No database at all.
    gMdbPath = (pasta / "nada" / "rereva2000r.mdb").string();
    EXPECT_FALSE(Carrega());
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find(gMdbPath), std::string::npos);
    EXPECT_EQ(gConexoes.size(), 50u);
}

TEST_F(CatalogoAgua, TheWindowAnswersWhileTheTreeLoads)
{
    // One yield per row of the material tree after the first, under the
    // hourglass; a second load asked for meanwhile is refused and the first
    // one completes.
    int yields = 0;
    bool segunda = true;
    int ponteiro = -1;
    const forms::YieldHook antes = forms::SetYieldHook([&] {
        if (++yields == 1) {
            ponteiro = forms::Screen.MousePointer();
            segunda = clsWATDb().LoadDb();
        }
    });
    const bool carregou = Carrega();
    forms::SetYieldHook(antes);
    ASSERT_TRUE(carregou);
    EXPECT_EQ(yields, 431);
    EXPECT_FALSE(segunda);
    EXPECT_EQ(ponteiro, forms::vbHourglass);
    EXPECT_EQ(forms::Screen.MousePointer(), 0);
    EXPECT_EQ(gMateriaisAgua.size(), 8u);
    EXPECT_EQ(figuras.size(), 1u);
    EXPECT_TRUE(mensagens.Lista().empty());
}
